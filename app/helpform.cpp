// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/helpform.h"

#include <QLabel>
#include <QTextEdit>
#include <algorithm>

#include "app/help_pages.h"
#include "controls/ButtonComps.h"
#include "controls/TFlatPanelUnit.h"
#include "ui/credit_lines.h"
#include "ui/guarded.h"
#include "ui/highlight_button.h"
#include "ui/ui_style.h"

namespace velmora {

Thelp* help = nullptr;

namespace {

constexpr int kSideWidth = 137;
constexpr int kPageTop = 28;

controls::TFlatPanel* framedPanel(QWidget* parent) {
    auto* panel = new controls::TFlatPanel(parent);
    panel->setTransparent(true);
    panel->setCaption(QString());
    panel->setColorHighLight(Qt::black);
    panel->setColorShadow(Qt::black);
    return panel;
}

QTextEdit* pageBox(QWidget* parent, const HelpPage& page) {
    auto* memo = new QTextEdit(parent);
    memo->setObjectName(QStringLiteral("memo%1").arg(page.tag));
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    // Reachable by a click, never by Tab.
    memo->setFocusPolicy(Qt::ClickFocus);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFont(style::font("Arial", 11));
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, style::kPale);
    palette.setColor(QPalette::Text, Qt::black);
    memo->setPalette(palette);
    memo->setPlainText(page.lines.join(QLatin1Char('\n')));
    memo->document()->setDocumentMargin(5);
    return memo;
}

}  // namespace

Thelp::Thelp(QWidget* aboutWindow, QWidget* centreOver)
    : SecondaryWindow(centreOver), aboutWindow_(aboutWindow) {
    help = this;
    setWindowTitle("Velmora - Help File");
    style::paintWindowColour(this);
    buildSide();
    buildMain();
    resize(523, 431);
    // Small enough to shrink, large enough that the column never overlaps.
    setMinimumSize(kSideWidth + 160, 260);
    placeControls();
    FormCreate();
}

Thelp::~Thelp() {
    if (help == this) {
        help = nullptr;
    }
}

void Thelp::FormCreate() {
    memo1->raise();
}

void Thelp::buildSide() {
    panel_side = framedPanel(this);
    panel_side->setObjectName("panel_side");
    struct PageButton {
        controls::TSelButton** button;
        const char* name;
    };
    const PageButton buttons[] = {{&button_overview, "button_overview"},
                                  {&button_gameplay, "button_gameplay"},
                                  {&button_scoring, "button_scoring"},
                                  {&button_documentation, "button_documentation"}};
    int y = 8;
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        const HelpPage& page = helpPages().at(i);
        auto* button =
            highlightButton(panel_side, buttons[i].name, page.button, QRect(7, y, 122, 20));
        button->setTag(page.tag);
        connect(button, &controls::TSelButton::clicked, this, [this](controls::TSelButton* sender) {
            platform::runGuarded([&] { SelButton1Click(sender); });
        });
        *buttons[i].button = button;
        y += 24;
    }
    // A gap sets About apart from the pages.
    button_about = highlightButton(panel_side, "button_about", "About", QRect(7, y + 24, 122, 20));
    button_about->setTag(10);
    connect(button_about, &controls::TSelButton::clicked, this,
            guarded(this, &Thelp::button_aboutClick));

    CreditLines lines = addCreditLines(panel_side);
    credits = lines.block;
    label_year = lines.label_year;
    button_done =
        highlightButton(panel_side, "button_done", "Done", QRect(21, 0, 95, 20), Qt::AlignHCenter);
    connect(button_done, &controls::TSelButton::clicked, this,
            guarded(this, &Thelp::button_doneClick));
}

void Thelp::buildMain() {
    panel_main = framedPanel(this);
    panel_main->setObjectName("panel_main");
    label_caption = style::label(panel_main, 1, 5, "Overview",
                                 style::font("MS Sans Serif", 16, true), style::kPale, 0, 20);
    label_caption->setObjectName("label_caption");
    label_caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QTextEdit** boxes[] = {&memo1, &memo3, &memo4, &memo5};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        *boxes[i] = pageBox(panel_main, helpPages().at(i));
    }
}

// The column keeps its width and the page area takes the rest; the credits
// and "Done" stay at the bottom of the column. Below the minimum size (a
// desktop without a window manager does not hold it) the window clips.
void Thelp::placeControls() {
    const int w = std::max(width(), minimumWidth());
    const int h = std::max(height(), minimumHeight());
    panel_side->setGeometry(0, 0, kSideWidth, h);
    button_done->move(button_done->x(), h - 30);
    credits->move(7, button_done->y() - 8 - credits->height());

    panel_main->setGeometry(kSideWidth, 0, w - kSideWidth, h);
    label_caption->setGeometry(1, 5, panel_main->width() - 2, 20);
    for (QTextEdit* memo : {memo1, memo3, memo4, memo5}) {
        memo->setGeometry(1, kPageTop, panel_main->width() - 2, h - kPageTop - 1);
    }
}

void Thelp::resizeEvent(QResizeEvent* event) {
    SecondaryWindow::resizeEvent(event);
    placeControls();
}

void Thelp::SelButton1Click(controls::TSelButton* Sender) {
    auto* page = findChild<QTextEdit*>(QStringLiteral("memo%1").arg(Sender->tag()));
    // A button without a page of its own changes nothing.
    if (page == nullptr) {
        return;
    }
    page->raise();
    label_caption->setText(Sender->caption());
}

void Thelp::button_aboutClick() {
    bringForward(aboutWindow_);
}

void Thelp::button_doneClick() {
    hide();
}

QTextEdit* Thelp::pageInFront() const {
    // Raising a widget moves it to the end of its parent's children.
    const QObjectList& children = panel_main->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto* memo = qobject_cast<QTextEdit*>(*it);
        if (memo != nullptr) {
            return memo;
        }
    }
    return nullptr;
}

}  // namespace velmora

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/aboutform.h"

#include <QLabel>
#include <QMouseEvent>

#include "app/version.h"
#include "controls/ButtonComps.h"
#include "controls/picture_button.h"
#include "ui/credit_lines.h"
#include "ui/guarded.h"
#include "ui/highlight_button.h"
#include "ui/ui_style.h"

namespace velmora {

Tabout* about = nullptr;

Tabout::Tabout(platform::Shell& shell, QWidget* centreOver)
    : SecondaryWindow(centreOver, Qt::Dialog), URL1(shell) {
    about = this;
    setWindowTitle("Velmora - About");
    setFixedSize(304, 193);
    style::paintWindowColour(this);
    URL1.URL = kMakerSite;
    URL1.URLType = online::TURLType::utHttp;
    buildLayout();
}

Tabout::~Tabout() {
    if (about == this) {
        about = nullptr;
    }
}

void Tabout::buildLayout() {
    Image1 = new controls::PictureButton(":/pictures/product_logo.png", this);
    Image1->setObjectName("Image1");
    Image1->setAccessibleName("Velmora");
    Image1->setGeometry(60, 10, 185, 53);
    connect(Image1, &controls::PictureButton::clicked, this, guarded(this, &Tabout::Image1Click));

    Label7 = style::label(this, 8, 72, kMakerSite, style::font("MS Sans Serif", 16, true, true),
                          style::kPale, 289, 20);
    Label7->setObjectName("Label7");
    Label7->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label7->setCursor(Qt::PointingHandCursor);
    Label7->installEventFilter(this);

    CreditLines lines = addCreditLines(this);
    credits = lines.block;
    credits->move(4, 122);
    label_year = lines.label_year;

    const QFont font = style::font("Times New Roman", 13, true);
    style::label(this, 48, 171, "Version", font, style::kPale);
    version = style::label(this, 96, 171, kVersionText, font, style::kYellow);
    version->setObjectName("version");
    style::label(this, 123, 171, ".0", font, style::kYellow);

    Button1 = highlightButton(this, "Button1", "Done", QRect(202, 164, 95, 20), Qt::AlignHCenter);
    connect(Button1, &controls::TSelButton::clicked, this, guarded(this, &Tabout::Button1Click));
}

bool Tabout::eventFilter(QObject* watched, QEvent* event) {
    // The press went to the link too, or the release would not come here.
    if (watched == Label7 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label7->rect().contains(mouse->position().toPoint())) {
            platform::runGuarded([this] { Label7Click(); });
        }
        return true;
    }
    return SecondaryWindow::eventFilter(watched, event);
}

void Tabout::Label7Click() {
    URL1.OpenURL();
}

void Tabout::Image1Click() {
    hide();
}

void Tabout::Button1Click() {
    close();
}

}  // namespace velmora

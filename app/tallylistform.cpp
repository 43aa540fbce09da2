// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tallylistform.h"

#include <QLabel>
#include <QShowEvent>

#include "controls/TFlatPanelUnit.h"
#include "controls/picture_button.h"
#include "platform/dialogs.h"
#include "tally/tally_error.h"
#include "ui/guarded.h"
#include "ui/ui_style.h"

namespace velmora {

Ttallylist* tallylist = nullptr;

namespace {

QColor qtColour(tally::Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QFont labelFont(bool bold) {
    return style::font("MS Sans Serif", 13, bold);
}

constexpr const char* kTotalCaptions[tally::kTotalCount] = {
    "Total Games:", "Total Lines Cleared:", "Num of Tetris:", "Highest Level:",
    "Running Total Score:"};
constexpr int kTotalTops[tally::kTotalCount] = {42, 61, 81, 100, 119};

}  // namespace

Ttallylist::Ttallylist(const std::string& tallyPath, QWidget* parent)
    : QWidget(parent, Qt::Window), file_(tallyPath, codec_) {
    tallylist = this;
    setWindowTitle("Velmora - Tally List");
    setFixedSize(342, 461);
    style::paintWindowColour(this);
    buildLayout();
    tally_.setListener([this](const std::string& name) { showLabel(name); });
    FormCreate();
}

Ttallylist::~Ttallylist() {
    FormDestroy();
    if (tallylist == this) {
        tallylist = nullptr;
    }
}

void Ttallylist::FormCreate() {
    try {
        file_.load(tally_);
    } catch (const tally::TallyError& error) {
        platform::showErrorBox(error.what());
    }
    // Show the model as it stands, whether it came from the file or not.
    for (const auto& entry : labels_) {
        showLabel(entry.first);
    }
}

void Ttallylist::FormDestroy() {
    file_.save(tally_);
}

void Ttallylist::buildLayout() {
    auto* frame = new controls::TFlatPanel(this);
    frame->setGeometry(6, 2, 331, 456);
    frame->setTransparent(true);
    frame->setCaption(QString());
    frame->setColorHighLight(style::kPale);
    frame->setColorShadow(style::kPale);

    QFont heading = style::font("MS Sans Serif", 19, true, true);
    QLabel* title = style::label(frame, 1, 5, "YOUR TALLY LIST", heading, style::kPale, 328, 24);
    title->setObjectName("label_myname");
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    style::label(frame, 1, 140, "HIGH SCORES", heading, style::kPale, 328, 24)
        ->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    for (int column = 1; column <= tally::kTotalCount; ++column) {
        int top = kTotalTops[column - 1];
        QLabel* caption = style::label(frame, 0, top, kTotalCaptions[column - 1], labelFont(true),
                                       style::kPale, 189, 18);
        caption->setAlignment(Qt::AlignRight | Qt::AlignTop);
        addLabel(frame, tally::TallyLabels::totalName(column), QRect(194, top, 59, 18),
                 Qt::AlignHCenter);
    }
    using tally::RankLabel;
    for (int n = 1; n <= tally::kRankCount; ++n) {
        int top = 170 + 24 * (n - 1);
        addLabel(frame, tally::TallyLabels::rankName(RankLabel::Num, n), QRect(5, top, 24, 18),
                 Qt::AlignRight);
        addLabel(frame, tally::TallyLabels::rankName(RankLabel::Date, n), QRect(32, top, 101, 18),
                 Qt::AlignLeft);
        addLabel(frame, tally::TallyLabels::rankName(RankLabel::Name, n), QRect(136, top, 132, 18),
                 Qt::AlignLeft);
        addLabel(frame, tally::TallyLabels::rankName(RankLabel::High, n), QRect(286, top, 44, 18),
                 Qt::AlignLeft);
    }

    button_resettally = new controls::PictureButton(":/pictures/button_reset_tally.png", frame);
    button_resettally->setTransparent(true);
    button_resettally->move(72, 412);
    connect(button_resettally, &controls::PictureButton::clicked, this,
            guarded(this, &Ttallylist::button_resetClick));
    button_done = new controls::PictureButton(":/pictures/button_done.png", frame);
    button_done->setTransparent(true);
    button_done->move(200, 412);
    connect(button_done, &controls::PictureButton::clicked, this,
            guarded(this, &Ttallylist::button_doneClick));
}

QLabel* Ttallylist::addLabel(QWidget* parent, const std::string& name, QRect bounds,
                             Qt::Alignment alignment) {
    QLabel* label = style::label(parent, bounds.x(), bounds.y(), QString(), labelFont(true),
                                 style::kPale, bounds.width(), bounds.height());
    label->setObjectName(QString::fromStdString(name));
    label->setAlignment(alignment | Qt::AlignTop);
    labels_[name] = label;
    return label;
}

QLabel* Ttallylist::labelNamed(const std::string& name) const {
    auto found = labels_.find(name);
    return found == labels_.end() ? nullptr : found->second;
}

void Ttallylist::showLabel(const std::string& name) {
    QLabel* widget = labelNamed(name);
    const tally::TallyLabel* label = tally_.labels().find(name);
    if (widget == nullptr || label == nullptr) {
        return;
    }
    widget->setText(QString::fromStdString(label->caption));
    widget->setFont(labelFont(label->bold));
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, qtColour(label->colour));
    widget->setPalette(palette);
    if (name.rfind("label_high", 0) == 0) {
        // The score stands as wide as its text.
        widget->resize(widget->sizeHint().width(), widget->height());
    }
}

void Ttallylist::addtomineincrease(int column, int32_t amount) {
    tally_.addtomineincrease(column, amount);
}

bool Ttallylist::checkscore(int32_t score, const std::string& name) {
    return tally_.checkscore(score, name);
}

void Ttallylist::checkchange(int column, int32_t value) {
    tally_.checkchange(column, value);
}

void Ttallylist::button_resetClick() {
    if (platform::askConfirmation("Are you sure you want to reset the Tally?")) {
        tally_.reset();
    }
}

void Ttallylist::button_doneClick() {
    close();
}

void Ttallylist::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Placed centred over the main window when it is first shown.
    if (!placed_ && centredOver_ != nullptr) {
        placed_ = true;
        QRect over = centredOver_->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
}

}  // namespace velmora

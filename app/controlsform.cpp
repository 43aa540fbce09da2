// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controlsform.h"

#include <QKeyEvent>

#include "platform/dialogs.h"
#include "ui/guarded.h"
#include "ui/highlight_button.h"
#include "ui/ui_style.h"

namespace velmora {

using engine::Action;

namespace {

constexpr int kRowTop = 44;
constexpr int kRowHeight = 26;
constexpr int kNameWidth = 190;
constexpr int kSlotWidth = 110;
constexpr int kSlotGap = 6;
constexpr int kLeft = 10;
constexpr int kWidth = kLeft * 2 + kNameWidth + 3 * kSlotWidth + 2 * kSlotGap;

QString titleOf(Action action) {
    const std::string_view title = engine::actionTitle(action);
    return QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()));
}

int slotLeft(int column) { return kLeft + kNameWidth + column * (kSlotWidth + kSlotGap); }

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock ||
           key == Qt::Key_NumLock;
}

}  // namespace

Tcontrols::Tcontrols(QWidget* centreOver) : SecondaryWindow(centreOver, Qt::Dialog) {
    setWindowTitle("Velmora - Controls");
    style::paintWindowColour(this);
    setFocusPolicy(Qt::StrongFocus);
    buildLayout();
    setFixedSize(kWidth, kRowTop + static_cast<int>(engine::kActions.size()) * kRowHeight + 70);
    refresh();
}

void Tcontrols::buildLayout() {
    const QFont heading = style::font("MS Sans Serif", 13, true);
    style::label(this, kLeft, 14, "Action", heading, style::kPale);
    style::label(this, slotLeft(0), 14, "Key", heading, style::kPale);
    style::label(this, slotLeft(1), 14, "Other Key", heading, style::kPale);
    style::label(this, slotLeft(2), 14, "Gamepad", heading, style::kPale);
    const QFont name = style::font("MS Sans Serif", 13);
    for (std::size_t row = 0; row < engine::kActions.size(); ++row) {
        const Action action = engine::kActions[row];
        const int top = kRowTop + static_cast<int>(row) * kRowHeight;
        style::label(this, kLeft, top + 2, titleOf(action), name, style::kPale, kNameWidth - 8, 18);
        for (int column = 0; column <= kPadSlot; ++column) {
            auto* button = highlightButton(this, QString("slot_%1_%2").arg(row).arg(column), QString(),
                                           QRect(slotLeft(column), top, kSlotWidth, 20), Qt::AlignHCenter);
            connect(button, &controls::TSelButton::clicked, this, [this, action, column] {
                platform::runGuarded([&] { slotClicked(action, column); });
            });
            slots_[row][static_cast<std::size_t>(column)] = button;
        }
    }
    const int bottom = kRowTop + static_cast<int>(engine::kActions.size()) * kRowHeight;
    message = style::label(this, kLeft, bottom + 6, QString(), style::font("MS Sans Serif", 13, true),
                           style::kYellow, kWidth - 2 * kLeft, 18);
    button_restore = highlightButton(this, "button_restore", "Restore Defaults",
                                     QRect(kLeft, bottom + 36, 150, 20), Qt::AlignHCenter);
    button_done = highlightButton(this, "button_done", "Done",
                                  QRect(kWidth - kLeft - 95, bottom + 36, 95, 20), Qt::AlignHCenter);
    connect(button_restore, &controls::TSelButton::clicked, this, guarded(this, &Tcontrols::restoreDefaults));
    connect(button_done, &controls::TSelButton::clicked, this, guarded(this, &Tcontrols::done));
}

controls::TSelButton* Tcontrols::slotButton(Action action, int slot) const {
    return slots_[static_cast<std::size_t>(action)][static_cast<std::size_t>(slot)];
}

void Tcontrols::edit(const KeyBindings& bindings) {
    bindings_ = bindings;
    waiting_.reset();
    message->clear();
    refresh();
    bringForward(this);
    setFocus();
}

void Tcontrols::slotClicked(Action action, int column) {
    waiting_ = Slot{action, column};
    message->setText(column == kPadSlot ? "Press a gamepad button (Delete clears, Escape cancels)"
                                        : "Press a key (Delete clears, Escape cancels)");
    refresh();
    setFocus();
}

// Keys go here before focus moves or shortcuts run, so Tab and the menu's
// keys can be bound too.
bool Tcontrols::event(QEvent* event) {
    if (waiting_ && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (waiting_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!isModifierKey(key->key()) && !key->isAutoRepeat()) {
            platform::runGuarded([&] { keyPressed(key->keyCombination()); });
        }
        return true;
    }
    return SecondaryWindow::event(event);
}

void Tcontrols::keyPressed(QKeyCombination key) {
    const Slot slot = *waiting_;
    const bool isPad = slot.column == kPadSlot;
    if (key.key() == Qt::Key_Escape) {
        waiting_.reset();
        message->clear();
    } else if (key.key() == Qt::Key_Delete || key.key() == Qt::Key_Backspace) {
        isPad ? bindings_.clearPad(slot.action) : bindings_.clearKey(slot.action, slot.column);
        waiting_.reset();
        message->clear();
    } else if (isPad) {
        message->setText("Press a gamepad button for this column");
        return;
    } else if (key.key() == Qt::Key_Comma) {
        // The settings file separates an action's keys with commas.
        message->setText("The comma key cannot be bound");
        return;
    } else if (auto holder = bindings_.bindKey(slot.action, slot.column, key)) {
        refuse(*holder);
        return;
    } else {
        waiting_.reset();
        message->clear();
    }
    refresh();
}

bool Tcontrols::takePadButton(const QString& button) {
    if (!isVisible() || !waiting_ || waiting_->column != kPadSlot) {
        return false;
    }
    if (auto holder = bindings_.bindPad(waiting_->action, button)) {
        refuse(*holder);
        return true;
    }
    waiting_.reset();
    message->clear();
    refresh();
    return true;
}

void Tcontrols::refuse(Action holder) {
    message->setText("Already used for " + titleOf(holder));
}

void Tcontrols::restoreDefaults() {
    bindings_ = KeyBindings::defaults();
    waiting_.reset();
    message->clear();
    refresh();
}

void Tcontrols::done() {
    waiting_.reset();
    hide();
    if (onDone_) {
        onDone_(bindings_);
    }
}

void Tcontrols::refresh() {
    for (Action action : engine::kActions) {
        const ActionBinding& binding = bindings_[action];
        for (int column = 0; column <= kPadSlot; ++column) {
            QString caption;
            if (column == kPadSlot) {
                caption = binding.pad.isEmpty() ? "-" : KeyBindings::padTitle(binding.pad);
            } else {
                const auto& key = binding.keys[static_cast<std::size_t>(column)];
                caption = key ? KeyBindings::keyTitle(*key) : "-";
            }
            const bool isWaiting = waiting_ && waiting_->action == action && waiting_->column == column;
            controls::TSelButton* button = slotButton(action, column);
            button->setCaption(isWaiting ? "..." : caption);
            button->setFontColor(isWaiting ? Qt::black : style::kGrey);
        }
    }
}

}  // namespace velmora

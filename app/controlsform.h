// SPDX-License-Identifier: GPL-3.0-or-later
// The controls window: one row per action with its two keys and its gamepad
// button. Clicking a slot waits for a key (or a button, in the button
// column); Delete clears the slot, Escape stops waiting. A key or button that
// another action holds is refused with a message naming that action. Done
// hands the bindings to the main window; closing the window drops the edits.
#pragma once

#include <QLabel>
#include <array>
#include <functional>
#include <optional>

#include "app/key_bindings.h"
#include "controls/ButtonComps.h"
#include "ui/secondary_window.h"

namespace velmora {

class Tcontrols : public SecondaryWindow {
    Q_OBJECT
  public:
    // Key slots are columns 0 and 1, the button column kPadSlot.
    static constexpr int kPadSlot = KeyBindings::kKeySlots;

    explicit Tcontrols(QWidget* centreOver);

    // Shows the window, editing a copy of bindings.
    void edit(const KeyBindings& bindings);
    const KeyBindings& bindings() const { return bindings_; }
    // Called with the edited bindings when the player presses Done.
    void setOnDone(std::function<void(const KeyBindings&)> onDone) { onDone_ = std::move(onDone); }

    // A gamepad button, by SDL's name: taken (true) while the window shows
    // and waits for a button, so it binds instead of playing.
    bool takePadButton(const QString& button);
    bool waiting() const { return waiting_.has_value(); }

    controls::TSelButton* slotButton(engine::Action action, int slot) const;
    QLabel* message = nullptr;
    controls::TSelButton* button_restore = nullptr;
    controls::TSelButton* button_done = nullptr;

  protected:
    bool event(QEvent* event) override;

  private:
    struct Slot {
        engine::Action action;
        int column;
    };

    void buildLayout();
    void slotClicked(engine::Action action, int column);
    void keyPressed(QKeyCombination key);
    void refuse(engine::Action holder);
    void restoreDefaults();
    void done();
    void refresh();

    KeyBindings bindings_ = KeyBindings::defaults();
    std::array<std::array<controls::TSelButton*, kPadSlot + 1>, engine::kActions.size()> slots_{};
    std::optional<Slot> waiting_;
    std::function<void(const KeyBindings&)> onDone_;
};

}  // namespace velmora

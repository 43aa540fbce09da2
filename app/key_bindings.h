// SPDX-License-Identifier: GPL-3.0-or-later
// Which keys and gamepad button stand for each of the player's actions: up
// to two keys and one button an action, a key or button bound to one action
// only. Read from and written to the settings' [controls] texts, keys in Qt's
// portable key-sequence text ("Left,J"), buttons by SDL's game-controller
// names ("dpleft").
#pragma once

#include <QKeyCombination>
#include <QString>
#include <array>
#include <optional>

#include "app/player_options.h"
#include "engine/actions.h"

namespace velmora {

struct ActionBinding {
    std::array<std::optional<QKeyCombination>, 2> keys;
    QString pad;  // empty: no button

    bool operator==(const ActionBinding&) const = default;
};

class KeyBindings {
  public:
    static constexpr int kKeySlots = 2;

    // Left; Right; Down; Up and A; S; none; P; Ctrl+S. Pad: d-pad left, right
    // and down, A, B, Y, Start, Back.
    static KeyBindings defaults();
    // Each action takes its text when it can be read and keeps its default
    // otherwise; a key or button bound twice stays with the first action.
    static KeyBindings fromText(const app::ControlsText& text);
    app::ControlsText toText() const;

    const ActionBinding& operator[](engine::Action action) const;
    bool operator==(const KeyBindings&) const = default;

    // The action of a pressed key: the key with its modifiers if bound so,
    // else the bare key, since the game keys never looked at Shift or Ctrl.
    std::optional<engine::Action> actionForKey(QKeyCombination key) const;
    std::optional<engine::Action> actionForPad(const QString& button) const;
    // The action holding key, or button, other than the given slot itself.
    std::optional<engine::Action> keyHolder(QKeyCombination key, engine::Action action, int slot) const;
    std::optional<engine::Action> padHolder(const QString& button, engine::Action action) const;

    // Binds unless another slot holds it already; returns the holder then,
    // and nothing changes.
    std::optional<engine::Action> bindKey(engine::Action action, int slot, QKeyCombination key);
    std::optional<engine::Action> bindPad(engine::Action action, const QString& button);
    void clearKey(engine::Action action, int slot);
    void clearPad(engine::Action action);

    // Whether SDL names a game-controller button so.
    static bool isPadButton(const QString& name);
    // What the player reads for a key ("Ctrl+S") or a button ("D-pad Left").
    static QString keyTitle(QKeyCombination key);
    static QString padTitle(const QString& button);

  private:
    ActionBinding& at(engine::Action action);
    std::optional<engine::Action> actionForKeyExactly(QKeyCombination key) const;

    std::array<ActionBinding, engine::kActions.size()> bindings_;
};

}  // namespace velmora

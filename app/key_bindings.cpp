// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/key_bindings.h"

#include <QKeySequence>
#include <QStringList>
#include <utility>

namespace velmora {

using engine::Action;

namespace {

// SDL 2's game-controller button names and what the player reads for them.
constexpr std::array<std::pair<const char*, const char*>, 21> kPadButtons{{
    {"a", "A"}, {"b", "B"}, {"x", "X"}, {"y", "Y"},
    {"back", "Back"}, {"guide", "Guide"}, {"start", "Start"},
    {"leftstick", "Left Stick"}, {"rightstick", "Right Stick"},
    {"leftshoulder", "Left Shoulder"}, {"rightshoulder", "Right Shoulder"},
    {"dpup", "D-pad Up"}, {"dpdown", "D-pad Down"}, {"dpleft", "D-pad Left"},
    {"dpright", "D-pad Right"}, {"misc1", "Misc"}, {"paddle1", "Paddle 1"},
    {"paddle2", "Paddle 2"}, {"paddle3", "Paddle 3"}, {"paddle4", "Paddle 4"},
    {"touchpad", "Touchpad"},
}};

std::size_t indexOf(Action action) { return static_cast<std::size_t>(action); }

// Keypad arrows are the same arrows to the game.
QKeyCombination withoutKeypad(QKeyCombination key) {
    return QKeyCombination(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key());
}

// Up to two keys, comma-separated; an empty text binds none. nullopt when any
// part is no single key.
std::optional<std::array<std::optional<QKeyCombination>, 2>> parseKeys(const std::string& text) {
    std::array<std::optional<QKeyCombination>, 2> keys;
    const QString value = QString::fromStdString(text).trimmed();
    if (value.isEmpty()) {
        return keys;
    }
    const QStringList parts = value.split(',');
    if (parts.size() > KeyBindings::kKeySlots) {
        return std::nullopt;
    }
    for (int i = 0; i < parts.size(); ++i) {
        const QKeySequence sequence = QKeySequence::fromString(parts[i].trimmed(), QKeySequence::PortableText);
        if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown) {
            return std::nullopt;
        }
        keys[static_cast<std::size_t>(i)] = sequence[0];
    }
    return keys;
}

std::string keysText(const ActionBinding& binding) {
    QStringList parts;
    for (const auto& key : binding.keys) {
        if (key) {
            parts << QKeySequence(*key).toString(QKeySequence::PortableText);
        }
    }
    return parts.join(',').toStdString();
}

}  // namespace

KeyBindings KeyBindings::defaults() {
    KeyBindings b;
    auto set = [&b](Action action, std::optional<QKeyCombination> first,
                    std::optional<QKeyCombination> second, const char* pad) {
        b.at(action) = ActionBinding{{first, second}, QString::fromLatin1(pad)};
    };
    set(Action::MoveLeft, Qt::Key_Left, std::nullopt, "dpleft");
    set(Action::MoveRight, Qt::Key_Right, std::nullopt, "dpright");
    set(Action::MoveDown, Qt::Key_Down, std::nullopt, "dpdown");
    set(Action::TurnLeft, Qt::Key_Up, Qt::Key_A, "a");
    set(Action::TurnRight, Qt::Key_S, std::nullopt, "b");
    set(Action::Drop, std::nullopt, std::nullopt, "y");
    set(Action::Pause, Qt::Key_P, std::nullopt, "start");
    set(Action::NewGame, QKeyCombination(Qt::CTRL, Qt::Key_S), std::nullopt, "back");
    return b;
}

KeyBindings KeyBindings::fromText(const app::ControlsText& text) {
    const KeyBindings fallback = defaults();
    KeyBindings wanted = fallback;
    for (std::size_t i = 0; i < engine::kActions.size(); ++i) {
        if (text.keys[i]) {
            if (auto keys = parseKeys(*text.keys[i])) {
                wanted.bindings_[i].keys = *keys;
            }
        }
        if (text.pads[i]) {
            const QString pad = QString::fromStdString(*text.pads[i]).trimmed();
            if (pad.isEmpty() || isPadButton(pad)) {
                wanted.bindings_[i].pad = pad;
            }
        }
    }
    // Bind in action order, so a key or button named twice keeps its first action.
    KeyBindings result;
    for (Action action : engine::kActions) {
        const ActionBinding& binding = wanted[action];
        int slot = 0;
        for (const auto& key : binding.keys) {
            if (key && !result.actionForKeyExactly(*key)) {
                result.at(action).keys[static_cast<std::size_t>(slot++)] = key;
            }
        }
        if (!binding.pad.isEmpty() && !result.actionForPad(binding.pad)) {
            result.at(action).pad = binding.pad;
        }
    }
    return result;
}

app::ControlsText KeyBindings::toText() const {
    app::ControlsText text;
    for (std::size_t i = 0; i < engine::kActions.size(); ++i) {
        text.keys[i] = keysText(bindings_[i]);
        text.pads[i] = bindings_[i].pad.toStdString();
    }
    return text;
}

const ActionBinding& KeyBindings::operator[](Action action) const { return bindings_[indexOf(action)]; }

ActionBinding& KeyBindings::at(Action action) { return bindings_[indexOf(action)]; }

std::optional<Action> KeyBindings::actionForKeyExactly(QKeyCombination key) const {
    for (Action action : engine::kActions) {
        for (const auto& bound : (*this)[action].keys) {
            if (bound == key) {
                return action;
            }
        }
    }
    return std::nullopt;
}

std::optional<Action> KeyBindings::actionForKey(QKeyCombination key) const {
    const QKeyCombination pressed = withoutKeypad(key);
    if (auto action = actionForKeyExactly(pressed)) {
        return action;
    }
    return actionForKeyExactly(QKeyCombination(pressed.key()));
}

std::optional<Action> KeyBindings::actionForPad(const QString& button) const {
    for (Action action : engine::kActions) {
        if (!button.isEmpty() && (*this)[action].pad == button) {
            return action;
        }
    }
    return std::nullopt;
}

std::optional<Action> KeyBindings::keyHolder(QKeyCombination key, Action action, int slot) const {
    for (Action other : engine::kActions) {
        for (int i = 0; i < kKeySlots; ++i) {
            if ((other != action || i != slot) && (*this)[other].keys[static_cast<std::size_t>(i)] == key) {
                return other;
            }
        }
    }
    return std::nullopt;
}

std::optional<Action> KeyBindings::padHolder(const QString& button, Action action) const {
    std::optional<Action> holder = actionForPad(button);
    return holder == action ? std::nullopt : holder;
}

std::optional<Action> KeyBindings::bindKey(Action action, int slot, QKeyCombination key) {
    const QKeyCombination plain = withoutKeypad(key);
    if (auto holder = keyHolder(plain, action, slot)) {
        return holder;
    }
    at(action).keys[static_cast<std::size_t>(slot)] = plain;
    return std::nullopt;
}

std::optional<Action> KeyBindings::bindPad(Action action, const QString& button) {
    if (auto holder = padHolder(button, action)) {
        return holder;
    }
    at(action).pad = button;
    return std::nullopt;
}

void KeyBindings::clearKey(Action action, int slot) { at(action).keys[static_cast<std::size_t>(slot)].reset(); }

void KeyBindings::clearPad(Action action) { at(action).pad.clear(); }

bool KeyBindings::isPadButton(const QString& name) {
    for (const auto& [sdlName, title] : kPadButtons) {
        if (name == QLatin1String(sdlName)) {
            return true;
        }
    }
    return false;
}

QString KeyBindings::keyTitle(QKeyCombination key) {
    return QKeySequence(key).toString(QKeySequence::NativeText);
}

QString KeyBindings::padTitle(const QString& button) {
    for (const auto& [sdlName, title] : kPadButtons) {
        if (button == QLatin1String(sdlName)) {
            return QString::fromLatin1(title);
        }
    }
    return button;
}

}  // namespace velmora

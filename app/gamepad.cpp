// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/gamepad.h"

#include <SDL.h>

#include <QGuiApplication>
#include <QStyleHints>
#include <algorithm>

namespace velmora {

namespace {

constexpr int kPollIntervalMs = 10;
// With no pad open only a plug-in is waited for, so the program wakes less.
constexpr int kIdlePollIntervalMs = 200;
// How far the stick must lean before it counts as a direction.
constexpr int kStickThreshold = 16000;

bool isDirection(const QString& button) {
    return button == "dpleft" || button == "dpright" || button == "dpdown" || button == "dpup";
}

int lean(int value) {
    if (value <= -kStickThreshold) {
        return -1;
    }
    return value >= kStickThreshold ? 1 : 0;
}

}  // namespace

Gamepad::Gamepad(QObject* parent) : QObject(parent) {
    timer_.setInterval(kIdlePollIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &Gamepad::poll);
}

Gamepad::~Gamepad() {
    if (!running_) {
        return;
    }
    for (auto& [id, pad] : pads_) {
        SDL_GameControllerClose(pad);
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepad::start() {
    if (running_) {
        return true;
    }
    // The program handles its own signals; SDL must not take SIGINT or SIGTERM.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        return false;
    }
    running_ = true;
    clock_.start();
    timer_.start();
    return true;
}

int Gamepad::repeatIntervalMs() {
    const int rate = QGuiApplication::styleHints()->keyboardAutoRepeatRate();
    return rate > 0 ? std::max(1000 / rate, 1) : 40;
}

void Gamepad::poll() {
    if (!running_) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        handleEvent(event);
    }
    const int interval = pads_.empty() ? kIdlePollIntervalMs : kPollIntervalMs;
    if (timer_.interval() != interval) {
        timer_.setInterval(interval);
    }
    if (!held_.isEmpty() && clock_.elapsed() >= nextRepeat_) {
        nextRepeat_ = clock_.elapsed() + repeatIntervalMs();
        emit buttonPressed(held_);
    }
}

void Gamepad::handleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            if (SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which)) {
                const int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
                if (!pads_.emplace(id, pad).second) {
                    SDL_GameControllerClose(pad);  // already open: SDL counts opens
                }
            }
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (auto found = pads_.find(event.cdevice.which); found != pads_.end()) {
                SDL_GameControllerClose(found->second);
                pads_.erase(found);
                held_.clear();  // a pulled pad holds nothing down
                stickX_ = stickY_ = 0;
            }
            break;
        case SDL_CONTROLLERBUTTONDOWN: {
            const char* name =
                SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(event.cbutton.button));
            if (name != nullptr) {
                const QString button = QString::fromLatin1(name);
                emit buttonPressed(button);
                if (isDirection(button)) {
                    holdDirection(button);
                }
            }
            break;
        }
        case SDL_CONTROLLERBUTTONUP: {
            const char* name =
                SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(event.cbutton.button));
            if (name != nullptr && held_ == QLatin1String(name)) {
                held_.clear();
            }
            break;
        }
        case SDL_CONTROLLERAXISMOTION:
            stickMoved(event.caxis.axis, event.caxis.value);
            break;
        default:
            break;
    }
}

void Gamepad::holdDirection(const QString& direction) {
    held_ = direction;
    nextRepeat_ = clock_.elapsed() + kRepeatDelayMs;
}

// The stick acts as the d-pad: leaning into a direction presses it, and
// leaning back releases it. Sideways wins over down when it leans both ways.
void Gamepad::stickMoved(int axis, int value) {
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
        stickX_ = lean(value);
    } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {
        stickY_ = lean(value);
    } else {
        return;
    }
    QString direction;
    if (stickX_ != 0) {
        direction = stickX_ < 0 ? "dpleft" : "dpright";
    } else if (stickY_ != 0) {
        direction = stickY_ < 0 ? "dpup" : "dpdown";
    }
    if (direction == held_) {
        return;
    }
    held_.clear();
    if (!direction.isEmpty()) {
        emit buttonPressed(direction);
        holdDirection(direction);
    }
}

}  // namespace velmora

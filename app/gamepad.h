// SPDX-License-Identifier: GPL-3.0-or-later
// Gamepads through SDL 2's game-controller interface (no SDL video or audio),
// polled from a timer on the UI thread. Every pad plugged in is opened, also
// while the game runs, and closed when it is pulled out. Buttons come out by
// SDL's names ("a", "dpleft", ...); the left stick stands for the d-pad, and
// a held direction repeats as a held key does.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <map>

struct _SDL_GameController;
union SDL_Event;

namespace velmora {

class Gamepad : public QObject {
    Q_OBJECT
  public:
    explicit Gamepad(QObject* parent = nullptr);
    ~Gamepad() override;
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    // Starts SDL's game-controller subsystem and the polling timer. False,
    // with nothing polled, where SDL has no controller support; the game
    // then runs on the keyboard alone.
    bool start();
    bool isRunning() const { return running_; }
    // Pads open at the moment.
    int padCount() const { return static_cast<int>(pads_.size()); }
    // Takes SDL's pending events and fires due repeats; the timer calls it.
    void poll();

    // A held direction repeats after this delay...
    static constexpr int kRepeatDelayMs = 500;
    // ...at the keyboard's repeat rate.
    static int repeatIntervalMs();

  signals:
    void buttonPressed(const QString& button);

  private:
    void handleEvent(const SDL_Event& event);
    void holdDirection(const QString& direction);
    void stickMoved(int axis, int value);

    bool running_ = false;
    QTimer timer_;
    std::map<int, _SDL_GameController*> pads_;  // by SDL instance id
    int stickX_ = 0;                            // -1, 0 or 1
    int stickY_ = 0;
    QString held_;  // the direction held, empty for none
    QElapsedTimer clock_;
    qint64 nextRepeat_ = 0;
};

}  // namespace velmora

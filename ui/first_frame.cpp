// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/first_frame.h"

#include <QEvent>
#include <QTimer>

namespace velmora {

namespace {

// Watches one window for its first paint; lives as the window's child, so it
// dies with the window and a step for a window already gone never runs.
class FirstFrameWatch : public QObject {
  public:
    FirstFrameWatch(QWidget* window, std::function<void()> step, std::chrono::milliseconds latest)
        : QObject(window), step_(std::move(step)) {
        window->installEventFilter(this);
        QTimer::singleShot(latest, this, [this] { run(); });
    }

    bool eventFilter(QObject*, QEvent* event) override {
        // The paint is flushed to the display when its handling ends; the
        // queued call comes after that.
        if (event->type() == QEvent::Paint && !queued_) {
            queued_ = true;
            QMetaObject::invokeMethod(this, [this] { run(); }, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    void run() {
        if (!step_) {
            return;
        }
        parent()->removeEventFilter(this);
        std::function<void()> step = std::move(step_);
        step_ = nullptr;
        deleteLater();
        step();
    }

    std::function<void()> step_;
    bool queued_ = false;
};

}  // namespace

void afterFirstFrame(QWidget* window, std::function<void()> step, std::chrono::milliseconds latest) {
    new FirstFrameWatch(window, std::move(step), latest);
}

}  // namespace velmora

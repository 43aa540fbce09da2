// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/termination.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

namespace velmora {

namespace {

int wakeFds[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
extern "C" void onTerminationSignal(int) {
    char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(wakeFds[1], &byte, 1);
}

}  // namespace

void closeOnTermination(QWidget* window) {
    if (::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char buffer[16];
        while (::read(wakeFds[0], buffer, sizeof buffer) > 0) {
        }
        window->close();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace velmora

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialogs.h"

#include <exception>
#include <utility>

namespace velmora::platform {

namespace {

ErrorBoxHandler& handler() {
    static ErrorBoxHandler current;
    return current;
}

MessageHandler& messageHandler() {
    static MessageHandler current;
    return current;
}

ConfirmHandler& confirmHandler() {
    static ConfirmHandler current;
    return current;
}

}  // namespace

std::string errorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

void showErrorBox(const std::string& message) {
    if (handler()) {
        handler()(errorBoxText(message));
    }
}

ErrorBoxHandler setErrorBoxHandler(ErrorBoxHandler next) {
    return std::exchange(handler(), std::move(next));
}

void runGuarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        showErrorBox(error.what());
    } catch (...) {
        showErrorBox("Unknown error");
    }
}

void showMessage(const std::string& text) {
    // A copy: the box runs a nested event loop in which the handler may be replaced.
    MessageHandler current = messageHandler();
    if (current) {
        current(text);
    }
}

MessageHandler setMessageHandler(MessageHandler next) {
    return std::exchange(messageHandler(), std::move(next));
}

bool askConfirmation(const std::string& text) {
    return confirmHandler() && confirmHandler()(text);
}

ConfirmHandler setConfirmHandler(ConfirmHandler next) {
    return std::exchange(confirmHandler(), std::move(next));
}

}  // namespace velmora::platform

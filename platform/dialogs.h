// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message boxes the program shows. The application's standard error box is
// reached through a replaceable handler so that tests can record instead of
// opening a modal window.

#include <functional>
#include <string>

namespace velmora::platform {

// The text the standard error box shows for a message: a full stop is added
// when the last character sorts after the full stop.
std::string errorBoxText(const std::string& message);

using ErrorBoxHandler = std::function<void(const std::string& text)>;

// Shows message in the standard error box: errorBoxText(message), the
// application's title as caption, an error icon and an OK button.
void showErrorBox(const std::string& message);

// Replaces the box (tests record the text); returns the previous handler.
ErrorBoxHandler setErrorBoxHandler(ErrorBoxHandler handler);

// Runs one event handler's action; an error it raises ends the action and is
// shown in the standard error box, and the program goes on.
void runGuarded(const std::function<void()>& action);

using MessageHandler = std::function<void(const std::string& text)>;

// Shows `text` in a modal message box with an OK button, centred on the
// screen and titled with the application's title; returns once it is closed.
// Without a handler nothing is shown.
void showMessage(const std::string& text);

// Replaces the box (tests record the text); returns the previous handler.
MessageHandler setMessageHandler(MessageHandler handler);

using ConfirmHandler = std::function<bool(const std::string& text)>;

// Asks a yes/no question in a confirmation box; true for Yes. Without a
// handler the answer is No.
bool askConfirmation(const std::string& text);

// Replaces the box (tests answer it); returns the previous handler.
ConfirmHandler setConfirmHandler(ConfirmHandler handler);

}  // namespace velmora::platform

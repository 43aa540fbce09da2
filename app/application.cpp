#include "app/application.h"

#include <exception>

#include "platform/dialogs.h"

namespace velmora {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("velmora");
    setApplicationDisplayName("Velmora");
}

bool Application::notify(QObject* receiver, QEvent* event) {
    // The action that failed ends here; the program goes on.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        platform::showErrorBox(error.what());
    } catch (...) {
        platform::showErrorBox("Unknown error");
    }
    return false;
}

}  // namespace velmora

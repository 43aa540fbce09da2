#pragma once
// The application object: its title, and the one place where an error that
// escapes an event handler is caught and shown in the standard error box.

#include <QApplication>

namespace velmora {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace velmora

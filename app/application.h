#pragma once
// The application object, titled "Velmora".

#include <QApplication>

namespace velmora {

class Application : public QApplication {
    Q_OBJECT
  public:
    // The caption of the program's message boxes.
    static constexpr const char* kTitle = "Velmora";

    Application(int& argc, char** argv);
};

}  // namespace velmora

#pragma once
// The application object, titled "Velmora".

#include <QApplication>

namespace velmora {

class Application : public QApplication {
    Q_OBJECT
  public:
    Application(int& argc, char** argv);
};

}  // namespace velmora

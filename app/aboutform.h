// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about window: the product's logo, the maker's web link, the credit
// lines and the version. Created hidden at start-up and only shown and
// hidden. Its URL1 also serves the main window's logo.

#include "online/URL.h"
#include "ui/secondary_window.h"

class QLabel;

namespace velmora {

namespace platform {
class Shell;
}  // namespace platform

namespace controls {
class PictureButton;
class TSelButton;
}  // namespace controls

class Tabout : public SecondaryWindow {
    Q_OBJECT
  public:
    // `shell` opens the web link and must outlive the window; `centreOver`
    // is the window it is centred over when shown.
    Tabout(platform::Shell& shell, QWidget* centreOver);
    ~Tabout() override;

    controls::PictureButton* Image1 = nullptr;  // the product logo
    QLabel* Label7 = nullptr;                   // the web link
    QWidget* credits = nullptr;
    QLabel* label_year = nullptr;
    QLabel* version = nullptr;
    controls::TSelButton* Button1 = nullptr;  // "Done"
    online::TURL URL1;

    void Label7Click();
    void Image1Click();
    void Button1Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildLayout();
};

// The one about window of the program; set while it exists.
extern Tabout* about;

}  // namespace velmora

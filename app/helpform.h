// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: a column of highlight buttons that choose one of a few
// pages of fixed text, the credit lines and "Done". Created hidden at
// start-up and only shown and hidden; the page last chosen stays in front.

#include "ui/secondary_window.h"

class QLabel;
class QTextEdit;

namespace velmora {

namespace controls {
class TFlatPanel;
class TSelButton;
}  // namespace controls

class Thelp : public SecondaryWindow {
    Q_OBJECT
  public:
    // `aboutWindow` is what the About button shows; `centreOver` the window
    // the help window is centred over when shown. Neither is owned.
    Thelp(QWidget* aboutWindow, QWidget* centreOver);
    ~Thelp() override;

    controls::TFlatPanel* panel_side = nullptr;
    controls::TSelButton* button_overview = nullptr;
    controls::TSelButton* button_gameplay = nullptr;
    controls::TSelButton* button_scoring = nullptr;
    controls::TSelButton* button_documentation = nullptr;
    controls::TSelButton* button_about = nullptr;
    controls::TSelButton* button_done = nullptr;
    QWidget* credits = nullptr;
    QLabel* label_year = nullptr;

    controls::TFlatPanel* panel_main = nullptr;
    QLabel* label_caption = nullptr;
    QTextEdit* memo1 = nullptr;
    QTextEdit* memo3 = nullptr;
    QTextEdit* memo4 = nullptr;
    QTextEdit* memo5 = nullptr;

    // Every page button: brings the page named "memo" followed by the
    // button's Tag to the front and titles it with the button's caption.
    void SelButton1Click(controls::TSelButton* Sender);
    void button_aboutClick();
    void button_doneClick();

    // The page in front, the one the player sees.
    QTextEdit* pageInFront() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FormCreate();
    void buildSide();
    void buildMain();
    void placeControls();

    QWidget* aboutWindow_;
};

// The one help window of the program; set while it exists.
extern Thelp* help;

}  // namespace velmora

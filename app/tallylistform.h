// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tally list window: the five totals and the top ten of the player's own
// final scores, always current. Created hidden at start-up, after the main
// window; loads the tally file while it is created and saves it when it is
// destroyed at exit.

#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "tally/lzrw1_codec.h"
#include "tally/tally.h"
#include "tally/tally_file.h"
#include "ui/window_links.h"

class QLabel;

namespace velmora {

namespace controls {
class PictureButton;
}  // namespace controls

class Ttallylist : public QWidget, public TallyTarget {
    Q_OBJECT
  public:
    // Loads the tally file at tallyPath; a file that cannot be read is
    // reported in the standard error box and the tally keeps its defaults.
    explicit Ttallylist(const std::string& tallyPath, QWidget* parent = nullptr);
    // Saves the tally file, silently.
    ~Ttallylist() override;

    tally::Tally& model() { return tally_; }
    // The label widget of that name (mylabel_1, label_high3, ...).
    QLabel* labelNamed(const std::string& name) const;

    // The tally's operations as the game reports to them.
    void addtomineincrease(int column, int32_t amount) override;
    bool checkscore(int32_t score, const std::string& name) override;
    void checkchange(int column, int32_t value) override;

    // The window it is centred over when first shown (the main window).
    void setCentredOver(QWidget* window) { centredOver_ = window; }

    void button_resetClick();
    void button_doneClick();

    controls::PictureButton* button_resettally = nullptr;
    controls::PictureButton* button_done = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FormCreate();
    void FormDestroy();
    void buildLayout();
    QLabel* addLabel(QWidget* parent, const std::string& name, QRect bounds,
                     Qt::Alignment alignment);
    void showLabel(const std::string& name);

    tally::Tally tally_;
    tally::Lzrw1Codec codec_;
    tally::TallyFile file_;
    std::map<std::string, QLabel*> labels_;
    QWidget* centredOver_ = nullptr;
    bool placed_ = false;
};

// The one tally list window of the program; set while it exists.
extern Ttallylist* tallylist;

}  // namespace velmora

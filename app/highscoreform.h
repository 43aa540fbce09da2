// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The high score window: fetches the online list page and shows it in an
// HTML view; clicked web links open in the desktop's browser. It also posts
// finished games' scores for the game-over panel. Created hidden at start-up
// and only shown and hidden after that.

#include <QWidget>
#include <memory>
#include <string>

#include "ui/window_links.h"

class QLabel;

namespace velmora {

namespace platform {
class Dispatcher;
class Shell;
}  // namespace platform

namespace controls {
class PictureButton;
class TFlatPanel;
}  // namespace controls

namespace online {
class THTTPGet;
class THtmlView;
class TURL;
}  // namespace online

// What the window needs from outside; the program passes the real ones,
// tests their own.
struct HighScoreEnvironment {
    std::string serverAddress;  // "http://host[:port]", no trailing "/"
    std::string appname = "velmora";
    std::shared_ptr<platform::Dispatcher> dispatcher;  // delivers the fetches' results
    platform::Shell* shell = nullptr;                  // not owned; must outlive the window
};

class Thighscore : public QWidget, public HighScoreList {
    Q_OBJECT
  public:
    explicit Thighscore(HighScoreEnvironment environment, QWidget* parent = nullptr);
    ~Thighscore() override;

    // Told when a score post has been answered; nullptr tells nobody.
    void setPostTarget(ScorePostTarget* target) { postTarget_ = target; }

    // /counter/<appname>.shtml on the server.
    std::string pageUrl() const;
    // /cgi-bin/<appname>.cgi with the three fields; the name and the date are
    // percent-encoded (the date's "/" kept), so no name can forge another field.
    std::string postUrl(const std::string& name, const std::string& date,
                        const std::string& score) const;

    // --- HighScoreList ---
    void loadit() override;
    void sendscore(const std::string& name, const std::string& date,
                   const std::string& score) override;
    void showList() override;

    // --- Handlers ---
    void getitDoneString(online::THTTPGet& sender, const std::string& result);
    // No list could be fetched: the view says so while it has none to show.
    void getitError(online::THTTPGet& sender);
    static constexpr const char* kUnreachableLine = "The high score list could not be reached.";
    void senditDoneString(online::THTTPGet& sender, const std::string& result);
    void displayhtmlHotSpotClick(online::THtmlView& sender, const QString& src, bool& handled);
    void button_doneClick();

    // --- Controls and components ---
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    controls::TFlatPanel* panel_main = nullptr;
    online::THtmlView* displayhtml = nullptr;
    controls::PictureButton* button_done = nullptr;
    std::unique_ptr<online::THTTPGet> getit;
    std::unique_ptr<online::THTTPGet> sendit;
    std::unique_ptr<online::TURL> URL1;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildLayout();

    HighScoreEnvironment environment_;
    ScorePostTarget* postTarget_ = nullptr;
    bool placed_ = false;
    bool listArrived_ = false;
};

// True when `target` names an http or https address (scheme in any letter
// case): the only links handed to the desktop.
bool isWebLink(const QString& target);

// The one high score window of the program; set while it exists.
extern Thighscore* highscore;

}  // namespace velmora

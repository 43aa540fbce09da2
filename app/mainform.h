// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the well and the game's labels, the menu bar, the overlay
// panels (name, update, game over, pause), the settings, sounds and the
// player's name. The game itself lives in the engine; this window hosts it.

#include <QMainWindow>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/key_bindings.h"
#include "app/player_options.h"
#include "app/update_signature.h"
#include "engine/game.h"
#include "engine/game_host.h"
#include "ui/window_links.h"

class QAction;
class QMenu;
class QLabel;
class QTimer;

namespace velmora {

namespace platform {
class NamedMutex;
class Shell;
class SoundPlayer;
}  // namespace platform

namespace online {
class TURL;
class THTTPGet;
class THttpCli;
}  // namespace online

namespace controls {
class TFlatPanel;
class PictureButton;
class LimitedEdit;
}  // namespace controls
using controls::LimitedEdit;
using controls::PictureButton;
using controls::TFlatPanel;

class ShadowLabel;
class PictureView;
class WindowTimer;

// What the window needs from outside; the program passes the real ones,
// tests their own.
struct MainEnvironment {
    std::string filesFolder;                 // holds velmora.ini, with a trailing '/'
    platform::SoundPlayer* sound = nullptr;  // not owned; nullptr plays nothing
    platform::Shell* shell = nullptr;        // not owned; nullptr opens nothing
    bool seedFromClock = true;               // false: tests seed the engine themselves
    // The update: the running program's file (empty: the real one), how the
    // process ends once the installer has started (empty: at once, code
    // passed), the key installers must be signed with (empty: the built-in
    // one) and whether this program updates itself (empty: as built).
    std::string programPath;
    std::function<void(int code)> exitProcess;
    std::optional<update::PublicKey> updateKey;
    std::optional<bool> selfUpdate;
    // True: the first show leaves its show step (the update check) to
    // runHeldShowStep(), so the program can run it after its other start-up.
    bool holdFirstShowStep = false;
};

class Tmain : public QMainWindow, public engine::GameHost, public ScorePostTarget {
    Q_OBJECT
  public:
    explicit Tmain(MainEnvironment environment, QWidget* parent = nullptr);
    ~Tmain() override;

    // The windows opened from the menus; set once they exist.
    void setTallyTarget(TallyTarget* tally) { tally_ = tally; }
    void setTallyWindow(QWidget* window) { tallyWindow_ = window; }
    // The help and about windows, and the about window's web link, which
    // the logo opens too.
    void setHelpWindows(QWidget* helpWindow, QWidget* aboutWindow, online::TURL* makerLink);
    void setHighScoreList(HighScoreList* list) { highscore_ = list; }
    // Opens the controls window on the bindings in use (mainform_options.cpp).
    void setControlsOpener(std::function<void(const KeyBindings&)> opener) {
        controlsOpener_ = std::move(opener);
    }
    // The show step the first show held back (MainEnvironment::holdFirstShowStep).
    void runHeldShowStep() { FormShow(); }

    // --- Values held for the life of the process ---
    const std::string appname = "velmora";
    const std::string setupfile = "velmorasetup.exe";
    int defaultwidth = 0;
    int defaultheight = 0;
    int savedleft = 0;
    int savedtop = 0;
    int savedwidth = 0;
    int savedheight = 0;

    engine::Game& game() { return *game_; }
    WindowTimer* downtimer = nullptr;
    QTimer* Timer1 = nullptr;

    // --- Controls ---
    TFlatPanel* panel_board = nullptr;
    QLabel* label_name = nullptr;
    TFlatPanel* panel_board1 = nullptr;
    TFlatPanel* panel_dropboard = nullptr;
    PictureView* image_board = nullptr;
    TFlatPanel* panel_next = nullptr;
    PictureView* image_next = nullptr;
    QLabel* label_score = nullptr;
    QLabel* label_linescleared = nullptr;
    QLabel* label_level = nullptr;
    QLabel* image_keys = nullptr;
    PictureButton* button_start = nullptr;
    PictureButton* image_logo = nullptr;

    TFlatPanel* panel_name = nullptr;
    LimitedEdit* edit_aname = nullptr;
    PictureButton* button_namedone = nullptr;
    PictureButton* button_namecancel = nullptr;

    TFlatPanel* panel_update = nullptr;
    PictureButton* button_updateyes = nullptr;
    PictureButton* button_updatecancel = nullptr;
    QLabel* label_update = nullptr;

    TFlatPanel* panel_cleared = nullptr;
    QLabel* label_score1 = nullptr;
    LimitedEdit* edit_name = nullptr;
    PictureButton* button_sendscore = nullptr;
    PictureButton* button_highscores = nullptr;
    PictureButton* button_cancel = nullptr;
    TFlatPanel* panel_wait = nullptr;

    TFlatPanel* panel_pause = nullptr;

    // --- Menu items ---
    QAction* StartGame1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* PlaySounds1 = nullptr;
    QAction* ResetScreenLocation1 = nullptr;
    QAction* ChangeName1 = nullptr;
    QAction* updatecheck = nullptr;
    QAction* Pause1 = nullptr;
    QAction* Controls1 = nullptr;
    QAction* ShowLandingPosition1 = nullptr;
    QMenu* StartingLevel1 = nullptr;
    QAction* PauseWhenInactive1 = nullptr;
    QAction* TallyList1 = nullptr;
    QAction* ViewHighScoreList1 = nullptr;
    QAction* Help1 = nullptr;
    QAction* About1 = nullptr;

    // --- Operations ---
    std::string settingsPath() const;
    // The web server's address: the settings' Server key when it names one,
    // else the address the program was built with.
    const std::string& serverAddress() const { return serverAddress_; }
    void loadinifile();
    void saveinifile();
    void playsounds(const std::string& name) override;

    // --- Handlers ---
    void button_startClick();
    void StartGame1Click();
    void PlaySounds1Click();
    void ResetScreenLocation1Click();
    void ChangeName1Click();
    void button_namedoneClick();
    void button_namecancelClick();
    void button_cancelClick();
    void Pause1Click();
    void panel_pauseClick();
    void TallyList1Click();
    void image_logoClick();
    void Help1Click();
    void About1Click();

    // --- Update (mainform_update.cpp) ---
    std::unique_ptr<online::THTTPGet> checkupdate;  // the version text, in the background
    std::unique_ptr<online::THttpCli> getupdate;    // the installer and its signature
    void checkupdateDoneString(online::THTTPGet& sender, const std::string& result);
    void button_updateyesClick();
    void button_updatecancelClick();
    void downloadit();
    // --- Score posting (mainform_posting.cpp) ---
    int postcount = 0;  // ticks left before the post counts as failed
    int postdots = 0;   // dots behind the wait caption, 1 to 5
    void button_sendscoreClick();
    void button_highscoresClick();
    void ViewHighScoreList1Click();
    void Timer1Timer();
    void scorePosted() override;

    // --- Player options and controls (mainform_options.cpp) ---
    const KeyBindings& bindings() const { return bindings_; }
    // Puts bindings in use and writes them to the settings at once.
    void setBindings(const KeyBindings& bindings);
    // What a key or gamepad button bound to action does.
    void performAction(engine::Action action);
    // A gamepad button pressed, by SDL's name; unbound buttons do nothing.
    void padButton(const QString& button);
    void Controls1Click();
    void ShowLandingPosition1Click();
    void StartingLevelClick(int level);
    void PauseWhenInactive1Click();

    // The window's outer bounds as the settings store them.
    QRect outerBounds() const;
    void setOuterBounds(const QRect& bounds);

    // The smallest client area (the size rule): the outer frame plus 3.
    static constexpr int kMinClientWidth = 618;
    static constexpr int kMinClientHeight = 547;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // GameHost
    void addtomineincrease(int column, int32_t amount) override;
    bool checkscore(int32_t score, const std::string& name) override;
    void checkchange(int column, int32_t value) override;
    void setLabel(engine::Label label, const std::string& caption) override;
    void setPanelVisible(engine::Panel panel, bool visible) override;
    void setPauseChecked(bool checked) override;
    std::string playerName() const override;
    void picturesChanged() override;

    void FormCreate();
    void FormClose();
    void buildMenu();
    void buildClientArea();
    void buildNamePanel(QWidget* gameFrame);
    void buildUpdatePanel(QWidget* gameFrame);
    void buildGameOverPanel(QWidget* gameFrame);
    void buildPausePanel();
    void showInFront(QWidget* widget);
    bool panelKeyPressed(const QKeyEvent& event);  // mainform_panel_keys.cpp
    void describeControls();                       // mainform_accessibility.cpp
    void describeWell();
    void FormResize();
    void focusGame();
    void connectPosting();
    // Player options (mainform_options.cpp)
    void buildPlayerOptionsMenu(QMenu* options);
    void loadPlayerOptions();
    void savePlayerOptions();
    void applyNewGameShortcuts();

    // Update (mainform_update.cpp)
    void setupUpdate();
    void FormShow();
    void keepUpdateOption(bool fromSettings);
    bool updateOptionToSave() const;
    std::string programPath() const;
    bool installerSigned(const std::string& installerUrl, const std::string& installer);
    void restoreProgram();
    void letUpdatePanelClose();

    MainEnvironment environment_;
    std::unique_ptr<engine::Game> game_;
    std::unique_ptr<platform::NamedMutex> mutex_;
    TallyTarget* tally_ = nullptr;
    QWidget* tallyWindow_ = nullptr;
    QWidget* helpWindow_ = nullptr;
    QWidget* aboutWindow_ = nullptr;
    online::TURL* makerLink_ = nullptr;
    HighScoreList* highscore_ = nullptr;
    std::string serverAddress_;
    QRect pendingOuterBounds_;
    bool frameAdjusted_ = false;
    app::PlayerOptions options_;  // only what the file holds or the player chose
    KeyBindings bindings_ = KeyBindings::defaults();
    std::function<void(const KeyBindings&)> controlsOpener_;

    // Update
    bool selfUpdate_ = true;
    bool updateSetting_ = true;  // as loaded, saved back unchanged when selfUpdate_ is off
    std::string programPath_;    // the program's file as started, before any move aside
    std::string backupPath_;     // where the program was moved aside; empty: not moved
};

// The one main window of the program; set while it exists.
extern Tmain* main;

}  // namespace velmora

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the engine asks of the window that hosts it: sounds, the tally
// list, the labels, the panels, the Pause check mark and the player's name.
// The main window implements it; tests record the calls.

#include <cstdint>
#include <string>

namespace velmora::engine {

enum class Label {
    Score,         // label_score: "Score: " + score
    LinesCleared,  // label_linescleared: "Lines Cleared: " + lines
    Level,         // label_level: "Level: " + level
    Greeting,      // label_name: "Good Luck " + name
    FinalScore,    // label_score1 on the game-over panel: "Your Score: " + score
};

enum class Panel {
    StartButton,      // button_start
    WaitPanel,        // panel_wait
    NamePanel,        // panel_name
    GameOverPanel,    // panel_cleared
    PausePanel,       // panel_pause
    SendScoreButton,  // button_sendscore
};

class GameHost {
public:
    virtual ~GameHost() = default;

    // Requests a sound by resource name ("rotate", "place", ...).
    virtual void playsounds(const std::string& name) = 0;

    // The tally list's operations (columns 1 games, 2 rows cleared,
    // 3 four-row clears, 4 highest level, 5 running total of scores).
    virtual void addtomineincrease(int column, int32_t amount) = 0;
    virtual bool checkscore(int32_t score, const std::string& name) = 0;
    virtual void checkchange(int column, int32_t value) = 0;

    virtual void setLabel(Label label, const std::string& caption) = 0;
    // Shows or hides a panel or button; shown panels come to the front.
    virtual void setPanelVisible(Panel panel, bool visible) = 0;
    virtual void setPauseChecked(bool checked) = 0;
    // The player's name: the text of the game-over panel's name field.
    virtual std::string playerName() const = 0;
    // The board or preview picture changed and should be shown again.
    virtual void picturesChanged() = 0;
};

}  // namespace velmora::engine

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One game of Velmora: the well and the falling and next pieces, movement,
// rotation and gravity, full rows, scoring and levels, and the flow from start
// through pause to the end. The window that hosts it supplies a GameHost
// (sounds, tally, labels, panels) and the gravity timer, forwards key-downs
// and timer ticks, and shows board() and preview() when told they changed.
//
// The state carries the names the rest of the program knows it by; the
// fields are public so tests can set up wells and pieces directly.

#include <array>
#include <cstdint>
#include <string>

#include "engine/actions.h"
#include "engine/artwork.h"
#include "engine/blockshapes.h"
#include "engine/game_host.h"
#include "engine/game_timer.h"
#include "engine/picture.h"
#include "engine/piece_random.h"
#include "engine/well.h"

namespace velmora::engine {

// Virtual-key codes of the game keys.
namespace keys {
constexpr uint16_t Left = 37;
constexpr uint16_t Up = 38;
constexpr uint16_t Right = 39;
constexpr uint16_t Down = 40;
constexpr uint16_t A = 65;
constexpr uint16_t P = 80;
constexpr uint16_t S = 83;
}  // namespace keys

// Rotate's direction that steps backwards; any other value steps forwards.
constexpr int kRotateBackwards = 2;

class Game {
public:
    // Keeps references to host and timer for the life of the game; draws
    // nothing and calls neither until an operation below runs.
    Game(GameHost& host, GameTimer& timer);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Seeds the piece generator; the program passes seedFromTimeOfDay once at
    // start-up.
    void seedRandom(uint32_t seed);
    static uint32_t seedFromTimeOfDay(int hour, int minute, int second, int millisecond);

    // --- Game flow -------------------------------------------------------

    // Reset: black preview, background board, empty well, score 0, no flash,
    // labels "Score: 0", "Lines Cleared: 0", "Level: 0", level announced 0.
    void clearall();
    // Starts a new game, abandoning any running or paused one without its
    // end-of-game steps. The menu's Start Game does this, then the window
    // hides the game-over panel.
    void button_startClick();
    // Toggles pause in every state: flips the Pause check mark, shows or
    // hides the pause panel. Paused ticks and keys other than P are ignored.
    void pausethegame();
    // Key-down by virtual-key code; acted on only while a game runs and no
    // row flash is running.
    void FormKeyDown(uint16_t key);
    // A player's action, bound to a key or a gamepad button; acted on, as
    // keys are, only while a game runs and no row flash is running. New Game
    // is the window's and does nothing here.
    void act(Action action);
    // The gravity timer's tick: one dropitdown.
    void downtimerTimer();

    // --- Pieces and movement ---------------------------------------------

    // Brings in the next piece at column 6 of the entry row, or ends the game
    // when the piece that just settled never left the entry row. Does
    // nothing unless a game is running.
    void createblock();
    // Moves the falling piece by (dx, dy) if it fits there, then redraws.
    // Returns whether it moved; false, with nothing changed, while paused.
    bool move(int dx, int dy);
    // Turns the falling piece in place if the new rotation fits (direction 2
    // backwards, else forwards); redraws and requests "rotate" either way.
    // Does nothing while paused. Returns whether it turned.
    bool Rotate(int direction);
    // One tick: a flash step while rows flash, else one row of gravity; a
    // piece that cannot fall settles ("place") and the row check runs.
    void dropitdown();
    // Drop: the falling piece moves down while it fits, then settles at once
    // as a gravity step settles it. Earns no points; does nothing while paused.
    void drop();
    // The box row at which the falling piece would settle if it fell now.
    uint8_t landingRow() const;
    // Finds the full rows among rows 1 to 20: none brings in the next piece,
    // otherwise the flash starts (20 ms, then 100/150 ms blinks).
    void getlinescleared();
    // Redraws the whole board: background, settled cells, and the falling
    // piece unless rows are flashing. Tells the host the pictures changed.
    void Drawblock();

    // --- Player options (off or 1 by default: the game as it always was) ---

    // Outlines, under the falling piece, the cells where it would settle;
    // redraws at once when a game is running.
    void setLandingShadow(bool shown);
    bool landingShadow() const { return landingShadow_; }
    // The level every game starts at from now on, 1 to 10; any other value
    // gives 1.
    void setStartingLevel(int level);
    int startingLevel() const { return startingLevel_; }

    // --- What the window shows -------------------------------------------

    const Picture& board() const { return board_; }      // 287 x 507 at 1x
    const Picture& preview() const { return preview_; }  // 72 x 96 at 1x
    // Draws the board and preview from now on for a screen with `ratio`
    // device pixels to a logical pixel (574 x 1014 and 144 x 192 at 2), and
    // redraws them at once; their size in logical pixels stays.
    void setPixelRatio(double ratio);
    // The score as reported to score posting (Tag of label_score).
    int32_t reportedScore() const { return reportedScore_; }
    // The highest level announced in this game (Tag of label_level).
    int32_t levelAnnounced() const { return levelAnnounced_; }
    // The score shown on the game-over panel (Tag of label_score1).
    int32_t finalScore() const { return finalScore_; }
    bool gamerunning() const { return gamerunning_ != 0; }
    bool gamepaused() const { return gamepaused_ != 0; }
    // The current level: startlevel + lines / 10.
    int level() const { return startlevel + lines / 10; }

    // --- State -----------------------------------------------------------

    WellCells wellcells{};
    uint8_t blocktype = 0;
    uint8_t blockturn = 0;  // rotation used is blockturn % 4; wraps as a byte
    uint8_t blockx = 0;     // well column of the box's left column
    uint8_t blocky = 0;     // well row of the box's top row
    Mask blockcells{};
    uint8_t nexttype = 0;
    Mask nextcells{};

    uint8_t fullcount = 0;
    std::array<uint8_t, 4> fullrows{};  // full rows, top to bottom; unused slots 0
    std::array<std::array<uint8_t, kPlayColumns>, 4> fullsave{};
    uint8_t flashcount = 0;  // 6 down to 1 while the flash runs
    uint16_t score = 0;      // held at 65535 rather than wrapping
    uint16_t lines = 0;      // held at 65535 rather than wrapping
    uint8_t startlevel = 1;

private:
    void setPaused(bool paused);
    void settle();
    void bringInNextPiece();
    void endGame();
    void flashStep();
    void showFullRows(bool shown);
    void finishClear();
    void removeFullRows();
    void showCounters();
    void drawNextPreview();
    void drawBoard(bool withPiece);
    const Artwork& art() const;
    void drawLandingShadow();

    GameHost& host_;
    GameTimer& timer_;
    PieceRandom random_;
    Picture board_;
    Picture preview_;
    uint8_t gamerunning_ = 0;
    uint8_t gamepaused_ = 0;
    int32_t reportedScore_ = 0;
    int32_t levelAnnounced_ = 0;
    int32_t finalScore_ = 0;
    int tileSize_ = kTileSize;   // the board's cell in device pixels
    bool pieceDrawn_ = false;    // the board shows the falling piece
    bool previewShown_ = false;  // the preview shows the next piece
    bool landingShadow_ = false;
    uint8_t startingLevel_ = 1;
};

}  // namespace velmora::engine

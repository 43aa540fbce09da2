// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program's windows meet. Each window includes this header rather
// than another window's, so dependencies between windows go through these
// small interfaces only; main.cpp wires the real windows together.

#include <cstdint>
#include <string>

namespace velmora {

// The tally list's operations, as the engine reports games to it.
class TallyTarget {
  public:
    virtual ~TallyTarget() = default;
    virtual void addtomineincrease(int column, int32_t amount) = 0;
    virtual bool checkscore(int32_t score, const std::string& name) = 0;
    virtual void checkchange(int column, int32_t value) = 0;
};

// What the main window asks of the high score window.
class HighScoreList {
  public:
    virtual ~HighScoreList() = default;
    // Starts fetching the list page; returns at once.
    virtual void loadit() = 0;
    // Starts posting one score; the three texts as the player's query gives them.
    virtual void sendscore(const std::string& name, const std::string& date,
                           const std::string& score) = 0;
    // Shows the window (non-modal) and brings it to the front.
    virtual void showList() = 0;
};

// What the high score window tells the game-over panel's owner.
class ScorePostTarget {
  public:
    virtual ~ScorePostTarget() = default;
    // The server has answered a score post: the wait display ends.
    virtual void scorePosted() = 0;
};

}  // namespace velmora

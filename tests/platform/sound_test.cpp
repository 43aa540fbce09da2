// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::platform {
namespace {

// Records what the program asked of the sound player, in order.
class RecordingPlayer : public SoundPlayer {
public:
    std::vector<std::string> calls;
    void play(const std::string& resource) override { calls.push_back("play " + resource); }
    void stop() override { calls.push_back("stop"); }
};

TEST(SoundResourceFor, MatchesTheSevenResourcesWithoutRegardToCase) {
    EXPECT_EQ(soundResourceFor("entered"), "ENTERED");
    EXPECT_EQ(soundResourceFor("GameOver"), "GAMEOVER");
    EXPECT_EQ(soundResourceFor("levelup"), "LEVELUP");
    EXPECT_EQ(soundResourceFor("lineclear"), "LINECLEAR");
    EXPECT_EQ(soundResourceFor("PLACE"), "PLACE");
    EXPECT_EQ(soundResourceFor("rotate"), "ROTATE");
    EXPECT_EQ(soundResourceFor("tetris"), "TETRIS");
    EXPECT_EQ(soundResourceFor("startgame"), std::nullopt);
    EXPECT_EQ(soundResourceFor(""), std::nullopt);
    EXPECT_EQ(soundResourceFor("rotate "), std::nullopt);
    EXPECT_EQ(soundResourceFor("tetri"), std::nullopt);
}

TEST(PlaySoundRequest, PlaysInOrderOnlyWhileTheOptionIsOn) {
    RecordingPlayer player;
    playSoundRequest(player, true, "entered");
    playSoundRequest(player, false, "place");
    playSoundRequest(player, false, "startgame");
    playSoundRequest(player, true, "startgame");
    playSoundRequest(player, true, "lineclear");
    playSoundRequest(player, true, "levelup");
    EXPECT_EQ(player.calls, (std::vector<std::string>{"play ENTERED", "stop", "play LINECLEAR",
                                                      "play LEVELUP"}));
}

}  // namespace
}  // namespace velmora::platform

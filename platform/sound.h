// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playing the program's short sound effects by name.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

// Plays the program's embedded sounds. At most one sound plays at a time.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;

    // Stops whatever sound is playing and starts the sound resource `resource`
    // (one of kSoundResources, upper case) in the background; returns at once.
    virtual void play(const std::string& resource) = 0;

    // Stops the sound that is playing, if any.
    virtual void stop() = 0;
};

// The names of the sound resources the program carries.
inline constexpr std::array<std::string_view, 7> kSoundResources = {
    "ENTERED", "GAMEOVER", "LEVELUP", "LINECLEAR", "PLACE", "ROTATE", "TETRIS"};

// The resource that a requested sound name stands for, matched without regard
// to case ("entered" gives "ENTERED"); nothing for a name without a resource.
std::optional<std::string> soundResourceFor(std::string_view name);

// A sound request of the game: with `playSounds` off nothing happens. Otherwise
// the playing sound is cut off and the resource of `name` starts; a name with no
// resource (the game asks for "startgame") only silences the playing sound.
void playSoundRequest(SoundPlayer& player, bool playSounds, std::string_view name);

}  // namespace velmora::platform

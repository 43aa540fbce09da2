// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HTML the server sends. Everything that came from a player is escaped.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/score_query.h"

namespace velmora::server {

// The list page shows at most this many entries.
inline constexpr size_t kListedScores = 100;

// `text` with &, <, >, " and ' written as entities.
std::string htmlEscape(std::string_view text);

// The high score page: a title band with the trophy picture (embedded as a
// data: address), then rank, name, score and date of each entry in the
// given order (best first), and `totalPosted`, the number of scores posted in
// all. In the game's colours, with plain HTML attributes rather than style
// sheets so that simple viewers show it as meant; made to be read in the
// game's 481-pixel-wide high score window.
std::string scoreListPage(const std::vector<ScoreEntry>& entries, uint64_t totalPosted);

// The trophy picture, PNG bytes (generated from the game's own picture).
std::string_view trophyPicturePng();

// `bytes` in base64, padded.
std::string base64(std::string_view bytes);

// The maker's home page, linking to the list (and to the installer when
// `hasInstaller`).
std::string homePage(std::string_view versionText, bool hasInstaller);

}  // namespace velmora::server

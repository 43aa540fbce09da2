#pragma once
// The HTML the server sends. Everything that came from a player is escaped.

#include <string>
#include <string_view>
#include <vector>

#include "server/score_query.h"

namespace velmora::server {

// The list page shows at most this many entries.
inline constexpr size_t kListedScores = 100;

// `text` with &, <, >, " and ' written as entities.
std::string htmlEscape(std::string_view text);

// The high score page: rank, name, score and date of each entry in the
// given order (best first), in the game's colours. Plain HTML attributes
// rather than style sheets, so that simple viewers show it as meant.
std::string scoreListPage(const std::vector<ScoreEntry>& entries);

// The maker's home page, linking to the list (and to the installer when
// `hasInstaller`).
std::string homePage(std::string_view versionText, bool hasInstaller);

}  // namespace velmora::server

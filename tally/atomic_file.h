// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replacing a file that holds the player's data so that a failure or a crash
// at any moment leaves either the old contents or the new, never neither and
// never a mixture.

#include <string>
#include <string_view>

namespace velmora::tally {

// Writes data to a new private file beside path (created exclusively, named
// ".<name>.XXXXXX"), flushes it to disk and renames it over path. Returns
// false on any failure; the temporary file is then removed and path is as it
// was. The new file keeps the old one's permissions, or gets rw-r--r--.
// Temporaries that earlier, killed saves of path left behind are removed.
bool replaceFileAtomically(const std::string& path, std::string_view data);

}  // namespace velmora::tally

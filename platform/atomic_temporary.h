// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The temporaries of atomic replacements ("write beside, then rename"). A
// crash between creating one and renaming it would leave it behind for
// ever, so each writer holds a lock on its temporary while it lives, and the
// next replacement of the same file removes those whose writer is gone.

#include <string>

namespace velmora::platform {

struct AtomicTemporary {
    int fd = -1;       // open for writing and locked; the caller closes it
    std::string name;  // ".<file name>.XXXXXX" beside the target
};

// Creates a new private temporary beside `path`. fd is -1 on failure.
AtomicTemporary createAtomicTemporary(const std::string& path);

// Removes the temporaries beside `path` that no living writer holds (and
// that are older than a moment, so one just created and not yet locked is
// left alone). Best effort: whatever cannot be removed stays. Returns how
// many were removed.
int removeStaleTemporaries(const std::string& path);

}  // namespace velmora::platform

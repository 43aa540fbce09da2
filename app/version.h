// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's version text: the about window shows it, and the update
// check compares the server's version file with it, exactly. It is the
// project's release number, the one every tool reports with --version.

#include "velmora_version.h"

namespace velmora {

inline constexpr const char* kVersionText = kVersion;

// The maker's web site, without its scheme.
inline constexpr const char* kMakerSite = "www.nivoltsoftware.com";

}  // namespace velmora

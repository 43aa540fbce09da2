#pragma once
// The program's version text: the about window shows it, and the update
// check compares the server's version file with it, exactly.

namespace velmora {

inline constexpr const char* kVersionText = "1.0.0";

// The maker's web site, without its scheme.
inline constexpr const char* kMakerSite = "www.nivoltsoftware.com";

}  // namespace velmora

#pragma once
// The program's version text: the about window shows it, and the update
// check compares the server's version file with it, exactly.

namespace velmora {

inline constexpr const char* kVersionText = "1.0.0";

}  // namespace velmora

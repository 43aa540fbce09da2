// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tally's codec backed by the compression component Tlzrw1 in stream
// mode: mode Good for writing, either mode for reading, all in memory.

#include <string>
#include <string_view>

#include "tally/tally_codec.h"

namespace velmora::tally {

// Larger expanded texts are refused: no tally comes near it, and a damaged
// size field must not make the reader fill all memory.
inline constexpr size_t kMaxTallyTextSize = size_t{16} << 20;

class Lzrw1Codec : public TallyCodec {
public:
    std::string compress(std::string_view text) const override;

    // The component's messages as they read for a file: a failure names the
    // container's file, as when the component reads the file itself.
    // An expanded text above kMaxTallyTextSize fails as too large.
    std::string decompress(std::string_view container, const std::string& name) const override;
};

}  // namespace velmora::tally

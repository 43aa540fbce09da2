// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the tally file needs of the compression component: the container of a
// grid text (mode Good, "!HZL") and the text a container holds. Both work in
// memory, so no temporary file is ever written.

#include <string>
#include <string_view>

namespace velmora::tally {

class TallyCodec {
public:
    virtual ~TallyCodec() = default;

    // The container bytes of text. Throws with the component's message.
    virtual std::string compress(std::string_view text) const = 0;

    // The text a container holds (either mode). name is the file's name for
    // the messages. Throws with the component's message when the bytes are
    // not a container or fail its size check.
    virtual std::string decompress(std::string_view container, const std::string& name) const = 0;
};

}  // namespace velmora::tally

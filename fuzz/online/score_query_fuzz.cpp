// SPDX-License-Identifier: GPL-3.0-or-later
// Property: a score post's query, however crafted, decodes into a bounded,
// clean entry or a refusal, and the entry's text cannot open a tag once
// escaped for the list page.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/pages.h"
#include "server/score_query.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view query(reinterpret_cast<const char*>(data), size);
    auto decoded = velmora::server::decodeScoreQuery(query);
    if (const auto* entry = std::get_if<velmora::server::ScoreEntry>(&decoded)) {
        if (entry->name.empty() || entry->name.size() > 4 * velmora::server::kMaxNameChars
            || entry->date.size() > velmora::server::kMaxDateBytes || entry->score > velmora::server::kMaxScore) {
            std::abort();
        }
        for (char c : entry->name) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                std::abort();
            }
        }
        std::string page = velmora::server::scoreListPage({*entry}, 1);
        std::string escaped = velmora::server::htmlEscape(entry->name);
        if (escaped.find_first_of("<>\"'") != std::string::npos || page.find(escaped) == std::string::npos) {
            std::abort();
        }
    }
    return 0;
}

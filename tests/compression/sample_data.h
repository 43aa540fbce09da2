// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Inputs shared by the compression tests: the text of a tally on which no
// game has been played, and deterministic data of several kinds.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The grid text of a fresh 9 by 12 tally: counts, then each column's cells.
inline std::string freshTallyText() {
    std::vector<std::string> lines = {"9", "12"};
    auto column = [&](const std::vector<std::string>& cells) {
        for (int row = 0; row < 12; ++row) {
            lines.push_back(row < static_cast<int>(cells.size()) ? cells[row] : "");
        }
    };
    column({"0"});
    std::vector<std::string> scores = {"0"};
    scores.insert(scores.end(), 10, "-1000");
    column(scores);
    for (int k = 2; k <= 5; ++k) {
        column({"0"});
    }
    for (int k = 6; k <= 8; ++k) {
        column({});
    }
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

inline Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 engine(seed);
    Bytes bytes(size);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(engine());
    }
    return bytes;
}

// Words from a small vocabulary, so the text has both repeats and variety.
inline Bytes wordText(std::size_t size, unsigned seed) {
    static const char* const words[] = {"the ", "well ", "piece ", "falls ", "row ", "level ", "score ",
                                        "tally ", "and ", "of ", "clears ", "\r\n", "turns ", "a ", "fast "};
    std::mt19937 engine(seed);
    Bytes bytes;
    while (bytes.size() < size) {
        const std::string word = words[engine() % std::size(words)];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(size);
    return bytes;
}

// Long runs of few values: exercises run items and long matches.
inline Bytes runsOfBytes(std::size_t size, unsigned seed) {
    std::mt19937 engine(seed);
    Bytes bytes;
    while (bytes.size() < size) {
        bytes.insert(bytes.end(), 1 + engine() % 5000, static_cast<std::uint8_t>(engine() % 3));
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace velmora::test

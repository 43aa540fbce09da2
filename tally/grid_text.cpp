// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/grid_text.h"

#include <optional>

#include "platform/bounded_file.h"
#include "tally/atomic_file.h"
#include "tally/decimal.h"
#include "tally/tally_error.h"

namespace velmora::tally {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr const char* kInvalidNumber = "Invalid numeric input";

// Reads the text line by line; past the end every line is empty.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    bool atEnd() const { return rest_.empty(); }
    size_t remaining() const { return rest_.size(); }

    std::string_view next() {
        size_t end = rest_.find('\n');
        std::string_view line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
        if (end != std::string_view::npos && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        return line;
    }

private:
    std::string_view rest_;
};

// A count line: leading blanks, a decimal number, then the end of the line or
// a blank after which the rest is skipped.
int readCount(LineReader& reader) {
    if (reader.atEnd()) {
        throw TallyError(kInvalidNumber);
    }
    std::string_view line = reader.next();
    size_t start = line.find_first_not_of(" \t");
    size_t end = start == std::string_view::npos ? line.size() : line.find_first_of(" \t", start);
    std::optional<int32_t> count = parseInt32(line.substr(0, end));
    if (!count || *count < 1 || *count > kMaxGridCount) {
        throw TallyError(kInvalidNumber);
    }
    return *count;
}

std::string oneLine(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return line;
}

}  // namespace

std::string gridText(const StringGrid& grid) {
    std::string text;
    text.append(std::to_string(grid.colCount())).append(kLineEnd);
    text.append(std::to_string(grid.rowCount())).append(kLineEnd);
    for (int col = 0; col < grid.colCount(); ++col) {
        for (int row = 0; row < grid.rowCount(); ++row) {
            text.append(oneLine(grid.cell(col, row))).append(kLineEnd);
        }
    }
    return text;
}

StringGrid parseGridText(std::string_view text) {
    LineReader reader(text);
    int colCount = readCount(reader);
    int rowCount = readCount(reader);
    // Each cell but the last takes at least its line end; more cells than
    // bytes cannot come from a real grid and would only cost memory.
    if (static_cast<size_t>(colCount) * static_cast<size_t>(rowCount) > reader.remaining() + 1) {
        throw TallyError(kInvalidNumber);
    }
    StringGrid grid(colCount, rowCount);
    for (int col = 0; col < colCount; ++col) {
        for (int row = 0; row < rowCount; ++row) {
            grid.setCell(col, row, std::string(reader.next()));
        }
    }
    return grid;
}

void savegrid(const StringGrid& grid, const std::string& fileName) {
    if (!replaceFileAtomically(fileName, gridText(grid))) {
        throw TallyError("Unable to write to " + fileName);
    }
}

void loadgrid(StringGrid& grid, const std::string& fileName) {
    grid = parseGridText(readGridTextFile(fileName));
}

std::string readGridTextFile(const std::string& fileName) {
    platform::FileRead file = platform::readRegularFile(fileName, kMaxGridTextFile);
    if (file.status == platform::FileReadStatus::tooLarge) {
        throw TallyError(fileName + " : this file is too large for a grid text !");
    }
    if (file.status != platform::FileReadStatus::ok) {
        throw TallyError("File not found");
    }
    return std::move(file.bytes);
}

}  // namespace velmora::tally

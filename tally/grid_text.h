// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid text: how a string grid is written out as plain text and read
// back. Line 1 holds the column count, line 2 the row count, then one line
// per cell, column by column (all rows of column 0, then column 1, ...). Every
// line, the last included, ends with CR LF. Cell (k, r) of a grid with R rows
// is therefore on line 3 + R * k + r.

#include <cstddef>
#include <string>
#include <string_view>

#include "tally/string_grid.h"

namespace velmora::tally {

// Counts above this are taken as damage, not as a grid.
inline constexpr int kMaxGridCount = 1000;
// A grid text file larger than this is not read.
inline constexpr size_t kMaxGridTextFile = size_t{16} << 20;

// The grid text of a grid. A line break inside a cell would shift every later
// cell, so CR and LF in a cell are written as blanks.
std::string gridText(const StringGrid& grid);

// The grid a grid text holds. Throws TallyError("Invalid numeric input") when
// a count line does not start with a decimal number (leading blanks allowed;
// after the number only a blank and anything else may follow), when a count
// is outside 1 to kMaxGridCount, or when the counts ask for more cells than
// the rest of the text has bytes (plus one). Lines end at LF, with a CR before
// it dropped. A text that ends before every cell is read leaves the remaining
// cells empty, as reading past the end of a text file gives empty lines.
// Lines after the last cell are ignored. Work and memory are linear in the
// text's size.
StringGrid parseGridText(std::string_view text);

// Writes the grid text to the file, replacing it atomically. Throws
// TallyError("Unable to write to <file>") on failure.
void savegrid(const StringGrid& grid, const std::string& fileName);

// Reads a grid text file into grid. Throws TallyError("File not found") when
// the file cannot be opened or read, or the errors of parseGridText; grid is
// then unchanged.
void loadgrid(StringGrid& grid, const std::string& fileName);

// The bytes of a grid text file, read only from a regular file and never
// beyond kMaxGridTextFile. Throws TallyError: "File not found" when there is
// no such regular file or it cannot be read, "<file> : this file is too
// large for a grid text !" past the cap.
std::string readGridTextFile(const std::string& fileName);

}  // namespace velmora::tally

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tally as a plain text table, as the tally inspector prints it: the five
// totals with the window's captions, then the ten ranks with date, name and
// score as the window shows them.

#include <string>

#include "tally/tally.h"

namespace velmora::tally {

// Lines end with '\n'. Columns are padded with blanks; texts longer than
// their column are printed whole.
std::string tallyTable(const Tally& tally);

}  // namespace velmora::tally

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hand-made pages that each aim at one cost of showing HTML: long runs
// without a break, many pictures in a paragraph, entities, style rules,
// markup a hand scanner misreads, deep nesting, huge tables. Shared by the
// view's tests, its benchmark and the fuzz target's seeds.

#include <string>
#include <vector>

namespace velmora::online::testing {

struct HostilePage {
    std::string name;  // a word, usable as a file name
    std::string page;
    std::string shownText;  // text the view must still show, at its start
};

// Every class of page at its full size (`scale` 1, up to about 10 MB each);
// a smaller scale makes each page proportionally smaller.
std::vector<HostilePage> hostilePages(double scale = 1.0);

}  // namespace velmora::online::testing

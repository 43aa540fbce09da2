// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The maker's credit lines that the help and about windows share: the
// product, the maker, and a year range that ends in the current year.

#include <QString>

class QLabel;
class QWidget;

namespace velmora {

struct CreditLines {
    QWidget* block = nullptr;      // the lines, sized to fit; place it where they go
    QLabel* label_year = nullptr;  // the range's last year
};

// Three lines 16 pixels apart in "Times New Roman" 13-pixel bold, pale, in a
// see-through block inside `parent`. The year label reads the current year,
// set here once: a program left running over New Year keeps the old one.
CreditLines addCreditLines(QWidget* parent);

// A year as four digits ("0999", "2026").
QString yearText(int year);

}  // namespace velmora

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The local date and the system's date conventions: the short date format of
// the current locale, its date separator, and the fixed "m/d/yy" pattern that
// score posts use. The format functions take the pattern as an argument so the
// caller (or a test) decides which one applies; the program calls
// setlocale(LC_TIME, "") once at start so that shortDateFormat() follows the
// user's locale.

#include <string>
#include <string_view>

namespace velmora::platform {

// A calendar date: year (e.g. 2008), month 1 to 12, day 1 to 31.
struct LocalDate {
    int year = 1970;
    int month = 1;
    int day = 1;

    bool operator==(const LocalDate&) const = default;
};

// Today's date in the local time zone.
LocalDate today();

// The current LC_TIME locale's short date format, a strftime pattern
// (nl_langinfo(D_FMT), e.g. "%m/%d/%y" in the C locale). Never empty: falls
// back to "%m/%d/%y" when the locale gives none.
std::string shortDateFormat();

// The date formatted with a strftime pattern. An empty pattern, or one whose
// expansion is longer than 1023 bytes, gives an empty text.
std::string formatDate(const LocalDate& date, const std::string& pattern);

// Today's date formatted with a strftime pattern.
std::string formatToday(const std::string& pattern);

// The date separator of a strftime pattern: its first literal character that
// is printable ASCII but neither a letter nor a digit, or '/' when there is
// none. Conversions ("%d", "%-m", "%Ey", "%%") are skipped; the composite
// conversions "%D" and "%F" count as their own separators ('/' and '-').
char dateSeparator(std::string_view pattern);

// The date as "m/d/yy" with the given separator: month and day without
// leading zeros, the year as its last two digits ("2/11/08").
std::string formatMdyy(const LocalDate& date, char separator);

}  // namespace velmora::platform

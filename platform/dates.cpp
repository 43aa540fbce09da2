// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates.h"

#include <langinfo.h>

#include <array>
#include <cctype>
#include <ctime>

namespace velmora::platform {

namespace {

constexpr const char* kFallbackFormat = "%m/%d/%y";

// A struct tm for the date at noon, with weekday and day of the year filled in
// so that every strftime conversion has what it needs.
std::tm tmOf(const LocalDate& date) {
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_hour = 12;
    std::tm normalised = tm;
    // timegm fills tm_wday and tm_yday without touching the time zone.
    if (::timegm(&normalised) != static_cast<std::time_t>(-1)) {
        tm = normalised;
    }
    return tm;
}

bool isSeparatorChar(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F && std::isalnum(byte) == 0;
}

// Length of the conversion that starts at pattern[at] == '%': glibc flags
// ('_', '-', '0', '^', '#'), a field width, an 'E' or 'O' modifier, then the
// conversion character.
size_t conversionLength(std::string_view pattern, size_t at) {
    size_t i = at + 1;
    while (i < pattern.size() && std::string_view("_-0^#").find(pattern[i]) != std::string_view::npos) {
        ++i;
    }
    while (i < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i])) != 0) {
        ++i;
    }
    if (i < pattern.size() && (pattern[i] == 'E' || pattern[i] == 'O')) {
        ++i;
    }
    return i < pattern.size() ? i + 1 - at : pattern.size() - at;
}

}  // namespace

LocalDate today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string shortDateFormat() {
    const char* format = ::nl_langinfo(D_FMT);
    return format != nullptr && format[0] != '\0' ? std::string(format) : kFallbackFormat;
}

std::string formatDate(const LocalDate& date, const std::string& pattern) {
    if (pattern.empty()) {
        return {};
    }
    std::tm tm = tmOf(date);
    std::array<char, 1024> buffer{};
    size_t length = std::strftime(buffer.data(), buffer.size(), pattern.c_str(), &tm);
    return std::string(buffer.data(), length);
}

std::string formatToday(const std::string& pattern) { return formatDate(today(), pattern); }

char dateSeparator(std::string_view pattern) {
    size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] != '%') {
            if (isSeparatorChar(pattern[i])) {
                return pattern[i];
            }
            ++i;
            continue;
        }
        size_t length = conversionLength(pattern, i);
        char conversion = pattern[i + length - 1];
        if (conversion == 'D') {
            return '/';
        }
        if (conversion == 'F') {
            return '-';
        }
        i += length;
    }
    return '/';
}

std::string formatMdyy(const LocalDate& date, char separator) {
    int year = date.year % 100;
    if (year < 0) {
        year = -year;
    }
    std::array<char, 3> yy{static_cast<char>('0' + year / 10), static_cast<char>('0' + year % 10),
                           '\0'};
    return std::to_string(date.month) + separator + std::to_string(date.day) + separator + yy.data();
}

}  // namespace velmora::platform

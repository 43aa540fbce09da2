// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace velmora::platform {
namespace {

const LocalDate kFeb11 = {2008, 2, 11};
const LocalDate kDec31 = {1999, 12, 31};

TEST(Dates, FormatsFixedDatesWithTheLocalesPatterns) {
    EXPECT_EQ(formatDate(kFeb11, "%m/%d/%y"), "02/11/08");
    EXPECT_EQ(formatDate(kFeb11, "%d.%m.%Y"), "11.02.2008");
    EXPECT_EQ(formatDate(kDec31, "%Y-%m-%d"), "1999-12-31");
    EXPECT_EQ(formatDate(kFeb11, "%F"), "2008-02-11");
    EXPECT_EQ(formatDate(kFeb11, "%D"), "02/11/08");
    EXPECT_EQ(formatDate(kFeb11, ""), "");
}

TEST(Dates, FillsTheWeekdayAndTheDayOfTheYear) {
    std::setlocale(LC_TIME, "C");
    EXPECT_EQ(formatDate(kFeb11, "%a %b %e"), "Mon Feb 11");
    EXPECT_EQ(formatDate(kDec31, "%A %j"), "Friday 365");
}

TEST(Dates, TodayAgreesWithTheFormattedToday) {
    LocalDate before = today();
    std::string text = formatToday("%Y-%m-%d");
    LocalDate after = today();
    // Around midnight the two reads may straddle the change of day.
    EXPECT_TRUE(text == formatDate(before, "%Y-%m-%d") || text == formatDate(after, "%Y-%m-%d"))
        << text;
    EXPECT_GE(before.year, 2024);
    EXPECT_GE(before.month, 1);
    EXPECT_LE(before.month, 12);
}

TEST(Dates, ShortDateFormatOfTheCLocale) {
    std::setlocale(LC_TIME, "C");
    EXPECT_EQ(shortDateFormat(), "%m/%d/%y");
    EXPECT_EQ(formatDate(kFeb11, shortDateFormat()), "02/11/08");
}

struct SeparatorCase {
    const char* pattern;
    char separator;
};

class DateSeparator : public testing::TestWithParam<SeparatorCase> {};

TEST_P(DateSeparator, IsTheFirstLiteralPunctuation) {
    EXPECT_EQ(dateSeparator(GetParam().pattern), GetParam().separator) << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(Patterns, DateSeparator,
                         testing::Values(SeparatorCase{"%m/%d/%y", '/'},
                                         SeparatorCase{"%d.%m.%Y", '.'},
                                         SeparatorCase{"%Y-%m-%d", '-'},
                                         SeparatorCase{"%-d/%-m/%Y", '/'},
                                         SeparatorCase{"%Ey.%m.%d", '.'},
                                         SeparatorCase{"%%%d|%m", '|'},
                                         SeparatorCase{"%D", '/'},
                                         SeparatorCase{"%F", '-'},
                                         SeparatorCase{"%d %m %Y", '/'},
                                         SeparatorCase{"%Y\xE5\xB9\xB4%m\xE6\x9C\x88", '/'},
                                         SeparatorCase{"", '/'}));

TEST(Dates, MdyyDropsLeadingZerosAndKeepsTwoYearDigits) {
    EXPECT_EQ(formatMdyy(kFeb11, '/'), "2/11/08");
    EXPECT_EQ(formatMdyy(kDec31, '.'), "12.31.99");
    EXPECT_EQ(formatMdyy(LocalDate{2000, 1, 5}, '-'), "1-5-00");
    EXPECT_EQ(formatMdyy(LocalDate{2123, 10, 1}, '/'), "10/1/23");
}

}  // namespace
}  // namespace velmora::platform

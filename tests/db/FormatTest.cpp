#include <gtest/gtest.h>

#include "platform/db/Format.h"

using namespace kiv;

namespace {

Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d);
}

struct FormatCase {
    Value value;
    const char* pattern;
    const char* expected;
};

void expectFormats(const std::vector<FormatCase>& cases) {
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.value, c.pattern), c.expected) << c.value.text() << " " << c.pattern;
}

}  // namespace

TEST(FormatNumber, GroupingRoundingAndPercentages) {
    expectFormats({
        {0.0, "##,##0", "0"},
        {1234567.0, "##,##0", "1,234,567"},
        {-1234567.0, "##,##0", "-1,234,567"},
        {int64_t{9007199254740993}, "##,##0", "9,007,199,254,740,993"},
        // Halves round away from zero, and a computed value as the decimal it stands for.
        {1234.5, "##,##0", "1,235"},
        {-2.5, "##0", "-3"},
        {999.5, "##,##0", "1,000"},
        {10 * 0.05, "##,##0", "1"},
        {0.285 * 100, "##0", "29"},
        {-0.4, "##,##0", "0"},
        // "#,###" shows zero as nothing.
        {0.4, "#,###", ""},
        {1234.0, "#,###", "1,234"},
        {0.12345, "0.00%", "12.35%"},
        {0.0, "0.00%", "0.00%"},
        {-0.25, "0.00%", "-25.00%"},
    });
}

TEST(FormatNumber, TextsAreFormattedAsTheNumberTheyHoldElseKept) {
    expectFormats({
        {"12,000", "##0", "12000"},
        {"1,234.6", "##0", "1235"},
        {"0", "#,###", ""},
        {"abc", "##0", "abc"},
        {"12abc", "##,##0", "12abc"},
        {"", "##,##0", ""},
        {Value(), "##,##0", ""},
        {Value(), "gg ee/mm/dd", ""},
    });
}

TEST(FormatDate, RocAndGregorianPatterns) {
    expectFormats({
        {ymd(1912, 1, 1), "gg ee/mm/dd", "中華民國 01/01/01"},
        {ymd(2006, 12, 27), "ee/mm/dd", "95/12/27"},
        {ymd(2011, 1, 1), "ee/mm/dd", "100/01/01"},
        {ymd(2026, 1, 5), "ggee/mm/dd", "中華民國115/01/05"},
        {ymd(2026, 12, 6), "gg ee 年 mm 月 dd 日", "中華民國 115 年 12 月 06 日"},
        {ymd(2026, 3, 1), " ee年mm月份", " 115年03月份"},
        {ymd(1986, 3, 9), "e/m/d", "75/3/9"},
        // Document numbers grow from six to seven digits in 2011.
        {ymd(2010, 1, 2), "eemmdd", "990102"},
        {ymd(2026, 1, 5), "eemmdd", "1150105"},
        {ymd(2006, 12, 27), "yy/mm/dd", "06/12/27"},
        {ymd(2006, 1, 5), "yyyy/m/d", "2006/1/5"},
        {ymd(2024, 2, 29), "yyyy/mm/01", "2024/02/01"},
        {Date::fromYmdHms(2026, 1, 5, 7, 8, 9), "yyyy/mm/dd hh:nn:ss", "2026/01/05 07:08:09"},
        // The short date text, where a date becomes text without a pattern.
        {ymd(2006, 1, 1), "", "2006/01/01"},
        // A label's date text is read as its date first.
        {"中華民國 95 年 12 月 27 日", "yy/mm/dd", "06/12/27"},
        {"95/12/27", "gg ee/mm/dd", "中華民國 95/12/27"},
        {"2006-12-27", "ee/mm/dd", "95/12/27"},
        {"not a date", "ee/mm/dd", "not a date"},
    });
    EXPECT_EQ(shortDateText(Date::fromYmdHms(2006, 1, 1, 13, 5, 0)), "2006/01/01 13:05:00");
}

TEST(ParseShownDate, EveryShownFormAndEveryPatternReadBack) {
    for (const char* text :
         {"中華民國 115 年 01 月 05 日", "中華民國115/01/05", "民國 115 年 1 月 5 日", "115/1/5",
          " 115 / 01 / 05 ", "115年1月5日", "2026/1/5", "2026-01-05", "\u3000115/01/05"})
        EXPECT_EQ(parseShownDate(text), ymd(2026, 1, 5)) << text;
    for (Date d : {ymd(1912, 1, 1), ymd(2010, 12, 31), ymd(2011, 1, 1), ymd(2024, 2, 29)})
        for (const char* pattern : {"gg ee 年 mm 月 dd 日", "gg ee/mm/dd", "ggee/mm/dd", "ee/mm/dd",
                                    "yyyy/mm/dd", "e/m/d"})
            EXPECT_EQ(parseShownDate(Format(d, pattern)), d) << Format(d, pattern);
    // A year of up to three digits is a ROC year: a "yy/mm/dd" text never becomes a 19xx date.
    EXPECT_EQ(parseShownDate("06/12/27"), ymd(1917, 12, 27));
    EXPECT_EQ(parseShownDate("95/12/27 23:59:59"), Date::fromYmdHms(2006, 12, 27, 23, 59, 59));
    EXPECT_EQ(parseShownDate("2006/12/27 10:30"), Date::fromYmdHms(2006, 12, 27, 10, 30, 0));
}

TEST(ParseShownDate, TextsThatAreNoDate) {
    for (const char* text : {"", "   ", "民國", "2023/02/29", "112/02/29", "2100/02/29",
                             "115/13/01", "115/04/31", "0/1/1", "115/1", "115/1/5 abc", "115//5",
                             "12345/1/1", "1150105", "2006/12/27 24:00", "2006/12/27 10:"})
        EXPECT_FALSE(parseShownDate(text)) << text;
}

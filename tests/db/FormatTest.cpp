#include <gtest/gtest.h>

#include "platform/db/Format.h"

using namespace kiv;

namespace {

Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d);
}

}  // namespace

TEST(FormatNumber, GroupedWholeAmounts) {
    EXPECT_EQ(Format(0.0, "##,##0"), "0");
    EXPECT_EQ(Format(7.0, "##,##0"), "7");
    EXPECT_EQ(Format(999.0, "##,##0"), "999");
    EXPECT_EQ(Format(1000.0, "##,##0"), "1,000");
    EXPECT_EQ(Format(1234567.0, "##,##0"), "1,234,567");
    EXPECT_EQ(Format(-1234567.0, "##,##0"), "-1,234,567");
    EXPECT_EQ(Format(-5.0, "##,##0"), "-5");
    EXPECT_EQ(Format(1234567.0, "#,##0"), "1,234,567");
    EXPECT_EQ(Format(0.0, "#,##0"), "0");
    EXPECT_EQ(Format(Value(int64_t{9007199254740993}), "##,##0"), "9,007,199,254,740,993");
    EXPECT_EQ(Format(Value(int64_t{-3000000000}), "##0"), "-3000000000");
}

TEST(FormatNumber, HalvesRoundAwayFromZero) {
    EXPECT_EQ(Format(1234.5, "##,##0"), "1,235");
    EXPECT_EQ(Format(1234.4, "##,##0"), "1,234");
    EXPECT_EQ(Format(-1234.5, "##,##0"), "-1,235");
    EXPECT_EQ(Format(2.5, "##0"), "3");
    EXPECT_EQ(Format(-2.5, "##0"), "-3");
    EXPECT_EQ(Format(999.5, "##,##0"), "1,000");
    EXPECT_EQ(Format(10 * 0.05, "##,##0"), "1");
    // A computed value is rounded as the decimal it stands for, not by its binary noise.
    EXPECT_EQ(Format(0.285 * 100, "##0"), "29");
    EXPECT_EQ(Format(0.285, "0%"), "29%");
    // A negative that rounds to nothing shows no sign.
    EXPECT_EQ(Format(-0.4, "##,##0"), "0");
}

TEST(FormatNumber, HashOnlyPatternShowsZeroAsEmpty) {
    EXPECT_EQ(Format(0.0, "#,###"), "");
    EXPECT_EQ(Format(0.4, "#,###"), "");
    EXPECT_EQ(Format(1234.0, "#,###"), "1,234");
    EXPECT_EQ(Format(-12.0, "#,###"), "-12");
}

TEST(FormatNumber, Percentages) {
    EXPECT_EQ(Format(0.3333, "0.00%"), "33.33%");
    EXPECT_EQ(Format(1.0, "0.00%"), "100.00%");
    EXPECT_EQ(Format(0.0, "0.00%"), "0.00%");
    EXPECT_EQ(Format(0.12345, "0.00%"), "12.35%");
    EXPECT_EQ(Format(1.0 / 3, "0.00%"), "33.33%");
    EXPECT_EQ(Format(2.0 / 3, "0.00%"), "66.67%");
    EXPECT_EQ(Format(0.00005, "0.00%"), "0.01%");
    EXPECT_EQ(Format(-0.25, "0.00%"), "-25.00%");
}

TEST(FormatNumber, TextsAreFormattedAsTheNumberTheyHold) {
    EXPECT_EQ(Format(Value("12,000"), "##0"), "12000");
    EXPECT_EQ(Format(Value("1,234.6"), "##0"), "1235");
    EXPECT_EQ(Format(Value("1234567"), "##,##0"), "1,234,567");
    EXPECT_EQ(Format(Value("-2.5"), "##0"), "-3");
    EXPECT_EQ(Format(Value("0"), "#,###"), "");
    EXPECT_EQ(Format(Value("abc"), "##0"), "abc");
    EXPECT_EQ(Format(Value("12abc"), "##,##0"), "12abc");
    EXPECT_EQ(Format(Value(""), "##,##0"), "");
    EXPECT_EQ(Format(Value(), "##,##0"), "");
    EXPECT_EQ(Format(Value(), "gg ee/mm/dd"), "");
    EXPECT_EQ(Format(Value(1234.5), "##,##0"), "1,235");
    EXPECT_EQ(Format(Value(42), "##,##0"), "42");
}

TEST(FormatDate, RocYearsHaveAtLeastTwoDigits) {
    EXPECT_EQ(Format(ymd(1912, 1, 1), "ee/mm/dd"), "01/01/01");
    EXPECT_EQ(Format(ymd(2006, 12, 27), "ee/mm/dd"), "95/12/27");
    EXPECT_EQ(Format(ymd(2010, 12, 31), "ee/mm/dd"), "99/12/31");
    EXPECT_EQ(Format(ymd(2011, 1, 1), "ee/mm/dd"), "100/01/01");
    EXPECT_EQ(Format(ymd(2026, 1, 5), "ee/mm/dd"), "115/01/05");
    EXPECT_EQ(Format(ymd(2026, 1, 5), "gg ee/mm/dd"), "中華民國 115/01/05");
    EXPECT_EQ(Format(ymd(1912, 1, 1), "gg ee/mm/dd"), "中華民國 01/01/01");
    EXPECT_EQ(Format(ymd(2026, 1, 5), "ggee/mm/dd"), "中華民國115/01/05");
    EXPECT_EQ(Format(ymd(2026, 12, 6), "gg ee 年 mm 月 dd 日"), "中華民國 115 年 12 月 06 日");
    EXPECT_EQ(Format(ymd(2026, 3, 1), " ee年mm月份"), " 115年03月份");
    EXPECT_EQ(Format(ymd(1986, 3, 9), "e/m/d"), "75/3/9");
}

TEST(FormatDate, DocumentNumberPrefixGrowsToSevenDigitsFrom2011) {
    EXPECT_EQ(Format(ymd(2006, 12, 27), "eemmdd"), "951227");
    EXPECT_EQ(Format(ymd(2010, 1, 2), "eemmdd"), "990102");
    EXPECT_EQ(Format(ymd(2011, 1, 1), "eemmdd"), "1000101");
    EXPECT_EQ(Format(ymd(2026, 1, 5), "eemmdd"), "1150105");
}

TEST(FormatDate, GregorianPatterns) {
    EXPECT_EQ(Format(ymd(2006, 1, 5), "yyyy/mm/dd"), "2006/01/05");
    EXPECT_EQ(Format(ymd(2006, 12, 27), "yy/mm/dd"), "06/12/27");
    EXPECT_EQ(Format(ymd(2030, 2, 3), "yy/mm/dd"), "30/02/03");
    EXPECT_EQ(Format(ymd(2026, 2, 3), "mm/dd"), "02/03");
    EXPECT_EQ(Format(ymd(2006, 1, 5), "yyyy/m/d"), "2006/1/5");
    EXPECT_EQ(Format(ymd(2024, 2, 29), "yyyy/mm/01"), "2024/02/01");
    EXPECT_EQ(Format(Date::fromYmdHms(2026, 1, 5, 7, 8, 9), "yyyy/mm/dd hh:nn:ss"),
              "2026/01/05 07:08:09");
}

TEST(FormatDate, MonthEndsAndLeapDays) {
    EXPECT_EQ(Format(ymd(2024, 2, 29), "gg ee/mm/dd"), "中華民國 113/02/29");
    EXPECT_EQ(Format(ymd(2024, 3, 0), "ee/mm/dd"), "113/02/29");
    EXPECT_EQ(Format(ymd(2100, 3, 0), "yyyy/mm/dd"), "2100/02/28");
    EXPECT_EQ(Format(ymd(2026, 1, 31).addMonths(1), "ee/mm/dd"), "115/02/28");
    EXPECT_EQ(Format(ymd(2025, 12, 31), "gg ee 年 mm 月 dd 日"), "中華民國 114 年 12 月 31 日");
}

TEST(FormatDate, ShownDateTextsAreReformatted) {
    EXPECT_EQ(Format(Value("中華民國 95 年 12 月 27 日"), "yy/mm/dd"), "06/12/27");
    EXPECT_EQ(Format(Value("中華民國 95 年 12 月 27 日"), "yyyy/mm/dd"), "2006/12/27");
    EXPECT_EQ(Format(Value("95/12/27"), "gg ee/mm/dd"), "中華民國 95/12/27");
    EXPECT_EQ(Format(Value("2006-12-27"), "ee/mm/dd"), "95/12/27");
    EXPECT_EQ(Format(Value("not a date"), "ee/mm/dd"), "not a date");
    EXPECT_EQ(Format(Value(ymd(2026, 1, 5)), "gg ee/mm/dd"), "中華民國 115/01/05");
}

TEST(FormatDate, ShortDateText) {
    EXPECT_EQ(shortDateText(ymd(2006, 1, 1)), "2006/01/01");
    EXPECT_EQ(shortDateText(Date::fromYmdHms(2006, 1, 1, 13, 5, 0)), "2006/01/01 13:05:00");
    EXPECT_EQ(Format(ymd(2006, 1, 1), ""), "2006/01/01");
}

TEST(ParseShownDate, EveryShownForm) {
    const Date d = ymd(2026, 1, 5);
    for (const char* text :
         {"中華民國 115 年 01 月 05 日", "中華民國115年01月05日", "中華民國 115/01/05",
          "中華民國115/01/05", "民國115/1/5", "民國 115 年 1 月 5 日", "115/01/05", "115/1/5",
          " 115 / 01 / 05 ", "115年1月5日", "2026/01/05", "2026/1/5", "2026-01-05",
          "\u3000115/01/05"}) {
        EXPECT_EQ(parseShownDate(text), d) << text;
    }
}

TEST(ParseShownDate, YearsOfUpToThreeDigitsAreRocYears) {
    EXPECT_EQ(parseShownDate("95/12/27"), ymd(2006, 12, 27));
    EXPECT_EQ(parseShownDate("中華民國 95 年 12 月 27 日"), ymd(2006, 12, 27));
    EXPECT_EQ(parseShownDate("75/3/9"), ymd(1986, 3, 9));
    EXPECT_EQ(parseShownDate("01/01/01"), ymd(1912, 1, 1));
    EXPECT_EQ(parseShownDate("100/01/01"), ymd(2011, 1, 1));
    // A two-digit year is always a ROC year; a "yy/mm/dd" text does not come back as its date.
    EXPECT_EQ(parseShownDate("06/12/27"), ymd(1917, 12, 27));
}

TEST(ParseShownDate, EveryFormatReadsBackAsTheSameDate) {
    for (Date d : {ymd(1912, 1, 1), ymd(2006, 12, 27), ymd(2010, 12, 31), ymd(2011, 1, 1),
                   ymd(2024, 2, 29), ymd(2026, 1, 5)}) {
        for (const char* pattern : {"gg ee 年 mm 月 dd 日", "gg ee/mm/dd", "ggee/mm/dd", "ee/mm/dd",
                                    "yyyy/mm/dd", "e/m/d", "yyyy/m/d"}) {
            EXPECT_EQ(parseShownDate(Format(d, pattern)), d) << Format(d, pattern);
        }
    }
}

TEST(ParseShownDate, TimesOfDay) {
    EXPECT_EQ(parseShownDate("2006-12-27 10:30:05"), Date::fromYmdHms(2006, 12, 27, 10, 30, 5));
    EXPECT_EQ(parseShownDate("2006-12-27T10:30:05"), Date::fromYmdHms(2006, 12, 27, 10, 30, 5));
    EXPECT_EQ(parseShownDate("2006/12/27 10:30"), Date::fromYmdHms(2006, 12, 27, 10, 30, 0));
    EXPECT_EQ(parseShownDate("95/12/27 23:59:59"), Date::fromYmdHms(2006, 12, 27, 23, 59, 59));
    EXPECT_FALSE(parseShownDate("2006/12/27 24:00"));
    EXPECT_FALSE(parseShownDate("2006/12/27 10:"));
    EXPECT_FALSE(parseShownDate("2006/12/27 10:30:"));
}

TEST(ParseShownDate, TextsThatAreNoDate) {
    for (const char* text : {"", "   ", "中華民國", "民國", "2023/02/29", "112/02/29", "2100/02/29",
                             "115/13/01", "115/00/10", "115/04/31", "0/1/1", "115/1", "115年1月",
                             "115/1/5 abc", "abc", "115//5", "12345/1/1", "1150105"}) {
        EXPECT_FALSE(parseShownDate(text)) << text;
    }
}

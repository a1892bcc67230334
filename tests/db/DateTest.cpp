#include <gtest/gtest.h>

#include "platform/db/Date.h"

using namespace kiv;

namespace {

Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d);
}

Date at(int y, int m, int d, int h, int n, int s) {
    return Date::fromYmdHms(y, m, d, h, n, s);
}

}  // namespace

TEST(Date, OrderByDayThenTime) {
    Date d = at(2026, 1, 5, 13, 4, 59);
    EXPECT_EQ(d.dateOnly(), ymd(2026, 1, 5));
    EXPECT_FALSE(d.dateOnly().hasTime());
    EXPECT_EQ(ymd(1969, 12, 31).days(), -1);
    EXPECT_LT(ymd(2026, 1, 5), at(2026, 1, 5, 0, 0, 1));
    EXPECT_LT(at(2026, 1, 4, 23, 59, 59), ymd(2026, 1, 5));
    EXPECT_EQ(at(2026, 1, 5, 0, 0, 0), ymd(2026, 1, 5));
}

// The forms find a month's last day as day 0 of the next month.
TEST(Date, OutOfRangePartsRollOverLikeDateSerial) {
    EXPECT_EQ(ymd(2025, 13, 1), ymd(2026, 1, 1));
    EXPECT_EQ(ymd(2026, -12, 1), ymd(2024, 12, 1));
    EXPECT_EQ(ymd(2026, 3, 0), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2024, 3, 0), ymd(2024, 2, 29));
    EXPECT_EQ(ymd(2026, 1, 32), ymd(2026, 2, 1));
    EXPECT_EQ(at(2026, 1, 5, 0, 0, -1), at(2026, 1, 4, 23, 59, 59));
}

TEST(Date, AddingMonthsKeepsTheDayWithinTheTargetMonth) {
    EXPECT_EQ(ymd(2026, 1, 31).addMonths(1), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2024, 1, 31).addMonths(1), ymd(2024, 2, 29));
    EXPECT_EQ(ymd(2026, 3, 31).addMonths(-1), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2026, 1, 15).addMonths(-13), ymd(2024, 12, 15));
    EXPECT_EQ(at(2026, 1, 31, 8, 30, 0).addMonths(1), at(2026, 2, 28, 8, 30, 0));
}

TEST(Date, DaysBetweenCountsCalendarDaysWhateverTheTime) {
    EXPECT_EQ(ymd(2024, 2, 28).addDays(1), ymd(2024, 2, 29));
    EXPECT_EQ(daysBetween(ymd(2026, 3, 1), ymd(2026, 1, 1)), -59);
    EXPECT_EQ(daysBetween(ymd(2024, 1, 1), ymd(2025, 1, 1)), 366);
    EXPECT_EQ(daysBetween(at(2026, 1, 4, 23, 59, 0), at(2026, 1, 5, 0, 1, 0)), 1);
}

TEST(Date, StorageTextReadsBackAsTheSameDate) {
    EXPECT_EQ(ymd(1912, 1, 1).iso(), "1912-01-01");
    EXPECT_EQ(at(2026, 1, 5, 9, 3, 7).iso(), "2026-01-05 09:03:07");
    EXPECT_EQ(Date::fromIso("2026-01-05T09:03:07"), at(2026, 1, 5, 9, 3, 7));
    for (Date d = ymd(1900, 1, 1); d < ymd(2101, 1, 1); d = d.addDays(1))
        ASSERT_EQ(Date::fromIso(d.iso()), d) << d.iso();
    EXPECT_EQ(Date::fromIso(at(2100, 12, 31, 23, 59, 59).iso()), at(2100, 12, 31, 23, 59, 59));
    for (const char* text : {"", "2023-02-29", "2026-13-01", "2026-1-5", "2026/01/05",
                             "2026-01-05 24:00:00", "2026-01-05 09:03", "2026-01-05x"})
        EXPECT_FALSE(Date::fromIso(text)) << text;
}

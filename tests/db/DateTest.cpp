#include <gtest/gtest.h>

#include "platform/db/Date.h"

using namespace kiv;

namespace {

Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d);
}

}  // namespace

TEST(Date, CalendarFields) {
    Date d = Date::fromYmdHms(2026, 1, 5, 13, 4, 59);
    EXPECT_EQ(d.year(), 2026);
    EXPECT_EQ(d.month(), 1);
    EXPECT_EQ(d.day(), 5);
    EXPECT_EQ(d.hour(), 13);
    EXPECT_EQ(d.minute(), 4);
    EXPECT_EQ(d.second(), 59);
    EXPECT_TRUE(d.hasTime());
    EXPECT_EQ(d.dateOnly(), ymd(2026, 1, 5));
    EXPECT_FALSE(d.dateOnly().hasTime());
    EXPECT_EQ(ymd(1970, 1, 1).days(), 0);
    EXPECT_EQ(ymd(1969, 12, 31).days(), -1);
}

TEST(Date, OutOfRangeMonthsAndDaysRollOverLikeDateSerial) {
    EXPECT_EQ(ymd(2025, 13, 1), ymd(2026, 1, 1));
    EXPECT_EQ(ymd(2026, 0, 1), ymd(2025, 12, 1));
    EXPECT_EQ(ymd(2026, -12, 1), ymd(2024, 12, 1));
    EXPECT_EQ(ymd(2026, 3, 0), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2024, 3, 0), ymd(2024, 2, 29));
    EXPECT_EQ(ymd(2026, 1, 32), ymd(2026, 2, 1));
    EXPECT_EQ(Date::fromYmdHms(2026, 1, 5, 24, 0, 1), Date::fromYmdHms(2026, 1, 6, 0, 0, 1));
    EXPECT_EQ(Date::fromYmdHms(2026, 1, 5, 0, 0, -1), Date::fromYmdHms(2026, 1, 4, 23, 59, 59));
    EXPECT_EQ(Date::fromDays(0, -1), Date::fromYmdHms(1969, 12, 31, 23, 59, 59));
}

TEST(Date, MonthEndsAndLeapYears) {
    EXPECT_EQ(daysInMonthOf(ymd(2026, 1, 15)), 31);
    EXPECT_EQ(daysInMonthOf(ymd(2026, 4, 30)), 30);
    EXPECT_EQ(daysInMonthOf(ymd(2026, 2, 1)), 28);
    EXPECT_EQ(daysInMonthOf(ymd(2024, 2, 1)), 29);
    EXPECT_EQ(daysInMonthOf(ymd(2000, 2, 1)), 29);
    EXPECT_EQ(daysInMonthOf(ymd(2100, 2, 1)), 28);
    EXPECT_EQ(daysInMonthOf(ymd(2026, 12, 31)), 31);

    EXPECT_TRUE(isValidYmd(2024, 2, 29));
    EXPECT_FALSE(isValidYmd(2023, 2, 29));
    EXPECT_FALSE(isValidYmd(2100, 2, 29));
    EXPECT_FALSE(isValidYmd(2026, 4, 31));
    EXPECT_FALSE(isValidYmd(2026, 13, 1));
    EXPECT_FALSE(isValidYmd(2026, 1, 0));
    EXPECT_FALSE(isValidYmd(0, 1, 1));
}

TEST(Date, AddingMonthsKeepsTheDayWithinTheTargetMonth) {
    EXPECT_EQ(ymd(2026, 1, 31).addMonths(1), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2024, 1, 31).addMonths(1), ymd(2024, 2, 29));
    EXPECT_EQ(ymd(2026, 1, 31).addMonths(3), ymd(2026, 4, 30));
    EXPECT_EQ(ymd(2026, 3, 31).addMonths(-1), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2025, 11, 15).addMonths(2), ymd(2026, 1, 15));
    EXPECT_EQ(ymd(2026, 1, 15).addMonths(-13), ymd(2024, 12, 15));
    EXPECT_EQ(ymd(2024, 2, 29).addMonths(12), ymd(2025, 2, 28));
    Date withTime = Date::fromYmdHms(2026, 1, 31, 8, 30, 0);
    EXPECT_EQ(withTime.addMonths(1), Date::fromYmdHms(2026, 2, 28, 8, 30, 0));
}

TEST(Date, DayArithmeticCountsCalendarDays) {
    EXPECT_EQ(ymd(2024, 2, 28).addDays(1), ymd(2024, 2, 29));
    EXPECT_EQ(ymd(2026, 3, 1).addDays(-1), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2025, 12, 31).addDays(1), ymd(2026, 1, 1));
    EXPECT_EQ(daysBetween(ymd(2026, 1, 1), ymd(2026, 3, 1)), 59);
    EXPECT_EQ(daysBetween(ymd(2026, 3, 1), ymd(2026, 1, 1)), -59);
    EXPECT_EQ(daysBetween(ymd(2024, 1, 1), ymd(2025, 1, 1)), 366);
    // A time of day does not count: late yesterday is still one day before early today.
    EXPECT_EQ(
        daysBetween(Date::fromYmdHms(2026, 1, 4, 23, 59, 0), Date::fromYmdHms(2026, 1, 5, 0, 1, 0)),
        1);
}

TEST(Date, ComparisonOrdersByDayThenTime) {
    EXPECT_LT(ymd(2026, 1, 4), ymd(2026, 1, 5));
    EXPECT_LT(ymd(2026, 1, 5), Date::fromYmdHms(2026, 1, 5, 0, 0, 1));
    EXPECT_LT(Date::fromYmdHms(2026, 1, 4, 23, 59, 59), ymd(2026, 1, 5));
    EXPECT_EQ(Date::fromYmdHms(2026, 1, 5, 0, 0, 0), ymd(2026, 1, 5));
}

TEST(Date, StorageText) {
    EXPECT_EQ(ymd(2026, 1, 5).iso(), "2026-01-05");
    EXPECT_EQ(ymd(1912, 1, 1).iso(), "1912-01-01");
    EXPECT_EQ(Date::fromYmdHms(2026, 1, 5, 9, 3, 7).iso(), "2026-01-05 09:03:07");

    EXPECT_EQ(Date::fromIso("2024-02-29"), ymd(2024, 2, 29));
    EXPECT_EQ(Date::fromIso("2026-01-05 09:03:07"), Date::fromYmdHms(2026, 1, 5, 9, 3, 7));
    EXPECT_EQ(Date::fromIso("2026-01-05T09:03:07"), Date::fromYmdHms(2026, 1, 5, 9, 3, 7));
    for (const char* text :
         {"", "2023-02-29", "2026-13-01", "2026-1-5", "2026/01/05", "2026-01-05 24:00:00",
          "2026-01-05 09:03", "2026-01-05x", "20260105", "2026-01-05 09:03:07 "}) {
        EXPECT_FALSE(Date::fromIso(text)) << text;
    }
    Date d = Date::fromYmdHms(2100, 12, 31, 23, 59, 59);
    EXPECT_EQ(Date::fromIso(d.iso()), d);
}

#include <gtest/gtest.h>

#include "platform/forms/Clock.h"

using namespace kiv;

namespace {

class ClockTest : public ::testing::Test {
  protected:
    void TearDown() override { Clock::useSystemTime(); }
};

}  // namespace

TEST_F(ClockTest, FixedTimeMovesOnlyWhenAdvanced) {
    Clock::useFixedTime(Date::fromYmdHms(2026, 1, 5, 9, 30, 0));
    EXPECT_EQ(Clock::today(), Date::fromYmd(2026, 1, 5));
    EXPECT_FALSE(Clock::today().hasTime());
    double start = Clock::steadySeconds();
    Clock::advance(90.5);
    Clock::advance(0.5);
    EXPECT_EQ(Clock::now(), Date::fromYmdHms(2026, 1, 5, 9, 31, 31));
    EXPECT_DOUBLE_EQ(Clock::steadySeconds() - start, 91);
    Clock::advance(15 * 3600);
    EXPECT_EQ(Clock::today(), Date::fromYmd(2026, 1, 6));

    Clock::useFixedTime(Date::fromYmdHms(1969, 12, 31, 23, 59, 59));
    Clock::advance(1);
    EXPECT_EQ(Clock::now(), Date::fromYmd(1970, 1, 1));
    Clock::advance(-2);
    EXPECT_EQ(Clock::now(), Date::fromYmdHms(1969, 12, 31, 23, 59, 58));
}

TEST_F(ClockTest, ChangedDateKeepsItsOffsetAcrossMidnight) {
    Clock::useFixedTime(Date::fromYmdHms(2026, 1, 5, 23, 59, 0));
    Clock::setToday(Date::fromYmd(2025, 12, 31));
    EXPECT_EQ(Clock::now(), Date::fromYmdHms(2025, 12, 31, 23, 59, 0));
    Clock::advance(120);
    EXPECT_EQ(Clock::now(), Date::fromYmdHms(2026, 1, 1, 0, 1, 0));
    // Setting the date again replaces the offset rather than adding to it.
    Clock::setToday(Date::fromYmdHms(2026, 2, 1, 12, 0, 0));
    EXPECT_EQ(Clock::now(), Date::fromYmdHms(2026, 2, 1, 0, 1, 0));
    // A new fixed time drops the change.
    Clock::useFixedTime(Date::fromYmd(2026, 1, 5));
    EXPECT_EQ(Clock::today(), Date::fromYmd(2026, 1, 5));
}

TEST_F(ClockTest, SystemTimeWithAChangedDate) {
    Clock::useSystemTime();
    Date real = Clock::today();
    Clock::setToday(real.addDays(-400));
    Date moved = Clock::today();
    // Midnight may pass between the two readings.
    EXPECT_GE(daysBetween(moved, real), 399);
    EXPECT_LE(daysBetween(moved, real), 400);
    Clock::useSystemTime();
    EXPECT_LE(daysBetween(real, Clock::today()), 1);
}

#include <gtest/gtest.h>

#include "platform/forms/Clock.h"
#include "tests/vouchers/VoucherBook.h"
#include "vouchers/VoucherRules.h"

using namespace kiv;

namespace {

TEST(TaxIncluded, IsTheFivePercentInsideTheAmountRoundedOnTheNet) {
    const std::pair<const char*, int64_t> cases[] = {
        {"10000", 476}, {"12000", 571}, {"3800", 181}, {"1050", 50}, {"105", 5},
        {"21", 1},      {"11", 1},      {"10", 0},     {"0", 0},     {"", 0},
    };
    for (const auto& [amount, tax] : cases)
        EXPECT_EQ(TaxIncluded(amount), tax) << amount;
    // Exact for the largest amount a voucher stores, where a float would drift.
    __int128 a = 999999999999;
    EXPECT_EQ(TaxIncluded("999999999999"), static_cast<int64_t>(a - (20 * a + 10) / 21));
    EXPECT_GT(TaxIncluded("99999999999999999999999"), 0);
    EXPECT_EQ(TaxIncluded("12abc"), TaxIncluded("12"));
}

TEST(IsVoucherAmount, TakesOneToTwelveDigitsOnly) {
    EXPECT_TRUE(IsVoucherAmount("999999999999"));
    for (const char* text : {"", "1000000000000", "12/3", "12:3", "12,000", " 12"})
        EXPECT_FALSE(IsVoucherAmount(text)) << text;
}

class NextVoucherNumberTest : public test::VoucherBook {};

TEST_F(NextVoucherNumberTest, CountsOnFromTheDaysLargestNumberOnlyUntilTheDayIsFull) {
    EXPECT_EQ(NextVoucherNumber(), "1151206001");
    addVoucher({.number = "1151205998"});
    addVoucher({.number = "1151207001"});
    EXPECT_EQ(NextVoucherNumber(), "1151206001");
    addVoucher({.number = "1151206009"});
    EXPECT_EQ(NextVoucherNumber(), "1151206010");
    addVoucher({.number = "1151206041"});
    EXPECT_EQ(NextVoucherNumber(), "1151206042");
    addVoucher({.number = "1151206999"});
    EXPECT_EQ(NextVoucherNumber(), std::nullopt);

    // The prefix is the program's today with the ROC year, however many digits it has.
    Clock::useFixedTime(Date::fromYmd(2024, 5, 15));
    EXPECT_EQ(NextVoucherNumber(), "1130515001");
    Clock::useFixedTime(Date::fromYmd(2006, 12, 27));
    EXPECT_EQ(NextVoucherNumber(), "951227001");
}

}  // namespace

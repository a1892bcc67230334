#include <gtest/gtest.h>

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

// The refusals of what is no amount are in the table of every amount entry (AmountEntryTest).
TEST(VoucherAmountProblem, TakesOneToTwelvePlainDigits) {
    EXPECT_EQ(VoucherAmountProblem("999999999999"), std::nullopt);
    EXPECT_EQ(VoucherAmountProblem(""), "金額欄位不可空白");
    EXPECT_EQ(VoucherAmountProblem("12,000"), "金額欄位只能輸入數字");
}

}  // namespace

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

TEST(VoucherAmountProblem, TakesOneToTwelveDigitsAndNamesWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"999999999999", nullptr},
        {"1", nullptr},
        {"", "金額欄位不可空白"},
        {"12/3", "金額欄位只能輸入數字"},
        {"12,000", "金額欄位只能輸入數字"},
        {" 12", nullptr},
        {"1234567890123a", "金額欄位只能輸入數字"},
        {"1000000000000", "金額不可超過12位數"},
        {"12345678901234", "金額不可超過12位數"},
    };
    for (const auto& [text, problem] : cases)
        EXPECT_EQ(VoucherAmountProblem(text),
                  problem ? std::optional<std::string>(problem) : std::nullopt)
            << text;
}

}  // namespace

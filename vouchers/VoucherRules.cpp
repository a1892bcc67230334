#include "vouchers/VoucherRules.h"

#include <limits>

namespace kiv {

namespace {

constexpr size_t LongestAmount = 12;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The whole number at the start of the text, blanks before it skipped; a number beyond the
// 64-bit range counts as the largest one.
int64_t leadingDigits(std::string_view text) {
    size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos) return 0;
    int64_t value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        if (value > (std::numeric_limits<int64_t>::max() - 9) / 10)
            return std::numeric_limits<int64_t>::max();
        value = value * 10 + (text[at] - '0');
    }
    return value;
}

}  // namespace

// The net amount is a / 1.05 rounded, which is (20a + 10) div 21: 20a / 21 never ends in a half,
// so no rounding rule has to decide. Writing a = 21q + r keeps 20a from overflowing.
int64_t TaxIncluded(std::string_view amountText) {
    int64_t a = leadingDigits(amountText);
    int64_t q = a / 21, r = a % 21;
    return q + r - (20 * r + 10) / 21;
}

std::optional<std::string> VoucherAmountProblem(std::string_view text) {
    if (text.empty()) return "金額欄位不可空白";
    for (char c : text)
        if (!isDigit(c)) return "金額欄位只能輸入數字";
    if (text.size() > LongestAmount) return "金額不可超過12位數";
    return std::nullopt;
}

}  // namespace kiv

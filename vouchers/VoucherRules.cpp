#include "vouchers/VoucherRules.h"

#include <limits>

#include "platform/db/Amount.h"
#include "platform/db/Numbers.h"

namespace kiv {

namespace {

// The whole number at the start of the text, blanks before it skipped; a number beyond the
// 64-bit range counts as the largest one.
int64_t leadingDigits(std::string_view text) {
    size_t at = text.find_first_not_of(' ');
    if (at == std::string_view::npos) return 0;
    int64_t value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        if (value > (std::numeric_limits<int64_t>::max() - 9) / 10)
            return std::numeric_limits<int64_t>::max();
        value = value * 10 + (text[at] - '0');
    }
    return value;
}

}  // namespace

int64_t TaxIncluded(std::string_view amountText) {
    int64_t a = leadingDigits(amountText);
    return a - NetOfFivePercentTax(a);
}

std::optional<std::string> VoucherAmountProblem(std::string_view text) {
    AmountReading reading = ReadAmount(text, VoucherAmountRule);
    if (!reading.refused()) return std::nullopt;
    return AmountRefusal("金額", reading.fault, VoucherAmountRule);
}

}  // namespace kiv

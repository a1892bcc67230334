#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The number the next voucher of today takes: today's ROC date "eemmdd" followed by a
// three-digit serial, one past the day's largest. nullopt when the day's 999 numbers are used up.
std::optional<std::string> NextVoucherNumber();

// The 5 % business tax contained in a tax-included amount, from the amount box's text (its
// leading digits; an empty text is 0).
int64_t TaxIncluded(std::string_view amountText);

// A voucher's amount as typed: 1 to 12 digits and nothing else.
bool IsVoucherAmount(std::string_view text);

}  // namespace kiv

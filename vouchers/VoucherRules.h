#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/db/Amount.h"

namespace kiv {

// The 5 % business tax contained in a tax-included amount, from the amount box's text (its
// leading digits; an empty text is 0).
int64_t TaxIncluded(std::string_view amountText);

// What may be typed into the tax box: plain digits as the amount, or nothing (stored Null).
inline constexpr AmountRule TaxRule{
    .mostDigits = 12, .separatorsAllowed = false, .emptyAllowed = true};

// What is wrong with a voucher's amount as typed, as the form says it; nullopt for 1 to 12
// digits and nothing else.
std::optional<std::string> VoucherAmountProblem(std::string_view text);

}  // namespace kiv

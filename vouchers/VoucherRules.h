#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The 5 % business tax contained in a tax-included amount, from the amount box's text (its
// leading digits; an empty text is 0).
int64_t TaxIncluded(std::string_view amountText);

// What is wrong with a voucher's amount as typed, as the form says it; nullopt for 1 to 12
// digits and nothing else.
std::optional<std::string> VoucherAmountProblem(std::string_view text);

}  // namespace kiv

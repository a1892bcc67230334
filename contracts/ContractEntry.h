#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/db/Amount.h"
#include "platform/db/Value.h"

// What the contract form's header and its schedule grids read alike from what the user typed.
namespace kiv {

constexpr const char* ContractMissing = "找不到此應收付帳款";

// The header boxes and the schedules' amount cells: up to 15 digits, never negative; an empty
// one holds no amount (an empty instalment amount is refused as incomplete).
constexpr AmountRule ContractAmountRule{.emptyAllowed = true};
// The total follows the amount less the commission and the discount: below zero when those two
// are the larger, and stored so, as shown.
constexpr AmountRule ContractTotalRule{.negativeAllowed = true, .emptyAllowed = true};

// What a typed amount is stored as, once the save has read it: "##,##0", or "" for none.
std::string StoredAmount(const std::string& typed, AmountRule rule = ContractAmountRule);

// The amount a box, label or cell shows while the header is typed (a computed total may be
// negative), an empty one counting 0; nullopt for a text that is no amount, from which nothing is
// computed (the save refuses it).
std::optional<int64_t> TypedValue(const std::string& text);

// The day a box or cell shows, or Null for none.
Value DateOrNull(const std::string& text);

}  // namespace kiv

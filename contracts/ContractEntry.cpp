#include "contracts/ContractEntry.h"

#include "platform/db/Format.h"

namespace kiv {

std::string StoredAmount(const std::string& typed, AmountRule rule) {
    std::optional<int64_t> amount = ReadAmount(typed, rule).amount;
    return amount ? AmountText(*amount) : "";
}

std::optional<int64_t> TypedValue(const std::string& text) {
    AmountReading reading = ReadAmount(text, {.negativeAllowed = true, .emptyAllowed = true});
    if (reading.refused()) return std::nullopt;
    return reading.amount.value_or(0);
}

Value DateOrNull(const std::string& text) {
    if (std::optional<Date> date = parseShownDate(text)) return *date;
    return nullptr;
}

}  // namespace kiv

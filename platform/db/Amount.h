#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/db/Value.h"

// Amounts are whole NT dollars held as 64-bit integers: no double lies between what the user
// types, what is stored and what is shown, so every digit of an amount the forms accept survives.
// One text form, one reading of a typed amount, one reading of a stored one, one rounding.
namespace kiv {

// The text of an amount, "##,##0": "1,234,567", "-5", "0".
std::string AmountText(int64_t amount);
// The same of a run of digits of any length, its separators and blanks skipped and its leading
// zeros dropped ("1234567890123456789012" gives "1,234,567,890,123,456,789,012").
std::string GroupedDigits(std::string_view digits);
// What an amount box or cell shows of a typed text: an amount as AmountText, a run of digits too
// long to be one grouped all the same, any other text unchanged, so that nothing typed is ever
// shown as another number.
std::string GroupedAmountText(std::string_view typed);
// A stored value as an amount text: a number rounded (halves away from zero) and grouped, a text
// that reads as a number the same; Null and "" give "", and any other text comes back as it is.
std::string AmountText(const Value& stored);

// What the box or cell where an amount is typed allows.
struct AmountRule {
    int mostDigits = 15;
    bool negativeAllowed = false;
    // Thousands separators, where the box shows them ("1,234").
    bool separatorsAllowed = true;
    // An empty text stands for no amount (stored as typed) instead of being refused.
    bool emptyAllowed = false;
};
// The voucher's amount: up to 12 plain digits, never negative.
inline constexpr AmountRule VoucherAmountRule{.mostDigits = 12, .separatorsAllowed = false};

// Why a typed text is not an amount.
enum class AmountFault { None, Empty, NotAmount, Negative, TooLong };

struct AmountReading {
    std::optional<int64_t> amount;  // set when fault is None, unless the text is empty
    AmountFault fault = AmountFault::None;
    bool refused() const { return fault != AmountFault::None; }
};

// The one reading of a typed amount: digits, blanks around, and where the rule allows them a ","
// between two digits and a leading "-"; "" where the rule allows it is no amount and no fault.
// Anything else ("abc", "12,,3", "１２３", "100.001", "1e400") is no amount; more digits than
// the rule allows is too long. Nothing is rounded.
AmountReading ReadAmount(std::string_view text, AmountRule rule = {});

// The message that refuses a typed text, naming the field as the form calls it ("金額",
// "第2期的應收金額"): "金額欄位只能輸入數字", "金額不可為負數", "金額不可超過12位數",
// "金額欄位不可空白".
std::string AmountRefusal(std::string_view field, AmountFault fault, AmountRule rule = {});

// A stored or shown amount text read back as the forms always have: its leading number with every
// "," removed, an empty text or one that is no number counting 0, a fraction rounded halves away
// from zero. Only for what is already stored or shown; a typed text goes through ReadAmount. A
// number beyond 18 digits is no amount either and counts 0 (no form stores one).
int64_t AmountOf(std::string_view text);

// A share of a whole in hundredths of a per cent ("33.33" is 3333): 0 to 100 with at most two
// decimals, blanks around; nullopt for any other text.
std::optional<int64_t> ReadShareHundredths(std::string_view text);

// A share of a whole in hundredths of a per cent as the forms show it, "0.00%": 3333 "33.33%".
std::string ShareText(int64_t hundredths);
// The share part / whole in hundredths of a per cent, halves away from zero; whole != 0.
int64_t ShareOf(int64_t part, int64_t whole);
// The part of a whole that a share in hundredths of a per cent gives, halves away from zero.
int64_t PartOfShare(int64_t whole, int64_t hundredths);

// numerator / denominator rounded halves away from zero, exactly; denominator > 0.
int64_t DivideRounded(int64_t numerator, int64_t denominator);
// The 5 % business tax of a net amount, halves away from zero.
int64_t FivePercentTax(int64_t net);
// The net amount a tax-included amount holds: amount / 1.05, halves away from zero.
int64_t NetOfFivePercentTax(int64_t taxIncluded);

}  // namespace kiv

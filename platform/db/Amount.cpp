#include "platform/db/Amount.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/db/Numbers.h"

namespace kiv {

namespace {

// Every run of 18 digits fits in 64 bits.
constexpr int LongestWholeNumber = 18;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The digits without leading zeros ("0" for zeros only).
std::string_view significant(std::string_view digits) {
    size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view("0") : digits.substr(first);
}

// Digits the caller has checked, at most LongestWholeNumber of them once the zeros are gone.
int64_t wholeOf(std::string_view digits) {
    int64_t value = 0;
    for (char c : significant(digits))
        value = value * 10 + (c - '0');
    return value;
}

// The digits of a text of digits, with "," between two digits where allowed; nullopt for any
// other text.
std::optional<std::string> separatedDigits(std::string_view text, bool separatorsAllowed) {
    std::string digits;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            digits += text[i];
            continue;
        }
        bool between = separatorsAllowed && text[i] == ',' && i > 0 && IsDigit(text[i - 1]) &&
                       i + 1 < text.size() && IsDigit(text[i + 1]);
        if (!between) return std::nullopt;
    }
    if (digits.empty()) return std::nullopt;
    return digits;
}

// The number at the start of a text without separators, as the old Val read it, held exactly:
// the sign, the whole digits and the first digit of the fraction (which decides the rounding).
struct LeadingNumber {
    bool negative = false;
    std::string whole;
    char firstDecimal = '0';
    bool exponent = false;
};

LeadingNumber leadingNumberOf(std::string_view text) {
    LeadingNumber n;
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) n.negative = text[i++] == '-';
    while (i < text.size() && IsDigit(text[i]))
        n.whole += text[i++];
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (i < text.size() && IsDigit(text[i])) n.firstDecimal = text[i];
        while (i < text.size() && IsDigit(text[i]))
            ++i;
    }
    if (i + 1 < text.size() && std::string_view("eEdD").find(text[i]) != std::string_view::npos) {
        size_t j = i + 1;
        if (text[j] == '+' || text[j] == '-') ++j;
        n.exponent = j < text.size() && IsDigit(text[j]);
    }
    return n;
}

}  // namespace

std::string GroupedDigits(std::string_view text) {
    std::string digits;
    for (char c : text)
        if (IsDigit(c)) digits += c;
    std::string_view kept = significant(digits);
    std::string grouped;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i > 0 && (kept.size() - i) % 3 == 0) grouped += ',';
        grouped += kept[i];
    }
    return grouped;
}

std::string AmountText(int64_t amount) {
    std::string digits = std::to_string(amount);
    return amount < 0 ? "-" + GroupedDigits(digits) : GroupedDigits(digits);
}

std::string GroupedAmountText(std::string_view typed) {
    AmountReading reading = ReadAmount(typed, {.negativeAllowed = true});
    if (reading.amount) return AmountText(*reading.amount);
    if (reading.fault == AmountFault::TooLong && typed.find('-') == std::string_view::npos)
        return GroupedDigits(typed);
    return std::string(typed);
}

std::string AmountText(const Value& stored) {
    if (const int64_t* whole = valueAs<int64_t>(stored)) return AmountText(*whole);
    if (const double* number = valueAs<double>(stored))
        return AmountText(roundHalfAwayFromZero(*number));
    const std::string text = stored.text();
    if (text.empty()) return "";
    try {
        if (std::optional<int64_t> whole = wholeNumberFromText(text)) return AmountText(*whole);
        if (std::optional<double> number = numberFromText(text))
            return AmountText(roundHalfAwayFromZero(*number));
    } catch (const ConversionError&) {
    }
    return text;
}

AmountReading ReadAmount(std::string_view text, AmountRule rule) {
    text = trimmed(text);
    if (text.empty())
        return {std::nullopt, rule.emptyAllowed ? AmountFault::None : AmountFault::Empty};
    bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    std::optional<std::string> digits = separatedDigits(text, rule.separatorsAllowed);
    if (!digits) return {std::nullopt, AmountFault::NotAmount};
    std::string_view kept = significant(*digits);
    if (negative && kept != "0" && !rule.negativeAllowed)
        return {std::nullopt, AmountFault::Negative};
    if (static_cast<int>(kept.size()) > std::min(rule.mostDigits, LongestWholeNumber))
        return {std::nullopt, AmountFault::TooLong};
    int64_t amount = wholeOf(kept);
    return {negative ? -amount : amount, AmountFault::None};
}

std::string AmountRefusal(std::string_view field, AmountFault fault, AmountRule rule) {
    std::string name(field);
    switch (fault) {
        case AmountFault::Empty:
            return name + "欄位不可空白";
        case AmountFault::Negative:
            return name + "不可為負數";
        case AmountFault::TooLong:
            return name + "不可超過" + std::to_string(rule.mostDigits) + "位數";
        case AmountFault::NotAmount:
        case AmountFault::None:
            break;
    }
    return name + "欄位只能輸入數字";
}

int64_t AmountOf(std::string_view text) {
    std::string plain = withoutSeparators(text);
    LeadingNumber n = leadingNumberOf(plain);
    try {
        if (n.exponent) return roundHalfAwayFromZero(leadingNumber(plain));
    } catch (const ConversionError&) {
        return 0;
    }
    if (significant(n.whole).size() > static_cast<size_t>(LongestWholeNumber)) return 0;
    int64_t amount = wholeOf(n.whole) + (n.firstDecimal >= '5' ? 1 : 0);
    return n.negative ? -amount : amount;
}

std::optional<int64_t> ReadShareHundredths(std::string_view text) {
    text = trimmed(text);
    size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    auto allDigits = [](std::string_view part) {
        for (char c : part)
            if (!IsDigit(c)) return false;
        return true;
    };
    if (whole.empty() || !allDigits(whole) || !allDigits(fraction) || fraction.size() > 2)
        return std::nullopt;
    if (point != std::string_view::npos && fraction.empty()) return std::nullopt;
    if (significant(whole).size() > 3) return std::nullopt;
    std::string hundredths(fraction);
    hundredths.resize(2, '0');
    int64_t share = wholeOf(whole) * 100 + wholeOf(hundredths);
    if (share > 100 * 100) return std::nullopt;
    return share;
}

namespace {

// a × b / d rounded halves away from zero, through 128 bits so that no product overflows.
int64_t multiplyDivideRounded(int64_t a, int64_t b, int64_t d) {
    __int128 product = static_cast<__int128>(a) * b;
    __int128 quotient = product / d;
    __int128 rest = product % d;
    if (rest < 0) rest = -rest;
    if (rest >= d - rest) quotient += product < 0 ? -1 : 1;
    return static_cast<int64_t>(quotient);
}

}  // namespace

std::string ShareText(int64_t hundredths) {
    std::string sign = hundredths < 0 ? "-" : "";
    int64_t whole = std::llabs(hundredths);
    std::string fraction = std::to_string(whole % 100);
    if (fraction.size() < 2) fraction = "0" + fraction;
    return sign + std::to_string(whole / 100) + "." + fraction + "%";
}

int64_t ShareOf(int64_t part, int64_t whole) {
    if (whole < 0) return ShareOf(-part, -whole);
    return multiplyDivideRounded(part, 10000, whole);
}

int64_t PartOfShare(int64_t whole, int64_t hundredths) {
    return multiplyDivideRounded(whole, hundredths, 10000);
}

int64_t DivideRounded(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    int64_t rest = std::llabs(numerator % denominator);
    if (rest >= denominator - rest) quotient += numerator < 0 ? -1 : 1;
    return quotient;
}

int64_t FivePercentTax(int64_t net) {
    return DivideRounded(net, 20);
}

// amount × 20 / 21, with amount = 21q + r so that no product leaves the 64-bit range.
int64_t NetOfFivePercentTax(int64_t taxIncluded) {
    int64_t q = taxIncluded / 21, r = taxIncluded % 21;
    return 20 * q + DivideRounded(20 * r, 21);
}

}  // namespace kiv

#include "platform/db/Numbers.h"

#include <charconv>
#include <cmath>

namespace kiv {

namespace {

// Scans a number at text[pos]: sign, digits (with "," between digits when allowed), point,
// fraction and exponent. Returns the end position and the characters of the number without
// separators, or pos itself when no digit was found.
size_t scanNumber(std::string_view text, size_t pos, bool allowSeparators, std::string& digits) {
    size_t i = pos;
    digits.clear();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) digits += text[i++];
    bool any = false;
    while (i < text.size()) {
        if (IsDigit(text[i])) {
            digits += text[i++];
            any = true;
        } else if (allowSeparators && text[i] == ',' && any && i + 1 < text.size() &&
                   IsDigit(text[i + 1])) {
            ++i;
        } else {
            break;
        }
    }
    if (i < text.size() && text[i] == '.') {
        size_t fractionStart = i + 1;
        size_t j = fractionStart;
        while (j < text.size() && IsDigit(text[j]))
            ++j;
        if (any || j > fractionStart) {
            digits += '.';
            digits.append(text.substr(fractionStart, j - fractionStart));
            any = any || j > fractionStart;
            i = j;
        }
    }
    if (!any) return pos;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        size_t exponentDigits = j;
        while (j < text.size() && IsDigit(text[j]))
            exponent += text[j++];
        if (j > exponentDigits) {
            digits += exponent;
            i = j;
        }
    }
    return i;
}

// The power of ten of the number's leading digit, for telling a number too large for a double from
// one too small; an exponent too long to read counts by its sign alone.
int64_t decimalOrder(std::string_view digits) {
    size_t e = digits.find('e');
    std::string_view mantissa = digits.substr(0, e);
    int64_t exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view text = digits.substr(e + 1);
        bool negative = !text.empty() && text[0] == '-';
        if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
        if (std::from_chars(text.data(), text.data() + text.size(), exponent).ec != std::errc())
            exponent = int64_t{1} << 40;
        if (negative) exponent = -exponent;
    }
    size_t point = mantissa.find('.');
    if (point == std::string_view::npos) point = mantissa.size();
    size_t lead = mantissa.find_first_of("123456789");
    if (lead == std::string_view::npos) return exponent;
    auto place = static_cast<int64_t>(point) - static_cast<int64_t>(lead);
    return exponent + (lead < point ? place - 1 : place);
}

// from_chars reads "." as the decimal point whatever locale the process runs in. A number beyond a
// double's range is refused; one too small to tell from 0 is 0.
double toDouble(const std::string& digits) {
    const char* first = digits.data();
    if (*first == '+') ++first;
    double value = 0;
    auto result = std::from_chars(first, digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range && decimalOrder(digits) > 0)
        throw ConversionError("「" + digits + "」超出數字範圍");
    return value;
}

bool isWholeDigits(std::string_view digits) {
    size_t start = !digits.empty() && (digits[0] == '+' || digits[0] == '-') ? 1 : 0;
    if (start == digits.size()) return false;
    for (size_t i = start; i < digits.size(); ++i)
        if (!IsDigit(digits[i])) return false;
    return true;
}

// x as the decimal of 15 significant digits that Format rounds, so that both agree.
double toFifteenDigits(double x) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14);
    double value = x;
    std::from_chars(buffer, result.ptr, value);
    return value;
}

int64_t checkedWhole(double rounded, double x) {
    if (!(rounded >= -0x1p63 && rounded < 0x1p63))
        throw ConversionError(decimalText(x) + " 超出整數範圍");
    return static_cast<int64_t>(rounded);
}

}  // namespace

double leadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::string digits;
    if (scanNumber(text, i, false, digits) == i) return 0;
    return toDouble(digits);
}

namespace {

// The characters of the number that makes up the whole text (blanks around it), without its
// separators; nullopt when the text is not wholly a number.
std::optional<std::string> wholeTextNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::string digits;
    size_t end = scanNumber(text, i, true, digits);
    if (end == i) return std::nullopt;
    while (end < text.size() && IsBlank(text[end]))
        ++end;
    if (end != text.size()) return std::nullopt;
    return digits;
}

}  // namespace

std::optional<double> numberFromText(std::string_view text) {
    auto digits = wholeTextNumber(text);
    if (!digits) return std::nullopt;
    return toDouble(*digits);
}

std::optional<int64_t> wholeNumberFromText(std::string_view text) {
    auto digits = wholeTextNumber(text);
    if (!digits || !isWholeDigits(*digits)) return std::nullopt;
    const char* first = digits->data() + (digits->front() == '+' ? 1 : 0);
    int64_t value = 0;
    if (std::from_chars(first, digits->data() + digits->size(), value).ec != std::errc())
        throw ConversionError("「" + std::string(text) + "」超出整數範圍");
    return value;
}

bool isNumeric(std::string_view text) {
    try {
        return numberFromText(text).has_value();
    } catch (const ConversionError&) {
        return false;
    }
}

std::string withoutSeparators(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ',') out += c;
    return out;
}

int64_t roundHalfToEven(double x) {
    return checkedWhole(std::nearbyint(x), x);
}

int64_t roundHalfAwayFromZero(double x) {
    return checkedWhole(std::round(toFifteenDigits(x)), x);
}

std::string decimalText(double x) {
    if (x == 0) return "0";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

}  // namespace kiv

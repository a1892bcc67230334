#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kiv {

// An ASCII digit; a blank is what the number readers skip around a number: a space or a tab.
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A conversion the data does not allow, such as a non-numeric text read as a number or a number
// too large for a whole number.
class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The number at the start of a text, as the old Val read it: leading blanks skipped, an optional
// sign, digits with an optional decimal point and exponent; it stops at the first other character.
// "12abc" is 12, "1,500" is 1 (callers strip separators first), "" is 0.
double leadingNumber(std::string_view text);

// True for a text that reads wholly as a number, thousands separators allowed between digits
// ("9,500", "-12", "12.5", blanks around it); false for "", "abc", ",12" and "1e400".
bool isNumeric(std::string_view text);

// The value of a text that isNumeric accepts; nullopt for any other text. A number beyond a
// double's range ("1e400") raises ConversionError, as does leadingNumber.
std::optional<double> numberFromText(std::string_view text);

// The exact value of a text written as a whole number ("9007199254740993", "-1,200"), which a
// double would round above 2^53; nullopt for any other text, ConversionError beyond 64 bits.
std::optional<int64_t> wholeNumberFromText(std::string_view text);

// The text without its thousands separators ("12,000" gives "12000").
std::string withoutSeparators(std::string_view text);

// Conversions to whole numbers (CLng, CInt, Round) round halves to even: 2.5 gives 2, 3.5 gives 4.
// Both roundings raise ConversionError for a value outside the 64-bit range (or not a number).
int64_t roundHalfToEven(double x);
// Number formatting rounds halves away from zero: 2.5 gives 3, -2.5 gives -3. Like Format, it
// rounds the number's 15 significant digits, so a computed 28.499999999999996 gives 29.
int64_t roundHalfAwayFromZero(double x);

// The text a number shows where no pattern is given, as CStr wrote it: at most 15 significant
// digits, so a sum such as 0.1 + 0.2 reads "0.3" ("12", "-3.25", "1e+20").
std::string decimalText(double x);

}  // namespace kiv

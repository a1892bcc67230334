#include "platform/forms/AmountEntry.h"

#include "platform/forms/Host.h"

namespace kiv {

namespace {

constexpr size_t MostDigits = 15;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits of a text of digits and separators, or nullopt.
std::optional<std::string> digitsOf(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == ',') continue;
        if (!isDigit(c)) return std::nullopt;
        digits += c;
    }
    if (digits.empty()) return std::nullopt;
    return digits;
}

// "##,##0" of a run of digits, done on the text so that no length loses a digit.
std::string grouped(const std::string& digits) {
    size_t first = digits.find_first_not_of('0');
    std::string significant = first == std::string::npos ? "0" : digits.substr(first);
    std::string result;
    for (size_t i = 0; i < significant.size(); ++i) {
        if (i > 0 && (significant.size() - i) % 3 == 0) result += ',';
        result += significant[i];
    }
    return result;
}

}  // namespace

void AmountKeyFilter(int& keyAscii) {
    if ((keyAscii >= '0' && keyAscii <= '9') || keyAscii == Key::Backspace) return;
    beep();
    keyAscii = 0;
}

void LiveThousandsFormat(TextBox& box) {
    std::optional<std::string> digits = digitsOf(box.Text());
    if (!digits) return;
    box.SetText(grouped(*digits));
    box.CaretToEnd();
}

std::optional<int64_t> WholeAmountOfText(const std::string& text) {
    std::optional<std::string> digits = digitsOf(text);
    if (!digits || digits->size() > MostDigits) return std::nullopt;
    return std::stoll(*digits);
}

}  // namespace kiv

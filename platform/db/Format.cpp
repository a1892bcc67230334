#include "platform/db/Format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/db/Numbers.h"

namespace kiv {

namespace {

std::string twoDigits(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

bool startsWith(std::string_view text, size_t pos, std::string_view token) {
    return text.substr(pos, token.size()) == token;
}

bool isDatePattern(std::string_view pattern) {
    for (char c : pattern) {
        if (c == '0' || c == '#') return false;
    }
    for (char c : pattern) {
        switch (c) {
            case 'y':
            case 'm':
            case 'd':
            case 'g':
            case 'e':
            case 'h':
            case 'n':
            case 's':
                return true;
            default:
                break;
        }
    }
    return false;
}

// Fixed-point digits of |x| rounded half away from zero to `decimals` places. The decision is
// taken on the shortest decimal text of the double, so 2.675 rounds as the 2.675 a user typed.
void roundedDigits(double x, int decimals, std::string& integerDigits, std::string& fraction) {
    char buffer[512];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x), std::chars_format::fixed);
    std::string text(buffer, result.ptr);
    size_t point = text.find('.');
    integerDigits = text.substr(0, point);
    std::string allFraction = point == std::string::npos ? "" : text.substr(point + 1);
    bool roundUp = static_cast<int>(allFraction.size()) > decimals && allFraction[decimals] >= '5';
    allFraction.resize(decimals, '0');
    std::string digits = integerDigits + allFraction;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                break;
            }
        }
        if (i < 0) digits.insert(digits.begin(), '1');
    }
    integerDigits = digits.substr(0, digits.size() - decimals);
    fraction = digits.substr(digits.size() - decimals);
    size_t firstNonZero = integerDigits.find_first_not_of('0');
    integerDigits = firstNonZero == std::string::npos ? "" : integerDigits.substr(firstNonZero);
}

std::string grouped(const std::string& digits) {
    std::string out;
    int count = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (count > 0 && count % 3 == 0) out.insert(out.begin(), ',');
        out.insert(out.begin(), *it);
        ++count;
    }
    return out;
}

struct NumberPattern {
    std::string prefix, suffix;
    int minIntegerDigits = 0;
    int requiredDecimals = 0;
    int optionalDecimals = 0;
    bool grouping = false;
    bool percent = false;
};

NumberPattern parseNumberPattern(std::string_view pattern) {
    NumberPattern p;
    size_t first = pattern.find_first_of("0#,.");
    size_t last = pattern.find_last_of("0#,.");
    if (first == std::string_view::npos) {
        p.prefix = pattern;
        return p;
    }
    p.prefix = pattern.substr(0, first);
    p.suffix = pattern.substr(last + 1);
    p.percent = pattern.find('%') != std::string_view::npos;
    std::string_view body = pattern.substr(first, last - first + 1);
    size_t point = body.find('.');
    std::string_view integerPart = body.substr(0, point);
    for (char c : integerPart) {
        if (c == '0') ++p.minIntegerDigits;
        if (c == ',') p.grouping = true;
    }
    if (point != std::string_view::npos) {
        for (char c : body.substr(point + 1)) {
            if (c == '0') ++p.requiredDecimals;
            if (c == '#') ++p.optionalDecimals;
        }
    }
    return p;
}

std::string formatNumber(double x, std::string_view patternText) {
    NumberPattern p = parseNumberPattern(patternText);
    if (p.percent) x *= 100;
    int decimals = p.requiredDecimals + p.optionalDecimals;
    std::string integerDigits, fraction;
    roundedDigits(x, decimals, integerDigits, fraction);
    while (static_cast<int>(fraction.size()) > p.requiredDecimals && !fraction.empty() &&
           fraction.back() == '0')
        fraction.pop_back();
    bool isZero = integerDigits.empty() && fraction.find_first_not_of('0') == std::string::npos;
    while (static_cast<int>(integerDigits.size()) < p.minIntegerDigits)
        integerDigits.insert(integerDigits.begin(), '0');
    std::string body = p.grouping ? grouped(integerDigits) : integerDigits;
    if (!fraction.empty()) body += "." + fraction;
    std::string sign = x < 0 && !isZero ? "-" : "";
    return sign + p.prefix + body + p.suffix;
}

std::string rocYear(const Date& d, bool padded) {
    int year = d.year() - 1911;
    return padded ? twoDigits(year) : std::to_string(year);
}

std::string formatDate(const Date& d, std::string_view pattern) {
    struct Token {
        std::string_view text;
        std::string value;
    };
    const Token tokens[] = {
        {"gg", std::string(RocEraName)},   {"ee", rocYear(d, true)},
        {"e", rocYear(d, false)},          {"yyyy", std::to_string(d.year())},
        {"yy", twoDigits(d.year() % 100)}, {"mm", twoDigits(d.month())},
        {"m", std::to_string(d.month())},  {"dd", twoDigits(d.day())},
        {"d", std::to_string(d.day())},    {"hh", twoDigits(d.hour())},
        {"nn", twoDigits(d.minute())},     {"ss", twoDigits(d.second())},
    };
    std::string out;
    size_t i = 0;
    while (i < pattern.size()) {
        bool matched = false;
        for (const Token& token : tokens) {
            if (startsWith(pattern, i, token.text)) {
                out += token.value;
                i += token.text.size();
                matched = true;
                break;
            }
        }
        if (!matched) out += pattern[i++];
    }
    return out;
}

// A small scanner over a shown date, skipping blanks (ASCII and the ideographic blank).
class DateScanner {
  public:
    explicit DateScanner(std::string_view text) : text_(text) {}

    void skipBlanks() {
        while (pos_ < text_.size()) {
            if (text_[pos_] == ' ' || text_[pos_] == '\t') {
                ++pos_;
            } else if (startsWith(text_, pos_, "\u3000")) {
                pos_ += 3;
            } else {
                break;
            }
        }
    }

    bool take(std::string_view token) {
        skipBlanks();
        if (!startsWith(text_, pos_, token)) return false;
        pos_ += token.size();
        return true;
    }

    // Digits at the scanner; returns how many were read.
    int number(int& value) {
        skipBlanks();
        int count = 0;
        value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && count < 9) {
            value = value * 10 + (text_[pos_++] - '0');
            ++count;
        }
        return count;
    }

    bool atEnd() {
        skipBlanks();
        return pos_ == text_.size();
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool takeSeparator(DateScanner& s, std::string_view chineseUnit) {
    return s.take("/") || s.take("-") || s.take(".") || s.take(chineseUnit);
}

}  // namespace

std::string Format(const Date& date, std::string_view pattern) {
    if (!isDatePattern(pattern)) return shortDateText(date);
    return formatDate(date, pattern);
}

std::string Format(double number, std::string_view pattern) {
    if (isDatePattern(pattern)) return shortestDecimalText(number);
    return formatNumber(number, pattern);
}

std::string Format(const Value& value, std::string_view pattern) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return "";
        case Value::Kind::Date:
            return Format(value.date(), pattern);
        case Value::Kind::Text: {
            const std::string& text = *valueAs<std::string>(value);
            if (isDatePattern(pattern)) {
                if (auto d = parseShownDate(text)) return formatDate(*d, pattern);
                return text;
            }
            if (auto n = numberFromText(text)) return formatNumber(*n, pattern);
            return text;
        }
        default:
            if (isDatePattern(pattern)) return value.text();
            return formatNumber(value.number(), pattern);
    }
}

std::optional<Date> parseShownDate(std::string_view text) {
    DateScanner s(text);
    if (!s.take(RocEraName)) s.take("民國");
    int year, month, day;
    int yearDigits = s.number(year);
    if (yearDigits == 0 || !takeSeparator(s, "年")) return std::nullopt;
    if (s.number(month) == 0 || !takeSeparator(s, "月")) return std::nullopt;
    if (s.number(day) == 0) return std::nullopt;
    s.take("日");
    if (yearDigits <= 3) year += 1911;
    if (!isValidYmd(year, month, day)) return std::nullopt;
    if (s.atEnd()) return Date::fromYmd(year, month, day);
    int hour, minute, second = 0;
    if (s.number(hour) == 0 || !s.take(":") || s.number(minute) == 0) return std::nullopt;
    if (s.take(":") && s.number(second) == 0) return std::nullopt;
    if (!s.atEnd() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return Date::fromYmdHms(year, month, day, hour, minute, second);
}

std::string shortDateText(const Date& date) {
    return formatDate(date, date.hasTime() ? "yyyy/mm/dd hh:nn:ss" : "yyyy/mm/dd");
}

}  // namespace kiv

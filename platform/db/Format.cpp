#include "platform/db/Format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/db/Numbers.h"

namespace kiv {

namespace {

std::string twoDigits(int n) {
    // As "%02d" writes it: a sign or a third digit goes beyond the two.
    if (n < 0 || n > 99) return std::to_string(n);
    return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

bool startsWith(std::string_view text, size_t pos, std::string_view token) {
    return text.substr(pos, token.size()) == token;
}

// Number patterns are made of "0#,.%"; a pattern with a letter of a date part is a date pattern
// ("yyyy/mm/01" included).
bool isDatePattern(std::string_view pattern) {
    return pattern.find_first_of("ymdgehns") != std::string_view::npos;
}

// A magnitude as fixed-point digits: the digits before and after the decimal point.
struct FixedDigits {
    std::string integer;
    std::string fraction;
};

// Places the decimal point after `integerLength` of `digits` (before them when not positive).
FixedDigits withPointAt(const std::string& digits, int integerLength) {
    int length = static_cast<int>(digits.size());
    if (integerLength <= 0) return {"", std::string(-integerLength, '0') + digits};
    if (integerLength >= length) return {digits + std::string(integerLength - length, '0'), ""};
    return {digits.substr(0, integerLength), digits.substr(integerLength)};
}

// |x| to 15 significant digits, the precision of the old conversions, so that a computed
// 28.499999999999996 rounds as the 28.5 it stands for. `shift` moves the point right (a percent).
FixedDigits fixedDigitsOf(double x, int shift) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                std::chars_format::scientific, 14);
    std::string_view text(buffer, result.ptr - buffer);
    size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.') digits += c;
    size_t exponentStart = text[e + 1] == '+' ? e + 2 : e + 1;
    int exponent = 0;
    std::from_chars(text.data() + exponentStart, text.data() + text.size(), exponent);
    return withPointAt(digits, exponent + 1 + shift);
}

FixedDigits fixedDigitsOf(int64_t n, int shift) {
    std::string digits = std::to_string(n < 0 ? 0 - static_cast<uint64_t>(n) : n);
    return withPointAt(digits, static_cast<int>(digits.size()) + shift);
}

// Rounds to `decimals` places, halves away from zero, and drops leading zeros of the integer.
void roundAwayFromZero(FixedDigits& f, int decimals) {
    bool roundUp = static_cast<int>(f.fraction.size()) > decimals && f.fraction[decimals] >= '5';
    f.fraction.resize(decimals, '0');
    std::string digits = f.integer + f.fraction;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0 && digits[i] == '9'; --i)
            digits[i] = '0';
        if (i >= 0)
            ++digits[i];
        else
            digits.insert(digits.begin(), '1');
    }
    f.integer = digits.substr(0, digits.size() - decimals);
    f.fraction = digits.substr(digits.size() - decimals);
    size_t firstNonZero = f.integer.find_first_not_of('0');
    f.integer = firstNonZero == std::string::npos ? "" : f.integer.substr(firstNonZero);
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

std::string formatDigits(FixedDigits digits, bool negative, const NumberPattern& p) {
    roundAwayFromZero(digits, p.requiredDecimals + p.optionalDecimals);
    std::string& fraction = digits.fraction;
    while (static_cast<int>(fraction.size()) > p.requiredDecimals && fraction.back() == '0')
        fraction.pop_back();
    bool isZero = digits.integer.empty() && fraction.find_first_not_of('0') == std::string::npos;
    std::string integer = digits.integer;
    while (static_cast<int>(integer.size()) < p.minIntegerDigits)
        integer.insert(integer.begin(), '0');
    std::string body = p.grouping ? grouped(integer) : integer;
    if (!fraction.empty()) body += "." + fraction;
    std::string sign = negative && !isZero ? "-" : "";
    return sign + p.prefix + body + p.suffix;
}

std::string formatNumber(double x, std::string_view pattern) {
    if (pattern.empty() || !std::isfinite(x)) return decimalText(x);
    NumberPattern p = parseNumberPattern(pattern);
    return formatDigits(fixedDigitsOf(x, p.percent ? 2 : 0), x < 0, p);
}

std::string formatNumber(int64_t n, std::string_view pattern) {
    if (pattern.empty()) return std::to_string(n);
    NumberPattern p = parseNumberPattern(pattern);
    return formatDigits(fixedDigitsOf(n, p.percent ? 2 : 0), n < 0, p);
}

std::string rocYear(const Date& d, bool padded) {
    int year = d.year() - 1911;
    return padded ? twoDigits(year) : std::to_string(year);
}

// Each part is worked out only where the pattern names it: lists format a date per row. The
// lists' own patterns are written at once.
std::string formatDate(const Date& d, std::string_view pattern) {
    const bool withEra = pattern == "gg ee/mm/dd";
    if (withEra || pattern == "ee/mm/dd") {
        // Every listing writes a date per row: put together without printf's parsing.
        std::string text = withEra ? std::string(RocEraName) + " " : std::string();
        text += twoDigits(d.year() - 1911);
        text += '/';
        text += twoDigits(d.month());
        text += '/';
        text += twoDigits(d.day());
        return text;
    }
    using Part = std::string (*)(const Date&);
    struct Token {
        std::string_view text;
        Part value;
    };
    static const Token tokens[] = {
        {"gg", [](const Date&) { return std::string(RocEraName); }},
        {"ee", [](const Date& x) { return rocYear(x, true); }},
        {"e", [](const Date& x) { return rocYear(x, false); }},
        {"yyyy", [](const Date& x) { return std::to_string(x.year()); }},
        {"yy", [](const Date& x) { return twoDigits(x.year() % 100); }},
        {"mm", [](const Date& x) { return twoDigits(x.month()); }},
        {"m", [](const Date& x) { return std::to_string(x.month()); }},
        {"dd", [](const Date& x) { return twoDigits(x.day()); }},
        {"d", [](const Date& x) { return std::to_string(x.day()); }},
        {"hh", [](const Date& x) { return twoDigits(x.hour()); }},
        {"nn", [](const Date& x) { return twoDigits(x.minute()); }},
        {"ss", [](const Date& x) { return twoDigits(x.second()); }},
    };
    std::string out;
    size_t i = 0;
    while (i < pattern.size()) {
        bool matched = false;
        for (const Token& token : tokens) {
            if (startsWith(pattern, i, token.text)) {
                out += token.value(d);
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
    if (isDatePattern(pattern)) return decimalText(number);
    return formatNumber(number, pattern);
}

std::string Format(const Value& value, std::string_view pattern) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return "";
        case Value::Kind::Date:
            return Format(value.date(), pattern);
        case Value::Kind::Integer:
            if (isDatePattern(pattern)) return value.text();
            return formatNumber(*valueAs<int64_t>(value), pattern);
        case Value::Kind::Text: {
            const std::string& text = *valueAs<std::string>(value);
            if (pattern.empty()) return text;
            if (isDatePattern(pattern)) {
                if (auto d = parseShownDate(text)) return formatDate(*d, pattern);
                return text;
            }
            if (auto n = numberFromText(text)) return formatNumber(*n, pattern);
            return text;
        }
        default:
            if (isDatePattern(pattern) || pattern.empty()) return value.text();
            return formatNumber(value.number(), pattern);
    }
}

std::string groupedNumber(int64_t n) {
    const std::string digits = std::to_string(n);
    const size_t sign = n < 0 ? 1 : 0;
    std::string out(digits, 0, sign);
    for (size_t i = sign; i < digits.size(); ++i) {
        if (i > sign && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
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
    if (yearDigits <= 3) {
        if (year == 0) return std::nullopt;
        year += 1911;
    }
    if (!isValidYmd(year, month, day)) return std::nullopt;
    if (s.atEnd()) return Date::fromYmd(year, month, day);
    s.take("T");
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

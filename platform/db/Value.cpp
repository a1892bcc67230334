#include "platform/db/Value.h"

#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/db/Utf8.h"

namespace kiv {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

}  // namespace

std::string Value::text() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return std::string(); },
                          [](bool b) { return std::string(b ? "True" : "False"); },
                          [](int64_t i) { return std::to_string(i); },
                          [](double d) { return decimalText(d); },
                          [](const std::string& s) { return s; },
                          [](const Date& d) { return shortDateText(d); },
                      },
                      data_);
}

double Value::number() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0; },
                          [](bool b) { return b ? 1.0 : 0.0; },
                          [](int64_t i) { return static_cast<double>(i); },
                          [](double d) { return d; },
                          [](const std::string& s) {
                              if (s.empty()) return 0.0;
                              auto n = numberFromText(s);
                              if (!n) throw ConversionError("「" + s + "」不是數字");
                              return *n;
                          },
                          [](const Date& d) {
                              return static_cast<double>(d.days()) + d.secondsOfDay() / 86400.0;
                          },
                      },
                      data_);
}

int64_t Value::wholeNumber() const {
    if (auto i = valueAs<int64_t>(*this)) return *i;
    if (auto s = valueAs<std::string>(*this))
        if (auto whole = wholeNumberFromText(*s)) return *whole;
    return roundHalfToEven(number());
}

bool Value::boolean() const {
    if (auto b = valueAs<bool>(*this)) return *b;
    if (auto s = valueAs<std::string>(*this)) {
        if (equalsNoCase(*s, "True")) return true;
        if (equalsNoCase(*s, "False") || s->empty()) return false;
    }
    return number() != 0;
}

Date Value::date() const {
    if (auto d = valueAs<Date>(*this)) return *d;
    if (auto s = valueAs<std::string>(*this)) {
        if (auto d = Date::fromIso(*s)) return *d;
        if (auto d = parseShownDate(*s)) return *d;
        throw ConversionError("「" + *s + "」不是日期");
    }
    throw ConversionError("「" + text() + "」不是日期");
}

}  // namespace kiv

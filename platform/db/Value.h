#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/db/Date.h"
#include "platform/db/Numbers.h"

namespace kiv {

// One field's value: Null, a Boolean, a whole number, a double, a text (UTF-8) or a date.
class Value {
  public:
    enum class Kind { Null, Boolean, Integer, Double, Text, Date };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : data_(b) {}
    Value(int i) : data_(int64_t{i}) {}
    Value(long i) : data_(int64_t{i}) {}
    Value(long long i) : data_(int64_t{i}) {}
    Value(double d) : data_(d) {}
    Value(const char* s) : data_(std::string(s)) {}
    Value(std::string s) : data_(std::move(s)) {}
    Value(std::string_view s) : data_(std::string(s)) {}
    Value(const Date& d) : data_(d) {}

    Kind kind() const { return static_cast<Kind>(data_.index()); }
    bool isNull() const { return kind() == Kind::Null; }
    bool isText() const { return kind() == Kind::Text; }

    // The text of the value; Null gives "" (as `& ""` did). Booleans read "True"/"False",
    // doubles their decimal text of up to 15 significant digits, dates the system's short form
    // "yyyy/mm/dd" (with " hh:nn:ss" when there is a time).
    std::string text() const;

    // The number of the value: Null and "" count 0, a text must read as a number (thousands
    // separators allowed) or ConversionError is raised, True is 1.
    double number() const;
    // number() rounded half to even, as CLng did; ConversionError beyond the 64-bit range.
    int64_t wholeNumber() const;
    // Null is False, numbers are True when not 0, texts "True"/"False" or numeric.
    bool boolean() const;
    // A date, or a text that reads as one (the storage form or a date as the forms show it).
    Date date() const;

    friend bool operator==(const Value&, const Value&) = default;

  private:
    std::variant<std::monostate, bool, int64_t, double, std::string, Date> data_;

    template <class T>
    friend const T* valueAs(const Value& v);
};

template <class T>
const T* valueAs(const Value& v) {
    return std::get_if<T>(&v.data_);
}

}  // namespace kiv

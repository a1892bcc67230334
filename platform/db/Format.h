#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/db/Date.h"
#include "platform/db/Value.h"

namespace kiv {

// The era text of the ROC calendar that "gg" writes.
inline constexpr std::string_view RocEraName = "中華民國";

// Formats a value with a pattern of the forms.
//
// Date patterns: "gg" era, "ee" ROC year of at least two digits (2026 is "115", 1912 "01"), "e" the
// ROC year unpadded, "yyyy" and "yy" the Gregorian year, "mm"/"m" month, "dd"/"d" day, "hh", "nn",
// "ss" time; every other character is copied ("gg ee 年 mm 月 dd 日", "ee/mm/dd", "eemmdd").
//
// Number patterns: "0" a digit always shown, "#" a digit shown when significant, "," grouping in
// threes, "." the decimal point, "%" the value times 100 ("##,##0", "##0", "0.00%", "#,###": the
// last gives "" for 0). Halves round away from zero, as the old Format did, on the number's
// 15 significant digits, so a computed 28.499999999999996 rounds as 28.5. A negative number
// that rounds to zero shows no sign.
//
// A pattern holding any of the date letters is a date pattern, every other one a number pattern.
// A text that reads as a number is formatted as that number; with a date pattern, a text that
// reads as a date is formatted as that date; any other text comes back unchanged. Null gives "".
// The empty pattern gives the value's own text (Value::text).
std::string Format(const Value& value, std::string_view pattern);
std::string Format(const Date& date, std::string_view pattern);
std::string Format(double number, std::string_view pattern);

// A whole number with thousands separators, as Format(n, "##,##0") gives it, without reading a
// pattern: for lists that show an amount or two on every row.
std::string groupedNumber(int64_t n);

// Reads a date as the forms show it: "中華民國 115 年 01 月 05 日", "中華民國 115/01/05",
// "民國115/1/5", "115/01/05", "95/12/27", "2006/12/27", "2006/1/5" and the storage form
// "2006-12-27", each optionally followed by a time "hh:nn[:ss]". Blanks are ignored. A year of up
// to three digits is always a ROC year ("95" is 2006, never 1995); a Gregorian "yy/mm/dd" text
// therefore does not read back as its date, so a shown date is stored through this function,
// never through a "yy/mm/dd" text. nullopt when the text is no valid date.
std::optional<Date> parseShownDate(std::string_view text);

// The system's short date text "yyyy/mm/dd" (with " hh:nn:ss" when there is a time of day).
std::string shortDateText(const Date& date);

}  // namespace kiv

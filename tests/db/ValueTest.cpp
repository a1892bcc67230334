#include <gtest/gtest.h>

#include <cmath>

#include "platform/db/Date.h"
#include "platform/db/Numbers.h"
#include "platform/db/Value.h"

using namespace kiv;

namespace {

Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d);
}

Date at(int y, int m, int d, int h, int n, int s) {
    return Date::fromYmdHms(y, m, d, h, n, s);
}

struct TextCase {
    const char* text;
    double number;
};

}  // namespace

TEST(Numbers, TextsReadAsNumbersAndTextsThatAreNone) {
    const TextCase leading[] = {{"", 0},     {"12abc", 12},   {"-3", -3},      {"1,500,000", 1},
                                {" 12", 12}, {"1.5e3", 1500}, {"-", 0},        {"-.5", -0.5},
                                {"12e", 12}, {"abc12", 0},    {"1e-400abc", 0}};
    for (auto [text, number] : leading)
        EXPECT_EQ(leadingNumber(text), number) << text;
    // A separator typed in the wrong place still joins its digits, as the old conversions did.
    const TextCase numeric[] = {{"1,234,567.5", 1234567.5},
                                {" -12 ", -12},
                                {"+5", 5},
                                {"1,2", 12},
                                {"9,500", 9500},
                                {"1e308", 1e308}};
    for (auto [text, number] : numeric) {
        EXPECT_EQ(numberFromText(text), number) << text;
        EXPECT_TRUE(isNumeric(text)) << text;
    }
    EXPECT_EQ(numberFromText("1e-400"), 0.0);
    EXPECT_EQ(numberFromText("0.000001e-400"), 0.0);
    for (const char* text : {"", " ", "abc", ",12", "12,", "1,,2", "12abc", ".", "-", "1.2.3"}) {
        EXPECT_FALSE(numberFromText(text)) << text;
        EXPECT_FALSE(isNumeric(text)) << text;
    }
    EXPECT_EQ(withoutSeparators("-1,234,567.5"), "-1234567.5");
}

TEST(Numbers, ConversionsRoundHalvesToEvenAndFormattingAwayFromZero) {
    struct Case {
        double x;
        int64_t even, away;
    };
    const Case cases[] = {{2.5, 2, 3},       {3.5, 4, 4},           {-2.5, -2, -3},   {0.5, 0, 1},
                          {2.5000001, 3, 3}, {0.285 * 100, 28, 29}, {10 * 0.05, 0, 1}};
    for (auto [x, even, away] : cases) {
        EXPECT_EQ(roundHalfToEven(x), even) << x;
        EXPECT_EQ(roundHalfAwayFromZero(x), away) << x;
    }
    EXPECT_EQ(roundHalfToEven(3e12 + 0.5), 3000000000000);
    EXPECT_THROW(roundHalfToEven(1e19), ConversionError);
    EXPECT_THROW(roundHalfAwayFromZero(-1e19), ConversionError);
    EXPECT_THROW(roundHalfToEven(std::nan("")), ConversionError);
    // Decimal texts keep fifteen digits, so that sums carry no binary noise.
    EXPECT_EQ(decimalText(0.1 + 0.2), "0.3");
    EXPECT_EQ(decimalText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(decimalText(-0.0), "0");
    EXPECT_EQ(decimalText(123456789012345.0), "123456789012345");
}

// A number beyond a double is refused rather than read as 0; a whole number written as text stays
// exact up to 64 bits and is refused beyond.
TEST(Numbers, NumbersBeyondWhatTheyAreHeldInAreRefused) {
    for (const char* text : {"1e400", "1e309", "-1e309", "123456789e301", "0.001e312"}) {
        EXPECT_THROW(numberFromText(text), ConversionError) << text;
        EXPECT_THROW(leadingNumber(text), ConversionError) << text;
        EXPECT_THROW(Value(text).number(), ConversionError) << text;
        EXPECT_FALSE(isNumeric(text)) << text;
    }
    EXPECT_THROW(numberFromText("1,000e400"), ConversionError);
    const std::pair<const char*, int64_t> wholes[] = {
        {"9007199254740993", 9007199254740993},
        {" -9,007,199,254,740,993 ", -9007199254740993},
        {"+9223372036854775807", 9223372036854775807},
        {"12", 12}};
    for (auto [text, whole] : wholes) {
        EXPECT_EQ(wholeNumberFromText(text), whole) << text;
        EXPECT_EQ(Value(text).wholeNumber(), whole) << text;
    }
    for (const char* text : {"12.0", "1e3", "abc", ""})
        EXPECT_FALSE(wholeNumberFromText(text)) << text;
    EXPECT_THROW(wholeNumberFromText("9223372036854775808"), ConversionError);
    EXPECT_THROW(Value("9223372036854775808").wholeNumber(), ConversionError);
    EXPECT_THROW(Value(1e20).wholeNumber(), ConversionError);
}

TEST(Value, TextsNumbersAndBooleansOfEveryKind) {
    const std::pair<Value, const char*> texts[] = {
        {Value(), ""},
        {true, "True"},
        {int64_t{3000000000}, "3000000000"},
        {12.0, "12"},
        {0.1 + 0.2, "0.3"},
        {ymd(2006, 1, 5), "2006/01/05"},
        {at(2006, 1, 5, 8, 0, 0), "2006/01/05 08:00:00"}};
    for (const auto& [value, text] : texts)
        EXPECT_EQ(value.text(), text) << text;
    // Whole numbers round halves to even, as CLng did.
    const std::tuple<Value, double, int64_t> numbers[] = {{Value(), 0, 0},
                                                          {"", 0, 0},
                                                          {true, 1, 1},
                                                          {"12,000", 12000, 12000},
                                                          {" -12.5 ", -12.5, -12},
                                                          {2.5, 2.5, 2},
                                                          {"1,234.5", 1234.5, 1234}};
    for (const auto& [value, number, whole] : numbers) {
        EXPECT_EQ(value.number(), number) << value.text();
        EXPECT_EQ(value.wholeNumber(), whole) << value.text();
    }
    for (const char* text : {"abc", "12abc", " "})
        EXPECT_THROW(Value(text).number(), ConversionError) << text;
    for (Value v : {Value(true), Value(-1), Value(0.5), Value("True"), Value("true"), Value("-1")})
        EXPECT_TRUE(v.boolean()) << v.text();
    for (Value v : {Value(), Value(0), Value("False"), Value(""), Value("0")})
        EXPECT_FALSE(v.boolean()) << v.text();
    EXPECT_THROW(Value("yes").boolean(), ConversionError);
}

TEST(Value, DatesFromStoredAndShownTexts) {
    for (const char* text : {"2006-12-27", "2006/12/27", "95/12/27", "中華民國 95 年 12 月 27 日"})
        EXPECT_EQ(Value(text).date(), ymd(2006, 12, 27)) << text;
    EXPECT_EQ(Value("2006-12-27 10:30:00").date(), at(2006, 12, 27, 10, 30, 0));
    for (Value v : {Value("abc"), Value("2023/02/29"), Value(), Value(39000)})
        EXPECT_THROW(v.date(), ConversionError) << v.text();
}

// Parts out of range roll over as DateSerial did: the forms find a month's last day as day 0 of
// the next month. Months added keep the day within the target month.
TEST(Date, ArithmeticAndOrder) {
    const std::pair<Date, Date> cases[] = {
        {at(2026, 1, 5, 13, 4, 59).dateOnly(), ymd(2026, 1, 5)},
        {at(2026, 1, 5, 0, 0, 0), ymd(2026, 1, 5)},
        {ymd(2025, 13, 1), ymd(2026, 1, 1)},
        {ymd(2026, -12, 1), ymd(2024, 12, 1)},
        {ymd(2026, 3, 0), ymd(2026, 2, 28)},
        {ymd(2024, 3, 0), ymd(2024, 2, 29)},
        {ymd(2026, 1, 32), ymd(2026, 2, 1)},
        {at(2026, 1, 5, 0, 0, -1), at(2026, 1, 4, 23, 59, 59)},
        {ymd(2026, 1, 31).addMonths(1), ymd(2026, 2, 28)},
        {ymd(2024, 1, 31).addMonths(1), ymd(2024, 2, 29)},
        {ymd(2026, 3, 31).addMonths(-1), ymd(2026, 2, 28)},
        {ymd(2026, 1, 15).addMonths(-13), ymd(2024, 12, 15)},
        {at(2026, 1, 31, 8, 30, 0).addMonths(1), at(2026, 2, 28, 8, 30, 0)},
        {ymd(2024, 2, 28).addDays(1), ymd(2024, 2, 29)}};
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(got, expected) << expected.iso();
    EXPECT_FALSE(ymd(2026, 1, 5).hasTime());
    EXPECT_EQ(ymd(1969, 12, 31).days(), -1);
    EXPECT_LT(ymd(2026, 1, 5), at(2026, 1, 5, 0, 0, 1));
    EXPECT_LT(at(2026, 1, 4, 23, 59, 59), ymd(2026, 1, 5));
    // Days between count calendar days whatever the time.
    EXPECT_EQ(daysBetween(ymd(2026, 3, 1), ymd(2026, 1, 1)), -59);
    EXPECT_EQ(daysBetween(ymd(2024, 1, 1), ymd(2025, 1, 1)), 366);
    EXPECT_EQ(daysBetween(at(2026, 1, 4, 23, 59, 0), at(2026, 1, 5, 0, 1, 0)), 1);
}

TEST(Date, StorageTextReadsBackAsTheSameDate) {
    EXPECT_EQ(ymd(1912, 1, 1).iso(), "1912-01-01");
    EXPECT_EQ(at(2026, 1, 5, 9, 3, 7).iso(), "2026-01-05 09:03:07");
    EXPECT_EQ(Date::fromIso("2026-01-05T09:03:07"), at(2026, 1, 5, 9, 3, 7));
    for (Date d = ymd(1900, 1, 1); d < ymd(2101, 1, 1); d = d.addDays(1))
        ASSERT_EQ(Date::fromIso(d.iso()), d) << d.iso();
    EXPECT_EQ(Date::fromIso(at(2100, 12, 31, 23, 59, 59).iso()), at(2100, 12, 31, 23, 59, 59));
    for (const char* text : {"", "2023-02-29", "2026-13-01", "2026-1-5", "2026/01/05",
                             "2026-01-05 24:00:00", "2026-01-05 09:03", "2026-01-05x"})
        EXPECT_FALSE(Date::fromIso(text)) << text;
}

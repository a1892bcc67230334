#include <gtest/gtest.h>

#include <cmath>

#include "platform/db/Numbers.h"
#include "platform/db/Value.h"

using namespace kiv;

TEST(Numbers, LeadingNumberStopsAtTheFirstCharacterThatIsNotPartOfANumber) {
    for (auto [text, number] : {std::pair{"", 0.0},
                                {"12abc", 12},
                                {"-3", -3},
                                {"1,500,000", 1},
                                {" 12", 12},
                                {"1.5e3", 1500},
                                {"-", 0},
                                {"-.5", -0.5},
                                {"12e", 12},
                                {"abc12", 0}})
        EXPECT_EQ(leadingNumber(text), number) << text;
}

TEST(Numbers, NumericTextsAllowThousandsSeparatorsBetweenDigitsOnly) {
    EXPECT_EQ(numberFromText("1,234,567.5"), 1234567.5);
    EXPECT_EQ(numberFromText(" -12 "), -12);
    EXPECT_EQ(numberFromText("+5"), 5);
    // A separator typed in the wrong place still joins its digits, as the old conversions did.
    EXPECT_EQ(numberFromText("1,2"), 12);
    for (const char* text : {"", " ", "abc", ",12", "12,", "1,,2", "12abc", ".", "-", "1.2.3"}) {
        EXPECT_FALSE(numberFromText(text)) << text;
        EXPECT_FALSE(isNumeric(text)) << text;
    }
    EXPECT_TRUE(isNumeric("9,500"));
    EXPECT_EQ(withoutSeparators("-1,234,567.5"), "-1234567.5");
}

TEST(Numbers, ConversionsRoundHalvesToEvenAndFormattingAwayFromZero) {
    for (auto [x, even, away] : {std::tuple{2.5, 2, 3},
                                 {3.5, 4, 4},
                                 {-2.5, -2, -3},
                                 {0.5, 0, 1},
                                 {2.5000001, 3, 3},
                                 {0.285 * 100, 28, 29},
                                 {10 * 0.05, 0, 1}}) {
        EXPECT_EQ(roundHalfToEven(x), even) << x;
        EXPECT_EQ(roundHalfAwayFromZero(x), away) << x;
    }
    EXPECT_EQ(roundHalfToEven(3e12 + 0.5), 3000000000000);
    EXPECT_THROW(roundHalfToEven(1e19), ConversionError);
    EXPECT_THROW(roundHalfAwayFromZero(-1e19), ConversionError);
    EXPECT_THROW(roundHalfToEven(std::nan("")), ConversionError);
}

TEST(Numbers, ANumberBeyondADoubleIsRefusedAndOneTooSmallIsZero) {
    for (const char* text : {"1e400", "1e309", "-1e309", "123456789e301", "0.001e312"}) {
        EXPECT_THROW(numberFromText(text), ConversionError) << text;
        EXPECT_THROW(leadingNumber(text), ConversionError) << text;
        EXPECT_THROW(Value(text).number(), ConversionError) << text;
        EXPECT_FALSE(isNumeric(text)) << text;
    }
    EXPECT_THROW(numberFromText("1,000e400"), ConversionError);
    EXPECT_EQ(numberFromText("1e308"), 1e308);
    EXPECT_EQ(numberFromText("1e-400"), 0.0);
    EXPECT_EQ(numberFromText("0.000001e-400"), 0.0);
    EXPECT_EQ(leadingNumber("1e-400abc"), 0.0);
}

TEST(Numbers, WholeNumbersFromTextStayExactBeyondTwoToTheFiftyThird) {
    for (auto [text, whole] : {std::pair{"9007199254740993", int64_t{9007199254740993}},
                               {" -9,007,199,254,740,993 ", int64_t{-9007199254740993}},
                               {"+9223372036854775807", int64_t{9223372036854775807}},
                               {"12", int64_t{12}}}) {
        EXPECT_EQ(wholeNumberFromText(text), whole) << text;
        EXPECT_EQ(Value(text).wholeNumber(), whole) << text;
    }
    for (const char* text : {"12.0", "1e3", "abc", ""})
        EXPECT_FALSE(wholeNumberFromText(text)) << text;
    EXPECT_THROW(wholeNumberFromText("9223372036854775808"), ConversionError);
    EXPECT_THROW(Value("9223372036854775808").wholeNumber(), ConversionError);
}

TEST(Numbers, DecimalTextsKeepFifteenDigitsSoSumsCarryNoBinaryNoise) {
    EXPECT_EQ(decimalText(0.1 + 0.2), "0.3");
    EXPECT_EQ(decimalText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(decimalText(-0.0), "0");
    EXPECT_EQ(decimalText(123456789012345.0), "123456789012345");
}

TEST(Value, TextOfEveryKind) {
    EXPECT_EQ(Value().text(), "");
    EXPECT_EQ(Value(true).text(), "True");
    EXPECT_EQ(Value(int64_t{3000000000}).text(), "3000000000");
    EXPECT_EQ(Value(12.0).text(), "12");
    EXPECT_EQ(Value(0.1 + 0.2).text(), "0.3");
    EXPECT_EQ(Value(Date::fromYmd(2006, 1, 5)).text(), "2006/01/05");
    EXPECT_EQ(Value(Date::fromYmdHms(2006, 1, 5, 8, 0, 0)).text(), "2006/01/05 08:00:00");
}

TEST(Value, NumbersFromEveryKindAndWholeNumbersHalfToEven) {
    EXPECT_EQ(Value().number(), 0);
    EXPECT_EQ(Value("").number(), 0);
    EXPECT_EQ(Value(true).number(), 1);
    EXPECT_EQ(Value("12,000").number(), 12000);
    EXPECT_EQ(Value(" -12.5 ").number(), -12.5);
    for (const char* text : {"abc", "12abc", " "})
        EXPECT_THROW(Value(text).number(), ConversionError) << text;
    EXPECT_EQ(Value(2.5).wholeNumber(), 2);
    EXPECT_EQ(Value("1,234.5").wholeNumber(), 1234);
    EXPECT_EQ(Value(int64_t{9007199254740993}).wholeNumber(), 9007199254740993);
    EXPECT_EQ(Value("").wholeNumber(), 0);
    EXPECT_THROW(Value(1e20).wholeNumber(), ConversionError);
}

TEST(Value, Booleans) {
    for (Value v : {Value(true), Value(-1), Value(0.5), Value("True"), Value("true"), Value("-1")})
        EXPECT_TRUE(v.boolean()) << v.text();
    for (Value v : {Value(), Value(0), Value("False"), Value(""), Value("0")})
        EXPECT_FALSE(v.boolean()) << v.text();
    EXPECT_THROW(Value("yes").boolean(), ConversionError);
}

TEST(Value, DatesFromStoredAndShownTexts) {
    const Date d = Date::fromYmd(2006, 12, 27);
    for (const char* text : {"2006-12-27", "2006/12/27", "95/12/27", "中華民國 95 年 12 月 27 日"})
        EXPECT_EQ(Value(text).date(), d) << text;
    EXPECT_EQ(Value("2006-12-27 10:30:00").date(), Date::fromYmdHms(2006, 12, 27, 10, 30, 0));
    for (Value v : {Value("abc"), Value("2023/02/29"), Value(), Value(39000)})
        EXPECT_THROW(v.date(), ConversionError) << v.text();
}

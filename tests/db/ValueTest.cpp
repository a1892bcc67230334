#include <gtest/gtest.h>

#include "platform/db/Value.h"

using namespace kiv;

TEST(Value, TextOfEveryKind) {
    EXPECT_EQ(Value().text(), "");
    EXPECT_EQ(Value(true).text(), "True");
    EXPECT_EQ(Value(false).text(), "False");
    EXPECT_EQ(Value(-42).text(), "-42");
    EXPECT_EQ(Value(int64_t{3000000000}).text(), "3000000000");
    EXPECT_EQ(Value(12.0).text(), "12");
    EXPECT_EQ(Value(12.5).text(), "12.5");
    EXPECT_EQ(Value(0.1 + 0.2).text(), "0.3");
    EXPECT_EQ(Value("中華民國").text(), "中華民國");
    EXPECT_EQ(Value(Date::fromYmd(2006, 1, 5)).text(), "2006/01/05");
    EXPECT_EQ(Value(Date::fromYmdHms(2006, 1, 5, 8, 0, 0)).text(), "2006/01/05 08:00:00");
}

TEST(Value, NumberOfEveryKind) {
    EXPECT_EQ(Value().number(), 0);
    EXPECT_EQ(Value("").number(), 0);
    EXPECT_EQ(Value(true).number(), 1);
    EXPECT_EQ(Value(false).number(), 0);
    EXPECT_EQ(Value(7).number(), 7);
    EXPECT_EQ(Value(-2.25).number(), -2.25);
    EXPECT_EQ(Value("12,000").number(), 12000);
    EXPECT_EQ(Value(" -12.5 ").number(), -12.5);
    EXPECT_THROW(Value("abc").number(), ConversionError);
    EXPECT_THROW(Value("12abc").number(), ConversionError);
    EXPECT_THROW(Value(" ").number(), ConversionError);
}

TEST(Value, WholeNumbersRoundHalvesToEven) {
    EXPECT_EQ(Value(2.5).wholeNumber(), 2);
    EXPECT_EQ(Value(3.5).wholeNumber(), 4);
    EXPECT_EQ(Value(-2.5).wholeNumber(), -2);
    EXPECT_EQ(Value("2.5").wholeNumber(), 2);
    EXPECT_EQ(Value("1,234.5").wholeNumber(), 1234);
    EXPECT_EQ(Value(10000 / 1.05).wholeNumber(), 9524);
    EXPECT_EQ(Value(int64_t{9007199254740993}).wholeNumber(), 9007199254740993);
    EXPECT_EQ(Value().wholeNumber(), 0);
    EXPECT_EQ(Value("").wholeNumber(), 0);
    EXPECT_THROW(Value(1e20).wholeNumber(), ConversionError);
    EXPECT_THROW(Value("abc").wholeNumber(), ConversionError);
}

TEST(Value, Booleans) {
    EXPECT_FALSE(Value().boolean());
    EXPECT_TRUE(Value(true).boolean());
    EXPECT_FALSE(Value(0).boolean());
    EXPECT_TRUE(Value(-1).boolean());
    EXPECT_TRUE(Value(0.5).boolean());
    for (const char* text : {"True", "true", "TRUE", "1", "-1"})
        EXPECT_TRUE(Value(text).boolean()) << text;
    for (const char* text : {"False", "false", "", "0"})
        EXPECT_FALSE(Value(text).boolean()) << text;
    EXPECT_THROW(Value("abc").boolean(), ConversionError);
    EXPECT_THROW(Value("yes").boolean(), ConversionError);
}

TEST(Value, DatesFromStoredAndShownTexts) {
    const Date d = Date::fromYmd(2006, 12, 27);
    EXPECT_EQ(Value(d).date(), d);
    EXPECT_EQ(Value("2006-12-27").date(), d);
    EXPECT_EQ(Value("2006-12-27 10:30:00").date(), Date::fromYmdHms(2006, 12, 27, 10, 30, 0));
    EXPECT_EQ(Value("2006/12/27").date(), d);
    EXPECT_EQ(Value("95/12/27").date(), d);
    EXPECT_EQ(Value("中華民國 95 年 12 月 27 日").date(), d);
    EXPECT_THROW(Value("abc").date(), ConversionError);
    EXPECT_THROW(Value("2023/02/29").date(), ConversionError);
    EXPECT_THROW(Value().date(), ConversionError);
    EXPECT_THROW(Value(39000).date(), ConversionError);
}

#include <gtest/gtest.h>

#include <cmath>

#include "platform/db/Numbers.h"

using namespace kiv;

TEST(Numbers, LeadingNumberStopsAtTheFirstCharacterThatIsNotPartOfANumber) {
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("12abc"), 12);
    EXPECT_EQ(leadingNumber("-3"), -3);
    EXPECT_EQ(leadingNumber("1,234"), 1);
    EXPECT_EQ(leadingNumber("1,500,000"), 1);
    EXPECT_EQ(leadingNumber(" 12"), 12);
    EXPECT_EQ(leadingNumber("1.5e3"), 1500);
    EXPECT_EQ(leadingNumber("."), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("-.5"), -0.5);
    EXPECT_EQ(leadingNumber("12.5 元"), 12.5);
    EXPECT_EQ(leadingNumber("12e"), 12);
    EXPECT_EQ(leadingNumber("3dogs"), 3);
    EXPECT_EQ(leadingNumber("abc12"), 0);
}

TEST(Numbers, NumericTextsAllowThousandsSeparatorsBetweenDigitsOnly) {
    EXPECT_EQ(numberFromText("9,500"), 9500);
    EXPECT_EQ(numberFromText("1,234,567.5"), 1234567.5);
    EXPECT_EQ(numberFromText("-12"), -12);
    EXPECT_EQ(numberFromText("12.5"), 12.5);
    EXPECT_EQ(numberFromText(" 3800 "), 3800);
    EXPECT_EQ(numberFromText("+5"), 5);
    // A separator typed in the wrong place still joins its digits, as the old conversions did.
    EXPECT_EQ(numberFromText("1,2"), 12);

    for (const char* text : {"", " ", "abc", ",12", "12,", "1,,2", "12abc", ".", "-", "1.2.3"}) {
        EXPECT_FALSE(numberFromText(text)) << text;
        EXPECT_FALSE(isNumeric(text)) << text;
    }
    EXPECT_TRUE(isNumeric("9,500"));
    EXPECT_TRUE(isNumeric("1.5e3"));
}

TEST(Numbers, WithoutSeparators) {
    EXPECT_EQ(withoutSeparators("12,000"), "12000");
    EXPECT_EQ(withoutSeparators("-1,234,567.5"), "-1234567.5");
    EXPECT_EQ(withoutSeparators(""), "");
}

TEST(Numbers, ConversionsRoundHalvesToEven) {
    EXPECT_EQ(roundHalfToEven(2.5), 2);
    EXPECT_EQ(roundHalfToEven(3.5), 4);
    EXPECT_EQ(roundHalfToEven(-2.5), -2);
    EXPECT_EQ(roundHalfToEven(-3.5), -4);
    EXPECT_EQ(roundHalfToEven(0.5), 0);
    EXPECT_EQ(roundHalfToEven(2.5000001), 3);
    EXPECT_EQ(roundHalfToEven(10000 / 1.05), 9524);
    // The tax inside a tax-included amount is the amount less its rounded net.
    for (auto [amount, tax] :
         {std::pair{10000, 476}, {105, 5}, {11, 1}, {10, 0}, {1050, 50}, {21, 1}, {1000, 48}}) {
        EXPECT_EQ(amount - roundHalfToEven(amount / 1.05), tax) << amount;
    }
    EXPECT_EQ(roundHalfToEven(1050000 / 1.05), 1000000);
    EXPECT_EQ(roundHalfToEven(3e12 + 0.5), 3000000000000);
}

TEST(Numbers, FormattingRoundsHalvesAwayFromZero) {
    EXPECT_EQ(roundHalfAwayFromZero(2.5), 3);
    EXPECT_EQ(roundHalfAwayFromZero(3.5), 4);
    EXPECT_EQ(roundHalfAwayFromZero(-2.5), -3);
    EXPECT_EQ(roundHalfAwayFromZero(0.285 * 100), 29);
    EXPECT_EQ(roundHalfAwayFromZero(0.4999), 0);
    EXPECT_EQ(roundHalfAwayFromZero(10 * 0.05), 1);
}

TEST(Numbers, WholeNumbersOutOfRangeAreRefused) {
    EXPECT_THROW(roundHalfToEven(1e19), ConversionError);
    EXPECT_THROW(roundHalfAwayFromZero(-1e19), ConversionError);
    EXPECT_THROW(roundHalfToEven(std::nan("")), ConversionError);
}

TEST(Numbers, DecimalTextsOfDoubles) {
    // The implicit text of a number keeps 15 significant digits, so sums carry no binary noise.
    EXPECT_EQ(decimalText(0.1 + 0.2), "0.3");
    EXPECT_EQ(decimalText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(decimalText(1234567.5), "1234567.5");
    EXPECT_EQ(decimalText(-12), "-12");
    EXPECT_EQ(decimalText(-0.0), "0");
    EXPECT_EQ(decimalText(123456789012345.0), "123456789012345");
}

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/forms/Clock.h"
#include "tests/support/ProgramTest.h"

using namespace kiv;

namespace {

// A right is held only where its character of the rights text is "1", also beyond the text.
TEST(Rights, TheBitTextIsLeastSignificantFirstPaddedNeverCutAndOnlyA1IsHeld) {
    EXPECT_EQ(RightsToBitString(0), std::string(22, '0'));
    EXPECT_EQ(RightsToBitString(5), "101" + std::string(19, '0'));
    EXPECT_EQ(RightsToBitString(1 << 22), std::string(22, '0') + "1");
    const std::tuple<int32_t, int, bool> cases[] = {{0, 1, false},         {5, 1, true},
                                                    {5, 2, false},         {5, 3, true},
                                                    {AllRights, 22, true}, {AllRights, 23, false}};
    for (auto [rights, right, held] : cases) {
        UserRights = rights;
        EXPECT_EQ(HasRight(right), held) << rights << " " << right;
    }
    UserRights = 0;
}

TEST(AmountInChineseNumerals, WorkedResults) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", ""},
        {"101", "壹佰零壹"},
        {"1050", "壹仟零伍拾"},
        {"10005", "壹萬零伍"},
        {"100500", "壹拾萬零伍佰"},
        {"12005000", "壹仟貳佰萬伍仟"},
        {"2147483647", "貳拾壹億肆仟柒佰肆拾捌萬參仟陸佰肆拾柒"},
        // An empty middle group takes no 萬.
        {"100000000", "壹億"},
        {"100001000", "壹億零壹仟"},
        {"100010000", "壹億零壹萬"},
        {"12,000", "壹萬貳仟"},
    };
    for (auto [amount, expected] : cases)
        EXPECT_EQ(AmountInChineseNumerals(amount), expected) << amount;
}

// Small text helpers: {result, expected}.
TEST(TextHelpers, WorkedResults) {
    const std::pair<std::string, std::string> cases[] = {
        {GroupThousands("123456"), "123,456"},
        {GroupThousands("100"), "100"},
        {GroupThousands("-123456"), "-123,456"},
        {std::to_string(DaysInMonth(Date::fromYmd(2024, 2, 1))), "29"},
        {std::to_string(DaysInMonth(Date::fromYmd(2100, 2, 28))), "28"},
        {std::to_string(DaysInMonth(Date::fromYmd(2000, 2, 28))), "29"},
        {TextBeforeSemicolon("臺北市;信義路"), "臺北市"},
        {TextAfterSemicolon("臺北市;信義路"), "信義路"},
        {TextBeforeSemicolon("信義路"), ""},
        {TextAfterSemicolon("信義路"), "信義路"},
        {SemicolonsToBlanks("02;2345;6789"), "02 2345 6789"},
        {SplitAtDelimiter("台灣銀行>123-456", ">", true), "台灣銀行"},
        {SplitAtDelimiter("台灣銀行>123-456", ">", false), "123-456"},
        {SplitAtDelimiter("台灣銀行", ">", true), "台灣銀行"},
        {SplitAtDelimiter("abcXdef", "x", false), "def"},
        {StrokeCode("乙"), "01"},
        {StrokeCode("王"), "04"},
        {StrokeCode("齲"), "24"},
        {StrokeCode("鸞"), "30"},
        {StrokeCode("懷"), "19"},
        {StrokeCode("龘"), "33"},
        {StrokeCode(""), "01"},
        {StrokeCode("A"), "01"},
    };
    for (const auto& [result, expected] : cases)
        EXPECT_EQ(result, expected);
}

// Each shared value declared goes back to its start: a few of every kind.
TEST(ResetSharedState, PutsEveryValueBackAtTheStartItsDeclarationGives) {
    LoggedIn = true;
    UserRights = AllRights;
    CombinedChequeTotal = 9000000000;
    OpenVoucherNo = "1151206002";
    VoucherListMode = 2;
    ResetSharedState();
    EXPECT_FALSE(LoggedIn);
    EXPECT_EQ(UserRights, 0);
    EXPECT_EQ(CombinedChequeTotal, 0);
    EXPECT_EQ(OpenVoucherNo, "");
    EXPECT_EQ(VoucherListMode, 0);
}

TEST(HandOver, PutsBackWhatTheValueHeldOnEveryWayOut) {
    ResetSharedState();
    OpenVoucherNo = "1151206001";
    {
        HandOver<bool> one(ShowOneRecord, true);
        HandOver<std::string> number(OpenVoucherNo, "1151206009");
        EXPECT_TRUE(ShowOneRecord);
        EXPECT_EQ(OpenVoucherNo, "1151206009");
    }
    EXPECT_FALSE(ShowOneRecord);
    EXPECT_EQ(OpenVoucherNo, "1151206001");
    EXPECT_THROW(
        {
            HandOver<bool> one(ShowOneRecord, true);
            throw std::runtime_error("the shown form failed");
        },
        std::runtime_error);
    EXPECT_FALSE(ShowOneRecord);
    ResetSharedState();
}

class SharedModuleTest : public test::ProgramTest {};

TEST_F(SharedModuleTest, PauseWaitsStrictlyLongerLettingEventsRun) {
    double start = Clock::steadySeconds();
    Pause(1);
    EXPECT_GT(Clock::steadySeconds() - start, 1.0);
}

TEST_F(SharedModuleTest, ChequeNumberOfAVoucherDirectOrThroughItsCombinedCheque) {
    AccDb().Execute(
        "INSERT INTO bill (票據號碼, 收支單號, 金額) "
        "VALUES ('AB001', '1151206001', 500), ('AB002', '1151206002S', 900)");
    AccDb().Execute(
        "INSERT INTO iofs VALUES ('1151206002S', '1151206002'), ('1151206002S', '1151206003')");
    EXPECT_EQ(ChequeNumberForVoucher("1151206001"), "AB001");
    EXPECT_EQ(ChequeNumberForVoucher("1151206003"), "AB002");
    EXPECT_EQ(ChequeNumberForVoucher("1151206009"), "");
}

}  // namespace

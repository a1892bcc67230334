#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/forms/Clock.h"
#include "tests/support/ProgramTest.h"

using namespace kiv;

namespace {

TEST(RightsToBitString, LeastSignificantBitFirstPaddedNeverCut) {
    EXPECT_EQ(RightsToBitString(0), std::string(22, '0'));
    EXPECT_EQ(RightsToBitString(5), "101" + std::string(19, '0'));
    EXPECT_EQ(RightsToBitString(AllRights), std::string(22, '1'));
    EXPECT_EQ(RightsToBitString(1 << 22), std::string(22, '0') + "1");
}

TEST(AmountInChineseNumerals, WorkedResults) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, ""},
        {15, "壹拾伍"},
        {101, "壹佰零壹"},
        {1050, "壹仟零伍拾"},
        {10005, "壹萬零伍"},
        {100500, "壹拾萬零伍佰"},
        {12005000, "壹仟貳佰萬伍仟"},
        {2147483647, "貳拾壹億肆仟柒佰肆拾捌萬參仟陸佰肆拾柒"},
        // An empty middle group takes no 萬.
        {100000000, "壹億"},
        {100001000, "壹億零壹仟"},
        {100000005, "壹億零伍"},
        {100010000, "壹億零壹萬"},
    };
    for (auto [amount, expected] : cases)
        EXPECT_EQ(AmountInChineseNumerals(std::to_string(amount)), expected) << amount;
    EXPECT_EQ(AmountInChineseNumerals("12,000"), "壹萬貳仟");
}

TEST(GroupThousands, GroupsWithoutALeadingComma) {
    EXPECT_EQ(GroupThousands("123456"), "123,456");
    EXPECT_EQ(GroupThousands("100"), "100");
    EXPECT_EQ(GroupThousands(""), "");
    EXPECT_EQ(GroupThousands("-123456"), "-123,456");
}

TEST(DaysInMonth, FebruaryAndDecember) {
    EXPECT_EQ(DaysInMonth(Date::fromYmd(2024, 2, 1)), 29);
    EXPECT_EQ(DaysInMonth(Date::fromYmd(2100, 2, 28)), 28);
    EXPECT_EQ(DaysInMonth(Date::fromYmd(2000, 2, 28)), 29);
    EXPECT_EQ(DaysInMonth(Date::fromYmd(2026, 12, 31)), 31);
}

TEST(StrokeCode, TheTableCharactersAndOthers) {
    const char* table[] = {"乙", "又", "才", "王", "立", "阡", "阬", "非", "香", "鬼",
                           "麻", "黑", "鼠", "齊", "齒", "龜", "齋", "鼬", "嚨", "齡",
                           "齧", "龔", "黴", "齲", "黌", "驢", "黷", "鸚", "鸛", "鸞"};
    for (int i = 0; i < 30; ++i) {
        char expected[3];
        std::snprintf(expected, sizeof expected, "%02d", i + 1);
        EXPECT_EQ(StrokeCode(table[i]), expected) << table[i];
    }
    EXPECT_EQ(StrokeCode("懷"), "19");
    EXPECT_EQ(StrokeCode("龘"), "33");
    EXPECT_EQ(StrokeCode(""), "01");
    EXPECT_EQ(StrokeCode("A"), "01");
}

TEST(SemicolonTexts, CountyAndAddress) {
    EXPECT_EQ(TextBeforeSemicolon("臺北市;信義路五段7號"), "臺北市");
    EXPECT_EQ(TextAfterSemicolon("臺北市;信義路五段7號"), "信義路五段7號");
    EXPECT_EQ(TextBeforeSemicolon("信義路"), "");
    EXPECT_EQ(TextAfterSemicolon("信義路"), "信義路");
    EXPECT_EQ(TextAfterSemicolon(""), "");
    EXPECT_EQ(SemicolonsToBlanks("02;2345;6789"), "02 2345 6789");
}

TEST(SplitAtDelimiter, BankAndAccount) {
    EXPECT_EQ(SplitAtDelimiter("台灣銀行>123-456", ">", true), "台灣銀行");
    EXPECT_EQ(SplitAtDelimiter("台灣銀行>123-456", ">", false), "123-456");
    EXPECT_EQ(SplitAtDelimiter("台灣銀行", ">", true), "台灣銀行");
    EXPECT_EQ(SplitAtDelimiter("abcXdef", "x", false), "def");
}

// One shared value: how to move it off its start and whether it is back there.
struct SharedValue {
    const char* name;
    std::function<void()> change;
    std::function<bool()> atStart;
};

template <class T>
SharedValue shared(const char* name, T& value, T start, T other) {
    return {name, [&value, other] { value = other; }, [&value, start] { return value == start; }};
}

TEST(ResetSharedState, PutsEveryValueBackAtTheStartItsDeclarationGives) {
    using S = std::string;
    const SharedValue values[] = {
        shared("LoggedIn", LoggedIn, false, true),
        shared("UserRights", UserRights, 0, AllRights),
        shared("VoucherFormOpen", VoucherFormOpen, false, true),
        shared("BillEntryCancelled", BillEntryCancelled, false, true),
        shared("BillForVoucher", BillForVoucher, false, true),
        shared("BillForCombinedCheque", BillForCombinedCheque, false, true),
        shared("CombinedFirstVoucherNo", CombinedFirstVoucherNo, S(), S("1151206001")),
        shared<int64_t>("CombinedChequeTotal", CombinedChequeTotal, 0, 9000000000),
        shared("ShowOneRecord", ShowOneRecord, false, true),
        shared("OpenVoucherNo", OpenVoucherNo, S(), S("1151206002")),
        shared("ChequeVoucherNo", ChequeVoucherNo, S(), S("1151206003")),
        shared("AutoVoucherFromCashing", AutoVoucherFromCashing, false, true),
        shared("CashingVoucherNo", CashingVoucherNo, S(), S("1151206004")),
        shared("TransferToCash", TransferToCash, false, true),
        shared("TransferToChequeAccount", TransferToChequeAccount, false, true),
        shared("AutoVoucherNo", AutoVoucherNo, S(), S("1151206005")),
        shared("SettleReceivable", SettleReceivable, false, true),
        shared("SettleAmount", SettleAmount, S(), S("12,000")),
        shared("SettleIsInstalment", SettleIsInstalment, false, true),
        shared("SettlePeriod", SettlePeriod, 0, 3),
        shared("PickedProjectRow", PickedProjectRow, 0, 7),
        shared("PickedContractNo", PickedContractNo, S(), S("C001")),
        shared("OpenContractMode", OpenContractMode, false, true),
        shared("OpenContractNo", OpenContractNo, S(), S("C002")),
        shared("OpenContractIsReceivable", OpenContractIsReceivable, false, true),
        shared("ProjectReportMode", ProjectReportMode, false, true),
        shared("LastSearchText", LastSearchText, S(), S("水泥")),
        shared("VoucherListMode", VoucherListMode, 0, 2),
    };
    for (const SharedValue& value : values)
        value.change();
    for (const SharedValue& value : values)
        EXPECT_FALSE(value.atStart()) << value.name;
    ResetSharedState();
    for (const SharedValue& value : values)
        EXPECT_TRUE(value.atStart()) << value.name;
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

#include <gtest/gtest.h>

#include "platform/forms/Clock.h"
#include "shell/Schema.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"
#include "tests/support/WriteFaults.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmTag.h"

using namespace kiv;

namespace {

enum { Debit = 0, Credit = 1 };

class JournalVoucherTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerVoucherForms();
        Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 9, 30, 0));
        loggedInWith(AllRights);
    }
    frmTag& newVoucher() {
        frmTag& form = Forms::get<frmTag>();
        host.click(form.cmdAdd);
        return form;
    }
    void enterLine(frmTag& form, int row, int side, const std::string& amount,
                   const std::string& code = "") {
        if (!code.empty()) {
            host.clickCell(form.hfg, row, 1);
            host.type(form.t, code);
        }
        host.clickCell(form.hfg, row, 3);
        host.pick(form.cbBL, side);
        host.clickCell(form.hfg, row, 5);
        form.t.SelectAll();
        host.type(form.t, amount);
    }
    std::vector<std::string> stored() {
        return rows(AccDb(), "SELECT num, 日期, 序, 科目編號, 借貸, 金額 FROM tag ORDER BY rowid");
    }
};

TEST_F(JournalVoucherTest, NumbersRunByDayIndependentlyOfTheIncomeAndExpenseVouchers) {
    AccDb().Execute("INSERT INTO iof (單號, 方式) VALUES ('1150315007', 0)");
    frmTag& form = newVoucher();
    EXPECT_EQ(form.lbNo.Caption(), "1150315001");
    EXPECT_EQ(form.lbInDay.Caption(), LongRocDate(Date::fromYmd(2026, 3, 15)));
    AccDb().Execute("INSERT INTO tag (num) VALUES ('1150315041'), ('1150314999')");
    host.click(form.cmdAdd);
    EXPECT_EQ(form.lbNo.Caption(), "1150315042");

    AccDb().Execute("INSERT INTO tag (num) VALUES ('1150315999')");
    host.click(form.cmdCencel);
    host.expectMessage("本日傳票已達999張 無法再新增");
    host.click(form.cmdAdd);
    EXPECT_EQ(form.Caption(), "傳票");
}

TEST_F(JournalVoucherTest, ABalancedVoucherStoresItsLinesUnderTheNumberAndTheDayOfAdding) {
    frmTag& form = newVoucher();
    enterLine(form, 2, Debit, "1,500", "5101");  // counted without its separator, stored as typed
    enterLine(form, 5, Credit, "1500", "1101");
    EXPECT_EQ(form.txtB.Text(), "1,500");
    EXPECT_EQ(form.txtL.Text(), "1,500");
    Clock::advance(86400);
    host.click(form.cmdSv);
    EXPECT_EQ(stored(), (std::vector<std::string>{"1150315001|2026/03/15|2|5101|借|1,500",
                                                  "1150315001|2026/03/15|5|1101|貸|1500"}));
    EXPECT_FALSE(form.cmdSv.Enabled());
    // A second press cannot store the voucher again.
    host.click(form.cmdSv);
    EXPECT_EQ(stored().size(), 2u);
}

TEST_F(JournalVoucherTest, AnUnbalancedVoucherIsRefusedAlsoWhenOnlyTheSeparatorHidesIt) {
    for (const char* credit : {"999", "1,000"}) {
        SCOPED_TRACE(credit);
        frmTag& form = newVoucher();
        enterLine(form, 1, Debit, "1,500");
        enterLine(form, 2, Credit, credit);
        host.expectMessage("借貸不相等");
        host.click(form.cmdSv);
        EXPECT_TRUE(stored().empty());
        EXPECT_EQ(form.Caption(), "傳票 - 新增");
        host.click(form.cmdCencel);
    }
}

// The amount cells take every key: a text that is no amount stays as typed and the save refuses
// it, naming its line, with nothing stored. With its keys dropped, each would balance the other
// line.
TEST_F(JournalVoucherTest, AnAmountThatIsNoAmountStaysAsTypedAndIsRefusedAtTheSave) {
    const struct {
        const char *typed, *keysDropped, *message;
    } cases[] = {
        {"12.5", "125", "第 1 行的金額欄位只能輸入數字"},
        {"-5", "5", "第 1 行的金額不可為負數"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        frmTag& form = newVoucher();
        enterLine(form, 1, Debit, c.typed);
        enterLine(form, 2, Credit, c.keysDropped);
        EXPECT_EQ(form.hfg.TextMatrix(1, 5), c.typed);
        host.expectMessage(c.message);
        host.click(form.cmdSv);
        EXPECT_TRUE(stored().empty());
        EXPECT_EQ(form.Caption(), "傳票 - 新增");
        host.click(form.cmdCencel);
    }
    EXPECT_EQ(host.beeps(), 0);
}

TEST_F(JournalVoucherTest, LinesWithoutASideOrAmountAreSkippedAndAnEmptyVoucherStoresNothing) {
    frmTag& form = newVoucher();
    host.click(form.cmdSv);
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(form.Caption(), "傳票");

    host.click(form.cmdAdd);
    enterLine(form, 1, Debit, "0");
    host.clickCell(form.hfg, 3, 5);
    host.type(form.t, "700");
    enterLine(form, 4, Debit, "");
    EXPECT_EQ(form.txtB.Text(), "");
    host.click(form.cmdSv);
    EXPECT_TRUE(stored().empty());
}

TEST_F(JournalVoucherTest, EditingReplacesTheLinesStoredUnderTheNumberShown) {
    frmTag& form = newVoucher();
    enterLine(form, 1, Debit, "100");
    enterLine(form, 2, Credit, "100");
    host.click(form.cmdSv);
    host.click(form.cmdEdit);
    EXPECT_EQ(form.Caption(), "傳票 - 修改");
    enterLine(form, 1, Debit, "300");
    enterLine(form, 2, Credit, "200");
    enterLine(form, 3, Credit, "100");
    host.click(form.cmdSv);
    EXPECT_EQ(stored(), (std::vector<std::string>{"1150315001|2026/03/15|1||借|300",
                                                  "1150315001|2026/03/15|2||貸|200",
                                                  "1150315001|2026/03/15|3||貸|100"}));
}

TEST_F(JournalVoucherTest, AFailedReplaceKeepsTheLinesStoredBefore) {
    frmTag& form = newVoucher();
    enterLine(form, 1, Debit, "100");
    enterLine(form, 2, Credit, "100");
    host.click(form.cmdSv);
    host.click(form.cmdEdit);
    enterLine(form, 1, Debit, "50");
    enterLine(form, 2, Credit, "50");
    test::ExpectEachWriteFailureLeavesTheBooks(
        host, {&AccDb()}, [&] { host.click(form.cmdSv); },
        [&] { EXPECT_EQ(form.Caption(), "傳票 - 修改"); });
    EXPECT_EQ(stored(), (std::vector<std::string>{"1150315001|2026/03/15|1||借|50",
                                                  "1150315001|2026/03/15|2||貸|50"}));
}

// Copy B of the program changes the lines of the voucher copy A shows: A's edit writes nothing
// over them and shows them as stored. A number B took meanwhile is not A's to store under.
TEST_F(JournalVoucherTest, TwoCopiesNeitherWriteOverNorShareAVoucher) {
    frmTag& form = newVoucher();
    enterLine(form, 1, Debit, "100");
    enterLine(form, 2, Credit, "100");
    host.click(form.cmdSv);
    auto copyB = Database::open(AccDb().path(), accSchema());
    copyB->Execute("UPDATE tag SET 金額 = '200'");
    host.click(form.cmdEdit);
    enterLine(form, 1, Debit, "50");
    enterLine(form, 2, Credit, "50");
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(form.cmdSv);
    const std::vector<std::string> byB = {"1150315001|2026/03/15|1||借|200",
                                          "1150315001|2026/03/15|2||貸|200"};
    EXPECT_EQ(stored(), byB);
    EXPECT_EQ(form.hfg.TextMatrix(2, 5), "200");
    EXPECT_EQ(form.txtL.Text(), "200");
    EXPECT_EQ(form.Caption(), "傳票");
    host.click(form.cmdEdit);
    enterLine(form, 2, Credit, "150");
    enterLine(form, 3, Credit, "50");
    host.click(form.cmdSv);
    EXPECT_EQ(stored().size(), 3u);

    host.click(form.cmdAdd);
    EXPECT_EQ(form.lbNo.Caption(), "1150315002");
    copyB->Execute("INSERT INTO tag (num, 借貸, 金額) VALUES ('1150315002', '借', '1')");
    enterLine(form, 1, Debit, "10");
    enterLine(form, 2, Credit, "10");
    host.click(form.cmdSv);
    EXPECT_EQ(form.lbNo.Caption(), "1150315003");
    EXPECT_EQ(rows(AccDb(), "SELECT num, 金額 FROM tag WHERE num > '1150315001' ORDER BY rowid"),
              (std::vector<std::string>{"1150315002|1", "1150315003|10", "1150315003|10"}));
}

// The launcher bar opens the form by name, modally.
TEST_F(JournalVoucherTest, EditingNeedsAVoucherAndClosingWhileAddingIsRefused) {
    host.onModal<frmTag>([this](frmTag& form) { host.closeByFrame(form); });
    Forms::showByName("frmTag", Modal);
    EXPECT_EQ(host.modalShows(), std::vector<std::string>{"frmTag"});
    frmTag& form = Forms::get<frmTag>();
    host.click(form.cmdEdit);
    EXPECT_FALSE(form.cmdSv.Enabled());
    host.click(form.cmdAdd);
    host.expectMessage("未存");
    host.closeByFrame(form);
    EXPECT_TRUE(Forms::isLoaded<frmTag>());
    host.click(form.cmdCencel);
    host.closeByFrame(form);
    EXPECT_FALSE(Forms::isLoaded<frmTag>());
}

// The side editor writes its text as soon as it is placed; adding clears the grid and totals.
TEST_F(JournalVoucherTest, TheEditorsFillTheLineAndAddingClearsIt) {
    frmTag& form = newVoucher();
    enterLine(form, 1, Credit, "10");
    host.clickCell(form.hfg, 2, 3);
    EXPECT_TRUE(form.cbBL.Visible());
    EXPECT_EQ(form.hfg.TextMatrix(2, 3), "貸");
    EXPECT_EQ(form.txtL.Text(), "10");
    host.click(form.cmdAdd);
    EXPECT_EQ(form.hfg.TextMatrix(1, 5), "");
    EXPECT_EQ(form.txtB.Text(), "");
}

// Esc in an amount's editor puts the line back as it was before the typing: the cell and the
// total of its side alike.
TEST_F(JournalVoucherTest, EscInAnAmountsEditorPutsTheCellAndItsSidesTotalBack) {
    frmTag& form = newVoucher();
    enterLine(form, 1, Debit, "100");
    enterLine(form, 2, Credit, "100");
    for (auto [row, total] : {std::pair{1, &form.txtB}, std::pair{2, &form.txtL}}) {
        SCOPED_TRACE(row);
        host.clickCell(form.hfg, row, 5);
        form.t.SelectAll();
        host.type(form.t, "900");
        ASSERT_EQ(total->Text(), "900");
        host.pressKey(form.t, Key::Escape);
        EXPECT_EQ(form.hfg.TextMatrix(row, 5), "100");
        EXPECT_EQ(total->Text(), "100");
    }
}

TEST_F(JournalVoucherTest, TheLookupListsAccountsByCodePrefixAndFillsCodeAndName) {
    AccDb().Execute(
        "INSERT INTO acc VALUES ('5102', 0, '工資'), ('1101', 1, '現金'), ('5101', 0, '材料費')");
    frmTag& form = newVoucher();
    host.clickCell(form.hfg, 1, 1);
    host.type(form.t, "51");
    host.click(form.ca);
    ASSERT_EQ(form.lst.ListCount(), 2);
    EXPECT_EQ(form.lst.List(0, 0), "5101");
    host.pick(form.lst, 1);
    EXPECT_EQ(form.hfg.TextMatrix(1, 1), "5102");
    EXPECT_EQ(form.hfg.TextMatrix(1, 2), "工資");

    form.t.SetText("");
    host.click(form.ca);
    EXPECT_EQ(form.lst.ListCount(), 3);
    form.t.SetText("9");
    host.click(form.ca);
    ASSERT_EQ(form.lst.ListCount(), 1);
    EXPECT_EQ(form.lst.List(0, 0), "");

    host.clickCell(form.hfg, 1, 2);
    EXPECT_FALSE(form.t.Visible() || form.cbBL.Visible());
    EXPECT_EQ(form.lst.ListCount(), 0);
}

}  // namespace

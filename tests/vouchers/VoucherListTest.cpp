#include <gtest/gtest.h>

#include "shell/Schema.h"
#include "tests/support/Books.h"
#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

constexpr Color Marked = 0xFFFF00;

class VoucherListTest : public test::VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        Forms::registerForm<test::ChequeStandIn>();
    }
    // The cheque form saves a bill row for the group from the hand-over values, or is cancelled.
    void chequeForm(bool saves) {
        host.onModal("frmBill", [saves](Form& bill) {
            EXPECT_TRUE(BillForCombinedCheque);
            EXPECT_FALSE(BillForVoucher);
            EXPECT_FALSE(ShowOneRecord);
            if (saves) {
                AccDb().Execute(
                    "INSERT INTO bill (票據號碼, 金額, 收支單號, 方式) VALUES "
                    "('C1', ?, ?, 0)",
                    CombinedChequeTotal, CombinedFirstVoucherNo + "S");
                BillEntryCancelled = false;
            }
            bill.Unload();
        });
    }
    static Texts column(Grid& grid, int col) { return test::GridColumn(grid, col); }
    void search(frmIo& form, const std::string& text) {
        host.answerInput(text);
        host.click(form.cmdSall);
    }
};

TEST_F(VoucherListTest, TheUnsignedListShowsUnsignedVouchersInNumberOrder) {
    addVoucher({.number = "A3", .amount = 12000});
    addVoucher({.number = "A1", .state = -2, .expense = false});
    addVoucher({.number = "A2", .state = 0});
    addVoucher({.number = "A4", .state = -3});
    frmIo& form = openForm();
    host.click(form.cmdNck);
    EXPECT_EQ(VoucherListMode, 2);
    EXPECT_EQ(form.Height(), 9600);
    EXPECT_TRUE(form.ckco.Visible());
    Grid& grid = form.hfg;
    EXPECT_EQ(column(grid, 1), (Texts{"A1", "A3"}));
    EXPECT_EQ(test::GridRow(grid, 2, 0, 8), (Texts{"", "A3", "115/11/20", "用途A3", "大樓", "水電",
                                                   "支出", "(5102)材料費", "12,000"}));
    EXPECT_EQ(grid.TextMatrix(1, 6), "收入");
    host.click(form.cmdNck);
    EXPECT_EQ(form.Height(), 5600);
    EXPECT_FALSE(form.ckco.Visible());
}

TEST_F(VoucherListTest, NothingUnsignedChangesNothingEvenWithTheSearchListOpen) {
    addVoucher({.number = "A1", .state = 0});
    frmIo& form = openForm();
    search(form, "A1");
    EXPECT_EQ(form.Height(), 8340);
    host.expectMessage("無未簽核收支單");
    host.click(form.cmdNck);
    EXPECT_EQ(form.Height(), 8340);
    EXPECT_EQ(form.hfg.TextMatrix(1, 1), "A1");
}

TEST_F(VoucherListTest, TheSearchMatchesEveryFieldAsItsStoredText) {
    addVoucher({.number = "A1"});
    addVoucher({.number = "B2", .amount = 12000, .day = Date::fromYmd(2026, 3, 5)});
    AccDb().Execute("UPDATE iof SET 用途說明 = 'x50%''s' WHERE 單號 = 'A1'");
    frmIo& form = openForm();
    Grid& grid = form.hfg;
    search(form, "a1");
    EXPECT_EQ(column(grid, 2), Texts{"在 (單號) 有  -->    A1"});
    host.click(form.cmdSall);
    search(form, "2026-03-05");
    EXPECT_EQ(column(grid, 1), (Texts{"B2", "B2"}));
    EXPECT_EQ(column(grid, 2), (Texts{"在 (輸入日期) 有  -->    2026-03-05",
                                      "在 (發生日期) 有  -->    2026-03-05"}));
    host.click(form.cmdSall);
    search(form, "12000");
    EXPECT_EQ(column(grid, 2), Texts{"在 (金額) 有  -->    12000"});
    host.click(form.cmdSall);
    search(form, "%'s");
    EXPECT_EQ(column(grid, 2), Texts{"在 (用途說明) 有  -->    x50%'s"});
    host.click(form.cmdSall);
    // A Boolean matches as 0 or 1; "?" stands for one character.
    search(form, "B?");
    EXPECT_EQ(column(grid, 2),
              (Texts{"在 (單據號碼) 有  -->    AB123", "在 (單號) 有  -->    B2",
                     "在 (用途說明) 有  -->    用途B2", "在 (單據號碼) 有  -->    AB123"}));
    host.click(form.cmdSall);
    search(form, "50%s");
    // The cells are cleared but the rows stay, one taken off.
    EXPECT_EQ(column(grid, 2), (Texts{"找不到資料", "", ""}));
    EXPECT_EQ(LastSearchText, "50%s");
    EXPECT_EQ(host.inputs().back().defaultText, "B?");
    host.click(form.cmdSall);
    search(form, "1");
    Texts hits = column(grid, 2);
    EXPECT_NE(std::find(hits.begin(), hits.end(), "在 (pay) 有  -->    1"), hits.end());
    EXPECT_EQ(grid.Rows(), static_cast<int>(hits.size()) + 1);
}

TEST_F(VoucherListTest, ADoubleClickShowsTheRowsVoucherAndASaveClosesTheSearch) {
    addVoucher({.number = "A1"});
    addVoucher({.number = "A2"});
    addVoucher({.number = "A3"});
    frmIo& form = openForm();
    search(form, "用途A");
    Grid& grid = form.hfg;
    host.dblClickCell(grid, 0, 1);
    host.dblClickCell(grid, 1, 0);
    EXPECT_EQ(form.lbNo.Caption(), "A3");
    host.dblClickCell(grid, 2, 1);
    EXPECT_EQ(form.lbNo.Caption(), "A2");
    host.click(form.cmdEdit);
    host.type(form.cbPs1, "改");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 附註一 FROM iof ORDER BY 單號"),
              (Texts{"附一", "附一改", "附一"}));
    EXPECT_EQ(form.Height(), 5445);
    EXPECT_EQ(form.lbNo.Caption(), "A3");
    EXPECT_EQ(form.FSB.Value(), 2);
    host.scroll(form.FSB, 1);
    host.click(form.cmdEdit);
    host.click(form.cmdCencel);
    EXPECT_EQ(form.lbNo.Caption(), "A2");
    EXPECT_FALSE(ShowOneRecord);

    // Closed by its frame while a listed voucher is shown, the form opens again on every voucher.
    search(form, "用途A");
    host.dblClickCell(form.hfg, 1, 1);
    host.closeByFrame(form);
    EXPECT_FALSE(ShowOneRecord);
    frmIo& again = openForm();
    EXPECT_TRUE(again.FSB.Visible() && again.cmdAdd.Visible());
    EXPECT_EQ(again.lbNo.Caption(), "A3");
}

TEST_F(VoucherListTest, AnEmptySearchListIgnoresDoubleClicksAndASaveKeepsTheUnsignedList) {
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    search(form, "zz");
    host.dblClickCell(form.hfg, 1, 2);
    EXPECT_TRUE(form.FSB.Visible());
    host.click(form.cmdNck);
    host.dblClickCell(form.hfg, 1, 1);
    host.click(form.cmdEdit);
    host.type(form.cbPs1, "改");
    host.click(form.cmdSv);
    EXPECT_EQ(form.Height(), 9600);
}

TEST_F(VoucherListTest, MarkingAddsAndSubtractsTheAmounts) {
    addVoucher({.number = "A1", .amount = 1000});
    addVoucher({.number = "A2", .amount = 2500});
    addVoucher({.number = "A3", .amount = 300});
    addVoucher({.number = "A4", .expense = false});
    frmIo& form = openForm();
    host.click(form.cmdNck);
    Grid& grid = form.hfg;
    // The total the cheque form is handed, which is back at its start once the form is closed.
    auto handedTotal = [&] {
        int64_t handed = -1;
        host.onModal("frmBill", [&](Form& bill) {
            handed = CombinedChequeTotal;
            bill.Unload();
        });
        host.expectMessage("因您取消票據輸入\r\n所以此收支單並未簽核");
        host.click(form.cmdco);
        EXPECT_EQ(CombinedChequeTotal, 0);
        return handed;
    };
    host.click(form.ckco);
    host.mouseDownCell(grid, 0, 4, LeftButton);
    for (int r : {3, 1, 2})
        host.mouseDownCell(grid, r, 4, r == 2 ? RightButton : LeftButton);
    EXPECT_EQ(handedTotal(), 3800);
    EXPECT_EQ(grid.TextMatrix(2, 0), "*");
    EXPECT_EQ(grid.BackColorAt(2, 8), Marked);
    host.mouseDownCell(grid, 2, 5, LeftButton);
    EXPECT_EQ(handedTotal(), 1300);
    EXPECT_EQ(grid.TextMatrix(2, 0), "");
    host.expectMessage("不是支出收支單");
    host.mouseDownCell(grid, 4, 4, LeftButton);
    EXPECT_EQ(grid.TextMatrix(4, 0), "");
    host.click(form.ckco);
    EXPECT_EQ(column(grid, 0), (Texts{"", "", "", ""}));
    // The search list is never marked.
    search(form, "A1");
    form.ckco.SetVisible(true);
    form.ckco.SetValue(1);
    host.mouseDownCell(grid, 1, 2, LeftButton);
    EXPECT_EQ(grid.TextMatrix(1, 0), "");
}

TEST_F(VoucherListTest, OneChequePaysTheMarkedVouchersAsAGroupOnce) {
    for (const char* number : {"A1", "A2", "A3", "A4"})
        addVoucher({.number = number, .amount = 1000});
    frmIo& form = openForm();
    host.click(form.cmdNck);
    host.expectMessage("沒有選取收支單");
    host.click(form.ckco);
    host.click(form.cmdco);
    for (int r : {3, 2, 1})
        host.mouseDownCell(form.hfg, r, 4, LeftButton);
    const std::string before = rows(AccDb(), "SELECT count(*) FROM bill").at(0);
    chequeForm(false);
    host.expectMessage("因您取消票據輸入\r\n所以此收支單並未簽核");
    host.click(form.cmdco);
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM iofs").empty());
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM bill").at(0), before);

    chequeForm(true);
    host.click(form.cmdco);
    EXPECT_EQ(rows(AccDb(), "SELECT 多單號, 單號 FROM iofs ORDER BY rowid"),
              (Texts{"A1S|A1", "A1S|A2", "A1S|A3"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 單號, 方式 FROM iof ORDER BY 單號"),
              (Texts{"A1|1", "A2|1", "A3|1", "A4|-1"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 收支單號, 金額 FROM bill"), Texts{"A1S|3000"});
    EXPECT_EQ(column(form.hfg, 1), Texts{"A4"});

    // A voucher signed off by another copy meanwhile refuses the whole issue before the cheque
    // is asked for; the list shows the unsigned vouchers as stored, unmarked.
    host.click(form.ckco);
    host.mouseDownCell(form.hfg, 1, 4, LeftButton);
    auto copyB = Database::open(AccDb().path(), accSchema());
    copyB->Execute("UPDATE iof SET 方式 = 0 WHERE 單號 = 'A4'");
    copyB->Execute("INSERT INTO iof (單號, 方式, 金額, pay) VALUES ('A5', -1, 500, 1)");
    const std::string leftByB = test::dumpTables(AccDb());
    const size_t shows = host.modalShows().size();
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(form.cmdco);
    EXPECT_EQ(test::dumpTables(AccDb()), leftByB);
    EXPECT_EQ(host.modalShows().size(), shows);
    EXPECT_EQ(column(form.hfg, 1), Texts{"A5"});
    EXPECT_EQ(column(form.hfg, 0), Texts{""});
}

// The cheque's amount adds up the amounts the list showed: a marked voucher whose amount another
// copy changed meanwhile refuses the whole issue before the cheque is asked for, and the list
// shows the amounts as stored, to be marked again.
TEST_F(VoucherListTest, AnAmountChangedByAnotherCopyRefusesTheCombinedCheque) {
    addVoucher({.number = "A1", .amount = 100});
    addVoucher({.number = "A2", .amount = 200});
    addVoucher({.number = "A3", .amount = 300});
    frmIo& form = openForm();
    host.click(form.cmdNck);
    const auto markAll = [&] {
        host.click(form.ckco);
        for (int r : {1, 2, 3})
            host.mouseDownCell(form.hfg, r, 4, LeftButton);
    };
    markAll();
    auto copyB = Database::open(AccDb().path(), accSchema());
    copyB->Execute("UPDATE iof SET 金額 = 900 WHERE 單號 = 'A1'");
    const std::string leftByB = test::dumpTables(AccDb());
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(form.cmdco);
    EXPECT_EQ(test::dumpTables(AccDb()), leftByB);
    EXPECT_TRUE(host.modalShows().empty());
    EXPECT_EQ(column(form.hfg, 8), (Texts{"900", "200", "300"}));
    EXPECT_EQ(column(form.hfg, 0), (Texts{"", "", ""}));

    markAll();
    chequeForm(true);
    host.click(form.cmdco);
    EXPECT_EQ(rows(AccDb(), "SELECT 收支單號, 金額 FROM bill"), Texts{"A1S|1400"});
}

// A cheque for the last unsigned vouchers, issued while an entry holds typed input, is no
// refusal: the entry stays as typed and the list stays open on the vouchers now signed. Those,
// and one the form's own save signed while the list was open, are not marked again, and a cheque
// for them is never asked for.
TEST_F(VoucherListTest, TheLastGroupPaidDuringAnEntryKeepsItAndItsVouchersAreNotMarkedAgain) {
    addVoucher({.number = "A1"});
    addVoucher({.number = "A2", .amount = 200});
    addVoucher({.number = "A3", .amount = 300});
    frmIo& form = openForm();
    host.click(form.cmdNck);
    host.click(form.ck);
    host.click(form.cmdSv);
    host.click(form.cmdAdd);
    host.type(form.txtCash, "777");
    host.click(form.ckco);
    host.mouseDownCell(form.hfg, 1, 4, LeftButton);
    host.mouseDownCell(form.hfg, 2, 4, LeftButton);
    chequeForm(true);
    host.click(form.cmdco);
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
    EXPECT_EQ(form.txtCash.Text(), "777");
    EXPECT_EQ(form.Height(), 9600);
    EXPECT_EQ(column(form.hfg, 1), (Texts{"A1", "A2", "A3"}));

    const std::string paid = test::dumpTables(AccDb());
    host.click(form.ckco);
    for (int r : {1, 3}) {
        host.expectMessage("收支單已簽核 無法開票");
        host.mouseDownCell(form.hfg, r, 4, LeftButton);
        ASSERT_FALSE(host.messages().empty());
        EXPECT_EQ(host.messages().back().title, CapitalsTitle);
    }
    EXPECT_EQ(column(form.hfg, 0), (Texts{"", "", ""}));
    host.expectMessage("沒有選取收支單");
    host.click(form.cmdco);
    EXPECT_EQ(test::dumpTables(AccDb()), paid);
    EXPECT_EQ(host.modalShows().size(), 1u);

    host.type(form.cbUse, "工地材料");
    host.pick(form.cbAcc, 1);
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 金額 FROM iof WHERE 單號 = '1151206001'"), Texts{"777"});
}

TEST_F(VoucherListTest, TheLastGroupPaidClosesTheList) {
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    host.click(form.cmdNck);
    host.click(form.ckco);
    host.mouseDownCell(form.hfg, 1, 4, LeftButton);
    chequeForm(true);
    host.click(form.cmdco);
    EXPECT_EQ(form.Height(), 5600);
}

}  // namespace

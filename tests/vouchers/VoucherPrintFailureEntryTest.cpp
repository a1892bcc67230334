#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/db/RawAccess.h"
#include "shell/Schema.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// Another copy of the program holds the print table past the wait while this copy ends an entry:
// the entry has ended all the same (browsing, the buttons, the fields showing the voucher as
// stored, the bar where it stands), the user is told once, and nothing is stored twice.
class VoucherPrintFailureEntryTest : public test::VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        Forms::registerForm<test::ChequeStandIn>();
        addThreeVouchersWaitingBrieflyForPrintTable();
    }

    // The click, while another copy holds pt.mdb; the one message it shows is answered.
    void clickWhilePrintTableHeld(CommandButton& button) {
        host.clearMessages();
        Transaction holding(*otherCopy, TransactionKind::Writes);
        host.answerMessage(AnswerOk);
        host.click(button);
    }
    void enterVoucherWhilePrintTableHeld(frmIo& form) {
        host.click(form.cmdAdd);
        host.type(form.cbUse, "工地材料");
        host.pick(form.cbAcc, 1);
        host.type(form.txtCash, "500");
        clickWhilePrintTableHeld(form.cmdSv);
    }
    void expectToldOnce() {
        ASSERT_EQ(host.messages().size(), 1u);
        EXPECT_EQ(host.messages()[0].text.rfind("pt.mdb 正由另一個程式寫入中", 0), 0u)
            << host.messages()[0].text;
    }
    // The form browses `number` at `position`, as stored, with nothing left to save.
    static void expectBrowsing(frmIo& form, const std::string& number, int position,
                               const std::string& note = "附一") {
        EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
        EXPECT_EQ(form.lbNo.Caption(), number);
        EXPECT_EQ(form.cbUse.Text(), "用途" + number);
        EXPECT_EQ(form.cbPs1.Text(), note);
        EXPECT_EQ(form.FSB.Value(), position);
        EXPECT_FALSE(form.cmdSv.Enabled());
        EXPECT_FALSE(form.cmdCencel.Enabled());
        EXPECT_FALSE(form.cbUse.Enabled());
        EXPECT_TRUE(form.cmdAdd.Enabled());
        EXPECT_TRUE(form.FSB.Enabled());
        EXPECT_FALSE(form.HoldsUnsavedInput());
    }
    Texts vouchers() { return rows(AccDb(), "SELECT 單號, 附註一, 方式 FROM iof ORDER BY 單號"); }

    std::unique_ptr<Database> otherCopy = Database::open(folder.file("pt.mdb"), printSchema());
};

// 取消 of a voucher being added or modified: the form no longer adds or modifies, so that 存檔
// cannot store the voucher shown before as a new one.
TEST_F(VoucherPrintFailureEntryTest, ACancelledEntryEndsThoughThePrintTableIsHeld) {
    frmIo& form = openForm();
    host.scroll(form.FSB, 1);
    const Texts stored = vouchers();

    host.click(form.cmdAdd);
    host.type(form.cbUse, "工地材料");
    host.pick(form.cbAcc, 1);
    host.type(form.txtCash, "500");
    clickWhilePrintTableHeld(form.cmdCencel);
    expectToldOnce();
    expectBrowsing(form, "A2", 1);
    host.click(form.cmdSv);
    EXPECT_EQ(vouchers(), stored);

    host.click(form.cmdEdit);
    host.type(form.cbPs1, "改");
    clickWhilePrintTableHeld(form.cmdCencel);
    expectToldOnce();
    expectBrowsing(form, "A2", 1);
    EXPECT_EQ(vouchers(), stored);

    // The bar steps on from there, the print table following once it is free.
    host.scroll(form.FSB, 2);
    EXPECT_EQ(form.lbNo.Caption(), "A3");
    EXPECT_EQ(printField(1), "A3");
}

// A save, a sign-off by cash and a cheque entry cancelled: each is stored once, and the form
// browses the voucher it stored.
TEST_F(VoucherPrintFailureEntryTest, ASavedEntryEndsThoughThePrintTableIsHeld) {
    frmIo& form = openForm();
    host.scroll(form.FSB, 0);
    host.click(form.cmdEdit);
    host.type(form.cbPs1, "改");
    clickWhilePrintTableHeld(form.cmdSv);
    expectToldOnce();
    expectBrowsing(form, "A1", 0, "附一改");

    host.click(form.ck);
    host.click(form.optA(0));
    clickWhilePrintTableHeld(form.cmdSv);
    expectToldOnce();
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    EXPECT_FALSE(form.cmdSv.Enabled());
    EXPECT_FALSE(form.ck.Enabled());
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM cash"), Texts{"1"});

    host.scroll(form.FSB, 1);
    host.onModal("frmBill", [](Form& bill) { bill.Unload(); });
    host.click(form.ck);
    host.click(form.optA(1));
    host.clearMessages();
    {
        Transaction holding(*otherCopy, TransactionKind::Writes);
        host.expectMessage("因您取消票據輸入\r\n所以此收支單並未簽核");
        host.answerMessage(AnswerOk);
        host.click(form.cmdSv);
    }
    ASSERT_EQ(host.messages().size(), 2u);
    expectBrowsing(form, "A2", 1);

    enterVoucherWhilePrintTableHeld(form);
    expectToldOnce();
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    EXPECT_EQ(form.lbNo.Caption(), "1151206001");
    EXPECT_EQ(form.FSB.Value(), 0);
    EXPECT_EQ(vouchers(), (Texts{"1151206001||-1", "A1|附一改|0", "A2|附一|-1", "A3|附一|-1"}));
}

// The unsigned list closes once a combined cheque leaves no voucher unsigned: the form goes back
// to browsing the newest voucher, from the one voucher it showed, before the print table is tried.
TEST_F(VoucherPrintFailureEntryTest, TheListClosedByACombinedChequeLeavesTheFormBrowsing) {
    frmIo& form = openForm();
    host.click(form.cmdNck);
    host.dblClickCell(form.hfg, 1, 1);
    ASSERT_FALSE(form.FSB.Visible());
    host.click(form.ckco);
    for (int r : {1, 2, 3})
        host.mouseDownCell(form.hfg, r, 4, LeftButton);
    host.onModal("frmBill", [](Form& bill) {
        AccDb().Execute("INSERT INTO bill (票據號碼, 金額, 收支單號, 方式) VALUES ('C1', ?, ?, 0)",
                        CombinedChequeTotal, CombinedFirstVoucherNo + "S");
        BillEntryCancelled = false;
        bill.Unload();
    });
    clickWhilePrintTableHeld(form.cmdco);
    expectToldOnce();
    EXPECT_EQ(form.cmdNck.Caption(), "檢視未簽核收支單>>");
    EXPECT_TRUE(form.FSB.Visible());
    EXPECT_TRUE(form.cmdAdd.Visible());
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    EXPECT_EQ(form.lbNo.Caption(), "A3");
    EXPECT_EQ(form.FSB.Value(), 2);
    host.scroll(form.FSB, 1);
    EXPECT_EQ(form.lbNo.Caption(), "A2");
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contracts/frmMach.h"
#include "contracts/frmMchIo.h"
#include "platform/db/WriteFault.h"
#include "shell/Schema.h"
#include "tests/contracts/SettlementBook.h"

using namespace kiv;

namespace {

class SettleVoucherDialogTest : public test::SettlementBook {
  protected:
    // Contract `id` of project P1 大樓 with instalments 1 "10,000" (settled) and 2 "20,000" and
    // additions 1 "5,000" and 2 "6,000" (settled), shown in the contract form.
    frmRio& contractOfProject(bool receivable, const std::string& id = "115031001",
                              const std::string& project = "大樓") {
        const std::string side = receivable ? "ri" : "ro";
        contract(side, id);
        AccDb().Execute("UPDATE " + AccDb().Table(side) + " SET 專id = 'P1', 專名 = ? WHERE id = ?",
                        project, id);
        scheduleRow(side + "期", id, 1, "10,000", "1150101001");
        scheduleRow(side + "期", id, 2, "20,000");
        scheduleRow(side + "加", id, 1, "5,000");
        scheduleRow(side + "加", id, 2, "6,000", "1150101002");
        frmRio& f = openForm();
        if (!receivable) host.click(f.optO);
        return f;
    }

    // The settle command on a receipt row, with what the user does in the dialog.
    void settleFrom(Grid& receipts, int row, std::function<void(frmMchIo&)> script) {
        host.onModal<frmMchIo>(std::move(script));
        host.choosePopupEntry("mMach");
        host.mouseUpCell(receipts, row, 0, RightButton);
    }

    void deleteRow(Grid& grid, int row, int answer = AnswerYes) {
        host.choosePopupEntry("mdel");
        host.expectMessage("確定刪除", answer);
        host.mouseUpCell(grid, row, 0, RightButton);
    }

    static Texts listed(const frmMchIo& d) {
        Texts shown;
        for (int r = 1; r < d.hfg.Rows(); ++r)
            shown.push_back(d.hfg.TextMatrix(r, 1) + " " + d.hfg.TextMatrix(r, 3));
        return shown;
    }
};

TEST_F(SettleVoucherDialogTest, ListsTheSignedVouchersOfTheProjectAndDirection) {
    voucher("1150315003", false, 20000, SignedByCashedCheque);
    voucher("1150315001", false, 20000, SignedByCash);
    voucher("1150315002", false, 20000, SignedByCheque);
    for (int state : {CashSuggested, ChequeSuggested, VoidVoucher, CashedIncome, CashedExpense})
        voucher("11503160" + std::to_string(10 - state), false, 1, state);
    voucher("1150317001", true, 20000, SignedByCash);  // an expense
    voucher("1150317002", false, 20000, SignedByCash, "P1", "大樓二期");
    voucher("1150317003", false, 20000, SignedByCash, "P2", "大樓");
    frmRio& f = contractOfProject(true);
    settleFrom(f.hfg1, 2, [&](frmMchIo& d) {
        EXPECT_EQ(listed(d), (Texts{"1150315001 現金", "1150315002 票據", "1150315003 票據"}));
        EXPECT_EQ(d.hfg.TextMatrix(1, 2) + "|" + d.hfg.TextMatrix(1, 11), "20,000|115/03/15");
        host.click(d.Command2);
    });
    EXPECT_EQ(SettleAmount, "20,000");
    EXPECT_EQ(SettlePeriod, 2);
    EXPECT_TRUE(SettleIsInstalment);
    EXPECT_TRUE(SettleReceivable);
}

TEST_F(SettleVoucherDialogTest, AQuoteInTheProjectNameIsJustAName) {
    voucher("1150315001", true, 6000, SignedByCash, "P1", "O'Neil 大樓");
    frmRio& f = contractOfProject(false, "115031001", "O'Neil 大樓");
    settleFrom(f.hfgAm1, 1, [&](frmMchIo& d) {
        EXPECT_EQ(listed(d), Texts{"1150315001 現金"});
        EXPECT_EQ(d.hfg.BackColorFixed(), 0xC0C0FFu);
        host.clickCell(d.hfg, 1, 4);
        host.expectMessage("沖帳金額與預付金額不符\n是否沖帳？", AnswerYes);
        host.answerInput("5500");
        host.click(d.Command1);
    });
    EXPECT_EQ(settlements("ro加"),
              (Texts{"115031001|1|5,000|5500|2026/03/15|True||1150315001|True",
                     "115031001|2|6,000|6,000|2026/01/02|True|OLD|1150101002|True"}));
    EXPECT_EQ(f.hfgAm1.TextMatrix(1, 0), "5,500");
    EXPECT_FALSE(SettleIsInstalment);
    EXPECT_EQ(SettleAmount, "5,000");
}

TEST_F(SettleVoucherDialogTest, SettlesTheInstalmentAndTheContractFormShowsIt) {
    voucher("1150315001", false, 20000, SignedByCheque);
    cheque("AA0001", "1150315001");
    frmRio& f = contractOfProject(true);
    const Texts additions = settlements("ri加");
    settleFrom(f.hfg1, 2, [&](frmMchIo& d) { host.dblClickCell(d.hfg, 1, 1); });
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(settlements("ri期")[1],
              "115031001|2|20,000|20000|2026/03/15|False|AA0001|1150315001|True");
    EXPECT_EQ(settlements("ri加"), additions);
    EXPECT_EQ(f.hfg1.TextMatrix(2, 0) + "|" + f.hfg1.TextMatrix(2, 4), "20,000|1150315001");
}

// The instalment went meanwhile: nothing is written, the user is told why, and the contract form
// shows what is stored.
TEST_F(SettleVoucherDialogTest, ARowGoneMeanwhileIsToldAndNothingIsWritten) {
    voucher("1150315001", false, 20000, SignedByCash);
    frmRio& f = contractOfProject(true);
    std::string before;
    settleFrom(f.hfg1, 2, [&](frmMchIo& d) {
        AccDb().Execute("DELETE FROM ri期 WHERE 期別 = 2");
        before = test::dumpTables(AccDb());
        host.expectMessage("此期別已不存在，未沖帳");
        host.dblClickCell(d.hfg, 1, 1);
        EXPECT_TRUE(d.IsUnloaded());
    });
    EXPECT_EQ(test::dumpTables(AccDb()), before);
    EXPECT_EQ(f.hfg.Rows(), 2);
}

// Copy B settles the open instalment while copy A's dialog is open, and settles the settled one
// again with another voucher while A's contract form shows the first: neither A's settlement nor
// A's clearing is written, and the contract form shows B's.
TEST_F(SettleVoucherDialogTest, ASettlementChangedByAnotherCopyIsNeitherMadeNorClearedOver) {
    voucher("1150315001", false, 20000, SignedByCash);
    frmRio& f = contractOfProject(true);
    auto copyB = Database::open(AccDb().path(), accSchema());
    std::string leftByB;
    settleFrom(f.hfg1, 2, [&](frmMchIo& d) {
        copyB->Execute(
            "UPDATE ri期 SET 實收金 = '20,000', 收支單號 = '1150101009', 處理 = 1 WHERE 期別 = 2");
        leftByB = test::dumpTables(AccDb());
        host.clickCell(d.hfg, 1, 1);
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(d.Command1);
        EXPECT_TRUE(d.IsUnloaded());
    });
    EXPECT_EQ(test::dumpTables(AccDb()), leftByB);
    EXPECT_EQ(f.hfg1.TextMatrix(2, 0) + "|" + f.hfg1.TextMatrix(2, 4), "20,000|1150101009");

    copyB->Execute("UPDATE ri期 SET 收支單號 = '1150101008' WHERE 期別 = 1");
    leftByB = test::dumpTables(AccDb());
    host.choosePopupEntry("mdel");
    host.expectMessage("確定刪除", AnswerYes);
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.mouseUpCell(f.hfg1, 1, 0, RightButton);
    EXPECT_EQ(test::dumpTables(AccDb()), leftByB);
    EXPECT_EQ(f.hfg1.TextMatrix(1, 4), "1150101008");
}

TEST_F(SettleVoucherDialogTest, WithoutAChosenVoucherOrAfterNoNothingIsWritten) {
    voucher("1150315001", false, 18000, SignedByCash);
    frmRio& f = contractOfProject(true);
    const std::string before = test::dumpTables(AccDb());
    settleFrom(f.hfg1, 2, [&](frmMchIo& d) {
        host.click(d.Command1);
        host.dblClickCell(d.hfg, 0, 1);
        host.clickCell(d.hfg, 0, 1);
        host.click(d.Command1);
        EXPECT_FALSE(d.IsUnloaded());
        host.clickCell(d.hfg, 1, 1);
        host.expectMessage("沖帳金額與預付金額不符\n是否沖帳？", AnswerNo);
        host.click(d.Command1);
        EXPECT_FALSE(d.IsUnloaded());
        host.closeByFrame(d);
    });
    EXPECT_EQ(test::dumpTables(AccDb()), before);
}

TEST_F(SettleVoucherDialogTest, CancellingStillReloadsTheStoredRows) {
    frmRio& f = contractOfProject(true);
    host.act([&] { f.hfg.SetTextMatrix(2, 1, "99,999"); });
    settleFrom(f.hfg1, 2, [&](frmMchIo& d) {
        EXPECT_EQ(d.hfg.Rows(), 2);
        EXPECT_EQ(SettleAmount, "99,999");
        host.click(d.Command2);
    });
    EXPECT_EQ(f.hfg.TextMatrix(2, 1), "20,000");
}

TEST_F(SettleVoucherDialogTest, DeletingAnInstalmentClosesTheGapAndReceiptsMoveWithTheirRows) {
    frmRio& f = contractOfProject(true);
    scheduleRow("ri期", "115031001", 3, "30,000", "1150101003");
    host.act([&] { f.FSB_Change(); });
    deleteRow(f.hfg, 1);
    EXPECT_EQ(settlements("ri期"),
              (Texts{"115031001|1|20,000|||False|||False",
                     "115031001|2|30,000|30,000|2026/01/02|True|OLD|1150101003|True"}));
    EXPECT_EQ(f.hfg.TextMatrix(2, 0) + "|" + f.hfg1.TextMatrix(2, 4), "第2期|1150101003");
    EXPECT_EQ(f.hfg.Rows(), 3);

    deleteRow(f.hfg, 2);
    EXPECT_EQ(settlements("ri期"), Texts{"115031001|1|20,000|||False|||False"});
}

TEST_F(SettleVoucherDialogTest, NoToTheQuestionLeavesEverythingAsItWas) {
    frmRio& f = contractOfProject(true);
    host.act([&] { f.hfg.SetTextMatrix(1, 1, "12,345"); });
    const std::string before = test::dumpTables(AccDb());
    deleteRow(f.hfg, 1, AnswerNo);
    EXPECT_EQ(test::dumpTables(AccDb()), before);
    EXPECT_EQ(f.hfg.TextMatrix(1, 1), "12,345");
}

TEST_F(SettleVoucherDialogTest, ClearingAnAdditionsReceiptOpensItAgain) {
    frmRio& f = contractOfProject(false);
    const Texts receivables = settlements("ri加");
    deleteRow(f.hfgAm1, 2);
    EXPECT_EQ(settlements("ro加"),
              (Texts{"115031001|1|5,000|||False|||False", "115031001|2|6,000|||False|||False"}));
    EXPECT_EQ(rows(AccDb(),
                   "SELECT 報價單號, 合約單號, 預付日, 發票號碼, typeof(實收日) FROM ro加 "
                   "WHERE 期別 = 2"),
              Texts{"Q|K|2026/04/01|INV|null"});
    EXPECT_EQ(f.hfgAm1.TextMatrix(2, 0), "");
    EXPECT_EQ(settlements("ri加"), receivables);

    // Open again, it is offered for settling from a voucher.
    voucherForm("1150316001", "6000", true);
    SettleReceivable = false;
    frmMach& d = Forms::get<frmMach>();
    host.pick(d.lstRio, 0);
    EXPECT_EQ(d.hfgR.TextMatrix(2, 0), "追加2");
}

TEST_F(SettleVoucherDialogTest, ClearingAnInstalmentReceiptTouchesItsSixFieldsOnly) {
    frmRio& f = contractOfProject(true);
    deleteRow(f.hfg1, 1);
    EXPECT_EQ(rows(AccDb(), "SELECT * FROM ri期 WHERE 期別 = 1"),
              Texts{"115031001|1|10,000|2026/04/01|50.00%||INV|||False|||False"});
}

TEST_F(SettleVoucherDialogTest, DeletingAReductionOrAnAdditionIsAllOrNothing) {
    frmRio& f = contractOfProject(true);
    AccDb().Execute(
        "INSERT INTO ri減 (id, 期別, 報價單號, 合約單號, 金額) VALUES "
        "('115031001', 1, 'a', 'b', '100'), ('115031001', 2, 'c', 'd', '200')");
    host.act([&] { f.FSB_Change(); });
    for (int failing = 1; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        const std::string before = test::dumpTables(AccDb());
        if (failing < 3)
            writefault::failWrite(failing);
        else
            writefault::failCommit();
        host.choosePopupEntry("mdel");
        host.expectMessage("確定刪除", AnswerYes);
        host.answerMessage(AnswerOk);
        host.mouseUpCell(f.HfgAM, 1, 0, RightButton);
        writefault::clear();
        EXPECT_EQ(test::dumpTables(AccDb()), before);
    }
    deleteRow(f.hfgM, 1);
    EXPECT_EQ(rows(AccDb(), "SELECT 期別, 金額 FROM ri減"), Texts{"1|200"});
    deleteRow(f.HfgAM, 1);
    EXPECT_EQ(rows(AccDb(), "SELECT 期別, 金額 FROM ri加"), Texts{"1|6,000"});
}

}  // namespace

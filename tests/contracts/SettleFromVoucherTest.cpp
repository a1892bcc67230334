#include <gtest/gtest.h>

#include <string>

#include "contracts/Settlements.h"
#include "contracts/frmMach.h"
#include "shell/Schema.h"
#include "tests/contracts/SettlementBook.h"

using namespace kiv;

namespace {

// The whole database but one table, so that a test sees that nothing else changed.
std::string dumpWithout(const std::string& table) {
    std::string dump = test::dumpTables(AccDb());
    const std::string head = "[" + table + "]\n";
    const size_t from = dump.find(head);
    if (from == std::string::npos) return dump;
    const size_t to = dump.find("\n[", from + head.size());
    dump.erase(from, to == std::string::npos ? std::string::npos : to + 1 - from);
    return dump;
}

class SettleFromVoucherTest : public test::SettlementBook {
  protected:
    // Receivable contract 115031001: instalments 1 "10,000" and 2 "20,000", an addition.
    void receivableContract() {
        contract("ri", "115031001");
        scheduleRow("ri期", "115031001", 1, "10,000");
        scheduleRow("ri期", "115031001", 2, "20,000");
        scheduleRow("ri加", "115031001", 1, "5,000");
    }

    frmMach& openDialog(bool receivable) {
        SettleReceivable = receivable;
        frmMach& dialog = Forms::get<frmMach>();
        dialog.Show();
        return dialog;
    }

    frmMach& chooseFirstInstalment(const std::string& no, const std::string& amount, bool cash) {
        voucherForm(no, amount, cash);
        frmMach& dialog = openDialog(true);
        host.pick(dialog.lstRio, 0);
        host.mouseDownCell(dialog.hfgC, 1, 2, LeftButton);
        return dialog;
    }
};

TEST_F(SettleFromVoucherTest, EqualAmountsSettleTheRowWithTheVoucherAndNothingElse) {
    receivableContract();
    voucher("1150315001", false, 10000, SignedByCash);
    const std::string others = dumpWithout("ri期");
    frmMach& dialog = chooseFirstInstalment("1150315001", "10000", true);
    EXPECT_EQ(dialog.lbMachCash.Caption(), "10,000");
    ASSERT_TRUE(dialog.cmd.Visible());
    host.click(dialog.cmd);

    EXPECT_TRUE(host.messages().empty());
    EXPECT_FALSE(Forms::isLoaded<frmMach>());
    EXPECT_EQ(settlements("ri期"),
              (Texts{"115031001|1|10,000|10000|2026/03/15|True||1150315001|True",
                     "115031001|2|20,000|||False|||False"}));
    EXPECT_EQ(dumpWithout("ri期"), others);
}

TEST_F(SettleFromVoucherTest, TheButtonLiesBesideTheChosenRow) {
    contract("ri", "115031001");
    scheduleRow("ri期", "115031001", 1, "10,000");
    scheduleRow("ri期", "115031001", 3, "30,000");
    scheduleRow("ri加", "115031001", 2, "5,000");
    voucherForm("1150315001", "30000", true);
    frmMach& d = openDialog(true);
    host.pick(d.lstRio, 0);
    EXPECT_EQ(d.hfgC.TextMatrix(2, 0), "3期");
    EXPECT_EQ(d.hfgR.TextMatrix(1, 0), "追加2");

    host.mouseDownCell(d.hfgR, 1, 1, LeftButton);
    EXPECT_EQ(d.cmd.Left(), d.hfgR.Left() + d.hfgR.ColPos(6) + d.hfgR.ColWidth(6) + 30);
    EXPECT_EQ(d.cmd.Top(), d.hfgR.Top() + d.hfgR.RowPos(1) + 30);
    EXPECT_EQ(d.ChosenPlannedAmount, 5000);

    host.mouseDownCell(d.hfgC, 2, 1, LeftButton);
    EXPECT_EQ(d.cmd.Left(), d.hfgC.Left() + d.hfgC.ColPos(5) + d.hfgC.ColWidth(5) + 30);
    EXPECT_EQ(d.cmd.Top(), d.hfgC.Top() + d.hfgC.RowPos(2) + 30);
    host.click(d.cmd);
    EXPECT_EQ(settlements("ri期")[1], "115031001|3|30,000|30000|2026/03/15|True||1150315001|True");
    EXPECT_EQ(settlements("ri期")[0], "115031001|1|10,000|||False|||False");
}

TEST_F(SettleFromVoucherTest, ListsContractsWithAnInstalmentRowAndSomethingOpen) {
    contract("ri", "115031001");  // additions only: never listed
    scheduleRow("ri加", "115031001", 1, "5,000");
    contract("ri", "115031002");  // instalments settled, an addition open
    scheduleRow("ri期", "115031002", 1, "10,000", "1150101001");
    scheduleRow("ri加", "115031002", 1, "5,000");
    contract("ri", "115031003");  // everything settled
    scheduleRow("ri期", "115031003", 1, "10,000", "1150101001");
    contract("ro", "115031004");  // the other side
    scheduleRow("ro期", "115031004", 1, "10,000");
    voucherForm("1150315001", "5000", true);

    frmMach& d = openDialog(true);
    ASSERT_EQ(d.lstRio.ListCount(), 1);
    EXPECT_EQ(d.lstRio.List(0, 0), "115031002");
    host.pick(d.lstRio, 0);
    EXPECT_EQ(d.hfgC.Rows(), 2);
    EXPECT_EQ(d.hfgC.TextMatrix(1, 0), "");
    EXPECT_EQ(d.hfgR.TextMatrix(1, 0), "追加1");
    host.act([&] { d.Unload(); });

    frmMach& payable = openDialog(false);
    ASSERT_EQ(payable.lstRio.ListCount(), 1);
    EXPECT_EQ(payable.lstRio.List(0, 0), "115031004");
}

TEST_F(SettleFromVoucherTest, NothingToSettleIsSaidAndTheDialogStillOpens) {
    voucherForm("1150315001", "5000", true);
    host.expectMessage("無應收付可沖帳");
    frmMach& d = openDialog(true);
    EXPECT_EQ(d.lstRio.ListCount(), 0);
    EXPECT_EQ(d.hfgC.Rows(), 2);
}

TEST_F(SettleFromVoucherTest, EmptyRowsAnswerAndOnlyALeftPressChooses) {
    receivableContract();
    voucherForm("1150315001", "10000", true);
    frmMach& d = openDialog(true);
    host.expectMessage("應收付號碼/名稱");
    host.mouseDownCell(d.hfgC, 1, 1, RightButton);
    host.expectMessage("無應收付號碼/名稱");
    host.mouseDownCell(d.hfgR, 1, 1, LeftButton);
    host.mouseDownCell(d.hfgC, 0, 1, LeftButton);
    EXPECT_EQ(host.messages().size(), 2u);
    EXPECT_FALSE(d.cmd.Visible());

    host.pick(d.lstRio, 0);
    host.mouseDownCell(d.hfgC, 2, 1, RightButton);
    EXPECT_FALSE(d.cmd.Visible());
    host.mouseDownCell(d.hfgC, 2, 1, LeftButton);
    host.mouseDownCell(d.hfgC, 1, 1, RightButton);
    EXPECT_EQ(d.ChosenRow, 2) << "a right press keeps the choice";
    EXPECT_TRUE(d.cmd.Visible());
}

TEST_F(SettleFromVoucherTest, PickingAnotherContractForgetsTheChoice) {
    receivableContract();
    contract("ri", "115031002");
    scheduleRow("ri期", "115031002", 1, "7,000");
    voucherForm("1150315001", "10000", true);
    frmMach& d = openDialog(true);
    host.pick(d.lstRio, 0);
    host.mouseDownCell(d.hfgC, 2, 1, LeftButton);
    ASSERT_TRUE(d.cmd.Visible());
    host.pick(d.lstRio, 1);
    EXPECT_FALSE(d.cmd.Visible());
    EXPECT_EQ(d.ChosenRow, 0);
    const std::string before = test::dumpTables(AccDb());
    host.click(d.cmd);
    EXPECT_EQ(test::dumpTables(AccDb()), before);
}

TEST_F(SettleFromVoucherTest, DifferentAmountsAskFirst) {
    struct Case {
        const char* voucherAmount;
        int answer;
        std::vector<std::string> replies;
        const char* stored;  // "" when nothing is written
    };
    const Case cases[] = {
        {"8000", AnswerYes, {}, "8000"},
        {"8000", AnswerNo, {}, ""},
        {"12000", AnswerYes, {"abc", "1e40", "9500"}, "9500"},
        {"12000", AnswerYes, {"9,500"}, "9,500"},
        {"12000", AnswerYes, {"abc", ""}, ""},
        {"12000", AnswerNo, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.voucherAmount) + " " + std::to_string(c.answer));
        AccDb().Execute("DELETE FROM ri期");
        AccDb().Execute("DELETE FROM ri");
        receivableContract();
        host.clearMessages();
        frmMach& d = chooseFirstInstalment("1150315001", c.voucherAmount, true);
        host.expectMessage("沖帳金額與預付金額不符\n是否沖帳？", c.answer);
        for (const std::string& reply : c.replies)
            host.answerInput(reply);
        const size_t inputsBefore = host.inputs().size();
        host.click(d.cmd);
        EXPECT_EQ(host.messages().back().style, 292);
        EXPECT_EQ(host.inputs().size() - inputsBefore, c.replies.size());
        for (size_t i = 0; i < c.replies.size(); ++i) {
            const auto& input = host.inputs()[inputsBefore + i];
            EXPECT_EQ(input.prompt,
                      i == 0 ? "填入沖帳金額" : "填入沖帳金額\n沖帳金額欄位只能輸入數字");
            EXPECT_EQ(input.defaultText, "10000");
            EXPECT_EQ(input.title, "Kiv");
        }
        if (*c.stored) {
            EXPECT_FALSE(Forms::isLoaded<frmMach>());
            EXPECT_EQ(settlements("ri期")[0], "115031001|1|10,000|" + std::string(c.stored) +
                                                  "|2026/03/15|True||1150315001|True");
        } else {
            EXPECT_TRUE(d.cmd.Visible());
            EXPECT_EQ(settlements("ri期")[0], "115031001|1|10,000|||False|||False");
            host.act([&] { d.Unload(); });
        }
    }
}

TEST_F(SettleFromVoucherTest, AChequeVoucherWritesTheChequeThatPaidIt) {
    struct Case {
        const char* voucher;
        const char* cheque;
    };
    cheque("AA0001", "1150315001");
    cheque("BB0002", "1150315009");  // a combined cheque of 1150315002
    AccDb().Execute("INSERT INTO iofs VALUES ('1150315009', '1150315002')");
    for (Case c :
         {Case{"1150315001", "AA0001"}, Case{"1150315002", "BB0002"}, Case{"1150315003", ""}}) {
        SCOPED_TRACE(c.voucher);
        AccDb().Execute("DELETE FROM ri期");
        AccDb().Execute("DELETE FROM ri加");
        AccDb().Execute("DELETE FROM ri");
        receivableContract();
        frmMach& d = chooseFirstInstalment(c.voucher, "10000", false);
        host.click(d.cmd);
        EXPECT_EQ(settlements("ri期")[0], "115031001|1|10,000|10000|2026/03/15|False|" +
                                              std::string(c.cheque) + "|" + c.voucher + "|True");
    }
}

TEST_F(SettleFromVoucherTest, AnExpenseVoucherSettlesAPayableAddition) {
    contract("ro", "115031005");
    scheduleRow("ro期", "115031005", 1, "10,000", "1150101001");
    scheduleRow("ro加", "115031005", 1, "3,000", "1150101001");
    scheduleRow("ro加", "115031005", 2, "4,000");
    const Texts instalments = settlements("ro期");
    voucherForm("1150316001", "4000", true, "中華民國 115 年 03 月 16 日");
    frmMach& d = openDialog(false);
    host.pick(d.lstRio, 0);
    host.mouseDownCell(d.hfgR, 1, 3, LeftButton);
    host.click(d.cmd);
    EXPECT_EQ(settlements("ro加"),
              (Texts{"115031005|1|3,000|3,000|2026/01/02|True|OLD|1150101001|True",
                     "115031005|2|4,000|4000|2026/03/16|True||1150316001|True"}));
    EXPECT_EQ(settlements("ro期"), instalments);
    EXPECT_EQ(rows(AccDb(), "SELECT 報價單號, 合約單號, 預付日, 發票號碼 FROM ro加 WHERE 期別 = 2"),
              Texts{"Q|K|2026/04/01|INV"});
}

TEST_F(SettleFromVoucherTest, ARowGoneMeanwhileWritesNothingAndTheDialogShowsWhatIsOpen) {
    receivableContract();
    frmMach& d = chooseFirstInstalment("1150315001", "10000", true);
    AccDb().Execute("DELETE FROM ri期 WHERE 期別 = 1");
    const std::string before = test::dumpTables(AccDb());
    host.expectMessage("此期別已不存在，未沖帳\n請重新選取");
    host.click(d.cmd);
    EXPECT_EQ(test::dumpTables(AccDb()), before);
    ASSERT_TRUE(Forms::isLoaded<frmMach>());
    EXPECT_FALSE(d.cmd.Visible());
    EXPECT_EQ(d.lstRio.Value(), "115031001");
    EXPECT_EQ(d.hfgC.TextMatrix(1, 0), "2期");
}

// Copy B settles the row copy A chose: A's settlement is refused, the row keeps B's, and the
// dialog shows what is open now.
TEST_F(SettleFromVoucherTest, ARowSettledByAnotherCopyIsNotSettledAgain) {
    auto copyB = Database::open(AccDb().path(), accSchema());
    struct Case {
        const char* table;
        const char* amount;
    };
    for (const Case& c : {Case{"ri期", "10000"}, Case{"ri加", "5000"}}) {
        SCOPED_TRACE(c.table);
        for (const char* table : {"ri期", "ri加", "ri"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        receivableContract();
        voucherForm("1150315001", c.amount, true);
        frmMach& d = openDialog(true);
        host.pick(d.lstRio, 0);
        const bool instalment = std::string(c.table) == "ri期";
        host.mouseDownCell(instalment ? d.hfgC : d.hfgR, 1, 2, LeftButton);
        copyB->Execute("UPDATE " + copyB->Table(c.table) +
                       " SET 實收金 = '1', 收支單號 = '1150101009', 處理 = 1 WHERE 期別 = 1");
        const std::string leftByB = test::dumpTables(AccDb());
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(d.cmd);
        EXPECT_EQ(test::dumpTables(AccDb()), leftByB);
        ASSERT_TRUE(Forms::isLoaded<frmMach>());
        EXPECT_FALSE(d.cmd.Visible());
        EXPECT_EQ(d.hfgC.TextMatrix(1, 0), instalment ? "2期" : "1期");
        EXPECT_EQ(d.hfgR.TextMatrix(1, 0), instalment ? "追加1" : "");
        host.act([&] { d.Unload(); });
    }
}

}  // namespace

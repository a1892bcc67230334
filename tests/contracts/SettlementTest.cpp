#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "contracts/Settlements.h"
#include "contracts/frmMach.h"
#include "contracts/frmMchIo.h"
#include "ledger/Vouchers.h"
#include "shell/Schema.h"
#include "tests/contracts/ContractBook.h"
#include "tests/support/WriteFaults.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Settling instalments and additions by vouchers, from the voucher form (frmMach) and from the
// contract form (frmMchIo), and the row commands of the contract grids.
class SettlementTest : public ContractBook {
  protected:
    // Contract `id` of project P1 with instalments 1 "10,000" (settled unless `open`) and 2
    // "20,000" and additions 1 "5,000" and 2 "6,000" (settled unless `open`).
    void contractOfProject(bool receivable, const std::string& id = "115031001",
                           const std::string& project = "大樓", bool open = false) {
        const std::string side = receivable ? "ri" : "ro";
        AddContract(side, id);
        AccDb().Execute("UPDATE " + AccDb().Table(side) + " SET 專id = 'P1', 專名 = ? WHERE id = ?",
                        project, id);
        AddScheduleRow(side + "期", id, 1, "10,000", open ? "" : "1150101001");
        AddScheduleRow(side + "期", id, 2, "20,000");
        AddScheduleRow(side + "加", id, 1, "5,000");
        AddScheduleRow(side + "加", id, 2, "6,000", open ? "" : "1150101002");
    }
    frmRio& shown(bool receivable) {
        frmRio& f = openForm();
        if (!receivable) host.click(f.optO);
        return f;
    }
    static void signedVoucher(const std::string& no, bool expense, int64_t amount, int state,
                              const std::string& project = "大樓",
                              const std::string& projectNo = "P1") {
        VoucherRow v = expense ? Expense(no, day(2026, 3, 15), amount, state)
                               : Income(no, day(2026, 3, 15), amount, state);
        v.projectNo = projectNo;
        v.project = project;
        AddVoucherRow(v);
    }
    // The voucher form showing a signed voucher, stored as shown, and the settlement dialog opened
    // from it.
    frmMach& dialogFromVoucher(bool receivable, const std::string& no, const std::string& amount,
                               bool cash, const std::string& on = "中華民國 115 年 03 月 15 日") {
        AccDb().Execute("DELETE FROM iof WHERE 單號 = ?", no);
        signedVoucher(no, !receivable, std::stoll(amount), cash ? SignedByCash : SignedByCheque);
        Forms::registerForm<VoucherFormStandIn>();
        auto& form = Forms::get<VoucherFormStandIn>();
        host.act([&] {
            form.txtCash.SetText(amount);
            form.lbHday.SetCaption(on);
            form.optA(cash ? 0 : 1).SetValue(true);
            form.lbNo.SetCaption(no);
        });
        SettleReceivable = receivable;
        frmMach& dialog = Forms::get<frmMach>();
        dialog.Show();
        return dialog;
    }
    frmMach& chooseFirstInstalment(const std::string& no, const std::string& amount, bool cash) {
        frmMach& dialog = dialogFromVoucher(true, no, amount, cash);
        host.pick(dialog.lstRio, 0);
        host.mouseDownCell(dialog.hfgC, 1, 2, LeftButton);
        return dialog;
    }
    // The settle command on a receipt row of the contract form, with what the user does in the
    // dialog.
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

TEST_F(SettlementTest, FromAVoucherEqualAmountsSettleTheRowAndNothingElse) {
    contractOfProject(true, "115031001", "大樓", true);
    AddScheduleRow("ri期", "115031001", 4, "40,000");
    frmMach& d = dialogFromVoucher(true, "1150315001", "40000", true);
    host.pick(d.lstRio, 0);
    EXPECT_EQ(GridColumn(d.hfgC, 0, 1, 3), (Texts{"1期", "2期", "4期"}));
    host.mouseDownCell(d.hfgR, 1, 1, LeftButton);
    EXPECT_EQ(d.ChosenPlannedAmount, 5000);
    host.mouseDownCell(d.hfgC, 3, 2, LeftButton);
    EXPECT_EQ(d.lbMachCash.Caption(), "40,000");
    const std::string before = dumpTables(AccDb());
    host.click(d.cmd);
    EXPECT_TRUE(host.messages().empty());
    EXPECT_FALSE(Forms::isLoaded<frmMach>());
    EXPECT_EQ(settlements("ri期").back(),
              "115031001|4|40,000|40000|2026/03/15|True||1150315001|True");
    AccDb().Execute(
        "UPDATE ri期 SET 實收金 = '', 實收日 = NULL, 現金 = 0, 支票號碼 = '', "
        "收支單號 = '', 處理 = 0 WHERE 期別 = 4");
    EXPECT_EQ(dumpTables(AccDb()), before) << "nothing else was written";
}

TEST_F(SettlementTest, FromAVoucherTheContractsWithAnInstalmentAndSomethingOpenAreListed) {
    AddContract("ri", "115031001");  // additions only: never listed
    AddScheduleRow("ri加", "115031001", 1, "5,000");
    AddContract("ri", "115031002");  // instalments settled, an addition open
    AddScheduleRow("ri期", "115031002", 1, "10,000", "1150101001");
    AddScheduleRow("ri加", "115031002", 1, "5,000");
    AddContract("ri", "115031003");  // everything settled
    AddScheduleRow("ri期", "115031003", 1, "10,000", "1150101001");
    AddContract("ro", "115031004");  // the other side
    AddScheduleRow("ro期", "115031004", 1, "10,000");
    frmMach& d = dialogFromVoucher(true, "1150315001", "5000", true);
    ASSERT_EQ(d.lstRio.ListCount(), 1);
    // Before a pick the rows answer; only a left press on a row chooses.
    host.expectMessage("應收付號碼/名稱");
    host.mouseDownCell(d.hfgC, 1, 1, RightButton);
    host.expectMessage("無應收付號碼/名稱");
    host.mouseDownCell(d.hfgR, 1, 1, LeftButton);
    host.mouseDownCell(d.hfgC, 0, 1, LeftButton);
    host.pick(d.lstRio, 0);
    EXPECT_EQ(d.hfgC.TextMatrix(1, 0) + "|" + d.hfgR.TextMatrix(1, 0), "|追加1");
    host.mouseDownCell(d.hfgR, 1, 1, RightButton);
    EXPECT_FALSE(d.cmd.Visible());
    host.mouseDownCell(d.hfgR, 1, 1, LeftButton);
    host.mouseDownCell(d.hfgR, 1, 1, RightButton);
    EXPECT_TRUE(d.cmd.Visible());
    host.act([&] { d.Unload(); });
    frmMach& payable = dialogFromVoucher(false, "1150315001", "5000", true);
    ASSERT_EQ(payable.lstRio.ListCount(), 1);
    EXPECT_EQ(payable.lstRio.List(0, 0), "115031004");
    host.act([&] { payable.Unload(); });
    AccDb().Execute("DELETE FROM ro");
    AccDb().Execute("DELETE FROM ri加");
    host.expectMessage("無應收付可沖帳");
    EXPECT_EQ(dialogFromVoucher(true, "1150315001", "5000", true).lstRio.ListCount(), 0);
}

// By keyboard: the arrows choose the row they reach, in either grid, and show 確定沖帳 beside it;
// an empty row is passed over without a message; Space and Enter choose as a press does. From the
// contract form the row reached is the voucher 確定 settles with, and Enter settles with it at
// once.
TEST_F(SettlementTest, TheRowToSettleIsChosenByKeyboard) {
    contractOfProject(true, "115031001", "大樓", true);
    frmMach& d = dialogFromVoucher(true, "1150315001", "20000", true);
    host.act([&] { d.hfgC.userFocus(); });
    host.act([&] { d.hfgC.userKeyDown(Key::Down); });
    EXPECT_FALSE(d.cmd.Visible()) << "nothing picked: the empty row is passed over";
    host.pick(d.lstRio, 0);
    const struct {
        Grid* grid;
        int key;
        char32_t typed;
        int row;
        int64_t planned;
    } steps[] = {{&d.hfgC, Key::Down, 0, 2, 20000},
                 {&d.hfgC, Key::Up, 0, 1, 10000},
                 {&d.hfgR, Key::Down, 0, 2, 6000},
                 {&d.hfgC, 0, U' ', 1, 10000},
                 {&d.hfgR, 0, Key::Enter, 2, 6000}};
    for (const auto& step : steps) {
        host.act([&] {
            step.grid->userFocus();
            if (step.key)
                step.grid->userKeyDown(step.key);
            else
                step.grid->userKey(step.typed);
        });
        EXPECT_TRUE(d.cmd.Visible());
        EXPECT_EQ(d.ChosenIsInstalment, step.grid == &d.hfgC);
        EXPECT_EQ(d.ChosenRow, step.row);
        EXPECT_EQ(d.ChosenPlannedAmount, step.planned);
        EXPECT_EQ(d.cmd.Top(), step.grid->Top() + step.grid->RowPos(step.row) + 2 * TwipsPerPixel);
    }
    host.act([&] { d.hfgC.userKeyDown(Key::Down); });
    host.click(d.cmd);
    EXPECT_EQ(settlements("ri期")[1], "115031001|2|20,000|20000|2026/03/15|True||1150315001|True");

    signedVoucher("1150316001", false, 5000, SignedByCash);
    signedVoucher("1150316002", false, 6000, SignedByCash);
    frmRio& f = shown(true);
    settleFrom(f.schedules.hfg1, 1, [&](frmMchIo& m) {
        host.clickCell(m.hfg, 1, 1);
        host.act([&] { m.hfg.userKeyDown(Key::Down); });
        EXPECT_EQ(m.ChosenRow, 2);
        host.act([&] { m.hfg.userKeyDown(Key::Down); });
        host.expectMessage("沖帳金額與預付金額不符\n是否沖帳？", AnswerYes);
        host.act([&] { m.hfg.userKey(Key::Enter); });
    });
    EXPECT_EQ(settlements("ri期")[0], "115031001|1|10,000|6000|2026/03/15|True||1150316002|True");
}

TEST_F(SettlementTest, FromAVoucherDifferentAmountsAskFirst) {
    struct Case {
        const char* voucherAmount;
        int answer;
        Texts replies;
        Texts refusals;      // the second line of the prompt after each refused reply
        const char* stored;  // "" when nothing is written
    };
    const Case cases[] = {
        {"8000", AnswerYes, {}, {}, "8000"},
        {"8000", AnswerNo, {}, {}, ""},
        {"12000",
         AnswerYes,
         {"abc", "1e40", "-5", "1234567890123456", "9500"},
         {"必須是數字", "必須是數字", "沖帳金額不可為負數", "沖帳金額不可超過15位數"},
         "9500"},
        {"12000", AnswerYes, {"9,500"}, {}, "9,500"},
        {"12000", AnswerYes, {"abc", ""}, {"必須是數字"}, ""},
        {"12000", AnswerNo, {}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.voucherAmount) + " " + std::to_string(c.answer));
        for (const char* table : {"ri期", "ri加", "ri"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        contractOfProject(true, "115031001", "大樓", true);
        frmMach& d = chooseFirstInstalment("1150315001", c.voucherAmount, true);
        host.expectMessage("沖帳金額與預付金額不符\n是否沖帳？", c.answer);
        for (const std::string& reply : c.replies)
            host.answerInput(reply);
        const size_t inputsBefore = host.inputs().size();
        host.click(d.cmd);
        EXPECT_EQ(host.inputs().size() - inputsBefore, c.replies.size());
        for (size_t i = 0; i < c.replies.size(); ++i) {
            const auto& input = host.inputs()[inputsBefore + i];
            EXPECT_EQ(input.prompt, i == 0 ? "填入沖帳金額" : "填入沖帳金額\n" + c.refusals[i - 1]);
            EXPECT_EQ(input.defaultText, "10000");
        }
        EXPECT_EQ(settlements("ri期")[0], *c.stored
                                              ? "115031001|1|10,000|" + std::string(c.stored) +
                                                    "|2026/03/15|True||1150315001|True"
                                              : "115031001|1|10,000|||False|||False");
        EXPECT_EQ(Forms::isLoaded<frmMach>(), !*c.stored);
        if (Forms::isLoaded<frmMach>()) host.act([&] { d.Unload(); });
    }
}

TEST_F(SettlementTest, FromAChequeVoucherTheChequeThatPaidItIsWritten) {
    AddChequeRow(ChequeRow{.voucherNo = "1150315001", .number = "AA0001"});
    AddChequeRow(ChequeRow{.voucherNo = "1150315009", .number = "BB0002"});
    AccDb().Execute("INSERT INTO iofs VALUES ('1150315009', '1150315002')");  // combined cheque
    for (auto [voucher, cheque] :
         {std::pair{"1150315001", "AA0001"}, {"1150315002", "BB0002"}, {"1150315003", ""}}) {
        SCOPED_TRACE(voucher);
        for (const char* table : {"ri期", "ri加", "ri"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        contractOfProject(true, "115031001", "大樓", true);
        host.click(chooseFirstInstalment(voucher, "10000", false).cmd);
        EXPECT_EQ(settlements("ri期")[0], "115031001|1|10,000|10000|2026/03/15|False|" +
                                              std::string(cheque) + "|" + voucher + "|True");
    }
}

TEST_F(SettlementTest, FromAnExpenseVoucherAPayableAdditionIsSettled) {
    contractOfProject(false);
    const Texts instalments = settlements("ro期");
    frmMach& d =
        dialogFromVoucher(false, "1150316001", "5000", true, "中華民國 115 年 03 月 16 日");
    host.pick(d.lstRio, 0);
    host.mouseDownCell(d.hfgR, 1, 3, LeftButton);
    host.click(d.cmd);
    EXPECT_EQ(settlements("ro加")[0], "115031001|1|5,000|5000|2026/03/16|True||1150316001|True");
    EXPECT_EQ(settlements("ro期"), instalments);
    EXPECT_EQ(rows(AccDb(), "SELECT 報價單號, 合約單號, 預付日, 發票號碼 FROM ro加 WHERE 期別 = 1"),
              Texts{"Q|K|2026/12/27|INV"});
}

// Copy B rewrites the contract's schedules (three open instalments become two, the open additions
// go) after the dialog counted the open instalments and before it read them: the dialog shows the
// file as it was before, whole, and a new pick shows it as B left it, never a mix of the two.
TEST_F(SettlementTest, FromAVoucherTheOpenRowsAreShownAsOneStateOfTheFile) {
    contractOfProject(true, "115031001", "大樓", true);
    AddScheduleRow("ri期", "115031001", 3, "30,000");
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmMach& d = dialogFromVoucher(true, "1150315001", "40000", true);
    {
        WhenGridTakesRows rewrite(d.hfgC, 4, [&] {
            copyB->Execute("DELETE FROM ri加");
            copyB->Execute("DELETE FROM ri期 WHERE 期別 = 3");
            copyB->Execute("UPDATE ri期 SET 預付金 = '30,000' WHERE 期別 = 2");
        });
        host.pick(d.lstRio, 0);
        ASSERT_TRUE(rewrite.done);
    }
    EXPECT_EQ(GridColumn(d.hfgC, 1, 1), (Texts{"10,000", "20,000", "30,000"}));
    EXPECT_EQ(GridColumn(d.hfgR, 3, 1), (Texts{"5,000", "6,000"}));
    host.act([&] { d.lstRio_Click(); });
    EXPECT_EQ(GridColumn(d.hfgC, 1, 1), (Texts{"10,000", "30,000"}));
    EXPECT_EQ(GridColumn(d.hfgR, 3, 1), Texts{""});
}

// The row went, or copy B settled it, meanwhile: nothing is written, the user is told, and the
// dialog shows what is open now.
TEST_F(SettlementTest, FromAVoucherARowGoneOrSettledMeanwhileIsNotSettled) {
    auto copyB = Database::open(AccDb().path(), accSchema());
    struct Case {
        Sql change;
        const char* told;
        const char* firstOpen;
    };
    const Case cases[] = {
        {"DELETE FROM ri期 WHERE 期別 = 1", "此期別已不存在，未沖帳\n請重新選取", "2期"},
        {"UPDATE ri期 SET 實收金 = '1', 收支單號 = '1150101009', 處理 = 1 WHERE 期別 = 1",
         "此筆資料已被其他使用者變更，請重新讀取", "2期"},
    };
    for (const Case& c : cases) {
        for (const char* table : {"ri期", "ri加", "ri"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        contractOfProject(true, "115031001", "大樓", true);
        frmMach& d = chooseFirstInstalment("1150315001", "10000", true);
        copyB->Execute(c.change);
        const std::string before = dumpTables(AccDb());
        host.expectMessage(c.told);
        host.click(d.cmd);
        EXPECT_EQ(dumpTables(AccDb()), before);
        ASSERT_TRUE(Forms::isLoaded<frmMach>());
        EXPECT_FALSE(d.cmd.Visible());
        EXPECT_EQ(d.lstRio.Value() + "|" + d.hfgC.TextMatrix(1, 0),
                  "115031001|" + std::string(c.firstOpen));
        host.act([&] { d.Unload(); });
    }
}

TEST_F(SettlementTest, FromTheContractTheSignedVouchersOfTheProjectAndDirectionAreListed) {
    signedVoucher("1150315003", false, 20000, SignedByCashedCheque);
    signedVoucher("1150315001", false, 20000, SignedByCash);
    signedVoucher("1150315002", false, 20000, SignedByCheque);
    for (int state : {CashSuggested, ChequeSuggested, VoidVoucher, CashedIncome, CashedExpense})
        signedVoucher("11503160" + std::to_string(10 - state), false, 1, state);
    signedVoucher("1150317001", true, 20000, SignedByCash);  // an expense
    signedVoucher("1150317002", false, 20000, SignedByCash, "大樓二期");
    signedVoucher("1150317003", false, 20000, SignedByCash, "大樓", "P2");
    contractOfProject(true);
    frmRio& f = shown(true);
    settleFrom(f.schedules.hfg1, 2, [&](frmMchIo& d) {
        EXPECT_EQ(listed(d), (Texts{"1150315001 現金", "1150315002 票據", "1150315003 票據"}));
        EXPECT_EQ(d.hfg.TextMatrix(1, 2) + "|" + d.hfg.TextMatrix(1, 11), "20,000|115/03/15");
        host.click(d.Command2);
    });
    EXPECT_EQ(SettleAmount + "|" + std::to_string(SettlePeriod), "20,000|2");
    EXPECT_TRUE(SettleIsInstalment && SettleReceivable);
}

TEST_F(SettlementTest, FromTheContractAQuoteInTheProjectNameIsJustAName) {
    signedVoucher("1150315001", true, 6000, SignedByCash, "O'Neil 大樓");
    contractOfProject(false, "115031001", "O'Neil 大樓");
    frmRio& f = shown(false);
    settleFrom(f.schedules.hfgAm1, 1, [&](frmMchIo& d) {
        EXPECT_EQ(listed(d), Texts{"1150315001 現金"});
        host.clickCell(d.hfg, 1, 4);
        host.expectMessage("沖帳金額與預付金額不符\n是否沖帳？", AnswerYes);
        host.answerInput("5,5OO");
        host.answerInput("5500");
        host.click(d.Command1);
    });
    EXPECT_EQ(host.inputs().back().prompt, "填入沖帳金額\n必須是數字");
    EXPECT_EQ(settlements("ro加")[0], "115031001|1|5,000|5500|2026/03/15|True||1150315001|True");
    EXPECT_EQ(f.schedules.hfgAm1.TextMatrix(1, 0), "5,500");
    EXPECT_FALSE(SettleIsInstalment);
}

TEST_F(SettlementTest, FromTheContractAChequeVoucherSettlesTheInstalmentShown) {
    signedVoucher("1150315001", false, 20000, SignedByCheque);
    AddChequeRow(ChequeRow{.voucherNo = "1150315001", .number = "AA0001"});
    contractOfProject(true);
    frmRio& f = shown(true);
    const Texts additions = settlements("ri加");
    host.act([&] { f.schedules.hfg.SetTextMatrix(1, 1, "99,999"); });
    settleFrom(f.schedules.hfg1, 2, [&](frmMchIo& d) { host.dblClickCell(d.hfg, 1, 1); });
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(settlements("ri期")[1],
              "115031001|2|20,000|20000|2026/03/15|False|AA0001|1150315001|True");
    EXPECT_EQ(settlements("ri加"), additions);
    EXPECT_EQ(f.schedules.hfg1.TextMatrix(2, 0) + "|" + f.schedules.hfg1.TextMatrix(2, 4) + "|" +
                  f.schedules.hfg.TextMatrix(1, 1),
              "20,000|1150315001|10,000");
}

TEST_F(SettlementTest, FromTheContractNothingIsWrittenWithoutAChosenVoucherAfterNoOrACancel) {
    signedVoucher("1150315001", false, 18000, SignedByCash);
    contractOfProject(true);
    frmRio& f = shown(true);
    const std::string before = dumpTables(AccDb());
    settleFrom(f.schedules.hfg1, 2, [&](frmMchIo& d) {
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
    EXPECT_EQ(dumpTables(AccDb()), before);
}

// The instalment went, or copy B settled it, while the dialog was open; copy B settled the settled
// one again while the contract form showed the first: neither A's settlement nor A's clearing is
// written, the user is told, and the contract form shows what is stored.
TEST_F(SettlementTest, FromTheContractASettlementChangedMeanwhileIsNeitherMadeNorClearedOver) {
    signedVoucher("1150315001", false, 20000, SignedByCash);
    contractOfProject(true);
    frmRio& f = shown(true);
    auto copyB = Database::open(AccDb().path(), accSchema());
    std::string leftByB;
    settleFrom(f.schedules.hfg1, 2, [&](frmMchIo& d) {
        copyB->Execute(
            "UPDATE ri期 SET 實收金 = '20,000', 收支單號 = '1150101009', 處理 = 1 WHERE 期別 = 2");
        leftByB = dumpTables(AccDb());
        host.clickCell(d.hfg, 1, 1);
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(d.Command1);
        EXPECT_TRUE(d.IsUnloaded());
    });
    EXPECT_EQ(dumpTables(AccDb()), leftByB);
    EXPECT_EQ(f.schedules.hfg1.TextMatrix(2, 0) + "|" + f.schedules.hfg1.TextMatrix(2, 4),
              "20,000|1150101009");

    copyB->Execute("UPDATE ri期 SET 收支單號 = '1150101008' WHERE 期別 = 1");
    leftByB = dumpTables(AccDb());
    host.choosePopupEntry("mdel");
    host.expectMessage("確定刪除", AnswerYes);
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.mouseUpCell(f.schedules.hfg1, 1, 0, RightButton);
    EXPECT_EQ(dumpTables(AccDb()), leftByB);
    EXPECT_EQ(f.schedules.hfg1.TextMatrix(1, 4), "1150101008");

    AccDb().Execute("UPDATE ri期 SET 處理 = 0 WHERE 期別 = 2");
    host.act([&] { f.FSB_Change(); });
    settleFrom(f.schedules.hfg1, 2, [&](frmMchIo& d) {
        AccDb().Execute("DELETE FROM ri期 WHERE 期別 = 2");
        leftByB = dumpTables(AccDb());
        host.expectMessage("此期別已不存在，未沖帳");
        host.dblClickCell(d.hfg, 1, 1);
        EXPECT_TRUE(d.IsUnloaded());
    });
    EXPECT_EQ(dumpTables(AccDb()), leftByB);
    EXPECT_EQ(f.schedules.hfg.Rows(), 2);
}

// Copy B changes the voucher copy A settles with, while A shows it: its cheque voided (the
// voucher's amount 0), the voucher voided, its amount changed. A's settlement writes nothing and A
// is told. A cheque cashed meanwhile changes nothing A was shown, and A settles.
TEST_F(SettlementTest, AVoucherChangedByAnotherCopyMeanwhileSettlesNothing) {
    auto copyB = Database::open(AccDb().path(), accSchema());
    struct Case {
        const char* name;
        std::function<void()> change;
        bool settles;
    };
    const Case cases[] = {
        {"cheque voided", [&] { ZeroVoucherAmount(*copyB, "1150315001"); }, false},
        {"voucher voided", [&] { copyB->Execute("UPDATE iof SET 方式 = -3"); }, false},
        {"amount changed", [&] { copyB->Execute("UPDATE iof SET 金額 = 19000"); }, false},
        {"cheque cashed", [&] { copyB->Execute("UPDATE iof SET 方式 = 3"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* table : {"iof", "ri期", "ri加", "ri"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        signedVoucher("1150315001", false, 20000, SignedByCheque);
        contractOfProject(true);
        frmRio& f = shown(true);
        std::string leftByB;
        settleFrom(f.schedules.hfg1, 2, [&](frmMchIo& d) {
            EXPECT_EQ(listed(d), Texts{"1150315001 票據"});
            c.change();
            leftByB = dumpTables(AccDb());
            if (!c.settles) host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
            host.dblClickCell(d.hfg, 1, 1);
            EXPECT_TRUE(d.IsUnloaded());
        });
        if (c.settles) {
            EXPECT_EQ(settlements("ri期")[1],
                      "115031001|2|20,000|20000|2026/03/15|False||1150315001|True");
        } else {
            EXPECT_EQ(dumpTables(AccDb()), leftByB);
            EXPECT_EQ(f.schedules.hfg1.TextMatrix(2, 0), "");
        }
        host.act([&] { f.Unload(); });
    }
    // From the voucher form too: the dialog stays, showing the row still open.
    for (const char* table : {"ri期", "ri加", "ri"})
        AccDb().Execute("DELETE FROM " + AccDb().Table(table));
    contractOfProject(true, "115031002", "大樓", true);
    frmMach& d = chooseFirstInstalment("1150315009", "10000", true);
    ZeroVoucherAmount(*copyB, "1150315009");
    const std::string leftByB = dumpTables(AccDb());
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(d.cmd);
    EXPECT_EQ(dumpTables(AccDb()), leftByB);
    ASSERT_TRUE(Forms::isLoaded<frmMach>());
    EXPECT_EQ(d.hfgC.TextMatrix(1, 0), "1期");
}

// A row stored settled without a received amount shows its receipt all the same: the menu offers
// to clear it, which opens the row, and never to settle it over.
TEST_F(SettlementTest, ASettledRowWithoutAReceivedAmountIsClearedNotSettledOver) {
    contractOfProject(true);
    AccDb().Execute("UPDATE ri期 SET 實收金 = '' WHERE 期別 = 1");
    frmRio& f = shown(true);
    EXPECT_EQ(GridRow(f.schedules.hfg1, 1), (Texts{"", "115/12/20", "支票", "CK1", "1150101001"}));
    host.choosePopupEntry("mdel");
    host.expectMessage("確定刪除", AnswerYes);
    host.mouseUpCell(f.schedules.hfg1, 1, 0, RightButton);
    EXPECT_EQ(host.popups().back().entries,
              (std::vector<std::pair<std::string, bool>>{{"mdel", true}, {"mMach", false}}));
    EXPECT_EQ(host.messages().size(), 1u) << "no conflict";
    EXPECT_EQ(settlements("ri期")[0], "115031001|1|10,000|||False|||False");
    EXPECT_EQ(GridRow(f.schedules.hfg1, 1), (Texts{"", "", "", "", ""}));
}

// A deleted row takes its receipt with it; the later rows move up one period, receipts and all,
// and the earlier ones keep theirs.
TEST_F(SettlementTest, DeletingAnInstalmentRenumbersOnlyTheLaterOnes) {
    contractOfProject(true);
    AddScheduleRow("ri期", "115031001", 3, "30,000", "1150101003");
    AddScheduleRow("ri期", "115031001", 4, "40,000");
    frmRio& f = shown(true);
    deleteRow(f.schedules.hfg, 2, AnswerNo);
    deleteRow(f.schedules.hfg, 2);
    EXPECT_EQ(settlements("ri期"),
              (Texts{"115031001|1|10,000|10,000|2026/12/20|False|CK1|1150101001|True",
                     "115031001|2|30,000|30,000|2026/12/20|False|CK1|1150101003|True",
                     "115031001|3|40,000|||False|||False"}));
    EXPECT_EQ(f.schedules.hfg.TextMatrix(2, 0) + "|" + f.schedules.hfg1.TextMatrix(2, 4),
              "第2期|1150101003");
    EXPECT_EQ(f.schedules.hfg.Rows(), 4);
    deleteRow(f.schedules.hfg, 3);
    deleteRow(f.schedules.hfg, 1);
    EXPECT_EQ(settlements("ri期"),
              Texts{"115031001|1|30,000|30,000|2026/12/20|False|CK1|1150101003|True"});
}

TEST_F(SettlementTest, ClearingAReceiptOpensItsRowAgainAndTouchesItsSixFieldsOnly) {
    contractOfProject(true);
    contractOfProject(false);
    frmRio& f = shown(true);
    deleteRow(f.schedules.hfg1, 1);
    EXPECT_EQ(rows(AccDb(), "SELECT * FROM ri期 WHERE 期別 = 1"),
              Texts{"115031001|1|10,000|2026/12/27|50.00%||INV|||False|||False"});
    const Texts receivables = settlements("ri加");
    host.click(f.optO);
    deleteRow(f.schedules.hfgAm1, 2);
    EXPECT_EQ(settlements("ro加")[1], "115031001|2|6,000|||False|||False");
    EXPECT_EQ(rows(AccDb(),
                   "SELECT 報價單號, 合約單號, 預付日, 發票號碼, typeof(實收日) FROM ro加 "
                   "WHERE 期別 = 2"),
              Texts{"Q|K|2026/12/27|INV|null"});
    EXPECT_EQ(f.schedules.hfgAm1.TextMatrix(2, 0), "");
    EXPECT_EQ(settlements("ri加"), receivables);
    // Open again, it is offered for settling from a voucher.
    frmMach& d = dialogFromVoucher(false, "1150316001", "6000", true);
    host.pick(d.lstRio, 0);
    EXPECT_EQ(d.hfgR.TextMatrix(2, 0), "追加2");
}

TEST_F(SettlementTest, DeletingAReductionOrAnAdditionIsAllOrNothing) {
    contractOfProject(true);
    AccDb().Execute(
        "INSERT INTO ri減 (id, 期別, 報價單號, 合約單號, 金額) VALUES "
        "('115031001', 1, 'a', 'b', '100'), ('115031001', 2, 'c', 'd', '200')");
    frmRio& f = shown(true);
    deleteRow(f.schedules.hfgM, 1);
    EXPECT_EQ(rows(AccDb(), "SELECT 期別, 金額 FROM ri減"), Texts{"1|200"});
    ExpectEachWriteFailureLeavesTheBooks(host, {&AccDb()}, [&] {
        host.forgetAnswers();
        host.choosePopupEntry("mdel");
        host.answerMessage(AnswerYes);
        host.answerMessage(AnswerOk);
        host.mouseUpCell(f.schedules.HfgAM, 1, 0, RightButton);
    });
    EXPECT_EQ(rows(AccDb(), "SELECT 期別, 金額 FROM ri加"), Texts{"1|6,000"});
}

// A row command shows every grid as stored afterwards. With 第1期's invoice number typed and not
// saved, deleting a reduction, clearing an addition's receipt or settling an addition from a
// voucher first asks about the instalments: Yes saves them and runs the command, a refused save
// stops it with the edits kept, No drops them and runs it. A save refused because copy B changed
// the instalments meanwhile stops it too: the user is told once, and the instalments show as
// stored. No to the deletion itself leaves everything, the edits included.
TEST_F(SettlementTest, ARowCommandAsksFirstAboutEditsTypedInAnotherGrid) {
    enum Answer { DeletionNo, SaveRefused, SaveConflict, SaveNo, SaveYes };
    struct Command {
        const char* name;
        const char* entry;
        Grid ContractSchedules::*grid;
        int row;
        Sql effect;
    };
    const Command commands[] = {
        {"deleting a reduction", "mdel", &ContractSchedules::hfgM, 1, "SELECT COUNT(*) FROM ri減"},
        {"clearing a receipt", "mdel", &ContractSchedules::hfgAm1, 2,
         "SELECT 處理 FROM ri加 WHERE 期別 = 2"},
        {"settling from a voucher", "mMach", &ContractSchedules::hfgAm1, 1,
         "SELECT 處理 FROM ri加 WHERE 期別 = 1"},
    };
    auto copyB = Database::open(AccDb().path(), accSchema());
    for (const Command& c : commands) {
        const bool deletes = std::string(c.entry) == "mdel";
        for (Answer answer : {DeletionNo, SaveRefused, SaveConflict, SaveNo, SaveYes}) {
            if (answer == DeletionNo && !deletes) continue;
            static const char* const answerNames[] = {"no to the deletion", "save refused",
                                                      "save refused for copy B's change",
                                                      "no to the save", "yes to the save"};
            SCOPED_TRACE(std::string(c.name) + ", " + answerNames[answer]);
            for (const char* table : {"iof", "ri", "ri期", "ri加", "ri減"})
                AccDb().Execute("DELETE FROM " + AccDb().Table(table));
            contractOfProject(true);
            AccDb().Execute("INSERT INTO ri減 (id, 期別, 金額) VALUES ('115031001', 1, '1,000')");
            signedVoucher("1150315001", false, 5000, SignedByCash);
            frmRio& f = shown(true);
            host.click(f.schedules.cmdEc);
            host.mouseUpCell(f.schedules.hfg, 1, 5, LeftButton);
            host.type(f.schedules.txt, "inv9");
            if (answer == SaveRefused) host.act([&] { f.schedules.hfg.SetTextMatrix(2, 2, ""); });
            if (answer == SaveConflict)
                copyB->Execute("UPDATE ri期 SET 發票號碼 = 'B' WHERE 期別 = 2");
            const std::string before = dumpTables(AccDb());
            const Texts effectBefore = rows(AccDb(), c.effect);
            const bool runs = answer == SaveNo || answer == SaveYes;
            const bool editsKept = answer == DeletionNo || answer == SaveRefused;
            host.choosePopupEntry(c.entry);
            if (deletes)
                host.expectMessage("確定刪除", answer == DeletionNo ? AnswerNo : AnswerYes);
            if (answer != DeletionNo)
                host.expectMessage("期數修改中是否儲存?", answer == SaveNo ? AnswerNo : AnswerYes);
            if (answer == SaveRefused) host.expectMessage("請填入金額及應付日期");
            if (answer == SaveConflict)
                host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
            if (runs && !deletes)
                host.onModal<frmMchIo>([&](frmMchIo& d) { host.dblClickCell(d.hfg, 1, 1); });
            Grid& grid = f.schedules.*c.grid;
            host.mouseDownCell(grid, c.row, 0, RightButton);
            host.mouseUpCell(grid, c.row, 0, RightButton);

            EXPECT_EQ(rows(AccDb(), c.effect) != effectBefore, runs);
            if (!runs) {
                EXPECT_EQ(dumpTables(AccDb()), before);
            }
            EXPECT_EQ(
                rows(AccDb(), "SELECT 發票號碼 FROM ri期 ORDER BY 期別"),
                (Texts{answer == SaveYes ? "INV9" : "INV", answer == SaveConflict ? "B" : "INV"}));
            EXPECT_EQ(f.schedules.hfg.TextMatrix(1, 5) + "|" + f.schedules.hfg.TextMatrix(2, 5),
                      answer == SaveNo         ? "INV|INV"
                      : answer == SaveConflict ? "INV|B"
                                               : "INV9|INV");
            EXPECT_EQ(f.schedules.hfg.TextMatrix(2, 2), answer == SaveRefused ? "" : "115/12/27");
            EXPECT_EQ(f.schedules.InstalmentsEditing, editsKept);
            EXPECT_EQ(f.schedules.cmdAcSv.Enabled(), editsKept);
            EXPECT_EQ(f.schedules.txt.Visible(), editsKept) << "no editor over the grids shown";
            host.act([&] { f.Unload(); });
        }
    }
}

// While the instalments are edited, 第2期's receipt still offers to settle it. The amount handed to
// the dialog is read after the question: with 25,000 typed over 20,000, No hands over the stored
// 20,000 and Yes the saved 25,000, which the voucher of 20,000 then settles after the question
// about the difference. A row added and dropped was never stored: no dialog, nothing written.
TEST_F(SettlementTest, TheReceiptMenuWhileItsPlanIsEditedHandsOverTheAmountAsStored) {
    signedVoucher("1150315001", false, 20000, SignedByCash);
    contractOfProject(true);
    frmRio& f = shown(true);
    const auto typeAmount = [&](int row) {
        host.click(f.schedules.cmdEc);
        host.mouseUpCell(f.schedules.hfg, row, 1, LeftButton);
        host.type(f.schedules.txt, "25000");
    };
    const auto rightClickReceipt = [&](int row) {
        host.mouseDownCell(f.schedules.hfg1, row, 0, RightButton);
        host.mouseUpCell(f.schedules.hfg1, row, 0, RightButton);
    };
    for (int answer : {AnswerNo, AnswerYes}) {
        typeAmount(2);
        std::string handedOver;
        host.onModal<frmMchIo>([&](frmMchIo& d) {
            handedOver = SettleAmount;
            if (answer == AnswerNo) {
                host.click(d.Command2);
                return;
            }
            host.expectMessage("沖帳金額與預付金額不符\n是否沖帳？", AnswerYes);
            host.dblClickCell(d.hfg, 1, 1);
        });
        host.choosePopupEntry("mMach");
        host.expectMessage("期數修改中是否儲存?", answer);
        rightClickReceipt(2);
        ASSERT_FALSE(host.popups().empty()) << "the receipt row offers its menu";
        EXPECT_EQ(host.popups().back().entries,
                  (std::vector<std::pair<std::string, bool>>{{"mdel", false}, {"mMach", true}}));
        EXPECT_EQ(handedOver, answer == AnswerNo ? "20,000" : "25,000");
        EXPECT_FALSE(f.schedules.InstalmentsEditing);
    }
    EXPECT_EQ(settlements("ri期")[1], "115031001|2|25,000|20000|2026/03/15|True||1150315001|True");
    EXPECT_EQ(f.schedules.hfg.TextMatrix(2, 1) + "|" + f.schedules.hfg1.TextMatrix(2, 0),
              "25,000|20,000");

    const std::string before = dumpTables(AccDb());
    host.click(f.schedules.cmdAc);
    typeAmount(3);
    host.choosePopupEntry("mMach");
    host.expectMessage("期數修改中是否儲存?", AnswerNo);
    host.expectMessage("此期別已不存在，未沖帳");
    rightClickReceipt(3);
    EXPECT_EQ(dumpTables(AccDb()), before);
    EXPECT_EQ(f.schedules.hfg.Rows(), 3);
}

// Each grid being edited is asked about in turn, each as the user answers: the additions saved,
// the reductions dropped, and then the instalment's receipt cleared.
TEST_F(SettlementTest, ARowCommandAsksAboutEachGridBeingEdited) {
    contractOfProject(true);
    AccDb().Execute(
        "INSERT INTO ri減 (id, 期別, 報價單號, 金額) VALUES ('115031001', 1, 'Q', '1,000')");
    frmRio& f = shown(true);
    host.click(f.schedules.cmdEa);
    host.mouseUpCell(f.schedules.HfgAM, 1, 1, LeftButton);
    host.type(f.schedules.txtA, "Q9");
    host.click(f.schedules.cmdEm);
    host.mouseUpCell(f.schedules.hfgM, 1, 1, LeftButton);
    host.type(f.schedules.txtM, "R9");
    host.choosePopupEntry("mdel");
    host.expectMessage("確定刪除", AnswerYes);
    host.expectMessage("追加修改中是否儲存?", AnswerYes);
    host.expectMessage("追減修改中是否儲存?", AnswerNo);
    host.mouseDownCell(f.schedules.hfg1, 1, 0, RightButton);
    host.mouseUpCell(f.schedules.hfg1, 1, 0, RightButton);
    EXPECT_EQ(rows(AccDb(), "SELECT 報價單號 FROM ri加 UNION ALL SELECT 報價單號 FROM ri減"),
              (Texts{"Q9", "Q", "Q"}));
    EXPECT_EQ(settlements("ri期")[0], "115031001|1|10,000|||False|||False");
    EXPECT_EQ(f.schedules.HfgAM.TextMatrix(1, 1) + "|" + f.schedules.hfgM.TextMatrix(1, 1), "Q9|Q");
    EXPECT_FALSE(f.schedules.Editing());
}

// Copy A shows instalments 1 (300,000) and 2 (700,000); copy B deletes 第1期, and 700,000 becomes
// number 1. A's command on its row 1 (delete it, clear its receipt, settle it from the contract or
// from the voucher form) finds another row under that number: it writes nothing, and A is told.
TEST_F(SettlementTest, ARowCommandActsOnlyOnTheRowAsShown) {
    auto copyB = Database::open(AccDb().path(), accSchema());
    const auto showTwoInstalments = [&](const char* firstVoucher, const char* secondVoucher) {
        for (const char* table : {"iof", "ri", "ri期", "ri加"})
            AccDb().Execute("DELETE FROM " + AccDb().Table(table));
        signedVoucher("1150315001", false, 300000, SignedByCash);
        AddContract("ri", "115031001");
        AccDb().Execute("UPDATE ri SET 專id = 'P1', 專名 = '大樓'");
        AddScheduleRow("ri期", "115031001", 1, "300,000", firstVoucher, "30.00%");
        AddScheduleRow("ri期", "115031001", 2, "700,000", secondVoucher, "70.00%");
    };
    const auto deleteFirstInB = [&] {
        copyB->Execute("DELETE FROM ri期 WHERE 期別 = 1");
        copyB->Execute("UPDATE ri期 SET 期別 = 期別 - 1");
        return dumpTables(AccDb());
    };
    struct Case {
        const char* command;
        const char* firstVoucher;
        const char* secondVoucher;
    };
    for (const Case& c : {Case{"delete", "", "1150101002"},
                          Case{"clear", "1150101002", "1150101002"}, Case{"settle", "", ""}}) {
        SCOPED_TRACE(c.command);
        showTwoInstalments(c.firstVoucher, c.secondVoucher);
        frmRio& f = shown(true);
        const std::string command = c.command;
        if (command == "settle") {
            settleFrom(f.schedules.hfg1, 1, [&](frmMchIo& d) {
                const std::string leftByB = deleteFirstInB();
                host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
                host.dblClickCell(d.hfg, 1, 1);
                EXPECT_EQ(dumpTables(AccDb()), leftByB);
            });
        } else {
            const std::string leftByB = deleteFirstInB();
            host.choosePopupEntry("mdel");
            host.expectMessage("確定刪除", AnswerYes);
            host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
            host.mouseUpCell(command == "delete" ? f.schedules.hfg : f.schedules.hfg1, 1, 0,
                             RightButton);
            EXPECT_EQ(dumpTables(AccDb()), leftByB);
        }
        EXPECT_EQ(GridColumn(f.schedules.hfg, 1), Texts{"700,000"}) << "shown as stored";
        host.act([&] { f.Unload(); });
    }
    // From the voucher form: the dialog stays and shows what is open now.
    showTwoInstalments("", "");
    frmMach& d = chooseFirstInstalment("1150315009", "300000", true);
    const std::string leftByB = deleteFirstInB();
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(d.cmd);
    EXPECT_EQ(dumpTables(AccDb()), leftByB);
    EXPECT_EQ(GridRow(d.hfgC, 1, 0, 1), (Texts{"1期", "700,000"}));
}

// An older file numbers the instalments 1, 3 and 5. Each command of the grids acts on the stored
// row its grid row shows, by that row's number: clearing the receipt of 第3期, settling 第5期 from
// the contract, deleting 第1期 (the later rows move down one number, gaps and all).
TEST_F(SettlementTest, RowCommandsFindTheRowsOfAFileWithGapsByTheirNumbers) {
    signedVoucher("1150315001", false, 50000, SignedByCash);
    AddContract("ri", "115031001");
    AccDb().Execute("UPDATE ri SET 專id = 'P1', 專名 = '大樓'");
    AddScheduleRow("ri期", "115031001", 1, "10,000");
    AddScheduleRow("ri期", "115031001", 3, "30,000", "1150101003");
    AddScheduleRow("ri期", "115031001", 5, "50,000");
    frmRio& f = shown(true);
    EXPECT_EQ(GridColumn(f.schedules.hfg, 0), (Texts{"第1期", "第3期", "第5期"}));
    deleteRow(f.schedules.hfg1, 2);
    settleFrom(f.schedules.hfg1, 3, [&](frmMchIo& d) { host.dblClickCell(d.hfg, 1, 1); });
    EXPECT_EQ(SettlePeriod, 5);
    EXPECT_EQ(settlements("ri期"),
              (Texts{"115031001|1|10,000|||False|||False", "115031001|3|30,000|||False|||False",
                     "115031001|5|50,000|50000|2026/03/15|True||1150315001|True"}));
    deleteRow(f.schedules.hfg, 1);
    EXPECT_EQ(rows(AccDb(), "SELECT 期別, 預付金, 處理 FROM ri期 ORDER BY 期別"),
              (Texts{"2|30,000|False", "4|50,000|True"}));
    EXPECT_EQ(GridColumn(f.schedules.hfg1, 0), (Texts{"", "50,000"}));
}

}  // namespace

#include <gtest/gtest.h>

#include "ledger/BankBook.h"
#include "shell/Schema.h"
#include "tests/cheques/ChequeBook.h"
#include "tests/support/TableDump.h"
#include "tests/support/WriteFaults.h"

using namespace kiv;
using namespace kiv::test;

namespace {

class ChequeProcessingTest : public ChequeBook {
  protected:
    // Allows processing and chooses the option; the answers are queued by the test.
    void choose(frmBill& form, int option) {
        host.click(form.cmdOp);
        host.click(form.Oop(option));
    }
    void confirm(const std::string& caption, int answer = AnswerYes) {
        host.expectMessage("確定處理此票據為[" + caption + "]", answer);
    }
    // Processes the cheque of `key` as `option`, a failure told and answered; the form then
    // shows the cheque unprocessed and no longer allows processing.
    int processEachWriteFailing(const std::string& key, int option) {
        return ExpectEachWriteFailureLeavesTheBooks(host, {&AccDb()}, [&] {
            frmBill& form = openCheque(key);
            host.forgetAnswers();
            host.answerMessage(AnswerYes);
            host.answerMessage(AnswerOk);
            choose(form, option);
            if (billState(key) == "0") {
                EXPECT_TRUE(host.messages().back().text.starts_with("票據處理失敗,資料未變更"));
                EXPECT_TRUE(form.Oop(0).Value());
                EXPECT_FALSE(form.FrmOp.Enabled());
            }
            form.Unload();
        });
    }
};

// A received cheque due on D with two days' delay may be drawn from D+2; with none, on D. An
// issued cheque is cashed from its due date on. The cashed ones go into their accounts on their
// due date, each account numbered apart.
TEST_F(ChequeProcessingTest, AChequeIsCashedFromItsUsableOrDueDateOn) {
    const Date due = day(2026, 12, 6);
    struct Case {
        bool received;
        int delay;
        int daysAfterDue;
        bool cashed;
    } cases[] = {{true, 2, 0, false}, {true, 2, 1, false},   {true, 2, 2, true},
                 {true, 0, 0, true},  {false, 0, -1, false}, {false, 0, 0, true}};
    int n = 0;
    for (const Case& c : cases) {
        const std::string key = "R" + std::to_string(++n);
        addVoucher(key, 1000, !c.received);
        Cheque stored = cheque(key, 1000, c.received, due);
        if (c.received) stored.usableDate = due.addDays(c.delay);
        addCheque(stored);
        setToday(due.addDays(c.daysAfterDue));
        frmBill& form = openCheque(key);
        if (c.cashed)
            confirm("兌   現");
        else
            host.expectMessage(c.received ? "票據未到可用日\r\n不可兌現"
                                          : "票據未到期\r\n不可兌現");
        choose(form, 1);
        EXPECT_EQ(billState(key), c.cashed ? "1" : "0") << key;
        EXPECT_EQ(form.FrmOp.Enabled(), !c.cashed) << key;
        form.Unload();
    }
    EXPECT_EQ(bankBook(),
              (Texts{"1|001-1|台灣銀行|True|2026/12/06|1000|收入票據兌現|CK-R3|1000",
                     "2|001-1|台灣銀行|True|2026/12/06|1000|收入票據兌現|CK-R4|2000",
                     "1|002-4|土地銀行|False|2026/12/06|1000|支出票據兌現|CK-R6|-1000"}));
    EXPECT_EQ(FollowUpStandIn::asked, (Texts{"R3", "R4", "R6"}));
}

// The cheque account holds its opening amount plus its booked balance: one dollar short is
// refused, the amount exactly is enough. A bank name is a value like any other, whatever it holds.
TEST_F(ChequeProcessingTest, AnIssuedChequeTheAccountCannotCoverIsRefused) {
    AddChequeAccount("O'Neil 銀行", "12'3", 3000);
    AddBankRow(1, "O'Neil 銀行", "12'3", true, day(2026, 11, 1), 6999, 6999);
    addVoucher("A1", 10000);
    Cheque issued = cheque("A1", 10000, false, today());
    issued.drawerBank = "O'Neil 銀行";
    issued.drawerAccount = "12'3";
    addCheque(issued);
    frmBill& form = openCheque("A1");
    host.expectMessage("支票存款的餘額不足,無法兌現\r\n餘額為 9,999");
    choose(form, 1);
    EXPECT_EQ(host.messages().back().style, 16);
    EXPECT_TRUE(form.Oop(0).Value());
    EXPECT_TRUE(form.FrmOp.Enabled());
    EXPECT_EQ(billState("A1"), "0");

    AddBankRow(2, "O'Neil 銀行", "12'3", true, day(2026, 11, 2), 1, 7000);
    confirm("兌   現");
    choose(form, 1);
    EXPECT_EQ(billState("A1"), "1");
    EXPECT_EQ(bankBook().back(),
              "3|12'3|O'Neil 銀行|False|2026/12/06|10000|支出票據兌現|CK-A1|-3000");
}

// The balance is read again under the write lock: another copy cashing another cheque of the
// account while the question is on the screen leaves this one refused when the account no longer
// covers it (3,000 less 2,000 leaves 1,000 for 2,000), and cashed when it still does.
TEST_F(ChequeProcessingTest, AnAccountSpentByAnotherCopyMeanwhileIsReadAgainBeforeCashing) {
    auto copyB = Database::open(AccDb().path(), accSchema());
    struct Case {
        int64_t spentByB;
        bool cashed;
    } cases[] = {{2000, false}, {1000, true}};
    int n = 0;
    for (const Case& c : cases) {
        const std::string mine = "A" + std::to_string(++n), theirs = "B" + std::to_string(n);
        SCOPED_TRACE(mine);
        for (const auto& [key, amount] : {std::pair{mine, int64_t{2000}}, {theirs, c.spentByB}}) {
            addVoucher(key, amount);
            addCheque(cheque(key, amount, false, today()));
        }
        frmBill& form = openCheque(mine);
        std::string leftByB;
        host.expectMessage("確定處理此票據為[兌   現]", AnswerYes, [&] {
            SetChequeState(*copyB, theirs, ChequeUnprocessed, ChequeCashed);
            PostBankBookRow(*copyB, {"土地銀行", "002-4", c.spentByB, false, today(),
                                     "支出票據兌現", "CK-" + theirs});
            leftByB = dumpTables(AccDb());
        });
        if (!c.cashed) host.expectMessage("支票存款的餘額不足,無法兌現\r\n餘額為 1,000");
        choose(form, ChequeCashed);
        EXPECT_EQ(billState(mine), c.cashed ? "1" : "0");
        if (!c.cashed) {
            EXPECT_EQ(dumpTables(AccDb()), leftByB);
            // Refused as before the question: the first option chosen, the frame still usable,
            // so another choice asks at once.
            EXPECT_TRUE(form.Oop(ChequeUnprocessed).Value());
            EXPECT_TRUE(form.FrmOp.Enabled());
            host.expectMessage("確定處理此票據為[作   廢]", AnswerNo);
            host.click(form.Oop(ChequeVoided));
            EXPECT_TRUE(form.Oop(ChequeUnprocessed).Value());
        }
        EXPECT_EQ(bankBook().back().find("CK-" + mine) != std::string::npos, c.cashed);
        form.Unload();
        // The account is emptied back to its opening amount for the next case.
        AccDb().Execute("DELETE FROM bank");
    }
}

// Only the button allows processing: No lets the user choose again, Cancel ends it, and a
// processed cheque is refused, also when opened again.
TEST_F(ChequeProcessingTest, NothingIsProcessedBeforeTheButtonOrAfterTheCheque) {
    addVoucher("A1", 1000);
    addCheque(cheque("A1", 1000, false, today()));
    frmBill& form = openCheque("A1");
    host.act([&] { form.Oop(2).SetValue(true); });
    EXPECT_TRUE(host.messages().empty());
    host.act([&] { form.Oop(0).SetValue(true); });
    confirm("作   廢", AnswerNo);
    choose(form, 2);
    EXPECT_TRUE(form.Oop(0).Value() && form.FrmOp.Enabled());
    confirm("退   票", AnswerCancel);
    host.click(form.Oop(3));
    EXPECT_TRUE(form.Oop(0).Value());
    EXPECT_FALSE(form.FrmOp.Enabled());
    host.click(form.Oop(2));
    EXPECT_EQ(host.messages().size(), 2u);
    EXPECT_EQ(billState("A1"), "0");

    confirm("作   廢");
    choose(form, 2);
    host.expectMessage("票據已處理 不可變更");
    host.click(form.cmdOp);
    EXPECT_FALSE(form.FrmOp.Enabled());
    form.Unload();
    frmBill& again = openCheque("A1");
    EXPECT_TRUE(again.Oop(2).Value());
    host.expectMessage("票據已處理 不可變更");
    host.click(again.cmdOp);
    EXPECT_EQ(billState("A1"), "2");
}

// The voucher form showed the voucher as it was before its cheque was cashed: it is closed, once
// every write has gone through. While it holds an entry, the cashing is refused before anything
// is asked or written.
TEST_F(ChequeProcessingTest, CashingOneVouchersChequeWritesItsFollowUpAndOneBankRow) {
    addVoucher("A1", 2500);
    addCheque(cheque("A1", 2500, false, day(2026, 12, 1)));
    VoucherFormStandIn& io = voucherForm("A1", "(支出)", "2500");
    frmBill& form = openCheque("A1");
    io.unsaved = true;
    host.expectMessage("請先關閉收支單作業");
    choose(form, 1);
    EXPECT_EQ(billState("A1"), "0");
    EXPECT_EQ(vouchers(), Texts{"A1|1|2500"});
    EXPECT_EQ(Forms::find("frmIo"), &io);
    io.unsaved = false;
    form.Unload();
    EXPECT_EQ(processEachWriteFailing("A1", ChequeCashed), 4);
    EXPECT_EQ(billState("A1"), "1");
    EXPECT_EQ(vouchers(), (Texts{"1151206001|4|2500", "A1|3|2500"}));
    EXPECT_EQ(bankBook(), Texts{"1|002-4|土地銀行|False|2026/12/01|2500|支出票據兌現|CK-A1|-2500"});
    EXPECT_EQ(Forms::find("frmIo"), nullptr);
    EXPECT_FALSE(AutoVoucherFromCashing);
    EXPECT_EQ(CashingVoucherNo, "");
}

// Each voucher of a group is cashed in number order, the voucher form kept open; voiding a group
// or bouncing a received cheque zeroes its vouchers only. Every write of these may fail.
TEST_F(ChequeProcessingTest, AGroupsVouchersAreCashedOrZeroedTogetherOrNotAtAll) {
    for (const char* number : {"A1", "A2", "A3", "B1", "B2"})
        addVoucher(number, 1000);
    addVoucher("C1", 700, false);
    addCheque(cheque("A1S", 3000, false, today()));
    addCheque(cheque("B1S", 2000, false, today()));
    addCheque(cheque("C1", 700, true, today()));
    group("A1S", {"A3", "A1", "A2"});
    group("B1S", {"B1", "B2"});
    voucherForm("A1", "(支出)", "1000");

    EXPECT_EQ(processEachWriteFailing("A1S", ChequeCashed), 8);
    EXPECT_EQ(FollowUpStandIn::asked.back(), "A3");
    EXPECT_EQ(processEachWriteFailing("B1S", ChequeVoided), 3);
    EXPECT_EQ(processEachWriteFailing("C1", ChequeBounced), 2);
    EXPECT_EQ(vouchers(),
              (Texts{"1151206001|4|1000", "1151206002|4|1000", "1151206003|4|1000", "A1|3|1000",
                     "A2|3|1000", "A3|3|1000", "B1|1|0", "B2|1|0", "C1|1|0"}));
    EXPECT_EQ(bankBook(),
              Texts{"1|002-4|土地銀行|False|2026/12/06|3000|支出票據兌現|CK-A1S|-3000"});
    EXPECT_NE(Forms::find("frmIo"), nullptr);
}

// Two copies of the program: copy A shows the cheque and allows processing, copy B processes it,
// then A chooses. A's choice writes nothing (no second cashing, no void over a cashing) and the
// form shows the cheque as B left it.
TEST_F(ChequeProcessingTest, AChequeProcessedByAnotherCopyIsNotProcessedAgain) {
    auto copyB = Database::open(AccDb().path(), accSchema());
    struct Case {
        int byB;
        int byA;
        const char* caption;
    };
    const Case cases[] = {{ChequeCashed, ChequeCashed, "兌   現"},
                          {ChequeCashed, ChequeVoided, "作   廢"},
                          {ChequeVoided, ChequeCashed, "兌   現"},
                          {ChequeBounced, ChequeVoided, "作   廢"}};
    int n = 0;
    for (const Case& c : cases) {
        const std::string key = "C" + std::to_string(++n);
        SCOPED_TRACE(key);
        addVoucher(key, 1000);
        addCheque(cheque(key, 1000, false, today()));
        frmBill& form = openCheque(key);
        host.click(form.cmdOp);
        SetChequeState(*copyB, key, ChequeUnprocessed, c.byB);
        const std::string leftByB = dumpTables(AccDb());
        confirm(c.caption);
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(form.Oop(c.byA));
        EXPECT_EQ(dumpTables(AccDb()), leftByB);
        EXPECT_TRUE(host.modalShows().empty());
        EXPECT_TRUE(form.Oop(c.byB).Value());
        EXPECT_FALSE(form.FrmOp.Enabled());
        host.expectMessage("票據已處理 不可變更");
        host.click(form.cmdOp);
        form.Unload();
    }
}

// A voucher the generated-voucher form cannot find fails the whole cashing.
TEST_F(ChequeProcessingTest, AFailureWhileCashingLeavesEverythingAsItWas) {
    addCheque(cheque("A1", 400, false, today()));
    frmBill& form = openCheque("A1");
    confirm("兌   現");
    host.expectMessage("票據處理失敗,資料未變更\r\n收支單 A1 不存在");
    choose(form, 1);
    EXPECT_EQ(billState("A1"), "0");
    EXPECT_EQ(bankBook(), Texts{});
    EXPECT_TRUE(form.Oop(0).Value());
    EXPECT_FALSE(form.FrmOp.Enabled());
}

}  // namespace

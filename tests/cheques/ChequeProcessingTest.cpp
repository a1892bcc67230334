#include <gtest/gtest.h>

#include "ledger/BankBook.h"
#include "shell/Schema.h"
#include "tests/cheques/ChequeBook.h"
#include "tests/support/TableDump.h"

using namespace kiv;

namespace {

class ChequeProcessingTest : public test::ChequeBook {
  protected:
    // Allows processing and chooses the option; the answers are queued by the test.
    void choose(frmBill& form, int option) {
        host.click(form.cmdOp);
        host.click(form.Oop(option));
    }
    void confirm(const std::string& caption, int answer = AnswerYes) {
        host.expectMessage("確定處理此票據為[" + caption + "]", answer);
    }
    static void bankRow(const std::string& bank, const std::string& account, int64_t id,
                        int64_t bala) {
        AccDb().Execute("INSERT INTO bank VALUES (?, ?, ?, 1, '2026-11-01', 1, '存入', '', ?)", id,
                        account, bank, bala);
    }
    static std::string lastBala(const std::string& bank, const std::string& account) {
        return rows(AccDb(), "SELECT bala FROM bank WHERE bank = ? AND Bid = ? ORDER BY id DESC",
                    bank, account)
            .at(0);
    }
};

// A received cheque due on D with two days' delay may be drawn from D+2; with none, on D. An
// issued cheque is cashed from its due date on.
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
        EXPECT_EQ(form.Oop(0).Value(), !c.cashed) << key;
        EXPECT_EQ(form.FrmOp.Enabled(), !c.cashed) << key;
        if (!c.cashed) {
            EXPECT_EQ(host.messages().back().style, 48);
            EXPECT_EQ(host.messages().back().title, "Kiv");
        }
        form.Unload();
    }
    // The cashed ones went into their accounts, on their due date, each account numbered apart.
    EXPECT_EQ(bankBook(),
              (Texts{"1|001-1|台灣銀行|True|2026/12/06|1000|收入票據兌現|CK-R3|1000",
                     "2|001-1|台灣銀行|True|2026/12/06|1000|收入票據兌現|CK-R4|2000",
                     "1|002-4|土地銀行|False|2026/12/06|1000|支出票據兌現|CK-R6|-1000"}));
    EXPECT_EQ(test::FollowUpStandIn::asked, (Texts{"R3", "R4", "R6"}));
}

// The cheque account holds its opening amount 3,000 plus its booked balance; a balance equal
// to the amount is enough.
TEST_F(ChequeProcessingTest, AnIssuedChequeTheAccountCannotCoverIsRefused) {
    addVoucher("A1", 10000);
    addCheque(cheque("A1", 10000, false, today()));
    addVoucher("A2", 9000);
    addCheque(cheque("A2", 9000, false, today()));
    bankRow("土地銀行", "002-4", 1, 6000);
    frmBill& form = openCheque("A1");
    host.expectMessage("支票存款的餘額不足,無法兌現\r\n餘額為 9,000");
    choose(form, 1);
    EXPECT_EQ(host.messages().back().style, 16);
    EXPECT_TRUE(form.Oop(0).Value());
    EXPECT_TRUE(form.FrmOp.Enabled());
    EXPECT_EQ(billState("A1"), "0");
    form.Unload();
    frmBill& equal = openCheque("A2");
    confirm("兌   現");
    choose(equal, 1);
    EXPECT_EQ(lastBala("土地銀行", "002-4"), "-3000");
    equal.Unload();
    frmBill& again = openCheque("A1");

    // Once more booked, the account covers it; the book may go below zero.
    bankRow("土地銀行", "002-4", 3, 7000);
    confirm("兌   現");
    choose(again, 1);
    EXPECT_EQ(billState("A1"), "1");
    EXPECT_EQ(bankBook().back(),
              "4|002-4|土地銀行|False|2026/12/06|10000|支出票據兌現|CK-A1|-3000");
}

TEST_F(ChequeProcessingTest, NoLetsTheUserChooseAgainAndCancelEndsTheProcessing) {
    addVoucher("A1", 1000);
    addCheque(cheque("A1", 1000, false, today()));
    frmBill& form = openCheque("A1");
    confirm("作   廢", AnswerNo);
    choose(form, 2);
    EXPECT_TRUE(form.Oop(0).Value());
    EXPECT_TRUE(form.FrmOp.Enabled());

    confirm("退   票", AnswerCancel);
    host.click(form.Oop(3));
    EXPECT_TRUE(form.Oop(0).Value());
    EXPECT_FALSE(form.FrmOp.Enabled());
    // Nothing but the button allows it again.
    host.click(form.Oop(2));
    EXPECT_EQ(host.messages().size(), 2u);
    EXPECT_EQ(billState("A1"), "0");
    EXPECT_EQ(vouchers(), Texts{"A1|1|1000"});
}

TEST_F(ChequeProcessingTest, NothingIsProcessedBeforeTheButtonOrAfterTheCheque) {
    addVoucher("A1", 1000);
    addCheque(cheque("A1", 1000, false, today()));
    frmBill& form = openCheque("A1");
    host.act([&] { form.Oop(2).SetValue(true); });
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(billState("A1"), "0");
    host.act([&] { form.Oop(0).SetValue(true); });

    confirm("作   廢");
    choose(form, 2);
    EXPECT_FALSE(form.FrmOp.Enabled());
    EXPECT_TRUE(form.Oop(2).Value());
    host.expectMessage("票據已處理 不可變更");
    host.click(form.cmdOp);
    EXPECT_FALSE(form.FrmOp.Enabled());
    form.Unload();

    // Opened again, the processed cheque is refused as well.
    frmBill& again = openCheque("A1");
    EXPECT_TRUE(again.Oop(2).Value());
    host.expectMessage("票據已處理 不可變更");
    host.click(again.cmdOp);
    EXPECT_EQ(billState("A1"), "2");
}

// The voucher form showed the voucher as it was before its cheque was cashed: it is closed. While
// it holds an entry, the cashing is refused before anything is asked or written.
TEST_F(ChequeProcessingTest, CashingOneVouchersChequeWritesItsFollowUpAndOneBankRow) {
    addVoucher("A1", 2500);
    addCheque(cheque("A1", 2500, false, day(2026, 12, 1)));
    test::VoucherFormStandIn& io = voucherForm("A1", "(支出)", "2500");
    frmBill& form = openCheque("A1");
    io.unsaved = true;
    host.expectMessage("請先關閉收支單作業");
    choose(form, 1);
    EXPECT_EQ(billState("A1"), "0");
    EXPECT_EQ(vouchers(), Texts{"A1|1|2500"});
    EXPECT_TRUE(form.Oop(0).Value());
    EXPECT_EQ(Forms::find("frmIo"), &io);
    io.unsaved = false;
    confirm("兌   現");
    choose(form, 1);
    EXPECT_EQ(billState("A1"), "1");
    EXPECT_EQ(vouchers(), (Texts{"1151206001|4|2500", "A1|3|2500"}));
    EXPECT_EQ(bankBook(), Texts{"1|002-4|土地銀行|False|2026/12/01|2500|支出票據兌現|CK-A1|-2500"});
    EXPECT_EQ(Forms::find("frmIo"), nullptr);
    EXPECT_FALSE(form.FrmOp.Enabled());
    EXPECT_FALSE(AutoVoucherFromCashing);
    EXPECT_EQ(CashingVoucherNo, "");
}

TEST_F(ChequeProcessingTest, CashingAGroupShowsEachVoucherInNumberOrderAndKeepsTheVoucherForm) {
    for (const char* number : {"A1", "A2", "A3"})
        addVoucher(number, 1000);
    addCheque(cheque("A1S", 3000, false, today()));
    group("A1S", {"A3", "A1", "A2"});
    voucherForm("A1", "(支出)", "1000");
    frmBill& form = openCheque("A2");
    confirm("兌   現");
    choose(form, 1);
    EXPECT_EQ(test::FollowUpStandIn::asked, (Texts{"A1", "A2", "A3"}));
    EXPECT_EQ(host.modalShows(), (Texts{"frmIoAuto", "frmIoAuto", "frmIoAuto"}));
    EXPECT_EQ(vouchers(), (Texts{"1151206001|4|1000", "1151206002|4|1000", "1151206003|4|1000",
                                 "A1|3|1000", "A2|3|1000", "A3|3|1000"}));
    EXPECT_EQ(bankBook(),
              Texts{"1|002-4|土地銀行|False|2026/12/06|3000|支出票據兌現|CK-A1S|-3000"});
    EXPECT_NE(Forms::find("frmIo"), nullptr);
}

TEST_F(ChequeProcessingTest, VoidingAGroupZeroesItsMembersOnly) {
    for (const char* number : {"A1", "A2", "A3"})
        addVoucher(number, 1000);
    addCheque(cheque("A1S", 2000, false, day(2027, 1, 1)));
    group("A1S", {"A1", "A2"});
    frmBill& form = openCheque("A1S");
    confirm("作   廢");
    choose(form, 2);
    EXPECT_EQ(billState("A1S"), "2");
    EXPECT_EQ(vouchers(), (Texts{"A1|1|0", "A2|1|0", "A3|1|1000"}));
    EXPECT_EQ(bankBook(), Texts{});
    EXPECT_TRUE(host.modalShows().empty());
}

TEST_F(ChequeProcessingTest, BouncingAReceivedChequeZeroesItsVoucher) {
    addVoucher("B1", 700, false);
    addCheque(cheque("B1", 700, true, day(2027, 1, 1)));
    voucherForm("B1", "(收入)", "700");
    frmBill& form = openCheque("B1");
    confirm("退   票");
    choose(form, 3);
    EXPECT_EQ(billState("B1"), "3");
    EXPECT_EQ(vouchers(), Texts{"B1|1|0"});
    EXPECT_NE(Forms::find("frmIo"), nullptr);
}

// A bank name is a value like any other, whatever it holds.
TEST_F(ChequeProcessingTest, ABankNameWithAnApostropheIsCashed) {
    AccDb().Execute("INSERT INTO bbank VALUES ('O''Neil 銀行', '12''3', '永建營造', 500)");
    addVoucher("A1", 400);
    Cheque issued = cheque("A1", 400, false, today());
    issued.drawerBank = "O'Neil 銀行";
    issued.drawerAccount = "12'3";
    addCheque(issued);
    frmBill& form = openCheque("A1");
    confirm("兌   現");
    choose(form, 1);
    EXPECT_EQ(bankBook(), Texts{"1|12'3|O'Neil 銀行|False|2026/12/06|400|支出票據兌現|CK-A1|-400"});
}

// Two copies of the program: copy A shows the cheque and allows processing, copy B processes it,
// then A chooses. A's choice writes nothing (no second bank row or follow-up voucher, no void
// over a cashing) and the form shows the cheque as B left it.
TEST_F(ChequeProcessingTest, AChequeProcessedByAnotherCopyIsNotProcessedAgain) {
    AccDb().Execute("UPDATE bbank SET ps = 100000");
    auto copyB = Database::open(AccDb().path(), accSchema());
    auto processInB = [&](const std::string& key, int state) {
        Database& db = *copyB;
        Transaction transaction(db, true);
        SetChequeState(db, key, ChequeUnprocessed, state);
        if (state == ChequeCashed) {
            SetVoucherState(db, key, SignedByCheque, SignedByCashedCheque);
            std::optional<Voucher> followUp = ReadVoucher(db, key);
            followUp->state = CashedExpense;
            followUp->entryDate = followUp->day = today();
            AddVoucher(db, *followUp);
            PostBankBookRow(
                db, {"土地銀行", "002-4", 1000, false, today(), "支出票據兌現", "CK-" + key});
        } else {
            ZeroVoucherAmount(db, key);
        }
        transaction.Commit();
    };
    struct Case {
        int byB;
        int byA;
        const char* caption;
    };
    const Case cases[] = {{ChequeCashed, ChequeCashed, "兌   現"},
                          {ChequeCashed, ChequeVoided, "作   廢"},
                          {ChequeCashed, ChequeBounced, "退   票"},
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
        processInB(key, c.byB);
        const std::string leftByB = test::dumpTables(AccDb());
        const size_t bankRows = bankBook().size();
        confirm(c.caption);
        host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
        host.click(form.Oop(c.byA));
        EXPECT_EQ(test::dumpTables(AccDb()), leftByB);
        EXPECT_EQ(bankBook().size(), bankRows);
        EXPECT_TRUE(host.modalShows().empty());
        EXPECT_TRUE(form.Oop(c.byB).Value());
        EXPECT_FALSE(form.FrmOp.Enabled());
        host.expectMessage("票據已處理 不可變更");
        host.click(form.cmdOp);
        form.Unload();
    }
    EXPECT_EQ(bankBook().size(), 3u);
    EXPECT_EQ(rows(AccDb(), "SELECT count(*) FROM iof WHERE 方式 = ?", CashedExpense), Texts{"3"});
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

#include <gtest/gtest.h>

#include "platform/db/WriteFault.h"
#include "tests/cheques/ChequeBook.h"
#include "tests/support/TableDump.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"

using namespace kiv;

namespace {

// Processing a cheque writes its state, the follow-up vouchers and the bank row together: the
// commit, and then each write in turn, is made to fail; every table must then be as it was, the
// form as after a cancel, and the cheque processed once the disk is well again.
class ChequeWriteFailureTest : public test::ChequeBook {
  protected:
    void TearDown() override {
        writefault::clear();
        ChequeBook::TearDown();
    }
    std::string books() { return test::dumpTables(AccDb()); }

    // One processing of the cheque of `key` as `option`; true when it was written.
    bool process(const std::string& key, int option, const std::string& caption,
                 bool mayFail = false) {
        frmBill& form = openCheque(key);
        host.click(form.cmdOp);
        host.expectMessage("確定處理此票據為[" + caption + "]", AnswerYes);
        if (mayFail) host.answerMessage(AnswerOk);
        size_t shown = host.messages().size();
        host.click(form.Oop(option));
        bool written = host.messages().size() == shown + 1;
        if (!written) {
            EXPECT_EQ(host.messages().size(), shown + 2);
            EXPECT_TRUE(host.messages().back().text.starts_with("票據處理失敗,資料未變更\r\n"));
            EXPECT_EQ(host.messages().back().style, 48);
            EXPECT_TRUE(form.Oop(0).Value());
            EXPECT_FALSE(form.FrmOp.Enabled());
        }
        form.Unload();
        return written;
    }

    // Learns the writes of one processing on `clean`, then fails each in turn on `failing`.
    int failEachWrite(const std::string& clean, const std::string& failing, int option,
                      const std::string& caption) {
        writefault::clear();
        EXPECT_TRUE(process(clean, option, caption));
        const int writes = writefault::writesCounted();
        const std::string before = books();
        writefault::failCommit();
        EXPECT_FALSE(process(failing, option, caption, true));
        EXPECT_EQ(books(), before) << "commit";
        for (int n = 1; n <= writes; ++n) {
            writefault::failWrite(n);
            EXPECT_FALSE(process(failing, option, caption, true)) << "write " << n;
            EXPECT_EQ(books(), before) << "write " << n;
        }
        writefault::clear();
        EXPECT_TRUE(process(failing, option, caption));
        EXPECT_NE(books(), before);
        return writes;
    }
    // Two issued cheques of 1,000 due today, each for two vouchers of 500.
    static void twoGroups() {
        for (const char* number : {"A1", "A2", "B1", "B2"})
            addVoucher(number, 500);
        addCheque(cheque("A1S", 1000, false, today()));
        addCheque(cheque("B1S", 1000, false, today()));
        group("A1S", {"A1", "A2"});
        group("B1S", {"B1", "B2"});
    }
};

// Two vouchers each: the cheque's state, two marks, two follow-ups and the bank row.
TEST_F(ChequeWriteFailureTest, CashingAGroup) {
    twoGroups();
    EXPECT_EQ(failEachWrite("A1S", "B1S", 1, "兌   現"), 6);
    EXPECT_EQ(rows(AccDb(), "SELECT 收支單號, 方式 FROM bill ORDER BY 收支單號"),
              (Texts{"A1S|1", "B1S|1"}));
    EXPECT_EQ(rows(AccDb(), "SELECT lno, bala FROM bank ORDER BY id"),
              (Texts{"CK-A1S|-1000", "CK-B1S|-2000"}));
    EXPECT_EQ(rows(AccDb(), "SELECT Count(*) FROM iof WHERE 方式 = 4"), Texts{"4"});
}

TEST_F(ChequeWriteFailureTest, VoidingAGroup) {
    twoGroups();
    EXPECT_EQ(failEachWrite("A1S", "B1S", 2, "作   廢"), 3);
    EXPECT_EQ(vouchers(), (Texts{"A1|1|0", "A2|1|0", "B1|1|0", "B2|1|0"}));
}

// The whole road through the real voucher form: an expense signed off by cheque, the cheque
// cashed, and with the bank row refused by the disk nothing changes and the program goes on.
TEST_F(ChequeWriteFailureTest, AnExpenseSignedOffByChequeIsCashed) {
    registerVoucherForms();
    Forms::registerForm<test::FollowUpStandIn>();
    AccDb().Execute("INSERT INTO acc VALUES ('5102', 0, '材料費')");
    addVoucher("1151206001", 2000, true, -2);
    frmIo& io = Forms::get<frmIo>();
    ASSERT_EQ(io.lbNo.Caption(), "1151206001");
    host.onModal<frmBill>([&](frmBill& bill) {
        EXPECT_EQ(bill.lbIo.Caption(), "開 出 票 據");
        EXPECT_EQ(bill.lbCash.Caption(), "2000");
        host.pickDate(bill.DTP1, today());
        host.pick(bill.cbWbnk, 0);
        host.type(bill.txtBillNo, "KC-1");
        host.click(bill.cmdSv);
    });
    host.click(io.ck);
    host.click(io.optA(1));
    host.click(io.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 票據號碼, 收支單號, 方式, arDay FROM bill"),
              Texts{"KC-1|1151206001|0|2026/12/06"});
    EXPECT_EQ(vouchers(), Texts{"1151206001|1|2000"});

    const std::string before = books();
    frmBill& failing = openCheque("1151206001");
    host.click(failing.cmdOp);
    host.expectMessage("確定處理此票據為[兌   現]", AnswerYes);
    host.answerMessage(AnswerOk);
    writefault::failWrite(4);  // the state, the mark, the follow-up, then the bank row
    host.click(failing.Oop(1));
    writefault::clear();
    EXPECT_TRUE(host.messages().back().text.starts_with("票據處理失敗,資料未變更\r\n"));
    EXPECT_EQ(books(), before);
    EXPECT_NE(Forms::find("frmIo"), nullptr);

    host.expectMessage("確定處理此票據為[兌   現]", AnswerYes);
    host.click(failing.cmdOp);
    host.click(failing.Oop(1));
    EXPECT_EQ(rows(AccDb(), "SELECT 方式 FROM bill"), Texts{"1"});
    EXPECT_EQ(vouchers(), (Texts{"1151206001|3|2000", "1151206002|4|2000"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 單號, 輸入日期 FROM iof WHERE 方式 = 4"),
              Texts{"1151206002|2026/12/06"});
    EXPECT_EQ(bankBook(), Texts{"1|002-4|土地銀行|False|2026/12/06|2000|支出票據兌現|KC-1|-2000"});
    EXPECT_EQ(Forms::find("frmIo"), nullptr);
}

}  // namespace

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/db/WriteFault.h"
#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// Every save of the voucher form writes its rows all or nothing: the commit, and then each write
// in turn, is made to fail; every table must then be as it was, the failure shown, and the form
// must go on to save once the disk is well again.
class VoucherWriteFailureTest : public test::VoucherBook {
  protected:
    void TearDown() override {
        writefault::clear();
        VoucherBook::TearDown();
    }

    std::string books() { return test::dumpTables(AccDb()); }

    // One save with the switch armed; true when the books are as they were before it. A save
    // that failed leaves the form ready to save again or browsing; `prepare` starts it anew.
    bool saveFailing(frmIo& form, const std::function<void()>& prepare,
                     const std::function<void()>& arm, const std::string& before) {
        if (!form.cmdSv.Enabled()) prepare();
        arm();
        host.answerMessage(AnswerOk);
        size_t shown = host.messages().size();
        host.click(form.cmdSv);
        EXPECT_EQ(host.messages().size(), shown + 1);
        if (host.messages().size() > shown) {
            EXPECT_EQ(host.messages().back().style, 16);
        }
        return books() == before;
    }

    // The writes of one save, learnt on a clean save of another voucher first; each is then
    // failed in turn on the voucher the form shows. A failure after the books are committed (in
    // the print table) ends the loop with the save done, which the test then checks.
    int failEachWrite(frmIo& form, const std::function<void()>& prepare) {
        writefault::clear();
        prepare();
        host.click(form.cmdSv);
        const int writes = writefault::writesCounted();
        const std::string before = books();
        EXPECT_TRUE(saveFailing(
            form, prepare, [] { writefault::failCommit(); }, before));
        int rolledBack = 0;
        bool saved = false;
        for (int n = 1; n <= writes && !saved; ++n) {
            saved = !saveFailing(
                form, prepare, [n] { writefault::failWrite(n); }, before);
            if (!saved) ++rolledBack;
        }
        writefault::clear();
        if (!saved) {
            if (!form.cmdSv.Enabled()) prepare();
            host.click(form.cmdSv);
        }
        EXPECT_NE(books(), before);
        EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
        return rolledBack;
    }

    void enterExpense(frmIo& form) {
        host.click(form.cmdAdd);
        host.type(form.cbUse, "工地材料");
        host.pick(form.cbAcc, 1);
        host.type(form.txtCash, "12000");
    }
};

TEST_F(VoucherWriteFailureTest, ANewVoucher) {
    frmIo& form = openForm();
    EXPECT_GT(failEachWrite(form, [&] { enterExpense(form); }), 0);
    EXPECT_EQ(rows(AccDb(), "SELECT 單號, 金額 FROM iof"),
              (Texts{"1151206001|12000", "1151206002|12000"}));
    EXPECT_EQ(form.lbNo.Caption(), "1151206002");
}

TEST_F(VoucherWriteFailureTest, AModification) {
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    auto modify = [&] {
        host.click(form.cmdEdit);
        host.type(form.cbPs1, "改");
    };
    EXPECT_GT(failEachWrite(form, modify), 0);
    EXPECT_EQ(rows(AccDb(), "SELECT 附註一 FROM iof"), Texts{"附一改改"});
}

// The clean save signs A2 off; the failing ones sign A1.
TEST_F(VoucherWriteFailureTest, TheSignOffByCashWritesTheVoucherAndTheCashBookTogether) {
    addVoucher({.number = "A1", .amount = 300});
    addVoucher({.number = "A2"});
    frmIo& form = openForm();
    bool first = true;
    auto signOff = [&] {
        if (!std::exchange(first, false)) host.scroll(form.FSB, 0);
        host.click(form.ck);
    };
    EXPECT_GT(failEachWrite(form, signOff), 0);
    EXPECT_EQ(rows(AccDb(), "SELECT 方式 FROM iof ORDER BY 單號"), (Texts{"0", "0"}));
    EXPECT_EQ(rows(AccDb(), "SELECT lno, bala FROM cash ORDER BY id"),
              (Texts{"A2|-1000", "A1|-1300"}));
}

// The cheque form records its cheque inside the voucher form's save; the voucher is signed in
// the same transaction.
TEST_F(VoucherWriteFailureTest, TheSignOffByChequeWritesTheVoucherAndTheChequeTogether) {
    Forms::registerForm("frmBill", [] {
        struct ChequeForm : Form {
            ChequeForm() : Form("frmBill") {}
        };
        return std::make_unique<ChequeForm>();
    });
    host.onEveryModal("frmBill", [](Form& bill) {
        Transaction transaction(AccDb());
        AccDb().Execute("INSERT INTO bill (票據號碼, 收支單號, 方式) VALUES ('C', ?, 0)",
                        Forms::get<frmIo>().lbNo.Caption());
        transaction.Commit();
        BillEntryCancelled = false;
        bill.Unload();
    });
    addVoucher({.number = "A1", .state = -2, .suggestion = -2});
    addVoucher({.number = "A2", .state = -2, .suggestion = -2});
    frmIo& form = openForm();
    bool first = true;
    auto signOff = [&] {
        if (!std::exchange(first, false)) host.scroll(form.FSB, 0);
        host.click(form.cmdEdit);
        host.type(form.cbPs1, "改");
        host.click(form.ck);
    };
    EXPECT_GT(failEachWrite(form, signOff), 0);
    EXPECT_EQ(rows(AccDb(), "SELECT 方式, 附註一 FROM iof ORDER BY 單號"),
              (Texts{"1|附一改", "1|附一改"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 收支單號 FROM bill ORDER BY rowid"), (Texts{"A2", "A1"}));
}

}  // namespace

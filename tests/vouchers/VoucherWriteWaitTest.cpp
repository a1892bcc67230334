#include <gtest/gtest.h>

#include "ledger/ChequeGroups.h"
#include "ledger/Vouchers.h"
#include "tests/support/HeldWriteLock.h"
#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;
using namespace kiv::test;
using namespace std::chrono_literals;

namespace {

// Another copy's short save holds acc.mdb or pt.mdb while this copy writes it: the write waits its
// turn and is stored, and nobody is told the file is busy.
class VoucherWriteWaitTest : public VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        for (const char* number : {"A1", "A2", "A3"})
            addVoucher({.number = number});
    }
    // Another copy saves a word of its own into the second note list.
    std::unique_ptr<HeldWriteLock> booksHeld(std::chrono::milliseconds hold = 300ms) {
        return std::make_unique<HeldWriteLock>(
            AccDb().path(), accSchema(), Sql("INSERT INTO ps2 VALUES (9, '另一個程式的字')"), hold);
    }
    void typeNewUse(frmIo& form, const std::string& word) {
        host.type(form.cbUse, word);
        host.focus(form.txtCash);
    }
};

TEST_F(VoucherWriteWaitTest, TheBarMovesAndTheWordIsAddedOnceAnotherCopysSaveEnds) {
    frmIo& form = openForm();
    {
        HeldWriteLock held(PrintDb().path(), printSchema(), "DELETE FROM ptios", 300ms);
        host.scroll(form.FSB, 0);
        EXPECT_GE(held.heldFor(), 250ms);
    }
    EXPECT_EQ(form.lbNo.Caption(), "A1");
    EXPECT_EQ(printField(1), "A1");

    host.click(form.cmdAdd);
    {
        auto held = booksHeld();
        host.expectMessage("沒有此用途說明是否加入?", AnswerYes);
        typeNewUse(form, "新的用途");
        EXPECT_GE(held->heldFor(), 250ms);
    }
    EXPECT_EQ(rows(AccDb(), "SELECT use FROM use WHERE id = 1"), Texts{"新的用途"});
    EXPECT_EQ(rows(AccDb(), "SELECT ps FROM ps2"), Texts{"另一個程式的字"});
}

// A voucher's state changed, its amount zeroed, a combined cheque's group recorded.
TEST_F(VoucherWriteWaitTest, TheVoucherWritesOfTheLedgerWaitTheirTurn) {
    auto held = booksHeld();
    SetVoucherState(AccDb(), "A1", CashSuggested, SignedByCheque);
    EXPECT_GE(held->heldFor(), 250ms);
    held = booksHeld();
    ZeroVoucherAmount(AccDb(), "A2");
    held = booksHeld();
    RecordChequeGroup(AccDb(), "G1", {{"A3", 1000}});
    held.reset();
    EXPECT_EQ(rows(AccDb(), "SELECT 單號, 方式, 金額 FROM iof ORDER BY 單號"),
              (Texts{"A1|1|1000", "A2|-1|0", "A3|1|1000"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 多單號, 單號 FROM iofs"), Texts{"G1|A3"});
}

// The only case that waits out the whole busy timeout: the user is told once it is over, and the
// word list, of which the addition writes two statements, is as it was.
TEST_F(VoucherWriteWaitTest, ALockHeldPastTheWaitIsToldAndLeavesNothingHalfWritten) {
    for (Database* db : {&AccDb(), &PrintDb(), &PeopleDb()})
        EXPECT_EQ(rows(*db, "PRAGMA busy_timeout"), Texts{"5000"}) << db->path();
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    const std::string before = dumpTables(AccDb());
    {
        auto held = booksHeld(5300ms);
        host.expectMessage("沒有此用途說明是否加入?", AnswerYes);
        host.expectMessage("acc.mdb 正由另一個程式寫入中，請稍後再試\ndatabase is locked");
        const auto start = std::chrono::steady_clock::now();
        typeNewUse(form, "新的用途");
        EXPECT_GE(std::chrono::steady_clock::now() - start, 4900ms);
        EXPECT_EQ(dumpTables(AccDb()), before);
    }
    AccDb().Execute("DELETE FROM ps2 WHERE id = 9");
    EXPECT_EQ(dumpTables(AccDb()), before);
}

}  // namespace

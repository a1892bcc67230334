#include <gtest/gtest.h>

#include "cheques/frmBB.h"
#include "shell/Schema.h"
#include "tests/cheques/ChequeBook.h"
#include "tests/support/HeldWriteLock.h"

using namespace kiv;
using namespace kiv::test;
using namespace std::chrono_literals;

namespace {

// Another copy's short save holds acc.mdb or pt.mdb while this copy writes a cheque or the cheque
// list's print tables: each write waits its turn and is stored, and nobody is told the file is
// busy.
class ChequeWriteWaitTest : public ChequeBook {
  protected:
    std::unique_ptr<HeldWriteLock> booksHeld() {
        return std::make_unique<HeldWriteLock>(AccDb().path(), accSchema(),
                                               Sql("INSERT INTO ps2 VALUES (9, '另一個程式的字')"),
                                               300ms);
    }
};

TEST_F(ChequeWriteWaitTest, AChequeAddedAndProcessedWaitsForAnotherCopysSave) {
    addVoucher("V1", 1000, false);
    auto held = booksHeld();
    addCheque(cheque("V1", 1000, true, day(2026, 12, 20)));
    EXPECT_GE(held->heldFor(), 250ms);
    held = booksHeld();
    SetChequeState(AccDb(), "V1", 0, 1);
    held.reset();
    EXPECT_EQ(rows(AccDb(), "SELECT 收支單號, 方式 FROM bill"), Texts{"V1|1"});
}

TEST_F(ChequeWriteWaitTest, TheListsPrintTablesWaitForAnotherCopysSave) {
    addVoucher("V1", 1000, false);
    addCheque(cheque("V1", 1000, true, today()));
    frmBB& form = Forms::get<frmBB>();
    {
        HeldWriteLock held(PrintDb().path(), printSchema(), "DELETE FROM seday", 300ms);
        host.click(form.opt(1));
        host.click(form.Command1);
        EXPECT_GE(held.heldFor(), 250ms);
    }
    EXPECT_EQ(rows(PrintDb(), "SELECT count(*) FROM bip"), Texts{"1"});
    EXPECT_EQ(rows(PrintDb(), "SELECT count(*) FROM seday"), Texts{"1"});
}

}  // namespace

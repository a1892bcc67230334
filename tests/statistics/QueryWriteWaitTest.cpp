#include <gtest/gtest.h>

#include "shell/Schema.h"
#include "statistics/frmCash.h"
#include "tests/statistics/VoucherBook.h"
#include "tests/support/HeldWriteLock.h"

using namespace kiv;
using namespace kiv::test;
using namespace std::chrono_literals;

namespace {

class QueryWriteWaitTest : public VoucherBook {};

// The query fills its print table as it opens; another copy's short save of pt.mdb meanwhile makes
// it wait its turn, and nobody is told the file is busy.
TEST_F(QueryWriteWaitTest, ThePrintTableWaitsForAnotherCopysSave) {
    AddVoucherRow(Income("1150301001", day(2026, 3, 1), 10000));
    {
        HeldWriteLock held(PrintDb().path(), printSchema(), "DELETE FROM seday", 300ms);
        host.act([] { Forms::get<frmCash>(); });
        EXPECT_GE(held.heldFor(), 250ms);
    }
    EXPECT_EQ(rows(PrintDb(), "SELECT 收支單號 FROM ptio WHERE 收支單號 <> ''"),
              Texts{"1150301001"});
}

}  // namespace

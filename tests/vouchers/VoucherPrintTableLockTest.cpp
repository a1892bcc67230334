#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/db/RawAccess.h"
#include "shell/Schema.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Another copy of the program holds the print table while this copy writes it: the user is told,
// and the form goes on as if the write had not been tried.
class VoucherPrintTableLockTest : public VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        addThreeVouchersWaitingBrieflyForPrintTable();
    }
    std::unique_ptr<Database> otherCopy = Database::open(folder.file("pt.mdb"), printSchema());
};

TEST_F(VoucherPrintTableLockTest, AFormThatCouldNotOpenCountsAsClosed) {
    {
        Transaction holding(*otherCopy, TransactionKind::Writes);
        host.expectMessage(PrintTableBusy);
        host.act([] { Forms::showByName("frmIo", Modeless); });
    }
    EXPECT_EQ(Forms::find("frmIo"), nullptr);
    EXPECT_FALSE(VoucherFormOpen);
}

TEST_F(VoucherPrintTableLockTest, TheBarAndTheVoucherShownStayTogether) {
    frmIo& form = openForm();
    {
        Transaction holding(*otherCopy, TransactionKind::Writes);
        host.expectMessage(PrintTableBusy);
        host.scroll(form.FSB, 0);
    }
    host.scroll(form.FSB, 1);
    EXPECT_EQ(form.lbNo.Caption(), "A2");
}

}  // namespace

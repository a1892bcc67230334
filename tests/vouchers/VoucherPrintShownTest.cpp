#include <string>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/db/RawAccess.h"
#include "shell/Schema.h"
#include "tests/support/PreviewMeanwhile.h"
#include "tests/support/WriteAtStatement.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Another copy of the program on the same folder shares pt.mdb, and writes its own voucher into
// the print table whenever it shows one.
class VoucherPrintShownTest : public VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        addThreeVouchersWaitingBrieflyForPrintTable();
        sqlite3_busy_timeout(RawAccess::handle(*otherCopy), 20);
    }
    void otherCopyShowsItsVoucher() {
        Transaction transaction(*otherCopy, TransactionKind::Writes);
        otherCopy->Execute("DELETE FROM ptios");
        otherCopy->Execute("INSERT INTO ptios (單號, 金額) VALUES ('B9', '999')");
        otherCopy->Execute("UPDATE company SET ion = '別人的標題'");
        transaction.Commit();
    }
    std::string printedNumber() const {
        const TableRows& rows = output.printed().back().job.data.detail;
        return rows.rows.size() == 1 ? rows.rows[0][1].text()
                                     : "rows: " + std::to_string(rows.rows.size());
    }
    std::string printedTitle() const {
        return output.printed().back().job.data.values.at("company.ion").text();
    }
    std::unique_ptr<Database> otherCopy = Database::open(folder.file("pt.mdb"), printSchema());
};

// The bar moved to A1 while another copy held pt.mdb: the table kept A3. A print while the
// table is still held is told and prints nothing; once it is free, the print is of A1.
TEST_F(VoucherPrintShownTest, AfterAMoveWhosePrintTableWriteFailedThePrintIsOfTheVoucherShown) {
    frmIo& form = openForm();
    {
        Transaction holding(*otherCopy, TransactionKind::Writes);
        host.expectMessage(PrintTableBusy);
        host.scroll(form.FSB, 0);
        ASSERT_EQ(form.lbNo.Caption(), "A1");
        host.expectMessage(PrintTableBusy);
        host.rightClick(form.cmdPt);
        EXPECT_TRUE(output.printed().empty());
    }
    ASSERT_EQ(printField(1), "A3");
    host.rightClick(form.cmdPt);
    ASSERT_EQ(output.printed().size(), 1u);
    EXPECT_EQ(printedNumber(), "A1");
    EXPECT_EQ(printField(1), "A1");
}

// The other copy writes its voucher and title during the left button's pause, and again while
// this copy's preview is up: what this copy printed is its own voucher under its own title, and
// the print's transaction was over before the preview, so the other copy's write went through.
TEST_F(VoucherPrintShownTest, AnotherCopysPrintTableWritesNeverReachThisCopysPrint) {
    PreviewMeanwhile preview(output, [this] { otherCopyShowsItsVoucher(); });
    frmIo& form = openForm();
    host.scroll(form.FSB, 1);
    form.txtIo.SetText("支出傳票");
    host.onWait([this] { otherCopyShowsItsVoucher(); });
    host.click(form.cmdPt);
    ASSERT_EQ(output.printed().size(), 1u);
    EXPECT_EQ(printedNumber(), "A2");
    EXPECT_EQ(printedTitle(), "支出傳票");
    EXPECT_EQ(printField(1), "B9");

    host.rightClick(form.cmdPt);
    ASSERT_EQ(output.printed().size(), 2u);
    EXPECT_EQ(printedNumber(), "A2");
    EXPECT_EQ(printedTitle(), "支出傳票");
}

// The other copy writes its voucher and title as each statement of this copy's print on pt.mdb
// begins, one print for each, by either button. Where it lands (before the print's transaction
// begins) and where it finds the file held, this copy prints its own voucher under its own
// title: the print's write and its read are one transaction, with no moment between them.
TEST_F(VoucherPrintShownTest, AnotherCopysPrintTableWriteAtAnyStatementOfThePrintNeverReachesIt) {
    frmIo& form = openForm();
    host.scroll(form.FSB, 1);
    form.txtIo.SetText("支出傳票");
    for (const bool left : {true, false}) {
        int landed = 0, held = 0;
        for (int at = 0;; ++at) {
            SCOPED_TRACE(std::string(left ? "left" : "right") + " button, statement " +
                         std::to_string(at));
            const size_t printed = output.printed().size();
            WriteAtStatement meanwhile(PrintDb(), at, [this] { otherCopyShowsItsVoucher(); });
            if (left)
                host.click(form.cmdPt);
            else
                host.rightClick(form.cmdPt);
            if (!meanwhile.reached()) break;
            ASSERT_EQ(output.printed().size(), printed + 1);
            EXPECT_EQ(meanwhile.fault, "") << meanwhile.statement;
            EXPECT_EQ(printedNumber(), "A2") << meanwhile.statement;
            EXPECT_EQ(printedTitle(), "支出傳票") << meanwhile.statement;
            ++(meanwhile.landed ? landed : held);
        }
        EXPECT_GT(landed, 0);
        EXPECT_GT(held, 0);
    }
}

}  // namespace

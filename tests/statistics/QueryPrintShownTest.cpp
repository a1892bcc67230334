#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/db/RawAccess.h"
#include "shell/Schema.h"
#include "statistics/frmCash.h"
#include "tests/statistics/VoucherBook.h"
#include "tests/support/PreviewMeanwhile.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Another copy of the program on the same folder runs its own query, which refills the shared
// print table, after this copy's query and again while this copy's preview is up.
class QueryPrintShownTest : public VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        sqlite3_busy_timeout(RawAccess::handle(*otherCopy), 20);
        AddVoucherRow(Income("1150301001", day(2026, 3, 1), 10000));
        AddVoucherRow(Expense("1150302001", day(2026, 3, 2), 3000));
    }
    void otherCopyQueries() {
        Transaction transaction(*otherCopy, TransactionKind::Writes);
        otherCopy->Execute("DELETE FROM ptio");
        otherCopy->Execute("INSERT INTO ptio (收支單號) VALUES ('B9')");
        transaction.Commit();
    }
    // The voucher number of each row the report read.
    Texts printedNumbers() const {
        Texts numbers;
        for (const auto& row : printer.printed().back().job.data.detail.rows)
            numbers.push_back(row[1].text());
        return numbers;
    }
    std::unique_ptr<Database> otherCopy = Database::open(folder.file("pt.mdb"), printSchema());
};

TEST_F(QueryPrintShownTest, ThePrintIsOfTheListShownWhateverAnotherCopyWroteMeanwhile) {
    frmCash& form = Forms::get<frmCash>();
    const Texts shown = GridColumn(form.hfg, 2);
    ASSERT_EQ(shown.size(), 11u);
    ASSERT_EQ(shown[1], "1150302001");
    PreviewMeanwhile preview(printer, [this] { otherCopyQueries(); });
    otherCopyQueries();
    host.click(form.cmdPrt);
    ASSERT_EQ(printer.printed().size(), 1u);
    EXPECT_EQ(printedNumbers(), shown);

    // A query that finds nothing prints nothing, not the other copy's rows.
    host.pick(form.cbRu, form.cbRu.FindEntry("申請人"));
    host.click(form.cmdSer);
    otherCopyQueries();
    host.click(form.cmdPrt);
    ASSERT_EQ(printer.printed().size(), 2u);
    EXPECT_EQ(printedNumbers(), Texts{});
}

}  // namespace

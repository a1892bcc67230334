#include <gtest/gtest.h>
#include <sqlite3.h>

#include "cheques/frmBB.h"
#include "platform/db/RawAccess.h"
#include "shell/Schema.h"
#include "tests/cheques/ChequeBook.h"
#include "tests/support/PreviewMeanwhile.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Another copy of the program on the same folder runs its own cheque queries, which refill the
// shared print tables between this copy's query and its sort or print, and while this copy's
// preview is up.
class ChequeListPrintShownTest : public ChequeBook {
  protected:
    void SetUp() override {
        ChequeBook::SetUp();
        sqlite3_busy_timeout(RawAccess::handle(*otherCopy), 20);
        addCheque(cheque("W1", 5000, false, day(2026, 12, 20)));
        addCheque(cheque("W2", 7000, false, day(2026, 12, 21)));
        addVoucher("R1", 900, false);
        addCheque(cheque("R1", 900, true, day(2026, 12, 15)));
    }
    void otherCopyQueries() {
        Database& db = *otherCopy;
        Transaction transaction(db, TransactionKind::Writes);
        for (const char* table : {"pt", "bo", "bi", "seday"})
            db.Execute(Sql("DELETE FROM ") + db.Table(table));
        db.Execute("INSERT INTO pt (票據號碼) VALUES ('X9')");
        db.Execute("INSERT INTO bo (票據號碼) VALUES ('X9')");
        db.Execute("INSERT INTO bi (票據號碼) VALUES ('X9')");
        for (const char* table : {"bop", "bip"})
            db.Execute(Sql("DELETE FROM ") + db.Table(table));
        db.Execute(
            "INSERT INTO bop (票據號碼, 處理情況, 銀行帳號, 到期日序) VALUES "
            "('X9', '未處理', '其他(9)', '2026-12-31')");
        db.Execute(
            "INSERT INTO bip (票據號碼, 處理情況, 銀行帳號, 到期日序) VALUES "
            "('X9', '未處理', '其他(9)', '2026-12-31')");
        db.Execute("INSERT INTO seday VALUES ('別人的期間')");
        transaction.Commit();
    }
    // Column `field` of each row the last report read.
    Texts printed(int field) const {
        Texts texts;
        for (const auto& row : printer.printed().back().job.data.detail.rows)
            texts.push_back(row[field].text());
        return texts;
    }
    static std::vector<Texts> summary(const frmBB& form) {
        std::vector<Texts> rows;
        for (int row = form.DetailRowCount + 2; row < form.hfg.Rows(); ++row)
            rows.push_back(GridRow(form.hfg, row, 3, 7));
        return rows;
    }
    void print(frmBB& form, int choice) {
        host.pick(form.Combo1, choice);
        otherCopyQueries();
        host.click(form.cmdPio);
    }
    PdfReportOutput printer{folder.file("")};
    std::unique_ptr<Database> otherCopy = Database::open(folder.file("pt.mdb"), printSchema());
};

TEST_F(ChequeListPrintShownTest, TheSummaryAndThePrintsAreOfTheListShown) {
    setReportOutput(&printer);
    PreviewMeanwhile preview(printer, [this] { otherCopyQueries(); });
    frmBB& form = Forms::get<frmBB>();
    const std::vector<Texts> issuedSummary{
        {"115/12/20", "土地銀行(002-4)", "未處理", "1", "5,000"},
        {"115/12/21", "土地銀行(002-4)", "未處理", "1", "7,000"}};
    ASSERT_EQ(summary(form), issuedSummary);
    otherCopyQueries();
    host.clickCell(form.hfg, 0, 9);
    host.clickCell(form.hfg, 0, 9);
    EXPECT_EQ(GridColumn(form.hfg, 1, 1, 2), (Texts{"CK-W2", "CK-W1"}));
    EXPECT_EQ(summary(form), issuedSummary);

    print(form, 0);
    ASSERT_EQ(printer.printed().size(), 1u);
    EXPECT_EQ(printed(5), (Texts{"CK-W1", "CK-W2"}));
    print(form, 1);
    ASSERT_EQ(printer.printed().size(), 2u);
    const Texts issuedList = GridColumn(form.hfg, 1);
    EXPECT_EQ(printed(0), issuedList);
    EXPECT_EQ(printer.printed().back().job.data.values.at("seday#0").text(),
              "到期日：中華民國 115/12/01～中華民國 115/12/31");

    host.click(form.opt(1));
    host.click(form.Command1);
    print(form, 0);
    ASSERT_EQ(printer.printed().size(), 3u);
    EXPECT_EQ(printed(0), GridColumn(form.hfg, 1));
    EXPECT_EQ(printed(0).at(0), "CK-R1");
    // The sign-off sheet of the last issued query, the direction switched back without a query.
    host.click(form.opt(0));
    print(form, 0);
    ASSERT_EQ(printer.printed().size(), 4u);
    EXPECT_EQ(printed(5), (Texts{"CK-W1", "CK-W2"}));
    // And the list of the last issued query, as it was sorted, though the grid shows received ones.
    print(form, 1);
    ASSERT_EQ(printer.printed().size(), 5u);
    EXPECT_EQ(printed(0), issuedList);
}

}  // namespace

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cheques/frmBB.h"
#include "platform/db/RawAccess.h"
#include "platform/report/ReportOutput.h"
#include "shell/Schema.h"
#include "tests/cheques/ChequeBook.h"
#include "tests/support/WriteAtStatement.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Issued cheques of December on the list; another copy of the program on the same folder saves
// cheques into acc.mdb and holds pt.mdb's write lock while this copy queries, sorts and prints.
class ChequeListPrintWholeTest : public ChequeBook {
  protected:
    void SetUp() override {
        ChequeBook::SetUp();
        setReportOutput(&printer);
        // The wait for pt.mdb is cut short, so that a lock held past it costs no five seconds.
        sqlite3_busy_timeout(RawAccess::handle(PrintDb()), 50);
        addCheque(cheque("W1", 1000, false, day(2026, 12, 10)));
        addCheque(cheque("W2", 2000, false, day(2026, 12, 10)));
        addCheque(cheque("W3", 3000, false, day(2026, 12, 20)));
        addCheque(cheque("W4", 4000, false, day(2026, 12, 25)));
    }
    void TearDown() override {
        setReportOutput(nullptr);
        ChequeBook::TearDown();
    }
    void otherCopySaves(const std::string& key) {
        AddCheque(*otherBooks, cheque(key, 500, false, day(2026, 12, 28)));
    }
    static Texts listed(const frmBB& form) {
        return GridColumn(form.hfg, 1, 1, form.DetailRowCount - 1);
    }
    static Texts sorted(Texts texts) {
        std::sort(texts.begin(), texts.end());
        return texts;
    }
    // Field `field` of every row of the report printed by the choice given.
    Texts printed(frmBB& form, const char* choice, int field) {
        const size_t before = printer.printed().size();
        host.pick(form.Combo1, form.Combo1.FindEntry(choice));
        host.click(form.cmdPio);
        if (printer.printed().size() == before) return {"(nothing printed)"};
        Texts texts;
        for (const auto& row : printer.printed().back().job.data.detail.rows)
            texts.push_back(row[field].text());
        return texts;
    }

    PdfReportOutput printer{folder.file("")};
    std::unique_ptr<Database> otherBooks = Database::open(folder.file("acc.mdb"), accSchema());
    std::unique_ptr<Database> otherPrints = Database::open(folder.file("pt.mdb"), printSchema());
};

// The other copy saves a cheque as each statement of the query on acc.mdb begins: the sheet
// printed holds the cheques the list shows, the new one on both or on neither.
TEST_F(ChequeListPrintWholeTest, TheSignOffSheetHoldsTheChequesTheListShows) {
    frmBB& form = Forms::get<frmBB>();
    for (int at = 0;; ++at) {
        SCOPED_TRACE("the other copy saves at statement " + std::to_string(at));
        WriteAtStatement saving(AccDb(), at, [&] { otherCopySaves("N" + std::to_string(at)); });
        host.click(form.Command1);
        if (!saving.reached()) break;
        ASSERT_LT(at, 40);
        EXPECT_EQ(saving.fault, "");
        EXPECT_EQ(printed(form, "支票簽收單", 5), listed(form));
    }
}

// The other copy takes pt.mdb as each write of a query or a sort begins and holds it past the
// wait. The user is told the file is busy, and nothing else: the list left prints whole, as shown
// or as it stood before, and the sign-off sheet holds the cheques of that list.
TEST_F(ChequeListPrintWholeTest, AQueryOrSortThatPtMdbStoppedLeavesAListThatPrintsWhole) {
    frmBB& form = Forms::get<frmBB>();
    const std::vector<std::pair<const char*, std::function<void()>>> actions{
        {"query", [&] { host.click(form.Command1); }},
        {"sort", [&] { host.clickCell(form.hfg, 0, 9); }},
    };
    for (const auto& [name, action] : actions) {
        for (int at = 0;; ++at) {
            SCOPED_TRACE(std::string(name) + " stopped at write " + std::to_string(at));
            otherBooks->Execute("DELETE FROM bill WHERE 收支單號 = 'W5'");
            host.click(form.Command1);
            const Texts before = GridColumn(form.hfg, 1), listedBefore = listed(form);
            otherCopySaves("W5");
            std::optional<Transaction> held;
            bool stopped = false;
            {
                WriteAtStatement holding(
                    PrintDb(), at, [&] { held.emplace(*otherPrints, TransactionKind::Writes); },
                    "BEGIN IMMEDIATE");
                host.answerMessage(AnswerOk);
                action();
                stopped = holding.reached();
            }
            held.reset();
            if (!stopped) {
                host.forgetAnswers();
                break;
            }
            ASSERT_LT(at, 10);
            ASSERT_EQ(host.messages().size(), 1u);
            EXPECT_EQ(host.messages()[0].text.substr(0, 6), "pt.mdb");
            host.clearMessages();

            const Texts list = printed(form, "開出票據明細", 0);
            EXPECT_TRUE(list == GridColumn(form.hfg, 1) || list == before);
            EXPECT_EQ(sorted(printed(form, "支票簽收單", 5)),
                      sorted(list == before ? listedBefore : listed(form)));
            EXPECT_TRUE(host.messages().empty());
            host.clearMessages();
        }
    }
}

}  // namespace

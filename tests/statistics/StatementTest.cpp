#include <gtest/gtest.h>

#include "platform/xlsx/Workbook.h"
#include "statistics/frmLW.h"
#include "tests/statistics/VoucherBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
using namespace kiv::test;

namespace {

class StatementTest : public VoucherBook {
  protected:
    frmLW& openStatement() { return Forms::get<frmLW>(); }
    // Years are positions in the lists (0 the current year), months 1 to 12.
    void choose(frmLW& form, int startYear, int startMonth, int endYear, int endMonth) {
        host.pick(form.cbSy, startYear);
        host.pick(form.cbSM, startMonth - 1);
        host.pick(form.cbEy, endYear);
        host.pick(form.cbEM, endMonth - 1);
    }
    const Grid& statement(int startYear, int startMonth, int endYear, int endMonth) {
        frmLW& form = openStatement();
        choose(form, startYear, startMonth, endYear, endMonth);
        host.click(form.cmdStar);
        return form.hfg;
    }
    static void add(const std::string& code, const std::string& name, bool expense, Date on,
                    int64_t amount, int state = 0) {
        static int serial = 0;
        AddVoucherRow({"S" + std::to_string(++serial), on, amount, expense, state, code, name});
    }
    // The book of the example: two income accounts, one expense account and two transfers.
    static void exampleBook() {
        add("4101", "工程收入", false, day(2026, 1, 10), 3000, 0);
        add("4101", "工程收入", false, day(2026, 2, 10), 1000, 3);
        add("4102", "利息收入", false, day(2026, 2, 12), 500, 1);
        add("5101", "材料費", true, day(2026, 1, 20), 2000, 0);
        add("5101", "材料費", true, day(2026, 2, 20), 2500, 0);
        add("0000", "轉帳", false, day(2026, 1, 5), 700, 0);
        add("9999", "轉帳", true, day(2026, 2, 5), 800, 0);
    }
};

TEST_F(StatementTest, TheLoadOffersTheCurrentYearFromJanuaryToThisMonthAndAnEmptyGrid) {
    ASSERT_TRUE(Forms::showByName("frmLW", Modeless));
    frmLW& form = openStatement();
    ASSERT_EQ(form.cbSy.ListCount(), 5);
    EXPECT_EQ((Texts{form.cbSy.EntryText(0), form.cbEy.EntryText(4)}),
              (Texts{"民國115年", "民國111年"}));
    EXPECT_EQ((Texts{form.cbSM.Text(), form.cbEM.Text()}), (Texts{"一月 JAN", "三月 MAR"}));
    EXPECT_EQ(GridRow(form.hfg, 1), Texts(4, ""));
}

// Accounts in code order, transfers never, each section's subtotal and shares, and the result.
TEST_F(StatementTest, TheExampleStatementShowsAccountsSubtotalsSharesTheResultAndColours) {
    exampleBook();
    const Grid& g = statement(0, 1, 0, 2);
    ASSERT_EQ(g.Rows(), 10);
    const Texts expected[] = {
        {"", "科目代號", "科目名稱", " 115年01月份", " 115年02月份", "合計", "百分比"},
        {"收入部分", "4101", "工程收入", "3,000", "1,000", "4,000", "100.00%"},
        {"", "4102", "利息收入", "0", "0", "0", "0.00%"},
        {"小計", "", "", "3,000", "1,000", "4,000", "100.00%"},
        {"百分比", "", "", "75.00%", "25.00%", "100.00%", ""},
        Texts(7, ""),
        {"支出部分", "5101", "材料費", "2,000", "2,500", "4,500", "100.00%"},
        {"小計", "", "", "2,000", "2,500", "4,500", "100.00%"},
        {"百分比", "", "", "44.44%", "55.56%", "100.00%", ""},
        {"合計", "", "", "1,000", "-1,500", "-500", ""},
    };
    for (int row = 0; row < 10; ++row)
        EXPECT_EQ(GridRow(g, row), expected[row]) << row;
    EXPECT_EQ(g.ForeColorAt(9, 3), 0xFF0000u);
    EXPECT_EQ(g.ForeColorAt(9, 4), 255u);
}

// Cash vouchers and cashed cheque vouchers count; every other state lists the account with "0".
TEST_F(StatementTest, OnlyCashAndCashedChequeVouchersCountYetEveryStateListsItsAccount) {
    for (int state : {0, 3, 1, 2, 4, -1, -2, -3}) {
        AccDb().Execute("DELETE FROM iof");
        add("5101", "材料費", true, day(2026, 2, 3), 1200, state);
        const bool counts = state == 0 || state == 3;
        EXPECT_EQ(GridRow(statement(0, 2, 0, 2), 4, 0, 5),
                  (Texts{"支出部分", "5101", "材料費", counts ? "1,200" : "0",
                         counts ? "1,200" : "0", counts ? "100.00%" : "0"}))
            << state;
        Forms::unloadByName("frmLW");
    }
}

// One code with two names gives two rows, a name holding a quote matched as it stands. A refund
// booked as income on an expense account counts in the income section only.
TEST_F(StatementTest, EachSectionListsItsOwnDirectionByCodeAndName) {
    add("4101", "工程收入", false, day(2026, 3, 2), 1000);
    add("5200", "運費", true, day(2026, 3, 2), 300);
    add("5100", "材料費", true, day(2026, 3, 2), 1000);
    add("5100", "O'Brien 材料", true, day(2026, 3, 3), 2000);
    add("5100", "O'Brien 材料", true, day(2026, 3, 4), 700, 3);
    add("5100", "材料費", false, day(2026, 3, 20), 300);
    const Grid& g = statement(0, 3, 0, 3);
    ASSERT_EQ(g.Rows(), 12);
    EXPECT_EQ(GridColumn(g, 2, 1, 8),
              (Texts{"工程收入", "材料費", "", "", "", "O'Brien 材料", "材料費", "運費"}));
    EXPECT_EQ(GridColumn(g, 3, 1, 11), (Texts{"1,000", "300", "1,300", "100.00%", "", "2,700",
                                              "1,000", "300", "4,000", "100.00%", "-2,700"}));
    EXPECT_EQ(GridRow(g, 6, 1, 5), (Texts{"5100", "O'Brien 材料", "2,700", "2,700", "67.50%"}));
    EXPECT_EQ(g.TextMatrix(2, 5), "23.08%");
}

TEST_F(StatementTest, ThePeriodGivesOneColumnPerMonth) {
    struct Case {
        int sy, sm, ey, em;
        int cols;
        const char *firstHeader, *lastHeader;
    } cases[] = {
        {0, 3, 0, 3, 6, " 115年03月份", " 115年03月份"},
        {1, 11, 0, 2, 9, " 114年11月份", " 115年02月份"},
        {4, 1, 0, 12, 65, " 111年01月份", " 115年12月份"},
        {0, 12, 0, 12, 6, " 115年12月份", " 115年12月份"},
    };
    for (const Case& c : cases) {
        const Grid& g = statement(c.sy, c.sm, c.ey, c.em);
        ASSERT_EQ(g.Cols(), c.cols);
        EXPECT_EQ((Texts{g.TextMatrix(0, 3), g.TextMatrix(0, c.cols - 3)}),
                  (Texts{c.firstHeader, c.lastHeader}));
        // Columns a longer period used for months fall back to the default width.
        EXPECT_EQ(g.ColWidth(c.cols - 2), -1);
    }
}

// Each month's cell counts its own month only, from its first day to its last at any time of
// day; the last day of a leap February is inside.
TEST_F(StatementTest, MonthsEndOnTheirLastDayLeapDayIncluded) {
    add("4101", "工程收入", false, day(2024, 1, 31), 100);
    add("4101", "工程收入", false, day(2024, 2, 1), 200);
    add("4101", "工程收入", false, day(2024, 2, 29), 400);
    add("4101", "工程收入", false, day(2024, 3, 1), 800);
    AccDb().Execute("UPDATE iof SET 發生日期 = '2024-02-29 18:00:00' WHERE 金額 = 400");
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 23, 59, 59));
    EXPECT_EQ(GridRow(statement(2, 1, 2, 2), 1, 3, 5), (Texts{"100", "600", "700"}));
}

TEST_F(StatementTest, ARefusedPeriodKeepsTheStatementShown) {
    exampleBook();
    const Grid& g = statement(0, 1, 0, 2);
    const Texts before = GridRow(g, 9);
    frmLW& form = openStatement();
    const std::tuple<int, int, int, int, const char*> refused[] = {
        {0, 1, 1, 12, "終止年份不可小於起始年份"}, {1, 3, 1, 2, "終止月份不可小於起始月份"}};
    for (auto [sy, sm, ey, em, message] : refused) {
        choose(form, sy, sm, ey, em);
        host.expectMessage(message);
        host.click(form.cmdStar);
        EXPECT_EQ(host.messages().back().style, 48);
        EXPECT_EQ(GridRow(g, 9), before);
    }
}

// A section without money shows "0" for its shares; a section without accounts keeps its
// subtotal rows, and the result is the other section alone.
TEST_F(StatementTest, EmptySectionsKeepTheirRowsAndShareNothing) {
    add("4101", "工程收入", false, day(2026, 3, 1), 1000);
    add("5101", "材料費", true, day(2026, 3, 3), 900, 1);
    const Grid& g = statement(0, 3, 0, 3);
    EXPECT_EQ(GridColumn(g, 3, 5, 8), (Texts{"0", "0", "0", "1,000"}));
    EXPECT_EQ(GridColumn(g, 5, 5, 6), (Texts{"0", "0"}));
    AccDb().Execute("DELETE FROM iof WHERE 科目代號 = '4101'");
    const Grid& expenseOnly = statement(0, 3, 0, 3);
    EXPECT_EQ(GridColumn(expenseOnly, 0, 1, 7),
              (Texts{"小計", "百分比", "", "支出部分", "小計", "百分比", "合計"}));
    EXPECT_EQ(GridRow(expenseOnly, 7, 3, 4), (Texts{"0", "0"}));
    AccDb().Execute("DELETE FROM iof");
    add("5101", "材料費", true, day(2026, 3, 3), 900);
    EXPECT_EQ(GridRow(statement(0, 3, 0, 3), 7, 3, 4), (Texts{"-900", "-900"}));
}

// The titles name the lists as they stand; the table is the one shown, all of its columns.
TEST_F(StatementTest, TheWorkbookCarriesTheTitlesAndTheWholeGrid) {
    add("4101", "工程收入", false, day(2022, 1, 10), 1000);
    add("5101", "材料費", true, day(2026, 12, 1), 400);
    frmLW& form = openStatement();
    host.click(form.cmdPxls);
    SheetReader empty(host.openedFiles().at(0));
    EXPECT_EQ(empty.text("A2"), "起始年月：民國115年一月 JAN ～ 終止年月：民國115年三月 MAR");
    EXPECT_TRUE(empty.boxed("D4"));
    EXPECT_FALSE(empty.has("E3") || empty.has("A5"));
    statement(4, 1, 0, 12);
    host.pick(form.cbEM, 5);
    host.click(form.cmdPxls);
    SheetReader sheet(host.openedFiles().at(1));
    EXPECT_EQ(sheet.text("A1"), "永建營造：期間損益表");
    EXPECT_EQ(sheet.text("A2"), "起始年月：民國111年一月 JAN ～ 終止年月：民國115年六月 JUN");
    EXPECT_EQ(sheet.text("BM3"), "百分比");
    EXPECT_EQ(sheet.text("BK11"), "-400");
    EXPECT_TRUE(sheet.number("BK11") && !sheet.number("BM3"));
    EXPECT_TRUE(sheet.boxed("A3") && sheet.boxed("BM11"));
    EXPECT_FALSE(sheet.has("BN3") || sheet.has("A12"));
}

// The positions in the lists are years counted back from the day of the press.
TEST_F(StatementTest, TheYearsAreThoseOfTheDayOfThePress) {
    setToday(day(2026, 12, 31));
    frmLW& form = openStatement();
    EXPECT_EQ(form.cbEM.Text(), "十二月 DEC");
    setToday(day(2027, 1, 1));
    choose(form, 0, 1, 0, 1);
    host.click(form.cmdStar);
    EXPECT_EQ(form.hfg.TextMatrix(0, 3), " 116年01月份");
    EXPECT_EQ(form.cbSy.Text(), "民國115年");
}

// A build that fails half way is told to the user, and the grid and the pointer come back.
TEST_F(StatementTest, AFailedBuildLeavesTheGridShownAndThePointerNormal) {
    frmLW& form = openStatement();
    AccDb().Execute("DROP TABLE iof");
    host.answerMessage(AnswerOk);
    host.click(form.cmdStar);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_TRUE(form.hfg.Visible());
    EXPECT_EQ(host.mousePointer(), 0);
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/xlsx/Workbook.h"
#include "statistics/frmLW.h"
#include "tests/statistics/VoucherBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
using test::VoucherRow;

namespace {

constexpr Color Blue = 0xFF0000, Red = 255, White = 0xFFFFFF, Unset = Grid::Unset;
constexpr Color LightBlue = 0xFFC0C0, LightRed = 0xC0C0FF, Grey = 0xE0E0E0, Green = 0xC0FFC0;

class StatementTest : public test::VoucherBook {
  protected:
    frmLW& openStatement() { return Forms::get<frmLW>(); }

    // Years are positions in the lists (0 the current year), months 1 to 12.
    void choose(frmLW& form, int startYear, int startMonth, int endYear, int endMonth) {
        host.pick(form.cbSy, startYear);
        host.pick(form.cbSM, startMonth - 1);
        host.pick(form.cbEy, endYear);
        host.pick(form.cbEM, endMonth - 1);
    }
    frmLW& statement(int startYear, int startMonth, int endYear, int endMonth) {
        frmLW& form = openStatement();
        choose(form, startYear, startMonth, endYear, endMonth);
        host.click(form.cmdStar);
        return form;
    }
    static VoucherRow account(const std::string& code, const std::string& name, bool expense,
                              Date on, int64_t amount, int state = 0) {
        VoucherRow v{code + name + std::to_string(on.month()) + std::to_string(amount) +
                         std::to_string(state),
                     on, amount, expense, state};
        v.accountCode = code;
        v.accountName = name;
        return v;
    }
    // The book of the example: two income accounts, one expense account and a transfer.
    static void exampleBook() {
        add(account("4101", "工程收入", false, day(2026, 1, 10), 3000, 0));
        add(account("4101", "工程收入", false, day(2026, 2, 10), 1000, 3));
        add(account("4102", "利息收入", false, day(2026, 2, 12), 500, 1));
        add(account("5101", "材料費", true, day(2026, 1, 20), 2000, 0));
        add(account("5101", "材料費", true, day(2026, 2, 20), 2500, 0));
        add(account("0000", "轉帳", false, day(2026, 1, 5), 700, 0));
    }
    static Texts wholeRow(const Grid& grid, int row) {
        return cells(grid, row, 0, grid.Cols() - 1);
    }
};

// The system menu opens the statement by its name.
TEST_F(StatementTest, TheLoadOffersTheCurrentYearFromJanuaryToThisMonthAndAnEmptyGrid) {
    ASSERT_TRUE(Forms::showByName("frmLW", Modeless));
    frmLW& form = openStatement();
    EXPECT_EQ(form.Caption(), "期間損益表");
    const Texts years{"民國115年", "民國114年", "民國113年", "民國112年", "民國111年"};
    for (ComboBox* box : {&form.cbSy, &form.cbEy}) {
        ASSERT_EQ(box->ListCount(), 5);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(box->EntryText(k), years[k]);
        EXPECT_EQ(box->ListIndex(), 0);
    }
    EXPECT_EQ(form.cbSM.Text(), "一月 JAN");
    EXPECT_EQ(form.cbEM.Text(), "三月 MAR");
    ASSERT_EQ(form.hfg.Rows(), 2);
    EXPECT_EQ(wholeRow(form.hfg, 1), Texts(4, ""));
}

TEST_F(StatementTest, TheExampleStatementShowsAccountsSubtotalsSharesTheResultAndColours) {
    exampleBook();
    frmLW& form = statement(0, 1, 0, 2);
    const Grid& g = form.hfg;
    ASSERT_EQ(g.Cols(), 7);
    ASSERT_EQ(g.Rows(), 10);
    EXPECT_TRUE(g.Visible());
    EXPECT_EQ(host.mousePointer(), 0);
    EXPECT_EQ(wholeRow(g, 0), (Texts{"", "科目代號", "科目名稱", " 115年01月份", " 115年02月份",
                                     "合計", "百分比"}));
    EXPECT_EQ(wholeRow(g, 1),
              (Texts{"收入部分", "4101", "工程收入", "3,000", "1,000", "4,000", "100.00%"}));
    EXPECT_EQ(wholeRow(g, 2), (Texts{"", "4102", "利息收入", "0", "0", "0", "0.00%"}));
    EXPECT_EQ(wholeRow(g, 3), (Texts{"小計", "", "", "3,000", "1,000", "4,000", "100.00%"}));
    EXPECT_EQ(wholeRow(g, 4), (Texts{"百分比", "", "", "75.00%", "25.00%", "100.00%", ""}));
    EXPECT_EQ(wholeRow(g, 5), Texts(7, ""));
    EXPECT_EQ(wholeRow(g, 6),
              (Texts{"支出部分", "5101", "材料費", "2,000", "2,500", "4,500", "100.00%"}));
    EXPECT_EQ(wholeRow(g, 7), (Texts{"小計", "", "", "2,000", "2,500", "4,500", "100.00%"}));
    EXPECT_EQ(wholeRow(g, 8), (Texts{"百分比", "", "", "44.44%", "55.56%", "100.00%", ""}));
    EXPECT_EQ(wholeRow(g, 9), (Texts{"合計", "", "", "1,000", "-1,500", "-500", ""}));

    // Each kind of cell has its colours.
    struct Case {
        int row, col;
        Color back, fore;
    } cases[] = {
        {1, 0, Unset, Blue},     {2, 2, Unset, Blue},  {6, 0, Unset, Red},
        {9, 0, Unset, Unset},    {1, 3, Unset, Unset}, {1, 5, LightBlue, Unset},
        {7, 3, LightRed, Unset}, {3, 5, Blue, White},  {7, 5, Red, White},
        {1, 6, Grey, Unset},     {8, 4, Grey, Unset},  {8, 6, Unset, Unset},
        {9, 3, Green, Blue},     {9, 4, Green, Red},   {5, 3, Unset, Unset},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(g.BackColorAt(c.row, c.col), c.back) << c.row << "," << c.col;
        EXPECT_EQ(g.ForeColorAt(c.row, c.col), c.fore) << c.row << "," << c.col;
    }
}

// Cash vouchers and cashed cheque vouchers count; every other state lists the account with "0".
TEST_F(StatementTest, OnlyCashAndCashedChequeVouchersCountYetEveryStateListsItsAccount) {
    struct Case {
        int state;
        const char* shown;
    } cases[] = {{0, "1,200"}, {3, "1,200"}, {1, "0"},  {2, "0"},
                 {4, "0"},     {-1, "0"},    {-2, "0"}, {-3, "0"}};
    for (const Case& c : cases) {
        AccDb().Execute("DELETE FROM iof");
        add(account("5101", "材料費", true, day(2026, 2, 3), 1200, c.state));
        frmLW& form = statement(0, 2, 0, 2);
        const Grid& g = form.hfg;
        ASSERT_EQ(g.Rows(), 8) << c.state;
        EXPECT_EQ(cells(g, 4, 0, 5), (Texts{"支出部分", "5101", "材料費", c.shown, c.shown,
                                            c.state == 0 || c.state == 3 ? "100.00%" : "0"}))
            << c.state;
        form.Unload();
    }
}

TEST_F(StatementTest, TransferAccountsNeverAppear) {
    add(account("0000", "轉帳", false, day(2026, 3, 1), 5000));
    add(account("9999", "轉帳", true, day(2026, 3, 1), 5000));
    const Grid& g = statement(0, 3, 0, 3).hfg;
    ASSERT_EQ(g.Rows(), 7);
    EXPECT_EQ(column(g, 1), Texts(6, ""));
    EXPECT_EQ(wholeRow(g, 6), (Texts{"合計", "", "", "0", "0", ""}));
}

// A name is matched as it stands, a quote in it included.
TEST_F(StatementTest, OneCodeWithTwoNamesGivesTwoRowsInCodeOrder) {
    add(account("5200", "運費", true, day(2026, 3, 2), 300));
    add(account("5100", "材料費", true, day(2026, 3, 2), 1000));
    add(account("5100", "O'Brien 材料", true, day(2026, 3, 3), 2000));
    add(account("5100", "O'Brien 材料", true, day(2026, 3, 4), 700));
    const Grid& g = statement(0, 3, 0, 3).hfg;
    ASSERT_EQ(g.Rows(), 10);
    EXPECT_EQ(cells(g, 4, 1, 5), (Texts{"5100", "O'Brien 材料", "2,700", "2,700", "67.50%"}));
    EXPECT_EQ(cells(g, 5, 1, 5), (Texts{"5100", "材料費", "1,000", "1,000", "25.00%"}));
    EXPECT_EQ(cells(g, 6, 1, 5), (Texts{"5200", "運費", "300", "300", "7.50%"}));
    EXPECT_EQ(cells(g, 7, 0, 5), (Texts{"小計", "", "", "4,000", "4,000", "100.00%"}));
}

// A refund booked as income on an expense account: each section adds only its own direction, so
// the account's income and expense neither mix nor count twice in the result.
TEST_F(StatementTest, AnAccountUsedBothWaysCountsEachDirectionInItsOwnSection) {
    add(account("4101", "工程收入", false, day(2026, 3, 2), 1000));
    add(account("5101", "材料費", true, day(2026, 3, 3), 2000));
    add(account("5101", "材料費", true, day(2026, 3, 9), 400, 3));
    add(account("5101", "材料費", false, day(2026, 3, 20), 300));
    const Grid& g = statement(0, 3, 0, 3).hfg;
    ASSERT_EQ(g.Rows(), 10);
    EXPECT_EQ(cells(g, 1, 1, 5), (Texts{"4101", "工程收入", "1,000", "1,000", "76.92%"}));
    EXPECT_EQ(cells(g, 2, 1, 5), (Texts{"5101", "材料費", "300", "300", "23.08%"}));
    EXPECT_EQ(cells(g, 3, 0, 4), (Texts{"小計", "", "", "1,300", "1,300"}));
    EXPECT_EQ(cells(g, 6, 1, 5), (Texts{"5101", "材料費", "2,400", "2,400", "100.00%"}));
    EXPECT_EQ(cells(g, 7, 0, 4), (Texts{"小計", "", "", "2,400", "2,400"}));
    EXPECT_EQ(cells(g, 9, 0, 4), (Texts{"合計", "", "", "-1,100", "-1,100"}));
}

TEST_F(StatementTest, ThePeriodGivesOneColumnPerMonth) {
    struct Case {
        int sy, sm, ey, em;
        int cols;
        const char* firstHeader;
        const char* lastHeader;
    } cases[] = {
        {0, 3, 0, 3, 6, " 115年03月份", " 115年03月份"},
        {1, 11, 0, 2, 9, " 114年11月份", " 115年02月份"},
        {4, 1, 0, 12, 65, " 111年01月份", " 115年12月份"},
        {0, 12, 0, 12, 6, " 115年12月份", " 115年12月份"},
    };
    for (const Case& c : cases) {
        frmLW& form = statement(c.sy, c.sm, c.ey, c.em);
        const Grid& g = form.hfg;
        ASSERT_EQ(g.Cols(), c.cols) << c.cols;
        EXPECT_EQ(g.TextMatrix(0, 3), c.firstHeader);
        EXPECT_EQ(g.TextMatrix(0, c.cols - 3), c.lastHeader);
        EXPECT_EQ(g.TextMatrix(0, c.cols - 2), "合計");
        // Columns a longer period used for months fall back to the default width.
        EXPECT_EQ(g.ColWidth(c.cols - 2), -1);
        EXPECT_EQ(g.ColWidth(c.cols - 1), -1);
        EXPECT_EQ(g.ColWidth(c.cols - 3), 1000);
    }
}

// Each month's cell counts its own month only; the last day of a leap February is inside.
TEST_F(StatementTest, MonthsEndOnTheirLastDayLeapDayIncluded) {
    add(account("4101", "工程收入", false, day(2024, 1, 31), 100));
    add(account("4101", "工程收入", false, day(2024, 2, 1), 200));
    add(account("4101", "工程收入", false, day(2024, 2, 29), 400));
    add(account("4101", "工程收入", false, day(2024, 3, 1), 800));
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 15, 23, 59, 59));
    const Grid& g = statement(2, 1, 2, 2).hfg;
    ASSERT_EQ(g.Cols(), 7);
    EXPECT_EQ(cells(g, 1, 1, 6), (Texts{"4101", "工程收入", "100", "600", "700", "100.00%"}));
    const Grid& feb = statement(2, 2, 2, 2).hfg;
    EXPECT_EQ(cells(feb, 1, 3, 4), (Texts{"600", "600"}));
}

TEST_F(StatementTest, ARefusedPeriodKeepsTheStatementShown) {
    exampleBook();
    frmLW& form = statement(0, 1, 0, 2);
    const Texts before = wholeRow(form.hfg, 9);
    struct Case {
        int sy, sm, ey, em;
        const char* message;
    } cases[] = {
        {0, 1, 1, 12, "終止年份不可小於起始年份"},
        {1, 3, 1, 2, "終止月份不可小於起始月份"},
    };
    for (const Case& c : cases) {
        choose(form, c.sy, c.sm, c.ey, c.em);
        host.expectMessage(c.message);
        host.click(form.cmdStar);
        ASSERT_EQ(host.messages().size(), 1u);
        EXPECT_EQ(host.messages()[0].style, 48);
        host.clearMessages();
        EXPECT_EQ(form.hfg.Rows(), 10);
        EXPECT_EQ(wholeRow(form.hfg, 9), before);
    }
}

TEST_F(StatementTest, SharesOfASectionWithoutMoneyAreZeroTexts) {
    add(account("4101", "工程收入", false, day(2026, 3, 1), 1000));
    add(account("4102", "利息收入", false, day(2026, 3, 2), 2000));
    add(account("5101", "材料費", true, day(2026, 3, 3), 900, 1));
    const Grid& g = statement(0, 3, 0, 3).hfg;
    ASSERT_EQ(g.Rows(), 10);
    EXPECT_EQ(cells(g, 2, 3, 5), (Texts{"2,000", "2,000", "66.67%"}));
    EXPECT_EQ(cells(g, 6, 3, 5), (Texts{"0", "0", "0"}));
    EXPECT_EQ(cells(g, 7, 0, 5), (Texts{"小計", "", "", "0", "0", "0"}));
    EXPECT_EQ(cells(g, 8, 0, 5), (Texts{"百分比", "", "", "0", "0", ""}));
    EXPECT_EQ(cells(g, 9, 0, 5), (Texts{"合計", "", "", "3,000", "3,000", ""}));
    EXPECT_EQ(g.ForeColorAt(9, 3), Blue);
}

// With no account in a section its subtotal takes the section's place, and the result is the
// other section alone: expense only is negative and red, nothing at all is "0" in blue.
TEST_F(StatementTest, ASectionWithoutAccountsKeepsItsSubtotalRows) {
    add(account("5101", "材料費", true, day(2026, 3, 3), 900));
    const Grid& g = statement(0, 3, 0, 3).hfg;
    ASSERT_EQ(g.Rows(), 8);
    EXPECT_EQ(wholeRow(g, 1), (Texts{"小計", "", "", "0", "0", "0"}));
    EXPECT_EQ(wholeRow(g, 2), (Texts{"百分比", "", "", "0", "0", ""}));
    EXPECT_EQ(wholeRow(g, 7), (Texts{"合計", "", "", "-900", "-900", ""}));
    EXPECT_EQ(g.ForeColorAt(7, 3), Red);

    AccDb().Execute("DELETE FROM iof");
    add(account("4101", "工程收入", false, day(2026, 3, 3), 900));
    const Grid& income = statement(0, 3, 0, 3).hfg;
    ASSERT_EQ(income.Rows(), 8);
    EXPECT_EQ(wholeRow(income, 5), (Texts{"小計", "", "", "0", "0", "0"}));
    EXPECT_EQ(cells(income, 7, 3, 4), (Texts{"900", "900"}));

    AccDb().Execute("DELETE FROM iof");
    const Grid& empty = statement(0, 3, 0, 3).hfg;
    ASSERT_EQ(empty.Rows(), 7);
    EXPECT_EQ(column(empty, 0), (Texts{"小計", "百分比", "", "小計", "百分比", "合計"}));
    EXPECT_EQ(cells(empty, 6, 3, 4), (Texts{"0", "0"}));
    EXPECT_EQ(empty.ForeColorAt(6, 3), Blue);
}

TEST_F(StatementTest, TheWorkbookCarriesTheTitlesTheGridItsWidthsAndBorders) {
    exampleBook();
    frmLW& form = statement(0, 1, 0, 2);
    // The lists changed after the press: the titles name them, the table stays the one shown.
    host.pick(form.cbEM, 5);
    host.click(form.cmdPxls);
    ASSERT_EQ(host.openedFiles().size(), 1u);
    test::SheetReader sheet(host.openedFiles()[0]);
    EXPECT_EQ(sheet.text("A1"), "永建營造：期間損益表");
    EXPECT_EQ(sheet.text("A2"), "起始年月：民國115年一月 JAN ～ 終止年月：民國115年六月 JUN");
    EXPECT_EQ(sheet.text("D3"), " 115年01月份");
    EXPECT_EQ(sheet.text("F4"), "4,000");
    EXPECT_EQ(sheet.text("E12"), "-1,500");
    EXPECT_NEAR(sheet.width(1), 9.44, 0.05);
    EXPECT_NEAR(sheet.width(4), 11.14, 0.01);
    EXPECT_NEAR(sheet.width(6), 10, 0.01);
    for (int r = 3; r <= 12; ++r)
        for (int c = 1; c <= 7; ++c)
            EXPECT_TRUE(sheet.boxed(columnLetters(c) + std::to_string(r))) << r << "," << c;
    EXPECT_FALSE(sheet.has("A13") || sheet.has("H3"));
}

TEST_F(StatementTest, AFiveYearWorkbookHasAllSixtyFiveColumns) {
    add(account("4101", "工程收入", false, day(2022, 1, 10), 1000));
    add(account("5101", "材料費", true, day(2026, 12, 1), 400));
    frmLW& form = statement(4, 1, 0, 12);
    ASSERT_EQ(form.hfg.Cols(), 65);
    host.click(form.cmdPxls);
    test::SheetReader sheet(host.openedFiles().at(0));
    EXPECT_EQ(sheet.text("A2"), "起始年月：民國111年一月 JAN ～ 終止年月：民國115年十二月 DEC");
    EXPECT_EQ(sheet.text("BM3"), "百分比");
    EXPECT_EQ(sheet.text("BK11"), "-400");
    EXPECT_NEAR(sheet.width(63), 11.14, 0.01);
    for (int r = 3; r <= 11; ++r)
        for (int c = 1; c <= 65; ++c)
            ASSERT_TRUE(sheet.boxed(columnLetters(c) + std::to_string(r))) << r << "," << c;
    EXPECT_FALSE(sheet.has("BN3") || sheet.has("A12"));
}

TEST_F(StatementTest, AWorkbookBeforeAnyQueryCopiesTheEmptyGrid) {
    PeopleDb().Execute("DELETE FROM company");
    frmLW& form = openStatement();
    host.click(form.cmdPxls);
    test::SheetReader sheet(host.openedFiles().at(0));
    EXPECT_EQ(sheet.text("A1"), "：期間損益表");
    EXPECT_EQ(sheet.text("A2"), "起始年月：民國115年一月 JAN ～ 終止年月：民國115年三月 MAR");
    for (const char* cell : {"A3", "D3", "A4", "D4"})
        EXPECT_TRUE(sheet.boxed(cell)) << cell;
    EXPECT_FALSE(sheet.has("E3") || sheet.has("A5"));
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
    EXPECT_EQ(host.messages()[0].title, "Kiv");
    EXPECT_TRUE(form.hfg.Visible());
    EXPECT_EQ(host.mousePointer(), 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/db/WriteFault.h"

#include "platform/xlsx/Workbook.h"
#include "tests/statistics/VoucherBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
using test::VoucherRow;

namespace {

class VoucherQueryTest : public test::VoucherBook {
  protected:
    // Chooses a criterion and its value as the user would, then runs the query.
    void query(frmCash& form, const std::string& criterion, int item = -1, bool ranged = false) {
        host.pick(form.cbRu, form.cbRu.FindEntry(criterion));
        if (item >= 0) host.pick(form.cbSub, item);
        form.ckDate.SetValue(ranged ? 1 : 0);
        host.click(form.cmdSer);
    }
    void range(frmCash& form, Date from, Date to) {
        host.pickDate(form.DTP1, from);
        host.pickDate(form.DTP2, to);
    }
};

// The march book as a user without the single-query right sees it at load.
TEST_F(VoucherQueryTest, TheMonthInStatusModeWithItsRunningBalanceAndTotals) {
    marchBook();
    UserRights = 1;
    frmCash& form = openQuery();
    const Grid& g = form.hfg;
    EXPECT_FALSE(form.Fme.Visible());
    EXPECT_TRUE(g.Visible());
    EXPECT_EQ(g.Top(), form.Fme.Height());
    ASSERT_EQ(g.Rows(), 15);
    EXPECT_EQ(column(g, 2, 1, 5),
              (Texts{"1150301001", "1150302001", "1150303001", "1150304001", "1150305001"}));
    EXPECT_EQ(cells(g, 1, 0, 12),
              (Texts{"1", "115/03/01", "1150301001", "工程收入", "用途1150301001", "10,000", "",
                     "10,000", "", "王小明", "李大華", "", ""}));
    EXPECT_EQ(cells(g, 2, 5, 7), (Texts{"", "3,000", "7,000"}));
    EXPECT_EQ(cells(g, 3, 5, 7), (Texts{"5,000", "<--收入票據", ""}));
    EXPECT_EQ(cells(g, 4, 5, 7), (Texts{"開出票據-->", "2,000", "已兌現"}));
    EXPECT_EQ(cells(g, 5, 5, 7), (Texts{"已付票據-->", "2,000", "5,000"}));
    EXPECT_EQ(totals(g),
              (Texts{"10,000", "3,000", "5,000", "0", "0", "2,000", "0", "2,000", "5,000"}));
    EXPECT_EQ(g.ForeColorAt(14, 7), 0xFF0000u);

    // The span of every voucher held, the unsigned one included; the end picker shows today.
    EXPECT_EQ(form.lbSt.Caption(), "中華民國 115/03/01");
    EXPECT_EQ(form.lbEd.Caption(), "中華民國 115/03/07");
    EXPECT_EQ(form.DTP1.Value(), day(2026, 3, 1));
    EXPECT_EQ(form.DTP2.Value(), day(2026, 3, 15));
}

// Income blue and expense red; a cheque's marker shares the amount's colour only while it is a
// cheque voucher, and the balance moves only through cash and the cashing system vouchers.
TEST_F(VoucherQueryTest, EachStateAndDirectionFillsItsRow) {
    const Color Blue = 0xFF0000, Red = 255, Unset = Grid::Unset;
    struct Case {
        bool expense;
        int state;
        int64_t amount;
        const char *income, *expenses, *balance;  // columns 5, 6, 7
        Color incomeColour, expenseColour, balanceColour;
    } cases[] = {
        {false, 0, 1200, "1,200", "", "1,200", Blue, Unset, Blue},
        {false, 1, 1200, "1,200", "<--收入票據", "", Blue, Blue, Unset},
        {false, 2, 1200, "1,200", "<--已收票據", "1,200", Blue, Unset, Blue},
        {false, 3, 1200, "1,200", "<--收入票據", "已兌現", Blue, Blue, Unset},
        {false, 4, 1200, "1,200", "<--已收票據", "1,200", Blue, Unset, Blue},
        {true, 0, 1200, "", "1,200", "-1,200", Unset, Red, Red},
        {true, 1, 1200, "開出票據-->", "1,200", "", Red, Red, Unset},
        {true, 2, 1200, "已付票據-->", "1,200", "-1,200", Unset, Red, Red},
        {true, 3, 1200, "開出票據-->", "1,200", "已兌現", Red, Red, Unset},
        {true, 4, 0, "已付票據-->", "0", "0", Unset, Red, Blue},
    };
    for (const Case& c : cases) {
        AccDb().Execute("DELETE FROM iof");
        add(c.expense ? expense("B", day(2026, 3, 1), c.amount, c.state)
                      : income("A", day(2026, 3, 1), c.amount, c.state));
        frmCash& form = openQuery();
        const Grid& g = form.hfg;
        const std::string name = (c.expense ? "B" : "A") + std::to_string(c.state);
        ASSERT_EQ(g.Rows(), 11) << name;
        EXPECT_EQ(cells(g, 1, 5, 7), (Texts{c.income, c.expenses, c.balance})) << name;
        EXPECT_EQ(g.ForeColorAt(1, 5), c.incomeColour) << name;
        EXPECT_EQ(g.ForeColorAt(1, 6), c.expenseColour) << name;
        EXPECT_EQ(g.ForeColorAt(1, 7), c.balanceColour) << name;
        form.Unload();
    }
}

TEST_F(VoucherQueryTest, ABalanceBelowZeroTurnsRedAndTheGrandTotalFollowsIt) {
    add(expense("B1", day(2026, 3, 1), 500));
    add(income("A1", day(2026, 3, 2), 200));
    add(income("A2", day(2026, 3, 3), 300));
    frmCash& form = openQuery();
    const Grid& g = form.hfg;
    EXPECT_EQ(column(g, 7, 1, 3), (Texts{"-500", "-300", "0"}));
    EXPECT_EQ(g.ForeColorAt(1, 7), 255u);
    EXPECT_EQ(g.ForeColorAt(3, 7), 0xFF0000u);
    // Cash only: the cheque totals read 0, the grand total is the last balance, 0 in blue.
    EXPECT_EQ(totals(g), (Texts{"500", "500", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(g.ForeColorAt(12, 7), 0xFF0000u);

    add(expense("B2", day(2026, 3, 4), 1234567));
    host.click(form.cmdSer);
    EXPECT_EQ(totals(g).back(), "-1,234,567");
    EXPECT_EQ(g.TextMatrix(4, 7), "-1,234,567");
    EXPECT_EQ(g.ForeColorAt(g.Rows() - 1, 7), 255u);
    EXPECT_EQ(g.ForeColorAt(g.Rows() - 1, 4), 255u);
}

// Status mode leaves the transfers out and keeps the cashing vouchers; the cash book leaves out
// the received cheques' cashing vouchers, and with a range the issued ones too.
TEST_F(VoucherQueryTest, TheMonthInStatusAndCashBookModesWithAndWithoutARange) {
    add(income("T0", day(2026, 3, 1), 100));
    VoucherRow transfer = expense("T1", day(2026, 3, 2), 100);
    transfer.accountCode = "0000";
    add(transfer);
    add(income("T2", day(2026, 3, 3), 100, 2));
    add(expense("T4", day(2026, 3, 4), 100, 4));
    add(income("T3", day(2026, 3, 5), 100, 3));
    add(income("F1", day(2026, 2, 28), 100));
    add(income("F2", day(2026, 4, 1), 100));
    add(income("V", day(2026, 3, 6), 100, -3));
    frmCash& form = openQuery();
    EXPECT_TRUE(form.Fme.Visible());
    EXPECT_EQ(numbers(form), (Texts{"T0", "T2", "T4", "T3"}));
    host.click(form.optIo);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"T0", "T1", "T4", "T3"}));
    range(form, day(2026, 2, 28), day(2026, 3, 31));
    EXPECT_EQ(form.lbSt.Caption(), "中華民國 115/02/28");
    form.ckDate.SetValue(1);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"F1", "T0", "T1", "T3"}));
    host.click(form.optCh);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"F1", "T0", "T2", "T4", "T3"}));
    // Both ends count, a time of day on the last one included.
    AccDb().Execute("UPDATE iof SET 發生日期 = '2026-04-01 18:00:00' WHERE 單號 = 'F2'");
    range(form, day(2026, 3, 5), day(2026, 4, 1));
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"T3", "F2"}));
}

TEST_F(VoucherQueryTest, TheCurrentMonthEndsOnItsLastDay) {
    struct Case {
        Date today;
        Date last;
    } cases[] = {
        {day(2026, 2, 10), day(2026, 2, 28)},
        {day(2028, 2, 10), day(2028, 2, 29)},
        {day(2026, 4, 10), day(2026, 4, 30)},
        {day(2026, 12, 10), day(2026, 12, 31)},
    };
    for (const Case& c : cases) {
        AccDb().Execute("DELETE FROM iof");
        setToday(c.today);
        const Date first = day(c.today.year(), c.today.month(), 1);
        add(income("before", first.addDays(-1), 1));
        add(income("first", first, 1));
        add(income("last", c.last, 1));
        add(income("after", c.last.addDays(1), 1));
        frmCash& form = openQuery();
        EXPECT_EQ(numbers(form), (Texts{"first", "last"})) << c.last.iso();
        form.Unload();
    }
}

// The account list holds every name, code and direction used; the chosen row sets the direction
// the query takes, and an empty value lists the whole direction.
TEST_F(VoucherQueryTest, ByAccountFollowsTheChosenRowsDirection) {
    add(income("I1", day(2025, 1, 2), 100));
    add(expense("E1", day(2025, 1, 3), 200));
    VoucherRow refund = income("I2", day(2025, 1, 4), 50);
    refund.accountCode = "5102";
    refund.accountName = "材料費";
    add(refund);
    add(expense("E2", day(2025, 1, 5), 70, -1));
    frmCash& form = openQuery();
    host.pick(form.cbRu, 1);
    ASSERT_EQ(form.cbSub.ListCount(), 3);
    EXPECT_EQ(form.cbSub.List(0, 0), "    (支出)");
    EXPECT_EQ(form.cbSub.List(2, 1), "材料費");

    // Before any choice: every signed expense voucher.
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"E1"}));
    host.pick(form.cbSub, 2);
    EXPECT_EQ(form.cbSub.Text(), "材料費");
    EXPECT_TRUE(form.AccountIsIncome);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"I2"}));
    form.cbSub.SetText("");
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"I1", "I2"}));
    host.pick(form.cbSub, 0);
    EXPECT_FALSE(form.AccountIsIncome);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"E1"}));
    // A choice under another criterion leaves the direction alone.
    host.pick(form.cbSub, 1);
    EXPECT_TRUE(form.AccountIsIncome);
    host.pick(form.cbRu, 7);
    host.pick(form.cbSub, 0);
    EXPECT_TRUE(form.AccountIsIncome);
}

TEST_F(VoucherQueryTest, TheValueListsOfTheCriteria) {
    VoucherRow a = income("A", day(2025, 1, 2), 100);
    a.project = "信義案";
    a.workType = "水電";
    a.applicant = "陳一";
    add(a);
    VoucherRow b = expense("B", day(2025, 1, 3), 100);
    b.workType = "木作";
    b.signer = "林二";
    add(b);
    AccDb().Execute("UPDATE iof SET 專案號碼 = 'P01' WHERE 單號 = 'A'");
    frmCash& form = openQuery();
    const ComboBox& sub = form.cbSub;
    host.pick(form.cbRu, 5);
    ASSERT_EQ(sub.ListCount(), 2);
    EXPECT_EQ(sub.List(1, 0), "P01");
    EXPECT_EQ(sub.EntryText(1), "信義案");
    host.pick(form.cbRu, 2);
    EXPECT_EQ(sub.ColumnCount(), 1);
    EXPECT_EQ(sub.List(0), "木作");
    host.pick(form.cbRu, 8);
    EXPECT_EQ(sub.List(1), "林二");
    // 當月全部 empties the list and keeps the column settings of the one before.
    host.pick(form.cbRu, 5);
    host.pick(form.cbRu, 0);
    EXPECT_EQ(sub.ListCount(), 0);
    EXPECT_EQ(sub.ColumnCount(), 2);
    // The three fixed lists choose their first item at once.
    for (int criterion : {3, 4, 6}) {
        host.pick(form.cbRu, criterion);
        EXPECT_EQ(sub.ListIndex(), 0) << criterion;
    }
    EXPECT_EQ(sub.Text(), "進/銷項");
    EXPECT_EQ(sub.ListCount(), 4);

    // Without any voucher the lists of several columns hold one empty row.
    AccDb().Execute("DELETE FROM iof");
    host.pick(form.cbRu, 1);
    ASSERT_EQ(sub.ListCount(), 1);
    EXPECT_EQ(sub.List(0, 1), "");
    host.pick(form.cbRu, 7);
    EXPECT_EQ(sub.ListCount(), 0);
}

// Each criterion's value and item, the fixed states of the cheque items, and a name holding a
// quote matched as it stands.
TEST_F(VoucherQueryTest, EveryCriterionPicksItsVouchers) {
    VoucherRow a = income("A", day(2024, 5, 2), 100);
    a.project = "O'Neil 宅";
    a.workType = "水電";
    a.applicant = "陳一";
    add(a);
    add(income("A1", day(2024, 5, 3), 100, 1));
    add(income("A2", day(2024, 5, 4), 100, 2));
    add(income("A3", day(2024, 5, 5), 100, 3));
    VoucherRow b = expense("B", day(2024, 5, 6), 100);
    b.workType = "木作";
    b.signer = "林二";
    b.project = "O";
    add(b);
    add(expense("B1", day(2024, 5, 7), 100, 1));
    add(expense("B4", day(2024, 5, 8), 100, 4));
    add(expense("B3", day(2024, 5, 9), 100, 3));
    VoucherRow unsigned_ = expense("U", day(2024, 5, 10), 100, -2);
    unsigned_.workType = "水電";
    add(unsigned_);
    frmCash& form = openQuery();
    EXPECT_EQ(form.hfg.Rows(), 2);
    struct Case {
        int criterion;
        int item;
        Texts listed;
    } cases[] = {
        {3, 0, {"A", "A1", "A2", "A3"}},
        {3, 1, {"A1"}},
        {3, 2, {"A2"}},
        {4, 0, {"B", "B1", "B4", "B3"}},
        {4, 1, {"B1"}},
        {4, 2, {"B4"}},
        {2, 2, {"A"}},
        {5, -1, {"A1", "A2", "A3", "B1", "B4", "B3"}},
        {7, 1, {"A"}},
        {8, 1, {"B"}},
    };
    for (const Case& c : cases) {
        query(form, form.cbRu.List(c.criterion), c.item);
        EXPECT_EQ(numbers(form), c.listed) << c.criterion << "/" << c.item;
    }
    host.pick(form.cbRu, 5);
    host.pick(form.cbSub, form.cbSub.FindEntry("O'Neil 宅"));
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"A"}));
    // A value typed by hand is used as it stands: one no voucher has finds nothing.
    form.cbSub.SetText("O'Neil");
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), Texts{});
    // A fixed list with its text changed by hand has no item chosen: nothing runs.
    query(form, "依支出", 0);
    form.cbSub.SetText("別的");
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"B", "B1", "B4", "B3"}));
    // A range restricts every criterion.
    range(form, day(2024, 5, 7), day(2024, 5, 8));
    query(form, "依支出", 0, true);
    EXPECT_EQ(numbers(form), (Texts{"B1", "B4"}));
}

// The tax lists show the tax, 進項 always as an expense and 銷項 always as an income; 費用 shows
// the amount. The amount columns are named after the chosen item.
TEST_F(VoucherQueryTest, TheTaxListsShowTheTaxUnderTheirOwnHeaders) {
    VoucherRow sale = income("S", day(2024, 5, 2), 10500);
    sale.receipt = sale.taxed = true;
    sale.tax = 500;
    add(sale);
    VoucherRow buy = expense("P", day(2024, 5, 3), 2100);
    buy.receipt = buy.taxed = true;
    buy.tax = 100;
    add(buy);
    VoucherRow fee = expense("F", day(2024, 5, 4), 800);
    fee.receipt = true;
    add(fee);
    VoucherRow noReceipt = expense("N", day(2024, 5, 5), 900);
    noReceipt.taxed = true;
    add(noReceipt);
    frmCash& form = openQuery();
    const Grid& g = form.hfg;
    struct Case {
        int item;
        Texts headers;
        Texts listed;
        Texts firstRow;  // columns 5 to 7
    } cases[] = {
        {0, {"銷項稅額", "進項稅額"}, {"S", "P"}, {"500", "", "500"}},
        {1, {"銷項稅額", "進項稅額"}, {"P"}, {"", "100", "-100"}},
        {2, {"銷項稅額", "進項稅額"}, {"S"}, {"500", "", "500"}},
        {3, {"", "費用支出"}, {"F"}, {"", "800", "-800"}},
    };
    for (const Case& c : cases) {
        query(form, "進銷項/費用", c.item);
        EXPECT_EQ(cells(g, 0, 5, 6), c.headers) << c.item;
        EXPECT_EQ(numbers(form), c.listed) << c.item;
        EXPECT_EQ(cells(g, 1, 5, 7), c.firstRow) << c.item;
    }
    query(form, "進銷項/費用", 0);
    EXPECT_EQ(cells(g, 2, 5, 7), (Texts{"", "100", "400"}));
    EXPECT_EQ(totals(g), (Texts{"500", "100", "0", "0", "0", "0", "0", "0", "400"}));
    // Whatever pay says, 進項 is an expense and 銷項 an income.
    AccDb().Execute("UPDATE iof SET pay = 0 WHERE 單號 = 'P'");
    query(form, "進銷項/費用", 1);
    EXPECT_EQ(numbers(form), Texts{});
    AccDb().Execute("UPDATE iof SET pay = 1 WHERE 單號 = 'P'");
    AccDb().Execute("UPDATE iof SET 稅額 = NULL WHERE 單號 = 'P'");
    query(form, "進銷項/費用", 1);
    EXPECT_EQ(cells(g, 1, 5, 7), (Texts{"", "0", "0"}));
    query(form, "依收入", 0);
    EXPECT_EQ(cells(g, 0, 5, 6), (Texts{"收 入", "支 出"}));
}

// The report runs over the print table; a run that finds nothing shows the header and one empty
// row, no totals, and leaves nothing to print; a header click then sorts nothing.
TEST_F(VoucherQueryTest, PrintingRunsTheReportOverThePrintTableEmptyOrNot) {
    marchBook();
    frmCash& form = openQuery();
    const Texts fed = printTable();
    ASSERT_EQ(fed.size(), 14u);
    EXPECT_EQ(fed[2],
              "115/03/03|1150303001|工程收入|用途1150303001|5,000|<--收入票據||"
              "|王小明|李大華||");
    EXPECT_EQ(fed[5], "|||現金收入|10,000|||||||");
    host.click(form.cmdPrt);
    ASSERT_EQ(printer.printed().size(), 1u);
    EXPECT_EQ(std::filesystem::path(printer.printed()[0].job.templateFile).filename(), "io.rpt");
    EXPECT_EQ(printer.printed()[0].job.data.detail.rows.size(), 14u);

    query(form, "申請人", -1);
    EXPECT_EQ(form.hfg.Rows(), 2);
    EXPECT_EQ(cells(form.hfg, 1, 0, 12), Texts(13, ""));
    EXPECT_EQ(printTable(), Texts{});
    host.clickCell(form.hfg, 0, 2);
    EXPECT_EQ(form.hfg.Rows(), 2);
    host.click(form.cmdPrt);
    ASSERT_EQ(printer.printed().size(), 2u);
    EXPECT_TRUE(printer.printed()[1].job.data.detail.rows.empty());
}

// Amounts sort by value, the totals stay below with the same sums and get row numbers, and the
// print table follows the new order.
TEST_F(VoucherQueryTest, AHeaderClickSortsTheVouchersAndKeepsTheTotalsBelow) {
    add(income("N1", day(2026, 3, 1), 1200));
    add(income("N2", day(2026, 3, 2), 9));
    add(income("N3", day(2026, 3, 3), 10));
    add(expense("N4", day(2026, 3, 4), 5));
    frmCash& form = openQuery();
    Grid& g = form.hfg;
    const Texts before = totals(g);
    host.clickCell(g, 0, 5);
    EXPECT_EQ(numbers(form), (Texts{"N4", "N2", "N3", "N1"}));
    EXPECT_EQ(column(g, 7, 1, 4), (Texts{"1,214", "1,209", "1,219", "1,200"}));
    EXPECT_EQ(totals(g), before);
    EXPECT_EQ(column(g, 0).back(), "13");
    EXPECT_EQ(g.ForeColorAt(1, 6), 255u);
    Texts printed = printTable();
    ASSERT_EQ(printed.size(), 13u);
    EXPECT_EQ(printed[0].substr(0, printed[0].find("|用途")), "115/03/04|N4|材料費");
    EXPECT_EQ(printed[12], "|||合計(不含未兌現)|||1,214|||||");
    // Dates sort as they are shown; a click on a data row or on the corner sorts nothing.
    host.clickCell(g, 0, 1);
    EXPECT_EQ(numbers(form), (Texts{"N1", "N2", "N3", "N4"}));
    host.clickCell(g, 0, 0);
    host.clickCell(g, 3, 5);
    EXPECT_EQ(numbers(form), (Texts{"N1", "N2", "N3", "N4"}));
    EXPECT_EQ(g.Rows(), 14);
}

TEST_F(VoucherQueryTest, TheWorkbookCarriesTheTitlesTheListAndItsBorders) {
    marchBook();
    std::ofstream(folder.file("colw.ini")) << "450\n900\n-1\n1300\n2700\n";
    UserRights = 1;
    frmCash& form = openQuery();
    host.click(form.cmdPxls);
    ASSERT_EQ(host.openedFiles().size(), 1u);
    test::SheetReader sheet(host.openedFiles()[0]);
    EXPECT_EQ(sheet.text("A1"), "永建營造 ： 收支查詢");
    EXPECT_EQ(sheet.text("A2"), "查 詢 條 件:當月全部 － ");
    EXPECT_EQ(sheet.text("A3"), "無起迄日      收支狀況");
    EXPECT_EQ(sheet.text("C5"), "1150301001");
    EXPECT_EQ(sheet.text("H18"), "5,000");
    EXPECT_NEAR(sheet.width(3), 10, 0.01);
    EXPECT_NEAR(sheet.width(9), 20, 0.01);
    for (int r = 4; r <= 18; ++r)
        for (int c = 1; c <= 13; ++c)
            EXPECT_TRUE(sheet.boxed(columnLetters(c) + std::to_string(r))) << r << "," << c;
    EXPECT_FALSE(sheet.has("A19") || sheet.has("N4") || sheet.boxed("A3"));

    // With the range ticked: the labels as they stand, and the mode chosen.
    UserRights = AllRights;
    form.Unload();
    frmCash& again = openQuery();
    host.click(again.optIo);
    again.ckDate.SetValue(1);
    host.pick(again.cbRu, 3);
    host.click(again.cmdSer);
    host.click(again.cmdPxls);
    test::SheetReader ranged(host.openedFiles().at(1));
    EXPECT_EQ(ranged.text("A2"), "查 詢 條 件:依收入 － 全部收入");
    EXPECT_EQ(ranged.text("A3"), "中華民國 115/03/01 ～ 中華民國 115/03/07      現金帳");
    EXPECT_TRUE(ranged.boxed("M15"));
    EXPECT_FALSE(ranged.has("A16"));
}

TEST_F(VoucherQueryTest, ColumnWidthsAreReadAtLoadAndWrittenOnClosing) {
    frmCash& form = openQuery();
    EXPECT_EQ(form.hfg.ColWidth(0), 450);
    EXPECT_EQ(form.hfg.ColWidth(4), 2500);
    EXPECT_EQ(form.hfg.ColWidth(12), 1500);
    form.hfg.userResizeColumn(4, 3000);
    EXPECT_FALSE(std::filesystem::exists(folder.file("colw.ini")));
    form.Unload();
    std::ostringstream text;
    text << std::ifstream(folder.file("colw.ini"), std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(),
              "450\n900\n1100\n1300\n3000\n1100\n1100\n1100\n1800\n900\n900\n1500\n1500\n");
    EXPECT_EQ(openQuery().hfg.ColWidth(4), 3000);
}

// The voucher number opens the voucher alone, in a fresh voucher form, and the query runs again
// afterwards; the cheque markers of cheque vouchers open their cheque; nothing else opens.
TEST_F(VoucherQueryTest, DoubleClicksOpenTheVoucherOrItsCheque) {
    marchBook();
    Texts opened;
    Forms::registerForm<test::VoucherFormStandIn>();
    Forms::registerForm<test::ChequeFormStandIn>();
    host.onEveryModal("frmIo", [&](Form& io) {
        opened.push_back("voucher " + OpenVoucherNo + (ShowOneRecord ? " one" : ""));
        AccDb().Execute("UPDATE iof SET 金額 = 12000 WHERE 單號 = '1150302001'");
        io.Unload();
    });
    host.onEveryModal("frmBill", [&](Form& bill) {
        opened.push_back("cheque " + ChequeVoucherNo + (ShowOneRecord ? " one" : ""));
        bill.Unload();
    });
    frmCash& form = openQuery();
    auto& beside = dynamic_cast<test::VoucherFormStandIn&>(*Forms::getByName("frmIo"));
    beside.Show();
    // Holding an entry, it is kept and nothing opens.
    beside.unsaved = true;
    host.expectMessage("請先關閉收支單作業");
    host.dblClickCell(form.hfg, 1, 2);
    EXPECT_FALSE(beside.IsUnloaded());
    EXPECT_TRUE(opened.empty());
    beside.unsaved = false;
    host.clearMessages();
    // The criteria as they stand now run again.
    host.pick(form.cbRu, 4);
    host.dblClickCell(form.hfg, 1, 2);
    EXPECT_TRUE(beside.IsUnloaded());
    EXPECT_EQ(form.hfg.TextMatrix(1, 6), "12,000");
    EXPECT_EQ(numbers(form), (Texts{"1150302001", "1150304001", "1150305001", "1150306001"}));
    host.pick(form.cbRu, 0);
    host.click(form.cmdSer);
    host.dblClickCell(form.hfg, 3, 6);
    host.dblClickCell(form.hfg, 4, 5);
    const std::pair<int, int> inert[] = {{0, 2}, {1, 0}, {1, 1},  {1, 5}, {3, 5}, {5, 5},
                                         {4, 6}, {6, 2}, {14, 2}, {2, 7}, {2, 8}};
    for (auto [row, col] : inert)
        host.dblClickCell(form.hfg, row, col);
    EXPECT_EQ(opened,
              (Texts{"voucher 1150301001 one", "cheque 1150303001 one", "cheque 1150304001 one"}));
    EXPECT_FALSE(ShowOneRecord);
    EXPECT_EQ(host.messages().size(), 0u);
}

TEST_F(VoucherQueryTest, TheVoucherAndChequeFormsNotYetThereAnswerSo) {
    marchBook();
    frmCash& form = openQuery();
    host.expectMessage("此功能尚未提供");
    host.dblClickCell(form.hfg, 3, 6);
    EXPECT_EQ(host.messages().back().style, 64);
    EXPECT_EQ(host.messages().back().title, std::optional<std::string>("Kiv"));
    EXPECT_FALSE(ShowOneRecord);
}

// The print table is refilled whole or not at all: a write that fails leaves the last list.
TEST_F(VoucherQueryTest, APrintTableRefillThatFailsLeavesTheLastOne) {
    marchBook();
    frmCash& form = openQuery();
    const Texts before = printTable();
    AccDb().Execute("UPDATE iof SET 金額 = 4000 WHERE 單號 = '1150302001'");
    for (int n : {1, 2, 8, 15}) {
        host.answerMessage(AnswerOk);
        writefault::failWrite(n);
        host.click(form.cmdSer);
        writefault::clear();
        EXPECT_EQ(printTable(), before) << "write " << n;
        EXPECT_EQ(host.messages().back().style, 16) << "write " << n;
    }
    host.answerMessage(AnswerOk);
    writefault::failCommit();
    host.click(form.cmdSer);
    writefault::clear();
    EXPECT_EQ(printTable(), before);
    host.click(form.cmdSer);
    EXPECT_NE(printTable().at(1).find("|4,000|"), std::string::npos);
    EXPECT_NE(printTable(), before);
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "platform/xlsx/Workbook.h"
#include "statistics/frmCash.h"
#include "tests/statistics/VoucherBook.h"
#include "tests/support/WriteFaults.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
using namespace kiv::test;

namespace {

class VoucherQueryTest : public VoucherBook {
  protected:
    frmCash& openQuery() { return Forms::get<frmCash>(); }
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
    // V1 to V7 of March: cash income and expense, an uncashed received cheque, a cashed issued
    // cheque and its system voucher, a transfer and an unsigned voucher.
    static void marchBook() {
        AddVoucherRow(Income("1150301001", day(2026, 3, 1), 10000));
        AddVoucherRow(Expense("1150302001", day(2026, 3, 2), 3000));
        AddVoucherRow(Income("1150303001", day(2026, 3, 3), 5000, 1));
        AddVoucherRow(Expense("1150304001", day(2026, 3, 4), 2000, 3));
        AddVoucherRow(Expense("1150305001", day(2026, 3, 5), 2000, 4));
        VoucherRow transfer = Expense("1150306001", day(2026, 3, 6), 1000);
        transfer.accountCode = "9999";
        AddVoucherRow(transfer);
        AddVoucherRow(Expense("1150307001", day(2026, 3, 7), 500, -1));
    }
    // The voucher numbers listed above the ten total rows.
    static Texts numbers(const frmCash& form) {
        const int dataRows = form.hfg.Rows() >= 11 ? form.hfg.Rows() - 10 : 0;
        return dataRows ? GridColumn(form.hfg, 2, 1, dataRows) : Texts{};
    }
    // The nine totals: the value of each total row, in its own column.
    static Texts totals(const Grid& grid) {
        Texts values;
        for (int k = 0; k < 8; ++k)
            values.push_back(grid.TextMatrix(grid.Rows() - 9 + k, k % 2 == 0 ? 5 : 6));
        values.push_back(grid.TextMatrix(grid.Rows() - 1, 7));
        return values;
    }
    static Texts printTable() {
        return rows(
            PrintDb(),
            "SELECT 發生日期, 收支單號, 科目, 用途說明, 收入, 支出, 餘額, 專案名稱, 申請人, "
            "簽收人, 附註一, 附註二 FROM ptio ORDER BY rowid");
    }
};

// The march book as a user without the single-query right sees it at load: the span of every
// voucher held, the unsigned one included, and the end picker on today.
TEST_F(VoucherQueryTest, TheMonthInStatusModeWithItsRunningBalanceAndTotals) {
    marchBook();
    UserRights = 1;
    frmCash& form = openQuery();
    const Grid& g = form.hfg;
    EXPECT_FALSE(form.Fme.Visible());
    ASSERT_EQ(g.Rows(), 15);
    EXPECT_EQ(GridRow(g, 1, 0, 12),
              (Texts{"1", "115/03/01", "1150301001", "工程收入", "用途1150301001", "10,000", "",
                     "10,000", "", "王小明", "李大華", "", ""}));
    EXPECT_EQ(GridColumn(g, 2, 2, 5),
              (Texts{"1150302001", "1150303001", "1150304001", "1150305001"}));
    EXPECT_EQ(GridColumn(g, 7, 2, 5), (Texts{"7,000", "", "已兌現", "5,000"}));
    EXPECT_EQ(totals(g),
              (Texts{"10,000", "3,000", "5,000", "0", "0", "2,000", "0", "2,000", "5,000"}));
    EXPECT_EQ((Texts{form.lbSt.Caption(), form.lbEd.Caption()}),
              (Texts{"中華民國 115/03/01", "中華民國 115/03/07"}));
    EXPECT_EQ(form.DTP1.Value(), day(2026, 3, 1));
    EXPECT_EQ(form.DTP2.Value(), day(2026, 3, 15));
}

// A cheque's marker stands in the other amount column, and the balance moves only through cash
// and the cashing system vouchers.
TEST_F(VoucherQueryTest, EachStateAndDirectionFillsItsRow) {
    // Columns 5 to 7 of an income and of an expense of 1,200 in each state from 0 to 4.
    const Texts income[] = {{"1,200", "", "1,200"},
                            {"1,200", "<--收入票據", ""},
                            {"1,200", "<--已收票據", "1,200"},
                            {"1,200", "<--收入票據", "已兌現"},
                            {"1,200", "<--已收票據", "1,200"}};
    const Texts expense[] = {{"", "1,200", "-1,200"},
                             {"開出票據-->", "1,200", ""},
                             {"已付票據-->", "1,200", "-1,200"},
                             {"開出票據-->", "1,200", "已兌現"},
                             {"已付票據-->", "1,200", "-1,200"}};
    for (int state = 0; state <= 4; ++state)
        for (bool isExpense : {false, true}) {
            AccDb().Execute("DELETE FROM iof");
            AddVoucherRow(VoucherRow{"A", day(2026, 3, 1), 1200, isExpense, state});
            frmCash& form = openQuery();
            EXPECT_EQ(GridRow(form.hfg, 1, 5, 7), (isExpense ? expense : income)[state]) << state;
            if (state == 0) EXPECT_EQ(totals(form.hfg).back(), isExpense ? "-1,200" : "1,200");
            form.Unload();
        }
}

// Status mode leaves the transfers out and keeps the cashing vouchers; the cash book leaves out
// the received cheques' cashing vouchers, and with a range the issued ones too. Both ends of the
// range count, a time of day on the last one included.
TEST_F(VoucherQueryTest, TheMonthInStatusAndCashBookModesWithAndWithoutARange) {
    AddVoucherRow(Income("T0", day(2026, 3, 1), 100));
    VoucherRow transfer = Expense("T1", day(2026, 3, 2), 100);
    transfer.accountCode = "0000";
    AddVoucherRow(transfer);
    AddVoucherRow(Income("T2", day(2026, 3, 3), 100, 2));
    AddVoucherRow(Expense("T4", day(2026, 3, 4), 100, 4));
    AddVoucherRow(Income("T3", day(2026, 3, 5), 100, 3));
    AddVoucherRow(Income("F1", day(2026, 2, 28), 100));
    AddVoucherRow(Income("F2", day(2026, 4, 1), 100));
    AddVoucherRow(Income("V", day(2026, 3, 6), 100, -3));
    frmCash& form = openQuery();
    EXPECT_TRUE(form.Fme.Visible());
    EXPECT_EQ(numbers(form), (Texts{"T0", "T2", "T4", "T3"}));
    host.click(form.optIo);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"T0", "T1", "T4", "T3"}));
    range(form, day(2026, 2, 28), day(2026, 3, 31));
    form.ckDate.SetValue(1);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"F1", "T0", "T1", "T3"}));
    host.click(form.optCh);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"F1", "T0", "T2", "T4", "T3"}));
    AccDb().Execute("UPDATE iof SET 發生日期 = '2026-04-01 18:00:00' WHERE 單號 = 'F2'");
    range(form, day(2026, 3, 5), day(2026, 4, 1));
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"T3", "F2"}));
}

TEST_F(VoucherQueryTest, TheCurrentMonthEndsOnItsLastDay) {
    for (Date last : {day(2026, 2, 28), day(2028, 2, 29), day(2026, 4, 30), day(2026, 12, 31)}) {
        AccDb().Execute("DELETE FROM iof");
        setToday(last.addDays(-10));
        const Date first = day(last.year(), last.month(), 1);
        AddVoucherRow(Income("before", first.addDays(-1), 1));
        AddVoucherRow(Income("first", first, 1));
        AddVoucherRow(Income("last", last, 1));
        AddVoucherRow(Income("after", last.addDays(1), 1));
        frmCash& form = openQuery();
        EXPECT_EQ(numbers(form), (Texts{"first", "last"})) << last.iso();
        form.Unload();
    }
}

// The account list holds every name, code and direction used; the chosen row sets the direction
// the query takes, an empty value lists the whole direction, and a choice under another
// criterion leaves the direction alone.
TEST_F(VoucherQueryTest, ByAccountFollowsTheChosenRowsDirection) {
    AddVoucherRow(Income("I1", day(2025, 1, 2), 100));
    AddVoucherRow(Expense("E1", day(2025, 1, 3), 200));
    VoucherRow refund = Income("I2", day(2025, 1, 4), 50);
    refund.accountCode = "5102";
    refund.accountName = "材料費";
    AddVoucherRow(refund);
    AddVoucherRow(Expense("E2", day(2025, 1, 5), 70, -1));
    frmCash& form = openQuery();
    host.pick(form.cbRu, 1);
    ASSERT_EQ(form.cbSub.ListCount(), 3);
    EXPECT_EQ(form.cbSub.List(0, 0), "    (支出)");
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"E1"}));
    host.pick(form.cbSub, 2);
    EXPECT_EQ(form.cbSub.Text(), "材料費");
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"I2"}));
    form.cbSub.SetText("");
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"I1", "I2"}));
    host.pick(form.cbSub, 0);
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"E1"}));
    host.pick(form.cbSub, 1);
    host.pick(form.cbRu, 7);
    host.pick(form.cbSub, 0);
    EXPECT_TRUE(form.AccountIsIncome);
}

// Each criterion's value and item, the fixed states of the cheque items, a name holding a quote
// matched as it stands, and a range restricting every criterion at both of its ends.
TEST_F(VoucherQueryTest, EveryCriterionPicksItsVouchers) {
    VoucherRow a = Income("A", day(2024, 5, 2), 100);
    a.project = "O'Neil 宅";
    a.workType = "水電";
    a.applicant = "陳一";
    AddVoucherRow(a);
    for (int state : {1, 2, 3})
        AddVoucherRow(Income("A" + std::to_string(state), day(2024, 5, 2 + state), 100, state));
    VoucherRow b = Expense("B", day(2024, 5, 6), 100);
    b.workType = "木作";
    b.signer = "林二";
    b.project = "O";
    AddVoucherRow(b);
    for (auto [on, state] : {std::pair{7, 1}, std::pair{8, 4}, std::pair{9, 3}})
        AddVoucherRow(Expense("B" + std::to_string(state), day(2024, 5, on), 100, state));
    VoucherRow unsignedOne = Expense("U", day(2024, 5, 10), 100, -2);
    unsignedOne.workType = "水電";
    AddVoucherRow(unsignedOne);
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
    form.cbSub.SetText("O'Neil");
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), Texts{});
    // A fixed list with its text changed by hand has no item chosen: the whole direction runs.
    query(form, "依支出", 0);
    form.cbSub.SetText("別的");
    host.click(form.cmdSer);
    EXPECT_EQ(numbers(form), (Texts{"B", "B1", "B4", "B3"}));
    range(form, day(2024, 5, 7), day(2024, 5, 8));
    query(form, "依支出", 0, true);
    EXPECT_EQ(numbers(form), (Texts{"B1", "B4"}));
}

// The tax lists show the tax, 進項 of expense vouchers only and 銷項 of income ones; 費用 shows the
// amount. The amount columns are named after the chosen item.
TEST_F(VoucherQueryTest, TheTaxListsShowTheTaxUnderTheirOwnHeaders) {
    const std::tuple<VoucherRow, bool, bool, int> taxRows[] = {
        {Income("S", day(2024, 5, 2), 10500), true, true, 500},
        {Expense("P", day(2024, 5, 3), 2100), true, true, 100},
        {Expense("F", day(2024, 5, 4), 800), true, false, 0},
        {Expense("N", day(2024, 5, 5), 900), false, true, 0}};
    for (auto [v, receipt, taxed, tax] : taxRows) {
        std::tie(v.receipt, v.taxed, v.tax) = std::tuple{receipt, taxed, Value(tax)};
        AddVoucherRow(v);
    }
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
        EXPECT_EQ(GridRow(g, 0, 5, 6), c.headers) << c.item;
        EXPECT_EQ(numbers(form), c.listed) << c.item;
        EXPECT_EQ(GridRow(g, 1, 5, 7), c.firstRow) << c.item;
    }
    AccDb().Execute("UPDATE iof SET pay = 0 WHERE 單號 = 'P'");
    query(form, "進銷項/費用", 1);
    EXPECT_EQ(numbers(form), Texts{});
}

// The report runs over the print table; a run that finds nothing shows one empty row, no totals,
// and leaves nothing to print.
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
    EXPECT_EQ(GridRow(form.hfg, 1), Texts(13, ""));
    EXPECT_EQ(printTable(), Texts{});
    host.click(form.cmdPrt);
    ASSERT_EQ(printer.printed().size(), 2u);
    EXPECT_TRUE(printer.printed()[1].job.data.detail.rows.empty());
}

// Amounts sort by value, the totals stay below with the same sums, and the print table follows;
// a click on a data row sorts nothing.
TEST_F(VoucherQueryTest, AHeaderClickSortsTheVouchersAndKeepsTheTotalsBelow) {
    AddVoucherRow(Income("N1", day(2026, 3, 1), 1200));
    AddVoucherRow(Income("N2", day(2026, 3, 2), 9));
    AddVoucherRow(Income("N3", day(2026, 3, 3), 10));
    AddVoucherRow(Expense("N4", day(2026, 3, 4), 5));
    frmCash& form = openQuery();
    Grid& g = form.hfg;
    const Texts before = totals(g);
    host.clickCell(g, 0, 5);
    EXPECT_EQ(numbers(form), (Texts{"N4", "N2", "N3", "N1"}));
    EXPECT_EQ(totals(g), before);
    const Texts printed = printTable();
    EXPECT_EQ(printed[0].substr(0, printed[0].find("|用途")), "115/03/04|N4|材料費");
    host.clickCell(g, 0, 1);
    host.clickCell(g, 3, 5);
    EXPECT_EQ(numbers(form), (Texts{"N1", "N2", "N3", "N4"}));
}

// Amounts a double cannot hold (odd ones above 2^53), one income and one expense in each signed
// state, and an unsigned and a void voucher that are not listed: every total is exact to the
// dollar, the grand total ends where the running balance does, and a sort keeps them all.
TEST_F(VoucherQueryTest, TotalsOfEveryStateAreExactBeyondWhatADoubleHolds) {
    const int64_t base = (int64_t{1} << 53) + 1;
    for (int state = 0; state <= 4; ++state)
        for (bool isExpense : {false, true})
            AddVoucherRow(VoucherRow{"S" + std::to_string(state) + (isExpense ? "E" : "I"),
                                     day(2026, 3, 1 + state), base + 4 * state + 2 * isExpense,
                                     isExpense, state});
    AddVoucherRow(Income("U", day(2026, 3, 9), base, -1));
    AddVoucherRow(Expense("X", day(2026, 3, 9), base, -3));
    frmCash& form = openQuery();
    Grid& g = form.hfg;
    ASSERT_EQ(g.Rows(), 20);
    const Texts expected{
        "9,007,199,254,740,993", "9,007,199,254,740,995",  "9,007,199,254,740,997",
        "9,007,199,254,740,999", "18,014,398,509,482,010", "18,014,398,509,482,014",
        "9,007,199,254,741,005", "9,007,199,254,741,007",  "-6"};
    EXPECT_EQ(totals(g), expected);
    EXPECT_EQ(g.TextMatrix(10, 7), "-6");
    host.clickCell(g, 0, 6);
    EXPECT_EQ(totals(g), expected);
}

TEST_F(VoucherQueryTest, TheWorkbookCarriesTheTitlesTheListAndItsBorders) {
    marchBook();
    frmCash& form = openQuery();
    host.click(form.cmdPxls);
    SheetReader sheet(host.openedFiles().at(0));
    EXPECT_EQ(sheet.text("A1"), "永建營造 ： 收支查詢");
    EXPECT_EQ(sheet.text("A3"), "無起迄日      收支狀況");
    EXPECT_EQ(sheet.text("H18"), "5,000");
    EXPECT_TRUE(sheet.number("H18"));
    EXPECT_TRUE(sheet.boxed("A4") && sheet.boxed("M18"));
    EXPECT_FALSE(sheet.has("A19") || sheet.has("N4"));
    // With the range ticked: the labels as they stand, and the mode chosen.
    host.click(form.optIo);
    form.ckDate.SetValue(1);
    host.pick(form.cbRu, 3);
    host.click(form.cmdSer);
    host.click(form.cmdPxls);
    SheetReader ranged(host.openedFiles().at(1));
    EXPECT_EQ(ranged.text("A2"), "查 詢 條 件:依收入 － 全部收入");
    EXPECT_EQ(ranged.text("A3"), "中華民國 115/03/01 ～ 中華民國 115/03/07      現金帳");
}

TEST_F(VoucherQueryTest, ColumnWidthsAreReadAtLoadAndWrittenOnClosing) {
    frmCash& form = openQuery();
    form.hfg.userResizeColumn(4, 3000);
    EXPECT_FALSE(std::filesystem::exists(folder.file("colw.ini")));
    form.Unload();
    std::ostringstream text;
    text << std::ifstream(folder.file("colw.ini"), std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(),
              "450\n900\n1100\n1300\n3000\n1100\n1100\n1100\n1800\n900\n900\n1500\n1500\n");
    EXPECT_EQ(openQuery().hfg.ColWidth(4), 3000);
}

// The voucher form beside the query, holding an entry until the test says otherwise, and the
// cheque form; both reached by name only.
struct HeldVoucherForm : VoucherFormStandIn {
    bool HoldsUnsavedInput() const override { return unsaved; }
    std::string WorkName() const override { return "收支單"; }
    bool unsaved = true;
};
struct ChequeForm : Form {
    static constexpr const char* FormName = "frmBill";
    ChequeForm() : Form(FormName) {}
};

// A voucher form holding an entry is kept and nothing opens. Else the voucher number opens the
// voucher alone and the query runs again afterwards; a cheque voucher's marker opens its cheque.
TEST_F(VoucherQueryTest, DoubleClicksOpenTheVoucherOrItsCheque) {
    marchBook();
    frmCash& form = openQuery();
    host.expectMessage("此功能尚未提供");
    host.dblClickCell(form.hfg, 3, 6);
    host.clearMessages();

    Texts opened;
    Forms::registerForm<HeldVoucherForm>();
    Forms::registerForm<ChequeForm>();
    host.onEveryModal("frmIo", [&](Form& io) {
        opened.push_back("voucher " + OpenVoucherNo + (ShowOneRecord ? " one" : ""));
        AccDb().Execute("UPDATE iof SET 金額 = 12000 WHERE 單號 = '1150302001'");
        io.Unload();
    });
    host.onEveryModal("frmBill", [&](Form& bill) {
        opened.push_back("cheque " + ChequeVoucherNo + (ShowOneRecord ? " one" : ""));
        bill.Unload();
    });
    auto& beside = dynamic_cast<HeldVoucherForm&>(*Forms::getByName("frmIo"));
    beside.Show();
    host.expectMessage("請先關閉收支單作業");
    host.dblClickCell(form.hfg, 1, 2);
    EXPECT_FALSE(beside.IsUnloaded());
    EXPECT_TRUE(opened.empty());
    beside.unsaved = false;
    host.clearMessages();
    host.pick(form.cbRu, 4);
    host.dblClickCell(form.hfg, 1, 2);
    EXPECT_EQ(form.hfg.TextMatrix(1, 6), "12,000");
    EXPECT_EQ(numbers(form), (Texts{"1150302001", "1150304001", "1150305001", "1150306001"}));
    host.pick(form.cbRu, 0);
    host.click(form.cmdSer);
    host.dblClickCell(form.hfg, 3, 6);
    host.dblClickCell(form.hfg, 4, 5);
    const std::pair<int, int> inert[] = {{0, 2}, {1, 0}, {1, 5}, {5, 5}, {4, 6}, {14, 2}, {2, 7}};
    for (auto [row, col] : inert)
        host.dblClickCell(form.hfg, row, col);
    EXPECT_EQ(opened,
              (Texts{"voucher 1150301001 one", "cheque 1150303001 one", "cheque 1150304001 one"}));
    EXPECT_FALSE(ShowOneRecord);
    EXPECT_TRUE(host.messages().empty());
}

// The print table is refilled whole or not at all: a write that fails leaves the last list.
TEST_F(VoucherQueryTest, APrintTableRefillThatFailsLeavesTheLastOne) {
    marchBook();
    frmCash& form = openQuery();
    AccDb().Execute("UPDATE iof SET 金額 = 4000 WHERE 單號 = '1150302001'");
    ExpectEachWriteFailureLeavesTheBooks(host, {&PrintDb()}, [&] { host.click(form.cmdSer); });
    EXPECT_NE(printTable().at(1).find("|4,000|"), std::string::npos);
}

}  // namespace

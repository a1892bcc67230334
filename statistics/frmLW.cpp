#include "statistics/frmLW.h"

#include <utility>
#include <vector>

#include "platform/db/Amount.h"
#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/xlsx/GridCopy.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* Months[] = {"一月 JAN", "二月 FEB", "三月 MAR",   "四月 APR",
                                  "五月 MAY", "六月 JUN", "七月 JUL",   "八月 AUG",
                                  "九月 SEP", "十月 OCT", "十一月 NOV", "十二月 DEC"};
constexpr int ListedYears = 5;

constexpr Color FixedColor = 0xC0FFFF;
constexpr Color White = 0xFFFFFF;
constexpr Color LightBlue = 0xFFC0C0;
constexpr Color LightRed = 0xC0C0FF;
constexpr Color ShareGrey = 0xE0E0E0;
constexpr Color ResultGreen = 0xC0FFC0;

constexpr int Hourglass = 11;
constexpr int FirstMonthCol = 3;

void label(Grid& grid, int row, const char* text, Color color) {
    grid.SetTextMatrix(row, 0, text);
    SetCellForeColor(grid, row, 0, color);
}

std::string shareText(int64_t part, int64_t total) {
    return total == 0 ? "0" : ShareText(ShareOf(part, total));
}

// The first day of the month a header " 115年01月份" names.
Date monthOfHeader(const std::string& header) {
    const size_t year = header.find("年");
    const size_t month = header.find("月", year);
    const int rocYear = static_cast<int>(leadingNumber(header.substr(0, year)));
    const size_t monthStart = year + std::string("年").size();
    const int monthNumber =
        static_cast<int>(leadingNumber(header.substr(monthStart, month - monthStart)));
    return Date::fromYmd(rocYear + 1911, monthNumber, 1);
}

Date dayAfterMonth(const Date& first) {
    return first.addDays(DaysInMonth(first));
}

}  // namespace

frmLW::frmLW() : Form(FormName) {
    SetCaption("期間損益表");
    LayOut();
    cmdStar.Click = [this] { cmdStar_Click(); };
    cmdPxls.Click = [this] { cmdPxls_Click(); };
}

void frmLW::LayOut() {
    SetClientSize(12480, 8640);
    applyLayout({
        {&Label1, nullptr, 90, 120, 975, 240, "起始年月："},
        {&cbSy, nullptr, 1080, 90, 1230, 315},
        {&cbSM, nullptr, 2295, 90, 1500, 315},
        {&lbse, nullptr, 3825, 135, 255, 225, "～"},
        {&Label2, nullptr, 4185, 120, 975, 240, "終止年月："},
        {&cbEy, nullptr, 5175, 90, 1230, 315},
        {&cbEM, nullptr, 6435, 90, 1500, 315},
        {&cmdStar, nullptr, 8055, 90, 1725, 330, "開 始 查 詢"},
        {&cmdPxls, nullptr, 9855, 90, 1410, 330, "印報表(Excel)"},
        {&hfg, nullptr, 45, 495, 12345, 8070},
    });
    for (ComboBox* box : {&cbSy, &cbSM, &cbEy, &cbEM})
        box->SetStyle(2);
    for (ComboBox* box : {&cbSM, &cbEM})
        for (const char* month : Months)
            box->AddItem(month);
    hfg.SetRows(2);
    hfg.SetCols(4);
    hfg.SetFixedRows(1);
    hfg.SetFixedCols(3);
    hfg.SetBackColorFixed(FixedColor);
}

// The period offered is January to the current month of the current year.
void frmLW::Form_Load() {
    SetWidth(screenWidth());
    hfg.SetWidth(Width() - 200);
    FillYearCombos();
    cbSM.SetListIndex(0);
    cbEM.SetListIndex(Clock::today().month() - 1);
}

void frmLW::FillYearCombos() {
    const int rocYear = Clock::today().year() - 1911;
    for (int k = 0; k < ListedYears; ++k) {
        const std::string item = "民國" + std::to_string(rocYear - k) + "年";
        cbSy.AddItem(item);
        cbEy.AddItem(item);
    }
    cbSy.SetListIndex(0);
    cbEy.SetListIndex(0);
}

// A refused period leaves the statement shown as it was.
void frmLW::cmdStar_Click() {
    if (!PeriodIsValid()) return;
    hfg.SetRows(2);
    hfg.Clear();
    BuildPeriodStatement();
}

// The year lists run from the current year back, so a higher position is an earlier year.
bool frmLW::PeriodIsValid() const {
    if (cbEy.ListIndex() > cbSy.ListIndex()) {
        messageBox("終止年份不可小於起始年份", MessageExclamation, ApplicationTitle);
        return false;
    }
    if (cbEy.ListIndex() == cbSy.ListIndex() && cbEM.ListIndex() < cbSM.ListIndex()) {
        messageBox("終止月份不可小於起始月份", MessageExclamation, ApplicationTitle);
        return false;
    }
    return true;
}

// The years are those of the day of the build, whatever day the lists were filled.
void frmLW::BuildPeriodStatement() {
    const int thisYear = Clock::today().year();
    const int sy = thisYear - cbSy.ListIndex();
    const int sm = cbSM.ListIndex() + 1;
    const int ey = thisYear - cbEy.ListIndex();
    const int em = cbEM.ListIndex() + 1;
    const int months = (ey - sy) * 12 + (em - sm) + 1;

    HiddenWhileFilling hidden(hfg, Hourglass);
    SetMonthColumns(sy, sm, months);
    const Date first = Date::fromYmd(sy, sm, 1);
    const Date untilBefore = dayAfterMonth(Date::fromYmd(ey, em, 1));
    Section income = ListAccounts(false, 1, first, untilBefore);
    Section expense = ListAccounts(true, income.shareRow() + 2, first, untilBefore);
    hfg.SetTextMatrix(expense.shareRow() + 1, 0, "合計");
    for (Section* filled : {&income, &expense}) {
        const Section& section = *filled;
        FillAccountCells(*filled);
        FillSubtotals(section);
        FillShares(section);
    }
    FillResultRow(income, expense);
}

// The 合計 and 百分比 columns keep the grid's default width, even where a longer period before
// had put a month.
void frmLW::SetMonthColumns(int firstYear, int firstMonth, int months) {
    totalCol_ = FirstMonthCol + months;
    hfg.SetCols(totalCol_ + 2);
    hfg.SetColWidth(0, 850);
    hfg.SetTextMatrix(0, 1, "科目代號");
    hfg.SetTextMatrix(0, 2, "科目名稱");
    const Date first = Date::fromYmd(firstYear, firstMonth, 1);
    for (int m = 0; m < months; ++m) {
        const int col = FirstMonthCol + m;
        hfg.SetColWidth(col, 1000);
        hfg.SetCurrentCell(0, col);
        hfg.SetCellAlignment(LeftCentre);
        hfg.SetTextMatrix(0, col, Format(first.addMonths(m), " ee年mm月份"));
    }
    hfg.SetTextMatrix(0, totalCol_, "合計");
    hfg.SetTextMatrix(0, totalCol_ + 1, "百分比");
    hfg.SetColWidth(totalCol_, -1);
    hfg.SetColWidth(totalCol_ + 1, -1);
    hfg.SetColWidth(1, 1000);
    hfg.SetColWidth(2, 1000);
}

// Every account with a voucher in the period, whatever its state; the transfer accounts never.
// With no account the subtotal's label takes the place of the section's.
frmLW::Section frmLW::ListAccounts(bool expense, int firstRow, const Date& from,
                                   const Date& untilBefore) {
    std::vector<std::pair<std::string, std::string>> accounts;
    {
        Recordset rs =
            expense ? AccDb().OpenRecordset(
                          "SELECT 科目代號, 科目名稱 FROM iof WHERE 發生日期 >= ? AND 發生日期 < ? "
                          "AND pay = ? AND 科目代號 <> '9999' GROUP BY 科目代號, 科目名稱 ORDER BY "
                          "科目代號, 科目名稱",
                          from, untilBefore, true)
                    : AccDb().OpenRecordset(
                          "SELECT 科目代號, 科目名稱 FROM iof WHERE 發生日期 >= ? AND 發生日期 < ? "
                          "AND pay = ? AND 科目代號 <> '0000' GROUP BY 科目代號, 科目名稱 ORDER BY "
                          "科目代號, 科目名稱",
                          from, untilBefore, false);
        for (; !rs.Eof(); rs.MoveNext())
            accounts.emplace_back(rs.Fields("科目代號").text(), rs.Fields("科目名稱").text());
    }
    const Color color = expense ? ExpenseRed : IncomeBlue;
    const Section section{expense, firstRow, static_cast<int>(accounts.size())};
    hfg.SetRows(hfg.Rows() + section.accounts + (expense ? 4 : 1));
    label(hfg, firstRow, expense ? "支出部分" : "收入部分", color);
    for (int k = 0; k < section.accounts; ++k) {
        const int row = firstRow + k;
        hfg.SetTextMatrix(row, 1, accounts[k].first);
        hfg.SetCurrentCell(row, 1);
        hfg.SetCellAlignment(LeftCentre);
        hfg.SetCellForeColor(color);
        hfg.SetTextMatrix(row, 2, accounts[k].second);
        SetCellForeColor(hfg, row, 2, color);
    }
    label(hfg, section.subtotalRow(), "小計", color);
    label(hfg, section.shareRow(), "百分比", color);
    return section;
}

void frmLW::FillAccountCells(Section& section) {
    section.accountTotals.assign(section.accounts, 0);
    section.columnSums.assign(totalCol_ + 1, 0);
    for (int row = section.firstRow; row < section.subtotalRow(); ++row) {
        int64_t total = 0;
        for (int col = FirstMonthCol; col < totalCol_; ++col) {
            const int64_t sum = MonthSum(row, col, section.expense);
            hfg.SetTextMatrix(row, col, AmountText(sum));
            section.columnSums[col] += sum;
            total += sum;
        }
        section.accountTotals[row - section.firstRow] = total;
        section.columnSums[totalCol_] += total;
        hfg.SetTextMatrix(row, totalCol_, AmountText(total));
        SetCellBackColor(hfg, row, totalCol_, section.expense ? LightRed : LightBlue);
    }
}

// What the account of a row counted in the month of a column, from cash vouchers and cashed
// cheque vouchers of the row's own section: an account used both ways (a refund booked as income
// on an expense account) shows its income among the income and its expense among the expense.
// The account is matched by its code and name as shown, bound as values, so a quote in a name is
// only a character; a name never given reads as the empty one it shows. An account with a code
// and a name is matched by equality, which the account index serves, and then exactly, as ever.
int64_t frmLW::MonthSum(int row, int col, bool expense) const {
    const Date first = monthOfHeader(hfg.TextMatrix(0, col));
    const std::string code = hfg.TextMatrix(row, 1), name = hfg.TextMatrix(row, 2);
    Recordset rs =
        !code.empty() && !name.empty()
            ? AccDb().OpenRecordset(
                  "SELECT SUM(金額) FROM iof WHERE 科目代號 = ?1 AND 科目名稱 = ?2 AND "
                  "科目代號 = ?1 COLLATE BINARY AND 科目名稱 = ?2 COLLATE BINARY AND 發生日期 >= "
                  "?3 "
                  "AND 發生日期 < ?4 AND (方式 = 0 OR 方式 = 3) AND pay = ?5",
                  code, name, first, dayAfterMonth(first), expense)
            : AccDb().OpenRecordset(
                  "SELECT SUM(金額) FROM iof WHERE COALESCE(科目代號, '') = ? AND "
                  "COALESCE(科目名稱, '') = ? AND 發生日期 >= ? AND 發生日期 < ? AND (方式 = 0 OR "
                  "方式 = 3) AND pay = ?",
                  code, name, first, dayAfterMonth(first), expense);
    return rs.Eof() || rs.Fields(0).isNull() ? 0 : rs.Fields(0).wholeNumber();
}

// The subtotals add the whole amounts the account rows show, so the statement agrees with itself
// to the dollar.
void frmLW::FillSubtotals(const Section& section) {
    const int row = section.subtotalRow();
    const Color light = section.expense ? LightRed : LightBlue;
    for (int col = FirstMonthCol; col < totalCol_; ++col) {
        hfg.SetTextMatrix(row, col, AmountText(section.columnSums[col]));
        SetCellBackColor(hfg, row, col, light);
    }
    hfg.SetTextMatrix(row, totalCol_, AmountText(section.columnSums[totalCol_]));
    SetCellBackColor(hfg, row, totalCol_, section.expense ? ExpenseRed : IncomeBlue);
    hfg.SetCellForeColor(White);
}

// Each month's share below the subtotals, and each account's share (the subtotal's too) in the
// last column; a section without money shows "0" throughout.
void frmLW::FillShares(const Section& section) {
    const int64_t total = section.columnSums[totalCol_];
    const int shareCol = totalCol_ + 1;
    for (int col = FirstMonthCol; col <= totalCol_; ++col) {
        hfg.SetTextMatrix(section.shareRow(), col, shareText(section.columnSums[col], total));
        SetCellBackColor(hfg, section.shareRow(), col, ShareGrey);
    }
    for (int row = section.firstRow; row <= section.subtotalRow(); ++row) {
        const int64_t part =
            row == section.subtotalRow() ? total : section.accountTotals[row - section.firstRow];
        hfg.SetTextMatrix(row, shareCol, shareText(part, total));
        SetCellBackColor(hfg, row, shareCol, ShareGrey);
    }
}

void frmLW::FillResultRow(const Section& income, const Section& expense) {
    const int row = expense.shareRow() + 1;
    for (int col = FirstMonthCol; col <= totalCol_; ++col) {
        const int64_t result = income.columnSums[col] - expense.columnSums[col];
        const std::string text = AmountText(result);
        hfg.SetTextMatrix(row, col, text);
        SetCellBackColor(hfg, row, col, ResultGreen);
        hfg.SetCellForeColor(text.starts_with("-") ? ExpenseRed : IncomeBlue);
    }
}

void frmLW::cmdPxls_Click() {
    ExportStatementToExcel();
}

// The second title names the period the lists hold now, which may not be the one shown.
void frmLW::ExportStatementToExcel() {
    const std::string name = CompanyName();
    const std::string period = Label1.Caption() + cbSy.Text() + cbSM.Text() + " ～ " +
                               Label2.Caption() + cbEy.Text() + cbEM.Text();
    Workbook book =
        CopyGridToWorkbook(hfg, {name + "：" + Caption(), period}, 3, GridWidths::DefaultAsTen);
    showWorkbook(book, Caption());
}

}  // namespace kiv

#include "projects/frmPjReport.h"

#include <cstdint>

#include "platform/db/Numbers.h"
#include "platform/xlsx/GridCopy.h"
#include "platform/xlsx/Workbook.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr Color LightBlue = 0xFF8080;
constexpr Color Magenta = 0xFF00FF;
constexpr int Centre = 4;
constexpr int FirstPair = 6;
constexpr int UncashedState = 1;

void writeCell(Grid& grid, int row, int col, const std::string& text, Color colour = Grid::Unset,
               bool centred = false) {
    grid.SetCurrentCell(row, col);
    if (centred) grid.SetCellAlignment(Centre);
    if (colour != Grid::Unset) grid.SetCellForeColor(colour);
    grid.SetTextMatrix(row, col, text);
}

void addPair(Grid& grid, const std::string& name) {
    const int cols = grid.Cols() + 2;
    grid.SetCols(cols);
    writeCell(grid, 0, cols - 2, name, Grid::Unset, true);
    writeCell(grid, 0, cols - 1, name, Grid::Unset, true);
    writeCell(grid, 1, cols - 2, "支出未兌現", Magenta, true);
    writeCell(grid, 1, cols - 1, "支出已兌現", ExpenseRed, true);
}

struct ReportVoucher {
    int64_t amount;
    std::string day;
    std::string workType;
    bool expense;
    std::string number;
    bool uncashed;
};

std::vector<ReportVoucher> projectVouchers(const std::string& projectNo) {
    std::vector<ReportVoucher> vouchers;
    for (Recordset rs = AccDb().OpenRecordset(
             "SELECT 金額, 發生日期, 工程種類, pay, 單號, 方式 FROM iof WHERE 專案號碼 = ? AND "
             "方式 > -1 AND 方式 <> 2 AND 方式 <> 4 ORDER BY 單號",
             projectNo);
         !rs.Eof(); rs.MoveNext()) {
        Value day = rs.Fields("發生日期");
        vouchers.push_back(
            {rs.Fields("金額").wholeNumber(), day.isNull() ? "" : GridRocDate(day.date()),
             rs.Fields("工程種類").text(), rs.Fields("pay").boolean(), rs.Fields("單號").text(),
             rs.Fields("方式").wholeNumber() == UncashedState});
    }
    return vouchers;
}

// An expense counts once, in the first pair of its work type, else in "其他".
int expensePair(const Grid& grid, const std::string& workType) {
    const int otherPair = grid.Cols() - 2;
    for (int col = FirstPair; col < otherPair; col += 2)
        if (grid.TextMatrix(0, col) == workType) return col;
    return otherPair;
}

Color totalColour(int col) {
    if (col == 4) return LightBlue;
    if (col == 5) return IncomeBlue;
    return col % 2 == 0 ? Magenta : ExpenseRed;
}

}  // namespace

void SetupWorkTypeReportGrid(Grid& hfg, const std::vector<std::string>& workTypes) {
    hfg.Clear();
    hfg.SetRows(3);
    hfg.SetCols(6);
    hfg.SetFixedCols(4);
    hfg.SetFixedRows(2);
    hfg.SetColWidth(0, 250);
    const char* headers[] = {"結餘", "發生日期", "收支單號", "收入", "收入"};
    for (int col = 1; col <= 5; ++col)
        writeCell(hfg, 0, col, headers[col - 1], Grid::Unset, true);
    writeCell(hfg, 1, 4, "未兌現", LightBlue, true);
    writeCell(hfg, 1, 5, "已兌現", IncomeBlue, true);
    for (const std::string& name : workTypes)
        addPair(hfg, name);
    addPair(hfg, "其他");
    hfg.SetMergeCells(1);
    hfg.SetMergeRow(0, true);
    for (int col = 1; col <= 3; ++col)
        hfg.SetColWidth(col, 900);
}

void BuildWorkTypeReport(Grid& hfg, const std::string& projectNo) {
    const std::vector<ReportVoucher> vouchers = projectVouchers(projectNo);
    hfg.SetRows(2 + static_cast<int>(vouchers.size()));
    int64_t balance = 0;
    // Each column's total is added as its cells are filled.
    std::vector<int64_t> totals(hfg.Cols(), 0);
    int row = 2;
    for (const ReportVoucher& v : vouchers) {
        hfg.SetTextMatrix(row, 0, std::to_string(row - 1));
        const std::string amount = std::to_string(v.amount);
        if (v.expense) {
            balance -= v.amount;
            const int pair = expensePair(hfg, v.workType);
            const int col = v.uncashed ? pair : pair + 1;
            writeCell(hfg, row, col, amount, v.uncashed ? Magenta : ExpenseRed);
            totals[col] += v.amount;
        } else {
            balance += v.amount;
            const int col = v.uncashed ? 4 : 5;
            writeCell(hfg, row, col, amount, v.uncashed ? LightBlue : IncomeBlue);
            totals[col] += v.amount;
        }
        writeCell(hfg, row, 1, std::to_string(balance), balance < 0 ? ExpenseRed : IncomeBlue);
        hfg.SetTextMatrix(row, 2, v.day);
        hfg.SetTextMatrix(row, 3, v.number);
        ++row;
    }

    const int totalRow = hfg.Rows();
    hfg.SetRows(totalRow + 1);
    writeCell(hfg, totalRow, 1, "合 計", Grid::Unset, true);
    for (int col = 4; col < hfg.Cols(); ++col)
        writeCell(hfg, totalRow, col, std::to_string(totals[col]), totalColour(col));

    const int expenseRow = hfg.Rows();
    hfg.SetRows(expenseRow + 1);
    int64_t uncashed = 0, settled = 0;
    for (int col = FirstPair; col < hfg.Cols(); col += 2) {
        uncashed += totals[col];
        settled += totals[col + 1];
    }
    writeCell(hfg, expenseRow, 1, "支出合計", ExpenseRed, true);
    writeCell(hfg, expenseRow, 4, std::to_string(uncashed), Magenta);
    writeCell(hfg, expenseRow, 5, std::to_string(settled), ExpenseRed);
    hfg.SetFixedRows(2);
}

void ExportWorkTypeReport(const Grid& hfg, const std::string& projectName,
                          const std::string& projectNo) {
    const std::string name = CompanyName();
    Workbook book = CopyGridToWorkbook(
        hfg, {name + "：各工種收支狀況表", "專案：" + projectName + "－" + projectNo}, 3,
        GridWidths::None);
    showWorkbook(book, "各工種收支狀況表");
}

}  // namespace kiv

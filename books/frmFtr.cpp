#include "books/frmFtr.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "books/BookGrid.h"
#include "ledger/BankBook.h"
#include "ledger/CashBook.h"
#include "platform/db/Format.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/xlsx/GridCopy.h"
#include "platform/xlsx/Workbook.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr Color LightGrey = 0xE0E0E0;
constexpr Color LightYellow = 0xC0FFFF;

constexpr BookColumn ForecastColumns[] = {
    {"", 500},       {"日 期", 1400}, {"收支單號", 3500}, {"用途說明", 4000},
    {"收 入", 1500}, {"支 出", 1250}, {"說 明", 1250},    {"資金餘額", 1250},
};
constexpr int AmountInColumn = 4, AmountOutColumn = 5, RunningColumn = 7;
constexpr int WorkbookStartRow = 3;

// One line of the forecast: a balance held today or a cheque to come. The amount goes in as
// income or out as expense; a balance below zero goes out.
struct ForecastLine {
    Date day;
    std::string key;  // 收支單號, or the account's bank and kind
    std::string use;  // 用途說明, or the account number
    bool income = true;
    int64_t amount = 0;
    const char* note = "";
    std::optional<Color> back;
};

ForecastLine balanceLine(const Date& today, std::string key, std::string use, int64_t balance,
                         const char* note, Color back) {
    return {today, std::move(key), std::move(use), balance >= 0, std::llabs(balance), note, back};
}

// The unprocessed cheques up to `end`: the issued ones by their due day, the received ones by
// the day from which they can be used.
std::vector<ForecastLine> chequeLines(const Date& end) {
    std::vector<ForecastLine> lines;
    Date after = end.addDays(1);
    auto add = [&lines](Recordset rs, bool received) {
        for (; !rs.Eof(); rs.MoveNext())
            lines.push_back({rs.Fields(0).date().dateOnly(), rs.Fields("收支單號").text(),
                             rs.Fields("用途說明").text(), received,
                             rs.Fields("金額").wholeNumber(), "未處理", std::nullopt});
    };
    add(AccDb().OpenRecordset(
            "SELECT bill.到期日, bill.收支單號, iof.用途說明, bill.金額 FROM bill "
            "LEFT JOIN iof ON bill.收支單號 = iof.單號 "
            "WHERE bill.到期日 < ? AND bill.收支 = 0 AND bill.方式 = 0",
            after),
        false);
    add(AccDb().OpenRecordset("SELECT bill.deDay, bill.收支單號, iof.用途說明, bill.金額 FROM bill "
                              "LEFT JOIN iof ON bill.收支單號 = iof.單號 "
                              "WHERE bill.deDay < ? AND bill.收支 = 1 AND bill.方式 = 0",
                              after),
        true);
    // By the day as a day, not as its shown text, where ROC year 99 would follow year 100.
    std::stable_sort(lines.begin(), lines.end(), [](const ForecastLine& a, const ForecastLine& b) {
        if (a.day != b.day) return a.day < b.day;
        return a.key < b.key;
    });
    return lines;
}

// Cash first, then the ordinary accounts and the cheque accounts, each list in the order of its
// account numbers.
std::vector<ForecastLine> balanceLines(const Date& today) {
    std::vector<ForecastLine> lines;
    lines.push_back(
        balanceLine(today, "", "現金餘額", CashBalance(AccDb()), "現金帳餘額", LightGrey));
    auto add = [&](Recordset rs, AccountKind kind, const char* suffix) {
        for (; !rs.Eof(); rs.MoveNext()) {
            std::string bank = rs.Fields("bank").text(), account = rs.Fields("id").text();
            int64_t balance = AccountBalance(AccDb(), kind, bank, account);
            lines.push_back(
                balanceLine(today, bank + suffix, account, balance, "存款餘額", LightYellow));
        }
    };
    add(AccDb().OpenRecordset("SELECT bank, id FROM obank ORDER BY id"), AccountKind::Ordinary,
        "(一般存款)");
    add(AccDb().OpenRecordset("SELECT bank, id FROM bbank ORDER BY id"), AccountKind::Cheque,
        "(支票存款)");
    return lines;
}

void showLine(Grid& grid, int row, const ForecastLine& line, int64_t running) {
    grid.SetTextMatrix(row, 0, std::to_string(row));
    grid.SetTextMatrix(row, 1, ShownDate(line.day));
    grid.SetTextMatrix(row, 2, line.key);
    grid.SetTextMatrix(row, 3, line.use);
    int amountColumn = line.income ? AmountInColumn : AmountOutColumn;
    grid.SetTextMatrix(row, amountColumn, AmountText(line.amount));
    SetCellForeColor(grid, row, amountColumn, line.income ? IncomeBlue : ExpenseRed);
    grid.SetTextMatrix(row, 6, line.note);
    grid.SetTextMatrix(row, RunningColumn, AmountText(running));
    SetCellForeColor(grid, row, RunningColumn, running < 0 ? ExpenseRed : IncomeBlue);
    if (line.back)
        for (int col = 1; col < grid.Cols(); ++col)
            SetCellBackColor(grid, row, col, *line.back);
}

}  // namespace

frmFtr::frmFtr() : Form(FormName) {
    SetCaption("預估資金流量表");
    LayOut();
    PickIntoLabel(DTP, lbEd);
    Command1.Click = [this] { Command1_Click(); };
    cmdPxls.Click = [this] { cmdPxls_Click(); };
}

void frmFtr::LayOut() {
    applyLayout({
        {&Label1, nullptr, 120, 165, 3360, 285, "顯示範圍 起始日從今天起  截止日："},
        {&lbEd, nullptr, 3480, 120, 1800, 330, nullptr, ValueField},
        {&DTP, nullptr, 5280, 120, 300, 330},
        {&Command1, nullptr, 5760, 75, 1200, 420, "重新整理"},
        {&cmdPxls, nullptr, 7080, 75, 1500, 420, "印報表(Excel)"},
        {&hfg, nullptr, 0, 600, 12000, 6000},
    });
}

// The form takes the screen's width and the grid the form's.
void frmFtr::Form_Load() {
    SetWidth(screenWidth());
    SetHeight(screenHeight() - 500);
    hfg.SetWidth(ScaleWidth() - 100);
    hfg.SetHeight(Height() - 1000);
    SetForecastHeader();
    Date today = Clock::today().dateOnly();
    if (DTP.InRange(today)) DTP.SetValue(today);
    ShowDate(lbEd, today);
    RefreshForecast();
}

void frmFtr::Command1_Click() {
    RefreshForecast();
}

void frmFtr::SetForecastHeader() {
    SetBookColumns(hfg, ForecastColumns);
}

// The end day is read from its label. The balance lines come first, the cheques after them,
// and the last column carries the funds through all of them.
void frmFtr::RefreshForecast() {
    Date today = Clock::today().dateOnly();
    std::optional<Date> end = DateOfLabel(lbEd);
    if (!end || *end < today) {
        messageBox("截止日必須是今天以後", MessageExclamation, ApplicationTitle);
        return;
    }
    HourglassPointer busy;
    std::vector<ForecastLine> lines = balanceLines(today);
    std::vector<ForecastLine> cheques = chequeLines(end->dateOnly());
    lines.insert(lines.end(), cheques.begin(), cheques.end());

    hfg.SetRedraw(false);
    hfg.Clear();
    hfg.SetRows(1);
    SetForecastHeader();
    hfg.SetRows(static_cast<int>(lines.size()) + 1);
    int64_t running = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        running += lines[i].income ? lines[i].amount : -lines[i].amount;
        showLine(hfg, static_cast<int>(i) + 1, lines[i], running);
    }
    hfg.SetFixedRows(1);
    hfg.SetRedraw(true);
}

// The grid as shown, under the company's name and the range it covers.
void frmFtr::cmdPxls_Click() {
    std::string range =
        Label1.Caption() + Format(Clock::today(), "ggee/mm/dd") + "～" + lbEd.Caption();
    Workbook book = CopyGridToWorkbook(hfg, {CompanyName() + "：" + Caption(), range},
                                       WorkbookStartRow, GridWidths::DefaultAsSheet);
    showWorkbook(book, Caption());
}

}  // namespace kiv

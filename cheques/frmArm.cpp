#include "cheques/frmArm.h"

#include <cstdint>
#include <string>

#include "platform/db/Amount.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Layout.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr int ChequeColumns = 10;
constexpr int VoucherColumn = 9;
constexpr int ChequeWidths[ChequeColumns] = {200, 1100, 2340, 1600, 900, 2000, 1200, 900, 1000, 0};
constexpr int TotalWidths[3] = {200, 4000, 1000};

// Two rows, each a caption over a cheque list with its per-account totals on the right.
constexpr int Margin = 120;
constexpr int CaptionHeight = 300;
constexpr int ListWidth = 11600;
constexpr int TotalsWidth = 5500;
constexpr int ListHeight = 3600;
constexpr int FormWidth = Margin + ListWidth + Margin + TotalsWidth + Margin;
constexpr int rowTop(int row) {
    return Margin + row * (CaptionHeight + ListHeight + Margin);
}
constexpr int FormHeight = rowTop(2);

void header(Grid& grid, int col, const std::string& text) {
    grid.SetRow(0);
    grid.SetCol(col);
    grid.SetCellAlignment(CentreCentre);
    grid.SetTextMatrix(0, col, text);
}

void setupChequeGrid(Grid& grid, const char* const (&texts)[ChequeColumns]) {
    grid.SetRows(1);
    grid.SetCols(ChequeColumns);
    grid.SetFixedRows(0);
    grid.SetFixedCols(1);
    for (int col = 0; col < ChequeColumns; ++col) {
        grid.SetColWidth(col, ChequeWidths[col]);
        header(grid, col, texts[col]);
    }
}

void setupTotalsGrid(Grid& grid, const char* bankHeader) {
    grid.SetRows(1);
    grid.SetCols(3);
    grid.SetFixedRows(0);
    grid.SetFixedCols(1);
    for (int col = 0; col < 3; ++col)
        grid.SetColWidth(col, TotalWidths[col]);
    header(grid, 0, "");
    header(grid, 1, bankHeader);
    header(grid, 2, "總金額");
}

// One cheque a list shows: the shown date is the usable date of a received cheque and the due
// date of an issued one.
void fillChequeRow(Grid& grid, int row, Recordset& rs, const char* bank, const char* account,
                   const char* person, const char* shownDay, int64_t& runningTotal,
                   const Date& today) {
    const int64_t amount = rs.Fields("金額").wholeNumber();
    runningTotal += amount;
    const Value day = rs.Fields(shownDay);
    const std::optional<Date> date = day.isNull() ? std::nullopt : std::optional(day.date());
    grid.SetTextMatrix(row, 1, rs.Fields("票據號碼").text());
    grid.SetTextMatrix(row, 2, rs.Fields(bank).text());
    grid.SetTextMatrix(row, 3, rs.Fields(account).text());
    grid.SetTextMatrix(row, 4, AmountText(amount));
    grid.SetTextMatrix(row, 5, rs.Fields(person).text());
    grid.SetTextMatrix(row, 6, date ? ShownDate(*date) : "");
    grid.SetTextMatrix(row, 7,
                       date ? std::to_string(daysBetween(today, date->dateOnly())) + " 天" : "");
    grid.SetTextMatrix(row, 8, AmountText(runningTotal));
    grid.SetTextMatrix(row, VoucherColumn, rs.Fields("收支單號").text());
    grid.SetRow(row);
    grid.SetCol(1);
    grid.SetCellAlignment(LeftCentre);
}

// Fills the list from its query; false when no cheque is listed.
bool fillCheques(Grid& grid, Recordset rs, const char* bank, const char* account,
                 const char* person, const char* shownDay) {
    const Date today = Clock::today().dateOnly();
    int64_t runningTotal = 0;
    int row = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        grid.SetRows(++row + 1);
        fillChequeRow(grid, row, rs, bank, account, person, shownDay, runningTotal, today);
    }
    // The grid keeps its fixed row only below a last row: a header alone is no fixed row.
    if (row > 0) grid.SetFixedRows(1);
    return row > 0;
}

void fillTotals(Grid& grid, Recordset rs) {
    for (int row = 1; !rs.Eof(); rs.MoveNext(), ++row) {
        grid.SetRows(row + 1);
        grid.SetTextMatrix(row, 1, rs.Fields(0).text() + " " + rs.Fields(1).text());
        grid.SetTextMatrix(row, 2, AmountText(rs.Fields(2).wholeNumber()));
        grid.SetFixedRows(1);
    }
}

}  // namespace

frmArm::frmArm() : Form(FormName) {
    SetCaption("未處理票據提醒");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetMinButton(false);
    SetClientSize(FormWidth, FormHeight);
    SetCentreOnScreen(true);
    const int listTop0 = rowTop(0) + CaptionHeight, listTop1 = rowTop(1) + CaptionHeight;
    const int totalsLeft = Margin + ListWidth + Margin;
    applyLayout({
        {&Label2, nullptr, Margin, rowTop(0), 3000, CaptionHeight, "收到票據:", Bold},
        {&hfgI, nullptr, Margin, listTop0, ListWidth, ListHeight},
        {&hfgIs, nullptr, totalsLeft, listTop0, TotalsWidth, ListHeight},
        {&Label1, nullptr, Margin, rowTop(1), 3000, CaptionHeight, "開出票據:", Bold},
        {&hfgO, nullptr, Margin, listTop1, ListWidth, ListHeight},
        {&hfgOs, nullptr, totalsLeft, listTop1, TotalsWidth, ListHeight},
    });
    hfgI.DblClick = [this] { hfgI_DblClick(); };
    hfgO.DblClick = [this] { hfgO_DblClick(); };
}

void frmArm::Form_Load() {
    SetupReminderGrids();
    FillReceivedCheques();
    FillIssuedCheques();
    // Enter opens the current cheque, so the reminder opens on the first cheque of the first list
    // that holds one.
    for (Grid* grid : {&hfgI, &hfgO}) {
        grid->SetRow(grid->Rows() > 1 ? 1 : 0);
        grid->SetCol(1);
    }
    (ReceivedListEmpty ? hfgO : hfgI).SetFocus();
}

void frmArm::SetupReminderGrids() {
    static const char* const received[ChequeColumns] = {
        "", "票據號碼", "收票銀行", "帳號", "金額", "開票人", "可用日", "延遲天數", "累計金額", ""};
    static const char* const issued[ChequeColumns] = {
        "", "票據號碼", "開票銀行", "帳號", "金額", "收票人", "到期日", "還有幾天", "累計金額", ""};
    setupChequeGrid(hfgI, received);
    setupChequeGrid(hfgO, issued);
    setupTotalsGrid(hfgIs, "收票銀行");
    setupTotalsGrid(hfgOs, "開票銀行");
}

// Received cheques appear once their due date has come, whatever their usable date; the day
// after today is bound so that a date stored with a time of day still counts as its day.
void frmArm::FillReceivedCheques() {
    Database& db = AccDb();
    const Date tomorrow = Clock::today().dateOnly().addDays(1);
    if (!fillCheques(hfgI,
                     db.OpenRecordset("SELECT 票據號碼, 收銀行, 收帳號, 金額, 開票人, 到期日, "
                                      "deDay, 收支單號 FROM bill WHERE 到期日 < ? AND 方式 = 0 "
                                      "AND 收支 = ? ORDER BY deDay, 收銀行",
                                      tomorrow, true),
                     "收銀行", "收帳號", "開票人", "deDay")) {
        ReceivedListEmpty = true;
        return;
    }
    fillTotals(hfgIs, db.OpenRecordset("SELECT 收銀行, 收帳號, SUM(金額) FROM bill WHERE 到期日 < "
                                       "? AND 方式 = 0 AND 收支 = ? GROUP BY 收銀行, 收帳號 "
                                       "ORDER BY 收銀行, 收帳號",
                                       tomorrow, true));
}

// Issued cheques appear from their reminder date on, and show how many days remain to the due
// date.
void frmArm::FillIssuedCheques() {
    Database& db = AccDb();
    const Date tomorrow = Clock::today().dateOnly().addDays(1);
    if (!fillCheques(hfgO,
                     db.OpenRecordset("SELECT 票據號碼, 開銀行, 開帳號, 金額, 收票人, 到期日, "
                                      "arDay, 收支單號 FROM bill WHERE arDay < ? AND 方式 = 0 AND "
                                      "收支 = ? ORDER BY 開銀行, 到期日",
                                      tomorrow, false),
                     "開銀行", "開帳號", "收票人", "到期日")) {
        IssuedListEmpty = true;
        return;
    }
    fillTotals(hfgOs, db.OpenRecordset("SELECT 開銀行, 開帳號, SUM(金額) FROM bill WHERE arDay < ? "
                                       "AND 方式 = 0 AND 收支 = ? GROUP BY 開銀行, 開帳號 ORDER "
                                       "BY 開銀行, 開帳號",
                                       tomorrow, false));
}

// The reminder has nothing to say when both lists are empty, and is not for a user without the
// reminder right.
void frmArm::Form_Activate() {
    if (ReceivedListEmpty && IssuedListEmpty) {
        Unload();
        return;
    }
    if (!HasRight(RightBillReminder)) Unload();
}

void frmArm::hfgI_DblClick() {
    OpenChequeOfRow(hfgI);
}

void frmArm::hfgO_DblClick() {
    OpenChequeOfRow(hfgO);
}

// The list is not refreshed afterwards: a cheque processed there stays listed until the next
// login.
void frmArm::OpenChequeOfRow(const Grid& grid) {
    const int row = grid.MouseRow();
    if (row <= 0 || row >= grid.Rows()) return;
    const std::string key = grid.TextMatrix(row, VoucherColumn);
    if (key.empty()) return;
    HandOver<std::string> voucher(ChequeVoucherNo, key);
    HandOver<bool> oneRecord(ShowOneRecord, true);
    Forms::showByName("frmBill", Modal);
}

}  // namespace kiv

#include "cheques/frmBB.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "cheques/Cheques.h"
#include "platform/db/Amount.h"
#include "platform/db/Format.h"
#include "platform/forms/Clock.h"
#include "platform/forms/ColumnWidthFile.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/ProgramFolder.h"
#include "platform/forms/UnsavedInput.h"
#include "platform/xlsx/GridCopy.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* AllBanks = "全部銀行";
constexpr const char* DueDay = "到期日";
constexpr const char* SignOffSheet = "支票簽收單";
constexpr const char* IssuedList = "開出票據明細";
constexpr const char* ReceivedList = "收到票據明細";
constexpr const char* NoRange = "無起迄日";
// Shown for a due date equal to the one above it in the summary.
constexpr const char* DittoMark = "    \"";

constexpr Color IssuedColor = 0xC0C0FF;
constexpr Color ReceivedColor = 0xFFC0C0;
constexpr Color IssuedCaptionColor = 255;
constexpr Color ReceivedCaptionColor = 0xFF0000;

constexpr int Columns = 11;
constexpr int AccountColumn = 10;
constexpr int Hourglass = 13;

// The print tables each report reads, as the last query of its direction left them (the
// summary views read the detail tables).
std::vector<std::string> printTablesOf(const std::string& choice) {
    if (choice == SignOffSheet) return {"pt"};
    if (choice == IssuedList) return {"bo", "bop", "seday"};
    if (choice == ReceivedList) return {"bi", "bip", "seday"};
    return {};
}

const ColumnWidthFile& widthFile() {
    static const ColumnWidthFile file("pcolw.ini", Columns);
    return file;
}

const char* stateText(int64_t state) {
    switch (state) {
        case ChequeUnprocessed:
            return "未處理";
        case ChequeCashed:
            return "到  期";
        case ChequeVoided:
            return "作  廢";
        case ChequeBounced:
            return "退  票";
        default:
            return "";
    }
}

// The row number, the cheque number, the issue date, the voucher number, the purpose, the state,
// the due date, the usable or reminder date, the person, the amount and the bank with account.
const std::vector<int>& defaultWidths() {
    static const std::vector<int> widths{450,  1250, 1800, 1250, 2500, 900,
                                         1800, 1800, 1500, 1250, 3000};
    return widths;
}

// The due date of a cheque row as the summary writes it; "" for a row that is no cheque.
std::string summaryDate(const std::string& shown) {
    std::optional<Date> date = parseShownDate(shown);
    return date ? GridRocDate(*date) : "";
}

std::string summaryKey(const std::string& date, const std::string& account,
                       const std::string& state) {
    return date + '\n' + account + '\n' + state;
}

void setHeader(Grid& grid, int col, const std::string& text) {
    grid.SetRow(0);
    grid.SetCol(col);
    grid.SetCellAlignment(CentreCentre);
    grid.SetTextMatrix(0, col, text);
}

void setLeftAligned(Grid& grid, int row, int col) {
    grid.SetRow(row);
    grid.SetCol(col);
    grid.SetCellAlignment(LeftCentre);
}

// The criteria box over the list, two lines high; the list fills the rest of the form.
constexpr int FrameHeight = 1080;
constexpr int Line1 = 270;
constexpr int Line2 = 660;
constexpr int BoxHeight = 315;

}  // namespace

frmBB::frmBB() : Form(FormName) {
    SetCaption("票據一覽表");
    LayOut();
    opt(0).SetValue(true);
    ckDate.SetValue(1);
    WireEvents();
}

void frmBB::LayOut() {
    applyLayout({
        {&Frame1, nullptr, 60, 0, 14400, FrameHeight, "查詢"},
        {&opt(0), &Frame1, 120, Line1, 1200, BoxHeight, "開出票據"},
        {&opt(1), &Frame1, 1380, Line1, 1200, BoxHeight, "收到票據"},
        {&lbBnk, &Frame1, 2700, Line1 + 45, 1140, BoxHeight - 45, "開票銀行：", RightAligned},
        {&cbBnk, &Frame1, 3900, Line1, 3200, BoxHeight},
        {&ckDate, &Frame1, 120, Line2, 1260, BoxHeight, "查詢日期："},
        {&cbDay, &Frame1, 1380, Line2, 1100, BoxHeight},
        {&DTP1, &Frame1, 2580, Line2, 1500, BoxHeight},
        {&lbSt, &Frame1, 4140, Line2, 2040, BoxHeight, nullptr, ValueField},
        {&Label1, &Frame1, 6210, Line2 + 45, 300, BoxHeight - 45, "～", Centred},
        {&DTP2, &Frame1, 6540, Line2, 1500, BoxHeight},
        {&lbEd, &Frame1, 8100, Line2, 2040, BoxHeight, nullptr, ValueField},
        {&Command1, &Frame1, 7300, Line1 - 30, 1200, 375, "查  詢"},
        {&Combo1, &Frame1, 10320, Line1, 1900, BoxHeight},
        {&cmdPio, &Frame1, 12300, Line1 - 30, 1200, 375, "列   印"},
        {&Command2, &Frame1, 12300, Line2 - 30, 1200, 375, "列印(Excel)"},
        {&hfg, nullptr, 0, FrameHeight + 60, 14520, 6000},
    });
    lbBnk.SetForeColor(IssuedCaptionColor);
    for (ComboBox* box : {&cbBnk, &cbDay, &Combo1})
        box->SetStyle(2);
    hfg.SetCols(Columns);
    hfg.SetAllowUserResizing(1);
}

void frmBB::WireEvents() {
    for (int i = 0; i < 2; ++i)
        opt(i).Click = [this, i] { opt_Click(i); };
    PickIntoLabel(DTP1, lbSt, [this] { DTP1_Change(); });
    PickIntoLabel(DTP2, lbEd);
    // Too narrow for the era, the pickers show the labels' ROC dates without it.
    ShowLabelCalendar(DTP1, false);
    ShowLabelCalendar(DTP2, false);
    Command1.Click = [this] { Command1_Click(); };
    Combo1.Click = [this] { Combo1_Click(); };
    cmdPio.Click = [this] { cmdPio_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    hfg.Click = [this] { hfg_Click(); };
    hfg.DblClick = [this] { hfg_DblClick(); };
}

bool frmBB::IsReceived() const {
    return !opt(0).Value();
}

void frmBB::Form_Load() {
    Move(0, 0, screenWidth(), screenHeight() - 400);
    hfg.Move(0, Frame1.Height() + 60, ScaleWidth(),
             std::max(0, ScaleHeight() - Frame1.Height() - 100));
    SetupChequeGrid();
    FillBankAccountCombo(false);
    FillDateKindCombo(false);
    FillPrintChoiceCombo(false);
    const Date today = Clock::today().dateOnly();
    DTP1.SetValue(today);
    DTP2.SetValue(today);
    ShowDate(lbSt, Date::fromYmd(today.year(), today.month(), 1));
    ShowDate(lbEd, Date::fromYmd(today.year(), today.month(), DaysInMonth(today)));
    RunChequeQuery();
    // The first month's list is shown to every user; querying again and printing need the right.
    const bool mayQuery = HasRight(RightBillQuery);
    Command1.SetEnabled(mayQuery);
    cmdPio.SetEnabled(mayQuery);
}

void frmBB::Form_Unload(int&) {
    SaveChequeColumnWidths();
}

void frmBB::opt_Click(int) {
    const bool received = IsReceived();
    lbBnk.SetForeColor(received ? ReceivedCaptionColor : IssuedCaptionColor);
    lbBnk.SetCaption(received ? "收票銀行:" : "開票銀行:");
    FillBankAccountCombo(received);
    FillDateKindCombo(received);
    FillPrintChoiceCombo(received);
}

void frmBB::FillBankAccountCombo(bool received) {
    Recordset rs = received ? AccDb().OpenRecordset(
                                  "SELECT 收銀行, 收帳號 FROM bill WHERE 收支 = ? GROUP BY 收銀行, "
                                  "收帳號 ORDER BY 收銀行, 收帳號",
                                  true)
                            : AccDb().OpenRecordset(
                                  "SELECT 開銀行, 開帳號 FROM bill WHERE 收支 = ? GROUP BY 開銀行, "
                                  "開帳號 ORDER BY 開銀行, 開帳號",
                                  false);
    cbBnk.Clear();
    cbBnk.AddItem(AllBanks);
    for (; !rs.Eof(); rs.MoveNext())
        cbBnk.AddItem(rs.Fields(0).text() + ">" + rs.Fields(1).text());
    cbBnk.SetListIndex(0);
}

void frmBB::FillDateKindCombo(bool received) {
    cbDay.Clear();
    cbDay.AddItem(DueDay);
    cbDay.AddItem(received ? "可用日" : "開票日");
    cbDay.SetListIndex(0);
}

// Selecting the first choice raises Combo1's Click, so the Excel button follows it.
void frmBB::FillPrintChoiceCombo(bool received) {
    Combo1.Clear();
    if (received) {
        Combo1.AddItem(ReceivedList);
    } else {
        Combo1.AddItem(SignOffSheet);
        Combo1.AddItem(IssuedList);
    }
    Combo1.SetListIndex(0);
}

// A new start day also moves the end to it, so a query right after covers that one day.
void frmBB::DTP1_Change() {
    ShowDate(lbEd, DTP1.Value());
}

void frmBB::Command1_Click() {
    RunChequeQuery();
}

// The detail tables are filled before the summary, which reads them; the list as shown, summary
// included, goes to the print table last. The list shows again however the query ends. The
// sign-off sheet is read in the list's own read of the books, so that it holds the cheques the
// list shows whatever another copy saves meanwhile. Each print table is kept for the rows shown
// before pt.mdb is written, so that a query stopped by another copy holding pt.mdb leaves the list
// shown, which prints whole.
void frmBB::RunChequeQuery() {
    queriedReceived_ = IsReceived();
    CopyOutGridRows(queriedReceived_ ? std::vector<std::string>{"bi", "bip"}
                                     : std::vector<std::string>{"bo", "bop"});
    SetupChequeGrid();
    {
        HiddenWhileFilling hidden(hfg, Hourglass);
        hfg.SetBackColorFixed(queriedReceived_ ? ReceivedColor : IssuedColor);
        {
            Transaction reading(AccDb(), TransactionKind::Reads);
            FillChequeGrid(queriedReceived_);
            if (!queriedReceived_) FillSignOffTable();
            reading.Commit();
        }
        DetailRowCount = hfg.Rows();
        KeepListShown();
        FillDetailTable();
        AppendChequeSummary();
    }
    if (!queriedReceived_) WriteKeptRows("pt");
    FillPrintTable();
}

void frmBB::SetupChequeGrid() {
    const bool received = IsReceived();
    hfg.SetCols(Columns);
    setHeader(hfg, 1, "票據號碼");
    setHeader(hfg, 2, "開票日期");
    setHeader(hfg, 3, "收支單號");
    setHeader(hfg, 4, "用途說明");
    setHeader(hfg, 5, "處理情況");
    setHeader(hfg, 6, "到期日");
    setHeader(hfg, 7, received ? "可用日" : "提醒日");
    setHeader(hfg, 8, received ? "開票人" : "收票人");
    setHeader(hfg, 9, "金額");
    setHeader(hfg, 10, received ? "收票銀行(帳號)" : "開票銀行(帳號)");
    LoadChequeColumnWidths();
}

// Received cheques are listed only with their voucher; an issued one also without (a combined
// cheque's group number is no voucher), its purpose then empty. Every criterion is bound.
void frmBB::FillChequeGrid(bool received) {
    Sql sql = received ? Sql("SELECT bill.票據號碼, bill.開票日, bill.收支單號, iof.用途說明, "
                             "bill.方式, bill.到期日, bill.deDay, bill.開票人, bill.金額, "
                             "bill.收銀行, bill.收帳號 FROM bill INNER JOIN iof ON bill.收支單號 = "
                             "iof.單號 WHERE ")
                       : Sql("SELECT bill.票據號碼, bill.開票日, bill.收支單號, iof.用途說明, "
                             "bill.方式, bill.到期日, bill.arDay, bill.收票人, bill.金額, "
                             "bill.開銀行, bill.開帳號 FROM bill LEFT JOIN iof ON bill.收支單號 = "
                             "iof.單號 WHERE ");
    std::vector<Value> params;
    if (ckDate.Value() == 1) {
        const bool byDue = cbDay.Text() == DueDay;
        sql += byDue      ? Sql("bill.到期日 >= ? AND bill.到期日 < ? AND ")
               : received ? Sql("bill.deDay >= ? AND bill.deDay < ? AND ")
                          : Sql("bill.開票日 >= ? AND bill.開票日 < ? AND ");
        // Labels that read as no date select nothing, as an empty range does.
        std::optional<DateRange> range = RangeOfLabels(lbSt, lbEd);
        params.push_back(range ? Value(range->first) : Value());
        params.push_back(range ? Value(range->untilBefore) : Value());
    }
    sql += Sql("bill.收支 = ?");
    params.push_back(received);
    if (cbBnk.Text() != AllBanks) {
        sql += received ? Sql(" AND bill.收銀行 = ? AND bill.收帳號 = ?")
                        : Sql(" AND bill.開銀行 = ? AND bill.開帳號 = ?");
        params.push_back(SplitAtDelimiter(cbBnk.Text(), ">", true));
        params.push_back(SplitAtDelimiter(cbBnk.Text(), ">", false));
    }
    sql += Sql(" ORDER BY bill.票據號碼");
    Recordset rs = AccDb().OpenRecordsetWith(sql, params);

    hfg.Clear();
    SetupChequeGrid();
    hfg.SetRows(2);
    hfg.SetFixedRows(1);
    tallies_.clear();
    if (rs.Eof()) return;
    setMousePointer(Hourglass);
    int row = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        hfg.SetRows(++row + 1);
        hfg.SetTextMatrix(row, 1, rs.Fields(0).text());
        hfg.SetTextMatrix(row, 2, ShownDate(rs.Fields(1)));
        hfg.SetTextMatrix(row, 3, rs.Fields(2).text());
        hfg.SetTextMatrix(row, 4, rs.Fields(3).text());
        const std::string state =
            rs.Fields(4).isNull() ? "" : stateText(rs.Fields(4).wholeNumber());
        hfg.SetTextMatrix(row, 5, state);
        const std::string due = ShownDate(rs.Fields(5));
        hfg.SetTextMatrix(row, 6, due);
        hfg.SetTextMatrix(row, 7, ShownDate(rs.Fields(6)));
        hfg.SetTextMatrix(row, 8, rs.Fields(7).text());
        const int64_t amount = rs.Fields(8).wholeNumber();
        hfg.SetTextMatrix(row, 9, AmountText(amount));
        const std::string account = rs.Fields(9).text() + "(" + rs.Fields(10).text() + ")";
        hfg.SetTextMatrix(row, AccountColumn, account);
        TallyCheque(summaryDate(due), account, state, amount);
        for (int col : {1, 4, 8})
            setLeftAligned(hfg, row, col);
    }
    setMousePointer(0);
}

// The summary views group the detail table, which another copy of the program may have refilled
// since this copy's query: the rows listed are written again and grouped in one transaction.
std::vector<std::vector<std::string>> frmBB::ReadSummaryGroups() {
    Database& db = PrintDb();
    Transaction transaction(db, TransactionKind::Writes);
    WriteKeptRows(queriedReceived_ ? "bip" : "bop");
    std::vector<std::vector<std::string>> groups;
    {
        Recordset rs = queriedReceived_ ? db.OpenRecordset("SELECT * FROM biSum ORDER BY 1, 2, 3")
                                        : db.OpenRecordset("SELECT * FROM boSum ORDER BY 1, 2, 3");
        for (; !rs.Eof(); rs.MoveNext())
            groups.push_back(
                {summaryDate(rs.Fields(0).text()), rs.Fields(1).text(), rs.Fields(2).text()});
    }
    transaction.Commit();
    return groups;
}

// A cheque without a due date belongs to no summary row.
void frmBB::TallyCheque(const std::string& due, const std::string& account,
                        const std::string& state, int64_t amount) {
    if (due.empty()) return;
    ChequeTally& tally = tallies_[summaryKey(due, account, state)];
    ++tally.count;
    tally.total += amount;
}

// One summary row per due date, account and state of the listed cheques, as the summary view
// gives them; each row's count and total are those the query tallied while it filled the cheque
// rows, which a sort only reorders.
void frmBB::AppendChequeSummary() {
    std::vector<std::vector<std::string>> groups = ReadSummaryGroups();
    if (groups.empty()) return;
    setMousePointer(Hourglass);
    const int first = DetailRowCount + 2;
    hfg.SetRows(first + static_cast<int>(groups.size()));
    const Color headerColor = queriedReceived_ ? ReceivedColor : IssuedColor;
    for (int col = 1; col < Columns; ++col) {
        hfg.SetRow(DetailRowCount + 1);
        hfg.SetCol(col);
        hfg.SetCellBackColor(headerColor);
    }
    const char* headers[] = {"到期日", "銀行", "處理", "張數", "金額"};
    for (int i = 0; i < 5; ++i)
        hfg.SetTextMatrix(DetailRowCount + 1, 3 + i, headers[i]);
    for (int row = 1; row < hfg.Rows(); ++row)
        hfg.SetTextMatrix(row, 0, std::to_string(row));
    for (size_t g = 0; g < groups.size(); ++g) {
        const int row = first + static_cast<int>(g);
        for (int i = 0; i < 3; ++i)
            hfg.SetTextMatrix(row, 3 + i, groups[g][i]);
        auto found = tallies_.find(summaryKey(groups[g][0], groups[g][1], groups[g][2]));
        const ChequeTally tally = found == tallies_.end() ? ChequeTally{} : found->second;
        hfg.SetTextMatrix(row, 6, std::to_string(tally.count));
        hfg.SetTextMatrix(row, 7, AmountText(tally.total));
    }
    // Each date is compared with what the row above shows by then, a mark included, so a run of
    // equal dates reads date, mark, date, mark.
    for (int s = first + 1; s < hfg.Rows(); ++s)
        if (hfg.TextMatrix(s, 3) == hfg.TextMatrix(s - 1, 3)) hfg.SetTextMatrix(s, 3, DittoMark);
    KeepListShown();
    setMousePointer(0);
}

void frmBB::hfg_Click() {
    SortChequeGrid();
}

// A header click sorts the cheque rows by its column, the order alternating with every click;
// the summary is built again and the printed list follows the new order.
void frmBB::SortChequeGrid() {
    const int col = hfg.MouseCol();
    if (hfg.MouseRow() != 0 || col <= 0) return;
    // The detail table keeps the query's order; the list printed follows the sort.
    CopyOutGridRows({queriedReceived_ ? "bi" : "bo"});
    hfg.SetRows(DetailRowCount);
    if (DetailRowCount > 2) SortRowsByColumn(hfg, col, SortDescending ? 2 : 1);
    SortDescending = !SortDescending;
    KeepListShown();
    AppendChequeSummary();
    FillPrintTable();
}

void frmBB::hfg_DblClick() {
    OpenChequeOrVoucher();
}

// Only for a user who may browse cheques; anyone else's double-click does nothing.
void frmBB::OpenChequeOrVoucher() {
    const int row = hfg.MouseRow();
    if (row <= 0 || row >= hfg.Rows() || !HasRight(RightBillBrowse)) return;
    if (hfg.MouseCol() == 1) OpenCheque(row);
    if (hfg.MouseCol() == 3) OpenVoucher(row);
}

// The cheque is found by what it pays (cell 3), not by its number.
void frmBB::OpenCheque(int row) {
    if (hfg.TextMatrix(row, 1).empty()) return;
    {
        HandOver<std::string> voucher(ChequeVoucherNo, hfg.TextMatrix(row, 3));
        HandOver<bool> oneRecord(ShowOneRecord, true);
        Forms::showByName("frmBill", Modal);
    }
    RunChequeQuery();
}

// A combined cheque names its vouchers; any other number opens its voucher in a fresh voucher
// form, a copy open beside the list put away first unless it holds an entry.
void frmBB::OpenVoucher(int row) {
    const std::string number = hfg.TextMatrix(row, 3);
    if (number.empty() || row >= DetailRowCount) return;
    if (IsGroupNumber(number)) {
        std::string members;
        for (const std::string& member : ChequeVouchers(AccDb(), number))
            members += member + "\n";
        messageBox("此票據為多張收支單合開票據\n收支單號如下：\n" + members, MessageExclamation,
                   ApplicationTitle);
        return;
    }
    if (!UnloadUnlessUnsaved("frmIo")) return;
    {
        HandOver<std::string> voucher(OpenVoucherNo, number);
        HandOver<bool> oneRecord(ShowOneRecord, true);
        Forms::showByName("frmIo", Modal);
    }
    RunChequeQuery();
}

void frmBB::Combo1_Click() {
    const std::string choice = Combo1.Text();
    if (choice == SignOffSheet) Command2.SetVisible(false);
    if (choice == IssuedList || choice == ReceivedList) Command2.SetVisible(true);
}

std::string frmBB::PeriodLine(const std::string& between) const {
    return lbSt.Caption() + between + lbEd.Caption();
}

// The sign-off sheet is for issued cheques, restricted by bank only: every account of the bank.
// Its rows are read and kept here; the query writes them once the list shows.
void frmBB::FillSignOffTable() {
    Sql sql(
        "SELECT 開銀行, 開帳號, 開票日, 到期日, 收票人, 票據號碼, 金額, 新台幣 FROM bill WHERE ");
    std::vector<Value> params;
    if (ckDate.Value() == 1) {
        sql += cbDay.Text() == DueDay ? Sql("到期日 >= ? AND 到期日 < ? AND ")
                                      : Sql("開票日 >= ? AND 開票日 < ? AND ");
        std::optional<DateRange> range = RangeOfLabels(lbSt, lbEd);
        params.push_back(range ? Value(range->first) : Value());
        params.push_back(range ? Value(range->untilBefore) : Value());
    }
    sql += Sql("收支 = ?");
    params.push_back(false);
    if (cbBnk.Text() != AllBanks) {
        sql += Sql(" AND 開銀行 = ?");
        params.push_back(SplitAtDelimiter(cbBnk.Text(), ">", true));
    }
    sql += Sql(" ORDER BY 票據號碼");
    PrintRows sheet{
        {"開銀行", "開帳號", "開票日", "到期日", "收票人", "票據號碼", "金額", "新台幣"}, {}};
    for (Recordset rs = AccDb().OpenRecordsetWith(sql, params); !rs.Eof(); rs.MoveNext())
        sheet.rows.push_back({rs.Fields(0).text(), rs.Fields(1).text(), ShownDate(rs.Fields(2)),
                              ShownDate(rs.Fields(3)), rs.Fields(4).text(), rs.Fields(5).text(),
                              AmountText(rs.Fields(6)), rs.Fields(7).text()});
    printRows_["pt"] = std::move(sheet);
}

// Keeps grid rows 1 .. lastRow as the rows of the print table, field k from column k + 1;
// none when no cheque is listed. The detail tables also keep the due date as a storage date,
// which the summary views order by. The rows are read from the grid while it shows them, and
// copied out only before the grid changes (CopyOutGridRows).
void frmBB::KeepGridRows(const char* table, bool withDueOrder, int lastRow) {
    const bool received = table[1] == 'i';
    PrintRows kept{
        {"票據號碼", "開票日期", "收支單號", "用途說明", "處理情況", "到期日",
         received ? "可用日" : "提醒日", received ? "開票人" : "收票人", "金額", "銀行帳號"},
        {}};
    if (withDueOrder) kept.fields.push_back("到期日序");
    kept.gridRows = hfg.Rows() > 1 && !hfg.TextMatrix(1, 1).empty() ? lastRow : 0;
    printRows_[table] = std::move(kept);
}

// The texts of one grid row as a print table takes them; `dueOrder` holds the due date's storage
// text for as long as the texts are used.
void frmBB::GridRowTexts(int row, const PrintRows& table, Database::RowTexts& texts,
                         std::string& dueOrder) const {
    for (int col = 1; col < Columns; ++col)
        texts[col - 1] = hfg.CellText(row, col);
    if (table.fields.size() < Columns) return;
    const std::optional<Date> due = parseShownDate(hfg.CellText(row, 6));
    if (due) dueOrder = due->dateOnly().iso();
    texts[Columns - 1] = due ? std::optional<std::string_view>(dueOrder) : std::nullopt;
}

// The grid is about to show other rows: the print tables still read from it keep their rows as
// texts of their own, except those the grid's next rows are kept for anyway.
void frmBB::CopyOutGridRows(const std::vector<std::string>& keptAnew) {
    for (auto& [table, kept] : printRows_) {
        if (!kept.gridRows || std::find(keptAnew.begin(), keptAnew.end(), table) != keptAnew.end())
            continue;
        Database::RowTexts texts(kept.fields.size());
        std::string dueOrder;
        for (int row = 1; row <= *kept.gridRows; ++row) {
            GridRowTexts(row, kept, texts, dueOrder);
            auto& copy = kept.rows.emplace_back();
            for (const auto& text : texts)
                copy.push_back(text ? std::optional<std::string>(*text) : std::nullopt);
        }
        kept.gridRows.reset();
    }
}

// The list printed is the grid as it shows now: kept again each time the grid changed, before
// the next write that another copy holding pt.mdb may stop.
void frmBB::KeepListShown() {
    KeepGridRows(queriedReceived_ ? "bi" : "bo", false, hfg.Rows() - 1);
}

void frmBB::FillPrintTable() {
    WriteKeptRows(queriedReceived_ ? "bi" : "bo");
}

// The cheque rows only, before the summary is appended, which writes them as it reads them back;
// the period line changes only when a cheque is listed.
void frmBB::FillDetailTable() {
    KeepGridRows(queriedReceived_ ? "bip" : "bop", true, hfg.Rows() - 1);
    if (hfg.TextMatrix(1, 1).empty()) return;
    const std::string line =
        ckDate.Value() == 1 ? cbDay.Text() + "：" + PeriodLine("～") : std::string(NoRange);
    WritePrintRows("seday", {{"期間"}, {{line}}});
}

void frmBB::WritePrintRows(const std::string& table, PrintRows rows) {
    printRows_[table] = std::move(rows);
    WriteKeptRows(table);
}

// The print table as this copy last filled it; one this copy never filled stays as it is.
void frmBB::WriteKeptRows(const std::string& table) {
    auto kept = printRows_.find(table);
    if (kept == printRows_.end()) return;
    const PrintRows& rows = kept->second;
    Database& db = PrintDb();
    Transaction transaction(db, TransactionKind::Writes);
    db.Execute(Sql("DELETE FROM ") + db.Table(table));
    size_t next = 0;
    std::string dueOrder;
    db.AppendTextRows(table, rows.fields, [&](Database::RowTexts& texts) {
        if (rows.gridRows) {
            if (static_cast<int>(++next) > *rows.gridRows) return false;
            GridRowTexts(static_cast<int>(next), rows, texts, dueOrder);
            return true;
        }
        if (next == rows.rows.size()) return false;
        const auto& row = rows.rows[next++];
        for (size_t i = 0; i < row.size(); ++i)
            texts[i] = row[i] ? std::optional<std::string_view>(*row[i]) : std::nullopt;
        return true;
    });
    transaction.Commit();
}

void frmBB::cmdPio_Click() {
    PrintChequeReport();
}

// Prints what the last query or sort of the report's direction left in the print tables. Another
// copy of the program on the same folder may have refilled them since: the print writes them
// again as it reads them.
void frmBB::PrintChequeReport() {
    crtp.SetDataFiles(0, PrintDb());
    const std::string choice = Combo1.Text();
    if (choice == SignOffSheet) crtp.SetReportFileName(programFile("bill.rpt"));
    if (choice == IssuedList) crtp.SetReportFileName(programFile("bo.rpt"));
    if (choice == ReceivedList) crtp.SetReportFileName(programFile("bi.rpt"));
    crtp.PrintFilledBy([&] {
        for (const std::string& table : printTablesOf(choice))
            WriteKeptRows(table);
    });
}

void frmBB::Command2_Click() {
    ExportChequeListToExcel();
}

void frmBB::ExportChequeListToExcel() {
    const std::string name = CompanyName();
    const std::string period =
        ckDate.Value() == 1 ? ckDate.Caption() + PeriodLine(" ～ ") : std::string(NoRange);
    Workbook book = CopyGridToWorkbook(
        hfg, {name + " ： " + Combo1.Text(), lbBnk.Caption() + cbBnk.Text(), period}, 4,
        GridWidths::DefaultAsTen);
    showWorkbook(book, Combo1.Text());
}

// Without a file of widths the columns take widths that fit what they hold.
void frmBB::LoadChequeColumnWidths() {
    widthFile().Load(hfg, defaultWidths());
}

// The widths are a convenience: a file that cannot be written does not keep the list open.
void frmBB::SaveChequeColumnWidths() {
    widthFile().Save(hfg);
}

}  // namespace kiv

#include "statistics/frmCash.h"

#include <algorithm>
#include <array>
#include <cstdlib>

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

constexpr const char* AllOfMonth = "當月全部";
constexpr const char* ByAccount = "依科目";
constexpr const char* ByWorkType = "依工種";
constexpr const char* ByIncome = "依收入";
constexpr const char* ByExpense = "依支出";
constexpr const char* ByProject = "依專案";
constexpr const char* TaxOrFee = "進銷項/費用";
constexpr const char* ByApplicant = "申請人";
constexpr const char* BySigner = "簽收人";
constexpr const char* Criteria[] = {AllOfMonth, ByAccount, ByWorkType,  ByIncome, ByExpense,
                                    ByProject,  TaxOrFee,  ByApplicant, BySigner};
constexpr const char* FeeItem = "費用";
constexpr const char* IncomeAccount = "(收入)";
constexpr const char* ExpenseAccount = "    (支出)";
constexpr const char* CashedMark = "已兌現";
constexpr const char* IssuedChequeMark = "開出票據-->";
constexpr const char* ReceivedChequeMark = "<--收入票據";

constexpr Color FixedColor = 0xC0FFC0;

constexpr int Columns = 13;
constexpr int TotalRows = 9;
constexpr int Hourglass = 11;
// Text from the left, numbers from the right.
constexpr int GeneralAlignment = 9;

// The state of a voucher signed off by a cheque, before and after the cheque was cashed.
constexpr int64_t ChequeNotCashed = 1;
constexpr int64_t ChequeWasCashed = 3;

// The eight sums of the total rows, in their order below the list: each income sum followed by
// its expense sum.
enum Total { CashIn, CashOut, UncashedIn, UncashedOut, CashedIn, CashedOut, ChequeIn, ChequeOut };

// The sum a voucher's shown value goes to, by its state: cash (0), a cheque not yet cashed (1),
// the system voucher written when a cheque was cashed (2, 4), a voucher whose cheque was cashed
// (3).
Total totalOf(int64_t state, bool expense) {
    switch (state) {
        case 0:
            return expense ? CashOut : CashIn;
        case ChequeNotCashed:
            return expense ? UncashedOut : UncashedIn;
        case ChequeWasCashed:
            return expense ? ChequeOut : ChequeIn;
        default:
            return expense ? CashedOut : CashedIn;
    }
}

const ColumnWidthFile& widthFile() {
    static const ColumnWidthFile file("colw.ini", Columns);
    return file;
}

const std::vector<int>& defaultWidths() {
    static const std::vector<int> widths{450,  900,  1100, 1300, 2500, 1100, 1100,
                                         1100, 1800, 900,  900,  1500, 1500};
    return widths;
}

// A total's label (column 4) and its value cell: bold, in the total's colour, the label aligned
// right.
void styleTotal(Grid& grid, int row, int valueCol, Color color) {
    SetCellAlignment(grid, row, 4, RightCentre);
    grid.SetCellFontBold(true);
    grid.SetCellForeColor(color);
    SetCellForeColor(grid, row, valueCol, color);
    grid.SetCellFontBold(true);
}

// The start and the day after the end of the labels' range, so that vouchers of the last day count
// whatever their time; labels that read as no date select nothing.
std::pair<Value, Value> rangeOf(const Label& start, const Label& end) {
    std::optional<DateRange> range = RangeOfLabels(start, end);
    if (!range) return {Value(), Value()};
    return {Value(range->first), Value(range->untilBefore)};
}

std::pair<Value, Value> currentMonth() {
    const Date today = Clock::today().dateOnly();
    const Date first = Date::fromYmd(today.year(), today.month(), 1);
    return {Value(first), Value(first.addDays(DaysInMonth(today)))};
}

// The criteria box along the top, two lines high; the print buttons beside it.
constexpr int FrameHeight = 1100;
constexpr int Line1 = 240;
constexpr int Line2 = 660;
constexpr int BoxHeight = 315;

}  // namespace

frmCash::frmCash() : Form(FormName) {
    SetCaption("收支查詢");
    LayOut();
    optCh.SetValue(true);
    WireEvents();
}

void frmCash::LayOut() {
    applyLayout({
        {&Fme, nullptr, 0, 0, 11000, FrameHeight, "", Borderless},
        {&Label1_0, &Fme, 120, Line1 + 45, 1140, BoxHeight - 45, "查 詢 條 件:", RightAligned},
        {&cbRu, &Fme, 1320, Line1, 1700, BoxHeight},
        {&cbSub, &Fme, 3080, Line1, 2900, BoxHeight},
        {&optIo, &Fme, 6100, Line1, 1000, BoxHeight, "現金帳"},
        {&optCh, &Fme, 7160, Line1, 1200, BoxHeight, "收支狀況"},
        {&cmdSer, &Fme, 9560, Line1 - 30, 1300, 375, "開始查詢"},
        {&ckDate, &Fme, 120, Line2, 2200, BoxHeight, "查詢日期(發生日期):"},
        {&DTP1, &Fme, 2380, Line2, 2100, BoxHeight},
        {&lbSt, &Fme, 4540, Line2, 1900, BoxHeight, nullptr, ValueField},
        {&Label1_2, &Fme, 6470, Line2 + 45, 300, BoxHeight - 45, "～", Centred},
        {&DTP2, &Fme, 6800, Line2, 2100, BoxHeight},
        {&lbEd, &Fme, 8960, Line2, 1900, BoxHeight, nullptr, ValueField},
        {&cmdPrt, nullptr, 11200, Line1 - 30, 1300, 375, "列  印"},
        {&cmdPxls, nullptr, 11200, Line2 - 30, 1300, 375, "列印(Excel)"},
        {&hfg, nullptr, 0, FrameHeight, 14520, 6000},
    });
    cbRu.SetStyle(2);
    for (const char* criterion : Criteria)
        cbRu.AddItem(criterion);
    hfg.SetCols(Columns);
    hfg.SetBackColorFixed(FixedColor);
    hfg.SetAllowUserResizing(1);
}

void frmCash::WireEvents() {
    cbRu.Click = [this] { cbRu_Click(); };
    cbSub.Click = [this] { cbSub_Click(); };
    PickIntoLabel(DTP1, lbSt);
    PickIntoLabel(DTP2, lbEd);
    cmdSer.Click = [this] { cmdSer_Click(); };
    cmdPrt.Click = [this] { cmdPrt_Click(); };
    cmdPxls.Click = [this] { cmdPxls_Click(); };
    hfg.Click = [this] { hfg_Click(); };
    hfg.DblClick = [this] { hfg_DblClick(); };
}

// The grid stays where it would stand below the criteria even when they are hidden, so the
// screen looks the same to every user.
void frmCash::Form_Load() {
    Move(0, 0, screenWidth(), screenHeight() - 400);
    hfg.Move(0, Fme.Height(), ScaleWidth(), std::max(0, ScaleHeight() - Fme.Height() - 100));
    Fme.SetVisible(HasRight(RightStatisticsSingle));
    cbRu.SetText(AllOfMonth);
    SetQueryGridHeaders();
    LoadColumnWidths();
    RunVoucherQuery();
    ShowDataSpan();
}

void frmCash::Form_Unload(int&) {
    SaveColumnWidths();
}

void frmCash::cbRu_Click() {
    FillQueryCriterionList();
}

// Column settings a criterion does not name stay as the one before left them.
void frmCash::FillQueryCriterionList() {
    cbSub.Clear();
    const std::string criterion = cbRu.Text();
    if (criterion == ByAccount) {
        cbSub.SetColumnCount(3);
        cbSub.SetTextColumn(2);
        FillListFromQuery(
            "SELECT pay, 科目名稱, 科目代號 FROM iof GROUP BY 科目名稱, 科目代號, pay "
            "ORDER BY pay DESC, 科目代號",
            3);
    } else if (criterion == ByProject) {
        cbSub.SetColumnCount(2);
        cbSub.SetTextColumn(2);
        FillListFromQuery(
            "SELECT 專案號碼, 專案名稱 FROM iof GROUP BY 專案名稱, 專案號碼 ORDER BY 專案號碼", 2);
    } else if (criterion == ByWorkType || criterion == ByApplicant || criterion == BySigner) {
        cbSub.SetColumnCount(1);
        cbSub.SetTextColumn(1);
        cbSub.SetListRows(20);
        if (criterion == ByWorkType)
            FillListFromQuery("SELECT 工程種類 FROM iof GROUP BY 工程種類", 1);
        else if (criterion == ByApplicant)
            FillListFromQuery("SELECT 申請人 FROM iof GROUP BY 申請人", 1);
        else
            FillListFromQuery("SELECT 簽收 FROM iof GROUP BY 簽收", 1);
    } else if (criterion == ByIncome) {
        FillFixedList({"全部收入", "已收票據未兌現", "已收票據已兌現"});
    } else if (criterion == ByExpense) {
        FillFixedList({"全部支出", "已付票據未兌現", "已付票據已兌現"});
    } else if (criterion == TaxOrFee) {
        FillFixedList({"進/銷項", "進項", "銷項", FeeItem});
    }
}

// The account list shows the direction first; a list of several columns with no voucher behind
// it holds one empty row. Null values are offered as empty entries.
void frmCash::FillListFromQuery(const Sql& sql, int columns) {
    std::vector<std::vector<std::string>> rows;
    for (Recordset rs = AccDb().OpenRecordset(sql); !rs.Eof(); rs.MoveNext()) {
        std::vector<std::string> row;
        for (int c = 0; c < columns; ++c)
            row.push_back(rs.Fields(c).text());
        if (columns == 3) row[0] = rs.Fields(0).boolean() ? ExpenseAccount : IncomeAccount;
        rows.push_back(std::move(row));
    }
    if (columns == 1) {
        for (const auto& row : rows)
            cbSub.AddItem(row[0]);
        return;
    }
    if (rows.empty()) rows.emplace_back(columns);
    cbSub.SetRows(std::move(rows));
}

// Setting the text to the first item chooses it, so a query right away takes item 0.
void frmCash::FillFixedList(const std::vector<const char*>& items) {
    cbSub.SetColumnCount(1);
    cbSub.SetTextColumn(1);
    for (const char* item : items)
        cbSub.AddItem(item);
    cbSub.SetText(items.front());
}

void frmCash::cbSub_Click() {
    if (cbRu.Text() != ByAccount) return;
    AccountIsIncome = cbSub.Column(0) == IncomeAccount;
}

void frmCash::cmdSer_Click() {
    RunVoucherQuery();
}

// The range comes from the labels, never from the pickers. Every value is bound, so a name
// holding a quote matches as it stands.
std::optional<frmCash::QueryText> frmCash::VoucherQueryText() const {
    const std::string criterion = cbRu.Text();
    const bool ranged = ckDate.Value() == 1;
    const int item = cbSub.ListIndex();
    const bool taxList = criterion == TaxOrFee && item >= 0 && item <= 2;
    const bool feeList = criterion == TaxOrFee && item == 3;
    QueryText query{
        taxList ? Sql("SELECT 發生日期, 單號, 科目名稱, 用途說明, pay, 金額, 方式, 專案名稱, "
                      "申請人, 簽收, 附註一, 附註二, 單據, 進銷, 稅額 FROM iof WHERE ")
        : feeList ? Sql("SELECT 發生日期, 單號, 科目名稱, 用途說明, pay, 金額, 方式, 專案名稱, "
                        "申請人, 簽收, 附註一, 附註二, 單據, 進銷 FROM iof WHERE ")
                  : Sql("SELECT 發生日期, 單號, 科目名稱, 用途說明, pay, 金額, 方式, 專案名稱, "
                        "申請人, 簽收, 附註一, 附註二 FROM iof WHERE "),
        {}};
    if (ranged || criterion == AllOfMonth) {
        auto [from, untilBefore] = ranged ? rangeOf(lbSt, lbEd) : currentMonth();
        query.sql += Sql("發生日期 >= ? AND 發生日期 < ? AND ");
        query.params = {from, untilBefore};
    }
    std::optional<Sql> condition = CriterionCondition(ranged, query.params);
    if (!condition) return std::nullopt;
    query.sql += *condition;
    return query;
}

// The condition and order of the chosen criterion; nullopt when a fixed list has no item chosen
// (or the criterion is none of the nine), and then no query runs.
std::optional<Sql> frmCash::CriterionCondition(bool ranged, std::vector<Value>& params) const {
    const std::string criterion = cbRu.Text();
    const std::string value = cbSub.Text();
    const int item = cbSub.ListIndex();
    if (criterion == AllOfMonth) {
        if (optCh.Value())
            return Sql(
                "方式 > -1 AND 科目代號 <> '0000' AND 科目代號 <> '9999' ORDER BY 發生日期, 單號");
        if (ranged) return Sql("方式 > -1 AND 方式 <> 2 AND 方式 <> 4 ORDER BY 發生日期, 單號");
        return Sql("方式 > -1 AND 方式 <> 2 ORDER BY 發生日期, 單號");
    }
    if (criterion == ByAccount) {
        if (!value.empty()) params.push_back(value);
        params.push_back(!AccountIsIncome);
        if (value.empty()) return Sql("pay = ? AND 方式 > -1 ORDER BY 發生日期, 單號, 科目代號");
        return Sql("科目名稱 = ? AND pay = ? AND 方式 > -1 ORDER BY 發生日期, 單號, 科目代號");
    }
    if (criterion == ByIncome || criterion == ByExpense) {
        if (item < 0 || item > 2) return std::nullopt;
        const bool expense = criterion == ByExpense;
        params.push_back(expense);
        if (item == 0) return Sql("pay = ? AND 方式 > -1 ORDER BY 發生日期, 單號, pay");
        params.push_back(item == 1 ? 1 : expense ? 4 : 2);
        return Sql("pay = ? AND 方式 = ? ORDER BY 發生日期, 單號, pay");
    }
    if (criterion == TaxOrFee) {
        if (item < 0 || item > 3) return std::nullopt;
        if (item == 1 || item == 2) params.push_back(item == 1);
        params.push_back(true);
        params.push_back(item != 3);
        if (item == 1 || item == 2)
            return Sql(
                "pay = ? AND 單據 = ? AND 進銷 = ? AND 方式 > -1 ORDER BY 發生日期, 單號, pay");
        return Sql("單據 = ? AND 進銷 = ? AND 方式 > -1 ORDER BY 發生日期, 單號, pay");
    }
    params.push_back(value);
    if (criterion == ByWorkType)
        return Sql("工程種類 = ? AND 方式 > -1 ORDER BY 發生日期, 單號, 工程種類");
    if (criterion == ByProject)
        return Sql("專案名稱 = ? AND 方式 > -1 ORDER BY 發生日期, 單號, 專案名稱");
    if (criterion == ByApplicant)
        return Sql("申請人 = ? AND 方式 > -1 ORDER BY 發生日期, 單號, 申請人");
    if (criterion == BySigner) return Sql("簽收 = ? AND 方式 > -1 ORDER BY 發生日期, 單號, 簽收");
    params.pop_back();
    return std::nullopt;
}

// The positions of the fields a row reads, and the criterion's choices, found once for all the
// rows of a query.
struct frmCash::QueryFields {
    QueryFields(const Recordset& rs, bool taxOrFee, int item)
        : day(rs.FieldIndex("發生日期")),
          number(rs.FieldIndex("單號")),
          account(rs.FieldIndex("科目名稱")),
          purpose(rs.FieldIndex("用途說明")),
          left{rs.FieldIndex("專案名稱"), rs.FieldIndex("申請人"), rs.FieldIndex("簽收"),
               rs.FieldIndex("附註一"), rs.FieldIndex("附註二")},
          state(rs.FieldIndex("方式")),
          pay(rs.FieldIndex("pay")),
          amount(rs.FieldIndex("金額")),
          tax(taxOrFee && item >= 0 && item <= 2 ? rs.FieldIndex("稅額") : -1),
          taxOrFee(taxOrFee),
          item(item) {}
    int day, number, account, purpose;
    // Columns 8 to 12, shown aligned left.
    int left[5];
    int state, pay, amount, tax;
    bool taxOrFee;
    int item;
};

// A run that finds nothing leaves the header and one empty row, and an empty print table, so
// that printing matches the screen.
void frmCash::RunVoucherQuery() {
    std::optional<QueryText> query = VoucherQueryText();
    if (!query) return;
    Recordset rs = AccDb().OpenRecordsetWith(query->sql, query->params);
    hfg.Clear();
    SetQueryGridHeaders();
    hasTotals_ = false;
    if (rs.Eof()) {
        hfg.SetRows(2);
        EmptyQueryPrintTable();
        return;
    }
    {
        HiddenWhileFilling hidden(hfg, Hourglass);
        // The rows are added as they are read: counting them first would run the query twice.
        // The grid grows by half again when full and is cut to the rows read at the end.
        hfg.SetRows(2);
        hfg.SetFixedRows(1);
        int64_t balance = 0;
        sums_.fill(0);
        const QueryFields fields(rs, cbRu.Text() == TaxOrFee, cbSub.ListIndex());
        int row = 1;
        for (; !rs.Eof(); ++row, rs.MoveNext()) {
            if (row >= hfg.Rows()) hfg.SetRows(row + row / 2 + 1);
            FillQueryRow(row, rs, fields, balance);
        }
        hfg.SetRows(row);
    }
    AddSummaryRows();
    FillQueryPrintTable();
}

// The cells are written from left to right: a row's cells are kept one after another, and a
// cell written before those on its left would move them all.
void frmCash::FillQueryRow(int row, const Recordset& rs, const QueryFields& fields,
                           int64_t& balance) {
    const Value day = rs.Fields(fields.day);
    hfg.SetTextMatrix(row, 0, std::to_string(row));
    hfg.SetTextMatrix(row, 1, day.isNull() ? "" : GridRocDate(day.date()));
    hfg.SetTextMatrix(row, 2, rs.FieldText(fields.number));
    hfg.SetTextMatrix(row, 3, rs.FieldText(fields.account));
    hfg.SetTextMatrix(row, 4, rs.FieldText(fields.purpose));
    FillQueryAmounts(row, rs, fields, balance);
    for (int col = 8; col <= 12; ++col)
        hfg.SetTextMatrix(row, col, rs.FieldText(fields.left[col - 8]));
}

// Columns 5 to 7: the income, the expense (or a cheque's mark) and the running balance.
void frmCash::FillQueryAmounts(int row, const Recordset& rs, const QueryFields& fields,
                               int64_t& balance) {
    const int64_t state = rs.Fields(fields.state).wholeNumber();
    // The tax lists show the tax: 進項 as an expense and 銷項 as an income, whatever pay says.
    std::optional<int64_t> value;
    bool expense = rs.Fields(fields.pay).boolean();
    if (!fields.taxOrFee) {
        value = rs.Fields(fields.amount).wholeNumber();
    } else {
        const int item = fields.item;
        if (item >= 0 && item <= 2) value = rs.Fields(fields.tax).wholeNumber();
        if (item == 3) value = rs.Fields(fields.amount).wholeNumber();
        if (item == 1) expense = true;
        if (item == 2) expense = false;
    }
    if (value && state >= 0 && state <= 4) {
        const std::string amount = AmountText(*value);
        const bool cheque = state == ChequeNotCashed || state == ChequeWasCashed;
        if (expense) {
            if (cheque)
                hfg.SetTextMatrixInColor(row, 5, IssuedChequeMark, ExpenseRed);
            else
                hfg.SetTextMatrix(row, 5, state == 0 ? "" : "已付票據-->");
            hfg.SetTextMatrixInColor(row, 6, amount, ExpenseRed);
        } else {
            hfg.SetTextMatrixInColor(row, 5, amount, IncomeBlue);
            if (cheque)
                hfg.SetTextMatrixInColor(row, 6, ReceivedChequeMark, IncomeBlue);
            else
                hfg.SetTextMatrix(row, 6, state == 0 ? "" : "<--已收票據");
        }
        if (state == ChequeWasCashed) hfg.SetTextMatrix(row, 7, CashedMark);
        if (!cheque) balance += expense ? -*value : *value;
        // Only the cash expense is added without its sign.
        const Total total = totalOf(state, expense);
        sums_[total] += total == CashOut ? std::llabs(*value) : *value;
    }
    if (state == ChequeNotCashed || state == ChequeWasCashed) return;
    hfg.SetTextMatrixInColor(row, 7, AmountText(balance), balance >= 0 ? IncomeBlue : ExpenseRed);
}

// Under 進銷項/費用 the amount columns are named after the chosen item's text.
void frmCash::SetQueryGridHeaders() {
    std::array<std::string, Columns> headers = {
        "",      "發生日期",       "收支單號", "科 目",  "用途說明",   "收 入",     "支 出",
        "餘 額", "專  案  名  稱", "申請人",   "簽收人", "附  註  一", "附  註  二"};
    if (cbRu.Text() == TaxOrFee) {
        const bool fee = cbSub.Text() == FeeItem;
        headers[5] = fee ? "" : "銷項稅額";
        headers[6] = fee ? "費用支出" : "進項稅額";
    }
    hfg.SetCols(Columns);
    // The purpose and the columns from the project on read from the left in every row; the
    // project's header keeps the general alignment it always had.
    for (int col : {4, 8, 9, 10, 11, 12})
        hfg.SetColAlignment(col, LeftCentre);
    for (int col = 1; col < Columns; ++col) {
        hfg.SetCurrentCell(0, col);
        hfg.SetCellAlignment(col == 8 ? GeneralAlignment : CentreCentre);
        hfg.SetTextMatrix(0, col, headers[col]);
    }
}

// The sums were added while the rows were filled, each value as the row shows it: a cheque counts
// once in the grand total, through the system voucher written when it was cashed. They do not
// depend on the rows' order, so a sort writes them again as they are.
void frmCash::AddSummaryRows() {
    const int n = hfg.Rows() - 1;
    hfg.SetRows(n + 1 + TotalRows);
    const char* labels[] = {
        "現金收入",     "現金支出",     "未兌現(收入)",         "未兌現(支出)",
        "已兌現(收入)", "已兌現(支出)", "未兌現->已兌現(收入)", "未兌現->已兌現(支出)"};
    for (int k = 0; k < 8; ++k) {
        const bool income = k % 2 == 0;
        styleTotal(hfg, n + 1 + k, income ? 5 : 6, income ? IncomeBlue : ExpenseRed);
        hfg.SetTextMatrix(n + 1 + k, 4, labels[k]);
    }
    for (int k = 0; k < 8; ++k)
        hfg.SetTextMatrix(n + 1 + k, k % 2 == 0 ? 5 : 6, AmountText(sums_[k]));
    const int64_t total = sums_[CashIn] + sums_[CashedIn] - sums_[CashedOut] - sums_[CashOut];
    const int last = n + TotalRows;
    styleTotal(hfg, last, 7, total >= 0 ? IncomeBlue : ExpenseRed);
    hfg.SetTextMatrix(last, 4, "合計(不含未兌現)");
    hfg.SetTextMatrix(last, 7, AmountText(total));
    hasTotals_ = true;
}

// One record per grid row below the header, in the grid's order, the row numbers left out.
void frmCash::FillQueryPrintTable() {
    static const std::vector<std::string> fields = {"發生日期", "收支單號", "科目",   "用途說明",
                                                    "收入",     "支出",     "餘額",   "專案名稱",
                                                    "申請人",   "簽收人",   "附註一", "附註二"};
    Database& db = PrintDb();
    Transaction transaction(db, TransactionKind::Writes);
    db.Execute("DELETE FROM ptio");
    int row = 0;
    db.AppendTextRows("ptio", fields, [&](Database::RowTexts& texts) {
        if (++row >= hfg.Rows()) return false;
        hfg.CellTexts(row, 1, texts);
        return true;
    });
    transaction.Commit();
}

void frmCash::EmptyQueryPrintTable() {
    PrintDb().Execute("DELETE FROM ptio");
}

// The span of every voucher held, void and unsigned ones too. The end picker shows today; its
// label keeps the last voucher's date, as only a user's pick changes it.
void frmCash::ShowDataSpan() {
    // Each end on its own, so that each is one step of the date index rather than a scan of it.
    Recordset rs = AccDb().OpenRecordset(
        "SELECT (SELECT MIN(發生日期) FROM iof), (SELECT MAX(發生日期) FROM iof)");
    if (rs.Eof() || rs.Fields(0).isNull()) return;
    const Date first = rs.Fields(0).date();
    ShowDate(lbSt, first);
    DTP1.SetValue(first.dateOnly());
    ShowDate(lbEd, rs.Fields(1).date());
    DTP2.SetValue(Clock::today().dateOnly());
}

void frmCash::hfg_Click() {
    SortQueryGrid();
}

// The data rows sort by the clicked header's column; the totals are built again below them and
// every row, the totals included, is numbered anew.
void frmCash::SortQueryGrid() {
    const int col = hfg.MouseCol();
    if (hfg.MouseRow() != 0 || col <= 0 || !hasTotals_) return;
    hfg.SetRows(hfg.Rows() - TotalRows);
    if (hfg.Rows() > 2) SortRowsByColumn(hfg, col, 1);
    AddSummaryRows();
    for (int row = 1; row < hfg.Rows(); ++row)
        hfg.SetTextMatrix(row, 0, std::to_string(row));
    FillQueryPrintTable();
}

void frmCash::hfg_DblClick() {
    OpenVoucherFromGrid();
}

void frmCash::OpenVoucherFromGrid() {
    const int row = hfg.MouseRow();
    const int col = hfg.MouseCol();
    if (row <= 0 || row >= hfg.Rows() || col <= 0) return;
    const std::string number = hfg.TextMatrix(row, 2);
    if (col == 2 && !number.empty()) OpenVoucher(number);
    if ((col == 5 && hfg.TextMatrix(row, 5) == IssuedChequeMark) ||
        (col == 6 && hfg.TextMatrix(row, 6) == ReceivedChequeMark))
        OpenCheque(number);
}

// A copy of the voucher form open beside the list is put away first, so the one shown loads
// afresh on this voucher; an edit made there shows at once in the list. A copy holding an entry
// is kept, and nothing opens.
void frmCash::OpenVoucher(const std::string& number) {
    if (!UnloadUnlessUnsaved("frmIo")) return;
    {
        HandOver<std::string> voucher(OpenVoucherNo, number);
        HandOver<bool> oneRecord(ShowOneRecord, true);
        Forms::showByName("frmIo", Modal);
    }
    RunVoucherQuery();
}

void frmCash::OpenCheque(const std::string& number) {
    HandOver<std::string> voucher(ChequeVoucherNo, number);
    HandOver<bool> oneRecord(ShowOneRecord, true);
    Forms::showByName("frmBill", Modal);
}

void frmCash::cmdPrt_Click() {
    PrintQueryReport();
}

// Prints the list as the last query or sort left it. The print table followed it, but another
// copy of the program on the same folder may have refilled it since: the print writes the list
// again as it reads it.
void frmCash::PrintQueryReport() {
    crtp.SetDataFiles(0, PrintDb());
    crtp.SetReportFileName(programFile("io.rpt"));
    crtp.PrintFilledBy([this] {
        if (hasTotals_)
            FillQueryPrintTable();
        else
            EmptyQueryPrintTable();
    });
}

void frmCash::cmdPxls_Click() {
    ExportQueryToExcel();
}

void frmCash::ExportQueryToExcel() {
    const std::string name = CompanyName();
    const std::string mode = optCh.Value() ? optCh.Caption() : optIo.Caption();
    const std::string period = ckDate.Value() == 1
                                   ? lbSt.Caption() + " ～ " + lbEd.Caption() + "      " + mode
                                   : "無起迄日      " + mode;
    Workbook book =
        CopyGridToWorkbook(hfg,
                           {name + " ： " + Caption(),
                            Label1_0.Caption() + cbRu.Text() + " － " + cbSub.Text(), period},
                           4, GridWidths::DefaultAsTen);
    showWorkbook(book, Caption());
}

void frmCash::LoadColumnWidths() {
    widthFile().Load(hfg, defaultWidths());
}

// The widths are a convenience: a file that cannot be written does not keep the form open.
void frmCash::SaveColumnWidths() {
    widthFile().Save(hfg);
}

}  // namespace kiv

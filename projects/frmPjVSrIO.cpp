#include "projects/frmPjVSrIO.h"

#include <map>
#include <utility>

#include "platform/db/Amount.h"
#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/db/Recordset.h"
#include "platform/db/Sql.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/UnsavedInput.h"
#include "platform/xlsx/GridCopy.h"
#include "platform/xlsx/Workbook.h"
#include "projects/frmPj.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr Color LightGrey = 0xE0E0E0;
constexpr Color LightGreen = 0xC0FFC0;
constexpr Color ReceivableBlue = 0xFFC0C0;
constexpr Color PayableRed = 0xC0C0FF;

constexpr const char* ContractFormName = "frmRio";

// One row of controls along the top, the grid below them down to the form's foot.
constexpr int FormHeight = 8400;
constexpr int RowTop = 90;
constexpr int BoxHeight = 330;
constexpr int ButtonTop = 60;
constexpr int ButtonHeight = 390;
constexpr int GridLeft = 60;
constexpr int GridTop = 540;
constexpr int ExcelButtonWidth = 1500;

struct Column {
    const char* caption;
    int width;
};

constexpr Column ReportColumns[] = {
    {"", 300},         {"完工", 500},     {"專案號碼", 1000}, {"專案名稱", 3000}, {"業主", 1600},
    {"簽約日", 800},   {"開工日", 800},   {"簽約金額", 900},  {"已收金額", 900},  {"未收金額", 900},
    {"發包金額", 900}, {"已付金額", 900}, {"未付金額", 900},  {"預估利潤", 900},  {"目前支出", 900},
    {"目前利潤", 900}, {"實際利潤", 900},
};

constexpr Column ContractColumns[] = {
    {"", 300},          {"應收付號碼", 1100},  {"應收付名稱", 3300},  {"客戶/廠商名稱", 1300},
    {"工程種類", 1200}, {"原始金額", 1000},    {"追加金額", 1000},    {"追減金額", 950},
    {"合計金額", 950},  {"已收/付金額", 1100}, {"未收/付金額", 1100}, {"備註", 1500},
};

// The statements of one side, receivable (ri) or payable (ro). The amounts are stored as
// "##,##0" texts; a sum over no row is Null, which adds nothing.
struct SideStatements {
    // One project's contracts with their schedules' sums, for the detail of one project.
    Sql contracts;
    // Every contract of the side with its schedules' sums, for the report of all projects.
    Sql allContracts;
};

const SideStatements Receivables{
    "SELECT id, 收名稱, 客戶名, w, 合計, 備註, "
    "(SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ri期 WHERE ri期.id = ri.id) AS "
    "期收, "
    "(SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ri加 WHERE ri加.id = ri.id) AS "
    "追加, "
    "(SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ri加 WHERE ri加.id = ri.id) "
    "AS 追加收, "
    "(SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ri減 WHERE ri減.id = ri.id) AS 追減 "
    "FROM ri WHERE 專id = ? AND 專名 = ? ORDER BY id",
    "SELECT 專id, 專名, 合計, "
    "(SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ri期 WHERE ri期.id = ri.id) AS "
    "期收, "
    "(SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ri加 WHERE ri加.id = ri.id) AS "
    "追加, "
    "(SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ri加 WHERE ri加.id = ri.id) "
    "AS 追加收, "
    "(SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ri減 WHERE ri減.id = ri.id) AS 追減 "
    "FROM ri WHERE 專id IS NOT NULL AND 專名 IS NOT NULL",
};

const SideStatements Payables{
    "SELECT id, 收名稱, 客戶名, w, 合計, 備註, "
    "(SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ro期 WHERE ro期.id = ro.id) AS "
    "期收, "
    "(SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ro加 WHERE ro加.id = ro.id) AS "
    "追加, "
    "(SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ro加 WHERE ro加.id = ro.id) "
    "AS 追加收, "
    "(SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ro減 WHERE ro減.id = ro.id) AS 追減 "
    "FROM ro WHERE 專id = ? AND 專名 = ? ORDER BY id",
    "SELECT 專id, 專名, 合計, "
    "(SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ro期 WHERE ro期.id = ro.id) AS "
    "期收, "
    "(SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ro加 WHERE ro加.id = ro.id) AS "
    "追加, "
    "(SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ro加 WHERE ro加.id = ro.id) "
    "AS 追加收, "
    "(SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ro減 WHERE ro減.id = ro.id) AS 追減 "
    "FROM ro WHERE 專id IS NOT NULL AND 專名 IS NOT NULL",
};

std::optional<int64_t> sumIn(const Value& value) {
    if (value.isNull()) return std::nullopt;
    return value.wholeNumber();
}

std::string gridDate(const Value& value) {
    return value.isNull() ? "" : GridRocDate(value.date());
}

struct ContractTotals {
    int64_t outstanding = 0;  // total + additions − reductions − everything received
    int64_t contracted = 0;   // total + additions − reductions
    int64_t settled = 0;      // instalment and addition receipts
};

// A project is matched by its number and name as the project table holds them, a missing name
// as an empty one.
using ProjectKey = std::pair<std::string, std::string>;
using TotalsByProject = std::map<ProjectKey, ContractTotals>;

// Every project's totals of one side from one statement, rather than several per contract.
TotalsByProject totalsByProject(const SideStatements& side) {
    TotalsByProject totals;
    for (Recordset rs = AccDb().OpenRecordset(side.allContracts); !rs.Eof(); rs.MoveNext()) {
        ContractTotals& project = totals[{rs.Fields("專id").text(), rs.Fields("專名").text()}];
        const int64_t contracted = AmountOf(rs.Fields("合計").text()) +
                                   sumIn(rs.Fields("追加")).value_or(0) -
                                   sumIn(rs.Fields("追減")).value_or(0);
        const int64_t settled =
            sumIn(rs.Fields("期收")).value_or(0) + sumIn(rs.Fields("追加收")).value_or(0);
        project.contracted += contracted;
        project.settled += settled;
        project.outstanding += contracted - settled;
    }
    return totals;
}

ContractTotals totalsOf(const TotalsByProject& totals, const ProjectKey& project) {
    auto found = totals.find(project);
    return found == totals.end() ? ContractTotals{} : found->second;
}

// The first day and the day after the last of the labels' range; labels that read as no date
// give a range that holds no project.
std::pair<Value, Value> signingRange(const Label& start, const Label& end) {
    std::optional<DateRange> range = RangeOfLabels(start, end);
    if (!range) return {Value(), Value()};
    return {Value(range->first), Value(range->untilBefore)};
}

// Each project with the sums of its signed-off vouchers: by cash (0), by cheque (1) or by a cheque
// since cashed (3).
Recordset projectsToReport(bool useRange, const Label& start, const Label& end) {
    if (!useRange)
        return AccDb().OpenRecordset(
            "SELECT final, id, prj, cust, stday, tCash, sinDay, "
            "(SELECT SUM(金額) FROM iof WHERE 專案號碼 = prj.id AND 專案名稱 = IFNULL(prj.prj, '') "
            "AND 方式 > -1 AND 方式 <> 2 AND 方式 <> 4 AND pay = 0) AS 收入, "
            "(SELECT SUM(金額) FROM iof WHERE 專案號碼 = prj.id AND 專案名稱 = IFNULL(prj.prj, '') "
            "AND 方式 > -1 AND 方式 <> 2 AND 方式 <> 4 AND pay = 1) AS 支出 "
            "FROM prj ORDER BY id");
    auto [from, until] = signingRange(start, end);
    return AccDb().OpenRecordset(
        "SELECT final, id, prj, cust, stday, tCash, sinDay, "
        "(SELECT SUM(金額) FROM iof WHERE 專案號碼 = prj.id AND 專案名稱 = IFNULL(prj.prj, '') "
        "AND 方式 > -1 AND 方式 <> 2 AND 方式 <> 4 AND pay = 0) AS 收入, "
        "(SELECT SUM(金額) FROM iof WHERE 專案號碼 = prj.id AND 專案名稱 = IFNULL(prj.prj, '') "
        "AND 方式 > -1 AND 方式 <> 2 AND 方式 <> 4 AND pay = 1) AS 支出 "
        "FROM prj WHERE sinDay >= ? AND sinDay < ? ORDER BY id",
        from, until);
}

frmPjVSrIO::ProjectLine projectLine(const Recordset& rs, const TotalsByProject& receivables,
                                    const TotalsByProject& payables) {
    frmPjVSrIO::ProjectLine line;
    const Value finished = rs.Fields("final");
    line.finished = !finished.isNull() && finished.boolean();
    line.no = rs.Fields("id").text();
    line.name = rs.Fields("prj").text();
    line.owner = rs.Fields("cust").text();
    line.signedOn = gridDate(rs.Fields("sinDay"));
    line.startedOn = gridDate(rs.Fields("stday"));
    const Value total = rs.Fields("tCash");
    line.signedAmount = total.isNull() ? "" : AmountText(roundHalfAwayFromZero(total.number()));
    const ContractTotals owed = totalsOf(receivables, {line.no, line.name});
    const ContractTotals owing = totalsOf(payables, {line.no, line.name});
    line.receivable = owed.outstanding;
    line.contracted = owing.contracted;
    line.paid = owing.settled;
    line.received = sumIn(rs.Fields("收入")).value_or(0);
    line.spent = sumIn(rs.Fields("支出")).value_or(0);
    return line;
}

std::vector<frmPjVSrIO::ContractLine> contractLines(const SideStatements& side,
                                                    const std::string& projectNo,
                                                    const std::string& projectName) {
    std::vector<frmPjVSrIO::ContractLine> lines;
    for (Recordset rs = AccDb().OpenRecordset(side.contracts, projectNo, projectName); !rs.Eof();
         rs.MoveNext()) {
        frmPjVSrIO::ContractLine line;
        line.no = rs.Fields("id").text();
        line.name = rs.Fields("收名稱").text();
        line.party = rs.Fields("客戶名").text();
        line.workType = rs.Fields("w").text();
        line.total = rs.Fields("合計").text();
        line.remark = rs.Fields("備註").text();
        line.additions = sumIn(rs.Fields("追加"));
        line.reductions = sumIn(rs.Fields("追減"));
        line.settled =
            sumIn(rs.Fields("期收")).value_or(0) + sumIn(rs.Fields("追加收")).value_or(0);
        lines.push_back(std::move(line));
    }
    return lines;
}

// An amount in red when it is below 0.
void setAmount(Grid& grid, int row, int col, int64_t amount, bool redWhenNegative = false) {
    grid.SetTextMatrix(row, col, AmountText(amount));
    if (redWhenNegative && amount < 0) SetCellForeColor(grid, row, col, ExpenseRed);
}

// The project form, which shows this report; the report also stands alone.
const frmPj* projectForm() {
    return Forms::isLoaded<frmPj>() ? &Forms::loadedForm<frmPj>() : nullptr;
}

}  // namespace

frmPjVSrIO::frmPjVSrIO() : Form(FormName) {
    SetClientSize(12000, FormHeight);
    SetCentreOnScreen(true);
    LayOut();
    WireEvents();
}

void frmPjVSrIO::LayOut() {
    applyLayout({
        {&Label1_0, nullptr, 120, RowTop + 45, 1260, BoxHeight - 45, "專案簽約日：", RightAligned},
        {&lbSt, nullptr, 1440, RowTop, 1900, BoxHeight},
        {&DTP1, nullptr, 3360, RowTop, 330, BoxHeight},
        {&Label1_6, nullptr, 3720, RowTop + 45, 300, BoxHeight - 45, "～", Centred},
        {&lbEd, nullptr, 4050, RowTop, 1900, BoxHeight},
        {&DTP2, nullptr, 5970, RowTop, 330, BoxHeight},
        {&cmdSer, nullptr, 6420, ButtonTop, 1100, ButtonHeight, "重  整"},
        {&lbPj, nullptr, 1440, RowTop, 5000, BoxHeight},
        {&cmdPxls, nullptr, 12000 - ExcelButtonWidth - 100, ButtonTop, ExcelButtonWidth,
         ButtonHeight, "印報表(Excel)"},
        {&hfg, nullptr, GridLeft, GridTop, 12000 - 200, FormHeight - GridTop - 100},
    });
    for (Label* label : {&lbSt, &lbEd}) {
        label->SetBackColor(LightGrey);
        label->SetForeColor(IncomeBlue);
    }
    lbPj.SetBackColor(LightGreen);
    hfg.SetCols(std::size(ReportColumns));
    hfg.SetFixedRows(1);
    hfg.SetFixedCols(4);
}

void frmPjVSrIO::WireEvents() {
    PickIntoLabel(DTP1, lbSt);
    PickIntoLabel(DTP2, lbEd);
    cmdSer.Click = [this] { cmdSer_Click(); };
    cmdPxls.Click = [this] { cmdPxls_Click(); };
    hfg.DblClick = [this] { hfg_DblClick(); };
}

// The report opens on the current month's labels but lists every project; 重整 then keeps to
// the labels' range.
void frmPjVSrIO::Form_Load() {
    SetWidth(screenWidth());
    hfg.SetWidth(ScaleWidth() - 2 * hfg.Left());
    cmdPxls.SetLeft(ScaleWidth() - cmdPxls.Width() - 100);
    const bool reportMode = ProjectReportMode;
    if (reportMode) {
        SetCaption("專案報表");
        const Date today = Clock::today().dateOnly();
        DTP1.SetValue(Date::fromYmd(today.year(), today.month(), 1));
        DTP2.SetValue(Date::fromYmd(today.year(), today.month(), DaysInMonth(today)));
        ShowDate(lbSt, DTP1.Value());
        ShowDate(lbEd, DTP2.Value());
    } else {
        SetCaption("專案-應收付情況");
        if (const frmPj* projects = projectForm()) {
            ReportProjectNo = projects->txtPjNo.Text();
            ReportProjectName = projects->txtPjN.Text();
        }
        lbPj.SetCaption(ReportProjectNo + " - " + ReportProjectName);
    }
    for (Control* control :
         std::initializer_list<Control*>{&lbSt, &DTP1, &Label1_6, &lbEd, &DTP2, &cmdSer})
        control->SetVisible(reportMode);
    lbPj.SetVisible(!reportMode);
    if (reportMode) {
        FillProjectReport(false);
    } else {
        SetupContractReportGrid(false);
        FillContractMode();
    }
}

void frmPjVSrIO::cmdSer_Click() {
    FillProjectReport(true);
}

void frmPjVSrIO::SetupContractReportGrid(bool reportMode) {
    hfg.SetRows(2);
    hfg.Clear();
    const Column* columns = reportMode ? ReportColumns : ContractColumns;
    const int count = reportMode ? std::size(ReportColumns) : std::size(ContractColumns);
    hfg.SetCols(count);
    for (int col = 0; col < count; ++col) {
        hfg.SetColWidth(col, columns[col].width);
        hfg.SetTextMatrix(0, col, columns[col].caption);
    }
}

// Every sum is read before the grid changes, so a statement that fails leaves the report shown
// as it was.
void frmPjVSrIO::FillProjectReport(bool useRange) {
    const TotalsByProject receivables = totalsByProject(Receivables);
    const TotalsByProject payables = totalsByProject(Payables);
    std::vector<ProjectLine> lines;
    for (Recordset rs = projectsToReport(useRange, lbSt, lbEd); !rs.Eof(); rs.MoveNext())
        lines.push_back(projectLine(rs, receivables, payables));
    SetupContractReportGrid(true);
    if (lines.empty()) return;
    hfg.SetVisible(false);
    ShowProjectLines(lines);
    MarkShownProject();
    ShadeAlternateRows();
    hfg.SetVisible(true);
}

void frmPjVSrIO::ShowProjectLines(const std::vector<ProjectLine>& lines) {
    hfg.SetRows(static_cast<int>(lines.size()) + 1);
    int row = 1;
    for (const ProjectLine& line : lines) {
        hfg.SetTextMatrix(row, 1, line.finished ? "Yes" : "No");
        hfg.SetTextMatrix(row, 2, line.no);
        hfg.SetTextMatrix(row, 3, line.name);
        hfg.SetTextMatrix(row, 4, line.owner);
        hfg.SetTextMatrix(row, 5, line.signedOn);
        hfg.SetTextMatrix(row, 6, line.startedOn);
        hfg.SetTextMatrix(row, 7, line.signedAmount);
        const int64_t signedAmount = AmountOf(line.signedAmount);
        const int64_t unpaid = line.contracted - line.paid;
        const int64_t currentProfit = signedAmount - line.spent;
        setAmount(hfg, row, 8, line.received);
        setAmount(hfg, row, 9, line.receivable);
        setAmount(hfg, row, 10, line.contracted);
        setAmount(hfg, row, 11, line.paid);
        setAmount(hfg, row, 12, unpaid);
        setAmount(hfg, row, 13, signedAmount - line.contracted, true);
        setAmount(hfg, row, 14, line.spent);
        setAmount(hfg, row, 15, currentProfit, true);
        setAmount(hfg, row, 16, currentProfit - unpaid, true);
        ++row;
    }
}

// The project the project form shows is marked by its number and name, both as typed there.
void frmPjVSrIO::MarkShownProject() {
    const frmPj* projects = projectForm();
    if (!projects) return;
    for (int row = 1; row < hfg.Rows(); ++row)
        if (hfg.TextMatrix(row, 2) == projects->txtPjNo.Text() &&
            hfg.TextMatrix(row, 3) == projects->txtPjN.Text())
            hfg.SetTextMatrix(row, 0, "->");
}

void frmPjVSrIO::ShadeAlternateRows() {
    for (int row = 1; row < hfg.Rows(); row += 2)
        for (int col = 4; col < hfg.Cols(); ++col)
            SetCellBackColor(hfg, row, col, LightGrey);
}

// Receivable contracts first, then payable ones, then the line of their totals' difference.
void frmPjVSrIO::FillContractMode() {
    const bool noProject = ReportProjectNo.empty() && ReportProjectName.empty();
    std::vector<ContractLine> receivables, payables;
    if (!noProject) {
        receivables = contractLines(Receivables, ReportProjectNo, ReportProjectName);
        payables = contractLines(Payables, ReportProjectNo, ReportProjectName);
    }
    hfg.SetRows(1);
    ContractProfitTotal = 0;
    AppendContractLines(receivables, true);
    AppendContractLines(payables, false);
    if (hfg.Rows() < 2) hfg.SetRows(2);
    const int profitRow = hfg.Rows();
    hfg.SetRows(profitRow + 1);
    hfg.SetTextMatrix(profitRow, 2, "利潤");
    hfg.SetTextMatrix(profitRow, 5, AmountText(ContractProfitTotal));
    hfg.SetFixedRows(1);
}

void frmPjVSrIO::AppendContractLines(const std::vector<ContractLine>& lines, bool receivable) {
    const Color colour = receivable ? ReceivableBlue : PayableRed;
    for (const ContractLine& line : lines) {
        const int row = hfg.Rows();
        hfg.SetRows(row + 1);
        for (int col = 1; col <= 10; ++col)
            SetCellBackColor(hfg, row, col, colour);
        const int64_t total = AmountOf(line.total);
        ContractProfitTotal += receivable ? total : -total;
        hfg.SetTextMatrix(row, 1, line.no);
        hfg.SetTextMatrix(row, 2, line.name);
        hfg.SetTextMatrix(row, 3, line.party);
        hfg.SetTextMatrix(row, 4, line.workType);
        hfg.SetTextMatrix(row, 5, line.total);
        hfg.SetTextMatrix(row, 6, line.additions ? AmountText(*line.additions) : "");
        hfg.SetTextMatrix(row, 7, line.reductions ? AmountText(*line.reductions) : "");
        hfg.SetRow(row);
        hfg.SetCol(7);
        hfg.SetCellForeColor(ExpenseRed);
        const int64_t whole = total + line.additions.value_or(0) - line.reductions.value_or(0);
        setAmount(hfg, row, 8, whole);
        setAmount(hfg, row, 9, line.settled);
        setAmount(hfg, row, 10, whole - line.settled);
        hfg.SetTextMatrix(row, 11, line.remark);
    }
}

// The row's side is told by its colour, so any of its cells opens it; rows without a contract
// number (the empty row, the profit line) open nothing.
void frmPjVSrIO::hfg_DblClick() {
    if (ProjectReportMode) return;
    const int row = hfg.MouseRow();
    if (row <= 0 || row >= hfg.Rows()) return;
    OpenContractOfRow(row);
}

void frmPjVSrIO::OpenContractOfRow(int row) {
    const std::string contractNo = hfg.TextMatrix(row, 1);
    if (contractNo.empty()) return;
    if (!UnloadUnlessUnsaved(ContractFormName)) return;
    HandOver<bool> side(OpenContractIsReceivable, hfg.BackColorAt(row, 1) == ReceivableBlue);
    HandOver<std::string> contract(OpenContractNo, contractNo);
    HandOver<bool> opening(OpenContractMode, true);
    Forms::showByName(ContractFormName, Modal);
}

// The range line reads the labels even while the grid lists every project, as it always has.
void frmPjVSrIO::cmdPxls_Click() {
    const bool reportMode = ProjectReportMode;
    const std::string title = reportMode ? "專案報表" : "應收付情況";
    const std::string rangeLine =
        reportMode ? "起迄日：" + lbSt.Caption() + Label1_6.Caption() + lbEd.Caption()
                   : Label1_0.Caption() + lbPj.Caption();
    Workbook book = CopyGridToWorkbook(hfg, {CompanyName() + "：" + title, rangeLine}, 3,
                                       GridWidths::DefaultAsSheet);
    showWorkbook(book, title);
}

}  // namespace kiv

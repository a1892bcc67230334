#include "contracts/frmRioser.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "contracts/Contracts.h"
#include "contracts/frmRio.h"
#include "platform/db/Amount.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/xlsx/GridCopy.h"
#include "platform/xlsx/Workbook.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr Color ReceivableColour = 0xFFC0C0;
constexpr Color PayableColour = 0xC0C0FF;
constexpr Color TotalsColour = 0xC0FFFF;
constexpr const char* NoData = "無資料";
constexpr const char* NothingFound = "找不到資料";
constexpr const char* TotalLabel = "合   計：";

enum Criterion { DueNow, Open, BillNotSent, BillSent, FullText, SignedWithin, ByProject };

constexpr int FormWidth = 11910;
constexpr int FormHeight = 8655;
constexpr int BaseCols = 7;

std::string shownDate(const Value& value) {
    return value.isNull() ? "" : GridRocDate(value.date());
}

void writeRow(Grid& grid, int row, const std::vector<std::string>& texts) {
    for (size_t c = 0; c < texts.size(); ++c)
        grid.SetTextMatrix(row, static_cast<int>(c) + 1, texts[c]);
}

}  // namespace

frmRioser::frmRioser() : Form(FormName) {
    SetCaption("應收付查詢結果");
    SetClientSize(FormWidth, FormHeight);
    LayOut();
    hfg.DblClick = [this] { hfg_DblClick(); };
    cmdPxls.Click = [this] { cmdPxls_Click(); };
    cbPj.Click = [this] { cbPj_Click(); };
}

void frmRioser::LayOut() {
    applyLayout({
        {&lbPj, nullptr, 90, 45, 690, 285, "專案："},
        {&cbPj, nullptr, 810, 0, 4335, 330},
        {&lbCase, nullptr, 6510, 45, 3800, 240},
        {&cmdPxls, nullptr, 10395, 0, 1590, 330, "印報表(Excel)", Graphical},
        {&hfg, nullptr, 45, 360, 11800, 8070},
    });
    cmdPxls.SetBackColor(ReceivableColour);
    lbPj.SetVisible(false);
    cbPj.SetVisible(false);
    cbPj.SetColumnCount(2);
    cbPj.SetTextColumn(2);
    cbPj.SetStyle(2);
}

void frmRioser::Form_Load() {
    SetWidth(screenWidth() - 10);
    hfg.SetWidth(ScaleWidth() - 2 * hfg.Left());
    frmRio& contracts = Forms::loadedForm<frmRio>();
    SearchReceivable = contracts.optIser.Value();
    SearchKind = contracts.cbSer.ListIndex();
    lbCase.SetCaption(contracts.cbSer.Text());
    hfg.SetBackColorFixed(SearchReceivable ? ReceivableColour : PayableColour);
    SetupResultGrid();
    RunContractSearch();
    AppendResultTotals();
}

// ---- The grid ----

void frmRioser::SetupResultGrid() {
    std::fill(std::begin(columnTotals_), std::end(columnTotals_), 0);
    hfg.Clear();
    hfg.SetRows(2);
    hfg.SetCols(BaseCols);
    const int widths[BaseCols] = {200, 1000, 2900, 800, 2800, 1000, 1300};
    for (int c = 0; c < BaseCols; ++c)
        hfg.SetColWidth(c, widths[c]);
    writeRow(hfg, 0,
             {"應收付號碼", "應收付名稱", "簽約日期", SearchReceivable ? "客戶名稱" : "廠商名稱",
              "聯絡人", "電話"});
    auto addColumns = [this](std::initializer_list<const char*> headers) {
        for (const char* header : headers) {
            hfg.SetCols(hfg.Cols() + 1);
            hfg.SetTextMatrix(0, hfg.Cols() - 1, header);
        }
    };
    switch (SearchKind) {
        case DueNow:
        case BillNotSent:
            addColumns({"應收付期別", "應收付金額", "應收付日期"});
            break;
        case BillSent:
            addColumns({"應收付期別", "應收付金額", "應收付日期", "已收付"});
            hfg.SetColWidth(10, 600);
            break;
        case Open:
        case SignedWithin:
        case ByProject:
            addColumns({"應收付總額", "已收付總額", "未收付總額"});
            break;
        case FullText:
            hfg.SetCols(4);
            hfg.SetColWidth(3, 9000);
            hfg.SetTextMatrix(0, 3, "搜尋結果:  (欄位名稱)  -->   找到字串");
            break;
        default:
            break;
    }
}

// A single data row, an empty result and the full-text hits are not totalled.
void frmRioser::AppendResultTotals() {
    if (hfg.TextMatrix(1, 1) == NoData || hfg.Rows() == 2) return;
    const bool contractRows =
        SearchKind == Open || SearchKind == SignedWithin || SearchKind == ByProject;
    const bool scheduleRows =
        SearchKind == DueNow || SearchKind == BillNotSent || SearchKind == BillSent;
    if (!contractRows && !scheduleRows) return;
    const int totals = hfg.Rows();
    hfg.SetRows(totals + 1);
    const int firstSummed = contractRows ? 7 : 8, lastSummed = contractRows ? 9 : 8;
    hfg.SetTextMatrix(totals, firstSummed - 1, TotalLabel);
    for (int c = firstSummed; c <= lastSummed; ++c)
        hfg.SetTextMatrix(totals, c, AmountText(columnTotals_[c]));
    hfg.SetRow(totals);
    for (int c = 1; c < hfg.Cols(); ++c) {
        hfg.SetCol(c);
        hfg.SetCellBackColor(TotalsColour);
    }
}

// ---- The searches ----

void frmRioser::RunContractSearch() {
    switch (SearchKind) {
        case DueNow:
        case BillNotSent:
        case BillSent:
            ListSchedules();
            break;
        case Open:
            ListOpenContracts();
            break;
        case FullText:
            SearchAllFields();
            break;
        case SignedWithin:
            ListContractsSignedWithin();
            break;
        case ByProject:
            ListProjects();
            break;
        default:
            break;
    }
}

// Instalments first, then additions, each by contract and number; never merged by contract.
void frmRioser::ListSchedules() {
    int row = FillScheduleRows(false, 1);
    row = FillScheduleRows(true, row);
    if (row == 1) hfg.SetTextMatrix(1, 1, NoData);
}

// Writes the instalments (or additions) the criterion finds from `row` on; the next free row.
int frmRioser::FillScheduleRows(bool additions, int row) {
    Database& db = AccDb();
    const std::string scheduleName =
        ScheduleTable(SearchReceivable, additions ? Schedule::Additions : Schedule::Instalments);
    const Identifier contracts = db.Table(ContractTable(SearchReceivable));
    const Identifier schedule = db.Table(scheduleName);
    const Identifier amount = db.Field(scheduleName, additions ? "金額" : "預付金");
    Sql sql = Sql("SELECT c.id, c.收名稱, c.簽約日, c.客戶名, c.聯絡人, c.電話, s.期別, s.") +
              amount + Sql(" AS amount, s.預付日, s.處理 FROM ") + contracts +
              Sql(" AS c INNER JOIN ") + schedule + Sql(" AS s ON c.id = s.id WHERE ");
    std::vector<Value> params;
    if (SearchKind == DueNow) {
        sql += Sql("s.處理 = 0 AND s.預付日 < ?");
        params.push_back(Clock::today().addDays(1).iso());
    } else if (SearchKind == BillNotSent) {
        sql += Sql("s.送帳日 IS NULL");
    } else {
        sql += Sql("s.送帳日 IS NOT NULL");
    }
    sql += Sql(" ORDER BY c.id, s.期別");
    for (Recordset rs = db.OpenRecordsetWith(sql, params); !rs.Eof(); rs.MoveNext(), ++row) {
        hfg.SetRows(std::max(hfg.Rows(), row + 1));
        const std::string period = rs.Fields("期別").text();
        writeRow(
            hfg, row,
            {rs.Fields("id").text(), rs.Fields("收名稱").text(), shownDate(rs.Fields("簽約日")),
             rs.Fields("客戶名").text(), rs.Fields("聯絡人").text(), rs.Fields("電話").text(),
             additions ? "追加" + period : "第" + period + "期", rs.Fields("amount").text(),
             shownDate(rs.Fields("預付日"))});
        columnTotals_[8] += AmountOf(rs.Fields("amount").text());
        if (SearchKind == BillSent)
            hfg.SetTextMatrix(row, 10, rs.Fields("處理").boolean() ? "是" : "否");
    }
    return row;
}

// Every contract row with its total due (T + A - D), what its settled rows planned (P + Q) and
// what is still open. Amount texts are summed without their separators; a missing sum is 0.
Sql frmRioser::ContractTotalsQuery(const Sql& where, const Sql& order) {
    Database& db = AccDb();
    const Identifier contracts = db.Table(ContractTable(SearchReceivable));
    const Identifier instalments = db.Table(ScheduleTable(SearchReceivable, Schedule::Instalments));
    const Identifier additions = db.Table(ScheduleTable(SearchReceivable, Schedule::Additions));
    const Identifier reductions = db.Table(ScheduleTable(SearchReceivable, Schedule::Reductions));
    return Sql("SELECT c.id, c.收名稱, c.簽約日, c.客戶名, c.聯絡人, c.電話, "
               "IFNULL(CAST(REPLACE(c.合計, ',', '') AS INTEGER), 0) AS T, "
               "(SELECT IFNULL(SUM(CAST(REPLACE(預付金, ',', '') AS INTEGER)), 0) FROM ") +
           instalments +
           Sql(" WHERE id = c.id AND 處理 = 1) AS P, "
               "(SELECT IFNULL(SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)), 0) FROM ") +
           additions +
           Sql(" WHERE id = c.id) AS A, "
               "(SELECT IFNULL(SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)), 0) FROM ") +
           additions +
           Sql(" WHERE id = c.id AND 處理 = 1) AS Q, "
               "(SELECT IFNULL(SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)), 0) FROM ") +
           reductions + Sql(" WHERE id = c.id) AS D FROM ") + contracts + Sql(" AS c WHERE ") +
           where + Sql(" ORDER BY ") + order;
}

void frmRioser::FillContractRows(Recordset& rs) {
    for (int row = 1; !rs.Eof(); rs.MoveNext(), ++row) {
        hfg.SetRows(std::max(hfg.Rows(), row + 1));
        const int64_t t = rs.Fields("T").wholeNumber(), p = rs.Fields("P").wholeNumber(),
                      a = rs.Fields("A").wholeNumber(), q = rs.Fields("Q").wholeNumber(),
                      d = rs.Fields("D").wholeNumber();
        writeRow(
            hfg, row,
            {rs.Fields("id").text(), rs.Fields("收名稱").text(), shownDate(rs.Fields("簽約日")),
             rs.Fields("客戶名").text(), rs.Fields("聯絡人").text(), rs.Fields("電話").text(),
             AmountText(t + a - d), AmountText(p + q), AmountText(t + a - p - q - d)});
        columnTotals_[7] += t + a - d;
        columnTotals_[8] += p + q;
        columnTotals_[9] += t + a - p - q - d;
    }
}

// Contracts with an instalment and some open instalment or addition; a contract with additions
// only is not among them.
void frmRioser::ListOpenContracts() {
    Database& db = AccDb();
    const Identifier instalments = db.Table(ScheduleTable(SearchReceivable, Schedule::Instalments));
    const Identifier additions = db.Table(ScheduleTable(SearchReceivable, Schedule::Additions));
    Sql where = Sql("EXISTS (SELECT 1 FROM ") + instalments +
                Sql(" WHERE id = c.id) AND (EXISTS (SELECT 1 FROM ") + instalments +
                Sql(" WHERE id = c.id AND 處理 = 0) OR EXISTS (SELECT 1 FROM ") + additions +
                Sql(" WHERE id = c.id AND 處理 = 0))");
    Recordset rs = db.OpenRecordset(ContractTotalsQuery(where, Sql("c.id")));
    FillContractRows(rs);
}

// Both ends of the range are included, whatever time of day a signing date carries.
void frmRioser::ListContractsSignedWithin() {
    frmRio& contracts = Forms::loadedForm<frmRio>();
    const std::optional<DateRange> range = RangeOfLabels(contracts.lbSerS, contracts.lbSerE);
    if (!range) return;
    Recordset rs = AccDb().OpenRecordset(
        ContractTotalsQuery(Sql("c.簽約日 >= ? AND c.簽約日 < ?"), Sql("c.id")), range->first.iso(),
        range->untilBefore.iso());
    FillContractRows(rs);
}

// Each field is matched as its stored text (amounts "##,##0", dates "yyyy-mm-dd", Booleans 0/1)
// and the hit shows that text; the stable sort keeps one contract's hits in field order.
void frmRioser::SearchAllFields() {
    Database& db = AccDb();
    const std::string table = ContractTable(SearchReceivable);
    const std::string pattern = likeContains(Forms::loadedForm<frmRio>().txtSer.Text());
    const Identifier contracts = db.Table(table);
    int row = 1;
    for (const std::string& name : db.FieldNames(table)) {
        const Identifier field = db.Field(table, name);
        Recordset rs = db.OpenRecordset(
            Sql("SELECT id, 收名稱, CAST(") + field + Sql(" AS TEXT) AS hit FROM ") + contracts +
                Sql(" WHERE CAST(") + field + Sql(" AS TEXT) LIKE ? ESCAPE '\\' ORDER BY rowid"),
            pattern);
        for (; !rs.Eof(); rs.MoveNext(), ++row) {
            writeRow(hfg, row,
                     {rs.Fields("id").text(), rs.Fields("收名稱").text(),
                      "在 (" + name + ") 有  -->    " + rs.Fields("hit").text()});
            hfg.SetRows(row + 2);
        }
    }
    if (hfg.Rows() > 2) hfg.SetRows(hfg.Rows() - 1);
    SortRowsByColumn(hfg, 1, 1);
    if (hfg.TextMatrix(1, 1).empty()) hfg.SetTextMatrix(1, 2, NothingFound);
}

// The distinct projects of the side's contracts; choosing the first lists it at once. A missing
// number or name reads as empty, and without any contract the list holds one empty entry.
void frmRioser::ListProjects() {
    lbPj.SetVisible(true);
    cbPj.SetVisible(true);
    Database& db = AccDb();
    std::vector<std::vector<std::string>> projects;
    for (Recordset rs = db.OpenRecordset(
             Sql("SELECT IFNULL(專id, '') AS number, IFNULL(專名, '') AS name FROM ") +
             db.Table(ContractTable(SearchReceivable)) +
             Sql(" GROUP BY IFNULL(專id, ''), IFNULL(專名, '') ORDER BY number, name"));
         !rs.Eof(); rs.MoveNext())
        projects.push_back({rs.Fields("number").text(), rs.Fields("name").text()});
    if (projects.empty()) projects.push_back({"", ""});
    // Cleared first, so that choosing entry 0 is a change and lists the project.
    cbPj.Clear();
    cbPj.SetRows(std::move(projects));
    cbPj.SetListIndex(0);
}

// Both the number and the name must match: one number may stand under several names.
void frmRioser::cbPj_Click() {
    SetupResultGrid();
    if (cbPj.ListCount() == 0 || cbPj.ListIndex() < 0) return;
    Recordset rs = AccDb().OpenRecordset(
        ContractTotalsQuery(Sql("IFNULL(c.專id, '') = ? AND IFNULL(c.專名, '') = ?"),
                            Sql("c.專id, c.id")),
        cbPj.Column(0), cbPj.Column(1));
    FillContractRows(rs);
}

// ---- Pick and export ----

// The header row picks nothing; a row without a contract (totals, no data) hands back no number.
void frmRioser::hfg_DblClick() {
    const int row = hfg.MouseRow();
    if (row <= 0 || row >= hfg.Rows()) return;
    const std::string& number = hfg.TextMatrix(row, 1);
    PickedContractNo = number == NoData ? "" : number;
    frmRio& contracts = Forms::loadedForm<frmRio>();
    if (SearchReceivable)
        contracts.optI.SetValue(true);
    else
        contracts.optO.SetValue(true);
    Unload();
}

std::string frmRioser::ExportSecondLine() const {
    if (SearchKind >= DueNow && SearchKind <= FullText) return lbCase.Caption();
    if (SearchKind == SignedWithin) {
        const frmRio& contracts = Forms::loadedForm<frmRio>();
        return lbCase.Caption() + "：" + contracts.lbSerS.Caption() + "～" +
               contracts.lbSerE.Caption();
    }
    if (SearchKind == ByProject) return lbCase.Caption() + "  " + lbPj.Caption() + cbPj.Text();
    return "";
}

// A column the grid left at its default width keeps the sheet's own default.
void frmRioser::cmdPxls_Click() {
    const std::string name = CompanyName();
    Workbook book = CopyGridToWorkbook(hfg, {name + "：" + Caption(), ExportSecondLine()}, 4,
                                       GridWidths::DefaultAsSheet);
    showWorkbook(book, Caption());
}

}  // namespace kiv

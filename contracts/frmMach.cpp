#include "contracts/frmMach.h"

#include <string>
#include <vector>

#include "contracts/Settlements.h"
#include "platform/db/Amount.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr Color ReceivableColour = 0xFFC0C0;
constexpr Color PayableColour = 0xC0C0FF;
constexpr const char* InstalmentSuffix = "期";
constexpr const char* RowGone = "此期別已不存在，未沖帳\n請重新選取";

// What the voucher form shows of its voucher, read by name: this dialog settles with it.
struct ShownVoucher {
    std::string amount;  // txtCash, plain digits
    std::string day;     // lbHday, "gg ee 年 mm 月 dd 日"
    bool cash = false;   // optA(0)
    std::string number;  // lbNo
};

// The voucher form shows this dialog and stays loaded under it.
ShownVoucher shownVoucher() {
    ShownVoucher voucher;
    voucher.amount = Forms::control<TextBox>("frmIo", "txtCash").Text();
    voucher.day = Forms::control<Label>("frmIo", "lbHday").Caption();
    voucher.cash = Forms::control<OptionButton>("frmIo", "optA", 0).Value();
    voucher.number = Forms::control<Label>("frmIo", "lbNo").Caption();
    return voucher;
}

void layOutGrid(Grid& grid, int width, const std::vector<const char*>& heads) {
    grid.SetCols(static_cast<int>(heads.size()) + 1);
    grid.SetColWidth(0, 600);
    for (int col = 1; col < grid.Cols(); ++col) {
        grid.SetColWidth(col, width);
        grid.SetTextMatrix(0, col, heads[col - 1]);
    }
}

// An empty grid has no row to choose and is no Tab stop until rows fill it.
void emptyGrid(Grid& grid) {
    grid.Clear();
    grid.SetRows(2);
    grid.SetTabStop(false);
}

}  // namespace

frmMach::frmMach() : Form(FormName) {
    SetCaption("選取沖帳專案");
    SetBorderStyle(3);
    SetMinButton(false);
    SetMaxButton(false);
    SetCentreOnScreen(true);
    SetClientSize(11880, 9270);
    applyLayout({
        {&Label1, nullptr, 90, 45, 2400, 240, "應收付號碼/名稱："},
        {&Label2, nullptr, 3825, 135, 600, 240, "期別："},
        {&Label4, nullptr, 8775, 90, 1005, 240, "沖帳金額："},
        {&lbMachCash, nullptr, 9855, 45, 1950, 330, "", RightAligned | ValueField},
        {&lstRio, nullptr, 45, 315, 3660, 8880},
        {&hfgC, nullptr, 3780, 405, 8070, 4695},
        {&Label3, nullptr, 3780, 5265, 600, 240, "追加："},
        {&hfgR, nullptr, 3780, 5535, 8070, 3660},
        {&cmd, nullptr, 4995, 90, 1005, 285, "確定沖帳", Graphical},
    });
    cmd.SetBackColor(0xC0C0FF);
    cmd.SetVisible(false);
    lstRio.SetColumnCount(2);
    lstRio.SetColumnWidths("50 pt;50 pt");
    lstRio.SetBoundColumn(1);
    for (Grid* grid : {&hfgC, &hfgR}) {
        emptyGrid(*grid);
        grid->SetFixedRows(1);
        grid->SetFixedCols(1);
    }
    lstRio.Click = [this] { lstRio_Click(); };
    hfgC.MouseDown = [this](int button, int, float, float) { hfgC_MouseDown(button); };
    hfgR.MouseDown = [this](int button, int, float, float) { hfgR_MouseDown(button); };
    hfgC.KeyUp = [this](int& keyCode, int) { ChooseRowByArrow(hfgC, keyCode); };
    hfgR.KeyUp = [this](int& keyCode, int) { ChooseRowByArrow(hfgR, keyCode); };
    cmd.Click = [this] { cmd_Click(); };
}

void frmMach::Form_Load() {
    lbMachCash.SetCaption(AmountText(Value(shownVoucher().amount)));
    ListOpenContracts();
    const Color fixed = SettleReceivable ? ReceivableColour : PayableColour;
    hfgC.SetBackColorFixed(fixed);
    hfgR.SetBackColorFixed(fixed);
    SetupSettleGrids();
}

void frmMach::ListOpenContracts() {
    lstRio.Clear();
    const auto contracts = ContractsWithOpenRows(SettleReceivable);
    if (contracts.empty()) {
        messageBox("無應收付可沖帳", MessageExclamation, ApplicationTitle);
        return;
    }
    std::vector<std::vector<std::string>> rows;
    for (const auto& [id, name] : contracts)
        rows.push_back({id, name});
    lstRio.SetRows(std::move(rows));
}

void frmMach::SetupSettleGrids() {
    layOutGrid(hfgC, 1200, {"應付金額", "預付日期", "佔總價比例", "送帳單日", "發票號碼"});
    layOutGrid(hfgR, 1000,
               {"報價單號", "合約單號", "應付金額", "預付日期", "送帳單日", "發票號碼"});
}

// A choice belongs to the grids it was made in: a new pick rebuilds them, so it goes.
void frmMach::ForgetChoice() {
    cmd.SetVisible(false);
    ChosenRow = 0;
    ChosenPlannedAmount = 0;
}

void frmMach::lstRio_Click() {
    ForgetChoice();
    emptyGrid(hfgC);
    emptyGrid(hfgR);
    SetupSettleGrids();
    FillOpenRows();
}

// The open rows are read as one state of the file, whatever another copy writes meanwhile.
void frmMach::FillOpenRows() {
    shownInstalments_.clear();
    shownAdditions_.clear();
    const std::string id = lstRio.Value();
    if (id.empty()) return;
    Transaction reading(AccDb(), TransactionKind::Reads);
    ShowOpenRows(hfgC, Schedule::Instalments, id);
    ShowOpenRows(hfgR, Schedule::Additions, id);
    reading.Commit();
}

void frmMach::ShowOpenRows(Grid& grid, Schedule schedule, const std::string& id) {
    std::vector<ShownScheduleRow>& shown =
        schedule == Schedule::Instalments ? shownInstalments_ : shownAdditions_;
    Database& db = AccDb();
    Recordset stored =
        db.OpenRecordset("SELECT * FROM " + db.Table(ScheduleTable(SettleReceivable, schedule)) +
                             " WHERE id = ? AND 處理 = ? ORDER BY 期別",
                         id, false);
    const int count = static_cast<int>(stored.RecordCount());
    if (count > 0) grid.SetRows(count + 1);
    grid.SetTabStop(count > 0);
    for (int row = 1; !stored.Eof(); stored.MoveNext(), ++row) {
        shown.push_back(ShownScheduleRowAt(stored, schedule));
        if (schedule == Schedule::Additions)
            ShowAdditionPlan(grid, row, stored);
        else
            ShowInstalmentPlan(grid, row, stored, stored.Fields("期別").text() + InstalmentSuffix);
    }
}

void frmMach::hfgC_MouseDown(int button) {
    ChooseRow(hfgC, hfgC.MouseRow(), button);
}

void frmMach::hfgR_MouseDown(int button) {
    ChooseRow(hfgR, hfgR.MouseRow(), button);
}

// A row reached with the arrow keys is chosen as a press on it chooses it; an empty row is passed
// over without the message a press on it gives.
void frmMach::ChooseRowByArrow(Grid& grid, int keyCode) {
    if (keyCode != Key::Up && keyCode != Key::Down) return;
    if (grid.Row() < 1 || grid.TextMatrix(grid.Row(), 0).empty()) return;
    ChooseRow(grid, grid.Row(), LeftButton);
}

void frmMach::ChooseRow(Grid& grid, int row, int button) {
    const bool instalment = &grid == &hfgC;
    if (row < 1 || row >= grid.Rows()) return;
    if (grid.TextMatrix(row, 0).empty()) {
        messageBox(instalment ? "應收付號碼/名稱" : "無應收付號碼/名稱", MessageExclamation,
                   ApplicationTitle);
        return;
    }
    if (button != LeftButton) return;
    ChosenIsInstalment = instalment;
    ChosenRow = row;
    ChosenPlannedAmount = AmountOf(grid.TextMatrix(row, instalment ? 1 : 3));
    const int last = grid.Cols() - 1;
    cmd.Move(grid.Left() + grid.ColPos(last) + grid.ColWidth(last) + 2 * TwipsPerPixel,
             grid.Top() + grid.RowPos(row) + 2 * TwipsPerPixel, cmd.Width(), grid.CellHeight());
    cmd.SetVisible(true);
}

void frmMach::cmd_Click() {
    const std::vector<ShownScheduleRow>& shown =
        ChosenIsInstalment ? shownInstalments_ : shownAdditions_;
    if (ChosenRow < 1 || ChosenRow > static_cast<int>(shown.size())) return;
    const ShownVoucher voucher = shownVoucher();
    const std::optional<std::string> amount =
        AskSettledAmount(AmountOf(lbMachCash.Caption()), ChosenPlannedAmount);
    if (!amount) return;
    Settlement settlement;
    settlement.amount = *amount;
    settlement.day = parseShownDate(voucher.day);
    settlement.cash = voucher.cash;
    if (!voucher.cash) settlement.chequeNo = ChequeNumberForVoucher(voucher.number);
    settlement.voucherNo = voucher.number;
    settlement.voucherAmount = ReadAmount(voucher.amount).amount;
    const Schedule schedule = ChosenIsInstalment ? Schedule::Instalments : Schedule::Additions;
    bool settled = false;
    const bool unchanged = SaveUnlessChanged([&] {
        settled = SettleScheduleRow(SettleReceivable, schedule, lstRio.Value(),
                                    shown[ChosenRow - 1], settlement);
    });
    if (!settled) {
        // The row went (say so), or it or the voucher changed meanwhile (the conflict was told):
        // show what is open now and let the user choose again.
        if (unchanged) messageBox(RowGone, MessageExclamation, ApplicationTitle);
        const std::string picked = lstRio.Value();
        ListOpenContracts();
        lstRio_Click();
        if (const int entry = lstRio.FindEntry(picked); entry >= 0) lstRio.SetListIndex(entry);
        return;
    }
    cmd.SetVisible(false);
    Unload();
}

}  // namespace kiv

#include "contracts/ContractSchedules.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "contracts/ContractEntry.h"
#include "contracts/Settlements.h"
#include "contracts/frmRio.h"
#include "platform/db/Amount.h"
#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/CellEditor.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/SaveConflict.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* IncompleteInstalments = "請填入金額及應付日期";
constexpr const char* NoPeriod = "請先新增期數";
constexpr Color ReceivableText = 0xFF0000;
constexpr Color PayableText = 0xFF;
// Editors laid over a cell sit inside the grid's border.
constexpr int CellInset = 2 * TwipsPerPixel;
constexpr int ShareBoxNarrowing = 180;

// The one data row an emptied grid keeps, still untouched: it holds no schedule row.
bool blankGrid(const Grid& grid) {
    if (grid.Rows() != 2) return false;
    for (int col = 0; col < grid.Cols(); ++col)
        if (!grid.TextMatrix(1, col).empty()) return false;
    return true;
}

void layOutGrid(Grid& grid, const std::vector<int>& widths, const std::vector<std::string>& heads) {
    grid.SetCols(static_cast<int>(widths.size()));
    for (int col = 0; col < grid.Cols(); ++col) {
        grid.SetColWidth(col, widths[col]);
        // The caption cell of a row-label column keeps what it holds.
        if (col >= grid.FixedCols()) grid.SetTextMatrix(0, col, heads[col]);
    }
}

std::string withoutPercent(const std::string& share) {
    return !share.empty() && share.back() == '%' ? share.substr(0, share.size() - 1) : share;
}

// A settled row shows its receipt: its amount, and always its way of payment ("現金" or "支票").
bool receiptShown(const Grid& receipts, int row) {
    for (int col = 0; col < receipts.Cols(); ++col)
        if (!receipts.TextMatrix(row, col).empty()) return true;
    return false;
}

std::string withoutCommas(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ','), text.end());
    return text;
}

bool insideCells(const Grid& grid, int row, int col) {
    return row >= 0 && row < grid.Rows() && col >= 0 && col < grid.Cols();
}

// A new row labelled at the end of a plan grid (its receipt grid following), or the label put into
// the blank row of an emptied grid.
void appendLabelledRow(Grid& grid, Grid* receipts, const std::string& prefix,
                       const std::string& suffix) {
    if (grid.Rows() <= 2 && grid.TextMatrix(1, 0).empty()) {
        grid.SetTextMatrix(1, 0, prefix + "1" + suffix);
        return;
    }
    grid.SetRows(grid.Rows() + 1);
    if (receipts) receipts->SetRows(grid.Rows());
    grid.SetTextMatrix(grid.Rows() - 1, 0, prefix + std::to_string(grid.Rows() - 1) + suffix);
}

// A share cell the user typed, "33.33%", in hundredths of a per cent: 0 to 100 with at most two
// decimals; an empty cell holds none (0). nullopt for any other text.
std::optional<int64_t> typedShare(const std::string& cell) {
    const std::string share = withoutPercent(cell);
    if (share.empty()) return 0;
    return ReadShareHundredths(share);
}

// The share a cell shows, whatever the program or a stored file put there ("120.00%",
// "33.333%", "-20%"), in hundredths of a per cent: its number without the "%", halves away from
// zero; 0 for an empty cell or one that shows no number.
int64_t shownShareHundredths(const std::string& cell) {
    try {
        return roundHalfAwayFromZero(leadingNumber(withoutPercent(cell)) * 100);
    } catch (const ConversionError&) {
        return 0;
    }
}

// A share in hundredths of a per cent as plain text: 3334 "33.34", 3400 "34", 50 "0.5".
std::string plainShare(int64_t hundredths) {
    const int64_t whole = std::llabs(hundredths);
    std::string text = (hundredths < 0 ? "-" : "") + std::to_string(whole / 100);
    if (const int64_t part = whole % 100) {
        text += (part < 10 ? ".0" : ".") + std::to_string(part % 10 ? part : part / 10);
    }
    return text;
}

std::string upperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A total of 0 gives no share: the cell is left empty and the amount is still taken.
std::string shareOfTotal(int64_t amount, int64_t total) {
    return total == 0 ? "" : ShareText(ShareOf(amount, total));
}

// The rows of one schedule of the contract, in number order.
Recordset scheduleRows(bool receivable, Schedule schedule, const std::string& id) {
    Database& db = AccDb();
    return db.OpenRecordset("SELECT * FROM " + db.Table(ScheduleTable(receivable, schedule)) +
                                " WHERE id = ? ORDER BY 期別",
                            id);
}

// The receipt of a settled row.
void showReceipt(Grid& receipts, int r, const Recordset& row) {
    if (!row.Fields("處理").boolean()) return;
    receipts.SetTextMatrix(r, 0, AmountText(row.Fields("實收金")));
    receipts.SetTextMatrix(r, 1, ScheduleDateCell(row.Fields("實收日")));
    receipts.SetTextMatrix(r, 2, row.Fields("現金").boolean() ? "現金" : "支票");
    receipts.SetTextMatrix(r, 3, row.Fields("支票號碼").text());
    receipts.SetTextMatrix(r, 4, row.Fields("收支單號").text());
}

void showInstalment(Grid& plan, Grid& receipts, int r, const Recordset& row) {
    ShowInstalmentPlan(plan, r, row, "第" + row.Fields("期別").text() + "期");
    showReceipt(receipts, r, row);
}

void showAddition(Grid& plan, Grid& receipts, int r, const Recordset& row) {
    ShowAdditionPlan(plan, r, row);
    showReceipt(receipts, r, row);
}

void showReduction(Grid& plan, int r, const Recordset& row) {
    plan.SetTextMatrix(r, 0, "追減" + row.Fields("期別").text());
    plan.SetTextMatrix(r, 1, row.Fields("報價單號").text());
    plan.SetTextMatrix(r, 2, row.Fields("合約單號").text());
    plan.SetTextMatrix(r, 3, row.Fields("金額").text());
}

}  // namespace

ContractSchedules::ContractSchedules(frmRio& contract) : contract_(contract), form_(contract) {
    hfg1.SetFixedCols(0);
    hfgAm1.SetFixedCols(0);
    for (Grid* schedule : {&hfg, &HfgAM, &hfgM})
        schedule->SetEditedInPlace(true);
    for (Control* editor :
         std::initializer_list<Control*>{&txt, &txtsc, &txtA, &txtM, &dtpi, &dtpA})
        editor->SetVisible(false);
    md.SetVisible(false);
    for (Menu* entry : {&mdel, &ml, &mMach})
        md.AddEntry(*entry);
    WireEvents();
}

void ContractSchedules::WireEvents() {
    dtpi.Picked = [this] { dtpi_Change(); };
    dtpA.Picked = [this] { dtpA_Change(); };
    hfg.MouseUp = [this](int button, int, float, float) { hfg_MouseUp(button); };
    HfgAM.MouseUp = [this](int button, int, float, float) { HfgAM_MouseUp(button); };
    hfgM.MouseUp = [this](int button, int, float, float) { hfgM_MouseUp(button); };
    hfg1.MouseUp = [this](int button, int, float, float) { hfg1_MouseUp(button); };
    hfgAm1.MouseUp = [this](int button, int, float, float) { hfgAm1_MouseUp(button); };
    cmdAc.Click = [this] { AddInstalment(); };
    cmdAM.Click = [this] { AddAddition(); };
    cmdM.Click = [this] { AddReduction(); };
    cmdEc.Click = [this] { InstalmentsEditing = true; };
    cmdEa.Click = [this] { AdditionsEditing = true; };
    cmdEm.Click = [this] { ReductionsEditing = true; };
    cmdAcSv.Click = [this] { SaveInstalments(); };
    cmdAmSv.Click = [this] { SaveAdditions(); };
    cmdMsv.Click = [this] { SaveReductions(); };
    txt.KeyPress = [this](int& key) { AmountColumnKeyPress(1, key); };
    txt.Change = [this] { txt_Change(); };
    txt.Validate = [this](bool& cancel) { txt_Validate(cancel); };
    txtsc.Change = [this] { txtsc_Change(); };
    txtA.KeyPress = [this](int& key) { AmountColumnKeyPress(3, key); };
    txtA.Change = [this] { txtA_Change(); };
    txtA.Validate = [this](bool& cancel) { txtA_Validate(cancel); };
    txtM.KeyPress = [this](int& key) { AmountColumnKeyPress(3, key); };
    txtM.Change = [this] { txtM_Change(); };
    txtM.Validate = [this](bool& cancel) { txtM_Validate(cancel); };
    for (TextBox* editor : {&txt, &txtsc, &txtA, &txtM})
        editor->CellEditCancelled = [this] { CancelCellEdit(); };
    mdel.Click = [this] { mdel_Click(); };
    mMach.Click = [this] { mMach_Click(); };
}

void ContractSchedules::SetFixedColour(Color colour) {
    for (Grid* grid : {&hfg, &hfg1, &HfgAM, &hfgAm1, &hfgM})
        grid->SetBackColorFixed(colour);
}

void ContractSchedules::ApplyKindHeadings(bool receivable) {
    const Color text = receivable ? ReceivableText : PayableText;
    for (int i = 0; i < 2; ++i) {
        lb(i).SetCaption(receivable ? "應收" : "應付");
        lb(i).SetForeColor(text);
    }
    for (int i = 0; i < 2; ++i) {
        lb1(i).SetCaption(receivable ? "已收" : "已付");
        lb1(i).SetForeColor(text);
    }
}

// ---- In-grid editing ----

// The shared handling of a mouse-up on an instalment, addition or reduction grid; true when the
// left button asks for the editor of ClickedCol.
bool ContractSchedules::EditableGridMouseUp(Grid& grid, std::initializer_list<Control*> editors,
                                            bool editing, CommandButton& save, int popup,
                                            int button) {
    for (Control* editor : editors)
        editor->SetVisible(false);
    ClickedCol = grid.MouseCol();
    ClickedRow = grid.MouseRow();
    if (!insideCells(grid, ClickedRow, ClickedCol)) return false;
    grid.SetCol(ClickedCol);
    grid.SetRow(ClickedRow);
    if (button == LeftButton) {
        if (!editing || ClickedRow == 0 || ClickedCol == 0) return false;
        if (grid.TextMatrix(ClickedRow, 0).empty()) {
            messageBox(NoPeriod, MessageExclamation, ApplicationTitle);
            return false;
        }
        save.SetEnabled(true);
        return true;
    }
    if (button == RightButton && !editing && ClickedRow >= 1) {
        PopupGrid = popup;
        mMach.SetEnabled(false);
        mdel.SetEnabled(true);
        form_.PopupMenu(md);
    }
    return false;
}

void ContractSchedules::hfg_MouseUp(int button) {
    if (!EditableGridMouseUp(hfg, {&txt, &txtsc, &dtpi}, InstalmentsEditing, cmdAcSv, 1, button))
        return;
    switch (ClickedCol) {
        case 1:
        case 5:
            OpenTextEditor(txt, hfg);
            break;
        case 3:
            OpenShareBox();
            break;
        case 2:
        case 4:
            OpenDatePicker(dtpi, hfg);
            break;
        default:
            break;
    }
}

void ContractSchedules::HfgAM_MouseUp(int button) {
    if (!EditableGridMouseUp(HfgAM, {&txtA, &dtpA}, AdditionsEditing, cmdAmSv, 3, button)) return;
    switch (ClickedCol) {
        case 1:
        case 2:
        case 3:
        case 6:
            OpenTextEditor(txtA, HfgAM);
            break;
        case 4:
        case 5:
            OpenDatePicker(dtpA, HfgAM);
            break;
        default:
            break;
    }
}

void ContractSchedules::hfgM_MouseUp(int button) {
    if (EditableGridMouseUp(hfgM, {&txtM}, ReductionsEditing, cmdMsv, 5, button))
        OpenTextEditor(txtM, hfgM);
}

void ContractSchedules::hfg1_MouseUp(int button) {
    ReceiptGridMouseUp(hfg1, hfg, 2, button);
}

void ContractSchedules::hfgAm1_MouseUp(int button) {
    ReceiptGridMouseUp(hfgAm1, HfgAM, 4, button);
}

// A receipt row offers to clear a recorded receipt, or to settle a planned row from a voucher. A
// row stored settled shows its receipt even without a received amount: it is cleared, not
// settled over. It does so also while its plan grid is being edited: the commands ask about the
// edits first and then go by the stored row.
void ContractSchedules::ReceiptGridMouseUp(const Grid& receipts, const Grid& plan, int popup,
                                           int button) {
    ClickedCol = receipts.MouseCol();
    ClickedRow = receipts.MouseRow();
    if (button != RightButton || ClickedRow < 1 || ClickedRow >= receipts.Rows()) return;
    const bool planned = ClickedRow < plan.Rows() && !plan.TextMatrix(ClickedRow, 0).empty();
    const bool received = receiptShown(receipts, ClickedRow);
    mdel.SetEnabled(received);
    mMach.SetEnabled(planned && !received);
    PopupGrid = popup;
    form_.PopupMenu(md);
}

// What Esc puts back: the row as it is before its editor opens.
void ContractSchedules::RememberRowBeforeEdit(Grid& grid) {
    RowBeforeEdit before{&grid, ClickedRow, {}, {}};
    for (int col = 0; col < grid.Cols(); ++col)
        before.cells.push_back(grid.TextMatrix(ClickedRow, col));
    for (const Cell& cell : typedCells_)
        if (cell.grid == &grid && cell.row == ClickedRow) before.typed.insert(cell);
    rowBeforeEdit_ = std::move(before);
}

// The editor shows the cell's text as typed, without thousands separators.
void ContractSchedules::OpenTextEditor(TextBox& editor, Grid& grid) {
    RememberRowBeforeEdit(grid);
    openingEditor_ = true;
    OpenCellEditor(editor, grid);
    editor.SetText(withoutCommas(grid.Text()));
    openingEditor_ = false;
    editor.SelectAll();
}

// The share box is typed in without the "%"; an empty share is proposed as what the rows above
// leave of the whole.
void ContractSchedules::OpenShareBox() {
    RememberRowBeforeEdit(hfg);
    txtsc.Move(hfg.Left() + hfg.ColPos(ClickedCol) + CellInset,
               hfg.Top() + hfg.RowPos(ClickedRow) + CellInset,
               std::max(0, hfg.CellWidth() - ShareBoxNarrowing), hfg.CellHeight());
    txtsc.SetVisible(true);
    txtsc.ZOrder(0);
    txtsc.SetFocus();
    if (hfg.TextMatrix(ClickedRow, 3).empty()) ProposeShare();
    openingEditor_ = true;
    txtsc.SetText(withoutCommas(withoutPercent(hfg.TextMatrix(ClickedRow, 3))));
    openingEditor_ = false;
    txtsc.SelectAll();
}

// The shares above are summed exactly, so that the proposal completes the schedule to 100 %.
void ContractSchedules::ProposeShare() {
    int64_t above = 0;
    for (int r = 1; r < ClickedRow; ++r)
        above += shownShareHundredths(hfg.TextMatrix(r, 3));
    const int64_t share = 100 * 100 - above;
    hfg.SetTextMatrix(ClickedRow, 3, plainShare(share) + "%");
    hfg.SetTextMatrix(ClickedRow, 1,
                      AmountText(PartOfShare(AmountOf(contract_.txtTal.Text()), share)));
    MarkTyped(hfg, ClickedRow, 1, false);
    MarkTyped(hfg, ClickedRow, 3, false);
}

void ContractSchedules::OpenDatePicker(DatePicker& picker, Grid& grid) {
    grid.SetRow(ClickedRow);
    grid.SetCol(ClickedCol);
    grid.SetCellAlignment(LeftCentre);
    picker.Move(
        grid.Left() + grid.ColPos(ClickedCol) + grid.CellWidth() - picker.Width() + CellInset,
        grid.Top() + grid.RowPos(ClickedRow) + CellInset, picker.Width(), grid.CellHeight());
    const std::optional<Date> shown = parseShownDate(grid.Text());
    picker.SetValue(shown && picker.InRange(*shown) ? *shown : Clock::today());
    picker.SetVisible(true);
    picker.ZOrder(0);
}

// The share follows the amount at once; the amount itself is stored formatted when it is left.
void ContractSchedules::txt_Change() {
    if (ClickedCol != 1 || !insideCells(hfg, ClickedRow, 3)) return;
    if (!openingEditor_) MarkTyped(hfg, ClickedRow, 1, true);
    const std::optional<int64_t> amount = TypedValue(txt.Text()),
                                 total = TypedValue(contract_.txtTal.Text());
    if (!amount || !total) return;
    hfg.SetTextMatrix(ClickedRow, 3, shareOfTotal(*amount, *total));
    MarkTyped(hfg, ClickedRow, 3, false);
}

// A hidden editor that still holds the focus belongs to a cell no longer edited. An amount left is
// shown grouped, the same number; one nobody typed into is still not judged by the typing rules.
void ContractSchedules::txt_Validate(bool&) {
    if (!txt.Visible() || !insideCells(hfg, ClickedRow, ClickedCol)) return;
    if (ClickedCol == 1) hfg.SetTextMatrix(ClickedRow, 1, GroupedAmountText(txt.Text()));
    if (ClickedCol == 5) hfg.SetTextMatrix(ClickedRow, 5, upperCase(txt.Text()));
}

// The share is typed in per cent without its sign; it is kept as typed, and a box emptied leaves
// the cell empty, no share, rather than a lone "%".
void ContractSchedules::txtsc_Change() {
    if (!insideCells(hfg, ClickedRow, 3)) return;
    const std::optional<int64_t> share = ReadShareHundredths(txtsc.Text());
    const std::optional<int64_t> total = TypedValue(contract_.txtTal.Text());
    if (share && total) {
        hfg.SetTextMatrix(ClickedRow, 1, AmountText(PartOfShare(*total, *share)));
        MarkTyped(hfg, ClickedRow, 1, false);
    }
    hfg.SetTextMatrix(ClickedRow, 3, txtsc.Text().empty() ? "" : txtsc.Text() + "%");
    if (!openingEditor_) MarkTyped(hfg, ClickedRow, 3, true);
}

void ContractSchedules::txtA_Change() {
    if (!insideCells(HfgAM, ClickedRow, ClickedCol)) return;
    if (ClickedCol == 1 || ClickedCol == 2)
        HfgAM.SetTextMatrix(ClickedRow, ClickedCol, txtA.Text());
    if (ClickedCol == 3 && !openingEditor_) MarkTyped(HfgAM, ClickedRow, 3, true);
}

void ContractSchedules::txtA_Validate(bool&) {
    if (!txtA.Visible() || !insideCells(HfgAM, ClickedRow, ClickedCol)) return;
    if (ClickedCol == 3) HfgAM.SetTextMatrix(ClickedRow, 3, GroupedAmountText(txtA.Text()));
    if (ClickedCol == 6) HfgAM.SetTextMatrix(ClickedRow, 6, upperCase(txtA.Text()));
}

void ContractSchedules::txtM_Change() {
    if (ClickedCol < 1 || !insideCells(hfgM, ClickedRow, ClickedCol)) return;
    hfgM.SetTextMatrix(ClickedRow, ClickedCol, txtM.Text());
    if (ClickedCol == 3 && !openingEditor_) MarkTyped(hfgM, ClickedRow, 3, true);
}

void ContractSchedules::txtM_Validate(bool&) {
    if (!txtM.Visible() || ClickedCol != 3 || !insideCells(hfgM, ClickedRow, 3)) return;
    hfgM.SetTextMatrix(ClickedRow, 3, GroupedAmountText(txtM.Text()));
}

// Esc ended the edit (the platform put the edited cell back, and its box's handlers ran on the old
// text): the whole row, the other cells those handlers wrote and what counts as typed, is put back
// as it was before the editor opened.
void ContractSchedules::CancelCellEdit() {
    if (!rowBeforeEdit_) return;
    const RowBeforeEdit& before = *rowBeforeEdit_;
    if (!insideCells(*before.grid, before.row, static_cast<int>(before.cells.size()) - 1)) return;
    for (int col = 0; col < static_cast<int>(before.cells.size()); ++col)
        before.grid->SetTextMatrix(before.row, col, before.cells[col]);
    std::erase_if(typedCells_, [&](const Cell& cell) {
        return cell.grid == before.grid && cell.row == before.row;
    });
    typedCells_.insert(before.typed.begin(), before.typed.end());
}

// An amount typed into a cell editor passes the amount key filter while it edits the amount
// column; the same editor takes any text in the other columns.
void ContractSchedules::AmountColumnKeyPress(int amountCol, int& keyAscii) {
    if (ClickedCol == amountCol) AmountKeyFilter(keyAscii);
}

void ContractSchedules::dtpi_Change() {
    hfg.SetText(GridRocDate(dtpi.Value()));
    dtpi.SetVisible(false);
}

void ContractSchedules::dtpA_Change() {
    HfgAM.SetText(GridRocDate(dtpA.Value()));
    dtpA.SetVisible(false);
}

void ContractSchedules::HideCellEditors() {
    for (Control* editor :
         std::initializer_list<Control*>{&txtM, &txtA, &txtsc, &txt, &dtpA, &dtpi})
        editor->SetVisible(false);
}

// ---- Row commands of the pop-up menu ----

// A planned row goes and the later ones close up; a receipt is cleared so that its row is open
// again. Each acts on the stored row the grid row was loaded from, and only while it is still
// stored as shown: another copy of the program may have deleted, renumbered or settled rows
// meanwhile. Either way the grids show the stored rows afterwards, so edits typed in another grid
// are saved or dropped as the user answers first; a refused save stops the command. A No to the
// deletion itself leaves everything as it is, those edits included.
void ContractSchedules::mdel_Click() {
    if (messageBox("確定刪除", MessageYesNoDefaultNo, ApplicationTitle) != AnswerYes) return;
    if (PopupGrid < 1 || PopupGrid > 5 || !PromptSavePendingGrids()) return;
    const Schedule schedule = PopupGrid <= 2   ? Schedule::Instalments
                              : PopupGrid <= 4 ? Schedule::Additions
                                               : Schedule::Reductions;
    const bool receipt = PopupGrid == 2 || PopupGrid == 4;
    const std::string id = contract_.lbNo.Caption();
    const bool receivable = contract_.Receivable();
    // The blank row of an emptied grid holds no stored row: there is nothing to delete.
    if (const ShownScheduleRow* shown = LoadedRow(schedule, ClickedRow)) {
        SaveUnlessChanged([&] {
            if (receipt)
                ClearSettlement(receivable, schedule, id, *shown);
            else
                DeleteScheduleRow(receivable, schedule, id, *shown);
        });
    }
    contract_.ReloadContractGrids();
}

// The settlement dialog reads the row from the shared values, which stay set for whoever opens
// it next; the period is the number of the stored row shown, and the dialog settles that row
// only while it is still stored as shown. The grids are shown as stored afterwards, whatever the
// user did there, so edits typed in another grid are saved or dropped first, as the user answers.
// The planned amount handed over is the stored row's, taken after that answer: the amount just
// saved, or the one stored, never one typed and dropped. A row added in the grid and dropped was
// never stored: the user is told there is nothing to settle, as the dialog would tell.
void ContractSchedules::mMach_Click() {
    if ((PopupGrid != 2 && PopupGrid != 4) || !PromptSavePendingGrids()) return;
    const bool instalment = PopupGrid == 2;
    const ShownScheduleRow* shown =
        LoadedRow(instalment ? Schedule::Instalments : Schedule::Additions, ClickedRow);
    if (shown) {
        rowToSettle_ = *shown;
        SettleIsInstalment = instalment;
        SettleAmount = shown->plannedAmount;
        SettlePeriod = static_cast<int>(shown->period);
        SettleReceivable = contract_.Receivable();
        Forms::showByName("frmMchIo", Modal);
        rowToSettle_.reset();
    } else {
        messageBox(SettledRowGoneMessage, MessageExclamation, ApplicationTitle);
    }
    contract_.ReloadContractGrids();
}

// ---- Loading ----

void ContractSchedules::LayoutContractGrids() {
    const bool r = contract_.Receivable();
    const std::string amount = r ? "應收金額" : "應付金額";
    const std::string due = r ? "應收日期" : "應付日期";
    const std::vector<std::string> receipts{r ? "實收金額" : "實付金額",
                                            r ? "實收日期" : "實付日期", "現金 / 支票", "支票號碼",
                                            "收支單號"};
    layOutGrid(hfg, {600, 1000, 900, 1000, 900, 1100},
               {"", amount, due, "佔總價比例", "送帳單日", "發票號碼"});
    layOutGrid(hfg1, {1000, 1000, 1000, 1000, 1000}, receipts);
    layOutGrid(HfgAM, {580, 800, 900, 900, 800, 800, 1100},
               {"", "報價單號", "合約單號", amount, due, "送帳單日", "發票號碼"});
    layOutGrid(hfgAm1, {1000, 900, 1000, 1000, 1000}, receipts);
    layOutGrid(hfgM, {600, 1000, 1000, 1000}, {"", "報價單號", "合約單號", "金額"});
}

void ContractSchedules::ClearContractGrids() {
    for (Grid* grid : {&hfg, &hfg1, &HfgAM, &hfgAm1, &hfgM}) {
        grid->Clear();
        grid->SetRows(2);
    }
    typedCells_.clear();
    for (std::vector<ShownScheduleRow>& rows : loadedRows_)
        rows.clear();
    LayoutContractGrids();
}

// The three schedules are read as one state of the file.
void ContractSchedules::LoadSchedules(bool receivable, const std::string& id) {
    Transaction reading(AccDb(), TransactionKind::Reads);
    for (Schedule schedule : {Schedule::Instalments, Schedule::Additions, Schedule::Reductions})
        LoadSchedule(receivable, schedule, id);
    reading.Commit();
}

// The rows kept for the save's check and the rows shown are read in one read transaction: another
// copy's rewrite of the schedule meanwhile is seen whole or not at all, never as rows gone between
// counting and reading them.
void ContractSchedules::LoadSchedule(bool receivable, Schedule schedule, const std::string& id) {
    Transaction reading(AccDb(), TransactionKind::Reads);
    shownSchedules_[static_cast<size_t>(schedule)] = ShownSchedule(receivable, schedule, id);
    ShowScheduleRows(schedule, scheduleRows(receivable, schedule, id));
    reading.Commit();
}

// A schedule without rows leaves its emptied grid as it is.
void ContractSchedules::ShowScheduleRows(Schedule schedule, Recordset stored) {
    std::vector<ShownScheduleRow>& loaded = loadedRows_[static_cast<size_t>(schedule)];
    loaded.clear();
    Grid& plan = schedule == Schedule::Instalments ? hfg
                 : schedule == Schedule::Additions ? HfgAM
                                                   : hfgM;
    ForgetTyping(plan);
    const int count = static_cast<int>(stored.RecordCount());
    if (count == 0) return;
    plan.SetRows(count + 1);
    if (schedule == Schedule::Instalments) hfg1.SetRows(plan.Rows());
    if (schedule == Schedule::Additions) hfgAm1.SetRows(plan.Rows());
    for (int r = 1; !stored.Eof(); stored.MoveNext(), ++r) {
        loaded.push_back(ShownScheduleRowAt(stored, schedule));
        switch (schedule) {
            case Schedule::Instalments:
                showInstalment(hfg, hfg1, r, stored);
                break;
            case Schedule::Additions:
                showAddition(HfgAM, hfgAm1, r, stored);
                break;
            case Schedule::Reductions:
                showReduction(hfgM, r, stored);
                break;
        }
    }
}

void ContractSchedules::AddInstalment() {
    const int last = hfg.Rows() - 1;
    if (!hfg.TextMatrix(last, 0).empty() && hfg.TextMatrix(last, 1).empty()) {
        messageBox("無法新增\r\n請先完成先前期數的預付金額", MessageExclamation, ApplicationTitle);
        return;
    }
    // The shares are summed in hundredths of a per cent, as shown: a sum of doubles would make
    // 0.08 % + 86.07 % + 13.85 % fall short of 100.
    int64_t hundredths = 0;
    for (int r = 1; r < hfg.Rows(); ++r)
        hundredths += shownShareHundredths(hfg.TextMatrix(r, 3));
    if (hundredths >= 100 * 100) {
        messageBox("無法新增\r\n所有期數已包含所有金額", MessageExclamation, ApplicationTitle);
        return;
    }
    appendLabelledRow(hfg, &hfg1, "第", "期");
    InstalmentsEditing = true;
}

void ContractSchedules::AddAddition() {
    appendLabelledRow(HfgAM, &hfgAm1, "追加", "");
    AdditionsEditing = true;
}

void ContractSchedules::AddReduction() {
    appendLabelledRow(hfgM, nullptr, "追減", "");
    ReductionsEditing = true;
}

// The grids are edited in place and saved one by one, so the totals are read from the cells: they
// must show what is typed and not yet saved. Each amount cell holds the stored text as it stands
// or what was typed, grouped when its editor was left, and AmountOf reads either exactly; after a
// load or a save the cells are what is stored.
ScheduleTotals ContractSchedules::Totals() const {
    ScheduleTotals totals;
    for (int r = 1; r < HfgAM.Rows(); ++r)
        totals.additions += AmountOf(HfgAM.TextMatrix(r, 3));
    for (int r = 1; r < hfgM.Rows(); ++r)
        totals.reductions += AmountOf(hfgM.TextMatrix(r, 3));
    for (int r = 1; r < hfg1.Rows(); ++r)
        totals.received += AmountOf(hfg1.TextMatrix(r, 0));
    for (int r = 1; r < hfgAm1.Rows(); ++r)
        totals.received += AmountOf(hfgAm1.TextMatrix(r, 0));
    return totals;
}

// ---- What was typed ----

bool ContractSchedules::Typed(const Grid& grid, int row, int col) const {
    return typedCells_.contains({&grid, row, col});
}

void ContractSchedules::MarkTyped(const Grid& grid, int row, int col, bool typed) {
    if (typed)
        typedCells_.insert({&grid, row, col});
    else
        typedCells_.erase({&grid, row, col});
}

// A grid loaded or saved shows what is stored.
void ContractSchedules::ForgetTyping(const Grid& grid) {
    std::erase_if(typedCells_, [&](const Cell& cell) { return cell.grid == &grid; });
}

// A typed amount is stored as the save reads it; any other as the cell shows it, as it stands.
std::string ContractSchedules::AmountToStore(const Grid& grid, int row, int col) const {
    const std::string& shown = grid.TextMatrix(row, col);
    return Typed(grid, row, col) ? StoredAmount(shown) : shown;
}

const ShownScheduleRow* ContractSchedules::LoadedRow(Schedule schedule, int row) const {
    const std::vector<ShownScheduleRow>& loaded = loadedRows_[static_cast<size_t>(schedule)];
    return row >= 1 && row <= static_cast<int>(loaded.size()) ? &loaded[row - 1] : nullptr;
}

std::optional<int64_t> ContractSchedules::LoadedPeriod(Schedule schedule, int row) const {
    const ShownScheduleRow* loaded = LoadedRow(schedule, row);
    return loaded ? std::optional(loaded->period) : std::nullopt;
}

// ---- Saving ----

// Every instalment needs its amount and its date; false when one lacks either.
bool ContractSchedules::InstalmentRows(std::vector<PlanRow>& rows) {
    rows.clear();
    if (blankGrid(hfg)) return true;
    for (int r = 1; r < hfg.Rows(); ++r) {
        const std::string& amount = hfg.TextMatrix(r, 1);
        Value due = DateOrNull(hfg.TextMatrix(r, 2));
        if (amount.empty() || due.isNull()) return false;
        rows.push_back({{AmountToStore(hfg, r, 1), due, hfg.TextMatrix(r, 3),
                         DateOrNull(hfg.TextMatrix(r, 4)), hfg.TextMatrix(r, 5)},
                        LoadedPeriod(Schedule::Instalments, r)});
    }
    return true;
}

std::vector<PlanRow> ContractSchedules::AdditionRows() const {
    std::vector<PlanRow> rows;
    if (blankGrid(HfgAM)) return rows;
    for (int r = 1; r < HfgAM.Rows(); ++r)
        rows.push_back({{HfgAM.TextMatrix(r, 1), HfgAM.TextMatrix(r, 2), AmountToStore(HfgAM, r, 3),
                         DateOrNull(HfgAM.TextMatrix(r, 4)), DateOrNull(HfgAM.TextMatrix(r, 5)),
                         HfgAM.TextMatrix(r, 6)},
                        LoadedPeriod(Schedule::Additions, r)});
    return rows;
}

std::vector<PlanRow> ContractSchedules::ReductionRows() const {
    std::vector<PlanRow> rows;
    if (blankGrid(hfgM)) return rows;
    for (int r = 1; r < hfgM.Rows(); ++r)
        rows.push_back({{hfgM.TextMatrix(r, 1), hfgM.TextMatrix(r, 2), AmountToStore(hfgM, r, 3)},
                        LoadedPeriod(Schedule::Reductions, r)});
    return rows;
}

// A schedule belongs to a stored contract: without one (deleted, or a number only shown while
// adding) nothing is written. Nor is it when another copy of the program changed the rows since
// they were shown: the grid then shows them as stored.
bool ContractSchedules::StoreSchedule(Schedule schedule, const std::vector<PlanRow>& rows) {
    if (contract_.lbNo.Caption().empty() ||
        !ContractExists(contract_.ShownReceivable(), contract_.lbNo.Caption())) {
        messageBox(ContractMissing, MessageExclamation, ApplicationTitle);
        return false;
    }
    const size_t index = static_cast<size_t>(schedule);
    const bool stored = SaveUnlessChanged([&] {
        Transaction transaction(AccDb(), TransactionKind::Writes);
        shownSchedules_[index].CheckUnchanged(AccDb());
        ReplaceSchedule(contract_.ShownReceivable(), schedule, contract_.lbNo.Caption(), rows);
        // The grid now shows the rows as stored, numbered 1..n: they are what the next check and
        // the next row command go by, read before the commit so that no other copy's write comes
        // between, and taken once it succeeded.
        ShownRows shown = shownSchedules_[index];
        shown.Reread(AccDb());
        std::vector<ShownScheduleRow> loaded = StoredRows(schedule);
        transaction.Commit();
        shownSchedules_[index] = std::move(shown);
        loadedRows_[index] = std::move(loaded);
    });
    if (!stored) ShowStoredSchedule(schedule);
    return stored;
}

std::vector<ShownScheduleRow> ContractSchedules::StoredRows(Schedule schedule) const {
    std::vector<ShownScheduleRow> stored;
    for (Recordset rs =
             scheduleRows(contract_.ShownReceivable(), schedule, contract_.lbNo.Caption());
         !rs.Eof(); rs.MoveNext())
        stored.push_back(ShownScheduleRowAt(rs, schedule));
    return stored;
}

// One schedule's grids emptied and loaded again as stored, its editing ended.
void ContractSchedules::ShowStoredSchedule(Schedule schedule) {
    struct View {
        Grid& plan;
        Grid* receipts;
        bool& editing;
        CommandButton& save;
    };
    const View view =
        schedule == Schedule::Instalments ? View{hfg, &hfg1, InstalmentsEditing, cmdAcSv}
        : schedule == Schedule::Additions ? View{HfgAM, &hfgAm1, AdditionsEditing, cmdAmSv}
                                          : View{hfgM, nullptr, ReductionsEditing, cmdMsv};
    for (Grid* grid : {&view.plan, view.receipts}) {
        if (!grid) continue;
        grid->Clear();
        grid->SetRows(2);
    }
    LayoutContractGrids();
    LoadSchedule(contract_.ShownReceivable(), schedule, contract_.lbNo.Caption());
    view.editing = false;
    view.save.SetEnabled(false);
    HideCellEditors();
    contract_.ComputeContractTotals();
}

// Every amount typed into a plan grid is one; the first that is not is refused, named by its row
// and its column, and becomes the grid's current cell. An amount nobody typed is stored as it
// stands.
bool ContractSchedules::CellsAreAmounts(Grid& grid, int amountCol) {
    if (blankGrid(grid)) return true;
    for (int r = 1; r < grid.Rows(); ++r)
        if (Typed(grid, r, amountCol) &&
            CellAmount(grid, r, amountCol,
                       grid.TextMatrix(r, 0) + "的" + grid.TextMatrix(0, amountCol),
                       ContractAmountRule)
                .refused())
            return false;
    return true;
}

// Every share the user typed is a share of 0 to 100 with at most two decimals; the first that is
// not is refused, named by its row, and becomes the grid's current cell.
bool ContractSchedules::TypedSharesAreShares() {
    for (int r = 1; r < hfg.Rows(); ++r) {
        if (!Typed(hfg, r, 3) || typedShare(hfg.TextMatrix(r, 3))) continue;
        messageBox(hfg.TextMatrix(r, 0) + "的" + hfg.TextMatrix(0, 3) +
                       "必須是 0 到 100 之間、最多兩位小數的百分比",
                   MessageExclamation, ApplicationTitle);
        hfg.SetRow(r);
        hfg.SetCol(3);
        return false;
    }
    return true;
}

bool ContractSchedules::SaveInstalments() {
    if (!CellsAreAmounts(hfg, 1) || !TypedSharesAreShares()) return false;
    std::vector<PlanRow> rows;
    if (!InstalmentRows(rows)) {
        messageBox(IncompleteInstalments, MessageExclamation, ApplicationTitle);
        return false;
    }
    if (!StoreSchedule(Schedule::Instalments, rows)) return false;
    ForgetTyping(hfg);
    cmdAcSv.SetEnabled(false);
    InstalmentsEditing = false;
    HideCellEditors();
    contract_.ComputeContractTotals();
    return true;
}

bool ContractSchedules::SaveAdditions() {
    if (!CellsAreAmounts(HfgAM, 3)) return false;
    if (!StoreSchedule(Schedule::Additions, AdditionRows())) return false;
    ForgetTyping(HfgAM);
    cmdAmSv.SetEnabled(false);
    AdditionsEditing = false;
    HideCellEditors();
    contract_.ComputeContractTotals();
    return true;
}

bool ContractSchedules::SaveReductions() {
    if (!CellsAreAmounts(hfgM, 3)) return false;
    if (!StoreSchedule(Schedule::Reductions, ReductionRows())) return false;
    ForgetTyping(hfgM);
    cmdMsv.SetEnabled(false);
    ReductionsEditing = false;
    HideCellEditors();
    contract_.ComputeContractTotals();
    return true;
}

bool ContractSchedules::PromptSavePendingGrids() {
    for (const PendingGrid& grid : {PendingGrid{InstalmentsEditing, "期數修改中是否儲存?",
                                                &ContractSchedules::SaveInstalments, cmdAcSv},
                                    PendingGrid{AdditionsEditing, "追加修改中是否儲存?",
                                                &ContractSchedules::SaveAdditions, cmdAmSv},
                                    PendingGrid{ReductionsEditing, "追減修改中是否儲存?",
                                                &ContractSchedules::SaveReductions, cmdMsv}})
        if (grid.editing && AskAboutTypedEdits(grid) == TypedEdits::Refused) return false;
    return true;
}

// The answer is what the save did, never read from the editing flag afterwards: a save refused
// because another copy changed the rows shows them as stored, which also ends the editing.
ContractSchedules::TypedEdits ContractSchedules::AskAboutTypedEdits(const PendingGrid& grid) {
    if (messageBox(grid.question, MessageYesNoDefaultNo, ApplicationTitle) == AnswerYes)
        return (this->*grid.save)() ? TypedEdits::Saved : TypedEdits::Refused;
    grid.button.SetEnabled(false);
    grid.editing = false;
    HideCellEditors();
    return TypedEdits::Dropped;
}

// Unsaved grid edits are dropped without a question.
void ContractSchedules::StopEditing() {
    InstalmentsEditing = AdditionsEditing = ReductionsEditing = false;
}

// The instalments with their shares of the new total; false (after saying why) when the grid
// cannot be stored or the total gives no share. Every share is rewritten, so none is checked.
bool ContractSchedules::RescaledInstalments(std::vector<PlanRow>& rows, int64_t total) {
    if (!CellsAreAmounts(hfg, 1)) return false;
    if (!InstalmentRows(rows)) {
        messageBox(IncompleteInstalments, MessageExclamation, ApplicationTitle);
        return false;
    }
    if (!rows.empty() && total == 0) {
        messageBox("合計為 0,無法計算期數的佔總價比例", MessageExclamation, ApplicationTitle);
        return false;
    }
    for (PlanRow& row : rows)
        row.values[2] = ShareText(ShareOf(AmountOf(row.values[0].text()), total));
    return true;
}

void ContractSchedules::CheckInstalmentsUnchanged(Database& db) {
    shownSchedules_[static_cast<size_t>(Schedule::Instalments)].CheckUnchanged(db);
}

// The stored shares are shown, and the instalments are no longer being edited.
void ContractSchedules::ShowRescaledShares(const std::vector<PlanRow>& rows) {
    for (size_t i = 0; i < rows.size(); ++i)
        hfg.SetTextMatrix(static_cast<int>(i) + 1, 3, rows[i].values[2].text());
    ForgetTyping(hfg);
    cmdAcSv.SetEnabled(false);
    InstalmentsEditing = false;
    HideCellEditors();
}

}  // namespace kiv

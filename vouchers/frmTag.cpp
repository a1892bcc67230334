#include "vouchers/frmTag.h"

#include <cmath>
#include <optional>

#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* Idle = "傳票";
constexpr const char* Adding = "傳票 - 新增";
constexpr const char* Editing = "傳票 - 修改";
enum Column { LineCol, CodeCol, NameCol, SideCol, SummaryCol, AmountCol };
const char* const Headers[] = {"序", "科目編號", "科目名稱", "借貸", "摘要", "金額"};

// A total of 0 shows nothing.
std::string totalText(int64_t total) {
    return total == 0 ? "" : AmountText(total);
}

}  // namespace

frmTag::frmTag() : Form(FormName) {
    SetCaption(Idle);
    SetBorderStyle(3);
    SetClientSize(9780, 5280);
    applyLayout({
        {&Label1(0), nullptr, 120, 150, 1000, 300, "輸入日期:", RightAligned},
        {&lbInDay, nullptr, 1140, 120, 2800, 330, nullptr, ValueField},
        {&Label1(1), nullptr, 4200, 150, 700, 300, "單號:", RightAligned},
        {&lbNo, nullptr, 4920, 120, 1800, 330, nullptr, ValueField},
        {&hfg, nullptr, 120, 540, 9540, 3420},
        {&t, nullptr, 0, 0, 1000, 300},
        {&ca, nullptr, 0, 0, 300, 300, "..."},
        {&cbBL, nullptr, 0, 0, 700, 300},
        {&lst, nullptr, 120, 4080, 4200, 1080},
        {&Label1(2), nullptr, 4440, 4110, 1000, 300, "借方總額:", RightAligned},
        {&txtB, nullptr, 5460, 4080, 1560, 330, nullptr, RightAligned},
        {&Label1(3), nullptr, 4440, 4530, 1000, 300, "貸方總額:", RightAligned},
        {&txtL, nullptr, 5460, 4500, 1560, 330, nullptr, RightAligned},
        {&cmdAdd, nullptr, 7320, 4080, 1080, 390, "新增"},
        {&cmdEdit, nullptr, 8520, 4080, 1080, 390, "修改"},
        {&cmdSv, nullptr, 7320, 4560, 1080, 390, "存檔"},
        {&cmdCencel, nullptr, 8520, 4560, 1080, 390, "取消"},
    });
    hfg.SetRows(LineCount + 1);
    hfg.SetCols(6);
    hfg.SetEditedInPlace(true);
    hfg.SetColWidth(NameCol, 1800);
    hfg.SetColWidth(AmountCol, 1400);
    cbBL.AddItem("借");
    cbBL.AddItem("貸");
    cbBL.SetStyle(2);
    lst.SetColumnCount(2);
    lst.SetColumnWidths("50 pt;120 pt");
    txtB.SetLocked(true);
    txtL.SetLocked(true);
    HideTagEditors();
    SetEntering(false);
    cmdAdd.Click = [this] { cmdAdd_Click(); };
    cmdEdit.Click = [this] { cmdEdit_Click(); };
    cmdCencel.Click = [this] { cmdCencel_Click(); };
    cmdSv.Click = [this] { cmdSv_Click(); };
    hfg.MouseUp = [this](int button, int shift, float x, float y) {
        hfg_MouseUp(button, shift, x, y);
    };
    t.Change = [this] { t_Change(); };
    cbBL.Click = [this] { cbBL_Click(); };
    ca.Click = [this] { ca_Click(); };
    lst.Click = [this] { lst_Click(); };
}

void frmTag::Form_Load() {
    SetJournalGridLayout();
}

void frmTag::SetJournalGridLayout() {
    for (int c = 0; c < 6; ++c)
        hfg.SetTextMatrix(0, c, Headers[c]);
    for (int r = 1; r <= LineCount; ++r)
        hfg.SetTextMatrix(r, LineCol, std::to_string(r));
    hfg.SetColWidth(LineCol, 300);
    hfg.SetColWidth(CodeCol, 1000);
    hfg.SetColWidth(SideCol, 700);
    hfg.SetColWidth(SummaryCol, 4000);
    hfg.SetColAlignment(CodeCol, 1);
    hfg.SetColAlignment(SummaryCol, 1);
    hfg.SetColAlignment(SideCol, 4);
}

void frmTag::SetEntering(bool entering) {
    cmdSv.SetEnabled(entering);
    cmdCencel.SetEnabled(entering);
}

void frmTag::cmdAdd_Click() {
    std::optional<std::string> number = DailySerialNumber(AccDb(), "tag", "num", 3);
    if (!number) {
        messageBox("本日傳票已達999張 無法再新增", MessageCritical, ApplicationTitle);
        return;
    }
    SetCaption(Adding);
    voucherDay_ = Clock::today();
    lbInDay.SetCaption(LongRocDate(voucherDay_));
    lbNo.SetCaption(*number);
    shownLines_ = ShownJournalVoucher(AccDb(), *number);
    hfg.Clear();
    SetJournalGridLayout();
    SumDebitCredit();
    SetEntering(true);
}

// Editing works on the voucher on screen, so there must be one.
void frmTag::cmdEdit_Click() {
    if (lbNo.Caption().empty()) return;
    SetCaption(Editing);
    SetEntering(true);
}

void frmTag::cmdCencel_Click() {
    SetEntering(false);
    SetCaption(Idle);
}

void frmTag::cmdSv_Click() {
    SaveJournalVoucher();
}

void frmTag::hfg_MouseUp(int button, int, float, float) {
    if (button != LeftButton) return;
    editRow_ = hfg.MouseRow();
    editCol_ = hfg.MouseCol();
    PlaceCellEditor();
}

void frmTag::HideTagEditors() {
    lst.Clear();
    cbBL.SetVisible(false);
    ca.SetVisible(false);
    t.SetVisible(false);
}

void frmTag::CoverCell(Control& editor, int widthLeft) {
    editor.Move(hfg.Left() + hfg.CellLeft(), hfg.Top() + hfg.CellTop(), hfg.CellWidth() - widthLeft,
                hfg.CellHeight());
    editor.SetVisible(true);
    editor.ZOrder(0);
}

void frmTag::PlaceCellEditor() {
    if (editRow_ <= 0) return;
    HideTagEditors();
    const std::string cell = hfg.TextMatrix(editRow_, editCol_);
    switch (editCol_) {
        case CodeCol: {
            t.SetText(cell);
            int side = hfg.CellHeight();
            CoverCell(t, side);
            ca.Move(hfg.Left() + hfg.CellLeft() + hfg.CellWidth() - side, hfg.Top() + hfg.CellTop(),
                    side, side);
            ca.SetVisible(true);
            ca.ZOrder(0);
            break;
        }
        case SideCol:
            if (!cell.empty()) cbBL.SetText(cell);
            cbBL.SetFontSize(hfg.FontSize());
            CoverCell(cbBL, 0);
            hfg.SetTextMatrix(editRow_, SideCol, cbBL.Text());
            SumDebitCredit();
            break;
        case SummaryCol:
        case AmountCol:
            t.SetText(cell);
            CoverCell(t, 0);
            t.SetFocus();
            break;
        default:
            break;
    }
}

void frmTag::t_Change() {
    if (editRow_ <= 0) return;
    hfg.SetTextMatrix(editRow_, editCol_, t.Text());
    SumDebitCredit();
}

void frmTag::cbBL_Click() {
    if (editRow_ <= 0 || editCol_ != SideCol) return;
    hfg.SetTextMatrix(editRow_, SideCol, cbBL.Text());
    SumDebitCredit();
}

void frmTag::ca_Click() {
    std::string prefix = hfg.TextMatrix(editRow_, CodeCol);
    std::vector<std::vector<std::string>> accounts;
    for (Recordset rs = AccDb().OpenRecordset(
             "SELECT id, acc FROM acc WHERE id LIKE ? ESCAPE '\\' ORDER BY id", likePrefix(prefix));
         !rs.Eof(); rs.MoveNext())
        accounts.push_back({rs.Fields("id").text(), rs.Fields("acc").text()});
    if (accounts.empty()) accounts.push_back({"", ""});
    lst.SetRows(accounts);
}

void frmTag::lst_Click() {
    if (editRow_ <= 0 || lst.ListIndex() < 0) return;
    std::string code = lst.List(lst.ListIndex(), 0);
    std::string name = lst.List(lst.ListIndex(), 1);
    t.SetText(code);
    hfg.SetTextMatrix(editRow_, CodeCol, code);
    hfg.SetTextMatrix(editRow_, NameCol, name);
}

std::vector<JournalLine> frmTag::Lines() const {
    std::vector<JournalLine> lines;
    for (int r = 1; r <= LineCount; ++r)
        lines.push_back({hfg.TextMatrix(r, LineCol), hfg.TextMatrix(r, CodeCol),
                         hfg.TextMatrix(r, NameCol), hfg.TextMatrix(r, SideCol),
                         hfg.TextMatrix(r, SummaryCol), hfg.TextMatrix(r, AmountCol)});
    return lines;
}

// Amounts are read without their separators, so "1,500" counts 1500.
void frmTag::SumDebitCredit() {
    debit_ = credit_ = 0;
    for (const JournalLine& line : Lines()) {
        if (line.side == "借") debit_ += JournalAmount(line.amount);
        if (line.side == "貸") credit_ += JournalAmount(line.amount);
    }
    txtB.SetText(totalText(debit_));
    txtL.SetText(totalText(credit_));
}

// The exact sums are compared, so that no rounding of the shown totals hides an imbalance. A
// stored voucher leaves the entry, so that a second press cannot store it twice; a save while
// editing replaces the lines stored under the number shown. Lines another copy of the program
// changed meanwhile are not written over: the form shows them as stored.
void frmTag::SaveJournalVoucher() {
    if (!LineAmountsAreAmounts()) return;
    SumDebitCredit();
    if (debit_ != credit_) {
        messageBox("借貸不相等", MessageCritical, ApplicationTitle);
        return;
    }
    bool stored = false;
    if (!SaveUnlessChanged([this, &stored] { stored = StoreShownVoucher(); })) {
        ShowStoredVoucher();
        return;
    }
    if (!stored) return;
    SetCaption(Idle);
    SetEntering(false);
}

// The amount of every line is one or nothing; the first that is another text is refused, naming
// its line.
bool frmTag::LineAmountsAreAmounts() {
    for (int r = 1; r <= LineCount; ++r)
        if (CellAmount(hfg, r, AmountCol, "第 " + std::to_string(r) + " 行的金額",
                       {.emptyAllowed = true}, ApplicationTitle)
                .refused())
            return false;
    return true;
}

// A new voucher keeps the number shown unless another copy stored one under it meanwhile.
bool frmTag::StoreShownVoucher() {
    if (Caption() == Editing) {
        ReplaceJournalVoucher(AccDb(), lbNo.Caption(), voucherDay_, Lines(), shownLines_);
        return true;
    }
    std::optional<std::string> number =
        AddJournalVoucher(AccDb(), lbNo.Caption(), voucherDay_, Lines(), shownLines_);
    if (!number) {
        messageBox("本日傳票已達999張 無法再新增", MessageCritical, ApplicationTitle);
        return false;
    }
    lbNo.SetCaption(*number);
    return true;
}

// Each stored line goes back to the row of its line number. The lines are kept before they are
// shown, so that a change falling between the two reads counts as a conflict at the next save.
void frmTag::ShowStoredVoucher() {
    shownLines_ = ShownJournalVoucher(AccDb(), lbNo.Caption());
    HideTagEditors();
    hfg.Clear();
    SetJournalGridLayout();
    for (const JournalLine& line : ReadJournalVoucher(AccDb(), lbNo.Caption())) {
        int row = static_cast<int>(leadingNumber(line.line));
        if (row < 1 || row > LineCount) continue;
        hfg.SetTextMatrix(row, CodeCol, line.code);
        hfg.SetTextMatrix(row, NameCol, line.name);
        hfg.SetTextMatrix(row, SideCol, line.side);
        hfg.SetTextMatrix(row, SummaryCol, line.summary);
        hfg.SetTextMatrix(row, AmountCol, line.amount);
    }
    SumDebitCredit();
    SetCaption(Idle);
    SetEntering(false);
}

void frmTag::Form_QueryUnload(int& cancel, int) {
    if (Caption() == Idle) return;
    messageBox("未存", MessageCritical, ApplicationTitle);
    cancel = 1;
}

}  // namespace kiv

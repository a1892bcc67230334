#include "contracts/frmMchIo.h"

#include <optional>
#include <string>

#include "contracts/Settlements.h"
#include "contracts/frmRio.h"
#include "ledger/Vouchers.h"
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

constexpr int Columns = 12;
constexpr int AmountCol = 2;
constexpr int KindCol = 3;
constexpr const char* Cash = "現金";

// The contract form, which shows this dialog; the dialog also stands alone.
const frmRio* contractForm() {
    return Forms::isLoaded<frmRio>() ? &Forms::loadedForm<frmRio>() : nullptr;
}

}  // namespace

frmMchIo::frmMchIo() : Form(FormName) {
    SetCaption("選取收支單沖帳");
    SetBorderStyle(3);
    SetMinButton(false);
    SetMaxButton(false);
    SetCentreOnScreen(true);
    SetClientSize(14040, 6375);
    applyLayout({
        {&hfg, nullptr, 45, 45, 13920, 5805},
        {&Command1, nullptr, 12285, 5940, 690, 330, "確定"},
        {&Command2, nullptr, 13275, 5940, 690, 330, "取消"},
    });
    hfg.SetRows(2);
    hfg.SetCols(2);
    hfg.SetFixedRows(1);
    hfg.SetFixedCols(1);
    hfg.Click = [this] { hfg_Click(); };
    hfg.DblClick = [this] { hfg_DblClick(); };
    // A row reached with the arrow keys is the one 確定 settles with, as a click on it makes it.
    hfg.KeyUp = [this](int& keyCode, int) {
        if (keyCode == Key::Up || keyCode == Key::Down) ChosenRow = hfg.Row();
    };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
}

void frmMchIo::Form_Load() {
    SetWidth(screenWidth());
    hfg.SetWidth(ScaleWidth() - 2 * hfg.Left());
    ListProjectVouchers();
}

void frmMchIo::ListProjectVouchers() {
    const frmRio* contracts = contractForm();
    const bool receivable = contracts ? contracts->optI.Value() : SettleReceivable;
    if (contracts) hfg.SetBackColorFixed(contracts->schedules.hfg.BackColorFixed());
    hfg.SetCols(Columns);
    const int widths[] = {200, 1000, 800, 600, 4000, 1800, 650, 1200, 1200, 1200, 1200};
    const char* headers[] = {"",       "收支單號", "金額",   "錢/票",  "用途",   "工程種類",
                             "科目號", "科目名",   "申請人", "簽收人", "附註一", "發生日期"};
    for (int col = 0; col < Columns; ++col) {
        if (col < static_cast<int>(std::size(widths))) hfg.SetColWidth(col, widths[col]);
        hfg.SetTextMatrix(0, col, headers[col]);
    }
    listed_.clear();
    if (!contracts) return;
    Recordset rs = AccDb().OpenRecordset(
        "SELECT * FROM iof WHERE 專案號碼 = ? AND 專案名稱 = ? AND pay = ? "
        "AND 方式 IN (?, ?, ?) ORDER BY 單號",
        contracts->lbPjNo.Caption(), contracts->lbPj.Caption(), !receivable, SignedByCash,
        SignedByCheque, SignedByCashedCheque);
    // The rows are added as they are read: counting them first would run the query twice.
    for (int row = 1; !rs.Eof(); rs.MoveNext(), ++row) {
        hfg.SetRows(row + 1);
        listed_.push_back(DayAndAmountAt(rs));
        const Value day = rs.Fields("發生日期");
        hfg.SetTextMatrix(row, 1, rs.Fields("單號").text());
        hfg.SetTextMatrix(row, AmountCol, AmountText(rs.Fields("金額")));
        hfg.SetTextMatrix(row, KindCol,
                          rs.Fields("方式").wholeNumber() == SignedByCash ? Cash : "票據");
        int col = 4;
        for (const char* field :
             {"用途說明", "工程種類", "科目代號", "科目名稱", "申請人", "簽收", "附註一"})
            hfg.SetTextMatrix(row, col++, rs.Fields(field).text());
        hfg.SetTextMatrix(row, 11, day.isNull() ? "" : GridRocDate(day.date()));
    }
}

void frmMchIo::hfg_Click() {
    ChosenRow = hfg.MouseRow();
}

void frmMchIo::hfg_DblClick() {
    if (hfg.MouseRow() == 0) return;
    ChosenRow = hfg.MouseRow();
    Command1_Click();
}

// Without a listed voucher chosen there is nothing to settle with, and the dialog stays.
void frmMchIo::Command1_Click() {
    if (ChosenRow < 1 || ChosenRow > static_cast<int>(listed_.size())) return;
    const std::optional<std::string> amount =
        AskSettledAmount(AmountOf(hfg.TextMatrix(ChosenRow, AmountCol)), AmountOf(SettleAmount));
    if (!amount) return;
    Settlement settlement;
    settlement.amount = *amount;
    settlement.day = listed_[ChosenRow - 1].day;
    settlement.voucherAmount = listed_[ChosenRow - 1].amount;
    settlement.voucherNo = hfg.TextMatrix(ChosenRow, 1);
    settlement.cash = hfg.TextMatrix(ChosenRow, KindCol) == Cash;
    if (!settlement.cash) settlement.chequeNo = ChequeNumberForVoucher(settlement.voucherNo);
    const frmRio* contracts = contractForm();
    // The row settled is the stored row the contract form showed. A row no longer stored is left
    // alone and the user told; one changed, settled or replaced by another row meanwhile by
    // another copy of the program, or a voucher changed meanwhile, is refused; the contract form's
    // reload shows what is stored.
    const std::optional<ShownScheduleRow> shown =
        contracts ? contracts->schedules.RowToSettle() : std::nullopt;
    bool settled = false;
    const bool unchanged = !shown || SaveUnlessChanged([&] {
        settled = SettleScheduleRow(
            SettleReceivable, SettleIsInstalment ? Schedule::Instalments : Schedule::Additions,
            contracts->lbNo.Caption(), *shown, settlement);
    });
    if (!settled && unchanged)
        messageBox(SettledRowGoneMessage, MessageExclamation, ApplicationTitle);
    Unload();
}

void frmMchIo::Command2_Click() {
    Unload();
}

}  // namespace kiv

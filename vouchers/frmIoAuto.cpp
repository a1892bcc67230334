#include "vouchers/frmIoAuto.h"

#include <optional>
#include <stdexcept>

#include "ledger/Vouchers.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "shell/mdM.h"
#include "vouchers/VoucherFields.h"
#include "vouchers/VoucherRules.h"

namespace kiv {

using namespace voucherfields;

namespace {

constexpr const char* CashingStatus = "票據兌現產生收支單";
constexpr const char* TransferStatus = "轉帳產生收支單";
constexpr const char* SystemPerson = "系統";
constexpr const char* DayFullMessage = "本日收支單已達999張 無法再新增";

// The rows of fields, then the button.
constexpr int FormHeight = 4900;

// The cash side of a transfer: money from an ordinary account into cash is income on "0000";
// money out of cash into an account is expense on "9999", named by the account's kind.
struct TransferLeg {
    bool expense;
    const char* account;
    const char* accountName;
    const char* bankBox;
    const char* suffix;
};

TransferLeg transferLeg() {
    if (TransferToCash) return {false, "0000", "銀行取款", "cbBnk", "(銀行取款)"};
    if (TransferToChequeAccount) return {true, "9999", "支票銀行存款", "cbABnk", "(支票存款)"};
    return {true, "9999", "一般銀行存款", "cbBnk", "(一般存款)"};
}

}  // namespace

frmIoAuto::frmIoAuto() : Form(FormName) {
    SetCaption("自動產生收支單");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetMinButton(false);
    SetWidth(FormWidth);
    SetHeight(FormHeight);
    LayOut();
    // Shown only for a voucher with a receipt, as the voucher form does.
    Frame3.SetVisible(false);
    Check1.Click = [this] { Check1_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    // The voucher is stored as the form appears: Enter, wherever the focus stands, closes it.
    Command1.SetDefault(true);
}

void frmIoAuto::LayOut() {
    const int buttonTop = rowTop(9) + 60;
    placeVoucherFields(*this);
    applyLayout({
        {&suggestionFrame, nullptr, LeftCaption, rowTop(8), 5640, 360, nullptr, Borderless},
        {&suggestionCaption, &suggestionFrame, 0, CaptionDrop, 1560, CaptionHeight,
         "申請人建議方式:", CaptionLook},
        {&Op1(0), &suggestionFrame, 1620, 30, 780, ChoiceHeight, "現金"},
        {&Op1(1), &suggestionFrame, 2460, 30, 780, ChoiceHeight, "票據"},
        {&ck, nullptr, RightCaption, rowTop(8) + 30, 1080, ChoiceHeight, "已簽核"},
        {&wayCaption, nullptr, 7140, captionTop(8), 1020, CaptionHeight, "處理方式："},
        {&wayFrame, nullptr, 8160, rowTop(8), 2760, 360, nullptr, Borderless},
        {&optA(0), &wayFrame, 0, 30, 720, ChoiceHeight, "現金"},
        {&optA(1), &wayFrame, 780, 30, 720, ChoiceHeight, "票據"},
        {&optA(2), &wayFrame, 1560, 30, 1200, ChoiceHeight, "已兌現票據"},

        {&Command1, nullptr, 9960, buttonTop, 2280, 420, "確定產生收支單"},
    });
}

// Every write is done here, before the form appears, inside the caller's transaction, which the
// caller holds across the show: the voucher (and a cashed voucher's mark) and the caller's own
// rows are stored together or not at all. Nothing is written without one.
void frmIoAuto::Form_Load() {
    SetLeft((screenWidth() - Width()) / 2);
    SetTop(1500);
    today_ = Clock::today();
    lbInDay.SetCaption(LongRocDate(today_));
    lbHday.SetCaption(lbInDay.Caption());
    if (!AccDb().InTransaction()) throw std::logic_error("自動產生收支單須在呼叫者的交易中執行");
    if (AutoVoucherFromCashing)
        WriteFollowUpVoucher();
    else
        WriteTransferVoucher();
}

// The cashed voucher is marked first, then its follow-up is numbered and written.
void frmIoAuto::WriteFollowUpVoucher() {
    lbStat.SetCaption(CashingStatus);
    std::optional<Voucher> cashed = ReadVoucher(AccDb(), CashingVoucherNo);
    if (!cashed) throw std::runtime_error("收支單 " + CashingVoucherNo + " 不存在");
    ShowCashedVoucher(*cashed);
    SetVoucherState(AccDb(), cashed->number, SignedByCheque, SignedByCashedCheque);
    AddShownVoucher(cashed->expense ? CashedExpense : CashedIncome);
}

// The follow-up copies the cashed voucher's amount, tax and suggestion as they are stored: a
// negative or overlong tax written by an older build is no typed text to refuse, and refusing it
// would leave the cheque uncashable, its voucher being signed.
void frmIoAuto::ShowCashedVoucher(const Voucher& cashed) {
    optA(2).SetValue(true);
    showVoucherFields(*this, cashed);
    amount_ = cashed.amount;
    tax_ = cashed.tax;
    suggestion_ = cashed.suggestion;
}

// The number is handed back as soon as it is given; should the caller's transaction fail later,
// the caller does not use it.
void frmIoAuto::WriteTransferVoucher() {
    lbStat.SetCaption(TransferStatus);
    ShowTransfer();
    AutoVoucherNo = AddShownVoucher(SignedByCash);
}

void frmIoAuto::ShowTransfer() {
    TransferLeg leg = transferLeg();
    // The transfer form is loaded while it shows this form.
    const ComboBox& bank = Forms::control<ComboBox>("frmTrans", leg.bankBox);
    optA(0).SetValue(true);
    amount_ = AmountOf(Forms::control<TextBox>("frmTrans", "txtCash").Text());
    tax_ = std::nullopt;
    txtCash.SetText(numberText(amount_));
    cbAcc.SetText(leg.account);
    showDirection(*this, leg.expense);
    lbAcTxt.SetCaption(leg.accountName);
    cbUse.SetText(bank.Text() + bank.Value() + leg.suffix);
    cbReq.SetText(SystemPerson);
    cbSin.SetText(SystemPerson);
    Op1(0).SetValue(true);
    suggestion_ = CashSuggested;
}

// The voucher as shown, written under today's next number, which the form then shows.
std::string frmIoAuto::AddShownVoucher(int state) {
    std::optional<std::string> number = AddVoucher(AccDb(), VoucherFromFields(state));
    if (!number) throw std::runtime_error(DayFullMessage);
    lbNo.SetCaption(*number);
    return *number;
}

// Both dates are today as a date, the amount and the tax the values shown, none read back from
// its label or box.
Voucher frmIoAuto::VoucherFromFields(int state) const {
    Voucher v;
    readVoucherFields(*this, v);
    v.entryDate = today_;
    v.state = state;
    v.amount = amount_;
    v.tax = tax_;
    v.day = today_;
    v.suggestion = suggestion_;
    return v;
}

void frmIoAuto::Check1_Click() {
    if (Check1.Value() == 1) {
        Frame3.SetVisible(true);
        txtTax.SetText(std::to_string(TaxIncluded(txtCash.Text())));
    } else {
        Frame3.SetVisible(false);
    }
}

void frmIoAuto::Command1_Click() {
    Unload();
}

}  // namespace kiv

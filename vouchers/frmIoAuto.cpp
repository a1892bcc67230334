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
#include "vouchers/VoucherRules.h"

namespace kiv {

namespace {

constexpr const char* Income = "(收入)";
constexpr const char* Expense = "(支出)";
constexpr Color Blue = 0xFF0000;
constexpr Color Red = 0x0000FF;

constexpr const char* CashingStatus = "票據兌現產生收支單";
constexpr const char* TransferStatus = "轉帳產生收支單";
constexpr const char* SystemPerson = "系統";
constexpr const char* DayFullMessage = "本日收支單已達999張 無法再新增";

// The rows of two columns of the voucher form, each a caption and its field, and the button.
constexpr int FormWidth = 12480;
constexpr int FormHeight = 4900;
constexpr int RowStep = 405;
constexpr int FieldHeight = 330;
constexpr int CaptionWidth = 1140;
constexpr int LeftCaption = 120;
constexpr int LeftField = 1320;
constexpr int LeftFieldWidth = 4440;
constexpr int RightCaption = 6000;
constexpr int RightField = 7200;
constexpr int RightFieldWidth = 5040;
// A caption sits lower than its field by the field's border and margin, so that their texts
// share a line.
constexpr int CaptionDrop = 45;
constexpr int CaptionHeight = FieldHeight - CaptionDrop;
constexpr int ChoiceHeight = 270;
constexpr unsigned CaptionLook = RightAligned;

constexpr int rowTop(int row) {
    return 120 + row * RowStep;
}

constexpr int captionTop(int row) {
    return rowTop(row) + CaptionDrop;
}

Placement caption(Label& label, int left, int row, const char* text, int width = CaptionWidth) {
    return {&label, nullptr, left, captionTop(row), width, CaptionHeight, text, CaptionLook};
}

Placement field(Control& control, int left, int row, int width, unsigned look = Plain) {
    return {&control, nullptr, left, rowTop(row), width, FieldHeight, nullptr, look};
}

std::string numberText(const std::optional<int64_t>& number) {
    return number ? std::to_string(*number) : "";
}

// An empty amount or tax box stores Null, as the voucher form's save does.
std::optional<int64_t> numberOfText(const std::string& text) {
    if (text.empty()) return std::nullopt;
    return Value(text).wholeNumber();
}

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

// A control of the transfer form, which is loaded while it shows this form.
template <class T>
T& transferControl(const char* name) {
    Form* transfer = Forms::find("frmTrans");
    if (!transfer) throw std::logic_error("轉帳處理未開啟");
    auto* control = dynamic_cast<T*>(transfer->FindControl(name));
    if (!control) throw std::logic_error(std::string("轉帳處理沒有 ") + name);
    return *control;
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
}

void frmIoAuto::LayOut() {
    const int buttonTop = rowTop(9) + 60;
    applyLayout({
        caption(captions(0), LeftCaption, 0, "輸入日期:"),
        field(lbInDay, LeftField, 0, 3000, ValueField),
        caption(captions(1), RightCaption, 0, "單號:"),
        field(lbNo, RightField, 0, 2400, ValueField),
        {&lbStat, nullptr, 9720, captionTop(0), 2520, CaptionHeight, nullptr, RightAligned | Bold},

        caption(captions(2), LeftCaption, 1, "發生日期:"),
        field(lbHday, LeftField, 1, 3000, ValueField),
        caption(captions(3), RightCaption, 1, "用途說明:"),
        field(cbUse, RightField, 1, RightFieldWidth),

        caption(captions(4), LeftCaption, 2, "科目代號:"),
        field(cbAcc, LeftField, 2, 1800),
        {&lbAcIo, nullptr, 3240, captionTop(2), 1200, CaptionHeight, nullptr, Bold},
        caption(captions(5), RightCaption, 2, "科目名稱:"),
        field(lbAcTxt, RightField, 2, RightFieldWidth, ValueField),

        caption(captions(6), LeftCaption, 3, "金額(含稅):"),
        field(txtCash, LeftField, 3, 1800, RightAligned),
        caption(captions(7), 3240, 3, "有單據:", 900),
        {&Check1, nullptr, 4200, rowTop(3) + 30, 300, ChoiceHeight},
        {&Frame3, nullptr, RightCaption, rowTop(3), 6240, 360, nullptr, Borderless},
        {&invoiceNoCaption, &Frame3, 0, CaptionDrop, CaptionWidth, CaptionHeight,
         "單據號碼:", CaptionLook},
        {&txtBno, &Frame3, 1200, 0, 1560, FieldHeight},
        {&taxCaption, &Frame3, 2820, CaptionDrop, 540, CaptionHeight, "稅額:", CaptionLook},
        {&txtTax, &Frame3, 3420, 0, 900, FieldHeight, nullptr, RightAligned},
        {&O1(0), &Frame3, 4440, 30, 780, ChoiceHeight, "費用"},
        {&O1(1), &Frame3, 5280, 30, 960, ChoiceHeight, "進銷項"},

        caption(captions(8), LeftCaption, 4, "專案號碼:"),
        field(cbPj, LeftField, 4, 2400),
        caption(captions(9), RightCaption, 4, "專案名稱:"),
        field(lbPjTxt, RightField, 4, RightFieldWidth, ValueField),

        caption(captions(10), LeftCaption, 5, "工程種類:"),
        field(cbWt, LeftField, 5, LeftFieldWidth),
        caption(captions(11), RightCaption, 5, "附 註 一:"),
        field(cbPs1, RightField, 5, RightFieldWidth),

        caption(captions(12), LeftCaption, 6, "申 請 人:"),
        field(cbReq, LeftField, 6, 3000),
        caption(captions(13), RightCaption, 6, "附 註 二:"),
        field(cbPs2, RightField, 6, RightFieldWidth),

        caption(captions(14), LeftCaption, 7, "簽 收 人:"),
        field(cbSin, LeftField, 7, 3000),

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

// Every write is done here, before the form appears, in one transaction: inside a cheque's
// processing it is a savepoint of the caller's, so the cashed state, the follow-up voucher and the
// caller's own rows are stored together or not at all.
void frmIoAuto::Form_Load() {
    SetLeft((screenWidth() - Width()) / 2);
    SetTop(1500);
    today_ = Clock::today();
    lbInDay.SetCaption(LongRocDate(today_));
    lbHday.SetCaption(lbInDay.Caption());
    Transaction transaction(AccDb(), true);
    if (AutoVoucherFromCashing)
        WriteFollowUpVoucher();
    else
        WriteTransferVoucher();
    transaction.Commit();
}

// The cashed voucher is marked first, then its follow-up is numbered and written.
void frmIoAuto::WriteFollowUpVoucher() {
    lbStat.SetCaption(CashingStatus);
    std::optional<Voucher> cashed = ReadVoucher(AccDb(), CashingVoucherNo);
    if (!cashed) throw std::runtime_error("收支單 " + CashingVoucherNo + " 不存在");
    ShowCashedVoucher(*cashed);
    SetVoucherState(AccDb(), cashed->number, SignedByCashedCheque);
    AddShownVoucher(cashed->expense ? CashedExpense : CashedIncome);
}

// The tax goes in after 有單據: setting the tick runs its Click, which computes the tax afresh,
// and the follow-up keeps the stored one.
void frmIoAuto::ShowCashedVoucher(const Voucher& cashed) {
    cbUse.SetText(cashed.use);
    optA(2).SetValue(true);
    txtCash.SetText(numberText(cashed.amount));
    cbAcc.SetText(cashed.account);
    ShowDirection(cashed.expense);
    lbAcTxt.SetCaption(cashed.accountName);
    cbPs1.SetText(cashed.note1);
    cbPs2.SetText(cashed.note2);
    if (!cashed.project.empty()) cbPj.SetText(cashed.project);
    lbPjTxt.SetCaption(cashed.projectName);
    cbWt.SetText(cashed.workType);
    cbReq.SetText(cashed.applicant);
    cbSin.SetText(cashed.receiver);
    Check1.SetValue(cashed.receipt ? 1 : 0);
    txtBno.SetText(cashed.receiptNo);
    txtTax.SetText(numberText(cashed.tax));
    O1(cashed.sales ? 1 : 0).SetValue(true);
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
    const ComboBox& bank = transferControl<ComboBox>(leg.bankBox);
    optA(0).SetValue(true);
    txtCash.SetText(Format(Value(transferControl<TextBox>("txtCash").Text()), "##0"));
    cbAcc.SetText(leg.account);
    ShowDirection(leg.expense);
    lbAcTxt.SetCaption(leg.accountName);
    cbUse.SetText(bank.Text() + bank.Value() + leg.suffix);
    cbReq.SetText(SystemPerson);
    cbSin.SetText(SystemPerson);
    Op1(0).SetValue(true);
    suggestion_ = CashSuggested;
}

void frmIoAuto::ShowDirection(bool expense) {
    Color colour = expense ? Red : Blue;
    lbAcIo.SetForeColor(colour);
    lbAcTxt.SetForeColor(colour);
    lbAcIo.SetCaption(expense ? Expense : Income);
}

// The voucher as shown, written under today's next number, which the form then shows.
std::string frmIoAuto::AddShownVoucher(int state) {
    std::optional<std::string> number = AddVoucher(AccDb(), VoucherFromFields(state));
    if (!number) throw std::runtime_error(DayFullMessage);
    lbNo.SetCaption(*number);
    return *number;
}

// Both dates are today as a date, not read back from their labels.
Voucher frmIoAuto::VoucherFromFields(int state) const {
    Voucher v;
    v.entryDate = today_;
    v.use = cbUse.Text();
    v.state = state;
    v.amount = numberOfText(txtCash.Text());
    v.account = cbAcc.Text();
    v.expense = lbAcIo.Caption() != Income;
    v.accountName = lbAcTxt.Caption();
    v.note1 = cbPs1.Text();
    v.note2 = cbPs2.Text();
    v.project = cbPj.Text();
    v.projectName = lbPjTxt.Caption();
    v.workType = cbWt.Text();
    v.day = today_;
    v.applicant = cbReq.Text();
    v.receiver = cbSin.Text();
    v.receipt = Check1.Value() == 1;
    v.receiptNo = txtBno.Text();
    v.tax = numberOfText(txtTax.Text());
    v.sales = O1(1).Value();
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

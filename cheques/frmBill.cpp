#include "cheques/frmBill.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <vector>

#include "ledger/BankBook.h"
#include "ledger/Vouchers.h"
#include "platform/db/Amount.h"
#include "platform/db/Format.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "platform/forms/UnsavedInput.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* Received = "收 到 票 據";
constexpr const char* Issued = "開 出 票 據";
constexpr Color ReceivedColor = 0xFFC0C0;
constexpr Color IssuedColor = 0xC0C0FF;
constexpr const char* IncomeDirection = "(收入)";
constexpr const char* DayTexts[] = {"零天", "一天", "二天", "三天", "四天", "五天",
                                    "六天", "七天", "八天", "九天", "十天"};
constexpr int PickOnly = 2;
constexpr int Typed = 0;

// A banner across the top, then rows of a caption and its field on the left and on the right,
// then the processing frame beside the buttons.
constexpr int FormWidth = 7800;
constexpr int RowStep = 405;
constexpr int FieldHeight = 330;
constexpr int CaptionWidth = 1140;
constexpr int LeftCaption = 120;
constexpr int LeftField = 1320;
constexpr int LeftFieldWidth = 2280;
constexpr int RightCaption = 3720;
constexpr int RightField = 4920;
constexpr int RightFieldWidth = 2760;
constexpr int BannerHeight = 480;
constexpr int FrameHeight = 600;

constexpr int rowTop(int row) {
    return 120 + BannerHeight + 120 + row * RowStep;
}

// A caption sits lower than its field by the field's border and margin, so that their texts
// share a line.
constexpr int CaptionDrop = 45;
constexpr int CaptionHeight = FieldHeight - CaptionDrop;
constexpr int FormHeight = rowTop(9) + FrameHeight + 120;
constexpr FieldRows Rows{rowTop(0), RowStep, FieldHeight, CaptionDrop, CaptionWidth};

std::string amountInWords(const std::string& amount) {
    return AmountInChineseNumerals(amount) + " 元整";
}

// A day box's position is the number of days; a box showing nothing counts none.
int daysOf(const ComboBox& box) {
    return std::max(0, box.ListIndex());
}

void showDays(ComboBox& box, int64_t days) {
    if (days >= 0 && days < box.ListCount()) box.SetListIndex(static_cast<int>(days));
}

// Choosing a bank fills its account and holder; a typed name that is no entry leaves them.
void fillAccountOf(const ComboBox& bank, TextBox& account, TextBox& holder) {
    int row = bank.ListIndex();
    if (row < 0 || bank.EntryText(row) != bank.Text()) row = bank.FindEntry(bank.Text());
    if (row < 0) return;
    account.SetText(bank.List(row, 1));
    holder.SetText(bank.List(row, 2));
}

void fillBanks(ComboBox& box, Database& db, bool fromOrdinary, bool fromCustomers) {
    std::vector<std::vector<std::string>> entries;
    Recordset rs = fromCustomers  ? db.OpenRecordset("SELECT bank, id, user FROM ibank")
                   : fromOrdinary ? db.OpenRecordset("SELECT bank, id, user FROM obank")
                                  : db.OpenRecordset("SELECT bank, id, user FROM bbank");
    for (; !rs.Eof(); rs.MoveNext())
        entries.push_back(
            {rs.Fields("bank").text(), rs.Fields("id").text(), rs.Fields("user").text()});
    box.Clear();
    box.SetRows(std::move(entries));
}

}  // namespace

frmBill::frmBill() : Form(FormName) {
    SetCaption("票據管理");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetMinButton(false);
    SetClientSize(FormWidth, FormHeight);
    SetCentreOnScreen(true);
    LayOut();
    WireEvents();
}

void frmBill::LayOut() {
    const int frameTop = rowTop(9);
    const int buttonTop = frameTop + 150;
    applyLayout({
        {&lbIo, nullptr, LeftCaption, 120, FormWidth - 240, BannerHeight, nullptr, Centred | Bold},

        Rows.caption(captions(0), LeftCaption, 0, "收/支單號:"),
        Rows.field(lbIoNo, LeftField, 0, LeftFieldWidth, ValueField),
        Rows.caption(captions(1), RightCaption, 0, "票據號碼:"),
        Rows.field(txtBillNo, RightField, 0, RightFieldWidth),

        Rows.caption(captions(2), LeftCaption, 1, "開票日期:"),
        Rows.field(lbW, LeftField, 1, 3000, ValueField),
        Rows.field(DTP1, 4440, 1, 1500),
        Rows.caption(captions(3), LeftCaption, 2, "到期日期:"),
        Rows.field(lbCk, LeftField, 2, 3000, ValueField),
        Rows.field(DTP2, 4440, 2, 1500),

        Rows.caption(captions(4), LeftCaption, 3, "開票銀行:"),
        Rows.field(cbWbnk, LeftField, 3, LeftFieldWidth),
        Rows.caption(captions(5), RightCaption, 3, "帳號:"),
        Rows.field(txtWid, RightField, 3, RightFieldWidth),
        Rows.caption(captions(6), LeftCaption, 4, "開  票  人:"),
        Rows.field(txtWp, LeftField, 4, LeftFieldWidth),

        Rows.caption(captions(7), LeftCaption, 5, "收票銀行:"),
        Rows.field(cbCbnk, LeftField, 5, LeftFieldWidth),
        Rows.caption(captions(8), RightCaption, 5, "帳號:"),
        Rows.field(txtCid, RightField, 5, RightFieldWidth),
        Rows.caption(captions(9), LeftCaption, 6, "收  票  人:"),
        Rows.field(txtCp, LeftField, 6, LeftFieldWidth),

        Rows.caption(captions(10), LeftCaption, 7, "金額:"),
        Rows.field(lbCash, LeftField, 7, LeftFieldWidth, ValueField | RightAligned),
        Rows.caption(lbAr, RightCaption, 7, "提醒天數:"),
        Rows.field(cbArDay, RightField, 7, 1200),
        Rows.caption(lbDe, RightCaption, 7, "延遲天數:"),
        Rows.field(cbDeDay, RightField, 7, 1200),
        Rows.caption(captions(11), LeftCaption, 8, "新  台  幣:"),
        Rows.field(lbBCash, LeftField, 8, FormWidth - LeftField - 120, ValueField),

        {&FrmOp, nullptr, LeftCaption, frameTop, 5160, FrameHeight, "票據處理方式"},
        {&Oop(0), &FrmOp, 120, 270, 1140, 270, "未處理"},
        {&Oop(1), &FrmOp, 1380, 270, 1140, 270, "兌   現"},
        {&Oop(2), &FrmOp, 2640, 270, 1140, 270, "作   廢"},
        {&Oop(3), &FrmOp, 3900, 270, 1140, 270, "退   票"},
        {&cmdOp, nullptr, 5520, buttonTop, 1320, 420, "處理票據"},
        {&cmdSv, nullptr, 5520, buttonTop, 1020, 420, "存檔", Graphical},
        {&cmdCencel, nullptr, 6660, buttonTop, 1020, 420, "取消", Graphical},
    });
    lbIo.SetFontSize(14);
    for (ComboBox* bank : {&cbWbnk, &cbCbnk}) {
        bank->SetColumnCount(3);
        bank->SetTextColumn(1);
        bank->SetBoundColumn(2);
        bank->SetColumnWidths("100 pt;90 pt;80 pt");
    }
    for (ComboBox* days : {&cbArDay, &cbDeDay})
        days->SetStyle(PickOnly);
}

void frmBill::WireEvents() {
    cmdSv.Click = [this] { cmdSv_Click(); };
    cmdCencel.Click = [this] { cmdCencel_Click(); };
    // A pick of the date already shown changes nothing, yet the user chose it: the close of the
    // drop-down fills the labels as well.
    DTP1.Picked = [this] { DTP1_Change(); };
    DTP2.Picked = [this] { DTP2_Change(); };
    // Beside the ROC date labels the pickers show the same calendar.
    ShowLabelCalendar(DTP1, false);
    ShowLabelCalendar(DTP2, false);
    cbCbnk.Change = [this] { cbCbnk_Change(); };
    cbCbnk.Click = [this] { cbCbnk_Change(); };
    cbWbnk.Change = [this] { cbWbnk_Change(); };
    cbWbnk.Click = [this] { cbWbnk_Change(); };
    cmdOp.Click = [this] { cmdOp_Click(); };
    for (int i = 0; i < Oop.Count(); ++i)
        Oop(i).Click = [this, i] { Oop_Click(i); };
}

void frmBill::Form_Load() {
    FillDayLists();
    if (ShowOneRecord)
        ShowStoredCheque();
    else if (BillForVoucher)
        NewChequeForVoucher();
    else if (BillForCombinedCheque)
        NewCombinedCheque();
}

// A cheque that cannot be found was said so at Load; the form goes once it appears.
void frmBill::Form_Activate() {
    if (ShowOneRecord && ChequeMissing) {
        ShowOneRecord = false;
        ChequeMissing = false;
        Unload();
    }
}

void frmBill::Form_Unload(int&) {
    if ((BillForVoucher || BillForCombinedCheque) && !ChequeSaved) BillEntryCancelled = true;
}

void frmBill::FillDayLists() {
    for (ComboBox* box : {&cbDeDay, &cbArDay}) {
        box->Clear();
        for (const char* text : DayTexts)
            box->AddItem(text);
    }
}

// The company's own account is offered from its lists, the other side from the customers'
// banks: a received cheque goes into an ordinary account, an issued one is drawn on a cheque
// account.
void frmBill::FillBankLists(bool received) {
    Database& db = AccDb();
    fillBanks(cbCbnk, db, true, !received);
    fillBanks(cbWbnk, db, false, received);
}

void frmBill::ShowDayBox(bool received) {
    lbDe.SetVisible(received);
    cbDeDay.SetVisible(received);
    lbAr.SetVisible(!received);
    cbArDay.SetVisible(!received);
}

void frmBill::LockEntry(bool lock) {
    for (Control* c :
         std::initializer_list<Control*>{&DTP1, &DTP2, &cbWbnk, &cbCbnk, &txtWid, &txtWp, &txtCp,
                                         &txtCid, &txtBillNo, &cbArDay, &cbDeDay})
        c->SetEnabled(!lock);
    cmdSv.SetVisible(!lock);
    cmdCencel.SetVisible(!lock);
}

void frmBill::ShowDirection(bool received) {
    lbIo.SetBackColor(received ? ReceivedColor : IssuedColor);
    lbIo.SetCaption(received ? Received : Issued);
}

bool frmBill::IsReceived() const {
    return lbIo.Caption() == Received;
}

// A voucher of a combined cheque is shown its group's cheque.
void frmBill::ShowStoredCheque() {
    Database& db = AccDb();
    ChequeVoucherNo = ChequeKeyForVoucher(db, ChequeVoucherNo);
    shownCheque_ = ReadCheque(db, ChequeVoucherNo);
    if (!shownCheque_) {
        messageBox("此票據資料已經遺失", MessageExclamation, NoTitle);
        ChequeMissing = true;
        return;
    }
    ShowCheque(*shownCheque_);
}

void frmBill::ShowCheque(const Cheque& cheque) {
    txtBillNo.SetText(cheque.number);
    DTP1.SetValue(cheque.issueDate);
    DTP2.SetValue(cheque.dueDate);
    lbW.SetCaption(shortDateText(cheque.issueDate));
    lbCk.SetCaption(shortDateText(cheque.dueDate));
    cbWbnk.SetText(cheque.drawerBank);
    cbCbnk.SetText(cheque.payeeBank);
    txtWp.SetText(cheque.drawer);
    txtCp.SetText(cheque.payee);
    txtWid.SetText(cheque.drawerAccount);
    txtCid.SetText(cheque.payeeAccount);
    lbCash.SetCaption(std::to_string(cheque.amount));
    lbBCash.SetCaption(cheque.amountInWords);
    ShowDirection(cheque.received);
    if (cheque.received && cheque.usableDate)
        showDays(cbDeDay, daysBetween(cheque.dueDate, *cheque.usableDate));
    if (!cheque.received && cheque.reminderDate)
        showDays(cbArDay, daysBetween(*cheque.reminderDate, cheque.dueDate));
    ShowDayBox(cheque.received);
    lbIoNo.SetCaption(cheque.voucherNo);
    if (cheque.state >= 0 && cheque.state < Oop.Count()) Oop(cheque.state).SetValue(true);
    FrmOp.SetEnabled(false);
    LockEntry(true);
}

void frmBill::NewChequeForVoucher() {
    // The cheque of one voucher is entered only while that voucher is shown in the voucher form.
    const std::string number = Forms::control<Label>("frmIo", "lbNo").Caption();
    const bool received = Forms::control<Label>("frmIo", "lbAcIo").Caption() == IncomeDirection;
    const std::string amount = Forms::control<TextBox>("frmIo", "txtCash").Text();
    StartNewCheque(number, received, AmountOf(amount), amount);
    cbCbnk.SetStyle(received ? PickOnly : Typed);
    cbWbnk.SetStyle(received ? Typed : PickOnly);
}

// A combined cheque pays expenses only.
void frmBill::NewCombinedCheque() {
    const std::string total = std::to_string(CombinedChequeTotal);
    StartNewCheque(CombinedFirstVoucherNo + GroupMark, false, CombinedChequeTotal, total);
}

// Both date labels stay empty until the user picks a date, so that a cheque is never saved with
// a date nobody chose.
void frmBill::StartNewCheque(const std::string& key, bool received, int64_t amount,
                             const std::string& amountText) {
    DTP1.SetValue(Clock::today());
    DTP2.SetValue(Clock::today());
    lbIoNo.SetCaption(key);
    ChequeSaved = false;
    FillBankLists(received);
    ShowDirection(received);
    (received ? cbDeDay : cbArDay).SetListIndex(0);
    ShowDayBox(received);
    FrmOp.SetVisible(false);
    cmdOp.SetVisible(false);
    lbCash.SetCaption(std::to_string(amount));
    lbBCash.SetCaption(amountInWords(amountText));
    LockEntry(false);
}

void frmBill::DTP1_Change() {
    issueDate_ = DTP1.Value().dateOnly();
    lbW.SetCaption(LongRocDate(*issueDate_));
    if (lbCk.Caption().empty()) {
        dueDate_ = issueDate_;
        lbCk.SetCaption(lbW.Caption());
    }
}

void frmBill::DTP2_Change() {
    dueDate_ = DTP2.Value().dateOnly();
    lbCk.SetCaption(LongRocDate(*dueDate_));
    if (lbW.Caption().empty()) {
        issueDate_ = dueDate_;
        lbW.SetCaption(lbCk.Caption());
    }
}

void frmBill::cbCbnk_Change() {
    fillAccountOf(cbCbnk, txtCid, txtCp);
}

void frmBill::cbWbnk_Change() {
    fillAccountOf(cbWbnk, txtWid, txtWp);
}

void frmBill::cmdSv_Click() {
    SaveCheque();
}

void frmBill::cmdCencel_Click() {
    BillEntryCancelled = true;
    Unload();
}

// Only the company's own side of the cheque is required; the other may be left empty.
bool frmBill::EntriesAreComplete() {
    if (lbW.Caption().empty() || !issueDate_ || !dueDate_) {
        messageBox("未選取開票日期", MessageExclamation, ApplicationTitle);
        return false;
    }
    const bool received = IsReceived();
    ComboBox& ownBank = received ? cbCbnk : cbWbnk;
    if (ownBank.Text().empty()) {
        messageBox(received ? "未選取收票銀行" : "未選取開票銀行", MessageExclamation,
                   ApplicationTitle);
        ownBank.SetFocus();
        return false;
    }
    if (txtBillNo.Text().empty()) {
        messageBox("票據號碼未填入", MessageExclamation, ApplicationTitle);
        txtBillNo.SetFocus();
        return false;
    }
    return true;
}

Cheque frmBill::ChequeFromFields() const {
    Cheque c;
    c.number = txtBillNo.Text();
    c.issueDate = *issueDate_;
    c.dueDate = *dueDate_;
    c.drawerBank = cbWbnk.Text();
    c.payeeBank = cbCbnk.Text();
    c.drawer = txtWp.Text();
    c.payee = txtCp.Text();
    c.drawerAccount = txtWid.Text();
    c.payeeAccount = txtCid.Text();
    c.amount = AmountOf(lbCash.Caption());
    c.amountInWords = lbBCash.Caption();
    c.received = IsReceived();
    if (c.received)
        c.usableDate = c.dueDate.addDays(daysOf(cbDeDay));
    else
        c.reminderDate = c.dueDate.addDays(-daysOf(cbArDay));
    c.voucherNo = lbIoNo.Caption();
    c.state = ChequeUnprocessed;
    return c;
}

// A cheque refused by the books (one already recorded for the voucher, a failed write) is not
// written; the form stays open so that the user may cancel.
void frmBill::SaveCheque() {
    if (!EntriesAreComplete()) return;
    BillEntryCancelled = false;
    try {
        AddCheque(AccDb(), ChequeFromFields());
    } catch (const UniqueViolation&) {
        messageBox("此收支單已有票據資料", MessageExclamation, ApplicationTitle);
        return;
    }
    ChequeSaved = true;
    BillForVoucher = false;
    Unload();
}

void frmBill::cmdOp_Click() {
    if (Oop(ChequeUnprocessed).Value()) {
        FrmOp.SetEnabled(true);
        ProcessingEnabled = true;
        return;
    }
    messageBox("票據已處理 不可變更", MessageExclamation, NoTitle);
    FrmOp.SetEnabled(false);
    ProcessingEnabled = false;
}

// Selecting an option from code clicks it too: nothing is processed but by the user's choice
// while processing is allowed.
void frmBill::Oop_Click(int Index) {
    if (Index == ChequeUnprocessed || !ProcessingEnabled || !shownCheque_) return;
    if (Index == ChequeCashed && !CashingAllowed()) {
        ReselectUnprocessed(true);
        return;
    }
    if (!ConfirmProcessing(Index)) return;
    ProcessCheque(Index);
}

// A received cheque is cashed from its usable date on, an issued one from its due date on and
// only while its cheque account covers it. Cashing one voucher's cheque closes the voucher form
// (it shows that voucher as it was), so a voucher form holding an entry refuses it first.
bool frmBill::CashingAllowed() {
    const Cheque& cheque = *shownCheque_;
    if (!IsGroupNumber(cheque.voucherNo) && !MayCloseForOtherAction("frmIo")) return false;
    const Date today = Clock::today().dateOnly();
    if (IsReceived()) {
        if (today < cheque.dueDate.addDays(daysOf(cbDeDay))) {
            messageBox("票據未到可用日\r\n不可兌現", MessageExclamation, ApplicationTitle);
            return false;
        }
        return true;
    }
    if (today < cheque.dueDate) {
        messageBox("票據未到期\r\n不可兌現", MessageExclamation, ApplicationTitle);
        return false;
    }
    return AccountCovers(
        AccountBalance(AccDb(), AccountKind::Cheque, cbWbnk.Text(), txtWid.Text()));
}

bool frmBill::AccountCovers(int64_t balance) {
    if (balance >= shownCheque_->amount) return true;
    messageBox("支票存款的餘額不足,無法兌現\r\n餘額為 " + AmountText(balance), MessageCritical,
               CapitalsTitle);
    return false;
}

bool frmBill::ConfirmProcessing(int Index) {
    int answer =
        messageBox("確定處理此票據為[" + Oop(Index).Caption() + "]", MessageYesNoCancel, NoTitle);
    if (answer == AnswerYes) return true;
    if (answer == AnswerNo)
        ReselectUnprocessed(true);
    else
        StopProcessing();
    return false;
}

void frmBill::ReselectUnprocessed(bool processingAfter) {
    ProcessingEnabled = false;
    Oop(ChequeUnprocessed).SetValue(true);
    ProcessingEnabled = processingAfter;
}

void frmBill::StopProcessing() {
    FrmOp.SetEnabled(false);
    ReselectUnprocessed(false);
}

// The cheque's state, its vouchers and its bank row are written together, the follow-up
// vouchers included though each is shown to the user as it is made: a cheque half processed
// could never be processed again. The state changes first and only from the one shown, so that a
// cheque another copy of the program processed meanwhile is neither cashed twice nor voided
// after its cashing: nothing is written and the cheque is shown as stored.
void frmBill::ProcessCheque(int Index) {
    const std::string key = shownCheque_->voucherNo;
    bool unchanged = false;
    try {
        unchanged = SaveUnlessChanged([&] {
            Database& db = AccDb();
            Transaction transaction(db, TransactionKind::Writes);
            SetChequeState(db, key, shownCheque_->state, Index);
            if (Index == ChequeCashed && !IsReceived()) CheckAccountStillCovers(db);
            if (Index == ChequeCashed) {
                CashCheque(key);
            } else {
                for (const std::string& voucher : ChequeVouchers(db, key))
                    ZeroVoucherAmount(db, voucher);
            }
            transaction.Commit();
        });
    } catch (const AccountShort& shortfall) {
        // Refused as before the question: the user may choose again.
        AccountCovers(shortfall.balance);
        ReselectUnprocessed(true);
        return;
    } catch (const std::exception& failure) {
        messageBox("票據處理失敗,資料未變更\r\n" + std::string(failure.what()), MessageExclamation,
                   ApplicationTitle);
        StopProcessing();
        return;
    }
    if (!unchanged) {
        StopProcessing();
        if (std::optional<Cheque> stored = ReadCheque(AccDb(), key)) {
            shownCheque_ = stored;
            ShowCheque(*stored);
        }
        return;
    }
    shownCheque_->state = Index;
    // The voucher form shows the voucher as it was before its cheque was cashed.
    if (Index == ChequeCashed && !IsGroupNumber(key)) UnloadUnlessUnsaved("frmIo");
    FrmOp.SetEnabled(false);
}

// The balance read before asking may have been spent meanwhile by another copy of the program
// cashing another cheque of the account: read again under the write lock, an issued cheque is
// cashed only while its account still covers it.
void frmBill::CheckAccountStillCovers(Database& db) {
    const int64_t balance = AccountBalance(db, AccountKind::Cheque, cbWbnk.Text(), txtWid.Text());
    if (balance < shownCheque_->amount) throw AccountShort{balance};
}

// Each voucher gets its follow-up voucher from the generated-voucher form; the bank book gets
// one row for the whole cheque, on its due date, numbered by the cheque.
void frmBill::CashCheque(const std::string& key) {
    Database& db = AccDb();
    for (const std::string& voucher : ChequeVouchers(db, key)) {
        HandOver<std::string> cashed(CashingVoucherNo, voucher);
        HandOver<bool> cashing(AutoVoucherFromCashing, true);
        if (!Forms::showByName("frmIoAuto", Modal))
            throw std::runtime_error("無法產生收支單 " + voucher + " 的兌現收支單");
        ProcessingEnabled = false;
    }
    const bool received = IsReceived();
    BankEntry entry;
    entry.bank = received ? cbCbnk.Text() : cbWbnk.Text();
    entry.account = received ? txtCid.Text() : txtWid.Text();
    entry.amount = shownCheque_->amount;
    entry.income = received;
    entry.day = shownCheque_->dueDate;
    entry.memo = received ? "收入票據兌現" : "支出票據兌現";
    entry.number = txtBillNo.Text();
    PostBankBookRow(db, entry);
}

}  // namespace kiv

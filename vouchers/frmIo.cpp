#include "vouchers/frmIo.h"

#include <initializer_list>
#include <vector>

#include "ledger/SignOff.h"
#include "ledger/Vouchers.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/mdM.h"
#include "vouchers/VoucherFields.h"
#include "vouchers/VoucherRules.h"

namespace kiv {

using namespace voucherfields;

namespace {

constexpr const char* Title = "KIV";
constexpr const char* DefaultTitle = "收支單";
// Expense accounts are listed after the income ones, their label indented.
constexpr const char* ExpenseListLabel = "      (支出)";

// Yes and No with No the default, and a question mark.
constexpr int ConfirmDefaultNo = 292;

constexpr const char* Browsing = "〔瀏覽〕";
constexpr const char* Adding = "〔新增中〕";
constexpr const char* Modifying = "〔修改中〕";

constexpr const char* SignedMessage = "收支單已簽核 無法修改";
constexpr const char* DayFullMessage = "本日收支單已達999張 無法再新增";
constexpr const char* DateRangeMessage = "日期須在民國 1 年至 999 年之間";
constexpr const char* ConflictMessage = "此筆資料已被其他使用者變更，請重新讀取";
constexpr const char* ConflictTitle = "Kiv";

// Below the rows of fields the scroll bar and the buttons; below them the form grows when it
// lists vouchers.
constexpr int FormHeight = 5600;

std::string longDateText(const std::optional<Date>& date) {
    return date ? LongRocDate(*date) : "";
}

// The date a long ROC label shows, read back from its own text: nullopt unless showing that
// date again gives the same text, so that no date is stored other than the one seen.
std::optional<Date> dateOfLabel(const Label& label) {
    auto date = parseShownDate(label.Caption());
    if (!date || !IsBookDate(*date) || LongRocDate(*date) != label.Caption()) return std::nullopt;
    return date;
}

// The box's list: the first field of every row of the query.
template <class... Args>
void fillWords(ComboBox& box, Database& db, const Sql& sql, const Args&... args) {
    box.Clear();
    for (Recordset words = db.OpenRecordset(sql, args...); !words.Eof(); words.MoveNext())
        box.AddItem(words.Fields(0).text());
}

}  // namespace

frmIo::frmIo() : Form(FormName) {
    SetCaption("收支管理");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetWidth(FormWidth);
    SetHeight(FormHeight);
    LayOut();
    optS.SetValue(true);
    O1(0).SetValue(true);
    Op1(0).SetValue(true);
    // Shown only by a voucher that has them: the tax fields with 有單據, the way of a signed one.
    Frame3.SetVisible(false);
    frmMa.SetVisible(false);
    cmdMach.SetVisible(false);
    WireEvents();
}

void frmIo::LayOut() {
    const int buttonTop = rowTop(10) + 30;
    placeVoucherFields(*this);
    applyLayout({
        field(DTP1, 4380, 1, 1380),
        {&personFrame, nullptr, 4440, rowTop(6), 1320, RowStep + FieldHeight, nullptr, Borderless},
        {&optS, &personFrame, 60, 30, 1200, ChoiceHeight, "員工"},
        {&optP, &personFrame, 60, RowStep + 30, 1200, ChoiceHeight, "廠商"},

        {&fmeM, nullptr, LeftCaption, rowTop(8), 5640, 360, nullptr, Borderless},
        {&suggestionCaption, &fmeM, 0, CaptionDrop, 1560, CaptionHeight,
         "申請人建議方式:", CaptionLook},
        {&Op1(0), &fmeM, 1620, 30, 780, ChoiceHeight, "現金"},
        {&Op1(1), &fmeM, 2460, 30, 780, ChoiceHeight, "票據"},
        {&ckNoW, &fmeM, 3420, 30, 840, ChoiceHeight, "作廢"},
        {&ck, nullptr, RightCaption, rowTop(8) + 30, 1080, ChoiceHeight, "已簽核"},
        {&lbop, nullptr, 7140, captionTop(8), 1020, CaptionHeight, "處理方式："},
        {&frmMa, nullptr, 8160, rowTop(8), 2760, 360, nullptr, Borderless},
        {&optA(0), &frmMa, 0, 30, 720, ChoiceHeight, "現金"},
        {&optA(1), &frmMa, 780, 30, 720, ChoiceHeight, "票據"},
        {&optA(2), &frmMa, 1560, 30, 1200, ChoiceHeight, "已兌現票據"},
        {&cmdMach, nullptr, 10980, rowTop(8), 1260, 360, "應收付沖帳"},

        {&FSB, nullptr, LeftCaption, rowTop(9) + 30, 12120, 285},

        {&cmdAdd, nullptr, LeftCaption, buttonTop, 900, 420, "新增", Graphical},
        {&cmdEdit, nullptr, LeftCaption + 960, buttonTop, 900, 420, "修改", Graphical},
        {&cmdSv, nullptr, LeftCaption + 1920, buttonTop, 900, 420, "存檔", Graphical},
        {&cmdCencel, nullptr, LeftCaption + 2880, buttonTop, 900, 420, "取消", Graphical},
        {&txtIo, nullptr, 7800, buttonTop + CaptionDrop, 3000, FieldHeight},
        {&cmdPt, nullptr, 10920, buttonTop, 1320, 420, "列印此"},
    });
    SetUpLists();
}

// The account and project boxes list several columns; the text shown is the code.
void frmIo::SetUpLists() {
    cbAcc.SetColumnCount(3);
    cbAcc.SetTextColumn(2);
    cbAcc.SetBoundColumn(2);
    cbAcc.SetColumnWidths("50 pt;40 pt;120 pt");
    cbAcc.SetListRows(20);
    cbPj.SetColumnCount(2);
    cbPj.SetTextColumn(1);
    cbPj.SetBoundColumn(1);
    cbPj.SetColumnWidths("60 pt;160 pt");
    cbPj.SetListRows(20);
    cbWt.SetListRows(16);
}

void frmIo::WireEvents() {
    FSB.Change = [this] { FSB_Change(); };
    cmdAdd.Click = [this] { cmdAdd_Click(); };
    cmdEdit.Click = [this] { cmdEdit_Click(); };
    cmdSv.Click = [this] { cmdSv_Click(); };
    cmdCencel.Click = [this] { cmdCencel_Click(); };
    ck.Click = [this] { ck_Click(); };
    Check1.Click = [this] { Check1_Click(); };
    cmdMach.Click = [this] { cmdMach_Click(); };
    cmdPt.Click = [this] { cmdPt_Click(); };
    cmdPt.MouseDown = [this](int button, int shift, float x, float y) {
        cmdPt_MouseDown(button, shift, x, y);
    };
    optS.Click = [this] { optS_Click(); };
    optP.Click = [this] { optP_Click(); };
    cbAcc.Click = [this] { cbAcc_Click(); };
    cbPj.Click = [this] { cbPj_Click(); };
    cbAcc.Validate = [this](bool& cancel) { cbAcc_Validate(cancel); };
    cbUse.Validate = [this](bool& cancel) { cbUse_Validate(cancel); };
    cbPs1.Validate = [this](bool& cancel) { cbPs1_Validate(cancel); };
    cbPs2.Validate = [this](bool& cancel) { cbPs2_Validate(cancel); };
    DTP1.Change = [this] { DTP1_Change(); };
    txtCash.KeyPress = [this](int& key) { txtCash_KeyPress(key); };
    txtCash.KeyUp = [this](int& key, int shift) { txtCash_KeyUp(key, shift); };
}

void frmIo::Form_Load() {
    SetLeft((screenWidth() - Width()) / 2);
    SetTop(1500);
    SetHeight(FormHeight);
    LoadVoucherTitle();
    VoucherFormOpen = true;
    FillProjectCombo();
    FillUseCombo();
    FillPersonCombos();
    FillAccountCombo();
    FillNote1Combo();
    FillNote2Combo();

    // A day the picker cannot show (a login date beyond the calendar) leaves it where it was;
    // the save refuses such a day.
    if (DTP1.InRange(Clock::today())) DTP1.SetValue(Clock::today());
    CurrentPosition = 0;
    SetScrollRange();
    OpenVoucherRecordset();
    GoToVoucher(FSB.Max());
    // A form opened on one voucher prints that one, filled in below.
    if (ShowCurrentVoucher() && !ShowOneRecord) FillPrintTable();
    lbStat.SetCaption(Browsing);
    SetEntryEnabled(false);
    if (ShowOneRecord) {
        ShowVoucherByNumber();
        FillPrintTable();
    }
    bool mayEdit = HasRight(RightVoucherEdit);
    cmdAdd.SetEnabled(mayEdit);
    cmdEdit.SetEnabled(mayEdit && !oneVoucherMissing_);
}

void frmIo::Form_Unload(int&) {
    try {
        VoucherRecordset.reset();
    } catch (const std::exception&) {
    }
    VoucherFormOpen = false;
}

void frmIo::LoadVoucherTitle() {
    Recordset title = PrintDb().OpenRecordset("SELECT ion FROM company");
    bool none = title.Eof() || title.Fields("ion").isNull();
    txtIo.SetText(none ? DefaultTitle : title.Fields("ion").text());
}

void frmIo::SetScrollRange() {
    int64_t vouchers = VoucherCount(AccDb());
    FSB.SetMax(vouchers > 0 ? static_cast<int>(vouchers - 1) : 0);
}

void frmIo::OpenVoucherRecordset() {
    VoucherRecordset = OpenVoucherList(AccDb());
}

bool frmIo::VouchersListed() const {
    return VoucherRecordset && !(VoucherRecordset->Bof() && VoucherRecordset->Eof());
}

// A bar that GoToVoucher moved finds the list already there: its caller shows the voucher.
void frmIo::FSB_Change() {
    if (!VouchersListed() || FSB.Value() == CurrentPosition) return;
    VoucherRecordset->Move(FSB.Value() - CurrentPosition);
    if (ShowCurrentVoucher()) FillPrintTable();
    CurrentPosition = FSB.Value();
}

// False when the list stands on no voucher.
bool frmIo::ShowCurrentVoucher() {
    if (!VoucherRecordset || VoucherRecordset->Bof() || VoucherRecordset->Eof()) {
        ck.SetEnabled(false);
        return false;
    }
    ShowVoucherFields(VoucherAt(*VoucherRecordset));
    return true;
}

// The voucher browsed before an entry: the one voucher the form was opened on, or the list's row
// at the bar. False when the list stands on no voucher.
bool frmIo::ShowBrowsedVoucher() {
    if (showingOneVoucher_) {
        ShowVoucherByNumber();
        return true;
    }
    VoucherRecordset->Move(CurrentPosition);
    return ShowCurrentVoucher();
}

void frmIo::ShowVoucherByNumber() {
    if (!showingOneVoucher_) oneVoucherNo_ = OpenVoucherNo;
    std::optional<Voucher> voucher = ReadVoucher(AccDb(), oneVoucherNo_);
    showingOneVoucher_ = true;
    oneVoucherMissing_ = !voucher;
    if (oneVoucherMissing_) {
        ShowNoVoucher();
        cmdEdit.SetEnabled(false);
        cmdPt.SetEnabled(false);
    } else {
        ShowVoucherFields(*voucher);
    }
    cmdAdd.SetVisible(false);
    cmdCencel.SetVisible(false);
    FSB.SetVisible(false);
}

// The voucher is kept as read, so that a save can tell whether another user changed it meanwhile.
void frmIo::ShowVoucherFields(const Voucher& voucher) {
    shownVoucher_ = voucher;
    lbInDay.SetCaption(longDateText(voucher.entryDate));
    lbNo.SetCaption(voucher.number);
    ShowState(voucher.state, voucher.suggestion);
    showVoucherFields(*this, voucher);
    ShowHappenedDay(voucher.day);
    Op1(voucher.suggestion == CashSuggested ? 0 : 1).SetValue(true);
}

// The fields as they stand, for a save: the states follow the suggestion and the void tick.
Voucher frmIo::VoucherFromFields() const {
    Voucher v;
    readVoucherFields(*this, v);
    v.entryDate = dateOfLabel(lbInDay);
    v.number = lbNo.Caption();
    v.amount = std::stoll(txtCash.Text());
    v.day = dateOfLabel(lbHday);
    v.suggestion = Op1(0).Value() ? CashSuggested : ChequeSuggested;
    v.state = ckNoW.Value() == 1 ? VoidVoucher : v.suggestion;
    return v;
}

// Nothing stored to show: the fields are empty and nothing can be signed or settled.
void frmIo::ShowNoVoucher() {
    shownVoucher_ = {};
    ClearVoucherFields();
    lbInDay.SetCaption("");
    lbNo.SetCaption("");
    lbHday.SetCaption("");
    Check1.SetValue(0);
    ckNoW.SetValue(0);
    SetTickQuietly(0);
    frmMa.SetVisible(false);
    cmdMach.SetVisible(false);
    ck.SetEnabled(false);
}

void frmIo::ShowState(int state, int suggestion) {
    if (state < 0) {
        SetTickQuietly(0);
        ck.SetEnabled(HasRight(RightVoucherSignOff));
        frmMa.SetVisible(false);
        cmdMach.SetVisible(false);
        cmdEdit.SetEnabled(HasRight(RightVoucherEdit));
    } else {
        optA(2).SetEnabled(true);
        SetTickQuietly(1);
        ck.SetEnabled(false);
        frmMa.SetEnabled(false);
        frmMa.SetVisible(true);
        cmdMach.SetVisible(state == SignedByCash || state == SignedByCheque ||
                           state == SignedByCashedCheque);
        cmdMach.SetEnabled(HasRight(RightVoucherSettle));
        cmdEdit.SetEnabled(false);
    }
    switch (state) {
        case CashSuggested:
            Op1(0).SetValue(true);
            break;
        case ChequeSuggested:
            Op1(1).SetValue(true);
            break;
        case VoidVoucher:
            Op1(suggestion == CashSuggested ? 0 : 1).SetValue(true);
            break;
        case SignedByCash:
            optA(0).SetValue(true);
            break;
        case SignedByCheque:
        case 3:
            optA(1).SetValue(true);
            break;
        case 2:
        case 4:
            optA(2).SetValue(true);
            break;
    }
    bool isVoid = state == VoidVoucher;
    ckNoW.SetValue(isVoid ? 1 : 0);
    ck.SetVisible(!isVoid);
    lbop.SetVisible(!isVoid);
}

// Showing a voucher's sign-off is no sign-off: the tick's Click does nothing meanwhile.
void frmIo::SetTickQuietly(int value) {
    SuppressTickClick = true;
    ck.SetValue(value);
    SuppressTickClick = false;
}

void frmIo::ShowDirection(bool expense) {
    showDirection(*this, expense);
}

// The texts a new voucher starts without; the direction labels keep their colours.
void frmIo::ClearVoucherFields() {
    for (ComboBox* box : {&cbUse, &cbAcc, &cbPs1, &cbPs2, &cbPj, &cbWt, &cbReq, &cbSin})
        box->SetText("");
    for (TextBox* box : {&txtCash, &txtBno, &txtTax})
        box->SetText("");
    for (Label* label : {&lbAcIo, &lbAcTxt, &lbPjTxt})
        label->SetCaption("");
}

void frmIo::SetEntryEnabled(bool b) {
    for (Control* entry : std::initializer_list<Control*>{
             &cbUse, &txtCash, &fmeM, &cbAcc, &cbWt, &cbPj, &cbPs1, &cbPs2, &cbSin, &cbReq, &DTP1,
             &Check1, &cmdSv, &cmdCencel, &Frame3})
        entry->SetEnabled(b);
    bool mayEdit = !b && HasRight(RightVoucherEdit);
    cmdAdd.SetEnabled(mayEdit);
    cmdEdit.SetEnabled(mayEdit);
    FSB.SetEnabled(!b);
    cmdPt.SetEnabled(!b);
}

// The picker always stands on the day the label shows, so that picking the day shown changes
// nothing and picking another changes both. A day it cannot show leaves it where it was; the save
// refuses such a day.
void frmIo::ShowHappenedDay(const std::optional<Date>& day) {
    lbHday.SetCaption(day ? LongRocDate(*day) : "");
    if (day && DTP1.InRange(*day)) DTP1.SetValue(*day);
}

void frmIo::ClearForNewVoucher(const std::string& number) {
    lbInDay.SetCaption(LongRocDate(Clock::today()));
    lbNo.SetCaption(number);
    ClearVoucherFields();
    ShowHappenedDay(Clock::today());
    Check1.SetValue(0);
    O1(0).SetValue(true);
    ckNoW.SetValue(0);
    ckNoW.SetEnabled(false);
    frmMa.SetVisible(false);
    ck.SetVisible(false);
    lbop.SetVisible(false);
    ck.SetValue(0);
}

void frmIo::cmdAdd_Click() {
    if (!IsBookDate(Clock::today())) {
        messageBox(DateRangeMessage, 16, Title);
        return;
    }
    auto number = NextVoucherNumber(AccDb());
    if (!number) {
        messageBox(DayFullMessage, 16, Title);
        return;
    }
    VoucherRecordset.reset();
    SetEntryEnabled(true);
    cmdMach.SetVisible(false);
    fmeM.SetEnabled(true);
    ClearForNewVoucher(*number);
    lbStat.SetCaption(Adding);
    AddingVoucher = true;
}

void frmIo::cmdEdit_Click() {
    std::optional<int> state = StoredState();
    if (state && *state >= 0) {
        messageBox(SignedMessage, 48, Title);
        return;
    }
    if (!state) return;
    SetEntryEnabled(true);
    fmeM.SetEnabled(true);
    ckNoW.SetEnabled(true);
    lbStat.SetCaption(Modifying);
    cmdCencel.SetVisible(true);
    AddingVoucher = false;
    cbUse.SetFocus();
}

void frmIo::cmdCencel_Click() {
    ShowStoredVoucher();
}

// Back to browsing, the voucher shown as it is stored; with none stored the fields are cleared,
// so that an abandoned entry never looks saved.
void frmIo::ShowStoredVoucher() {
    OpenVoucherRecordset();
    if ((showingOneVoucher_ || VouchersListed()) && ShowBrowsedVoucher())
        FillPrintTable();
    else if (!showingOneVoucher_)
        ShowNoVoucher();
    SetEntryEnabled(false);
    lbStat.SetCaption(Browsing);
    SignOffPending = false;
    AddingVoucher = false;
}

// Navigation stays locked from the tick until save or cancel, so that a pending sign-off can
// never pass to another voucher.
void frmIo::ck_Click() {
    if (SuppressTickClick) return;
    if (ck.Value() == 1) {
        frmMa.SetVisible(true);
        frmMa.SetEnabled(true);
        optA(2).SetEnabled(false);
        lbop.SetVisible(true);
        optA(Op1(0).Value() ? 0 : 1).SetValue(true);
        cmdSv.SetEnabled(true);
        cmdCencel.SetEnabled(true);
        cmdAdd.SetEnabled(false);
        cmdEdit.SetEnabled(false);
        FSB.SetEnabled(false);
        SignOffPending = true;
        AddingVoucher = false;
    } else {
        frmMa.SetVisible(false);
        lbop.SetVisible(false);
        SignOffPending = false;
    }
}

void frmIo::Check1_Click() {
    if (Check1.Value() == 1) {
        Frame3.SetVisible(true);
        txtTax.SetText(std::to_string(TaxIncluded(txtCash.Text())));
    } else {
        Frame3.SetVisible(false);
    }
}

void frmIo::txtCash_KeyPress(int& KeyAscii) {
    bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (digit || KeyAscii == Key::Backspace) return;
    beep();
    KeyAscii = 0;
}

void frmIo::txtCash_KeyUp(int&, int) {
    txtTax.SetText(std::to_string(TaxIncluded(txtCash.Text())));
}

void frmIo::cmdMach_Click() {
    HandOver<bool> receivable(SettleReceivable, lbAcIo.Caption() == Income);
    Forms::showByName("frmMach", Modal);
}

void frmIo::DTP1_Change() {
    lbHday.SetCaption(LongRocDate(DTP1.Value()));
}

void frmIo::optS_Click() {
    FillPersonCombos();
}

void frmIo::optP_Click() {
    FillPersonCombos();
}

void frmIo::cbAcc_Click() {
    ShowDirection(cbAcc.Column(0) != Income);
    lbAcTxt.SetCaption(cbAcc.Column(2));
}

void frmIo::cbPj_Click() {
    lbPjTxt.SetCaption(cbPj.Column(1));
    FillWorkTypeCombo();
}

void frmIo::cbAcc_Validate(bool& Cancel) {
    if (!cbAcc.Text().empty()) EnsureAccountExists(Cancel);
}

void frmIo::cbUse_Validate(bool&) {
    AddWordIfMissing(WordList::Uses, cbUse, "沒有此用途說明是否加入?", &frmIo::FillUseCombo);
}

void frmIo::cbPs1_Validate(bool&) {
    AddWordIfMissing(WordList::Notes1, cbPs1, "沒有此附註一是否加入?", &frmIo::FillNote1Combo);
}

void frmIo::cbPs2_Validate(bool&) {
    AddWordIfMissing(WordList::Notes2, cbPs2, "沒有此附註二是否加入?", &frmIo::FillNote2Combo);
}

// A code the account list lacks is created through the dialog; the codes kept for the transfer
// vouchers never are, since the statistics leave those vouchers out. A code not created keeps
// the focus here.
void frmIo::EnsureAccountExists(bool& cancel) {
    const std::string code = cbAcc.Text();
    if (AccountExists(AccDb(), code)) return;
    if (IsReservedAccountCode(code)) {
        messageBox(ReservedCodeMessage(code), 64, "Kiv");
        cancel = true;
        return;
    }
    if (messageBox("沒有此科目是否加入?", ConfirmDefaultNo, "") != AnswerYes) {
        cancel = true;
        return;
    }
    Forms::showByName("frmAdAcc", Modal);
    FillAccountCombo();
    cbAcc.SetText(code);
}

// A word answered No stays in its box and is saved with the voucher as typed.
void frmIo::AddWordIfMissing(WordList list, ComboBox& box, const char* question,
                             void (frmIo::*fill)()) {
    const std::string word = box.Text();
    if (word.empty() || WordExists(AccDb(), list, word)) return;
    if (messageBox(question, ConfirmDefaultNo, "") != AnswerYes) return;
    AddWordAtTop(AccDb(), list, word);
    (this->*fill)();
    box.SetText(word);
}

void frmIo::cmdSv_Click() {
    SaveVoucher();
}

// A voucher signed or changed by another user meanwhile is not written over: the form says so
// and shows it as stored.
void frmIo::SaveVoucher() {
    if (!EntriesAreComplete()) return;
    try {
        if (AddingVoucher) {
            if (!AddNewVoucher()) return;
        } else if (SignOffPending && optA(1).Value()) {
            if (!SignOffByCheque()) return;
        } else {
            RewriteShownVoucher();
        }
    } catch (const VoucherSigned& refused) {
        messageBox(refused.what(), 48, Title);
        ShowStoredVoucher();
        return;
    } catch (const UpdateConflict&) {
        messageBox(ConflictMessage, 48, ConflictTitle);
        ShowStoredVoucher();
        return;
    }
    BackToBrowsing();
}

bool frmIo::EntriesAreComplete() {
    if (auto problem = VoucherAmountProblem(txtCash.Text())) {
        messageBox(*problem, 16, Title);
        return false;
    }
    if (lbAcTxt.Caption().empty()) {
        messageBox("科目不可空白", 16, Title);
        return false;
    }
    bool datesShown = dateOfLabel(lbHday) && (!AddingVoucher || dateOfLabel(lbInDay));
    if (!datesShown || !IsBookDate(Clock::today())) {
        messageBox(DateRangeMessage, 16, Title);
        return false;
    }
    return true;
}

// The number the voucher takes is shown once it is stored: a save that fails leaves the entry
// as it was.
bool frmIo::AddNewVoucher() {
    std::optional<std::string> number = AddVoucher(AccDb(), VoucherFromFields());
    if (!number) {
        messageBox(DayFullMessage, 16, Title);
        return false;
    }
    lbNo.SetCaption(*number);
    return true;
}

// The voucher written is the one whose number the form shows, whatever the form's recordsets
// stand on.
void frmIo::RewriteShownVoucher() {
    if (SignOffPending)
        SignOffByCash(AccDb(), shownVoucher_, VoucherFromFields(), Clock::today());
    else
        WriteVoucher(AccDb(), shownVoucher_, VoucherFromFields());
}

// The voucher is rewritten, the cheque entered and the voucher signed in one transaction, held
// across the cheque form: a cancelled entry keeps the rewrite unsigned, a failure anywhere
// leaves the books as they were and the voucher shown as stored.
bool frmIo::SignOffByCheque() {
    Database& db = AccDb();
    bool entered = false;
    try {
        Transaction transaction(db, true);
        Voucher changed = VoucherFromFields();
        WriteVoucher(db, shownVoucher_, changed);
        entered = ChequeEntered();
        if (entered) SetVoucherState(db, changed.number, SignedByCheque);
        transaction.Commit();
    } catch (const VoucherSigned&) {
        throw;
    } catch (const UpdateConflict&) {
        throw;
    } catch (...) {
        ShowStoredVoucher();
        throw;
    }
    if (entered) return true;
    messageBox("因您取消票據輸入\r\n所以此收支單並未簽核", 48, Title);
    ShowStoredVoucher();
    return false;
}

// The cheque form takes the voucher's number, direction and amount from this form while it
// loads, and clears BillEntryCancelled only when it saves: a cheque form that is missing or
// closes unsaved counts as cancelled.
bool frmIo::ChequeEntered() {
    HandOver<bool> forVoucher(BillForVoucher, true);
    HandOver<bool> notOneVoucher(ShowOneRecord, false);
    HandOver<bool> notCombined(BillForCombinedCheque, false);
    BillEntryCancelled = true;
    try {
        Forms::showByName("frmBill", Modal);
    } catch (...) {
        BillEntryCancelled = false;
        throw;
    }
    bool entered = !BillEntryCancelled;
    BillEntryCancelled = false;
    return entered;
}

void frmIo::BackToBrowsing() {
    OpenVoucherRecordset();
    SetEntryEnabled(false);
    lbStat.SetCaption(Browsing);
    if (AddingVoucher) {
        CurrentPosition = 0;
        SetScrollRange();
        GoToVoucher(PositionOf(lbNo.Caption()));
        ShowCurrentVoucher();
        AddingVoucher = false;
    } else {
        ShowBrowsedVoucher();
    }
    RefreshListMode();
    SignOffPending = false;
    FillPrintTable();
}

// The row of a voucher number in number order.
int frmIo::PositionOf(const std::string& number) const {
    return static_cast<int>(VouchersBefore(AccDb(), number));
}

// Moves the voucher list, and with it the scroll bar, to a row; the caller shows the voucher.
// The newest voucher is reached by MoveLast, which reads that one row rather than every key
// before it.
void frmIo::GoToVoucher(int position) {
    if (position == FSB.Max() && position > 0)
        VoucherRecordset->MoveLast();
    else
        VoucherRecordset->Move(position - CurrentPosition);
    CurrentPosition = position;
    FSB.SetValue(position);
}

// The voucher lists below the fields follow a save here; the form shows no list yet.
void frmIo::RefreshListMode() {}

std::optional<int> frmIo::StoredState() const {
    std::optional<Voucher> voucher = ReadVoucher(AccDb(), lbNo.Caption());
    if (!voucher) return std::nullopt;
    return voucher->state;
}

// The print table always holds the voucher last shown or saved; the print button only prints it.
void frmIo::FillPrintTable() {
    Database& db = PrintDb();
    Transaction transaction(db);
    db.Execute("DELETE FROM ptios");
    Recordset row = db.OpenRecordset("SELECT * FROM ptios");
    row.AddNew();
    row.SetField("輸入日期", lbInDay.Caption());
    row.SetField("單號", lbNo.Caption());
    if (Op1(0).Value()) row.SetField("建議方式", "現金");
    if (Op1(1).Value()) row.SetField("建議方式", "票據");
    row.SetField("用途說明", cbUse.Text());
    row.SetField("專案號碼", cbPj.Text());
    row.SetField("專案名稱", lbPjTxt.Caption());
    row.SetField("工程種類", cbWt.Text());
    row.SetField("科目代號", cbAcc.Text());
    row.SetField("收支", lbAcIo.Caption());
    row.SetField("科目名稱", lbAcTxt.Caption());
    row.SetField("金額", GroupThousands(txtCash.Text()));
    row.SetField("附註一", cbPs1.Text());
    row.SetField("附註二", cbPs2.Text());
    row.SetField("申請人", cbReq.Text());
    row.SetField("簽收", cbSin.Text());
    row.SetField("發生日期", lbHday.Caption());
    bool receipt = Check1.Value() == 1;
    row.SetField("單據號碼", receipt ? txtBno.Text() : "");
    row.SetField("稅額", receipt ? txtTax.Text() : "");
    row.SetField("進銷", !receipt ? "" : O1(0).Value() ? "費用" : "進銷項");
    row.SetField("大寫金額", AmountInChineseNumerals(txtCash.Text()) + "  元整");
    row.Update();
    transaction.Commit();
}

// The title printed is the one in the box; it is kept for the next start. A print table without
// the company's row gets one.
void frmIo::StoreVoucherTitle() {
    Recordset title = PrintDb().OpenRecordset("SELECT ion FROM company");
    if (title.Eof())
        title.AddNew();
    else
        title.Edit();
    title.SetField("ion", txtIo.Text());
    title.Update();
}

void frmIo::PrintReport(const std::string& name) {
    crtp.SetDataFiles(0, PrintDb());
    crtp.SetReportFileName(programFile(name + ".rpt"));
    crtp.SetAction(1);
}

void frmIo::cmdPt_Click() {
    StoreVoucherTitle();
    Pause(1);
    PrintReport("ios");
}

void frmIo::cmdPt_MouseDown(int Button, int, float, float) {
    if (Button != RightButton) return;
    StoreVoucherTitle();
    PrintReport("jios");
}

void frmIo::FillAccountCombo() {
    std::vector<std::vector<std::string>> rows;
    Recordset accounts =
        AccDb().OpenRecordset("SELECT incom, id, acc FROM acc ORDER BY incom DESC, id");
    for (; !accounts.Eof(); accounts.MoveNext())
        rows.push_back({accounts.Fields(0).boolean() ? Income : ExpenseListLabel,
                        accounts.Fields(1).text(), accounts.Fields(2).text()});
    cbAcc.Clear();
    cbAcc.SetRows(std::move(rows));
}

void frmIo::FillProjectCombo() {
    std::vector<std::vector<std::string>> rows;
    Recordset projects = AccDb().OpenRecordset("SELECT id, prj FROM prj ORDER BY id");
    for (; !projects.Eof(); projects.MoveNext())
        rows.push_back({projects.Fields(0).text(), projects.Fields(1).text()});
    cbPj.Clear();
    cbPj.SetRows(std::move(rows));
}

void frmIo::FillWorkTypeCombo() {
    fillWords(cbWt, AccDb(), "SELECT w FROM w4pj WHERE pj_id = ?", cbPj.Value());
}

// The staff or the vendors, as chosen; the names typed so far stay.
void frmIo::FillPersonCombos() {
    std::string receiver = cbSin.Text(), applicant = cbReq.Text();
    Sql names = optS.Value() ? Sql("SELECT 中文姓名 FROM 員工 ORDER BY 員工編號")
                             : Sql("SELECT 廠商名稱 FROM 廠商 ORDER BY 廠商編號");
    fillWords(cbSin, PeopleDb(), names);
    fillWords(cbReq, PeopleDb(), names);
    cbSin.SetText(receiver);
    cbReq.SetText(applicant);
}

void frmIo::FillUseCombo() {
    fillWords(cbUse, AccDb(), "SELECT use FROM use ORDER BY id");
}

void frmIo::FillNote1Combo() {
    fillWords(cbPs1, AccDb(), "SELECT ps FROM ps1 ORDER BY id");
}

void frmIo::FillNote2Combo() {
    fillWords(cbPs2, AccDb(), "SELECT ps FROM ps2 ORDER BY id");
}

}  // namespace kiv

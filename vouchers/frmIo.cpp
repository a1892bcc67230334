#include "vouchers/frmIo.h"

#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/mdM.h"
#include "vouchers/VoucherRules.h"

namespace kiv {

namespace {

constexpr const char* Title = "KIV";
constexpr const char* DefaultTitle = "收支單";
constexpr const char* Income = "(收入)";
constexpr const char* Expense = "(支出)";
// Expense accounts are listed after the income ones, their label indented.
constexpr const char* ExpenseListLabel = "      (支出)";
constexpr Color Blue = 0xFF0000;
constexpr Color Red = 0x0000FF;
constexpr Color FieldBack = 0xFFFFFF;

constexpr const char* Browsing = "〔瀏覽〕";
constexpr const char* Adding = "〔新增中〕";
constexpr const char* Modifying = "〔修改中〕";

constexpr const char* SignedMessage = "收支單已簽核 無法修改";
constexpr const char* DayFullMessage = "本日收支單已達999張 無法再新增";

constexpr int CashSuggested = -1;
constexpr int ChequeSuggested = -2;
constexpr int Void = -3;
constexpr int SignedByCash = 0;
constexpr int SignedByCheque = 1;

// Rows of two columns, each a caption and its field, closed by the scroll bar and the buttons;
// below them the form grows when it lists vouchers.
constexpr int FormWidth = 12480;
constexpr int FormHeight = 5600;
constexpr int RowStep = 405;
constexpr int FieldHeight = 330;
constexpr int CaptionWidth = 1140;
constexpr int LeftCaption = 120;
constexpr int LeftField = 1320;
constexpr int LeftFieldWidth = 4440;
constexpr int RightCaption = 6000;
constexpr int RightField = 7200;
constexpr int RightFieldWidth = 5040;

constexpr int rowTop(int row) {
    return 120 + row * RowStep;
}

struct CaptionPlace {
    const char* text;
    int left;
    int row;
    int width;
};

const CaptionPlace CaptionPlaces[] = {
    {"輸入日期:", LeftCaption, 0, CaptionWidth},   {"單號:", RightCaption, 0, CaptionWidth},
    {"發生日期:", LeftCaption, 1, CaptionWidth},   {"用途說明:", RightCaption, 1, CaptionWidth},
    {"科目代號:", LeftCaption, 2, CaptionWidth},   {"科目名稱:", RightCaption, 2, CaptionWidth},
    {"金額(含稅):", LeftCaption, 3, CaptionWidth}, {"有單據:", 3240, 3, 900},
    {"專案號碼:", LeftCaption, 4, CaptionWidth},   {"專案名稱:", RightCaption, 4, CaptionWidth},
    {"工程種類:", LeftCaption, 5, CaptionWidth},   {"附 註 一:", RightCaption, 5, CaptionWidth},
    {"申 請 人:", LeftCaption, 6, CaptionWidth},   {"附 註 二:", RightCaption, 6, CaptionWidth},
    {"簽 收 人:", LeftCaption, 7, CaptionWidth},
};

void placeCaption(Label& label, const char* text, int left, int top, int width) {
    label.SetCaption(text);
    label.SetAlignment(1);
    label.Move(left, top + 45, width, FieldHeight - 45);
}

// A label that shows a stored value, drawn as a read-only field.
void placeValueLabel(Label& label, int left, int top, int width) {
    label.SetBorderStyle(1);
    label.SetBackColor(FieldBack);
    label.Move(left, top, width, FieldHeight);
}

void placeChoice(Control& choice, Control& container, int left, int top, int width) {
    choice.SetContainer(&container);
    choice.Move(left, top, width, 270);
}

// A frame drawn without a border, grouping options so they exclude only one another.
void placeGroup(Frame& frame, int left, int top, int width, int height) {
    frame.SetBorderStyle(0);
    frame.Move(left, top, width, height);
}

std::string longDateText(const Value& value) {
    return value.isNull() ? "" : LongRocDate(value.date());
}

// The date a long ROC label shows, read back from its own text.
Value dateOfLabel(const Label& label) {
    auto date = parseShownDate(label.Caption());
    return date ? Value(*date) : Value();
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
    for (int i = 0; i < captions.Count(); ++i) {
        const CaptionPlace& place = CaptionPlaces[i];
        placeCaption(captions(i), place.text, place.left, rowTop(place.row), place.width);
    }

    placeValueLabel(lbInDay, LeftField, rowTop(0), 3000);
    placeValueLabel(lbNo, RightField, rowTop(0), 2400);
    lbStat.SetAlignment(1);
    lbStat.SetFontBold(true);
    lbStat.Move(9720, rowTop(0) + 45, 2520, FieldHeight - 45);

    placeValueLabel(lbHday, LeftField, rowTop(1), 3000);
    DTP1.Move(4380, rowTop(1), 1380, FieldHeight);
    cbUse.Move(RightField, rowTop(1), RightFieldWidth, FieldHeight);

    cbAcc.Move(LeftField, rowTop(2), 1800, FieldHeight);
    cbAcc.SetColumnCount(3);
    cbAcc.SetTextColumn(2);
    cbAcc.SetBoundColumn(2);
    cbAcc.SetColumnWidths("50 pt;40 pt;120 pt");
    cbAcc.SetListRows(20);
    lbAcIo.SetFontBold(true);
    lbAcIo.Move(3240, rowTop(2) + 45, 1200, FieldHeight - 45);
    placeValueLabel(lbAcTxt, RightField, rowTop(2), RightFieldWidth);

    txtCash.SetAlignment(1);
    txtCash.Move(LeftField, rowTop(3), 1800, FieldHeight);
    Check1.Move(4200, rowTop(3) + 30, 300, 270);
    placeGroup(Frame3, RightCaption, rowTop(3), 6240, 360);
    placeCaption(invoiceNoCaption, "單據號碼:", 0, 0, CaptionWidth);
    invoiceNoCaption.SetContainer(&Frame3);
    txtBno.SetContainer(&Frame3);
    txtBno.Move(1200, 0, 1560, FieldHeight);
    placeCaption(taxCaption, "稅額:", 2820, 0, 540);
    taxCaption.SetContainer(&Frame3);
    txtTax.SetContainer(&Frame3);
    txtTax.SetAlignment(1);
    txtTax.Move(3420, 0, 900, FieldHeight);
    O1(0).SetCaption("費用");
    placeChoice(O1(0), Frame3, 4440, 30, 780);
    O1(1).SetCaption("進銷項");
    placeChoice(O1(1), Frame3, 5280, 30, 960);

    cbPj.Move(LeftField, rowTop(4), 2400, FieldHeight);
    cbPj.SetColumnCount(2);
    cbPj.SetTextColumn(1);
    cbPj.SetBoundColumn(1);
    cbPj.SetColumnWidths("60 pt;160 pt");
    cbPj.SetListRows(20);
    placeValueLabel(lbPjTxt, RightField, rowTop(4), RightFieldWidth);
    cbWt.Move(LeftField, rowTop(5), LeftFieldWidth, FieldHeight);
    cbWt.SetListRows(16);
    cbPs1.Move(RightField, rowTop(5), RightFieldWidth, FieldHeight);
    cbReq.Move(LeftField, rowTop(6), 3000, FieldHeight);
    cbPs2.Move(RightField, rowTop(6), RightFieldWidth, FieldHeight);
    cbSin.Move(LeftField, rowTop(7), 3000, FieldHeight);
    placeGroup(personFrame, 4440, rowTop(6), 1320, RowStep + FieldHeight);
    optS.SetCaption("員工");
    placeChoice(optS, personFrame, 60, 30, 1200);
    optP.SetCaption("廠商");
    placeChoice(optP, personFrame, 60, RowStep + 30, 1200);

    placeGroup(fmeM, LeftCaption, rowTop(8), 5640, 360);
    placeCaption(suggestionCaption, "申請人建議方式:", 0, 0, 1560);
    suggestionCaption.SetContainer(&fmeM);
    Op1(0).SetCaption("現金");
    placeChoice(Op1(0), fmeM, 1620, 30, 780);
    Op1(1).SetCaption("票據");
    placeChoice(Op1(1), fmeM, 2460, 30, 780);
    ckNoW.SetCaption("作廢");
    placeChoice(ckNoW, fmeM, 3420, 30, 840);
    ck.SetCaption("已簽核");
    ck.Move(RightCaption, rowTop(8) + 30, 1080, 270);
    lbop.SetCaption("處理方式：");
    lbop.Move(7140, rowTop(8) + 45, 1020, FieldHeight - 45);
    placeGroup(frmMa, 8160, rowTop(8), 2760, 360);
    const char* ways[] = {"現金", "票據", "已兌現票據"};
    const int wayLeft[] = {0, 780, 1560}, wayWidth[] = {720, 720, 1200};
    for (int i = 0; i < optA.Count(); ++i) {
        optA(i).SetCaption(ways[i]);
        placeChoice(optA(i), frmMa, wayLeft[i], 30, wayWidth[i]);
    }
    cmdMach.SetCaption("應收付沖帳");
    cmdMach.Move(10980, rowTop(8), 1260, 360);

    FSB.Move(LeftCaption, rowTop(9) + 30, 12120, 285);

    const int buttonTop = rowTop(10) + 30;
    CommandButton* buttons[] = {&cmdAdd, &cmdEdit, &cmdSv, &cmdCencel};
    const char* buttonCaptions[] = {"新增", "修改", "存檔", "取消"};
    for (int i = 0; i < 4; ++i) {
        buttons[i]->SetStyle(1);
        buttons[i]->SetCaption(buttonCaptions[i]);
        buttons[i]->Move(LeftCaption + i * 960, buttonTop, 900, 420);
    }
    txtIo.Move(7800, buttonTop + 45, 3000, FieldHeight);
    cmdPt.SetCaption("列印此");
    cmdPt.Move(10920, buttonTop, 1320, 420);
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

    CurrentPosition = 0;
    SetScrollRange();
    OpenVoucherRecordset();
    GoToVoucher(FSB.Max());
    // A form opened on one voucher prints that one, filled in below.
    if (ShowCurrentVoucher() && !ShowOneRecord) FillPrintTable();
    lbStat.SetCaption(Browsing);
    SetEntryEnabled(false);
    DTP1.SetValue(Clock::today());
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
        OneVoucherRecordset.reset();
        VoucherRecordset.reset();
    } catch (const std::exception&) {
    }
    VoucherFormOpen = false;
}

void frmIo::LoadVoucherTitle() {
    Recordset title = PrintDb().OpenRecordset("SELECT ion FROM company");
    bool none = title.Eof() || title.Fields(0).isNull();
    txtIo.SetText(none ? DefaultTitle : title.Fields(0).text());
}

void frmIo::SetScrollRange() {
    Recordset count = AccDb().OpenRecordset("SELECT Count(*) FROM iof");
    int64_t vouchers = count.Fields(0).wholeNumber();
    FSB.SetMax(vouchers > 0 ? static_cast<int>(vouchers - 1) : 0);
}

void frmIo::OpenVoucherRecordset() {
    VoucherRecordset = AccDb().OpenRecordset("SELECT * FROM iof ORDER BY 單號");
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
    ShowVoucherFields(*VoucherRecordset);
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
    OneVoucherRecordset = AccDb().OpenRecordset("SELECT * FROM iof WHERE 單號 = ?", oneVoucherNo_);
    showingOneVoucher_ = true;
    oneVoucherMissing_ = OneVoucherRecordset->Eof();
    if (oneVoucherMissing_) {
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
        cmdEdit.SetEnabled(false);
        cmdPt.SetEnabled(false);
    } else {
        ShowVoucherFields(*OneVoucherRecordset);
    }
    cmdAdd.SetVisible(false);
    cmdCencel.SetVisible(false);
    FSB.SetVisible(false);
}

// The amount goes in before 有單據 and the tax after it: setting the tick runs its Click, which
// computes the tax afresh, and the stored tax must be what shows.
void frmIo::ShowVoucherFields(const Recordset& voucher) {
    lbInDay.SetCaption(longDateText(voucher.Fields(0)));
    lbNo.SetCaption(voucher.Fields(1).text());
    cbUse.SetText(voucher.Fields(2).text());
    ShowState(static_cast<int>(voucher.Fields(3).wholeNumber()), voucher.Fields(20));
    txtCash.SetText(voucher.Fields(4).text());
    cbAcc.SetText(voucher.Fields(5).text());
    ShowDirection(voucher.Fields(6).boolean());
    lbAcTxt.SetCaption(voucher.Fields(7).text());
    cbPs1.SetText(voucher.Fields(8).text());
    cbPs2.SetText(voucher.Fields(9).text());
    cbPj.SetText(voucher.Fields(10).text());
    lbPjTxt.SetCaption(voucher.Fields(11).text());
    cbWt.SetText(voucher.Fields(12).text());
    lbHday.SetCaption(longDateText(voucher.Fields(13)));
    cbReq.SetText(voucher.Fields(14).text());
    cbSin.SetText(voucher.Fields(15).text());
    Check1.SetValue(voucher.Fields(16).boolean() ? 1 : 0);
    txtBno.SetText(voucher.Fields(17).text());
    txtTax.SetText(voucher.Fields(18).text());
    O1(voucher.Fields(19).boolean() ? 1 : 0).SetValue(true);
    Op1(voucher.Fields(20).wholeNumber() == CashSuggested ? 0 : 1).SetValue(true);
}

void frmIo::ShowState(int state, const Value& suggestion) {
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
        cmdMach.SetVisible(state == SignedByCash || state == SignedByCheque || state == 3);
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
        case Void:
            Op1(suggestion.wholeNumber() == CashSuggested ? 0 : 1).SetValue(true);
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
    bool isVoid = state == Void;
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
    Color colour = expense ? Red : Blue;
    lbAcIo.SetForeColor(colour);
    lbAcTxt.SetForeColor(colour);
    lbAcIo.SetCaption(expense ? Expense : Income);
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

void frmIo::ClearForNewVoucher(const std::string& number) {
    lbInDay.SetCaption(LongRocDate(Clock::today()));
    lbNo.SetCaption(number);
    ClearVoucherFields();
    lbHday.SetCaption(lbInDay.Caption());
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
    auto number = NextVoucherNumber();
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
    if (auto day = parseShownDate(lbHday.Caption())) DTP1.SetValue(*day);
    lbStat.SetCaption(Modifying);
    cmdCencel.SetVisible(true);
    AddingVoucher = false;
    cbUse.SetFocus();
}

void frmIo::cmdCencel_Click() {
    OpenVoucherRecordset();
    if (VouchersListed() && ShowBrowsedVoucher()) FillPrintTable();
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
    SettleReceivable = lbAcIo.Caption() == Income;
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

void frmIo::cmdSv_Click() {
    SaveVoucher();
}

void frmIo::SaveVoucher() {
    if (!EntriesAreComplete()) return;
    if (AddingVoucher) {
        if (!AddVoucher()) return;
    } else {
        if (!RewriteShownVoucher()) return;
        if (SignOffPending && optA(1).Value() && !SignOffByCheque()) return;
    }
    BackToBrowsing();
}

bool frmIo::EntriesAreComplete() {
    const std::string& amount = txtCash.Text();
    if (amount.empty()) {
        messageBox("金額欄位不可空白", 16, Title);
        return false;
    }
    if (!IsVoucherAmount(amount)) {
        messageBox("金額欄位只能輸入數字", 16, Title);
        return false;
    }
    if (lbAcTxt.Caption().empty()) {
        messageBox("科目不可空白", 16, Title);
        return false;
    }
    return true;
}

// The number is taken and the row added under the write lock, so that no other writer can take
// the same number in between.
bool frmIo::AddVoucher() {
    Database& db = AccDb();
    std::optional<std::string> number;
    {
        Transaction transaction(db, true);
        number = NextVoucherNumber();
        if (number) {
            lbNo.SetCaption(*number);
            Recordset voucher = db.OpenRecordset("SELECT * FROM iof WHERE 單號 = ?", *number);
            voucher.AddNew();
            voucher.SetField(0, dateOfLabel(lbInDay));
            voucher.SetField(1, *number);
            WriteVoucherFields(voucher);
            int suggestion = Op1(0).Value() ? CashSuggested : ChequeSuggested;
            voucher.SetField(3, suggestion);
            voucher.SetField(20, suggestion);
            voucher.Update();
            transaction.Commit();
        }
    }
    if (!number) messageBox(DayFullMessage, 16, Title);
    return number.has_value();
}

// The voucher written is the one whose number the form shows, whatever the form's recordsets
// stand on. A voucher signed meanwhile is refused and shown as it is stored.
bool frmIo::RewriteShownVoucher() {
    Database& db = AccDb();
    bool refused = false;
    {
        Transaction transaction(db, true);
        Recordset voucher = db.OpenRecordset("SELECT * FROM iof WHERE 單號 = ?", lbNo.Caption());
        if (voucher.Eof()) throw std::runtime_error("找不到收支單 " + lbNo.Caption());
        refused = voucher.Fields(3).wholeNumber() >= 0;
        if (!refused) {
            int suggestion = Op1(0).Value() ? CashSuggested : ChequeSuggested;
            bool byCash = SignOffPending && !optA(1).Value();
            voucher.Edit();
            WriteVoucherFields(voucher);
            voucher.SetField(3, byCash ? SignedByCash : ckNoW.Value() == 1 ? Void : suggestion);
            voucher.SetField(20, suggestion);
            voucher.Update();
            if (byCash) SignOffByCash();
            transaction.Commit();
        }
    }
    if (refused) {
        messageBox(SignedMessage, 48, Title);
        cmdCencel_Click();
    }
    return !refused;
}

// Every field but the entry date, the number and the two states, which depend on the save.
void frmIo::WriteVoucherFields(Recordset& voucher) {
    voucher.SetField(2, cbUse.Text());
    voucher.SetField(4, txtCash.Text());
    voucher.SetField(5, cbAcc.Text());
    voucher.SetField(6, lbAcIo.Caption() != Income);
    voucher.SetField(7, lbAcTxt.Caption());
    voucher.SetField(8, cbPs1.Text());
    voucher.SetField(9, cbPs2.Text());
    voucher.SetField(10, cbPj.Text());
    voucher.SetField(11, lbPjTxt.Caption());
    voucher.SetField(12, cbWt.Text());
    voucher.SetField(13, dateOfLabel(lbHday));
    voucher.SetField(14, cbReq.Text());
    voucher.SetField(15, cbSin.Text());
    voucher.SetField(16, Check1.Value() == 1);
    voucher.SetField(17, txtBno.Text());
    voucher.SetField(18, txtTax.Text());
    voucher.SetField(19, O1(1).Value());
}

// The cash book's running balance continues from its last row, whatever the voucher's dates:
// the posting is dated the day it is made.
void frmIo::SignOffByCash() {
    Database& db = AccDb();
    int64_t lastId = 0, balance = 0;
    Recordset last = db.OpenRecordset("SELECT id, bala FROM cash ORDER BY id");
    if (!last.Eof()) {
        last.MoveLast();
        lastId = last.Fields(0).wholeNumber();
        balance = last.Fields(1).wholeNumber();
    }
    last.Close();
    int64_t amount = std::stoll(txtCash.Text());
    bool income = lbAcIo.Caption() == Income;
    Recordset cash = db.OpenRecordset("SELECT * FROM cash WHERE id = ?", lastId + 1);
    cash.AddNew();
    cash.SetField(0, lastId + 1);
    cash.SetField(1, income);
    cash.SetField(2, Clock::today());
    cash.SetField(3, amount);
    cash.SetField(4, cbUse.Text());
    cash.SetField(5, lbNo.Caption());
    cash.SetField(6, income ? balance + amount : balance - amount);
    cash.Update();
}

// The cheque form takes the voucher's number, direction and amount from this form while it
// loads, and clears BillEntryCancelled only when it saves: a cheque form that is missing or
// closes unsaved leaves the voucher unsigned, with its modification kept, and the form browsing.
bool frmIo::SignOffByCheque() {
    BillForVoucher = true;
    ShowOneRecord = false;
    BillForCombinedCheque = false;
    BillEntryCancelled = true;
    try {
        Forms::showByName("frmBill", Modal);
    } catch (...) {
        // A cheque form that failed recorded nothing: the voucher stays unsigned, as after a
        // cancelled entry, and no hand-over value is left set for the next opening.
        BillForVoucher = false;
        BillEntryCancelled = false;
        ChequeEntryLeft();
        throw;
    }
    BillForVoucher = false;
    if (!BillEntryCancelled) {
        AccDb().Execute("UPDATE iof SET 方式 = ? WHERE 單號 = ?", SignedByCheque, lbNo.Caption());
        return true;
    }
    messageBox("因您取消票據輸入\r\n所以此收支單並未簽核", 48, Title);
    BillEntryCancelled = false;
    ChequeEntryLeft();
    return false;
}

// Without a cheque the sign-off is off and the voucher is browsed again as it now stands.
void frmIo::ChequeEntryLeft() {
    ck.SetValue(0);
    SetEntryEnabled(false);
    lbStat.SetCaption(Browsing);
    FillPrintTable();
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
    Recordset before = AccDb().OpenRecordset("SELECT Count(*) FROM iof WHERE 單號 < ?", number);
    return static_cast<int>(before.Fields(0).wholeNumber());
}

// Moves the voucher list, and with it the scroll bar, to a row; the caller shows the voucher.
void frmIo::GoToVoucher(int position) {
    VoucherRecordset->Move(position - CurrentPosition);
    CurrentPosition = position;
    FSB.SetValue(position);
}

// The voucher lists below the fields follow a save here; the form shows no list yet.
void frmIo::RefreshListMode() {}

std::optional<int> frmIo::StoredState() const {
    Recordset voucher =
        AccDb().OpenRecordset("SELECT 方式 FROM iof WHERE 單號 = ?", lbNo.Caption());
    if (voucher.Eof()) return std::nullopt;
    return static_cast<int>(voucher.Fields(0).wholeNumber());
}

// The print table always holds the voucher last shown or saved; the print button only prints it.
void frmIo::FillPrintTable() {
    Database& db = PrintDb();
    Transaction transaction(db);
    db.Execute("DELETE FROM ptios");
    Recordset row = db.OpenRecordset("SELECT * FROM ptios");
    row.AddNew();
    row.SetField(0, lbInDay.Caption());
    row.SetField(1, lbNo.Caption());
    if (Op1(0).Value()) row.SetField(2, "現金");
    if (Op1(1).Value()) row.SetField(2, "票據");
    row.SetField(3, cbUse.Text());
    row.SetField(4, cbPj.Text());
    row.SetField(5, lbPjTxt.Caption());
    row.SetField(6, cbWt.Text());
    row.SetField(7, cbAcc.Text());
    row.SetField(8, lbAcIo.Caption());
    row.SetField(9, lbAcTxt.Caption());
    row.SetField(10, GroupThousands(txtCash.Text()));
    row.SetField(11, cbPs1.Text());
    row.SetField(12, cbPs2.Text());
    row.SetField(13, cbReq.Text());
    row.SetField(14, cbSin.Text());
    row.SetField(15, lbHday.Caption());
    bool receipt = Check1.Value() == 1;
    row.SetField(16, receipt ? txtBno.Text() : "");
    row.SetField(17, receipt ? txtTax.Text() : "");
    row.SetField(18, !receipt ? "" : O1(0).Value() ? "費用" : "進銷項");
    row.SetField(19, AmountInChineseNumerals(txtCash.Text()) + "  元整");
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
    title.SetField(0, txtIo.Text());
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

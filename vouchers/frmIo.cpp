#include "vouchers/frmIo.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <limits>
#include <vector>

#include "ledger/ChequeGroups.h"
#include "ledger/SignOff.h"
#include "ledger/Vouchers.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
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

constexpr const char* DefaultTitle = "收支單";
// Expense accounts are listed after the income ones, their label indented.
constexpr const char* ExpenseListLabel = "      (支出)";

// Yes and No with No the default, and a question mark.
constexpr int ConfirmDefaultNo = 292;

constexpr const char* Browsing = "〔瀏覽〕";
constexpr const char* Adding = "〔新增中〕";
constexpr const char* Modifying = "〔修改中〕";

constexpr const char* SignedMessage = "收支單已簽核 無法修改";
constexpr const char* SignedForChequeMessage = "收支單已簽核 無法開票";
constexpr const char* FinishEntryMessage = "請先儲存或取消輸入中的收支單";
constexpr const char* DayFullMessage = "本日收支單已達999張 無法再新增";
constexpr const char* DateRangeMessage = "日期須在民國 1 年至 999 年之間";

// Below the rows of fields the scroll bar and the buttons; below them the form grows when it
// lists vouchers. The height is what tells which list is open.
constexpr int FormHeight = 5600;
constexpr int UnsignedListHeight = 9600;
constexpr int SearchListHeight = 8340;
constexpr int SearchClosedHeight = 5445;

constexpr const char* UnsignedClosed = "檢視未簽核收支單>>";
constexpr const char* UnsignedOpen = "檢視未簽核收支單<<";
constexpr const char* SearchClosed = "全文檢索>>";
constexpr const char* SearchOpen = "全文檢索<<";
constexpr int SearchMode = 1, UnsignedMode = 2;
// The fixed cells take the colour of the button whose list they head.
constexpr Color UnsignedColour = 0xFFC0C0;
constexpr Color SearchColour = 0xC0FFC0;
constexpr Color Marked = 0xFFFF00, Unmarked = 0xFFFFFF;
constexpr const char* GroupMark = "S";
// A step of the bar no further than this reads the vouchers from the one it starts at.
constexpr int NearbyVouchers = 64;

struct ListColumn {
    int width;
    const char* header;
};
const ListColumn UnsignedColumns[] = {
    {200, ""},          {900, "收支單號"}, {880, "發生日期"}, {2650, "用途"}, {2650, "專案名稱"},
    {1000, "工程種類"}, {500, "收支"},     {2000, "科目"},    {1000, "金額"},
};

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
    SizeForList(FormHeight, false);
    LayOut();
    optS.SetValue(true);
    O1(0).SetValue(true);
    Op1(0).SetValue(true);
    // Shown only by a voucher that has them: the tax fields with 有單據, the way of a signed one.
    Frame3.SetVisible(false);
    frmMa.SetVisible(false);
    cmdMach.SetVisible(false);
    // Shown with the unsigned list, and the issue button once marking is ticked.
    ckco.SetVisible(false);
    cmdco.SetVisible(false);
    WireEvents();
}

void frmIo::LayOut() {
    // The list buttons end above the bottom of the shortest form (the search closed).
    const int buttonTop = rowTop(10) - 30;
    const int listButtonTop = buttonTop + 480;
    placeVoucherFields(*this, &DTP1);
    applyLayout({
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

        {&cmdNck, nullptr, LeftCaption, listButtonTop, 2040, 360, UnsignedClosed, Graphical},
        {&cmdSall, nullptr, LeftCaption + 2100, listButtonTop, 1440, 360, SearchClosed, Graphical},
        {&ckco, nullptr, LeftCaption + 3720, listButtonTop + 45, 1200, ChoiceHeight, "合計開票"},
        {&cmdco, nullptr, LeftCaption + 4980, listButtonTop, 1200, 360, "確定開票"},
        {&hfg, nullptr, LeftCaption, listButtonTop + 420, 12120, 3900},
    });
    cmdNck.SetBackColor(UnsignedColour);
    cmdSall.SetBackColor(SearchColour);
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
    FSB.KeyDown = [this](int& key, int shift) { FSB_KeyDown(key, shift); };
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
    cbAcc.Change = [this] { cbAcc_Change(); };
    cbPj.Click = [this] { cbPj_Click(); };
    cbPj.Change = [this] { cbPj_Change(); };
    cmdNck.Click = [this] { cmdNck_Click(); };
    cmdSall.Click = [this] { cmdSall_Click(); };
    hfg.DblClick = [this] { hfg_DblClick(); };
    hfg.MouseDown = [this](int button, int shift, float x, float y) {
        hfg_MouseDown(button, shift, x, y);
    };
    hfg.KeyPress = [this](int& key) { hfg_KeyPress(key); };
    ckco.Click = [this] { ckco_Click(); };
    cmdco.Click = [this] { cmdco_Click(); };
    cbAcc.Validate = [this](bool& cancel) { cbAcc_Validate(cancel); };
    cbUse.Validate = [this](bool& cancel) { cbUse_Validate(cancel); };
    cbPs1.Validate = [this](bool& cancel) { cbPs1_Validate(cancel); };
    cbPs2.Validate = [this](bool& cancel) { cbPs2_Validate(cancel); };
    // The label beside it shows the long date; every pick writes it.
    ShowLabelCalendar(DTP1, false);
    DTP1.Picked = [this] { DTP1_Change(); };
    txtCash.KeyPress = [this](int& key) { txtCash_KeyPress(key); };
    txtCash.KeyUp = [this](int& key, int shift) { txtCash_KeyUp(key, shift); };
}

void frmIo::Form_Load() {
    SetLeft((screenWidth() - Width()) / 2);
    SetTop(1500);
    SizeForList(FormHeight, false);
    LoadVoucherTitle();
    FillProjectCombo();
    FillUseCombo();
    FillPersonCombos();
    FillAccountCombo();
    FillNote1Combo();
    FillNote2Combo();

    // A day the picker cannot show (a login date beyond the calendar) leaves it where it was;
    // the save refuses such a day.
    if (DTP1.InRange(Clock::today())) DTP1.SetValue(Clock::today());
    // A form opened on one voucher prints that one, filled in below.
    if (ShowReadInOneRead([this] { return PlaceListOnNewest(); }) && !ShowOneRecord)
        FillPrintTable();
    lbStat.SetCaption(Browsing);
    SetEntryEnabled(false);
    if (ShowOneRecord) {
        ShowVoucherByNumber();
        FillPrintTable();
    }
    bool mayEdit = HasRight(RightVoucherEdit);
    cmdAdd.SetEnabled(mayEdit);
    cmdEdit.SetEnabled(mayEdit && !oneVoucherMissing_);
    // Set once the form is loaded: a Load that failed (the print table held by another copy)
    // leaves no form open to keep the other modules closed.
    VoucherFormOpen = true;
}

// A voucher picked from the form's own list set ShowOneRecord; it goes with the form, so that
// the next opening from the launcher lists every voucher again.
void frmIo::Form_Unload(int&) {
    VoucherRecordset.reset();
    VoucherFormOpen = false;
    ShowOneRecord = false;
}

// An entry holds input once a field no longer shows what it showed when the entry began; a
// sign-off ticked and not saved is input as well.
bool frmIo::HoldsUnsavedInput() const {
    if (SignOffPending) return true;
    return lbStat.Caption() != Browsing && EntryTexts() != entryBegun_;
}

// What the user can change in an entry, each field as text.
std::vector<std::string> frmIo::EntryTexts() const {
    const auto ticked = [](bool value) { return value ? "1" : "0"; };
    return {cbUse.Text(),
            txtCash.Text(),
            cbAcc.Text(),
            lbAcIo.Caption(),
            lbAcTxt.Caption(),
            cbPs1.Text(),
            cbPs2.Text(),
            cbPj.Text(),
            lbPjTxt.Caption(),
            cbWt.Text(),
            lbHday.Caption(),
            cbReq.Text(),
            cbSin.Text(),
            ticked(Check1.Value() == 1),
            txtBno.Text(),
            txtTax.Text(),
            ticked(O1(1).Value()),
            ticked(Op1(0).Value()),
            ticked(ckNoW.Value() == 1)};
}

void frmIo::LoadVoucherTitle() {
    Recordset title = PrintDb().OpenRecordset("SELECT ion FROM company");
    bool none = title.Eof() || title.Fields("ion").isNull();
    txtIo.SetText(none ? DefaultTitle : title.Fields("ion").text());
}

// The vouchers of the book, for the bar's end. What changed the book since is counted from before
// the count, so that a change made while it counts is taken as one made after it.
int64_t frmIo::CountBook() {
    rangeChanges_ = AccDb().ChangesSoFar();
    return VoucherCount(AccDb());
}

// Whether nothing changed the book since the bar was counted: no other copy's commit and no write
// of this copy's, through this form or any other.
bool frmIo::BookUnchanged() {
    return AccDb().ChangesSoFar() == rangeChanges_;
}

// After a write of this form that adds or takes away no voucher, the bar's count still holds if it
// held just before: both are looked at inside the write's transaction, under the write lock, so
// that no other copy's commit comes between.
void frmIo::KeepCountOver(bool countHeld) {
    if (countHeld) rangeChanges_ = AccDb().ChangesSoFar();
}

void frmIo::OpenVoucherRecordset() {
    VoucherRecordset = OpenVoucherList(AccDb());
    listAwaitsBar_ = false;
}

bool frmIo::VouchersListed() const {
    return VoucherRecordset && !(VoucherRecordset->Bof() && VoucherRecordset->Eof());
}

// A bar that the form set where the list stands finds the list already there: its caller shows
// the voucher.
void frmIo::FSB_Change() {
    if (barSetByCode_ || FSB.Value() == CurrentPosition) return;
    MoveBar(FSB.Value() - CurrentPosition);
}

// While the book changed since the bar was counted, a key makes its step here, from the voucher
// shown as the book now holds it: the bar's own step would count from a place and an end that may
// no longer hold (vouchers saved after the last one, the one shown deleted).
void frmIo::FSB_KeyDown(int& KeyCode, int) {
    const std::optional<int64_t> steps = KeySteps(KeyCode);
    if (!steps || BookUnchanged()) return;
    KeyCode = 0;
    MoveBar(*steps);
}

// The steps a key makes on the bar; Home and End go as far as the list reaches.
std::optional<int64_t> frmIo::KeySteps(int key) const {
    constexpr int64_t ToTheEnd = std::numeric_limits<int>::max();
    const int64_t small = std::max(1, FSB.SmallChange()), large = std::max(1, FSB.LargeChange());
    switch (key) {
        case Key::Left:
        case Key::Up:
            return -small;
        case Key::Right:
        case Key::Down:
            return small;
        case Key::PageUp:
            return -large;
        case Key::PageDown:
            return large;
        case Key::Home:
            return -ToTheEnd;
        case Key::End:
            return ToTheEnd;
    }
    return std::nullopt;
}

// The voucher `steps` from the one shown is found, and the bar put on its place, in one read of the
// book; it is shown before the print table, which another copy may hold, is written.
void frmIo::MoveBar(int64_t steps) {
    if (ShowReadInOneRead([&] { return StepList(steps); })) FillPrintTable();
}

// The voucher `read` finds, with the bar's place and end it sets, all of one state of the book,
// is shown; none found, no voucher is shown. False then.
bool frmIo::ShowReadInOneRead(const std::function<std::optional<Voucher>()>& read) {
    std::optional<Voucher> found;
    {
        Transaction reading(AccDb(), TransactionKind::Reads);
        found = read();
        reading.Commit();
    }
    if (!found) {
        ShowNoVoucher();
        return false;
    }
    ShowVoucherFields(*found);
    return true;
}

// A write of this form that adds or takes away no voucher, all or nothing: the bar's count still
// holds after it if it held just before.
void frmIo::WriteKeepingCount(const std::function<void()>& write) {
    Transaction transaction(AccDb(), TransactionKind::Writes);
    const bool countHeld = BookUnchanged();
    write();
    KeepCountOver(countHeld);
    transaction.Commit();
}

// The list steps as it stands while nothing changed the book since the bar was counted. Otherwise
// the voucher shown is found again by its number and the step counted from it.
std::optional<Voucher> frmIo::StepList(int64_t steps) {
    const bool unchanged = BookUnchanged();
    if (unchanged && listAwaitsBar_) return StepFromHeldVoucher(steps);
    if (unchanged && VouchersListed()) {
        VoucherRecordset->Move(steps);
        if (!VoucherRecordset->Bof() && !VoucherRecordset->Eof()) {
            CurrentPosition = static_cast<int>(CurrentPosition + steps);
            return VoucherAt(*VoucherRecordset);
        }
    }
    return PlaceListFrom(shownVoucher_.number, steps);
}

// The list closed at an entry's end, the voucher held standing where the bar says: a step of a few
// vouchers reads them from its number, as a step reads the page around the row it stands on; a
// jump opens the list at its place, as any jump of the bar reads.
std::optional<Voucher> frmIo::StepFromHeldVoucher(int64_t steps) {
    const int target = static_cast<int>(std::clamp<int64_t>(CurrentPosition + steps, 0, FSB.Max()));
    if (std::abs(target - CurrentPosition) > NearbyVouchers) {
        OpenListAt(target, FSB.Max());
        CurrentPosition = target;
        return VoucherAt(*VoucherRecordset);
    }
    std::optional<Voucher> reached =
        VoucherStepsFrom(AccDb(), shownVoucher_.number, target - CurrentPosition);
    if (!reached) return PlaceListFrom(shownVoucher_.number, steps);
    CurrentPosition = target;
    return reached;
}

// Opens the list on a place counted from its start, `last` being the last voucher's: from the front
// while the first pages reach it, else from the back, as a jump of the bar reads.
void frmIo::OpenListAt(int position, int last) {
    OpenVoucherRecordset();
    if (position < NearbyVouchers || last <= 0) {
        VoucherRecordset->Move(position);
    } else {
        VoucherRecordset->MoveLast();
        VoucherRecordset->Move(position - last);
    }
}

// Inside the caller's read of the book: the bar's end counted again, and the list opened on the
// voucher `steps` from the one numbered `number`. With that one gone, a step forward lands on the
// voucher after the place where it stood and a step back on the one before, so that none is
// skipped, and no step stays where it stood. The bar stands on the voucher reached, the first or
// the last at the most. Nullopt when the book holds none.
std::optional<Voucher> frmIo::PlaceListFrom(const std::string& number, int64_t steps) {
    const int64_t count = CountBook();
    int64_t place = VouchersBefore(AccDb(), number);
    if (steps > 0 && !ReadVoucher(AccDb(), number)) --place;
    return OpenListOn(place + steps, count);
}

// Inside the caller's read of the book: the bar counted again and the list opened on the newest
// voucher.
std::optional<Voucher> frmIo::PlaceListOnNewest() {
    const int64_t count = CountBook();
    return OpenListOn(count - 1, count);
}

// The list of `count` vouchers opened on `place`, the first or the last at the most, and the bar
// put there; the voucher there, nullopt when there is none.
std::optional<Voucher> frmIo::OpenListOn(int64_t place, int64_t count) {
    const int last = static_cast<int>(std::max<int64_t>(count - 1, 0));
    const int target = static_cast<int>(std::clamp<int64_t>(place, 0, last));
    OpenListAt(target, last);
    SetBar(target, count);
    if (count == 0) return std::nullopt;
    return VoucherAt(*VoucherRecordset);
}

// The voucher browsed before an entry, shown as stored: the one voucher the form was opened on,
// or the one the bar held. False when no voucher is shown.
bool frmIo::ShowHeldVoucher() {
    if (showingOneVoucher_) {
        ShowVoucherByNumber();
        return true;
    }
    return ShowReadInOneRead([this] { return HeldVoucherAsStored(); });
}

// Where nothing changed the book since the bar was counted, the voucher held stands where it
// stood: nothing is counted, and the list is placed when the bar next moves. Otherwise it is found
// again by its number, with its place and the list's end, in the caller's one read; one gone
// leaves the bar where it stood, on the voucher now there.
std::optional<Voucher> frmIo::HeldVoucherAsStored() {
    const std::string held = shownVoucher_.number;
    if (!held.empty() && BookUnchanged()) {
        if (std::optional<Voucher> stored = ReadVoucher(AccDb(), held)) {
            VoucherRecordset.reset();
            listAwaitsBar_ = true;
            return stored;
        }
    }
    return PlaceListFrom(held, 0);
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
    v.amount = BoxValue(txtCash, shownVoucher_.amount, VoucherAmountRule);
    v.tax = BoxValue(txtTax, shownVoucher_.tax, TaxRule);
    v.day = dateOfLabel(lbHday);
    v.suggestion = Op1(0).Value() ? CashSuggested : ChequeSuggested;
    v.state = ckNoW.Value() == 1 ? VoidVoucher : v.suggestion;
    return v;
}

// A box still showing the value read from the stored voucher holds nothing typed: that value is
// written back as it stands. A voucher being added has nothing stored.
bool frmIo::ShowsStored(const TextBox& box, const std::optional<int64_t>& stored) const {
    return !AddingVoucher && box.Text() == numberText(stored);
}

// An amount box's value for the save: the stored one while the box still shows it, else the
// typed text as the box's rule reads it (the save has refused a text the rule does not take).
std::optional<int64_t> frmIo::BoxValue(const TextBox& box, const std::optional<int64_t>& stored,
                                       const AmountRule& rule) const {
    if (ShowsStored(box, stored)) return stored;
    return ReadAmount(box.Text(), rule).amount;
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
        messageBox(DateRangeMessage, MessageCritical, CapitalsTitle);
        return;
    }
    auto number = NextVoucherNumber(AccDb());
    if (!number) {
        messageBox(DayFullMessage, MessageCritical, CapitalsTitle);
        return;
    }
    VoucherRecordset.reset();
    SetEntryEnabled(true);
    cmdMach.SetVisible(false);
    fmeM.SetEnabled(true);
    ClearForNewVoucher(*number);
    lbStat.SetCaption(Adding);
    AddingVoucher = true;
    entryBegun_ = EntryTexts();
}

// With no voucher shown there is nothing to modify. One that another copy deleted since it was
// shown is told so, and the form stays browsing.
void frmIo::cmdEdit_Click() {
    if (lbNo.Caption().empty()) return;
    std::optional<int> state = StoredState(lbNo.Caption());
    if (!state) {
        messageBox(RowDeletedMessage, MessageCritical, ApplicationTitle);
        ShowStoredVoucher();
        return;
    }
    if (*state >= 0) {
        messageBox(SignedMessage, MessageExclamation, CapitalsTitle);
        return;
    }
    SetEntryEnabled(true);
    fmeM.SetEnabled(true);
    ckNoW.SetEnabled(true);
    lbStat.SetCaption(Modifying);
    cmdCencel.SetVisible(true);
    AddingVoucher = false;
    entryBegun_ = EntryTexts();
    cbUse.SetFocus();
}

void frmIo::cmdCencel_Click() {
    ShowStoredVoucher();
}

// Back to browsing, the voucher shown as it is stored; with none stored the fields are cleared,
// so that an abandoned entry never looks saved. The entry has ended before the print table, which
// another copy may hold, is written.
void frmIo::ShowStoredVoucher() {
    if (EndEntryOnStoredVoucher()) FillPrintTable();
}

// False when no voucher is shown.
bool frmIo::EndEntryOnStoredVoucher() {
    const bool shown = ShowHeldVoucher();
    if (!shown) ShowNoVoucher();
    EndEntry();
    return shown;
}

// Why a save wrote nothing over a voucher no longer stored as it was read: another copy deleted
// it, this copy signed it off meanwhile (paid it by a combined cheque, say), or another copy
// changed it.
void frmIo::TellWhyNotRewritten() {
    const std::string& number = shownVoucher_.number;
    if (!StoredState(number))
        messageBox(RowDeletedMessage, MessageCritical, ApplicationTitle);
    else if (SignedHere(number))
        messageBox(SignedMessage, MessageExclamation, CapitalsTitle);
    else
        messageBox(UpdateConflict::ChangedMeanwhile, MessageExclamation, ApplicationTitle);
}

// A voucher signed off by this form, and stored signed: no other user is to be blamed for it.
bool frmIo::SignedHere(const std::string& number) const {
    if (!signedHere_.count(number)) return false;
    const std::optional<int> state = StoredState(number);
    return state && *state >= SignedByCash;
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
    AmountKeyFilter(KeyAscii);
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
    ShowAccountOfRow(cbAcc.ListIndex());
}

// The direction and the name beside the code follow its text, also where typing replaced a
// completed code: a code the list lacks has no name, so that no voucher is stored with a code
// under another account's name (the save refuses the empty name). A voucher shown from the file
// writes its own stored name after its code.
void frmIo::cbAcc_Change() {
    ShowAccountOfRow(cbAcc.FindEntry(cbAcc.Text()));
}

// The direction and the name of the listed account in `row`; none for no row. The colours stay,
// so that the new-account dialog starts from the side last shown.
void frmIo::ShowAccountOfRow(int row) {
    if (row < 0) {
        lbAcIo.SetCaption("");
        lbAcTxt.SetCaption("");
        return;
    }
    ShowDirection(cbAcc.List(row, 0) != Income);
    lbAcTxt.SetCaption(cbAcc.List(row, 2));
}

void frmIo::cbPj_Click() {
    ShowProjectOfRow(cbPj.ListIndex());
}

// The project's name follows the number typed as the account's does; its work types are read
// again only when the project named changes, so that a work type typed meanwhile stays.
void frmIo::cbPj_Change() {
    const int row = cbPj.FindEntry(cbPj.Text());
    if (row < 0)
        lbPjTxt.SetCaption("");
    else if (lbPjTxt.Caption() != cbPj.List(row, 1))
        ShowProjectOfRow(row);
}

void frmIo::ShowProjectOfRow(int row) {
    lbPjTxt.SetCaption(row < 0 ? "" : cbPj.List(row, 1));
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
        messageBox(ReservedCodeMessage(code), MessageInformation, ApplicationTitle);
        cancel = true;
        return;
    }
    if (messageBox("沒有此科目是否加入?", ConfirmDefaultNo, NoTitle) != AnswerYes) {
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
    if (messageBox(question, ConfirmDefaultNo, NoTitle) != AnswerYes) return;
    WriteKeepingCount([&] { AddWordAtTop(AccDb(), list, word); });
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
        messageBox(refused.what(), MessageExclamation, CapitalsTitle);
        ShowStoredVoucher();
        return;
    } catch (const UpdateConflict&) {
        TellWhyNotRewritten();
        ShowStoredVoucher();
        return;
    }
    BackToBrowsing();
}

// An empty amount and an empty account are refused whatever the boxes show. The rules for typing
// judge only what was typed: a value shown as read from the voucher (an older file's negative
// tax, a thirteen-digit amount) is written back as it stands, so that it never keeps the voucher
// from being signed off.
bool frmIo::EntriesAreComplete() {
    const bool amountTyped = !ShowsStored(txtCash, shownVoucher_.amount);
    if (txtCash.Text().empty() || amountTyped) {
        if (auto problem = VoucherAmountProblem(txtCash.Text())) {
            messageBox(*problem, MessageCritical, CapitalsTitle);
            return false;
        }
    }
    if (!ShowsStored(txtTax, shownVoucher_.tax) &&
        TypedAmount(txtTax, "稅額", TaxRule, CapitalsTitle).refused())
        return false;
    if (lbAcTxt.Caption().empty()) {
        messageBox("科目不可空白", MessageCritical, CapitalsTitle);
        return false;
    }
    bool datesShown = dateOfLabel(lbHday) && (!AddingVoucher || dateOfLabel(lbInDay));
    if (!datesShown || !IsBookDate(Clock::today())) {
        messageBox(DateRangeMessage, MessageCritical, CapitalsTitle);
        return false;
    }
    return true;
}

// The number the voucher takes is shown once it is stored: a save that fails leaves the entry
// as it was.
bool frmIo::AddNewVoucher() {
    std::optional<std::string> number = AddVoucher(AccDb(), VoucherFromFields());
    if (!number) {
        messageBox(DayFullMessage, MessageCritical, CapitalsTitle);
        return false;
    }
    lbNo.SetCaption(*number);
    return true;
}

// The voucher written is the one whose number the form shows, whatever the form's recordsets
// stand on.
void frmIo::RewriteShownVoucher() {
    WriteKeepingCount([this] {
        if (SignOffPending)
            SignOffByCash(AccDb(), shownVoucher_, VoucherFromFields(), Clock::today());
        else
            WriteVoucher(AccDb(), shownVoucher_, VoucherFromFields());
    });
}

// The voucher is rewritten, the cheque entered and the voucher signed in one transaction, held
// across the cheque form: a cancelled entry keeps the rewrite unsigned, a failure anywhere
// leaves the books as they were and the voucher shown as stored.
bool frmIo::SignOffByCheque() {
    Database& db = AccDb();
    bool entered = false;
    try {
        Transaction transaction(db, TransactionKind::Writes);
        const bool countHeld = BookUnchanged();
        Voucher changed = VoucherFromFields();
        WriteVoucher(db, shownVoucher_, changed);
        entered = ChequeEntered(false);
        if (entered) SetVoucherState(db, changed.number, changed.state, SignedByCheque);
        KeepCountOver(countHeld);
        transaction.Commit();
    } catch (const VoucherSigned&) {
        throw;
    } catch (const UpdateConflict&) {
        throw;
    } catch (...) {
        // The failure is what the user is told; the print table keeps the voucher stored.
        EndEntryOnStoredVoucher();
        throw;
    }
    if (entered) return true;
    messageBox("因您取消票據輸入\r\n所以此收支單並未簽核", MessageExclamation, CapitalsTitle);
    ShowStoredVoucher();
    return false;
}

// The cheque form takes the voucher's number, direction and amount from this form while it
// loads (or the marked vouchers' group for a combined cheque), and clears BillEntryCancelled only
// when it saves: a cheque form that is missing or closes unsaved counts as cancelled.
bool frmIo::ChequeEntered(bool combined) {
    HandOver<bool> forVoucher(BillForVoucher, !combined);
    HandOver<bool> notOneVoucher(ShowOneRecord, false);
    HandOver<bool> combinedCheque(BillForCombinedCheque, combined);
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

// The entry ends first (the sign-off before the list's refresh, which would take it for one
// pending), and the bar stands on the voucher shown, before the print table, which another copy
// may hold, is written. A new voucher is shown on the list opened again, its place and the list's
// end counted in one read of the book.
void frmIo::BackToBrowsing() {
    if (SignOffPending) signedHere_.insert(shownVoucher_.number);
    const bool added = AddingVoucher;
    EndEntry();
    if (added) {
        const std::string number = lbNo.Caption();
        ShowReadInOneRead([&] { return PlaceListFrom(number, 0); });
    } else {
        ShowHeldVoucher();
    }
    RefreshListMode();
    FillPrintTable();
}

// Puts the bar on the place and the end of the list as it stands, without moving the list.
void frmIo::SetBar(int position, int64_t vouchers) {
    barSetByCode_ = true;
    FSB.SetMax(vouchers > 0 ? static_cast<int>(vouchers - 1) : 0);
    FSB.SetValue(position);
    barSetByCode_ = false;
    CurrentPosition = position;
}

// After a save an open search list closes, since the save may have changed what it found; an
// open unsigned list stays as it was.
void frmIo::RefreshListMode() {
    if (Height() != SearchListHeight) return;
    if (VoucherListMode == SearchMode)
        cmdSall_Click();
    else if (VoucherListMode == UnsignedMode)
        cmdNck_Click();
}

void frmIo::cmdNck_Click() {
    VoucherListMode = UnsignedMode;
    if (cmdNck.Caption() == UnsignedClosed)
        ListUnsignedVouchers(false);
    else if (MayLeaveEntry())
        CloseList(cmdNck, UnsignedClosed, FormHeight);
}

// The list is sized from the vouchers read; column 0 keeps the marks it held. False when no
// voucher is unsigned: the form then stays as it was.
bool frmIo::ListUnsignedVouchers(bool quiet) {
    std::vector<std::vector<std::string>> vouchers;
    Recordset rs = AccDb().OpenRecordset(
        "SELECT 單號, 發生日期, 用途說明, 專案名稱, 工程種類, pay, 科目代號, 科目名稱, 金額 "
        "FROM iof WHERE 方式 < 0 AND 方式 > -3 ORDER BY 單號");
    for (; !rs.Eof(); rs.MoveNext())
        vouchers.push_back({rs.Fields("單號").text(), Format(rs.Fields("發生日期"), "ee/mm/dd"),
                            rs.Fields("用途說明").text(), rs.Fields("專案名稱").text(),
                            rs.Fields("工程種類").text(),
                            rs.Fields("pay").boolean() ? "支出" : "收入",
                            "(" + rs.Fields("科目代號").text() + ")" + rs.Fields("科目名稱").text(),
                            AmountText(rs.Fields("金額"))});
    if (vouchers.empty()) {
        if (!quiet) messageBox("無未簽核收支單", MessageExclamation, ApplicationTitle);
        return false;
    }
    SizeForList(UnsignedListHeight, true);
    ckco.SetVisible(true);
    hfg.SetBackColorFixed(cmdNck.BackColor());
    hfg.SetRows(static_cast<int>(vouchers.size()) + 1);
    hfg.SetCols(9);
    hfg.SetFixedCols(3);
    for (int c = 0; c < 9; ++c) {
        hfg.SetColWidth(c, UnsignedColumns[c].width);
        hfg.SetTextMatrix(0, c, UnsignedColumns[c].header);
    }
    for (int r = 1; r <= static_cast<int>(vouchers.size()); ++r) {
        for (int c = 1; c < 9; ++c)
            hfg.SetTextMatrix(r, c, vouchers[r - 1][c - 1]);
        hfg.SetRow(r);
        hfg.SetCol(7);
        hfg.SetCellAlignment(LeftCentre);
    }
    cmdNck.SetCaption(UnsignedOpen);
    return true;
}

void frmIo::cmdSall_Click() {
    VoucherListMode = SearchMode;
    ckco.SetVisible(false);
    cmdco.SetVisible(false);
    ckco.SetValue(0);
    if (cmdSall.Caption() == SearchClosed)
        FullTextSearch();
    else if (MayLeaveEntry())
        CloseList(cmdSall, SearchClosed, SearchClosedHeight);
}

// Every field is matched as its stored text, the search text bound and taken literally but for
// "*" and "?"; a hit shows the stored text that matched.
void frmIo::FullTextSearch() {
    LastSearchText = inputBox("請輸入搜尋文字", ApplicationTitle, LastSearchText);
    if (LastSearchText.empty()) {
        SizeForList(SearchClosedHeight, false);
        return;
    }
    Database& db = AccDb();
    const std::string pattern = likeContains(LastSearchText);
    hfg.Clear();
    hfg.SetBackColorFixed(cmdSall.BackColor());
    hfg.SetFixedCols(1);
    hfg.SetCols(3);
    const int widths[] = {300, 1200, 9000};
    for (int c = 0; c < 3; ++c)
        hfg.SetColWidth(c, widths[c]);
    hfg.SetTextMatrix(0, 1, "收支單號");
    hfg.SetTextMatrix(0, 2, "搜尋結果:  (欄位名稱)  -->   找到字串");
    SizeForList(SearchListHeight, true);
    if (hfg.Rows() < 2) hfg.SetRows(2);
    int r = 1;
    for (const std::string& name : db.FieldNames("iof")) {
        Identifier field = db.Field("iof", name);
        Recordset rs =
            db.OpenRecordset(Sql("SELECT 單號, CAST(") + field + Sql(" AS TEXT) FROM iof WHERE ") +
                                 field + Sql(" LIKE ? ESCAPE '\\'"),
                             pattern);
        for (; !rs.Eof(); rs.MoveNext(), ++r) {
            hfg.SetTextMatrix(r, 1, rs.Fields(0).text());
            hfg.SetTextMatrix(r, 2, "在 (" + name + ") 有  -->    " + rs.Fields(1).text());
            hfg.SetRows(r + 2);
        }
    }
    if (hfg.Rows() > 2) hfg.SetRows(hfg.Rows() - 1);
    // The sort keeps one voucher's rows in field order.
    SortRowsByColumn(hfg, 1, 1);
    if (hfg.TextMatrix(1, 1).empty()) hfg.SetTextMatrix(1, 2, "找不到資料");
    cmdSall.SetCaption(SearchOpen);
}

// The list lies below the entry fields: a shorter form hides it, and Tab then passes it by, as
// it passes every control the user cannot see.
void frmIo::SizeForList(int height, bool listed) {
    SetHeight(height);
    hfg.SetTabStop(listed);
}

// Back to browsing at the newest voucher; a voucher opened from the list is no longer held.
void frmIo::CloseList(CommandButton& button, const char* caption, int height) {
    SizeForList(height, false);
    ckco.SetVisible(false);
    cmdco.SetVisible(false);
    ckco.SetValue(0);
    button.SetCaption(caption);
    ShowOneRecord = false;
    showingOneVoucher_ = false;
    oneVoucherNo_.clear();
    oneVoucherMissing_ = false;
    const bool shown = ShowReadInOneRead([this] { return PlaceListOnNewest(); });
    cmdAdd.SetVisible(true);
    cmdCencel.SetVisible(true);
    FSB.SetVisible(true);
    cmdEdit.SetEnabled(HasRight(RightVoucherEdit));
    cmdPt.SetEnabled(true);
    EndEntry();
    // The form is browsing the newest voucher before the print table, which another copy may
    // hold, is written.
    if (shown) FillPrintTable();
}

// What the list shows replaces the voucher in the form. An entry holding typed input, or a
// sign-off ticked and not saved, is never dropped without the user's word: the user is told to
// save or cancel it first, here in the form that holds it. An entry with nothing typed ends, so
// that no save stays enabled over a voucher it would not store.
bool frmIo::MayLeaveEntry() {
    if (HoldsUnsavedInput()) {
        messageBox(FinishEntryMessage, MessageInformation, ApplicationTitle);
        return false;
    }
    if (lbStat.Caption() != Browsing || SignOffPending || AddingVoucher) EndEntry();
    return true;
}

void frmIo::EndEntry() {
    SetEntryEnabled(false);
    lbStat.SetCaption(Browsing);
    SignOffPending = false;
    AddingVoucher = false;
}

// The row's voucher replaces the one the form held.
void frmIo::hfg_DblClick() {
    const int row = hfg.MouseRow(), col = hfg.MouseCol();
    if (row <= 0 || col <= 0 || row >= hfg.Rows() || hfg.TextMatrix(1, 1).empty()) return;
    if (!MayLeaveEntry()) return;
    OpenVoucherNo = hfg.TextMatrix(row, 1);
    ShowOneRecord = true;
    oneVoucherNo_ = OpenVoucherNo;
    ShowVoucherByNumber();
    FillPrintTable();
}

void frmIo::hfg_MouseDown(int, int, float, float) {
    MarkVoucherForCheque(hfg.MouseRow());
}

// While vouchers are marked for one cheque, Space marks and unmarks the current row as a click
// does; otherwise it opens the row's voucher as Enter does.
void frmIo::hfg_KeyPress(int& KeyAscii) {
    if (KeyAscii != ' ' || !MarkingForCheque()) return;
    MarkVoucherForCheque(hfg.Row());
    KeyAscii = 0;
}

bool frmIo::MarkingForCheque() const {
    return hfg.BackColorFixed() != SearchColour && ckco.Visible() && ckco.Value() == 1;
}

// A new marking starts from a total of 0; clearing the tick keeps the total reached.
void frmIo::ckco_Click() {
    if (ckco.Value() == 1) {
        cmdco.SetVisible(true);
        markedTotal_ = 0;
        return;
    }
    cmdco.SetVisible(false);
    for (int r = 1; r < hfg.Rows(); ++r) {
        hfg.SetTextMatrix(r, 0, "");
        for (int c = 3; c < hfg.Cols(); ++c) {
            hfg.SetRow(r);
            hfg.SetCol(c);
            hfg.SetCellBackColor(Unmarked);
        }
    }
}

void frmIo::MarkVoucherForCheque(int r) {
    if (!MarkingForCheque() || r <= 0 || r >= hfg.Rows()) return;
    if (hfg.TextMatrix(r, 6) == "收入") {
        messageBox("不是支出收支單", MessageExclamation, ApplicationTitle);
        return;
    }
    hfg.SetRow(r);
    hfg.SetCol(3);
    const int64_t amount = AmountOf(hfg.TextMatrix(r, 8));
    const bool marked = hfg.CellBackColor() == Marked;
    // The list keeps the vouchers this copy signed while it was open (by the form's save or by
    // a cheque for a group) until it is opened again: those are paid already.
    const std::optional<int> state = StoredState(hfg.TextMatrix(r, 1));
    if (!marked && state && *state >= SignedByCash) {
        messageBox(SignedForChequeMessage, MessageExclamation, CapitalsTitle);
        return;
    }
    for (int c = 3; c < hfg.Cols(); ++c) {
        hfg.SetCol(c);
        hfg.SetCellBackColor(marked ? Unmarked : Marked);
    }
    hfg.SetCol(3);
    hfg.SetTextMatrix(r, 0, marked ? "" : "*");
    markedTotal_ += marked ? -amount : amount;
}

void frmIo::cmdco_Click() {
    IssueCombinedCheque();
}

// The marked vouchers are checked, the cheque entered and the group written in one transaction,
// so that a voucher is paid once and a cancelled or failed cheque leaves every voucher unsigned.
// A marked voucher that another copy of the program signed off, grouped or changed in amount
// since the list showed it refuses the whole issue before the cheque is asked for, since the
// cheque's amount adds up the amounts shown; the list is then shown as stored.
void frmIo::IssueCombinedCheque() {
    std::vector<GroupMember> members;
    for (int r = 1; r < hfg.Rows(); ++r)
        if (hfg.TextMatrix(r, 0) == "*")
            members.push_back({hfg.TextMatrix(r, 1), AmountOf(hfg.TextMatrix(r, 8))});
    if (members.empty()) {
        messageBox("沒有選取收支單", MessageExclamation, ApplicationTitle);
        return;
    }
    HandOver<std::string> first(CombinedFirstVoucherNo, members.front().number);
    HandOver<int64_t> total(CombinedChequeTotal, markedTotal_);
    Database& db = AccDb();
    bool entered = false;
    bool unchanged = false;
    std::optional<std::string> notPayable;
    try {
        Transaction transaction(db, TransactionKind::Writes);
        const bool countHeld = BookUnchanged();
        notPayable = FirstVoucherNotPayable(db, members);
        unchanged = !notPayable;
        if (unchanged) {
            entered = ChequeEntered(true);
            if (entered) RecordChequeGroup(db, CombinedFirstVoucherNo + GroupMark, members);
            KeepCountOver(countHeld);
            transaction.Commit();
        }
    } catch (const UpdateConflict&) {
        unchanged = false;
    }
    if (unchanged && entered)
        for (const GroupMember& member : members)
            signedHere_.insert(member.number);
    if (!unchanged) {
        // One this form signed off since it was marked is told as marking tells it.
        if (notPayable && SignedHere(*notPayable))
            messageBox(SignedForChequeMessage, MessageExclamation, CapitalsTitle);
        else
            messageBox(UpdateConflict::ChangedMeanwhile, MessageExclamation, ApplicationTitle);
    } else if (!entered) {
        messageBox("因您取消票據輸入\r\n所以此收支單並未簽核", MessageExclamation, CapitalsTitle);
        return;
    }
    ckco.SetValue(0);
    // With none left unsigned the list closes, unless that would drop an entry: then it stays,
    // showing the vouchers now signed, which are not marked again.
    if (!ListUnsignedVouchers(true) && !HoldsUnsavedInput())
        CloseList(cmdNck, UnsignedClosed, FormHeight);
}

// The 方式 stored for the voucher; nullopt when there is none.
std::optional<int> frmIo::StoredState(const std::string& number) const {
    std::optional<Voucher> voucher = ReadVoucher(AccDb(), number);
    if (!voucher) return std::nullopt;
    return voucher->state;
}

// The print table follows the voucher shown; the print writes it again as it reads it.
void frmIo::FillPrintTable() {
    Database& db = PrintDb();
    Transaction transaction(db, TransactionKind::Writes);
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
    row.SetField("金額", AmountText(AmountOf(txtCash.Text())));
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

// What prints is the voucher shown under the title in the box, written and read back in one
// transaction of pt.mdb: the table may hold another voucher, since a move's write failed or
// another copy of the program on the same folder wrote its own since.
void frmIo::PrintReport(const std::string& name) {
    crtp.SetDataFiles(0, PrintDb());
    crtp.SetReportFileName(programFile(name + ".rpt"));
    crtp.PrintFilledBy([this] {
        StoreVoucherTitle();
        FillPrintTable();
    });
}

void frmIo::cmdPt_Click() {
    Pause(1);
    PrintReport("ios");
}

void frmIo::cmdPt_MouseDown(int Button, int, float, float) {
    if (Button != RightButton) return;
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

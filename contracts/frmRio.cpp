#include "contracts/frmRio.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "contracts/ContractEntry.h"
#include "platform/db/Amount.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* Browsing = "瀏覽";
constexpr const char* Adding = "新增中";
constexpr const char* Editing = "修改中";
constexpr Color ReceivableColour = 0xFFC0C0;
constexpr Color PayableColour = 0xC0C0FF;

constexpr int FormWidth = 12000;
constexpr int FieldHeight = 315;
constexpr int CaptionDrop = 30;

constexpr int headerRow(int row) {
    return 240 + row * 390;
}
constexpr FieldRows Rows{headerRow(0), 390, FieldHeight, CaptionDrop};

Placement totalLabel(Label& label, int left, int top, const char* text = nullptr,
                     unsigned look = RightAligned) {
    return {&label, nullptr, left, top, 1000, 285, text, look};
}

// A caption of the totals ends short of the box beside it, so that its last character shows.
Placement totalCaption(Label& label, int left, int top, const char* text) {
    constexpr int CaptionWidth = 915;
    return {&label, nullptr, left, top, CaptionWidth, 285, text, RightAligned};
}

// The signing-date range of the search is written as the short date "yyyy/mm/dd", the Gregorian
// form the results and their workbook read it in.
std::string searchDate(const Date& day) {
    return shortDateText(day.dateOnly());
}

// The stored area code and number are joined by ";", shown joined by "-".
std::string shownTelephone(std::string telephone) {
    std::replace(telephone.begin(), telephone.end(), ';', '-');
    return telephone;
}

void refuseFullDay() {
    messageBox("本日應收付帳款已達 99 筆\n無法再新增", MessageExclamation, ApplicationTitle);
}

}  // namespace

frmRio::frmRio() : Form(FormName) {
    SetCaption("應收付帳款");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetClientSize(FormWidth, FullHeight - TitleBarTwips - FrameTwips);
    LayOut();
    WireEvents();
}

void frmRio::LayOut() {
    const int gridsTop = 2835, additionsTop = 5040, reductionsTop = 6930;
    const int totalsTop = 6800, totalStep = 330;
    const int leftCaption = 4455, leftValue = 5400, rightCaption = 6525, rightValue = 7470;
    applyLayout({
        {&optI, nullptr, 120, 60, 780, 300, "應收"},
        {&optO, nullptr, 960, 60, 780, 300, "應付"},
        {&lbStat, nullptr, 1860, 90, 1000, 255, Browsing, Bold},
        {&FSB, nullptr, 2940, 75, 3600, 270},
        {&cmdAdd, nullptr, 6720, 30, 1000, 345, "新 增"},
        {&cmdEdit, nullptr, 7760, 30, 1000, 345, "修 改"},
        {&cmdDel, nullptr, 8800, 30, 1000, 345, "刪 除"},
        {&cmdSv, nullptr, 9840, 30, 1000, 345, "儲 存"},
        {&cmdCen, nullptr, 10880, 30, 1000, 345, "取 消"},

        {&frme, nullptr, 60, 420, FormWidth - 120, 1800},
        Rows.caption(captions(0), 60, 0, 600, "編號:"),
        Rows.field(lbNo, 660, 0, 1200, ValueField),
        Rows.caption(captions(1), 1920, 0, 900, "合約名稱:"),
        Rows.field(txtNa, 2820, 0, 2700),
        Rows.caption(captions(2), 5580, 0, 700, "簽約日:"),
        Rows.field(lbSin, 6280, 0, 1900, ValueField),
        Rows.field(DTP, 8200, 0, 300),
        Rows.caption(captions(3), 8560, 0, 540, "專案:"),
        Rows.field(lbPj, 9100, 0, 1500, ValueField),
        Rows.field(lbPjNo, 10620, 0, 780, ValueField),
        Rows.field(cmdPj, 11420, 0, 360),

        Rows.caption(Label4, 60, 1, 1100, "客 戶 名 稱:"),
        Rows.field(cbCna, 1180, 1, 2900),
        Rows.caption(captions(4), 4140, 1, 700, "聯絡人:"),
        Rows.field(txtCcnt, 4840, 1, 1300),
        Rows.caption(captions(5), 6200, 1, 540, "電話:"),
        Rows.field(txtCtel, 6740, 1, 1700),
        Rows.caption(captions(6), 8560, 1, 540, "工種:"),
        Rows.field(cbWork, 9100, 1, 2680),

        Rows.caption(captions(7), 60, 2, 900, "銷貨金額:"),
        Rows.field(txtAm, 960, 2, 1300, RightAligned),
        Rows.caption(captions(8), 2320, 2, 540, "稅金:"),
        Rows.field(lbTax, 2860, 2, 1100, ValueField | RightAligned),
        Rows.caption(captions(9), 4020, 2, 540, "佣金:"),
        Rows.field(txtComi, 4560, 2, 1100, RightAligned),
        Rows.caption(captions(10), 5720, 2, 540, "折讓:"),
        Rows.field(txtLet, 6260, 2, 1100, RightAligned),
        Rows.caption(captions(11), 7420, 2, 540, "合計:"),
        Rows.field(txtTal, 7960, 2, 1400, RightAligned),
        Rows.field(chkTax, 9500, 2, 1000),

        Rows.caption(captions(12), 60, 3, 900, "報價單號:"),
        Rows.field(txtQno, 960, 3, 1500),
        Rows.caption(captions(13), 2520, 3, 900, "合約單號:"),
        Rows.field(txtCno, 3420, 3, 1500),
        Rows.caption(captions(14), 4980, 3, 540, "備註:"),
        Rows.field(txtPs, 5520, 3, 6260),
        // The compact view of a contract being added ends below this button.
        {&cmdAll, nullptr, 60, 2220, FormWidth - 120, 285, "▼"},

        {&schedules.gridCaptions(0), nullptr, 60, 2560, 600, 255, "期數:"},
        {&schedules.lb(0), nullptr, 700, 2560, 700, 255, nullptr, Bold},
        {&schedules.cmdAc, nullptr, 1500, 2510, 900, 300, "增期數"},
        {&schedules.cmdEc, nullptr, 2460, 2510, 700, 300, "修改"},
        {&schedules.cmdAcSv, nullptr, 3220, 2510, 700, 300, "儲存"},
        {&schedules.lb1(0), nullptr, 6480, 2560, 700, 255, nullptr, Bold},
        {&schedules.hfg, nullptr, 0, gridsTop, 6015, 1905},
        {&schedules.hfg1, nullptr, 6480, gridsTop, 5430, 1905},

        {&schedules.gridCaptions(1), nullptr, 60, 4780, 600, 255, "追加:"},
        {&schedules.lb(1), nullptr, 700, 4780, 700, 255, nullptr, Bold},
        {&schedules.cmdAM, nullptr, 1500, 4750, 900, 285, "增追加"},
        {&schedules.cmdEa, nullptr, 2460, 4750, 700, 285, "修改"},
        {&schedules.cmdAmSv, nullptr, 3220, 4750, 700, 285, "儲存"},
        {&schedules.lb1(1), nullptr, 6615, 4780, 700, 255, nullptr, Bold},
        {&schedules.HfgAM, nullptr, 0, additionsTop, 6240, 1635},
        {&schedules.hfgAm1, nullptr, 6615, additionsTop, 5295, 1635},

        {&schedules.gridCaptions(2), nullptr, 60, 6690, 600, 240, "追減:"},
        {&schedules.cmdM, nullptr, 1500, 6680, 900, 250, "增追減"},
        {&schedules.cmdEm, nullptr, 2460, 6680, 700, 250, "修改"},
        {&schedules.cmdMsv, nullptr, 3220, 6680, 700, 250, "儲存"},
        {&schedules.hfgM, nullptr, 0, reductionsTop, 3990, 1335},

        totalCaption(totalCaptions(0), leftCaption, totalsTop, "簽約金額："),
        totalLabel(lbCC, leftValue, totalsTop, nullptr, ValueField | RightAligned),
        totalCaption(totalCaptions(3), rightCaption, totalsTop, "合計金額："),
        totalLabel(lbTAC, rightValue, totalsTop, nullptr, ValueField | RightAligned),
        totalCaption(totalCaptions(1), leftCaption, totalsTop + totalStep, "追加金額："),
        totalLabel(lbAC, leftValue, totalsTop + totalStep, nullptr, ValueField | RightAligned),
        totalCaption(lbdb, rightCaption, totalsTop + totalStep, "未收金額："),
        totalLabel(lbBC, rightValue, totalsTop + totalStep, nullptr, ValueField | RightAligned),
        totalCaption(totalCaptions(2), leftCaption, totalsTop + 2 * totalStep, "追減金額："),
        totalLabel(lbMC, leftValue, totalsTop + 2 * totalStep, nullptr, ValueField | RightAligned),
        totalLabel(lbBCP, rightValue, totalsTop + 2 * totalStep),
        totalCaption(lbFn, leftCaption, totalsTop + 3 * totalStep, "未收折讓"),
        {&txtfnLet, nullptr, leftValue, totalsTop + 3 * totalStep, 1000, 285, nullptr,
         RightAligned},
        totalCaption(lbda, rightCaption, totalsTop + 3 * totalStep, "已收金額："),
        totalLabel(lbACC, rightValue, totalsTop + 3 * totalStep, nullptr,
                   ValueField | RightAligned),
        totalLabel(lbACP, rightValue, totalsTop + 4 * totalStep),

        {&fmeSer, nullptr, 8640, 6760, 3300, 1500, "查詢"},
        {&optIser, &fmeSer, 120, 270, 700, 270, "應收"},
        {&optOser, &fmeSer, 900, 270, 700, 270, "應付"},
        {&cmdSer, &fmeSer, 1860, 225, 1320, 345, "開始查詢"},
        {&cbSer, &fmeSer, 120, 660, 3060, 300},
        {&txtSer, &fmeSer, 120, 1080, 3060, 300},
        {&lbSerS, &fmeSer, 120, 1080, 1150, 285, nullptr, ValueField},
        {&dtpSerS, &fmeSer, 1270, 1080, 270, 285},
        {&lbse6, &fmeSer, 1560, 1110, 240, 255, "～", Centred},
        {&lbSerE, &fmeSer, 1800, 1080, 1150, 285, nullptr, ValueField},
        {&dtpSerE, &fmeSer, 2950, 1080, 270, 285},
        // A picker over a date cell keeps this width, its right edge on the cell's.
        {&schedules.dtpi, nullptr, 0, 0, 1440, 285},
        {&schedules.dtpA, nullptr, 0, 0, 1440, 285},
    });
    for (Control* control : std::initializer_list<Control*>{
             &captions(0),  &captions(1),  &captions(2),  &captions(3),  &captions(4),
             &captions(5),  &captions(6),  &captions(7),  &captions(8),  &captions(9),
             &captions(10), &captions(11), &captions(12), &captions(13), &captions(14),
             &Label4,       &lbNo,         &txtNa,        &lbSin,        &DTP,
             &lbPj,         &lbPjNo,       &cmdPj,        &cbCna,        &txtCcnt,
             &txtCtel,      &cbWork,       &txtAm,        &lbTax,        &txtComi,
             &txtLet,       &txtTal,       &chkTax,       &txtQno,       &txtCno,
             &txtPs})
        control->SetContainer(&frme);
    // The captions inside the header frame show the frame's colour of the kind.
    captions.forEach([](Label& label) { label.SetBackStyle(0); });
    Label4.SetBackStyle(0);
    chkTax.SetCaption("無發票");
    cmdPj.SetCaption("...");
    cmdPj.SetToolTipText("取得專案");
    cbSer.SetStyle(2);
    optIser.SetValue(true);
    cmdAll.SetVisible(false);
    for (Control* control : std::initializer_list<Control*>{&cmdSv, &cmdCen, &cmdPj, &frme})
        control->SetEnabled(false);
    txtfnLet.SetEnabled(false);
    optI.SetValue(true);
    ApplyKindLook(true);
    ApplyKindHeadings(true);
}

void frmRio::WireEvents() {
    optI.Click = [this] { optI_Click(); };
    optO.Click = [this] { optO_Click(); };
    FSB.Change = [this] {
        if (!resettingNavigator_) FSB_Change();
    };
    cmdAdd.Click = [this] { cmdAdd_Click(); };
    cmdEdit.Click = [this] { cmdEdit_Click(); };
    cmdDel.Click = [this] { cmdDel_Click(); };
    cmdSv.Click = [this] { SaveContractHeader(); };
    cmdCen.Click = [this] { cmdCen_Click(); };
    cmdAll.Click = [this] { cmdAll_Click(); };
    cmdPj.Click = [this] { TakeProject(); };
    cbCna.Click = [this] { cbCna_Click(); };
    // A pick of the date the picker already shows is the user's choice too.
    PickIntoLabel(DTP, lbSin);
    dtpSerS.Picked = [this] { dtpSerS_Change(); };
    dtpSerE.Picked = [this] { dtpSerE_Change(); };
    optIser.Click = [this] { FillSearchKinds(true); };
    optOser.Click = [this] { FillSearchKinds(false); };
    cbSer.Click = [this] { cbSer_Click(); };
    cmdSer.Click = [this] { cmdSer_Click(); };
    txtAm.GotFocus = [this] { txtAm_GotFocus(); };
    txtAm.KeyPress = [this](int& key) { txtAm_KeyPress(key); };
    txtAm.Change = [this] { txtAm_Change(); };
    txtComi.GotFocus = [this] { txtComi_GotFocus(); };
    txtComi.KeyPress = [this](int& key) { txtComi_KeyPress(key); };
    txtComi.Change = [this] { txtComi_Change(); };
    txtLet.GotFocus = [this] { txtLet_GotFocus(); };
    txtLet.KeyPress = [this](int& key) { txtLet_KeyPress(key); };
    txtLet.Change = [this] { txtLet_Change(); };
    txtTal.GotFocus = [this] { txtTal_GotFocus(); };
    txtTal.KeyPress = [this](int& key) { txtTal_KeyPress(key); };
    txtTal.Change = [this] { txtTal_Change(); };
    txtTal.Validate = [this](bool& cancel) { txtTal_Validate(cancel); };
    txtfnLet.KeyPress = [this](int& key) { txtfnLet_KeyPress(key); };
    txtfnLet.Change = [this] { txtfnLet_Change(); };
    txtSer.KeyPress = [this](int& key) { txtSer_KeyPress(key); };
}

// ---- Amount boxes ----

namespace {

// A rewritten box would leave the caret where the typing stood; it goes behind the last character.
void caretToFocusedEnd(const Form& form) {
    if (auto* box = dynamic_cast<TextBox*>(form.ActiveControl())) box->CaretToEnd();
}

}  // namespace

void frmRio::txtAm_GotFocus() {
    LastAmountBox = "txtAm";
}

void frmRio::txtAm_KeyPress(int& keyAscii) {
    AmountKeyFilter(keyAscii);
}

void frmRio::txtAm_Change() {
    RecalcContractAmounts();
    caretToFocusedEnd(*this);
}

void frmRio::txtComi_GotFocus() {
    LastAmountBox = "txtComi";
}

void frmRio::txtComi_KeyPress(int& keyAscii) {
    AmountKeyFilter(keyAscii);
}

// The commission counts at the next change of the amount, the discount or the total.
void frmRio::txtComi_Change() {
    LiveThousandsFormat(txtComi);
}

void frmRio::txtLet_GotFocus() {
    LastAmountBox = "txtLet";
}

void frmRio::txtLet_KeyPress(int& keyAscii) {
    AmountKeyFilter(keyAscii);
}

void frmRio::txtLet_Change() {
    RecalcContractAmounts();
    caretToFocusedEnd(*this);
}

void frmRio::txtTal_GotFocus() {
    LastAmountBox = "txtTal";
}

void frmRio::txtTal_KeyPress(int& keyAscii) {
    AmountKeyFilter(keyAscii);
}

void frmRio::txtTal_Change() {
    RecalcContractAmounts();
    caretToFocusedEnd(*this);
}

void frmRio::txtTal_Validate(bool&) {
    txtTal.SetText(GroupedAmountText(txtTal.Text()));
}

void frmRio::txtfnLet_KeyPress(int& keyAscii) {
    AmountKeyFilter(keyAscii);
}

void frmRio::txtfnLet_Change() {
    LiveThousandsFormat(txtfnLet);
    ComputeContractTotals();
}

void frmRio::txtSer_KeyPress(int& keyAscii) {
    if (keyAscii == Key::Enter) cmdSer_Click();
}

// 合計 = 銷貨金額 + 稅金 - 佣金 - 折讓, the tax 5 % of the amount; the box the user last entered
// decides which side follows. Each write raises that box's Change, which runs this again with the
// same box and writes the same texts; an unchanged text raises nothing, so the chain ends.
void frmRio::RecalcContractAmounts() {
    const std::optional<int64_t> amount = TypedValue(txtAm.Text()),
                                 tax = TypedValue(lbTax.Caption()),
                                 commission = TypedValue(txtComi.Text()),
                                 discount = TypedValue(txtLet.Text()),
                                 total = TypedValue(txtTal.Text());
    const bool computable = amount && tax && commission && discount && total;
    auto totalOfParts = [&] {
        return *TypedValue(lbTax.Caption()) + *amount - *commission - *discount;
    };
    if (LastAmountBox == "txtAm") {
        if (!txtAm.Text().empty() && computable) {
            lbTax.SetCaption(AmountText(FivePercentTax(*amount)));
            txtTal.SetText(AmountText(totalOfParts()));
        }
        txtAm.SetText(GroupedAmountText(txtAm.Text()));
    } else if (LastAmountBox == "txtLet") {
        if (computable) txtTal.SetText(AmountText(totalOfParts()));
        txtLet.SetText(GroupedAmountText(txtLet.Text()));
    } else if (LastAmountBox == "txtTal") {
        if (computable) {
            const int64_t net = NetOfFivePercentTax(*total + *commission + *discount);
            txtAm.SetText(AmountText(net));
            lbTax.SetCaption(AmountText(FivePercentTax(net)));
        }
        txtTal.SetText(GroupedAmountText(txtTal.Text()));
    }
}

// ---- Opening, navigation and modes ----

void frmRio::Form_Load() {
    SetTop(0);
    SetLeft(0);
    for (DatePicker* picker : {&DTP, &schedules.dtpi, &schedules.dtpA})
        picker->SetValue(Clock::today());
    FillCustomerList();
    SetCompactView(false);
    ResetNavigator();
    schedules.LayoutContractGrids();
    FillSearchKinds(true);
    if (!OpenContractMode) {
        MoveToLastContract();
        return;
    }
    if (OpenContractIsReceivable)
        optI.SetValue(true);
    else
        optO.SetValue(true);
    LastAmountBox.clear();
    lbNo.SetCaption(OpenContractNo);
    for (Control* control : std::initializer_list<Control*>{&FSB, &cmdAdd, &cmdEdit, &cmdDel,
                                                            &cmdCen, &cmdSv, &fmeSer})
        control->SetVisible(false);
    ShowStoredHeaderAndGrids();
}

void frmRio::Form_Resize() {
    SetTop(0);
    SetLeft((screenWidth() - Width()) / 2);
}

// Unsaved grid edits are dropped without a question.
void frmRio::Form_Unload(int&) {
    schedules.StopEditing();
    ContractIds.clear();
}

bool frmRio::HoldsUnsavedInput() const {
    return lbStat.Caption() != Browsing || schedules.Editing();
}

// The search shows another contract: it waits while the header is being added or edited.
void frmRio::LstNob(bool browsing) {
    for (Control* control : std::initializer_list<Control*>{&cmdAdd, &cmdEdit, &cmdDel, &fmeSer})
        control->SetEnabled(browsing);
    for (Control* control : std::initializer_list<Control*>{&cmdSv, &cmdCen, &cmdPj, &frme})
        control->SetEnabled(!browsing);
}

void frmRio::SetCompactView(bool compact) {
    SetHeight(compact ? CompactHeight : FullHeight);
    cmdAll.SetVisible(compact);
    SetTop(0);
    SetLeft((screenWidth() - Width()) / 2);
}

// The navigator's range is set without showing anything: the caller shows the contract it wants.
void frmRio::ResetNavigator() {
    ContractIds = ContractNumbers(Receivable());
    resettingNavigator_ = true;
    FSB.SetMax(std::max(0, static_cast<int>(ContractIds.size()) - 1));
    resettingNavigator_ = false;
    NavigatorPosition = FSB.Value();
}

// Shows the last contract of the kind as a move of the scroll bar to its end does, also when the
// bar already stands there; with no contract the form is empty.
void frmRio::MoveToLastContract() {
    if (FSB.Value() == FSB.Max())
        FSB_Change();
    else
        FSB.SetValue(FSB.Max());
}

// A refused save of pending edits puts the scroll bar back on the contract they belong to.
void frmRio::FSB_Change() {
    if (!schedules.PromptSavePendingGrids()) {
        resettingNavigator_ = true;
        FSB.SetValue(NavigatorPosition);
        resettingNavigator_ = false;
        return;
    }
    ClearContractHeader();
    NavigatorPosition = FSB.Value();
    if (NavigatorPosition < static_cast<int>(ContractIds.size()))
        lbNo.SetCaption(ContractIds[NavigatorPosition]);
    ShowStoredHeaderAndGrids();
}

void frmRio::ShowContractHeader() {
    LastAmountBox.clear();
    if (lbNo.Caption().empty() && !ContractIds.empty()) {
        MoveToLastContract();
        return;
    }
    FillStoredHeader();
}

// The stored header of lbNo and its schedules, read as one state of the file: a schedule another
// copy rewrites meanwhile is shown as it was or as it is, never as rows gone half-way.
void frmRio::ShowStoredHeaderAndGrids() {
    Transaction reading(AccDb(), TransactionKind::Reads);
    FillStoredHeader();
    ClearContractGrids();
    LoadGrids(Receivable(), lbNo.Caption());
    reading.Commit();
}

// The stored header of the number in lbNo; a number not stored leaves an empty header. The header
// kept for the save's check is the one shown.
void frmRio::FillStoredHeader() {
    Database& db = AccDb();
    Transaction reading(db, TransactionKind::Reads);
    ShowHeaderRow(
        db.OpenRecordset("SELECT * FROM " + db.Table(ContractTable(Receivable())) + " WHERE id = ?",
                         lbNo.Caption()));
    shownHeader_ =
        ShownRows(db, "SELECT * FROM " + db.Table(ContractTable(Receivable())) + " WHERE id = ?",
                  {lbNo.Caption()});
    reading.Commit();
}

void frmRio::ShowHeaderRow(Recordset rs) {
    LastAmountBox.clear();
    if (lbNo.Caption().empty() || rs.Eof()) {
        ClearContractHeader();
        return;
    }
    lbNo.SetCaption(rs.Fields("id").text());
    txtNa.SetText(rs.Fields("收名稱").text());
    Value signedOn = rs.Fields("簽約日");
    ShowDate(lbSin, signedOn);
    cbCna.SetText(rs.Fields("客戶名").text());
    txtCcnt.SetText(rs.Fields("聯絡人").text());
    txtCtel.SetText(rs.Fields("電話").text());
    txtAm.SetText(rs.Fields("銷貨金額").text());
    lbTax.SetCaption(rs.Fields("稅金").text());
    txtComi.SetText(rs.Fields("佣金").text());
    txtTal.SetText(rs.Fields("合計").text());
    txtPs.SetText(rs.Fields("備註").text());
    txtQno.SetText(rs.Fields("報價單號").text());
    txtCno.SetText(rs.Fields("合約單號").text());
    txtLet.SetText(rs.Fields("Let").text());
    lbPj.SetCaption(rs.Fields("專名").text());
    lbPjNo.SetCaption(rs.Fields("專id").text());
    cbWork.SetText(rs.Fields("w").text());
    txtfnLet.SetText(rs.Fields("fnLet").text());
    chkTax.SetValue(rs.Fields("無發票").boolean() ? 1 : 0);
    txtfnLet.SetEnabled(false);
    RememberShownAmounts(&rs);
}

void frmRio::cmdAdd_Click() {
    std::optional<std::string> number = NextContractNumber(Receivable());
    if (!number) {
        refuseFullDay();
        return;
    }
    lbStat.SetCaption(Adding);
    LstNob(false);
    SetCompactView(true);
    ClearContractHeader();
    txtfnLet.SetEnabled(false);
    ClearContractGrids();
    lbNo.SetCaption(*number);
    AddingContract = true;
    optI.SetEnabled(false);
    optO.SetEnabled(false);
    FSB.SetVisible(false);
    StartTypingAtTheName();
}

void frmRio::cmdEdit_Click() {
    lbStat.SetCaption(Editing);
    LstNob(false);
    SetCompactView(false);
    AddingContract = false;
    optI.SetEnabled(false);
    optO.SetEnabled(false);
    txtfnLet.SetEnabled(true);
    FSB.SetVisible(false);
    StartTypingAtTheName();
}

// The button pressed is disabled by the entry it starts; the keyboard goes to the contract's
// name, not on to 儲存, where one more key would save what is not typed yet.
void frmRio::StartTypingAtTheName() {
    txtNa.SetFocus();
}

void frmRio::cmdCen_Click() {
    lbStat.SetCaption(Browsing);
    FSB.SetVisible(true);
    optI.SetEnabled(true);
    optO.SetEnabled(true);
    LstNob(true);
    SetCompactView(false);
    txtfnLet.SetEnabled(false);
    if (AddingContract)
        MoveToLastContract();
    else
        ShowContractHeader();
    AddingContract = false;
}

void frmRio::cmdAll_Click() {
    if (lbStat.Caption() == Browsing) return;
    if (messageBox("是否儲存?", MessageYesNoCancel, ApplicationTitle) == AnswerYes) {
        SaveContractHeader();
        SetCompactView(false);
    } else {
        cmdCen_Click();
    }
}

void frmRio::cbCna_Click() {
    std::string contact, telephone;
    if (!LookUpCounterparty(contact, telephone)) return;
    txtCcnt.SetText(contact);
    txtCtel.SetText(telephone);
}

// The contact and telephone of the counterparty named in cbCna; false when it is not listed.
bool frmRio::LookUpCounterparty(std::string& contact, std::string& telephone) {
    Recordset rs = Receivable()
                       ? PeopleDb().OpenRecordset(
                             "SELECT 連絡人, 電話1 FROM 客戶 WHERE 客戶名稱 = ?", cbCna.Text())
                       : PeopleDb().OpenRecordset(
                             "SELECT 連絡人, 電話1 FROM 廠商 WHERE 廠商名稱 = ?", cbCna.Text());
    if (rs.Eof()) return false;
    contact = rs.Fields("連絡人").text();
    telephone = shownTelephone(rs.Fields("電話1").text());
    return true;
}

void frmRio::dtpSerS_Change() {
    lbSerS.SetCaption(searchDate(dtpSerS.Value()));
}

void frmRio::dtpSerE_Change() {
    lbSerE.SetCaption(searchDate(dtpSerE.Value()));
}

// ---- The receivable and payable switch ----

void frmRio::optI_Click() {
    SwitchKind(true);
}

void frmRio::optO_Click() {
    SwitchKind(false);
}

void frmRio::ApplyKindLook(bool receivable) {
    const Color fixed = receivable ? ReceivableColour : PayableColour;
    schedules.SetFixedColour(fixed);
    frme.SetBackColor(fixed);
    Label4.SetCaption(receivable ? "客 戶 名 稱:" : "廠 商 名 稱:");
    lbFn.SetCaption(receivable ? "未收折讓" : "未付折讓");
}

void frmRio::ApplyKindHeadings(bool receivable) {
    schedules.ApplyKindHeadings(receivable);
    lbdb.SetCaption(receivable ? "未收金額：" : "未付金額：");
    lbda.SetCaption(receivable ? "已收金額：" : "已付金額：");
}

// The whole form turns to the other kind and shows its last contract.
void frmRio::SwitchKind(bool receivable) {
    if (restoringKind_) return;
    if (!schedules.PromptSavePendingGrids()) {
        RestoreShownKind();
        return;
    }
    shownReceivable_ = receivable;
    ApplyKindLook(receivable);
    if (receivable)
        FillCustomerList();
    else
        FillVendorList();
    ApplyKindHeadings(receivable);
    ClearContractGrids();
    ResetNavigator();
    MoveToLastContract();
}

// A refused save stops the change of kind: the option of the kind shown is chosen again, without
// its click, and the edits stay on their contract.
void frmRio::RestoreShownKind() {
    restoringKind_ = true;
    (shownReceivable_ ? optI : optO).SetValue(true);
    restoringKind_ = false;
}

// A customer without a name could not be chosen from the list: it is left out.
void frmRio::FillCustomerList() {
    cbCna.Clear();
    for (Recordset rs = PeopleDb().OpenRecordset(
             "SELECT 客戶名稱 FROM 客戶 WHERE 客戶名稱 IS NOT NULL ORDER BY 客戶編號");
         !rs.Eof(); rs.MoveNext())
        cbCna.AddItem(rs.Fields("客戶名稱").text());
}

void frmRio::FillVendorList() {
    cbCna.Clear();
    for (Recordset rs = PeopleDb().OpenRecordset(
             "SELECT 廠商名稱 FROM 廠商 WHERE 廠商名稱 IS NOT NULL ORDER BY 廠商編號");
         !rs.Eof(); rs.MoveNext())
        cbCna.AddItem(rs.Fields("廠商名稱").text());
}

// ---- Saving, deleting and taking a project ----

void frmRio::SaveContractHeader() {
    if (lbSin.Caption().empty()) {
        messageBox("請填入簽約日期", MessageExclamation, ApplicationTitle);
        return;
    }
    if (!HeaderAmountsAreAmounts()) return;
    const bool receivable = Receivable();
    const bool adding = AddingContract;
    std::string number = lbNo.Caption();
    bool totalChanged = false;
    std::vector<PlanRow> instalments;
    if (!adding) {
        std::optional<std::string> storedTotal = StoredTotal(number);
        if (!storedTotal) {
            messageBox(ContractMissing, MessageExclamation, ApplicationTitle);
            return;
        }
        totalChanged = AmountOf(*storedTotal) != AmountOf(txtTal.Text());
        if (totalChanged && !schedules.RescaledInstalments(instalments, AmountOf(txtTal.Text())))
            return;
    }
    bool stored = false;
    if (!SaveUnlessChanged(
            [&] { stored = StoreHeader(adding, number, totalChanged, instalments); })) {
        ShowStoredContract(totalChanged);
        return;
    }
    if (!stored) {
        refuseFullDay();
        return;
    }
    lbNo.SetCaption(number);
    if (totalChanged) schedules.ShowRescaledShares(instalments);
    BackToBrowsing();
    if (totalChanged)
        messageBox("因您修改了總價,所以應收付期數的佔總價比例已變更", MessageExclamation,
                   ApplicationTitle);
    if (receivable)
        optI_Click();
    else
        optO_Click();
}

// Each amount box typed into holds an amount or nothing; the first that holds another text is
// refused, named by its caption, and takes the focus. A box nobody typed into (an older file's
// negative commission) keeps its stored value.
bool frmRio::HeaderAmountsAreAmounts() {
    struct Box {
        TextBox* box;
        std::string field;
        AmountRule rule;
    };
    const Box boxes[] = {{&txtAm, "銷貨金額", ContractAmountRule},
                         {&txtComi, "佣金", ContractAmountRule},
                         {&txtLet, "折讓", ContractAmountRule},
                         {&txtTal, "合計", ContractTotalRule},
                         {&txtfnLet, lbFn.Caption(), ContractAmountRule}};
    for (const Box& b : boxes)
        if (AmountTyped(*b.box) && TypedAmount(*b.box, b.field, b.rule).refused()) return false;
    return true;
}

// The stored total of the contract, or nullopt when no contract of the kind has the number.
std::optional<std::string> frmRio::StoredTotal(const std::string& number) {
    Database& db = AccDb();
    Recordset rs = db.OpenRecordset(
        "SELECT 合計 FROM " + db.Table(ContractTable(Receivable())) + " WHERE id = ?", number);
    if (rs.Eof()) return std::nullopt;
    return rs.Fields("合計").text();
}

// The header, and the instalments whose shares a new total changed, are stored together, and an
// edit only while both are still as shown. A new contract takes its number under the write lock
// that stores it, so that two copies of the program never take one number; false, nothing
// stored, when the day's numbers are used up.
bool frmRio::StoreHeader(bool adding, std::string& number, bool totalChanged,
                         const std::vector<PlanRow>& instalments) {
    const bool receivable = Receivable();
    Database& db = AccDb();
    Transaction transaction(db, TransactionKind::Writes);
    if (adding) {
        std::optional<std::string> next = NextContractNumber(receivable);
        if (!next) return false;
        number = *next;
    } else {
        shownHeader_.CheckUnchanged(db);
        if (totalChanged) schedules.CheckInstalmentsUnchanged(db);
    }
    // The recordset holds this number's contract alone: a new one is added without reading the
    // keys of every other.
    Recordset row = db.OpenRecordset(
        "SELECT * FROM " + db.Table(ContractTable(receivable)) + " WHERE id = ?", number);
    if (adding)
        row.AddNew();
    else
        row.Edit();
    row.SetField("id", number);
    row.SetField("收名稱", txtNa.Text());
    row.SetField("簽約日", DateOrNull(lbSin.Caption()));
    row.SetField("客戶名", cbCna.Text());
    row.SetField("聯絡人", txtCcnt.Text());
    row.SetField("電話", txtCtel.Text());
    row.SetField("銷貨金額", AmountToStore(txtAm));
    row.SetField("稅金", adding && lbTax.Caption().empty() ? "0" : lbTax.Caption());
    row.SetField("佣金", AmountToStore(txtComi));
    row.SetField("合計", AmountToStore(txtTal, ContractTotalRule));
    row.SetField("備註", txtPs.Text());
    row.SetField("報價單號", txtQno.Text());
    row.SetField("合約單號", txtCno.Text());
    row.SetField("專名", lbPj.Caption());
    row.SetField("專id", lbPjNo.Caption());
    row.SetField("w", cbWork.Text());
    row.SetField("fnLet", AmountToStore(txtfnLet));
    row.SetField("無發票", chkTax.Value() == 1);
    row.SetField("Let", AmountToStore(txtLet));
    row.Update();
    if (totalChanged) ReplaceSchedule(receivable, Schedule::Instalments, number, instalments);
    transaction.Commit();
    return true;
}

// Another copy changed the contract meanwhile: browsing, showing its header as stored, and its
// instalments too when the save would have rewritten them.
void frmRio::ShowStoredContract(bool withInstalments) {
    BackToBrowsing();
    FillStoredHeader();
    if (withInstalments) schedules.ShowStoredSchedule(Schedule::Instalments);
}

void frmRio::BackToBrowsing() {
    lbStat.SetCaption(Browsing);
    FSB.SetVisible(true);
    optI.SetEnabled(true);
    optO.SetEnabled(true);
    txtfnLet.SetEnabled(false);
    LstNob(true);
    SetCompactView(false);
    AddingContract = false;
}

void frmRio::cmdDel_Click() {
    if (messageBox("確定刪除此應收付帳款?\n如果選取是,會將此應收付帳款全部資料刪除",
                   MessageYesNoCancel, ApplicationTitle) != AnswerYes)
        return;
    DeleteContract(Receivable(), lbNo.Caption());
    ShowStoredHeaderAndGrids();
}

void frmRio::TakeProject() {
    Forms::showByName("frmGtPj", Modal);
    const int r = PickedProjectRow;
    if (r <= 0) return;
    // The picker stays loaded after a pick, so that its row can be read.
    const Grid& picked = Forms::control<Grid>("frmGtPj", "hfg");
    if (r >= picked.Rows()) return;
    auto column = [&](int col) { return picked.TextMatrix(r, col); };
    const int64_t total = AmountOf(column(4));
    lbPj.SetCaption(column(2));
    if (txtNa.Text().empty()) txtNa.SetText(lbPj.Caption());
    lbPjNo.SetCaption(column(1));
    if (lbSin.Caption().empty()) lbSin.SetCaption(column(5));
    if (Receivable()) {
        if (cbCna.Text().empty()) cbCna.SetText(column(3));
        std::string contact, telephone;
        if (LookUpCounterparty(contact, telephone)) {
            if (txtCcnt.Text().empty()) txtCcnt.SetText(contact);
            if (txtCtel.Text().empty()) txtCtel.SetText(telephone);
        }
        LastAmountBox.clear();
        // The tax is what the amount leaves of the total, so that the two always add up to it.
        const int64_t amount = NetOfFivePercentTax(total);
        txtAm.SetText(AmountText(amount));
        lbTax.SetCaption(AmountText(total - amount));
        txtTal.SetText(column(4));
        txtPs.SetText("");
    }
    FillWorkTypes();
}

void frmRio::FillWorkTypes() {
    cbWork.Clear();
    for (Recordset rs = AccDb().OpenRecordset("SELECT w FROM w4pj WHERE pj_id = ? ORDER BY rowid",
                                              lbPjNo.Caption());
         !rs.Eof(); rs.MoveNext())
        cbWork.AddItem(rs.Fields("w").text());
}

// ---- Clearing and loading ----

void frmRio::ClearContractGrids() {
    schedules.ClearContractGrids();
    for (Label* label : {&lbCC, &lbAC, &lbMC, &lbTAC, &lbBC, &lbBCP, &lbACC, &lbACP})
        label->SetCaption("");
}

void frmRio::ClearContractHeader() {
    LastAmountBox.clear();
    lbNo.SetCaption("");
    txtNa.SetText("");
    lbSin.SetCaption("");
    cbCna.SetText("");
    for (TextBox* box : {&txtCcnt, &txtCtel, &txtAm})
        box->SetText("");
    lbTax.SetCaption("");
    for (TextBox* box : {&txtComi, &txtTal, &txtLet, &txtPs, &txtQno, &txtCno})
        box->SetText("");
    lbPj.SetCaption("");
    lbPjNo.SetCaption("");
    cbWork.SetText("");
    txtfnLet.SetText("");
    RememberShownAmounts(nullptr);
}

// ---- What was typed into the amount boxes ----

// What each amount box shows now the header was filled, and the value stored behind it: read from
// `stored`, or empty text for a header emptied (an empty box is stored so).
void frmRio::RememberShownAmounts(const Recordset* stored) {
    const std::pair<TextBox*, const char*> boxes[] = {{&txtAm, "銷貨金額"},
                                                      {&txtComi, "佣金"},
                                                      {&txtLet, "Let"},
                                                      {&txtTal, "合計"},
                                                      {&txtfnLet, "fnLet"}};
    shownAmounts_.clear();
    for (const auto& [box, field] : boxes)
        shownAmounts_[box] = {box->Text(), stored ? stored->Fields(field) : Value("")};
}

// A box still showing what the header was filled with holds nothing typed.
bool frmRio::AmountTyped(const TextBox& box) const {
    auto shown = shownAmounts_.find(&box);
    return shown == shownAmounts_.end() || box.Text() != shown->second.first;
}

// A typed amount is stored as the save reads it; one nobody typed as it is stored, as it stands.
Value frmRio::AmountToStore(const TextBox& box, AmountRule rule) const {
    if (AmountTyped(box)) return StoredAmount(box.Text(), rule);
    return shownAmounts_.at(&box).second;
}

void frmRio::LoadReceivableGrids(const std::string& id) {
    LoadGrids(true, id);
}

void frmRio::LoadPayableGrids(const std::string& id) {
    LoadGrids(false, id);
}

void frmRio::LoadGrids(bool receivable, const std::string& id) {
    schedules.LoadSchedules(receivable, id);
    ComputeContractTotals();
}

// ---- Totals ----

void frmRio::ComputeContractTotals() {
    lbCC.SetCaption(txtTal.Text());
    const auto [additions, reductions, received] = schedules.Totals();
    lbAC.SetCaption(AmountText(additions));
    lbMC.SetCaption(AmountText(reductions));
    const int64_t grandTotal =
        AmountOf(txtTal.Text()) + additions - reductions - AmountOf(txtfnLet.Text());
    lbTAC.SetCaption(AmountText(grandTotal));
    const int64_t balance = grandTotal - received;
    lbBC.SetCaption(AmountText(balance));
    lbACC.SetCaption(AmountText(received));
    if (grandTotal == 0) return;
    lbACP.SetCaption(ShareText(ShareOf(received, grandTotal)));
    lbBCP.SetCaption(ShareText(ShareOf(balance, grandTotal)));
}

// Clearing the grids lays them out afresh, for the side shown now.
void frmRio::ReloadContractGrids() {
    ClearContractGrids();
    if (Receivable())
        LoadReceivableGrids(lbNo.Caption());
    else
        LoadPayableGrids(lbNo.Caption());
    ComputeContractTotals();
}

// ---- The contract search ----

void frmRio::FillSearchKinds(bool receivable) {
    static const char* const receivableKinds[] = {"可收未收帳款",     "應收未收帳款",
                                                  "應收帳款未送帳單", "應收帳款已送帳單",
                                                  "應收帳款全文檢索", "應收帳款合約日期查詢"};
    static const char* const payableKinds[] = {"應付需付帳款",     "應付未付帳款",
                                               "應付帳款未收帳單", "應付帳款已收帳單",
                                               "應付帳款全文檢索", "應付帳款合約日期查詢"};
    cbSer.Clear();
    for (const char* kind : receivable ? receivableKinds : payableKinds)
        cbSer.AddItem(kind);
    cbSer.AddItem("專案查詢");
    cbSer.SetListIndex(0);
}

// The project search asks for its project in the results, so the inputs shown stay as they are.
void frmRio::cbSer_Click() {
    const int kind = cbSer.ListIndex();
    if (kind < 0 || kind > 5) return;
    const bool range = kind == 5;
    for (Control* control :
         std::initializer_list<Control*>{&lbse6, &dtpSerS, &dtpSerE, &lbSerS, &lbSerE})
        control->SetVisible(range);
    txtSer.SetVisible(kind == 4);
    if (kind == 4) {
        txtSer.SetFocus();
        txtSer.SelectAll();
    } else if (range) {
        const Date today = Clock::today();
        lbSerS.SetCaption(searchDate(Date::fromYmd(today.year(), today.month(), 1)));
        lbSerE.SetCaption(
            searchDate(Date::fromYmd(today.year(), today.month(), DaysInMonth(today))));
    }
}

void frmRio::cmdSer_Click() {
    const int kind = cbSer.ListIndex();
    if (kind == 4 && txtSer.Text().empty()) {
        messageBox("請輸入查詢字串", MessageExclamation, ApplicationTitle);
        txtSer.SetFocus();
        return;
    }
    if (kind == 5 && (lbSerS.Caption().empty() || lbSerE.Caption().empty())) {
        messageBox("請輸入查詢日期", MessageExclamation, ApplicationTitle);
        return;
    }
    PickedContractNo.clear();
    const bool searchedReceivable = optIser.Value();
    Forms::showByName("frmRioser", Modal);
    if (PickedContractNo.empty()) return;
    // The pick turns the form to the kind searched, which asks about pending edits on the way: a
    // refused save kept the kind shown and stops the pick. Of the same kind, the pick asks here.
    if (Receivable() != searchedReceivable || !schedules.PromptSavePendingGrids()) return;
    ShowPickedContract();
}

// The results set optI or optO to the kind searched; a number that names no contract of it leaves
// an empty header and empty grids.
void frmRio::ShowPickedContract() {
    lbNo.SetCaption(PickedContractNo);
    ShowStoredHeaderAndGrids();
}

}  // namespace kiv

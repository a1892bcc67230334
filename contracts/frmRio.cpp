#include "contracts/frmRio.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <optional>

#include "contracts/Settlements.h"
#include "platform/db/Amount.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/CellEditor.h"
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
constexpr const char* IncompleteInstalments = "請填入金額及應付日期";
constexpr const char* ContractMissing = "找不到此應收付帳款";
constexpr Color ReceivableColour = 0xFFC0C0;
constexpr Color PayableColour = 0xC0C0FF;
constexpr Color ReceivableText = 0xFF0000;
constexpr Color PayableText = 0xFF;

constexpr int FormWidth = 12000;
constexpr int FieldHeight = 315;
constexpr int CaptionDrop = 30;
// Editors laid over a cell sit inside the grid's border.
constexpr int CellInset = 2 * TwipsPerPixel;
constexpr int ShareBoxNarrowing = 180;
constexpr const char* NoPeriod = "請先新增期數";

constexpr int headerRow(int row) {
    return 240 + row * 390;
}

Placement caption(Label& label, int left, int row, int width, const char* text) {
    return {
        &label, nullptr,     left, headerRow(row) + CaptionDrop, width, FieldHeight - CaptionDrop,
        text,   RightAligned};
}

Placement field(Control& control, int left, int row, int width, unsigned look = Plain) {
    return {&control, nullptr, left, headerRow(row), width, FieldHeight, nullptr, look};
}

Placement totalLabel(Label& label, int left, int top, const char* text = nullptr,
                     unsigned look = RightAligned) {
    return {&label, nullptr, left, top, 1000, 285, text, look};
}

// A caption of the totals ends short of the box beside it, so that its last character shows.
Placement totalCaption(Label& label, int left, int top, const char* text) {
    constexpr int CaptionWidth = 915;
    return {&label, nullptr, left, top, CaptionWidth, 285, text, RightAligned};
}

std::string dateCell(const Value& value) {
    return value.isNull() ? "" : GridRocDate(value.date());
}

Value dateOrNull(const std::string& text) {
    if (std::optional<Date> date = parseShownDate(text)) return *date;
    return nullptr;
}

// The header boxes and the schedules' amount cells: up to 15 digits, never negative; an empty
// one holds no amount (an empty instalment amount is refused as incomplete).
constexpr AmountRule ContractAmountRule{.emptyAllowed = true};
// The total follows the amount less the commission and the discount: below zero when those two
// are the larger, and stored so, as shown.
constexpr AmountRule ContractTotalRule{.negativeAllowed = true, .emptyAllowed = true};

// What a typed amount is stored as, once the save has read it: "##,##0", or "" for none.
std::string storedAmount(const std::string& typed, AmountRule rule = ContractAmountRule) {
    std::optional<int64_t> amount = ReadAmount(typed, rule).amount;
    return amount ? AmountText(*amount) : "";
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
    WireRowCommands();
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
        caption(captions(0), 60, 0, 600, "編號:"),
        field(lbNo, 660, 0, 1200, ValueField),
        caption(captions(1), 1920, 0, 900, "合約名稱:"),
        field(txtNa, 2820, 0, 2700),
        caption(captions(2), 5580, 0, 700, "簽約日:"),
        field(lbSin, 6280, 0, 1900, ValueField),
        field(DTP, 8200, 0, 300),
        caption(captions(3), 8560, 0, 540, "專案:"),
        field(lbPj, 9100, 0, 1500, ValueField),
        field(lbPjNo, 10620, 0, 780, ValueField),
        field(cmdPj, 11420, 0, 360),

        caption(Label4, 60, 1, 1100, "客 戶 名 稱:"),
        field(cbCna, 1180, 1, 2900),
        caption(captions(4), 4140, 1, 700, "聯絡人:"),
        field(txtCcnt, 4840, 1, 1300),
        caption(captions(5), 6200, 1, 540, "電話:"),
        field(txtCtel, 6740, 1, 1700),
        caption(captions(6), 8560, 1, 540, "工種:"),
        field(cbWork, 9100, 1, 2680),

        caption(captions(7), 60, 2, 900, "銷貨金額:"),
        field(txtAm, 960, 2, 1300, RightAligned),
        caption(captions(8), 2320, 2, 540, "稅金:"),
        field(lbTax, 2860, 2, 1100, ValueField | RightAligned),
        caption(captions(9), 4020, 2, 540, "佣金:"),
        field(txtComi, 4560, 2, 1100, RightAligned),
        caption(captions(10), 5720, 2, 540, "折讓:"),
        field(txtLet, 6260, 2, 1100, RightAligned),
        caption(captions(11), 7420, 2, 540, "合計:"),
        field(txtTal, 7960, 2, 1400, RightAligned),
        field(chkTax, 9500, 2, 1000),

        caption(captions(12), 60, 3, 900, "報價單號:"),
        field(txtQno, 960, 3, 1500),
        caption(captions(13), 2520, 3, 900, "合約單號:"),
        field(txtCno, 3420, 3, 1500),
        caption(captions(14), 4980, 3, 540, "備註:"),
        field(txtPs, 5520, 3, 6260),
        // The compact view of a contract being added ends below this button.
        {&cmdAll, nullptr, 60, 2220, FormWidth - 120, 285, "▼"},

        {&gridCaptions(0), nullptr, 60, 2560, 600, 255, "期數:"},
        {&lb(0), nullptr, 700, 2560, 700, 255, nullptr, Bold},
        {&cmdAc, nullptr, 1500, 2510, 900, 300, "增期數"},
        {&cmdEc, nullptr, 2460, 2510, 700, 300, "修改"},
        {&cmdAcSv, nullptr, 3220, 2510, 700, 300, "儲存"},
        {&lb1(0), nullptr, 6480, 2560, 700, 255, nullptr, Bold},
        {&hfg, nullptr, 0, gridsTop, 6015, 1905},
        {&hfg1, nullptr, 6480, gridsTop, 5430, 1905},

        {&gridCaptions(1), nullptr, 60, 4780, 600, 255, "追加:"},
        {&lb(1), nullptr, 700, 4780, 700, 255, nullptr, Bold},
        {&cmdAM, nullptr, 1500, 4750, 900, 285, "增追加"},
        {&cmdEa, nullptr, 2460, 4750, 700, 285, "修改"},
        {&cmdAmSv, nullptr, 3220, 4750, 700, 285, "儲存"},
        {&lb1(1), nullptr, 6615, 4780, 700, 255, nullptr, Bold},
        {&HfgAM, nullptr, 0, additionsTop, 6240, 1635},
        {&hfgAm1, nullptr, 6615, additionsTop, 5295, 1635},

        {&gridCaptions(2), nullptr, 60, 6690, 600, 240, "追減:"},
        {&cmdM, nullptr, 1500, 6680, 900, 250, "增追減"},
        {&cmdEm, nullptr, 2460, 6680, 700, 250, "修改"},
        {&cmdMsv, nullptr, 3220, 6680, 700, 250, "儲存"},
        {&hfgM, nullptr, 0, reductionsTop, 3990, 1335},

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
        {&dtpi, nullptr, 0, 0, 1440, 285},
        {&dtpA, nullptr, 0, 0, 1440, 285},
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
    dtpi.Picked = [this] { dtpi_Change(); };
    dtpA.Picked = [this] { dtpA_Change(); };
    dtpSerS.Picked = [this] { dtpSerS_Change(); };
    dtpSerE.Picked = [this] { dtpSerE_Change(); };
    hfg.MouseUp = [this](int button, int, float, float) { hfg_MouseUp(button); };
    HfgAM.MouseUp = [this](int button, int, float, float) { HfgAM_MouseUp(button); };
    hfgM.MouseUp = [this](int button, int, float, float) { hfgM_MouseUp(button); };
    hfg1.MouseUp = [this](int button, int, float, float) { hfg1_MouseUp(button); };
    hfgAm1.MouseUp = [this](int button, int, float, float) { hfgAm1_MouseUp(button); };
    optIser.Click = [this] { FillSearchKinds(true); };
    optOser.Click = [this] { FillSearchKinds(false); };
    cbSer.Click = [this] { cbSer_Click(); };
    cmdSer.Click = [this] { cmdSer_Click(); };
    cmdAc.Click = [this] { AddInstalment(); };
    cmdAM.Click = [this] { AddAddition(); };
    cmdM.Click = [this] { AddReduction(); };
    cmdEc.Click = [this] { InstalmentsEditing = true; };
    cmdEa.Click = [this] { AdditionsEditing = true; };
    cmdEm.Click = [this] { ReductionsEditing = true; };
    cmdAcSv.Click = [this] { SaveInstalments(); };
    cmdAmSv.Click = [this] { SaveAdditions(); };
    cmdMsv.Click = [this] { SaveReductions(); };
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
}

// ---- Amount boxes and cell editors ----

namespace {

// "##,##0" of a shown text: an amount is grouped; an empty text, or one that is no amount
// (pasted), stays as it is.
std::string formattedAmount(const std::string& text) {
    return GroupedAmountText(text);
}

// The amount a box, label or cell shows while the header is typed (a computed total may be
// negative), an empty one counting 0; nullopt for a text that is no amount, from which nothing is
// computed (the save refuses it).
std::optional<int64_t> typedValue(const std::string& text) {
    AmountReading reading = ReadAmount(text, {.negativeAllowed = true, .emptyAllowed = true});
    if (reading.refused()) return std::nullopt;
    return reading.amount.value_or(0);
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
    txtTal.SetText(formattedAmount(txtTal.Text()));
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
    const std::optional<int64_t> amount = typedValue(txtAm.Text()),
                                 tax = typedValue(lbTax.Caption()),
                                 commission = typedValue(txtComi.Text()),
                                 discount = typedValue(txtLet.Text()),
                                 total = typedValue(txtTal.Text());
    const bool computable = amount && tax && commission && discount && total;
    auto totalOfParts = [&] {
        return *typedValue(lbTax.Caption()) + *amount - *commission - *discount;
    };
    if (LastAmountBox == "txtAm") {
        if (!txtAm.Text().empty() && computable) {
            lbTax.SetCaption(AmountText(FivePercentTax(*amount)));
            txtTal.SetText(AmountText(totalOfParts()));
        }
        txtAm.SetText(formattedAmount(txtAm.Text()));
    } else if (LastAmountBox == "txtLet") {
        if (computable) txtTal.SetText(AmountText(totalOfParts()));
        txtLet.SetText(formattedAmount(txtLet.Text()));
    } else if (LastAmountBox == "txtTal") {
        if (computable) {
            const int64_t net = NetOfFivePercentTax(*total + *commission + *discount);
            txtAm.SetText(AmountText(net));
            lbTax.SetCaption(AmountText(FivePercentTax(net)));
        }
        txtTal.SetText(formattedAmount(txtTal.Text()));
    }
}

// The share follows the amount at once; the amount itself is stored formatted when it is left.
void frmRio::txt_Change() {
    if (ClickedCol != 1 || !insideCells(hfg, ClickedRow, 3)) return;
    const std::optional<int64_t> amount = typedValue(txt.Text()), total = typedValue(txtTal.Text());
    if (!amount || !total) return;
    hfg.SetTextMatrix(ClickedRow, 3, shareOfTotal(*amount, *total));
    typedShares_.erase(ClickedRow);
}

// A hidden editor that still holds the focus belongs to a cell no longer edited.
void frmRio::txt_Validate(bool&) {
    if (!txt.Visible() || !insideCells(hfg, ClickedRow, ClickedCol)) return;
    if (ClickedCol == 1) hfg.SetTextMatrix(ClickedRow, 1, formattedAmount(txt.Text()));
    if (ClickedCol == 5) hfg.SetTextMatrix(ClickedRow, 5, upperCase(txt.Text()));
}

// The share is typed in per cent without its sign; it is kept as typed, and a box emptied leaves
// the cell empty, no share, rather than a lone "%".
void frmRio::txtsc_Change() {
    if (!insideCells(hfg, ClickedRow, 3)) return;
    const std::optional<int64_t> share = ReadShareHundredths(txtsc.Text());
    const std::optional<int64_t> total = typedValue(txtTal.Text());
    if (share && total) hfg.SetTextMatrix(ClickedRow, 1, AmountText(PartOfShare(*total, *share)));
    hfg.SetTextMatrix(ClickedRow, 3, txtsc.Text().empty() ? "" : txtsc.Text() + "%");
    if (!openingShareBox_) typedShares_.insert(ClickedRow);
}

void frmRio::txtA_Change() {
    if ((ClickedCol == 1 || ClickedCol == 2) && insideCells(HfgAM, ClickedRow, ClickedCol))
        HfgAM.SetTextMatrix(ClickedRow, ClickedCol, txtA.Text());
}

void frmRio::txtA_Validate(bool&) {
    if (!txtA.Visible() || !insideCells(HfgAM, ClickedRow, ClickedCol)) return;
    if (ClickedCol == 3) HfgAM.SetTextMatrix(ClickedRow, 3, formattedAmount(txtA.Text()));
    if (ClickedCol == 6) HfgAM.SetTextMatrix(ClickedRow, 6, upperCase(txtA.Text()));
}

void frmRio::txtM_Change() {
    if (ClickedCol >= 1 && insideCells(hfgM, ClickedRow, ClickedCol))
        hfgM.SetTextMatrix(ClickedRow, ClickedCol, txtM.Text());
}

void frmRio::txtM_Validate(bool&) {
    if (!txtM.Visible() || ClickedCol != 3 || !insideCells(hfgM, ClickedRow, 3)) return;
    hfgM.SetTextMatrix(ClickedRow, 3, formattedAmount(txtM.Text()));
}

// ---- Opening, navigation and modes ----

void frmRio::Form_Load() {
    SetTop(0);
    SetLeft(0);
    for (DatePicker* picker : {&DTP, &dtpi, &dtpA})
        picker->SetValue(Clock::today());
    FillCustomerList();
    SetCompactView(false);
    ResetNavigator();
    LayoutContractGrids();
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
    FillStoredHeader();
    for (Control* control : std::initializer_list<Control*>{&FSB, &cmdAdd, &cmdEdit, &cmdDel,
                                                            &cmdCen, &cmdSv, &fmeSer})
        control->SetVisible(false);
    ClearContractGrids();
    LoadGrids(Receivable(), lbNo.Caption());
}

void frmRio::Form_Resize() {
    SetTop(0);
    SetLeft((screenWidth() - Width()) / 2);
}

// Unsaved grid edits are dropped without a question.
void frmRio::Form_Unload(int&) {
    InstalmentsEditing = AdditionsEditing = ReductionsEditing = false;
    ContractIds.clear();
}

bool frmRio::HoldsUnsavedInput() const {
    return lbStat.Caption() != Browsing || InstalmentsEditing || AdditionsEditing ||
           ReductionsEditing;
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
    if (!PromptSavePendingGrids()) {
        resettingNavigator_ = true;
        FSB.SetValue(NavigatorPosition);
        resettingNavigator_ = false;
        return;
    }
    ClearContractHeader();
    NavigatorPosition = FSB.Value();
    if (NavigatorPosition < static_cast<int>(ContractIds.size()))
        lbNo.SetCaption(ContractIds[NavigatorPosition]);
    ShowContractHeader();
    ClearContractGrids();
    LayoutContractGrids();
    LoadGrids(Receivable(), lbNo.Caption());
}

void frmRio::ShowContractHeader() {
    LastAmountBox.clear();
    if (lbNo.Caption().empty() && !ContractIds.empty()) {
        MoveToLastContract();
        return;
    }
    FillStoredHeader();
}

// The stored header of the number in lbNo; a number not stored leaves an empty header.
void frmRio::FillStoredHeader() {
    LastAmountBox.clear();
    Database& db = AccDb();
    shownHeader_ =
        ShownRows(db, "SELECT * FROM " + db.Table(ContractTable(Receivable())) + " WHERE id = ?",
                  {lbNo.Caption()});
    Recordset rs = db.OpenRecordset(
        "SELECT * FROM " + db.Table(ContractTable(Receivable())) + " WHERE id = ?", lbNo.Caption());
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
}

bool frmRio::PromptSavePendingGrids() {
    struct Pending {
        bool& editing;
        const char* question;
        void (frmRio::*save)();
        CommandButton& button;
    };
    for (const Pending& grid :
         {Pending{InstalmentsEditing, "期數修改中是否儲存?", &frmRio::SaveInstalments, cmdAcSv},
          Pending{AdditionsEditing, "追加修改中是否儲存?", &frmRio::SaveAdditions, cmdAmSv},
          Pending{ReductionsEditing, "追減修改中是否儲存?", &frmRio::SaveReductions, cmdMsv}}) {
        if (!grid.editing) continue;
        if (messageBox(grid.question, MessageYesNoDefaultNo, ApplicationTitle) == AnswerYes) {
            // A save clears the flag; a refused one (it said why) keeps it and the edits.
            (this->*grid.save)();
            if (grid.editing) return false;
        } else {
            grid.button.SetEnabled(false);
        }
        grid.editing = false;
    }
    HideCellEditors();
    return true;
}

void frmRio::HideCellEditors() {
    for (Control* editor :
         std::initializer_list<Control*>{&txtM, &txtA, &txtsc, &txt, &dtpA, &dtpi})
        editor->SetVisible(false);
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

void frmRio::dtpi_Change() {
    hfg.SetText(GridRocDate(dtpi.Value()));
    dtpi.SetVisible(false);
}

void frmRio::dtpA_Change() {
    HfgAM.SetText(GridRocDate(dtpA.Value()));
    dtpA.SetVisible(false);
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
    for (Grid* grid : {&hfg, &hfg1, &HfgAM, &hfgAm1, &hfgM})
        grid->SetBackColorFixed(fixed);
    frme.SetBackColor(fixed);
    Label4.SetCaption(receivable ? "客 戶 名 稱:" : "廠 商 名 稱:");
    lbFn.SetCaption(receivable ? "未收折讓" : "未付折讓");
}

void frmRio::ApplyKindHeadings(bool receivable) {
    const Color text = receivable ? ReceivableText : PayableText;
    for (int i = 0; i < 2; ++i) {
        lb(i).SetCaption(receivable ? "應收" : "應付");
        lb(i).SetForeColor(text);
    }
    for (int i = 0; i < 2; ++i) {
        lb1(i).SetCaption(receivable ? "已收" : "已付");
        lb1(i).SetForeColor(text);
    }
    lbdb.SetCaption(receivable ? "未收金額：" : "未付金額：");
    lbda.SetCaption(receivable ? "已收金額：" : "已付金額：");
}

// The whole form turns to the other kind and shows its last contract.
void frmRio::SwitchKind(bool receivable) {
    if (restoringKind_) return;
    if (!PromptSavePendingGrids()) {
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
        if (totalChanged && !RescaledInstalments(instalments)) return;
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
    if (totalChanged) {
        for (size_t i = 0; i < instalments.size(); ++i)
            hfg.SetTextMatrix(static_cast<int>(i) + 1, 3, instalments[i][2].text());
        typedShares_.clear();
        cmdAcSv.SetEnabled(false);
        InstalmentsEditing = false;
        HideCellEditors();
    }
    BackToBrowsing();
    if (totalChanged)
        messageBox("因您修改了總價,所以應收付期數的佔總價比例已變更", MessageExclamation,
                   ApplicationTitle);
    if (receivable)
        optI_Click();
    else
        optO_Click();
}

// Each amount box of the header holds an amount or nothing; the first that holds another text is
// refused, named by its caption, and takes the focus.
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
        if (TypedAmount(*b.box, b.field, b.rule).refused()) return false;
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

// The instalments with their shares of the new total; false (after saying why) when the grid
// cannot be stored or the total gives no share. Every share is rewritten, so none is checked.
bool frmRio::RescaledInstalments(std::vector<PlanRow>& rows) {
    if (!CellsAreAmounts(hfg, 1)) return false;
    if (!InstalmentRows(rows)) {
        messageBox(IncompleteInstalments, MessageExclamation, ApplicationTitle);
        return false;
    }
    const int64_t total = AmountOf(txtTal.Text());
    if (!rows.empty() && total == 0) {
        messageBox("合計為 0,無法計算期數的佔總價比例", MessageExclamation, ApplicationTitle);
        return false;
    }
    for (PlanRow& row : rows)
        row[2] = ShareText(ShareOf(AmountOf(row[0].text()), total));
    return true;
}

// The header, and the instalments whose shares a new total changed, are stored together, and an
// edit only while both are still as shown. A new contract takes its number under the write lock
// that stores it, so that two copies of the program never take one number; false, nothing
// stored, when the day's numbers are used up.
bool frmRio::StoreHeader(bool adding, std::string& number, bool totalChanged,
                         const std::vector<PlanRow>& instalments) {
    const bool receivable = Receivable();
    Database& db = AccDb();
    Transaction transaction(db, true);
    Recordset row;
    if (adding) {
        std::optional<std::string> next = NextContractNumber(receivable);
        if (!next) return false;
        number = *next;
        row = db.OpenTable(ContractTable(receivable));
        row.AddNew();
    } else {
        shownHeader_.CheckUnchanged(db);
        if (totalChanged)
            shownSchedules_[static_cast<size_t>(Schedule::Instalments)].CheckUnchanged(db);
        row = db.OpenRecordset(
            "SELECT * FROM " + db.Table(ContractTable(receivable)) + " WHERE id = ?", number);
        row.Edit();
    }
    row.SetField("id", number);
    row.SetField("收名稱", txtNa.Text());
    row.SetField("簽約日", dateOrNull(lbSin.Caption()));
    row.SetField("客戶名", cbCna.Text());
    row.SetField("聯絡人", txtCcnt.Text());
    row.SetField("電話", txtCtel.Text());
    row.SetField("銷貨金額", storedAmount(txtAm.Text()));
    row.SetField("稅金", adding && lbTax.Caption().empty() ? "0" : lbTax.Caption());
    row.SetField("佣金", storedAmount(txtComi.Text()));
    row.SetField("合計", storedAmount(txtTal.Text(), ContractTotalRule));
    row.SetField("備註", txtPs.Text());
    row.SetField("報價單號", txtQno.Text());
    row.SetField("合約單號", txtCno.Text());
    row.SetField("專名", lbPj.Caption());
    row.SetField("專id", lbPjNo.Caption());
    row.SetField("w", cbWork.Text());
    row.SetField("fnLet", storedAmount(txtfnLet.Text()));
    row.SetField("無發票", chkTax.Value() == 1);
    row.SetField("Let", storedAmount(txtLet.Text()));
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
    if (withInstalments) ShowStoredSchedule(Schedule::Instalments);
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
    FillStoredHeader();
    ClearContractGrids();
    LoadGrids(Receivable(), lbNo.Caption());
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

// ---- Schedule grids ----

void frmRio::LayoutContractGrids() {
    const bool r = Receivable();
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

void frmRio::ClearContractGrids() {
    for (Grid* grid : {&hfg, &hfg1, &HfgAM, &hfgAm1, &hfgM}) {
        grid->Clear();
        grid->SetRows(2);
    }
    typedShares_.clear();
    for (Label* label : {&lbCC, &lbAC, &lbMC, &lbTAC, &lbBC, &lbBCP, &lbACC, &lbACP})
        label->SetCaption("");
    LayoutContractGrids();
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
}

void frmRio::LoadReceivableGrids(const std::string& id) {
    LoadGrids(true, id);
}

void frmRio::LoadPayableGrids(const std::string& id) {
    LoadGrids(false, id);
}

namespace {

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
    receipts.SetTextMatrix(r, 1, dateCell(row.Fields("實收日")));
    receipts.SetTextMatrix(r, 2, row.Fields("現金").boolean() ? "現金" : "支票");
    receipts.SetTextMatrix(r, 3, row.Fields("支票號碼").text());
    receipts.SetTextMatrix(r, 4, row.Fields("收支單號").text());
}

void showInstalment(Grid& plan, Grid& receipts, int r, const Recordset& row) {
    plan.SetTextMatrix(r, 0, "第" + row.Fields("期別").text() + "期");
    plan.SetTextMatrix(r, 1, row.Fields("預付金").text());
    plan.SetTextMatrix(r, 2, dateCell(row.Fields("預付日")));
    plan.SetTextMatrix(r, 3, row.Fields("佔總價比例").text());
    plan.SetTextMatrix(r, 4, dateCell(row.Fields("送帳日")));
    plan.SetTextMatrix(r, 5, row.Fields("發票號碼").text());
    showReceipt(receipts, r, row);
}

void showAddition(Grid& plan, Grid& receipts, int r, const Recordset& row) {
    plan.SetTextMatrix(r, 0, "追加" + row.Fields("期別").text());
    plan.SetTextMatrix(r, 1, row.Fields("報價單號").text());
    plan.SetTextMatrix(r, 2, row.Fields("合約單號").text());
    plan.SetTextMatrix(r, 3, row.Fields("金額").text());
    plan.SetTextMatrix(r, 4, dateCell(row.Fields("預付日")));
    plan.SetTextMatrix(r, 5, dateCell(row.Fields("送帳日")));
    plan.SetTextMatrix(r, 6, row.Fields("發票號碼").text());
    showReceipt(receipts, r, row);
}

void showReduction(Grid& plan, int r, const Recordset& row) {
    plan.SetTextMatrix(r, 0, "追減" + row.Fields("期別").text());
    plan.SetTextMatrix(r, 1, row.Fields("報價單號").text());
    plan.SetTextMatrix(r, 2, row.Fields("合約單號").text());
    plan.SetTextMatrix(r, 3, row.Fields("金額").text());
}

}  // namespace

void frmRio::LoadGrids(bool receivable, const std::string& id) {
    for (Schedule schedule : {Schedule::Instalments, Schedule::Additions, Schedule::Reductions})
        LoadSchedule(receivable, schedule, id);
    ComputeContractTotals();
}

// A schedule without rows leaves its emptied grid as it is. The rows kept for the save's check
// are read first: a change in between makes the save refuse, never overwrite it.
void frmRio::LoadSchedule(bool receivable, Schedule schedule, const std::string& id) {
    shownSchedules_[static_cast<size_t>(schedule)] = ShownSchedule(receivable, schedule, id);
    if (schedule == Schedule::Instalments) typedShares_.clear();
    Recordset stored = scheduleRows(receivable, schedule, id);
    const int count = static_cast<int>(stored.RecordCount());
    if (count == 0) return;
    Grid& plan = schedule == Schedule::Instalments ? hfg
                 : schedule == Schedule::Additions ? HfgAM
                                                   : hfgM;
    plan.SetRows(count + 1);
    if (schedule == Schedule::Instalments) hfg1.SetRows(plan.Rows());
    if (schedule == Schedule::Additions) hfgAm1.SetRows(plan.Rows());
    for (int r = 1; !stored.Eof(); stored.MoveNext(), ++r) {
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

void frmRio::AddInstalment() {
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

void frmRio::AddAddition() {
    appendLabelledRow(HfgAM, &hfgAm1, "追加", "");
    AdditionsEditing = true;
}

void frmRio::AddReduction() {
    appendLabelledRow(hfgM, nullptr, "追減", "");
    ReductionsEditing = true;
}

// ---- Totals ----

void frmRio::ComputeContractTotals() {
    lbCC.SetCaption(txtTal.Text());
    int64_t additions = 0, reductions = 0, received = 0;
    for (int r = 1; r < HfgAM.Rows(); ++r)
        additions += AmountOf(HfgAM.TextMatrix(r, 3));
    lbAC.SetCaption(AmountText(additions));
    for (int r = 1; r < hfgM.Rows(); ++r)
        reductions += AmountOf(hfgM.TextMatrix(r, 3));
    lbMC.SetCaption(AmountText(reductions));
    const int64_t grandTotal =
        AmountOf(txtTal.Text()) + additions - reductions - AmountOf(txtfnLet.Text());
    lbTAC.SetCaption(AmountText(grandTotal));
    for (int r = 1; r < hfg1.Rows(); ++r)
        received += AmountOf(hfg1.TextMatrix(r, 0));
    for (int r = 1; r < hfgAm1.Rows(); ++r)
        received += AmountOf(hfgAm1.TextMatrix(r, 0));
    const int64_t balance = grandTotal - received;
    lbBC.SetCaption(AmountText(balance));
    lbACC.SetCaption(AmountText(received));
    if (grandTotal == 0) return;
    lbACP.SetCaption(ShareText(ShareOf(received, grandTotal)));
    lbBCP.SetCaption(ShareText(ShareOf(balance, grandTotal)));
}

// ---- Schedule saves ----

// Every instalment needs its amount and its date; false when one lacks either.
bool frmRio::InstalmentRows(std::vector<PlanRow>& rows) {
    rows.clear();
    if (blankGrid(hfg)) return true;
    for (int r = 1; r < hfg.Rows(); ++r) {
        const std::string& amount = hfg.TextMatrix(r, 1);
        Value due = dateOrNull(hfg.TextMatrix(r, 2));
        if (amount.empty() || due.isNull()) return false;
        rows.push_back({storedAmount(amount), due, hfg.TextMatrix(r, 3),
                        dateOrNull(hfg.TextMatrix(r, 4)), hfg.TextMatrix(r, 5)});
    }
    return true;
}

std::vector<PlanRow> frmRio::AdditionRows() const {
    std::vector<PlanRow> rows;
    if (blankGrid(HfgAM)) return rows;
    for (int r = 1; r < HfgAM.Rows(); ++r)
        rows.push_back({HfgAM.TextMatrix(r, 1), HfgAM.TextMatrix(r, 2),
                        storedAmount(HfgAM.TextMatrix(r, 3)), dateOrNull(HfgAM.TextMatrix(r, 4)),
                        dateOrNull(HfgAM.TextMatrix(r, 5)), HfgAM.TextMatrix(r, 6)});
    return rows;
}

std::vector<PlanRow> frmRio::ReductionRows() const {
    std::vector<PlanRow> rows;
    if (blankGrid(hfgM)) return rows;
    for (int r = 1; r < hfgM.Rows(); ++r)
        rows.push_back(
            {hfgM.TextMatrix(r, 1), hfgM.TextMatrix(r, 2), storedAmount(hfgM.TextMatrix(r, 3))});
    return rows;
}

// A schedule belongs to a stored contract: without one (deleted, or a number only shown while
// adding) nothing is written. Nor is it when another copy of the program changed the rows since
// they were shown: the grid then shows them as stored.
bool frmRio::StoreSchedule(Schedule schedule, const std::vector<PlanRow>& rows) {
    if (lbNo.Caption().empty() || !ContractExists(shownReceivable_, lbNo.Caption())) {
        messageBox(ContractMissing, MessageExclamation, ApplicationTitle);
        return false;
    }
    ShownRows& shown = shownSchedules_[static_cast<size_t>(schedule)];
    const bool stored = SaveUnlessChanged([&] {
        Transaction transaction(AccDb(), true);
        shown.CheckUnchanged(AccDb());
        ReplaceSchedule(shownReceivable_, schedule, lbNo.Caption(), rows);
        transaction.Commit();
    });
    if (!stored) {
        ShowStoredSchedule(schedule);
        return false;
    }
    shown.Reread(AccDb());
    return true;
}

// One schedule's grids emptied and loaded again as stored, its editing ended.
void frmRio::ShowStoredSchedule(Schedule schedule) {
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
    LoadSchedule(shownReceivable_, schedule, lbNo.Caption());
    view.editing = false;
    view.save.SetEnabled(false);
    HideCellEditors();
    ComputeContractTotals();
}

// Every amount typed into a plan grid is one; the first that is not is refused, named by its row
// and its column, and becomes the grid's current cell.
bool frmRio::CellsAreAmounts(Grid& grid, int amountCol) {
    if (blankGrid(grid)) return true;
    for (int r = 1; r < grid.Rows(); ++r)
        if (CellAmount(grid, r, amountCol,
                       grid.TextMatrix(r, 0) + "的" + grid.TextMatrix(0, amountCol),
                       ContractAmountRule)
                .refused())
            return false;
    return true;
}

// Every share the user typed is a share of 0 to 100 with at most two decimals; the first that is
// not is refused, named by its row, and becomes the grid's current cell. A share the program
// computed (above 100 % when the instalments exceed the total) or a file holds is no typing.
bool frmRio::TypedSharesAreShares() {
    for (int r : typedShares_) {
        if (!insideCells(hfg, r, 3) || typedShare(hfg.TextMatrix(r, 3))) continue;
        messageBox(hfg.TextMatrix(r, 0) + "的" + hfg.TextMatrix(0, 3) +
                       "必須是 0 到 100 之間、最多兩位小數的百分比",
                   MessageExclamation, ApplicationTitle);
        hfg.SetRow(r);
        hfg.SetCol(3);
        return false;
    }
    return true;
}

// An amount typed into a cell editor passes the amount key filter while it edits the amount
// column; the same editor takes any text in the other columns.
void frmRio::AmountColumnKeyPress(int amountCol, int& keyAscii) {
    if (ClickedCol == amountCol) AmountKeyFilter(keyAscii);
}

void frmRio::SaveInstalments() {
    if (!CellsAreAmounts(hfg, 1) || !TypedSharesAreShares()) return;
    std::vector<PlanRow> rows;
    if (!InstalmentRows(rows)) {
        messageBox(IncompleteInstalments, MessageExclamation, ApplicationTitle);
        return;
    }
    if (!StoreSchedule(Schedule::Instalments, rows)) return;
    typedShares_.clear();
    cmdAcSv.SetEnabled(false);
    InstalmentsEditing = false;
    HideCellEditors();
    ComputeContractTotals();
}

void frmRio::SaveAdditions() {
    if (!CellsAreAmounts(HfgAM, 3)) return;
    if (!StoreSchedule(Schedule::Additions, AdditionRows())) return;
    cmdAmSv.SetEnabled(false);
    AdditionsEditing = false;
    HideCellEditors();
    ComputeContractTotals();
}

void frmRio::SaveReductions() {
    if (!CellsAreAmounts(hfgM, 3)) return;
    if (!StoreSchedule(Schedule::Reductions, ReductionRows())) return;
    cmdMsv.SetEnabled(false);
    ReductionsEditing = false;
    HideCellEditors();
    ComputeContractTotals();
}

// ---- In-grid editing ----

// The shared handling of a mouse-up on an instalment, addition or reduction grid; true when the
// left button asks for the editor of ClickedCol.
bool frmRio::EditableGridMouseUp(Grid& grid, std::initializer_list<Control*> editors, bool editing,
                                 CommandButton& save, int popup, int button) {
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
        PopupMenu(md);
    }
    return false;
}

void frmRio::hfg_MouseUp(int button) {
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

void frmRio::HfgAM_MouseUp(int button) {
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

void frmRio::hfgM_MouseUp(int button) {
    if (EditableGridMouseUp(hfgM, {&txtM}, ReductionsEditing, cmdMsv, 5, button))
        OpenTextEditor(txtM, hfgM);
}

void frmRio::hfg1_MouseUp(int button) {
    ReceiptGridMouseUp(hfg1, hfg, 2, button);
}

void frmRio::hfgAm1_MouseUp(int button) {
    ReceiptGridMouseUp(hfgAm1, HfgAM, 4, button);
}

// A receipt row offers to clear a recorded receipt, or to settle a planned row from a voucher. A
// row stored settled shows its receipt even without a received amount: it is cleared, not
// settled over.
void frmRio::ReceiptGridMouseUp(const Grid& receipts, const Grid& plan, int popup, int button) {
    ClickedCol = receipts.MouseCol();
    ClickedRow = receipts.MouseRow();
    if (button != RightButton || ClickedRow < 1 || ClickedRow >= receipts.Rows()) return;
    const bool planned = ClickedRow < plan.Rows() && !plan.TextMatrix(ClickedRow, 0).empty();
    const bool received = receiptShown(receipts, ClickedRow);
    mdel.SetEnabled(received);
    mMach.SetEnabled(planned && !received);
    PopupGrid = popup;
    PopupMenu(md);
}

// ---- Row commands of the pop-up menu ----

void frmRio::WireRowCommands() {
    mdel.Click = [this] { mdel_Click(); };
    mMach.Click = [this] { mMach_Click(); };
}

// A planned row goes and the later ones close up; a receipt is cleared so that its row is open
// again, unless another copy of the program changed it meanwhile. Either way the grids show the
// stored rows afterwards.
void frmRio::mdel_Click() {
    if (messageBox("確定刪除", MessageYesNoDefaultNo, ApplicationTitle) != AnswerYes) return;
    const std::string id = lbNo.Caption();
    const bool receivable = Receivable();
    switch (PopupGrid) {
        case 1:
            DeleteScheduleRow(receivable, Schedule::Instalments, id, ClickedRow);
            break;
        case 2:
            SaveUnlessChanged([&] {
                ClearSettlement(receivable, Schedule::Instalments, id, ClickedRow,
                                hfg1.TextMatrix(ClickedRow, 4));
            });
            break;
        case 3:
            DeleteScheduleRow(receivable, Schedule::Additions, id, ClickedRow);
            break;
        case 4:
            SaveUnlessChanged([&] {
                ClearSettlement(receivable, Schedule::Additions, id, ClickedRow,
                                hfgAm1.TextMatrix(ClickedRow, 4));
            });
            break;
        case 5:
            DeleteScheduleRow(receivable, Schedule::Reductions, id, ClickedRow);
            break;
        default:
            return;
    }
    ReloadContractGrids();
}

// The settlement dialog reads the row from the shared values, which stay set for whoever opens
// it next.
void frmRio::mMach_Click() {
    if (PopupGrid != 2 && PopupGrid != 4) return;
    SettleIsInstalment = PopupGrid == 2;
    SettleAmount =
        SettleIsInstalment ? hfg.TextMatrix(ClickedRow, 1) : HfgAM.TextMatrix(ClickedRow, 3);
    SettlePeriod = ClickedRow;
    SettleReceivable = Receivable();
    Forms::showByName("frmMchIo", Modal);
    ReloadContractGrids();
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

// The editor shows the cell's text as typed, without thousands separators.
void frmRio::OpenTextEditor(TextBox& editor, const Grid& grid) {
    OpenCellEditor(editor, grid);
    editor.SetText(withoutCommas(grid.Text()));
    editor.SelectAll();
}

// The share box is typed in without the "%"; an empty share is proposed as what the rows above
// leave of the whole.
void frmRio::OpenShareBox() {
    txtsc.Move(hfg.Left() + hfg.ColPos(ClickedCol) + CellInset,
               hfg.Top() + hfg.RowPos(ClickedRow) + CellInset,
               std::max(0, hfg.CellWidth() - ShareBoxNarrowing), hfg.CellHeight());
    txtsc.SetVisible(true);
    txtsc.ZOrder(0);
    txtsc.SetFocus();
    if (hfg.TextMatrix(ClickedRow, 3).empty()) ProposeShare();
    openingShareBox_ = true;
    txtsc.SetText(withoutCommas(withoutPercent(hfg.TextMatrix(ClickedRow, 3))));
    openingShareBox_ = false;
    txtsc.SelectAll();
}

// The shares above are summed exactly, so that the proposal completes the schedule to 100 %.
void frmRio::ProposeShare() {
    int64_t above = 0;
    for (int r = 1; r < ClickedRow; ++r)
        above += shownShareHundredths(hfg.TextMatrix(r, 3));
    const int64_t share = 100 * 100 - above;
    hfg.SetTextMatrix(ClickedRow, 3, plainShare(share) + "%");
    hfg.SetTextMatrix(ClickedRow, 1, AmountText(PartOfShare(AmountOf(txtTal.Text()), share)));
    typedShares_.erase(ClickedRow);
}

void frmRio::OpenDatePicker(DatePicker& picker, Grid& grid) {
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
    if (Receivable() != searchedReceivable || !PromptSavePendingGrids()) return;
    ShowPickedContract();
}

// The results set optI or optO to the kind searched; a number that names no contract of it leaves
// an empty header and empty grids.
void frmRio::ShowPickedContract() {
    ClearContractGrids();
    lbNo.SetCaption(PickedContractNo);
    ShowContractHeader();
    LayoutContractGrids();
    if (optI.Value())
        LoadReceivableGrids(lbNo.Caption());
    else
        LoadPayableGrids(lbNo.Caption());
    ComputeContractTotals();
}

}  // namespace kiv

#include "shell/frmSta.h"

#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Utf8.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "shell/Staff.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* PickFirst = "請先選取表格中一個員工姓名";
constexpr const char* MemberGone = "此員工資料已被其他使用者刪除，無法儲存";
const int StaffColumnWidths[] = {300, 600, 2000, 3300, 1500, 1300, 800};
const char* const StaffHeaders[] = {"", "編 號", "姓 名", "地 址", "電話(Home)", "行動電話"};
const int SearchColumnWidths[] = {300, 3000, 6500};
constexpr int LeftAlignedCentre = 1;

// The single-box fields, stored by name.
struct StaffField {
    const char* field;
    TextBox frmSta::*box;
};
const StaffField StaffFields[] = {
    {"英文姓名", &frmSta::T3},        {"部門", &frmSta::T4},      {"身分字號", &frmSta::T8},
    {"郵遞區號", &frmSta::T6},        {"電子郵件", &frmSta::T9},  {"行動電話", &frmSta::T12},
    {"生日", &frmSta::T13},           {"僱用日期", &frmSta::T14}, {"薪水", &frmSta::T15},
    {"緊急連絡人姓名", &frmSta::T16}, {"備註", &frmSta::T19},     {"職稱", &frmSta::T20},
};

std::string twoParts(const std::string& first, const std::string& second) {
    return first + ";" + second;
}

// The ROC date as the staff record keeps it: no leading zeros.
std::string rocDateText(const Date& date) {
    return std::to_string(date.year() - 1911) + "/" + std::to_string(date.month()) + "/" +
           std::to_string(date.day());
}

// The prefix part of a staff number: one letter, or a two-digit stroke code.
std::string numberPrefixOf(const std::string& number) {
    bool letter = !number.empty() && number[0] >= 'A' && number[0] <= 'Z';
    return number.substr(0, letter ? 1 : 2);
}

}  // namespace

frmSta::frmSta() : Form(FormName) {
    SetCaption("員工資料");
    SetBorderStyle(1);
    SetMaxButton(false);
    LayOut();
    WireEvents();
    MoveOnWithEnter();
}

void frmSta::LayOut() {
    SetClientSize(9990, FullPageHeight - TitleBarTwips - FrameTwips);
    constexpr int L = 60, LW = 1960, B = 2040, BW = 1500, R = 3600, RW = 1500, C = 5160, CW = 1560,
                  H = 300;
    auto y = [](int row) { return 60 + row * 360; };
    applyLayout({
        {&Label1, nullptr, 120, 150, 900, 300, "搜尋條件:"},
        {&Combo1, nullptr, 1080, 105, 1200, 300},
        {&cmdPp, nullptr, 8670, 60, 1200, 380, "列印"},
        {&hfg, nullptr, 120, 510, 9750, 1860},
        {&cmdAdd, nullptr, 120, 2430, 1100, 380, "新增"},
        {&cmdDel, nullptr, 1320, 2430, 1100, 380, "刪除"},
        {&Command1, nullptr, 3600, 2430, 1300, 380, "全文搜尋"},
        {&Command3, nullptr, 5000, 2430, 1300, 380, "全部顯示"},
        {&Command2, nullptr, 8370, 2430, 1500, 380, "整頁模式>>"},
        {&Frame1, nullptr, 120, 2880, 9750, 4860, "詳細資料"},
        {&P1, &Frame1, 60, 240, 6780, 3360, nullptr, Borderless},
        // The entry boxes in the order a record is typed in, which Tab and Enter follow from
        // 中文姓名 on; it is not the order in which they stand, and the remarks come before the
        // two dates.
        {&lbT(0), &P1, L, y(0), LW, H, "員工編號:", RightAligned},
        {&T1, &P1, B, y(0), BW, H},
        {&lbT(1), &P1, R, y(0), RW, H, "中文姓名:", RightAligned},
        {&T2, &P1, C, y(0), CW, H},
        {&lbT(2), &P1, L, y(1), LW, H, "英文姓名:   (使用者名稱)", RightAligned},
        {&T3, &P1, B, y(1), BW, H},
        {&lbT(3), &P1, R, y(1), RW, H, "部門:", RightAligned},
        {&T4, &P1, C, y(1), CW, H},
        {&lbT(4), &P1, L, y(2), LW, H, "職稱:", RightAligned},
        {&T20, &P1, B, y(2), BW, H},
        {&lbT(6), &P1, L, y(3), LW, H, "住家地址:", RightAligned},
        {&cb1, &P1, B, y(3), 1200, H},
        {&T5, &P1, B + 1260, y(3), 6720 - B - 1260, H},
        {&lbT(7), &P1, L, y(4), LW, H, "郵遞區號:", RightAligned},
        {&T6, &P1, B, y(4), BW, H},
        {&lbT(5), &P1, R, y(2), RW, H, "身分字號:", RightAligned},
        {&T8, &P1, C, y(2), CW, H},
        {&lbT(13), &P1, L, y(7), LW, H, "薪水:", RightAligned},
        {&T15, &P1, B, y(7), BW, H},
        {&lbT(9), &P1, L, y(5), LW, H, "住家電話:", RightAligned},
        {&T10, &P1, B, y(5), 500, H},
        {&T11, &P1, B + 540, y(5), BW - 540, H},
        {&lbT(8), &P1, R, y(4), RW, H, "電子郵件:", RightAligned},
        {&T9, &P1, C, y(4), CW, H},
        {&lbT(10), &P1, R, y(5), RW, H, "行動電話:", RightAligned},
        {&T12, &P1, C, y(5), CW, H},
        {&lbT(14), &P1, R, y(7), RW, H, "緊急連絡人姓名:", RightAligned},
        {&T16, &P1, C, y(7), CW, H},
        {&lbT(15), &P1, L, y(8), LW, H, "緊急連絡人電話:", RightAligned},
        {&T17, &P1, B, y(8), 500, H},
        {&T18, &P1, B + 540, y(8), BW - 540, H},
        {&lbT(16), &Frame1, 120, 3660, 600, 300, "備註:"},
        {&lbT(17), &Frame1, 720, 3660, 2400, 300, "(換行請按 Ctrl+Enter)"},
        {&T19, &Frame1, 60, 3960, 9630, 780},
        {&lbT(12), &P1, R, y(6), RW, H, "僱用日期:", RightAligned},
        {&T14, &P1, C, y(6), CW - 300, H},
        {&lbT(11), &P1, L, y(6), LW, H, "生日:", RightAligned},
        {&T13, &P1, B, y(6), BW - 300, H},
        {&DTP2, &P1, C + CW - 280, y(6), 280, H},
        {&DTP1, &P1, B + BW - 280, y(6), 280, H},
        {&Frame3, &Frame1, 6960, 180, 2700, 2280, "密碼設定"},
        {&cmdPaSet, &Frame3, 120, 300, 1200, 360, "密碼設定"},
        {&lbop, &Frame3, 120, 330, 1000, 300, "原始密碼: "},
        {&txtOp, &Frame3, 1140, 300, 1440, 300},
        {&lbNp, &Frame3, 120, 720, 1000, 300, "新  密  碼: "},
        {&txtNp, &Frame3, 1140, 690, 1440, 300},
        {&lbCp, &Frame3, 120, 1110, 1000, 300, "確定密碼 : "},
        {&txtCp, &Frame3, 1140, 1080, 1440, 300},
        {&cmdPass, &Frame3, 240, 1620, 1000, 380, "變更"},
        {&cmdCnC, &Frame3, 1320, 1620, 1200, 380, "取消變更"},
        {&lbf, &Frame1, 6960, 2580, 2700, 300, nullptr, Centred | Bold},
        {&cmdEdit, &Frame1, 6960, 3000, 1300, 420, "修改"},
        {&cmdY, &Frame1, 6960, 3000, 1300, 420, "確定"},
        {&cmdN, &Frame1, 8360, 3000, 1300, 420, "取消"},
    });
    T19.SetMultiLine(true);
    Combo1.SetText("編號");
    L1.SetVisible(false);
    lbf.SetForeColor(0x0000FF);
    for (const char* prefix : {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11",
                               "12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22",
                               "23", "24", "25", "26", "27", "28", "29", "30", "31", "32", "33"})
        Combo1.AddItem(prefix);
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        Combo1.AddItem(std::string(1, letter));
    for (TextBox* box : {&txtOp, &txtNp, &txtCp})
        box->SetPasswordChar("*");
    ShowPasswordControls(false);
}

void frmSta::WireEvents() {
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    cmdPp.Click = [] {};
    Combo1.Click = [this] { Combo1_Click(); };
    Combo1.LostFocus = [this] { Combo1.SetVisible(false); };
    hfg.Click = [this] { hfg_Click(); };
    hfg.DblClick = [this] { hfg_DblClick(); };
    hfg.KeyDown = [this](int& keyCode, int shift) { hfg_KeyDown(keyCode, shift); };
    hfg.MouseDown = [this](int button, int shift, float x, float y) {
        hfg_MouseDown(button, shift, x, y);
    };
    DTP1.Picked = [this] { DTP1_Change(); };
    DTP2.Picked = [this] { DTP2_Change(); };
    cmdAdd.Click = [this] { cmdAdd_Click(); };
    cmdEdit.Click = [this] { cmdEdit_Click(); };
    cmdY.Click = [this] { cmdY_Click(); };
    cmdN.Click = [this] { cmdN_Click(); };
    cmdDel.Click = [this] { cmdDel_Click(); };
    cmdPaSet.Click = [this] { cmdPaSet_Click(); };
    cmdPass.Click = [this] { cmdPass_Click(); };
    cmdCnC.Click = [this] { cmdCnC_Click(); };
    cb1.Click = [this] { cb1_Click(); };
    T2.Validate = [this](bool& cancel) { T2_Validate(cancel); };
}

// Enter moves on as Tab does, through the boxes in the order a record is typed in.
void frmSta::MoveOnWithEnter() {
    for (Control* control : std::initializer_list<Control*>{
             &T2, &T3,  &T4,  &T20, &cb1, &T5,  &T6,  &T8,  &T15,   &T10,   &T11,
             &T9, &T12, &T16, &T17, &T18, &T19, &T14, &T13, &txtOp, &txtNp, &txtCp})
        control->KeyPress = [this](int& keyAscii) {
            if (keyAscii == Key::Enter) FocusNextAfterEvent();
        };
}

void frmSta::Form_Load() {
    SetTop(615);
    SetLeft((screenWidth() - Width()) / 2);
    SetupStaffGrid();
    SetEditMode(false);
    SetPageMode(false);
    FillCounties();
    FillStaffList("01");
}

void frmSta::SetupStaffGrid() {
    hfg.Clear();
    hfg.SetRows(2);
    hfg.SetCols(7);
    for (int c = 0; c < 7; ++c)
        hfg.SetColWidth(c, StaffColumnWidths[c]);
    for (int c = 1; c < 6; ++c)
        hfg.SetTextMatrix(0, c, StaffHeaders[c]);
}

// Walks on from the prefix asked to the first one that has staff; an empty prefix lists all.
void frmSta::FillStaffList(std::string prefix) {
    hfg.SetVisible(false);
    Recordset rs;
    for (;;) {
        rs = PeopleDb().OpenRecordset(
            "SELECT 員工編號 AS 編號, 中文姓名, 地址, 住家電話, 行動電話 FROM 員工 "
            "WHERE 員工編號 LIKE ? ESCAPE '\\' ORDER BY 員工編號, 中文姓名",
            likePrefix(prefix));
        if (!rs.Eof()) break;
        std::optional<std::string> next = NextListPrefix(prefix);
        if (!next) break;
        prefix = *next;
    }
    hfg.SetVisible(true);
    if (rs.Eof()) {
        messageBox("所選編號無記錄", MessagePlain, SuiteTitle);
        Combo1.SetText("編號");
        return;
    }
    hfg.SetRows(static_cast<int>(rs.RecordCount()) + 1);
    hfg.SetCols(rs.FieldCount() + 1);
    for (int r = 1; !rs.Eof(); ++r, rs.MoveNext()) {
        for (int c = 1; c <= rs.FieldCount(); ++c) {
            std::string text = rs.Fields(c - 1).text();
            if (c < 3) {
                hfg.SetTextMatrix(r, c, text);
                continue;
            }
            hfg.SetTextMatrix(r, c, SemicolonsToBlanks(text));
            hfg.SetRow(r);
            hfg.SetCol(c);
            hfg.SetCellAlignment(LeftAlignedCentre);
        }
    }
    Combo1.SetText(numberPrefixOf(hfg.TextMatrix(1, 1)));
}

void frmSta::SetPageMode(bool full) {
    SetHeight(full ? FullPageHeight : SimpleHeight);
    Command2.SetCaption(full ? "簡單模式<<" : "整頁模式>>");
}

void frmSta::SetEditMode(bool entering) {
    for (Control* control : std::initializer_list<Control*>{&cmdY, &cmdN, &lbf})
        control->SetVisible(entering);
    for (Control* control : std::initializer_list<Control*>{&Command1, &Command2, &Command3})
        control->SetVisible(!entering);
    bool editor = !entering && HasRight(RightStaffEdit);
    for (Control* control : std::initializer_list<Control*>{&cmdAdd, &cmdEdit, &cmdDel})
        control->SetVisible(editor);
}

void frmSta::SetDetailsEnabled(bool enabled) {
    P1.SetEnabled(enabled);
    T19.SetEnabled(enabled);
    Frame3.SetEnabled(enabled);
}

void frmSta::ShowStaffDetails() {
    if (SelectedStaffName.empty()) return;
    ShowMember(SelectedStaffName);
}

// The record is kept as shown before it is read for showing, so that a change falling between
// the two reads is taken for a conflict at the save rather than written over. False when no
// member has the name; the boxes then stay as they were.
bool frmSta::ShowMember(const std::string& name) {
    ShownRows record = ShownStaffRecord(PeopleDb(), name);
    ShownRows password = ShownStaffPassword(PeopleDb(), name);
    Recordset row = PeopleDb().OpenRecordset("SELECT * FROM 員工 WHERE 中文姓名 = ?", name);
    if (row.Eof()) return false;
    shownRecord_ = std::move(record);
    shownPassword_ = std::move(password);
    ShowRow(row);
    return true;
}

void frmSta::ShowRow(Recordset& row) {
    T1.SetText(row.Fields("員工編號").text());
    T2.SetText(row.Fields("中文姓名").text());
    for (const StaffField& f : StaffFields)
        (this->*f.box).SetText(row.Fields(f.field).text());
    std::string address = row.Fields("地址").text();
    cb1.SetText(TextBeforeSemicolon(address));
    T5.SetText(TextAfterSemicolon(address));
    std::string phone = row.Fields("住家電話").text();
    T10.SetText(TextBeforeSemicolon(phone));
    T11.SetText(TextAfterSemicolon(phone));
    std::string contact = row.Fields("緊急連絡人電話").text();
    T17.SetText(TextBeforeSemicolon(contact));
    T18.SetText(TextAfterSemicolon(contact));
    HeldPassword = row.Fields("pass").text();
    passwordOwner_ = row.Fields("中文姓名").text();
}

void frmSta::FillCounties() {
    cb1.Clear();
    L1.Clear();
    for (Recordset rs = PeopleDb().OpenTable("縣市"); !rs.Eof(); rs.MoveNext()) {
        cb1.AddItem(rs.Fields("縣市").text());
        L1.AddItem(rs.Fields("區碼").text());
    }
}

void frmSta::ClearEntryFields() {
    for (Control* control : Controls()) {
        if (auto* box = dynamic_cast<TextBox*>(control)) box->SetText("");
        if (auto* combo = dynamic_cast<ComboBox*>(control)) combo->SetText("");
    }
}

// Search and list --------------------------------------------------------------------------

void frmSta::Command1_Click() {
    EntryMode = "QureF";
    std::string text = inputBox("請輸入搜尋文字", SuiteTitle);
    if (text.empty()) {
        EntryMode.clear();
        return;
    }
    ShowSearchResults(text);
}

void frmSta::ShowSearchResults(const std::string& text) {
    std::vector<StaffSearchHit> hits = SearchStaff(PeopleDb(), text);
    hfg.Clear();
    hfg.SetCols(3);
    hfg.SetRows(std::max<int>(static_cast<int>(hits.size()), 1) + 1);
    for (int c = 0; c < 3; ++c)
        hfg.SetColWidth(c, SearchColumnWidths[c]);
    hfg.SetTextMatrix(0, 1, "中文姓名");
    hfg.SetTextMatrix(0, 2, "搜尋結果:  (欄位名稱)  -->   找到字串");
    for (size_t i = 0; i < hits.size(); ++i) {
        int r = static_cast<int>(i) + 1;
        hfg.SetTextMatrix(r, 1, hits[i].name);
        hfg.SetTextMatrix(r, 2, "在 (" + hits[i].field + ") 有  -->    " + hits[i].value);
    }
    if (hits.empty()) hfg.SetTextMatrix(1, 2, "找不到資料");
}

void frmSta::Command2_Click() {
    if (Command2.Caption() != "整頁模式>>") {
        SetPageMode(false);
        return;
    }
    if (SelectedStaffName.empty()) {
        messageBox(PickFirst, MessagePlain, SuiteTitle);
        return;
    }
    ShowStaffDetails();
    SetPageMode(true);
    SetEditMode(false);
    SetDetailsEnabled(false);
}

void frmSta::Command3_Click() {
    EntryMode.clear();
    SetupStaffGrid();
    SetPageMode(false);
    FillCounties();
    FillStaffList("");
}

void frmSta::Combo1_Click() {
    FillStaffList(Combo1.Text());
}

void frmSta::SelectRow(int row) {
    SelectedStaffName = hfg.TextMatrix(row, hfg.Cols() == 3 ? 1 : 2);
    ShowStaffDetails();
}

void frmSta::hfg_Click() {
    if (hfg.MouseRow() <= 0) return;
    SelectRow(hfg.MouseRow());
}

void frmSta::hfg_DblClick() {
    if (hfg.MouseRow() <= 0) return;
    SelectedStaffName = hfg.TextMatrix(hfg.MouseRow(), hfg.Cols() == 3 ? 1 : 2);
    SetPageMode(true);
    ShowStaffDetails();
    SetDetailsEnabled(false);
}

// The member shown is the one of the row the key moves to, so that Edit and Delete act on the
// highlighted person.
void frmSta::hfg_KeyDown(int& keyCode, int) {
    if (keyCode != Key::Up && keyCode != Key::Down) return;
    int row = hfg.Row() + (keyCode == Key::Up ? -1 : 1);
    row = std::clamp(row, hfg.FixedRows(), hfg.Rows() - 1);
    hfg.SetCol(EntryMode == "QureF" ? 1 : 2);
    SelectedStaffName = hfg.TextMatrix(row, hfg.Col());
    ShowStaffDetails();
}

void frmSta::hfg_MouseDown(int button, int, float, float) {
    if (button == RightButton && hfg.MouseRow() == 0 &&
        (hfg.MouseCol() == 1 || hfg.MouseCol() == 2))
        Combo1.SetVisible(true);
}

void frmSta::DTP1_Change() {
    T13.SetText(rocDateText(DTP1.Value()));
}

void frmSta::DTP2_Change() {
    T14.SetText(rocDateText(DTP2.Value()));
}

// Entry ------------------------------------------------------------------------------------

void frmSta::cmdAdd_Click() {
    EntryMode = "AddF";
    lbf.SetCaption("新增中");
    SetPageMode(true);
    SetEditMode(true);
    SetDetailsEnabled(true);
    hfg.SetEnabled(false);
    ClearEntryFields();
    T2.SetEnabled(true);
    T2.SetFocus();
}

void frmSta::cmdEdit_Click() {
    if (SelectedStaffName.empty() || !ShowMember(SelectedStaffName)) {
        messageBox(PickFirst, MessagePlain, SuiteTitle);
        return;
    }
    EntryMode = "EditF";
    lbf.SetCaption("修改中");
    SetPageMode(true);
    SetEditMode(true);
    SetDetailsEnabled(true);
    hfg.SetEnabled(false);
    T3.SetFocus();
    T1.SetEnabled(false);
    T2.SetEnabled(false);
}

// The number is proposed while a new member is typed in; once stored it stays as stored.
void frmSta::T2_Validate(bool&) {
    if (EntryMode != "AddF" || T2.Text().empty()) return;
    NumberPrefix = StaffNumberPrefix(T2.Text());
    T1.SetText(NextStaffNumber(PeopleDb(), T2.Text()));
}

void frmSta::cmdY_Click() {
    SaveStaff();
}

bool frmSta::SaveStaff() {
    if (T1.Text().empty() || T2.Text().empty() || T3.Text().empty()) {
        messageBox("請輸入員工中文姓名 & 英文名", MessageExclamation, SuiteTitle);
        return false;
    }
    if (EntryMode == "AddF" || EntryMode == "EditF") {
        if (equalsNoCase(T3.Text(), SuperUserName)) {
            RefuseReservedName();
            return false;
        }
        if (!StoreRow()) return false;
    }
    EntryMode.clear();
    SetEditMode(false);
    FillStaffList("");
    SetDetailsEnabled(false);
    hfg.SetEnabled(true);
    return true;
}

void frmSta::RefuseReservedName() {
    messageBox("不可使用此英文名稱", MessagePlain, SuiteTitle);
    T3.SetFocus();
    T3.SelectAll();
}

// The password, the rights and the unused field are left as they are: a new member has no
// password and the default rights. An edit writes only over the record as shown: a member
// deleted meanwhile keeps the edits on screen for the user, one changed meanwhile is shown as
// stored. A failed write stores nothing and leaves the entry open to be saved again.
bool frmSta::StoreRow() {
    try {
        bool gone = false;
        bool unchanged = SaveUnlessChanged([&] {
            Transaction transaction(PeopleDb(), TransactionKind::Writes);
            Recordset row;
            if (EntryMode == "AddF") {
                row = PeopleDb().OpenTable("員工");
                row.AddNew();
            } else {
                row = PeopleDb().OpenRecordset("SELECT * FROM 員工 WHERE 中文姓名 = ?", T2.Text());
                gone = row.Eof();
                if (gone) return;
                shownRecord_.CheckUnchanged(PeopleDb());
                row.Edit();
            }
            WriteRow(row);
            try {
                row.Update();
            } catch (const DbError&) {
                row.CancelUpdate();
                throw;
            }
            transaction.Commit();
        });
        if (gone) messageBox(MemberGone, MessageExclamation, SuiteTitle);
        if (!unchanged) ShowMember(T2.Text());
        return unchanged && !gone;
    } catch (const UniqueViolation&) {
        messageBox("員工姓名重複", MessageExclamation, SuiteTitle);
    } catch (const DbError& error) {
        // Any other refusal of the row is told by its description alone, with no icon.
        throw StyledError(error.what(), MessagePlain);
    }
    return false;
}

void frmSta::WriteRow(Recordset& row) {
    row.SetField("員工編號", T1.Text());
    row.SetField("中文姓名", T2.Text());
    for (const StaffField& f : StaffFields)
        row.SetField(f.field, (this->*f.box).Text());
    row.SetField("地址", twoParts(cb1.Text(), T5.Text()));
    row.SetField("住家電話", twoParts(T10.Text(), T11.Text()));
    row.SetField("緊急連絡人電話", twoParts(T17.Text(), T18.Text()));
}

void frmSta::cmdN_Click() {
    SetEditMode(false);
    SetDetailsEnabled(false);
    hfg.SetEnabled(true);
    EntryMode.clear();
}

void frmSta::cmdDel_Click() {
    if (SelectedStaffName.empty()) {
        messageBox(PickFirst, MessagePlain, SuiteTitle);
        return;
    }
    if (messageBox("確定刪除 ( " + SelectedStaffName + " )", MessageYesNoDefaultNo, SuiteTitle) !=
        AnswerYes) {
        FillStaffList("");
        return;
    }
    PeopleDb().Execute("DELETE FROM 員工 WHERE 中文姓名 = ?", SelectedStaffName);
    ClearEntryFields();
    SelectedStaffName.clear();
    SetupStaffGrid();
    FillStaffList("");
    Command2_Click();
}

void frmSta::cb1_Click() {
    std::string areaCode = L1.List(cb1.ListIndex());
    T10.SetText(areaCode);
    T17.SetText(areaCode);
    FocusNextAfterEvent();
}

// Passwords --------------------------------------------------------------------------------

void frmSta::ShowPasswordControls(bool shown) {
    for (Control* control : std::initializer_list<Control*>{&lbop, &txtOp, &lbNp, &txtNp, &lbCp,
                                                            &txtCp, &cmdPass, &cmdCnC})
        control->SetVisible(shown);
    cmdPaSet.SetVisible(!shown);
}

// A record being entered is stored first; when that stores nothing there is no password to
// change. The save ends the entry and disables the details, yet the password frame must stay
// usable for the change that follows.
void frmSta::cmdPaSet_Click() {
    if (T2.Text().empty() || T1.Text().empty()) {
        messageBox("請先填入中文姓名與英文姓名", MessageExclamation, SuiteTitle);
        return;
    }
    if (!EntryMode.empty()) {
        if (!SaveStaff()) return;
        if (!ReadPassword(T2.Text())) return;
        Frame3.SetEnabled(true);
    }
    ShowPasswordControls(true);
    // The change starts with the old password, typed where the button stood.
    txtOp.SetFocus();
}

// The password held is kept as shown before it is read, as a record is.
bool frmSta::ReadPassword(const std::string& name) {
    ShownRows password = ShownStaffPassword(PeopleDb(), name);
    Recordset rs = PeopleDb().OpenRecordset("SELECT pass FROM 員工 WHERE 中文姓名 = ?", name);
    if (rs.Eof()) return false;
    shownPassword_ = std::move(password);
    HeldPassword = rs.Fields("pass").text();
    passwordOwner_ = name;
    return true;
}

// Only the password of the stored member it was read for can change: the boxes stay shown
// while a new member is typed in, and then belong to no stored member.
void frmSta::cmdPass_Click() {
    if (EntryMode == "AddF" || T2.Text().empty() || T2.Text() != passwordOwner_) {
        messageBox("此員工資料尚未儲存，無法變更密碼", MessageExclamation, SuiteTitle);
        return;
    }
    if (!equalsNoCase(txtOp.Text(), HeldPassword)) {
        messageBox("密碼錯誤", MessageExclamation, SuiteTitle);
        return;
    }
    if (!equalsNoCase(txtNp.Text(), txtCp.Text())) {
        messageBox("新密碼與確定密碼不同", MessageExclamation, SuiteTitle);
        return;
    }
    switch (StorePassword()) {
        case PasswordStore::MemberGone:
            messageBox("此員工資料已被其他使用者刪除，無法變更密碼", MessageExclamation,
                       SuiteTitle);
            return;
        case PasswordStore::ChangedElsewhere:
            ReadPassword(T2.Text());
            return;
        case PasswordStore::Stored:
            break;
    }
    HeldPassword = txtNp.Text();
    ShowPasswordControls(false);
    messageBox("密碼變更完成\r\n下次請使用新密碼登入", MessagePlain, SuiteTitle);
}

// The password is written only over the one held; the user is told of a change made meanwhile.
frmSta::PasswordStore frmSta::StorePassword() {
    Database& people = PeopleDb();
    bool gone = false;
    bool unchanged = SaveUnlessChanged([&] {
        Transaction transaction(people, TransactionKind::Writes);
        gone = !StaffMemberStored(people, T2.Text());
        if (gone) return;
        shownPassword_.CheckUnchanged(people);
        people.Execute("UPDATE 員工 SET pass = ? WHERE 中文姓名 = ?", txtNp.Text(), T2.Text());
        ShownRows changed = shownPassword_;
        changed.Reread(people);
        transaction.Commit();
        shownPassword_ = std::move(changed);
    });
    if (!unchanged) return PasswordStore::ChangedElsewhere;
    return gone ? PasswordStore::MemberGone : PasswordStore::Stored;
}

void frmSta::cmdCnC_Click() {
    for (TextBox* box : {&txtOp, &txtNp, &txtCp})
        box->SetText("");
    ShowPasswordControls(false);
}

}  // namespace kiv

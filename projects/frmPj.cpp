#include "projects/frmPj.h"

#include <algorithm>

#include "platform/db/Amount.h"
#include "platform/db/Errors.h"
#include "platform/db/Format.h"
#include "platform/forms/AmountEntry.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "platform/forms/UnsavedInput.h"
#include "projects/ProjectForms.h"
#include "projects/frmPjReport.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* Browsing = "〔瀏覽〕";
constexpr const char* Adding = "〔新增中〕";
constexpr const char* Editing = "〔修改中〕";
constexpr const char* ToReport = "<< 報表";
constexpr const char* ToWorkTypes = ">> 工種";
constexpr int PickOnly = 2;
constexpr int TypesPerList = 20;

// Two columns of a caption and its field, then the lower half (work types or the report), then
// the scroll bar above the buttons.
constexpr int FormWidth = 9720;
constexpr int RowStep = 405;
constexpr int FieldHeight = 330;
constexpr int CaptionWidth = 1140;
constexpr int LeftCaption = 120;
constexpr int LeftField = 1320;
constexpr int RightCaption = 4920;
constexpr int RightField = 6120;
constexpr int FieldWidth = 3480;
constexpr int DateLabelWidth = 1980;
constexpr int PickerWidth = 1500;
constexpr int CaptionDrop = 45;
constexpr int LowerTop = 120 + 7 * RowStep + 60;
constexpr int LowerHeight = 4860;
constexpr int ListWidth = 3000;
constexpr int BarTop = LowerTop + LowerHeight + 120;
constexpr int ButtonTop = BarTop + 360;
constexpr int ButtonHeight = 420;
constexpr int FormHeight = ButtonTop + ButtonHeight + 120;

constexpr int rowTop(int row) {
    return 120 + row * RowStep;
}
constexpr FieldRows Rows{rowTop(0), RowStep, FieldHeight, CaptionDrop, CaptionWidth};

Placement button(CommandButton& cmd, int left, int width, const char* text) {
    return {&cmd, nullptr, left, ButtonTop, width, ButtonHeight, text};
}

// The project's total as typed: separators and a leading minus allowed, an empty box counting 0.
constexpr AmountRule ProjectTotalRule{.negativeAllowed = true, .emptyAllowed = true};

// A pick writes its label without the era ("115/11/30"), while a stored date shows with it; both
// read back as the same day at the save. Every pick writes, also one of the day already shown.
void pickIntoLabel(DatePicker& picker, Label& label) {
    ShowLabelCalendar(picker, false);
    picker.Picked = [&picker, &label] { label.SetCaption(GridRocDate(picker.Value())); };
}

void fillCombo(ComboBox& box, const std::vector<std::string>& names) {
    box.Clear();
    for (const std::string& name : names)
        box.AddItem(name);
}

}  // namespace

frmPj::frmPj() : Form(FormName) {
    SetCaption("專案管理");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetClientSize(FormWidth, FormHeight);
    SetCentreOnScreen(true);
    LayOut();
    WireEvents();
}

void frmPj::LayOut() {
    const int listTop = 300;
    applyLayout({
        Rows.caption(captions(0), LeftCaption, 0, "專案號碼:"),
        Rows.field(txtPjNo, LeftField, 0, 2400),
        {&cmdSpj, nullptr, LeftField + 2460, rowTop(0), 420, FieldHeight, "...."},
        {&lbStat, nullptr, RightField, rowTop(0) + CaptionDrop, FieldWidth,
         FieldHeight - CaptionDrop, Browsing, Bold},
        Rows.caption(captions(1), LeftCaption, 1, "專案名稱:"),
        Rows.field(cbPj, LeftField, 1, FieldWidth + 300),
        Rows.field(txtPjN, LeftField, 1, FieldWidth),
        Rows.caption(captions(2), RightCaption, 1, "總金 額:"),
        Rows.field(txtCash, RightField, 1, 2160, RightAligned),

        Rows.caption(captions(3), LeftCaption, 2, "簽約日:"),
        Rows.field(lbSin, LeftField, 2, DateLabelWidth, ValueField),
        Rows.field(DTP3, LeftField + DateLabelWidth + 60, 2, PickerWidth),
        Rows.caption(captions(4), RightCaption, 2, "開工日:"),
        Rows.field(lbSt, RightField, 2, DateLabelWidth, ValueField),
        Rows.field(DTP1, RightField + DateLabelWidth + 60, 2, PickerWidth),
        Rows.caption(captions(5), LeftCaption, 3, "預計完工日:"),
        Rows.field(lbEd, LeftField, 3, DateLabelWidth, ValueField),
        Rows.field(DTP2, LeftField + DateLabelWidth + 60, 3, PickerWidth),
        {&cmdRi, nullptr, RightCaption, rowTop(3), 780, FieldHeight, "應收"},
        {&cmdRo, nullptr, RightCaption + 840, rowTop(3), 780, FieldHeight, "應付"},
        {&cmdRio, nullptr, RightCaption + 1680, rowTop(3), 1440, FieldHeight, "應收付狀況"},
        {&Command2, nullptr, RightCaption + 3180, rowTop(3), 1500, FieldHeight, "專案報表"},

        Rows.caption(captions(6), LeftCaption, 4, "業主名稱:"),
        Rows.field(cbCust, LeftField, 4, FieldWidth),
        Rows.caption(captions(7), RightCaption, 4, "施工地址:"),
        Rows.field(txtEngAdd, RightField, 4, FieldWidth),
        Rows.caption(captions(8), LeftCaption, 5, "專案負責人"),
        Rows.field(cbPled, LeftField, 5, 1800),
        Rows.caption(captions(9), RightCaption, 5, "設  計  師:"),
        Rows.field(cbDiser, RightField, 5, 1800),
        Rows.caption(captions(10), LeftCaption, 6, "工務:"),
        Rows.field(cbWork, LeftField, 6, 1800),
        Rows.caption(captions(11), 3240, 6, "負責部門:"),
        Rows.field(txtPart, 4440, 6, 1500),
        Rows.caption(captions(12), 6060, 6, "案場:"),
        Rows.field(txtArea, 7260, 6, 1320),
        Rows.field(ckFnl, 8700, 6, 900),

        {&frmW, nullptr, LeftCaption, LowerTop, FormWidth - 240, LowerHeight, "所包含工種:"},
        {&lstWt(0), &frmW, 120, listTop, ListWidth, LowerHeight - listTop - 120},
        {&lstWt(1), &frmW, 240 + ListWidth, listTop, ListWidth, LowerHeight - listTop - 120},
        {&lstWt(2), &frmW, 360 + 2 * ListWidth, listTop, ListWidth, LowerHeight - listTop - 120},
        {&hfg, nullptr, LeftCaption, LowerTop, FormWidth - 240, LowerHeight},

        {&FSB, nullptr, LeftCaption, BarTop, FormWidth - 240, 270},
        button(cmdAdd, 120, 900, "新增"),
        button(cmdEdit, 1080, 900, "修改"),
        button(cmdSv, 2040, 900, "存檔"),
        button(cmdCencel, 3000, 900, "取消"),
        button(cmdCal, 4200, 1200, ToReport),
        button(cmdPxls, 5460, 1560, "印報表(Excel)"),
        button(Command1, 8400, 1200, "編輯工種"),
    });
    // The department and the site are stored nowhere: nothing typed there could be kept.
    txtPart.SetLocked(true);
    txtArea.SetLocked(true);
    ckFnl.SetCaption("結案");
    cmdSpj.SetToolTipText("專案查詢");
    cbPj.SetStyle(PickOnly);
    // The list of every project opens tall: about 800 pixels of rows.
    cbPj.SetListRows(40);
    for (int i = 0; i < lstWt.Count(); ++i)
        lstWt(i).SetMultiSelect(1);
}

void frmPj::WireEvents() {
    cmdAdd.Click = [this] { cmdAdd_Click(); };
    cmdEdit.Click = [this] { cmdEdit_Click(); };
    cmdSv.Click = [this] { cmdSv_Click(); };
    cmdCencel.Click = [this] { cmdCencel_Click(); };
    FSB.Change = [this] { FSB_Change(); };
    cbPj.Click = [this] { cbPj_Click(); };
    cbCust.Change = [this] { cbCust_Change(); };
    cmdSpj.Click = [this] { cmdSpj_Click(); };
    cmdCal.Click = [this] { cmdCal_Click(); };
    cmdPxls.Click = [this] { cmdPxls_Click(); };
    hfg.DblClick = [this] { hfg_DblClick(); };
    Command1.Click = [this] { Command1_Click(); };
    cmdRi.Click = [this] { cmdRi_Click(); };
    cmdRo.Click = [this] { cmdRo_Click(); };
    cmdRio.Click = [this] { cmdRio_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    pickIntoLabel(DTP1, lbSt);
    pickIntoLabel(DTP2, lbEd);
    pickIntoLabel(DTP3, lbSin);
}

void frmPj::Form_Load() {
    for (DatePicker* picker : {&DTP1, &DTP2, &DTP3})
        picker->SetValue(Clock::today());
    ProjectPosition = 0;
    lbStat.SetCaption(Browsing);
    FillOwnerList();
    FillWorkTypeLists();
    FillStaffLists();
    FillProjectList();
    OpenProjectRecords();
    ShowCurrentProject();
    SetProjectEditing(false);
    hfg.SetVisible(false);
    cmdPxls.SetVisible(false);
    Command2.SetEnabled(HasRight(RightProjectReport));
}

void frmPj::ClearProjectFields() {
    for (TextBox* box : {&txtPjNo, &txtPjN, &txtCash, &txtEngAdd, &txtPart, &txtArea})
        box->SetText("");
    for (Label* label : {&lbSt, &lbEd, &lbSin})
        label->SetCaption("");
    for (ComboBox* box : {&cbCust, &cbPled, &cbDiser, &cbWork})
        box->SetText("");
    txtPjN.ZOrder(0);
    // A new project starts from the list alone.
    if (!unlistedTypes_.empty()) ShowWorkTypeEntries({});
    ClearWorkTypeTicks();
}

// Add and Edit are offered only with the right to edit projects, the report only with the right
// to see it, whichever way the form returns to browsing.
void frmPj::SetProjectEditing(bool editing) {
    for (Control* control : std::initializer_list<Control*>{
             &txtPjNo, &txtPjN, &txtCash, &DTP1, &DTP2, &DTP3, &cbCust, &txtEngAdd, &cbPled,
             &cbDiser, &cbWork, &ckFnl, &frmW, &cmdSv, &cmdCencel})
        control->SetEnabled(editing);
    for (Control* control : std::initializer_list<Control*>{&FSB, &cmdSpj, &cbPj})
        control->SetEnabled(!editing);
    cmdAdd.SetEnabled(!editing && HasRight(RightProjectEdit));
    cmdEdit.SetEnabled(!editing && HasRight(RightProjectEdit));
    cmdCal.SetEnabled(!editing && HasRight(RightProjectReport));
}

void frmPj::FillWorkTypeLists() {
    listedTypes_.clear();
    for (Recordset rs = PeopleDb().OpenRecordset("SELECT t FROM 種 ORDER BY t_id"); !rs.Eof();
         rs.MoveNext())
        listedTypes_.push_back(rs.Fields("t").text());
    ShowWorkTypeEntries({});
}

// The list's names, then those of the project shown that the list lacks, 20 to a list and all the
// rest in the last one.
void frmPj::ShowWorkTypeEntries(const std::vector<std::string>& unlisted) {
    for (int i = 0; i < lstWt.Count(); ++i)
        lstWt(i).Clear();
    std::vector<std::string> names = listedTypes_;
    names.insert(names.end(), unlisted.begin(), unlisted.end());
    for (int i = 0; i < static_cast<int>(names.size()); ++i)
        lstWt(std::min(i / TypesPerList, lstWt.UBound())).AddItem(names[i]);
    unlistedTypes_ = unlisted;
}

void frmPj::FillStaffLists() {
    std::vector<std::string> names;
    for (Recordset rs = PeopleDb().OpenRecordset("SELECT 中文姓名 FROM 員工 ORDER BY 員工編號");
         !rs.Eof(); rs.MoveNext())
        names.push_back(rs.Fields("中文姓名").text());
    for (ComboBox* box : {&cbPled, &cbDiser, &cbWork})
        fillCombo(*box, names);
}

void frmPj::FillOwnerList() {
    std::vector<std::string> names;
    for (Recordset rs = PeopleDb().OpenRecordset("SELECT 客戶名稱 FROM 客戶 ORDER BY 客戶編號");
         !rs.Eof(); rs.MoveNext())
        names.push_back(rs.Fields("客戶名稱").text());
    fillCombo(cbCust, names);
}

void frmPj::FillProjectList() {
    Recordset rs = AccDb().OpenTable("prj");
    FSB.SetMax(static_cast<int>(rs.RecordCount()) - 1);
    cbPj.Clear();
    for (; !rs.Eof(); rs.MoveNext())
        cbPj.AddItem(rs.Fields("prj").text());
}

void frmPj::OpenProjectRecords() {
    ProjectRecords = AccDb().OpenTable("prj");
}

bool frmPj::ProjectRecordsEmpty() const {
    return !ProjectRecords || ProjectRecords->RecordCount() == 0;
}

void frmPj::ShowCurrentProject() {
    if (ProjectRecordsEmpty() || ProjectRecords->Eof() || ProjectRecords->Bof()) return;
    const Recordset& rs = *ProjectRecords;
    shownProject_ = ShownRows(AccDb(), "SELECT * FROM prj WHERE id = ?", {rs.Fields("id")});
    txtPjNo.SetText(rs.Fields("id").text());
    txtPjN.SetText(rs.Fields("prj").text());
    txtCash.SetText(rs.Fields("tCash").text());
    shownTotal_ = txtCash.Text();
    ShowDate(lbSt, rs.Fields("stday"));
    ShowDate(lbEd, rs.Fields("edday"));
    ShowDate(lbSin, rs.Fields("sinDay"));
    cbCust.SetText(rs.Fields("cust").text());
    txtEngAdd.SetText(rs.Fields("addr").text());
    cbPled.SetText(rs.Fields("leader").text());
    cbDiser.SetText(rs.Fields("designer").text());
    cbWork.SetText(rs.Fields("engineer").text());
    ckFnl.SetValue(rs.Fields("final").boolean() ? 1 : 0);
    TickProjectWorkTypes(txtPjNo.Text());
}

// A stored work type ticks the first list entry of exactly its name. A name the list lacks (a
// renaming that reached the projects but not the list, a deleted work type) is shown after the
// list's own entries, ticked, so that the project's next save keeps it unless it is unticked.
void frmPj::TickProjectWorkTypes(const std::string& projectNo) {
    ClearWorkTypeTicks();
    shownWorkTypes_ =
        ShownRows(AccDb(), "SELECT w FROM w4pj WHERE pj_id = ? ORDER BY w", {projectNo});
    std::vector<std::string> stored, unlisted;
    for (Recordset rs = AccDb().OpenRecordset("SELECT w FROM w4pj WHERE pj_id = ?", projectNo);
         !rs.Eof(); rs.MoveNext()) {
        stored.push_back(rs.Fields("w").text());
        if (std::ranges::find(listedTypes_, stored.back()) == listedTypes_.end() &&
            std::ranges::find(unlisted, stored.back()) == unlisted.end())
            unlisted.push_back(stored.back());
    }
    if (unlisted != unlistedTypes_) ShowWorkTypeEntries(unlisted);
    for (const std::string& w : stored)
        TickFirstEntry(w);
}

void frmPj::TickFirstEntry(const std::string& name) {
    for (int list = 0; list < lstWt.Count(); ++list)
        for (int i = 0; i < lstWt(list).ListCount(); ++i)
            if (lstWt(list).List(i) == name) {
                lstWt(list).SetSelected(i, true);
                return;
            }
}

void frmPj::ClearWorkTypeTicks() {
    for (int list = 0; list < lstWt.Count(); ++list)
        for (int i = 0; i < lstWt(list).ListCount(); ++i)
            lstWt(list).SetSelected(i, false);
}

std::vector<std::string> frmPj::TickedWorkTypes() const {
    std::vector<std::string> ticked;
    for (int list = 0; list < lstWt.Count(); ++list)
        for (int i = 0; i < lstWt(list).ListCount(); ++i)
            if (lstWt(list).Selected(i)) ticked.push_back(lstWt(list).List(i));
    return ticked;
}

void frmPj::FSB_Change() {
    if (ProjectRecordsEmpty()) return;
    ProjectRecords->Move(FSB.Value() - ProjectPosition);
    ShowCurrentProject();
    TickProjectWorkTypes(txtPjNo.Text());
    ProjectPosition = FSB.Value();
    if (ReportShown()) {
        ShowWorkTypeReport();
    }
}

void frmPj::cbPj_Click() {
    if (cbPj.ListIndex() >= 0) FSB.SetValue(cbPj.ListIndex());
}

// A customer's address is kept as two parts joined by ";", shown joined without it.
void frmPj::cbCust_Change() {
    Recordset rs =
        PeopleDb().OpenRecordset("SELECT 施工地址 FROM 客戶 WHERE 客戶名稱 = ?", cbCust.Text());
    if (rs.Eof()) return;
    std::string address = rs.Fields("施工地址").text();
    std::erase(address, ';');
    txtEngAdd.SetText(address);
}

void frmPj::cmdAdd_Click() {
    ProjectRecords.reset();
    if (ReportShown()) ShowWorkTypeView();
    SetProjectEditing(true);
    ClearProjectFields();
    for (DatePicker* picker : {&DTP1, &DTP2, &DTP3})
        picker->SetValue(Clock::today());
    lbStat.SetCaption(Adding);
    AddingProject = true;
}

void frmPj::cmdEdit_Click() {
    if (ProjectRecordsEmpty()) return;
    if (ckFnl.Value() == 1 &&
        messageBox("專案已完工\n確定修改?", MessageYesNoDefaultNo, NoTitle) != AnswerYes)
        return;
    // The edit starts from the project as stored now: the rows its save checks are the ones
    // edited.
    OpenProjectRecords();
    ProjectRecords->Move(ProjectPosition);
    ShowCurrentProject();
    if (ReportShown()) ShowWorkTypeView();
    SetProjectEditing(true);
    txtPjNo.SetEnabled(false);
    txtPjN.SetEnabled(false);
    const std::pair<Label*, DatePicker*> dates[] = {
        {&lbSt, &DTP1}, {&lbEd, &DTP2}, {&lbSin, &DTP3}};
    for (auto [label, picker] : dates)
        if (std::optional<Date> date = DateOfLabel(*label)) picker->SetValue(*date);
    lbStat.SetCaption(Editing);
    AddingProject = false;
}

void frmPj::cmdCencel_Click() {
    txtPjN.ZOrder(1);
    OpenProjectRecords();
    if (!ProjectRecordsEmpty()) {
        ProjectRecords->Move(ProjectPosition);
        ShowCurrentProject();
    }
    SetProjectEditing(false);
    lbStat.SetCaption(Browsing);
}

void frmPj::cmdSv_Click() {
    SaveProject();
}

void frmPj::SaveProject() {
    if (txtPjNo.Text().empty()) {
        messageBox("請填入專案號碼", MessageExclamation, ApplicationTitle);
        txtPjNo.SetFocus();
        return;
    }
    if (txtPjN.Text().empty()) {
        messageBox("請填入專案名稱", MessageExclamation, ApplicationTitle);
        txtPjN.SetFocus();
        return;
    }
    if (TotalTyped() && TypedAmount(txtCash, "總金額", ProjectTotalRule).refused()) return;
    if (AddingProject && messageBox("專案新增後將無法修改編號和名稱\n是否新增此專案",
                                    MessageYesNoExclamation, NoTitle) != AnswerYes)
        return;
    // Any other database error is told with its number; the form stays in its mode with what was
    // typed.
    const bool adding = AddingProject;
    try {
        if (!SaveUnlessChanged([&] { StoreProject(adding); })) {
            ShowStoredProject();
            return;
        }
    } catch (const UniqueViolation&) {
        messageBox("專案號碼重複", MessageExclamation, ApplicationTitle);
        txtPjNo.SetFocus();
        txtPjNo.SelectAll();
        return;
    } catch (const DbError& failure) {
        messageBox(std::to_string(failure.code()) + "\n" + failure.what());
        return;
    }
    BackToBrowsing(adding);
}

// A new project's total is always the typed one; an edit's only once the box differs from the
// total shown, so that a stored total no amount box could take (a fraction, an empty one) stays.
bool frmPj::TotalTyped() const {
    return AddingProject || txtCash.Text() != shownTotal_;
}

// The project and its work types are stored together or not at all, and an edit only while they
// are still as shown.
void frmPj::StoreProject(bool adding) {
    Transaction transaction(AccDb(), TransactionKind::Writes);
    if (adding) {
        Recordset project = AccDb().OpenTable("prj");
        project.AddNew();
        project.SetField("id", txtPjNo.Text());
        project.SetField("prj", txtPjN.Text());
        WriteProjectFields(project);
        project.Update();
    } else {
        shownProject_.CheckUnchanged(AccDb());
        shownWorkTypes_.CheckUnchanged(AccDb());
        try {
            ProjectRecords->Edit();
            WriteProjectFields(*ProjectRecords);
            ProjectRecords->Update();
        } catch (...) {
            if (ProjectRecords->EditPending()) ProjectRecords->CancelUpdate();
            throw;
        }
        AccDb().Execute("DELETE FROM w4pj WHERE pj_id = ?", txtPjNo.Text());
    }
    WriteWorkTypes();
    transaction.Commit();
    if (adding) return;
    ProjectRecords.reset();
    shownProject_.Reread(AccDb());
    shownWorkTypes_.Reread(AccDb());
}

// The total, which the save has read as an amount: "1,500,000" is 1500000.
void frmPj::WriteProjectFields(Recordset& project) const {
    if (TotalTyped())
        project.SetField("tCash", ReadAmount(txtCash.Text(), ProjectTotalRule).amount.value_or(0));
    const std::pair<const char*, const Label*> dates[] = {
        {"stday", &lbSt}, {"edday", &lbEd}, {"sinDay", &lbSin}};
    for (auto [name, label] : dates)
        if (std::optional<Date> date = DateOfLabel(*label)) project.SetField(name, *date);
    project.SetField("cust", cbCust.Text());
    project.SetField("addr", txtEngAdd.Text());
    project.SetField("leader", cbPled.Text());
    project.SetField("designer", cbDiser.Text());
    project.SetField("engineer", cbWork.Text());
    project.SetField("final", ckFnl.Value() == 1);
}

void frmPj::WriteWorkTypes() const {
    Recordset types = AccDb().OpenTable("w4pj");
    for (const std::string& w : TickedWorkTypes()) {
        types.AddNew();
        types.SetField("pj_id", txtPjNo.Text());
        types.SetField("w", w);
        types.Update();
    }
}

void frmPj::BackToBrowsing(bool added) {
    OpenProjectRecords();
    SetProjectEditing(false);
    lbStat.SetCaption(Browsing);
    if (!added) {
        ProjectRecords->Move(ProjectPosition);
        return;
    }
    ProjectPosition = 0;
    const int last = FSB.Max() + 1;
    FSB.SetMax(last);
    // The first project of an empty table leaves the bar where it was: it is shown all the same.
    if (FSB.Value() == last)
        FSB_Change();
    else
        FSB.SetValue(last);
}

// Another copy changed the project meanwhile: back to browsing, showing it as stored.
void frmPj::ShowStoredProject() {
    BackToBrowsing(false);
    ShowCurrentProject();
}

void frmPj::cmdSpj_Click() {
    const std::string text = inputBox("請輸入專案編號or專案名稱", ApplicationTitle);
    if (text.empty()) return;
    int position = 0;
    for (Recordset rs = AccDb().OpenTable("prj"); !rs.Eof(); rs.MoveNext(), ++position) {
        if (rs.Fields("id").text().find(text) != std::string::npos ||
            rs.Fields("prj").text().find(text) != std::string::npos) {
            FSB.SetValue(position);
            return;
        }
    }
    messageBox("找不到此專案", MessageExclamation, ApplicationTitle);
}

bool frmPj::ReportShown() const {
    return cmdCal.Caption() == ToWorkTypes;
}

void frmPj::ShowWorkTypeView() {
    cmdCal.SetCaption(ToReport);
    hfg.SetVisible(false);
    frmW.SetVisible(true);
}

void frmPj::ShowReportView() {
    cmdCal.SetCaption(ToWorkTypes);
    hfg.SetVisible(true);
    cmdPxls.SetVisible(true);
    frmW.SetVisible(false);
}

void frmPj::cmdCal_Click() {
    if (ReportShown()) {
        ShowWorkTypeView();
        cmdPxls.SetVisible(false);
        return;
    }
    ShowReportView();
    ShowWorkTypeReport();
}

void frmPj::ShowWorkTypeReport() {
    SetupWorkTypeReportGrid(hfg, TickedWorkTypes());
    BuildWorkTypeReport(hfg, txtPjNo.Text());
}

void frmPj::cmdPxls_Click() {
    ExportWorkTypeReport(hfg, txtPjN.Text(), txtPjNo.Text());
}

// The row is the one under the mouse: a click on a fixed cell (the header, the voucher columns)
// does not move the current cell. The voucher form shows the one voucher only when it is loaded
// afresh for it; one holding an entry is kept, and nothing opens.
void frmPj::hfg_DblClick() {
    const int row = hfg.MouseRow();
    if (row <= 0 || hfg.MouseCol() <= 0 || row >= hfg.Rows()) return;
    const std::string voucherNo = hfg.TextMatrix(row, 3);
    if (voucherNo.empty()) return;
    if (!UnloadUnlessUnsaved("frmIo")) return;
    HandOver<std::string> voucher(OpenVoucherNo, voucherNo);
    HandOver<bool> oneVoucher(ShowOneRecord, true);
    Forms::showByName("frmIo", Modal);
}

void frmPj::Command1_Click() {
    Forms::showByName("frmEm", Modal);
    FillWorkTypeLists();
    TickProjectWorkTypes(txtPjNo.Text());
}

void frmPj::cmdRi_Click() {
    OpenContractForm("optI");
}

void frmPj::cmdRo_Click() {
    OpenContractForm("optO");
}

// The contract form opens on the chosen side and knows nothing of the project shown here. One
// open from the launcher is closed first, unless it holds unsaved input (then nothing opens).
void frmPj::OpenContractForm(const char* option) {
    if (!UnloadUnlessUnsaved("frmRio")) return;
    // Loaded first, so that it shows the side chosen; a form not built says so when shown.
    if (Forms::getByName("frmRio")) Forms::control<OptionButton>("frmRio", option).SetValue(true);
    Forms::showByName("frmRio", Modal);
}

void frmPj::cmdRio_Click() {
    OpenProjectReport(false);
}

void frmPj::Command2_Click() {
    OpenProjectReport(true);
}

void frmPj::OpenProjectReport(bool reportMode) {
    HandOver<bool> mode(ProjectReportMode, reportMode);
    Forms::showByName("frmPjVSrIO", Modal);
}

}  // namespace kiv

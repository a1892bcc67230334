#include "projects/frmEm.h"

#include "platform/db/Database.h"
#include "platform/db/Errors.h"
#include "platform/forms/Host.h"
#include "platform/forms/Layout.h"
#include "platform/forms/SaveConflict.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* SelectFirst = "請先選取";
constexpr int FormWidth = 4320;
constexpr int ButtonLeft = 3060;
constexpr int ButtonWidth = 1080;
constexpr int ButtonHeight = 420;
constexpr int PanelTop = 6060;

Placement button(CommandButton& cmd, int row, const char* text) {
    return {&cmd, nullptr, ButtonLeft, 120 + row * 540, ButtonWidth, ButtonHeight, text};
}

}  // namespace

frmEm::frmEm() : Form(FormName) {
    SetCaption("工種編輯");
    SetBorderStyle(1);
    SetMaxButton(false);
    SetMinButton(false);
    SetCentreOnScreen(true);
    SetWidth(FormWidth);
    SetHeight(ListHeight);
    LayOut();
    WireEvents();
}

// The buttons carry short captions where pictures once stood.
void frmEm::LayOut() {
    applyLayout({
        {&LsM, nullptr, 120, 120, 2820, 5820},
        button(cmdNew, 0, "新增"),
        button(cmdEdit, 1, "修改"),
        button(cmdDel, 2, "刪除"),
        button(cmdUp, 4, "上移"),
        button(cmdDn, 5, "下移"),
        button(Command1, 9, "結束"),
        {&fm, nullptr, 120, PanelTop, FormWidth - 360, 1560, ""},
        {&lb1, &fm, 120, 240, 3600, 285},
        {&txt, &fm, 120, 600, 2100, 330},
        {&lb2, &fm, 2280, 645, 1500, 285},
        {&cmdY, &fm, 1200, 1050, 1080, 375, "確定"},
        {&cmdN, &fm, 2400, 1050, 1080, 375, "取消"},
    });
    // Enter in the name box confirms it; the button shows only with the box.
    cmdY.SetDefault(true);
}

void frmEm::WireEvents() {
    cmdNew.Click = [this] { cmdNew_Click(); };
    cmdEdit.Click = [this] { cmdEdit_Click(); };
    cmdDel.Click = [this] { cmdDel_Click(); };
    cmdUp.Click = [this] { cmdUp_Click(); };
    cmdDn.Click = [this] { cmdDn_Click(); };
    cmdY.Click = [this] { cmdY_Click(); };
    cmdN.Click = [this] { cmdN_Click(); };
    Command1.Click = [this] { Command1_Click(); };
}

void frmEm::Form_Load() {
    HidePanel();
    LoadWorkTypeList();
}

// However the editor closes, the order on screen is the order stored; a list changed meanwhile by
// another copy of the program is shown as stored instead, and the editor stays open.
void frmEm::Form_Unload(int& cancel) {
    if (SaveUnlessChanged([this] { SaveWorkTypeOrder(); })) return;
    LoadWorkTypeList();
    cancel = 1;
}

void frmEm::LoadWorkTypeList() {
    shownTypes_ = ShownRows(PeopleDb(), "SELECT t_id, t FROM 種 ORDER BY t_id, rowid");
    LsM.Clear();
    for (Recordset rs = PeopleDb().OpenRecordset("SELECT t FROM 種 ORDER BY t_id"); !rs.Eof();
         rs.MoveNext())
        LsM.AddItem(rs.Fields("t").text());
}

// The list is written again whole, positions 1 to n: all of it or, on a failure, none of it.
void frmEm::SaveWorkTypeOrder() {
    Transaction transaction(PeopleDb(), TransactionKind::Writes);
    shownTypes_.CheckUnchanged(PeopleDb());
    PeopleDb().Execute("DELETE FROM 種");
    Recordset types = PeopleDb().OpenTable("種");
    for (int i = 0; i < LsM.ListCount(); ++i) {
        types.AddNew();
        types.SetField("t_id", i + 1);
        types.SetField("t", LsM.List(i));
        types.Update();
    }
    transaction.Commit();
    shownTypes_.Reread(PeopleDb());
}

void frmEm::ShowPanel() {
    fm.SetVisible(true);
    SetHeight(PanelHeight);
}

void frmEm::HidePanel() {
    fm.SetVisible(false);
    SetHeight(ListHeight);
}

// A second press while a new name is being typed keeps what was typed.
void frmEm::cmdNew_Click() {
    bool typing = EditMode == "Add" && fm.Visible();
    EditMode = "Add";
    ShowPanel();
    lb1.SetCaption("新增");
    lb2.SetCaption(" 至   工程種類");
    if (!typing) txt.SetText("");
    txt.SetFocus();
}

void frmEm::cmdEdit_Click() {
    if (LsM.ListIndex() < 0) {
        messageBox(SelectFirst, MessagePlain, SuiteTitle);
        return;
    }
    EditMode = "Edit";
    ShowPanel();
    fm.SetBackColor(BackColor());
    lb1.SetCaption("修改【" + LsM.Text() + "】成為：");
    lb2.SetCaption("");
    txt.SetText(LsM.Text());
    txt.SetFocus();
    txt.SelectAll();
}

void frmEm::cmdN_Click() {
    txt.SetText("");
    HidePanel();
}

void frmEm::cmdY_Click() {
    if (EditMode == "Add")
        AddWorkType();
    else if (EditMode == "Edit")
        RenameWorkType();
}

void frmEm::AddWorkType() {
    if (txt.Text().empty()) {
        messageBox("請在空格中輸入 工程類別", MessagePlain, SuiteTitle);
        txt.SetFocus();
        txt.SelectAll();
        return;
    }
    // The new position follows the list as shown; a list changed meanwhile is shown again, with
    // the name still typed.
    const bool stored = SaveUnlessChanged([this] {
        Transaction transaction(PeopleDb(), TransactionKind::Writes);
        shownTypes_.CheckUnchanged(PeopleDb());
        PeopleDb().Execute("INSERT INTO 種 (t_id, t) VALUES (?, ?)", LsM.ListCount() + 1,
                           txt.Text());
        transaction.Commit();
    });
    LoadWorkTypeList();
    if (!stored) return;
    txt.SetText("");
    HidePanel();
}

// The new name reaches the construction items and the projects' work types together; vouchers
// and contracts keep the name they were written with.
void frmEm::RenameWorkType() {
    if (txt.Text().empty()) {
        messageBox("請在空格中輸入 工程種類", MessagePlain, SuiteTitle);
        txt.SetFocus();
        txt.SelectAll();
        return;
    }
    // A deletion may have reloaded the list under the open panel: nothing is chosen to rename.
    if (LsM.ListIndex() < 0) {
        messageBox(SelectFirst, MessagePlain, SuiteTitle);
        return;
    }
    const std::string before = LsM.Text();
    const std::string after = txt.Text();
    const bool stored = SaveUnlessChanged([&] { StoreRenaming(before, after); });
    LoadWorkTypeList();
    if (!stored) return;
    txt.SetText("");
    HidePanel();
}

// Two files, committed one after the other: the projects' rows in acc.mdb first, then the list and
// the items in zove3.mdb. Should the second commit fail, the projects hold the new name and the
// list the old one, and the same renaming done again makes the two agree: the user is told so.
void frmEm::StoreRenaming(const std::string& before, const std::string& after) {
    Transaction people(PeopleDb(), TransactionKind::Writes);
    shownTypes_.CheckUnchanged(PeopleDb());
    PeopleDb().Execute("UPDATE 種 SET t = ? WHERE t = ?", after, before);
    PeopleDb().Execute("UPDATE t2w SET t = ? WHERE t = ?", after, before);
    Transaction books(AccDb(), TransactionKind::Writes);
    AccDb().Execute("UPDATE w4pj SET w = ? WHERE w = ?", after, before);
    books.Commit();
    try {
        people.Commit();
    } catch (const DbError& failure) {
        throw DbError("專案中的工種已改為【" + after + "】，但工種清單未能存檔\n請再將【" + before +
                          "】修改為【" + after + "】\n" + failure.what(),
                      failure.sql(), failure.code());
    }
}

void frmEm::cmdDel_Click() {
    if (LsM.ListIndex() < 0) {
        messageBox(SelectFirst, MessagePlain, SuiteTitle);
        return;
    }
    const std::string name = LsM.Text();
    if (messageBox("確定刪除【" + name + "】\r\n如果刪除會將所包含的施工一並刪除",
                   MessageYesNoDefaultNo, SuiteTitle) != AnswerYes)
        return;
    try {
        if (SaveUnlessChanged([&] { DeleteWorkType(name); })) return;
    } catch (...) {
        LoadWorkTypeList();
        throw;
    }
    LoadWorkTypeList();
}

// The stored positions are 1 to n again at once; a failure keeps the name and the order stored.
void frmEm::DeleteWorkType(const std::string& name) {
    Transaction transaction(PeopleDb(), TransactionKind::Writes);
    shownTypes_.CheckUnchanged(PeopleDb());
    PeopleDb().Execute("DELETE FROM 種 WHERE t = ?", name);
    PeopleDb().Execute("DELETE FROM t2w WHERE t = ?", name);
    LoadWorkTypeList();
    SaveWorkTypeOrder();
    transaction.Commit();
}

void frmEm::SwapEntries(int from, int to) {
    const std::string moved = LsM.List(from);
    LsM.SetList(from, 0, LsM.List(to));
    LsM.SetList(to, 0, moved);
    LsM.SetListIndex(to);
}

void frmEm::cmdUp_Click() {
    const int k = LsM.ListIndex();
    if (k < 0) {
        messageBox("請先選取 再行調整順序", MessagePlain, SuiteTitle);
        return;
    }
    if (k == 0) {
        beep();
        return;
    }
    SwapEntries(k, k - 1);
}

void frmEm::cmdDn_Click() {
    const int k = LsM.ListIndex();
    if (k < 0) {
        messageBox("請先選取 再行調整順序", MessagePlain, SuiteTitle);
        return;
    }
    if (k + 1 >= LsM.ListCount() || LsM.List(k + 1).empty()) {
        beep();
        return;
    }
    SwapEntries(k, k + 1);
}

void frmEm::Command1_Click() {
    Unload();
}

}  // namespace kiv

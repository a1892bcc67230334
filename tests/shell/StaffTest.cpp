#include <gtest/gtest.h>

#include <algorithm>

#include "platform/db/Database.h"
#include "platform/db/WriteFault.h"
#include "shell/Schema.h"
#include "shell/Staff.h"
#include "shell/frmSta.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"

using namespace kiv;

namespace {

class StaffTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        loggedInWith(AllRights);
    }
    void TearDown() override {
        writefault::clear();
        ProgramTest::TearDown();
    }
    static void addStaff(const std::string& no, const std::string& name,
                         const std::string& english = "", const std::string& address = "") {
        PeopleDb().Execute(
            "INSERT INTO 員工 (員工編號, 中文姓名, 英文姓名, 地址, 住家電話) VALUES (?, ?, ?, ?, "
            "?)",
            no, name, english, address, "02;2345");
    }
    // The staff form opened on a list that has staff, in full-page mode, adding a new member.
    frmSta& addingForm() {
        frmSta& form = Forms::get<frmSta>();
        host.click(form.cmdAdd);
        return form;
    }
    void enterName(frmSta& form, const std::string& name, const std::string& english) {
        host.type(form.T2, name);
        host.focus(form.T3);
        host.type(form.T3, english);
    }
    std::vector<std::string> column(const Grid& grid, int col) {
        std::vector<std::string> texts;
        for (int r = 1; r < grid.Rows(); ++r)
            texts.push_back(grid.TextMatrix(r, col));
        return texts;
    }
};

TEST_F(StaffTest, NumbersFollowTheFirstCharacterAndTheHighestSerialOfItsPrefix) {
    struct Case {
        std::vector<std::string> stored;
        const char* name;
        const char* number;
    } cases[] = {
        {{}, "Alice", "A001"},
        {{"A041", "A007", "B900"}, "alice", "A042"},
        {{}, "bob", "B001"},
        {{}, "羅美玲", "19001"},
        {{"07009", "07002"}, "李四", "07010"},
        {{"A999", "A998"}, "Amy", "A1000"},
        {{"A999", "A1000"}, "Amy", "A1001"},
        {{}, "1號工人", "01001"},
        {{"01001"}, "7號", "01002"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PeopleDb().Execute("DELETE FROM 員工");
        int n = 0;
        for (const std::string& no : c.stored)
            addStaff(no, "員" + std::to_string(++n));
        EXPECT_EQ(NextStaffNumber(PeopleDb(), c.name), c.number);
    }
}

TEST_F(StaffTest, TheListWalksOnToTheFirstPrefixWithStaff) {
    addStaff("10001", "王小明", "ming", "臺北市;信義路");
    addStaff("B001", "Betty");
    frmSta& form = Forms::get<frmSta>();
    EXPECT_EQ(form.Combo1.Text(), "10");
    EXPECT_EQ(form.hfg.Cols(), 6);
    EXPECT_EQ(form.hfg.TextMatrix(1, 2), "王小明");
    EXPECT_EQ(form.hfg.TextMatrix(1, 3), "臺北市 信義路");
    EXPECT_EQ(form.hfg.TextMatrix(1, 4), "02 2345");

    host.pick(form.Combo1, form.Combo1.FindEntry("11"));
    EXPECT_EQ(form.Combo1.Text(), "B");
    EXPECT_EQ(column(form.hfg, 2), std::vector<std::string>{"Betty"});
    host.expectMessage("所選編號無記錄");
    host.pick(form.Combo1, form.Combo1.FindEntry("Z"));
    EXPECT_EQ(form.Combo1.Text(), "編號");

    host.click(form.Command3);
    EXPECT_EQ(column(form.hfg, 1), (std::vector<std::string>{"10001", "B001"}));
}

TEST_F(StaffTest, TheHeaderOfNumberOrNameBringsThePrefixComboBack) {
    addStaff("A001", "Ann");
    frmSta& form = Forms::get<frmSta>();
    form.Combo1.SetVisible(false);
    host.mouseDownCell(form.hfg, 0, 3, RightButton);
    EXPECT_FALSE(form.Combo1.Visible());
    host.mouseDownCell(form.hfg, 0, 2, RightButton);
    EXPECT_TRUE(form.Combo1.Visible());
}

TEST_F(StaffTest, ANewMemberIsNumberedStoredWithDefaultRightsAndNoPassword) {
    addStaff("A001", "Ann");
    frmSta& form = addingForm();
    EXPECT_FALSE(form.hfg.Enabled());
    enterName(form, "羅美玲", "mei");
    EXPECT_EQ(form.T1.Text(), "19001");
    host.click(form.cmdY);
    EXPECT_EQ(rows(PeopleDb(),
                   "SELECT 員工編號, 英文姓名, 地址, 住家電話, 緊急連絡人電話, pass IS NULL, AccS "
                   "FROM 員工 WHERE 中文姓名 = '羅美玲'"),
              std::vector<std::string>{"19001|mei|;|;|;|1|1"});
    EXPECT_TRUE(form.hfg.Enabled());
}

TEST_F(StaffTest, SavesAreRefusedForEmptyBoxesTheSuperUsersNameAndADuplicate) {
    addStaff("A001", "Ann", "ann");
    frmSta& form = addingForm();
    host.expectMessage("請輸入員工中文姓名 & 英文名");
    host.click(form.cmdY);
    enterName(form, "Bill", "Wren");
    host.expectMessage("不可使用此英文名稱");
    host.click(form.cmdY);
    EXPECT_TRUE(form.T3.HasFocus());
    EXPECT_EQ(form.T3.SelLength(), 4);
    EXPECT_EQ(form.EntryMode, "AddF");
    form.T2.SetText("Ann");
    form.T3.SetText("bill");
    host.expectMessage("員工姓名重複");
    host.click(form.cmdY);
    EXPECT_EQ(form.EntryMode, "AddF");
    EXPECT_EQ(rows(PeopleDb(), "SELECT 中文姓名 FROM 員工"), std::vector<std::string>{"Ann"});

    host.click(form.cmdN);
    EXPECT_EQ(form.T2.Text(), "Ann");
    host.clickCell(form.hfg, 1, 2);
    host.click(form.cmdEdit);
    EXPECT_FALSE(form.T2.Enabled());
    form.T3.SetText("WREN");
    host.expectMessage("不可使用此英文名稱");
    host.click(form.cmdY);
    EXPECT_EQ(rows(PeopleDb(), "SELECT 英文姓名 FROM 員工"), std::vector<std::string>{"ann"});
}

// A save the database refuses for another reason than a duplicate name tells the error's
// description alone, with no icon, under the program's title; nothing is stored and the entry
// stays open for another try.
TEST_F(StaffTest, AFailedSaveTellsTheErrorPlainlyAndKeepsTheEntry) {
    addStaff("A001", "Ann", "ann");
    frmSta& form = Forms::get<frmSta>();
    // A new member whose write fails, then an edit whose commit fails.
    for (bool adding : {true, false}) {
        SCOPED_TRACE(adding ? "adding" : "editing");
        if (adding) {
            host.click(form.cmdAdd);
            enterName(form, "Bob", "bob");
        } else {
            host.clickCell(form.hfg, 1, 2);
            host.click(form.cmdEdit);
            form.T4.SetText("工務部");
        }
        const std::string before = test::dumpTables(PeopleDb());
        adding ? writefault::failWrite(1) : writefault::failCommit();
        host.answerMessage(AnswerOk);
        host.click(form.cmdY);
        writefault::clear();
        ASSERT_EQ(host.messages().size(), 1u);
        EXPECT_EQ(host.messages()[0].style, MessagePlain);
        EXPECT_EQ(host.messages()[0].title, ApplicationTitle);
        EXPECT_EQ(test::dumpTables(PeopleDb()), before);
        EXPECT_EQ(form.EntryMode, adding ? "AddF" : "EditF");
        host.click(form.cmdY);
        EXPECT_EQ(form.EntryMode, "");
        host.clearMessages();
    }
    EXPECT_EQ(rows(PeopleDb(), "SELECT 中文姓名, 部門 FROM 員工 ORDER BY 員工編號"),
              (Texts{"Ann|工務部", "Bob|"}));
}

TEST_F(StaffTest, AnEditRewritesTheDetailsButNotThePasswordOrTheRights) {
    addStaff("A001", "Ann", "ann", "臺北市;信義路");
    PeopleDb().Execute("UPDATE 員工 SET pass = 'pw', AccS = 5, 權限 = 'x'");
    frmSta& form = Forms::get<frmSta>();
    host.clickCell(form.hfg, 1, 2);
    EXPECT_EQ(form.cb1.Text(), "臺北市");
    EXPECT_EQ(form.T5.Text(), "信義路");
    host.click(form.cmdEdit);
    EXPECT_EQ(form.EntryMode, "EditF");
    form.T4.SetText("工務部");
    form.cb1.SetText("");
    form.T5.SetText("");
    form.T19.SetText("第一行\r\n第二行");
    host.click(form.cmdY);
    EXPECT_EQ(rows(PeopleDb(), "SELECT 部門, 地址, 備註, pass, AccS, 權限 FROM 員工"),
              std::vector<std::string>{"工務部|;|第一行\r\n第二行|pw|5|x"});
}

TEST_F(StaffTest, ASaveAfterASearchWritesNothingAndListsEveryone) {
    addStaff("A001", "Ann", "ann");
    frmSta& form = Forms::get<frmSta>();
    host.answerInput("ann");
    host.click(form.Command1);
    host.clickCell(form.hfg, 1, 1);
    form.T3.SetText("changed");
    form.SaveStaff();
    EXPECT_EQ(rows(PeopleDb(), "SELECT 英文姓名 FROM 員工"), std::vector<std::string>{"ann"});
    EXPECT_EQ(form.EntryMode, "");
    EXPECT_EQ(form.hfg.Cols(), 6);
}

TEST_F(StaffTest, DeleteAsksThenDropsTheMemberAndAsksForASelectionInSimpleMode) {
    addStaff("A001", "Ann");
    addStaff("A002", "Amy");
    frmSta& form = Forms::get<frmSta>();
    host.expectMessage("請先選取表格中一個員工姓名");
    host.click(form.cmdDel);
    host.clickCell(form.hfg, 2, 2);
    host.expectMessage("確定刪除 ( Amy )", AnswerNo);
    host.click(form.cmdDel);
    host.expectMessage("確定刪除 ( Amy )", AnswerYes);
    host.expectMessage("請先選取表格中一個員工姓名");
    host.click(form.cmdDel);
    EXPECT_EQ(rows(PeopleDb(), "SELECT 中文姓名 FROM 員工"), std::vector<std::string>{"Ann"});
    EXPECT_EQ(form.SelectedStaffName, "");
}

TEST_F(StaffTest, ASelectedNameWithoutARecordCannotBeEdited) {
    addStaff("A001", "Ann");
    frmSta& form = Forms::get<frmSta>();
    form.SelectedStaffName = "Nobody";
    host.expectMessage("請先選取表格中一個員工姓名");
    host.click(form.cmdEdit);
    EXPECT_EQ(form.EntryMode, "");
}

TEST_F(StaffTest, PasswordsAreCheckedWithoutCaseAndASecondChangeNeedsTheFirstOnesPassword) {
    addStaff("A001", "Ann", "ann");
    frmSta& form = Forms::get<frmSta>();
    host.clickCell(form.hfg, 1, 2);
    host.click(form.Command2);
    EXPECT_FALSE(form.Frame3.IsEffectivelyEnabled());
    form.SetDetailsEnabled(true);
    host.click(form.cmdPaSet);
    // The change is typed from the old password on, where the button stood.
    EXPECT_EQ(form.ActiveControl(), &form.txtOp);
    // Never set: an empty old password is right.
    form.txtNp.SetText("Abc");
    form.txtCp.SetText("abd");
    host.expectMessage("新密碼與確定密碼不同");
    host.click(form.cmdPass);
    form.txtCp.SetText("aBC");
    host.expectMessage("密碼變更完成\r\n下次請使用新密碼登入");
    host.click(form.cmdPass);
    EXPECT_EQ(rows(PeopleDb(), "SELECT pass FROM 員工"), std::vector<std::string>{"Abc"});
    EXPECT_FALSE(form.txtOp.Visible());

    host.click(form.cmdPaSet);
    form.txtOp.SetText("wrong");
    form.txtNp.SetText("xyz");
    form.txtCp.SetText("xyz");
    host.expectMessage("密碼錯誤");
    host.click(form.cmdPass);
    form.txtOp.SetText("ABC");
    host.expectMessage("密碼變更完成\r\n下次請使用新密碼登入");
    host.click(form.cmdPass);
    EXPECT_EQ(rows(PeopleDb(), "SELECT pass FROM 員工"), std::vector<std::string>{"xyz"});
}

TEST_F(StaffTest, APasswordIsNotOfferedWhenTheSaveBeforeItStoredNothing) {
    addStaff("A001", "Ann");
    frmSta& form = addingForm();
    enterName(form, "Ann", "other");
    host.expectMessage("員工姓名重複");
    host.click(form.cmdPaSet);
    EXPECT_FALSE(form.txtOp.Visible());
    EXPECT_TRUE(form.cmdPaSet.Visible());
}

constexpr const char* Conflict = "此筆資料已被其他使用者變更，請重新讀取";

// Copy B of the program changes, or deletes, the member copy A shows. A's edit and A's password
// change each write only over what A showed: a change to what they write is refused and shown
// as stored, a change to anything else is no conflict, and a deleted member is said to be gone
// with the edit kept on screen.
TEST_F(StaffTest, AnEditOrAPasswordChangeNeverWritesOverAnotherCopysChange) {
    constexpr const char* Gone = "此員工資料已被其他使用者刪除，無法儲存";
    constexpr const char* PasswordGone = "此員工資料已被其他使用者刪除，無法變更密碼";
    struct Case {
        const char* what;
        Sql change;
        const char* editMessage;  // nullptr: the edit is stored
        const char* passwordMessage;
        const char* stored;  // 部門 and pass afterwards, "" when the member is gone
    } cases[] = {
        {"the department", "UPDATE 員工 SET 部門 = '業務部'", Conflict, nullptr, "業務部|new"},
        {"the password", "UPDATE 員工 SET pass = 'other'", nullptr, Conflict, "工務部|other"},
        {"the rights", "UPDATE 員工 SET AccS = 9", nullptr, nullptr, "工務部|new"},
        {"the member deleted", "DELETE FROM 員工", Gone, PasswordGone, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeopleDb().Execute("DELETE FROM 員工");
        addStaff("A001", "Ann", "ann");
        frmSta& form = Forms::get<frmSta>();
        auto copyB = Database::open(PeopleDb().path(), peopleSchema());
        host.clickCell(form.hfg, 1, 2);
        host.click(form.cmdEdit);
        host.click(form.cmdPaSet);
        host.click(form.cmdEdit);
        form.T4.SetText("工務部");
        form.txtNp.SetText("new");
        form.txtCp.SetText("new");
        copyB->ExecuteWith(c.change, {});

        host.expectMessage(c.passwordMessage ? c.passwordMessage
                                             : "密碼變更完成\r\n下次請使用新密碼登入");
        host.click(form.cmdPass);
        EXPECT_EQ(form.HeldPassword, c.passwordMessage == Conflict ? "other"
                                     : c.passwordMessage           ? ""
                                                                   : "new");

        if (c.editMessage) host.expectMessage(c.editMessage);
        host.click(form.cmdY);
        EXPECT_EQ(form.EntryMode, c.editMessage ? "EditF" : "");
        // A conflict shows what is stored; a member gone keeps the edit for the user.
        EXPECT_EQ(form.T4.Text(), c.editMessage == Conflict ? "業務部" : "工務部");
        if (c.editMessage) host.click(form.cmdN);
        EXPECT_EQ(rows(PeopleDb(), "SELECT 部門, pass FROM 員工"),
                  *c.stored ? Texts{c.stored} : Texts{});
        EXPECT_EQ(host.messages().size(), 1u + (c.editMessage != nullptr));
        host.clearMessages();
        Forms::discardAll();
    }
}

// The password boxes stay shown while a new member is typed in: they change no one's password.
TEST_F(StaffTest, APasswordIsChangedOnlyForTheStoredMemberItWasReadFor) {
    addStaff("A001", "Ann", "ann");
    frmSta& form = Forms::get<frmSta>();
    host.clickCell(form.hfg, 1, 2);
    host.click(form.Command2);
    form.SetDetailsEnabled(true);
    host.click(form.cmdPaSet);
    host.click(form.cmdAdd);
    enterName(form, "Bob", "bob");
    for (const char* name : {"Bob", "Ann"}) {
        SCOPED_TRACE(name);
        form.T2.SetText(name);
        form.txtNp.SetText("pw");
        form.txtCp.SetText("pw");
        host.expectMessage("此員工資料尚未儲存，無法變更密碼");
        host.click(form.cmdPass);
        EXPECT_TRUE(form.txtOp.Visible());
    }
    EXPECT_EQ(rows(PeopleDb(), "SELECT 中文姓名, pass IS NULL FROM 員工"), Texts{"Ann|1"});
}

// Tab and Enter go through the entry boxes in the order a record is typed in: from 中文姓名 to
// 英文姓名, and through the remarks before the two dates.
TEST_F(StaffTest, TabAndEnterGoThroughTheBoxesInTheOrderARecordIsTypedIn) {
    const std::vector<std::string> typingOrder = {"T2",  "T3",  "T4",  "T20", "cb1", "T5",  "T6",
                                                  "T8",  "T15", "T10", "T11", "T9",  "T12", "T16",
                                                  "T17", "T18", "T19", "T14", "T13"};
    addStaff("A001", "Ann");
    frmSta& form = addingForm();
    std::vector<Control*> tabOrder = form.TabOrder();
    auto first = std::find(tabOrder.begin(), tabOrder.end(), &form.T2);
    ASSERT_LE(first + typingOrder.size(), tabOrder.end());
    std::vector<std::string> tabbed, entered;
    for (auto at = first; at != first + typingOrder.size(); ++at)
        tabbed.push_back((*at)->Name());
    EXPECT_EQ(tabbed, typingOrder);

    for (size_t i = 0; i < typingOrder.size(); ++i) {
        Control* at = form.ActiveControl();
        entered.push_back(at ? at->Name() : "");
        host.act([&] {
            if (auto* box = dynamic_cast<TextBox*>(at)) box->userKey(Key::Enter);
            if (auto* combo = dynamic_cast<ComboBox*>(at)) combo->userKey(Key::Enter);
        });
    }
    EXPECT_EQ(entered, typingOrder);
}

// The short list hides the page of details below the form's edge: Tab goes round the list's
// controls and never into the page's boxes, which it reaches again once the page shows.
TEST_F(StaffTest, TabInTheShortListNeverGoesIntoTheHiddenPage) {
    addStaff("A001", "Ann");
    frmSta& form = Forms::get<frmSta>();
    ASSERT_EQ(form.Height(), frmSta::SimpleHeight);
    ASSERT_TRUE(form.T2.CanTakeFocus());
    const auto onPage = [&](const Control* control) {
        return control && StandingIn(*control, nullptr) == &form.Frame1;
    };
    const auto tabRound = [&] {
        std::vector<const Control*> reached;
        for (size_t i = 0; i <= form.Controls().size(); ++i) {
            host.act([&] { form.FocusNext(); });
            reached.push_back(form.ActiveControl());
        }
        return reached;
    };
    for (const Control* reached : tabRound())
        EXPECT_FALSE(onPage(reached)) << reached->Name();
    host.click(form.cmdAdd);
    const std::vector<const Control*> full = tabRound();
    EXPECT_NE(std::find(full.begin(), full.end(), &form.T2), full.end());
}

TEST_F(StaffTest, ACountyFillsBothAreaCodesAndDatePickersWriteRocDatesWithoutLeadingZeros) {
    addStaff("A001", "Ann");
    frmSta& form = addingForm();
    form.T10.SetText("99");
    host.pick(form.cb1, form.cb1.FindEntry("苗栗縣"));
    EXPECT_EQ(form.T10.Text(), "037");
    EXPECT_EQ(form.T17.Text(), "037");
    host.pickDate(form.DTP1, Date::fromYmd(1986, 3, 9));
    EXPECT_EQ(form.T13.Text(), "75/3/9");
    host.pickDate(form.DTP2, Date::fromYmd(2025, 11, 30));
    EXPECT_EQ(form.T14.Text(), "114/11/30");
}

TEST_F(StaffTest, TheSearchGivesOneRowPerFieldSortedByNameAndNeverThePassword) {
    addStaff("A001", "Zed", "zed", "臺北市;大安路");
    addStaff("A002", "Amy", "amy", "臺北市;大安路");
    PeopleDb().Execute("UPDATE 員工 SET pass = '大安', 權限 = '大安', 備註 = '住大安區'");
    frmSta& form = Forms::get<frmSta>();
    host.answerInput("大安");
    host.click(form.Command1);
    EXPECT_EQ(form.EntryMode, "QureF");
    ASSERT_EQ(form.hfg.Cols(), 3);
    EXPECT_EQ(column(form.hfg, 1), (std::vector<std::string>{"Amy", "Amy", "Zed", "Zed"}));
    EXPECT_EQ(form.hfg.TextMatrix(1, 2), "在 (地址) 有  -->    臺北市;大安路");
    EXPECT_EQ(form.hfg.TextMatrix(2, 2), "在 (備註) 有  -->    住大安區");

    host.answerInput("9");
    PeopleDb().Execute("UPDATE 員工 SET AccS = 9 WHERE 中文姓名 = 'Zed'");
    host.click(form.Command1);
    EXPECT_EQ(column(form.hfg, 2), std::vector<std::string>{"在 (AccS) 有  -->    9"});
    host.clickCell(form.hfg, 1, 2);
    EXPECT_EQ(form.SelectedStaffName, "Zed");

    for (const char* text : {"%", "a'b", "_"}) {
        SCOPED_TRACE(text);
        host.answerInput(text);
        host.click(form.Command1);
        EXPECT_EQ(form.hfg.Rows(), 2);
        EXPECT_EQ(form.hfg.TextMatrix(1, 2), "找不到資料");
    }
    host.answerInput("");
    host.click(form.Command1);
    EXPECT_EQ(form.EntryMode, "");
    EXPECT_EQ(form.hfg.TextMatrix(1, 2), "找不到資料");
}

TEST_F(StaffTest, UpAndDownShowTheMemberOfTheRowMovedTo) {
    addStaff("A001", "Ann");
    addStaff("A002", "Amy");
    addStaff("A003", "Ada");
    frmSta& form = Forms::get<frmSta>();
    host.clickCell(form.hfg, 1, 2);
    host.act([&] { form.hfg.userKeyDown(Key::Down); });
    EXPECT_EQ(form.hfg.Row(), 2);
    EXPECT_EQ(form.SelectedStaffName, "Amy");
    EXPECT_EQ(form.T2.Text(), "Amy");
    host.act([&] { form.hfg.userKeyDown(Key::Up); });
    host.act([&] { form.hfg.userKeyDown(Key::Up); });
    EXPECT_EQ(form.hfg.Row(), 1);
    EXPECT_EQ(form.SelectedStaffName, "Ann");
}

TEST_F(StaffTest, WithoutRight21TheEditButtonsNeverShow) {
    addStaff("A001", "Ann");
    loggedInWith(1 << (RightStaffMenu - 1));
    frmSta& form = Forms::get<frmSta>();
    auto editButtonsHidden = [&] {
        return !form.cmdAdd.Visible() && !form.cmdEdit.Visible() && !form.cmdDel.Visible();
    };
    EXPECT_TRUE(editButtonsHidden());
    host.clickCell(form.hfg, 1, 2);
    host.click(form.Command2);
    EXPECT_TRUE(editButtonsHidden());
    form.cmdN_Click();
    EXPECT_TRUE(editButtonsHidden());
    EXPECT_TRUE(form.Command1.Visible());
}

}  // namespace

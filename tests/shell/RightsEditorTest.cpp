#include <gtest/gtest.h>

#include "platform/db/WriteFault.h"
#include "shell/Schema.h"
#include "shell/frmAccMain.h"
#include "shell/frmLogin.h"
#include "shell/frmSec.h"
#include "shell/frmSta.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/WriteFaults.h"

using namespace kiv;

namespace {

class RightsEditorTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        loggedInWith(AllRights);
    }
    static void addStaff(const std::string& no, const std::string& name, const Value& rights) {
        PeopleDb().Execute("INSERT INTO 員工 (員工編號, 中文姓名, AccS) VALUES (?, ?, ?)", no, name,
                           rights);
    }
    // The starred columns of a row, as their numbers joined by ",".
    static std::string stars(const frmSec& form, int row) {
        std::string text;
        for (int k = 1; k <= 22; ++k)
            if (form.hfg.TextMatrix(row, k) == frmSec::Star)
                text += (text.empty() ? "" : ",") + std::to_string(k);
        return text;
    }
    static int32_t rightsOf(std::initializer_list<int> rights) {
        int32_t n = 0;
        for (int k : rights)
            n |= 1 << (k - 1);
        return n;
    }
};

TEST_F(RightsEditorTest, TheGridShowsGroupsCaptionsAndEachMembersStarsInNumberOrder) {
    addStaff("B001", "Betty", rightsOf({1, 18, 22}));
    addStaff("A001", "Ann", Value());
    frmSec& form = Forms::get<frmSec>();
    const Grid& grid = form.hfg;
    EXPECT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.TextMatrix(2, 0), "Ann");
    EXPECT_EQ(stars(form, 2), "");
    EXPECT_EQ(grid.TextMatrix(3, 0), "Betty");
    EXPECT_EQ(stars(form, 3), "1,18,22");
}

// Without staff the two header rows stay fixed above one empty row, which takes no star.
TEST_F(RightsEditorTest, WithoutStaffTheGridKeepsItsTwoHeaderRows) {
    frmSec& form = Forms::get<frmSec>();
    EXPECT_EQ(form.hfg.FixedRows(), 2);
    EXPECT_EQ(form.hfg.Rows(), 3);
    host.clickCell(form.hfg, 2, 1);
    EXPECT_EQ(stars(form, 2), "");
}

TEST_F(RightsEditorTest, ClicksFollowTheCouplingOfTheRights) {
    struct Case {
        std::initializer_list<int> before;
        int clicked;
        const char* after;
    } cases[] = {
        {{}, 1, "1,2"},
        {{1, 2}, 1, "2"},
        {{1, 2}, 2, "1"},
        {{}, 11, "11"},
        {{11, 12}, 11, "11,12"},
        {{11}, 11, ""},
        {{}, 12, "11,12"},
        {{11, 12}, 12, "11"},
        {{}, 18, "18"},
        {{18, 21, 22}, 18, ""},
        {{}, 21, ""},
        {{21}, 21, ""},
        {{18}, 21, "18,21,22"},
        {{18, 21, 22}, 21, "18,22"},
        {{}, 22, ""},
        {{22}, 22, ""},
        {{18}, 22, "18,22"},
        {{18, 21, 22}, 22, ""},
        {{}, 7, "7"},
        {{7}, 7, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("column " + std::to_string(c.clicked) + " after " +
                     std::to_string(rightsOf(c.before)));
        PeopleDb().Execute("DELETE FROM 員工");
        addStaff("A001", "Ann", rightsOf(c.before));
        frmSec& form = Forms::get<frmSec>();
        host.clickCell(form.hfg, 2, c.clicked);
        EXPECT_EQ(stars(form, 2), c.after);
        Forms::unload(form);
    }
}

TEST_F(RightsEditorTest, HeaderAndNameClicksChangeNothing) {
    addStaff("A001", "Ann", 1);
    frmSec& form = Forms::get<frmSec>();
    host.clickCell(form.hfg, 0, 3);
    host.clickCell(form.hfg, 1, 3);
    host.clickCell(form.hfg, 2, 0);
    EXPECT_EQ(stars(form, 2), "1");
}

// By keyboard: the arrows move the current cell, and Enter or Space on it does what a click does,
// with the same coupling.
TEST_F(RightsEditorTest, EnterOrSpaceTogglesTheCurrentCellAsAClickDoes) {
    addStaff("A001", "Ann", 0);
    frmSec& form = Forms::get<frmSec>();
    Grid& grid = form.hfg;
    host.act([&] {
        grid.userFocus();
        grid.SetRow(2);
        grid.SetCol(1);
    });
    const struct {
        int key;
        char32_t typed;
        const char* after;
    } steps[] = {
        {0, Key::Enter, "1,2"},         {0, U' ', "2"},
        {Key::Right, Key::Enter, ""},   {0, U' ', "2"},
        {Key::Left, Key::Enter, "1,2"},
    };
    for (const auto& step : steps) {
        host.act([&] {
            if (step.key) grid.userKeyDown(step.key);
            grid.userKey(step.typed);
        });
        EXPECT_EQ(stars(form, 2), step.after) << "at column " << grid.Col();
    }
}

TEST_F(RightsEditorTest, ApplyingTellsFirstThenWritesEveryRowAndCloses) {
    addStaff("A001", "Ann", 1);
    addStaff("A002", "Amy", 1);
    addStaff("A003", "Ada", AllRights);
    frmSec& form = Forms::get<frmSec>();
    host.clickCell(form.hfg, 3, 18);
    host.clickCell(form.hfg, 3, 22);
    host.expectMessage("所做的變更下次啟動才會生效");
    host.click(form.Command1);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(rows(PeopleDb(), "SELECT 中文姓名, AccS FROM 員工 ORDER BY 員工編號"),
              (std::vector<std::string>{"Ann|1", "Amy|2228225", "Ada|4194303"}));
    EXPECT_FALSE(Forms::isLoaded<frmSec>());
    EXPECT_EQ(UserRights, AllRights);
}

// The message comes before any write, and a failing write leaves every member's rights as they
// were, the editor open.
TEST_F(RightsEditorTest, AFailingWriteStoresNoRowsRightsAndKeepsTheEditorOpen) {
    addStaff("A001", "Ann", 1);
    addStaff("A002", "Amy", 3);
    auto apply = [this] {
        frmSec& form = Forms::get<frmSec>();
        host.clickCell(form.hfg, 2, 7);
        const size_t shown = host.messages().size();
        host.answerMessage(AnswerOk);
        host.click(form.Command1);
        ASSERT_GT(host.messages().size(), shown);
        EXPECT_EQ(host.messages()[shown].text, "所做的變更下次啟動才會生效");
    };
    test::ExpectEachWriteFailureLeavesTheBooks(host, {&PeopleDb()}, apply, [] {
        EXPECT_TRUE(Forms::isLoaded<frmSec>());
        Forms::discardAll();
    });
    EXPECT_EQ(rows(PeopleDb(), "SELECT AccS FROM 員工 ORDER BY 員工編號"), (Texts{"65", "3"}));
}

// Copy B of the program changes the rights copy A shows: A's apply writes nothing over them and
// shows them as stored. A member B deleted has no rights to write: the others are written and
// the user is told who was gone. A member B added is neither shown nor written.
TEST_F(RightsEditorTest, ApplyingNeverWritesOverRightsAnotherCopyChanged) {
    struct Case {
        const char* what;
        Sql change;
        const char* told;  // after the note on the next start; nullptr: nothing
        Texts stored;
    } cases[] = {
        {"a member's rights",
         "UPDATE 員工 SET AccS = 3 WHERE 中文姓名 = 'Amy'",
         "此筆資料已被其他使用者變更，請重新讀取",
         {"Ann|1", "Amy|3"}},
        {"a member deleted",
         "DELETE FROM 員工 WHERE 中文姓名 = 'Amy'",
         "以下員工已被刪除，其權限未寫入：Amy",
         {"Ann|65"}},
        {"a member added",
         "INSERT INTO 員工 (員工編號, 中文姓名, AccS) VALUES ('A000', 'Ada', 5)",
         nullptr,
         {"Ada|5", "Ann|65", "Amy|1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeopleDb().Execute("DELETE FROM 員工");
        addStaff("A001", "Ann", 1);
        addStaff("A002", "Amy", 1);
        frmSec& form = Forms::get<frmSec>();
        auto copyB = Database::open(PeopleDb().path(), peopleSchema());
        host.clickCell(form.hfg, 2, 7);
        copyB->ExecuteWith(c.change, {});
        host.expectMessage("所做的變更下次啟動才會生效");
        if (c.told) host.expectMessage(c.told);
        host.click(form.Command1);
        EXPECT_EQ(rows(PeopleDb(), "SELECT 中文姓名, AccS FROM 員工 ORDER BY 員工編號"), c.stored);
        const bool conflict = &c == &cases[0];
        EXPECT_EQ(Forms::isLoaded<frmSec>(), conflict);
        if (conflict) {
            EXPECT_EQ(stars(form, 2), "1");
            EXPECT_EQ(form.hfg.Rows(), static_cast<int>(c.stored.size()) + 2);
        }
        Forms::discardAll();
    }
}

// Members deleted while the editor is open, by another copy of the program or by the staff form
// beside it, are named once the rights of the others are written; no other member's edit is
// lost.
TEST_F(RightsEditorTest, MembersDeletedMeanwhileAreNamedAndEveryOtherEditIsWritten) {
    addStaff("A001", "Ann", 1);
    addStaff("A002", "Amy", 1);
    addStaff("A003", "Ada", 1);
    addStaff("A004", "Bob", 1);
    frmSec& rights = Forms::get<frmSec>();
    host.clickCell(rights.hfg, 2, 7);
    host.clickCell(rights.hfg, 3, 3);
    host.clickCell(rights.hfg, 4, 5);
    host.clickCell(rights.hfg, 5, 1);
    auto copyB = Database::open(PeopleDb().path(), peopleSchema());
    copyB->Execute("DELETE FROM 員工 WHERE 中文姓名 = 'Amy'");
    frmSta& staff = Forms::get<frmSta>();
    host.clickCell(staff.hfg, 3, 2);
    ASSERT_EQ(staff.SelectedStaffName, "Bob");
    host.expectMessage("確定刪除 ( Bob )", AnswerYes);
    host.expectMessage("請先選取表格中一個員工姓名");
    host.click(staff.cmdDel);

    host.expectMessage("所做的變更下次啟動才會生效");
    host.expectMessage("以下員工已被刪除，其權限未寫入：Amy、Bob");
    host.click(rights.Command1);
    EXPECT_EQ(host.messages().back().style, MessageExclamation);
    EXPECT_FALSE(Forms::isLoaded<frmSec>());
    EXPECT_EQ(rows(PeopleDb(), "SELECT 中文姓名, AccS FROM 員工 ORDER BY 員工編號"),
              (Texts{"Ann|65", "Ada|17"}));
}

// The super user adds a member, sets her password and grants her the staff menu; at the next
// start she logs in with exactly those rights.
TEST_F(RightsEditorTest, ANewMemberGetsAPasswordAndRight18AndLogsInWithThem) {
    PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'sup3r')");
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001-1', '本公司', 1000)");
    AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '002-2', '本公司', 5000)");
    host.expectMessage("所選編號無記錄");
    frmSta& staff = Forms::get<frmSta>();
    host.click(staff.cmdAdd);
    host.type(staff.T2, "羅美玲");
    host.focus(staff.T3);
    host.type(staff.T3, "mei");
    host.click(staff.cmdPaSet);
    EXPECT_EQ(rows(PeopleDb(), "SELECT 員工編號, AccS FROM 員工"),
              std::vector<std::string>{"19001|1"});
    host.type(staff.txtNp, "pw18");
    host.type(staff.txtCp, "pw18");
    host.expectMessage("密碼變更完成\r\n下次請使用新密碼登入");
    host.click(staff.cmdPass);

    frmSec& rights = Forms::get<frmSec>();
    host.clickCell(rights.hfg, 2, RightStaffMenu);
    host.expectMessage("所做的變更下次啟動才會生效");
    host.click(rights.Command1);
    EXPECT_EQ(rows(PeopleDb(), "SELECT AccS FROM 員工"), std::vector<std::string>{"131073"});

    Forms::discardAll();
    ResetSharedState();
    frmAccMain& bar = Forms::get<frmAccMain>();
    bar.Show();
    host.onModal<frmLogin>([this](frmLogin& login) {
        login.txtUserName.SetText("mei");
        host.type(login.txtPassword, "pw18");
        host.click(login.cmdOK);
    });
    host.click(bar.cmdM);
    EXPECT_EQ(UserRights, 131073);
    EXPECT_TRUE(bar.cmdIo.Enabled());
    EXPECT_FALSE(bar.cmdBill.Enabled());
}

}  // namespace

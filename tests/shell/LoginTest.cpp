#include <gtest/gtest.h>

#include <filesystem>

#include "platform/forms/Clock.h"
#include "shell/frmAccMain.h"
#include "shell/frmCom.h"
#include "shell/frmFirstStart.h"
#include "shell/frmLogin.h"
#include "tests/support/ProgramTest.h"

using namespace kiv;

namespace {

constexpr const char* Failed = "使用者名稱或密碼錯誤，請重新輸入!";

class LoginTest : public test::ProgramTest {
  protected:
    void addStaff(const std::string& login, const Value& pass, const Value& rights,
                  const std::string& number) {
        PeopleDb().Execute(
            "INSERT INTO 員工 (員工編號, 中文姓名, 英文姓名, pass, AccS) VALUES (?, ?, ?, ?, ?)",
            number, number, login, pass, rights);
    }
    // Shows the login dialog modally and types a name and a password, then presses OK.
    void tryLogin(const std::string& name, const std::string& password) {
        host.onModal<frmLogin>([=, this](frmLogin& login) {
            login.txtUserName.SelectAll();
            host.type(login.txtUserName, name);
            host.type(login.txtPassword, password);
            host.click(login.cmdOK);
            if (Forms::isAlive(&login)) login.Hide();
        });
        host.act([] { Forms::get<frmLogin>().Show(Modal); });
    }
};

TEST_F(LoginTest, NamesAndPasswordsMatchExactlyAndTheRightsFollow) {
    PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'sup3r')");
    addStaff("Tom", "p1", 1, "A001");
    addStaff("tom", "p2", 2, "A002");
    addStaff("WREN", "sup3r", 6, "A003");
    addStaff("ming", "pw", nullptr, "A004");
    // Name and password → the rights logged in with, or none for a failed try.
    const std::tuple<const char*, const char*, std::optional<int32_t>> cases[] = {
        {"wren", "sup3r", AllRights},
        {"WREN", "sup3r", 6},
        {"tom", "p2", 2},
        {"ming", "pw", 0},
        {"Ming", "pw", std::nullopt},
        {"ming", "PW", std::nullopt},
        {"o'neil", "pw", std::nullopt}};
    for (const auto& [name, password, rights] : cases) {
        LoggedIn = false;
        UserRights = 77;
        if (!rights) host.expectMessage(Failed);
        tryLogin(name, password);
        EXPECT_EQ(LoggedIn, rights.has_value()) << name;
        EXPECT_EQ(UserRights, rights.value_or(77)) << name;
        EXPECT_EQ(Forms::isLoaded<frmLogin>(), !rights) << name;
        Forms::unload<frmLogin>();
    }
}

// No super password stored, whether a fresh install before its first start or a row holding
// none: the super user's name with an empty password is refused. Staff on file skip the first
// start.
TEST_F(LoginTest, AnEmptySuperPasswordNeverLetsAnEmptyPasswordIn) {
    struct Case {
        const char* what;
        std::optional<Value> superPass;  // none: no row
        bool staff;
    } cases[] = {{"fresh install", std::nullopt, false},
                 {"no row", std::nullopt, true},
                 {"empty", Value(""), true},
                 {"null", Value(), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeopleDb().Execute("DELETE FROM super");
        PeopleDb().Execute("DELETE FROM 員工");
        if (c.superPass) PeopleDb().Execute("INSERT INTO super VALUES ('wren', ?)", *c.superPass);
        if (c.staff) addStaff("ming", "pw", 1, "A001");
        if (!c.staff) host.onModal<frmFirstStart>([](frmFirstStart& first) { first.Hide(); });
        const size_t shown = host.modalShows().size();
        host.expectMessage(Failed);
        tryLogin("wren", "");
        EXPECT_FALSE(LoggedIn);
        EXPECT_EQ(host.modalShows().size(), shown + (c.staff ? 1 : 2));
        Forms::discardAll();
    }
}

TEST_F(LoginTest, TheReminderOfChequesDueComesBeforeTheDialogCloses) {
    PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'sup3r')");
    Forms::registerForm("frmArm", [] { return std::make_unique<Form>("frmArm"); });
    host.onModal("frmArm", [](Form& arm) {
        EXPECT_TRUE(LoggedIn);
        EXPECT_TRUE(Forms::isLoaded<frmLogin>());
        arm.Unload();
    });
    tryLogin("wren", "sup3r");
    EXPECT_EQ(host.modalShows(), (std::vector<std::string>{"frmLogin", "frmArm"}));
}

// Two failures leave the dialog on the name, selected; the third ends the program, a success
// after two (by the Enter key) logs in.
TEST_F(LoginTest, TheThirdFailureEndsTheProgram) {
    addStaff("ming", "pw", 3, "A001");
    for (bool thirdRight : {true, false}) {
        host.onModal<frmLogin>([this, thirdRight](frmLogin& login) {
            for (int i = 0; i < 2; ++i) {
                host.expectMessage(Failed);
                host.type(login.txtPassword, "bad");
                host.type(login.txtUserName, "ming");
                host.click(login.cmdOK);
                EXPECT_EQ(login.ActiveControl(), &login.txtUserName);
                EXPECT_EQ(login.txtUserName.SelLength(), 4);
            }
            host.pressKey(login.txtUserName, Key::Enter);
            EXPECT_EQ(login.ActiveControl(), &login.txtPassword);
            host.type(login.txtPassword, thirdRight ? "pw" : "pW");
            if (!thirdRight) {
                host.expectMessage(Failed);
                host.expectMessage("錯誤三次,結束系統");
            }
            host.pressKey(login.txtPassword, Key::Enter);
        });
        if (thirdRight) {
            host.act([] { Forms::get<frmLogin>().Show(Modal); });
            EXPECT_TRUE(LoggedIn);
            EXPECT_EQ(UserRights, 3);
        } else {
            EXPECT_THROW(host.act([] { Forms::get<frmLogin>().Show(Modal); }), ProgramEnded);
        }
    }
}

TEST_F(LoginTest, ClosingTheDialogOrCancellingTheFirstStartEndsTheProgram) {
    host.onModal<frmFirstStart>([this](frmFirstStart& first) { host.click(first.cmdCancel); });
    EXPECT_THROW(host.act([] { Forms::get<frmLogin>(); }), ProgramEnded);
    PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'sup3r')");
    host.onModal<frmLogin>([this](frmLogin& login) { host.closeByFrame(login); });
    EXPECT_THROW(host.act([] { Forms::get<frmLogin>().Show(Modal); }), ProgramEnded);
}

TEST_F(LoginTest, TheDatePickerSetsTheProgramsDate) {
    PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'sup3r')");
    host.onModal<frmLogin>([this](frmLogin& login) {
        EXPECT_EQ(login.lbToday.Caption(), "中華民國 115 年 12 月 06 日");
        host.pickDate(login.DTP, Date::fromYmd(2027, 1, 2));
        EXPECT_EQ(login.lbToday.Caption(), "中華民國 116 年 01 月 02 日");
        login.Hide();
    });
    host.act([] { Forms::get<frmLogin>().Show(Modal); });
    EXPECT_EQ(Clock::today(), Date::fromYmd(2027, 1, 2));
}

// A new install: no database file yet. The first start sets the super password, the company
// form comes again while a bank list is still empty, and a second start asks only for the login.
TEST_F(LoginTest, FromAnEmptyFolderToTheUnfoldedBarThenStraightToTheLogin) {
    CloseDatabases();
    for (const char* file : {"acc.mdb", "zove3.mdb", "pt.mdb"})
        std::filesystem::remove(folder.file(file));
    frmAccMain& bar = Forms::get<frmAccMain>();
    bar.Show();
    host.expectMessage("密碼不可空白");
    host.expectMessage("新密碼與確定密碼不同");
    host.onModal<frmFirstStart>([this](frmFirstStart& first) {
        host.click(first.cmdOK);
        host.type(first.txtNp, "s3cret");
        host.type(first.txtCp, "s3cre");
        host.click(first.cmdOK);
        first.txtCp.SetText("s3cret");
        host.click(first.cmdOK);
    });
    auto login = [this](frmLogin& form) {
        EXPECT_EQ(form.txtUserName.Text(), "wren");
        host.type(form.txtPassword, "s3cret");
        host.click(form.cmdOK);
    };
    host.onModal<frmLogin>(login);
    for (const char* kind : {"一般存款", "一般存款", "支票存款"})
        host.expectMessage(std::string("請先建立公司往來銀行資料(") + kind + ")");
    auto enterAccountAndClose = [this](frmCom& com, int grid) {
        host.mouseDownCell(com.hfg(grid), 1, 0, LeftButton);
        host.type(com.txt, "台灣銀行");
        host.mouseDownCell(com.hfg(grid), 1, 2, LeftButton);
        host.type(com.txt, "001-123");
        host.closeByFrame(com);
    };
    host.onModal<frmCom>([this](frmCom& com) { host.closeByFrame(com); });
    host.onModal<frmCom>([&](frmCom& com) { enterAccountAndClose(com, 0); });
    host.onModal<frmCom>([&](frmCom& com) { enterAccountAndClose(com, 2); });
    host.click(bar.cmdM);
    EXPECT_EQ(bar.Height(), frmAccMain::UnfoldedHeight);
    EXPECT_EQ(UserRights, AllRights);

    Forms::discardAll();
    CloseDatabases();
    ResetSharedState();
    frmAccMain& again = Forms::get<frmAccMain>();
    again.Show();
    host.onModal<frmLogin>([&](frmLogin& form) {
        form.txtUserName.SetText("wren");
        login(form);
    });
    host.click(again.cmdM);
    EXPECT_EQ(host.modalShows(), (std::vector<std::string>{"frmFirstStart", "frmLogin", "frmCom",
                                                           "frmCom", "frmCom", "frmLogin"}));
    EXPECT_EQ(again.Height(), frmAccMain::UnfoldedHeight);
}

}  // namespace

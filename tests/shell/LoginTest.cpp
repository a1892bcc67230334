#include <gtest/gtest.h>

#include "platform/forms/Clock.h"
#include "shell/frmFirstStart.h"
#include "shell/frmLogin.h"
#include "tests/support/ProgramTest.h"

using namespace kiv;

namespace {

class LoginTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'sup3r')");
    }
    void addStaff(const std::string& name, const std::string& login, const Value& pass,
                  const Value& rights, const std::string& number = "A001") {
        PeopleDb().Execute(
            "INSERT INTO 員工 (員工編號, 中文姓名, 英文姓名, pass, AccS) VALUES (?, ?, ?, ?, ?)",
            number, name, login, pass, rights);
    }
    // Shows the login dialog modally and types a name and a password, then presses OK.
    void tryLogin(const std::string& name, const std::string& password) {
        host.onModal<frmLogin>([=, this](frmLogin& login) {
            host.type(login.txtUserName, name);
            host.type(login.txtPassword, password);
            host.click(login.cmdOK);
            if (Forms::isAlive(&login)) login.Hide();
        });
        host.act([] { Forms::get<frmLogin>().Show(Modal); });
    }
    void expectFailureMessage() { host.expectMessage("使用者名稱或密碼錯誤，請重新輸入!"); }
};

TEST_F(LoginTest, TheSuperUserHasEveryRightWithoutAStaffRecord) {
    tryLogin("wren", "sup3r");
    EXPECT_TRUE(LoggedIn);
    EXPECT_EQ(UserRights, AllRights);
    EXPECT_FALSE(Forms::isLoaded<frmLogin>());
}

TEST_F(LoginTest, TheSuperNameInAnotherCaseIsLookedUpAsStaff) {
    expectFailureMessage();
    tryLogin("WREN", "sup3r");
    EXPECT_FALSE(LoggedIn);
    EXPECT_EQ(host.messages()[0].style, 16);
    EXPECT_EQ(host.messages()[0].title, std::optional<std::string>("登入"));
    Forms::unload<frmLogin>();
    addStaff("任小姐", "WREN", "sup3r", 6);
    tryLogin("WREN", "sup3r");
    EXPECT_EQ(UserRights, 6);
}

TEST_F(LoginTest, NamesDifferingInCaseAreDifferentStaff) {
    addStaff("湯姆", "Tom", "p1", 1, "A001");
    addStaff("唐木", "tom", "p2", 2, "A002");
    tryLogin("tom", "p2");
    EXPECT_EQ(UserRights, 2);
}

TEST_F(LoginTest, TheReminderOfChequesDueComesBeforeTheDialogCloses) {
    Forms::registerForm("frmArm", [] { return std::make_unique<Form>("frmArm"); });
    host.onModal("frmArm", [](Form& arm) {
        EXPECT_TRUE(LoggedIn);
        EXPECT_TRUE(Forms::isLoaded<frmLogin>());
        arm.Unload();
    });
    tryLogin("wren", "sup3r");
    EXPECT_EQ(host.modalShows(), (std::vector<std::string>{"frmLogin", "frmArm"}));
}

TEST_F(LoginTest, AStaffMemberWithoutRightsLogsInWithNone) {
    addStaff("王小明", "ming", "pw", nullptr);
    UserRights = 77;
    tryLogin("ming", "pw");
    EXPECT_TRUE(LoggedIn);
    EXPECT_EQ(UserRights, 0);
}

TEST_F(LoginTest, NameAndPasswordMustMatchExactly) {
    addStaff("王小明", "ming", "pw", 5);
    expectFailureMessage();
    tryLogin("Ming", "pw");
    EXPECT_FALSE(LoggedIn);
    Forms::unload<frmLogin>();
    expectFailureMessage();
    UserRights = 9;
    tryLogin("ming", "PW");
    EXPECT_EQ(UserRights, 9);
}

TEST_F(LoginTest, AQuoteInTheNameIsJustAFailedTry) {
    expectFailureMessage();
    tryLogin("x' OR '1'='1", "x' OR '1'='1");
    EXPECT_FALSE(LoggedIn);
}

TEST_F(LoginTest, TheThirdFailureEndsTheProgram) {
    host.onModal<frmLogin>([this](frmLogin& login) {
        for (int i = 0; i < 2; ++i) {
            expectFailureMessage();
            host.type(login.txtPassword, "bad");
            host.type(login.txtUserName, "ming");
            host.click(login.cmdOK);
            EXPECT_EQ(login.ActiveControl(), &login.txtUserName);
            EXPECT_EQ(login.txtUserName.SelLength(),
                      static_cast<int>(login.txtUserName.Text().size()));
        }
        expectFailureMessage();
        host.expectMessage("錯誤三次,結束系統");
        host.click(login.cmdOK);
    });
    EXPECT_THROW(host.act([] { Forms::get<frmLogin>().Show(Modal); }), ProgramEnded);
    EXPECT_EQ(host.messages().back().title, std::optional<std::string>("Mora III"));
}

TEST_F(LoginTest, ASuccessAfterTwoFailuresLogsIn) {
    addStaff("王小明", "ming", "pw", 3);
    host.onModal<frmLogin>([this](frmLogin& login) {
        for (int i = 0; i < 2; ++i) {
            expectFailureMessage();
            host.click(login.cmdOK);
        }
        login.txtUserName.SetText("ming");
        login.txtPassword.SetText("pw");
        host.click(login.cmdOK);
    });
    host.act([] { Forms::get<frmLogin>().Show(Modal); });
    EXPECT_TRUE(LoggedIn);
    EXPECT_EQ(UserRights, 3);
}

TEST_F(LoginTest, EnterMovesFromNameToPasswordAndLogsIn) {
    host.onModal<frmLogin>([this](frmLogin& login) {
        host.type(login.txtUserName, "wren");
        host.pressKey(login.txtUserName, Key::Enter);
        EXPECT_EQ(login.ActiveControl(), &login.txtPassword);
        host.type(login.txtPassword, "sup3r");
        host.pressKey(login.txtPassword, Key::Enter);
    });
    host.act([] { Forms::get<frmLogin>().Show(Modal); });
    EXPECT_TRUE(LoggedIn);
}

TEST_F(LoginTest, ClosingTheDialogThroughItsFrameEndsTheProgram) {
    host.onModal<frmLogin>([this](frmLogin& login) { host.closeByFrame(login); });
    EXPECT_THROW(host.act([] { Forms::get<frmLogin>().Show(Modal); }), ProgramEnded);
}

TEST_F(LoginTest, TheDatePickerSetsTheProgramsDate) {
    host.onModal<frmLogin>([this](frmLogin& login) {
        EXPECT_EQ(login.lbToday.Caption(), "中華民國 115 年 12 月 06 日");
        host.pickDate(login.DTP, Date::fromYmd(2027, 1, 2));
        EXPECT_EQ(login.lbToday.Caption(), "中華民國 116 年 01 月 02 日");
        login.Hide();
    });
    host.act([] { Forms::get<frmLogin>().Show(Modal); });
    EXPECT_EQ(Clock::today(), Date::fromYmd(2027, 1, 2));
    Clock::advance(15 * 3600);
    EXPECT_EQ(Clock::today(), Date::fromYmd(2027, 1, 3));
}

class FirstStartTest : public test::ProgramTest {};

TEST_F(FirstStartTest, AFreshInstallSetsTheSuperPasswordThenLogsIn) {
    host.onModal<frmFirstStart>([this](frmFirstStart& first) {
        host.expectMessage("密碼不可空白");
        host.click(first.cmdOK);
        host.type(first.txtNp, "abc");
        host.type(first.txtCp, "abd");
        host.expectMessage("新密碼與確定密碼不同");
        host.click(first.cmdOK);
        first.txtCp.SetText("abc");
        host.click(first.cmdOK);
    });
    host.onModal<frmLogin>([this](frmLogin& login) {
        EXPECT_EQ(login.txtUserName.Text(), "wren");
        host.type(login.txtPassword, "abc");
        host.click(login.cmdOK);
    });
    host.act([] { Forms::get<frmLogin>().Show(Modal); });
    EXPECT_TRUE(LoggedIn);
    EXPECT_EQ(host.messages()[0].title, std::optional<std::string>("Mora III"));
    EXPECT_EQ(host.messages()[0].style, 48);
}

TEST_F(FirstStartTest, CancellingTheFirstStartEndsTheProgram) {
    host.onModal<frmFirstStart>([this](frmFirstStart& first) { host.click(first.cmdCancel); });
    EXPECT_THROW(host.act([] { Forms::get<frmLogin>(); }), ProgramEnded);
}

TEST_F(FirstStartTest, NotOfferedOnceStaffExist) {
    PeopleDb().Execute(
        "INSERT INTO 員工 (中文姓名, 英文姓名, pass) VALUES ('王小明', 'ming', 'pw')");
    host.onModal<frmLogin>([](frmLogin& login) { login.Hide(); });
    host.act([] { Forms::get<frmLogin>().Show(Modal); });
    EXPECT_EQ(host.modalShows(), std::vector<std::string>{"frmLogin"});
}

}  // namespace

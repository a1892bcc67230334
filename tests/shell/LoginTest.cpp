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

TEST_F(LoginTest, NamesAndPasswordsMatchExactlyAndTheRightsFollow) {
    addStaff("湯姆", "Tom", "p1", 1, "A001");
    addStaff("唐木", "tom", "p2", 2, "A002");
    addStaff("任小姐", "WREN", "sup3r", 6, "A003");
    addStaff("王小明", "ming", "pw", nullptr, "A004");
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
        if (!rights) expectFailureMessage();
        tryLogin(name, password);
        EXPECT_EQ(LoggedIn, rights.has_value()) << name;
        EXPECT_EQ(UserRights, rights.value_or(77)) << name;
        EXPECT_EQ(Forms::isLoaded<frmLogin>(), !rights) << name;
        Forms::unload<frmLogin>();
    }
    EXPECT_EQ(host.messages()[0].style, 16);
    EXPECT_EQ(host.messages()[0].title, std::optional<std::string>("登入"));
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

TEST_F(LoginTest, ASuccessAfterTwoFailuresByTheEnterKey) {
    addStaff("王小明", "ming", "pw", 3);
    host.onModal<frmLogin>([this](frmLogin& login) {
        for (int i = 0; i < 2; ++i) {
            expectFailureMessage();
            host.click(login.cmdOK);
        }
        host.type(login.txtUserName, "ming");
        host.pressKey(login.txtUserName, Key::Enter);
        EXPECT_EQ(login.ActiveControl(), &login.txtPassword);
        host.type(login.txtPassword, "pw");
        host.pressKey(login.txtPassword, Key::Enter);
    });
    host.act([] { Forms::get<frmLogin>().Show(Modal); });
    EXPECT_TRUE(LoggedIn);
    EXPECT_EQ(UserRights, 3);
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
}

class FirstStartTest : public test::ProgramTest {};

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

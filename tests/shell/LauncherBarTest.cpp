#include <gtest/gtest.h>

#include "shell/Schema.h"
#include "shell/frmAccMain.h"
#include "shell/frmCom.h"
#include "shell/frmLogin.h"
#include "tests/support/ProgramTest.h"

using namespace kiv;

namespace {

class LauncherBarTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'sup3r')");
    }
    frmAccMain& bar() {
        frmAccMain& form = Forms::get<frmAccMain>();
        form.Show();
        return form;
    }
    void withBankAccounts() {
        AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001-1', '本公司', 1000)");
        AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '002-2', '本公司', 5000)");
    }
    frmAccMain& unfoldedBar(int32_t rights) {
        withBankAccounts();
        frmAccMain& form = bar();
        loggedInWith(rights);
        host.click(form.cmdM);
        return form;
    }
};

TEST_F(LauncherBarTest, StartsFoldedAtTheTopEdgeAndRightClicksMoveItWithoutFolding) {
    frmAccMain& form = bar();
    EXPECT_EQ(form.Top(), -290);
    std::vector<int> tops;
    for (int i = 0; i < 3; ++i) {
        host.rightClick(form.cmdM);
        tops.push_back(form.Top());
    }
    EXPECT_EQ(tops, (std::vector<int>{-300, -830, -300}));
    EXPECT_EQ(form.Height(), 900);
}

TEST_F(LauncherBarTest, TheToggleLogsInOnceThenGatesByRightsGroups) {
    withBankAccounts();
    // Rights given → which of cmdIo, cmdBill, cmdPj, cmdSer, cmdreIo are enabled.
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{}, "00000"},
        {{RightVoucherQuery, RightStatisticsSingle}, "10010"},
        {{RightVoucherSettle, RightBillBrowse, RightProjectReport}, "11100"},
        {{RightBillQuery, RightProjectEdit, RightStatisticsAll, RightContracts}, "01111"},
        {{RightWordLists, RightTransfers, RightStaffEdit, RightStaffQuery}, "00000"},
    };
    for (const auto& [rights, expected] : cases) {
        frmAccMain& form = bar();
        host.onModal<frmLogin>([&](frmLogin& login) {
            LoggedIn = true;
            UserRights = 0;
            for (int right : rights)
                UserRights |= 1 << (right - 1);
            login.Unload();
        });
        host.click(form.cmdM);
        std::string enabled;
        for (CommandButton* b :
             {&form.cmdIo, &form.cmdBill, &form.cmdPj, &form.cmdSer, &form.cmdreIo})
            enabled += b->Enabled() ? "1" : "0";
        EXPECT_EQ(enabled, expected);
        EXPECT_TRUE(form.cmdTag.Enabled() && form.cmdSys.Enabled() && form.cmdExit.Enabled());
        Forms::unload<frmAccMain>();
        LoggedIn = false;
    }
    EXPECT_EQ(host.modalShows().size(), std::size(cases));
}

TEST_F(LauncherBarTest, WhileTheVoucherFormIsOpenOnlyVouchersOpen) {
    for (const char* name : {"frmIo", "frmTag"})
        Forms::registerForm(name, [name] { return std::make_unique<Form>(name); });
    frmAccMain& form = unfoldedBar(AllRights);
    VoucherFormOpen = true;
    for (CommandButton* button :
         {&form.cmdBill, &form.cmdPj, &form.cmdreIo, &form.cmdSer, &form.cmdSys}) {
        host.expectMessage("請先關閉收支單作業");
        host.click(*button);
    }
    host.onModal("frmTag", [](Form& tag) { tag.Unload(); });
    host.click(form.cmdTag);
    EXPECT_EQ(form.Height(), 3585);
    host.click(form.cmdIo);
    EXPECT_EQ(form.Height(), 900);
    ASSERT_NE(Forms::find("frmIo"), nullptr);
    EXPECT_TRUE(Forms::find("frmIo")->Visible());
    host.click(form.cmdIo);
    EXPECT_EQ(host.broughtToFront(), std::vector<std::string>{"frmIo"});
}

TEST_F(LauncherBarTest, AFormNotBuiltYetSaysSoAndTheBarStays) {
    frmAccMain& form = unfoldedBar(AllRights);
    host.expectMessage("此功能尚未提供");
    host.click(form.cmdPj);
    EXPECT_EQ(form.Height(), 3585);
}

TEST_F(LauncherBarTest, TheSystemMenuIsGatedAtEveryPress) {
    frmAccMain& form = unfoldedBar(1 << (RightWordLists - 1) | 1 << (RightCompany - 1));
    auto entries = [this](size_t press) {
        std::string text;
        for (const auto& [name, enabled] : host.popups().at(press).entries)
            text += name + (enabled ? "+ " : "- ");
        return text;
    };
    host.choosePopupEntry("mCom");
    host.click(form.cmdSys);
    EXPECT_EQ(entries(0), "mSta+ mCsh- mLW- mSec- mPer- mCom+ mTrans- ");
    EXPECT_TRUE(Forms::isLoaded<frmCom>());
    EXPECT_EQ(form.Height(), 900);

    UserRights = AllRights;
    host.cancelPopup();
    host.click(form.cmdSys);
    EXPECT_EQ(entries(1), "mSta+ mCsh+ mLW+ mSec+ mPer+ mCom+ mTrans+ ");
}

// Folded, the bar shows only its toggle; a key pressed on it must not work a hidden button.
TEST_F(LauncherBarTest, FoldingGivesTheKeyboardToTheToggle) {
    Forms::registerForm("frmIo", [] { return std::make_unique<Form>("frmIo"); });
    frmAccMain& form = unfoldedBar(AllRights);
    host.focus(form.cmdIo);
    host.click(form.cmdIo);
    EXPECT_EQ(form.Height(), 900);
    EXPECT_TRUE(form.cmdM.HasFocus()) << "after a module's button";

    host.click(form.cmdM);
    host.focus(form.cmdSys);
    host.choosePopupEntry("mCom");
    host.click(form.cmdSys);
    EXPECT_EQ(form.Height(), 900);
    EXPECT_TRUE(form.cmdM.HasFocus()) << "after a system menu entry";
}

TEST_F(LauncherBarTest, ExitAndTheFrameEndTheProgram) {
    frmAccMain& form = bar();
    EXPECT_THROW(host.click(form.cmdExit), ProgramEnded);
    EXPECT_THROW(host.closeByFrame(form), ProgramEnded);
}

class SchemaUpgradeTest : public test::ProgramTest {};

// The fields an older file lacks are added at the first start (the write failure tests check
// how they are filled); a second start finds them and changes nothing.
TEST_F(SchemaUpgradeTest, ASecondStartFindsTheAddedFieldsAndChangesNothing) {
    CloseDatabases();
    {
        auto people = Database::open(folder.file("zove3.mdb"), peopleSchema());
        people->Execute("DROP TABLE 員工");
        people->Execute("CREATE TABLE 員工 (員工編號 TEXT, 中文姓名 TEXT, pass TEXT)");
    }
    Forms::get<frmAccMain>();
    PeopleDb().Execute("INSERT INTO 員工 (AccS) VALUES (5)");
    Forms::unload<frmAccMain>();
    Forms::get<frmAccMain>();
    EXPECT_EQ(rows(PeopleDb(), "SELECT AccS FROM 員工"), Texts{"5"});
    EXPECT_EQ(PeopleDb().FieldNames("員工").size(), 4u);
}

TEST_F(SchemaUpgradeTest, AMissingTableIsReportedAndTheStartGoesOn) {
    CloseDatabases();
    {
        auto acc = Database::open(folder.file("acc.mdb"), accSchema());
        acc->Execute("DROP TABLE ro");
    }
    host.answerMessage(AnswerOk);
    Forms::get<frmAccMain>();
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_NE(host.messages()[0].text.find("ro"), std::string::npos);
    EXPECT_TRUE(Forms::isLoaded<frmAccMain>());
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/frmAccMain.h"
#include "shell/frmCom.h"
#include "shell/frmFirstStart.h"
#include "shell/frmLogin.h"
#include "tests/support/ProgramTest.h"

using namespace kiv;

namespace {

class StartScenarioTest : public test::ProgramTest {
  protected:
    // A new install: no database file yet.
    void SetUp() override {
        ProgramTest::SetUp();
        CloseDatabases();
        for (const char* file : {"acc.mdb", "zove3.mdb", "pt.mdb"})
            std::filesystem::remove(folder.file(file));
    }
    // Types one account into a bank grid of the company form and closes it, which saves the list.
    void enterAccountAndClose(frmCom& com, int grid) {
        host.mouseDownCell(com.hfg(grid), 1, 0, LeftButton);
        host.type(com.txt, "台灣銀行");
        host.mouseDownCell(com.hfg(grid), 1, 2, LeftButton);
        host.type(com.txt, "001-123");
        host.closeByFrame(com);
    }
};

TEST_F(StartScenarioTest, FromAnEmptyFolderToTheUnfoldedBarThenStraightToTheLogin) {
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
    host.onModal<frmLogin>([this](frmLogin& form) {
        EXPECT_EQ(form.txtUserName.Text(), "wren");
        host.type(form.txtPassword, "s3cret");
        host.click(form.cmdOK);
    });
    // The company form comes again while a list is still empty after it closed.
    for (const char* kind : {"一般存款", "一般存款", "支票存款"})
        host.expectMessage(std::string("請先建立公司往來銀行資料(") + kind + ")");
    host.onModal<frmCom>([this](frmCom& com) { host.closeByFrame(com); });
    host.onModal<frmCom>([this](frmCom& com) { enterAccountAndClose(com, 0); });
    host.onModal<frmCom>([this](frmCom& com) { enterAccountAndClose(com, 2); });
    host.click(bar.cmdM);
    EXPECT_EQ(bar.Height(), frmAccMain::UnfoldedHeight);
    EXPECT_EQ(UserRights, AllRights);
    EXPECT_EQ(host.messages()[1].title, std::optional<std::string>("Mora III"));
    EXPECT_EQ(host.messages()[1].style, 48);
    EXPECT_EQ(host.messages()[2].title, std::optional<std::string>("KIV"));
    EXPECT_EQ(host.messages()[2].style, 64);

    // The second start asks only for the login.
    Forms::discardAll();
    CloseDatabases();
    ResetSharedState();
    frmAccMain& again = Forms::get<frmAccMain>();
    again.Show();
    host.onModal<frmLogin>([this](frmLogin& form) {
        form.txtUserName.SetText("wren");
        host.type(form.txtPassword, "s3cret");
        host.click(form.cmdOK);
    });
    host.click(again.cmdM);
    EXPECT_EQ(host.modalShows(), (std::vector<std::string>{"frmFirstStart", "frmLogin", "frmCom",
                                                           "frmCom", "frmCom", "frmLogin"}));
    EXPECT_EQ(again.Height(), frmAccMain::UnfoldedHeight);
}

}  // namespace

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
    void login(const std::string& password) {
        host.onModal<frmLogin>([=, this](frmLogin& form) {
            form.txtUserName.SetText("wren");
            host.type(form.txtPassword, password);
            host.click(form.cmdOK);
        });
    }
};

TEST_F(StartScenarioTest, FromAnEmptyFolderToTheUnfoldedBarThenStraightToTheLogin) {
    frmAccMain& bar = Forms::get<frmAccMain>();
    bar.Show();
    host.onModal<frmFirstStart>([this](frmFirstStart& first) {
        host.type(first.txtNp, "s3cret");
        host.type(first.txtCp, "s3cret");
        host.click(first.cmdOK);
    });
    login("s3cret");
    host.expectMessage("請先建立公司往來銀行資料(一般存款)");
    host.onModal<frmCom>([this](frmCom& com) { enterAccountAndClose(com, 0); });
    host.expectMessage("請先建立公司往來銀行資料(支票存款)");
    host.onModal<frmCom>([this](frmCom& com) { enterAccountAndClose(com, 2); });
    host.click(bar.cmdM);
    EXPECT_EQ(bar.Height(), frmAccMain::UnfoldedHeight);
    EXPECT_EQ(UserRights, AllRights);

    // The second start asks only for the login.
    Forms::discardAll();
    CloseDatabases();
    ResetSharedState();
    frmAccMain& again = Forms::get<frmAccMain>();
    again.Show();
    login("s3cret");
    host.click(again.cmdM);
    EXPECT_EQ(host.modalShows(), (std::vector<std::string>{"frmFirstStart", "frmLogin", "frmCom",
                                                           "frmCom", "frmLogin"}));
    EXPECT_EQ(again.Height(), frmAccMain::UnfoldedHeight);
}

}  // namespace

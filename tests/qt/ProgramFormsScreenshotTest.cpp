#include <QImage>
#include <set>

#include "platform/forms/ProgramFolder.h"
#include "shell/ShellForms.h"
#include "shell/frmAccMain.h"
#include "shell/frmCom.h"
#include "shell/frmFirstStart.h"
#include "shell/frmLogin.h"
#include "shell/mdM.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/support/TempFolder.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"

using namespace kiv;

namespace {

// Every form of the program drawn on the real host, one PNG each in <build>/screenshots, so that
// anyone can look at them; each must be drawn at its size with more than a plain face.
class ProgramFormsScreenshotTest : public QtTest {
  protected:
    void SetUp() override {
        setProgramFolder(folder.file(""));
        ResetSharedState();
        registerShellForms();
        registerVoucherForms();
        OpenDatabases();
        PeopleDb().Execute("INSERT INTO super VALUES ('wren', 'x')");
        AccDb().Execute(
            "INSERT INTO obank VALUES ('台灣銀行 信義分行', '001-123', '永建營造', 500000)");
        AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '002-456', '永建營造', 100000)");
        AccDb().Execute("INSERT INTO acc VALUES ('5101', 0, '材料費')");
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "發生日期, "
            "申請人, 單據, 單據號碼, 稅額, 建議方式) VALUES ('2026-12-06', '1151206001', "
            "'工地水電材料', "
            "-1, 12000, '5101', 1, '材料費', '2026-12-05', '王小明', 1, 'AB12345678', 571, -1)");
        loggedIn();
    }
    void TearDown() override {
        Forms::discardAll();
        Forms::forgetRegistrations();
        CloseDatabases();
        ResetSharedState();
        setProgramFolder("");
    }
    void loggedIn() {
        LoggedIn = true;
        UserRights = AllRights;
    }

    void photograph(Form& form, const std::string& name) {
        form.Show();
        settle();
        std::string path =
            utf8(QCoreApplication::applicationDirPath()) + "/screenshots/" + name + ".png";
        saveFormScreenshot(form, path);
        QImage image(QString::fromStdString(path));
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.width(), form.ScaleWidth() / TwipsPerPixel) << name;
        std::set<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 10u) << name << " looks blank";
    }

    test::TempFolder folder;
};

TEST_F(ProgramFormsScreenshotTest, TheShellForms) {
    frmAccMain& bar = Forms::get<frmAccMain>();
    bar.SetHeight(frmAccMain::UnfoldedHeight);
    photograph(bar, "frmAccMain");
    photograph(Forms::get<frmLogin>(), "frmLogin");
    photograph(Forms::get<frmFirstStart>(), "frmFirstStart");
    photograph(Forms::get<frmCom>(), "frmCom");
}

TEST_F(ProgramFormsScreenshotTest, TheVoucherForm) {
    frmIo& form = Forms::get<frmIo>();
    photograph(form, "frmIo");
    EXPECT_EQ(form.lbAcIo.Caption(), "(支出)");
}

}  // namespace

#include <QTest>

#include "platform/qt/ControlWidgets.h"
#include "shell/Schema.h"
#include "shell/mdM.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/support/Books.h"
#include "tests/support/ProgramTest.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"

namespace kiv {
namespace {

// The voucher form's bar in a real window, moved by the keys the user presses on it.
class VoucherBarKeysTest : public QtTest {
  protected:
    VoucherBarKeysTest() : program(folder) {
        registerVoucherForms();
        LoggedIn = true;
        UserRights = AllRights;
        for (const char* number : {"1151120001", "1151120002", "1151120003"})
            test::AddVoucherRow(test::Expense(number, test::day(2026, 11, 20), 500, -1));
    }
    void addByAnotherCopy(const std::string& number) {
        auto copyB = Database::open(AccDb().path(), accSchema());
        copyB->Execute("INSERT INTO iof (單號, 方式, 金額, pay) VALUES (?, -1, 500, 1)", number);
    }
    void deleteByAnotherCopy(const std::string& number) {
        auto copyB = Database::open(AccDb().path(), accSchema());
        copyB->Execute("DELETE FROM iof WHERE 單號 = ?", number);
    }
    void pressOnBar(frmIo& form, Qt::Key key) {
        QTest::keyClick(windowOf(form).widgetOf(form.FSB), key);
        settle();
    }

    test::TempFolder folder;
    test::ProgramInFolder program;
};

// At the last voucher Right reaches the one another copy saved after it, and End from the first
// goes past the old last to the newest.
TEST_F(VoucherBarKeysTest, RightAndEndReachTheVouchersAnotherCopySaved) {
    auto& form = static_cast<frmIo&>(*Forms::getByName("frmIo"));
    form.Show();
    settle();
    ASSERT_EQ(form.lbNo.Caption(), "1151120003");
    addByAnotherCopy("1151120004");
    pressOnBar(form, Qt::Key_Right);
    EXPECT_EQ(form.lbNo.Caption(), "1151120004");
    pressOnBar(form, Qt::Key_Home);
    EXPECT_EQ(form.lbNo.Caption(), "1151120001");
    addByAnotherCopy("1151120005");
    pressOnBar(form, Qt::Key_End);
    EXPECT_EQ(form.lbNo.Caption(), "1151120005");
    EXPECT_EQ(form.FSB.Value(), 4);
}

// Another copy deleted the voucher shown and saved two after it: Right shows the voucher after the
// gone one on its place, End the newest, and the bar counts on from there to the first.
TEST_F(VoucherBarKeysTest, KeysAfterTheVoucherShownVanishedShowStoredVouchersOnTheirPlaces) {
    auto& form = static_cast<frmIo&>(*Forms::getByName("frmIo"));
    form.Show();
    settle();
    form.FSB.SetValue(1);
    ASSERT_EQ(form.lbNo.Caption(), "1151120002");
    addByAnotherCopy("1151120004");
    addByAnotherCopy("1151120005");
    deleteByAnotherCopy("1151120002");
    const auto shown = [&] {
        return form.lbNo.Caption() + " " + std::to_string(form.FSB.Value()) + "/" +
               std::to_string(form.FSB.Max());
    };
    pressOnBar(form, Qt::Key_Right);
    EXPECT_EQ(shown(), "1151120003 1/3");
    pressOnBar(form, Qt::Key_End);
    EXPECT_EQ(shown(), "1151120005 3/3");
    pressOnBar(form, Qt::Key_Left);
    EXPECT_EQ(shown(), "1151120004 2/3");
    pressOnBar(form, Qt::Key_Home);
    EXPECT_EQ(shown(), "1151120001 0/3");
}

}  // namespace
}  // namespace kiv

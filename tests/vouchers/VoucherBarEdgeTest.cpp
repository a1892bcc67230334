#include <string>

#include <gtest/gtest.h>

#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// The voucher form's bar at its ends, and after a save.
using VoucherBarEdgeTest = test::TenVouchersBook;

// A new voucher is the last of the list opened again, wherever the bar stood.
TEST_F(VoucherBarEdgeTest, ANewVoucherIsShownLastWhereverTheBarStood) {
    frmIo& form = openForm();
    host.scroll(form.FSB, 4);
    enterVoucher(form, "500");
    EXPECT_EQ(shown(form), "1151206001 10/10");
    host.scroll(form.FSB, 9);
    EXPECT_EQ(shown(form), numberAt(30) + " 9/10");
}

// At the last voucher, a newer one another copy saved is reached by Right and by End, and End
// from elsewhere goes past the old last to it.
TEST_F(VoucherBarEdgeTest, RightAndEndReachAVoucherAnotherCopySavedAfterTheLast) {
    frmIo& form = openForm();
    ASSERT_EQ(shown(form), numberAt(30) + " 9/9");
    addByB(31);
    press(form, Key::Right);
    EXPECT_EQ(shown(form), numberAt(31) + " 10/10");

    addByB(32);
    press(form, Key::End);
    EXPECT_EQ(shown(form), numberAt(32) + " 11/11");

    press(form, Key::Home);
    EXPECT_EQ(shown(form), numberAt(3) + " 0/11");
    addByB(33);
    press(form, Key::End);
    EXPECT_EQ(shown(form), numberAt(33) + " 12/12");
    press(form, Key::Left);
    EXPECT_EQ(shown(form), numberAt(32) + " 11/12");
}

// Saving an edit of a voucher another copy deleted says so, and the bar stands where the voucher
// stood, its end counted again.
TEST_F(VoucherBarEdgeTest, SavingAVoucherAnotherCopyDeletedSaysSoAndCountsTheBarAgain) {
    frmIo& form = openForm();
    addByB(31);
    host.click(form.cmdEdit);
    host.type(form.cbPs1, "改");
    copyB->Execute("DELETE FROM iof WHERE 單號 = ?", numberAt(30));
    host.expectMessage("這一筆已被刪除");
    host.click(form.cmdSv);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].style, MessageCritical);
    EXPECT_EQ(host.messages()[0].title, ApplicationTitle);
    EXPECT_EQ(shown(form), numberAt(31) + " 9/9");
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    press(form, Key::Left);
    EXPECT_EQ(shown(form), numberAt(27) + " 8/9");
}

}  // namespace

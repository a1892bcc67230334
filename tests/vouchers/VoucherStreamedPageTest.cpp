#include <gtest/gtest.h>

#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// An entry's end reads the list up to the held voucher and a little past it, in one read of the
// book. Once control is back with the user, those rows are of a state of the book another copy may
// since have changed: stepping onto one shows it as it now stands.
class VoucherStreamedPageTest : public test::VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        for (int i = 0; i < 10; ++i)
            addVoucher({.number = numberAt(i)});
        openOtherCopy();
    }
};

TEST_F(VoucherStreamedPageTest, AVoucherAnotherCopyChangedPastTheEndsBarShowsAsItNowStands) {
    for (bool save : {false, true}) {
        SCOPED_TRACE(save ? "saved" : "cancelled");
        frmIo& form = openForm();
        host.scroll(form.FSB, 2);
        host.click(form.cmdEdit);
        if (save) {
            host.type(form.cbPs1, "改");
            host.click(form.cmdSv);
        } else {
            host.click(form.cmdCencel);
        }
        ASSERT_EQ(form.lbNo.Caption(), numberAt(2));
        const std::string changed = save ? "工地材料" : "用途" + numberAt(2);
        copyB->Execute("UPDATE iof SET 用途說明 = ?, 金額 = 777 WHERE 單號 = ?", changed,
                       numberAt(3));
        host.scroll(form.FSB, 3);
        EXPECT_EQ(form.lbNo.Caption(), numberAt(3));
        EXPECT_EQ(form.cbUse.Text(), changed);
        EXPECT_EQ(form.txtCash.Text(), "777");
        host.closeByFrame(form);
    }
}

// A new voucher that is not the last (another copy saved vouchers of a later day): the save reads
// the list around it, and a voucher after it that another copy changes next shows as it now stands.
TEST_F(VoucherStreamedPageTest, AVoucherAfterANewOneThatAnotherCopyChangedShowsAsItNowStands) {
    for (const char* later : {"1151207001", "1151207002"})
        copyB->Execute(
            "INSERT INTO iof (單號, 用途說明, 方式, 金額, pay) VALUES (?, '後來', -1, 5, 1)",
            later);
    frmIo& form = openForm();
    enterVoucher(form, "777");
    ASSERT_EQ(shown(form), "1151206001 10/12");
    copyB->Execute("UPDATE iof SET 用途說明 = '工地材料', 金額 = 888 WHERE 單號 = '1151207001'");
    host.act([&] { form.FSB.userKeyDown(Key::Right); });
    EXPECT_EQ(shown(form), "1151207001 11/12");
    EXPECT_EQ(form.cbUse.Text(), "工地材料");
    EXPECT_EQ(form.txtCash.Text(), "888");
}

}  // namespace

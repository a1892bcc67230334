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

}  // namespace

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// The voucher form ends an entry (a save, a sign-off, 取消) while another copy of the program has
// saved or deleted vouchers meanwhile: it shows the voucher it held, where that voucher now
// stands. Ten vouchers numbered 1151120003 to 1151120030 in steps of three, so that another copy
// can add one between any two.
class VoucherEntryEndTest : public test::TenVouchersBook {
  protected:
    void SetUp() override {
        TenVouchersBook::SetUp();
        Forms::registerForm<test::ChequeStandIn>();
    }

    void modify(frmIo& form) {
        host.click(form.cmdEdit);
        host.type(form.cbPs1, "改");
    }
};

// Saved, cancelled or signed off, the voucher held stays shown, counted where it now stands after
// another copy deleted or added a voucher before it, and the bar steps on from there.
TEST_F(VoucherEntryEndTest, AnEntryEndsOnTheVoucherItHeldWhereItNowStands) {
    frmIo& form = openForm();
    host.scroll(form.FSB, 4);
    modify(form);
    host.click(form.cmdCencel);
    EXPECT_EQ(shown(form), numberAt(15) + " 4/9");

    modify(form);
    deleteByB(6);
    host.click(form.cmdSv);
    EXPECT_EQ(shown(form), numberAt(15) + " 3/8");
    EXPECT_EQ(rows(AccDb(), "SELECT 附註一 FROM iof WHERE 單號 = ?", numberAt(15)),
              Texts{"附一改"});

    modify(form);
    addByB(1);
    host.click(form.cmdCencel);
    EXPECT_EQ(shown(form), numberAt(15) + " 4/9");

    host.click(form.ck);
    deleteByB(9);
    host.click(form.cmdSv);
    EXPECT_EQ(shown(form), numberAt(15) + " 3/8");
    EXPECT_EQ(rows(AccDb(), "SELECT 方式 FROM iof WHERE 單號 = ?", numberAt(15)), Texts{"0"});

    host.scroll(form.FSB, 4);
    EXPECT_EQ(form.lbNo.Caption(), numberAt(18));
    host.onModal("frmBill", [](Form& bill) {
        BillEntryCancelled = false;
        bill.Unload();
    });
    host.click(form.ck);
    host.click(form.optA(1));
    addByB(2);
    host.click(form.cmdSv);
    EXPECT_EQ(shown(form), numberAt(18) + " 5/9");
    host.scroll(form.FSB, 6);
    EXPECT_EQ(form.lbNo.Caption(), numberAt(21));

    // A new voucher is still shown as the last, wherever the bar stood.
    deleteByB(3);
    enterVoucher(form, "500");
    EXPECT_EQ(shown(form), "1151206001 9/9");
}

// The voucher held gone, the bar stays where it stood, at the last voucher at the most, and shows
// the voucher standing there; a save of it is refused as deleted.
TEST_F(VoucherEntryEndTest, TheVoucherHeldGoneLeavesTheBarWhereItStoodUpToTheLast) {
    frmIo& form = openForm();
    host.scroll(form.FSB, 4);
    modify(form);
    deleteByB(15);
    host.click(form.cmdCencel);
    EXPECT_EQ(shown(form), numberAt(18) + " 4/8");

    host.scroll(form.FSB, 2);
    modify(form);
    deleteByB(9);
    host.expectMessage("這一筆已被刪除");
    host.click(form.cmdSv);
    EXPECT_EQ(shown(form), numberAt(12) + " 2/7");

    host.scroll(form.FSB, 7);
    ASSERT_EQ(form.lbNo.Caption(), numberAt(30));
    modify(form);
    deleteByB(27);
    deleteByB(30);
    host.click(form.cmdCencel);
    EXPECT_EQ(shown(form), numberAt(24) + " 5/5");
    EXPECT_TRUE(form.ck.Enabled());
}

// 修改 on a voucher another copy deleted says so, as a move onto it does, and the form stays
// browsing on the voucher now where it stood, the bar stepping on from there; so it does on the
// one voucher a list or another form opened it on.
TEST_F(VoucherEntryEndTest, ModifyingAVoucherAnotherCopyDeletedIsToldAndStaysBrowsing) {
    frmIo& form = openForm();
    host.scroll(form.FSB, 4);
    deleteByB(15);
    host.expectMessage("這一筆已被刪除");
    host.click(form.cmdEdit);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages().back().style, MessageCritical);
    EXPECT_EQ(host.messages().back().title, ApplicationTitle);
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    EXPECT_FALSE(form.cmdSv.Enabled());
    EXPECT_TRUE(form.FSB.Enabled());
    EXPECT_EQ(shown(form), numberAt(18) + " 4/8");
    EXPECT_EQ(printField(1), numberAt(18));
    press(form, Key::Right);
    EXPECT_EQ(shown(form), numberAt(21) + " 5/8");
    host.closeByFrame(form);

    frmIo& one = openOne(numberAt(18));
    deleteByB(18);
    host.expectMessage("這一筆已被刪除");
    host.click(one.cmdEdit);
    EXPECT_EQ(one.lbStat.Caption(), "〔瀏覽〕");
    EXPECT_FALSE(one.cmdSv.Enabled());
}

}  // namespace

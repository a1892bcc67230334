#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ledger/Vouchers.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// The voucher form on the newest of two hundred vouchers while another copy of the program saves
// or deletes vouchers: the scroll bar moves from the voucher shown, counted in the file as it now
// is, and never shows a voucher twice or one that is gone.
class VoucherCursorTest : public test::VoucherBook {
  protected:
    static constexpr int vouchers = 200;

    void SetUp() override {
        VoucherBook::SetUp();
        Transaction t(AccDb(), TransactionKind::Writes);
        for (int i = 0; i < vouchers; ++i)
            addVoucher({.number = numberAt(i)});
        t.Commit();
        openOtherCopy();
    }

    static Texts numbersFrom(int first, int last) {
        Texts numbers;
        for (int i = first; i <= last; ++i)
            numbers.push_back(numberAt(i));
        return numbers;
    }

    // The numbers the form shows as the bar steps on, one position at a time, to its end.
    Texts steppedToTheEnd(frmIo& form) {
        Texts shown;
        for (int position = form.FSB.Value() + 1; position <= form.FSB.Max(); ++position) {
            host.scroll(form.FSB, position);
            shown.push_back(form.lbNo.Caption());
        }
        return shown;
    }

    // Another copy of the program on the same book.
};

// The five vouchers saved come after the newest one shown: every position the bar can reach keeps
// its voucher, and the bar's end moves on to reach the new ones.
TEST_F(VoucherCursorTest, VouchersSavedByAnotherCopyMoveNoPositionTheBarCounts) {
    frmIo& form = openForm();
    ASSERT_EQ(form.FSB.Max(), vouchers - 1);
    Texts saved;
    for (int i = 0; i < 5; ++i)
        saved.push_back(AddVoucher(*copyB, ReadVoucher(*copyB, numberAt(i)).value()).value());
    host.scroll(form.FSB, 99);
    EXPECT_EQ(form.lbNo.Caption(), numberAt(99));
    EXPECT_EQ(form.FSB.Max(), vouchers + 4);
    Texts expected = numbersFrom(100, vouchers - 1);
    expected.insert(expected.end(), saved.begin(), saved.end());
    EXPECT_EQ(steppedToTheEnd(form), expected);
}

// Vouchers deleted ahead of the one shown are stepped over, and the bar ends at the last voucher.
TEST_F(VoucherCursorTest, VouchersDeletedByAnotherCopyAreSteppedOverUpToTheBarsEnd) {
    frmIo& form = openForm();
    host.scroll(form.FSB, 99);
    copyB->Execute("DELETE FROM iof WHERE 單號 BETWEEN ? AND ?", numberAt(150), numberAt(154));
    Texts expected = numbersFrom(100, 149);
    for (const auto& number : numbersFrom(155, vouchers - 1))
        expected.push_back(number);
    EXPECT_EQ(steppedToTheEnd(form), expected);
    EXPECT_EQ(form.FSB.Max(), vouchers - 6);
    EXPECT_TRUE(form.ck.Enabled());
}

// The newest voucher deleted by another copy while the form stands on it: the next move counts
// again, and the bar comes back to the voucher that is now the last.
TEST_F(VoucherCursorTest, ABarBeyondTheNewEndComesBackToTheLastVoucher) {
    frmIo& form = openForm();
    copyB->Execute("DELETE FROM iof WHERE 單號 >= ?", numberAt(190));
    host.scroll(form.FSB, vouchers - 2);
    EXPECT_EQ(form.FSB.Max(), 189);
    EXPECT_EQ(form.FSB.Value(), 189);
    EXPECT_EQ(form.lbNo.Caption(), numberAt(189));
}

// Vouchers deleted before the one shown: the bar moves by as many vouchers as it was dragged,
// counted from the voucher shown, and then stands where that voucher now stands.
TEST_F(VoucherCursorTest, VouchersDeletedBeforeTheOneShownMoveTheBarToWhereItStands) {
    frmIo& form = openForm();
    copyB->Execute("DELETE FROM iof WHERE 單號 BETWEEN ? AND ?", numberAt(10), numberAt(14));
    host.scroll(form.FSB, 99);
    EXPECT_EQ(form.lbNo.Caption(), numberAt(99));
    EXPECT_EQ(form.FSB.Value(), 94);
    EXPECT_EQ(form.FSB.Max(), vouchers - 6);
    host.scroll(form.FSB, 95);
    EXPECT_EQ(form.lbNo.Caption(), numberAt(100));
}

}  // namespace

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ledger/CashBook.h"
#include "ledger/Vouchers.h"
#include "tests/vouchers/VoucherBook.h"
#include "vouchers/frmSt.h"

using namespace kiv;

namespace {

// The voucher form cancels or saves an edit at a bar within its first vouchers, and reads its list
// again up to the bar. Once that action returns, this copy of the program reads the book as
// another copy leaves it: in the voucher form and in every other read of acc.mdb.
class VoucherReadStateTest : public test::VoucherBook {
  protected:
    enum class Leaving { ByCancel, BySave };

    void fill(int count) {
        Transaction t(AccDb(), TransactionKind::Writes);
        for (int i = 0; i < count; ++i)
            addVoucher({.number = numberAt(i)});
        t.Commit();
        openOtherCopy();
    }

    // The form on the voucher at `bar`, its edit cancelled or saved with a changed note.
    frmIo& leftAt(int bar, Leaving leaving) {
        frmIo& form = openForm();
        host.scroll(form.FSB, bar);
        host.click(form.cmdEdit);
        if (leaving == Leaving::BySave) {
            host.type(form.cbPs1, "改");
            host.click(form.cmdSv);
        } else {
            host.click(form.cmdCencel);
        }
        EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
        EXPECT_EQ(form.lbNo.Caption(), numberAt(bar));
        return form;
    }

    // Another copy saves a voucher: this copy counts it, finds it by its number, and the bar's end
    // moves on to reach it.
    void expectAnotherCopysVoucherSeen(frmIo& form) {
        const int64_t before = VoucherCount(*copyB);
        const std::string number =
            AddVoucher(*copyB, ReadVoucher(*copyB, numberAt(0)).value()).value();
        EXPECT_EQ(VoucherCount(AccDb()), before + 1);
        EXPECT_TRUE(ReadVoucher(AccDb(), number).has_value());
        host.scroll(form.FSB, form.FSB.Max());
        EXPECT_EQ(form.FSB.Max(), before);
        host.scroll(form.FSB, form.FSB.Max());
        EXPECT_EQ(form.lbNo.Caption(), number);
    }

    void expectNoOldStateAfterLeaving(int vouchers, int bar) {
        fill(vouchers);
        for (Leaving leaving : {Leaving::ByCancel, Leaving::BySave}) {
            frmIo& form = leftAt(bar, leaving);
            expectAnotherCopysVoucherSeen(form);
            host.closeByFrame(form);
        }
    }

    // Another copy of the program on the same book.
};

TEST_F(VoucherReadStateTest, ACancelOrASaveAtBarFourOfTenKeepsNoOldStateOfTheBook) {
    expectNoOldStateAfterLeaving(10, 4);
}

TEST_F(VoucherReadStateTest, ACancelOrASaveAtBarOneHundredOfAThousandKeepsNoOldStateOfTheBook) {
    expectNoOldStateAfterLeaving(1000, 100);
}

// The voucher form left so, the other forms of this copy read what another copy saved meanwhile:
// the voucher form's own list of unsigned vouchers, the cash book's balance, the word lists.
TEST_F(VoucherReadStateTest, OtherReadsOfTheBookMeetAnotherCopysSavesAfterTheVoucherFormsCancel) {
    fill(10);
    frmIo& form = leftAt(4, Leaving::ByCancel);
    const std::string number = AddVoucher(*copyB, ReadVoucher(*copyB, numberAt(0)).value()).value();
    PostCashBookRow(*copyB, {.income = true,
                             .day = Date::fromYmd(2026, 12, 6),
                             .amount = 500,
                             .memo = "現金收入",
                             .voucherNo = number});
    copyB->Execute("INSERT INTO acc VALUES ('4102', 1, '利息收入')");

    host.click(form.cmdNck);
    EXPECT_EQ(form.hfg.Rows(), 12);
    EXPECT_EQ(form.hfg.TextMatrix(form.hfg.Rows() - 1, 1), number);
    EXPECT_EQ(CashBalance(AccDb()), 500);
    frmSt& words = Forms::get<frmSt>();
    EXPECT_EQ(words.hfg(frmSt::IncomeGrid).TextMatrix(2, 0), "4102");
    host.closeByFrame(words);
}

}  // namespace

#include <gtest/gtest.h>

#include "platform/forms/UnsavedInput.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;
using namespace kiv::test;

namespace {

class VoucherUnsavedInputTest : public VoucherBook {};

// A modification of a voucher with a receipt shows its tax box from the start, so a tax typed
// there may be all the user changed: another form's action still finds the entry and leaves the
// form open with the tax as typed, whether the voucher stored a tax or none. Cancelled, the form
// is closed.
TEST_F(VoucherUnsavedInputTest, ATaxTypedAloneKeepsTheFormFromBeingClosedByAnotherForm) {
    addVoucher({.number = "A1", .receipt = true, .tax = 50});
    addVoucher({.number = "A2", .receipt = true});
    for (const std::string number : {"A1", "A2"}) {
        SCOPED_TRACE(number);
        frmIo& form = openOne(number);
        host.click(form.cmdEdit);
        ASSERT_TRUE(form.Frame3.Visible());
        const std::string stored = form.txtTax.Text();
        host.type(form.txtTax, "7");
        ASSERT_EQ(form.txtTax.Text(), stored + "7");
        host.expectMessage("請先關閉收支單作業");
        bool closed = true;
        host.act([&] { closed = UnloadUnlessUnsaved("frmIo"); });
        EXPECT_FALSE(closed);
        ASSERT_EQ(Forms::find("frmIo"), &form);
        EXPECT_EQ(form.txtTax.Text(), stored + "7");

        host.click(form.cmdCencel);
        host.act([&] { closed = UnloadUnlessUnsaved("frmIo"); });
        EXPECT_TRUE(closed);
    }
    EXPECT_EQ(host.messages().size(), 2u);
}

}  // namespace

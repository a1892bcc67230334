#include <string>

#include <gtest/gtest.h>

#include "tests/cheques/ChequeBook.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"
#include "vouchers/frmIoAuto.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// The voucher form open beside the cheque form, both real, with the real generated-voucher form
// adding the follow-up vouchers of a cashing through this copy's own connection: twelve vouchers
// numbered 1151120003 to 1151120036 in steps of three, the first two paid by one issued cheque and
// the next two by another.
class VoucherFormAfterCashingTest : public ChequeBook {
  protected:
    void SetUp() override {
        ChequeBook::SetUp();
        registerVoucherForms();
        host.onEveryModal("frmIoAuto", [this](Form& form) {
            host.click(dynamic_cast<frmIoAuto&>(form).Command1);
        });
        for (int i = 1; i <= 12; ++i)
            addVoucher(numberAt(3 * i), 500);
        for (int first : {3, 9}) {
            addCheque(cheque(numberAt(first) + "S", 1000, false, today()));
            group(numberAt(first) + "S", {numberAt(first), numberAt(first + 3)});
        }
    }
    static std::string numberAt(int serial) {
        char number[16];
        std::snprintf(number, sizeof number, "1151120%03d", serial);
        return number;
    }
    static std::string shown(frmIo& form) {
        return form.lbNo.Caption() + " " + std::to_string(form.FSB.Value()) + "/" +
               std::to_string(form.FSB.Max());
    }
    void press(frmIo& form, int key) {
        host.act([&] { form.FSB.userKeyDown(key); });
    }
    // A group's cheque cashed in the cheque form, which adds the two follow-up vouchers of today.
    void cashTheGroupsCheque(int first) {
        frmBill& bill = openCheque(numberAt(first) + "S");
        host.expectMessage("確定處理此票據為[兌   現]", AnswerYes);
        host.click(bill.cmdOp);
        host.click(bill.Oop(ChequeCashed));
        bill.Unload();
        ASSERT_EQ(billState(numberAt(first) + "S"), "1");
    }
};

// The vouchers the cashing adds are counted by the voucher form's next entry end and by its next
// step, whether it was browsing or had ended an entry without counting.
TEST_F(VoucherFormAfterCashingTest, TheVoucherFormCountsTheFollowUpVouchersOfACashing) {
    for (const bool entryEndFirst : {true, false}) {
        SCOPED_TRACE(entryEndFirst ? "browsing, then 新增 and 取消" : "新增 and 取消, then a step");
        frmIo& io = Forms::get<frmIo>();
        host.scroll(io.FSB, 5);
        if (!entryEndFirst) {
            host.click(io.cmdAdd);
            host.click(io.cmdCencel);
        }
        const int vouchers = io.FSB.Max() + 1;
        ASSERT_EQ(shown(io), numberAt(18) + " 5/" + std::to_string(vouchers - 1));
        cashTheGroupsCheque(entryEndFirst ? 3 : 9);
        ASSERT_NE(Forms::find("frmIo"), nullptr);
        const std::string last = "/" + std::to_string(vouchers + 1);

        if (entryEndFirst) {
            host.click(io.cmdAdd);
            host.click(io.cmdCencel);
            EXPECT_EQ(shown(io), numberAt(18) + " 5" + last);
        }
        press(io, Key::Left);
        EXPECT_EQ(shown(io), numberAt(15) + " 4" + last);
        press(io, Key::End);
        EXPECT_EQ(io.FSB.Value(), vouchers + 1);
        EXPECT_EQ(io.lbNo.Caption(), rows(AccDb(), "SELECT Max(單號) FROM iof").at(0));
        io.Unload();
    }
}

}  // namespace

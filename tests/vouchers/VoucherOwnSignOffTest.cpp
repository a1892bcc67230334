#include <string>

#include <gtest/gtest.h>

#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// A voucher this copy signed off meanwhile, by the form or by a combined cheque, is refused as
// signed, not put on another user; nothing is written.
class VoucherOwnSignOffTest : public test::VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        Forms::registerForm<test::ChequeStandIn>();
        for (const char* number : {"A1", "A2", "A3"})
            addVoucher({.number = number});
        host.onEveryModal("frmBill", [](Form& bill) {
            AccDb().Execute(
                "INSERT INTO bill (票據號碼, 金額, 收支單號, 方式) VALUES ('C1', ?, ?, 0)",
                CombinedChequeTotal, CombinedFirstVoucherNo + "S");
            BillEntryCancelled = false;
            bill.Unload();
        });
    }
    static void expectToldAsSigned(const TestHost::Message& message, const std::string& text) {
        EXPECT_EQ(message.text, text);
        EXPECT_EQ(message.style, MessageExclamation);
        EXPECT_EQ(message.title, CapitalsTitle);
    }
};

// Marked for a combined cheque, then signed off by cash in the form: 確定開票 says it is signed.
TEST_F(VoucherOwnSignOffTest, AVoucherSignedByCashAfterItWasMarkedCannotJoinTheCheque) {
    frmIo& form = openForm();
    host.click(form.cmdNck);
    host.click(form.ckco);
    host.mouseDownCell(form.hfg, 3, 4, LeftButton);
    ASSERT_EQ(form.lbNo.Caption(), "A3");
    host.click(form.ck);
    host.click(form.optA(0));
    host.click(form.cmdSv);
    const std::string signedByCash = test::dumpTables(AccDb());
    host.answerMessage(AnswerOk);
    host.click(form.cmdco);
    ASSERT_EQ(host.messages().size(), 1u);
    expectToldAsSigned(host.messages()[0], "收支單已簽核 無法開票");
    EXPECT_EQ(test::dumpTables(AccDb()), signedByCash);
}

// Modified, then paid by a combined cheque from the list: 存檔 says it is signed.
TEST_F(VoucherOwnSignOffTest, AVoucherPaidByACombinedChequeDuringItsModificationIsNotRewritten) {
    frmIo& form = openForm();
    host.click(form.cmdEdit);
    host.type(form.cbPs1, "改");
    host.click(form.cmdNck);
    host.click(form.ckco);
    host.mouseDownCell(form.hfg, 3, 4, LeftButton);
    host.click(form.cmdco);
    const std::string paid = test::dumpTables(AccDb());
    host.answerMessage(AnswerOk);
    host.click(form.cmdSv);
    ASSERT_EQ(host.messages().size(), 1u);
    expectToldAsSigned(host.messages()[0], "收支單已簽核 無法修改");
    EXPECT_EQ(test::dumpTables(AccDb()), paid);
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    EXPECT_TRUE(form.optA(1).Value());
}

}  // namespace

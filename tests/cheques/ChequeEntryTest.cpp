#include <gtest/gtest.h>

#include "tests/cheques/ChequeBook.h"

using namespace kiv;

namespace {

class ChequeEntryTest : public test::ChequeBook {
  protected:
    // The cheque form opened by the voucher form's save for the voucher it shows.
    frmBill& newChequeFor(const std::string& number, const std::string& direction,
                          const std::string& amount) {
        voucherForm(number, direction, amount);
        BillForVoucher = true;
        BillEntryCancelled = true;
        return Forms::get<frmBill>();
    }
    frmBill& newCombinedCheque(const std::string& first, int64_t total) {
        BillForCombinedCheque = true;
        CombinedFirstVoucherNo = first;
        CombinedChequeTotal = total;
        return Forms::get<frmBill>();
    }
    static bool open() { return Forms::find("frmBill") != nullptr; }
};

TEST_F(ChequeEntryTest, AReceivedChequeWithThreeDaysDelayStoresItsUsableDateOnly) {
    frmBill& form = newChequeFor("1151206001", "(收入)", "12000");
    EXPECT_EQ(form.lbIo.Caption(), "收 到 票 據");
    EXPECT_EQ(form.lbBCash.Caption(), "壹萬貳仟 元整");
    EXPECT_FALSE(form.cbArDay.Visible());
    // The company's ordinary accounts for the money received, the customers' banks for the
    // drawer.
    EXPECT_EQ(form.cbCbnk.ListCount(), 1);
    EXPECT_EQ(form.cbWbnk.ListCount(), 2);

    host.pickDate(form.DTP2, day(2026, 12, 20));
    EXPECT_EQ(form.lbCk.Caption(), "中華民國 115 年 12 月 20 日");
    host.pickDate(form.DTP1, day(2026, 12, 1));
    host.pick(form.cbCbnk, 0);
    EXPECT_EQ(form.txtCid.Text(), "001-1");
    EXPECT_EQ(form.txtCp.Text(), "永建營造");
    host.pick(form.cbWbnk, 1);
    EXPECT_EQ(form.txtWid.Text(), "900-2");
    host.type(form.txtBillNo, "AB001");
    host.pick(form.cbDeDay, 3);
    host.click(form.cmdSv);

    EXPECT_EQ(billRow("1151206001"),
              "AB001|2026/12/01||2026/12/20|2026/12/23|華南銀行|台灣銀行|陳小姐|永建營造|900-2|"
              "001-1|12000|壹萬貳仟 元整|True|1151206001|0");
    EXPECT_FALSE(open());
    EXPECT_FALSE(BillEntryCancelled);
    EXPECT_TRUE(host.messages().empty());
}

// A date picked that the picker already showed is still the user's choice.
TEST_F(ChequeEntryTest, AnIssuedChequeWithTenDaysReminderStoresItsReminderDateOnly) {
    frmBill& form = newChequeFor("1151206002", "(支出)", "8500");
    EXPECT_EQ(form.cbWbnk.ListCount(), 1);
    EXPECT_EQ(form.cbCbnk.ListCount(), 2);
    host.pickDate(form.DTP1, today());
    EXPECT_EQ(form.lbW.Caption(), "中華民國 115 年 12 月 06 日");
    host.pickDate(form.DTP2, day(2027, 1, 10));
    host.pick(form.cbWbnk, 0);
    // A payee's bank that is in no list is typed.
    host.type(form.cbCbnk, "郵局");
    host.type(form.txtCp, "大華五金");
    host.type(form.txtBillNo, "XY-77");
    host.pick(form.cbArDay, 10);
    host.click(form.cmdSv);

    EXPECT_EQ(billRow("1151206002"),
              "XY-77|2026/12/06|2026/12/31|2027/01/10||土地銀行|郵局|永建營造|大華五金|002-4||"
              "8500|捌仟伍佰 元整|False|1151206002|0");
    EXPECT_FALSE(BillEntryCancelled);
}

TEST_F(ChequeEntryTest, TheSaveChecksTheDateThenTheCompanysBankThenTheNumber) {
    frmBill& issued = newChequeFor("A1", "(支出)", "100");
    host.type(issued.txtBillNo, "N1");
    host.pick(issued.cbCbnk, 0);
    host.expectMessage("未選取開票日期");
    host.click(issued.cmdSv);
    host.pickDate(issued.DTP1, today());
    host.expectMessage("未選取開票銀行");
    host.click(issued.cmdSv);
    EXPECT_TRUE(issued.cbWbnk.HasFocus());
    host.pick(issued.cbWbnk, 0);
    host.type(issued.txtBillNo, "\b\b");
    host.expectMessage("票據號碼未填入");
    host.click(issued.cmdSv);
    EXPECT_TRUE(issued.txtBillNo.HasFocus());
    issued.Unload();

    frmBill& received = newChequeFor("A2", "(收入)", "100");
    host.pickDate(received.DTP2, today());
    host.pick(received.cbWbnk, 0);
    host.type(received.txtBillNo, "N2");
    host.expectMessage("未選取收票銀行");
    host.click(received.cmdSv);
    EXPECT_TRUE(received.cbCbnk.HasFocus());
    EXPECT_TRUE(open());
    EXPECT_EQ(rows(AccDb(), "SELECT * FROM bill"), Texts{});
}

// Only the due date picked: the issue date is the same day. A date past 2030 is stored as
// picked, never read back through a two-digit year.
TEST_F(ChequeEntryTest, ADueDateAlonePickedIsAlsoTheIssueDate) {
    frmBill& form = newChequeFor("A1", "(支出)", "100");
    host.pickDate(form.DTP2, day(2031, 3, 5));
    EXPECT_EQ(form.lbW.Caption(), "中華民國 120 年 03 月 05 日");
    host.pick(form.cbWbnk, 0);
    host.type(form.txtBillNo, "N1");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 開票日, 到期日, arDay FROM bill"),
              Texts{"2031/03/05|2031/03/05|2031/03/05"});
}

TEST_F(ChequeEntryTest, ACombinedChequeIsIssuedUnderItsGroupNumber) {
    frmBill& form = newCombinedCheque("1151206003", 30000);
    EXPECT_EQ(form.lbIoNo.Caption(), "1151206003S");
    EXPECT_EQ(form.lbBCash.Caption(), "參萬 元整");
    host.pickDate(form.DTP1, today());
    host.type(form.cbWbnk, "土地銀行");
    EXPECT_EQ(form.txtWid.Text(), "002-4");
    host.type(form.txtBillNo, "G1");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 收支單號, 收支, 金額, 開帳號, arDay, deDay FROM bill"),
              Texts{"1151206003S|False|30000|002-4|2026/12/06|"});
    EXPECT_FALSE(BillEntryCancelled);
    EXPECT_FALSE(open());
}

TEST_F(ChequeEntryTest, CancellingOrClosingANewChequeWritesNothingAndSaysCancelled) {
    frmBill& cancelled = newChequeFor("A1", "(支出)", "100");
    BillEntryCancelled = false;
    host.click(cancelled.cmdCencel);
    EXPECT_TRUE(BillEntryCancelled);
    EXPECT_FALSE(open());

    frmBill& closed = newChequeFor("A1", "(支出)", "100");
    BillEntryCancelled = false;
    host.closeByFrame(closed);
    EXPECT_TRUE(BillEntryCancelled);

    BillForVoucher = false;
    frmBill& combined = newCombinedCheque("A5", 100);
    BillEntryCancelled = false;
    host.closeByFrame(combined);
    EXPECT_TRUE(BillEntryCancelled);
    EXPECT_EQ(rows(AccDb(), "SELECT * FROM bill"), Texts{});
}

// The voucher already has its cheque: the second is refused, and the user may still cancel.
TEST_F(ChequeEntryTest, ASecondChequeForTheSameVoucherIsRefusedAndTheFormStays) {
    addCheque(cheque("A1", 100, false, today()));
    frmBill& form = newChequeFor("A1", "(支出)", "100");
    host.pickDate(form.DTP1, today());
    host.pick(form.cbWbnk, 0);
    host.type(form.txtBillNo, "N2");
    host.expectMessage("此收支單已有票據資料");
    host.click(form.cmdSv);
    EXPECT_TRUE(open());
    EXPECT_EQ(rows(AccDb(), "SELECT 票據號碼 FROM bill"), Texts{"CK-A1"});
    host.click(form.cmdCencel);
    EXPECT_TRUE(BillEntryCancelled);
}

TEST_F(ChequeEntryTest, AVoucherOfACombinedChequeShowsItsGroupsChequeReadOnly) {
    Cheque stored = cheque("A1S", 30000, false, day(2026, 12, 10));
    stored.reminderDate = day(2026, 12, 7);
    addCheque(stored);
    group("A1S", {"A1", "A2"});
    for (const char* opened : {"A2", "A1S"}) {
        frmBill& form = openCheque(opened);
        EXPECT_EQ(ChequeVoucherNo, "A1S") << opened;
        EXPECT_EQ(form.lbIoNo.Caption(), "A1S");
        EXPECT_EQ(form.txtBillNo.Text(), "CK-A1S");
        EXPECT_EQ(form.lbCk.Caption(), "2026/12/10");
        EXPECT_EQ(form.cbWbnk.Text(), "土地銀行");
        EXPECT_EQ(form.cbArDay.Text(), "三天");
        EXPECT_TRUE(form.Oop(0).Value());
        EXPECT_FALSE(form.FrmOp.Enabled());
        EXPECT_FALSE(form.cmdSv.Visible());
        EXPECT_FALSE(form.txtBillNo.Enabled());
        form.Unload();
    }
}

TEST_F(ChequeEntryTest, AReceivedChequeShowsItsDelayAndItsState) {
    Cheque stored = cheque("B1", 500, true, day(2026, 12, 10));
    stored.usableDate = day(2026, 12, 12);
    stored.state = ChequeBounced;
    addCheque(stored);
    frmBill& form = openCheque("B1");
    EXPECT_EQ(form.cbDeDay.Text(), "二天");
    EXPECT_TRUE(form.Oop(3).Value());
    EXPECT_TRUE(host.messages().empty());
}

// The message comes while the form loads; the form then closes as soon as it appears.
TEST_F(ChequeEntryTest, AVoucherWithoutAChequeSaysSoAndTheFormCloses) {
    addVoucher("A9", 100);
    ShowOneRecord = true;
    ChequeVoucherNo = "A9";
    host.expectMessage("此票據資料已經遺失");
    EXPECT_TRUE(Forms::showByName("frmBill", Modal));
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].style, 48);
    EXPECT_EQ(host.messages()[0].title, "");
    EXPECT_FALSE(open());
    EXPECT_FALSE(ShowOneRecord);
    EXPECT_TRUE(host.modalShows().empty());
}

}  // namespace

#include <gtest/gtest.h>

#include "tests/cheques/ChequeBook.h"

using namespace kiv;
using namespace kiv::test;

namespace {

class ChequeEntryTest : public ChequeBook {
  protected:
    // The cheque form opened by the voucher form's save for the voucher it shows.
    frmBill& newChequeFor(const std::string& number, const std::string& direction) {
        voucherForm(number, direction, "12000");
        BillForVoucher = true;
        BillEntryCancelled = true;
        return Forms::get<frmBill>();
    }
    frmBill& newCombinedCheque(const std::string& first, int64_t total) {
        BillForCombinedCheque = true;
        CombinedFirstVoucherNo = first;
        CombinedChequeTotal = total;
        BillEntryCancelled = true;
        return Forms::get<frmBill>();
    }
    static bool open() { return Forms::find("frmBill") != nullptr; }
    static Texts bills() {
        return rows(AccDb(),
                    "SELECT 票據號碼, 開票日, arDay, 到期日, deDay, 開銀行, 收銀行, "
                    "開票人, 收票人, 開帳號, 收帳號, 金額, 新台幣, 收支, 收支單號, 方式 "
                    "FROM bill ORDER BY 收支單號");
    }
};

// A received cheque keeps its usable date (due + delay) only, an issued one its reminder date
// (due - days) only. A date picked that the picker already showed is still the user's choice; a
// payee's bank in no list is typed. Only the due date picked: the issue date is the same day, and
// a date past 2030 is stored as picked. A combined cheque is issued under its group number.
TEST_F(ChequeEntryTest, ANewChequeStoresWhatWasPickedAndTyped) {
    frmBill& in = newChequeFor("A1", "(收入)");
    host.pickDate(in.DTP2, day(2026, 12, 20));
    host.pickDate(in.DTP1, day(2026, 12, 1));
    // Beside the labels' ROC dates the pickers show the ROC year too.
    EXPECT_EQ(in.DTP1.DisplayText() + " " + in.DTP2.DisplayText(), "115/12/01 115/12/20");
    host.pick(in.cbCbnk, 0);
    host.pick(in.cbWbnk, 1);
    host.type(in.txtBillNo, "AB001");
    host.pick(in.cbDeDay, 3);
    host.click(in.cmdSv);
    EXPECT_FALSE(open());
    EXPECT_FALSE(BillEntryCancelled);

    frmBill& out = newChequeFor("A2", "(支出)");
    host.pickDate(out.DTP1, today());
    host.pickDate(out.DTP2, day(2027, 1, 10));
    host.pick(out.cbWbnk, 0);
    host.type(out.cbCbnk, "郵局");
    host.type(out.txtCp, "大華五金");
    host.type(out.txtBillNo, "XY-77");
    host.pick(out.cbArDay, 10);
    host.click(out.cmdSv);

    frmBill& dueOnly = newChequeFor("A3", "(支出)");
    host.pickDate(dueOnly.DTP2, day(2031, 3, 5));
    host.pick(dueOnly.cbWbnk, 0);
    host.type(dueOnly.txtBillNo, "N1");
    host.click(dueOnly.cmdSv);

    BillForVoucher = false;
    frmBill& combined = newCombinedCheque("A4", 30000);
    host.pickDate(combined.DTP1, today());
    host.type(combined.cbWbnk, "土地銀行");
    host.type(combined.txtBillNo, "G1");
    host.click(combined.cmdSv);
    EXPECT_FALSE(BillEntryCancelled);
    EXPECT_FALSE(open());
    EXPECT_EQ(bills(), (Texts{"AB001|2026/12/01||2026/12/20|2026/12/23|華南銀行|台灣銀行|陳小姐|"
                              "永建營造|900-2|001-1|12000|壹萬貳仟 元整|True|A1|0",
                              "XY-77|2026/12/06|2026/12/31|2027/01/10||土地銀行|郵局|永建營造|"
                              "大華五金|002-4||12000|壹萬貳仟 元整|False|A2|0",
                              "N1|2031/03/05|2031/03/05|2031/03/05||土地銀行||永建營造||002-4||"
                              "12000|壹萬貳仟 元整|False|A3|0",
                              "G1|2026/12/06|2026/12/06|2026/12/06||土地銀行||永建營造||002-4||"
                              "30000|參萬 元整|False|A4S|0"}));
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(ChequeEntryTest, TheSaveChecksTheDateThenTheCompanysBankThenTheNumber) {
    frmBill& issued = newChequeFor("A1", "(支出)");
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

    frmBill& received = newChequeFor("A2", "(收入)");
    host.pickDate(received.DTP2, today());
    host.pick(received.cbWbnk, 0);
    host.type(received.txtBillNo, "N2");
    host.expectMessage("未選取收票銀行");
    host.click(received.cmdSv);
    EXPECT_TRUE(received.cbCbnk.HasFocus());
    EXPECT_TRUE(open());
    EXPECT_EQ(bills(), Texts{});
}

TEST_F(ChequeEntryTest, CancellingOrClosingANewChequeWritesNothingAndSaysCancelled) {
    host.click(newChequeFor("A1", "(支出)").cmdCencel);
    EXPECT_TRUE(BillEntryCancelled);
    EXPECT_FALSE(open());
    for (bool combined : {false, true}) {
        BillForVoucher = !combined;
        frmBill& form = combined ? newCombinedCheque("A5", 100) : newChequeFor("A1", "(支出)");
        BillEntryCancelled = false;
        host.closeByFrame(form);
        EXPECT_TRUE(BillEntryCancelled) << combined;
    }
    EXPECT_EQ(bills(), Texts{});
}

// The voucher already has its cheque: the second is refused, and the user may still cancel.
TEST_F(ChequeEntryTest, ASecondChequeForTheSameVoucherIsRefusedAndTheFormStays) {
    addCheque(cheque("A1", 100, false, today()));
    frmBill& form = newChequeFor("A1", "(支出)");
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

// A stored cheque is shown read-only with its days and state; a voucher of a combined cheque
// shows its group's cheque.
TEST_F(ChequeEntryTest, AStoredChequeIsShownReadOnly) {
    Cheque issued = cheque("A1S", 30000, false, day(2026, 12, 10));
    issued.reminderDate = day(2026, 12, 7);
    addCheque(issued);
    group("A1S", {"A1", "A2"});
    Cheque received = cheque("B1", 500, true, day(2026, 12, 10));
    received.usableDate = day(2026, 12, 12);
    received.state = ChequeBounced;
    addCheque(received);
    for (const char* opened : {"A2", "A1S"}) {
        frmBill& form = openCheque(opened);
        EXPECT_EQ(ChequeVoucherNo, "A1S") << opened;
        EXPECT_EQ(form.txtBillNo.Text(), "CK-A1S");
        EXPECT_EQ(form.cbArDay.Text(), "三天");
        EXPECT_TRUE(form.Oop(0).Value());
        EXPECT_FALSE(form.FrmOp.Enabled() || form.cmdSv.Visible() || form.txtBillNo.Enabled());
        form.Unload();
    }
    frmBill& form = openCheque("B1");
    EXPECT_EQ(form.cbDeDay.Text(), "二天");
    EXPECT_TRUE(form.Oop(ChequeBounced).Value());
    EXPECT_TRUE(host.messages().empty());
}

// The message comes while the form loads; the form then closes as soon as it appears.
TEST_F(ChequeEntryTest, AVoucherWithoutAChequeSaysSoAndTheFormCloses) {
    addVoucher("A9", 100);
    ShowOneRecord = true;
    ChequeVoucherNo = "A9";
    host.expectMessage("此票據資料已經遺失");
    EXPECT_TRUE(Forms::showByName("frmBill", Modal));
    EXPECT_EQ(host.messages().at(0).style, 48);
    EXPECT_FALSE(open());
    EXPECT_FALSE(ShowOneRecord);
    EXPECT_TRUE(host.modalShows().empty());
}

}  // namespace

#include <gtest/gtest.h>

#include <functional>

#include "ledger/SignOff.h"
#include "platform/db/WriteFault.h"
#include "platform/forms/Clock.h"
#include "shell/Schema.h"
#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

// Records what the cheque form saw of the voucher form and the hand-over values at its Load.
class ChequeStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmBill";
    static inline std::string saw;
    ChequeStandIn() : Form(FormName) {}
    void Form_Load() override {
        frmIo& io = Forms::get<frmIo>();
        saw = io.lbNo.Caption() + "|" + io.lbAcIo.Caption() + "|" + io.txtCash.Text() + "|" +
              std::to_string(BillForVoucher) + std::to_string(ShowOneRecord) +
              std::to_string(BillForCombinedCheque);
    }
};

class VoucherSaveTest : public test::VoucherBook {
  protected:
    void withChequeForm(bool saves) {
        Forms::registerForm<ChequeStandIn>();
        host.onModal("frmBill", [saves](Form& bill) {
            if (saves) BillEntryCancelled = false;
            bill.Unload();
        });
    }
    Texts cashBook() { return rows(AccDb(), "SELECT * FROM cash ORDER BY id"); }
    std::string states(const std::string& number) {
        return rows(AccDb(), "SELECT 方式, 建議方式 FROM iof WHERE 單號 = ?", number).at(0);
    }
    void signOff(frmIo& form, int way) {
        host.click(form.ck);
        host.click(form.optA(way));
        host.click(form.cmdSv);
    }
    void expectChequeCancelled() { host.expectMessage("因您取消票據輸入\r\n所以此收支單並未簽核"); }
    void TearDown() override {
        writefault::clear();
        VoucherBook::TearDown();
    }

    // The commit, then each write in turn, fails until a save changes the books: each failure is
    // told and leaves the books as they were. `prepare` enters the change anew when a failed save
    // left the form browsing. A failure after the books' commit (in the print table) or a save
    // that made all its writes ends it; the number of saves rolled back is returned.
    int failEachWrite(frmIo& form, const std::function<void()>& prepare) {
        const std::string before = test::dumpTables(AccDb());
        int rolledBack = 0;
        for (int n = 0; n < 100; ++n, ++rolledBack) {
            SCOPED_TRACE(n);
            if (!form.cmdSv.Enabled()) prepare();
            n == 0 ? writefault::failCommit() : writefault::failWrite(n);
            host.answerMessage(AnswerOk);
            const size_t shown = host.messages().size();
            host.click(form.cmdSv);
            writefault::clear();
            if (test::dumpTables(AccDb()) != before) break;
            EXPECT_EQ(host.messages().size(), shown + 1);
            if (host.messages().size() != shown + 1) break;
            EXPECT_EQ(host.messages().back().style, 16);
        }
        host.forgetAnswers();
        EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
        return rolledBack;
    }
};

TEST_F(VoucherSaveTest, AnExpenseIsNumberedTaxedAndSignedOffByCashThenTheBalanceGoesOn) {
    frmIo& form = openForm();
    enterVoucher(form, "12000");
    EXPECT_EQ(
        rows(AccDb(), "SELECT 單號, 金額, 稅額, 方式, 建議方式, pay, 輸入日期, 發生日期 FROM iof"),
        Texts{"1151206001|12000|571|-1|-1|True|2026/12/06|2026/12/06"});
    EXPECT_EQ(form.lbNo.Caption(), "1151206001");
    EXPECT_EQ(printField(10), "12,000");

    signOff(form, 0);
    EXPECT_EQ(states("1151206001"), "0|-1");
    EXPECT_FALSE(form.ck.Enabled());
    enterVoucher(form, "500", 0);
    signOff(form, 0);
    EXPECT_EQ(cashBook(), (Texts{"1|False|2026/12/06|12000|工地材料|1151206001|-12000",
                                 "2|True|2026/12/06|500|工地材料|1151206002|-11500"}));
}

TEST_F(VoucherSaveTest, AFullDayRefusesToAddAtTheButtonAndAtTheSave) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    host.pick(form.cbAcc, 1);
    host.type(form.txtCash, "500");
    addVoucher({.number = "1151206999"});
    host.expectMessage("本日收支單已達999張 無法再新增");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT * FROM iof").size(), 1u);
    host.click(form.cmdCencel);
    host.expectMessage("本日收支單已達999張 無法再新增");
    host.click(form.cmdAdd);
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
}

TEST_F(VoucherSaveTest, TheChecksComeInOrderAndWriteNothing) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    host.expectMessage("金額欄位不可空白");
    host.click(form.cmdSv);
    const std::pair<const char*, const char*> amounts[] = {
        {"12/3", "金額欄位只能輸入數字"},
        {"12345678901234", "金額不可超過12位數"},
    };
    for (const auto& [pasted, message] : amounts) {
        form.txtCash.userReplaceText(pasted);
        host.expectMessage(message);
        host.click(form.cmdSv);
    }
    form.txtCash.userReplaceText("123");
    host.expectMessage("科目不可空白");
    host.click(form.cmdSv);
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM iof").empty());
}

// The tax box takes every key: a text that is no tax stays as typed and the save refuses it,
// naming the field, with nothing stored.
TEST_F(VoucherSaveTest, ATaxTypedIsKeptAsTypedAndRefusedAtTheSave) {
    addVoucher({.number = "A1", .receipt = true, .tax = 50});
    frmIo& form = openForm();
    const std::string before = test::dumpTables(AccDb());
    const std::pair<const char*, const char*> taxes[] = {
        {"12.5", "稅額欄位只能輸入數字"},
        {"-5", "稅額不可為負數"},
        {"1234567890123", "稅額不可超過12位數"},
    };
    for (const auto& [typed, message] : taxes) {
        SCOPED_TRACE(typed);
        host.click(form.cmdEdit);
        form.txtTax.SetText("");
        host.type(form.txtTax, typed);
        EXPECT_EQ(form.txtTax.Text(), typed);
        host.expectMessage(message);
        host.click(form.cmdSv);
        EXPECT_EQ(test::dumpTables(AccDb()), before);
        EXPECT_EQ(form.lbStat.Caption(), "〔修改中〕");
        host.click(form.cmdCencel);
    }
    EXPECT_EQ(host.beeps(), 0);
}

TEST_F(VoucherSaveTest, VoidingAndUnvoidingKeepTheSuggestionAndTheEntryData) {
    addVoucher({.number = "A1", .state = -2, .suggestion = -2, .day = Date::fromYmd(2031, 2, 3)});
    frmIo& form = openForm();
    host.click(form.cmdEdit);
    host.click(form.ckNoW);
    host.click(form.cmdSv);
    EXPECT_EQ(states("A1"), "-3|-2");
    EXPECT_FALSE(form.ck.Visible());
    host.click(form.cmdEdit);
    host.click(form.ckNoW);
    host.click(form.Op1(0));
    host.pickDate(form.DTP1, Date::fromYmd(2030, 12, 31));
    host.click(form.cmdSv);
    // Dates past 2030 are stored as shown; the entry date and the number never change.
    EXPECT_EQ(rows(AccDb(), "SELECT 方式, 建議方式, 輸入日期, 發生日期, 單號 FROM iof"),
              Texts{"-1|-1|2031/02/03|2030/12/31|A1"});
}

TEST_F(VoucherSaveTest, ASavedChequeSignsOffAndTheFormSawTheVoucher) {
    addVoucher({.number = "A1", .state = -2, .amount = 2500, .suggestion = -2});
    withChequeForm(true);
    frmIo& form = openForm();
    host.click(form.ck);
    EXPECT_TRUE(form.optA(1).Value());
    host.click(form.cmdSv);
    EXPECT_EQ(ChequeStandIn::saw, "A1|(支出)|2500|100");
    EXPECT_FALSE(BillForVoucher);
    EXPECT_EQ(states("A1"), "1|-2");
    EXPECT_TRUE(cashBook().empty());
}

TEST_F(VoucherSaveTest, ACancelledChequeLeavesTheRewrittenVoucherUnsigned) {
    addVoucher({.number = "A1", .state = -1});
    withChequeForm(false);
    frmIo& form = openForm();
    host.click(form.cmdEdit);
    host.click(form.Op1(1));
    host.click(form.ckNoW);
    host.click(form.ck);
    expectChequeCancelled();
    host.click(form.cmdSv);
    EXPECT_EQ(states("A1"), "-3|-2");
    EXPECT_FALSE(BillEntryCancelled);
    EXPECT_EQ(form.ck.Value(), 0);
    EXPECT_TRUE(form.FSB.Enabled());

    // Without a cheque form the entry counts as cancelled.
    Forms::forgetRegistrations();
    registerVoucherForms();
    host.click(form.cmdEdit);
    host.click(form.ckNoW);
    host.click(form.cmdSv);
    host.click(form.ck);
    host.expectMessage("此功能尚未提供");
    expectChequeCancelled();
    host.click(form.cmdSv);
    EXPECT_EQ(states("A1"), "-2|-2");
}

// The opener's flag is cleared for the cheque form, but the form still shows its one voucher:
// the next save must write that voucher, not the newest one.
TEST_F(VoucherSaveTest, AfterACancelledChequeTheOneVoucherShownIsTheOneSaved) {
    addVoucher({.number = "A1", .state = -2, .suggestion = -2});
    addVoucher({.number = "A2", .amount = 7777});
    withChequeForm(false);
    frmIo& form = openOne("A1");
    host.click(form.ck);
    expectChequeCancelled();
    host.click(form.cmdSv);
    // The opener's value is back once the cheque form is gone.
    EXPECT_TRUE(ShowOneRecord);
    host.click(form.cmdEdit);
    host.type(form.cbPs1, "改");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 單號, 附註一, 金額 FROM iof ORDER BY 單號"),
              (Texts{"A1|附一改|1000", "A2|附一|7777"}));
    EXPECT_EQ(form.lbNo.Caption(), "A1");
}

TEST_F(VoucherSaveTest, AOneVoucherSignOffCannotBeRepeated) {
    addVoucher({.number = "A1"});
    addVoucher({.number = "A2"});
    frmIo& form = openOne("A1");
    signOff(form, 0);
    EXPECT_FALSE(form.ck.Enabled());
    EXPECT_EQ(cashBook().size(), 1u);

    // A voucher signed elsewhere after it was shown is refused and shown as stored.
    form.Unload();
    frmIo& again = openOne("A2");
    host.click(again.ck);
    AccDb().Execute("UPDATE iof SET 方式 = 1 WHERE 單號 = 'A2'");
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(again.cmdSv);
    EXPECT_EQ(states("A2"), "1|-1");
    EXPECT_EQ(cashBook().size(), 1u);
    EXPECT_FALSE(again.ck.Enabled());
    EXPECT_TRUE(again.optA(1).Value());
}

// A value handed to a form shown modally holds for the show only, even when the form fails; the
// voucher whose cheque form failed stays unsigned.
TEST_F(VoucherSaveTest, HandedOverValuesAreRestoredWhenTheShownFormFails) {
    static std::string saw;
    for (const char* name : {"frmBill", "frmMach"})
        Forms::registerForm(name, [name] {
            struct Failing : Form {
                explicit Failing(const char* n) : Form(n) {}
                void Form_Load() override {
                    saw = std::to_string(BillForVoucher) + std::to_string(ShowOneRecord) +
                          std::to_string(SettleReceivable);
                    throw std::runtime_error("無法開啟");
                }
            };
            return std::make_unique<Failing>(name);
        });
    addVoucher({.number = "A1", .expense = false});
    addVoucher({.number = "A2", .state = 0, .expense = false});
    frmIo& form = openOne("A1");
    host.expectMessage("無法開啟");
    signOff(form, 1);
    EXPECT_EQ(saw, "100");
    EXPECT_EQ(std::to_string(BillForVoucher) + std::to_string(ShowOneRecord), "01");
    EXPECT_EQ(states("A1"), "-1|-1");
    EXPECT_FALSE(BillEntryCancelled);
    EXPECT_FALSE(form.cmdSv.Enabled());
    form.Unload();

    ShowOneRecord = false;
    frmIo& browsing = openForm();
    host.expectMessage("無法開啟");
    host.click(browsing.cmdMach);
    EXPECT_EQ(saw, "001");
    EXPECT_FALSE(SettleReceivable);
}

// Copy B of the program changes the amount while copy A shows the voucher; A's save must not
// write its stale amount back.
TEST_F(VoucherSaveTest, AVoucherChangedByAnotherCopyIsNotOverwritten) {
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    auto copyB = Database::open(AccDb().path(), accSchema());
    host.click(form.cmdEdit);
    host.type(form.cbUse, "改");
    copyB->Execute("UPDATE iof SET 金額 = 777 WHERE 單號 = 'A1'");
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 用途說明, 金額 FROM iof"), Texts{"用途A1|777"});
    EXPECT_EQ(form.txtCash.Text(), "777");

    // A sign-off by cash of a stale view posts nothing either; the stored voucher then signs.
    copyB->Execute("UPDATE iof SET 附註二 = '乙' WHERE 單號 = 'A1'");
    host.click(form.ck);
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(form.cmdSv);
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM cash").empty());
    EXPECT_EQ(form.cbPs2.Text(), "乙");
    host.click(form.ck);
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 方式, 附註二 FROM iof"), Texts{"0|乙"});
    EXPECT_EQ(rows(AccDb(), "SELECT cash FROM cash"), Texts{"777"});
}

// The number shown while adding is a preview; the one the save takes shows only once stored.
TEST_F(VoucherSaveTest, AFailedSaveShowsNoNumberThatNoVoucherHas) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    addVoucher({.number = "1151206001"});
    host.pick(form.cbAcc, 1);
    host.type(form.txtCash, "500");
    writefault::failCommit();
    host.answerMessage(AnswerOk);
    host.click(form.cmdSv);
    EXPECT_EQ(form.lbNo.Caption(), "1151206001");
    EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
    host.click(form.cmdSv);
    EXPECT_EQ(form.lbNo.Caption(), "1151206002");
    EXPECT_EQ(rows(AccDb(), "SELECT 單號 FROM iof ORDER BY 單號"),
              (Texts{"1151206001", "1151206002"}));
}

// Copy B signs the voucher off by cash while copy A is signing it off by cheque: A's save writes
// nothing and asks for no cheque.
TEST_F(VoucherSaveTest, AVoucherSignedOffByAnotherCopyIsNotSignedOffAgain) {
    addVoucher({.number = "A1"});
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmIo& form = openOne("A1");
    host.click(form.ck);
    host.click(form.optA(1));
    const kiv::Voucher read = *ReadVoucher(*copyB, "A1");
    SignOffByCash(*copyB, read, read, Clock::today());
    const std::string leftByB = test::dumpTables(AccDb());
    host.expectMessage("此筆資料已被其他使用者變更，請重新讀取");
    host.click(form.cmdSv);
    EXPECT_EQ(test::dumpTables(AccDb()), leftByB);
    EXPECT_TRUE(host.modalShows().empty());
    EXPECT_TRUE(form.optA(0).Value());
    EXPECT_FALSE(form.ck.Enabled());
}

TEST_F(VoucherSaveTest, ANewVoucherOrAModificationIsWrittenWholeOrNotAtAll) {
    frmIo& form = openForm();
    EXPECT_GT(failEachWrite(form,
                            [&] {
                                host.click(form.cmdAdd);
                                host.type(form.cbUse, "工地材料");
                                host.pick(form.cbAcc, 1);
                                host.type(form.txtCash, "12000");
                            }),
              0);
    EXPECT_EQ(rows(AccDb(), "SELECT 單號, 金額 FROM iof"), Texts{"1151206001|12000"});
    EXPECT_EQ(form.lbNo.Caption(), "1151206001");
    EXPECT_GT(failEachWrite(form,
                            [&] {
                                host.click(form.cmdEdit);
                                host.type(form.cbPs1, "附一");
                            }),
              0);
    EXPECT_EQ(rows(AccDb(), "SELECT 附註一 FROM iof"), Texts{"附一"});
}

// The cheque form records its cheque inside the voucher form's save; the voucher is signed in
// the same transaction.
TEST_F(VoucherSaveTest, TheSignOffByChequeWritesTheVoucherAndTheChequeTogether) {
    Forms::registerForm<ChequeStandIn>();
    host.onEveryModal("frmBill", [](Form& bill) {
        Transaction transaction(AccDb(), TransactionKind::Writes);
        AccDb().Execute("INSERT INTO bill (票據號碼, 收支單號, 方式) VALUES ('C', ?, 0)",
                        Forms::get<frmIo>().lbNo.Caption());
        transaction.Commit();
        BillEntryCancelled = false;
        bill.Unload();
    });
    addVoucher({.number = "A1", .state = -2, .suggestion = -2});
    frmIo& form = openForm();
    EXPECT_GT(failEachWrite(form,
                            [&] {
                                host.click(form.cmdEdit);
                                host.type(form.cbPs1, "改");
                                host.click(form.ck);
                            }),
              0);
    EXPECT_EQ(rows(AccDb(), "SELECT 方式, 附註一 FROM iof"), Texts{"1|附一改"});
    EXPECT_EQ(rows(AccDb(), "SELECT 收支單號 FROM bill"), Texts{"A1"});
}

}  // namespace

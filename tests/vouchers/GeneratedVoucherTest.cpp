#include <gtest/gtest.h>

#include "platform/db/WriteFault.h"
#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"
#include "vouchers/frmIoAuto.h"

using namespace kiv;

namespace {

// The transfer form's amount and its two account choices, which the generated voucher reads by
// name: bank name shown, account number as the value.
class TransferStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmTrans";
    TransferStandIn() : Form(FormName) {
        for (ComboBox* box : {&cbBnk, &cbABnk}) {
            box->SetColumnCount(3);
            box->SetTextColumn(1);
            box->SetBoundColumn(2);
        }
        cbBnk.SetRows({{"土地銀行", "011-22", "公司"}, {"台灣銀行", "033-44", "公司"}});
        cbABnk.SetRows({{"合作金庫", "055-66", "公司"}});
    }
    TextBox txtCash{*this, "txtCash"};
    ComboBox cbBnk{*this, "cbBnk", -1, ComboBox::Flavor::Forms2};
    ComboBox cbABnk{*this, "cbABnk", -1, ComboBox::Flavor::Forms2};
};

// What the form showed when it appeared.
struct Shown {
    std::string status, number, direction, tax;
    Color directionColour = 0;
    bool cashedWay = false, cashWay = false, receiptShown = false;
};

class GeneratedVoucherTest : public test::VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        host.onEveryModal("frmIoAuto", [this](Form& form) {
            auto& io = dynamic_cast<frmIoAuto&>(form);
            shown.push_back({io.lbStat.Caption(), io.lbNo.Caption(), io.lbAcIo.Caption(),
                             io.txtTax.Text(), io.lbAcIo.ForeColor(), io.optA(2).Value(),
                             io.optA(0).Value(), io.Frame3.Visible()});
            host.click(io.Command1);
        });
    }
    void TearDown() override {
        writefault::clear();
        VoucherBook::TearDown();
    }

    void cash(const std::string& number) {
        HandOver<bool> fromCashing(AutoVoucherFromCashing, true);
        HandOver<std::string> voucher(CashingVoucherNo, number);
        showAsCallersDo();
    }
    void transfer(bool toCash, bool toChequeAccount) {
        HandOver<bool> fromCashing(AutoVoucherFromCashing, false);
        HandOver<bool> intoCash(TransferToCash, toCash);
        HandOver<bool> intoCheque(TransferToChequeAccount, toChequeAccount);
        showAsCallersDo();
    }
    // Inside a transaction held across the show, as the cheque and transfer forms show it.
    void showAsCallersDo() {
        host.act([] {
            Transaction caller(AccDb(), TransactionKind::Writes);
            Forms::showByName("frmIoAuto", Modal);
            caller.Commit();
        });
    }
    TransferStandIn& transferForm(const std::string& amount) {
        Forms::registerForm<TransferStandIn>();
        auto& form = dynamic_cast<TransferStandIn&>(*Forms::getByName("frmTrans"));
        form.txtCash.SetText(amount);
        form.cbBnk.SetListIndex(1);
        form.cbABnk.SetListIndex(0);
        return form;
    }

    static std::string voucher(const std::string& number) {
        return rows(AccDb(),
                    "SELECT 輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, 附註一, "
                    "附註二, 專案號碼, 專案名稱, 工程種類, 發生日期, 申請人, 簽收, 單據, 單據號碼, "
                    "稅額 IS NULL, 稅額, 進銷, 建議方式 FROM iof WHERE 單號 = ?",
                    number)
            .at(0);
    }
    static std::string state(const std::string& number) {
        return rows(AccDb(), "SELECT 方式 FROM iof WHERE 單號 = ?", number).at(0);
    }
    std::string books() { return test::dumpTables(AccDb()); }

    std::vector<Shown> shown;
};

// The stored tax 123 is not the 476 that the amount holds: it is copied as it is.
TEST_F(GeneratedVoucherTest, ACashedExpenseIsFollowedByACopyDatedTodayAndMarkedCashed) {
    addVoucher({.number = "1151120007",
                .state = 1,
                .amount = 10000,
                .suggestion = -2,
                .receipt = true,
                .tax = 123});
    cash("1151120007");
    EXPECT_EQ(state("1151120007"), "3");
    EXPECT_EQ(voucher("1151206001"),
              "2026/12/06|1151206001|用途1151120007|4|10000|5102|True|材料費|附一|附二|P01|大樓|"
              "水電|2026/12/06|王小明|李大華|True|AB123|0|123|False|-2");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].status, "票據兌現產生收支單");
    EXPECT_EQ(shown[0].direction, "(支出)");
    EXPECT_EQ(shown[0].tax, "123");
    EXPECT_TRUE(shown[0].cashedWay && shown[0].receiptShown);
    EXPECT_FALSE(Forms::find("frmIoAuto"));
}

// Values an older build stored, which no box of today's takes as typed, are written back as they
// stand: the sign-off by cash rewrites the voucher with them and posts its amount, a modification
// that leaves their boxes alone keeps them, and the cashing copies them into the follow-up.
TEST_F(GeneratedVoucherTest, StoredAmountsAndTaxesPassUnchangedThroughTheSignOffAndTheCashing) {
    const struct {
        const char* what;
        int64_t amount;
        Value tax;
        bool receipt;
    } cases[] = {
        {"a negative tax, its box hidden", 1000, -5, false},
        {"a negative tax, its box shown", 1000, -5, true},
        {"a thirteen-digit tax", 1000, int64_t{1234567890123}, true},
        {"a negative amount", -500, 0, true},
        {"a thirteen-digit amount", 1234567890123, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AccDb().Execute("DELETE FROM iof");
        AccDb().Execute("DELETE FROM cash");
        const std::string kept = std::to_string(c.amount) + "|" + c.tax.text();
        for (const char* number : {"S1", "M1", "C1"})
            addVoucher({.number = number,
                        .state = number[0] == 'C' ? 1 : -1,
                        .amount = c.amount,
                        .receipt = c.receipt,
                        .tax = c.tax});

        frmIo& signing = openOne("S1");
        host.click(signing.ck);
        host.click(signing.cmdSv);
        signing.Unload();
        EXPECT_EQ(rows(AccDb(), "SELECT 方式, 金額, 稅額 FROM iof WHERE 單號 = 'S1'").at(0),
                  "0|" + kept);
        EXPECT_EQ(rows(AccDb(), "SELECT cash FROM cash"), Texts{std::to_string(c.amount)});

        frmIo& modifying = openOne("M1");
        host.click(modifying.cmdEdit);
        host.type(modifying.cbPs1, "改");
        host.click(modifying.cmdSv);
        modifying.Unload();
        EXPECT_EQ(rows(AccDb(), "SELECT 附註一, 金額, 稅額 FROM iof WHERE 單號 = 'M1'").at(0),
                  "附一改|" + kept);

        cash("C1");
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back().tax, c.tax.text());
        EXPECT_EQ(
            rows(AccDb(), "SELECT 方式, 金額, 稅額 FROM iof WHERE 單號 = ?", shown.back().number)
                .at(0),
            "4|" + kept);
        EXPECT_TRUE(host.messages().empty());
    }
}

// Texts left Null read as "", an empty project stays empty and its name is copied, an empty tax
// stays Null.
TEST_F(GeneratedVoucherTest, ACashedIncomeWithoutProjectOrReceiptGivesAnIncomeOfState2) {
    AccDb().Execute(
        "INSERT INTO iof (單號, 方式, 金額, pay, 單據, 進銷, 建議方式, 專案號碼, 專案名稱) "
        "VALUES ('1151201003', 1, 500, 0, 0, 1, -1, '', '大樓')");
    cash("1151201003");
    EXPECT_EQ(state("1151201003"), "3");
    EXPECT_EQ(voucher("1151206001"),
              "2026/12/06|1151206001||2|500||False|||||大樓||2026/12/06|||False||1||True|-1");
    EXPECT_EQ(shown.at(0).direction, "(收入)");
    EXPECT_FALSE(shown[0].receiptShown);
}

TEST_F(GeneratedVoucherTest, TheFollowUpTakesTheDaysNextNumber) {
    addVoucher({.number = "1151120002", .state = 1});
    addVoucher({.number = "1151206005", .state = 1});
    cash("1151120002");
    EXPECT_EQ(shown.at(0).number, "1151206006");
    EXPECT_EQ(state("1151206006"), "4");
}

// None leaves the voucher marked cashed without its follow-up, and the form does not appear.
TEST_F(GeneratedVoucherTest, AFullDayAMissingVoucherOrNoTransferFormIsAnErrorThatWritesNothing) {
    addVoucher({.number = "1151120001", .state = 1});
    addVoucher({.number = "1151206999", .state = -1});
    std::string before = books();
    host.expectMessage("本日收支單已達999張 無法再新增");
    host.expectMessage("收支單 nothing 不存在");
    host.expectMessage("表單 frmTrans 未開啟");
    cash("1151120001");
    cash("nothing");
    transfer(false, false);
    EXPECT_EQ(books(), before);
    EXPECT_EQ(host.messageTexts(), (Texts{"本日收支單已達999張 無法再新增", "收支單 nothing 不存在",
                                          "表單 frmTrans 未開啟"}));
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(Forms::find("frmIoAuto"));
}

// What the form writes is committed by its caller, never on its own: rolled back with the
// caller's transaction, and refused without one.
TEST_F(GeneratedVoucherTest, TheWritesNestInTheCallersTransaction) {
    addVoucher({.number = "1151120001", .state = 1});
    std::string before = books();
    {
        Transaction caller(AccDb(), TransactionKind::Writes);
        cash("1151120001");
        EXPECT_EQ(state("1151120001"), "3");
    }
    EXPECT_EQ(books(), before);
    EXPECT_EQ(shown.size(), 1u);

    HandOver<bool> fromCashing(AutoVoucherFromCashing, true);
    HandOver<std::string> voucher(CashingVoucherNo, "1151120001");
    host.answerMessage(AnswerOk);
    host.act([] { Forms::showByName("frmIoAuto", Modal); });
    EXPECT_EQ(books(), before);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(host.messages().back().style, 16);
}

TEST_F(GeneratedVoucherTest, TheCloseBoxEndsItTooAndNothingEnteredAfterLoadIsStored) {
    addVoucher({.number = "1151120001", .state = 1, .receipt = true, .tax = 50});
    host.onModal<frmIoAuto>([this](frmIoAuto& form) {
        host.type(form.cbUse, "改");
        host.type(form.txtTax, "9");
        host.click(form.Check1);
        host.closeByFrame(form);
    });
    cash("1151120001");
    EXPECT_FALSE(Forms::find("frmIoAuto"));
    EXPECT_EQ(voucher("1151206001"),
              "2026/12/06|1151206001|用途1151120001|4|1000|5102|True|材料費|附一|附二|P01|大樓|"
              "水電|2026/12/06|王小明|李大華|True|AB123|0|50|False|-1");
}

// The three legs of the transfers, each on 12,000 typed with its separator. Going into cash, the
// cheque account's choice is not read.
TEST_F(GeneratedVoucherTest, ATransferWritesACashVoucherForItsDirectionAndHandsBackItsNumber) {
    struct Leg {
        bool toCash, toChequeAccount;
        std::string row;
    } legs[] = {
        {true, true,
         "2026/12/06|1151206001|台灣銀行033-44(銀行取款)|0|12000|0000|False|銀行取款||||||"
         "2026/12/06|系統|系統|False||1||False|-1"},
        {false, false,
         "2026/12/06|1151206002|台灣銀行033-44(一般存款)|0|12000|9999|True|一般銀行存款||||||"
         "2026/12/06|系統|系統|False||1||False|-1"},
        {false, true,
         "2026/12/06|1151206003|合作金庫055-66(支票存款)|0|12000|9999|True|支票銀行存款||||||"
         "2026/12/06|系統|系統|False||1||False|-1"},
    };
    transferForm("12,000");
    for (const Leg& leg : legs) {
        SCOPED_TRACE(leg.row);
        transfer(leg.toCash, leg.toChequeAccount);
        std::string number = shown.back().number;
        EXPECT_EQ(AutoVoucherNo, number);
        EXPECT_EQ(voucher(number), leg.row);
        EXPECT_EQ(shown.back().status, "轉帳產生收支單");
        EXPECT_TRUE(shown.back().cashWay);
    }
    EXPECT_EQ(shown.at(0).directionColour, 0xFF0000u);
    EXPECT_EQ(shown.at(1).directionColour, 0x0000FFu);
}

// Each write of a cashing is failed in turn (the commit is the caller's, tested with the
// callers): the books stay as they were, the error is shown, and the next cashing goes through.
TEST_F(GeneratedVoucherTest, AFailedWriteLeavesTheBooksAsTheyWere) {
    addVoucher({.number = "1151120001", .state = 1});
    addVoucher({.number = "1151120002", .state = 1});
    writefault::clear();
    cash("1151120001");
    const int writes = writefault::writesCounted();
    ASSERT_GE(writes, 2);
    const std::string before = books();
    for (int n = 1; n <= writes; ++n) {
        SCOPED_TRACE(n);
        writefault::failWrite(n);
        host.clearMessages();
        host.answerMessage(AnswerOk);
        cash("1151120002");
        writefault::clear();
        EXPECT_EQ(books(), before);
        ASSERT_EQ(host.messages().size(), 1u);
        EXPECT_EQ(host.messages()[0].style, 16);
        EXPECT_FALSE(Forms::find("frmIoAuto"));
    }
    EXPECT_EQ(shown.size(), 1u);
    cash("1151120002");
    EXPECT_EQ(state("1151120002"), "3");
    EXPECT_EQ(shown.at(1).number, "1151206002");
}

}  // namespace

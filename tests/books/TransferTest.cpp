#include <gtest/gtest.h>

#include <functional>

#include "ledger/BankBook.h"
#include "ledger/CashBook.h"
#include "shell/Schema.h"
#include "tests/books/BooksBook.h"
#include "tests/support/WriteFaults.h"
#include "vouchers/frmIo.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// Cash of 20,000; 台灣銀行/001-123 an ordinary account opened with 10,000 and 土地銀行/002-456 a
// cheque account opened with 3,000, neither with a posting yet.
class TransferTest : public BooksBook {
  protected:
    void SetUp() override {
        BooksBook::SetUp();
        AddCashRow(1, true, day(2026, 3, 1), 20000, "期初", "1150301001", 20000);
        AddOrdinaryAccount("台灣銀行", "001-123", 10000);
        AddChequeAccount("土地銀行", "002-456", 3000);
    }
    frmTrans& withAmount(const std::string& typed) {
        frmTrans& form = open<frmTrans>();
        host.type(form.txtCash, typed);
        return form;
    }
    static Texts vouchers() {
        return rows(AccDb(),
                    "SELECT 單號, 科目代號, 科目名稱, 用途說明, 方式, pay, 金額, 輸入日期, 申請人 "
                    "FROM iof ORDER BY 單號");
    }
    static Texts cashBook() {
        return rows(AccDb(), "SELECT id, incom, day, cash, memo, lno, bala FROM cash ORDER BY id");
    }
    static Texts bankBook() {
        return rows(AccDb(),
                    "SELECT id, Bid, bank, incom, day, cash, memo, lno, bala FROM bank "
                    "ORDER BY lno, bank");
    }
    static Texts labels(const frmTrans& form) {
        return {form.lbCashBala.Caption(), form.lbBnkBala.Caption(), form.lbABnkBala.Caption()};
    }
};

TEST_F(TransferTest, OpeningShowsTheFirstAccountOfEachListAndTheThreeBalances) {
    AddOrdinaryAccount("合作金庫", "009-9", 0);
    frmTrans& form = open<frmTrans>();
    EXPECT_EQ(form.cbBnk.Text(), "台灣銀行");
    EXPECT_EQ(form.cbBnk.ListCount(), 2);
    EXPECT_EQ(form.lbBid.Caption(), "001-123");
    EXPECT_EQ(form.lbAbid.Caption(), "002-456");
    EXPECT_EQ(labels(form), (Texts{"20,000", "10,000", "3,000"}));
    EXPECT_EQ(form.ChequeOpeningAmount, 3000);
    EXPECT_FALSE(form.cmdPxls.Visible());
}

struct Direction {
    const char* name;
    std::function<CommandButton&(frmTrans&)> button;
    std::string question, completion;
    std::vector<std::string> vouchers, cash, bank, labels;
};

TEST_F(TransferTest, EachTransferWritesItsVouchersAndOneCashAndOneBankRowPerVoucher) {
    const std::string cash1 = "1|True|2026/03/01|20000|期初|1150301001|20000";
    Direction directions[] = {
        {"cash to ordinary account",
         [](frmTrans& f) -> CommandButton& { return f.cmdToBank; },
         "確定由現金轉帳到\r\n台灣銀行001-123\r\n金額  5,000",
         "轉帳完成\r\n已從現金帳存款現金 5,000 至 台灣銀行",
         {"1150315001|9999|一般銀行存款|台灣銀行001-123(一般存款)|0|True|5000|2026/03/15|系統"},
         {cash1, "2|False|2026/03/15|5000|台灣銀行(現金存款 乙存)|1150315001|15000"},
         {"1|001-123|台灣銀行|True|2026/03/15|5000|現金存款|1150315001|5000"},
         {"15,000", "15,000", "3,000"}},
        {"ordinary to cash",
         [](frmTrans& f) -> CommandButton& { return f.cmdToCash; },
         "確定由台灣銀行001-123\r\n轉帳到現金\r\n金額  5,000",
         "轉帳完成\r\n已從台灣銀行領取現金 5,000 至現金帳",
         {"1150315001|0000|銀行取款|台灣銀行001-123(銀行取款)|0|False|5000|2026/03/15|系統"},
         {cash1, "2|True|2026/03/15|5000|台灣銀行(銀行取款)|1150315001|25000"},
         {"1|001-123|台灣銀行|False|2026/03/15|5000|取款轉現金|1150315001|-5000"},
         {"25,000", "5,000", "3,000"}},
        {"cash to cheque account",
         [](frmTrans& f) -> CommandButton& { return f.Command1; },
         "確定由現金轉帳到\r\n土地銀行002-456\r\n金額  5,000",
         "轉帳完成\r\n已從現金帳存款現金 5,000 至 土地銀行002-456",
         {"1150315001|9999|支票銀行存款|土地銀行002-456(支票存款)|0|True|5000|2026/03/15|系統"},
         {cash1, "2|False|2026/03/15|5000|土地銀行(現金存款 甲存)|1150315001|15000"},
         {"1|002-456|土地銀行|True|2026/03/15|5000|現金存款(支票存款)|1150315001|5000"},
         {"15,000", "10,000", "8,000"}},
        {"ordinary to cheque account through cash",
         [](frmTrans& f) -> CommandButton& { return f.Command2; },
         "確定由台灣銀行001-123轉帳到\r\n土地銀行002-456\r\n金額  5,000\r\n"
         "此動作會將金額轉入現金,再轉入支票銀行",
         "轉帳完成\r\n已從一般存款銀行台灣銀行001-123轉帳\r\n金額5,000\r\n 至 土地銀行002-456",
         {"1150315001|0000|銀行取款|台灣銀行001-123(銀行取款)|0|False|5000|2026/03/15|系統",
          "1150315002|9999|支票銀行存款|土地銀行002-456(支票存款)|0|True|5000|2026/03/15|系統"},
         {cash1, "2|True|2026/03/15|5000|台灣銀行(銀行取款)|1150315001|25000",
          "3|False|2026/03/15|5000|土地銀行(現金存款 甲存)|1150315002|20000"},
         {"1|001-123|台灣銀行|False|2026/03/15|5000|取款轉現金|1150315001|-5000",
          "1|002-456|土地銀行|True|2026/03/15|5000|現金存款(支票存款)|1150315002|5000"},
         {"20,000", "5,000", "8,000"}},
    };
    for (const Direction& d : directions) {
        SCOPED_TRACE(d.name);
        AccDb().Execute("DELETE FROM iof");
        AccDb().Execute("DELETE FROM bank");
        AccDb().Execute("DELETE FROM cash WHERE id > 1");
        Forms::unloadByName("frmTrans");
        frmTrans& form = withAmount("5000");
        host.clearMessages();
        size_t shows = host.modalShows().size();
        host.expectMessage(d.question, AnswerYes);
        host.expectMessage(d.completion);
        host.click(d.button(form));
        EXPECT_EQ(vouchers(), d.vouchers);
        EXPECT_EQ(cashBook(), d.cash);
        EXPECT_EQ(bankBook(), d.bank);
        EXPECT_EQ(labels(form), d.labels);
        EXPECT_EQ(host.modalShows().size() - shows, d.vouchers.size());
        host.clearMessages();
    }
}

// Which refusal comes first: an empty amount before anything is asked, a text that is no whole
// number before the question, "0" only after Yes.
TEST_F(TransferTest, RefusalsComeInTheirOrderAndWriteNothing) {
    struct Case {
        const char* typed;
        Texts messages;
        int answer;
    } cases[] = {
        {"", {"請輸入轉帳金額"}, AnswerOk},
        {"0", {"確定由現金轉帳到\r\n台灣銀行001-123\r\n金額  0", "轉帳金額不可為 0"}, AnswerYes},
        {"0", {"確定由現金轉帳到\r\n台灣銀行001-123\r\n金額  0"}, AnswerNo},
        {"500", {"確定由現金轉帳到\r\n台灣銀行001-123\r\n金額  500"}, AnswerNo},
    };
    frmTrans& form = open<frmTrans>();
    std::string before = books();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        host.clearMessages();
        host.act([&] { form.txtCash.userReplaceText(c.typed); });
        for (size_t i = 0; i < c.messages.size(); ++i)
            host.answerMessage(i == 0 ? c.answer : AnswerOk);
        host.click(form.cmdToBank);
        EXPECT_EQ(host.messageTexts(), c.messages);
        EXPECT_EQ(books(), before);
        EXPECT_TRUE(host.modalShows().empty());
        if (c.messages.back().starts_with("轉帳金額") || c.messages.back().starts_with("請輸入")) {
            EXPECT_EQ(host.messages().back().style, 48);
            EXPECT_TRUE(form.txtCash.HasFocus());
            EXPECT_EQ(form.txtCash.SelLength(), static_cast<int>(form.txtCash.Text().size()));
        }
    }
}

// The lists are empty: the question is asked with nothing named, then the account is asked for.
TEST_F(TransferTest, WithoutAccountsTheFormOpensEmptyAndTransfersAskForTheAccount) {
    AccDb().Execute("DELETE FROM obank");
    AccDb().Execute("DELETE FROM bbank");
    frmTrans& form = withAmount("500");
    EXPECT_EQ(form.cbBnk.ListCount(), 0);
    EXPECT_EQ(labels(form), (Texts{"20,000", "", ""}));
    std::string before = books();
    host.expectMessage("確定由\r\n轉帳到現金\r\n金額  500", AnswerYes);
    host.expectMessage("請選取銀行帳戶");
    host.click(form.cmdToCash);
    EXPECT_TRUE(form.cbBnk.HasFocus());
    host.answerMessage(AnswerYes);
    host.expectMessage("請選取轉出銀行帳戶");
    host.click(form.Command2);
    EXPECT_EQ(books(), before);

    // With an ordinary account, Command2 asks for the cheque account next.
    AddOrdinaryAccount("台灣銀行", "001-123", 10000);
    Forms::unloadByName("frmTrans");
    frmTrans& again = withAmount("500");
    before = books();
    host.answerMessage(AnswerYes);
    host.expectMessage("請選取轉入銀行帳戶");
    host.click(again.Command2);
    EXPECT_EQ(books(), before);
    EXPECT_TRUE(again.cbABnk.HasFocus());
}

// The balance is read from the label as shown: an equal amount passes, a dollar more asks, and
// Yes posts below zero.
TEST_F(TransferTest, AShortBalanceAsksAndYesPostsBelowZero) {
    frmTrans& form = withAmount("20000");
    host.answerMessage(AnswerYes);
    host.expectMessage("轉帳完成\r\n已從現金帳存款現金 20,000 至 台灣銀行");
    host.click(form.cmdToBank);
    EXPECT_EQ(form.lbCashBala.Caption(), "0");

    host.type(form.txtCash, "\b\b\b\b\b\b1");
    EXPECT_EQ(form.txtCash.Text(), "1");
    host.answerMessage(AnswerYes);
    host.expectMessage("現金餘額不足\r\n是否轉帳？", AnswerNo);
    std::string before = books();
    host.click(form.cmdToBank);
    EXPECT_EQ(books(), before);

    host.answerMessage(AnswerYes);
    host.expectMessage("現金餘額不足\r\n是否轉帳？", AnswerYes);
    host.expectMessage("轉帳完成\r\n已從現金帳存款現金 1 至 台灣銀行");
    host.click(form.cmdToBank);
    EXPECT_EQ(form.lbCashBala.Caption(), "-1");
    EXPECT_EQ(cashBook().back(), "3|False|2026/03/15|1|台灣銀行(現金存款 乙存)|1150315002|-1");
}

// The checks read the labels, and the labels follow the file: what another copy posted after
// they were shown, before the click or while the question is on the screen, and what another form
// of this program posted, is read into them before the checks; a label no write could have moved
// is not read again. Refused, nothing is written.
TEST_F(TransferTest, TheChecksReadBalancesThatFollowWhatWasPostedSinceTheyShowed) {
    auto copyB = Database::open(AccDb().path(), accSchema());
    frmTrans& form = withAmount("15000");
    const std::string question = "確定由現金轉帳到\r\n台灣銀行001-123\r\n金額  15,000";
    const std::string shortage = "現金餘額不足\r\n是否轉帳？";

    form.lbCashBala.SetCaption("14,000");
    host.expectMessage(question, AnswerYes);
    host.expectMessage(shortage, AnswerNo);
    host.click(form.cmdToBank);
    EXPECT_EQ(form.lbCashBala.Caption(), "14,000") << "read again while the file stood still";

    const Date today = day(2026, 3, 15);
    PostCashBookRow(*copyB, {false, today, 6000, "B 的支出", "1150315901"});
    form.lbCashBala.SetCaption("20,000");
    std::string before = books();
    host.expectMessage(question, AnswerYes);
    host.expectMessage(shortage, AnswerNo);
    host.click(form.cmdToBank);
    EXPECT_EQ(form.lbCashBala.Caption(), "14,000");
    EXPECT_EQ(books(), before);

    form.lbCashBala.SetCaption("20,000");
    host.expectMessage(question, AnswerYes, [&] {
        PostCashBookRow(*copyB, {false, today, 1000, "B 的支出", "1150315902"});
        before = books();
    });
    host.expectMessage(shortage, AnswerNo);
    host.click(form.cmdToBank);
    EXPECT_EQ(form.lbCashBala.Caption(), "13,000");
    EXPECT_EQ(books(), before);

    PostBankBookRow(AccDb(), {"台灣銀行", "001-123", 9000, false, today, "取款", "1150315903"});
    before = books();
    host.act([&] { form.txtCash.userReplaceText("5000"); });
    host.answerMessage(AnswerYes);
    host.expectMessage("銀行餘額不足\r\n無法轉帳");
    host.click(form.Command2);
    EXPECT_EQ(labels(form), (Texts{"13,000", "1,000", "3,000"}));
    EXPECT_EQ(books(), before);
}

TEST_F(TransferTest, Command2StopsOnAShortAccountWithAPlainBox) {
    frmTrans& form = withAmount("10001");
    host.answerMessage(AnswerYes);
    host.expectMessage("銀行餘額不足\r\n無法轉帳");
    std::string before = books();
    host.click(form.Command2);
    EXPECT_EQ(host.messages().back().style, 0);
    EXPECT_EQ(books(), before);
    EXPECT_TRUE(host.modalShows().empty());
}

TEST_F(TransferTest, AnOrdinaryChoiceRefreshesBothAccountLabelsAChequeChoiceOnlyItsOwn) {
    AddOrdinaryAccount("合作金庫", "009-9", 700);
    AddChequeAccount("彰化銀行", "008-8", 900);
    frmTrans& form = open<frmTrans>();
    form.lbBnkBala.SetCaption("?");
    host.pick(form.cbABnk, 1);
    EXPECT_EQ(labels(form), (Texts{"20,000", "?", "900"}));
    form.lbABnkBala.SetCaption("?");
    host.pick(form.cbBnk, 1);
    EXPECT_EQ(labels(form), (Texts{"20,000", "700", "900"}));
    EXPECT_EQ(form.lbBid.Caption(), "009-9");
    EXPECT_EQ(form.OrdinaryOpeningAmount, 700);
}

TEST_F(TransferTest, TheAmountTakesDigitsAndBackspaceOnlyAndShowsItsSeparators) {
    frmTrans& form = open<frmTrans>();
    host.type(form.txtCash, "12/3:4a\r56\b7");
    EXPECT_EQ(form.txtCash.Text(), "123,457");
    EXPECT_EQ(host.beeps(), 4);
    EXPECT_EQ(form.txtCash.SelStart(), 7);
}

// A voucher form holding a new voucher is never closed by a transfer: the transfer is refused
// before anything is asked or written. With nothing typed there, the transfer closes it.
TEST_F(TransferTest, ATransferClosesTheVoucherFormUnlessItHoldsAnEntry) {
    loggedInWith(AllRights);
    frmIo& io = open<frmIo>();
    host.click(io.cmdAdd);
    host.type(io.txtCash, "300");
    frmTrans& form = withAmount("100");
    const std::string before = books();
    host.expectMessage("請先關閉收支單作業");
    host.click(form.Command2);
    EXPECT_EQ(host.messages().back().style, 64);
    EXPECT_EQ(books(), before);
    ASSERT_EQ(Forms::find("frmIo"), &io);
    EXPECT_EQ(io.txtCash.Text(), "300");

    host.click(io.cmdCencel);
    host.answerMessage(AnswerYes);
    host.answerMessage(AnswerOk);
    host.click(form.cmdToBank);
    EXPECT_FALSE(Forms::find("frmIo"));
    EXPECT_EQ(vouchers().size(), 1u);
}

// An entry begun with nothing typed yet holds nothing to lose: the transfer is made and closes
// the voucher form, as it does one that is browsing.
TEST_F(TransferTest, AVoucherEntryWithNothingTypedIsClosedByTheTransfer) {
    loggedInWith(AllRights);
    AccDb().Execute(
        "INSERT INTO iof (輸入日期, 單號, 方式, 金額, pay, 發生日期, 建議方式) VALUES "
        "('2026-03-01', '1159999001', -1, 100, 1, '2026-03-01', -1)");
    const std::pair<const char*, CommandButton frmIo::*> entries[] = {
        {"adding", &frmIo::cmdAdd},
        {"modifying", &frmIo::cmdEdit},
    };
    frmTrans& form = withAmount("100");
    for (auto [name, entry] : entries) {
        SCOPED_TRACE(name);
        frmIo& io = open<frmIo>();
        host.click(io.*entry);
        ASSERT_NE(io.lbStat.Caption(), "〔瀏覽〕");
        host.expectMessage("確定由現金轉帳到\r\n台灣銀行001-123\r\n金額  100", AnswerYes);
        host.expectMessage("轉帳完成\r\n已從現金帳存款現金 100 至 台灣銀行");
        host.click(form.cmdToBank);
        EXPECT_FALSE(Forms::find("frmIo"));
    }
    EXPECT_EQ(vouchers().size(), 3u);
}

// Each write of each transfer, and its commit, is made to fail in turn: every leg's voucher, cash
// row and bank row go together, so every table stays as it was, the user is told, and the
// balances shown are read again.
TEST_F(TransferTest, AFailedWriteLeavesEveryTableAsItWas) {
    const std::pair<const char*, CommandButton frmTrans::*> transfers[] = {
        {"cash to ordinary account", &frmTrans::cmdToBank},
        {"ordinary to cash", &frmTrans::cmdToCash},
        {"cash to cheque account", &frmTrans::Command1},
        {"ordinary to cheque account through cash", &frmTrans::Command2},
    };
    frmTrans& form = withAmount("100");
    auto scrambleLabels = [&] {
        for (Label* label : {&form.lbCashBala, &form.lbBnkBala, &form.lbABnkBala})
            label->SetCaption("999,999");
    };
    for (auto [name, button] : transfers) {
        SCOPED_TRACE(name);
        const Texts shown = labels(form);
        scrambleLabels();
        const int writes = ExpectEachWriteFailureLeavesTheBooks(
            host, {&AccDb()},
            [&] {
                host.forgetAnswers();
                host.answerMessage(AnswerYes);
                host.answerMessage(AnswerOk);
                host.click(form.*button);
            },
            [&] {
                const std::string failed = "轉帳失敗，資料未變更\r\n";
                EXPECT_TRUE(host.messages().back().text.starts_with(failed));
                EXPECT_GT(host.messages().back().text.size(), failed.size());
                EXPECT_EQ(host.messages().back().style, 48);
                EXPECT_EQ(labels(form), shown);
                EXPECT_FALSE(Forms::find("frmIoAuto"));
                scrambleLabels();
            });
        EXPECT_EQ(writes, button == &frmTrans::Command2 ? 6 : 3)
            << "a voucher, a cash and a bank row";
    }
}

TEST_F(TransferTest, WithoutTheGeneratedVoucherFormNothingIsPosted) {
    Forms::forgetRegistrations();
    registerBookForms();
    frmTrans& form = withAmount("100");
    std::string before = books();
    host.answerMessage(AnswerYes);
    host.expectMessage("此功能尚未提供");
    host.click(form.cmdToBank);
    EXPECT_EQ(books(), before);
}

}  // namespace

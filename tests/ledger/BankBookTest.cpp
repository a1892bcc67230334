#include <gtest/gtest.h>

#include "ledger/BankBook.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"

using namespace kiv;

namespace {

// The company's accounts: an ordinary one opened with 5,000 and a cheque account opened with
// 3,000, both at 土地銀行 under the same number, so that only the kind tells their opening amounts
// apart.
class BankBookTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        AccDb().Execute("INSERT INTO obank VALUES ('土地銀行', '011-22', '公司', 5000)");
        AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '011-22', '公司', 3000)");
    }

    static BankEntry entry(const std::string& bank, const std::string& account, int64_t amount,
                           bool income, const std::string& number = "N") {
        return {bank, account, amount, income, Date::fromYmd(2026, 12, 6), "兌現", number};
    }
    int64_t post(const std::string& bank, const std::string& account, int64_t amount, bool income) {
        return PostBankBookRow(AccDb(), entry(bank, account, amount, income));
    }
    static Texts book(const std::string& bank, const std::string& account) {
        return rows(AccDb(), "SELECT id, bala FROM bank WHERE bank = ? AND Bid = ? ORDER BY id",
                    bank, account);
    }
    static int64_t balance(AccountKind kind, const std::string& bank, const std::string& account) {
        return AccountBalance(AccDb(), kind, bank, account);
    }
};

TEST_F(BankBookTest, ABalanceIsTheOpeningAmountOfItsKindPlusTheLastMovementBalance) {
    EXPECT_EQ(balance(AccountKind::Ordinary, "土地銀行", "011-22"), 5000);
    EXPECT_EQ(balance(AccountKind::Cheque, "土地銀行", "011-22"), 3000);
    post("土地銀行", "011-22", 7000, true);
    post("土地銀行", "011-22", 9000, false);
    EXPECT_EQ(balance(AccountKind::Ordinary, "土地銀行", "011-22"), 5000 - 2000);
    EXPECT_EQ(balance(AccountKind::Cheque, "土地銀行", "011-22"), 3000 - 2000);
}

// An account missing from its list, or listed without an amount, opens with 0: the balance
// must not fail.
TEST_F(BankBookTest, AnUnlistedAccountOrOneWithoutAnAmountOpensWithNothing) {
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '033-44', '公司', NULL)");
    AccDb().Execute("INSERT INTO bbank VALUES ('台灣銀行', '033-44', '公司', NULL)");
    post("台灣銀行", "033-44", 1200, true);
    post("合作金庫", "055-66", 800, false);
    for (AccountKind kind : {AccountKind::Ordinary, AccountKind::Cheque}) {
        EXPECT_EQ(balance(kind, "台灣銀行", "033-44"), 1200);
        EXPECT_EQ(balance(kind, "合作金庫", "055-66"), -800);
    }
}

TEST_F(BankBookTest, APostingIsStoredUnderItsFieldsAndTheFirstOfAnAccountIsNumberedOne) {
    BankEntry cashed = entry("土地銀行", "011-22", 10000, false, "AB-0001");
    cashed.memo = "支出票據兌現";
    EXPECT_EQ(PostBankBookRow(AccDb(), cashed), 1);
    EXPECT_EQ(rows(AccDb(), "SELECT id, Bid, bank, incom, day, cash, memo, lno, bala FROM bank"),
              Texts{"1|011-22|土地銀行|False|2026/12/06|10000|支出票據兌現|AB-0001|-10000"});
}

// An account is its bank and its number together: the same number at another bank, or another
// number at the same bank, keeps a book of its own.
TEST_F(BankBookTest, AccountsPostingAlternatelyNumberTheirRowsEachOnItsOwn) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(post("土地銀行", "011-22", 100, true), i + 1);
        EXPECT_EQ(post("台灣銀行", "011-22", 10, false), i + 1);
        EXPECT_EQ(post("土地銀行", "099-99", 1, true), i + 1);
    }
    EXPECT_EQ(book("土地銀行", "011-22"), (Texts{"1|100", "2|200", "3|300"}));
    EXPECT_EQ(book("台灣銀行", "011-22"), (Texts{"1|-10", "2|-20", "3|-30"}));
    EXPECT_EQ(book("土地銀行", "099-99"), (Texts{"1|1", "2|2", "3|3"}));
}

// The running balance follows posting order: a cheque due last month, cashed now, goes on from
// the account's highest id, not from its latest day, and not from the row stored last.
TEST_F(BankBookTest, APostingDatedEarlierGoesOnFromTheHighestId) {
    AccDb().Execute(
        "INSERT INTO bank (id, Bid, bank, incom, day, cash, bala) VALUES "
        "(2, '011-22', '土地銀行', 1, '2026-12-01', 500, 1500), "
        "(1, '011-22', '土地銀行', 1, '2026-12-20', 1000, 1000)");
    BankEntry lastMonth = entry("土地銀行", "011-22", 400, false);
    lastMonth.day = Date::fromYmd(2026, 11, 15);
    EXPECT_EQ(PostBankBookRow(AccDb(), lastMonth), 3);
    EXPECT_EQ(rows(AccDb(), "SELECT day, bala FROM bank WHERE id = 3"), Texts{"2026/11/15|1100"});
    EXPECT_EQ(balance(AccountKind::Cheque, "土地銀行", "011-22"), 3000 + 1100);
}

// A bank name is typed in the cheque form, so any character reaches the queries.
TEST_F(BankBookTest, ABankNameWithAnApostropheIsAnOrdinaryName) {
    AccDb().Execute("INSERT INTO bbank VALUES ('O''Neil Bank', '7', '公司', 250)");
    post("O'Neil Bank", "7", 100, true);
    post("O'Neil Bank", "7", 30, false);
    EXPECT_EQ(book("O'Neil Bank", "7"), (Texts{"1|100", "2|70"}));
    EXPECT_EQ(balance(AccountKind::Cheque, "O'Neil Bank", "7"), 320);
}

// The cheque form posts inside its own transaction; its rollback takes the posting with it.
TEST_F(BankBookTest, APostingNestsInTheCallersTransaction) {
    std::string before = test::dumpTables(AccDb());
    {
        Transaction caller(AccDb(), true);
        post("土地銀行", "011-22", 100, true);
        EXPECT_EQ(book("土地銀行", "011-22"), Texts{"1|100"});
    }
    EXPECT_EQ(test::dumpTables(AccDb()), before);
}

}  // namespace

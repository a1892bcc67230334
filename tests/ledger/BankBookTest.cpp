#include <gtest/gtest.h>

#include "ledger/BankBook.h"
#include "tests/support/ProgramTest.h"

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
    static int64_t post(const std::string& bank, const std::string& account, int64_t amount,
                        bool income) {
        return PostBankBookRow(
            AccDb(), {bank, account, amount, income, Date::fromYmd(2026, 12, 6), "兌現", "N"});
    }
    static Texts book(const std::string& bank, const std::string& account) {
        return rows(AccDb(), "SELECT id, bala FROM bank WHERE bank = ? AND Bid = ? ORDER BY id",
                    bank, account);
    }
    static int64_t balance(AccountKind kind, const std::string& bank, const std::string& account) {
        return AccountBalance(AccDb(), kind, bank, account);
    }
};

// An account missing from its list, or listed without an amount, opens with 0: the balance
// must not fail.
TEST_F(BankBookTest, ABalanceIsTheOpeningAmountOfItsKindPlusTheLastMovementBalance) {
    post("土地銀行", "011-22", 7000, true);
    post("土地銀行", "011-22", 9000, false);
    EXPECT_EQ(balance(AccountKind::Ordinary, "土地銀行", "011-22"), 5000 - 2000);
    EXPECT_EQ(balance(AccountKind::Cheque, "土地銀行", "011-22"), 3000 - 2000);
    AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '033-44', '公司', NULL)");
    AccDb().Execute("INSERT INTO bbank VALUES ('台灣銀行', '033-44', '公司', NULL)");
    post("台灣銀行", "033-44", 1200, true);
    post("合作金庫", "055-66", 800, false);
    for (AccountKind kind : {AccountKind::Ordinary, AccountKind::Cheque}) {
        EXPECT_EQ(balance(kind, "台灣銀行", "033-44"), 1200);
        EXPECT_EQ(balance(kind, "合作金庫", "055-66"), -800);
    }
}

// An account is its bank and its number together: the same number at another bank, or another
// number at the same bank, keeps a book of its own. A bank name is typed in the cheque form, so
// any character reaches the queries.
TEST_F(BankBookTest, EachAccountNumbersItsRowsOnItsOwnFromOneUnderItsFields) {
    EXPECT_EQ(PostBankBookRow(AccDb(), {"土地銀行", "011-22", 10000, false,
                                        Date::fromYmd(2026, 12, 6), "支出票據兌現", "AB-0001"}),
              1);
    EXPECT_EQ(rows(AccDb(), "SELECT id, Bid, bank, incom, day, cash, memo, lno, bala FROM bank"),
              Texts{"1|011-22|土地銀行|False|2026/12/06|10000|支出票據兌現|AB-0001|-10000"});
    AccDb().Execute("DELETE FROM bank");
    AccDb().Execute("INSERT INTO bbank VALUES ('O''Neil Bank', '7', '公司', 250)");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(post("土地銀行", "011-22", 100, true), i + 1);
        EXPECT_EQ(post("台灣銀行", "011-22", 10, false), i + 1);
        EXPECT_EQ(post("O'Neil Bank", "7", 1, true), i + 1);
    }
    EXPECT_EQ(book("土地銀行", "011-22"), (Texts{"1|100", "2|200"}));
    EXPECT_EQ(book("台灣銀行", "011-22"), (Texts{"1|-10", "2|-20"}));
    EXPECT_EQ(book("O'Neil Bank", "7"), (Texts{"1|1", "2|2"}));
    EXPECT_EQ(balance(AccountKind::Cheque, "O'Neil Bank", "7"), 252);
}

// Two accounts at one bank, posted in turn in and out: each goes on from its own last posting,
// so its ids run from 1 and its running balances are the sums of its own amounts alone.
TEST_F(BankBookTest, TwoAccountsAtOneBankKeepBooksAndBalancesOfTheirOwn) {
    AccDb().Execute("INSERT INTO obank VALUES ('土地銀行', '011-33', '公司', 700)");
    const std::string accounts[] = {"011-22", "011-33"};
    struct Posting {
        int account;
        int64_t amount;
        bool income;
    };
    const Posting postings[] = {{0, 1000, true}, {1, 300, false}, {0, 250, false},
                                {1, 4000, true}, {1, 50, false},  {0, 80, true}};
    Texts expected[2];
    int64_t sum[2] = {0, 0};
    for (const Posting& p : postings) {
        post("土地銀行", accounts[p.account], p.amount, p.income);
        sum[p.account] += p.income ? p.amount : -p.amount;
        expected[p.account].push_back(std::to_string(expected[p.account].size() + 1) + "|" +
                                      std::to_string(sum[p.account]));
    }
    EXPECT_EQ(book("土地銀行", "011-22"), expected[0]);
    EXPECT_EQ(book("土地銀行", "011-33"), expected[1]);
    EXPECT_EQ(balance(AccountKind::Ordinary, "土地銀行", "011-22"), 5000 + 1000 - 250 + 80);
    EXPECT_EQ(balance(AccountKind::Ordinary, "土地銀行", "011-33"), 700 - 300 + 4000 - 50);
}

// The running balance follows posting order: a cheque due last month, cashed now, goes on from
// the account's highest id, not from its latest day, and not from the row stored last.
TEST_F(BankBookTest, APostingDatedEarlierGoesOnFromTheHighestId) {
    AccDb().Execute(
        "INSERT INTO bank (id, Bid, bank, incom, day, cash, bala) VALUES "
        "(2, '011-22', '土地銀行', 1, '2026-12-01', 500, 1500), "
        "(1, '011-22', '土地銀行', 1, '2026-12-20', 1000, 1000)");
    EXPECT_EQ(PostBankBookRow(AccDb(), {"土地銀行", "011-22", 400, false,
                                        Date::fromYmd(2026, 11, 15), "兌現", "N"}),
              3);
    EXPECT_EQ(rows(AccDb(), "SELECT day, bala FROM bank WHERE id = 3"), Texts{"2026/11/15|1100"});
    EXPECT_EQ(balance(AccountKind::Cheque, "土地銀行", "011-22"), 3000 + 1100);
}

}  // namespace

#include <gtest/gtest.h>

#include "ledger/CashBook.h"
#include "tests/support/ProgramTest.h"

using namespace kiv;

namespace {

class CashBookTest : public test::ProgramTest {
  protected:
    static int64_t post(int64_t amount, bool income, const Date& day = Date::fromYmd(2026, 3, 15)) {
        return PostCashBookRow(AccDb(), {income, day, amount, "轉帳", "1150315001"});
    }
    static Texts book() { return rows(AccDb(), "SELECT id, bala FROM cash ORDER BY id"); }
};

TEST_F(CashBookTest, AnEmptyBookHoldsNothingAndItsFirstRowIsNumberedOne) {
    EXPECT_EQ(CashBalance(AccDb()), 0);
    EXPECT_EQ(post(20000, true), 1);
    EXPECT_EQ(CashBalance(AccDb()), 20000);
    AccDb().Execute("DELETE FROM cash");
    EXPECT_EQ(post(700, false), 1);
    EXPECT_EQ(CashBalance(AccDb()), -700);
}

// A posting dated back goes on from the last one posted, and the balance is the last one's, not
// the latest day's.
TEST_F(CashBookTest, TheBalanceIsTheLastPostedRowsWhateverItsDay) {
    post(5000, true, Date::fromYmd(2026, 3, 15));
    post(1200, false, Date::fromYmd(2026, 2, 1));
    EXPECT_EQ(book(), (Texts{"1|5000", "2|3800"}));
    EXPECT_EQ(CashBalance(AccDb()), 3800);
}

TEST_F(CashBookTest, AnOutflowBeyondTheBalanceLeavesItBelowZero) {
    post(1000, true);
    post(1001, false);
    post(5, false);
    EXPECT_EQ(book(), (Texts{"1|1000", "2|-1", "3|-6"}));
    EXPECT_EQ(CashBalance(AccDb()), -6);
}

// The balance is the stored running balance of the highest id; nothing sums the book afresh.
TEST_F(CashBookTest, TheStoredBalanceIsReadAsItStands) {
    AccDb().Execute(
        "INSERT INTO cash VALUES (1, 1, '2026-03-01', 5000, 'a', 'x', 5000), "
        "(3, 0, '2026-03-02', 100, 'b', 'y', 123), (2, 1, '2026-03-09', 100, 'c', 'z', 999)");
    EXPECT_EQ(CashBalance(AccDb()), 123);
    EXPECT_EQ(post(7, true), 4);
    EXPECT_EQ(CashBalance(AccDb()), 130);
}

}  // namespace

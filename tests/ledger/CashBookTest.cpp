#include <gtest/gtest.h>

#include "ledger/CashBook.h"
#include "tests/support/ProgramTest.h"

using namespace kiv;

namespace {

class CashBookTest : public test::ProgramTest {
  protected:
    static int64_t post(int64_t amount, bool income) {
        return PostCashBookRow(AccDb(),
                               {income, Date::fromYmd(2026, 3, 15), amount, "轉帳", "1150315001"});
    }
};

TEST_F(CashBookTest, AnEmptyBookHoldsNothingAndItsFirstRowIsNumberedOne) {
    EXPECT_EQ(CashBalance(AccDb()), 0);
    EXPECT_EQ(post(20000, true), 1);
    EXPECT_EQ(CashBalance(AccDb()), 20000);
    AccDb().Execute("DELETE FROM cash");
    EXPECT_EQ(post(700, false), 1);
    EXPECT_EQ(CashBalance(AccDb()), -700);
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

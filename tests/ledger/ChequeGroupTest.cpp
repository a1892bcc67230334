#include <gtest/gtest.h>

#include "ledger/ChequeGroups.h"
#include "platform/db/WriteFault.h"
#include "shell/mdM.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TableDump.h"

using namespace kiv;

namespace {

class ChequeGroupTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        AccDb().Execute(
            "INSERT INTO iof (單號, 方式, pay) VALUES ('A1', -1, 1), ('A2', -2, 1), "
            "('A3', 0, 1), ('A4', -1, 0), ('A5', -3, 1), ('A6', -1, 1)");
        AccDb().Execute("INSERT INTO iofs VALUES ('A9S', 'A6')");
    }
    void TearDown() override {
        writefault::clear();
        ProgramTest::TearDown();
    }
};

TEST_F(ChequeGroupTest, OnlyUnsignedExpensesOutsideAnyGroupCanBePaid) {
    EXPECT_EQ(FirstVoucherNotPayable(AccDb(), {"A1", "A2"}), std::nullopt);
    for (const char* refused : {"A3", "A4", "A5", "A6", "A7"})
        EXPECT_EQ(FirstVoucherNotPayable(AccDb(), {"A1", refused, "A3"}),
                  std::optional<std::string>(refused));
}

TEST_F(ChequeGroupTest, TheGroupIsWrittenInOrderAndSignedOffAllOrNothing) {
    const std::string before = test::dumpTables(AccDb());
    // Two rows and two state changes, then the commit.
    for (int n = 1; n <= 5; ++n) {
        if (n == 5)
            writefault::failCommit();
        else
            writefault::failWrite(n);
        EXPECT_THROW(RecordChequeGroup(AccDb(), "A2S", {"A2", "A1"}), DbError) << n;
        EXPECT_EQ(test::dumpTables(AccDb()), before) << n;
    }
    writefault::clear();
    RecordChequeGroup(AccDb(), "A2S", {"A2", "A1"});
    EXPECT_EQ(rows(AccDb(), "SELECT 多單號, 單號 FROM iofs ORDER BY rowid"),
              (Texts{"A9S|A6", "A2S|A2", "A2S|A1"}));
    EXPECT_EQ(rows(AccDb(), "SELECT 方式 FROM iof WHERE 單號 IN ('A1', 'A2')"), (Texts{"1", "1"}));
}

}  // namespace

#include <gtest/gtest.h>

#include "tests/db/TestBook.h"

using namespace kiv;
using namespace kiv::test;

namespace {

constexpr const char* WriteWhileReading = "讀取用的交易不能寫入";

// A transaction begun as a read holds no write lock: a write inside it, through any path, and a
// writing transaction nested in it are refused before anything is written, and the reads go on.
TEST(TransactionKind, AWriteInsideATransactionBegunAsAReadIsRefused) {
    TestBook book;
    book.addRow("甲", 1);
    Transaction reading(*book.db, TransactionKind::Reads);
    EXPECT_EQ(errorText([&] { book.addRow("乙", 2); }), WriteWhileReading);
    EXPECT_EQ(errorText([&] {
                  Recordset rs = book.db->OpenRecordset("SELECT * FROM 帳目");
                  rs.Edit();
                  rs.SetField("金額", 5);
                  rs.Update();
              }),
              WriteWhileReading);
    EXPECT_EQ(errorText([&] {
                  book.db->AppendTextRows("帳目", {"名稱"},
                                          [](Database::RowTexts&) { return false; });
              }),
              WriteWhileReading);
    EXPECT_EQ(errorText([&] { Transaction writing(*book.db, TransactionKind::Writes); }),
              WriteWhileReading);
    {
        Transaction inner(*book.db, TransactionKind::Reads);
        EXPECT_EQ(book.rows(), 1);
        inner.Commit();
    }
    reading.Commit();
    EXPECT_EQ(scalar(*book.db, "SELECT 名稱 || 金額 FROM 帳目"), Value("甲1"));
    // Once the read ends, writes go on; a read nested in a write is a savepoint of it.
    Transaction writing(*book.db, TransactionKind::Writes);
    {
        Transaction inner(*book.db, TransactionKind::Reads);
        book.addRow("乙", 2);
        inner.Commit();
    }
    writing.Commit();
    EXPECT_EQ(book.rows(), 2);
}

}  // namespace

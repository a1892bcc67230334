#include <chrono>

#include <gtest/gtest.h>

#include "tests/db/TestBook.h"
#include "tests/support/HeldWriteLock.h"

using namespace kiv;
using namespace kiv::test;

namespace {

std::string nameOf(const Recordset& rs) {
    return rs.Fields("名稱").text();
}

// Another copy of the program commits while a recordset stands at one of its edges.
class CursorEdge : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"n0", "n1", "n2", "n3", "n4"})
            book.addRow(name, 1);
    }
    Recordset byName() { return book.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱"); }
    TestBook book;
    std::unique_ptr<Database> copyB = Database::open(book.path, testSchema());
};

// Past the last row, read forward or stepped past the last row, stays past the last row once
// another copy added rows after it and before it; one step back is the last row as it now is.
TEST_F(CursorEdge, PastTheLastRowStaysPastTheLastRowAfterAnotherCopyAdds) {
    for (bool fromTheBack : {false, true}) {
        SCOPED_TRACE(fromTheBack ? "from the back" : "read forward");
        Recordset rs = byName();
        if (fromTheBack) {
            rs.MoveLast();
            rs.MoveNext();
        } else {
            while (!rs.Eof())
                rs.MoveNext();
        }
        copyB->Execute(
            "INSERT INTO 帳目 (名稱) VALUES ('a' || (SELECT count(*) FROM 帳目)), "
            "('z' || (SELECT count(*) FROM 帳目))");
        EXPECT_EQ(rs.RecordCount(), fromTheBack ? 9 : 7);
        EXPECT_TRUE(rs.Eof());
        EXPECT_EQ(rs.AbsolutePosition(), -1);
        rs.MovePrevious();
        EXPECT_EQ(nameOf(rs), fromTheBack ? "z7" : "z5");
    }
}

// The last row holds the highest rowid: deleted by another copy, its rowid goes to the next row
// added. The recordset, read up to that row from either end, takes the new row for nothing but a
// new row: the place where its row stood lies between rows, its Delete deletes nothing, and
// every row stays.
TEST_F(CursorEdge, ARowAnotherCopyDeletedIsNotTakenForANewRowWithItsRowid) {
    for (bool fromTheBack : {false, true}) {
        SCOPED_TRACE(fromTheBack ? "from the back" : "read forward");
        Recordset rs = byName();
        if (fromTheBack)
            rs.MoveLast();
        else
            rs.Move(4);
        ASSERT_EQ(nameOf(rs), "n4");
        const Value rowid = scalar(*copyB, "SELECT max(rowid) FROM 帳目");
        copyB->Execute("DELETE FROM 帳目 WHERE 名稱 = 'n4'");
        copyB->Execute("INSERT INTO 帳目 (名稱) VALUES ('a0')");
        ASSERT_EQ(scalar(*copyB, "SELECT rowid FROM 帳目 WHERE 名稱 = 'a0'"), rowid);
        EXPECT_EQ(errorText([&] { rs.Delete(); }), RowDeletedMessage);
        EXPECT_EQ(rs.AbsolutePosition(), -1);
        EXPECT_EQ(book.rows(), 5);
        rs.MovePrevious();
        EXPECT_EQ(nameOf(rs), "n3");
        rs.MoveNext();
        EXPECT_TRUE(rs.Eof());
        copyB->Execute("DELETE FROM 帳目 WHERE 名稱 = 'a0'");
        copyB->Execute("INSERT INTO 帳目 (名稱) VALUES ('n4')");
    }
}

// A Delete that waits for another copy's short write meets what that write did: the row it gave
// another key is not the row the recordset read, and stays.
TEST_F(CursorEdge, ADeleteWaitingForAnotherCopysWriteMeetsWhatItWrote) {
    Recordset rs = byName();
    rs.MoveLast();
    ASSERT_EQ(nameOf(rs), "n4");
    {
        HeldWriteLock saving(book.path, testSchema(),
                             "UPDATE 帳目 SET 名稱 = 'a0' WHERE 名稱 = 'n4'",
                             std::chrono::milliseconds(300));
        EXPECT_EQ(errorText([&] { rs.Delete(); }), RowDeletedMessage);
    }
    EXPECT_EQ(book.rows(), 5);
    EXPECT_EQ(scalar(*copyB, "SELECT count(*) FROM 帳目 WHERE 名稱 = 'a0'"), Value(1));
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/db/Database.h"
#include "tests/db/TestBook.h"

namespace kiv {
namespace {

using test::TestBook;
using Names = std::vector<std::string>;

Names namesForward(Recordset& rs) {
    Names names;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        names.push_back(rs.Fields("名稱").text());
    return names;
}

TEST(Recordset, FieldsByPositionAndByNameComeBackInTheirKinds) {
    TestBook book;
    book.db->Execute("INSERT INTO 帳目 VALUES (?, ?, ?, ?, ?, ?)", "甲", 1200, 0.25,
                     Date::fromYmd(2026, 1, 5), true, nullptr);
    auto rs = book.db->OpenRecordset("SELECT * FROM 帳目");
    ASSERT_EQ(rs.FieldCount(), 6);
    EXPECT_EQ(rs.FieldName(3), "日期");
    EXPECT_EQ(rs.Fields(0), Value("甲"));
    EXPECT_EQ(rs.Fields("金額"), Value(1200));
    EXPECT_EQ(rs.Fields("比率"), Value(0.25));
    EXPECT_EQ(rs.Fields("日期"), Value(Date::fromYmd(2026, 1, 5)));
    EXPECT_EQ(rs.Fields("已付"), Value(true));
    EXPECT_TRUE(rs.Fields(5).isNull());
    EXPECT_THROW(rs.Fields("沒有"), DbError);
    EXPECT_THROW(rs.Fields(6), DbError);

    // Computed columns keep SQLite's own type; a joined field is found by "table.field".
    book.db->Execute("INSERT INTO 類別 VALUES (?, ?)", "甲", "工程");
    auto joined = book.db->OpenRecordset(
        "SELECT 帳目.名稱, 類別.名稱, Max(日期) AS last, 金額 * 2 FROM 帳目 JOIN 類別 USING "
        "(名稱)");
    EXPECT_EQ(joined.Fields("LAST"), Value("2026-01-05"));
    EXPECT_EQ(joined.Fields(3), Value(2400));
    EXPECT_EQ(joined.Fields("類別.名稱"), Value("甲"));
}

TEST(Recordset, AnEmptyResultIsAtItsBeginningAndItsEndAtOnce) {
    TestBook book;
    for (const Sql& sql : std::initializer_list<Sql>{"SELECT * FROM 帳目 ORDER BY 名稱",
                                                     "SELECT DISTINCT 名稱 FROM 帳目"}) {
        SCOPED_TRACE(sql.text());
        auto rs = book.db->OpenRecordset(sql);
        EXPECT_TRUE(rs.Bof() && rs.Eof());
        EXPECT_EQ(rs.RecordCount(), 0);
        rs.MoveLast();
        rs.MoveNext();
        EXPECT_TRUE(rs.Bof() && rs.Eof());
        EXPECT_EQ(rs.AbsolutePosition(), -1);
        EXPECT_THROW(rs.Fields(0), DbError);
    }
}

TEST(Recordset, AddNewEditAndUpdateWriteTheRowsAndReadThemBack) {
    TestBook book;
    book.addRow("甲", 1);
    auto rs = book.db->OpenTable("帳目");
    rs.AddNew();
    rs.SetField(0, "乙");
    rs.SetField("金額", "12,000");
    rs.SetField("比率", "1,234.5");
    rs.SetField("日期", "中華民國 115 年 01 月 05 日");
    rs.SetField("已付", 1);
    rs.SetField("備註", 0);
    EXPECT_EQ(rs.Fields("金額"), Value(12000));  // the pending value
    rs.Update();
    // The new row joins the end; the current row is what it was.
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Fields(0), Value("甲"));
    rs.Edit();
    rs.SetField("金額", "");
    rs.SetField("日期", "115/02/28");
    rs.SetField("已付", "True");
    rs.Update();

    auto check = book.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY rowid");
    EXPECT_TRUE(check.Fields("金額").isNull());
    EXPECT_EQ(check.Fields("日期"), Value(Date::fromYmd(2026, 2, 28)));
    EXPECT_EQ(check.Fields("已付"), Value(true));
    check.MoveNext();
    EXPECT_EQ(check.Fields("名稱"), Value("乙"));
    EXPECT_EQ(check.Fields("金額"), Value(12000));
    EXPECT_EQ(check.Fields("比率"), Value(1234.5));
    EXPECT_EQ(check.Fields("日期"), Value(Date::fromYmd(2026, 1, 5)));
    EXPECT_EQ(check.Fields("備註"), Value("0"));
}

TEST(Recordset, AValueTheFieldCannotHoldIsRefusedAndWholeNumbersStayWhole) {
    TestBook book;
    book.addRow("甲", 1);
    auto rs = book.db->OpenRecordset("SELECT * FROM 帳目 WHERE 名稱 = ?", "甲");
    rs.Edit();
    EXPECT_THROW(rs.SetField("金額", "12abc"), ConversionError);
    EXPECT_THROW(rs.SetField("日期", "明天"), ConversionError);
    EXPECT_THROW(rs.SetField("已付", "也許"), ConversionError);
    for (const char* field : {"金額", "比率"}) {
        for (Value value : {Value("1e400"), Value("1e309"), Value(std::nan("")), Value(HUGE_VAL),
                            Value(-HUGE_VAL)})
            EXPECT_THROW(rs.SetField(field, value), ConversionError) << field << value.text();
    }
    rs.SetField("金額", 2.5);  // whole-number fields round halves to even, as CLng did
    rs.Update();
    EXPECT_EQ(book.db->OpenRecordset("SELECT 金額 FROM 帳目").Fields(0), Value(2));
    rs.Edit();
    rs.SetField("金額", "9007199254740993");
    rs.SetField("比率", 0.25);
    rs.Update();
    rs.Edit();
    EXPECT_EQ(rs.Fields("金額"), Value(int64_t{9007199254740993}));
    rs.SetField("金額", "-9,007,199,254,740,995");
    rs.Update();
    EXPECT_EQ(book.db->OpenRecordset("SELECT 金額, 比率 FROM 帳目 WHERE 金額 = -9007199254740995")
                  .Fields(1),
              Value(0.25));
    // A NaN bound straight into a statement would be stored as Null.
    EXPECT_THROW(book.db->Execute("UPDATE 帳目 SET 比率 = ?", std::nan("")), ConversionError);
    EXPECT_EQ(book.db->OpenRecordset("SELECT 比率 FROM 帳目").Fields(0), Value(0.25));
}

// Two copies of the program on one file: the second saves a row that the first then edits from
// what it read before.
TEST(Recordset, AnUpdateOverARowChangedOrDeletedByAnotherCopyWritesNothing) {
    struct Meanwhile {
        const char* what;
        Sql sql;
    };
    for (const Meanwhile& meanwhile :
         {Meanwhile{"amount changed", "UPDATE 帳目 SET 金額 = 99 WHERE 名稱 = '甲'"},
          Meanwhile{"only the letter case", "UPDATE 帳目 SET 備註 = 'ABC' WHERE 名稱 = '甲'"},
          Meanwhile{"a field set to Null", "UPDATE 帳目 SET 日期 = NULL WHERE 名稱 = '甲'"},
          Meanwhile{"deleted", "DELETE FROM 帳目 WHERE 名稱 = '甲'"}}) {
        SCOPED_TRACE(meanwhile.what);
        TestBook book;
        book.addRow("甲", 10, Date::fromYmd(2026, 1, 5));
        book.db->Execute("UPDATE 帳目 SET 備註 = 'abc', 比率 = 0.1");
        auto other = Database::open(book.path, test::testSchema());
        auto rs = book.db->OpenTable("帳目");
        EXPECT_EQ(rs.Fields("金額"), Value(10));
        other->Execute(meanwhile.sql);
        Sql storedRow = "SELECT group_concat(quote(金額) || 備註 || quote(日期)) FROM 帳目";
        Value stored = other->OpenRecordset(storedRow).Fields(0);
        rs.Edit();
        rs.SetField("比率", 0.5);
        try {
            rs.Update();
            ADD_FAILURE() << "no conflict";
        } catch (const UpdateConflict& conflict) {
            EXPECT_STREQ(conflict.what(), "此筆資料已被其他使用者變更，請重新讀取");
        }
        EXPECT_FALSE(rs.EditPending());
        EXPECT_EQ(other->OpenRecordset(storedRow).Fields(0), stored);
        EXPECT_EQ(other->OpenRecordset("SELECT count(*) FROM 帳目 WHERE 比率 = 0.5").Fields(0),
                  Value(0));
    }
}

TEST(Recordset, AnUpdateAfterTheRowIsReadAgainOrWhenOnlyOtherRowsChangedIsWritten) {
    TestBook book;
    book.addRow("甲", 10);
    book.addRow("乙", 20);
    auto other = Database::open(book.path, test::testSchema());
    auto rs = book.db->OpenTable("帳目");
    other->Execute("UPDATE 帳目 SET 金額 = 21 WHERE 名稱 = '乙'");
    rs.Edit();
    rs.SetField("金額", 11);
    rs.Update();
    EXPECT_EQ(rs.Fields("金額"), Value(11));
    other->Execute("UPDATE 帳目 SET 金額 = 12 WHERE 名稱 = '甲'");
    rs.Edit();
    rs.SetField("已付", true);
    EXPECT_THROW(rs.Update(), UpdateConflict);
    // After the conflict the recordset shows the stored row, and an edit from it is written.
    EXPECT_EQ(rs.Fields("金額"), Value(12));
    rs.Edit();
    rs.SetField("已付", true);
    rs.Update();
    EXPECT_EQ(other->OpenRecordset("SELECT 金額, 已付 FROM 帳目 WHERE 名稱 = '甲'").Fields(1),
              Value(true));
    EXPECT_EQ(other->OpenRecordset("SELECT 金額 FROM 帳目 WHERE 名稱 = '甲'").Fields(0), Value(12));
}

TEST(Recordset, CancellingMovingOrAUniqueViolationLeaveNothingWritten) {
    TestBook book;
    book.addRow("甲", 1);
    book.addRow("乙", 2);
    auto rs = book.db->OpenTable("帳目");
    rs.AddNew();
    rs.SetField(0, "丙");
    rs.CancelUpdate();
    EXPECT_FALSE(rs.EditPending());
    rs.Edit();
    rs.SetField("金額", 99);
    rs.MoveNext();
    EXPECT_FALSE(rs.EditPending());
    EXPECT_THROW(rs.Update(), DbError);
    // A duplicate keeps the pending row for the caller to cancel.
    rs.AddNew();
    rs.SetField(0, "甲");
    EXPECT_THROW(rs.Update(), UniqueViolation);
    EXPECT_TRUE(rs.EditPending());
    rs.CancelUpdate();
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(book.db->OpenRecordset("SELECT sum(金額) FROM 帳目").Fields(0), Value(3));
}

TEST(Recordset, DeleteLeavesNoCurrentRowUntilAMove) {
    TestBook book;
    for (const char* name : {"甲", "乙", "丙"})
        book.addRow(name, 1);
    auto rs = book.db->OpenTable("帳目");
    rs.MoveNext();
    rs.Delete();
    EXPECT_THROW(rs.Fields(0), DbError);
    EXPECT_EQ(rs.RecordCount(), 2);
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(0), Value("丙"));
    rs.MovePrevious();
    EXPECT_EQ(rs.Fields(0), Value("甲"));
    rs.Delete();
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof());
    EXPECT_EQ(namesForward(rs), Names{"丙"});
}

TEST(Recordset, OnlyARecordsetOfOneTableCanBeChanged) {
    TestBook book;
    book.addRow("甲", 1);
    book.db->Execute("INSERT INTO 類別 VALUES ('甲', '工程')");
    for (const Sql& sql : std::initializer_list<Sql>{
             "SELECT 帳目.* FROM 帳目 JOIN 類別 ON 帳目.名稱 = 類別.名稱",
             "SELECT DISTINCT 名稱 FROM 帳目", "SELECT 名稱, sum(金額) FROM 帳目 GROUP BY 名稱",
             "SELECT 名稱 FROM 帳目 UNION SELECT 名稱 FROM 類別", "SELECT 金額 + 1 FROM 帳目"}) {
        SCOPED_TRACE(sql.text());
        auto rs = book.db->OpenRecordset(sql);
        EXPECT_FALSE(rs.IsUpdatable());
        EXPECT_THROW(rs.AddNew(), DbError);
        EXPECT_THROW(rs.Edit(), DbError);
        EXPECT_THROW(rs.Delete(), DbError);
        EXPECT_EQ(rs.RecordCount(), 1);
    }
}

TEST(Recordset, OrderingByAColumnNumberOrAnAliasKeepsItsMeaning) {
    TestBook book;
    book.addRow("乙", 1);
    book.addRow("甲", 3);
    book.addRow("丙", 2);
    auto byNumber = book.db->OpenRecordset("SELECT 名稱, 金額 FROM 帳目 ORDER BY 2 DESC");
    EXPECT_EQ(namesForward(byNumber), (Names{"甲", "丙", "乙"}));
    auto byAlias = book.db->OpenRecordset("SELECT 金額 AS 名稱, 名稱 AS n FROM 帳目 ORDER BY 名稱");
    EXPECT_EQ(byAlias.Fields(1), Value("乙"));
    auto aliased = book.db->OpenRecordset(
        "SELECT 名稱 AS n, 金額 FROM 帳目 AS t WHERE t.金額 > ? ORDER BY t.名稱", 1);
    EXPECT_EQ(aliased.RecordCount(), 2);
    aliased.Edit();
    aliased.SetField("n", "丁");
    aliased.Update();
    EXPECT_EQ(book.db->OpenRecordset("SELECT 名稱 FROM 帳目 WHERE 金額 = 2").Fields(0),
              Value("丁"));
}

TEST(Recordset, FollowsChangesThroughTheDatabaseAndOutlivesItWithoutACrash) {
    TestBook book;
    book.addRow("甲", 1);
    auto rs = book.db->OpenTable("帳目");
    book.db->Execute("UPDATE 帳目 SET 金額 = 5");
    EXPECT_EQ(rs.Fields("金額"), Value(5));
    book.db->Execute("DELETE FROM 帳目");
    EXPECT_THROW(rs.Fields("金額"), DbError);
    book.addRow("乙", 1);
    auto orphan = book.db->OpenTable("帳目");
    book.db.reset();
    EXPECT_THROW(orphan.Fields(0), DbError);
    orphan.Close();
    EXPECT_THROW(orphan.MoveNext(), DbError);
}

// Books larger than a page of rows, read through the keyset in both directions.
class LargeKeyset : public ::testing::Test {
  protected:
    static constexpr int rows = 300;
    void SetUp() override {
        Transaction t(*book.db);
        for (int i = 0; i < rows; ++i) {
            // Amounts repeat and some are Null, so that orders have ties and Nulls.
            Value amount;
            if (i % 7 != 0) amount = Value(i % 10);
            book.addRow(nameAt(i), amount, Date::fromYmd(2026, 1, 1 + i % 28));
        }
        t.Commit();
    }
    static std::string nameAt(int i) {
        char name[16];
        std::snprintf(name, sizeof name, "n%03d", i);
        return name;
    }
    TestBook book;
};

TEST_F(LargeKeyset, TheLastRowIsFoundWithoutCountingAndWalkingBackMeetsTheFront) {
    for (const Sql& order : std::initializer_list<Sql>{"金額, 名稱", "金額 DESC", "金額 NULLS LAST",
                                                       "日期 DESC NULLS FIRST, 金額",
                                                       "金額 COLLATE BINARY", "rowid"}) {
        SCOPED_TRACE(order.text());
        Sql sql = "SELECT * FROM 帳目 WHERE 名稱 >= ? ORDER BY " + order;
        auto forward = book.db->OpenRecordset(sql, "n010");
        auto backward = book.db->OpenRecordset(sql, "n010");
        Names names;
        for (backward.MoveLast(); !backward.Bof(); backward.MovePrevious())
            names.insert(names.begin(), backward.Fields("名稱").text());
        EXPECT_EQ(names, namesForward(forward));
        EXPECT_EQ(forward.RecordCount(), rows - 10);
    }
}

TEST_F(LargeKeyset, RowsAddedAtTheEndAndRowsChangedMeanwhileAreFollowed) {
    auto rs = book.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱");
    rs.MoveLast();
    rs.AddNew();
    rs.SetField("名稱", "a000");
    rs.Update();
    EXPECT_EQ(rs.Fields(0), Value(nameAt(rows - 1)));
    EXPECT_EQ(rs.RecordCount(), rows + 1);
    rs.MoveLast();
    EXPECT_EQ(rs.Fields(0), Value("a000"));

    auto other = book.db->OpenRecordset("SELECT * FROM 帳目 WHERE 名稱 LIKE 'n%' ORDER BY 名稱");
    other.MoveLast();
    book.db->Execute("DELETE FROM 帳目 WHERE 名稱 > ?", nameAt(rows - 3));
    other.MoveLast();
    EXPECT_EQ(other.Fields(0), Value(nameAt(rows - 3)));
    EXPECT_EQ(other.RecordCount(), rows - 2);
}

// Reading forward runs the query on between calls; a write or a rollback meanwhile must neither
// fail nor lose or repeat a row.
TEST_F(LargeKeyset, WritesWhileReadingForwardAreSeenAndNoRowIsLost) {
    auto rs = book.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱");
    Names names, expected;
    for (int i = 0; !rs.Eof(); rs.MoveNext(), ++i) {
        names.push_back(rs.Fields("名稱").text());
        if (i == 70) book.db->Execute("UPDATE 帳目 SET 金額 = -1 WHERE 名稱 = ?", nameAt(200));
        if (i == 150) {
            Transaction t(*book.db);
            book.db->Execute("UPDATE 帳目 SET 金額 = -2");
        }
        if (i == 200) {
            EXPECT_EQ(rs.Fields("金額"), Value(-1));
        }
        if (i == 250) book.db->AddField("帳目", test::field("新欄"));
    }
    for (int i = 0; i < rows; ++i)
        expected.push_back(nameAt(i));
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace kiv

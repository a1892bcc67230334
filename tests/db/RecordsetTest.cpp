#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>

#include <sqlite3.h>

#include "platform/db/Database.h"
#include "platform/db/RawAccess.h"
#include "platform/db/ShownRows.h"
#include "platform/forms/Host.h"
#include "tests/db/TestBook.h"
#include "tests/support/StatementLog.h"

namespace kiv {
namespace {

using test::errorText;
using test::scalar;
using test::TestBook;
using Names = std::vector<std::string>;
constexpr char Conflict[] = "此筆資料已被其他使用者變更，請重新讀取";

Names forward(Recordset& rs) {
    Names names;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        names.push_back(rs.Fields("名稱").text());
    return names;
}

Names backward(Recordset& rs) {
    Names names;
    for (rs.MoveLast(); !rs.Bof(); rs.MovePrevious())
        names.push_back(rs.Fields("名稱").text());
    return names;
}

TEST(Recordset, FieldsComeBackInTheirKindsByPositionOrByName) {
    TestBook book;
    book.db->Execute("INSERT INTO 帳目 VALUES (?, ?, ?, ?, ?, ?)", "甲", 1200, 0.25,
                     Date::fromYmd(2026, 1, 5), true, nullptr);
    book.db->Execute("INSERT INTO 類別 VALUES (?, ?)", "甲", "工程");
    // Computed columns keep SQLite's own type; a joined field is found by "table.field", and a
    // name whatever its letter case.
    auto rs = book.db->OpenRecordset(
        "SELECT 帳目.*, 類別.名稱, Max(日期) AS last, 金額 * 2 FROM 帳目 JOIN 類別 USING (名稱)");
    const Value fields[] = {"甲", 1200,         0.25, Date::fromYmd(2026, 1, 5), true, Value(),
                            "甲", "2026-01-05", 2400};
    ASSERT_EQ(rs.FieldCount(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(rs.Fields(i), fields[i]) << i;
    EXPECT_EQ(rs.Fields("日期"), fields[3]);
    EXPECT_EQ(rs.Fields("類別.名稱"), Value("甲"));
    EXPECT_THROW(rs.Fields(9), DbError);
    // One buffer holding one name after another: each read finds the name it holds now.
    char held[16];
    for (int round = 0; round < 2; ++round) {
        std::strcpy(held, "金額");
        EXPECT_EQ(rs.Fields(std::string_view(held)), Value(1200));
        std::strcpy(held, "LAST");
        EXPECT_EQ(rs.Fields(std::string_view(held)), Value("2026-01-05"));
        std::strcpy(held, "las");
        EXPECT_THROW(rs.Fields(std::string_view(held)), DbError);
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
    EXPECT_EQ(scalar(*book.db, "SELECT group_concat(quote(金額) || 日期 || 已付, ' ') FROM 帳目"),
              Value("NULL2026-02-281 120002026-01-051"));
    EXPECT_EQ(scalar(*book.db, "SELECT quote(比率) || quote(備註) FROM 帳目 WHERE 名稱 = '乙'"),
              Value("1234.5'0'"));
}

TEST(Recordset, AValueTheFieldCannotHoldIsRefusedAndWholeNumbersStayWhole) {
    TestBook book;
    book.addRow("甲", 1);
    auto rs = book.db->OpenTable("帳目");
    rs.Edit();
    EXPECT_THROW(rs.SetField("金額", "12abc"), ConversionError);
    EXPECT_THROW(rs.SetField("日期", "明天"), ConversionError);
    EXPECT_THROW(rs.SetField("已付", "也許"), ConversionError);
    for (const char* field : {"金額", "比率"}) {
        for (Value value : {Value("1e309"), Value(std::nan("")), Value(HUGE_VAL), Value(-HUGE_VAL)})
            EXPECT_THROW(rs.SetField(field, value), ConversionError) << field << value.text();
    }
    rs.SetField("金額", 2.5);  // whole-number fields round halves to even, as CLng did
    rs.Update();
    EXPECT_EQ(rs.Fields("金額"), Value(2));
    rs.Edit();
    rs.SetField("金額", "-9,007,199,254,740,993");
    rs.SetField("比率", 0.25);
    rs.Update();
    EXPECT_EQ(scalar(*book.db, "SELECT 比率 FROM 帳目 WHERE 金額 = -9007199254740993"),
              Value(0.25));
    // A NaN bound straight into a statement would be stored as Null.
    EXPECT_THROW(book.db->Execute("UPDATE 帳目 SET 比率 = ?", std::nan("")), ConversionError);
    EXPECT_EQ(scalar(*book.db, "SELECT 比率 FROM 帳目"), Value(0.25));
}

// Two copies of the program on one file: the second saves a row that the first then edits from
// what it read before.
TEST(Recordset, AnUpdateOverARowChangedOrDeletedByAnotherCopyWritesNothing) {
    for (const Sql& meanwhile : std::initializer_list<Sql>{
             "UPDATE 帳目 SET 金額 = 99 WHERE 名稱 = '甲'",
             "UPDATE 帳目 SET 備註 = 'ABC' WHERE 名稱 = '甲'",  // only the letter case
             "UPDATE 帳目 SET 日期 = NULL WHERE 名稱 = '甲'",
             "DELETE FROM 帳目 WHERE 名稱 = '甲'"}) {
        SCOPED_TRACE(meanwhile.text());
        TestBook book;
        book.addRow("甲", 10, Date::fromYmd(2026, 1, 5));
        book.db->Execute("UPDATE 帳目 SET 備註 = 'abc', 比率 = 0.1");
        auto other = Database::open(book.path, test::testSchema());
        auto rs = book.db->OpenTable("帳目");
        EXPECT_EQ(rs.Fields("金額"), Value(10));
        other->Execute(meanwhile);
        Sql storedRow = "SELECT group_concat(quote(金額) || 備註 || quote(日期) || 比率) FROM 帳目";
        Value stored = scalar(*other, storedRow);
        rs.Edit();
        rs.SetField("比率", 0.5);
        EXPECT_EQ(errorText([&] { rs.Update(); }), Conflict);
        EXPECT_FALSE(rs.EditPending());
        EXPECT_EQ(scalar(*other, storedRow), stored);
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
    EXPECT_EQ(scalar(*other, "SELECT 金額 || 已付 FROM 帳目 WHERE 名稱 = '甲'"), Value("121"));
}

// What a form showed is checked against what another copy wrote: a list that other forms add to
// may take the rows added; any other change is a conflict.
TEST(ShownRows, ASaveGoesOnOnlyWhileNoOtherCopyChangedAddedOrDeletedAShownRow) {
    TestBook book;
    auto other = Database::open(book.path, test::testSchema());
    auto conflicts = [&](const ShownRows& rows, bool onlyAdding) {
        std::string text = errorText([&] {
            onlyAdding ? rows.CheckNoneChangedOrDeleted(*book.db) : rows.CheckUnchanged(*book.db);
        });
        EXPECT_TRUE(text.empty() || text == Conflict) << text;
        return !text.empty();
    };
    struct Case {
        Sql change;
        bool conflict;
    };
    const Case cases[] = {
        {"UPDATE 帳目 SET 日期 = '2026-01-01'", false},  // a field not shown: no conflict
        {"UPDATE 帳目 SET 金額 = 150 WHERE 名稱 = '甲'", true},
        {"INSERT INTO 帳目 (名稱, 金額) VALUES ('丙', 300)", true},
        {"INSERT INTO 帳目 (名稱, 金額) VALUES ('丁', 100)", true},
        {"DELETE FROM 帳目 WHERE 名稱 = '乙'", true}};
    for (const auto& [change, conflict] : cases) {
        SCOPED_TRACE(change.text());
        other->Execute("DELETE FROM 帳目");
        other->Execute("INSERT INTO 帳目 (名稱, 金額) VALUES ('甲', 100), ('乙', 200)");
        ShownRows rows(*book.db, "SELECT 名稱, 金額 FROM 帳目 WHERE 金額 >= ? ORDER BY 名稱",
                       {100});
        other->Execute(change);
        EXPECT_EQ(conflicts(rows, false), conflict);
        bool added = change.text().starts_with("INSERT");
        EXPECT_EQ(conflicts(rows, true), conflict && !added);
        rows.Reread(*book.db);
        EXPECT_FALSE(conflicts(rows, false));
    }
    EXPECT_FALSE(conflicts(ShownRows(), false));
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
    EXPECT_EQ(scalar(*book.db, "SELECT sum(金額) FROM 帳目"), Value(3));
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
    rs.MovePrevious();
    EXPECT_EQ(rs.Fields(0), Value("甲"));
    rs.Delete();
    EXPECT_EQ(forward(rs), Names{"丙"});
}

TEST(Recordset, OnlyARecordsetOfOneTableCanBeChanged) {
    TestBook book;
    book.addRow("甲", 1);
    book.db->Execute("INSERT INTO 類別 VALUES ('甲', '工程')");
    for (const Sql& sql : std::initializer_list<Sql>{
             "SELECT 帳目.* FROM 帳目 JOIN 類別 ON 帳目.名稱 = 類別.名稱",
             "SELECT DISTINCT 名稱 FROM 帳目", "SELECT 名稱, sum(金額) FROM 帳目 GROUP BY 名稱",
             "SELECT 名稱 FROM 帳目 UNION SELECT 名稱 FROM 類別", "SELECT 金額 + 1 FROM 帳目"}) {
        auto rs = book.db->OpenRecordset(sql);
        EXPECT_FALSE(rs.IsUpdatable()) << sql.text();
        EXPECT_THROW(rs.AddNew(), DbError);
        EXPECT_THROW(rs.Edit(), DbError);
        EXPECT_THROW(rs.Delete(), DbError);
        EXPECT_EQ(rs.RecordCount(), 1);
    }
}

// A query's column names its alias, also in its ORDER BY.
TEST(Recordset, AFieldIsChangedThroughItsAlias) {
    TestBook book;
    book.addRow("乙", 1);
    book.addRow("甲", 3);
    auto aliased = book.db->OpenRecordset(
        "SELECT 名稱 AS n, 金額 FROM 帳目 AS t WHERE t.金額 > ? ORDER BY t.名稱", 1);
    EXPECT_EQ(aliased.RecordCount(), 1);
    aliased.Edit();
    aliased.SetField("n", "丁");
    aliased.Update();
    EXPECT_EQ(scalar(*book.db, "SELECT 名稱 FROM 帳目 WHERE 金額 = 3"), Value("丁"));
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

// A book of more rows than the first pages and the tail hold, read from either end. Amounts
// repeat and some are Null, so that orders have ties and Nulls.
class ReadPath : public ::testing::Test {
  protected:
    static constexpr int rows = 200;
    void SetUp() override { fill(book); }
    static void fill(TestBook& book) {
        Transaction t(*book.db, TransactionKind::Writes);
        for (int i = 0; i < rows; ++i)
            book.addRow(nameAt(i), i % 7 ? Value(i % 10) : Value(),
                        Date::fromYmd(2026, 1, 1 + i % 28));
        t.Commit();
    }
    static std::string nameAt(int i) {
        char name[16];
        std::snprintf(name, sizeof name, "n%03d", i);
        return name;
    }
    static std::string name(const Recordset& rs) { return rs.Fields("名稱").text(); }
    Recordset byName() { return book.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱"); }
    TestBook book;
};

// Each query read every way a form reads one: counted first, forward by every stride across the
// page seams, back from the last row, and in jumps back counted from the front. The first and the
// last row name the order.
TEST_F(ReadPath, EveryWayOfReadingMeetsTheSameRowsInOrder) {
    struct Case {
        Sql sql;
        std::vector<Value> params;
        int count;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {"SELECT * FROM 帳目 ORDER BY 名稱", {}, rows, "n000", "n199"},
        {"SELECT * FROM 帳目 WHERE 名稱 >= ? ORDER BY 金額, 名稱", {"n010"}, 190, "n014", "n199"},
        {"SELECT * FROM 帳目 WHERE 名稱 >= ? ORDER BY 金額 DESC", {"n010"}, 190, "n019", "n196"},
        {"SELECT * FROM 帳目 ORDER BY 金額 NULLS LAST", {}, rows, "n010", "n196"},
        {"SELECT * FROM 帳目 ORDER BY 日期 DESC NULLS FIRST, 金額", {}, rows, "n111", "n196"},
        {"SELECT * FROM 帳目 ORDER BY 金額 COLLATE BINARY", {}, rows, "n000", "n199"},
        {"SELECT * FROM 帳目 WHERE 名稱 >= ? ORDER BY rowid", {"n010"}, 190, "n010", "n199"},
        {"SELECT 名稱, 金額 FROM 帳目 ORDER BY 2 DESC, 1", {}, rows, "n009", "n196"},
        // The alias, not the field, orders: the amounts are names of the result.
        {"SELECT 金額 AS 名稱, 名稱 AS n FROM 帳目 ORDER BY 名稱, n", {}, rows, "", "9"},
        // The reversed order binds one more value after the query's own; a value used twice by
        // its number stays one value.
        {"SELECT 名稱 FROM 帳目 WHERE 名稱 >= ?1 AND 名稱 <> ?1 AND 金額 < ?2 ORDER BY 名稱",
         {"n100", 5},
         43,
         "n101",
         "n194"},
        // Results smaller than a page.
        {"SELECT DISTINCT 名稱 FROM 帳目 WHERE 金額 > 9", {}, 0, "", ""},
        {"SELECT * FROM 帳目 WHERE 名稱 < ? ORDER BY 名稱 DESC", {"n001"}, 1, "n000", "n000"},
        {"SELECT * FROM 帳目 WHERE 名稱 < ? ORDER BY 名稱 DESC", {"n003"}, 3, "n002", "n000"},
        {"SELECT * FROM 帳目 WHERE 名稱 < ? ORDER BY 名稱 DESC", {"n065"}, 65, "n064", "n000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql.text());
        auto open = [&] { return book.db->OpenRecordsetWith(c.sql, c.params); };
        auto counted = open(), front = open(), back = open();
        EXPECT_EQ(counted.RecordCount(), c.count);
        Names all = forward(front);
        ASSERT_EQ(all.size(), c.count);
        EXPECT_EQ(forward(counted), all);
        Names reversed = backward(back);
        EXPECT_EQ(back.Bof() && back.Eof(), c.count == 0);
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_EQ(reversed, all);
        if (c.count == 0) {
            EXPECT_EQ(back.AbsolutePosition(), -1);
            EXPECT_THROW(back.Fields(0), DbError);
            continue;
        }
        EXPECT_EQ(all.front() + " " + all.back(), std::string(c.first) + " " + c.last);
        for (int step : {1, 2, 3, 7, 31, 63, 64, 65}) {
            Names seen, expected;
            for (auto rs = open(); !rs.Eof(); rs.Move(step))
                seen.push_back(name(rs));
            for (size_t i = 0; i < all.size(); i += step)
                expected.push_back(all[i]);
            EXPECT_EQ(seen, expected) << step;
        }
        for (int jump : {1, 63, 64, 65, c.count - 1}) {
            if (jump >= c.count) continue;
            auto rs = open();
            rs.MoveLast();
            rs.Move(-jump);
            EXPECT_EQ(name(rs), all[c.count - 1 - jump]) << jump;
            EXPECT_EQ(rs.AbsolutePosition(), c.count - 1 - jump) << jump;
        }
    }
    auto past = byName();
    past.MoveLast();
    past.Move(-rows);
    EXPECT_TRUE(past.Bof());
    past.SetAbsolutePosition(64);
    EXPECT_EQ(name(past), nameAt(64));
    past.Move(1000);
    EXPECT_TRUE(past.Eof());
    EXPECT_EQ(past.AbsolutePosition(), -1);
    EXPECT_THROW(past.SetAbsolutePosition(rows), DbError);
}

// Opening reads nothing: the rows are as they are when first looked at, from either end, and a
// last row read before a write gives way to the last row after it.
TEST_F(ReadPath, RowsWrittenMeanwhileAreFollowedFromEitherEnd) {
    auto front = byName(), back = byName();
    book.addRow("a000", 1);
    book.db->Execute("DELETE FROM 帳目 WHERE 名稱 = ?", nameAt(rows - 1));
    EXPECT_EQ(name(front), "a000");
    back.MoveLast();
    EXPECT_EQ(name(back), nameAt(rows - 2));
    book.db->Execute("DELETE FROM 帳目 WHERE 名稱 = ?", nameAt(rows - 2));
    back.MoveLast();
    EXPECT_EQ(name(back), nameAt(rows - 3));
    back.MoveFirst();
    EXPECT_EQ(name(back), "a000");
    EXPECT_EQ(back.RecordCount(), rows - 1);

    // A row added through the recordset joins its end; the current row stays.
    auto rs = byName();
    rs.MoveLast();
    rs.AddNew();
    rs.SetField("名稱", "a001");
    rs.Update();
    EXPECT_EQ(name(rs), nameAt(rows - 3));
    EXPECT_EQ(rs.RecordCount(), rows);
    rs.MoveLast();
    EXPECT_EQ(name(rs), "a001");
}

// Reading forward runs the query on between calls; a write or a rollback meanwhile must neither
// fail nor lose or repeat a row.
TEST_F(ReadPath, WritesWhileReadingForwardAreSeenAndNoRowIsLost) {
    auto rs = byName();
    Names names;
    for (int i = 0; !rs.Eof(); rs.MoveNext(), ++i) {
        names.push_back(name(rs));
        if (i == 50) book.db->Execute("UPDATE 帳目 SET 金額 = -1 WHERE 名稱 = ?", nameAt(150));
        if (i == 100) {
            Transaction t(*book.db, TransactionKind::Writes);
            book.db->Execute("UPDATE 帳目 SET 金額 = -2");
        }
        if (i == 150) EXPECT_EQ(rs.Fields("金額"), Value(-1));
        if (i == 180) book.db->AddField("帳目", test::field("新欄"));
    }
    ASSERT_EQ(names.size(), rows);
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end(), std::greater_equal<>()), names.end());
}

// A fault that SQLite finds only when the query runs (abs of the smallest whole number) names
// the query as the caller wrote it, from whichever end it is first read.
TEST_F(ReadPath, AFaultFoundWhileReadingNamesTheQueryAsWritten) {
    static constexpr char sql[] = "SELECT * FROM 帳目 WHERE abs(?) > 0 ORDER BY 名稱";
    const std::vector<std::function<void(Recordset&)>> looks = {
        [](Recordset& rs) { rs.Eof(); },
        [](Recordset& rs) { rs.MoveLast(); },
        [](Recordset& rs) { rs.RecordCount(); },
    };
    for (const auto& look : looks) {
        try {
            auto rs = book.db->OpenRecordset(sql, std::numeric_limits<long long>::min());
            look(rs);
            ADD_FAILURE() << "no fault";
        } catch (const DbError& e) {
            EXPECT_EQ(e.sql(), sql);
        }
    }
}

// A jump back from the last row, as a scroll bar dragged from the newest row makes, reads the
// rowids of the page it lands on, not the whole list; moving on from there, either way over pages
// not read yet, meets every row, and a write in between is followed.
TEST_F(ReadPath, AJumpBackFromTheLastRowReadsOnlyAsFarAsItGoes) {
    auto list = byName();
    const Names all = forward(list);
    test::StatementLog log(*book.db);
    struct Case {
        int jump;
        bool writeBefore;
    };
    for (const Case c :
         {Case{66, false}, Case{100, false}, Case{rows - 1, false}, Case{100, true}}) {
        SCOPED_TRACE(c.jump);
        auto rs = byName();
        rs.MoveLast();
        if (c.writeBefore) book.db->Execute("UPDATE 帳目 SET 金額 = 金額 WHERE 名稱 = 'n000'");
        log.clear();
        rs.Move(-c.jump);
        EXPECT_EQ(name(rs), all[rows - 1 - c.jump]);
        // Three pages of rows or rowids, and the file's data version looked at before each read.
        if (!c.writeBefore) EXPECT_LE(log.rows, 3 * 64 + 2);
        rs.Move(40);
        EXPECT_EQ(name(rs), all[rows - 1 - c.jump + 40]);
        rs.Move(-40);
        Names walked;
        for (; !rs.Bof(); rs.MovePrevious())
            walked.insert(walked.begin(), name(rs));
        EXPECT_EQ(walked, Names(all.begin(), all.begin() + rows - c.jump));
        rs.Move(rows - 1);
        EXPECT_EQ(name(rs), all[rows - 2]);
        EXPECT_EQ(rs.AbsolutePosition(), rows - 2);
    }
}

// Another copy's commit between two moves: the recordset reads its rowids again and moves on from
// the row it stands on, wherever that row now stands, however it had read the rows before (the last
// row alone, pages of the tail after a jump back, every rowid). A row deleted meanwhile leaves its
// place between the rows that were around it.
TEST_F(ReadPath, AnotherCopysCommitBetweenMovesIsFollowedFromTheRowShown) {
    const auto last = [](Recordset& rs) { rs.MoveLast(); };
    const auto jumped = [](Recordset& rs) {
        rs.MoveLast();
        rs.Move(-100);
    };
    const auto counted = [](Recordset& rs) {
        rs.RecordCount();
        rs.Move(150);
    };
    static constexpr char addFive[] =
        "INSERT INTO 帳目 (名稱) VALUES ('n200'), ('n201'), ('n202'), ('n203'), ('n204')";
    struct Case {
        std::function<void(Recordset&)> stand;
        std::vector<Sql> writes;
        int move;
        const char* lands;
    };
    const Case cases[] = {
        {last, {addFive}, -100, "n099"},
        {last, {"DELETE FROM 帳目 WHERE 名稱 BETWEEN 'n120' AND 'n124'"}, -100, "n094"},
        {jumped, {addFive}, -50, "n049"},
        {jumped, {"DELETE FROM 帳目 WHERE 名稱 BETWEEN 'n150' AND 'n154'"}, 1, "n100"},
        {jumped, {"DELETE FROM 帳目 WHERE 名稱 >= 'n099'"}, -1, "n098"},
        {counted,
         {"DELETE FROM 帳目 WHERE 名稱 = 'n150'",
          "INSERT INTO 帳目 (名稱) VALUES ('a000'), ('a001')"},
         1,
         "n151"},
        {counted, {"INSERT INTO 帳目 (名稱) VALUES ('a000'), ('a001')"}, -150, "n000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.writes.front().text()) + " then " + std::to_string(c.move));
        TestBook copyA;
        fill(copyA);
        auto copyB = Database::open(copyA.path, test::testSchema());
        auto rs = copyA.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱");
        c.stand(rs);
        Transaction t(*copyB, TransactionKind::Writes);
        for (const Sql& write : c.writes)
            copyB->Execute(write);
        t.Commit();
        auto stored = copyB->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱");
        const Names now = forward(stored);
        const auto at = std::find(now.begin(), now.end(), c.lands);
        rs.Move(c.move);
        EXPECT_EQ(name(rs), c.lands);
        Names walked;
        for (; !rs.Eof(); rs.MoveNext())
            walked.push_back(name(rs));
        EXPECT_EQ(walked, Names(at, now.end()));
        // Back on the row it landed on, its position counts in the file as it now is.
        rs.Move(-static_cast<int64_t>(walked.size()));
        EXPECT_EQ(rs.AbsolutePosition(), at - now.begin());
    }
}

// After a Delete, or a count that found the current row deleted by another copy, the recordset
// stands between the rows around it. Another copy's commits before that place, each noticed as it
// comes, leave it between the same rows, or, with one of them gone too, between the nearest ones
// still standing. The book's rowids have a gap and are out of the query's order (m000 comes first).
TEST_F(ReadPath, ThePlaceBetweenTwoRowsHoldsOverAnotherCopysCommits) {
    const auto deleted = [](Recordset& rs, Database&) { rs.Delete(); };
    const auto counted = [](Recordset& rs, Database& copyB) {
        copyB.Execute("DELETE FROM 帳目 WHERE 名稱 = ?", name(rs));
        rs.RecordCount();
    };
    static constexpr char addTwo[] = "INSERT INTO 帳目 (名稱) VALUES ('a000'), ('a001')";
    struct Case {
        std::function<void(Recordset&, Database&)> leave;
        const char* row;
        std::vector<Sql> commits;
        // Where MoveNext and MovePrevious land; "" is past the end.
        const char* next;
        const char* previous;
    };
    const Case cases[] = {
        {deleted, "n100", {addTwo}, "n101", "n099"},
        {deleted,
         "n100",
         {addTwo, "DELETE FROM 帳目 WHERE 名稱 IN ('n099', 'n101')"},
         "n102",
         "n098"},
        {deleted, "n199", {addTwo}, "", "n198"},
        {deleted, "m000", {"DELETE FROM 帳目 WHERE 名稱 = 'n000'"}, "n001", ""},
        {counted, "n100", {addTwo}, "n101", "n099"},
        {counted,
         "n100",
         {"DELETE FROM 帳目 WHERE 名稱 BETWEEN 'n090' AND 'n099'", addTwo},
         "n101",
         "n089"},
    };
    for (const Case& c : cases) {
        for (const int step : {1, -1}) {
            SCOPED_TRACE("case " + std::to_string(&c - cases) + ", step " + std::to_string(step));
            TestBook copyA;
            fill(copyA);
            copyA.db->Execute("DELETE FROM 帳目 WHERE 名稱 BETWEEN 'n040' AND 'n049'");
            copyA.addRow("m000", 1);
            auto copyB = Database::open(copyA.path, test::testSchema());
            auto rs = copyA.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱");
            // Moving onto the row is a user action of its own, as in a form.
            runUserAction([&] {
                while (name(rs) != c.row)
                    rs.MoveNext();
            });
            c.leave(rs, *copyB);
            for (const Sql& commit : c.commits) {
                copyB->Execute(commit);
                EXPECT_EQ(rs.RecordCount(),
                          copyB->OpenRecordset("SELECT * FROM 帳目").RecordCount());
            }
            auto stored = copyB->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱");
            const Names now = step > 0 ? forward(stored) : backward(stored);
            const std::string lands = step > 0 ? c.next : c.previous;
            rs.Move(step);
            Names walked;
            for (; !rs.Eof() && !rs.Bof(); rs.Move(step))
                walked.push_back(name(rs));
            const auto at = std::find(now.begin(), now.end(), lands);
            EXPECT_EQ(walked, Names(at, now.end()));
            EXPECT_EQ(walked.empty() ? "" : walked.front(), lands);
        }
    }
}

// A recordset read forward runs its query on between its moves, but not past the user action
// that read it: once the action returns, every read of the connection meets another copy's commit
// and the recordset's next move goes on from its row in the file as it now is. An action nested
// in another (one in a form shown modally) ends the reads too, and the outer one reads on.
TEST_F(ReadPath, AReadRunningForwardEndsWithTheUserActionThatMadeIt) {
    auto copyB = Database::open(book.path, test::testSchema());
    const auto steppedStatements = [this] {
        int stepped = 0;
        sqlite3* db = RawAccess::handle(*book.db);
        for (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr); s; s = sqlite3_next_stmt(db, s))
            stepped += sqlite3_stmt_busy(s);
        return stepped;
    };
    {
        auto rs = byName();
        runUserAction([&] { rs.Move(4); });
        EXPECT_EQ(steppedStatements(), 0);
        copyB->Execute("INSERT INTO 帳目 (名稱) VALUES ('n0045')");
        EXPECT_EQ(book.rows(), rows + 1);
        rs.MoveNext();
        EXPECT_EQ(name(rs), "n0045");
    }

    Names walked;
    runUserAction([&] {
        auto again = byName();
        again.Move(4);
        runUserAction([] {});
        copyB->Execute("INSERT INTO 帳目 (名稱) VALUES ('n1005')");
        EXPECT_EQ(book.rows(), rows + 2);
        for (; !again.Eof(); again.MoveNext())
            walked.push_back(name(again));
    });
    auto stored = byName();
    Names now = forward(stored);
    EXPECT_EQ(walked, Names(now.begin() + 4, now.end()));
    EXPECT_EQ(walked.size(), rows - 2u);
}

// Moving to either end, counting, and a row on the page read last all meet the file as another
// copy left it.
TEST_F(ReadPath, TheEndsTheCountAndThePageReadBeforeAnotherCopysCommitAreReadAgain) {
    auto copyB = Database::open(book.path, test::testSchema());
    auto rs = byName();
    rs.MoveLast();
    rs.MovePrevious();
    copyB->Execute("DELETE FROM 帳目 WHERE 名稱 = ?", nameAt(rows - 1));
    rs.MoveLast();
    EXPECT_EQ(name(rs), nameAt(rows - 2));
    EXPECT_EQ(rs.RecordCount(), rows - 1);
    copyB->Execute("INSERT INTO 帳目 (名稱) VALUES ('a000')");
    EXPECT_EQ(rs.RecordCount(), rows);
    rs.MoveFirst();
    EXPECT_EQ(name(rs), "a000");
    rs.MoveLast();
    EXPECT_EQ(name(rs), nameAt(rows - 2));
    copyB->Execute("UPDATE 帳目 SET 金額 = 99 WHERE 名稱 = ?", nameAt(rows - 3));
    rs.MovePrevious();
    EXPECT_EQ(rs.Fields("金額"), Value(99));
}

// Statements of closed recordsets are kept for the next recordset of the same text: they follow a
// new field, serve two recordsets at once and close with the book.
TEST_F(ReadPath, KeptStatementsFollowANewFieldServeTwoRecordsetsAtOnceAndCloseWithTheBook) {
    auto first = byName();
    first.MoveLast();
    first.Close();
    book.db->AddField("帳目", test::field("新欄"));
    auto widened = byName(), second = byName();
    EXPECT_EQ(widened.FieldCount(), 7);
    widened.MoveLast();
    second.MoveNext();
    EXPECT_TRUE(widened.Fields("新欄").isNull());
    EXPECT_EQ(name(second), nameAt(1));
    EXPECT_EQ(name(byName()), nameAt(0));
    widened.Close();
    book.db.reset();
    book.db = Database::open(book.path, test::testSchema());
    EXPECT_EQ(byName().RecordCount(), rows);
}

}  // namespace
}  // namespace kiv

namespace kiv {
namespace {

// A field's text read directly is the text of its value, whatever is stored: a date as the date
// it holds, a number in a text field, Null as empty; and while a row is added or edited, the
// value pending.
TEST(Recordset, AFieldsTextReadDirectlyIsTheTextOfItsValue) {
    TestBook book;
    book.db->Execute("INSERT INTO 帳目 VALUES (?, ?, ?, ?, ?, ?)", "甲", 1200, 0.25,
                     Date::fromYmd(2026, 1, 5), true, nullptr);
    book.db->Execute("INSERT INTO 帳目 VALUES (?, ?, ?, ?, ?, ?)", "乙", 7, 3, nullptr, false, 42);
    auto rs = book.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱 DESC");
    ASSERT_TRUE(rs.IsUpdatable());
    const auto expectSame = [&rs](const char* where) {
        for (int i = 0; i < rs.FieldCount(); ++i)
            EXPECT_EQ(rs.FieldText(i), rs.Fields(i).text()) << where << " " << i;
    };
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        expectSame("stored");
    rs.MoveFirst();
    EXPECT_EQ(rs.FieldText(0), "甲");
    EXPECT_EQ(rs.FieldText(3), Value(Date::fromYmd(2026, 1, 5)).text());
    rs.Edit();
    rs.SetField("日期", Date::fromYmd(2027, 2, 3));
    EXPECT_EQ(rs.FieldText(3), Value(Date::fromYmd(2027, 2, 3)).text());
    expectSame("edited");
    rs.CancelUpdate();
    rs.AddNew();
    rs.SetField("名稱", "丙");
    EXPECT_EQ(rs.FieldText(0), "丙");
    expectSame("added");
}

}  // namespace
}  // namespace kiv

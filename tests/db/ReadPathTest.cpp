#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>

#include "platform/db/Database.h"
#include "tests/db/TestBook.h"

namespace kiv {
namespace {

using test::TestBook;
using Names = std::vector<std::string>;

// A book of more rows than the first pages and the tail hold, read from either end.
class ReadPath : public ::testing::Test {
  protected:
    static constexpr int rows = 200;
    void SetUp() override {
        Transaction t(*book.db);
        for (int i = 0; i < rows; ++i)
            book.addRow(nameAt(i), i % 10);
        t.Commit();
    }
    static std::string nameAt(int i) {
        char name[16];
        std::snprintf(name, sizeof name, "n%03d", i);
        return name;
    }
    static std::string name(const Recordset& rs) { return rs.Fields("名稱").text(); }
    static Names backward(Recordset& rs) {
        Names names;
        for (rs.MoveLast(); !rs.Bof(); rs.MovePrevious())
            names.push_back(name(rs));
        return names;
    }
    static Names forward(Recordset& rs) {
        Names names;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
            names.push_back(name(rs));
        return names;
    }
    // The names from `first` to before `end`, stepping by `step`.
    static Names namesFrom(int first, int end, int step = 1) {
        Names names;
        for (int i = first; step > 0 ? i < end : i > end; i += step)
            names.push_back(nameAt(i));
        return names;
    }
    Recordset byName() { return book.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱"); }
    TestBook book;
};

TEST_F(ReadPath, EveryStepForwardFromTheStartMeetsEveryRowInOrder) {
    for (int step : {1, 2, 3, 5, 7, 31, 33, 63, 64, 65}) {
        SCOPED_TRACE(step);
        auto rs = byName();
        Names seen;
        for (; !rs.Eof(); rs.Move(step))
            seen.push_back(name(rs));
        EXPECT_EQ(seen, namesFrom(0, rows, step));
    }
}

TEST_F(ReadPath, WalkingBackFromTheLastRowPassesTheTailIntoTheWholeList) {
    auto rs = byName();
    EXPECT_EQ(backward(rs), namesFrom(rows - 1, -1, -1));

    // The same seams crossed in jumps, with the position counted from the front.
    for (int back : {1, 63, 64, 65, 199}) {
        SCOPED_TRACE(back);
        auto jumped = byName();
        jumped.MoveLast();
        jumped.Move(-back);
        EXPECT_EQ(name(jumped), nameAt(rows - 1 - back));
        EXPECT_EQ(jumped.AbsolutePosition(), rows - 1 - back);
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

TEST_F(ReadPath, ResultsSmallerThanAPageReadTheSameFromEitherEndAndWhenCounted) {
    for (int count : {0, 1, 2, 3, 4, 65}) {
        SCOPED_TRACE(count);
        auto open = [&] {
            return book.db->OpenRecordset("SELECT * FROM 帳目 WHERE 名稱 < ? ORDER BY 名稱 DESC",
                                          nameAt(count));
        };
        auto back = open(), front = open(), counted = open();
        EXPECT_EQ(backward(back), namesFrom(0, count));
        EXPECT_EQ(forward(front), namesFrom(count - 1, -1, -1));
        EXPECT_EQ(counted.RecordCount(), count);
        EXPECT_EQ(forward(counted), namesFrom(count - 1, -1, -1));
        EXPECT_EQ(back.Bof() && back.Eof(), count == 0);
    }
}

// The reversed order binds one more value after the query's own; a value used twice by its
// number stays one value.
TEST_F(ReadPath, TheLastRowOfAQueryWithNumberedParameters) {
    auto rs = book.db->OpenRecordset(
        "SELECT 名稱 FROM 帳目 WHERE 名稱 >= ?1 AND 名稱 <> ?1 AND 金額 < ?2 ORDER BY 名稱",
        nameAt(100), 5);
    rs.MoveLast();
    EXPECT_EQ(name(rs), nameAt(194));
    EXPECT_EQ(backward(rs).size(), 49u);
}

// Opening reads nothing: the rows are as they are when first looked at, from either end.
TEST_F(ReadPath, WritesBeforeTheFirstLookAreSeen) {
    auto front = byName();
    auto back = byName();
    book.addRow("a000", 1);
    book.db->Execute("DELETE FROM 帳目 WHERE 名稱 = ?", nameAt(rows - 1));
    EXPECT_EQ(name(front), "a000");
    back.MoveLast();
    EXPECT_EQ(name(back), nameAt(rows - 2));

    // A last row read before a write gives way to the last row after it.
    book.db->Execute("DELETE FROM 帳目 WHERE 名稱 = ?", nameAt(rows - 2));
    back.MoveLast();
    EXPECT_EQ(name(back), nameAt(rows - 3));
    back.MoveFirst();
    EXPECT_EQ(name(back), "a000");
    back.MoveLast();
    EXPECT_EQ(name(back), nameAt(rows - 3));
    EXPECT_EQ(back.RecordCount(), rows - 1);
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
    for (size_t i = 0; i < looks.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            auto rs = book.db->OpenRecordset(sql, std::numeric_limits<long long>::min());
            looks[i](rs);
            ADD_FAILURE() << "no fault";
        } catch (const DbError& e) {
            EXPECT_EQ(e.sql(), sql);
        }
    }
}

TEST_F(ReadPath, FieldsByNameWhateverTheCaseOrWhereTheNameIsHeld) {
    auto rs = book.db->OpenRecordset(
        "SELECT 名稱 AS Name, 金額 AS amount, 帳目.日期 FROM 帳目 WHERE 名稱 = ?", nameAt(13));
    EXPECT_EQ(rs.Fields("帳目.日期"), rs.Fields(2));
    // One buffer holding one name after another: each read finds the name it holds now.
    char held[16];
    for (int round = 0; round < 2; ++round) {
        std::strcpy(held, "amount");
        EXPECT_EQ(rs.Fields(std::string_view(held)), Value(3));
        std::strcpy(held, "name");
        EXPECT_EQ(rs.Fields(std::string_view(held)), Value(nameAt(13)));
        std::strcpy(held, "名");
        EXPECT_THROW(rs.Fields(std::string_view(held)), DbError);
    }
}

// Statements of closed recordsets are kept for the next recordset of the same text.
TEST_F(ReadPath, KeptStatementsFollowANewFieldServeTwoRecordsetsAtOnceAndCloseWithTheBook) {
    for (int round = 0; round < 2; ++round) {
        auto rs = byName();
        rs.MoveLast();
        rs.MoveFirst();
        rs.Move(100);
    }
    book.db->AddField("帳目", test::field("新欄"));
    auto widened = byName();
    EXPECT_EQ(widened.FieldCount(), 7);
    widened.MoveLast();
    EXPECT_TRUE(widened.Fields("新欄").isNull());

    auto first = byName(), second = byName();
    first.MoveNext();
    second.MoveLast();
    EXPECT_EQ(name(first), nameAt(1));
    EXPECT_EQ(name(second), nameAt(rows - 1));
    EXPECT_EQ(name(byName()), nameAt(0));

    first.Close();
    second.Close();
    widened.Close();
    book.db.reset();
    book.db = Database::open(book.path, test::testSchema());
    EXPECT_EQ(byName().RecordCount(), rows);
}

}  // namespace
}  // namespace kiv

#include "platform/db/ShownRows.h"

#include <gtest/gtest.h>

#include "platform/db/Database.h"
#include "tests/db/TestBook.h"

namespace kiv::test {
namespace {

// Two copies of the program on one file: what copy A showed is checked against what copy B wrote.
TEST(ShownRows, ASaveGoesOnOnlyWhileNoOtherCopyChangedAddedOrDeletedAShownRow) {
    TestBook book;
    book.addRow("甲", 100);
    book.addRow("乙", 200);
    auto other = Database::open(book.path, testSchema());
    auto shown = [&] {
        return ShownRows(*book.db, "SELECT 名稱, 金額 FROM 帳目 WHERE 金額 >= ? ORDER BY 名稱",
                         {100});
    };

    ShownRows unchanged = shown();
    other->Execute("UPDATE 帳目 SET 日期 = '2026-01-01'");  // a field not shown
    EXPECT_NO_THROW(unchanged.CheckUnchanged(*book.db));

    // A list that other forms add to may take the rows added; any other change is a conflict.
    struct Case {
        const char* what;
        Sql change;
        bool allowedWhenOnlyAdding;
    };
    const Case cases[] = {
        {"a field changed", "UPDATE 帳目 SET 金額 = 150 WHERE 名稱 = '甲'", false},
        {"a row added", "INSERT INTO 帳目 (名稱, 金額) VALUES ('丙', 300)", true},
        {"a row added first", "INSERT INTO 帳目 (名稱, 金額) VALUES ('丁', 100)", true},
        {"a row deleted", "DELETE FROM 帳目 WHERE 名稱 = '乙'", false},
    };
    auto conflicts = [&](const ShownRows& rows, bool onlyAdding) {
        try {
            if (onlyAdding)
                rows.CheckNoneChangedOrDeleted(*book.db);
            else
                rows.CheckUnchanged(*book.db);
            return false;
        } catch (const UpdateConflict& conflict) {
            EXPECT_STREQ(conflict.what(), "此筆資料已被其他使用者變更，請重新讀取");
            return true;
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        other->Execute("DELETE FROM 帳目");
        other->Execute("INSERT INTO 帳目 (名稱, 金額) VALUES ('甲', 100), ('乙', 200)");
        ShownRows rows = shown();
        other->Execute(c.change);
        EXPECT_TRUE(conflicts(rows, false));
        EXPECT_EQ(conflicts(rows, true), !c.allowedWhenOnlyAdding);
        rows.Reread(*book.db);
        EXPECT_FALSE(conflicts(rows, false));
    }
    EXPECT_NO_THROW(ShownRows().CheckUnchanged(*book.db));
}

}  // namespace
}  // namespace kiv::test

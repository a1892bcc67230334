#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/db/TestBook.h"

using namespace kiv;
using namespace kiv::test;

namespace {

using Rows = std::vector<std::string>;

std::string rowOf(const Recordset& rs) {
    return rs.Fields("名稱").text() + " " + rs.Fields("金額").text();
}

std::string nameAt(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "n%03d", i);
    return name;
}

// A recordset read forward from its start reads its rows through the query itself, in pages of one
// row, two, four ... up to a whole page; the user action that read it ends the stream, and another
// copy of the program commits. The rows of the page the stream read last, beyond the one stood on,
// were read in the state of the file before that commit.
struct StreamedBook {
    static constexpr int rows = 130;
    StreamedBook() {
        Transaction t(*book.db, TransactionKind::Writes);
        for (int i = 0; i < rows; ++i)
            book.addRow(nameAt(i), i);
        t.Commit();
    }
    Recordset byName() { return book.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱"); }
    // Every row after the one named, as the file now holds them.
    Rows storedAfter(const std::string& name) {
        Rows stored;
        for (auto rs =
                 copyB->OpenRecordset("SELECT * FROM 帳目 WHERE 名稱 > ? ORDER BY 名稱", name);
             !rs.Eof(); rs.MoveNext())
            stored.push_back(rowOf(rs));
        return stored;
    }
    TestBook book;
    std::unique_ptr<Database> copyB = Database::open(book.path, testSchema());
};

// Stood on the first row of a page the stream read (of two rows, of eight, a whole page), the next
// moves show the rows after it as they now stand: a row another copy changed with its new fields, a
// row it deleted not at all, a row it added where it now stands; and back on the first row after
// the one stood on, the position counts in the file as it now is.
TEST(StreamedPage, ARowAnotherCopyChangedOnThePageTheStreamReadShowsAsItNowStands) {
    struct Write {
        const char* what;
        // The write, given the page's first row and its last.
        std::function<void(Database&, int, int)> commit;
    };
    const Write writes[] = {
        {"the next row changed",
         [](Database& db, int first, int) {
             db.Execute("UPDATE 帳目 SET 金額 = 999 WHERE 名稱 = ?", nameAt(first + 1));
         }},
        {"the page's last row changed",
         [](Database& db, int, int last) {
             db.Execute("UPDATE 帳目 SET 金額 = 999 WHERE 名稱 = ?", nameAt(last));
         }},
        {"the next row deleted",
         [](Database& db, int first, int) {
             db.Execute("DELETE FROM 帳目 WHERE 名稱 = ?", nameAt(first + 1));
         }},
        {"a row added after the one stood on",
         [](Database& db, int first, int) {
             db.Execute("INSERT INTO 帳目 (名稱, 金額) VALUES (?, 999)", nameAt(first) + "a");
         }},
        {"the first row deleted and the next row changed",
         [](Database& db, int first, int) {
             Transaction t(db, TransactionKind::Writes);
             db.Execute("DELETE FROM 帳目 WHERE 名稱 = ?", nameAt(0));
             db.Execute("UPDATE 帳目 SET 金額 = 999 WHERE 名稱 = ?", nameAt(first + 1));
             t.Commit();
         }},
    };
    // The stream's pages begin at the rows 2, 4, 8 ... 64, 128: each case stands on the first row
    // of one.
    for (const int first : {2, 8, 64}) {
        const int last = first < 64 ? 2 * first - 1 : first + 63;
        for (const Write& write : writes) {
            SCOPED_TRACE(nameAt(first) + ": " + write.what);
            StreamedBook book;
            auto rs = book.byName();
            for (int i = 0; i < first; ++i) {
                ASSERT_EQ(rowOf(rs), nameAt(i) + " " + std::to_string(i));
                rs.MoveNext();
            }
            ASSERT_EQ(rowOf(rs), nameAt(first) + " " + std::to_string(first));
            endReadsOfOpenDatabases();

            write.commit(*book.copyB, first, last);
            const Rows now = book.storedAfter(nameAt(first));
            Rows walked;
            for (rs.MoveNext(); !rs.Eof(); rs.MoveNext())
                walked.push_back(rowOf(rs));
            EXPECT_EQ(walked, now);
            rs.Move(-static_cast<int64_t>(walked.size()));
            EXPECT_EQ(rowOf(rs), now.front());
            EXPECT_EQ(rs.AbsolutePosition(), rs.RecordCount() - static_cast<int64_t>(now.size()));
        }
    }
}

}  // namespace

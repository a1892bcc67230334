#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include <sqlite3.h>

#include "platform/db/Database.h"
#include "platform/db/RawAccess.h"
#include "platform/db/Statement.h"
#include "platform/db/WriteFault.h"
#include "tests/db/TestBook.h"

namespace kiv {
namespace {

using test::TempFolder;
using test::TestBook;

Value scalar(Database& db, const Sql& sql, const std::vector<Value>& params = {}) {
    return db.OpenRecordsetWith(sql, params).Fields(0);
}

TEST(DatabaseOpen, ANewFileIsPrivateAndAnExistingOrEmptyOneIsLeftAsItIs) {
    TestBook book;
    struct stat info {};
    ASSERT_EQ(::stat(book.path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // A committed write must survive the machine stopping, not only the program.
    EXPECT_EQ(scalar(*book.db, "PRAGMA synchronous"), Value(2));  // FULL
    book.addRow("甲", 10);
    book.db->Execute("DROP INDEX 帳目_名稱");
    Sql schemaSql = "SELECT group_concat(sql, ';') FROM sqlite_schema";
    std::string before = scalar(*book.db, schemaSql).text();
    book.db = Database::open(book.path, test::testSchema());
    EXPECT_EQ(scalar(*book.db, schemaSql).text(), before);
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目"), Value(1));

    // An empty file is what an interrupted creation leaves.
    std::ofstream(book.folder.file("empty.mdb")).close();
    EXPECT_TRUE(
        Database::open(book.folder.file("empty.mdb"), test::testSchema())->HasTable("帳目"));
}

TEST(DatabaseOpen, ACommittedWriteSurvivesTheProcessBeingKilled) {
    TestBook book;
    book.db.reset();
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto db = Database::open(book.path, test::testSchema());
        Transaction t(*db);
        db->Execute("INSERT INTO 帳目 (名稱, 金額) VALUES (?, ?)", "存活", 1);
        t.Commit();
        ::kill(::getpid(), SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    book.db = Database::open(book.path, test::testSchema());
    EXPECT_EQ(scalar(*book.db, "SELECT 金額 FROM 帳目 WHERE 名稱 = ?", {"存活"}), Value(1));
}

TEST(DatabaseExecute, BindsDatesAsIsoTextBooleansAsNumbersAndNullAsNull) {
    TestBook book;
    book.db->Execute("INSERT INTO 帳目 (名稱, 日期, 已付, 金額) VALUES (?, ?, ?, ?)", "甲",
                     Date::fromYmd(2026, 1, 5), true, nullptr);
    Sql stored = "SELECT 日期 || ' ' || 已付 || ' ' || typeof(金額) FROM 帳目";
    EXPECT_EQ(scalar(*book.db, stored), Value("2026-01-05 1 null"));
    book.db->Execute("UPDATE 帳目 SET 日期 = ?, 金額 = 1", Date::fromYmdHms(2026, 1, 5, 13, 4, 5));
    EXPECT_EQ(scalar(*book.db, stored), Value("2026-01-05 13:04:05 1 integer"));
}

TEST(DatabaseExecute, AFailedStatementCarriesSqlitesMessageAndTheSql) {
    TestBook book;
    try {
        book.db->Execute("UPDATE 沒有這個表 SET x = 1");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos);
        EXPECT_EQ(e.sql(), "UPDATE 沒有這個表 SET x = 1");
    }
    EXPECT_THROW(book.db->Execute("INSERT INTO 帳目 (名稱) VALUES (?)"), DbError);
    EXPECT_THROW(book.db->Execute("DELETE FROM 帳目; DELETE FROM 類別"), DbError);
}

TEST(DatabaseExecute, SqlTextHoldingANulIsRefusedAndRunsNothing) {
    TestBook book;
    book.addRow("甲", 1);
    EXPECT_THROW(book.db->Execute("DELETE FROM 帳目\0 WHERE 名稱 = '乙'"), DbError);
    EXPECT_THROW(book.db->OpenRecordset("SELECT * FROM 帳目\0 WHERE 1 = 0"), DbError);
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目"), Value(1));
}

TEST(DatabaseExecute, NamesJoinIntoSqlOnlyWhenTheSchemaOrTheFileHoldsThem) {
    TestBook book;
    book.addRow("甲", 7);
    book.db->Execute("CREATE VIEW 大額 AS SELECT * FROM 帳目 WHERE 金額 > 5");
    Identifier amount = book.db->Field("帳目", "金額");
    EXPECT_EQ(amount.quoted(), "\"金額\"");
    Sql sql = "SELECT " + amount + " FROM " + book.db->Table("大額");
    EXPECT_EQ(sql.text(), "SELECT \"金額\" FROM \"大額\"");
    EXPECT_EQ(scalar(*book.db, sql), Value(7));
    // A copy keeps its own text when the other grows.
    Sql longer = sql;
    longer += " WHERE 1 = 0";
    EXPECT_EQ(sql.text(), "SELECT \"金額\" FROM \"大額\"");
    for (auto name : {"帳目; DROP TABLE 帳目", "沒有", "帳目\" --"})
        EXPECT_THROW(book.db->Table(name), DbError) << name;
    EXPECT_THROW(book.db->Field("帳目", "金額 FROM 類別 --"), DbError);
    EXPECT_THROW(book.db->OpenTable("沒有"), DbError);
}

// What a statement raises: "unique", "error" or "none".
template <class F>
std::string refusal(F statement) {
    try {
        statement();
    } catch (const UniqueViolation&) {
        return "unique";
    } catch (const DbError&) {
        return "error";
    }
    return "none";
}

TEST(DatabaseExecute, ADuplicateKeyIsAUniqueViolationAndOtherRefusalsAreNot) {
    TestBook book;
    book.addRow("abc", 1);
    // Text keys compare without regard to case, as the old engine's unique indexes did.
    EXPECT_EQ(refusal([&] { book.addRow("ABC", 2); }), "unique");
    EXPECT_EQ(refusal([&] { book.db->Execute("INSERT INTO 帳目 (名稱, 已付) VALUES ('丙', 2)"); }),
              "error");

    FieldDef id = test::field("id", FieldKind::Integer);
    id.primaryKey = true;
    Schema cashBook;
    cashBook.tables.push_back({"cash", {id}});
    auto cash = Database::open(book.folder.file("cash.mdb"), cashBook);
    cash->Execute("INSERT INTO cash (id) VALUES (1)");
    EXPECT_EQ(refusal([&] { cash->Execute("INSERT INTO cash (id) VALUES (1)"); }), "unique");
}

TEST(DatabaseText, EqualsIgnoresLetterCaseAndQuotesAndChineseRoundTrip) {
    TestBook book;
    std::string tricky = "O'Brien \"王小明\"'); DROP TABLE 帳目; --";
    book.addRow(tricky, 1);
    book.addRow("Wren", 2);
    EXPECT_EQ(scalar(*book.db, "SELECT 名稱 FROM 帳目 WHERE 名稱 = ?", {tricky}), Value(tricky));
    EXPECT_EQ(scalar(*book.db, "SELECT 金額 FROM 帳目 WHERE 名稱 = ?", {"wREN"}), Value(2));
    // A field declared exact compares exactly.
    book.db->Execute("UPDATE 帳目 SET 備註 = 'Pass' WHERE 名稱 = 'Wren'");
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目 WHERE 備註 = ?", {"pass"}), Value(0));
}

TEST(DatabaseFields, AnAddedFieldIsLastAndEveryExistingRowTakesItsDefault) {
    TestBook book;
    EXPECT_TRUE(book.db->HasTable("帳目"));
    EXPECT_FALSE(book.db->HasField("帳目", "AccS"));
    book.addRow("甲", 1);
    book.addRow("乙", 2);
    FieldDef rights = test::field("AccS", FieldKind::Integer);
    rights.defaultSql = "1";
    book.db->AddField("帳目", rights);
    book.db->AddField("帳目", test::field("停用", FieldKind::Boolean));

    EXPECT_TRUE(book.db->HasField("帳目", "accs"));
    EXPECT_EQ(
        book.db->FieldNames("帳目"),
        (std::vector<std::string>{"名稱", "金額", "比率", "日期", "已付", "備註", "AccS", "停用"}));
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目 WHERE AccS = 1 AND 停用 = 0"), Value(2));
    EXPECT_EQ(scalar(*book.db, "SELECT 停用 FROM 帳目"), Value(false));
}

class DatabaseTransaction : public ::testing::Test {
  protected:
    TestBook book;
    int64_t rows() { return scalar(*book.db, "SELECT count(*) FROM 帳目").wholeNumber(); }
};

TEST_F(DatabaseTransaction, RolledBackAbandonedAndInnerRolledBackWritesLeaveNothing) {
    {
        Transaction abandoned(*book.db, true);
        book.addRow("甲", 1);
    }
    EXPECT_EQ(rows(), 0);
    Transaction outer(*book.db);
    book.addRow("外", 1);
    // A refused statement leaves the transaction usable.
    EXPECT_THROW(book.addRow("外", 2), UniqueViolation);
    {
        Transaction inner(*book.db);
        book.addRow("內一", 2);
        inner.Rollback();
    }
    {
        Transaction inner(*book.db);
        book.addRow("內二", 3);
        inner.Commit();
    }
    EXPECT_EQ(rows(), 2);
    outer.Rollback();
    EXPECT_EQ(rows(), 0);
}

// A form holds its transaction across the modal show of another form that opens its own.
TEST_F(DatabaseTransaction, NestingHoldsAcrossCallsAndAnOuterRollbackEndsTheInnerOnes) {
    auto outer = std::make_unique<Transaction>(*book.db);
    book.addRow("外", 1);
    auto inner = std::make_unique<Transaction>(*book.db);
    book.addRow("內", 2);
    EXPECT_THROW(outer->Commit(), DbError);
    inner->Commit();
    outer->Commit();
    EXPECT_EQ(rows(), 2);

    outer = std::make_unique<Transaction>(*book.db);
    inner = std::make_unique<Transaction>(*book.db);
    book.addRow("丙", 3);
    outer->Rollback();
    EXPECT_THROW(inner->Commit(), DbError);
    inner.reset();
    outer.reset();
    EXPECT_EQ(rows(), 2);
    Transaction next(*book.db);
    book.addRow("丁", 4);
    next.Commit();
    EXPECT_EQ(rows(), 3);
}

TEST(FullText, EveryFieldButTheSkippedOnesWithTheUsersWildcardsOnly) {
    TestBook book;
    for (const char* name : {"100%", "A_B", "AxB", "AxxB", "O'Neil", "c\\d"})
        book.addRow(name, 5, Date::fromYmd(2026, 1, 5));
    book.db->Execute("UPDATE 帳目 SET 備註 = '秘密' WHERE 名稱 = 'AxB'");
    auto search = [&](std::string_view text, std::vector<std::string> skip = {}) {
        auto condition = book.db->FullTextCondition("帳目", text, skip);
        auto rs = book.db->OpenRecordsetWith(
            "SELECT 名稱 FROM 帳目 WHERE " + condition.sql + " ORDER BY 名稱", condition.params);
        std::string names;
        for (; !rs.Eof(); rs.MoveNext())
            names += rs.Fields(0).text() + " ";
        return names;
    };
    EXPECT_EQ(search("0%"), "100% ");
    EXPECT_EQ(search("A_B"), "A_B ");
    EXPECT_EQ(search("c\\"), "c\\d ");
    EXPECT_EQ(search("O'Neil"), "O'Neil ");
    EXPECT_EQ(search("A?B"), "A_B AxB ");
    EXPECT_EQ(search("A*B"), "A_B AxB AxxB ");
    EXPECT_EQ(search("2026-01"), search("*"));
    EXPECT_EQ(search("秘密"), "AxB ");
    EXPECT_EQ(search("秘密", {"備註"}), "");
    // The daily number's prefix is taken literally.
    EXPECT_EQ(likePrefix("5%_\\*"), "5\\%\\_\\\\*%");
}

TEST(FullText, ASearchTextLongerThanSqliteCanMatchIsRefusedWithAMessage) {
    TestBook book;
    book.addRow("甲", 1);
    // The longest text allowed, in characters that take the most bytes, still runs in SQLite.
    std::string longest;
    for (size_t i = 0; i < likeTextLimit; ++i)
        longest += "\xF0\x9F\x98\x80";
    auto condition = book.db->FullTextCondition("帳目", longest);
    EXPECT_EQ(
        scalar(*book.db, "SELECT count(*) FROM 帳目 WHERE " + condition.sql, condition.params),
        Value(0));
    for (const std::string& text :
         {std::string(50000, 'a'), std::string(likeTextLimit + 1, '%'), longest + "x"}) {
        try {
            book.db->FullTextCondition("帳目", text);
            ADD_FAILURE() << text.size();
        } catch (const DbError& error) {
            EXPECT_EQ(std::string(error.what()), "搜尋文字過長，最多 12000 個字");
        }
        EXPECT_THROW(likePrefix(text), DbError);
    }
}

TEST(WriteFault, TheChosenWriteOrTheCommitFailsAndTheTransactionLeavesNothing) {
    TestBook book;
    auto count = [&] { return scalar(*book.db, "SELECT count(*) FROM 帳目").wholeNumber(); };
    writefault::failWrite(2);
    {
        Transaction t(*book.db, true);
        book.addRow("甲", 1);
        EXPECT_THROW(book.addRow("乙", 2), DbError);
    }
    EXPECT_EQ(count(), 0);
    // The switch fires once: the same action then succeeds.
    book.addRow("丙", 3);
    EXPECT_EQ(writefault::writesCounted(), 3);

    writefault::failCommit();
    {
        Transaction t(*book.db);
        book.addRow("丁", 4);
        EXPECT_THROW(t.Commit(), DbError);
    }
    EXPECT_EQ(count(), 1);

    // An action committing two files in turn fails at its second: the first stays committed.
    TestBook other;
    writefault::failCommit(2);
    {
        Transaction first(*book.db);
        book.addRow("戊", 5);
        first.Commit();
        Transaction second(*other.db);
        other.addRow("己", 6);
        EXPECT_THROW(second.Commit(), DbError);
    }
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(scalar(*other.db, "SELECT count(*) FROM 帳目"), Value(0));
    other.addRow("庚", 7);
    EXPECT_EQ(scalar(*other.db, "SELECT count(*) FROM 帳目"), Value(1));
    writefault::clear();
}

// The error's text, or "" when none was raised.
template <class F>
std::string errorText(F action) {
    try {
        action();
    } catch (const DbError& error) {
        return error.what();
    }
    return "";
}

TEST(DatabaseErrors, FailuresOfTheFileNameItInChineseAndKeepSqlitesWordsBelow) {
    for (auto [code, expected] :
         {std::pair{SQLITE_CORRUPT, "acc.mdb 已損毀，無法讀取\nwhat SQLite said"},
          {SQLITE_NOTADB, "acc.mdb 已損毀，無法讀取\nwhat SQLite said"},
          {SQLITE_READONLY_DBMOVED, "acc.mdb 為唯讀，無法存檔\nwhat SQLite said"},
          {SQLITE_CANTOPEN, "無法開啟資料庫 acc.mdb\nwhat SQLite said"},
          {SQLITE_BUSY_SNAPSHOT, "acc.mdb 正由另一個程式寫入中，請稍後再試\nwhat SQLite said"},
          {SQLITE_LOCKED, "acc.mdb 正由另一個程式寫入中，請稍後再試\nwhat SQLite said"},
          {SQLITE_FULL, "acc.mdb 所在的磁碟已滿，無法存檔\nwhat SQLite said"},
          {SQLITE_IOERR_WRITE, "acc.mdb 讀寫失敗，磁碟或檔案系統發生錯誤\nwhat SQLite said"},
          {SQLITE_IOERR_FSYNC, "acc.mdb 讀寫失敗，磁碟或檔案系統發生錯誤\nwhat SQLite said"},
          {SQLITE_ERROR, "what SQLite said"}})
        EXPECT_EQ(fileFailureMessage(code, "acc.mdb", "what SQLite said"), expected) << code;
}

TEST(DatabaseErrors, AJunkFileAMissingFolderAndALockedFileAreNamedToTheUser) {
    TempFolder folder;
    std::ofstream(folder.file("acc.mdb")) << std::string(4096, 'x');
    EXPECT_EQ(errorText([&] { Database::open(folder.file("acc.mdb"), test::testSchema()); }),
              "acc.mdb 已損毀，無法讀取\nfile is not a database");
    std::string missing =
        errorText([&] { Database::open(folder.file("gone/pt.mdb"), test::testSchema()); });
    EXPECT_EQ(missing.substr(0, missing.find('\n')), "無法開啟資料庫 pt.mdb");

    auto path = folder.file("zove3.mdb");
    auto holder = Database::open(path, test::testSchema());
    auto waiting = Database::open(path, test::testSchema());
    sqlite3_busy_timeout(RawAccess::handle(*waiting), 20);
    Transaction writing(*holder, true);
    EXPECT_EQ(errorText([&] { waiting->Execute("INSERT INTO 類別 VALUES ('甲', '乙')"); }),
              "zove3.mdb 正由另一個程式寫入中，請稍後再試\ndatabase is locked");
}

// The file may grow no further, as on a full disk: the row that needs a new page is refused.
TEST(DatabaseErrors, AFullDiskNamesTheFileAndStoresNothing) {
    TestBook book;
    book.addRow("甲", 1);
    book.db->Execute("PRAGMA max_page_count = 1");
    std::string text = errorText([&] {
        Transaction t(*book.db);
        book.addRow(std::string(20000, 'x'), 2);
        t.Commit();
    });
    EXPECT_EQ(text, "book.mdb 所在的磁碟已滿，無法存檔\ndatabase or disk is full");
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目"), Value(1));
}

TEST(DatabaseErrors, AWriteToAReadOnlyFileSaysSo) {
    if (::geteuid() == 0) GTEST_SKIP() << "the file's mode does not stop root from writing";
    TempFolder folder;
    auto path = folder.file("acc.mdb");
    Database::open(path, test::testSchema()).reset();
    ::chmod(path.c_str(), 0400);
    std::string text = errorText([&] {
        Database::open(path, test::testSchema())->Execute("INSERT INTO 類別 VALUES ('甲', '乙')");
    });
    EXPECT_EQ(text.substr(0, text.find('\n')), "acc.mdb 為唯讀，無法存檔");
}

}  // namespace
}  // namespace kiv

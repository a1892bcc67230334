#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "platform/db/Database.h"
#include "tests/db/TestBook.h"

namespace kiv {
namespace {

using test::TempFolder;
using test::TestBook;

Value scalar(Database& db, std::string_view sql, const std::vector<Value>& params = {}) {
    return db.OpenRecordsetWith(sql, params).Fields(0);
}

TEST(DatabaseOpen, CreatesAPrivateFileWithTheSchemaVersionAndTheWriteAheadLog) {
    TestBook book;
    struct stat info {};
    ASSERT_EQ(::stat(book.path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(scalar(*book.db, "PRAGMA user_version"), Value(1));
    EXPECT_EQ(scalar(*book.db, "PRAGMA journal_mode"), Value("wal"));
    EXPECT_EQ(scalar(*book.db, "PRAGMA foreign_keys"), Value(1));
    EXPECT_EQ(scalar(*book.db, "PRAGMA synchronous"), Value(2));  // FULL
}

TEST(DatabaseOpen, OpeningAnExistingFileChangesNothing) {
    TestBook book;
    book.addRow("甲", 10);
    book.db->Execute("DROP INDEX 帳目_名稱");
    std::string schemaBefore =
        scalar(*book.db, "SELECT group_concat(sql, ';') FROM sqlite_schema").text();
    book.db.reset();

    book.db = Database::open(book.path, test::testSchema());
    EXPECT_EQ(scalar(*book.db, "SELECT group_concat(sql, ';') FROM sqlite_schema").text(),
              schemaBefore);
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目"), Value(1));
}

TEST(DatabaseOpen, AnEmptyFileLeftByAnInterruptedCreationReceivesTheSchema) {
    TempFolder folder;
    std::ofstream(folder.file("book.mdb")).close();
    auto db = Database::open(folder.file("book.mdb"), test::testSchema());
    EXPECT_TRUE(db->HasTable("帳目"));
}

TEST(DatabaseOpen, AFileThatIsNoDatabaseIsReported) {
    TempFolder folder;
    std::ofstream(folder.file("book.mdb")) << std::string(4096, 'x');
    EXPECT_THROW(Database::open(folder.file("book.mdb"), test::testSchema()), DbError);
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
    book.db->Execute("INSERT INTO 帳目 (名稱, 日期) VALUES (?, ?)", "乙",
                     Date::fromYmdHms(2026, 1, 5, 13, 4, 5));
    auto rs = book.db->OpenRecordset(
        "SELECT CAST(日期 AS TEXT), CAST(已付 AS TEXT), typeof(金額) FROM 帳目 ORDER BY rowid");
    EXPECT_EQ(rs.Fields(0), Value("2026-01-05"));
    EXPECT_EQ(rs.Fields(1), Value("1"));
    EXPECT_EQ(rs.Fields(2), Value("null"));
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(0), Value("2026-01-05 13:04:05"));
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

TEST(DatabaseExecute, ADuplicateKeyIsAUniqueViolationAndOtherRefusalsAreNot) {
    TestBook book;
    book.addRow("甲", 1);
    EXPECT_THROW(book.addRow("甲", 2), UniqueViolation);
    // Text keys compare without regard to case, as the old engine's unique indexes did.
    book.addRow("abc", 1);
    EXPECT_THROW(book.addRow("ABC", 2), UniqueViolation);

    TempFolder folder;
    Schema cashBook;
    FieldDef id;
    id.name = "id";
    id.kind = FieldKind::Integer;
    id.primaryKey = true;
    cashBook.tables.push_back({"cash", {id}});
    auto db = Database::open(folder.file("cash.mdb"), cashBook);
    db->Execute("INSERT INTO cash (id) VALUES (1)");
    EXPECT_THROW(db->Execute("INSERT INTO cash (id) VALUES (1)"), UniqueViolation);

    try {
        book.db->Execute("INSERT INTO 帳目 (名稱, 已付) VALUES (?, ?)", "丙", 2);
        FAIL();
    } catch (const UniqueViolation&) {
        FAIL();
    } catch (const DbError&) {
    }
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

TEST(DatabaseFields, TablesAndFieldsAreFoundWithoutRegardToCase) {
    TestBook book;
    EXPECT_TRUE(book.db->HasTable("帳目"));
    EXPECT_FALSE(book.db->HasTable("帳"));
    EXPECT_TRUE(book.db->HasField("帳目", "日期"));
    EXPECT_FALSE(book.db->HasField("帳目", "AccS"));
    EXPECT_EQ(book.db->FieldNames("帳目"),
              (std::vector<std::string>{"名稱", "金額", "比率", "日期", "已付", "備註"}));
    EXPECT_TRUE(book.db->FieldNames("沒有").empty());
}

TEST(DatabaseFields, AnAddedFieldIsLastAndEveryExistingRowTakesItsDefault) {
    TestBook book;
    book.addRow("甲", 1);
    book.addRow("乙", 2);
    FieldDef rights;
    rights.name = "AccS";
    rights.kind = FieldKind::Integer;
    rights.defaultSql = "1";
    book.db->AddField("帳目", rights);
    FieldDef flag;
    flag.name = "停用";
    flag.kind = FieldKind::Boolean;
    book.db->AddField("帳目", flag);

    EXPECT_TRUE(book.db->HasField("帳目", "accs"));
    auto names = book.db->FieldNames("帳目");
    ASSERT_EQ(names.size(), 8u);
    EXPECT_EQ(names[6], "AccS");
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目 WHERE AccS = 1 AND 停用 = 0"), Value(2));
    // The new field reads back by its kind.
    EXPECT_EQ(scalar(*book.db, "SELECT 停用 FROM 帳目"), Value(false));
}

class DatabaseTransaction : public ::testing::Test {
  protected:
    TestBook book;
    int64_t rows() { return scalar(*book.db, "SELECT count(*) FROM 帳目").wholeNumber(); }
};

TEST_F(DatabaseTransaction, ARolledBackOrAbandonedTransactionLeavesNothing) {
    {
        Transaction t(*book.db);
        book.addRow("甲", 1);
        book.addRow("乙", 2);
        t.Rollback();
    }
    EXPECT_EQ(rows(), 0);
    {
        Transaction t(*book.db, true);
        book.addRow("甲", 1);
    }
    EXPECT_EQ(rows(), 0);
    {
        Transaction t(*book.db);
        book.addRow("甲", 1);
        t.Commit();
    }
    EXPECT_EQ(rows(), 1);
}

TEST_F(DatabaseTransaction, InnerTransactionsAreSavepoints) {
    Transaction outer(*book.db);
    book.addRow("外", 1);
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

TEST_F(DatabaseTransaction, AUniqueViolationInsideLeavesTheTransactionUsable) {
    Transaction t(*book.db);
    book.addRow("甲", 1);
    EXPECT_THROW(book.addRow("甲", 2), UniqueViolation);
    book.addRow("乙", 2);
    t.Commit();
    EXPECT_EQ(rows(), 2);
}

class FullText : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"100%", "1000", "A_B", "AxB", "AxxB", "O'Neil", "c\\d"})
            book.addRow(name, 5, Date::fromYmd(2026, 1, 5));
        book.db->Execute("UPDATE 帳目 SET 備註 = '秘密' WHERE 名稱 = 'AxB'");
    }
    std::vector<std::string> search(std::string_view text, std::vector<std::string> skip = {}) {
        auto condition = book.db->FullTextCondition("帳目", text, skip);
        auto rs = book.db->OpenRecordsetWith(
            "SELECT 名稱 FROM 帳目 WHERE " + condition.sql + " ORDER BY 名稱", condition.params);
        std::vector<std::string> names;
        for (; !rs.Eof(); rs.MoveNext())
            names.push_back(rs.Fields(0).text());
        return names;
    }
    TestBook book;
};

TEST_F(FullText, PercentUnderscoreAndBackslashMatchThemselves) {
    EXPECT_EQ(search("0%"), (std::vector<std::string>{"100%"}));
    EXPECT_EQ(search("A_B"), (std::vector<std::string>{"A_B"}));
    EXPECT_EQ(search("c\\"), (std::vector<std::string>{"c\\d"}));
    EXPECT_EQ(search("O'Neil"), (std::vector<std::string>{"O'Neil"}));
}

TEST_F(FullText, StarAndQuestionMarkAreWildcards) {
    EXPECT_EQ(search("A?B"), (std::vector<std::string>{"A_B", "AxB"}));
    EXPECT_EQ(search("A*B"), (std::vector<std::string>{"A_B", "AxB", "AxxB"}));
    EXPECT_EQ(search("*").size(), 7u);
}

TEST_F(FullText, EveryFieldIsSearchedAsStoredTextButTheSkippedOnes) {
    EXPECT_EQ(search("2026-01").size(), 7u);
    EXPECT_EQ(search("秘密"), (std::vector<std::string>{"AxB"}));
    EXPECT_TRUE(search("秘密", {"備註"}).empty());
    EXPECT_TRUE(search("無此字").empty());
}

TEST(LikePatterns, PrefixIsTakenLiterally) {
    EXPECT_EQ(likePrefix("1150105"), "1150105%");
    EXPECT_EQ(likePrefix("5%_\\*"), "5\\%\\_\\\\*%");
    EXPECT_EQ(likeContains("a*b?%"), "%a%b_\\%%");
}

}  // namespace
}  // namespace kiv

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include <sqlite3.h>

#include "platform/db/Database.h"
#include "platform/db/RawAccess.h"
#include "platform/db/Statement.h"
#include "platform/db/WriteFault.h"
#include "platform/forms/Host.h"
#include "shell/Schema.h"
#include "shell/frmAccMain.h"
#include "tests/db/TestBook.h"
#include "tests/support/ProgramTest.h"

namespace kiv {
namespace {

using test::errorText;
using test::scalar;
using test::TempFolder;
using test::TestBook;

TEST(DatabaseOpen, ANewFileIsPrivateAndSyncedAndAnExistingOrEmptyOneIsLeftAsItIs) {
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
    EXPECT_EQ(book.rows(), 1);
    // An empty file is what an interrupted creation leaves.
    std::ofstream(book.folder.file("empty.mdb")).close();
    EXPECT_TRUE(
        Database::open(book.folder.file("empty.mdb"), test::testSchema())->HasTable("帳目"));

    // A field added to an older file comes last, and every existing row takes its default.
    FieldDef rights = test::field("AccS", FieldKind::Integer);
    rights.defaultSql = "1";
    EXPECT_FALSE(book.db->HasField("帳目", "AccS"));
    book.db->AddField("帳目", rights);
    book.db->AddField("帳目", test::field("停用", FieldKind::Boolean));
    EXPECT_TRUE(book.db->HasField("帳目", "accs"));
    EXPECT_EQ(book.db->FieldNames("帳目").back(), "停用");
    EXPECT_EQ(scalar(*book.db, "SELECT AccS || 停用 FROM 帳目"), Value("10"));
}

TEST(DatabaseExecute, BindsEveryKindAndRefusesAFaultyOrNulHoldingStatement) {
    TestBook book;
    book.db->Execute("INSERT INTO 帳目 (名稱, 日期, 已付, 金額) VALUES (?, ?, ?, ?)", "甲",
                     Date::fromYmd(2026, 1, 5), true, nullptr);
    Sql stored = "SELECT 日期 || ' ' || 已付 || ' ' || typeof(金額) FROM 帳目";
    EXPECT_EQ(scalar(*book.db, stored), Value("2026-01-05 1 null"));
    book.db->Execute("UPDATE 帳目 SET 日期 = ?, 金額 = 1", Date::fromYmdHms(2026, 1, 5, 13, 4, 5));
    EXPECT_EQ(scalar(*book.db, stored), Value("2026-01-05 13:04:05 1 integer"));

    try {
        book.db->Execute("UPDATE 沒有這個表 SET x = 1");
        ADD_FAILURE();
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos);
        EXPECT_EQ(e.sql(), "UPDATE 沒有這個表 SET x = 1");
    }
    EXPECT_THROW(book.db->Execute("INSERT INTO 帳目 (名稱) VALUES (?)"), DbError);
    EXPECT_THROW(book.db->Execute("DELETE FROM 帳目; DELETE FROM 類別"), DbError);
    // What follows a NUL would never reach SQLite.
    EXPECT_THROW(book.db->Execute("DELETE FROM 帳目\0 WHERE 名稱 = '乙'"), DbError);
    EXPECT_THROW(book.db->OpenRecordset("SELECT * FROM 帳目\0 WHERE 1 = 0"), DbError);
    EXPECT_EQ(book.rows(), 1);
}

TEST(DatabaseExecute, NamesJoinIntoSqlOnlyWhenTheSchemaOrTheFileHoldsThem) {
    TestBook book;
    book.addRow("甲", 7);
    book.db->Execute("CREATE VIEW 大額 AS SELECT * FROM 帳目 WHERE 金額 > 5");
    Sql sql = "SELECT " + book.db->Field("帳目", "金額") + " FROM " + book.db->Table("大額");
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

// The statements the connection holds prepared with exactly this text.
int preparedCopies(Database& db, const char* sql) {
    int copies = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(RawAccess::handle(db), nullptr); s;
         s = sqlite3_next_stmt(RawAccess::handle(db), s))
        copies += std::string(sqlite3_sql(s)) == sql;
    return copies;
}

// A statement run again, an Execute or a query read whole, is the one prepared before, with
// its values bound anew; a field added since changes what "*" names, so it is prepared again.
TEST(DatabaseExecute, StatementsRunAgainArePreparedOnceAndFollowANewField) {
    TestBook book;
    static constexpr char insert[] = "INSERT INTO 類別 (名稱, 類) VALUES (?, ?)";
    static constexpr char joined[] =
        "SELECT * FROM 類別 JOIN 帳目 ON 帳目.名稱 = 類別.名稱 WHERE 類別.類 = ?";
    int row = 0;
    for (const char* kind : {"甲", "乙", "甲"}) {
        const std::string name = kind + std::to_string(++row);
        book.db->Execute(insert, name, kind);
        book.addRow(name, 1);
    }
    EXPECT_EQ(preparedCopies(*book.db, insert), 1);
    EXPECT_EQ(book.db->OpenRecordset(joined, "甲").RecordCount(), 2);
    EXPECT_EQ(book.db->OpenRecordset(joined, "乙").RecordCount(), 1);
    EXPECT_EQ(preparedCopies(*book.db, joined), 1);
    EXPECT_EQ(book.db->OpenRecordset(joined, "乙").FieldCount(), 8);
    book.db->AddField("類別", test::field("新欄"));
    auto widened = book.db->OpenRecordset(joined, "乙");
    EXPECT_EQ(widened.FieldCount(), 9);
    EXPECT_TRUE(widened.Fields("新欄").isNull());
    EXPECT_EQ(book.db->Execute("UPDATE 類別 SET 新欄 = ? WHERE 類 = ?", "x", "甲"), 2);
    EXPECT_EQ(book.db->Execute("UPDATE 類別 SET 新欄 = ? WHERE 類 = ?", "y", "丙"), 0);
}

// A list of one column comes back in the query's order, Null as "", a number as its digits; a
// statement that writes is no list and writes nothing.
TEST(DatabaseExecute, ColumnTextsListTheFirstColumnAndRefuseAWrite) {
    TestBook book;
    book.addRow("乙", 12);
    book.addRow("甲", Value());
    book.addRow("丙", 3);
    using Texts = std::vector<std::string>;
    EXPECT_EQ(book.db->ColumnTexts("SELECT 名稱 FROM 帳目 ORDER BY 金額"),
              (Texts{"甲", "丙", "乙"}));
    EXPECT_EQ(book.db->ColumnTexts("SELECT 金額 FROM 帳目 WHERE 名稱 <> ? ORDER BY rowid", "丙"),
              (Texts{"12", ""}));
    EXPECT_EQ(book.db->ColumnTexts("SELECT 名稱 FROM 帳目 WHERE 0"), Texts{});
    EXPECT_THROW(book.db->ColumnTexts("DELETE FROM 帳目 RETURNING 名稱"), DbError);
    EXPECT_EQ(book.rows(), 3);
}

TEST(DatabaseText, QuotesAreValuesAndTextKeysCompareWithoutCaseUnlessExact) {
    TestBook book;
    std::string tricky = "O'Brien \"王小明\"'); DROP TABLE 帳目; --";
    book.addRow(tricky, 1);
    book.addRow("Wren", 2);
    EXPECT_EQ(scalar(*book.db, "SELECT 名稱 FROM 帳目 WHERE 名稱 = ?", {tricky}), Value(tricky));
    EXPECT_EQ(scalar(*book.db, "SELECT 金額 FROM 帳目 WHERE 名稱 = ?", {"wREN"}), Value(2));
    book.db->Execute("UPDATE 帳目 SET 備註 = 'Pass' WHERE 名稱 = 'Wren'");
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目 WHERE 備註 = ?", {"pass"}), Value(0));

    // Unique text keys compare without regard to case, as the old engine's indexes did; only a
    // duplicate key is a UniqueViolation.
    EXPECT_EQ(errorText([&] { book.addRow("WREN", 3); }), "unique");
    std::string notAKey =
        errorText([&] { book.db->Execute("INSERT INTO 帳目 (名稱, 已付) VALUES ('丙', 2)"); });
    EXPECT_FALSE(notAKey.empty() || notAKey == "unique") << notAKey;
    FieldDef id = test::field("id", FieldKind::Integer);
    id.primaryKey = true;
    Schema cashBook;
    cashBook.tables.push_back({"cash", {id}});
    auto cash = Database::open(book.folder.file("cash.mdb"), cashBook);
    cash->Execute("INSERT INTO cash (id) VALUES (1)");
    EXPECT_EQ(errorText([&] { cash->Execute("INSERT INTO cash (id) VALUES (1)"); }), "unique");
}

// A form holds its transaction across the modal show of another form that opens its own: inner
// transactions nest, and an outer rollback ends them.
TEST(DatabaseTransaction, AbandonedAndRolledBackWritesLeaveNothingAndNestingHolds) {
    TestBook book;
    {
        Transaction abandoned(*book.db, TransactionKind::Writes);
        book.addRow("甲", 1);
    }
    EXPECT_EQ(book.rows(), 0);
    auto outer = std::make_unique<Transaction>(*book.db, TransactionKind::Writes);
    book.addRow("外", 1);
    // A refused statement leaves the transaction usable.
    EXPECT_THROW(book.addRow("外", 2), UniqueViolation);
    auto inner = std::make_unique<Transaction>(*book.db, TransactionKind::Writes);
    book.addRow("內一", 2);
    EXPECT_THROW(outer->Commit(), DbError);
    inner->Rollback();
    inner = std::make_unique<Transaction>(*book.db, TransactionKind::Writes);
    book.addRow("內二", 3);
    inner->Commit();
    EXPECT_EQ(book.rows(), 2);
    outer->Rollback();
    EXPECT_EQ(book.rows(), 0);

    outer = std::make_unique<Transaction>(*book.db, TransactionKind::Writes);
    inner = std::make_unique<Transaction>(*book.db, TransactionKind::Writes);
    book.addRow("丙", 3);
    inner->Commit();
    outer->Commit();
    outer = std::make_unique<Transaction>(*book.db, TransactionKind::Writes);
    inner = std::make_unique<Transaction>(*book.db, TransactionKind::Writes);
    book.addRow("丁", 4);
    outer->Rollback();
    EXPECT_THROW(inner->Commit(), DbError);
    inner.reset();
    outer.reset();
    EXPECT_EQ(book.rows(), 1);
    Transaction next(*book.db, TransactionKind::Writes);
    book.addRow("戊", 5);
    next.Commit();
    EXPECT_EQ(book.rows(), 2);
}

// A form keeps the count of its last look and reads again only when it moved: it stands while
// nothing is written, even with another copy reading, and moves for another copy's commit (seen
// also past a read this copy left running) and for this copy's own write.
TEST(DatabaseLook, TheChangesSoFarMoveOnlyWhenTheFileChanged) {
    TestBook copyA;
    auto copyB = Database::open(copyA.path, test::testSchema());
    for (int i = 0; i < 3; ++i)
        copyA.addRow("甲" + std::to_string(i), i);
    const uint64_t first = copyA.db->ChangesSoFar();
    scalar(*copyB, "SELECT count(*) FROM 帳目");
    EXPECT_EQ(copyA.db->ChangesSoFar(), first);

    Recordset running = copyA.db->OpenRecordset("SELECT * FROM 帳目 ORDER BY 名稱");
    running.MoveNext();
    copyB->Execute("INSERT INTO 帳目 (名稱) VALUES ('乙')");
    const uint64_t afterB = copyA.db->ChangesSoFar();
    EXPECT_NE(afterB, first);
    EXPECT_EQ(copyA.db->ChangesSoFar(), afterB);

    copyA.addRow("丙", 1);
    EXPECT_NE(copyA.db->ChangesSoFar(), afterB);
}

// The user's wildcards are * and ?; SQL's own are taken literally.
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
    const std::pair<const char*, const char*> cases[] = {
        {"0%", "100% "},     {"A_B", "A_B "},          {"c\\", "c\\d "}, {"O'Neil", "O'Neil "},
        {"A?B", "A_B AxB "}, {"A*B", "A_B AxB AxxB "}, {"秘密", "AxB "}};
    for (auto [text, found] : cases)
        EXPECT_EQ(search(text), found) << text;
    EXPECT_EQ(search("2026-01"), search("*"));
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
        EXPECT_EQ(errorText([&] { book.db->FullTextCondition("帳目", text); }),
                  "搜尋文字過長，最多 12000 個字")
            << text.size();
        EXPECT_THROW(likePrefix(text), DbError);
    }
}

// The switch fires once: the same action then succeeds. An action committing two files in turn
// fails at its second, and the first stays committed.
TEST(WriteFault, TheChosenWriteOrCommitFailsOnceAndTheTransactionLeavesNothing) {
    TestBook book, other;
    writefault::failWrite(2);
    EXPECT_THROW(
        {
            Transaction t(*book.db, TransactionKind::Writes);
            book.addRow("甲", 1);
            book.addRow("乙", 2);
        },
        DbError);
    book.addRow("丙", 3);
    EXPECT_EQ(writefault::writesCounted(), 3);
    EXPECT_EQ(book.rows(), 1);
    writefault::failCommit(2);
    Transaction first(*book.db, TransactionKind::Writes);
    book.addRow("丁", 4);
    first.Commit();
    Transaction second(*other.db, TransactionKind::Writes);
    other.addRow("戊", 5);
    EXPECT_THROW(second.Commit(), DbError);
    EXPECT_EQ(book.rows(), 2);
    EXPECT_EQ(other.rows(), 0);
    writefault::clear();
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
    Transaction writing(*holder, TransactionKind::Writes);
    EXPECT_EQ(errorText([&] { waiting->Execute("INSERT INTO 類別 VALUES ('甲', '乙')"); }),
              "zove3.mdb 正由另一個程式寫入中，請稍後再試\ndatabase is locked");
}

// The file may grow no further, as on a full disk: the row that needs a new page is refused.
TEST(DatabaseErrors, AFullDiskNamesTheFileAndStoresNothing) {
    TestBook book;
    book.addRow("甲", 1);
    book.db->Execute("PRAGMA max_page_count = 1");
    std::string text = errorText([&] {
        Transaction t(*book.db, TransactionKind::Writes);
        book.addRow(std::string(20000, 'x'), 2);
        t.Commit();
    });
    EXPECT_EQ(text, "book.mdb 所在的磁碟已滿，無法存檔\ndatabase or disk is full");
    EXPECT_EQ(book.rows(), 1);
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

// The program ends in failure with the file's name in the message.
TEST(ProgramDatabases, ADamagedBookAtStartIsNamedAndTheProgramEndsWithoutItsBooks) {
    TempFolder folder;
    std::ofstream(folder.file("acc.mdb")) << std::string(4096, 'x');
    TestHost host;
    setProgramFolder(folder.file(""));
    ResetSharedState();
    registerShellForms();
    host.expectMessage("acc.mdb 已損毀，無法讀取\nfile is not a database");
    EXPECT_THROW(host.act([] { Forms::get<frmAccMain>(); }), ProgramEnded);
    EXPECT_FALSE(DatabasesOpen());
    EXPECT_EQ(programExitStatus(), 1);
    Forms::discardAll();
    Forms::forgetRegistrations();
    CloseDatabases();
    setProgramFolder("");
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each page of a book of 400 vouchers zeroed in turn, as a failing disk returns it. Most pages
// are none that a save reads, and SQLite alone would write into the file; the save (as the voucher
// form's, with its word) is refused with the file's name and the file stays as it was, byte for
// byte. (A zeroed first page, the file's header, is refused at the start: see above.)
TEST(ProgramDatabases, NoSaveWritesIntoABookWithADamagedPage) {
    TempFolder folder;
    const std::string path = folder.file("acc.mdb");
    {
        auto acc = Database::open(path, accSchema());
        Transaction fill(*acc, TransactionKind::Writes);
        for (int i = 0; i < 400; ++i)
            acc->Execute(
                "INSERT INTO iof (發生日期, 單號, 用途說明, 方式, 金額, 科目名稱, 專案名稱) VALUES "
                "('2026-11-20', printf('11511%05d', ?1), '工地材料' || ?1, ?1 % 4, ?1, '材料費', "
                "'大樓新建工程')",
                i);
        fill.Commit();
    }
    const std::string sound = fileBytes(path);
    constexpr size_t PageSize = 4096;
    ASSERT_EQ(sound.size() % PageSize, 0u);
    const size_t pages = sound.size() / PageSize;
    ASSERT_GT(pages, 40u);
    for (size_t page = 2; page <= pages; ++page) {
        std::string damaged = sound;
        std::fill_n(damaged.begin() + (page - 1) * PageSize, PageSize, '\0');
        std::ofstream(path, std::ios::binary | std::ios::trunc) << damaged;
        std::string refusal = errorText([&] {
            auto acc = Database::open(path, accSchema());
            Transaction save(*acc, TransactionKind::Writes);
            acc->Execute(
                "INSERT INTO iof (發生日期, 單號, 用途說明, 方式, 金額) VALUES ('2026-12-06', "
                "'1151206001', '新的一筆', -1, 500)");
            acc->Execute("INSERT INTO use VALUES (1, '新的一筆')");
            save.Commit();
        });
        EXPECT_EQ(refusal.substr(0, refusal.find('\n')), "acc.mdb 已損毀，無法讀取") << page;
        EXPECT_TRUE(fileBytes(path) == damaged) << page;
    }
}

// Browsing the voucher form refills the print tables at every step: only they skip the sync.
TEST(ProgramDatabases, OnlyThePrintTablesSkipTheSyncAndFieldsRefuseWhatTheyCannotHold) {
    TempFolder folder;
    test::ProgramInFolder program(folder);
    EXPECT_EQ(scalar(PrintDb(), "PRAGMA synchronous"), Value(0));
    EXPECT_EQ(scalar(AccDb(), "PRAGMA synchronous"), Value(2));
    EXPECT_EQ(scalar(PeopleDb(), "PRAGMA synchronous"), Value(2));

    Database& acc = AccDb();
    for (const auto& [sql, value] : std::initializer_list<std::pair<Sql, Value>>{
             {Sql("INSERT INTO iof (單號, 方式, 發生日期) VALUES ('1', 0, ?)"), "2026/01/05"},
             {Sql("INSERT INTO iof (單號, 方式, 金額) VALUES ('2', 0, ?)"), "abc"},
             {Sql("INSERT INTO iof (單號, 方式, pay) VALUES ('3', 0, ?)"), 2},
             {Sql("INSERT INTO iof (單號, 方式) VALUES (?, NULL)"), "4"}})
        EXPECT_THROW(acc.Execute(sql, value), DbError) << sql.text();
    acc.Execute("INSERT INTO iof (單號, 方式, 發生日期) VALUES ('5', 0, ?)",
                Date::fromYmd(2026, 1, 5));
    EXPECT_EQ(scalar(acc, "SELECT 單據 FROM iof"), Value(false));
    // "update ri set Let = 0" stores the text "0".
    acc.Execute("INSERT INTO ri (id) VALUES ('115010501')");
    acc.Execute("UPDATE ri SET Let = 0");
    EXPECT_EQ(scalar(acc, "SELECT Let FROM ri"), Value("0"));
    PeopleDb().Execute("INSERT INTO 員工 (中文姓名) VALUES ('王')");
    EXPECT_EQ(scalar(PeopleDb(), "SELECT AccS FROM 員工"), Value(1));
}

// The print tables' bulk path: texts as they stand, Null where asked, only into text fields, and
// all the rows or none.
TEST(DatabaseFields, AppendedTextRowsAreStoredAsTheyStandAndAllOrNone) {
    TestBook book;
    const std::vector<std::vector<std::optional<std::string_view>>> rows = {
        {"甲", ""}, {"乙's \"x\"", std::nullopt}};
    size_t next = 0;
    EXPECT_EQ(book.db->AppendTextRows("帳目", {"名稱", "備註"},
                                      [&](Database::RowTexts& texts) {
                                          if (next == rows.size()) return false;
                                          texts = rows[next++];
                                          return true;
                                      }),
              2);
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目 WHERE 名稱 = '甲' AND 備註 = ''"),
              Value(1));
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目 WHERE 名稱 = ? AND 備註 IS NULL",
                     {"乙's \"x\""}),
              Value(1));

    const auto oneRowThenFail = [calls = 0](Database::RowTexts& texts) mutable {
        if (++calls > 1) throw DbError("讀不到下一列", "", 1);
        texts = {"丙", "丙"};
        return true;
    };
    EXPECT_THROW(book.db->AppendTextRows("帳目", {"名稱", "金額"}, oneRowThenFail), DbError);
    EXPECT_THROW(book.db->AppendTextRows("帳目", {"名稱", "沒有"}, oneRowThenFail), DbError);
    EXPECT_THROW(book.db->AppendTextRows("帳目", {"名稱", "備註"}, oneRowThenFail), DbError);
    EXPECT_EQ(scalar(*book.db, "SELECT count(*) FROM 帳目"), Value(2));
}

}  // namespace
}  // namespace kiv

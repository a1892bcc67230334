#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/db/Database.h"
#include "platform/forms/Host.h"
#include "shell/Schema.h"
#include "shell/frmAccMain.h"
#include "shell/mdM.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TempFolder.h"

namespace kiv {
namespace {

using test::TempFolder;

// The tables of each file, one a line, each followed by its fields in their fixed order, as the
// forms address them; an indented line goes on with the fields of the table above.
const char* const accLayout = R"(
iof 輸入日期 單號 用途說明 方式 金額 科目代號 pay 科目名稱 附註一 附註二 專案號碼 專案名稱
  工程種類 發生日期 申請人 簽收 單據 單據號碼 稅額 進銷 建議方式
iofs 多單號 單號
acc id incom acc
use id use
ps1 id ps
ps2 id ps
tag num 日期 序 科目編號 科目名稱 借貸 摘要 金額
bill 票據號碼 開票日 arDay 到期日 deDay 開銀行 收銀行 開票人 收票人 開帳號 收帳號 金額 新台幣
  收支 收支單號 方式
cash id incom day cash memo lno bala
bank id Bid bank incom day cash memo lno bala
obank bank id user cash
ibank bank id user cash
bbank bank id user ps
prj id prj tCash stday edday cust addr leader designer engineer final sinDay
w4pj pj_id w
ri id 收名稱 簽約日 客戶名 聯絡人 電話 銷貨金額 稅金 佣金 合計 備註 報價單號 合約單號 專名 專id
  w fnLet 無發票 Let
ri期 id 期別 預付金 預付日 佔總價比例 送帳日 發票號碼 實收金 實收日 現金 支票號碼 收支單號 處理
ri加 id 期別 報價單號 合約單號 金額 預付日 送帳日 發票號碼 實收金 實收日 現金 支票號碼 收支單號
  處理
ri減 id 期別 報價單號 合約單號 金額
ro id 收名稱 簽約日 客戶名 聯絡人 電話 銷貨金額 稅金 佣金 合計 備註 報價單號 合約單號 專名 專id
  w fnLet 無發票 Let
ro期 id 期別 預付金 預付日 佔總價比例 送帳日 發票號碼 實收金 實收日 現金 支票號碼 收支單號 處理
ro加 id 期別 報價單號 合約單號 金額 預付日 送帳日 發票號碼 實收金 實收日 現金 支票號碼 收支單號
  處理
ro減 id 期別 報價單號 合約單號 金額
)";

const char* const peopleLayout = R"(
員工 員工編號 中文姓名 英文姓名 部門 身分字號 地址 郵遞區號 電子郵件 住家電話 行動電話 生日
  僱用日期 薪水 緊急連絡人姓名 緊急連絡人電話 備註 權限 pass 職稱 AccS
super super_id super_pass
客戶 客戶編號 客戶名稱 施工地址 連絡人 電話1
廠商 廠商編號 廠商名稱 連絡人 電話1
縣市 id 縣市 區碼
種 t_id t
t2w t w
company co_name co_add co_tel co_fax co_no co_email
)";

const char* const printLayout = R"(
company co_name co_add co_tel co_fax co_no co_email ion
ptios 輸入日期 單號 建議方式 用途說明 專案號碼 專案名稱 工程種類 科目代號 收支 科目名稱 金額
  附註一 附註二 申請人 簽收 發生日期 單據號碼 稅額 進銷 大寫金額
ptio 發生日期 收支單號 科目 用途說明 收入 支出 餘額 專案名稱 申請人 簽收人 附註一 附註二
pt 開銀行 開帳號 開票日 到期日 收票人 票據號碼 金額 新台幣
bo 票據號碼 開票日期 收支單號 用途說明 處理情況 到期日 提醒日 收票人 金額 銀行帳號
bi 票據號碼 開票日期 收支單號 用途說明 處理情況 到期日 可用日 開票人 金額 銀行帳號
bop 票據號碼 開票日期 收支單號 用途說明 處理情況 到期日 提醒日 收票人 金額 銀行帳號 到期日序
bip 票據號碼 開票日期 收支單號 用途說明 處理情況 到期日 可用日 開票人 金額 銀行帳號 到期日序
seday 期間
)";

void expectLayout(Database& db, const char* layout) {
    std::vector<std::pair<std::string, std::vector<std::string>>> tables;
    std::istringstream lines(layout);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        if (!line.empty() && line[0] != ' ') words >> tables.emplace_back().first;
        for (std::string field; words >> field;)
            tables.back().second.push_back(field);
    }
    auto count = db.OpenRecordset(
        "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%'");
    EXPECT_EQ(count.Fields(0), Value(static_cast<long long>(tables.size())));
    for (const auto& [table, fields] : tables)
        EXPECT_EQ(db.FieldNames(table), fields) << table;
}

class ProgramFiles : public ::testing::Test {
  protected:
    TempFolder folder;
    std::unique_ptr<Database> acc = Database::open(folder.file("acc.mdb"), accSchema());
    std::unique_ptr<Database> zove3 = Database::open(folder.file("zove3.mdb"), peopleSchema());
    std::unique_ptr<Database> pt = Database::open(folder.file("pt.mdb"), printSchema());
};

// Browsing the voucher form refills the print tables at every step: only they skip the sync.
TEST(ProgramDatabases, OnlyThePrintTablesCommitWithoutWaitingForTheDisk) {
    TempFolder folder;
    test::ProgramInFolder program(folder);
    EXPECT_EQ(PrintDb().OpenRecordset("PRAGMA synchronous").Fields(0), Value(0));
    EXPECT_EQ(AccDb().OpenRecordset("PRAGMA synchronous").Fields(0), Value(2));
    EXPECT_EQ(PeopleDb().OpenRecordset("PRAGMA synchronous").Fields(0), Value(2));
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

// A voucher saved as the voucher form saves one: in one transaction, with its word.
void saveVoucher(Database& acc) {
    Transaction save(acc, true);
    acc.Execute(
        "INSERT INTO iof (發生日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, 建議方式) "
        "VALUES ('2026-12-06', '1151206001', '新的一筆', -1, 500, '5102', 1, '材料費', -1)");
    acc.Execute("INSERT INTO use VALUES (1, '新的一筆')");
    save.Commit();
}

// Each page of a book of 400 vouchers zeroed in turn, as a failing disk returns it. Most pages
// are none that a save reads, and SQLite alone would write into the file; the save is refused
// with the file's name and the file stays as it was, byte for byte. (A zeroed first page, the
// file's header, is refused at the start: see above.)
TEST(ProgramDatabases, NoSaveWritesIntoABookWithADamagedPage) {
    TempFolder folder;
    const std::string path = folder.file("acc.mdb");
    {
        auto acc = Database::open(path, accSchema());
        Transaction fill(*acc);
        for (int i = 0; i < 400; ++i)
            acc->Execute(
                "INSERT INTO iof (發生日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
                "專案名稱, 申請人, 建議方式) VALUES ('2026-11-20', printf('11511%05d', ?1), "
                "'工地材料' || ?1, ?1 % 4, 100 + ?1, '5102', 1, '材料費', '大樓新建工程', "
                "'王小明', "
                "-1)",
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
        std::string refusal;
        try {
            saveVoucher(*Database::open(path, accSchema()));
        } catch (const DbError& error) {
            refusal = error.what();
        }
        EXPECT_EQ(refusal.substr(0, refusal.find('\n')), "acc.mdb 已損毀，無法讀取") << page;
        EXPECT_TRUE(fileBytes(path) == damaged) << page;
    }
}

TEST_F(ProgramFiles, EveryTableHasItsFieldsInTheirFixedOrder) {
    expectLayout(*acc, accLayout);
    expectLayout(*zove3, peopleLayout);
    expectLayout(*pt, printLayout);
}

TEST_F(ProgramFiles, ANewFileHoldsItsSeedRows) {
    EXPECT_EQ(zove3->OpenTable("company").RecordCount(), 1);
    EXPECT_EQ(zove3->OpenTable("super").RecordCount(), 0);
    auto counties = zove3->OpenTable("縣市");
    EXPECT_EQ(counties.RecordCount(), 22);
    EXPECT_EQ(counties.Fields(1), Value("基隆市"));
    EXPECT_EQ(counties.Fields(2), Value("02"));
    counties.MoveLast();
    EXPECT_EQ(counties.Fields(1), Value("連江縣"));
    auto title = pt->OpenTable("company");
    EXPECT_EQ(title.RecordCount(), 1);
    EXPECT_TRUE(title.Fields("ion").isNull());
}

TEST_F(ProgramFiles, FieldsRefuseWhatTheirKindCannotHold) {
    for (const auto& [sql, value] : std::initializer_list<std::pair<Sql, Value>>{
             {Sql("INSERT INTO iof (單號, 方式, 發生日期) VALUES ('1', 0, ?)"), "2026/01/05"},
             {Sql("INSERT INTO iof (單號, 方式, 金額) VALUES ('2', 0, ?)"), "abc"},
             {Sql("INSERT INTO iof (單號, 方式, pay) VALUES ('3', 0, ?)"), 2},
             {Sql("INSERT INTO iof (單號, 方式) VALUES (?, NULL)"), "4"}})
        EXPECT_THROW(acc->Execute(sql, value), DbError) << sql.text();
    acc->Execute("INSERT INTO iof (單號, 方式, 發生日期) VALUES ('5', 0, ?)",
                 Date::fromYmd(2026, 1, 5));
    EXPECT_EQ(acc->OpenRecordset("SELECT pay, 單據 FROM iof").Fields(1), Value(false));
    // "update ri set Let = 0" stores the text "0".
    acc->Execute("INSERT INTO ri (id) VALUES ('115010501')");
    acc->Execute("UPDATE ri SET Let = 0");
    EXPECT_EQ(acc->OpenRecordset("SELECT Let FROM ri").Fields(0), Value("0"));
    zove3->Execute("INSERT INTO 員工 (中文姓名) VALUES ('王')");
    EXPECT_EQ(zove3->OpenTable("員工").Fields("AccS"), Value(1));
}

// The queries every day depends on search an index rather than reading the table.
TEST_F(ProgramFiles, TheDailyQueriesUseTheirIndexes) {
    auto plan = [&](const Sql& sql, const std::vector<Value>& params) {
        auto rs = acc->OpenRecordsetWith("EXPLAIN QUERY PLAN " + sql, params);
        std::string text;
        for (; !rs.Eof(); rs.MoveNext())
            text += rs.Fields("detail").text() + "\n";
        return text;
    };
    EXPECT_NE(
        plan("SELECT Max(單號) FROM iof WHERE 單號 LIKE ? ESCAPE '\\'", {likePrefix("1150105")})
            .find("USING COVERING INDEX iof_no"),
        std::string::npos);
    std::string range =
        plan("SELECT * FROM iof WHERE 發生日期 BETWEEN ? AND ? ORDER BY 發生日期, 單號",
             {Date::fromYmd(2026, 1, 1), Date::fromYmd(2026, 12, 31)});
    EXPECT_NE(range.find("USING INDEX iof_day"), std::string::npos) << range;
    EXPECT_EQ(range.find("TEMP B-TREE"), std::string::npos) << range;
    EXPECT_NE(plan("SELECT * FROM iof WHERE 方式 < 0 AND 方式 > -3 ORDER BY 單號", {}).find("iof_"),
              std::string::npos);
}

}  // namespace
}  // namespace kiv

// What a user waits for, form by form, on books of 10,000, 100,000 and 1,000,000 vouchers: each
// form's opening and its actions run through the headless host, and beside each its raw twin,
// the same SQL and the same writes as a careful C program runs them (statements prepared once,
// a connection without SQLite's mutex, one call per column), making the same rows and cells as
// the form. The two run in turns in the same run, each going first in every other round; the
// fastest of each is kept. Prints a table; nothing here fails on a slow machine.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "books/BookForms.h"
#include "books/frmFtr.h"
#include "books/frmTrans.h"
#include "cheques/ChequeForms.h"
#include "cheques/frmArm.h"
#include "cheques/frmBB.h"
#include "contracts/ContractForms.h"
#include "contracts/frmMchIo.h"
#include "contracts/frmRio.h"
#include "contracts/frmRioser.h"
#include "platform/db/Database.h"
#include "platform/db/Numbers.h"
#include "platform/forms/Clock.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ProgramFolder.h"
#include "platform/report/Layout.h"
#include "platform/report/PagePainter.h"
#include "platform/report/ReportData.h"
#include "platform/report/ReportOutput.h"
#include "platform/report/Template.h"
#include "projects/ProjectForms.h"
#include "projects/frmPj.h"
#include "projects/frmPjVSrIO.h"
#include "shell/OlderFiles.h"
#include "shell/Schema.h"
#include "shell/ShellForms.h"
#include "shell/mdM.h"
#include "statistics/StatisticsForms.h"
#include "statistics/frmCash.h"
#include "statistics/frmLW.h"
#include "tests/support/TestHost.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"

namespace kiv::bench {
namespace {

namespace fs = std::filesystem;

// Ten years of vouchers, spread evenly over the days; every tenth is paid by cheque and the rest
// are posted to the cash book with its running balance, every twentieth also to a bank account.
// The texts are drawn from short lists by a fixed scramble of the voucher's index, so that every
// run builds the same book. 500 projects, each with ten contracts a side, their instalments,
// additions and reductions.
const Date firstDay = Date::fromYmd(2016, 1, 1);
const Date lastDay = Date::fromYmd(2025, 12, 31);

constexpr char voucherSql[] = R"(
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ?1 - 1),
v AS (SELECT i, date(?3, '+' || (i * ?2 / ?1) || ' days') AS day,
             i - ((i * ?2 / ?1) * ?1 + ?2 - 1) / ?2 + 1 AS serial,
             (i * 2654435761) % 1000003 AS r, (i * 2654435761) % 1000003 % 9 AS account FROM n)
INSERT INTO iof
SELECT day, printf('%d%s%04d', strftime('%Y', day) - 1911, strftime('%m%d', day), serial),
       json_extract(?4, '$[' || (r % 15) || ']'), iif(r % 50 = 0, -1, r % 5), 100 + r % 200000,
       json_extract(?5, '$[' || account || '][0]'), account < 7,
       json_extract(?5, '$[' || account || '][1]'), iif(r % 3, '', '急件'), '',
       'P' || (1000 + r % 500), '第' || (r % 500) || '號新建工程',
       json_extract(?6, '$[' || (r % 5) || ']'), day, json_extract(?7, '$[' || (r % 10) || ']'),
       json_extract(?7, '$[' || (r / 10 % 10) || ']'), r / 100 % 2,
       printf('AB%08d', r * 97 % 100000000), (100 + r % 200000) / 21, r / 200 % 2,
       iif((i + 1) % 10 = 0, -2, -1)
FROM v)";

// Cheques in every state: unprocessed, cashed, void and bounced.
constexpr char chequeSql[] = R"(
INSERT INTO bill
SELECT printf('QA%07d', rowid), 發生日期, iif(pay, date(發生日期, '+30 days'), NULL),
       date(發生日期, '+30 days'), iif(pay, NULL, date(發生日期, '+30 days')),
       json_extract(?1, '$[' || (rowid % 3) || ']'),
       json_extract(?1, '$[' || (rowid / 3 % 3) || ']'),
       申請人, 簽收, '0123456789', '9876543210', 金額, '新台幣', 1 - pay, 單號, rowid % 4
FROM iof WHERE 建議方式 = -2 ORDER BY rowid)";

constexpr char cashSql[] = R"(
INSERT INTO cash
SELECT row_number() OVER w, 1 - pay, 發生日期, 金額, iif(pay, '支出', '收入'), 單號,
       sum(iif(pay, -金額, 金額)) OVER w
FROM iof WHERE 建議方式 = -1 WINDOW w AS (ORDER BY rowid))";

constexpr char bankSql[] = R"(
INSERT INTO bank
SELECT row_number() OVER w, '0123456789', '臺灣銀行 城中分行', 1 - pay, 發生日期, 金額,
       iif(pay, '轉帳支出', '轉帳存入'), 單號, sum(iif(pay, -金額, 金額)) OVER w
FROM iof WHERE rowid % 20 = 0 WINDOW w AS (ORDER BY rowid))";

constexpr char projectSql[] = R"(
WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 499)
INSERT INTO prj (id, prj, tCash, stday, sinDay, cust, final)
SELECT 'P' || (1000 + i), '第' || i || '號新建工程', 1000000 + i * 1000,
       date('2016-01-01', '+' || (i * 7) || ' days'), date('2016-01-01', '+' || (i * 7) || ' days'),
       '業主' || (i % 40), i % 3 = 0 FROM k)";

// Ten contracts a side for each project, with three instalments, an addition and a reduction.
#define CONTRACT_STATEMENTS(side)                                                                 \
    {                                                                                             \
        "WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 4999) "         \
        "INSERT INTO " side                                                                       \
        " (id, 收名稱, 簽約日, 客戶名, 合計, 備註, 專id, 專名, w) "               \
        "SELECT '" side                                                                           \
        "' || i, '合約' || i, date('2016-01-01', '+' || (i / 10 * 7) || ' days'), "             \
        "'廠商' || (i % 60), printf('%,d', 100000 + i * 10), '', 'P' || (1000 + i / 10), "      \
        "'第' || (i / 10) || '號新建工程', json_extract(?, '$[' || (i % 5) || ']') FROM k",       \
            "INSERT INTO " side                                                                   \
            "期 (id, 期別, 預付金, 實收金) SELECT id, n, '10,000', iif(n < 3, "          \
            "'10,000', '') FROM " side ", (SELECT 1 AS n UNION ALL SELECT 2 UNION ALL SELECT 3)", \
            "INSERT INTO " side                                                                   \
            "加 (id, 期別, 金額, 實收金) SELECT id, 1, '5,000', '2,000' FROM " side,              \
            "INSERT INTO " side "減 (id, 期別, 金額) SELECT id, 1, '1,000' FROM " side            \
    }

const char* workTypes = R"(["土木", "水電", "裝潢", "鋼構", "油漆"])";

void generateContracts(Database& db) {
    const Sql statements[2][4] = {CONTRACT_STATEMENTS("ri"), CONTRACT_STATEMENTS("ro")};
    for (const auto& side : statements) {
        db.Execute(side[0], workTypes);
        for (int i = 1; i < 4; ++i)
            db.Execute(side[i]);
    }
}

void generate(const fs::path& folder, int64_t vouchers) {
    {
        setProgramFolder(folder.string() + "/");
        auto db = Database::open((folder / "acc.mdb").string(), accSchema());
        // A book for measuring only: nothing is lost if the machine stops while it is written.
        db->Execute("PRAGMA synchronous = OFF");
        Transaction all(*db, TransactionKind::Writes);
        db->Execute(voucherSql, vouchers, daysBetween(firstDay, lastDay) + 1, firstDay,
                    R"(["購買水泥", "工地便當", "材料運費", "鋼筋款", "模板工資", "水電費", "油資",
                    "文具用品", "設計費", "工程款請款", "保險費", "租金", "鷹架租賃費",
                    "廢料清運費", "預拌混凝土款"])",
                    R"([["5101", "材料費"], ["5102", "工資"], ["5103", "運費"], ["5104", "雜支"],
                    ["5105", "水電費"], ["5106", "租金"], ["5107", "保險費"],
                    ["4101", "工程收入"], ["4102", "利息收入"]])",
                    workTypes,
                    R"(["王大明", "李小華", "張志強", "陳美玲", "林建宏", "黃淑芬", "吳俊傑",
                    "劉怡君", "蔡宗翰", "鄭雅婷"])");
        db->Execute(chequeSql,
                    R"(["臺灣銀行 城中分行", "第一銀行 板橋分行", "合作金庫 新竹分行"])");
        db->Execute(cashSql);
        db->Execute(bankSql);
        db->Execute(
            "INSERT INTO obank (bank, id, user, cash) VALUES "
            "('臺灣銀行 城中分行', '0123456789', '公司', 0)");
        db->Execute(projectSql);
        generateContracts(*db);
        all.Commit();
        db->Execute("ANALYZE");
    }
    auto people = Database::open((folder / "zove3.mdb").string(), peopleSchema());
    auto print = Database::open((folder / "pt.mdb").string(), printSchema());
}

// The folder of the benchmark program, where the books are kept.
const fs::path& home() {
    static const fs::path folder = programFolder();
    return folder;
}

// The book of `vouchers` in the build folder, generated once; later runs reuse it.
fs::path bookFolder(int64_t vouchers) {
    fs::path folder = home() / "bench-books" / std::to_string(vouchers);
    if (fs::exists(folder / "done")) return folder;
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::cerr << "Generating " << folder.string() << " (once) ..." << std::endl;
    generate(folder, vouchers);
    std::FILE* done = std::fopen((folder / "done").c_str(), "w");
    if (done) std::fclose(done);
    return folder;
}

// ---------------------------------------------------------------------------------------------
// The raw twins' own small kit: one connection per file without the mutex, statements prepared
// once and kept, every column read with one call.

class Raw {
  public:
    // The books are written with full durability, the print tables as scratch, as the program
    // opens them.
    Raw(const fs::path& file, bool scratch) {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            std::cerr << "Cannot open " << file << std::endl;
            std::exit(1);
        }
        sqlite3_busy_timeout(db_, 5000);
        exec(scratch ? "PRAGMA synchronous = OFF" : "PRAGMA synchronous = FULL");
    }
    ~Raw() {
        for (auto& [sql, stmt] : statements_)
            sqlite3_finalize(stmt);
        for (auto& [sql, stmt] : built_)
            sqlite3_finalize(stmt);
        sqlite3_close_v2(db_);
    }
    Raw(const Raw&) = delete;
    Raw& operator=(const Raw&) = delete;

    sqlite3_stmt* statement(const char* sql) {
        sqlite3_stmt*& stmt = statements_[sql];
        if (!stmt && sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
                         SQLITE_OK) {
            std::cerr << sqlite3_errmsg(db_) << "\n" << sql << std::endl;
            std::exit(1);
        }
        sqlite3_reset(stmt);
        return stmt;
    }
    // A statement whose text is put together at run time, kept by its text.
    sqlite3_stmt* statement(const std::string& sql) {
        sqlite3_stmt*& stmt = built_[sql];
        if (!stmt && sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt,
                                        nullptr) != SQLITE_OK) {
            std::cerr << sqlite3_errmsg(db_) << "\n" << sql << std::endl;
            std::exit(1);
        }
        sqlite3_reset(stmt);
        return stmt;
    }
    void exec(const char* sql) {
        sqlite3_stmt* stmt = statement(sql);
        int result = SQLITE_ROW;
        while (result == SQLITE_ROW)
            result = sqlite3_step(stmt);
        if (result != SQLITE_DONE) std::cerr << sqlite3_errmsg(db_) << "\n" << sql << std::endl;
    }

  private:
    sqlite3* db_ = nullptr;
    std::map<const char*, sqlite3_stmt*> statements_;
    std::map<std::string, sqlite3_stmt*> built_;
};

void bind(sqlite3_stmt* stmt, int i, const std::string& text) {
    sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

std::string text(sqlite3_stmt* stmt, int col) {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
    return t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(stmt, col))) : std::string();
}

// "2024-03-05" as the lists show it, "113/03/05".
std::string rocDate(const std::string& iso) {
    if (iso.size() < 10) return "";
    std::string out = std::to_string(std::atoi(iso.c_str()) - 1911);
    out += '/';
    out.append(iso, 5, 2);
    out += '/';
    out.append(iso, 8, 2);
    return out;
}

// The same day as a label or a listing's date cell shows it, "中華民國 113/03/05".
std::string eraDate(const std::string& iso) {
    return "中華民國 " + rocDate(iso);
}

std::string amount(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

// The value of a cell the sheet takes as a number, an amount as the lists show one ("2,100",
// "-400", "0"): a minus only in front, no leading zero, a separator before every group of three
// digits and nowhere else, at most the 15 digits a sheet keeps. Codes ("4101") stay texts.
std::optional<long long> amountValue(const std::string& text) {
    size_t i = !text.empty() && text[0] == '-';
    const bool negative = i == 1;
    if (i == text.size() || (text[i] == '0' && (text.size() > i + 1 || negative)))
        return std::nullopt;
    long long value = 0;
    size_t digits = 0, group = 0;
    bool grouped = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ',') {
            if (group == 0 || group > 3 || (grouped && group != 3)) return std::nullopt;
            grouped = true;
            group = 0;
        } else if (c >= '0' && c <= '9' && digits < 15) {
            value = value * 10 + (c - '0');
            ++digits;
            ++group;
        } else {
            return std::nullopt;
        }
    }
    if (group == 0 || group > 3 || (grouped && group != 3)) return std::nullopt;
    return negative ? -value : value;
}

// Rows as a plain program keeps them to show: their cells' texts.
using Rows = std::vector<std::vector<std::string>>;

// The row a statement stands on, every column as stored, as texts.
std::vector<std::string> rowTexts(sqlite3_stmt* q) {
    const int width = sqlite3_column_count(q);
    std::vector<std::string> row;
    row.reserve(static_cast<size_t>(width));
    for (int c = 0; c < width; ++c)
        row.push_back(text(q, c));
    return row;
}

// A statement's rows as texts.
Rows textRows(sqlite3_stmt* q) {
    Rows rows;
    while (sqlite3_step(q) == SQLITE_ROW)
        rows.push_back(rowTexts(q));
    return rows;
}

// The print table written as the forms write it: emptied, then one row per list row, all in one
// transaction.
void writeTable(Raw& pt, const char* erase, const char* insert, const Rows& rows, int first,
                int count) {
    pt.exec("BEGIN");
    pt.exec(erase);
    sqlite3_stmt* stmt = pt.statement(insert);
    for (const auto& row : rows) {
        for (int c = 0; c < count; ++c)
            bind(stmt, c + 1, row[first + c]);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    pt.exec("COMMIT");
}

// ---------------------------------------------------------------------------------------------
// The program on one book.

const Date today = lastDay;
const Date yearStart = Date::fromYmd(2024, 1, 1);
const Date yearEnd = Date::fromYmd(2024, 12, 31);

struct Program {
    explicit Program(const fs::path& folder) {
        setProgramFolder(folder.string() + "/");
        ResetSharedState();
        for (auto registration :
             {registerShellForms, registerVoucherForms, registerChequeForms, registerBookForms,
              registerProjectForms, registerStatisticsForms, registerContractForms})
            registration();
        OpenDatabases();
        // As the launcher bar does at every start: a book made before an index gains it.
        UpgradeOlderFiles();
        // A file's first write waits for the check of the whole file that its opening started;
        // it is waited for here, so that no timed action waits for it or runs beside it.
        AccDb().Execute("DELETE FROM iofs WHERE 0");
        PeopleDb().Execute("DELETE FROM t2w WHERE 0");
        PrintDb().Execute("DELETE FROM seday WHERE 0");
        LoggedIn = true;
        UserRights = 0x7FFFFFFF;
    }
    ~Program() {
        Forms::discardAll();
        Forms::forgetRegistrations();
        CloseDatabases();
        ResetSharedState();
    }
    // The host's clock stands on the book's last day, as the twins' dates do.
    TestHost host{today};
};

// The rows of a listing below its header that hold a text in `col`.
int64_t listed(const Grid& grid, int col) {
    int64_t rows = 0;
    for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
        rows += !grid.TextMatrix(r, col).empty();
    return rows;
}

// 收支查詢's statement for a range of dates under 本月全部, and its raw twin's list.
constexpr char queryRangeSql[] =
    "SELECT 發生日期, 單號, 科目名稱, 用途說明, pay, 金額, 方式, 專案名稱, 申請人, 簽收, 附註一, "
    "附註二 FROM iof WHERE 發生日期 >= ? AND 發生日期 < ? AND 方式 > -1 AND 科目代號 <> '0000' AND "
    "科目代號 <> '9999' ORDER BY 發生日期, 單號";
constexpr char ptioInsert[] =
    "INSERT INTO ptio (發生日期, 收支單號, 科目, 用途說明, 收入, 支出, 餘額, 專案名稱, 申請人, "
    "簽收人, 附註一, 附註二) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// The voucher states the list tells apart: cash, a cheque not yet cashed, the system voucher of a
// cashed cheque (2 and 4) and a voucher whose cheque was cashed.
constexpr int chequeNotCashed = 1, chequeWasCashed = 3;
constexpr int queryTotalRows = 9;

// The sum a shown value goes to, in the order of the total rows: each income before its expense.
int queryTotal(int state, bool expense) {
    const int income = state == 0                 ? 0
                       : state == chequeNotCashed ? 2
                       : state == chequeWasCashed ? 6
                                                  : 4;
    return income + expense;
}

// The list's rows as the grid shows them: the row number, the cells and the marks of a cheque,
// the running balance, and below them the nine total rows, summed while the rows are read.
Rows rawVoucherRows(Raw& acc, const Date& from, const Date& untilBefore) {
    sqlite3_stmt* q = acc.statement(queryRangeSql);
    const std::string a = from.iso(), b = untilBefore.iso();
    bind(q, 1, a);
    bind(q, 2, b);
    Rows rows;
    long long balance = 0, sums[8] = {};
    while (sqlite3_step(q) == SQLITE_ROW) {
        const bool expense = sqlite3_column_int(q, 4) != 0;
        const long long money = sqlite3_column_int64(q, 5);
        const int state = sqlite3_column_int(q, 6);
        const bool cheque = state == chequeNotCashed || state == chequeWasCashed;
        const char* chequeMark = expense ? "開出票據-->" : "<--收入票據";
        const char* signedMark = state == 0 ? "" : expense ? "已付票據-->" : "<--已收票據";
        const std::string shown = amount(money);
        std::string in = expense ? (cheque ? chequeMark : signedMark) : shown,
                    out = expense ? shown : (cheque ? chequeMark : signedMark);
        if (!cheque) balance += expense ? -money : money;
        const int total = queryTotal(state, expense);
        sums[total] += total == 1 ? std::llabs(money) : money;
        rows.push_back({std::to_string(rows.size() + 1), rocDate(text(q, 0)), text(q, 1),
                        text(q, 2), text(q, 3), std::move(in), std::move(out),
                        cheque ? (state == chequeWasCashed ? "已兌現" : "") : amount(balance),
                        text(q, 7), text(q, 8), text(q, 9), text(q, 10), text(q, 11)});
    }
    if (rows.empty()) return rows;
    static const char* labels[] = {
        "現金收入",     "現金支出",     "未兌現(收入)",         "未兌現(支出)",
        "已兌現(收入)", "已兌現(支出)", "未兌現->已兌現(收入)", "未兌現->已兌現(支出)"};
    for (int k = 0; k < 8; ++k) {
        std::vector<std::string> row(13);
        row[4] = labels[k];
        row[k % 2 == 0 ? 5 : 6] = amount(sums[k]);
        rows.push_back(std::move(row));
    }
    std::vector<std::string> last(13);
    last[4] = "合計(不含未兌現)";
    last[7] = amount(sums[0] + sums[4] - sums[5] - sums[1]);
    rows.push_back(std::move(last));
    return rows;
}

// The rows listed above the totals.
int64_t listedRows(const Rows& rows) {
    return rows.empty() ? 0 : static_cast<int64_t>(rows.size()) - queryTotalRows;
}

Rows rawVoucherQuery(Raw& acc, Raw& pt, const Date& from, const Date& untilBefore) {
    Rows rows = rawVoucherRows(acc, from, untilBefore);
    writeTable(pt, "DELETE FROM ptio", ptioInsert, rows, 1, 12);
    return rows;
}

// The list's header sort: the rows above the totals by one column in the grid's generic order (two
// numbers by value, anything else as text without the case of its Latin letters), equal rows
// keeping their order; each row's key worked out once, the rows moved, not copied, and every row,
// the totals included, numbered anew.
struct HeaderKey {
    std::string_view text;
    std::optional<double> number;
    uint32_t row;
};

bool sortsBefore(const HeaderKey& a, const HeaderKey& b) {
    if (a.number && b.number) return *a.number < *b.number;
    return a.text < b.text;
}

void rawHeaderSort(Rows& rows, int col) {
    const size_t listed = static_cast<size_t>(listedRows(rows));
    std::vector<HeaderKey> keys;
    keys.reserve(listed);
    // Only a text holding a capital Latin letter needs a folded copy of its own.
    std::deque<std::string> folded;
    for (size_t r = 0; r < listed; ++r) {
        const std::string& cell = rows[r][col];
        std::string_view text = cell;
        if (std::any_of(cell.begin(), cell.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
            std::string& lower = folded.emplace_back(cell);
            for (char& c : lower)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
            text = lower;
        }
        keys.push_back({text, numberFromText(cell), static_cast<uint32_t>(r)});
    }
    std::stable_sort(keys.begin(), keys.end(), sortsBefore);
    Rows sorted;
    sorted.reserve(rows.size());
    for (const HeaderKey& key : keys)
        sorted.push_back(std::move(rows[key.row]));
    std::move(rows.begin() + static_cast<std::ptrdiff_t>(listed), rows.end(),
              std::back_inserter(sorted));
    rows = std::move(sorted);
    for (size_t r = 0; r < rows.size(); ++r)
        rows[r][0] = std::to_string(r + 1);
}

void queryRange(Program& p, frmCash& form, const Date& from, const Date& to) {
    p.host.pick(form.cbRu, form.cbRu.FindEntry("當月全部"));
    p.host.pickDate(form.DTP1, from);
    p.host.pickDate(form.DTP2, to);
    form.ckDate.SetValue(1);
    p.host.click(form.cmdSer);
}

// 票據一覽表's statements and writes, issued cheques of a year by due date or every received one.
constexpr char issuedSql[] =
    "SELECT bill.票據號碼, bill.開票日, bill.收支單號, iof.用途說明, bill.方式, bill.到期日, "
    "bill.arDay, bill.收票人, bill.金額, bill.開銀行, bill.開帳號 FROM bill LEFT JOIN iof ON "
    "bill.收支單號 = iof.單號 WHERE bill.到期日 >= ? AND bill.到期日 < ? AND bill.收支 = ? ORDER "
    "BY "
    "bill.票據號碼";
constexpr char receivedSql[] =
    "SELECT bill.票據號碼, bill.開票日, bill.收支單號, iof.用途說明, bill.方式, bill.到期日, "
    "bill.deDay, bill.開票人, bill.金額, bill.收銀行, bill.收帳號 FROM bill INNER JOIN iof ON "
    "bill.收支單號 = iof.單號 WHERE bill.收支 = ? ORDER BY bill.票據號碼";
constexpr char signOffSql[] =
    "SELECT 開銀行, 開帳號, 開票日, 到期日, 收票人, 票據號碼, 金額, 新台幣 FROM bill WHERE 到期日 "
    ">= "
    "? AND 到期日 < ? AND 收支 = ? ORDER BY 票據號碼";

const char* chequeState(int state) {
    static const char* names[] = {"未處理", "到  期", "作  廢", "退  票"};
    return state >= 0 && state < 4 ? names[state] : "";
}

std::string shownDate(sqlite3_stmt* q, int col) {
    std::string iso = text(q, col);
    return iso.empty() ? "" : eraDate(iso);
}

// The list, its detail table, the summary from its view, the sign-off sheet and the list table.
int64_t rawChequeList(Raw& acc, Raw& pt, bool received) {
    sqlite3_stmt* q = acc.statement(received ? receivedSql : issuedSql);
    const std::string a = yearStart.iso(), b = yearEnd.addDays(1).iso();
    if (received) {
        sqlite3_bind_int(q, 1, 1);
    } else {
        bind(q, 1, a);
        bind(q, 2, b);
        sqlite3_bind_int(q, 3, 0);
    }
    Rows rows;
    while (sqlite3_step(q) == SQLITE_ROW) {
        const std::string due = text(q, 5);
        rows.push_back({std::to_string(rows.size() + 1), text(q, 0), shownDate(q, 1), text(q, 2),
                        text(q, 3), chequeState(sqlite3_column_int(q, 4)), shownDate(q, 5),
                        shownDate(q, 6), text(q, 7), amount(sqlite3_column_int64(q, 8)),
                        text(q, 9) + "(" + text(q, 10) + ")", due});
    }
    writeTable(pt, received ? "DELETE FROM bip" : "DELETE FROM bop",
               received ? "INSERT INTO bip VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                        : "INSERT INTO bop VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
               rows, 1, 11);
    pt.exec("BEGIN");
    pt.exec("DELETE FROM seday");
    pt.exec("INSERT INTO seday (期間) VALUES ('到期日：中華民國 113/01/01～中華民國 113/12/31')");
    pt.exec("COMMIT");
    // The summary: one pass over the rows, then one row per group of the view.
    std::map<std::string, std::pair<int, long long>> tallies;
    for (const auto& row : rows) {
        auto& t = tallies[row[11] + '\n' + row[10] + '\n' + row[5]];
        ++t.first;
        t.second += std::atoll(row[9].c_str());
    }
    sqlite3_stmt* s = pt.statement(received ? "SELECT * FROM biSum ORDER BY 1, 2, 3"
                                            : "SELECT * FROM boSum "
                                              "ORDER BY 1, 2, 3");
    Rows summary;
    while (sqlite3_step(s) == SQLITE_ROW) {
        const auto& t = tallies[text(s, 0) + '\n' + text(s, 1) + '\n' + text(s, 2)];
        summary.push_back({"", "", "", rocDate(text(s, 0)), text(s, 1), text(s, 2),
                           std::to_string(t.first), amount(t.second), "", "", "", ""});
    }
    if (!received) {
        sqlite3_stmt* o = acc.statement(signOffSql);
        bind(o, 1, a);
        bind(o, 2, b);
        sqlite3_bind_int(o, 3, 0);
        Rows sheet;
        while (sqlite3_step(o) == SQLITE_ROW)
            sheet.push_back({text(o, 0), text(o, 1), shownDate(o, 2), shownDate(o, 3), text(o, 4),
                             text(o, 5), amount(sqlite3_column_int64(o, 6)), text(o, 7)});
        writeTable(pt, "DELETE FROM pt", "INSERT INTO pt VALUES (?, ?, ?, ?, ?, ?, ?, ?)", sheet, 0,
                   8);
    }
    const auto listedRows = static_cast<int64_t>(rows.size());
    rows.insert(rows.end(), summary.begin(), summary.end());
    writeTable(pt, received ? "DELETE FROM bi" : "DELETE FROM bo",
               received ? "INSERT INTO bi VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                        : "INSERT INTO bo VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
               rows, 1, 10);
    return listedRows;
}

// 專案報表: every project with its voucher sums and its contracts' totals.
constexpr char projectReportSql[] =
    "SELECT final, id, prj, cust, stday, tCash, sinDay, "
    "(SELECT SUM(金額) FROM iof WHERE 專案號碼 = prj.id AND 專案名稱 = IFNULL(prj.prj, '') "
    "AND 方式 > -1 AND 方式 <> 2 AND 方式 <> 4 AND pay = 0), "
    "(SELECT SUM(金額) FROM iof WHERE 專案號碼 = prj.id AND 專案名稱 = IFNULL(prj.prj, '') "
    "AND 方式 > -1 AND 方式 <> 2 AND 方式 <> 4 AND pay = 1) FROM prj ORDER BY id";
constexpr char sideTotalsSql[2][512] = {
    "SELECT 專id, 專名, 合計, (SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ri期 "
    "WHERE ri期.id = ri.id), (SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ri加 WHERE "
    "ri加.id = ri.id), (SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ri加 WHERE "
    "ri加.id = ri.id), (SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ri減 WHERE "
    "ri減.id = ri.id) FROM ri WHERE 專id IS NOT NULL AND 專名 IS NOT NULL",
    "SELECT 專id, 專名, 合計, (SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ro期 "
    "WHERE ro期.id = ro.id), (SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ro加 WHERE "
    "ro加.id = ro.id), (SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM ro加 WHERE "
    "ro加.id = ro.id), (SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM ro減 WHERE "
    "ro減.id = ro.id) FROM ro WHERE 專id IS NOT NULL AND 專名 IS NOT NULL"};

int64_t rawProjectReport(Raw& acc) {
    std::map<std::string, long long> contracted[2];
    for (int side = 0; side < 2; ++side) {
        sqlite3_stmt* s = acc.statement(sideTotalsSql[side]);
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::string total = text(s, 2);
            total.erase(std::remove(total.begin(), total.end(), ','), total.end());
            contracted[side][text(s, 0) + '\n' + text(s, 1)] +=
                std::atoll(total.c_str()) + sqlite3_column_int64(s, 4) - sqlite3_column_int64(s, 6);
        }
    }
    sqlite3_stmt* q = acc.statement(projectReportSql);
    Rows rows;
    while (sqlite3_step(q) == SQLITE_ROW) {
        const std::string key = text(q, 1) + '\n' + text(q, 2);
        rows.push_back({"", sqlite3_column_int(q, 0) ? "Yes" : "No", text(q, 1), text(q, 2),
                        text(q, 3), rocDate(text(q, 6)), rocDate(text(q, 4)),
                        amount(sqlite3_column_int64(q, 5)), amount(sqlite3_column_int64(q, 7)),
                        amount(contracted[0][key]), amount(contracted[1][key]),
                        amount(sqlite3_column_int64(q, 8))});
    }
    return static_cast<int64_t>(rows.size());
}

// 收支查詢's list of accounts under 依科目.
constexpr char accountListSql[] =
    "SELECT pay, 科目名稱, 科目代號 FROM iof GROUP BY 科目名稱, 科目代號, pay ORDER BY pay DESC, "
    "科目代號";

int64_t rawAccountList(Raw& acc) {
    sqlite3_stmt* q = acc.statement(accountListSql);
    Rows rows;
    while (sqlite3_step(q) == SQLITE_ROW)
        rows.push_back({sqlite3_column_int(q, 0) ? "支出" : "收入", text(q, 1), text(q, 2)});
    return static_cast<int64_t>(rows.size());
}

void rawDataSpan(Raw& acc) {
    sqlite3_stmt* q =
        acc.statement("SELECT (SELECT MIN(發生日期) FROM iof), (SELECT MAX(發生日期) FROM iof)");
    if (sqlite3_step(q) == SQLITE_ROW) benchmark::DoNotOptimize(text(q, 0) + text(q, 1));
    sqlite3_reset(q);
}

// 收支期間表 of the twelve months of a year: each section's accounts, then one sum per account
// and month, as the form asks them.
constexpr char statementAccountsSql[2][400] = {
    "SELECT 科目代號, 科目名稱 FROM iof WHERE 發生日期 >= ? AND 發生日期 < ? AND pay = ? AND "
    "科目代號 <> '0000' GROUP BY 科目代號, 科目名稱 ORDER BY 科目代號, 科目名稱",
    "SELECT 科目代號, 科目名稱 FROM iof WHERE 發生日期 >= ? AND 發生日期 < ? AND pay = ? AND "
    "科目代號 <> '9999' GROUP BY 科目代號, 科目名稱 ORDER BY 科目代號, 科目名稱"};
constexpr char monthSumSql[] =
    "SELECT SUM(金額) FROM iof WHERE 科目代號 = ?1 AND 科目名稱 = ?2 AND 科目代號 = ?1 COLLATE "
    "BINARY AND 科目名稱 = ?2 COLLATE BINARY AND 發生日期 >= ?3 AND 發生日期 < ?4 AND (方式 = 0 "
    "OR 方式 = 3) AND pay = ?5";

// (The months are bound as constants: a modifiable std::string would pick std::bind.)
int64_t rawPeriodStatement(Raw& acc) {
    std::string months[13];
    for (int m = 0; m <= 12; ++m)
        months[m] = Date::fromYmd(yearStart.year() + m / 12, m % 12 + 1, 1).iso();
    Rows rows;
    for (int expense = 0; expense < 2; ++expense) {
        sqlite3_stmt* q = acc.statement(statementAccountsSql[expense]);
        bind(q, 1, std::as_const(months[0]));
        bind(q, 2, std::as_const(months[12]));
        sqlite3_bind_int(q, 3, expense);
        std::vector<std::pair<std::string, std::string>> accounts;
        while (sqlite3_step(q) == SQLITE_ROW)
            accounts.emplace_back(text(q, 0), text(q, 1));
        sqlite3_stmt* sum = acc.statement(monthSumSql);
        for (const auto& [code, name] : accounts) {
            std::vector<std::string> row{code, name};
            long long total = 0;
            for (int m = 0; m < 12; ++m) {
                sqlite3_reset(sum);
                bind(sum, 1, code);
                bind(sum, 2, name);
                bind(sum, 3, std::as_const(months[m]));
                bind(sum, 4, std::as_const(months[m + 1]));
                sqlite3_bind_int(sum, 5, expense);
                const long long n =
                    sqlite3_step(sum) == SQLITE_ROW ? sqlite3_column_int64(sum, 0) : 0;
                sqlite3_reset(sum);
                row.push_back(amount(n));
                total += n;
            }
            row.push_back(amount(total));
            rows.push_back(std::move(row));
        }
    }
    return static_cast<int64_t>(rows.size());
}

// 收支單: the lists of its boxes, the count for the scroll bar, the newest voucher and the print
// table of the voucher shown.

Rows wordRows(Raw& db, const char* sql) {
    return textRows(db.statement(sql));
}

// One voucher's fields as texts, and its print table written as the form writes it.
void showVoucherRow(Raw& pt, const std::vector<std::string>& row);

int64_t showVoucher(Raw& pt, sqlite3_stmt* q, std::vector<std::string>* shown = nullptr) {
    if (sqlite3_step(q) != SQLITE_ROW) return 0;
    const std::vector<std::string> row = rowTexts(q);
    sqlite3_reset(q);
    if (shown) *shown = row;
    showVoucherRow(pt, row);
    return 1;
}

void showVoucherRow(Raw& pt, const std::vector<std::string>& row) {
    Rows printed{{row[1],
                  row[1],
                  "現金",
                  row[2],
                  row[10],
                  row[11],
                  row[12],
                  row[5],
                  "支出",
                  row[7],
                  amount(std::atoll(row[4].c_str())),
                  row[8],
                  row[9],
                  row[6],
                  row[7],
                  rocDate(row[0]),
                  "",
                  "",
                  "",
                  "元整"}};
    writeTable(
        pt, "DELETE FROM ptios",
        "INSERT INTO ptios (輸入日期, 單號, 建議方式, 用途說明, 專案號碼, 專案名稱, 工程種類, "
        "科目代號, 收支, 科目名稱, 金額, 附註一, 附註二, 申請人, 簽收, 發生日期, 單據號碼, "
        "稅額, 進銷, 大寫金額) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?)",
        printed, 0, 20);
}

int64_t rawVoucherOpen(Raw& acc, Raw& people, Raw& pt) {
    for (const char* sql :
         {"SELECT id, prj FROM prj ORDER BY id", "SELECT use FROM use ORDER BY id",
          "SELECT incom, id, acc FROM acc ORDER BY incom DESC, id",
          "SELECT ps FROM ps1 ORDER BY id", "SELECT ps FROM ps2 ORDER BY id"})
        benchmark::DoNotOptimize(wordRows(acc, sql).size());
    for (int i = 0; i < 2; ++i)
        benchmark::DoNotOptimize(
            wordRows(people, "SELECT 中文姓名 FROM 員工 ORDER BY 員工編號").size());
    benchmark::DoNotOptimize(wordRows(pt, "SELECT ion FROM company").size());
    sqlite3_stmt* count = acc.statement("SELECT Count(*) FROM iof");
    sqlite3_step(count);
    benchmark::DoNotOptimize(sqlite3_column_int64(count, 0));
    sqlite3_reset(count);
    return showVoucher(pt, acc.statement("SELECT * FROM iof ORDER BY 單號 DESC LIMIT 1"));
}

// The scroll bar's position found as the form finds it, by stepping through the number index's
// rowids alone, from the end nearer to it; then that one row is read.
int64_t rawVoucherAt(Raw& acc, Raw& pt, int64_t position, int64_t count) {
    const bool fromBack = count - 1 - position < position;
    sqlite3_stmt* step =
        fromBack ? acc.statement("SELECT rowid FROM iof ORDER BY 單號 DESC LIMIT 1 OFFSET ?")
                 : acc.statement("SELECT rowid FROM iof ORDER BY 單號 LIMIT 1 OFFSET ?");
    sqlite3_bind_int64(step, 1, fromBack ? count - 1 - position : position);
    if (sqlite3_step(step) != SQLITE_ROW) return 0;
    const long long rowid = sqlite3_column_int64(step, 0);
    sqlite3_reset(step);
    sqlite3_stmt* q = acc.statement("SELECT * FROM iof WHERE rowid = ?");
    sqlite3_bind_int64(q, 1, rowid);
    return showVoucher(pt, q);
}

// A step of the scroll bar from the voucher the form holds by its number, its place known: the
// page of vouchers after it read from the number index, as a step of the bar reads its page, and
// the first of them shown.
int64_t rawVoucherAfter(Raw& acc, Raw& pt, const std::string& number) {
    sqlite3_stmt* page = acc.statement("SELECT * FROM iof WHERE 單號 > ? ORDER BY 單號 LIMIT 64");
    bind(page, 1, number);
    const Rows rows = textRows(page);
    sqlite3_reset(page);
    if (rows.empty()) return 0;
    showVoucherRow(pt, rows.front());
    return 1;
}

// 應收付帳款 opened on the newest receivable contract: the customers, the numbers for the scroll
// bar, the contract and its three schedules.
int64_t rawContractOpen(Raw& acc, Raw& people) {
    benchmark::DoNotOptimize(
        wordRows(people, "SELECT 客戶名稱 FROM 客戶 WHERE 客戶名稱 IS NOT NULL ORDER BY 客戶編號")
            .size());
    sqlite3_stmt* numbers = acc.statement("SELECT id FROM ri ORDER BY id");
    std::vector<std::string> ids;
    while (sqlite3_step(numbers) == SQLITE_ROW)
        ids.push_back(text(numbers, 0));
    if (ids.empty()) return 0;
    for (const char* sql : {"SELECT * FROM ri WHERE id = ?", "SELECT * FROM ri期 WHERE id = ?",
                            "SELECT * FROM ri加 WHERE id = ?", "SELECT * FROM ri減 WHERE id = ?"}) {
        sqlite3_stmt* q = acc.statement(sql);
        bind(q, 1, ids.back());
        benchmark::DoNotOptimize(textRows(q).size());
    }
    return static_cast<int64_t>(ids.size());
}

// 專案報表's detail of one project: each side's contracts with their schedules' sums, one query a
// side.
#define SIDE_CONTRACTS_SQL(side)                                                                           \
    "SELECT id, 收名稱, 客戶名, w, 合計, 備註, (SELECT SUM(CAST(REPLACE(實收金, ',', '') AS " \
    "INTEGER)) FROM " side "期 WHERE " side "期.id = " side                                                \
    ".id) AS 期收, (SELECT "                                                                             \
    "SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) FROM " side "加 WHERE " side "加.id = " side             \
    ".id) AS 追加, (SELECT SUM(CAST(REPLACE(實收金, ',', '') AS INTEGER)) FROM " side                      \
    "加 WHERE " side "加.id = " side                                                                       \
    ".id) AS 追加收, (SELECT SUM(CAST(REPLACE(金額, ',', '') AS INTEGER)) "                           \
    "FROM " side "減 WHERE " side "減.id = " side ".id) AS 追減 FROM " side                                \
    " WHERE 專id = ? AND 專名 = ? ORDER BY id"
constexpr const char* sideContractsSql[2] = {SIDE_CONTRACTS_SQL("ri"), SIDE_CONTRACTS_SQL("ro")};

int64_t rawProjectContracts(Raw& acc, const std::string& project, const std::string& name) {
    Rows rows;
    for (int side = 0; side < 2; ++side) {
        sqlite3_stmt* q = acc.statement(sideContractsSql[side]);
        bind(q, 1, project);
        bind(q, 2, name);
        while (sqlite3_step(q) == SQLITE_ROW) {
            std::vector<std::string> row{text(q, 0), text(q, 1), text(q, 2),
                                         text(q, 3), text(q, 4), text(q, 5)};
            row.push_back(amount(sqlite3_column_int64(q, 7)));
            row.push_back(amount(sqlite3_column_int64(q, 9)));
            row.push_back(amount(sqlite3_column_int64(q, 6) + sqlite3_column_int64(q, 8)));
            rows.push_back(std::move(row));
        }
    }
    return static_cast<int64_t>(rows.size());
}

// What 沖帳 keeps of a listed voucher for the settlement made from its row: its day and amount.
struct SettleDayAndAmount {
    std::string day;
    std::optional<long long> amount;
};

// 沖帳: the signed vouchers of the contract's project on the contract's side. The list shows eleven
// fields of each voucher (the number, the amount, cash or cheque, seven texts and the date); of the
// voucher itself only the day and the amount are kept.
int64_t rawSettleVouchers(Raw& acc, const std::string& project, const std::string& name) {
    sqlite3_stmt* q = acc.statement(
        "SELECT * FROM iof WHERE 專案號碼 = ? AND 專案名稱 = ? AND pay = ? AND 方式 IN (?, ?, ?) "
        "ORDER BY 單號");
    bind(q, 1, project);
    bind(q, 2, name);
    sqlite3_bind_int(q, 3, 0);
    for (int i = 0; i < 3; ++i)
        sqlite3_bind_int(q, 4 + i, i == 0 ? 0 : i == 1 ? 1 : 3);
    Rows shown;
    std::vector<SettleDayAndAmount> kept;
    while (sqlite3_step(q) == SQLITE_ROW) {
        const bool noAmount = sqlite3_column_type(q, 4) == SQLITE_NULL;
        const long long money = sqlite3_column_int64(q, 4);
        kept.push_back({text(q, 13), noAmount ? std::nullopt : std::optional<long long>(money)});
        shown.push_back({text(q, 1), amount(money), sqlite3_column_int(q, 3) == 0 ? "現金" : "票據",
                         text(q, 2), text(q, 12), text(q, 5), text(q, 7), text(q, 14), text(q, 15),
                         text(q, 8), rocDate(kept.back().day)});
    }
    benchmark::DoNotOptimize(kept.data());
    return static_cast<int64_t>(shown.size());
}

// The contract search's instalments and additions already billed, with their total.
int64_t rawBilledSchedules(Raw& acc) {
    int64_t count = 0;
    long long total = 0;
    static const char* const sql[2] = {
        "SELECT c.id, c.收名稱, c.簽約日, c.客戶名, c.聯絡人, c.電話, s.期別, s.預付金 AS amount, "
        "s.預付日, s.處理 FROM ro AS c INNER JOIN ro期 AS s ON c.id = s.id WHERE s.送帳日 IS NOT "
        "NULL ORDER BY c.id, s.期別",
        "SELECT c.id, c.收名稱, c.簽約日, c.客戶名, c.聯絡人, c.電話, s.期別, s.金額 AS amount, "
        "s.預付日, s.處理 FROM ro AS c INNER JOIN ro加 AS s ON c.id = s.id WHERE s.送帳日 IS NOT "
        "NULL ORDER BY c.id, s.期別"};
    for (const bool additions : {false, true}) {
        Rows rows = textRows(acc.statement(sql[additions]));
        for (auto& row : rows) {
            row[2] = rocDate(row[2]);
            row[6] = additions ? "追加" + row[6] : "第" + row[6] + "期";
            row[8] = rocDate(row[8]);
            row[9] = row[9] == "1" ? "是" : "否";
            total += amountValue(row[7]).value_or(0);
        }
        count += static_cast<int64_t>(rows.size());
    }
    benchmark::DoNotOptimize(amount(total));
    return count;
}

// 預估資金流量表 from today to today: the cash and the accounts' balances, then the unprocessed
// cheques by day, with the running funds.
int64_t rawForecast(Raw& acc) {
    struct Line {
        std::string day, key, use;  // the day as stored
        long long amount;           // below zero an expense
        const char* note;
    };
    const std::string day = today.iso();
    std::vector<Line> lines;
    sqlite3_stmt* cash = acc.statement("SELECT bala FROM cash ORDER BY id DESC LIMIT 1");
    lines.push_back({day, "", "現金餘額",
                     sqlite3_step(cash) == SQLITE_ROW ? sqlite3_column_int64(cash, 0) : 0,
                     "現金帳餘額"});
    sqlite3_reset(cash);
    static const struct {
        const char *accounts, *opening, *suffix;
    } kinds[] = {{"SELECT bank, id FROM obank ORDER BY id",
                  "SELECT cash FROM obank WHERE bank = ? AND id = ?", "(一般存款)"},
                 {"SELECT bank, id FROM bbank ORDER BY id",
                  "SELECT ps FROM bbank WHERE bank = ? AND id = ?", "(支票存款)"}};
    for (const auto& kind : kinds) {
        for (const auto& account : textRows(acc.statement(kind.accounts))) {
            sqlite3_stmt* opening = acc.statement(kind.opening);
            bind(opening, 1, account[0]);
            bind(opening, 2, account[1]);
            long long balance =
                sqlite3_step(opening) == SQLITE_ROW ? sqlite3_column_int64(opening, 0) : 0;
            sqlite3_reset(opening);
            sqlite3_stmt* last = acc.statement(
                "SELECT id, bala FROM bank WHERE bank = ? AND Bid = ? ORDER BY id DESC LIMIT 1");
            bind(last, 1, account[0]);
            bind(last, 2, account[1]);
            if (sqlite3_step(last) == SQLITE_ROW) balance += sqlite3_column_int64(last, 1);
            sqlite3_reset(last);
            lines.push_back({day, account[0] + kind.suffix, account[1], balance, "存款餘額"});
        }
    }
    // The cheques by day, then by voucher number.
    const std::string after = today.addDays(1).iso();
    std::vector<Line> cheques;
    static const char* const sql[2] = {
        "SELECT bill.到期日, bill.收支單號, iof.用途說明, bill.金額 FROM bill LEFT JOIN iof ON "
        "bill.收支單號 = iof.單號 WHERE bill.到期日 < ? AND bill.收支 = 0 AND bill.方式 = 0",
        "SELECT bill.deDay, bill.收支單號, iof.用途說明, bill.金額 FROM bill LEFT JOIN iof ON "
        "bill.收支單號 = iof.單號 WHERE bill.deDay < ? AND bill.收支 = 1 AND bill.方式 = 0"};
    for (const bool received : {false, true}) {
        sqlite3_stmt* q = acc.statement(sql[received]);
        bind(q, 1, after);
        while (sqlite3_step(q) == SQLITE_ROW) {
            const long long money = sqlite3_column_int64(q, 3);
            cheques.push_back({text(q, 0).substr(0, 10), text(q, 1), text(q, 2),
                               received ? money : -money, "未處理"});
        }
    }
    std::stable_sort(cheques.begin(), cheques.end(), [](const Line& a, const Line& b) {
        const int days = a.day.compare(b.day);
        return days != 0 ? days < 0 : a.key < b.key;
    });
    std::move(cheques.begin(), cheques.end(), std::back_inserter(lines));
    Rows rows;
    long long running = 0;
    for (const Line& line : lines) {
        running += line.amount;
        const std::string money = amount(std::llabs(line.amount));
        rows.push_back({std::to_string(rows.size() + 1), eraDate(line.day), line.key, line.use,
                        line.amount >= 0 ? money : "", line.amount >= 0 ? "" : money, line.note,
                        amount(running)});
    }
    return static_cast<int64_t>(rows.size());
}

// A book's listing: the balance before the range, then its postings.
int64_t rawBookListing(Raw& acc, bool cash, const Date& start, const Date& end) {
    const std::string from = start.iso(), after = end.addDays(1).iso();
    const std::string account = "0123456789", bank = "臺灣銀行 城中分行";
    sqlite3_stmt* prior =
        cash ? acc.statement("SELECT bala FROM cash WHERE +day < ? ORDER BY id DESC LIMIT 1")
             : acc.statement(
                   "SELECT bala FROM bank WHERE +day < ? AND Bid = ? AND bank = ? "
                   "ORDER BY id DESC LIMIT 1");
    bind(prior, 1, from);
    if (!cash) {
        bind(prior, 2, account);
        bind(prior, 3, bank);
    }
    Rows rows{{"1", eraDate(start.addDays(-1).iso()), "", "之前餘額", "", "",
               amount(sqlite3_step(prior) == SQLITE_ROW ? sqlite3_column_int64(prior, 0) : 0)}};
    sqlite3_reset(prior);
    sqlite3_stmt* q =
        cash ? acc.statement(
                   "SELECT day, cash, memo, lno, bala, incom FROM cash WHERE day >= ? AND day < ? "
                   "ORDER BY id")
             : acc.statement(
                   "SELECT day, cash, memo, lno, bala, incom FROM bank WHERE day >= ? AND day < ? "
                   "AND Bid = ? AND bank = ? ORDER BY id");
    bind(q, 1, from);
    bind(q, 2, after);
    if (!cash) {
        bind(q, 3, account);
        bind(q, 4, bank);
    }
    while (sqlite3_step(q) == SQLITE_ROW) {
        const bool income = sqlite3_column_int(q, 5) != 0;
        const std::string money = amount(sqlite3_column_int64(q, 1));
        rows.push_back({std::to_string(rows.size() + 1), eraDate(text(q, 0)), text(q, 3),
                        text(q, 2), income ? money : "", income ? "" : money,
                        amount(sqlite3_column_int64(q, 4))});
    }
    return static_cast<int64_t>(rows.size()) - 1;
}

// 票據到期提醒: each side's unprocessed cheques due by today and their totals by account.
int64_t rawReminder(Raw& acc) {
    const std::string tomorrow = today.addDays(1).iso();
    int64_t count = 0;
    for (int side = 0; side < 2; ++side) {
        sqlite3_stmt* q = acc.statement(
            side == 0
                ? "SELECT 票據號碼, 收銀行, 收帳號, 金額, 開票人, 到期日, deDay, 收支單號 "
                  "FROM bill WHERE 到期日 < ? AND 方式 = 0 AND 收支 = ? ORDER BY deDay, 收銀行"
                : "SELECT 票據號碼, 開銀行, 開帳號, 金額, 收票人, 到期日, arDay, 收支單號 "
                  "FROM bill WHERE arDay < ? AND 方式 = 0 AND 收支 = ? ORDER BY 開銀行, 到期日");
        bind(q, 1, tomorrow);
        sqlite3_bind_int(q, 2, side == 0);
        long long running = 0;
        Rows rows = textRows(q);
        for (auto& row : rows) {
            const long long money = std::atoll(row[3].c_str());
            running += money;
            const std::string& day = row[side == 0 ? 6 : 5];
            row[3] = amount(money);
            row.push_back(day.empty() ? "" : rocDate(day));
            row.push_back(day.empty() ? ""
                                      : std::to_string(
                                            daysBetween(today, *Date::fromIso(day.substr(0, 10)))) +
                                            " 天");
            row.push_back(amount(running));
        }
        count += static_cast<int64_t>(rows.size());
        if (rows.empty()) continue;
        sqlite3_stmt* totals = acc.statement(
            side == 0 ? "SELECT 收銀行, 收帳號, SUM(金額) FROM bill WHERE 到期日 < ? AND 方式 = 0 "
                        "AND 收支 = ? GROUP BY 收銀行, 收帳號 ORDER BY 收銀行, 收帳號"
                      : "SELECT 開銀行, 開帳號, SUM(金額) FROM bill WHERE arDay < ? AND 方式 = 0 "
                        "AND 收支 = ? GROUP BY 開銀行, 開帳號 ORDER BY 開銀行, 開帳號");
        bind(totals, 1, tomorrow);
        sqlite3_bind_int(totals, 2, side == 0);
        benchmark::DoNotOptimize(textRows(totals).size());
    }
    return count;
}

// 收支單's save of a new voucher: the day's next number, the row, then the voucher shown and its
// print table, as the form shows it after the save.
constexpr char voucherInsert[] =
    "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, 附註一, "
    "附註二, 專案號碼, 專案名稱, 工程種類, 發生日期, 申請人, 簽收, 單據, 單據號碼, 稅額, 進銷, "
    "建議方式) VALUES (?1, ?2, '工地材料', -2, 12000, '4102', 0, '利息收入', '', '', '', '', '', "
    "?1, '', '', 0, '', 571, 0, -2)";

// Today's number prefix, "1141231" for 2025-12-31.
std::string dayPrefix() {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%d%02d%02d", today.year() - 1911, today.month(),
                  today.day());
    return prefix;
}

// The next number of the day after the last one `sql` finds, `digits` digits of serial.
std::string nextNumber(Raw& acc, const char* sql, int digits) {
    sqlite3_stmt* last = acc.statement(sql);
    const std::string prefix = dayPrefix(), like = prefix + "%";
    bind(last, 1, like);
    long long serial = 0;
    if (sqlite3_step(last) == SQLITE_ROW && sqlite3_column_type(last, 0) != SQLITE_NULL)
        serial = std::atoll(text(last, 0).c_str() + prefix.size());
    sqlite3_reset(last);
    char number[32];
    std::snprintf(number, sizeof number, "%s%0*lld", prefix.c_str(), digits, serial + 1);
    return number;
}

// After a save the scroll bar takes the new count and the new voucher's place, and the newest
// voucher is read from the back.
int64_t rawVoucherShownAfterSave(Raw& acc, Raw& pt, const std::string& number,
                                 std::vector<std::string>* shown = nullptr) {
    sqlite3_stmt* count = acc.statement("SELECT Count(*) FROM iof");
    sqlite3_step(count);
    benchmark::DoNotOptimize(sqlite3_column_int64(count, 0));
    sqlite3_reset(count);
    sqlite3_stmt* before = acc.statement("SELECT Count(*) FROM iof WHERE 單號 < ?");
    bind(before, 1, number);
    sqlite3_step(before);
    benchmark::DoNotOptimize(sqlite3_column_int64(before, 0));
    sqlite3_reset(before);
    return showVoucher(pt, acc.statement("SELECT * FROM iof ORDER BY 單號 DESC LIMIT 1"), shown);
}

std::string rawVoucherSave(Raw& acc) {
    acc.exec("BEGIN IMMEDIATE");
    const std::string number =
        nextNumber(acc, "SELECT Max(單號) FROM iof WHERE 單號 LIKE ? ESCAPE '\\'", 3);
    sqlite3_stmt* insert = acc.statement(voucherInsert);
    const std::string day = today.iso();
    bind(insert, 1, day);
    bind(insert, 2, number);
    sqlite3_step(insert);
    acc.exec("COMMIT");
    return number;
}

// 取消 of an edit, or the end of a save: the voucher shown again as stored, and its print table.
int64_t rawShowStored(Raw& acc, Raw& pt, const std::string& number) {
    sqlite3_stmt* shown = acc.statement("SELECT * FROM iof WHERE 單號 = ?");
    bind(shown, 1, number);
    return showVoucher(pt, shown);
}

// The save of a voucher shown: the voucher checked to be still as it was shown and rewritten in
// `state`, with a sign-off by cash (state 0) the cash book's next row with its running balance,
// then the voucher shown again. Nothing is counted: nothing else changed the book meanwhile.
int64_t rawRewrite(Raw& acc, Raw& pt, const std::string& number,
                   const std::vector<std::string>& asShown, int state) {
    acc.exec("BEGIN IMMEDIATE");
    sqlite3_stmt* read = acc.statement("SELECT rowid, * FROM iof WHERE 單號 = ?");
    bind(read, 1, number);
    const bool unchanged = sqlite3_step(read) == SQLITE_ROW && [&] {
        const std::vector<std::string> stored = rowTexts(read);
        return std::equal(stored.begin() + 1, stored.end(), asShown.begin(), asShown.end());
    }();
    if (!unchanged) {
        sqlite3_reset(read);
        acc.exec("ROLLBACK");
        return 0;
    }
    const long long rowid = sqlite3_column_int64(read, 0);
    const long long money = sqlite3_column_int64(read, 5);
    sqlite3_reset(read);
    sqlite3_stmt* update = acc.statement(
        "UPDATE iof SET 用途說明 = '工地材料', 方式 = ?, 金額 = ?, 科目代號 = '4102', pay = 0, "
        "科目名稱 = '利息收入', 附註一 = '', 附註二 = '', 專案號碼 = '', 專案名稱 = '', 工程種類 "
        "= '', 發生日期 = ?, 申請人 = '', 簽收 = '', 單據 = 0, 單據號碼 = '', 稅額 = 571, 進銷 = "
        "0, "
        "建議方式 = -2 WHERE rowid = ?");
    const std::string day = today.iso();
    sqlite3_bind_int(update, 1, state);
    sqlite3_bind_int64(update, 2, money);
    bind(update, 3, day);
    sqlite3_bind_int64(update, 4, rowid);
    sqlite3_step(update);
    if (state == 0) {
        sqlite3_stmt* last = acc.statement("SELECT id, bala FROM cash ORDER BY id DESC LIMIT 1");
        long long id = 0, balance = 0;
        if (sqlite3_step(last) == SQLITE_ROW) {
            id = sqlite3_column_int64(last, 0);
            balance = sqlite3_column_int64(last, 1);
        }
        sqlite3_reset(last);
        sqlite3_stmt* post = acc.statement(
            "INSERT INTO cash (id, incom, day, cash, memo, lno, bala) VALUES (?, 1, ?, ?, "
            "'工地材料', ?, ?)");
        sqlite3_bind_int64(post, 1, id + 1);
        bind(post, 2, day);
        sqlite3_bind_int64(post, 3, money);
        bind(post, 4, number);
        sqlite3_bind_int64(post, 5, balance + money);
        sqlite3_step(post);
    }
    acc.exec("COMMIT");
    return rawShowStored(acc, pt, number);
}

// 應收付帳款's save of a new receivable contract: the day's next number and the row, then the form
// opened again as after every save.
int64_t rawContractSave(Raw& acc, Raw& people) {
    acc.exec("BEGIN IMMEDIATE");
    const std::string number =
        nextNumber(acc, "SELECT Max(id) FROM ri WHERE id LIKE ? ESCAPE '\\'", 2);
    sqlite3_stmt* insert = acc.statement(
        "INSERT INTO ri (id, 收名稱, 簽約日, 客戶名, 聯絡人, 電話, 銷貨金額, 稅金, 佣金, 合計, "
        "備註, 報價單號, 合約單號, 專名, 專id, w, fnLet, 無發票, Let) VALUES (?, '新合約', ?, '', "
        "'', '', '95,238', '4,762', '', '100,000', '', '', '', '', '', '', '', 0, '')");
    const std::string day = today.iso();
    bind(insert, 1, number);
    bind(insert, 2, day);
    const bool stored = sqlite3_step(insert) == SQLITE_DONE;
    acc.exec("COMMIT");
    rawContractOpen(acc, people);
    return stored;
}

// 收支查詢's grid copied to a workbook as a C program writes it with libxlsxwriter: three title
// lines, then the header, the rows and the total rows boxed in thin lines, amounts as numbers,
// each column's width.
void rawWorkbook(const Rows& rows, const fs::path& file) {
    static const std::vector<std::string> headers = {
        "",      "發生日期",       "收支單號", "科 目",  "用途說明",   "收 入",     "支 出",
        "餘 額", "專  案  名  稱", "申請人",   "簽收人", "附  註  一", "附  註  二"};
    static const int widths[] = {450,  900,  1100, 1300, 2500, 1100, 1100,
                                 1100, 1800, 900,  900,  1500, 1500};
    lxw_workbook* book = workbook_new(file.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* thin = workbook_add_format(book);
    format_set_border(thin, LXW_BORDER_THIN);
    lxw_format* thinAmount = workbook_add_format(book);
    format_set_border(thinAmount, LXW_BORDER_THIN);
    format_set_num_format(thinAmount, "#,##0");
    for (int c = 0; c < 13; ++c)
        worksheet_set_column(sheet, c, c, widths[c] / 90.0, nullptr);
    const char* titles[] = {"公司 ： 收支查詢", "查 詢 條 件:當月全部 － ",
                            "113/01/01 ～ 113/12/31      收支狀況"};
    for (lxw_row_t line = 0; line < 3; ++line)
        worksheet_write_string(sheet, line, 0, titles[line], nullptr);
    lxw_row_t r = 3;
    const auto write = [&](const std::vector<std::string>& row) {
        for (int c = 0; c < 13; ++c)
            if (const std::optional<long long> value = amountValue(row[c]))
                worksheet_write_number(sheet, r, c, static_cast<double>(*value), thinAmount);
            else
                worksheet_write_string(sheet, r, c, row[c].c_str(), thin);
        ++r;
    };
    write(headers);
    for (const auto& row : rows)
        write(row);
    workbook_close(book);
}

// The print of 收支查詢's list: the template read and parsed, its tables read through SQLite's C
// API into the same rows and values the program's reader gives, then laid out and written to a
// PDF by the program's own layout and page painter, so that the twin differs from the program
// only in how the print table is read.
std::vector<Value> rawValues(sqlite3_stmt* q, const std::string& table) {
    std::vector<Value> row;
    for (int c = 0; c < sqlite3_column_count(q); ++c) {
        const FieldDef* field = printSchema().field(table, sqlite3_column_name(q, c));
        switch (sqlite3_column_type(q, c)) {
            case SQLITE_INTEGER:
                row.emplace_back(field && field->kind == FieldKind::Boolean
                                     ? Value(sqlite3_column_int64(q, c) != 0)
                                     : Value(static_cast<long long>(sqlite3_column_int64(q, c))));
                break;
            case SQLITE_FLOAT:
                row.emplace_back(sqlite3_column_double(q, c));
                break;
            case SQLITE_NULL:
                row.emplace_back();
                break;
            default: {
                std::string cell = text(q, c);
                std::optional<Date> day;
                if (field && field->kind == FieldKind::Date) day = Date::fromIso(cell);
                row.emplace_back(day ? Value(*day) : Value(std::move(cell)));
            }
        }
    }
    return row;
}

TableRows rawTableRows(Raw& pt, const std::string& table, bool firstOnly) {
    TableRows read{table, {}, {}};
    sqlite3_stmt* q = pt.statement("SELECT * FROM \"" + table + "\" ORDER BY rowid" +
                                   (firstOnly ? " LIMIT 1" : ""));
    for (int c = 0; c < sqlite3_column_count(q); ++c)
        read.fields.emplace_back(sqlite3_column_name(q, c));
    while (sqlite3_step(q) == SQLITE_ROW)
        read.rows.push_back(rawValues(q, table));
    return read;
}

void rawBand(Raw& pt, const std::optional<Band>& band, TableRows& rows, ReportData& data) {
    if (!band) return;
    if (!band->table.empty()) rows = rawTableRows(pt, band->table, false);
    for (const auto& item : band->items) {
        const auto* field = std::get_if<FieldItem>(&item);
        if (!field || (field->ref.kind != FieldRef::Kind::TableField &&
                       field->ref.kind != FieldRef::Kind::TableColumn))
            continue;
        TableRows first = rawTableRows(pt, field->ref.table, true);
        int column = field->ref.column;
        if (field->ref.kind == FieldRef::Kind::TableField)
            for (size_t i = 0; i < first.fields.size(); ++i)
                if (first.fields[i] == field->ref.field) column = static_cast<int>(i);
        data.values[field->ref.key()] = first.rows.empty() ? Value() : first.rows[0][column];
    }
}

int64_t rawPrint(Raw& pt, const fs::path& templateFile, const fs::path& pdf) {
    std::ifstream file(templateFile, std::ios::binary);
    std::ostringstream templateText;
    templateText << file.rdbuf();
    const Template report = parseTemplate(templateText.str());
    ReportData data;
    TableRows none;
    rawBand(pt, report.header, none, data);
    rawBand(pt, report.detail, data.detail, data);
    rawBand(pt, report.summary, data.summary, data);
    rawBand(pt, report.footer, none, data);
    writePdf(layOut(report, data), pdf.string());
    return static_cast<int64_t>(data.detail.rows.size());
}

// ---------------------------------------------------------------------------------------------

struct Figure {
    std::string action;
    int64_t size;
    double program = 1e30, raw = 1e30;
    int64_t programRows = 0, rawRows = 0;
};

long residentKilobytes() {
    long kilobytes = 0;
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    while (status && std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kilobytes = std::atol(line + 6);
    if (status) std::fclose(status);
    return kilobytes;
}

// The seconds `run` takes, and the rows it produced.
double seconds(const std::function<int64_t()>& run, int64_t& rows) {
    auto start = std::chrono::steady_clock::now();
    rows = run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class Table {
  public:
    // Only the actions whose names hold this text are timed.
    std::string only;

    // The program's action and its twin, in turns, `rounds` times each, the program first in one
    // round and the twin first in the next, so that neither always finds the caches as the other
    // left them; the fastest of each kept. Each returns the rows it produced, which must agree.
    // `before` runs untimed right before each of the program's runs (a form unloaded, so that
    // every run is a first one), `rawBefore` before each of the twin's (a write's fresh row).
    void time(const std::string& action, int64_t size, int rounds,
              const std::function<int64_t()>& program, const std::function<int64_t()>& raw,
              const std::function<void()>& before = {},
              const std::function<void()>& rawBefore = {}) {
        if (action.find(only) == std::string::npos) return;
        Figure figure{action, size};
        const auto runProgram = [&] {
            if (before) before();
            figure.program = std::min(figure.program, seconds(program, figure.programRows));
        };
        const auto runRaw = [&] {
            if (rawBefore) rawBefore();
            figure.raw = std::min(figure.raw, seconds(raw, figure.rawRows));
        };
        for (int i = 0; i < rounds; ++i) {
            if (i % 2 == 0) {
                runProgram();
                runRaw();
            } else {
                runRaw();
                runProgram();
            }
        }
        std::fprintf(stderr, "  %-44s %8lld %10.2f ms %10.2f ms %8lld %8lld rows\n", action.c_str(),
                     static_cast<long long>(size), figure.program * 1e3, figure.raw * 1e3,
                     static_cast<long long>(figure.programRows),
                     static_cast<long long>(figure.rawRows));
        figures_.push_back(figure);
    }

    void print() const {
        std::printf("\n%-44s %9s %12s %12s %7s %8s %9s %9s\n", "action", "vouchers", "program ms",
                    "raw ms", "ratio", "100k→1M", "rows", "raw rows");
        for (const Figure& f : figures_) {
            std::string growth;
            if (f.size == 1'000'000)
                for (const Figure& g : figures_)
                    if (g.action == f.action && g.size == 100'000) {
                        char text[32];
                        std::snprintf(text, sizeof text, "%.1f×", f.program / g.program);
                        growth = text;
                    }
            const double ratio = f.program / f.raw;
            // An action under a millisecond may be half a millisecond over its twin.
            const bool over = ratio > 1.5 && !(f.raw < 1e-3 && f.program - f.raw <= 0.5e-3);
            std::printf("%-44s %9lld %12.2f %12.2f %7.2f %8s %9lld %9lld%s%s\n", f.action.c_str(),
                        static_cast<long long>(f.size), f.program * 1e3, f.raw * 1e3, ratio,
                        growth.c_str(), static_cast<long long>(f.programRows),
                        static_cast<long long>(f.rawRows), over ? "  OVER 1.5" : "",
                        f.programRows != f.rawRows ? "  ROWS DIFFER" : "");
        }
    }

  private:
    std::vector<Figure> figures_;
};

// The saves: a new voucher, a voucher signed off by cash, an edit saved or cancelled and a new
// contract, each turn on a fresh row of its own. What they add to the book is taken out again at
// the end, so that every run measures the same book.
void measureWrites(Program& p, Table& table, Raw& acc, Raw& people, Raw& pt, int64_t size,
                   int rounds) {
    sqlite3_stmt* ends = acc.statement(
        "SELECT (SELECT Max(rowid) FROM iof), (SELECT Max(rowid) FROM cash), (SELECT Max(rowid) "
        "FROM ri)");
    sqlite3_step(ends);
    const long long lastVoucher = sqlite3_column_int64(ends, 0),
                    lastPosting = sqlite3_column_int64(ends, 1),
                    lastContract = sqlite3_column_int64(ends, 2);
    sqlite3_reset(ends);

    frmIo& voucher = Forms::get<frmIo>();
    const auto enterVoucher = [&] {
        p.host.click(voucher.cmdAdd);
        p.host.type(voucher.cbUse, "工地材料");
        p.host.pick(voucher.cbAcc, 1);
        p.host.type(voucher.txtCash, "12000");
    };
    table.time(
        "收支單 save (a new voucher)", size, rounds,
        [&] {
            p.host.click(voucher.cmdSv);
            return static_cast<int64_t>(voucher.lbStat.Caption() == "〔瀏覽〕");
        },
        [&] { return rawVoucherShownAfterSave(acc, pt, rawVoucherSave(acc)); }, enterVoucher);
    std::string fresh;
    std::vector<std::string> freshShown;
    const auto freshForTwin = [&] {
        fresh = rawVoucherSave(acc);
        rawVoucherShownAfterSave(acc, pt, fresh, &freshShown);
    };
    table.time(
        "收支單 sign-off by cash", size, rounds,
        [&] {
            p.host.click(voucher.cmdSv);
            return static_cast<int64_t>(!voucher.ck.Enabled());
        },
        [&] { return rawRewrite(acc, pt, fresh, freshShown, 0); },
        [&] {
            enterVoucher();
            p.host.click(voucher.cmdSv);
            p.host.click(voucher.ck);
            p.host.click(voucher.optA(0));
        },
        // The twin's fresh voucher is saved and shown as the form's is, so that each side
        // signs off after the same reads.
        freshForTwin);
    // An edit of a fresh voucher, saved or cancelled. The edit types a receipt number, which asks
    // nothing as the box is left.
    const auto editFresh = [&] {
        enterVoucher();
        p.host.click(voucher.cmdSv);
        p.host.click(voucher.cmdEdit);
        p.host.type(voucher.txtBno, "1");
    };
    table.time(
        "收支單 save (an edit)", size, rounds,
        [&] {
            p.host.click(voucher.cmdSv);
            return static_cast<int64_t>(voucher.lbStat.Caption() == "〔瀏覽〕");
        },
        [&] { return rawRewrite(acc, pt, fresh, freshShown, -2); }, editFresh, freshForTwin);
    table.time(
        "收支單 cancel (an edit)", size, rounds,
        [&] {
            p.host.click(voucher.cmdCencel);
            return static_cast<int64_t>(voucher.lbStat.Caption() == "〔瀏覽〕");
        },
        [&] { return rawShowStored(acc, pt, fresh); }, editFresh, freshForTwin);
    Forms::unloadByName("frmIo");

    frmRio& contract = Forms::get<frmRio>();
    table.time(
        "應收付帳款 save (a new contract)", size, rounds,
        [&] {
            p.host.click(contract.cmdSv);
            return static_cast<int64_t>(contract.lbStat.Caption() == "瀏覽");
        },
        [&] { return rawContractSave(acc, people); },
        [&] {
            p.host.click(contract.cmdAdd);
            p.host.pickDate(contract.DTP, today);
            p.host.type(contract.txtNa, "新合約");
            p.host.type(contract.txtTal, "100000");
        });
    Forms::unloadByName("frmRio");

    acc.exec("BEGIN");
    for (auto [sql, last] : {std::pair{"DELETE FROM iof WHERE rowid > ?", lastVoucher},
                             std::pair{"DELETE FROM cash WHERE rowid > ?", lastPosting},
                             std::pair{"DELETE FROM ri WHERE rowid > ?", lastContract}}) {
        sqlite3_stmt* erase = acc.statement(sql);
        sqlite3_bind_int64(erase, 1, last);
        sqlite3_step(erase);
    }
    acc.exec("COMMIT");
}

void measureBook(Table& table, int64_t size) {
    const fs::path folder = bookFolder(size);
    Program p(folder);
    Raw acc(folder / "acc.mdb", false), people(folder / "zove3.mdb", false),
        pt(folder / "pt.mdb", true);
    // An even number of rounds, so that each side goes first as often as the other.
    const int rounds = 6;
    // The contract search's billed rows: the first two instalments and the addition of every
    // payable contract were sent for payment (a book made before this carries none yet).
    acc.exec(
        "UPDATE ro期 SET 送帳日 = '2020-01-01' WHERE 期別 < 3 AND NOT EXISTS (SELECT 1 FROM ro期 "
        "WHERE 送帳日 IS NOT NULL)");
    acc.exec(
        "UPDATE ro加 SET 送帳日 = '2020-01-01' WHERE NOT EXISTS (SELECT 1 FROM ro加 WHERE 送帳日 "
        "IS NOT NULL)");
    std::fprintf(stderr, "%lld vouchers\n", static_cast<long long>(size));
    // The voucher form's accounts and purposes, which a new voucher picks from (a book made
    // before this has none yet).
    acc.exec(
        "INSERT INTO acc (id, incom, acc) SELECT column1, column2, column3 FROM (VALUES ('4101', "
        "1, '工程收入'), ('4102', 1, '利息收入'), ('5101', 0, '材料費'), ('5102', 0, '工資'), "
        "('5103', 0, '運費'), ('5104', 0, '雜支'), ('5105', 0, '水電費'), ('5106', 0, '租金'), "
        "('5107', 0, '保險費')) WHERE NOT EXISTS (SELECT 1 FROM acc)");
    acc.exec("INSERT INTO use (id, use) SELECT 1, '工地材料' WHERE NOT EXISTS (SELECT 1 FROM use)");

    // 收支查詢, opened on this month in 收支狀況 mode.
    const Date monthStart = Date::fromYmd(today.year(), today.month(), 1);
    table.time(
        "收支查詢 open (this month, data span)", size, rounds,
        [&] { return listed(Forms::get<frmCash>().hfg, 2); },
        [&] {
            const int64_t rows =
                listedRows(rawVoucherQuery(acc, pt, monthStart, monthStart.addDays(31)));
            rawDataSpan(acc);
            return rows;
        },
        [] { Forms::unloadByName("frmCash"); });
    frmCash& query = Forms::get<frmCash>();
    table.time(
        "收支查詢 criterion 依科目", size, rounds,
        [&] {
            p.host.pick(query.cbRu, query.cbRu.FindEntry("依科目"));
            return static_cast<int64_t>(query.cbSub.ListCount());
        },
        [&] { return rawAccountList(acc); });
    Rows yearRows;
    table.time(
        "收支查詢 one year", size, rounds,
        [&] {
            queryRange(p, query, yearStart, yearEnd);
            return listed(query.hfg, 2);
        },
        [&] {
            yearRows = rawVoucherQuery(acc, pt, yearStart, yearEnd.addDays(1));
            return listedRows(yearRows);
        });
    // The form sorts the rows it holds and runs no query; so does the twin, in place, so that
    // the workbook and the print that follow hold the sorted rows on both sides.
    table.time(
        "收支查詢 header sort (one year)", size, rounds,
        [&] {
            p.host.clickCell(query.hfg, 0, 4);
            return listed(query.hfg, 2);
        },
        [&] {
            rawHeaderSort(yearRows, 4);
            writeTable(pt, "DELETE FROM ptio", ptioInsert, yearRows, 1, 12);
            return listedRows(yearRows);
        });
    // The sorted year copied to a workbook, then printed.
    const fs::path out = home() / "bench-books" / "out";
    table.time(
        "收支查詢 workbook copy (one year)", size, rounds,
        [&] {
            p.host.click(query.cmdPxls);
            fs::remove(p.host.openedFiles().back());
            return listed(query.hfg, 2);
        },
        [&] {
            rawWorkbook(yearRows, out / "twin.xlsx");
            fs::remove(out / "twin.xlsx");
            return listedRows(yearRows);
        });
    table.time(
        "收支查詢 print (one year)", size, rounds,
        [&] {
            p.host.click(query.cmdPrt);
            const auto& printed = defaultReportOutput().printed().back();
            fs::remove(printed.pdfPath);
            return static_cast<int64_t>(printed.job.data.detail.rows.size()) - 9;
        },
        [&] {
            const int64_t rows = rawPrint(pt, folder / "io.rpt", out / "twin.pdf");
            fs::remove(out / "twin.pdf");
            return rows - 9;
        });
    table.time(
        "收支查詢 whole book", size, rounds,
        [&] {
            const long before = residentKilobytes();
            queryRange(p, query, firstDay, lastDay);
            std::fprintf(stderr, "    whole book: %ld MB more resident\n",
                         (residentKilobytes() - before) / 1024);
            return listed(query.hfg, 2);
        },
        [&] { return listedRows(rawVoucherQuery(acc, pt, firstDay, lastDay.addDays(1))); });
    Forms::unloadByName("frmCash");

    // 收支單: opened on the newest voucher, then the scroll bar dragged to the middle.
    table.time(
        "收支單 open", size, rounds,
        [&] {
            Forms::get<frmIo>();
            return static_cast<int64_t>(!Forms::get<frmIo>().lbNo.Caption().empty());
        },
        [&] { return rawVoucherOpen(acc, people, pt); }, [] { Forms::unloadByName("frmIo"); });
    table.time(
        "收支單 scroll bar to the middle (first jump)", size, rounds,
        [&] {
            frmIo& voucher = Forms::get<frmIo>();
            p.host.scroll(voucher.FSB, voucher.FSB.Max() / 2);
            return static_cast<int64_t>(!voucher.lbNo.Caption().empty());
        },
        [&] { return rawVoucherAt(acc, pt, (size - 1) / 2, size); },
        [] {
            Forms::unloadByName("frmIo");
            Forms::get<frmIo>();
        },
        // Each side jumps right after its own opening, with the caches that opening left.
        [&] { rawVoucherOpen(acc, people, pt); });
    Forms::unloadByName("frmIo");

    // 收支單: Right after 修改 and 取消 on the first voucher, an entry's end that counted nothing.
    frmIo& voucher = Forms::get<frmIo>();
    p.host.scroll(voucher.FSB, 0);
    const std::string firstVoucher = voucher.lbNo.Caption();
    table.time(
        "收支單 Right after 修改/取消 on the first voucher", size, rounds,
        [&] {
            p.host.act([&] { voucher.FSB.userKeyDown(Key::Right); });
            return static_cast<int64_t>(voucher.FSB.Value() == 1);
        },
        [&] { return rawVoucherAfter(acc, pt, firstVoucher); },
        // The voucher's own words may be missing from the lists: leaving a box asks, answered No.
        [&] {
            p.host.scroll(voucher.FSB, 0);
            p.host.answerMessage(AnswerNo);
            p.host.click(voucher.cmdEdit);
            p.host.type(voucher.txtBno, "1");
            p.host.click(voucher.cmdCencel);
            p.host.forgetAnswers();
        });
    Forms::unloadByName("frmIo");
    measureWrites(p, table, acc, people, pt, size, rounds);

    // 應收付帳款, opened on the newest receivable contract.
    table.time(
        "應收付帳款 open", size, rounds,
        [&] { return static_cast<int64_t>(Forms::get<frmRio>().FSB.Max() + 1); },
        [&] { return rawContractOpen(acc, people); }, [] { Forms::unloadByName("frmRio"); });

    // 沖帳 from the contract form, shown on a contract of a project whose vouchers were signed.
    frmRio& contract = Forms::get<frmRio>();
    const std::string project = "P1251", projectName = "第251號新建工程";
    contract.lbPjNo.SetCaption(project);
    contract.lbPj.SetCaption(projectName);
    table.time(
        "沖帳 (frmMchIo) open", size, rounds, [&] { return listed(Forms::get<frmMchIo>().hfg, 1); },
        [&] { return rawSettleVouchers(acc, project, projectName); },
        [] { Forms::unloadByName("frmMchIo"); });
    Forms::unloadByName("frmMchIo");

    // The contract search: payable instalments and additions already billed.
    p.host.click(contract.optOser);
    contract.cbSer.SetListIndex(3);
    table.time(
        "應收付查詢 payable, billed", size, rounds,
        [&] { return listed(Forms::get<frmRioser>().hfg, 8) - 1; },
        [&] { return rawBilledSchedules(acc); }, [] { Forms::unloadByName("frmRioser"); });
    Forms::unloadByName("frmRioser");
    Forms::unloadByName("frmRio");

    table.time(
        "預估資金流量表 open", size, rounds, [&] { return listed(Forms::get<frmFtr>().hfg, 7); },
        [&] { return rawForecast(acc); }, [] { Forms::unloadByName("frmFtr"); });
    Forms::unloadByName("frmFtr");

    // The book listings: the cash book of the month before today, one bank account over a year.
    frmTrans& books = Forms::get<frmTrans>();
    const Date lastMonth = Date::fromYmd(today.year(), today.month(), 1).addDays(-1);
    const Date lastMonthStart = Date::fromYmd(lastMonth.year(), lastMonth.month(), 1);
    table.time(
        "現金帳 listing, last month", size, rounds,
        [&] {
            ShowDate(books.lbSt, lastMonthStart);
            ShowDate(books.lbEd, lastMonth);
            p.host.click(books.cmdSCh);
            return listed(books.hfg, 2);
        },
        [&] { return rawBookListing(acc, true, lastMonthStart, lastMonth); });
    table.time(
        "銀行帳 listing, one account, a year", size, rounds,
        [&] {
            p.host.pick(books.cbBnk, 0);
            ShowDate(books.lbSt, yearStart);
            ShowDate(books.lbEd, yearEnd);
            p.host.click(books.cmdSBnk);
            return listed(books.hfg, 2);
        },
        [&] { return rawBookListing(acc, false, yearStart, yearEnd); });
    Forms::unloadByName("frmTrans");

    table.time(
        "票據到期提醒 open", size, rounds,
        [&] {
            frmArm& reminder = Forms::get<frmArm>();
            return listed(reminder.hfgI, 1) + listed(reminder.hfgO, 1);
        },
        [&] { return rawReminder(acc); }, [] { Forms::unloadByName("frmArm"); });
    Forms::unloadByName("frmArm");

    // 票據一覽表
    frmBB& cheques = Forms::get<frmBB>();
    table.time(
        "票據一覽表 issued, one year by due date", size, rounds,
        [&] {
            p.host.click(cheques.opt(0));
            cheques.ckDate.SetValue(1);
            p.host.pickDate(cheques.DTP1, yearStart);
            p.host.pickDate(cheques.DTP2, yearEnd);
            p.host.click(cheques.Command1);
            return listed(cheques.hfg, 1);
        },
        [&] { return rawChequeList(acc, pt, false); });
    table.time(
        "票據一覽表 every received cheque", size, rounds,
        [&] {
            p.host.click(cheques.opt(1));
            cheques.ckDate.SetValue(0);
            p.host.click(cheques.Command1);
            return listed(cheques.hfg, 1);
        },
        [&] { return rawChequeList(acc, pt, true); });
    Forms::unloadByName("frmBB");

    // 收支期間表
    frmLW& statement = Forms::get<frmLW>();
    table.time(
        "收支期間表 twelve months of a year", size, rounds,
        [&] {
            // The year lists start at this year.
            p.host.pick(statement.cbSy, today.year() - yearStart.year());
            p.host.pick(statement.cbSM, 0);
            p.host.pick(statement.cbEy, today.year() - yearStart.year());
            p.host.pick(statement.cbEM, 11);
            p.host.click(statement.cmdStar);
            return listed(statement.hfg, 1);
        },
        [&] { return rawPeriodStatement(acc); });
    Forms::unloadByName("frmLW");

    // 專案報表, every project and then the contracts of one.
    table.time(
        "專案報表 open (every project)", size, rounds,
        [&] {
            HandOver<bool> mode(ProjectReportMode, true);
            return listed(Forms::get<frmPjVSrIO>().hfg, 2);
        },
        [&] { return rawProjectReport(acc); }, [] { Forms::unloadByName("frmPjVSrIO"); });
    table.time(
        "專案報表 contracts of one project", size, rounds,
        [&] {
            HandOver<bool> mode(ProjectReportMode, false);
            return listed(Forms::get<frmPjVSrIO>().hfg, 1);
        },
        [&] { return rawProjectContracts(acc, "P1250", "第250號新建工程"); },
        [] {
            // The detail shows the project the project form shows.
            Forms::unloadByName("frmPjVSrIO");
            frmPj& projects = Forms::get<frmPj>();
            projects.txtPjNo.SetText("P1250");
            projects.txtPjN.SetText("第250號新建工程");
        });
    Forms::unloadByName("frmPjVSrIO");
    Forms::unloadByName("frmPj");
}

}  // namespace
}  // namespace kiv::bench

// `bench_books [--only=TEXT] [sizes...]`, e.g. `bench_books 10000 100000`; all three sizes when
// none is given, every action unless --only names part of some.
int main(int argc, char** argv) {
    using namespace kiv::bench;
    kiv::Clock::useFixedTime(today);
    // The workbooks the program saves go to the documents folder of a home of the benchmark's own.
    const fs::path out = home() / "bench-books" / "out";
    fs::create_directories(out);
    setenv("HOME", out.c_str(), 1);
    setenv("XDG_CONFIG_HOME", out.c_str(), 1);
    std::vector<int64_t> sizes;
    Table table;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--only=", 7) == 0)
            table.only = argv[i] + 7;
        else
            sizes.push_back(std::atoll(argv[i]));
    if (sizes.empty()) sizes = {10'000, 100'000, 1'000'000};
    for (int64_t size : sizes)
        measureBook(table, size);
    table.print();
    // The most memory the run held at once: with --only=whole, what the whole book's grid costs.
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    while (status && std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0) std::printf("\npeak resident %s", line + 6);
    if (status) std::fclose(status);
    return 0;
}

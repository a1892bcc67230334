// The books' everyday actions on a book of 1,000,000 vouchers, each through the database layer
// and as a plain program would run it on its own sqlite3 connection to the same file, in the same
// run. Prints figures and ratios; nothing here fails on a slow machine.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/forms/Clock.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/Schema.h"
#include "shell/mdM.h"

namespace kiv::bench {
namespace {

namespace fs = std::filesystem;

// Ten years of vouchers, about 274 a day; every tenth is paid by cheque and the rest are posted
// to the cash book with its running balance. The texts are drawn from short lists by a fixed
// scramble of the voucher's index, so every run builds the same book.
const Date firstDay = Date::fromYmd(2016, 1, 1);
const Date lastDay = Date::fromYmd(2025, 12, 31);
constexpr int64_t vouchers = 1'000'000;

constexpr char voucherSql[] = R"(
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ?1 - 1),
v AS (SELECT i, date(?3, '+' || (i * ?2 / ?1) || ' days') AS day,
             i - ((i * ?2 / ?1) * ?1 + ?2 - 1) / ?2 + 1 AS serial,
             (i * 2654435761) % 1000003 AS r, (i * 2654435761) % 1000003 % 9 AS account FROM n)
INSERT INTO iof
SELECT day, printf('%d%s%03d', strftime('%Y', day) - 1911, strftime('%m%d', day), serial),
       json_extract(?4, '$[' || (r % 15) || ']'), r % 5, 100 + r % 200000,
       json_extract(?5, '$[' || account || '][0]'), account < 7,
       json_extract(?5, '$[' || account || '][1]'), iif(r % 3, '', '急件'), '',
       'P' || (1000 + r % 500), '第' || (r % 500) || '號新建工程',
       json_extract(?6, '$[' || (r % 5) || ']'), day, json_extract(?7, '$[' || (r % 10) || ']'),
       json_extract(?7, '$[' || (r / 10 % 10) || ']'), r / 100 % 2,
       printf('AB%08d', r * 97 % 100000000), (100 + r % 200000) / 21, r / 200 % 2,
       iif((i + 1) % 10 = 0, -2, -1)
FROM v)";

constexpr char chequeSql[] = R"(
INSERT INTO bill
SELECT printf('QA%07d', rowid), 發生日期, iif(pay, date(發生日期, '+30 days'), NULL),
       date(發生日期, '+30 days'), iif(pay, NULL, date(發生日期, '+30 days')),
       json_extract(?1, '$[' || (rowid % 3) || ']'),
       json_extract(?1, '$[' || (rowid / 3 % 3) || ']'),
       申請人, 簽收, '0123456789', '9876543210', 金額, '新台幣', 1 - pay, 單號, 0
FROM iof WHERE 建議方式 = -2 ORDER BY rowid)";

constexpr char cashSql[] = R"(
INSERT INTO cash
SELECT row_number() OVER w, 1 - pay, 發生日期, 金額, iif(pay, '支出', '收入'), 單號,
       sum(iif(pay, -金額, 金額)) OVER w
FROM iof WHERE 建議方式 = -1 WINDOW w AS (ORDER BY rowid))";

void generate(const std::string& path) {
    auto db = Database::open(path, accSchema());
    // A book for measuring only: nothing is lost if the machine stops while it is written.
    db->Execute("PRAGMA synchronous = OFF");
    Transaction all(*db);
    db->Execute(voucherSql, vouchers, daysBetween(firstDay, lastDay) + 1, firstDay,
                R"(["購買水泥", "工地便當", "材料運費", "鋼筋款", "模板工資", "水電費", "油資",
                    "文具用品", "設計費", "工程款請款", "保險費", "租金", "鷹架租賃費",
                    "廢料清運費", "預拌混凝土款"])",
                R"([["5101", "材料費"], ["5102", "工資"], ["5103", "運費"], ["5104", "雜支"],
                    ["5105", "水電費"], ["5106", "租金"], ["5107", "保險費"],
                    ["4101", "工程收入"], ["4102", "利息收入"]])",
                R"(["土木", "水電", "裝潢", "鋼構", "油漆"])",
                R"(["王大明", "李小華", "張志強", "陳美玲", "林建宏", "黃淑芬", "吳俊傑",
                    "劉怡君", "蔡宗翰", "鄭雅婷"])");
    db->Execute(chequeSql, R"(["臺灣銀行 城中分行", "第一銀行 板橋分行", "合作金庫 新竹分行"])");
    db->Execute(cashSql);
    all.Commit();
}

// The book's acc.mdb in the build folder, generated once; later runs reuse it.
const fs::path& bookPath() {
    static const fs::path path = fs::path(programFolder()) / "bench-books" / "acc.mdb";
    return path;
}

Database& book() {
    static auto db = [] {
        const fs::path& path = bookPath();
        fs::path folder = path.parent_path();
        if (!fs::exists(path)) {
            // Written under another name first, so that an interrupted run leaves no half book.
            fs::create_directories(folder);
            fs::path partial = folder / "acc.mdb.partial";
            for (const char* suffix : {"", "-wal", "-shm"})
                fs::remove(partial.string() + suffix);
            std::cerr << "Generating " << path.string() << " (once) ..." << std::endl;
            generate(partial.string());
            fs::rename(partial, path);
        }
        return Database::open(path.string(), accSchema());
    }();
    return *db;
}

// A plain sqlite3 connection of its own on the same book: what every action is measured against.
sqlite3* rawBook() {
    static sqlite3* const db = [] {
        book();
        sqlite3* handle = nullptr;
        if (sqlite3_open_v2(bookPath().c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK) {
            std::cerr << "Cannot open " << bookPath().string() << ": " << sqlite3_errmsg(handle)
                      << std::endl;
            std::exit(1);
        }
        return handle;
    }();
    return db;
}

// One statement prepared, bound, stepped and finalized, as a plain program runs a query.
class RawQuery {
  public:
    explicit RawQuery(const char* sql) {
        if (sqlite3_prepare_v2(rawBook(), sql, -1, &stmt_, nullptr) != SQLITE_OK) {
            std::cerr << sqlite3_errmsg(rawBook()) << "\n" << sql << std::endl;
            std::exit(1);
        }
    }
    ~RawQuery() { sqlite3_finalize(stmt_); }
    RawQuery(const RawQuery&) = delete;
    RawQuery& operator=(const RawQuery&) = delete;

    RawQuery& bind(const std::string& text) {
        sqlite3_bind_text(stmt_, ++bound_, text.c_str(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    bool step() { return sqlite3_step(stmt_) == SQLITE_ROW; }
    // Every column of the current row, as any reader of the row must read it.
    int64_t row() const {
        int64_t sum = 0;
        for (int c = 0; c < sqlite3_column_count(stmt_); ++c)
            if (sqlite3_column_type(stmt_, c) == SQLITE_TEXT)
                sum += sqlite3_column_text(stmt_, c)[0] + sqlite3_column_bytes(stmt_, c);
            else
                sum += sqlite3_column_int64(stmt_, c);
        return sum;
    }
    int64_t allRows() {
        int64_t sum = 0;
        while (step())
            sum += row();
        return sum;
    }
    sqlite3_stmt* get() const { return stmt_; }

  private:
    sqlite3_stmt* stmt_ = nullptr;
    int bound_ = 0;
};

int64_t checksum(const Value& v) {
    if (auto s = valueAs<std::string>(v)) return s->empty() ? 0 : (*s)[0] + s->size();
    if (auto n = valueAs<int64_t>(v)) return *n;
    return static_cast<int>(v.kind());
}

using Names = std::vector<std::string>;

// The current row's fields read by name, as the forms read them.
int64_t rowByName(const Recordset& rs, const Names& names) {
    int64_t sum = 0;
    for (const auto& name : names)
        sum += checksum(rs.Fields(name));
    return sum;
}

int64_t allRowsByName(Recordset& rs, const Names& names) {
    int64_t sum = 0;
    for (; !rs.Eof(); rs.MoveNext())
        sum += rowByName(rs, names);
    return sum;
}

const Names& voucherFields() {
    static const Names names = [] {
        Names all;
        for (const auto& field : accSchema().table("iof")->fields)
            all.push_back(field.name);
        return all;
    }();
    return names;
}

// The book's last day is "today": its vouchers are numbered and its cheques fall due after it.
const Date today = lastDay;
const Date yearStart = Date::fromYmd(2024, 1, 1);
const Date yearEnd = Date::fromYmd(2024, 12, 31);
constexpr int reminderDays = 30;
constexpr int listPage = 30;  // a screenful of a list
constexpr char searchText[] = "混凝土";

constexpr char voucherListSql[] = "SELECT * FROM iof ORDER BY 單號";
constexpr char yearSql[] =
    "SELECT * FROM iof WHERE 發生日期 BETWEEN ? AND ? ORDER BY 發生日期, 單號";
constexpr char yearTotalsSql[] =
    "SELECT Sum(iif(pay, 金額, 0)) AS 支出, Sum(iif(pay, 0, 金額)) AS 收入, Count(*) AS 筆數 "
    "FROM iof WHERE 發生日期 BETWEEN ? AND ?";
const Names totalsFields = {"支出", "收入", "筆數"};
constexpr char profitAndLossSql[] =
    "SELECT substr(發生日期, 1, 7) AS 月份, pay AS 收支, Sum(金額) AS 合計 FROM iof "
    "WHERE 發生日期 BETWEEN ? AND ? GROUP BY 月份, 收支 ORDER BY 月份, 收支";
const Names profitAndLossFields = {"月份", "收支", "合計"};
// Uncashed cheques, received or written, falling due within the chosen days.
constexpr char chequeReminderSql[] =
    "SELECT * FROM bill WHERE 方式 = 0 AND 到期日 BETWEEN ? AND ? ORDER BY 到期日, 票據號碼";
constexpr char twoColumnSearchSql[] =
    "SELECT * FROM iof WHERE 用途說明 LIKE ? ESCAPE '\\' OR 專案名稱 LIKE ? ESCAPE '\\' "
    "ORDER BY 單號";

// The newest voucher, as the voucher form finds it: its list, then the last row.
void newestVoucher(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(voucherListSql);
        rs.MoveLast();
        benchmark::DoNotOptimize(rowByName(rs, voucherFields()));
    }
}

void newestVoucherRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q("SELECT * FROM iof ORDER BY 單號 DESC LIMIT 1");
        benchmark::DoNotOptimize(q.step() ? q.row() : 0);
    }
}

// The next number on the book's last day, which already holds its vouchers.
void dailyNumber(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DailySerialNumber(book(), "iof", "單號", 3));
}

void dailyNumberRaw(benchmark::State& state) {
    for (auto _ : state) {
        std::string prefix = Format(Clock::today(), "eemmdd");
        RawQuery q("SELECT Max(單號) AS last FROM iof WHERE 單號 LIKE ? ESCAPE '\\'");
        q.bind(likePrefix(prefix));
        int serial = 0;
        if (q.step() && sqlite3_column_type(q.get(), 0) == SQLITE_TEXT)
            serial = std::atoi(reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 0)) +
                               prefix.size());
        char number[32];
        std::snprintf(number, sizeof number, "%s%03d", prefix.c_str(), serial + 1);
        benchmark::DoNotOptimize(std::string(number));
    }
}

// The voucher form's scroll range.
void voucherCount(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            book().OpenRecordset("SELECT Count(*) FROM iof").Fields(0).wholeNumber());
}

void voucherCountRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q("SELECT Count(*) FROM iof");
        benchmark::DoNotOptimize(q.step() ? sqlite3_column_int64(q.get(), 0) : 0);
    }
}

// The voucher list opened and its first row shown.
void voucherFormOpen(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(voucherListSql);
        benchmark::DoNotOptimize(rs.Eof() ? 0 : rowByName(rs, voucherFields()));
    }
}

void voucherFormOpenRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q(voucherListSql);
        benchmark::DoNotOptimize(q.step() ? q.row() : 0);
    }
}

void firstPage(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(voucherListSql);
        int64_t sum = 0;
        for (int i = 0; i < listPage && !rs.Eof(); ++i, rs.MoveNext())
            sum += rowByName(rs, voucherFields());
        benchmark::DoNotOptimize(sum);
    }
}

void firstPageRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q(voucherListSql);
        int64_t sum = 0;
        for (int i = 0; i < listPage && q.step(); ++i)
            sum += q.row();
        benchmark::DoNotOptimize(sum);
    }
}

void browseToEnd(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(voucherListSql);
        benchmark::DoNotOptimize(allRowsByName(rs, voucherFields()));
    }
}

void browseToEndRaw(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(RawQuery(voucherListSql).allRows());
}

void chequeReminder(benchmark::State& state) {
    Names names;
    for (const auto& field : accSchema().table("bill")->fields)
        names.push_back(field.name);
    for (auto _ : state) {
        auto rs = book().OpenRecordset(chequeReminderSql, today, today.addDays(reminderDays));
        benchmark::DoNotOptimize(allRowsByName(rs, names));
    }
}

void chequeReminderRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q(chequeReminderSql);
        q.bind(today.iso()).bind(today.addDays(reminderDays).iso());
        benchmark::DoNotOptimize(q.allRows());
    }
}

// The probe of fields by name against fields by position on the same query.
template <bool byName>
void yearQuery(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(yearSql, yearStart, yearEnd);
        int64_t sum = 0;
        if (byName) {
            sum = allRowsByName(rs, voucherFields());
        } else {
            for (; !rs.Eof(); rs.MoveNext())
                for (int i = 0; i < rs.FieldCount(); ++i)
                    sum += checksum(rs.Fields(i));
        }
        benchmark::DoNotOptimize(sum);
    }
}

void yearQueryRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q(yearSql);
        q.bind(yearStart.iso()).bind(yearEnd.iso());
        benchmark::DoNotOptimize(q.allRows());
    }
}

void yearTotals(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(yearTotalsSql, yearStart, yearEnd);
        benchmark::DoNotOptimize(rowByName(rs, totalsFields));
    }
}

void yearTotalsRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q(yearTotalsSql);
        q.bind(yearStart.iso()).bind(yearEnd.iso());
        benchmark::DoNotOptimize(q.step() ? q.row() : 0);
    }
}

void profitAndLoss(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(profitAndLossSql, yearStart, yearEnd);
        benchmark::DoNotOptimize(allRowsByName(rs, profitAndLossFields));
    }
}

void profitAndLossRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q(profitAndLossSql);
        q.bind(yearStart.iso()).bind(yearEnd.iso());
        benchmark::DoNotOptimize(q.allRows());
    }
}

void searchTwoColumns(benchmark::State& state) {
    for (auto _ : state) {
        std::string pattern = likeContains(searchText);
        auto rs = book().OpenRecordset(twoColumnSearchSql, pattern, pattern);
        benchmark::DoNotOptimize(allRowsByName(rs, voucherFields()));
    }
}

void searchTwoColumnsRaw(benchmark::State& state) {
    for (auto _ : state) {
        std::string pattern = likeContains(searchText);
        RawQuery q(twoColumnSearchSql);
        q.bind(pattern).bind(pattern);
        benchmark::DoNotOptimize(q.allRows());
    }
}

Recordset searchAllColumns() {
    SqlCondition condition = book().FullTextCondition("iof", searchText);
    return book().OpenRecordsetWith("SELECT * FROM iof WHERE " + condition.sql + " ORDER BY 單號",
                                    condition.params);
}

void searchAllColumns(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = searchAllColumns();
        benchmark::DoNotOptimize(allRowsByName(rs, voucherFields()));
    }
}

// A plain program names the columns in its own text.
void searchAllColumnsRaw(benchmark::State& state) {
    std::string sql = "SELECT * FROM iof WHERE ";
    for (const auto& name : voucherFields())
        sql +=
            (&name == &voucherFields().front() ? "(\"" : " OR \"") + name + "\" LIKE ? ESCAPE '\\'";
    sql += ") ORDER BY 單號";
    for (auto _ : state) {
        std::string pattern = likeContains(searchText);
        RawQuery q(sql.c_str());
        for (size_t i = 0; i < voucherFields().size(); ++i)
            q.bind(pattern);
        benchmark::DoNotOptimize(q.allRows());
    }
}

// The cash book's running id and balance, which the next posting continues.
void lastCashRow(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset("SELECT id, bala FROM cash ORDER BY id");
        rs.MoveLast();
        benchmark::DoNotOptimize(rs.Fields("id").wholeNumber() + rs.Fields("bala").wholeNumber());
    }
}

void lastCashRowRaw(benchmark::State& state) {
    for (auto _ : state) {
        RawQuery q("SELECT id, bala FROM cash ORDER BY id DESC LIMIT 1");
        benchmark::DoNotOptimize(q.step() ? q.row() : 0);
    }
}

using Case = void (*)(benchmark::State&);

// Each action through the database layer and its raw twin; the ratio of the two is the figure.
struct Action {
    const char* name;
    const char* label;
    Case layer;
    Case raw;
};

const Action actions[] = {
    {"newest_voucher", "newest voucher (the list's MoveLast)", newestVoucher, newestVoucherRaw},
    {"daily_number", "next daily number", dailyNumber, dailyNumberRaw},
    {"count", "count of vouchers", voucherCount, voucherCountRaw},
    {"voucher_form_open", "voucher form open, first row", voucherFormOpen, voucherFormOpenRaw},
    {"first_page", "first page of the list", firstPage, firstPageRaw},
    {"browse_to_end", "browsing the list to its end", browseToEnd, browseToEndRaw},
    {"cheque_reminder", "cheques due within 30 days", chequeReminder, chequeReminderRaw},
    {"year", "one-year query, fields by name", yearQuery<true>, yearQueryRaw},
    {"year_totals", "one-year totals", yearTotals, yearTotalsRaw},
    {"profit_and_loss", "12-month profit and loss", profitAndLoss, profitAndLossRaw},
    {"search_two", "full text over two columns", searchTwoColumns, searchTwoColumnsRaw},
    {"search_all", "full text over all columns", searchAllColumns, searchAllColumnsRaw},
    {"cash_book_last", "last row of the cash book", lastCashRow, lastCashRowRaw},
};

// Keeps the fastest of each case's repetitions (noise on a shared machine only adds time), or its
// one run, for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            bool fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
            if ((single || fastest) && !run.error_occurred && run.iterations > 0)
                fastest_[run.run_name.function_name] = run.real_accumulated_time / run.iterations;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() {
        std::printf("\n%-40s %12s %12s %8s\n", "Action (wall time, same run)", "layer ms", "raw ms",
                    "ratio");
        for (const auto& action : actions)
            ratio(action.label, std::string(action.name) + "/layer",
                  std::string(action.name) + "/raw", "1.5");
        ratio("probe: one-year query, by name", "year/layer", "year/by_position", "1.1");
    }

  private:
    void ratio(const char* what, const std::string& a, const std::string& b, const char* aim) {
        double layer = fastest_[a], raw = fastest_[b];
        if (layer <= 0 || raw <= 0) return;
        double r = layer / raw;
        std::printf("%-40s %12.4f %12.4f %8.2f  aim <= %s%s\n", what, layer * 1000, raw * 1000, r,
                    aim, r > std::atof(aim) ? "  OVER" : "");
    }
    std::map<std::string, double> fastest_;
};

}  // namespace
}  // namespace kiv::bench

int main(int argc, char** argv) {
    using namespace kiv::bench;
    rawBook();
    kiv::Clock::useFixedTime(today);
    std::vector<std::pair<std::string, Case>> cases;
    for (const auto& action : actions) {
        cases.emplace_back(std::string(action.name) + "/layer", action.layer);
        cases.emplace_back(std::string(action.name) + "/raw", action.raw);
    }
    cases.emplace_back("year/by_position", yearQuery<false>);
    for (const auto& [name, run] : cases)
        benchmark::RegisterBenchmark(name.c_str(), run)
            ->Unit(benchmark::kMillisecond)
            ->ComputeStatistics("min", [](const std::vector<double>& v) {
                return *std::min_element(v.begin(), v.end());
            });
    // Repeated and interleaved by default, so that a busy moment of the machine does not decide a
    // ratio; flags given on the command line come later and win.
    std::vector<std::string> flags = {argv[0], "--benchmark_repetitions=7",
                                      "--benchmark_enable_random_interleaving=true",
                                      "--benchmark_report_aggregates_only=true"};
    flags.insert(flags.end(), argv + 1, argv + argc);
    std::vector<char*> args;
    for (auto& flag : flags)
        args.push_back(flag.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}

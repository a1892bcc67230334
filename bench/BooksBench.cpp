// Reading a book of 1,000,000 vouchers through Recordset, each case measured against a raw
// sqlite3_step loop in the same run. Prints figures and ratios; nothing here fails on a slow
// machine.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/RawAccess.h"
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
Database& book() {
    static auto db = [] {
        fs::path folder = fs::path(programFolder()) / "bench-books";
        fs::path path = folder / "acc.mdb";
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

constexpr char yearSql[] =
    "SELECT * FROM iof WHERE 發生日期 BETWEEN ? AND ? ORDER BY 發生日期, 單號";
const Date yearStart = Date::fromYmd(2024, 1, 1);
const Date yearEnd = Date::fromYmd(2024, 12, 31);
constexpr char voucherFormSql[] = "SELECT * FROM iof ORDER BY 單號";

// Reads every column of every row, as any reader of the rows must.
int64_t rawRead(const char* sql, const std::vector<std::string>& params = {}) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(RawAccess::handle(book()), sql, -1, &stmt, nullptr);
    for (size_t i = 0; i < params.size(); ++i)
        sqlite3_bind_text(stmt, static_cast<int>(i + 1), params[i].c_str(), -1, SQLITE_TRANSIENT);
    int64_t sum = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                sum += sqlite3_column_text(stmt, c)[0] + sqlite3_column_bytes(stmt, c);
            else
                sum += sqlite3_column_int64(stmt, c);
    sqlite3_finalize(stmt);
    return sum;
}

int64_t checksum(const Value& v) {
    if (auto s = valueAs<std::string>(v)) return s->empty() ? 0 : (*s)[0] + s->size();
    if (auto n = valueAs<int64_t>(v)) return *n;
    return static_cast<int>(v.kind());
}

void yearRaw(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(rawRead(yearSql, {yearStart.iso(), yearEnd.iso()}));
}

template <bool byName>
void yearRecordset(benchmark::State& state) {
    for (auto _ : state) {
        int64_t sum = 0;
        auto rs = book().OpenRecordset(yearSql, yearStart, yearEnd);
        std::vector<std::string> names;
        for (int i = 0; i < rs.FieldCount(); ++i)
            names.push_back(rs.FieldName(i));
        for (; !rs.Eof(); rs.MoveNext())
            for (int i = 0; i < rs.FieldCount(); ++i)
                sum += checksum(byName ? rs.Fields(names[i]) : rs.Fields(i));
        benchmark::DoNotOptimize(sum);
    }
}

void orderedKeysRaw(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(rawRead("SELECT rowid FROM iof ORDER BY 單號"));
}

void allRowsRaw(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(rawRead(voucherFormSql));
}

// The voucher form's start: every voucher in number order, the scroll bar's range, the last one.
void voucherFormStart(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(voucherFormSql);
        int64_t sum = rs.RecordCount();
        rs.MoveLast();
        for (int i = 0; i < rs.FieldCount(); ++i)
            sum += checksum(rs.Fields(i));
        benchmark::DoNotOptimize(sum);
    }
}

// The voucher form's next number on the book's last day, which already holds its vouchers.
void dailyNumber(benchmark::State& state) {
    Clock::useFixedTime(lastDay);
    for (auto _ : state)
        benchmark::DoNotOptimize(DailySerialNumber(book(), "iof", "單號", 3));
}

void lastCashRow(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset("SELECT id, bala FROM cash ORDER BY id");
        rs.MoveLast();
        benchmark::DoNotOptimize(rs.Fields("id").wholeNumber() + rs.Fields("bala").wholeNumber());
    }
}

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
        std::printf("\nRatios (wall time, same run):\n");
        ratio("one-year query, fields by position / raw", "year/by_position", "year/raw", "<= 1.5");
        ratio("one-year query, fields by name / raw", "year/by_name", "year/raw", "<= 1.5");
        ratio("voucher form start / ordered keys raw", "voucher_form/start", "voucher_form/keys",
              "<= 1.5");
        ratio("voucher form start / all rows raw", "voucher_form/start", "voucher_form/all_rows",
              "far below 1");
        std::printf("  %-44s %8.3f ms  aim well under 1 ms\n", "next daily number",
                    fastest_["daily_number"] * 1000);
        std::printf("  %-44s %8.3f ms  aim well under 1 ms\n", "last row of the cash book",
                    fastest_["cash_book_last"] * 1000);
    }

  private:
    void ratio(const char* what, const char* a, const char* b, const char* aim) {
        if (fastest_[b] > 0)
            std::printf("  %-44s %8.3f  aim %s\n", what, fastest_[a] / fastest_[b], aim);
    }
    std::map<std::string, double> fastest_;
};

}  // namespace
}  // namespace kiv::bench

int main(int argc, char** argv) {
    using namespace kiv::bench;
    book();
    const std::pair<const char*, void (*)(benchmark::State&)> cases[] = {
        {"year/raw", yearRaw},
        {"year/by_position", yearRecordset<false>},
        {"year/by_name", yearRecordset<true>},
        {"voucher_form/keys", orderedKeysRaw},
        {"voucher_form/all_rows", allRowsRaw},
        {"voucher_form/start", voucherFormStart},
        {"daily_number", dailyNumber},
        {"cash_book_last", lastCashRow},
    };
    for (const auto& [name, run] : cases)
        benchmark::RegisterBenchmark(name, run)
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

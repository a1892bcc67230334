// Reading a book of 1,000,000 vouchers through Recordset, each case measured against a raw
// sqlite3_step loop in the same run. Prints figures and ratios; nothing here fails on a slow
// machine.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <vector>

#include "bench/BenchBook.h"
#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "shell/Schema.h"

namespace kiv::bench {

namespace {

const char* const yearSql =
    "SELECT * FROM iof WHERE 發生日期 BETWEEN ? AND ? ORDER BY 發生日期, 單號";
const Date yearStart = Date::fromYmd(2024, 1, 1);
const Date yearEnd = Date::fromYmd(2024, 12, 31);
const char* const voucherFormSql = "SELECT * FROM iof ORDER BY 單號";
const char* const orderedKeysSql = "SELECT rowid FROM iof ORDER BY 單號";
const char* const dailyNumberSql =
    "SELECT Max(單號) AS last FROM iof WHERE 單號 LIKE ? ESCAPE '\\'";
const char* const cashBookSql = "SELECT id, bala FROM cash ORDER BY id";

const std::vector<const char*> voucherFields = {
    "輸入日期", "單號",   "用途說明", "方式",     "金額",     "科目代號", "pay",
    "科目名稱", "附註一", "附註二",   "專案號碼", "專案名稱", "工程種類", "發生日期",
    "申請人",   "簽收",   "單據",     "單據號碼", "稅額",     "進銷",     "建議方式"};

Database& book() {
    static auto db = Database::open(benchBook(), accSchema());
    return *db;
}

// The prefix of the book's last day, the "today" of these measurements.
std::string todaysPrefix() {
    return Format(bookLastDay, "eemmdd");
}

// Reads every column of every row, as any reader of the rows must.
int64_t rawRead(const char* sql, const std::vector<std::string>& params) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(book().handle(), sql, -1, &stmt, nullptr);
    for (size_t i = 0; i < params.size(); ++i)
        sqlite3_bind_text(stmt, static_cast<int>(i + 1), params[i].c_str(), -1, SQLITE_TRANSIENT);
    int64_t sum = 0;
    int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    sum += sqlite3_column_int64(stmt, c);
                    break;
                case SQLITE_FLOAT:
                    sum += static_cast<int64_t>(sqlite3_column_double(stmt, c));
                    break;
                case SQLITE_TEXT:
                    sum += sqlite3_column_text(stmt, c)[0] + sqlite3_column_bytes(stmt, c);
                    break;
                default:
                    break;
            }
        }
    }
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

void yearByPosition(benchmark::State& state) {
    for (auto _ : state) {
        int64_t sum = 0;
        auto rs = book().OpenRecordset(yearSql, yearStart, yearEnd);
        for (; !rs.Eof(); rs.MoveNext())
            for (int i = 0; i < 21; ++i)
                sum += checksum(rs.Fields(i));
        benchmark::DoNotOptimize(sum);
    }
}

void yearByName(benchmark::State& state) {
    for (auto _ : state) {
        int64_t sum = 0;
        auto rs = book().OpenRecordset(yearSql, yearStart, yearEnd);
        for (; !rs.Eof(); rs.MoveNext())
            for (const char* name : voucherFields)
                sum += checksum(rs.Fields(name));
        benchmark::DoNotOptimize(sum);
    }
}

void orderedKeysRaw(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(rawRead(orderedKeysSql, {}));
}

void allRowsRaw(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(rawRead(voucherFormSql, {}));
}

// The voucher form's start: every voucher in number order, the scroll bar's range, the last one.
void voucherFormStart(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(voucherFormSql);
        int64_t sum = rs.RecordCount();
        rs.MoveLast();
        for (int i = 0; i < 21; ++i)
            sum += checksum(rs.Fields(i));
        benchmark::DoNotOptimize(sum);
    }
}

void voucherFormLastOnly(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(voucherFormSql);
        rs.MoveLast();
        int64_t sum = 0;
        for (int i = 0; i < 21; ++i)
            sum += checksum(rs.Fields(i));
        benchmark::DoNotOptimize(sum);
    }
}

void dailyNumber(benchmark::State& state) {
    std::string prefix = likePrefix(todaysPrefix());
    for (auto _ : state) {
        auto rs = book().OpenRecordset(dailyNumberSql, prefix);
        benchmark::DoNotOptimize(rs.Fields("last").text());
    }
}

void dailyNumberRaw(benchmark::State& state) {
    std::string prefix = likePrefix(todaysPrefix());
    for (auto _ : state)
        benchmark::DoNotOptimize(rawRead(dailyNumberSql, {prefix}));
}

void lastCashRow(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = book().OpenRecordset(cashBookSql);
        rs.MoveLast();
        benchmark::DoNotOptimize(rs.Fields("id").wholeNumber() + rs.Fields("bala").wholeNumber());
    }
}

// The same SQL stepped raw to its last row.
void lastCashRowRaw(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(rawRead(cashBookSql, {}));
}

struct Case {
    const char* name;
    void (*run)(benchmark::State&);
    benchmark::TimeUnit unit;
};

const Case cases[] = {
    {"year/raw", yearRaw, benchmark::kMillisecond},
    {"year/recordset_by_position", yearByPosition, benchmark::kMillisecond},
    {"year/recordset_by_name", yearByName, benchmark::kMillisecond},
    {"voucher_form/raw_ordered_keys", orderedKeysRaw, benchmark::kMillisecond},
    {"voucher_form/raw_all_rows", allRowsRaw, benchmark::kMillisecond},
    {"voucher_form/recordset_count_and_last", voucherFormStart, benchmark::kMillisecond},
    {"voucher_form/recordset_last_only", voucherFormLastOnly, benchmark::kMicrosecond},
    {"daily_number/raw", dailyNumberRaw, benchmark::kMicrosecond},
    {"daily_number/recordset", dailyNumber, benchmark::kMicrosecond},
    {"cash_book_last/raw_same_sql", lastCashRowRaw, benchmark::kMillisecond},
    {"cash_book_last/recordset", lastCashRow, benchmark::kMicrosecond},
};

// Keeps each case's wall time per iteration for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // With repetitions the fastest is kept (noise on a shared machine only adds time); a single
    // run is kept as it is.
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            bool fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
            if (single || fastest)
                seconds[run.run_name.str()] = run.real_accumulated_time / run.iterations;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const {
        std::printf("\nRatios (wall time, same run):\n");
        ratio("one-year query, fields by position / raw", "year/recordset_by_position", "year/raw",
              "aim <= 1.5");
        ratio("one-year query, fields by name / raw", "year/recordset_by_name", "year/raw",
              "aim <= 1.5");
        ratio("voucher form start (count + last) / ordered keys raw",
              "voucher_form/recordset_count_and_last", "voucher_form/raw_ordered_keys",
              "aim <= 1.5");
        ratio("voucher form start (count + last) / all rows raw",
              "voucher_form/recordset_count_and_last", "voucher_form/raw_all_rows", "far below 1");
        ratio("voucher form start (last only) / ordered keys raw",
              "voucher_form/recordset_last_only", "voucher_form/raw_ordered_keys", "");
        absolute("next daily number", "daily_number/recordset");
        absolute("last row of the cash book", "cash_book_last/recordset");
    }

  private:
    double time(const std::string& name) const {
        auto found = seconds.find(name);
        return found == seconds.end() ? 0 : found->second;
    }
    void ratio(const char* what, const std::string& a, const std::string& b,
               const char* aim) const {
        if (time(a) == 0 || time(b) == 0) return;
        std::printf("  %-58s %7.3f  %s\n", what, time(a) / time(b), aim);
    }
    void absolute(const char* what, const std::string& name) const {
        if (time(name) == 0) return;
        std::printf("  %-58s %7.3f ms  aim well under 1 ms\n", what, time(name) * 1000);
    }
    std::map<std::string, double> seconds;
};

// Reads the whole file once, so that the first case does not pay for a cold disk.
void warmUp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
    }
}

}  // namespace

}  // namespace kiv::bench

int main(int argc, char** argv) {
    using namespace kiv::bench;
    warmUp(kiv::bench::benchBook());
    for (const auto& c : cases)
        benchmark::RegisterBenchmark(c.name, c.run)
            ->Unit(c.unit)
            ->ComputeStatistics("min", [](const std::vector<double>& v) {
                return *std::min_element(v.begin(), v.end());
            });
    // Repeated and interleaved by default, so that a busy moment of the machine does not decide a
    // ratio; flags given on the command line come later and win.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=7";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions.data(), interleave.data(), aggregates.data()});
    int count = static_cast<int>(args.size());
    argv = args.data();
    argc = count;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}

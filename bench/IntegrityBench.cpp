// The whole-file check of the book of 1,000,000 vouchers that the books benchmark builds: how long
// the first write may wait for it, and that opening the book does not wait for it. Prints figures;
// nothing here fails on a slow machine.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/db/Database.h"
#include "platform/db/IntegrityCheck.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/Schema.h"

namespace kiv::bench {
namespace {

// The books benchmark's acc.mdb, made by its first run.
std::string bookFile(benchmark::State& state) {
    std::filesystem::path path = std::filesystem::path(programFolder()) / "bench-books" / "acc.mdb";
    if (!std::filesystem::exists(path))
        state.SkipWithError("no book yet: the books benchmark builds it on its first run");
    return path.string();
}

// The check as the program runs it beside the start, to its end.
void quickCheck(benchmark::State& state) {
    std::string path = bookFile(state);
    for (auto _ : state) {
        IntegrityCheck check(path);
        check.awaitSound();
    }
}

// What the start pays for the book: the open, which sets the check going and returns.
void openWithCheck(benchmark::State& state) {
    std::string path = bookFile(state);
    for (auto _ : state) {
        auto book = Database::open(path, accSchema());
        state.PauseTiming();
        book.reset();
        state.ResumeTiming();
    }
}

// A close while the check still runs stops it at once.
void closeDuringCheck(benchmark::State& state) {
    std::string path = bookFile(state);
    for (auto _ : state) {
        state.PauseTiming();
        auto book = Database::open(path, accSchema());
        state.ResumeTiming();
        book.reset();
    }
}

BENCHMARK(quickCheck)->Name("integrity/quick_check")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(openWithCheck)->Name("integrity/open")->Unit(benchmark::kMillisecond);
BENCHMARK(closeDuringCheck)->Name("integrity/close_during_check")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kiv::bench

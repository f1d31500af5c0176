// Reading one section of N keys through QfINIFileHandler: (a) the whole section in one go, from a
// fresh parse of the file, against (b) every value of it, one GetValue at a time, the same values
// read through the INI engine alone, and one stat() of the file. After the runs it prints b / a per
// N, b(10000) / b(1000), the parse throughput at 10,000 and 2,000,000 keys, and one GetValue
// against one stat(), each beside its limit.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ini/ini_store.h"
#include "ini_bench_file.h"
#include "platform/profile.h"
#include "temp_dir.h"

namespace {

using qfstore::Ptr;
using qfstore::QfINIFileHandler;
using qfstore::Variant;

using bench::kSection;

constexpr int64_t kSizes[] = {100, 1000, 10000};
constexpr int64_t kLarge = 2000000;  // keys of the large file (about 58 MB)

// Limits the figures are printed beside.
constexpr double kWholeLimitUs = 1000;  // a at 10,000 keys
constexpr double kRatioLimit = 20;      // b / a
constexpr double kPerCallLimit = 1.5;   // one GetValue / one stat() of the file

// The benchmark's files, in a temporary folder removed at the end of the run.
class Files {
  public:
    // The file whose section DATA holds n keys, written on first use.
    const std::string& WithKeys(int64_t n) {
        auto [it, added] = paths_.try_emplace(n);
        if (added) {
            it->second = folder_.File("keys-" + std::to_string(n) + ".ini");
            bench::WriteKeysFile(it->second, n);
        }
        return it->second;
    }

  private:
    testing_support::TempDir folder_;
    std::map<int64_t, std::string> paths_;
};

Files& TheFiles() {
    static Files files;
    return files;
}

Ptr<QfINIFileHandler> OpenStore(int64_t n) {
    auto store = Ptr<QfINIFileHandler>::Attach(new qfstore::core::INIFileHandler("/"));
    store->Path(TheFiles().WithKeys(n));
    store->Section(kSection);
    return store;
}

// (a) One full read: the file parsed afresh and the section's names listed.
void WholeSection(benchmark::State& state) {
    auto store = OpenStore(state.range(0));
    for (auto _ : state) {
        platform::profile::DropCache();
        benchmark::DoNotOptimize(store->GetFieldNames());
    }
}

// (b) Every value of the section, one GetValue each, as a client reads its records.
void EveryValue(benchmark::State& state) {
    auto store = OpenStore(state.range(0));
    const Variant names = store->GetFieldNames();
    for (auto _ : state) {
        for (const Variant& name : names.Elements())
            benchmark::DoNotOptimize(store->GetValue(name.AsString(), "\t", true, true, Variant()));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every value of the section through the INI engine alone, without the store around it.
void EngineValue(benchmark::State& state) {
    const std::string& file = TheFiles().WithKeys(state.range(0));
    const std::vector<std::string> names = platform::profile::KeyNames(file, kSection);
    for (auto _ : state) {
        for (const std::string& name : names)
            benchmark::DoNotOptimize(platform::profile::ReadValue(file, kSection, name));
    }
}

// One stat() of the file, the floor under every GetValue: each checks whether the file changed.
void StatOfFile(benchmark::State& state) {
    const std::string& file = TheFiles().WithKeys(state.range(0));
    struct stat st {};
    for (auto _ : state) benchmark::DoNotOptimize(stat(file.c_str(), &st));
}

BENCHMARK(WholeSection)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->Arg(kLarge)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(EveryValue)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(EngineValue)->Arg(kSizes[2])->Unit(benchmark::kMicrosecond);
BENCHMARK(StatOfFile)->Arg(kSizes[2])->Unit(benchmark::kMicrosecond);

struct Timing {
    double real;  // microseconds per iteration
    double cpu;
};

// The console report, keeping each benchmark's times per iteration (the median when repeated).
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    RecordingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || !(run.run_type == Run::RT_Iteration || median))
                continue;
            times_[run.run_name.function_name][std::stoll(run.run_name.args)] =
                Timing{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
    }

    // The times of `function` at `n`, or nothing when it did not run.
    std::optional<Timing> Time(const std::string& function, int64_t n) const {
        const auto f = times_.find(function);
        if (f == times_.end())
            return std::nullopt;
        const auto t = f->second.find(n);
        if (t == f->second.end())
            return std::nullopt;
        return t->second;
    }

  private:
    std::map<std::string, std::map<int64_t, Timing>> times_;
};

double MegabytesPerSecond(const std::string& file, double us) {
    return static_cast<double>(std::filesystem::file_size(file)) / us;
}

void PrintRatios(const RecordingReporter& report) {
    std::printf("\n%8s %14s %14s %8s %14s %10s\n", "N", "a: whole (us)", "b: every (us)", "b / a",
                "b / a (cpu)", "a: MB/s");
    for (int64_t n : kSizes) {
        const auto a = report.Time("WholeSection", n), b = report.Time("EveryValue", n);
        if (!a || !b)
            continue;
        std::printf("%8lld %14.1f %14.1f %8.2f %14.2f %10.0f\n", static_cast<long long>(n), a->real,
                    b->real, b->real / a->real, b->cpu / a->cpu,
                    MegabytesPerSecond(TheFiles().WithKeys(n), a->real));
    }
    const auto b1000 = report.Time("EveryValue", 1000), b10000 = report.Time("EveryValue", 10000);
    if (b1000 && b10000)
        std::printf("b(10000) / b(1000) = %.2f (cpu %.2f; linear: 10)\n",
                    b10000->real / b1000->real, b10000->cpu / b1000->cpu);
    if (const auto a = report.Time("WholeSection", 10000); a && b10000) {
        std::printf("whole read of 10,000 keys: %.3f ms (limit %.3f ms), %.0f MB/s\n",
                    a->real / 1000, kWholeLimitUs / 1000,
                    MegabytesPerSecond(TheFiles().WithKeys(10000), a->real));
        std::printf("b / a at 10,000 keys: %.2f (limit %.0f)\n", b10000->real / a->real,
                    kRatioLimit);
    }
    if (const auto a = report.Time("WholeSection", kLarge)) {
        const std::string& file = TheFiles().WithKeys(kLarge);
        std::printf("whole read of %lld keys (%.1f MB): %.1f ms, %.0f MB/s\n",
                    static_cast<long long>(kLarge),
                    static_cast<double>(std::filesystem::file_size(file)) / 1e6, a->real / 1000,
                    MegabytesPerSecond(file, a->real));
    }
    const auto st = report.Time("StatOfFile", 10000);
    if (st && b10000) {
        const double call = b10000->real / 10000, callCpu = b10000->cpu / 10000;
        std::printf(
            "one GetValue: %.2f us, one stat(): %.2f us, ratio %.2f (cpu %.2f; limit %.1f)\n", call,
            st->real, call / st->real, callCpu / st->cpu, kPerCallLimit);
    }
    // Each GetValue checks with one stat() whether the file changed, so b can never be less than
    // N stat() calls: with a whole read this fast, that floor alone puts b / a near its limit.
    if (const auto a = report.Time("WholeSection", 10000); a && st)
        std::printf("floor of b / a at 10,000 keys (10,000 stat() / a): %.2f\n",
                    10000 * st->real / a->real);
    if (const auto engine = report.Time("EngineValue", 10000); st && engine)
        std::printf("of which the INI engine's ReadValue: %.2f us, %.2f x stat()\n",
                    engine->real / 10000, engine->real / 10000 / st->real);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    for (int64_t n : kSizes) TheFiles().WithKeys(n);
    TheFiles().WithKeys(kLarge);
    // The reader re-reads files changed within the last two seconds on every call; measure the
    // steady state of a settings file between edits.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintRatios(reporter);
    return 0;
}

// Reading one section of N keys through QfINIFileHandler: (a) the whole section in one go, from a
// fresh parse of the file, against (b) every value of it, one GetValue at a time. After the runs
// it prints b / a per N and b(10000) / b(1000).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "ini/ini_store.h"
#include "platform/profile.h"
#include "temp_dir.h"

namespace {

using qfstore::Ptr;
using qfstore::QfINIFileHandler;
using qfstore::Variant;

constexpr const char* kSection = "DATA";
constexpr int64_t kSizes[] = {100, 1000, 10000};

// The benchmark's files, in a temporary folder removed at the end of the run.
class Files {
  public:
    // The file whose section DATA holds n keys.
    std::string WithKeys(int64_t n) const {
        return folder_.File("keys-" + std::to_string(n) + ".ini");
    }

    // Writes the file of n keys: texts, numbers and lists, in a section between two others.
    void Write(int64_t n) const {
        std::ofstream out(WithKeys(n), std::ios::binary);
        out << "; " << n << " keys\n[OTHER]\nx=1\n[" << kSection << "]\n";
        for (int64_t i = 0; i < n; ++i) {
            out << "Key" << i << '=';
            switch (i % 3) {
                case 0:
                    out << "Circuit number " << i;
                    break;
                case 1:
                    out << static_cast<double>(i) * 2.5;
                    break;
                default:
                    out << i << '\t' << i + 1 << '\t' << i + 2;
                    break;
            }
            out << '\n';
        }
        out << "[LAST]\ny=2\n";
    }

  private:
    testing_support::TempDir folder_;
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

BENCHMARK(WholeSection)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(EveryValue)
    ->Arg(kSizes[0])
    ->Arg(kSizes[1])
    ->Arg(kSizes[2])
    ->Unit(benchmark::kMicrosecond);

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

void PrintRatios(const RecordingReporter& report) {
    std::printf("\n%8s %14s %14s %8s %14s\n", "N", "a: whole (us)", "b: every (us)", "b / a",
                "b / a (cpu)");
    for (int64_t n : kSizes) {
        const auto a = report.Time("WholeSection", n), b = report.Time("EveryValue", n);
        if (!a || !b)
            continue;
        std::printf("%8lld %14.1f %14.1f %8.2f %14.2f\n", static_cast<long long>(n), a->real,
                    b->real, b->real / a->real, b->cpu / a->cpu);
    }
    const auto b1000 = report.Time("EveryValue", 1000), b10000 = report.Time("EveryValue", 10000);
    if (b1000 && b10000)
        std::printf("b(10000) / b(1000) = %.2f (cpu %.2f)\n", b10000->real / b1000->real,
                    b10000->cpu / b1000->cpu);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    for (int64_t n : kSizes) TheFiles().Write(n);
    // The reader re-reads files changed within the last two seconds on every call; measure the
    // steady state of a settings file between edits.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintRatios(reporter);
    return 0;
}

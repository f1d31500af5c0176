// Choosing a circuit on the Circuit Database page, with N circuits in the settings file: the
// choice's handler reads the record through the settings store and fills the table and the
// sprocket boxes; the pending paint is included. Two cases: the file unchanged since the last
// choice, and the file changed just before the choice (so it is read and parsed again).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QComboBox>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "gearing/gear_data.h"
#include "gui_bench_support.h"
#include "pages/circuit_page.h"
#include "pages/speed_unit_choice.h"
#include "temp_dir.h"
#include "window/form_context.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

namespace {

// A settings file with gear data and n circuits of 22 filled fields; `mark` changes its first
// line so that a rewrite changes its bytes.
void WriteSettings(const std::string& path, int64_t n, int mark) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "; settings " << mark << "\n[GEARS]\nGear1=2.533\n[REDUCTIONS]\nInitialReduction=1.611\n"
        << "[CIRCUITS]\n";
    for (int64_t i = 0; i < n; ++i) {
        out << "Circuit " << i << '=';
        for (int f = 0; f < 20; ++f) out << (f % 2 ? "12 clicks" : "31.5 mm") << '|';
        out << 14 + i % 4 << '|' << 40 + i % 9 << '\n';
    }
}

// One page on a settings file of n circuits, shown off screen, its list filled.
struct Fixture {
    testing_support::TempDir folder;
    std::string file = folder.File("Gearsheet.INI");
    bench_support::CountingDialogs dialogs;
    gearsheet::SettingsStore store;
    gearsheet::ErrorReporter errors{dialogs, QStringLiteral("Gearsheet"), "/tmp/", nullptr};
    gearsheet::FormContext context{store, dialogs, errors};
    gearsheet::GearData gears;
    gearsheet::SpeedUnitChoice unit{store};
    gearsheet::SetupModel setup;
    std::unique_ptr<gearsheet::CircuitPage> page;
    QComboBox* combo = nullptr;

    explicit Fixture(int64_t n) {
        WriteSettings(file, n, 0);
        store.Create(QFSTORE_LIBRARY_PATH, dialogs);
        store.Get().Path(file);
        page = std::make_unique<gearsheet::CircuitPage>(context, gears, unit, setup);
        page->resize(420, 640);
        page->show();
        page->RefreshCircuitCombo();
        page->cboCircuits_Click();
        QCoreApplication::processEvents();
        combo = page->findChild<QComboBox*>(QStringLiteral("cboCircuits"));
    }

    // What the user's choice of item `index` sets off, and the paint that follows.
    void Choose(int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        QCoreApplication::processEvents();
    }
};

void Check(benchmark::State& state, const Fixture& f, int64_t n) {
    if (f.combo->count() != n)
        state.SkipWithError("the list is not filled");
    if (f.dialogs.shown != 0)
        state.SkipWithError("a message or error report was shown");
    const auto* grid = f.page->findChild<QTableWidget*>(QStringLiteral("grdFields"));
    if (grid->item(1, 1)->text() != QStringLiteral("31.5 mm"))
        state.SkipWithError("the record is not shown");
}

void BM_ChooseCircuit(benchmark::State& state) {
    const int64_t n = state.range(0);
    Fixture f(n);
    int64_t i = 0;
    for (auto _ : state) {
        f.Choose(static_cast<int>((i * 7919) % n));
        ++i;
    }
    Check(state, f, n);
    state.counters["circuits"] = static_cast<double>(n);
}

void BM_ChooseCircuitAfterChange(benchmark::State& state) {
    const int64_t n = state.range(0);
    Fixture f(n);
    int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteSettings(f.file, n, static_cast<int>(i % 2) + 1);
        state.ResumeTiming();
        f.Choose(static_cast<int>((i * 7919) % n));
        ++i;
    }
    Check(state, f, n);
    state.counters["circuits"] = static_cast<double>(n);
}

void BM_RefreshCircuitCombo(benchmark::State& state) {
    const int64_t n = state.range(0);
    Fixture f(n);
    for (auto _ : state) {
        f.page->RefreshCircuitCombo();
        QCoreApplication::processEvents();
    }
    Check(state, f, n);
}

BENCHMARK(BM_ChooseCircuit)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooseCircuitAfterChange)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshCircuitCombo)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench_support::RunGuiBenchmarks(argc, argv);
}

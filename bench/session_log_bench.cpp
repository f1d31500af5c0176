// The Session Log page with 10,000 sessions over 50 circuits, driven as the rider drives it:
// opening the tab (the page made and first shown, its circuits listed, the first circuit's
// sessions read and the newest shown), choosing a circuit, showing a session, saving one,
// comparing two, and exporting all sessions as CSV. Each includes the paint that follows.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QPushButton>
#include <QTreeView>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "gui_bench_support.h"
#include "pages/session_log_page.h"
#include "pages/speed_unit_choice.h"
#include "sessions/session_record.h"
#include "settings/session_files.h"
#include "temp_dir.h"
#include "window/form_context.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

namespace {

constexpr int kCircuits = 50;
constexpr int kPerCircuit = 200;

gearsheet::Session Filled(int circuit, int n) {
    gearsheet::Session s;
    s.circuit = "Circuit " + std::to_string(circuit);
    s.date = "2026-" + std::to_string(10 + n % 3) + "-" + std::to_string(10 + n % 18);
    s.name = "Practice " + std::to_string(n);
    s.weather = gearsheet::Weather::kDry;
    s.airTemperature = 18.5;
    s.trackTemperature = 31;
    s.frontTyre = "120/70ZR17 SC1";
    s.rearTyre = "180/60ZR17 SC0";
    s.coldFront = 2.1;
    s.coldRear = 1.6;
    s.hotFront = 2.4;
    s.hotRear = 1.9;
    s.laps = 12;
    s.bestLapMs = 100'000 + n * 37 % 4000;
    s.topSpeed = 160;
    s.gear = 6;
    s.frontSprocket = "16";
    s.rearSprocket = std::to_string(43 + n % 4);
    for (int r = 0; r < gearsheet::kSessionSuspensionRows; ++r) {
        const auto at = static_cast<size_t>(r);
        s.rowNames[at] = "Row " + std::to_string(r) + ":";
        s.front[at] = std::to_string(8 + (n + r) % 6) + " clicks";
        s.rear[at] = std::to_string(30 + r) + ".5 mm";
    }
    s.notes = "Front pushes in the last chicane.\nRear steps out on the brakes, | = [x]; \"ok\"";
    return s;
}

// The settings file with 50 circuits and the session files with 200 sessions each.
void WriteFiles(const testing_support::TempDir& folder) {
    std::ofstream settings(folder.File("Gearsheet.INI"), std::ios::binary);
    std::ofstream index(folder.File("Gearsheet.sessions.INI"), std::ios::binary);
    settings << "[GEARS]\nGear1=2.533\n[REDUCTIONS]\nInitialReduction=1.611\n[TYRES]\nA=79.2\n"
             << "[CIRCUITS]\n";
    index << "[SESSION_FILES]\n";
    std::filesystem::create_directory(folder.File("Gearsheet.sessions"));
    for (int c = 0; c < kCircuits; ++c) {
        settings << "Circuit " << c << "=" << std::string(20, '|') << "16|45\n";
        index << "Circuit " << c << "=" << c + 1 << ".INI\n";
        std::ofstream file(folder.File("Gearsheet.sessions/" + std::to_string(c + 1) + ".INI"),
                           std::ios::binary);
        file << "[SESSIONS]\n";
        for (int n = 1; n <= kPerCircuit; ++n)
            file << n << "=" << gearsheet::SessionLine(Filled(c, n)) << "\n";
    }
}

// Makes the files look as files saved in an earlier run do: their last change well in the past.
// The store trusts a file's stamp only when its last change, the later of the modification and
// the status change, lies more than 2 s back (platform/profile.h); a younger file is read again on
// every value read. The modification time is set an hour back, but the status change cannot be
// set, so the files are also left to settle.
void AgeFiles(const testing_support::TempDir& folder) {
    const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path()))
        if (entry.is_regular_file())
            std::filesystem::last_write_time(entry.path(), past);
    std::this_thread::sleep_for(std::chrono::milliseconds(2200));
}

struct Fixture {
    testing_support::TempDir folder;
    bench_support::CountingDialogs dialogs;
    gearsheet::SettingsStore store;
    gearsheet::ErrorReporter errors{dialogs, QStringLiteral("Gearsheet"), "/tmp/", nullptr};
    gearsheet::FormContext context{store, dialogs, errors};
    gearsheet::SpeedUnitChoice unit{store};
    gearsheet::SetupModel setup;
    std::unique_ptr<gearsheet::SessionLogPage> page;

    Fixture() {
        WriteFiles(folder);
        AgeFiles(folder);
        store.Create(QFSTORE_LIBRARY_PATH, dialogs);
        store.Get().Path(folder.File("Gearsheet.INI"));
        dialogs.savePath = QString::fromStdString(folder.File("all.csv"));
    }

    // Opening the tab: the page made and shown for the first time.
    void Open() {
        page = std::make_unique<gearsheet::SessionLogPage>(context, unit, setup);
        page->resize(1260, 800);
        page->show();
        QCoreApplication::processEvents();
    }

    template <class W>
    W* Find(const char* name) {
        return page->findChild<W*>(QString::fromLatin1(name));
    }
    void Click(const char* button) {
        Find<QPushButton>(button)->click();
        QCoreApplication::processEvents();
    }
};

void Check(benchmark::State& state, Fixture& f) {
    if (f.dialogs.shown != 0)
        state.SkipWithError("a message or error report was shown");
    if (f.Find<QTreeView>("lstSessions")->model()->rowCount() != kPerCircuit)
        state.SkipWithError("the sessions are not listed");
}

void BM_OpenTab(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        state.PauseTiming();
        f.page.reset();
        state.ResumeTiming();
        f.Open();
    }
    Check(state, f);
}

void BM_ChooseCircuit(benchmark::State& state) {
    Fixture f;
    f.Open();
    auto* circuits = f.Find<QComboBox>("cboSessionCircuit");
    int i = 0;
    for (auto _ : state) {
        i = (i + 7) % kCircuits;
        circuits->setCurrentIndex(i);
        emit circuits->activated(i);
        QCoreApplication::processEvents();
    }
    Check(state, f);
}

void BM_ShowSession(benchmark::State& state) {
    Fixture f;
    f.Open();
    auto* list = f.Find<QTreeView>("lstSessions");
    int i = 0;
    for (auto _ : state) {
        i = (i + 37) % kPerCircuit;
        list->setCurrentIndex(list->model()->index(i, 0));
        QCoreApplication::processEvents();
    }
    Check(state, f);
}

void BM_SaveSession(benchmark::State& state) {
    Fixture f;
    f.Open();
    for (auto _ : state) f.Click("cmdSaveSession");
    Check(state, f);
}

void BM_CompareTwo(benchmark::State& state) {
    Fixture f;
    f.Open();
    auto* list = f.Find<QTreeView>("lstSessions");
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        i = (i + 37) % (kPerCircuit - 1);
        list->setCurrentIndex(list->model()->index(i, 0));
        QCoreApplication::processEvents();
        state.ResumeTiming();
        f.Click("cmdCompareSessions");
    }
    Check(state, f);
}

void BM_ExportAll(benchmark::State& state) {
    Fixture f;
    f.Open();
    for (auto _ : state) f.Click("cmdExportAllCsv");
    Check(state, f);
    state.counters["bytes"] =
        static_cast<double>(std::filesystem::file_size(f.dialogs.savePath.toStdString()));
}

BENCHMARK(BM_OpenTab)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooseCircuit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowSession)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSession)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareTwo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench_support::RunGuiBenchmarks(argc, argv);
}

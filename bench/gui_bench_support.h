// What the benchmarks of Gearsheet's pages share: a dialogs seam that counts instead of showing,
// and the main that runs the benchmarks off screen in a QApplication.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QString>

#include "ui/dialogs.h"

namespace bench_support {

// Counts what would have been shown (a benchmark fails when anything was); file choices give
// `savePath`.
class CountingDialogs final : public gearsheet::Dialogs {
  public:
    int shown = 0;
    QString savePath;
    void Message(QWidget*, const QString&, const QString&, gearsheet::MessageIcon) override {
        ++shown;
    }
    void Exec(QDialog& dialog) override {
        ++shown;
        dialog.reject();
    }
    void Beep() override {}
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return savePath;
    }
};

// Runs the registered benchmarks in a QApplication, off screen unless QT_QPA_PLATFORM says
// otherwise.
inline int RunGuiBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench_support

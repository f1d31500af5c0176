#include "chart_module/chart_loader.h"

#include <QDir>
#include <QLibrary>

namespace gearsheet {
namespace {

// Loads the module unless it is loaded; false with the reason in `problem` when it cannot be
// loaded or is of another version, which is then unloaded.
bool LoadModule(QLibrary& module, const QString& folder, QString& problem) {
    if (module.isLoaded())
        return true;
    module.setFileName(QDir(folder).filePath(QString::fromLatin1(kChartModuleFile)));
    if (!module.load()) {
        problem = module.errorString();
        return false;
    }
    const auto version =
        reinterpret_cast<ChartModuleVersionFn>(module.resolve(kChartModuleVersionSymbol));
    const int found = version ? version() : 0;
    if (found == kChartModuleVersion)
        return true;
    problem = QStringLiteral("%1 is of version %2; this program needs version %3.")
                  .arg(module.fileName())
                  .arg(found)
                  .arg(kChartModuleVersion);
    module.unload();
    return false;
}

}  // namespace

QFunctionPointer ChartModuleSymbol(const QString& folder, const char* symbol, QString& problem) {
    // Loaded once and kept for the run: the charts it makes live on in the window.
    static QLibrary module;
    if (!LoadModule(module, folder, problem))
        return nullptr;
    const QFunctionPointer function = module.resolve(symbol);
    if (!function)
        problem = module.errorString();
    return function;
}

SpeedChart* CreateSpeedChart(const QString& folder, QWidget* parent, QString& problem) {
    const auto create = reinterpret_cast<CreateSpeedChartFn>(
        ChartModuleSymbol(folder, kCreateSpeedChartSymbol, problem));
    return create ? create(parent) : nullptr;
}

BestLapChart* CreateBestLapChart(const QString& folder, QWidget* parent, QString& problem) {
    const auto create = reinterpret_cast<CreateBestLapChartFn>(
        ChartModuleSymbol(folder, kCreateBestLapChartSymbol, problem));
    return create ? create(parent) : nullptr;
}

bool ExportPitCard(const QString& folder, const PitCard& card, const QString& pdfPath,
                   QString& problem) {
    const auto run =
        reinterpret_cast<ExportPitCardFn>(ChartModuleSymbol(folder, kExportPitCardSymbol, problem));
    return run && run(card, pdfPath, problem);
}

bool PrintPitCard(const QString& folder, const PitCard& card, QWidget* parent, Dialogs& dialogs,
                  QString& problem) {
    const auto run =
        reinterpret_cast<PrintPitCardFn>(ChartModuleSymbol(folder, kPrintPitCardSymbol, problem));
    return run && run(card, parent, dialogs, problem);
}

}  // namespace gearsheet

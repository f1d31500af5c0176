#include <QDir>
#include <QLibrary>

#include "chart_module/speed_chart.h"
#include "pages/pit_card.h"

namespace gearsheet {

QFunctionPointer ChartModuleSymbol(const QString& folder, const char* symbol, QString& problem) {
    // Loaded once and kept for the run: the charts it makes live on in the window.
    static QLibrary module;
    if (!module.isLoaded()) {
        module.setFileName(QDir(folder).filePath(QString::fromLatin1(kSpeedChartModule)));
        if (!module.load()) {
            problem = module.errorString();
            return nullptr;
        }
    }
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

#include <QDir>
#include <QLibrary>

#include "speed_chart.h"

namespace gearsheet {

SpeedChart* CreateSpeedChart(const QString& folder, QWidget* parent, QString& problem) {
    // Loaded once and kept for the run: the charts it makes live on in the window.
    static QLibrary module;
    if (!module.isLoaded()) {
        module.setFileName(QDir(folder).filePath(QString::fromLatin1(kSpeedChartModule)));
        if (!module.load()) {
            problem = module.errorString();
            return nullptr;
        }
    }
    const auto create =
        reinterpret_cast<CreateSpeedChartFn>(module.resolve(kCreateSpeedChartSymbol));
    if (!create) {
        problem = module.errorString();
        return nullptr;
    }
    return create(parent);
}

}  // namespace gearsheet

// The program's side of the chart module (chart_module/chart_module.h): loads it from the
// program's folder on first use, checks its version, and calls its entry points.
#pragma once

#include <QString>

#include "chart_module/chart_module.h"

namespace gearsheet {

// The entry point `symbol` of the module in `folder`, the module loaded on first use and kept;
// nothing, with the reason in `problem`, when the module cannot be loaded, is of another version
// than kChartModuleVersion, or lacks the entry point.
QFunctionPointer ChartModuleSymbol(const QString& folder, const char* symbol, QString& problem);

// Makes a chart in `parent`; nothing, with the reason in `problem`, when the module fails.
SpeedChart* CreateSpeedChart(const QString& folder, QWidget* parent, QString& problem);
BestLapChart* CreateBestLapChart(const QString& folder, QWidget* parent, QString& problem);

// Calls the module's card entry points; false with the reason in `problem` when the module, its
// entry point or the card fails.
bool ExportPitCard(const QString& folder, const PitCard& card, const QString& pdfPath,
                   QString& problem);
bool PrintPitCard(const QString& folder, const PitCard& card, QWidget* parent, Dialogs& dialogs,
                  QString& problem);

}  // namespace gearsheet

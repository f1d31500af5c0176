// The chart module's loader: a module of another version is refused and let go, and the one
// built with the program is then found.
#include "chart_module/chart_loader.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

TEST(ChartLoaderTest, OtherVersionRefusedThenTheProgramsOwnLoaded) {
    QString problem;
    const QString other = QStringLiteral(OTHER_VERSION_FOLDER);
    EXPECT_FALSE(gearsheet::ChartModuleSymbol(other, gearsheet::kCreateSpeedChartSymbol, problem));
    EXPECT_EQ(problem, QStringLiteral("%1 is of version %2; this program needs version %3.")
                           .arg(QDir(other).filePath("libgearsheet_chart.so"))
                           .arg(gearsheet::kChartModuleVersion + 1)
                           .arg(gearsheet::kChartModuleVersion));
    problem.clear();
    EXPECT_TRUE(gearsheet::ChartModuleSymbol(QStringLiteral(PROGRAM_FOLDER),
                                             gearsheet::kExportPitCardSymbol, problem));
    EXPECT_EQ(problem, "");
}

}  // namespace

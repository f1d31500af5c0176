#include "pages/pit_card.h"

#include <QDate>
#include <QLocale>
#include <cmath>

#include "gearing/gear_data.h"
#include "gearing/speed_table.h"
#include "pages/circuit_record.h"
#include "settings/settings_file.h"
#include "ui/locale_numbers.h"
#include "window/setup_model.h"

namespace gearsheet {
namespace {

// The speed table of `setup` in `unit` with its heading row; its failure as the card's problem.
void FillSpeeds(PitCard& card, const GearData& gears, const Setup& setup, SpeedUnit unit) {
    QList<QStringList> speeds;
    speeds << QStringList{QString::fromLatin1(UnitName(unit))};
    for (int g = 1; g <= kGearCount; ++g)
        speeds[0] << QStringLiteral("%1 Gear").arg(QString::fromLatin1(kGearNames[g - 1]));
    try {
        SpeedTable(
            gears, setup.frontSprocket, setup.rearSprocket, setup.circumference,
            [&](int row, int gear, double speed) {
                if (gear == 1)
                    speeds << QStringList{
                        QStringLiteral("%1 RPM").arg(EngineSpeed(row), 0, 'f', 0)};
                speeds.last() << LocaleNumberText(speed);
            },
            unit);
        card.speeds = speeds;
    } catch (const qfstore::Error& e) {
        card.speedProblem =
            QStringLiteral("No speed table: %1.").arg(QString::fromStdString(e.Description()));
    }
}

}  // namespace
}  // namespace gearsheet

namespace gearsheet {

using namespace settings;

PitCard GatherPitCard(const QString& circuit, const CircuitRecord& record, const GearData& gears,
                      SpeedUnit unit, const QString& tyre, const QString& circumference,
                      double shiftRpm) {
    PitCard card;
    card.circuit = circuit;
    card.date = QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat);
    const auto front = record.FrontTeeth();
    const auto rear = record.RearTeeth();
    const auto inches = CircumferenceFromText(circumference);
    card.details << QStringLiteral("Sprockets: %1 front, %2 rear")
                        .arg(record.frontSprocket, record.rearSprocket);
    if (front && rear)
        card.details
            << QStringLiteral("Final drive: %1").arg(LocaleNumberText(double(*rear) / *front));
    card.details << QStringLiteral("Tyre: %1").arg(tyre.isEmpty() ? QStringLiteral("—") : tyre)
                 << QStringLiteral("Circumference: %1 in").arg(circumference)
                 << QStringLiteral("Shift light: %1 rpm").arg(LocaleNumberText(shiftRpm));

    card.suspension << QStringList{QString(), QStringLiteral("FRONT"), QStringLiteral("REAR")};
    for (std::size_t r = 0; r < kSuspensionRows; ++r)
        card.suspension << QStringList{QString::fromLatin1(kSuspensionRowNames[r]), record.front[r],
                                       record.rear[r]};

    const QString unitName = QString::fromLatin1(UnitName(unit));
    card.speedTitle = QStringLiteral("Road speed (%1) on %2/%3")
                          .arg(unitName, record.frontSprocket, record.rearSprocket);
    const Setup setup{double(front.value_or(0)), double(rear.value_or(0)), inches.value_or(0)};
    if (!Plannable(gears, setup)) {
        card.speedProblem = QStringLiteral(
            "No speed table: it needs the gear data, the circuit's sprockets and the Details "
            "page's circumference, each above zero.");
        return card;
    }
    FillSpeeds(card, gears, setup, unit);
    PlannerTargets targets;
    targets.shiftRpm = shiftRpm;
    targets.unit = unit;
    card.targets = targets;
    card.chart = Figures(gears, setup, targets);
    return card;
}

}  // namespace gearsheet

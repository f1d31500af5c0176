#include "pages/pit_card.h"

#include <QDate>
#include <QLocale>
#include <cmath>

#include "gearing/gear_data.h"
#include "gearing/speed_table.h"
#include "pages/circuit_record.h"
#include "pages/planner_table.h"
#include "qfstore/ini_file_handler.h"
#include "settings/circuits.h"
#include "settings/settings_file.h"
#include "ui/locale_numbers.h"

namespace gearsheet {
namespace {

using namespace settings;

// A field of the record, empty where a record written by hand is too short.
QString Field(const qfstore::Variant& record, int index) {
    try {
        return CircuitRecordField(record, index);
    } catch (const qfstore::Error&) {
        return {};
    }
}

// Whole teeth as the speed table takes them (rounded half to even); nothing for a text that is no
// number above zero.
std::optional<double> Teeth(const QString& text) {
    const auto value = ParseLocaleNumber(text);
    if (!value || std::nearbyint(*value) <= 0 || *value > 32767)
        return std::nullopt;
    return std::nearbyint(*value);
}

}  // namespace

std::optional<PitCard> GatherPitCard(qfstore::QfINIFileHandler& store, const QString& circuit,
                                     const GearData& gears, SpeedUnit unit, const QString& tyre,
                                     const QString& circumference, double shiftRpm,
                                     QString& problem) {
    if (circuit.isEmpty()) {
        problem = QStringLiteral("Choose or add a circuit first.");
        return std::nullopt;
    }
    const qfstore::Variant record = ReadCircuit(store, circuit.toStdString());
    if (record.IsMissing()) {
        problem = QStringLiteral("No circuit \"%1\" is stored: \"Add\" it first.").arg(circuit);
        return std::nullopt;
    }
    PitCard card;
    card.circuit = circuit;
    card.date = QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat);
    const QString frontText = Field(record, kCircuitFrontSprocket);
    const QString rearText = Field(record, kCircuitRearSprocket);
    const auto front = Teeth(frontText);
    const auto rear = Teeth(rearText);
    const auto inches = ParseLocaleNumber(circumference);
    card.details << QStringLiteral("Sprockets: %1 front, %2 rear").arg(frontText, rearText);
    if (front && rear)
        card.details << QStringLiteral("Final drive: %1").arg(RoundedText(*rear / *front, 3));
    card.details << QStringLiteral("Tyre: %1").arg(tyre.isEmpty() ? QStringLiteral("—") : tyre)
                 << QStringLiteral("Circumference: %1 in").arg(circumference)
                 << QStringLiteral("Shift light: %1 rpm").arg(LocaleNumberText(shiftRpm));

    card.suspension << QStringList{QString(), QStringLiteral("FRONT"), QStringLiteral("REAR")};
    for (int r = 0; r < kSuspensionRows; ++r)
        card.suspension << QStringList{QString::fromLatin1(kSuspensionRowNames[r]),
                                       Field(record, kCircuitFrontFirst + r),
                                       Field(record, kCircuitRearFirst + r)};

    const QString unitName = QString::fromLatin1(UnitName(unit));
    card.speedTitle = QStringLiteral("Road speed (%1) on %2/%3").arg(unitName, frontText, rearText);
    const Setup setup{front.value_or(0), rear.value_or(0), inches.value_or(0)};
    if (!Plannable(gears, setup)) {
        card.speedProblem = QStringLiteral(
            "No speed table: it needs the gear data, the circuit's sprockets and the Details "
            "page's circumference, each above zero.");
        return card;
    }
    QList<QStringList> speeds;
    speeds << QStringList{unitName};
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
    PlannerTargets targets;
    targets.shiftRpm = shiftRpm;
    targets.unit = unit;
    card.targets = targets;
    card.chart = Figures(gears, setup, targets);
    return card;
}

}  // namespace gearsheet

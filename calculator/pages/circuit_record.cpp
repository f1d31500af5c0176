#include "pages/circuit_record.h"

#include "gearing/gear_data.h"
#include "qfstore/error.h"
#include "settings/settings_file.h"
#include "ui/locale_numbers.h"

namespace gearsheet {

QString CircuitFieldPlace(int index) {
    using namespace settings;
    if (index == kCircuitFrontSprocket)
        return QStringLiteral("the \"Front Sprocket:\" box");
    if (index == kCircuitRearSprocket)
        return QStringLiteral("the \"Rear Sprocket:\" box");
    const bool front = index < kCircuitRearFirst;
    const int row = index - (front ? kCircuitFrontFirst : kCircuitRearFirst);
    return QStringLiteral("row \"%1\", column \"%2\"")
        .arg(QString::fromLatin1(kSuspensionRowNames[row]),
             front ? QStringLiteral("FRONT") : QStringLiteral("REAR"));
}

std::optional<QString> CircuitRecordProblem(const std::vector<QString>& fields) {
    const QString start = QStringLiteral("The circuit can't be saved: ");
    for (size_t i = 0; i < fields.size(); ++i) {
        const QString& text = fields[i];
        const QString place = CircuitFieldPlace(static_cast<int>(i));
        if (text.contains(QLatin1Char('|')))
            return start + QStringLiteral("the text in %1 must not contain \"|\".").arg(place);
        if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
            return start +
                   QStringLiteral("the text in %1 must not contain a line break.").arg(place);
    }
    return std::nullopt;
}

QString CircuitRecordField(const qfstore::Variant& record, int index) {
    if (!record.IsArray())
        throw qfstore::Error::Runtime(qfstore::kErrTypeMismatch, kComponentName);
    return ValueText(record.At(index, kComponentName));
}

}  // namespace gearsheet

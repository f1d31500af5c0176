#include "pages/circuit_record.h"

#include "gearing/gear_data.h"
#include "settings/circuits.h"
#include "ui/locale_numbers.h"
#include "window/setup_model.h"

namespace gearsheet {

using namespace settings;

std::optional<int> CircuitRecord::FrontTeeth() const {
    return TeethFromText(frontSprocket);
}

std::optional<int> CircuitRecord::RearTeeth() const {
    return TeethFromText(rearSprocket);
}

std::vector<QString> CircuitRecord::Fields() const {
    std::vector<QString> fields(kCircuitFieldCount);
    for (int i = 0; i < kSuspensionRows; ++i) {
        const auto row = static_cast<std::size_t>(i);
        fields[static_cast<std::size_t>(kCircuitFrontFirst + i)] = front[row];
        fields[static_cast<std::size_t>(kCircuitRearFirst + i)] = rear[row];
    }
    fields[kCircuitFrontSprocket] = frontSprocket;
    fields[kCircuitRearSprocket] = rearSprocket;
    return fields;
}

CircuitRecord CircuitRecord::FromFields(const std::vector<QString>& fields) {
    const auto at = [&](int index) {
        const auto i = static_cast<std::size_t>(index);
        return i < fields.size() ? fields[i] : QString();
    };
    CircuitRecord record;
    for (int i = 0; i < kSuspensionRows; ++i) {
        const auto row = static_cast<std::size_t>(i);
        record.front[row] = at(kCircuitFrontFirst + i);
        record.rear[row] = at(kCircuitRearFirst + i);
    }
    record.frontSprocket = at(kCircuitFrontSprocket);
    record.rearSprocket = at(kCircuitRearSprocket);
    return record;
}

CircuitRecord CircuitRecordFromStored(const qfstore::Variant& stored,
                                      std::optional<qfstore::Error>& missing) {
    missing.reset();
    std::vector<QString> fields;
    if (!stored.IsArray()) {
        missing = qfstore::Error::Runtime(qfstore::kErrTypeMismatch, kComponentName);
    } else {
        for (int i = 0; i < kCircuitFieldCount && !missing; ++i) {
            try {
                fields.push_back(ValueText(stored.At(i, kComponentName)));
            } catch (const qfstore::Error& e) {
                missing = e;
            }
        }
    }
    return CircuitRecord::FromFields(fields);
}

std::optional<CircuitRecord> ReadCircuitRecord(qfstore::QfINIFileHandler& store,
                                               const std::string& name,
                                               std::optional<qfstore::Error>& missing) {
    const qfstore::Variant stored = ReadCircuit(store, name);
    if (stored.IsMissing())
        return std::nullopt;
    return CircuitRecordFromStored(stored, missing);
}

void WriteCircuitRecord(qfstore::QfINIFileHandler& store, const std::string& name,
                        const CircuitRecord& record) {
    std::vector<std::string> texts;
    for (const QString& field : record.Fields()) texts.push_back(field.toStdString());
    AddCircuit(store, name, std::move(texts));
}

QString CircuitFieldPlace(int index) {
    if (index == kCircuitFrontSprocket)
        return QStringLiteral("the \"Front Sprocket:\" box");
    if (index == kCircuitRearSprocket)
        return QStringLiteral("the \"Rear Sprocket:\" box");
    const bool isFront = index < kCircuitRearFirst;
    const int row = index - (isFront ? kCircuitFrontFirst : kCircuitRearFirst);
    return QStringLiteral("row \"%1\", column \"%2\"")
        .arg(QString::fromLatin1(kSuspensionRowNames[row]),
             isFront ? QStringLiteral("FRONT") : QStringLiteral("REAR"));
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

}  // namespace gearsheet

// A circuit record of the settings file's "CIRCUITS" as one value: read and taken apart once,
// then shown by the Circuit Database page, printed on the pit card and followed by the sprocket
// finder. Stored as 22 texts joined by "|": the FRONT column, the REAR column, the two sprockets.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "qfstore/error.h"
#include "qfstore/ini_file_handler.h"
#include "qfstore/variant.h"
#include "settings/settings_file.h"

namespace gearsheet {

struct CircuitRecord {
    std::array<QString, settings::kSuspensionRows> front;  // rows "Static Sag:" … "Other4:"
    std::array<QString, settings::kSuspensionRows> rear;
    QString frontSprocket;  // as typed
    QString rearSprocket;

    // The sprockets in teeth where their texts are numbers of teeth (TeethFromText).
    std::optional<int> FrontTeeth() const;
    std::optional<int> RearTeeth() const;

    // The 22 texts in stored order, and back.
    std::vector<QString> Fields() const;
    static CircuitRecord FromFields(const std::vector<QString>& fields);
};

// A record as the store returned it, taken apart. A record too short for the page (written by
// hand) keeps its fields and leaves the rest empty; `missing` then holds the error of the first
// field it lacks: error 13 "Type mismatch" when it is not a list (a line without "|"), error 9
// "Subscript out of range" when the list ends early.
CircuitRecord CircuitRecordFromStored(const qfstore::Variant& stored,
                                      std::optional<qfstore::Error>& missing);

// The record stored under `name`; nothing when there is none. Store errors pass on.
std::optional<CircuitRecord> ReadCircuitRecord(qfstore::QfINIFileHandler& store,
                                               const std::string& name,
                                               std::optional<qfstore::Error>& missing);

// Writes `record` under `name`, replacing a circuit of that name. Store errors pass on.
void WriteCircuitRecord(qfstore::QfINIFileHandler& store, const std::string& name,
                        const CircuitRecord& record);

// Where field `index` (0 … 21) is shown, for messages: row "Prelead:", column "FRONT" for 3, the
// "Rear Sprocket:" box for 21.
QString CircuitFieldPlace(int index);

// Why `fields` cannot be stored as one circuit record, as a sentence for the user; nothing when
// it can. A field holding "|" or a line break would split or end the stored line, so the first
// such field is named.
std::optional<QString> CircuitRecordProblem(const std::vector<QString>& fields);

}  // namespace gearsheet

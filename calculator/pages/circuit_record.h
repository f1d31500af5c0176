// A circuit record without its widgets: where each of its 22 fields is shown, which texts cannot
// be stored in it, and how a record read back from the settings store is taken apart.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "qfstore/variant.h"

namespace gearsheet {

// Where field `index` (0 … 21) is shown, for messages: row "Prelead:", column "FRONT" for 3, the
// "Rear Sprocket:" box for 21.
QString CircuitFieldPlace(int index);

// Why `fields` cannot be stored as one circuit record, as a sentence for the user; nothing when
// it can. A field holding "|" or a line break would split or end the stored line, so the first
// such field is named.
std::optional<QString> CircuitRecordProblem(const std::vector<QString>& fields);

// Field `index` of a record as the store returned it, as text. Error 13 "Type mismatch" from
// "Gearsheet" when the record is not a list (a line without "|", the missing-record marker),
// error 9 "Subscript out of range" when the list has no such field.
QString CircuitRecordField(const qfstore::Variant& record, int index);

}  // namespace gearsheet

// Names of tyre types and circuits become keys of the settings file; some names cannot be stored
// there faithfully.
#pragma once

#include <QString>
#include <optional>

namespace gearsheet {

// Why `name` cannot be stored as the name of a `kind` ("tyre type", "circuit"), as a sentence for
// the user; nothing when it can. Refused: the empty name, blanks at either end, "=", a line break,
// a leading "[" or ";".
std::optional<QString> NameProblem(const QString& name, const QString& kind);

}  // namespace gearsheet

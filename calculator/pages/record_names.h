// Names of tyre types and circuits become keys of the settings file; some names cannot be stored
// there faithfully.
#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;

namespace gearsheet {

// Why `name` cannot be stored as the name of a `kind` ("tyre type", "circuit"), as a sentence for
// the user; nothing when it can. Refused: the empty name, blanks at either end, "=", a line break,
// a leading "[" or ";".
std::optional<QString> NameProblem(const QString& name, const QString& kind);

// One item of a name list: the name and its tag (nothing, or what choosing it shows).
struct ListedName {
    QString text;
    QVariant tag = {};
};

// Empties `list`, then fills it with what `read` returns in one insertion (long lists fill
// quickly) and makes the last name the chosen and shown one, its tag shown in `tagBox` when given.
// An empty list stays empty; a failing read leaves it empty. Runs the pending events before it
// shows the last name (the list's own queued updates would overwrite it), so other handlers may
// run inside this call.
void FillNameList(QComboBox& list, const std::function<std::vector<ListedName>()>& read,
                  QLineEdit* tagBox = nullptr);

}  // namespace gearsheet

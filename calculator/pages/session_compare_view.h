// The Session Log's comparison: two sessions, each chosen by circuit and session, side by side
// with every field, the fields that differ shaded and numeric ones with their difference.
#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "sessions/session_fields.h"
#include "sessions/session_log.h"

class QComboBox;
class QTableWidget;

namespace gearsheet {

class SessionCompareView final : public QWidget {
  public:
    // Reads a circuit's sessions, newest first.
    using Reader = std::function<std::vector<LoggedSession>(const QString& circuit)>;

    SessionCompareView(Reader read, QWidget* parent = nullptr);

    // The circuits to choose from (name shown, name stored), and the units to show in. Forgets
    // the sessions read so far.
    void SetCircuits(const QList<QPair<QString, QString>>& circuits, const ShownUnits& units);
    // Compares session `firstKey` of `firstCircuit` with `secondKey` of `secondCircuit`.
    void Compare(const QString& firstCircuit, const QString& firstKey, const QString& secondCircuit,
                 const QString& secondKey);

  private:
    struct Side {
        QComboBox* circuit;
        QComboBox* session;
    };
    Side MakeSide(const char* circuitName, const char* sessionName);
    // Offers the sessions of the side's circuit, choosing `key` (the newest when it is not there).
    void FillSessions(Side& side, const QString& key);
    const std::vector<LoggedSession>& SessionsOf(const QString& circuit);
    const Session* Chosen(const Side& side);
    void Refresh();

    Reader read_;
    ShownUnits units_;
    QHash<QString, std::vector<LoggedSession>> read_sessions_;
    Side first_;
    Side second_;
    QTableWidget* table_;
};

}  // namespace gearsheet

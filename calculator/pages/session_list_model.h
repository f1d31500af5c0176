// The Session Log's list of one circuit's sessions, newest first, as a table model over the log's
// own sessions: each row's texts are made when the view asks for them, so a circuit of hundreds
// of sessions is listed without making a widget item for each.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "sessions/session_log.h"

namespace gearsheet {

class SessionListModel final : public QAbstractTableModel {
  public:
    explicit SessionListModel(QObject* parent = nullptr);

    // Lists `sessions`, which must stay as they are until the next Show.
    void Show(const std::vector<LoggedSession>& sessions);
    // The row of the session stored under `key`; -1 when it is not listed.
    int RowOf(const QString& key) const;
    // The key of the session in `row`.
    QString KeyAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const std::vector<LoggedSession>* sessions_ = nullptr;
    QString decimalPoint_;
};

}  // namespace gearsheet

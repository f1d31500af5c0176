#include "pages/session_list_model.h"

#include <QLocale>

#include "pages/session_texts.h"

namespace gearsheet {
namespace {

enum Column { kDate, kName, kConditions, kBestLap, kSprockets, kNotes, kColumns };

}  // namespace

SessionListModel::SessionListModel(QObject* parent) : QAbstractTableModel(parent) {}

void SessionListModel::Show(const std::vector<LoggedSession>& sessions) {
    beginResetModel();
    sessions_ = &sessions;
    decimalPoint_ = QLocale::system().decimalPoint();
    endResetModel();
}

int SessionListModel::RowOf(const QString& key) const {
    if (!sessions_)
        return -1;
    const std::string wanted = key.toStdString();
    for (size_t i = 0; i < sessions_->size(); ++i)
        if ((*sessions_)[i].key == wanted)
            return static_cast<int>(i);
    return -1;
}

QString SessionListModel::KeyAt(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    return QString::fromStdString((*sessions_)[static_cast<size_t>(row)].key);
}

int SessionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !sessions_ ? 0 : static_cast<int>(sessions_->size());
}

int SessionListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant SessionListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const Session& s = (*sessions_)[static_cast<size_t>(index.row())].session;
    switch (index.column()) {
        case kDate:
            return ShortDate(s.date);
        case kName:
            return QString::fromStdString(s.name);
        case kConditions:
            return ConditionsText(s);
        case kBestLap:
            return s.bestLapMs ? QString::fromStdString(
                                     LapTimeText(*s.bestLapMs, decimalPoint_.toStdString()))
                               : QString();
        case kSprockets:
            return SprocketsText(s);
        case kNotes:
            return FirstNoteLine(s);
        default:
            return {};
    }
}

QVariant SessionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kTitles[kColumns] = {"Date",     "Session",   "Conditions",
                                                  "Best lap", "Sprockets", "Notes"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return {};
    return QString::fromLatin1(kTitles[section]);
}

}  // namespace gearsheet

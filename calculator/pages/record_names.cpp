#include "pages/record_names.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QStandardItemModel>
#include <memory>

namespace gearsheet {

std::optional<QString> NameProblem(const QString& name, const QString& kind) {
    const QString start = QStringLiteral("The %1 can't be saved: ").arg(kind);
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    if (name.isEmpty())
        return start + QStringLiteral("please type a name first.");
    if (blank(name.front()) || blank(name.back()))
        return start + QStringLiteral("its name must not begin or end with a blank.");
    if (name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n')))
        return start + QStringLiteral("its name must not contain a line break.");
    if (name.contains(QLatin1Char('=')))
        return start + QStringLiteral("its name must not contain \"=\".");
    if (name.front() == QLatin1Char('[') || name.front() == QLatin1Char(';'))
        return start + QStringLiteral("its name must not begin with \"[\" or \";\".");
    return std::nullopt;
}

void FillNameList(QComboBox& list, const std::function<std::vector<ListedName>()>& read,
                  QLineEdit* tagBox) {
    list.clear();
    const std::vector<ListedName> names = read();
    if (names.empty())
        return;
    QList<QStandardItem*> items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const ListedName& name : names) {
        auto item = std::make_unique<QStandardItem>(name.text);
        if (name.tag.isValid())
            item->setData(name.tag, Qt::UserRole);
        items << item.release();
    }
    static_cast<QStandardItemModel*>(list.model())->invisibleRootItem()->insertRows(0, items);
    const int last = list.count() - 1;
    list.setCurrentIndex(last);
    if (tagBox)
        tagBox->setText(list.itemData(last).toString());
    // The list's queued updates of its text run first, or they would overwrite the name shown.
    QCoreApplication::processEvents();
    list.setEditText(list.itemText(last));
}

}  // namespace gearsheet

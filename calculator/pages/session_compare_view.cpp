#include "pages/session_compare_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "pages/session_texts.h"
#include "sessions/session_compare.h"

namespace gearsheet {
namespace {

QString SessionTitle(const Session& s) {
    const QString name = QString::fromStdString(s.name);
    return ShortDate(s.date) + (name.isEmpty() ? QString() : QStringLiteral("  ") + name);
}

}  // namespace

SessionCompareView::SessionCompareView(Reader read, QWidget* parent)
    : QWidget(parent), read_(std::move(read)) {
    setObjectName(QStringLiteral("SessionCompare"));
    first_ = MakeSide("cboCompareCircuit1", "cboCompareSession1");
    second_ = MakeSide("cboCompareCircuit2", "cboCompareSession2");
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QStringLiteral("grdCompare"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("First"),
                                       QStringLiteral("Second"), QStringLiteral("Difference")});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setWordWrap(false);

    auto* pickers = new QGridLayout;
    pickers->addWidget(new QLabel(QStringLiteral("First:"), this), 0, 0);
    pickers->addWidget(first_.circuit, 0, 1);
    pickers->addWidget(first_.session, 0, 2);
    pickers->addWidget(new QLabel(QStringLiteral("Second:"), this), 1, 0);
    pickers->addWidget(second_.circuit, 1, 1);
    pickers->addWidget(second_.session, 1, 2);
    pickers->setColumnStretch(2, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(pickers);
    column->addWidget(table_, 1);
}

SessionCompareView::Side SessionCompareView::MakeSide(const char* circuitName,
                                                      const char* sessionName) {
    Side side{new QComboBox(this), new QComboBox(this)};
    side.circuit->setObjectName(QString::fromLatin1(circuitName));
    side.session->setObjectName(QString::fromLatin1(sessionName));
    side.circuit->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    side.circuit->setMinimumContentsLength(16);
    side.session->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    side.session->setMinimumContentsLength(24);
    Side* which = std::string_view(circuitName).back() == '1' ? &first_ : &second_;
    connect(side.circuit, &QComboBox::activated, this, [this, which] {
        FillSessions(*which, {});
        Refresh();
    });
    connect(side.session, &QComboBox::activated, this, [this] { Refresh(); });
    return side;
}

void SessionCompareView::SetCircuits(const QList<QPair<QString, QString>>& circuits,
                                     const ShownUnits& units) {
    units_ = units;
    read_sessions_.clear();
    for (Side* side : {&first_, &second_}) {
        side->circuit->clear();
        for (const auto& [shown, name] : circuits) side->circuit->addItem(shown, name);
    }
}

const std::vector<LoggedSession>& SessionCompareView::SessionsOf(const QString& circuit) {
    auto found = read_sessions_.find(circuit);
    if (found == read_sessions_.end())
        found = read_sessions_.insert(circuit, read_(circuit));
    return *found;
}

void SessionCompareView::FillSessions(Side& side, const QString& key) {
    side.session->clear();
    for (const LoggedSession& s : SessionsOf(side.circuit->currentData().toString()))
        side.session->addItem(SessionTitle(s.session), QString::fromStdString(s.key));
    const int index = side.session->findData(key);
    side.session->setCurrentIndex(index >= 0 ? index : 0);
}

void SessionCompareView::Compare(const QString& firstCircuit, const QString& firstKey,
                                 const QString& secondCircuit, const QString& secondKey) {
    const std::pair<Side*, std::pair<QString, QString>> sides[] = {
        {&first_, {firstCircuit, firstKey}}, {&second_, {secondCircuit, secondKey}}};
    for (const auto& [side, wanted] : sides) {
        side->circuit->setCurrentIndex(std::max(0, side->circuit->findData(wanted.first)));
        FillSessions(*side, wanted.second);
    }
    Refresh();
}

const Session* SessionCompareView::Chosen(const Side& side) {
    const QString key = side.session->currentData().toString();
    for (const LoggedSession& s : SessionsOf(side.circuit->currentData().toString()))
        if (QString::fromStdString(s.key) == key)
            return &s.session;
    return nullptr;
}

void SessionCompareView::Refresh() {
    const Session* first = Chosen(first_);
    const Session* second = Chosen(second_);
    table_->setRowCount(0);
    if (!first || !second)
        return;
    const std::vector<ComparedField> rows = CompareSessions(*first, *second, units_);
    table_->setRowCount(static_cast<int>(rows.size()));
    const QBrush shade(QColor(255, 236, 179));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const ComparedField& row = rows[static_cast<size_t>(r)];
        const QString texts[] = {QString::fromStdString(row.label),
                                 QString::fromStdString(row.first).simplified(),
                                 QString::fromStdString(row.second).simplified(),
                                 QString::fromStdString(row.difference)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (row.differs)
                item->setBackground(shade);
            table_->setItem(r, c, item);
        }
    }
}

}  // namespace gearsheet

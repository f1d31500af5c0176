#include "pages/planner_table.h"

#include <QHeaderView>
#include <cmath>

#include "pages/speed_page.h"
#include "ui/locale_numbers.h"

namespace gearsheet {
namespace {

// Rows of the comparison table: five quantities of four rows each; columns: quantity, row kind,
// then one per gear.
enum Quantity { kFinalDrive, kOverallRatio, kSpeedAtShift, kRpmAtSpeed, kRpmDrop, kQuantities };
enum RowKind { kCurrent, kProposed, kDifference, kPercent };
constexpr int kRowKinds = 4;
constexpr int kFirstGearColumn = 2;

}  // namespace

PlannerTable::PlannerTable(QWidget* parent)
    : QTableWidget(kQuantities * kRowKinds, kFirstGearColumn + kGearCount, parent) {
    setObjectName(QStringLiteral("grdPlanner"));
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList headings{QString(), QString()};
    for (const char* gear : kGearNames) headings << QString::fromLatin1(gear);
    setHorizontalHeaderLabels(headings);
    const QBrush headingBrush = palette().button();
    QFont bold = font();
    bold.setBold(true);
    static const char* const kKinds[kRowKinds] = {"Current", "Proposed", "Difference", "%"};
    // The road and engine speed headings say the targets; they are written by Show().
    static const char* const kQuantityNames[kQuantities] = {
        "Final drive (rear ÷ front)", "Overall ratio (primary × gear × final drive)", "", "",
        "Rpm drop shifting up into"};
    for (int q = 0; q < kQuantities; ++q) {
        auto* heading = new QTableWidgetItem(QString::fromUtf8(kQuantityNames[q]));
        heading->setFont(bold);
        heading->setBackground(headingBrush);
        heading->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setItem(q * kRowKinds, 0, heading);
        setSpan(q * kRowKinds, 0, kRowKinds, 1);
        for (int k = 0; k < kRowKinds; ++k) {
            const int r = q * kRowKinds + k;
            auto* kind = new QTableWidgetItem(QString::fromLatin1(kKinds[k]));
            kind->setBackground(headingBrush);
            setItem(r, 1, kind);
            for (int c = kFirstGearColumn; c < columnCount(); ++c) {
                auto* item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                if (k == kDifference || k == kPercent)
                    item->setBackground(SpeedPage::kShading);
                setItem(r, c, item);
            }
        }
    }
    // The final drive is one figure for all gears.
    for (int k = 0; k < kRowKinds; ++k) {
        setSpan(k, kFirstGearColumn, 1, kGearCount);
        item(k, kFirstGearColumn)->setTextAlignment(Qt::AlignCenter);
    }

    SizeToContents(bold);
}

void PlannerTable::SizeToContents(const QFont& bold) {
    const QFontMetrics metrics(bold);
    const int pad = metrics.horizontalAdvance(QStringLiteral("MM"));
    setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("Engine speed at")) + pad);
    setColumnWidth(1, metrics.horizontalAdvance(QStringLiteral("Difference")) + pad);
    for (int c = kFirstGearColumn; c < columnCount(); ++c)
        setColumnWidth(c, metrics.horizontalAdvance(QStringLiteral("-20000.00")) + pad / 2);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(metrics.height() + metrics.height() / 3);
    int width = 2 * frameWidth(), height = 2 * frameWidth();
    for (int c = 0; c < columnCount(); ++c) width += columnWidth(c);
    for (int r = 0; r < rowCount(); ++r) height += rowHeight(r);
    height += horizontalHeader()->sizeHint().height();
    setFixedSize(width, height);
}

void PlannerTable::Show(const SetupFigures& current, const SetupFigures& proposed,
                        const PlannerTargets& targets) {
    const QString unit = QString::fromLatin1(UnitName(targets.unit));
    item(kSpeedAtShift * kRowKinds, 0)
        ->setText(QStringLiteral("Road speed at %1 rpm (%2)").arg(targets.shiftRpm).arg(unit));
    item(kRpmAtSpeed * kRowKinds, 0)
        ->setText(
            QStringLiteral("Engine speed at %1 %2 (rpm)").arg(targets.speedOfInterest).arg(unit));
    // The difference is that of the shown (rounded) figures, the percentage that of the
    // unrounded ones.
    const auto place = [&](Quantity q, int column, double a, double b, int decimals) {
        const int r = q * kRowKinds;
        item(r + kCurrent, column)->setText(RoundedText(a, decimals));
        item(r + kProposed, column)->setText(RoundedText(b, decimals));
        item(r + kDifference, column)
            ->setText(
                SignedText(RoundedText(RoundedTo(b, decimals) - RoundedTo(a, decimals), decimals)));
        item(r + kPercent, column)->setText(SignedText(RoundedText(PercentChange(a, b), 2)));
    };
    place(kFinalDrive, kFirstGearColumn, current.finalDrive, proposed.finalDrive, 4);
    for (std::size_t g = 0; g < current.overallRatio.size(); ++g) {
        const int column = kFirstGearColumn + static_cast<int>(g);
        place(kOverallRatio, column, current.overallRatio[g], proposed.overallRatio[g], 3);
        place(kSpeedAtShift, column, current.speedAtShift[g], proposed.speedAtShift[g], 2);
        place(kRpmAtSpeed, column, current.rpmAtSpeed[g], proposed.rpmAtSpeed[g], 0);
        if (g > 0)  // the drop into this gear
            place(kRpmDrop, column, current.rpmDrop[g - 1], proposed.rpmDrop[g - 1], 0);
    }
}

void PlannerTable::Clear() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = kFirstGearColumn; c < columnCount(); ++c) item(r, c)->setText({});
}

}  // namespace gearsheet

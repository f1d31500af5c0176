#include "pages/speed_page.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gearing/gear_data.h"
#include "gearing/speed_table.h"
#include "ui/page_layout.h"

namespace gearsheet {

namespace {

const char* const kGearHeadings[kGearCount] = {"1st Gear", "2nd Gear", "3rd Gear",
                                               "4th Gear", "5th Gear", "6th Gear"};

// Design widths, widened where the font needs more room for the headings; measured from the
// heading texts alone, which are the widest cells. The grid then takes the size of its cells.
void SizeToHeadings(QTableWidget* grid, const QFont& headingFont, const QWidget* page) {
    const QFontMetrics bold(headingFont);
    const int padding = 2 * bold.horizontalAdvance(QLatin1Char('M'));
    grid->setColumnWidth(0, std::max(bold.horizontalAdvance(QStringLiteral("15500 RPM")) + padding,
                                     TwipsWide(page, 945)));
    for (int g = 1; g <= kGearCount; ++g)
        grid->setColumnWidth(
            g, std::max(bold.horizontalAdvance(QString::fromLatin1(kGearHeadings[g - 1])) + padding,
                        TwipsWide(page, 825)));
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(bold.height() + bold.height() / 2);
    int width = 2 * grid->frameWidth(), height = 2 * grid->frameWidth();
    for (int c = 0; c < grid->columnCount(); ++c) width += grid->columnWidth(c);
    for (int r = 0; r < grid->rowCount(); ++r) height += grid->rowHeight(r);
    grid->setFixedSize(width, height);
}

}  // namespace

const QColor SpeedPage::kShading(202, 215, 230);

SpeedPage::SpeedPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SpeedPage"));

    // Row 0 and column 0 are heading cells of the grid itself, so that cell (r, g) is row r and
    // gear g of the table.
    // The headers are hidden before the cells exist, so that no one measures them.
    grdMain_ = new QTableWidget(this);
    grdMain_->setObjectName(QStringLiteral("grdMain"));
    grdMain_->horizontalHeader()->hide();
    grdMain_->verticalHeader()->hide();
    grdMain_->setRowCount(kSpeedRows + 1);
    grdMain_->setColumnCount(kGearCount + 1);
    grdMain_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdMain_->setSelectionMode(QAbstractItemView::NoSelection);
    grdMain_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdMain_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QBrush headingBrush = palette().button();
    QFont headingFont = font();
    headingFont.setBold(true);
    auto heading = [&](int row, int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setBackground(headingBrush);
        item->setFont(headingFont);
        item->setTextAlignment(Qt::AlignCenter);
        grdMain_->setItem(row, column, item);
    };
    heading(0, 0, QString());
    for (int g = 1; g <= kGearCount; ++g) heading(0, g, QString::fromLatin1(kGearHeadings[g - 1]));
    for (int r = 1; r <= kSpeedRows; ++r) {
        heading(r, 0, QStringLiteral("%1 RPM").arg(EngineSpeed(r), 0, 'f', 0));
        for (int g = 1; g <= kGearCount; ++g) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdMain_->setItem(r, g, item);
        }
    }

    SizeToHeadings(grdMain_, headingFont, this);

    auto* page = new QVBoxLayout(this);
    page->addWidget(PageHeading("Label3", QStringLiteral("Speed Calculation"), this));
    page->addWidget(SeparatorLine(this));
    page->addWidget(grdMain_, 0, Qt::AlignHCenter);
    page->addStretch(1);
}

void SpeedPage::PlaceSpeed(int row, int gear, const QString& text, bool shaded) {
    QTableWidgetItem* item = grdMain_->item(row, gear);
    item->setText(text);
    if (shaded) {
        grdMain_->setCurrentCell(row, gear);
        grdMain_->currentItem()->setBackground(kShading);
    }
}

void SpeedPage::SetUnitHeading(const QString& unit) {
    grdMain_->item(0, 0)->setText(unit);
}

void SpeedPage::ResetCurrentCell() {
    grdMain_->setCurrentCell(0, 0);
}

}  // namespace gearsheet

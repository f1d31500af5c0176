// The pit card laid out on one page (in the chart module): the heading, the setup, the
// suspension table, the speed table and the chart, all as text and lines, nothing as a picture.
#include <QApplication>
#include <QDialog>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "chart_module/planner_chart.h"
#include "ui/dialogs.h"

namespace gearsheet {
namespace {

constexpr double kMarginMm = 12;
constexpr double kPointSize = 9;
// The chart is laid out a little larger than at the screen's 96 pixels an inch and scaled onto
// the page, so that its texts come out a little smaller than the tables'.
constexpr double kChartPixelsPerMm = 96 / 25.4 * 1.15;

QPageSize DefaultPaper() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull() && printer.defaultPageSize().isValid())
        return printer.defaultPageSize();
    return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                         ? QPageSize::Letter
                         : QPageSize::A4);
}

enum class Weight { kNormal, kBold };

QFont PageFont(double points, Weight weight = Weight::kNormal) {
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(weight == Weight::kBold);
    return font;
}

// A table of texts at `top`, `width` wide, the columns sharing it by `weights`; the first row and
// the first column are headings. Returns the table's bottom.
double DrawTable(QPainter& p, double left, double top, double width, const QList<QStringList>& rows,
                 const QList<double>& weights) {
    const QFont plain = PageFont(kPointSize);
    const QFont bold = PageFont(kPointSize, Weight::kBold);
    const double rowHeight = QFontMetricsF(plain, p.device()).height() * 1.3;
    double total = 0;
    for (double w : weights) total += w;
    QList<double> edges{left};
    for (double w : weights) edges << edges.last() + width * w / total;
    const double pad = rowHeight * 0.25;
    p.save();
    p.setPen(QPen(Qt::black, 0));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const double y = top + static_cast<double>(r) * rowHeight;
        if (r == 0 || r % 2 == 0)
            p.fillRect(QRectF(left, y, width, rowHeight),
                       r == 0 ? QColor(220, 220, 220) : QColor(202, 215, 230));
        for (qsizetype c = 0; c < rows[r].size() && c + 1 < edges.size(); ++c) {
            p.setFont(r == 0 || c == 0 ? bold : plain);
            const QRectF cell(edges[c] + pad, y, edges[c + 1] - edges[c] - 2 * pad, rowHeight);
            const Qt::Alignment align =
                Qt::AlignVCenter | (c == 0 ? Qt::AlignLeft : Qt::AlignRight);
            p.drawText(cell, static_cast<int>(align.toInt()), rows[r][c]);
        }
    }
    const double bottom = top + static_cast<double>(rows.size()) * rowHeight;
    p.drawRect(QRectF(left, top, width, bottom - top));
    p.drawLine(QPointF(left, top + rowHeight), QPointF(left + width, top + rowHeight));
    p.drawLine(QPointF(edges[1], top), QPointF(edges[1], bottom));
    p.restore();
    return bottom;
}

// The circuit's name, the date at the right, and a rule under them; returns where the page goes
// on.
double DrawHeading(QPainter& p, const QString& circuit, const QString& date, double width,
                   double mm) {
    const QFont title = PageFont(18, Weight::kBold);
    const double titleHeight = QFontMetricsF(title, p.device()).height();
    p.setFont(title);
    p.drawText(QRectF(0, 0, width * 0.75, titleHeight), Qt::AlignLeft | Qt::AlignVCenter, circuit);
    p.setFont(PageFont(kPointSize + 1));
    p.drawText(QRectF(width * 0.5, 0, width * 0.5, titleHeight), Qt::AlignRight | Qt::AlignVCenter,
               date);
    const double y = titleHeight + 2 * mm;
    p.setPen(QPen(Qt::black, 0.4 * mm));
    p.drawLine(QPointF(0, y), QPointF(width, y));
    p.setPen(QPen(Qt::black, 0));
    return y + 3 * mm;
}

// The card's chart drawn into `target`.
void DrawChart(QPainter& p, const PitCard& card, const QRectF& target, double mm) {
    const QSizeF source(target.width() / mm * kChartPixelsPerMm,
                        target.height() / mm * kChartPixelsPerMm);
    PlannerChart view;
    QChart* chart = view.chart();
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->resize(source);
    view.ShowOne(*card.chart, card.targets, QStringLiteral("Road speed in every gear"));
    QCoreApplication::sendPostedEvents();
    chart->scene()->render(&p, target, QRectF(QPointF(0, 0), source));
}

bool Render(const PitCard& card, QPagedPaintDevice& device, QString& problem) {
    device.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                          QPageLayout::Millimeter);
    QPainter p;
    if (!p.begin(&device)) {
        problem = QStringLiteral("The page could not be started.");
        return false;
    }
    const double mm = device.logicalDpiY() / 25.4;
    const double width = device.width();
    const double height = device.height();

    double y = DrawHeading(p, card.circuit, card.date, width, mm);

    // The setup at the left, the suspension table at the right.
    const QFont plain = PageFont(kPointSize + 1);
    const double line = QFontMetricsF(plain, &device).height() * 1.35;
    double detailsBottom = y;
    for (const QString& text : card.details) {
        p.setFont(plain);
        p.drawText(QRectF(0, detailsBottom, width * 0.48, line), Qt::AlignLeft | Qt::AlignVCenter,
                   text);
        detailsBottom += line;
    }
    const double suspensionBottom =
        DrawTable(p, width * 0.5, y, width * 0.5, card.suspension, {1.3, 1, 1});
    y = std::max(detailsBottom, suspensionBottom) + 5 * mm;

    // The speed table.
    p.setFont(PageFont(kPointSize + 2, Weight::kBold));
    const double heading = QFontMetricsF(p.font(), &device).height() * 1.3;
    p.drawText(QRectF(0, y, width, heading), Qt::AlignLeft | Qt::AlignVCenter, card.speedTitle);
    y += heading;
    if (!card.speeds.isEmpty())
        y = DrawTable(p, 0, y, width, card.speeds, {1.4, 1, 1, 1, 1, 1, 1}) + 5 * mm;
    if (!card.speedProblem.isEmpty()) {
        p.setFont(plain);
        p.drawText(QRectF(0, y, width, line), Qt::AlignLeft | Qt::AlignVCenter, card.speedProblem);
        y += line;
    }

    // The chart in the rest of the page.
    if (card.chart && height - y > 40 * mm)
        DrawChart(p, card, QRectF(0, y, width, height - y), mm);
    if (!p.end()) {
        problem = QStringLiteral("The page could not be finished.");
        return false;
    }
    return true;
}

}  // namespace
}  // namespace gearsheet

extern "C" __attribute__((visibility("default"))) bool GearsheetExportPitCard(
    const gearsheet::PitCard& card, const QString& pdfPath, QString& problem) {
    QPdfWriter writer(pdfPath);
    writer.setResolution(300);
    writer.setPageSize(gearsheet::DefaultPaper());
    writer.setTitle(card.circuit);
    writer.setCreator(QStringLiteral("Gearsheet"));
    if (!gearsheet::Render(card, writer, problem)) {
        problem = QStringLiteral("%1 could not be written. %2").arg(pdfPath, problem);
        return false;
    }
    return true;
}

extern "C" __attribute__((visibility("default"))) bool GearsheetPrintPitCard(
    const gearsheet::PitCard& card, QWidget* parent, gearsheet::Dialogs& dialogs,
    QString& problem) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(card.circuit);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Pit Card"));
    dialogs.Exec(dialog);
    if (dialog.result() != QDialog::Accepted)
        return true;  // the user chose not to print
    return gearsheet::Render(card, printer, problem);
}

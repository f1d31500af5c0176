#include "chart_module/planner_chart.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace gearsheet {
namespace {

QColor GearColour(int gear) {
    static const QColor kColours[kGearCount] = {QColor(31, 119, 180),  QColor(255, 127, 14),
                                                QColor(44, 160, 44),   QColor(214, 39, 40),
                                                QColor(148, 103, 189), QColor(140, 86, 75)};
    return kColours[gear];
}

QLineSeries* AddSeries(QChart* chart, const QString& name, const QColor& colour, qreal width,
                       Qt::PenStyle style) {
    auto* series = new QLineSeries(chart);
    series->setName(name);
    QPen pen(colour, width, style);
    pen.setCapStyle(Qt::FlatCap);
    series->setPen(pen);
    chart->addSeries(series);
    return series;
}

// The upshift run: up gear 1 to the shift speed, across to the next gear's line at the same road
// speed, up that one, and so on to the shift speed in top gear.
QList<QPointF> UpshiftRun(const SetupFigures& f, double shiftRpm) {
    QList<QPointF> points{{0, 0}};
    for (std::size_t g = 0; g < f.speedAtShift.size(); ++g) {
        points << QPointF(shiftRpm, f.speedAtShift[g]);
        if (g < f.rpmDrop.size())
            points << QPointF(shiftRpm - f.rpmDrop[g], f.speedAtShift[g]);
    }
    return points;
}

}  // namespace

PlannerChart::PlannerChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("chtPlanner"));
    setRenderHint(QPainter::Antialiasing);
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Current setup solid, proposed dashed"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    for (int g = 0; g < kGearCount; ++g) {
        const QString name = QString::fromLatin1(kGearNames[g]);
        current_ << AddSeries(chart, name, GearColour(g), 1.5, Qt::SolidLine);
        proposed_ << AddSeries(chart, name, GearColour(g), 1.5, Qt::DashLine);
    }
    // The run over the gear lines, their colours showing through.
    const QColor run(0, 0, 0, 160);
    currentRun_ = AddSeries(chart, QStringLiteral("Upshifts"), run, 3, Qt::SolidLine);
    proposedRun_ = AddSeries(chart, QStringLiteral("Upshifts"), run, 3, Qt::DashLine);
    setChart(chart);  // the view owns the chart

    rpmAxis_ = new QValueAxis(chart);
    rpmAxis_->setLabelFormat(QStringLiteral("%.0f"));
    speedAxis_ = new QValueAxis(chart);
    speedAxis_->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(rpmAxis_, Qt::AlignBottom);
    chart->addAxis(speedAxis_, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(rpmAxis_);
        s->attachAxis(speedAxis_);
    }
    // One legend entry per gear and one for the run: the dashed twins share them.
    for (QLineSeries* s : std::as_const(proposed_) + QList<QLineSeries*>{proposedRun_})
        for (QLegendMarker* marker : chart->legend()->markers(s)) marker->setVisible(false);

    for (int g = 0; g + 1 < kGearCount; ++g) {
        auto* label = new QGraphicsSimpleTextItem(chart);
        label->setZValue(10);
        dropLabels_ << label;
    }
    connect(chart, &QChart::plotAreaChanged, this, [this] { PlaceDropLabels(); });
    const QFontMetrics metrics(font());
    setMinimumSize(metrics.averageCharWidth() * 84, metrics.height() * 24);
}

void PlannerChart::Show(const SetupFigures& current, const SetupFigures& proposed,
                        const PlannerTargets& targets) {
    const double shift = targets.shiftRpm;
    double top = 0;
    for (int g = 0; g < kGearCount; ++g) {
        const auto i = static_cast<std::size_t>(g);
        current_[g]->replace({{0, 0}, {shift, current.speedAtShift[i]}});
        proposed_[g]->replace({{0, 0}, {shift, proposed.speedAtShift[i]}});
        top = std::max({top, current.speedAtShift[i], proposed.speedAtShift[i]});
    }
    currentRun_->replace(UpshiftRun(current, shift));
    proposedRun_->replace(UpshiftRun(proposed, shift));
    const QString unit = QString::fromLatin1(UnitName(targets.unit));
    rpmAxis_->setTitleText(QStringLiteral("Engine speed (rpm)"));
    speedAxis_->setTitleText(QStringLiteral("Road speed (%1)").arg(unit));
    // Room right of the shift speed for the drop labels; ticks at a round interval.
    double interval = 500;
    for (double step : {1000.0, 2000.0, 2500.0, 5000.0})
        if (shift * 1.25 / interval > 8)
            interval = step;
    rpmAxis_->setTickType(QValueAxis::TicksDynamic);
    rpmAxis_->setTickAnchor(0);
    rpmAxis_->setTickInterval(interval);
    rpmAxis_->setRange(0, std::ceil(shift * 1.25 / interval) * interval);
    speedAxis_->setRange(0, top * 1.08);
    speedAxis_->applyNiceNumbers();

    // Each drop is labelled beside its step on the current setup's run, right of the shift speed.
    dropPoints_.clear();
    for (int g = 0; g + 1 < kGearCount; ++g) {
        const auto i = static_cast<std::size_t>(g);
        dropPoints_ << QPointF(shift, current.speedAtShift[i]);
        dropLabels_[g]->setText(
            QStringLiteral("\u2212%1 rpm").arg(QString::number(std::llround(current.rpmDrop[i]))));
        dropLabels_[g]->setVisible(true);
    }
    PlaceDropLabels();
}

void PlannerChart::ShowOne(const SetupFigures& figures, const PlannerTargets& targets,
                           const QString& title) {
    Show(figures, figures, targets);
    for (QLineSeries* s : std::as_const(proposed_) + QList<QLineSeries*>{proposedRun_})
        s->setVisible(false);
    chart()->setTitle(title);
}

void PlannerChart::Clear() {
    for (QLineSeries* s : std::as_const(current_) + proposed_) s->clear();
    currentRun_->clear();
    proposedRun_->clear();
    dropPoints_.clear();
    for (auto* label : std::as_const(dropLabels_)) label->setVisible(false);
}

void PlannerChart::PlaceDropLabels() {
    for (int i = 0; i < dropPoints_.size(); ++i) {
        QGraphicsSimpleTextItem* label = dropLabels_[i];
        // Value to position by the axes' ranges over the plot area.
        const QRectF plot = chart()->plotArea();
        const QPointF at(plot.left() + dropPoints_[i].x() / rpmAxis_->max() * plot.width(),
                         plot.bottom() - dropPoints_[i].y() / speedAxis_->max() * plot.height());
        const QRectF box = label->boundingRect();
        label->setPos(at.x() + box.height() / 3, at.y() - box.height() / 2);
    }
}

}  // namespace gearsheet

extern "C" __attribute__((visibility("default"))) int GearsheetChartModuleVersion() {
    return gearsheet::kChartModuleVersion;
}

extern "C" __attribute__((visibility("default"))) gearsheet::SpeedChart* GearsheetCreateSpeedChart(
    QWidget* parent) {
    return new gearsheet::PlannerChart(parent);
}

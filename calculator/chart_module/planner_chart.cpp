#include "chart_module/planner_chart.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <utility>

#include "gearing/chart_geometry.h"

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

// A line from `drop`'s shift speed across to the next gear's line.
void PlaceDrop(QLineSeries* series, const ShiftDrop& drop) {
    series->replace({{drop.fromRpm, drop.speed}, {drop.toRpm, drop.speed}});
}

const QString kTitle = QStringLiteral("Current setup solid, proposed dashed");

}  // namespace

PlannerChart::PlannerChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("chtPlanner"));
    setRenderHint(QPainter::Antialiasing);
    auto* chart = new QChart;
    chart->setTitle(kTitle);
    chart->legend()->setAlignment(Qt::AlignBottom);
    for (int g = 0; g < kGearCount; ++g) {
        const QString name = QString::fromLatin1(kGearNames[g]);
        current_ << AddSeries(chart, name, GearColour(g), 1.5, Qt::SolidLine);
        proposed_ << AddSeries(chart, name, GearColour(g), 1.5, Qt::DashLine);
    }
    // The upshifts: level lines from one gear's line to the next, crossing none.
    const QColor drop(0, 0, 0, 160);
    for (int g = 0; g + 1 < kGearCount; ++g) {
        currentDrops_ << AddSeries(chart, QStringLiteral("Upshifts"), drop, 2, Qt::SolidLine);
        proposedDrops_ << AddSeries(chart, QStringLiteral("Upshifts"), drop, 2, Qt::DashLine);
    }
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
    // One legend entry per gear and one for the upshifts: the dashed twins share them.
    for (QLineSeries* s : std::as_const(proposed_) + proposedDrops_ + currentDrops_.mid(1))
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
        top = std::max({top, current.speedAtShift[i], proposed.speedAtShift[i]});
    }
    // Room right of the shift speed for the drop labels, and above the fastest gear.
    const auto rpmScale = NiceScale(shift * 1.25);
    const auto speedScale = NiceScale(top * 1.05);
    if (!rpmScale || !speedScale) {
        Clear(QStringLiteral("Nothing to draw: these figures are beyond any road speed."));
        return;
    }
    for (int g = 0; g < kGearCount; ++g) {
        const auto i = static_cast<std::size_t>(g);
        current_[g]->replace({{0, 0}, {shift, current.speedAtShift[i]}});
        proposed_[g]->replace({{0, 0}, {shift, proposed.speedAtShift[i]}});
    }
    const auto currentDrops = ShiftDrops(current, shift);
    const auto proposedDrops = ShiftDrops(proposed, shift);
    for (int g = 0; g + 1 < kGearCount; ++g) {
        PlaceDrop(currentDrops_[g], currentDrops[static_cast<std::size_t>(g)]);
        PlaceDrop(proposedDrops_[g], proposedDrops[static_cast<std::size_t>(g)]);
    }
    chart()->setTitle(kTitle);
    chart()->legend()->setVisible(true);
    const QString unit = QString::fromLatin1(UnitName(targets.unit));
    rpmAxis_->setTitleText(QStringLiteral("Engine speed (rpm)"));
    speedAxis_->setTitleText(QStringLiteral("Road speed (%1)").arg(unit));
    for (const auto& [axis, scale] : {std::pair{rpmAxis_, *rpmScale}, {speedAxis_, *speedScale}}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(scale.interval);
        axis->setRange(0, scale.top);
        axis->setLabelFormat(scale.interval < 1 ? QStringLiteral("%.2g") : QStringLiteral("%.0f"));
        axis->setVisible(true);
    }

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
    for (QLineSeries* s : std::as_const(proposed_) + proposedDrops_) s->setVisible(false);
    chart()->setTitle(title);
}

void PlannerChart::Clear(const QString& why) {
    for (QLineSeries* s : std::as_const(current_) + proposed_ + currentDrops_ + proposedDrops_)
        s->clear();
    dropPoints_.clear();
    for (auto* label : std::as_const(dropLabels_)) label->setVisible(false);
    rpmAxis_->setVisible(false);
    speedAxis_->setVisible(false);
    chart()->legend()->setVisible(false);
    chart()->setTitle(why);
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

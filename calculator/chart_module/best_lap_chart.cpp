// The best-lap chart (in the chart module): one point per session at its date, joined by a line,
// the lap time in seconds on the vertical axis; hovering a point names its session.
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "chart_module/chart_module.h"

namespace gearsheet {
namespace {

constexpr qint64 kMaxDateTicks = 7;

class BestLapView final : public QChartView, public BestLapChart {
  public:
    explicit BestLapView(QWidget* parent) : QChartView(parent) {
        setObjectName(QStringLiteral("chtBestLaps"));
        setRenderHint(QPainter::Antialiasing);
        auto* chart = new QChart;
        chart->legend()->hide();
        line_ = new QLineSeries(chart);
        points_ = new QScatterSeries(chart);
        points_->setMarkerSize(9);
        chart->addSeries(line_);
        chart->addSeries(points_);
        setChart(chart);
        dates_ = new QDateTimeAxis(chart);
        dates_->setFormat(QStringLiteral("yyyy-MM-dd"));
        dates_->setTitleText(QStringLiteral("Session date"));
        laps_ = new QValueAxis(chart);
        laps_->setTitleText(QStringLiteral("Best lap (s)"));
        laps_->setLabelFormat(QStringLiteral("%.1f"));
        chart->addAxis(dates_, Qt::AlignBottom);
        chart->addAxis(laps_, Qt::AlignLeft);
        for (QAbstractSeries* s : chart->series()) {
            s->attachAxis(dates_);
            s->attachAxis(laps_);
        }
        connect(points_, &QScatterSeries::hovered, this,
                [this](const QPointF& at, bool entered) { Hovered(at, entered); });
    }

    QWidget* Widget() override { return this; }

    void Show(const QString& circuit, const QList<BestLapPoint>& points) override {
        chart()->setTitle(points.isEmpty()
                              ? QStringLiteral("%1: no session with a best lap").arg(circuit)
                              : QStringLiteral("%1: best lap per session").arg(circuit));
        tips_.clear();
        QList<QPointF> xy;
        for (const BestLapPoint& p : points) {
            const QPointF at(static_cast<double>(p.date.startOfDay().toMSecsSinceEpoch()),
                             p.seconds);
            xy << at;
            tips_ << qMakePair(at, p.tip);
        }
        line_->replace(xy);
        points_->replace(xy);
        FitAxes(points);
    }

  private:
    void FitAxes(const QList<BestLapPoint>& points) {
        if (points.isEmpty()) {
            const QDate today = QDate::currentDate();
            dates_->setRange(today.addDays(-7).startOfDay(), today.startOfDay());
            laps_->setRange(0, 1);
            return;
        }
        double low = points.first().seconds;
        double high = low;
        QDate first = points.first().date;
        QDate last = first;
        for (const BestLapPoint& p : points) {
            low = std::min(low, p.seconds);
            high = std::max(high, p.seconds);
            first = std::min(first, p.date);
            last = std::max(last, p.date);
        }
        // A margin around the points, and at least a second of range, on round ticks.
        const double margin = std::max(0.5, (high - low) * 0.1);
        laps_->setRange(std::floor(low - margin), std::ceil(high + margin));
        laps_->applyNiceNumbers();
        // A day's margin either side, widened to a whole number of days a tick so that every
        // tick falls at the start of a day and no two ticks name the same day.
        const QDate from = first.addDays(-1);
        const qint64 span = from.daysTo(last.addDays(1));
        const qint64 step = (span + kMaxDateTicks - 2) / (kMaxDateTicks - 1);
        const qint64 ticks = (span + step - 1) / step;
        dates_->setRange(from.startOfDay(), from.addDays(ticks * step).startOfDay());
        dates_->setTickCount(static_cast<int>(ticks + 1));
    }

    void Hovered(const QPointF& at, bool entered) {
        if (!entered) {
            QToolTip::hideText();
            return;
        }
        for (const auto& [point, tip] : std::as_const(tips_)) {
            if (point == at) {
                QToolTip::showText(QCursor::pos(), tip, this);
                return;
            }
        }
    }

    QLineSeries* line_;
    QScatterSeries* points_;
    QDateTimeAxis* dates_;
    QValueAxis* laps_;
    QList<QPair<QPointF, QString>> tips_;
};

}  // namespace
}  // namespace gearsheet

extern "C" __attribute__((visibility("default"))) gearsheet::BestLapChart*
GearsheetCreateBestLapChart(QWidget* parent) {
    return new gearsheet::BestLapView(parent);
}

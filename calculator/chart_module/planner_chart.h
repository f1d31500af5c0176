// The Gear Planner's chart (in the chart module): road speed against engine speed in every gear,
// the current setup solid and the proposed one dashed, and the upshift run through the gears with
// each shift's rpm drop.
#pragma once

#include <QChartView>
#include <QList>

#include "chart_module/chart_module.h"
#include "gearing/planner.h"

class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;

namespace gearsheet {

class PlannerChart final : public QChartView, public SpeedChart {
    Q_OBJECT
  public:
    explicit PlannerChart(QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    void Show(const SetupFigures& current, const SetupFigures& proposed,
              const PlannerTargets& targets) override;
    void Clear() override;
    // Draws one setup alone, under `title` (the pit card's chart).
    void ShowOne(const SetupFigures& figures, const PlannerTargets& targets, const QString& title);

  private:
    void PlaceDropLabels();

    QList<QLineSeries*> current_, proposed_;  // one per gear
    QLineSeries* currentRun_;
    QLineSeries* proposedRun_;
    QValueAxis* rpmAxis_;
    QValueAxis* speedAxis_;
    QList<QGraphicsSimpleTextItem*> dropLabels_;
    QList<QPointF> dropPoints_;  // where each label belongs, in chart values
};

}  // namespace gearsheet

// The Gear Planner's comparison table: gears across; final drive, overall ratio, road speed at
// the shift speed, engine speed at the road speed of interest and rpm drop at each upshift down,
// each as current, proposed, difference and per cent.
#pragma once

#include <QString>
#include <QTableWidget>

#include "gearing/planner.h"

namespace gearsheet {

class PlannerTable final : public QTableWidget {
    Q_OBJECT
  public:
    explicit PlannerTable(QWidget* parent = nullptr);

    void Show(const SetupFigures& current, const SetupFigures& proposed,
              const PlannerTargets& targets);
    // Empties every figure (no plannable setup).
    void Clear();

  private:
    // Columns wide enough for their headings and figures in `bold`; the table takes their size.
    void SizeToContents(const QFont& bold);
};

}  // namespace gearsheet

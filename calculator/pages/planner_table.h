// The Gear Planner's comparison table: gears across; final drive, overall ratio, road speed at
// the shift speed, engine speed at the road speed of interest and rpm drop at each upshift down,
// each as current, proposed, difference and per cent.
#pragma once

#include <QString>
#include <QTableWidget>

#include "gearing/planner.h"

namespace gearsheet {

// `value` rounded to `decimals` (halves to even) in the general form: "2.8125", "3".
QString RoundedText(double value, int decimals);
// A figure's text with "+" before a positive one.
QString SignedText(const QString& text);

// Links needed, unrounded, and the even number a chain takes: "113.6 → 114".
QString LinksText(double linksNeeded, int evenLinks);

class PlannerTable final : public QTableWidget {
    Q_OBJECT
  public:
    explicit PlannerTable(QWidget* parent = nullptr);

    void Show(const SetupFigures& current, const SetupFigures& proposed,
              const PlannerTargets& targets);
    // Empties every figure (no plannable setup).
    void Clear();
};

}  // namespace gearsheet

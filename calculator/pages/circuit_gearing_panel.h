// The Circuit Database page's gearing group: what the circuit's longest straight showed, the
// shift light to aim for, the sprocket pairs that bring the straight's end closest to it, and the
// pit card's buttons. Its widgets are made when the group is first shown, so that start-up does
// not pay for them; until then a circuit's record is read only when it is needed.
#pragma once

#include <QGroupBox>
#include <QPointer>
#include <functional>
#include <memory>

#include "gearing/circuit_gearing.h"
#include "gearing/gear_data.h"
#include "window/form_context.h"

class QLineEdit;

namespace gearsheet {

class DetailsPage;
class SpeedUnitChoice;

class CircuitGearingPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `front` and `rear` are the page's sprocket boxes: the circuit's sprockets, which "Use this
    // pair" fills.
    CircuitGearingPanel(FormContext& context, const GearData& gears, SpeedUnitChoice& unit,
                        const DetailsPage& details, QLineEdit* front, QLineEdit* rear,
                        QWidget* parent = nullptr);
    ~CircuitGearingPanel() override;

    // Shows what is stored for `circuit` (read now, or when the group is first shown).
    void Load(const QString& circuit);
    // Nothing seen, the planner's shift speed as the target.
    void Clear();
    // Writes what is shown under `circuit`, or removes the circuit's record when nothing was seen.
    // Store errors pass on.
    void Store(const QString& circuit);
    // Removes the record of `circuit`. Store errors pass on.
    void Remove(const QString& circuit);
    // The shift light shown (the planner's shift speed when none was set).
    double TargetRpm();

    // Run by "Print…" and "Export PDF…".
    std::function<void()> printCard;
    std::function<void()> exportCard;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Widgets;

    void Build();
    // The record to show: read from the store when a circuit's record is still pending.
    CircuitGearing Wanted();
    CircuitGearing Shown() const;
    void Show(const CircuitGearing& gearing);
    // Recomputes the engine speed at the end of the straight and the pairs.
    void Refresh();
    // Puts the circuit's sprockets as the ones seen on while nothing was seen.
    void FollowSprockets();
    // The record's shift light, or the planner's shift speed when it has none.
    double ShiftLight(const CircuitGearing& gearing);
    double PlannerNumber(const char* key, double fallback);
    void SaveRange(const char* key, int value, const char* procedure);
    void cmdUsePair_Click();

    FormContext& context_;
    const GearData& gears_;
    SpeedUnitChoice& unit_;
    const DetailsPage& details_;
    QPointer<QLineEdit> txtFrontSp_;
    QPointer<QLineEdit> txtRearSp_;
    std::unique_ptr<Widgets> ui_;
    CircuitGearing gearing_;  // what to show when the widgets are made
    QString pending_;         // a circuit whose record is still to be read
    bool hasPending_ = false;
};

}  // namespace gearsheet

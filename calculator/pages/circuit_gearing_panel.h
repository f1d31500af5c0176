// The Circuit Database page's gearing group: what the circuit's longest straight showed and on
// which tyre, the shift light to aim for, the sprocket pairs that bring the straight's end closest
// to it, and the pit card's buttons. Its widgets are made when the group is first shown, so that
// start-up does not pay for them; until then a circuit's record is read only when it is needed.
#pragma once

#include <QGroupBox>
#include <QPointer>
#include <memory>
#include <optional>

#include "gearing/gear_data.h"
#include "settings/circuit_gearing_records.h"
#include "window/form_context.h"

class QLineEdit;
class QSpinBox;

namespace gearsheet {

class SetupModel;
class SpeedUnitChoice;

class CircuitGearingPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `front` and `rear` are the page's sprocket boxes: the circuit's sprockets, which "Use this
    // pair" fills. The rider's tyre comes from `setup`.
    CircuitGearingPanel(FormContext& context, const GearData& gears, SpeedUnitChoice& unit,
                        const SetupModel& setup, QLineEdit* front, QLineEdit* rear,
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
    // The shift light shown. Before the group was first shown this reads the circuit's pending
    // record, and the planner's shift speed when it has none, from the settings file; store errors
    // pass on.
    double TargetRpm();

  signals:
    // "Print…" and "Export PDF…" were clicked.
    void printRequested();
    void exportRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Widgets;

    // Makes the widgets, shows the stored ranges and connects the controls.
    void Build();
    void MakeWidgets();
    void MakePairsTable();
    void LayOut();
    void LoadInputs();
    void Connect();
    // Re-reads the planner's chain, and shows the road speed in the unit chosen meanwhile.
    void CatchUp();

    // The record to show: read from the store when a circuit's record is still pending.
    settings::CircuitGearing Wanted();
    // What is shown, as it would be stored.
    settings::CircuitGearing Shown() const;
    void Show(const settings::CircuitGearing& gearing);
    // Shows the road speed as entered in the unit chosen for showing speeds.
    void ShowRoadSpeed();
    // Recomputes the engine speed at the end of the straight and the pairs.
    void Refresh();
    // The sentence above the pairs; fills the pairs on the way when the engine speed is known.
    QString Finding(const settings::CircuitGearing& gearing);
    void ShowPairs();
    // Puts the circuit's sprockets as the ones seen on while nothing was seen.
    void FollowSprockets();
    // The record's shift light, or the planner's shift speed when it has none.
    double ShiftLight(const settings::CircuitGearing& gearing);
    void SaveRange(QSpinBox* box, int value);
    void cmdUsePair_Click();

    FormContext& context_;
    const GearData& gears_;
    SpeedUnitChoice& unit_;
    const SetupModel& setup_;
    QPointer<QLineEdit> txtFrontSp_;
    QPointer<QLineEdit> txtRearSp_;
    std::unique_ptr<Widgets> ui_;
    settings::CircuitGearing gearing_;  // what to show when the widgets are made
    QString pending_;                   // a circuit whose record is still to be read
    bool hasPending_ = false;
};

}  // namespace gearsheet

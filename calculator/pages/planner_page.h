// The "Gear Planner" page: the rider's setup against a proposed one (sprockets, tyre), their
// figures side by side, what the change does to the chain, and a chart of both. The unit choice
// for every road speed of the program lives here too. Its widgets are made when the page is first
// shown, so that start-up does not pay for them.
#pragma once

#include <QWidget>
#include <memory>

#include "gearing/gear_data.h"
#include "window/form_context.h"

class QGroupBox;

namespace gearsheet {

class SetupModel;
class SpeedUnitChoice;
struct Setup;
namespace settings {
struct PlannerSettings;
}

class PlannerPage : public QWidget {
    Q_OBJECT
  public:
    PlannerPage(FormContext& context, SetupModel& setup, const GearData& gears,
                SpeedUnitChoice& unit, QWidget* parent = nullptr);
    ~PlannerPage() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Widgets;

    // Makes the widgets, shows the stored inputs and connects the controls.
    void Build();
    void MakeWidgets();
    QGroupBox* MakeCurrentGroup();
    QGroupBox* MakeProposedGroup();
    QGroupBox* MakeCompareGroup();
    QGroupBox* MakeChainGroup();
    void LayOut(std::initializer_list<QGroupBox*> groups, QWidget* chartArea);
    // Shows the "PLANNER" section's inputs; the proposed setup starts as the rider's.
    void LoadInputs();
    void Connect();

    // Offers the rider's tyres, keeping the chosen one.
    void RefreshTyres();
    // Recomputes the table, the chain figures and the chart from both setups.
    void Refresh();
    // Shows the rider's setup in the read-only boxes and returns it (zeros where it has none).
    Setup ShowCurrent();
    // Why the setups cannot be compared, or empty.
    QString Problem(const Setup& current, const Setup& proposed) const;
    void ShowChain(const Setup& current, const Setup& proposed);
    // Writes the changed inputs to the "PLANNER" section; failures are reported under
    // `procedure`.
    void Save(const settings::PlannerSettings& changed, const char* procedure);

    void optSpeedUnit_Click();
    void cboProposedTyre_Click();
    void cmdCopyToDetails_Click();

    FormContext& context_;
    SetupModel& setup_;
    const GearData& gears_;
    SpeedUnitChoice& unit_;
    std::unique_ptr<Widgets> ui_;
};

}  // namespace gearsheet

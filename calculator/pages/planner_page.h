// The "Gear Planner" page: the Details page's setup against a proposed one (sprockets, tyre),
// their figures side by side, what the change does to the chain, and a chart of both. The unit
// choice for every road speed of the program lives here too. Its widgets are made when the page is
// first shown, so that start-up does not pay for them.
#pragma once

#include <QWidget>
#include <memory>

#include "gearing/gear_data.h"
#include "window/form_context.h"

namespace qfstore {
class Variant;
}

namespace gearsheet {

class DetailsPage;
class SpeedUnitChoice;

class PlannerPage : public QWidget {
    Q_OBJECT
  public:
    PlannerPage(FormContext& context, DetailsPage& details, const GearData& gears,
                SpeedUnitChoice& unit, QWidget* parent = nullptr);
    ~PlannerPage() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Widgets;

    // Makes the widgets and shows the stored inputs.
    void Build();
    // Offers the Details page's tyres, keeping the chosen one.
    void RefreshTyres();
    // Recomputes the table, the chain figures and the chart from both setups.
    void Refresh();
    // Writes one input to the "PLANNER" section; failures are reported under `procedure`.
    void Save(const char* key, const qfstore::Variant& value, const char* procedure);

    void optSpeedUnit_Click();
    void cboProposedTyre_Click();
    void cmdCopyToDetails_Click();

    FormContext& context_;
    DetailsPage& details_;
    const GearData& gears_;
    SpeedUnitChoice& unit_;
    std::unique_ptr<Widgets> ui_;
};

}  // namespace gearsheet

// The "Circuit Database" page: the circuits of the settings file, each with the sprockets used
// there and a table of front and rear suspension settings.
#pragma once

#include <QWidget>
#include <optional>

#include "pages/pit_card.h"
#include "qfstore/error.h"
#include "window/form_context.h"

class QComboBox;
class QLineEdit;
class QTableWidget;
class QVBoxLayout;

namespace gearsheet {

class CircuitGearingPanel;
class SetupModel;
class SpeedUnitChoice;
struct CircuitRecord;
struct GearData;

class CircuitPage : public QWidget {
    Q_OBJECT
  public:
    // The gearing group beside the suspension table works from `gears`, the unit choice and the
    // rider's tyre; "Copy Values" puts the circuit's sprockets into the rider's setup.
    CircuitPage(FormContext& context, const GearData& gears, SpeedUnitChoice& unit,
                SetupModel& setup, QWidget* parent = nullptr);

    // Rebuilds the circuit list from the settings file in file order and puts the last circuit's
    // name in the list's text; reports its own failures.
    void RefreshCircuitCombo();
    // Shows the circuit named in the list's text; a name without a record leaves the page as it
    // is. Passes failures on to its caller with the line "MainForm.cboCircuits_Click".
    void cboCircuits_Click();

    // Shows the stored record of `circuit` after another page wrote it; reports its own failures.
    void ShowCircuit(const QString& circuit);

  signals:
    // The stored record of `circuit` is now the one shown: the circuit the rider works on.
    void circuitShown(const QString& circuit);

  private:
    // Puts the gearing group beside the described controls of `page`.
    void PlaceGearingGroup(QVBoxLayout* page);
    // Shows a stored record: the FRONT column, the REAR column, then the two sprockets; then
    // reports `missing`, the first field a short record lacks.
    void PlaceCircuitData(const CircuitRecord& record,
                          const std::optional<qfstore::Error>& missing);
    // The record as shown.
    CircuitRecord GetCirquitData();
    void ClearCircuitData();
    void cmdAddCirquit_Click();
    void cmdDeleteCirquit_Click();
    void cmdClear_Click();
    void cmdCopyValues_Click();
    // The pit card of the circuit named in the list's text, printed or exported as PDF.
    std::optional<PitCard> ShownPitCard(QString& problem) const;
    void cmdPrintPitCard_Click();
    void cmdExportPitCard_Click();

    FormContext& context_;
    const GearData& gears_;
    SpeedUnitChoice& unit_;
    SetupModel& setup_;
    QComboBox* cboCircuits_;
    QLineEdit* txtFrontSp_;
    QLineEdit* txtRearSp_;
    QTableWidget* grdFields_;
    CircuitGearingPanel* gearing_;
};

}  // namespace gearsheet

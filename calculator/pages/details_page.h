// The "Details" page: the tyre types and the three inputs of the speed calculation. It keeps the
// rider's setup model up to date as the rider types, and shows what other pages put into it.
#pragma once

#include <QWidget>

#include "window/form_context.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace gearsheet {

class SetupModel;

class DetailsPage : public QWidget {
    Q_OBJECT
  public:
    DetailsPage(FormContext& context, SetupModel& setup, QWidget* parent = nullptr);

    // Rebuilds the tyre list from the settings file and chooses its last tyre; reports its own
    // failures.
    void RefreshTyreCombo();

    void SetInitialReductionText(const QString& text);

  private:
    // The setup model follows the three inputs and the tyre list as the rider types, and they
    // show what other pages put into it.
    void ConnectSetup();
    // Shows what another page put into the setup model: the three inputs (as if typed) and the
    // tyre, chosen when the list holds it.
    void ShowSetup();
    // Offers the listed tyres to the other pages.
    void PublishTyres();
    void cboTyreTypes_Click();
    void cmdAddTyre_Click();
    void cmdDeteTyreType_Click();
    // Fills the circumference box from a metric size in the tyre name; stores nothing.
    void cmdFromSize_Click();

    FormContext& context_;
    SetupModel& setup_;
    QComboBox* cboTyreTypes_;
    QLineEdit* txtCircumferance_;
    QLineEdit* txtFrontSprocket_;
    QLineEdit* txtRearSproket_;
    QLabel* lblInitalReduction_;
};

}  // namespace gearsheet

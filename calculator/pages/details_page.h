// The "Details" page: the tyre types and the three inputs of the speed calculation.
#pragma once

#include <QWidget>

#include "window/form_context.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace gearsheet {

class DetailsPage : public QWidget {
    Q_OBJECT
  public:
    DetailsPage(FormContext& context, QWidget* parent = nullptr);

    // Rebuilds the tyre list from the settings file and chooses its last tyre; reports its own
    // failures.
    void RefreshTyreCombo();

    void SetInitialReductionText(const QString& text);
    QString FrontSprocketText() const;
    QString RearSprocketText() const;
    QString CircumferenceText() const;
    // The sprocket boxes, which the Circuit Database page's "Copy Values" fills.
    QLineEdit* FrontSprocketBox() const { return txtFrontSprocket_; }
    QLineEdit* RearSprocketBox() const { return txtRearSproket_; }
    // The tyre list, whose items the Gear Planner offers too.
    const QComboBox* TyreList() const { return cboTyreTypes_; }
    // Puts a setup into the three inputs (as if typed) and chooses the tyre `tyre` when the list
    // holds it.
    void ShowSetup(const QString& front, const QString& rear, const QString& circumference,
                   const QString& tyre);

  private:
    void cboTyreTypes_Click();
    void cmdAddTyre_Click();
    void cmdDeteTyreType_Click();
    // Fills the circumference box from a metric size in the tyre name; stores nothing.
    void cmdFromSize_Click();

    FormContext& context_;
    QComboBox* cboTyreTypes_;
    QLineEdit* txtCircumferance_;
    QLineEdit* txtFrontSprocket_;
    QLineEdit* txtRearSproket_;
    QLabel* lblInitalReduction_;
};

}  // namespace gearsheet

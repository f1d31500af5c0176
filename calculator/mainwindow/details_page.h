// The "Details" page: the tyre types and the three inputs of the speed calculation.
#pragma once

#include <QWidget>

#include "form_context.h"

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

  private:
    void cboTyreTypes_Click();
    void cmdAddTyre_Click();
    void cmdDeteTyreType_Click();

    FormContext& context_;
    QComboBox* cboTyreTypes_;
    QLineEdit* txtCircumferance_;
    QLineEdit* txtFrontSprocket_;
    QLineEdit* txtRearSproket_;
    QLabel* lblInitalReduction_;
};

}  // namespace gearsheet

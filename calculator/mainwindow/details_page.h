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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void cboTyreTypes_Click();
    void cmdAddTyre_Click();
    void cmdDeteTyreType_Click();
    // The rule shared by the three input boxes when they lose the focus.
    void CheckNumeric(QLineEdit* box, const char* procedure);

    FormContext& context_;
    QComboBox* cboTyreTypes_;
    QLineEdit* txtCircumferance_;
    QLineEdit* txtFrontSprocket_;
    QLineEdit* txtRearSproket_;
    QLabel* lblInitalReduction_;
    // Set while the page itself moves the focus, so that the move is not checked again.
    bool movingFocus_ = false;
};

}  // namespace gearsheet

// Input boxes that take numbers only: a box left with anything else says so, comes back in front
// and takes the focus back. Shared by the Details and Circuit Database pages.
#pragma once

#include <QHash>
#include <QObject>

#include "window/form_context.h"

class QLineEdit;
class QWidget;

namespace gearsheet {

class NumericBoxes final : public QObject {
  public:
    // What a box left empty means: refused like other non-numbers, or shown as "0".
    enum class Empty { kRefused, kZero };

    NumericBoxes(FormContext& context, QWidget* page, Empty empty);

    // Checks `box` each time it loses the focus; failures are reported under `procedure`.
    void Watch(QLineEdit* box, const char* procedure);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Check(QLineEdit* box, const char* procedure);

    FormContext& context_;
    QWidget* page_;
    Empty empty_;
    QHash<QObject*, const char*> procedures_;
    // Set while the focus is moved back, so that the move is not checked again.
    bool movingFocus_ = false;
};

}  // namespace gearsheet

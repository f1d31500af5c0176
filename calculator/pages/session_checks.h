// The Session Log's input boxes, each checked when it is left: a text the box does not take gets
// a message that names the field and gives an example, and the box takes the focus back.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "window/form_context.h"

class QLineEdit;
class QWidget;

namespace gearsheet {

class SessionChecks final : public QObject {
  public:
    // Why a text is not taken, as a sentence for the rider; nothing when it is.
    using Check = std::function<std::optional<QString>(const QString& text)>;

    SessionChecks(FormContext& context, QWidget* page);

    // Checks `box` with `check` each time it loses the focus.
    void Watch(QLineEdit* box, Check check);

    // The first box whose text is not taken, after saying why as when it is left; nothing when
    // every box takes its text.
    QLineEdit* FirstRefused();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // True when the box takes its text; otherwise says why and gives the box the focus.
    bool Verify(QLineEdit* box);

    FormContext& context_;
    QWidget* page_;
    QHash<QLineEdit*, Check> checks_;
    QList<QLineEdit*> order_;
    bool movingFocus_ = false;  // the focus goes back to a refused box
};

}  // namespace gearsheet

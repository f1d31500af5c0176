// The pages' checks of what is typed into their boxes: a box left (or, for a number box, a Return
// or a step) with a text it does not take says why, comes back in front and takes the focus back;
// the text stays for mending. One filter serves the Details and Circuit Database pages'
// numbers-only boxes, the Session Log's boxes and the number boxes of the later pages.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "ui/dialogs.h"
#include "ui/number_box.h"
#include "window/form_context.h"

class QLineEdit;
class QWidget;

namespace gearsheet {

class NumericBoxes final : public QObject {
  public:
    // What a numbers-only box left empty means: refused like other non-numbers, or shown as "0".
    enum class Empty { kRefused, kZero };
    // Why a text is not taken, as a sentence for the rider; nothing when it is.
    using Check = std::function<std::optional<QString>(const QString& text)>;

    NumericBoxes(FormContext& context, QWidget* page);

    // A numbers-only box: anything else gets "Only Numeric Values Are Allowed"; failures are
    // reported under `procedure`.
    void Watch(QLineEdit* box, const char* procedure, Empty empty);
    // A box that takes what `check` takes; the check's sentence is the message.
    void Watch(QLineEdit* box, Check check);
    // A new number box on the page (see NumberBox), checked with its own sentence.
    NumberBox* Number(const char* name, const char* caption, NumberRange range,
                      NumberBox::Blank blank = NumberBox::Blank::kRefused);

    // The first box (in the order watched) whose text is not taken, after saying why as when it
    // is left; nothing when every box takes its text.
    QWidget* FirstRefused();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Watched {
        // Why the box's text is not taken; it may mend the text instead (an emptied box to "0").
        std::function<std::optional<QString>()> problem;
        MessageIcon icon;
        std::string procedure;
    };
    void Add(QWidget* box, Watched watched);
    // True when the box takes its text; otherwise says why and gives the box the focus.
    bool Verify(QWidget* box);

    FormContext& context_;
    QWidget* page_;
    QHash<QObject*, Watched> watched_;
    QList<QWidget*> order_;
    // Set while the focus is moved back, so that the move is not checked again.
    bool movingFocus_ = false;
};

}  // namespace gearsheet

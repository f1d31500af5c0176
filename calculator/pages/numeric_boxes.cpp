#include "pages/numeric_boxes.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "ui/dialogs.h"
#include "ui/locale_numbers.h"

namespace gearsheet {

NumericBoxes::NumericBoxes(FormContext& context, QWidget* page, Empty empty)
    : QObject(page), context_(context), page_(page), empty_(empty) {}

void NumericBoxes::Watch(QLineEdit* box, const char* procedure) {
    procedures_.insert(box, procedure);
    box->installEventFilter(this);
}

bool NumericBoxes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !movingFocus_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the window (or a message box taking the focus) is not leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            auto* box = static_cast<QLineEdit*>(watched);
            const char* procedure = procedures_.value(watched);
            // Checked once the focus has settled on its new widget.
            QMetaObject::invokeMethod(
                box, [this, box, procedure] { Check(box, procedure); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void NumericBoxes::Check(QLineEdit* box, const char* procedure) {
    Handled(context_.errors, procedure, [&] {
        if (empty_ == Empty::kZero && box->text().isEmpty()) {
            box->setText(QStringLiteral("0"));
            return;
        }
        if (IsNumericText(box->text()))
            return;
        if (context_.inputRefused)
            context_.inputRefused(box);
        context_.dialogs.Message(page_->window(), QStringLiteral("Only Numeric Values Are Allowed"),
                                 kProgramTitle, MessageIcon::None);
        movingFocus_ = true;
        box->setFocus(Qt::OtherFocusReason);
        movingFocus_ = false;
    });
}

}  // namespace gearsheet

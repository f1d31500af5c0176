#include "pages/session_checks.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "ui/dialogs.h"

namespace gearsheet {

SessionChecks::SessionChecks(FormContext& context, QWidget* page)
    : QObject(page), context_(context), page_(page) {}

void SessionChecks::Watch(QLineEdit* box, Check check) {
    checks_.insert(box, std::move(check));
    order_ << box;
    box->installEventFilter(this);
}

bool SessionChecks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !movingFocus_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the window (or a message box taking the focus) is not leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            auto* box = static_cast<QLineEdit*>(watched);
            // Checked once the focus has settled on its new widget.
            QMetaObject::invokeMethod(
                box, [this, box] { Verify(box); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

bool SessionChecks::Verify(QLineEdit* box) {
    const std::optional<QString> problem = checks_.value(box)(box->text());
    if (!problem)
        return true;
    if (context_.inputRefused)
        context_.inputRefused(box);
    context_.dialogs.Message(page_->window(), *problem, kProgramTitle, MessageIcon::Exclamation);
    movingFocus_ = true;
    box->setFocus(Qt::OtherFocusReason);
    movingFocus_ = false;
    return false;
}

QLineEdit* SessionChecks::FirstRefused() {
    for (QLineEdit* box : std::as_const(order_))
        if (!Verify(box))
            return box;
    return nullptr;
}

}  // namespace gearsheet

#include "pages/numeric_boxes.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "ui/locale_numbers.h"

namespace gearsheet {

NumericBoxes::NumericBoxes(FormContext& context, QWidget* page)
    : QObject(page), context_(context), page_(page) {}

void NumericBoxes::Watch(QLineEdit* box, const char* procedure, Empty empty) {
    const auto problem = [box, empty]() -> std::optional<QString> {
        if (empty == Empty::kZero && box->text().isEmpty()) {
            box->setText(QStringLiteral("0"));
            return std::nullopt;
        }
        if (IsNumericText(box->text()))
            return std::nullopt;
        return QStringLiteral("Only Numeric Values Are Allowed");
    };
    Add(box, {problem, MessageIcon::None, procedure});
}

void NumericBoxes::Watch(QLineEdit* box, Check check) {
    Add(box, {[box, check = std::move(check)] { return check(box->text()); },
              MessageIcon::Exclamation, '.' + box->objectName().toStdString() + "_LostFocus"});
}

NumberBox* NumericBoxes::Number(const char* name, const char* caption, NumberRange range,
                                NumberBox::Blank blank) {
    auto* box = new NumberBox(name, QString::fromUtf8(caption), range, page_, blank);
    Add(box, {[box] { return box->Refusal(); }, MessageIcon::Exclamation,
              '.' + box->objectName().toStdString() + "_LostFocus"});
    connect(box, &NumberBox::refused, this, [this, box] { Verify(box); });
    return box;
}

void NumericBoxes::Add(QWidget* box, Watched watched) {
    watched_.insert(box, std::move(watched));
    order_ << box;
    box->installEventFilter(this);
}

bool NumericBoxes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !movingFocus_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the window (or a message box taking the focus) is not leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            auto* box = static_cast<QWidget*>(watched);
            // Checked once the focus has settled on its new widget.
            QMetaObject::invokeMethod(
                box, [this, box] { Verify(box); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

bool NumericBoxes::Verify(QWidget* box) {
    bool taken = true;
    const Watched& watched = watched_[box];
    Handled(context_.errors, watched.procedure, [&] {
        const std::optional<QString> problem = watched.problem();
        if (!problem)
            return;
        taken = false;
        if (context_.inputRefused)
            context_.inputRefused(box);
        context_.dialogs.Message(page_->window(), *problem, kProgramTitle, watched.icon);
        movingFocus_ = true;
        box->setFocus(Qt::OtherFocusReason);
        movingFocus_ = false;
    });
    return taken;
}

QWidget* NumericBoxes::FirstRefused() {
    for (QWidget* box : std::as_const(order_))
        if (!Verify(box))
            return box;
    return nullptr;
}

}  // namespace gearsheet

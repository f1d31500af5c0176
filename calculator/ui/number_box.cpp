#include "ui/number_box.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "ui/locale_numbers.h"

namespace gearsheet {

NumberBox::NumberBox(const char* name, const QString& caption, NumberRange range, QWidget* parent,
                     Blank blank)
    : QSpinBox(parent), caption_(caption), range_(range), blank_(blank) {
    setObjectName(QString::fromLatin1(name));
    setAccessibleName(caption);
    setRange(blank == Blank::kNotGiven ? 0 : range.low, range.high);
    setSingleStep(range.step);
    if (blank == Blank::kNotGiven)
        setSpecialValueText(QStringLiteral(" "));  // 0 shows as nothing
    setKeyboardTracking(false);
    setAlignment(Qt::AlignRight);
}

std::optional<int> NumberBox::Taken(const QString& text) const {
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return blank_ == Blank::kNotGiven ? std::optional(0) : std::nullopt;
    int value = 0;
    for (const QChar c : typed) {
        if (!c.isDigit())
            return std::nullopt;
        // Past the top of the range the value only has to stay there, and cannot overflow.
        if (value <= range_.high)
            value = value * 10 + c.digitValue();
    }
    if (value == 0 && blank_ == Blank::kNotGiven)
        return 0;
    if (value < range_.low || value > range_.high)
        return std::nullopt;
    return value;
}

std::optional<QString> NumberBox::Refusal(const QString& text) const {
    if (Taken(text))
        return std::nullopt;
    const QString what = text.trimmed().isEmpty() ? QStringLiteral("an empty box")
                                                  : QStringLiteral("\"%1\"").arg(text);
    const QString orEmpty =
        blank_ == Blank::kNotGiven ? QStringLiteral(", or leave the box empty") : QString();
    return QStringLiteral("%1: %2 is not taken. Type a whole number from %3 to %4%5.")
        .arg(caption_, what, LocaleNumberText(range_.low), LocaleNumberText(range_.high), orEmpty);
}

QValidator::State NumberBox::validate(QString& text, int&) const {
    // Never Invalid: every key typed stays in the box, and a text not taken is said so.
    return Taken(text) ? QValidator::Acceptable : QValidator::Intermediate;
}

int NumberBox::valueFromText(const QString& text) const {
    return Taken(text).value_or(value());
}

QString NumberBox::textFromValue(int value) const {
    return LocaleNumberText(value);
}

void NumberBox::fixup(QString&) const {
    // A text is taken as typed or not at all: nothing is mended into a number.
}

void NumberBox::stepBy(int steps) {
    if (Refusal())
        emit refused();
    else
        QSpinBox::stepBy(steps);
}

template <class Base>
void NumberBox::KeepingTypedText(Base&& base) {
    if (!Refusal()) {
        base();
        return;
    }
    QLineEdit* edit = lineEdit();
    const QString typed = edit->text();
    const int cursor = edit->cursorPosition();
    base();
    if (edit->text() != typed) {
        edit->setText(typed);
        edit->setCursorPosition(cursor);
    }
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QSpinBox::keyPressEvent(event);
        return;
    }
    const bool refusing = Refusal().has_value();
    KeepingTypedText([&] { QSpinBox::keyPressEvent(event); });
    if (refusing)
        emit refused();
}

void NumberBox::focusOutEvent(QFocusEvent* event) {
    KeepingTypedText([&] { QSpinBox::focusOutEvent(event); });
}

void NumberBox::showEvent(QShowEvent* event) {
    KeepingTypedText([&] { QSpinBox::showEvent(event); });
}

void NumberBox::hideEvent(QHideEvent* event) {
    KeepingTypedText([&] { QSpinBox::hideEvent(event); });
}

}  // namespace gearsheet

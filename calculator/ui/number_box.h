// The pages' whole-number boxes: a typed number is taken as typed or not at all. Arrows, wheel
// and keys step the value; typing any text is allowed, and the text is only taken (Return, or
// leaving the box) when it is a whole number of the box's range. A text the box does not take
// stays in the box as typed, the value stays the last one taken, and `refused` lets the page say
// why.
#pragma once

#include <QSpinBox>
#include <QString>
#include <optional>

namespace gearsheet {

// What a box takes: whole numbers from `low` to `high`, stepped by `step`.
struct NumberRange {
    int low;
    int high;
    int step = 1;
};

class NumberBox final : public QSpinBox {
    Q_OBJECT
  public:
    // What an emptied box means: refused, or "not given" (the value 0, shown as nothing).
    enum class Blank { kRefused, kNotGiven };

    // `caption` names the box in its messages as the rider sees it ("Shift speed"). A box whose
    // blank means "not given" also holds 0 below `range.low`.
    NumberBox(const char* name, const QString& caption, NumberRange range, QWidget* parent,
              Blank blank = Blank::kRefused);

    // Why the box does not take `text`, naming the box and its range; nothing when it does.
    std::optional<QString> Refusal(const QString& text) const;
    // Why the box does not take what it shows; nothing when it does.
    std::optional<QString> Refusal() const { return Refusal(text()); }

  signals:
    // Return or a step found a text the box does not take; the text stays as typed.
    void refused();

  protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;
    void fixup(QString& text) const override;
    void stepBy(int steps) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // The value `text` stands for when the box takes it.
    std::optional<int> Taken(const QString& text) const;
    // Runs the spin box's own handling, which puts the last value's text back over a text the
    // box does not take, and then puts the typed text back.
    template <class Base>
    void KeepingTypedText(Base&& base);

    QString caption_;
    NumberRange range_;
    Blank blank_;
};

}  // namespace gearsheet

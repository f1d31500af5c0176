// The Session Log's form for one session: date, name, conditions, tyres and pressures, results,
// the setup (sprockets and the suspension table) and notes. Each typed number is checked when its
// box is left.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

#include "sessions/session.h"
#include "window/form_context.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace gearsheet {

class NumericBoxes;

class SessionEditor final : public QWidget {
  public:
    SessionEditor(FormContext& context, QWidget* parent = nullptr);

    // The tyre names the rear tyre list offers.
    void SetTyres(const QStringList& names);
    // Shows `session`: pressures in its own unit, top speed in its own unit.
    void Show(const Session& session);
    // Shows the pressures in `unit`, converting what is shown.
    void ShowPressuresIn(PressureUnit unit);
    // The session as shown; nothing when a box does not take its text (the rider is told which).
    std::optional<Session> Take();

    // Run when the rider chooses the pressures' unit.
    std::function<void(PressureUnit)> pressureUnitChosen;

  private:
    struct Widgets;
    void Build();
    void WatchBoxes();
    void ShowNumbers(const Session& s);
    void TakeNumbers(Session& s) const;
    QLayout* ConditionsForm();
    QLayout* SetupColumn();

    FormContext& context_;
    NumericBoxes* checks_;
    std::unique_ptr<Widgets> w_;
    Session shown_;  // what the form does not show: circuit, units, row names, later fields
};

}  // namespace gearsheet

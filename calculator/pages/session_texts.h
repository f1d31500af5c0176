// How the Session Log shows a session's values: the locale's decimal separator and short date,
// the list's one-line summaries, and the messages of the field checks.
#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "sessions/session_fields.h"

namespace gearsheet {

// The units to show in, with the system locale's decimal separator and short date.
ShownUnits LocaleUnits(PressureUnit pressure, SpeedUnit speed);

// An ISO 8601 date ("2026-05-17") in the locale's short format; the text itself when it is none.
QString ShortDate(const std::string& isoDate);
QDate DateFromIso(const std::string& isoDate);

// `value` rounded to `decimals`, in the locale's form: "2,1" in a German locale.
QString LocaleText(double value, int decimals);

// "dry, 18/35 °C" (weather, air and track temperature), whatever of it is known.
QString ConditionsText(const Session& session);
// "16/45", or what there is of it.
QString SprocketsText(const Session& session);
// The first line of the notes.
QString FirstNoteLine(const Session& session);

// Checks of a typed field: nothing when `text` is taken (empty included), else a message that
// names the field (`label`) and gives an example.
std::optional<QString> LapTimeProblem(const QString& label, const QString& text);
std::optional<QString> RangeProblem(const QString& label, const QString& text,
                                    const ValueRange& range, const QString& unit, bool whole);
std::optional<QString> SprocketProblem(const QString& label, const QString& text);

// A typed number in the locale's form; nothing for an empty text (or one that is none).
std::optional<double> TypedNumber(const QString& text);

}  // namespace gearsheet

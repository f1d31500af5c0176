#include "pages/session_texts.h"

#include <QLocale>
#include <cmath>

#include "ui/locale_numbers.h"

namespace gearsheet {

ShownUnits LocaleUnits(PressureUnit pressure, SpeedUnit speed) {
    ShownUnits units{pressure, speed, QLocale::system().decimalPoint().toStdString(), {}};
    units.dateText = [](const std::string& iso) { return ShortDate(iso).toStdString(); };
    return units;
}

QDate DateFromIso(const std::string& isoDate) {
    return QDate::fromString(QString::fromStdString(isoDate), Qt::ISODate);
}

QString ShortDate(const std::string& isoDate) {
    const QDate date = DateFromIso(isoDate);
    return date.isValid() ? QLocale::system().toString(date, QLocale::ShortFormat)
                          : QString::fromStdString(isoDate);
}

QString LocaleText(double value, int decimals) {
    return QString::fromStdString(
        ShownNumber(value, decimals, QLocale::system().decimalPoint().toStdString()));
}

QString ConditionsText(const Session& s) {
    QStringList parts;
    if (s.weather != Weather::kNone)
        parts << QString::fromLatin1(WeatherWord(s.weather));
    if (s.airTemperature || s.trackTemperature) {
        const auto t = [](const std::optional<double>& v) {
            return v ? LocaleText(*v, 1) : QStringLiteral("–");
        };
        parts << t(s.airTemperature) + QLatin1Char('/') + t(s.trackTemperature) +
                     QStringLiteral(" °C");
    }
    return parts.join(QStringLiteral(", "));
}

QString SprocketsText(const Session& s) {
    if (s.frontSprocket.empty() && s.rearSprocket.empty())
        return {};
    return QString::fromStdString(s.frontSprocket + "/" + s.rearSprocket);
}

QString FirstNoteLine(const Session& s) {
    const std::string& notes = s.notes;
    return QString::fromStdString(notes.substr(0, notes.find_first_of("\r\n")));
}

std::optional<double> TypedNumber(const QString& text) {
    return text.trimmed().isEmpty() ? std::nullopt : ParseLocaleNumber(text);
}

std::optional<QString> LapTimeProblem(const QString& label, const QString& text) {
    if (text.trimmed().isEmpty() || ParseLapTime(text.toStdString()))
        return std::nullopt;
    return QStringLiteral(
               "%1: \"%2\" is not a lap time. Type minutes and seconds as 1:42.385, or seconds "
               "as 102.385.")
        .arg(label, text);
}

std::optional<QString> RangeProblem(const QString& label, const QString& text,
                                    const ValueRange& range, const QString& unit, bool whole) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const std::optional<double> value = ParseLocaleNumber(text);
    if (value && InRange(*value, range) && (!whole || std::trunc(*value) == *value))
        return std::nullopt;
    const QString what = whole ? QStringLiteral("a whole number") : QStringLiteral("a number");
    const QString unitText = unit.isEmpty() ? QString() : QLatin1Char(' ') + unit;
    return QStringLiteral("%1: \"%2\" is not taken. Type %3 from %4 to %5%6, such as %7.")
        .arg(label, text, what, LocaleNumberText(range.low), LocaleNumberText(range.high), unitText,
             LocaleNumberText(ParseNumber(range.example).value_or(0)));
}

std::optional<QString> SprocketProblem(const QString& label, const QString& text) {
    static const ValueRange kTeeth{1, 199, "16"};
    return RangeProblem(label, text, kTeeth, QStringLiteral("teeth"), true);
}

}  // namespace gearsheet

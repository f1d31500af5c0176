#include "ui/locale_numbers.h"

#include <QLocale>
#include <cmath>
#include <limits>
#include <string>

#include "gearing/gear_data.h"
#include "qfstore/conversions.h"
#include "qfstore/error.h"

namespace gearsheet {
namespace {

// The system locale is read once per run; making it for every number shows in long lists.
const QLocale& ShownLocale() {
    static const QLocale locale = [] {
        QLocale l = QLocale::system();
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }();
    return locale;
}

}  // namespace

std::optional<double> ParseLocaleNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = ShownLocale().toDouble(trimmed, &ok);
    // Qt reads "nan" and "inf" as numbers; the conversion this stands in for does not.
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double TextToDouble(const QString& text) {
    if (auto value = ParseLocaleNumber(text))
        return *value;
    throw qfstore::Error::Runtime(qfstore::kErrTypeMismatch, kComponentName);
}

int16_t TextToInteger(const QString& text) {
    return static_cast<int16_t>(
        qfstore::RoundToRange(TextToDouble(text), INT16_MIN, INT16_MAX, kComponentName));
}

float ToSingle(const qfstore::Variant& value) {
    const double d = qfstore::ToDouble(value, kComponentName);
    if (std::isfinite(d) && std::abs(d) > std::numeric_limits<float>::max())
        throw qfstore::Error::Runtime(qfstore::kErrOverflow, kComponentName);
    return static_cast<float>(d);
}

QString LocaleNumberText(double value) {
    if (value == 0)
        return QStringLiteral("0");  // also for -0
    return ShownLocale().toString(value, 'g', 15);
}

double RoundedTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::nearbyint(value * scale) / scale;
}

QString RoundedText(double value, int decimals) {
    return LocaleNumberText(RoundedTo(value, decimals));
}

QString SignedText(const QString& text) {
    return text.startsWith(QLatin1Char('-')) || text == QLatin1String("0")
               ? text
               : QLatin1Char('+') + text;
}

QString LinksText(double linksNeeded, int evenLinks) {
    return QStringLiteral("%1 → %2").arg(RoundedText(linksNeeded, 1)).arg(evenLinks);
}

QString ValueText(const qfstore::Variant& value) {
    if (!value.IsArray()) {
        switch (value.Type()) {
            case qfstore::VarType::String:
                return QString::fromStdString(value.AsString());
            case qfstore::VarType::Single:
                // A single shows the digits it holds, not those of its double expansion.
                return value.AsSingle() == 0 ? QStringLiteral("0")
                                             : ShownLocale().toString(value.AsSingle(), 'g', 7);
            case qfstore::VarType::Integer:
            case qfstore::VarType::Long:
            case qfstore::VarType::Double:
            case qfstore::VarType::Currency:
            case qfstore::VarType::Byte:
                return LocaleNumberText(qfstore::ToDouble(value, kComponentName));
            case qfstore::VarType::Empty:
            case qfstore::VarType::Null:
            case qfstore::VarType::Date:
            case qfstore::VarType::Error:
            case qfstore::VarType::Boolean:
            case qfstore::VarType::Variant:
                break;
        }
    }
    return QString::fromStdString(qfstore::ToText(value, kComponentName));
}

}  // namespace gearsheet

#include "record_names.h"

namespace gearsheet {

std::optional<QString> NameProblem(const QString& name, const QString& kind) {
    const QString start = QStringLiteral("The %1 can't be saved: ").arg(kind);
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    if (name.isEmpty())
        return start + QStringLiteral("please type a name first.");
    if (blank(name.front()) || blank(name.back()))
        return start + QStringLiteral("its name must not begin or end with a blank.");
    if (name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n')))
        return start + QStringLiteral("its name must not contain a line break.");
    if (name.contains(QLatin1Char('=')))
        return start + QStringLiteral("its name must not contain \"=\".");
    if (name.front() == QLatin1Char('[') || name.front() == QLatin1Char(';'))
        return start + QStringLiteral("its name must not begin with \"[\" or \";\".");
    return std::nullopt;
}

}  // namespace gearsheet

#include "errorreport/error_report.h"

#include <algorithm>
#include <fstream>

#include "platform/ascii.h"
#include "qfstore/error.h"

namespace gearsheet {
namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const size_t at = text.find(qfstore::kTraceSeparator);
        lines.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return lines;
        text.remove_prefix(at + qfstore::kTraceSeparator.size());
    }
}

}  // namespace

std::string BuildCallStack(std::string_view source) {
    if (source.empty())
        return {};
    const std::vector<std::string_view> lines = SplitLines(source);
    std::string stack;
    if (lines.size() == 1) {
        stack.append(lines[0]).append(qfstore::kTraceSeparator);
        return stack;
    }
    for (size_t k = lines.size() - 1; k >= 1; --k)
        stack.append(lines[0]).append(".").append(lines[k]).append(qfstore::kTraceSeparator);
    return stack;
}

std::string BuildDescription(int32_t number, std::string_view description,
                             std::string_view sourceName) {
    std::string text = "Error Code: " + std::to_string(number);
    text.append(qfstore::kTraceSeparator).append("Description: ").append(description);
    text.append(qfstore::kTraceSeparator).append("Trapped In: ").append(sourceName);
    return text;
}

std::string LogTimestamp(const QDateTime& when, const QLocale& locale) {
    // The long time format may carry the time zone; a log line reads better without it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1String(" t")).remove(QLatin1Char('t'));
    const QString text = locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                         locale.toString(when.time(), timeFormat.trimmed());
    return text.toStdString();
}

std::string UniqueSectionName(const std::string& base, const std::vector<std::string>& existing) {
    auto taken = [&](const std::string& name) {
        return std::any_of(existing.begin(), existing.end(), [&](const std::string& e) {
            return platform::ascii::SameIgnoringCase(e, name);
        });
    };
    std::string name = base;
    for (int n = 2; taken(name); ++n) name = base + " (" + std::to_string(n) + ")";
    return name;
}

std::string FileLineEnding(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (in && std::getline(in, line) && !in.eof() && !line.empty() && line.back() == '\r')
        return "\r\n";
    return "\n";
}

std::string WithLineEnding(std::string_view text, std::string_view eol) {
    std::string out;
    out.reserve(text.size());
    for (;;) {
        const size_t at = text.find("\r\n");
        out.append(text.substr(0, at));
        if (at == std::string_view::npos)
            return out;
        out.append(eol);
        text.remove_prefix(at + 2);
    }
}

}  // namespace gearsheet

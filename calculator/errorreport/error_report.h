// The texts of an error report and its log entry, apart from the dialog that shows them.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gearsheet {

// The call stack shown for an error's source text (lines separated by CR LF, the first naming the
// component where the error arose): the outermost procedure first, each line qualified with the
// component and ended by CR LF. A one-line source gives itself; an empty source gives "".
std::string BuildCallStack(std::string_view source);

// "Error Code: <n>" CR LF "Description: <d>" CR LF "Trapped In: <source name>".
std::string BuildDescription(int32_t number, std::string_view description,
                             std::string_view sourceName);

// The date and time of a log entry: the locale's short date, a blank, its long time.
std::string LogTimestamp(const QDateTime& when, const QLocale& locale);

// A section name for a new log entry: `base` when the log has no such section yet, otherwise the
// first free of "base (2)", "base (3)" … (names compare without regard to ASCII case).
std::string UniqueSectionName(const std::string& base, const std::vector<std::string>& existing);

// The line ending of an existing file: that of its first line, "\r\n" or "\n"; "\n" for a
// file that is missing or has no line break yet.
std::string FileLineEnding(const std::string& path);

// `text` with each CR LF replaced by `eol`.
std::string WithLineEnding(std::string_view text, std::string_view eol);

}  // namespace gearsheet

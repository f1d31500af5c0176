// The component's name, version and version report.
#pragma once

#include <string>
#include <string_view>

namespace qfstore::core {

inline constexpr std::string_view kComponentName = "Qfstore";
inline constexpr std::string_view kComponentDescription = "Quillfen - Qfstore Version 1.2";

// First line of every report: "Qfstore - 1.2.3", the version being the newest release in
// CHANGELOG.md (the build passes it in as QFSTORE_VERSION).
std::string LibraryVersionText();

// A class's report: the first line, a lone carriage return, "Module: <class> - <version>".
std::string ClassVersionText(std::string_view className, std::string_view classVersion);

// Shows a report in the information box titled "Qfstore - Version Information".
void ShowVersion(const std::string& text);

}  // namespace qfstore::core

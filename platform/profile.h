// Reading and writing INI files: sections of key=value lines, looked up without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::profile {

// The value of `key` in `section` of `file`, whole, or nullopt when the file, section or key is
// missing.
std::optional<std::string> ReadValue(const std::string& file, std::string_view section,
                                     std::string_view key);

// Every section name of the file in file order (duplicates included); empty when the file is
// missing.
std::vector<std::string> SectionNames(const std::string& file);

// Every key name of the section in file order; empty when the section or file is missing.
std::vector<std::string> KeyNames(const std::string& file, std::string_view section);

// Writes key=value, creating file and section when missing. Throws qfstore::Error: 75
// "Path/File access error" when the write cannot be carried out (the old file stays as it was),
// 5 "Invalid procedure call or argument" when section or key holds CR or LF; the error's source
// text is `origin` (e.g. "Qfstore"). After error 75, errno holds the system's reason.
void WriteValue(const std::string& file, std::string_view section, std::string_view key,
                std::string_view value, std::string_view origin);

// Removes the key's line (first occurrence); nothing when absent. Errors as WriteValue.
void DeleteKey(const std::string& file, std::string_view section, std::string_view key,
               std::string_view origin);

// Removes the section's header and all its lines (first occurrence); nothing when absent. Errors
// as WriteValue.
void DeleteSection(const std::string& file, std::string_view section, std::string_view origin);

// Forgets every cached parse, so the next read parses the files afresh.
void DropCache();

}  // namespace platform::profile

// Reading and writing INI files: sections of key=value lines, looked up without regard to case.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "status.h"

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

// Writes key=value, creating file and section when missing. A value without a line break reads
// back exactly (quoted when a read would strip it); of one with line breaks a read gives the first
// line, and the lines after it never read as a section or key. kNameRefused, nothing touched, when
// the section or key could not be read back (detail::SectionRefusal, KeyRefusal; the failure's
// text says which and why); kWriteFailed, the old file as it was, when the write cannot be
// carried out (the failure names the file and the step, with the system's reason).
Status WriteValue(const std::string& file, std::string_view section, std::string_view key,
                  std::string_view value);

// Removes the key's line (first occurrence); nothing when absent. Status as WriteValue, but only a
// line break in a name is refused.
Status DeleteKey(const std::string& file, std::string_view section, std::string_view key);

// Removes the section's header and all its lines (first occurrence); nothing when absent. Status
// as DeleteKey.
Status DeleteSection(const std::string& file, std::string_view section);

// Forgets every cached parse, so the next read parses the files afresh.
void DropCache();

// Tests only: `now` replaces the system's wall clock that the read cache compares file stamps
// with. A file whose last change lies less than 2 s before the moment of a read may still change
// without changing its stamp (file systems stamp with a coarse clock), so its bytes are compared
// on every read; an older one is trusted on its stamp. An empty function restores the system's
// clock. Not to be called while other threads read.
void SetClockHook(std::function<timespec()> now);

}  // namespace platform::profile

// INI text split into classified lines, and the edits a write makes to it; no file access here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::profile::detail {

enum class LineKind { kOther, kComment, kHeader, kKey };

// One line of the body: offsets of its first byte, of its line ending and of the next line.
struct Line {
    size_t begin = 0;
    size_t contentEnd = 0;
    size_t end = 0;
    LineKind kind = LineKind::kOther;
    std::string_view name;   // section or key name, blanks trimmed
    std::string_view value;  // key value, blanks trimmed, one pair of outer quotes removed
};

// The text of a file: an optional UTF-8 byte-order mark, then the body's lines.
struct Text {
    std::string_view bom;
    std::string_view body;
    std::vector<Line> lines;
    std::string_view eol;  // ending for new lines: the file's first one, LF when it has none
};

// Splits `bytes` into lines; the views point into `bytes`.
Text Split(std::string_view bytes);

// `bytes` without a leading UTF-8 byte-order mark.
std::string_view Body(std::string_view bytes);

// The line of `body` that begins at `begin` (before body.size()), classified; its views point into
// `body`. Split's lines are these, one after the other.
Line LineAt(std::string_view body, size_t begin);

// A hash of `name` that ignores ASCII letter case: equal for names that SameName finds equal.
size_t FoldedHash(std::string_view name);

// `name` without leading and trailing spaces (tabs are kept).
std::string_view TrimSpaces(std::string_view name);

// Whether `a` and `b` are equal when ASCII letter case is ignored.
bool SameName(std::string_view a, std::string_view b);

// Whether `s` holds CR or LF: a name with one would write a line of its own making into the file.
bool HasLineBreak(std::string_view s);

// Why a name holding CR or LF is refused, naming it and the character (platform/refusal.h);
// nullopt for a name without.
std::optional<std::string> LineBreakRefusal(std::string_view what, std::string_view name);

// Why the name, spaces around it trimmed, would not read back as written: a line break, a tab at
// either end, and for a section a "]", for a key a "=" or a ";" or "[" in front; nullopt when it
// reads back.
std::optional<std::string> SectionRefusal(std::string_view section);
std::optional<std::string> KeyRefusal(std::string_view key);

// What is written after "=" for `value`. A value without a line break is wrapped in one more pair
// of double quotes when a read would strip its outer blanks or quotes, so that it reads back
// exactly. In a value with line breaks, every line that follows one and would read as a section
// header or key line is made a comment with ";".
std::string StoredValue(std::string_view value);

// `bytes` with `key` of `section` set to `value` (as StoredValue writes it), adding the key or the
// section when missing.
std::string WithValue(std::string_view bytes, std::string_view section, std::string_view key,
                      std::string_view value);

// `bytes` without the key's line; nullopt when the section or key is absent.
std::optional<std::string> WithoutKey(std::string_view bytes, std::string_view section,
                                      std::string_view key);

// `bytes` without the section's header and lines; nullopt when the section is absent.
std::optional<std::string> WithoutSection(std::string_view bytes, std::string_view section);

}  // namespace platform::profile::detail

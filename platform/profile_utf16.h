// INI files in UTF-16 (a byte-order mark first, little- or big-endian): their text as UTF-8 for the
// reader and the editor, and back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::profile::detail {

enum class Encoding { kBytes, kUtf16Le, kUtf16Be };

// kUtf16Le or kUtf16Be when `bytes` begin with that byte-order mark; kBytes otherwise (UTF-8 or
// any 8-bit text, read as it is).
Encoding EncodingOf(std::string_view bytes);

// The text of the UTF-16 `bytes` after their byte-order mark, as UTF-8. A lone surrogate becomes
// the three bytes UTF-8 would give its number, so that ToUtf16 gives it back; an odd last byte is
// dropped.
std::string FromUtf16(std::string_view bytes, Encoding encoding);

// The byte-order mark of `encoding` and `text` in it; nullopt when `text` is not UTF-8 (with lone
// surrogates as FromUtf16 makes them).
std::optional<std::string> ToUtf16(std::string_view text, Encoding encoding);

}  // namespace platform::profile::detail

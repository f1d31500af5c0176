// Texts that say which name or value was refused, and for which character or text in it:
// `key name "a=b" holds "="`.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// `text` in double quotes as a message shows it: "\" and the double quote escaped with "\", a
// control character as \r, \n, \t or \xHH; a text longer than 60 bytes cut there (not inside a
// UTF-8 sequence) and followed by "...".
std::string Quoted(std::string_view text);

// `<what> "<text>" <relation> "<part>"`, each text Quoted, e.g. Refusal("key name", "a=b",
// "holds", "=") is `key name "a=b" holds "="`.
std::string Refusal(std::string_view what, std::string_view text, std::string_view relation,
                    std::string_view part);

}  // namespace platform

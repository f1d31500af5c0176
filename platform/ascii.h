// ASCII letter case, as names in settings files and the registry compare: only A-Z and a-z fold,
// every other byte (UTF-8 sequences among them) stays as it is.
#pragma once

#include <algorithm>
#include <string_view>

namespace platform::ascii {

constexpr char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool SameLetter(char a, char b) {
    return Lower(a) == Lower(b);
}

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameLetter);
}

}  // namespace platform::ascii

#include "refusal.h"

#include <cstdio>

namespace platform {
namespace {

constexpr size_t kLongestShown = 60;

bool ContinuesUtf8(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string Quoted(std::string_view text) {
    size_t shown = text.size();
    if (shown > kLongestShown) {
        shown = kLongestShown;
        while (shown > 0 && ContinuesUtf8(text[shown])) --shown;
    }
    std::string out = "\"";
    for (const char c : text.substr(0, shown)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
    if (shown < text.size())
        out += "...";
    return out;
}

std::string Refusal(std::string_view what, std::string_view text, std::string_view relation,
                    std::string_view part) {
    std::string out(what);
    out.append(" ").append(Quoted(text)).append(" ").append(relation).append(" ");
    return out + Quoted(part);
}

}  // namespace platform

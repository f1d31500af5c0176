#include "profile_utf16.h"

#include <cstdint>

namespace platform::profile::detail {

namespace {

constexpr std::string_view kLeMark = "\xFF\xFE";
constexpr std::string_view kBeMark = "\xFE\xFF";

uint32_t UnitAt(std::string_view bytes, size_t at, Encoding encoding) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return encoding == Encoding::kUtf16Le ? first | second << 8 : first << 8 | second;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendUnit(std::string& out, uint32_t unit, Encoding encoding) {
    const auto high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    if (encoding == Encoding::kUtf16Le) {
        out += low;
        out += high;
    } else {
        out += high;
        out += low;
    }
}

// The code point of the UTF-8 sequence at `at`, advancing `at` past it; nullopt when there is
// none (a stray or missing continuation byte, an overlong form, a number beyond U+10FFFF).
std::optional<uint32_t> NextCode(std::string_view text, size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80    ? 1
                          : lead >= 0xF0 ? 4
                          : lead >= 0xE0 ? 3
                          : lead >= 0xC0 ? 2
                                         : 0;
    if (length == 0 || at + length > text.size())
        return std::nullopt;
    uint32_t code = length == 1 ? lead : lead & (0xFFu >> (length + 1));
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = code << 6 | (next & 0x3F);
    }
    constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF)
        return std::nullopt;
    at += length;
    return code;
}

}  // namespace

Encoding EncodingOf(std::string_view bytes) {
    if (bytes.substr(0, 2) == kLeMark)
        return Encoding::kUtf16Le;
    if (bytes.substr(0, 2) == kBeMark)
        return Encoding::kUtf16Be;
    return Encoding::kBytes;
}

std::string FromUtf16(std::string_view bytes, Encoding encoding) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t at = 2; at + 1 < bytes.size(); at += 2) {
        uint32_t code = UnitAt(bytes, at, encoding);
        if (code >= 0xD800 && code < 0xDC00 && at + 3 < bytes.size()) {
            const uint32_t low = UnitAt(bytes, at + 2, encoding);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        AppendUtf8(out, code);
    }
    return out;
}

std::optional<std::string> ToUtf16(std::string_view text, Encoding encoding) {
    std::string out(encoding == Encoding::kUtf16Le ? kLeMark : kBeMark);
    out.reserve(2 + text.size() * 2);
    for (size_t at = 0; at < text.size();) {
        const std::optional<uint32_t> code = NextCode(text, at);
        if (!code)
            return std::nullopt;
        if (*code >= 0x10000) {
            AppendUnit(out, 0xD800 + ((*code - 0x10000) >> 10), encoding);
            AppendUnit(out, 0xDC00 + ((*code - 0x10000) & 0x3FF), encoding);
        } else {
            AppendUnit(out, *code, encoding);
        }
    }
    return out;
}

}  // namespace platform::profile::detail

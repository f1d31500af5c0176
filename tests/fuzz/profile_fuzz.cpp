// Arbitrary bytes as an INI file (8-bit, or UTF-16 after a byte-order mark), through every read,
// against a plain line-by-line reading of the same rules; then pieces of the same bytes as names
// and values through the INI writer, the INI store and the string store: whatever a writer accepts
// reads back exactly and changes no other name, and whatever it refuses changes nothing.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "creators.h"
#include "ini/ini_store.h"
#include "platform/profile.h"
#include "platform/profile_text.h"
#include "qfstore/error.h"
#include "qfstore/storage_string.h"

namespace {

namespace profile = platform::profile;
using profile::detail::SameName;
using profile::detail::TrimSpaces;

const std::string& FilePath() {
    static const std::string path = [] {
        const char* base = std::getenv("PROFILE_FUZZ_DIR");
        std::string pattern = std::string(base ? base : "/tmp") + "/profile-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return pattern + "/fuzz.ini";
    }();
    return path;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// Every section name with the keys a lookup of it lists, in file order.
using Layout = std::vector<std::pair<std::string, std::vector<std::string>>>;

Layout LayoutOf(const std::string& file) {
    Layout layout;
    for (const std::string& section : profile::SectionNames(file))
        layout.emplace_back(section, profile::KeyNames(file, section));
    return layout;
}

// The INI rules read the plain way: the lines of every section occurrence, in file order.
struct Occurrence {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;  // name, value
};

std::string_view TrimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// A UTF-16 file's text the plain way: code units after the mark, pairs of surrogates joined, a
// lone one written as UTF-8 would write its number, an odd last byte left out.
bool Utf16Marked(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

std::string PlainUtf16(std::string_view bytes) {
    const bool little = bytes[0] == '\xFF';
    std::vector<uint32_t> units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[i + (little ? 0 : 1)]);
        const auto hi = static_cast<unsigned char>(bytes[i + (little ? 1 : 0)]);
        units.push_back(hi * 256u + lo);
    }
    std::string out;
    const auto put = [&out](uint32_t c) {
        const auto byte = [](uint32_t b) { return static_cast<char>(b); };
        if (c < 0x80) {
            out += byte(c);
        } else if (c < 0x800) {
            out += {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            out += {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
        } else {
            out += {byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)),
                    byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
        }
    };
    for (size_t i = 0; i < units.size(); ++i) {
        const uint32_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            put(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            put(u);
        }
    }
    return out;
}

// `bytes` of an 8-bit file, after a UTF-8 mark if there is one, or the text of a UTF-16 file, whose
// mark is already gone: a second mark is text.
std::vector<Occurrence> PlainReading(std::string_view bytes, bool utf16) {
    if (!utf16 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::vector<Occurrence> out;
    while (!bytes.empty()) {
        const size_t lf = std::min(bytes.find('\n'), bytes.size());
        const std::string_view s = TrimBlanks(bytes.substr(0, lf));
        bytes.remove_prefix(std::min(lf + 1, bytes.size()));
        if (s.empty() || s.front() == ';')
            continue;
        if (s.front() == '[') {
            out.push_back({std::string(TrimBlanks(s.substr(1, s.find(']') - 1))), {}});
        } else if (const size_t eq = s.find('='); eq != s.npos && !out.empty()) {
            std::string_view value = TrimBlanks(s.substr(eq + 1));
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
                value.back() == value[0])
                value = value.substr(1, value.size() - 2);
            out.back().keys.emplace_back(TrimBlanks(s.substr(0, eq)), value);
        }
    }
    return out;
}

std::string Flipped(std::string s) {
    for (char& c : s) {
        if (std::isalpha(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128)
            c = static_cast<char>(c ^ 0x20);
    }
    return s;
}

// Every list and every value of the file as the plain reading finds them, names in either case.
void CheckReads(const std::string& file, std::string_view bytes) {
    const bool utf16 = Utf16Marked(bytes);
    const std::vector<Occurrence> plain =
        PlainReading(utf16 ? PlainUtf16(bytes) : std::string(bytes), utf16);
    std::vector<std::string> names;
    for (const Occurrence& o : plain) names.push_back(o.name);
    Check(profile::SectionNames(file) == names, "section names as the plain reading");
    for (const Occurrence& o : plain) {
        const Occurrence& first =
            *std::find_if(plain.begin(), plain.end(),
                          [&](const Occurrence& x) { return SameName(x.name, o.name); });
        std::vector<std::string> keys;
        for (const auto& kv : first.keys) keys.push_back(kv.first);
        Check(profile::KeyNames(file, Flipped(o.name)) == keys, "key names as the plain reading");
        for (const auto& line : o.keys) {
            const std::string& key = line.first;
            const auto expected =
                std::find_if(first.keys.begin(), first.keys.end(),
                             [&](const auto& kv) { return SameName(kv.first, key); });
            const std::optional<std::string> read = profile::ReadValue(file, o.name, Flipped(key));
            Check(expected == first.keys.end() ? !read : read == expected->second,
                  "value as the plain reading");
        }
    }
}

// Writes key=value: a refused write leaves the file, an accepted one adds at most its own
// section and key, and a value without a line break reads back exactly.
void CheckWrite(const std::string& file, const std::string& section, const std::string& key,
                const std::string& value) {
    const std::string before = Bytes(file);
    Layout expected = LayoutOf(file);
    const platform::Status status = profile::WriteValue(file, section, key, value);
    if (!status) {
        Check(status.code == platform::Status::Code::kNameRefused ||
                  (Utf16Marked(before) && status.failure.systemError == EILSEQ),
              "only a refused name, or text UTF-16 cannot hold, expected");
        Check(Bytes(file) == before, "a refused write changes nothing");
        return;
    }
    Check(!Utf16Marked(before) || Bytes(file).substr(0, 2) == before.substr(0, 2),
          "a UTF-16 file keeps its mark");
    const std::string_view s = TrimSpaces(section), k = TrimSpaces(key);
    bool found = false;
    for (auto& [name, keys] : expected) {
        if (!SameName(name, s))
            continue;
        found = true;
        if (std::none_of(keys.begin(), keys.end(), [&](const auto& x) { return SameName(x, k); }))
            keys.emplace_back(k);
    }
    if (!found)
        expected.emplace_back(std::string(s), std::vector<std::string>{std::string(k)});
    Check(LayoutOf(file) == expected, "a write adds at most its own section and key");
    const std::optional<std::string> back = profile::ReadValue(file, section, key);
    Check(back.has_value(), "written key reads");
    Check(HasLineBreak(value) || *back == value, "written value reads back exactly");
}

// The INI store: what it accepts reads back exactly, text as text.
void CheckIniStore(const std::string& file, const std::string& section, const std::string& field,
                   const std::string& value) {
    using namespace qfstore;
    auto store = Ptr<QfINIFileHandler>::Attach(new core::INIFileHandler("/nowhere/"));
    store->Path(file);
    store->Section(section);
    const std::string before = Bytes(file);
    try {
        store->SetValue(field, Variant(value), "\t");
    } catch (const Error& e) {
        Check(e.Number() == 5 || (Utf16Marked(before) && e.Number() == 75),
              "only error 5, or 75 for text UTF-16 cannot hold, expected");
        Check(Bytes(file) == before, "a refused write changes nothing");
        return;
    }
    Check(!HasLineBreak(value), "no line break accepted");
    Check(store->GetValue(field, "\t", false, false) == Variant(value), "value reads back exactly");
}

// The string store: an accepted value reads back exactly, and deleting a field just added gives
// the text back as it was; a refused write leaves the text.
void CheckStringStore(const std::string& text, const std::string& name, const std::string& value,
                      const std::string* tags) {
    using namespace qfstore;
    auto store = Ptr<Unknown>::Attach(core::NewQfStorageString()).As<QfStorageString>();
    store->Value(text);
    if (tags) {
        store->OuterTagStart(tags[0]);
        store->OuterTagEnd(tags[1]);
        store->InnerTagStart(tags[2]);
        store->InnerTagEnd(tags[3]);
    }
    bool existed = true;
    try {
        existed = !store->GetValue(name, "\t", false, false).IsMissing();
        store->SetValue(name, Variant(value));
    } catch (const Error& e) {
        Check(e.Number() == 5, "only error 5 expected");
        Check(store->Value() == text, "a refused write changes nothing");
        return;
    }
    Check(store->GetValue(name, "\t", false, false) == Variant(value), "value reads back exactly");
    if (!existed) {
        store->DeleteField(name);
        Check(store->Value() == text, "deleting a new field restores the text");
    }
}

// The next piece of the input: up to `most` bytes.
std::string Take(std::string_view& rest, size_t most) {
    const std::string piece(rest.substr(0, std::min(most, rest.size())));
    rest.remove_prefix(piece.size());
    return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& file = FilePath();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
    }
    CheckReads(file, input);
    const std::vector<std::string> sections = profile::SectionNames(file);
    Check(!profile::ReadValue(file, "\n", "k").has_value(), "no section holds a line break");

    // The first section's first key, whatever its spelling, with the input's first bytes.
    const std::string section = sections.empty() ? "fuzz" : sections.front();
    const std::vector<std::string> keys = profile::KeyNames(file, section);
    CheckWrite(file, section, keys.empty() ? "k" : keys.front(), std::string(input.substr(0, 8)));

    // Names and a value cut from the input, their lengths chosen by its first byte.
    const unsigned shape = input.empty() ? 0 : static_cast<unsigned char>(input.front());
    std::string_view rest = input.substr(input.empty() ? 0 : 1);
    const std::string name1 = Take(rest, shape % 8), name2 = Take(rest, shape / 8 % 8);
    const std::string value = Take(rest, 16);
    CheckWrite(file, name1, name2, value);
    CheckIniStore(file, name2, name1, value);
    std::string tags[4];
    for (std::string& tag : tags) tag = Take(rest, 1 + shape / 64);
    CheckStringStore(Bytes(file), name1, value, (shape & 1) ? tags : nullptr);
    return 0;
}

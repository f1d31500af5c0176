// Arbitrary bytes as an INI file, through every read and a write that must read back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "profile.h"
#include "qfstore/error.h"

namespace {

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

// What a read gives back of a written value: its first line, without the blanks around it and
// one pair of matching outer quotes.
std::string_view ShownValue(std::string_view value) {
    const size_t lf = value.find('\n');
    if (lf != std::string_view::npos)
        value = value.substr(0, lf);
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!value.empty() && blank(value.front())) value.remove_prefix(1);
    while (!value.empty() && blank(value.back())) value.remove_suffix(1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace profile = platform::profile;
    const std::string& file = FilePath();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::vector<std::string> sections = profile::SectionNames(file);
    for (const std::string& section : sections) {
        for (const std::string& key : profile::KeyNames(file, section)) {
            Check(profile::ReadValue(file, section, key).has_value(), "listed key reads");
        }
    }
    Check(!profile::ReadValue(file, "\n", "k").has_value(), "no section holds a line break");

    // The first section's first key, whatever its spelling, reads back what was written.
    std::string section = sections.empty() ? "fuzz" : sections.front();
    const std::vector<std::string> keys = profile::KeyNames(file, section);
    const std::string key = keys.empty() ? "k" : keys.front();
    const std::string value(reinterpret_cast<const char*>(data), size < 8 ? size : 8);
    const std::string_view shown = ShownValue(value);
    try {
        profile::WriteValue(file, section, key, value, "Fuzz");
    } catch (const qfstore::Error& e) {
        // Names taken from the file may hold a lone CR; those are refused.
        Check(e.Number() == 5, "only error 5 expected");
        return 0;
    }
    const std::optional<std::string> back = profile::ReadValue(file, section, key);
    Check(back.has_value(), "written key reads");
    Check(*back == shown, "written value reads back");
    if (value.find('\n') == std::string::npos) {
        Check(profile::SectionNames(file).size() == sections.size() + (sections.empty() ? 1 : 0),
              "a write adds at most its own section");
    }
    return 0;
}

#include "profile_text.h"

#include <cstdint>

#include "ascii.h"
#include "refusal.h"

namespace platform::profile::detail {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr size_t kNone = static_cast<size_t>(-1);

// A stray CR (a value written with one at its end, a CR CR LF ending) counts as a blank too.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view Unquote(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
        return s.substr(1, s.size() - 2);
    }
    return s;
}

void Classify(Line& line, std::string_view content) {
    const std::string_view s = TrimBlanks(content);
    if (s.empty())
        return;
    if (s.front() == '[') {
        std::string_view inside = s.substr(1);
        // A header without "]" names the rest of its line.
        inside = inside.substr(0, inside.find(']'));
        line.kind = LineKind::kHeader;
        line.name = TrimBlanks(inside);
    } else if (s.front() == ';') {
        line.kind = LineKind::kComment;
    } else if (const size_t eq = s.find('='); eq != std::string_view::npos) {
        line.kind = LineKind::kKey;
        line.name = TrimBlanks(s.substr(0, eq));
        line.value = Unquote(TrimBlanks(s.substr(eq + 1)));
    }
}

// Index of the first header line naming `section`, or kNone.
size_t FindSection(const Text& text, std::string_view section) {
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const Line& line = text.lines[i];
        if (line.kind == LineKind::kHeader && SameName(line.name, section))
            return i;
    }
    return kNone;
}

// Index of the line after the section's last line.
size_t SectionEnd(const Text& text, size_t header) {
    size_t i = header + 1;
    while (i < text.lines.size() && text.lines[i].kind != LineKind::kHeader) ++i;
    return i;
}

size_t FindKey(const Text& text, size_t header, std::string_view key) {
    const size_t end = SectionEnd(text, header);
    for (size_t i = header + 1; i < end; ++i) {
        const Line& line = text.lines[i];
        if (line.kind == LineKind::kKey && SameName(line.name, key))
            return i;
    }
    return kNone;
}

// `text` with body bytes [from, to) replaced by `insert`; the byte-order mark stays.
std::string Splice(const Text& text, size_t from, size_t to, std::string_view insert) {
    std::string out;
    out.reserve(text.bom.size() + text.body.size() - (to - from) + insert.size());
    out.append(text.bom);
    out.append(text.body.substr(0, from));
    out.append(insert);
    out.append(text.body.substr(to));
    return out;
}

bool HasEnding(const Line& line) {
    return line.end != line.contentEnd;
}

bool Unsafe(std::string_view line) {
    Line probe;
    Classify(probe, line);
    return probe.kind == LineKind::kHeader || probe.kind == LineKind::kKey;
}

// Why `name` (spaces trimmed from `given`) would not read back: a line break in it or a tab at
// either end.
std::optional<std::string> BlankRefusal(std::string_view what, std::string_view given,
                                        std::string_view name) {
    if (auto why = LineBreakRefusal(what, given))
        return why;
    if (!name.empty() && name.front() == '\t')
        return Refusal(what, given, "begins with", "\t");
    if (!name.empty() && name.back() == '\t')
        return Refusal(what, given, "ends with", "\t");
    return std::nullopt;
}

}  // namespace

std::string_view Body(std::string_view bytes) {
    return bytes.substr(0, kBom.size()) == kBom ? bytes.substr(kBom.size()) : bytes;
}

Line LineAt(std::string_view body, size_t begin) {
    Line line;
    line.begin = begin;
    const size_t lf = body.find('\n', begin);
    if (lf == std::string_view::npos) {
        line.contentEnd = line.end = body.size();
    } else {
        line.contentEnd = lf > begin && body[lf - 1] == '\r' ? lf - 1 : lf;
        line.end = lf + 1;
    }
    Classify(line, body.substr(begin, line.contentEnd - begin));
    return line;
}

Text Split(std::string_view bytes) {
    Text text;
    text.body = Body(bytes);
    text.bom = bytes.substr(0, bytes.size() - text.body.size());
    text.eol = "\n";
    bool sawEnding = false;
    for (size_t pos = 0; pos < text.body.size();) {
        const Line line = LineAt(text.body, pos);
        if (!sawEnding && HasEnding(line)) {
            text.eol = line.end - line.contentEnd == 2 ? "\r\n" : "\n";
            sawEnding = true;
        }
        text.lines.push_back(line);
        pos = line.end;
    }
    return text;
}

std::string_view TrimSpaces(std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return name;
}

size_t FoldedHash(std::string_view name) {
    // FNV-1a over the lower-cased bytes.
    uint64_t hash = 14695981039346656037ULL;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(ascii::Lower(c));
        hash *= 1099511628211ULL;
    }
    return static_cast<size_t>(hash);
}

bool SameName(std::string_view a, std::string_view b) {
    return ascii::SameIgnoringCase(a, b);
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

std::optional<std::string> LineBreakRefusal(std::string_view what, std::string_view name) {
    const size_t at = name.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return std::nullopt;
    return Refusal(what, name, "holds", name.substr(at, 1));
}

std::optional<std::string> SectionRefusal(std::string_view section) {
    const std::string_view name = TrimSpaces(section);
    if (auto why = BlankRefusal("section name", section, name))
        return why;
    if (name.find(']') != std::string_view::npos)
        return Refusal("section name", section, "holds", "]");
    return std::nullopt;
}

std::optional<std::string> KeyRefusal(std::string_view key) {
    const std::string_view name = TrimSpaces(key);
    if (auto why = BlankRefusal("key name", key, name))
        return why;
    if (name.find('=') != std::string_view::npos)
        return Refusal("key name", key, "holds", "=");
    if (!name.empty() && (name.front() == ';' || name.front() == '['))
        return Refusal("key name", key, "begins with", name.substr(0, 1));
    return std::nullopt;
}

std::string StoredValue(std::string_view value) {
    if (!HasLineBreak(value)) {
        const bool stripped =
            TrimBlanks(value).size() != value.size() || Unquote(value).size() != value.size();
        return stripped ? "\"" + std::string(value) + "\"" : std::string(value);
    }
    // Only the first line is the value. The lines after it must stay lines of no kind: a ";"
    // makes any that would be a header or key a comment. Readers that also end lines at a lone
    // CR see the text behind one as a line of its own, so that text is checked as well.
    std::string out;
    out.reserve(value.size() + 8);
    for (size_t i = 0; i < value.size(); ++i) {
        out += value[i];
        const char c = value[i];
        if ((c != '\r' && c != '\n') || (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n'))
            continue;
        const std::string_view rest = value.substr(i + 1);
        if (Unsafe(rest.substr(0, c == '\n' ? rest.find('\n') : rest.find_first_of("\r\n"))))
            out += ';';
    }
    return out;
}

std::string WithValue(std::string_view bytes, std::string_view section, std::string_view key,
                      std::string_view rawValue) {
    const std::string value = StoredValue(rawValue);
    section = TrimSpaces(section);
    key = TrimSpaces(key);
    const Text text = Split(bytes);
    const size_t header = FindSection(text, section);
    if (header == kNone) {
        std::string add;
        // A last line without an ending gets one, so the header starts a line of its own.
        if (!text.lines.empty() && !HasEnding(text.lines.back()))
            add.append(text.eol);
        add.append("[").append(section).append("]").append(text.eol);
        add.append(key).append("=").append(value).append(text.eol);
        return Splice(text, text.body.size(), text.body.size(), add);
    }
    if (const size_t found = FindKey(text, header, key); found != kNone) {
        // The bytes up to and including "=" stay: the file's spelling of the name and its blanks.
        const Line& line = text.lines[found];
        const size_t eq = text.body.find('=', line.begin);
        return Splice(text, eq + 1, line.contentEnd, value);
    }
    size_t after = header;
    const size_t end = SectionEnd(text, header);
    for (size_t i = header + 1; i < end; ++i) {
        if (text.lines[i].kind == LineKind::kKey)
            after = i;
    }
    const Line& anchor = text.lines[after];
    std::string add;
    if (!HasEnding(anchor))
        add.append(text.eol);
    add.append(key).append("=").append(value).append(text.eol);
    return Splice(text, anchor.end, anchor.end, add);
}

std::optional<std::string> WithoutKey(std::string_view bytes, std::string_view section,
                                      std::string_view key) {
    const Text text = Split(bytes);
    const size_t header = FindSection(text, TrimSpaces(section));
    if (header == kNone)
        return std::nullopt;
    const size_t found = FindKey(text, header, TrimSpaces(key));
    if (found == kNone)
        return std::nullopt;
    return Splice(text, text.lines[found].begin, text.lines[found].end, {});
}

std::optional<std::string> WithoutSection(std::string_view bytes, std::string_view section) {
    const Text text = Split(bytes);
    const size_t header = FindSection(text, TrimSpaces(section));
    if (header == kNone)
        return std::nullopt;
    const size_t end = SectionEnd(text, header);
    const size_t to = end < text.lines.size() ? text.lines[end].begin : text.body.size();
    return Splice(text, text.lines[header].begin, to, {});
}

}  // namespace platform::profile::detail

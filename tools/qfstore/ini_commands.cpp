#include "ini_commands.h"

#include <array>

#include "command_line.h"
#include "output.h"
#include "qfstore/ids.h"
#include "qfstore/ini_file_handler.h"

namespace qfstore_cli {

const std::string_view kIniUsage =
    "  qfstore ini FILE sections\n"
    "  qfstore ini FILE keys SECTION\n"
    "  qfstore ini FILE get SECTION KEY [--delim D] [--raw] [--default TEXT] [--json]\n"
    "  qfstore ini FILE set SECTION KEY VALUE [VALUE ...] [--delim D]\n"
    "  qfstore ini FILE delete SECTION [KEY]\n";

namespace {

using qfstore::Ptr;
using qfstore::QfINIFileHandler;
using qfstore::Variant;

constexpr std::string_view kTab = "\t";

Ptr<QfINIFileHandler> OpenStore(const std::string& file) {
    auto store = Library().Create<QfINIFileHandler>(qfstore::CLSID_QfINIFileHandler, kClientName);
    store->Path(file);
    return store;
}

void PrintNames(std::ostream& out, const Variant& names) {
    if (!names.IsEmpty())
        PrintText(out, names);
}

int Sections(const std::string& file, std::span<const std::string> rest, std::ostream& out) {
    const Arguments args = ParseArguments(rest, {});
    RequirePositionals(args, 0, 0, "no arguments after 'sections'");
    PrintNames(out, OpenStore(file)->GetSectionNames());
    return kExitDone;
}

int Keys(const std::string& file, std::span<const std::string> rest, std::ostream& out) {
    const Arguments args = ParseArguments(rest, {});
    RequirePositionals(args, 1, 1, "SECTION after 'keys'");
    auto store = OpenStore(file);
    store->Section(args.positional[0]);
    PrintNames(out, store->GetFieldNames());
    return kExitDone;
}

int Get(const std::string& file, std::span<const std::string> rest, std::ostream& out) {
    static constexpr std::array<Option, 4> kOptions{{
        {"--delim", true},
        {"--raw", false},
        {"--default", true},
        {"--json", false},
    }};
    const Arguments args = ParseArguments(rest, kOptions);
    RequirePositionals(args, 2, 2, "SECTION KEY after 'get'");
    const bool detect = !args.Has("--raw");
    const bool hasDefault = args.Has("--default");
    const Variant fallback = hasDefault ? Variant(args.Get("--default", "")) : Variant::Missing();
    auto store = OpenStore(file);
    store->Section(args.positional[0]);
    const Variant value = store->GetValue(
        args.positional[1], args.Get("--delim", std::string(kTab)), detect, detect, fallback);
    if (!hasDefault && value.IsMissing())
        return kExitAbsent;
    if (args.Has("--json")) {
        PrintJson(out, value);
    } else {
        PrintText(out, value);
    }
    return kExitDone;
}

int Set(const std::string& file, std::span<const std::string> rest, std::ostream&) {
    static constexpr std::array<Option, 1> kOptions{{{"--delim", true}}};
    const Arguments args = ParseArguments(rest, kOptions);
    RequirePositionals(args, 3, SIZE_MAX, "SECTION KEY VALUE... after 'set'");
    const std::span<const std::string> values = std::span(args.positional).subspan(2);
    // Several values are one stored list; a single one is stored as its text.
    const Variant value =
        values.size() == 1
            ? Variant(values[0])
            : Variant::StringArray(std::vector<std::string>(values.begin(), values.end()));
    auto store = OpenStore(file);
    store->Section(args.positional[0]);
    store->SetValue(args.positional[1], value, args.Get("--delim", std::string(kTab)));
    return kExitDone;
}

int Delete(const std::string& file, std::span<const std::string> rest, std::ostream&) {
    const Arguments args = ParseArguments(rest, {});
    RequirePositionals(args, 1, 2, "SECTION [KEY] after 'delete'");
    auto store = OpenStore(file);
    store->Section(args.positional[0]);
    if (args.positional.size() == 2) {
        store->DeleteField(args.positional[1]);
    } else {
        store->DeleteSection();
    }
    return kExitDone;
}

struct Verb {
    std::string_view name;
    int (*run)(const std::string& file, std::span<const std::string> rest, std::ostream& out);
};

constexpr std::array<Verb, 5> kVerbs{{
    {"sections", &Sections},
    {"keys", &Keys},
    {"get", &Get},
    {"set", &Set},
    {"delete", &Delete},
}};

}  // namespace

int RunIni(std::span<const std::string> args, std::ostream& out) {
    if (args.size() < 2)
        throw UsageError("expected FILE and a verb after 'ini'");
    for (const Verb& verb : kVerbs) {
        if (verb.name == args[1])
            return verb.run(args[0], args.subspan(2), out);
    }
    throw UsageError("unknown ini verb '" + args[1] + "'");
}

}  // namespace qfstore_cli

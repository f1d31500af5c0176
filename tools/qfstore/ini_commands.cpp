#include "ini_commands.h"

#include <array>

#include "command_line.h"
#include "output.h"
#include "qfstore/ids.h"
#include "qfstore/ini_file_handler.h"
#include "value_arguments.h"

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
    const Arguments args = ParseArguments(rest, kGetOptions);
    RequirePositionals(args, 2, 2, "SECTION KEY after 'get'");
    const GetRequest get(args);
    auto store = OpenStore(file);
    store->Section(args.positional[0]);
    const Variant value = get.Read(*store, args.positional[1]);
    if (!get.hasDefault && value.IsMissing())
        return kExitAbsent;
    PrintValue(out, args, value);
    return kExitDone;
}

int Set(const std::string& file, std::span<const std::string> rest, std::ostream&) {
    static constexpr std::array<Option, 1> kOptions{{{"--delim", true}}};
    const Arguments args = ParseArguments(rest, kOptions);
    RequirePositionals(args, 3, SIZE_MAX, "SECTION KEY VALUE... after 'set'");
    const Variant value = ValueOf(std::span(args.positional).subspan(2));
    auto store = OpenStore(file);
    store->Section(args.positional[0]);
    store->SetValue(args.positional[1], value, DelimiterOf(args));
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

constexpr std::array<Verb, 5> kVerbs{{
    {"sections", &Sections},
    {"keys", &Keys},
    {"get", &Get},
    {"set", &Set},
    {"delete", &Delete},
}};

}  // namespace

int RunIni(std::span<const std::string> args, std::ostream& out) {
    return RunVerb(args, kVerbs, "ini", "FILE", out);
}

}  // namespace qfstore_cli

#include "string_commands.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <optional>

#include "command_line.h"
#include "platform/file_rewrite.h"
#include "qfstore/ids.h"
#include "qfstore/std_interface.h"
#include "qfstore/storage_string.h"
#include "value_arguments.h"

namespace qfstore_cli {

const std::string_view kStringUsage =
    "  qfstore string FILE get NAME [--path P] [--section S] [--delim D] [--raw]\n"
    "                               [--default TEXT] [--json]\n"
    "  qfstore string FILE set NAME VALUE [VALUE ...] [--path P] [--section S] [--delim D]\n"
    "  qfstore string FILE delete NAME [--path P] [--section S]\n";

namespace {

using qfstore::Error;
using qfstore::Ptr;
using qfstore::QfStorageString;
using qfstore::Variant;

// Error 75; `reason`, when given, names the file and what failed.
Error FileError(const std::string& reason = {}) {
    std::string description(qfstore::ErrorDescription(qfstore::kErrFileAccess));
    if (!reason.empty())
        description += ": " + reason;
    return Error(qfstore::kErrFileAccess, std::move(description), std::string(kClientName));
}

// The file's text; the empty text when it does not exist; error 75 when it cannot be read.
std::string ReadText(const std::string& file) {
    std::optional<platform::files::Contents> contents;
    try {
        contents = platform::files::ReadContents(file);
    } catch (const platform::ReadFailed& failed) {
        throw FileError(failed.failure.text);
    }
    if (contents)
        return std::move(contents->bytes);
    if (access(file.c_str(), F_OK) != 0 && errno == ENOENT)
        return {};
    throw FileError();
}

constexpr std::array<Option, 2> kQualifiers{{{"--path", true}, {"--section", true}}};

// A store holding the file's text, with the Path and Section qualifiers of the options.
Ptr<QfStorageString> OpenStore(const std::string& text, const Arguments& args) {
    auto store = Library().Create<QfStorageString>(qfstore::CLSID_QfStorageString, kClientName);
    auto qualifiers = store.As<qfstore::QfstoreStdInterface>();
    qualifiers->Path(args.Get("--path", ""));
    qualifiers->Section(args.Get("--section", ""));
    store->Value(text);
    return store;
}

template <size_t N>
constexpr std::array<Option, N + 2> WithQualifiers(const std::array<Option, N>& options) {
    std::array<Option, N + 2> all{};
    for (size_t i = 0; i < N; ++i) all[i] = options[i];
    all[N] = kQualifiers[0];
    all[N + 1] = kQualifiers[1];
    return all;
}

int Get(const std::string& file, std::span<const std::string> rest, std::ostream& out) {
    static constexpr auto kOptions = WithQualifiers(kGetOptions);
    const Arguments args = ParseArguments(rest, kOptions);
    RequirePositionals(args, 1, 1, "NAME after 'get'");
    const GetRequest get(args);
    const Variant value = get.Read(*OpenStore(ReadText(file), args), args.positional[0]);
    if (!get.hasDefault && value.IsMissing())
        return kExitAbsent;
    PrintValue(out, args, value);
    return kExitDone;
}

// Runs `change` on the store read from the file and writes the file back, atomically and under
// the file's lock, when the text changed; error 75, file unchanged, when that cannot be done.
template <class Change>
void Rewrite(const std::string& file, const Arguments& args, Change&& change) {
    const platform::Status status =
        platform::files::Rewrite(file, [&](std::string_view old) -> std::optional<std::string> {
            auto store = OpenStore(std::string(old), args);
            change(*store);
            std::string after = store->Value();
            if (after == old)
                return std::nullopt;
            return after;
        });
    if (!status)
        throw FileError(status.failure.text);
}

int Set(const std::string& file, std::span<const std::string> rest, std::ostream&) {
    static constexpr auto kOptions = WithQualifiers(std::array<Option, 1>{{{"--delim", true}}});
    const Arguments args = ParseArguments(rest, kOptions);
    RequirePositionals(args, 2, SIZE_MAX, "NAME VALUE... after 'set'");
    const Variant value = ValueOf(std::span(args.positional).subspan(1));
    Rewrite(file, args, [&](QfStorageString& store) {
        store.SetValue(args.positional[0], value, DelimiterOf(args));
    });
    return kExitDone;
}

int Delete(const std::string& file, std::span<const std::string> rest, std::ostream&) {
    const Arguments args = ParseArguments(rest, kQualifiers);
    RequirePositionals(args, 1, 1, "NAME after 'delete'");
    Rewrite(file, args, [&](QfStorageString& store) { store.DeleteField(args.positional[0]); });
    return kExitDone;
}

constexpr std::array<Verb, 3> kVerbs{{
    {"get", &Get},
    {"set", &Set},
    {"delete", &Delete},
}};

}  // namespace

int RunString(std::span<const std::string> args, std::ostream& out) {
    return RunVerb(args, kVerbs, "string", "FILE", out);
}

}  // namespace qfstore_cli

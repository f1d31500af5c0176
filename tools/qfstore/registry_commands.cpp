#include "registry_commands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <utility>

#include "command_line.h"
#include "qfstore/com.h"
#include "qfstore/ids.h"
#include "qfstore/registry_key.h"
#include "value_arguments.h"

namespace qfstore_cli {

const std::string_view kRegUsage =
    "  qfstore reg 'ROOT\\KEY' get NAME [--delim D] [--raw] [--default TEXT] [--json]\n"
    "  qfstore reg 'ROOT\\KEY' set NAME VALUE [VALUE ...] [--delim D] [--long]\n"
    "  qfstore reg 'ROOT\\KEY' delete NAME\n"
    "  qfstore reg 'ROOT\\KEY' delete-key\n"
    "  qfstore register\n"
    "  qfstore unregister\n";

namespace {

using qfstore::Error;
using qfstore::Ptr;
using qfstore::QfRegistryKey;
using qfstore::RegRootKey;
using qfstore::Variant;

constexpr std::array<std::pair<std::string_view, RegRootKey>, 4> kRoots{{
    {"HKEY_CLASSES_ROOT", qfstore::HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", qfstore::HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", qfstore::HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", qfstore::HKEY_USERS},
}};

constexpr int32_t kNotFound = 2;

// The status the store recorded last, as an error whose call stack names the member that
// recorded it.
Error StatusError(QfRegistryKey& key, std::string_view member) {
    return Error(key.ErrorState(), key.ErrorDescription(), "QfRegistryKey." + std::string(member));
}

void Check(QfRegistryKey& key, std::string_view member) {
    if (key.ErrorState() != 0)
        throw StatusError(key, member);
}

// The store addressed by 'ROOT\KEY'; addressing creates the key.
Ptr<QfRegistryKey> OpenKey(const std::string& address) {
    const size_t separator = address.find('\\');
    const std::string_view rootName = std::string_view(address).substr(0, separator);
    const auto* root = std::find_if(kRoots.begin(), kRoots.end(),
                                    [&](const auto& r) { return r.first == rootName; });
    if (separator == std::string::npos || root == kRoots.end() || separator + 1 == address.size())
        throw UsageError(
            "expected 'ROOT\\KEY' with ROOT one of HKEY_CLASSES_ROOT, "
            "HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS");
    auto key = Library().Create<QfRegistryKey>(qfstore::CLSID_QfRegistryKey, kClientName);
    key->RootKey(root->second);
    key->KeyName(address.substr(separator + 1));
    Check(*key, "KeyName (Let)");
    return key;
}

int Get(const std::string& address, std::span<const std::string> rest, std::ostream& out) {
    const Arguments args = ParseArguments(rest, kGetOptions);
    RequirePositionals(args, 1, 1, "NAME after 'get'");
    const GetRequest get(args);
    auto key = OpenKey(address);
    const Variant value = get.Read(*key, args.positional[0]);
    const int32_t status = key->ErrorState();
    if (status == kNotFound && !get.hasDefault)
        return kExitAbsent;
    if (status != 0 && status != kNotFound)
        throw StatusError(*key, "GetValue");
    PrintValue(out, args, value);
    return kExitDone;
}

// A whole number from -2147483648 to 4294967295, kept in 32 bits.
Variant LongOf(const std::string& text) {
    int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < INT32_MIN || n > UINT32_MAX)
        throw UsageError("--long needs one whole number that fits in 32 bits");
    return Variant(static_cast<int32_t>(static_cast<uint32_t>(n)));
}

int Set(const std::string& address, std::span<const std::string> rest, std::ostream&) {
    static constexpr std::array<Option, 2> kOptions{{{"--delim", true}, {"--long", false}}};
    const Arguments args = ParseArguments(rest, kOptions);
    RequirePositionals(args, 2, args.Has("--long") ? 2 : SIZE_MAX, "NAME VALUE... after 'set'");
    const auto values = std::span(args.positional).subspan(1);
    const Variant value = args.Has("--long") ? LongOf(values[0]) : ValueOf(values);
    auto key = OpenKey(address);
    if (key->SetValue(args.positional[0], value, DelimiterOf(args)))
        throw StatusError(*key, "SetValue");
    return kExitDone;
}

int Delete(const std::string& address, std::span<const std::string> rest, std::ostream&) {
    const Arguments args = ParseArguments(rest, {});
    RequirePositionals(args, 1, 1, "NAME after 'delete'");
    auto key = OpenKey(address);
    key->DeleteValue(args.positional[0]);
    // A value that is not there is as good as deleted.
    if (const int32_t status = key->ErrorState(); status != 0 && status != kNotFound)
        throw StatusError(*key, "DeleteValue");
    return kExitDone;
}

int DeleteKey(const std::string& address, std::span<const std::string> rest, std::ostream&) {
    const Arguments args = ParseArguments(rest, {});
    RequirePositionals(args, 0, 0, "no arguments after 'delete-key'");
    auto key = OpenKey(address);
    key->DeleteKey();
    Check(*key, "DeleteKey");
    return kExitDone;
}

constexpr std::array<Verb, 4> kVerbs{{
    {"get", &Get},
    {"set", &Set},
    {"delete", &Delete},
    {"delete-key", &DeleteKey},
}};

int CallEntryPoint(std::span<const std::string> args, const char* name, std::string_view what) {
    if (!args.empty())
        throw UsageError("'" + std::string(what) + "' takes no arguments");
    const auto entry = Library().Symbol<qfstore::DllRegisterServerFn>(name);
    if (!entry)
        throw Error::Runtime(qfstore::kErrCantCreateObject, std::string(kClientName));
    if (const qfstore::Status status = entry(); status != qfstore::kOk)
        throw Error(status,
                    "The library's classes could not be " +
                        std::string(what == "register" ? "entered in" : "removed from") +
                        " the registry",
                    std::string(name));
    return kExitDone;
}

}  // namespace

int RunReg(std::span<const std::string> args, std::ostream& out) {
    return RunVerb(args, kVerbs, "reg", "'ROOT\\KEY'", out);
}

int RunRegister(std::span<const std::string> args, std::ostream&) {
    return CallEntryPoint(args, "DllRegisterServer", "register");
}

int RunUnregister(std::span<const std::string> args, std::ostream&) {
    return CallEntryPoint(args, "DllUnregisterServer", "unregister");
}

}  // namespace qfstore_cli

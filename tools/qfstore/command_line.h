// What every command of the qfstore client shares: exit statuses, option parsing, the loaded
// component and the report of an error.
#pragma once

#include <map>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "qfstore/client.h"
#include "qfstore/error.h"

namespace qfstore_cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitAbsent = 1;
inline constexpr int kExitError = 2;
inline constexpr int kExitUsage = 64;

// A command line that does not fit its command; main reports it with the usage.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Option {
    std::string_view name;  // with its leading "--"
    bool takesValue;
};

// A command's arguments: positionals in order and the options given (a flag maps to "").
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> options;

    bool Has(std::string_view name) const { return options.find(name) != options.end(); }
    // The option's value, or `fallback` when it was not given.
    std::string Get(std::string_view name, const std::string& fallback) const;
};

// Splits `args` into positionals and the options of `allowed`, anywhere among them; "--" ends
// the options. Throws UsageError for an unknown option or a missing option value.
Arguments ParseArguments(std::span<const std::string> args, std::span<const Option> allowed);

// Throws UsageError unless min <= positional count <= max.
void RequirePositionals(const Arguments& args, size_t min, size_t max, std::string_view what);

// A verb of a store command, run with the store's address (a file or a key) and the arguments
// after the verb; returns the exit status.
struct Verb {
    std::string_view name;
    int (*run)(const std::string& store, std::span<const std::string> rest, std::ostream& out);
};

// Runs the verb that `args` name after the store's address: `qfstore COMMAND STORE VERB ...`.
// `store` names the address in the usage error for too few arguments.
int RunVerb(std::span<const std::string> args, std::span<const Verb> verbs,
            std::string_view command, std::string_view store, std::ostream& out);

// The library beside this program, loaded once; error 429 when it or its entry point is missing.
const qfstore::Component& Library();

// The origin of errors that the client itself raises.
inline constexpr std::string_view kClientName = "qfstore";

// Writes the error's number, description and call stack, one line per procedure.
void ReportError(std::ostream& err, const qfstore::Error& e);

}  // namespace qfstore_cli

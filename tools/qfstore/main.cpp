// qfstore: reads and writes the Qfstore library's stores from the command line.
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "command_line.h"
#include "ini_commands.h"
#include "qfstore/ids.h"
#include "qfstore/library.h"
#include "registry_commands.h"
#include "string_commands.h"

namespace qfstore_cli {
namespace {

int Version(std::span<const std::string> args, std::ostream& out) {
    if (!args.empty())
        throw UsageError("'version' takes no arguments");
    auto library =
        Library().Create<qfstore::QfstoreLibrary>(qfstore::CLSID_QfstoreLibrary, kClientName);
    out << library->Version() << "\n";
    return kExitDone;
}

struct Command {
    std::string_view name;
    int (*run)(std::span<const std::string> args, std::ostream& out);
};

constexpr std::array<Command, 6> kCommands{{
    {"version", &Version},
    {"ini", &RunIni},
    {"string", &RunString},
    {"reg", &RunReg},
    {"register", &RunRegister},
    {"unregister", &RunUnregister},
}};

void PrintUsage(std::ostream& out) {
    out << "Usage:\n"
           "  qfstore version\n"
        << kIniUsage << kStringUsage << kRegUsage
        << "  qfstore --version\n"
           "  qfstore --help\n"
           "\n"
           "FILE is the INI file's name, used as given. Names print one per line.\n"
           "\n"
           "get prints the value's text, a list one element per line. A stored text holding the\n"
           "delimiter reads as a list, numeric text as a number.\n"
           "  --delim D       the list delimiter (default: one tab character)\n"
           "  --raw           no list or number detection: the stored text as it is\n"
           "  --default TEXT  printed when the key is absent\n"
           "  --json          print {\"type\": ..., \"value\": ...} with the value's type name\n"
           "                  (String, Double, Long(), ...); lists as JSON arrays\n"
           "set stores one VALUE as its text, several as one list joined by the delimiter.\n"
           "delete removes KEY from SECTION, or the whole SECTION without KEY.\n"
           "A SECTION that is empty or blank means DEFAULT.\n"
           "\n"
           "Options may follow the verb in any order among its arguments; \"--\" ends them, and\n"
           "every argument after it is a name or value as written (set S K -- -h stores \"-h\").\n"
           "--help, -h and --version count only in place of the command; after it, -h and\n"
           "--help are a usage error, so that a value is never taken for them.\n"
           "\n"
           "string keeps one tagged text in FILE; --path and --section qualify NAME. set and\n"
           "delete rewrite FILE at once (a temporary file renamed over it).\n"
           "reg addresses a registry key (addressing creates it); set --long stores one whole\n"
           "number as a 32-bit number, other values as text. delete-key needs a key without\n"
           "subkeys. register and unregister enter or remove the library's classes.\n"
           "\n"
           "Exit status:\n"
           "  0   done\n"
           "  1   the key is absent and no --default was given\n"
           "  2   an error; its number, description and call stack go to standard error\n"
           "      (or why standard output could not be written)\n"
           "  64  a usage error; the usage goes to standard error\n";
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

// Throws UsageError for -h or --help after the command and before "--".
void RefuseLateHelp(std::span<const std::string> args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return;
        if (IsHelp(arg))
            throw UsageError(arg +
                             " counts only in place of the command; after \"--\" it is a value");
    }
}

// True when everything printed reached standard output; otherwise says why on standard error.
// A listing cut short must not pass for the whole one.
bool OutputWritten() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good())
        return true;
    std::cerr << "qfstore: standard output could not be written: " << std::strerror(errno) << "\n";
    return false;
}

int RunCommand(std::span<const std::string> args) {
    if (!args.empty() && IsHelp(args[0])) {
        PrintUsage(std::cout);
        return kExitDone;
    }
    try {
        if (args.empty())
            throw UsageError("expected a command");
        RefuseLateHelp(args.subspan(1));
        const std::string_view name =
            args[0] == "--version" ? std::string_view("version") : std::string_view(args[0]);
        for (const Command& command : kCommands) {
            if (command.name == name)
                return command.run(args.subspan(1), std::cout);
        }
        throw UsageError("unknown command '" + args[0] + "'");
    } catch (const UsageError& e) {
        std::cerr << "qfstore: " << e.what() << "\n";
        PrintUsage(std::cerr);
        return kExitUsage;
    } catch (const qfstore::Error& e) {
        ReportError(std::cerr, e);
        return kExitError;
    }
}

int Run(std::span<const std::string> args) {
    const int status = RunCommand(args);
    return OutputWritten() ? status : kExitError;
}

}  // namespace
}  // namespace qfstore_cli

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qfstore_cli::Run(args);
}

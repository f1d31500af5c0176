// qfstore: reads and writes the Qfstore library's stores from the command line.
#include <array>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "command_line.h"
#include "ini_commands.h"
#include "registry_commands.h"
#include "string_commands.h"
#include "qfstore/ids.h"
#include "qfstore/library.h"

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
        << "  qfstore --help\n"
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
           "A SECTION that is empty or blank means DEFAULT. \"--\" ends the options.\n"
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
           "  64  a usage error; the usage goes to standard error\n";
}

bool AsksForHelp(std::span<const std::string> args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

int Run(std::span<const std::string> args) {
    if (AsksForHelp(args)) {
        PrintUsage(std::cout);
        return kExitDone;
    }
    try {
        if (args.empty())
            throw UsageError("expected a command");
        for (const Command& command : kCommands) {
            if (command.name == args[0])
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

}  // namespace
}  // namespace qfstore_cli

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qfstore_cli::Run(args);
}

#include "command_line.h"

#include <algorithm>

#include "platform/module.h"

namespace qfstore_cli {

std::string Arguments::Get(std::string_view name, const std::string& fallback) const {
    const auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
}

Arguments ParseArguments(std::span<const std::string> args, std::span<const Option> allowed) {
    Arguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto option = std::find_if(allowed.begin(), allowed.end(),
                                         [&](const Option& o) { return o.name == arg; });
        if (option == allowed.end())
            throw UsageError("unknown option " + arg);
        if (!option->takesValue) {
            parsed.options[arg] = "";
            continue;
        }
        if (i + 1 == args.size())
            throw UsageError(arg + " needs a value");
        parsed.options[arg] = args[++i];
    }
    return parsed;
}

void RequirePositionals(const Arguments& args, size_t min, size_t max, std::string_view what) {
    const size_t n = args.positional.size();
    if (n < min || n > max)
        throw UsageError("expected " + std::string(what));
}

int RunVerb(std::span<const std::string> args, std::span<const Verb> verbs,
            std::string_view command, std::string_view store, std::ostream& out) {
    if (args.size() < 2)
        throw UsageError("expected " + std::string(store) + " and a verb after '" +
                         std::string(command) + "'");
    for (const Verb& verb : verbs) {
        if (verb.name == args[1])
            return verb.run(args[0], args.subspan(2), out);
    }
    throw UsageError("unknown " + std::string(command) + " verb '" + args[1] + "'");
}

const qfstore::Component& Library() {
    static const qfstore::Component component = qfstore::Component::Load(
        platform::LibraryToLoad(platform::ExecutableFolder(), qfstore::kLibraryFileName),
        kClientName);
    return component;
}

void ReportError(std::ostream& err, const qfstore::Error& e) {
    err << "Error " << e.Number() << ": " << e.Description() << "\n";
    if (e.Source().empty())
        return;
    err << "Call stack:\n";
    std::string_view rest = e.Source();
    for (;;) {
        const size_t end = rest.find(qfstore::kTraceSeparator);
        err << "  " << rest.substr(0, end) << "\n";
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + qfstore::kTraceSeparator.size());
    }
}

}  // namespace qfstore_cli

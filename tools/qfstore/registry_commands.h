// `qfstore reg 'ROOT\KEY' ...`: the registry store's verbs; `qfstore register` and
// `qfstore unregister`: the library's classes in the registry.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace qfstore_cli {

// The lines of the usage that describe the reg, register and unregister commands.
extern const std::string_view kRegUsage;

// Runs `qfstore reg` with the arguments after "reg"; returns the exit status.
int RunReg(std::span<const std::string> args, std::ostream& out);

// Enters the library's classes in the registry; error when the library refuses.
int RunRegister(std::span<const std::string> args, std::ostream& out);

// Removes what RunRegister entered.
int RunUnregister(std::span<const std::string> args, std::ostream& out);

}  // namespace qfstore_cli

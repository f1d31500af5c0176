// `qfstore string FILE ...`: the tagged-string store's verbs, its text kept in FILE.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace qfstore_cli {

// The lines of the usage that describe the string verbs.
extern const std::string_view kStringUsage;

// Runs `qfstore string` with the arguments after "string"; returns the exit status.
int RunString(std::span<const std::string> args, std::ostream& out);

}  // namespace qfstore_cli

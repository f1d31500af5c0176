// `qfstore ini FILE ...`: the INI file store's verbs.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace qfstore_cli {

// The lines of the usage that describe the ini verbs.
extern const std::string_view kIniUsage;

// Runs `qfstore ini` with the arguments after "ini"; returns the exit status.
int RunIni(std::span<const std::string> args, std::ostream& out);

}  // namespace qfstore_cli

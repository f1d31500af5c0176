// What the string and registry verbs share: the options of get, printing a value read, and the
// value that set stores.
#pragma once

#include <array>
#include <ostream>
#include <span>
#include <string>

#include "command_line.h"
#include "qfstore/variant.h"

namespace qfstore_cli {

inline constexpr std::string_view kTab = "\t";

// get's options: --delim D, --raw, --default TEXT, --json.
inline constexpr std::array<Option, 4> kGetOptions{{
    {"--delim", true},
    {"--raw", false},
    {"--default", true},
    {"--json", false},
}};

// The value set stores: one VALUE as its text, several as one list of texts.
qfstore::Variant ValueOf(std::span<const std::string> values);

// Prints a value that get read, as text lines or, with --json, as JSON.
void PrintValue(std::ostream& out, const Arguments& args, const qfstore::Variant& value);

}  // namespace qfstore_cli

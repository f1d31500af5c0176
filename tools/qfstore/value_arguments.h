// What the verbs of every store share: the options of get, reading and printing the value get
// asks for, and the value that set stores.
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

// The list delimiter of --delim; one tab character by default.
std::string DelimiterOf(const Arguments& args);

// What get's options ask of the store: the delimiter, list and number detection unless --raw,
// and the value of --default, the missing-argument marker without it.
struct GetRequest {
    explicit GetRequest(const Arguments& args);

    // The store's value of `name` as the options ask for it.
    template <class Store>
    qfstore::Variant Read(Store& store, const std::string& name) const {
        return store.GetValue(name, delim, detect, detect, fallback);
    }

    std::string delim;
    bool detect;
    bool hasDefault;
    qfstore::Variant fallback;
};

// The value set stores: one VALUE as its text, several as one list of texts.
qfstore::Variant ValueOf(std::span<const std::string> values);

// Prints a value that get read, as text lines or, with --json, as JSON.
void PrintValue(std::ostream& out, const Arguments& args, const qfstore::Variant& value);

}  // namespace qfstore_cli

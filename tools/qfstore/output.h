// How the qfstore client prints values: as plain text lines or as JSON.
#pragma once

#include <ostream>

#include "qfstore/variant.h"

namespace qfstore_cli {

// An array one element per line, any other value as one line of its text.
void PrintText(std::ostream& out, const qfstore::Variant& value);

// {"type": <type name>, "value": <value>} on one line; arrays as JSON arrays, numbers as JSON
// numbers (null when not finite), texts as JSON strings.
void PrintJson(std::ostream& out, const qfstore::Variant& value);

// Appends `text` as a JSON string literal; bytes that are not UTF-8 become U+FFFD.
void AppendJsonString(std::string& json, std::string_view text);

}  // namespace qfstore_cli

// The library's internal helper functions: how a store turns a value into stored text and back,
// and the text, number and path helpers behind that. Each passes errors on with its own name.
#pragma once

#include <cstdint>
#include <string>

#include "qfstore/variant.h"

namespace qfstore::core {

// The bytes of `text` in the opposite order; error 6 past 32767 bytes.
std::string ReverseString(const std::string& text);

// 1-based position where the last occurrence of `search` in `text` begins, 0 when there is none.
// `start` counts from the end of the text; `compare` 0 is exact, 1 ignores ASCII letter case.
int32_t ReverseInStr(const std::string& text, const std::string& search, int32_t start,
                     int32_t compare);

// `target` becomes a String() array with the bounds of `source`, each element's text.
void VarToStrArray(const Variant& source, Variant& target);

// `target` becomes a Long() array of the numbers in `source`; error 13 or 6 at the first element
// that does not convert.
void StrArrayToLngArray(const Variant& source, Variant& target);

// `target` becomes a Double() array of the numbers in `source`; error 13 at the first element
// that does not convert.
void StrArrayToDblArray(const Variant& source, Variant& target);

// True when every element of the array is numeric (and for an array without elements).
bool AllNumeric(const Variant& array);

// True when the value is numeric and holds at most one ".".
bool IsDouble(const Variant& value);

// Returns n and adds 1 to it; error 6, n unchanged, when n is 2147483647.
int32_t PostInc(int32_t& n);

// The value a store writes: an array as its elements' texts joined by `delimiter`, anything else
// unchanged. Error 5 when the joined text would split into other elements than the array's (an
// element holding the delimiter).
Variant PrepForSet(const Variant& value, const std::string& delimiter);

// The value a store reads back from stored text: an array when the text holds the delimiter and
// detectArray is set, a number when it is numeric and detectNumber is set, else the text. A Long
// comes back unchanged, any other kind as the empty value. `value` is taken by value so that a
// text handed in as a temporary comes back without a copy.
Variant PrepForGet(Variant value, const std::string& delimiter, bool detectArray,
                   bool detectNumber);

// True when something exists at `path`; a path ending in "/" asks whether that folder exists.
bool PathExists(const std::string& path);

// 1-based position of `search` in `text` from `start`, 0 when not found (exact or, with
// compare 1, ignoring ASCII case).
int32_t InStr(int32_t start, const std::string& text, const std::string& search, int32_t compare);

// Splits at every occurrence of `delimiter` into a zero-based String() array, empty pieces kept.
Variant Split(const std::string& text, const std::string& delimiter);

}  // namespace qfstore::core

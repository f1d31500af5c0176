// Small helpers shared by the program's windows.
#pragma once

#include <cstdint>

#include "qfstore/variant.h"

namespace QfHandyLibrary {

// The upper bound of dimension `dimension` of `array` as a Long, or Null when `array` is not an
// array or has no such dimension (arrays here have exactly one).
qfstore::Variant ArrayUpperBound(const qfstore::Variant& array, int32_t dimension);

}  // namespace QfHandyLibrary

// The error a call raises, as text, for comparing whole outcomes in one assertion.
#pragma once

#include <functional>
#include <string>

#include "qfstore/error.h"

namespace testing_support {

// "number|source" of the error `call` raises, or "none"; with `described`,
// "number|description|source".
inline std::string Outcome(const std::function<void()>& call, bool described = false) {
    try {
        call();
    } catch (const qfstore::Error& e) {
        return std::to_string(e.Number()) + "|" + (described ? e.Description() + "|" : "") +
               e.Source();
    }
    return "none";
}

// "number|description|source" of the error `call` raises, or "none".
inline std::string DescribedOutcome(const std::function<void()>& call) {
    return Outcome(call, true);
}

}  // namespace testing_support

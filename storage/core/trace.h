// The library's error convention: each procedure passes errors on with one call-stack line.
#pragma once

#include <string>
#include <string_view>

#include "component_info.h"
#include "qfstore/error.h"

namespace qfstore::core {

// Runs a member's body; errors leave it with "<className><entry>" appended, e.g.
// Traced("QfINIFileHandler", ".GetValue", ...).
template <class Body>
decltype(auto) Traced(std::string_view className, std::string_view entry, Body&& body) {
    std::string line;
    try {
        return std::forward<Body>(body)();
    } catch (Error& e) {
        line.append(className).append(entry);
        e.AppendTrace(line);
        throw;
    } catch (const std::bad_alloc&) {
        line.append(className).append(entry);
        Error e = Error::Runtime(kErrOutOfMemory, std::string(kComponentName));
        e.AppendTrace(line);
        throw e;
    }
}

// Runs a free function's body; errors leave it with its bare name appended.
template <class Body>
decltype(auto) TracedFunction(std::string_view name, Body&& body) {
    return PassOn(name, kComponentName, std::forward<Body>(body));
}

// An error raised inside the library: the call stack starts with "Qfstore".
inline Error RuntimeError(int32_t number) {
    return Error::Runtime(number, std::string(kComponentName));
}

// The same with the description going on with what was refused or failed, e.g.
// "Invalid procedure call or argument: key name "a=b" holds "="".
inline Error RuntimeError(int32_t number, std::string_view detail) {
    std::string description = ErrorDescription(number);
    description.append(": ").append(detail);
    return Error(number, std::move(description), std::string(kComponentName));
}

}  // namespace qfstore::core

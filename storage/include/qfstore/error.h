/// @file
/// The error record that travels, as an exception, through every Qfstore call and back to the host.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace qfstore {

/// Run-time error numbers used throughout the system.
enum ErrorNumber : int32_t {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,
    kErrDivisionByZero = 11,
    kErrTypeMismatch = 13,
    kErrFileAccess = 75,
    kErrObjectNotSet = 91,
    kErrInvalidUseOfNull = 94,
    kErrCantCreateObject = 429,
};

/// The description of a run-time error number; "Application-defined or object-defined error" for
/// numbers outside the table.
inline const char* ErrorDescription(int32_t number) {
    switch (number) {
        case kErrInvalidCall:
            return "Invalid procedure call or argument";
        case kErrOverflow:
            return "Overflow";
        case kErrOutOfMemory:
            return "Out of memory";
        case kErrSubscript:
            return "Subscript out of range";
        case kErrDivisionByZero:
            return "Division by zero";
        case kErrTypeMismatch:
            return "Type mismatch";
        case kErrFileAccess:
            return "Path/File access error";
        case kErrObjectNotSet:
            return "Object variable not set";
        case kErrInvalidUseOfNull:
            return "Invalid use of Null";
        case kErrCantCreateObject:
            return "Can't create object";
        default:
            return "Application-defined or object-defined error";
    }
}

/// Line separator inside an error's source text (the call stack).
inline constexpr std::string_view kTraceSeparator = "\r\n";

/// Exported with default visibility so that a host catches it across the library boundary.
class __attribute__((visibility("default"))) Error : public std::exception {
  public:
    Error(int32_t number, std::string description, std::string source, std::string helpFile = {},
          int32_t helpContext = 0)
        : number_(number),
          description_(std::move(description)),
          source_(std::move(source)),
          helpFile_(std::move(helpFile)),
          helpContext_(helpContext) {}

    /// A run-time error with the table's description; `origin` is the first line of the call stack.
    static Error Runtime(int32_t number, std::string origin) {
        return Error(number, ErrorDescription(number), std::move(origin));
    }

    int32_t Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& HelpFile() const noexcept { return helpFile_; }
    int32_t HelpContext() const noexcept { return helpContext_; }
    const char* what() const noexcept override { return description_.c_str(); }

    /// Adds one call-stack line below the existing source text.
    void AppendTrace(std::string_view line) {
        source_.append(kTraceSeparator);
        source_.append(line);
    }

  private:
    int32_t number_;
    std::string description_;
    std::string source_;
    std::string helpFile_;
    int32_t helpContext_;
};

/// Runs `body`; an error leaving it gets `traceLine` appended to its source text and goes on to the
/// caller. Out-of-memory from the standard library becomes error 7 raised by `origin`.
template <class Body>
decltype(auto) PassOn(std::string_view traceLine, std::string_view origin, Body&& body) {
    try {
        return std::forward<Body>(body)();
    } catch (Error& e) {
        e.AppendTrace(traceLine);
        throw;
    } catch (const std::bad_alloc&) {
        Error e = Error::Runtime(kErrOutOfMemory, std::string(origin));
        e.AppendTrace(traceLine);
        throw e;
    }
}

}  // namespace qfstore

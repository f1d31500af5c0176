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

/// Run-time error numbers used throughout the system; the index page says what each means.
enum ErrorNumber : int32_t {
    kErrInvalidCall = 5,         ///< A name or value the store cannot hold; nothing was written.
    kErrOverflow = 6,            ///< A number or date outside the range it must fit.
    kErrOutOfMemory = 7,         ///< An allocation failed.
    kErrSubscript = 9,           ///< An array index outside the bounds.
    kErrDivisionByZero = 11,     ///< A division by zero (raised by hosts).
    kErrTypeMismatch = 13,       ///< A value that does not convert.
    kErrFileAccess = 75,         ///< A file could not be written; it is unchanged.
    kErrObjectNotSet = 91,       ///< No object where one was needed (raised by hosts).
    kErrInvalidUseOfNull = 94,   ///< Null where a number or text is needed.
    kErrCantCreateObject = 429,  ///< The library, an entry point, class or interface is missing.
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

/// The error record every failing Qfstore call throws: number, description, source text (the
/// call stack, innermost first, lines separated by kTraceSeparator), help file and help context.
/// Exported with default visibility so that a host catches it across the library boundary.
class __attribute__((visibility("default"))) Error : public std::exception {
  public:
    /// An error record with every field given.
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

    /// The error number (ErrorNumber for the library's own).
    int32_t Number() const noexcept { return number_; }
    /// The description: the number's text, which may go on with what was refused or which file
    /// and step failed (error 75).
    const std::string& Description() const noexcept { return description_; }
    /// The call stack: where the error arose, then one line per procedure that passed it on.
    const std::string& Source() const noexcept { return source_; }
    /// The help file named by whoever raised the error; empty for the library's own.
    const std::string& HelpFile() const noexcept { return helpFile_; }
    /// The help context within HelpFile(); 0 for the library's own.
    int32_t HelpContext() const noexcept { return helpContext_; }
    /// The description.
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

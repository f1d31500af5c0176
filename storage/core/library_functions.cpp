#include "library_functions.h"

#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ascii.h"
#include "platform/refusal.h"
#include "qfstore/conversions.h"
#include "trace.h"

namespace qfstore::core {
namespace {

// The helpers index arrays with a 16-bit counter, which cannot reach past 32767.
void CheckCounterBounds(int32_t lbound, size_t count) {
    const int64_t lo = lbound;
    const int64_t hi = static_cast<int64_t>(lbound) + static_cast<int64_t>(count) - 1;
    if (lo < INT16_MIN || lo > INT16_MAX || hi < INT16_MIN || hi >= INT16_MAX)
        throw RuntimeError(kErrOverflow);
}

void RequireArray(const Variant& v) {
    if (!v.IsArray())
        throw RuntimeError(kErrTypeMismatch);
}

// Sizes `target` to the bounds of `source`, every element `filler`, then converts element by
// element; an error leaves the remaining elements as filled.
template <class Convert>
void ConvertEach(const Variant& source, Variant& target, const Variant& filler, Convert convert) {
    RequireArray(source);
    std::vector<Variant> items(source.Elements().size(), filler);
    target = Variant::Array(filler.Type(), source.LBound(), std::move(items));
    CheckCounterBounds(source.LBound(), source.Elements().size());
    for (size_t i = 0; i < source.Elements().size(); ++i)
        target.Elements()[i] = convert(source.Elements()[i]);
}

// How many pieces Split(text, delimiter) makes.
size_t PieceCount(const std::string& text, const std::string& delimiter) {
    size_t count = 1;
    if (!delimiter.empty())
        for (size_t at = 0; (at = text.find(delimiter, at)) != std::string::npos;
             at += delimiter.size())
            ++count;
    return count;
}

// AllNumeric of Split(text, delimiter), reading the pieces where they are: the number of each as a
// Double element, or nothing when a piece is not numeric.
std::optional<std::vector<Variant>> NumbersOf(const std::string& text,
                                              const std::string& delimiter) {
    return TracedFunction("AllNumeric", [&]() -> std::optional<std::vector<Variant>> {
        std::vector<Variant> numbers;
        numbers.reserve(PieceCount(text, delimiter));
        const std::string_view whole(text);
        size_t from = 0;
        for (;;) {
            const size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter, from);
            const std::optional<double> number = ParseNumericText(
                whole.substr(from, at == std::string::npos ? std::string::npos : at - from));
            if (!number)
                return std::nullopt;
            numbers.emplace_back(*number);
            if (at == std::string::npos)
                return numbers;
            from = at + delimiter.size();
        }
    });
}

// StrArrayToLngArray (`whole`) or StrArrayToDblArray of a zero-based split whose numbers NumbersOf
// read: the same array and the same errors, without reading the texts again.
Variant NumberArray(std::vector<Variant> numbers, bool whole) {
    return TracedFunction(whole ? "StrArrayToLngArray" : "StrArrayToDblArray", [&] {
        CheckCounterBounds(0, numbers.size());
        for (Variant& element : numbers) {
            const double number = element.AsDouble();
            if (std::isinf(number))  // numeric text beyond the double range, as ToDouble refuses it
                throw RuntimeError(kErrOverflow);
            if (whole)
                element = Variant(static_cast<int32_t>(
                    RoundToRange(number, INT32_MIN, INT32_MAX, kComponentName)));
        }
        return Variant::Array(whole ? VarType::Long : VarType::Double, 0, std::move(numbers));
    });
}

// Which element of `texts` makes their join split into `pieces` instead, and how.
std::string ElementRefusal(const Variant& texts, const Variant& pieces,
                           const std::string& delimiter) {
    const std::vector<Variant>& elements = texts.Elements();
    // The first element that does not come back as itself: it holds the delimiter, or its end
    // and the delimiter after it make an earlier one.
    size_t culprit = 0;
    while (culprit + 1 < elements.size() && culprit < pieces.Elements().size() &&
           pieces.Elements()[culprit] == elements[culprit])
        ++culprit;
    const std::string& element = elements[culprit].AsString();
    const bool holds = element.find(delimiter) != std::string::npos;
    return platform::Refusal(
        "array element " + std::to_string(texts.LBound() + static_cast<int32_t>(culprit)), element,
        holds ? "holds the delimiter" : "runs into the delimiter", delimiter);
}

}  // namespace

int32_t InStr(int32_t start, const std::string& text, const std::string& search, int32_t compare) {
    if (start < 1)
        throw RuntimeError(kErrInvalidCall, "start " + std::to_string(start) + " is below 1");
    if (text.empty() || static_cast<size_t>(start) > text.size())
        return 0;
    if (search.empty())
        return start;
    if (compare == 0) {
        const size_t at = text.find(search, static_cast<size_t>(start - 1));
        return at == std::string::npos ? 0 : static_cast<int32_t>(at) + 1;
    }
    const auto from = text.begin() + (start - 1);
    const auto hit = std::search(from, text.end(), search.begin(), search.end(),
                                 [](char a, char b) { return platform::ascii::SameLetter(a, b); });
    return hit == text.end() ? 0 : static_cast<int32_t>(hit - text.begin()) + 1;
}

Variant Split(const std::string& text, const std::string& delimiter) {
    // The elements are built in place, counted first: no list of texts to convert afterwards and
    // no moves of grown storage.
    std::vector<Variant> pieces;
    if (delimiter.empty()) {
        pieces.emplace_back(text);
    } else {
        pieces.reserve(PieceCount(text, delimiter));
        size_t from = 0;
        for (size_t at; (at = text.find(delimiter, from)) != std::string::npos;
             from = at + delimiter.size())
            pieces.emplace_back(text.substr(from, at - from));
        pieces.emplace_back(text.substr(from));
    }
    return Variant::Array(VarType::String, 0, std::move(pieces));
}

std::string ReverseString(const std::string& text) {
    return TracedFunction("ReverseString", [&] {
        if (text.size() > static_cast<size_t>(INT16_MAX))
            throw RuntimeError(kErrOverflow);
        return std::string(text.rbegin(), text.rend());
    });
}

int32_t ReverseInStr(const std::string& text, const std::string& search, int32_t start,
                     int32_t compare) {
    return TracedFunction("ReverseInStr", [&] {
        const int32_t d = InStr(start, ReverseString(text), ReverseString(search), compare);
        if (d == 0)
            return 0;
        return static_cast<int32_t>(text.size()) - d - static_cast<int32_t>(search.size()) + 2;
    });
}

void VarToStrArray(const Variant& source, Variant& target) {
    TracedFunction("VarToStrArray", [&] {
        ConvertEach(source, target, Variant(std::string()), [](const Variant& element) {
            // Every scalar kind, numbers of any size included, is written as its text.
            return Variant(ToText(element, kComponentName));
        });
    });
}

void StrArrayToLngArray(const Variant& source, Variant& target) {
    TracedFunction("StrArrayToLngArray", [&] {
        ConvertEach(source, target, Variant(int32_t{0}), [](const Variant& element) {
            return Variant(ToLong(element, kComponentName));
        });
    });
}

void StrArrayToDblArray(const Variant& source, Variant& target) {
    TracedFunction("StrArrayToDblArray", [&] {
        ConvertEach(source, target, Variant(0.0), [](const Variant& element) {
            return Variant(ToDouble(element, kComponentName));
        });
    });
}

bool AllNumeric(const Variant& array) {
    return TracedFunction("AllNumeric", [&] {
        RequireArray(array);
        return std::all_of(array.Elements().begin(), array.Elements().end(),
                           [](const Variant& e) { return IsNumeric(e); });
    });
}

bool IsDouble(const Variant& value) {
    return TracedFunction("IsDouble", [&] {
        if (!IsNumeric(value))
            return false;
        // A text is looked at where it is; other kinds need their text made.
        std::string made;
        if (value.Type() != VarType::String)
            made = ToText(value, kComponentName);
        const std::string& text = value.Type() == VarType::String ? value.AsString() : made;
        const int32_t p = InStr(1, text, ".", 0);
        if (p >= INT16_MAX)
            throw RuntimeError(kErrOverflow);
        return InStr(p + 1, text, ".", 0) == 0;
    });
}

int32_t PostInc(int32_t& n) {
    return TracedFunction("PostInc", [&] {
        if (n == std::numeric_limits<int32_t>::max())
            throw RuntimeError(kErrOverflow);
        return n++;
    });
}

Variant PrepForSet(const Variant& value, const std::string& delimiter) {
    return TracedFunction("PrepForSet", [&] {
        if (!value.IsArray())
            return value;
        Variant texts;
        VarToStrArray(value, texts);
        std::string joined;
        bool first = true;
        for (const Variant& e : texts.Elements()) {
            if (!first)
                joined += delimiter;
            joined += e.AsString();
            first = false;
        }
        // An element holding the delimiter (or ending in part of it) would read back as others.
        if (!delimiter.empty() && !texts.Elements().empty()) {
            const Variant pieces = Split(joined, delimiter);
            if (pieces.Elements() != texts.Elements())
                throw RuntimeError(kErrInvalidCall, ElementRefusal(texts, pieces, delimiter));
        }
        return Variant(std::move(joined));
    });
}

Variant PrepForGet(Variant value, const std::string& delimiter, bool detectArray,
                   bool detectNumber) {
    return TracedFunction("PrepForGet", [&]() -> Variant {
        if (value.IsArray())
            return Variant();
        if (value.Type() == VarType::Long)
            return std::move(value);
        if (value.Type() != VarType::String)
            return Variant();
        const std::string& s = value.AsString();
        if (InStr(1, s, delimiter, 0) > 0 && detectArray) {
            // The pieces are read as numbers where they are; texts are made only for an array of
            // texts.
            if (detectNumber) {
                if (std::optional<std::vector<Variant>> numbers = NumbersOf(s, delimiter))
                    return NumberArray(std::move(*numbers), InStr(1, s, ".", 0) == 0);
            }
            return Split(s, delimiter);
        }
        // IsDouble, then ToDouble from the same reading of the text: numeric text holds at most
        // one ".", so IsDouble only refuses a "." beyond its 16-bit counter.
        const std::optional<double> number = ParseNumericText(s);
        if (!number)
            return std::move(value);
        TracedFunction("IsDouble", [&] {
            if (InStr(1, s, ".", 0) >= INT16_MAX)
                throw RuntimeError(kErrOverflow);
        });
        if (!detectNumber)
            return std::move(value);
        if (std::isinf(*number))  // as ToDouble refuses text beyond the double range
            throw RuntimeError(kErrOverflow);
        return Variant(*number);
    });
}

bool PathExists(const std::string& path) {
    return TracedFunction("PathExists", [&] {
        if (path.empty())
            return false;
        if (path.back() == '/') {
            // A folder path matches the entries inside it, "." at least, when the folder exists.
            struct stat st {};
            return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        glob_t found{};
        const int rc = glob(path.c_str(), GLOB_NOSORT | GLOB_NOESCAPE, nullptr, &found);
        bool exists = false;
        if (rc == 0 && found.gl_pathc > 0) {
            std::string name = found.gl_pathv[0];
            exists = name.find_first_not_of(" \t") != std::string::npos;
        }
        globfree(&found);
        return exists;
    });
}

}  // namespace qfstore::core

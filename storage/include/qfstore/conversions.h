/// @file
/// Conversions of variant values: numeric text, numbers, and the text form a store writes.
/// Errors are raised with `origin` as the first line of their call stack.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "qfstore/error.h"
#include "qfstore/variant.h"

namespace qfstore {

/// Reads a numeric text: surrounding blanks ignored, then an optional sign, digits with at most one
/// ".", and an optional exponent. Nothing for any other text, the empty text included. Text beyond
/// the double range gives an infinity (ToDouble refuses it), text too small for it gives 0.
inline std::optional<double> ParseNumericText(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    const size_t mantissaStart = i;
    size_t digits = 0;
    bool point = false;
    // The power of ten of the first significant digit, to tell overflow from underflow.
    int64_t magnitude = 0;
    bool significant = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') {
            ++digits;
            significant = significant || s[i] != '0';
            if (significant && !point) {
                ++magnitude;
            } else if (!significant && point) {
                --magnitude;
            }
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        const bool negativeExponent = j < s.size() && s[j] == '-';
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        size_t expDigits = 0;
        int64_t exponent = 0;
        for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j, ++expDigits)
            exponent = std::min<int64_t>(exponent * 10 + (s[j] - '0'), 1'000'000'000);
        if (expDigits == 0)
            return std::nullopt;
        magnitude += negativeExponent ? -exponent : exponent;
        i = j;
    }
    if (i != s.size())
        return std::nullopt;
    double value = 0;
    const std::string_view body = s.substr(mantissaStart);
    auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (end != body.data() + body.size())
        return std::nullopt;
    // Out of range, from_chars leaves the value as it was.
    if (ec == std::errc::result_out_of_range)
        value = magnitude > 0 ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

/// True when the value converts to a number.
inline bool IsNumeric(const Variant& v) {
    if (v.IsArray())
        return false;
    switch (v.Type()) {
        case VarType::Empty:
        case VarType::Integer:
        case VarType::Long:
        case VarType::Single:
        case VarType::Double:
        case VarType::Currency:
        case VarType::Boolean:
        case VarType::Byte:
            return true;
        case VarType::String:
            return ParseNumericText(v.AsString()).has_value();
        case VarType::Null:
        case VarType::Date:
        case VarType::Error:
        case VarType::Variant:
            return false;
    }
    return false;
}

/// The number a value stands for: error 13 for texts that are not numeric, errors and arrays,
/// error 94 for Null, error 6 for numeric text beyond the double range.
inline double ToDouble(const Variant& v, std::string_view origin) {
    if (v.IsArray())
        throw Error::Runtime(kErrTypeMismatch, std::string(origin));
    switch (v.Type()) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
            throw Error::Runtime(kErrInvalidUseOfNull, std::string(origin));
        case VarType::Integer:
            return v.AsInteger();
        case VarType::Long:
            return v.AsLong();
        case VarType::Single:
            return v.AsSingle();
        case VarType::Double:
            return v.AsDouble();
        case VarType::Currency:
            return static_cast<double>(v.AsCurrencyScaled()) / 10000.0;
        case VarType::Date:
            return v.AsDateSerial();
        case VarType::Boolean:
            return v.AsBoolean() ? -1 : 0;
        case VarType::Byte:
            return v.AsByte();
        case VarType::String:
            if (auto d = ParseNumericText(v.AsString())) {
                if (std::isinf(*d))
                    throw Error::Runtime(kErrOverflow, std::string(origin));
                return *d;
            }
            break;
        case VarType::Error:
        case VarType::Variant:
            break;
    }
    throw Error::Runtime(kErrTypeMismatch, std::string(origin));
}

/// Rounds half to even to a whole number within [lo, hi]; error 6 outside it.
inline int64_t RoundToRange(double d, int64_t lo, int64_t hi, std::string_view origin) {
    const double r = std::nearbyint(d);  // default rounding mode: half to even
    if (!(r >= static_cast<double>(lo) && r <= static_cast<double>(hi)))
        throw Error::Runtime(kErrOverflow, std::string(origin));
    return static_cast<int64_t>(r);
}

/// A 32-bit integer, rounded half to even; error 6 outside the 32-bit range.
inline int32_t ToLong(const Variant& v, std::string_view origin) {
    return static_cast<int32_t>(RoundToRange(ToDouble(v, origin), INT32_MIN, INT32_MAX, origin));
}

/// A 16-bit integer, rounded half to even; error 6 outside the 16-bit range.
inline int16_t ToInteger(const Variant& v, std::string_view origin) {
    return static_cast<int16_t>(RoundToRange(ToDouble(v, origin), INT16_MIN, INT16_MAX, origin));
}

///@{
/// The shortest decimal text, "." as decimal point, that reads back as the same number; "NaN",
/// "Infinity" and "-Infinity" for those.
inline std::string NumberText(double d) {
    if (d == 0)
        return "0";
    if (std::isnan(d))
        return "NaN";
    if (std::isinf(d))
        return d > 0 ? "Infinity" : "-Infinity";
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, end);
}

inline std::string NumberText(float f) {
    if (f == 0)
        return "0";
    if (!std::isfinite(f))
        return NumberText(static_cast<double>(f));
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, f);
    return std::string(buf, end);
}
///@}

/// A date serial as "YYYY-MM-DD", with " HH:MM:SS" when it has a time of day. Before 1899-12-30
/// the whole part counts the days back and the fraction is still the time of that day. Error 6 for
/// a date outside the years 100 to 9999 (NaN and infinities included).
inline std::string DateText(double serial, std::string_view origin) {
    // Day -657434 is 0100-01-01, day 2958465 is 9999-12-31; the year is checked again below, after
    // rounding to the second may have moved the date by a day.
    if (!(serial > -657435.0 && serial < 2958466.0))
        throw Error::Runtime(kErrOverflow, std::string(origin));
    double dayPart = std::trunc(serial);
    int64_t seconds = static_cast<int64_t>(std::llround(std::abs(serial - dayPart) * 86400.0));
    if (seconds >= 86400)
        dayPart += serial < 0 ? -1 : 1, seconds -= 86400;
    // Civil date from days since 1970-01-01 (1899-12-30 is day -25569).
    int64_t z = static_cast<int64_t>(dayPart) - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 100 || year > 9999)
        throw Error::Runtime(kErrOverflow, std::string(origin));
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld", static_cast<long long>(year),
                          static_cast<long long>(month), static_cast<long long>(day));
    if (seconds != 0)
        n += std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), " %02lld:%02lld:%02lld",
                           static_cast<long long>(seconds / 3600),
                           static_cast<long long>(seconds / 60 % 60),
                           static_cast<long long>(seconds % 60));
    return std::string(buf, static_cast<size_t>(n));
}

/// The one-argument form callers of version 1.0 use; a date DateText refuses is error 6 raised by
/// "DateText".
inline std::string DateText(double serial) {
    return DateText(serial, "DateText");
}

/// The text form of a scalar value, as a store writes it: numbers with "." as decimal point,
/// Booleans "True"/"False", the empty value as "". Error 94 for Null, 13 for arrays, 6 for
/// infinities and NaN (no text reads back as them) and for dates DateText refuses.
inline std::string ToText(const Variant& v, std::string_view origin) {
    const auto finite = [&](auto number) {
        if (!std::isfinite(number))
            throw Error::Runtime(kErrOverflow, std::string(origin));
        return NumberText(number);
    };
    if (v.IsArray())
        throw Error::Runtime(kErrTypeMismatch, std::string(origin));
    switch (v.Type()) {
        case VarType::Empty:
            return {};
        case VarType::Null:
            throw Error::Runtime(kErrInvalidUseOfNull, std::string(origin));
        case VarType::Integer:
            return std::to_string(v.AsInteger());
        case VarType::Long:
            return std::to_string(v.AsLong());
        case VarType::Single:
            return finite(v.AsSingle());
        case VarType::Double:
            return finite(v.AsDouble());
        case VarType::Currency:
            return NumberText(static_cast<double>(v.AsCurrencyScaled()) / 10000.0);
        case VarType::Date:
            return DateText(v.AsDateSerial(), origin);
        case VarType::String:
            return v.AsString();
        case VarType::Error:
            return "Error " + std::to_string(v.AsErrorCode());
        case VarType::Boolean:
            return v.AsBoolean() ? "True" : "False";
        case VarType::Byte:
            return std::to_string(v.AsByte());
        case VarType::Variant:
            break;
    }
    throw Error::Runtime(kErrTypeMismatch, std::string(origin));
}

}  // namespace qfstore

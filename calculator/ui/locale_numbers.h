// Numbers as the user types and reads them: the system locale's decimal separator, general form,
// no trailing zeros and no group separators. Every number the pages show is written here.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "qfstore/variant.h"

namespace gearsheet {

// The number a typed text stands for under the system locale (sign, decimal and group separators,
// exponent, surrounding blanks); nothing for any other text, the empty text, "nan" and "inf"
// included.
std::optional<double> ParseLocaleNumber(const QString& text);

inline bool IsNumericText(const QString& text) {
    return ParseLocaleNumber(text).has_value();
}

// The typed text as a double; error 13 "Type mismatch" from "Gearsheet" when it is not numeric.
double TextToDouble(const QString& text);

// The typed text as a 16-bit integer, rounded half to even; error 13 when it is not numeric,
// error 6 "Overflow" outside -32768 … 32767.
int16_t TextToInteger(const QString& text);

// A value as a single-precision number; error 13 when it is not numeric, error 6 when it does
// not fit.
float ToSingle(const qfstore::Variant& value);

// A number in the general form of the system locale: "11.36", "100", "0".
QString LocaleNumberText(double value);

// `value` rounded to `decimals` (halves to even): "2.8125", "3".
double RoundedTo(double value, int decimals);
// `value` rounded to `decimals` (halves to even) in the general form: "2.8125", "3".
QString RoundedText(double value, int decimals);
// A figure's text with "+" before a positive one.
QString SignedText(const QString& text);
// Links needed, unrounded, and the even number a chain takes: "113.6 → 114".
QString LinksText(double linksNeeded, int evenLinks);

// A value shown as text: numbers by LocaleNumberText, texts as they are.
QString ValueText(const qfstore::Variant& value);

}  // namespace gearsheet

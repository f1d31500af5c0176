// Numbers as the user types and reads them: the system locale's decimal separator, general form,
// no trailing zeros and no group separators.
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

// A value shown as text: numbers by LocaleNumberText, texts as they are.
QString ValueText(const qfstore::Variant& value);

}  // namespace gearsheet

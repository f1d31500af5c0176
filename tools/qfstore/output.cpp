#include "output.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "command_line.h"
#include "qfstore/conversions.h"

namespace qfstore_cli {
namespace {

using qfstore::Variant;
using qfstore::VarType;

// Length of the well-formed UTF-8 sequence starting at `s[i]`, 0 when it is malformed.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    unsigned char lowest = 0x80, highest = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            lowest = 0xA0;
        if (lead == 0xED)
            highest = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            lowest = 0x90;
        if (lead == 0xF4)
            highest = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    if (byte(i + 1) < lowest || byte(i + 1) > highest)
        return 0;
    for (size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

void AppendJsonNumber(std::string& json, double d) {
    json += std::isfinite(d) ? qfstore::NumberText(d) : "null";
}

void AppendJsonValue(std::string& json, const Variant& v) {
    if (v.IsArray()) {
        json += '[';
        for (size_t i = 0; i < v.Elements().size(); ++i) {
            if (i)
                json += ", ";
            AppendJsonValue(json, v.Elements()[i]);
        }
        json += ']';
        return;
    }
    switch (v.Type()) {
        case VarType::Empty:
        case VarType::Null:
            json += "null";
            break;
        case VarType::Integer:
        case VarType::Long:
        case VarType::Byte:
            // A whole number's stored text is already its JSON number.
            json += qfstore::ToText(v, kClientName);
            break;
        case VarType::Error:
            json += std::to_string(v.AsErrorCode());
            break;
        case VarType::Single:
            AppendJsonNumber(json, v.AsSingle());
            break;
        case VarType::Double:
            AppendJsonNumber(json, v.AsDouble());
            break;
        case VarType::Currency:
            AppendJsonNumber(json, static_cast<double>(v.AsCurrencyScaled()) / 10000.0);
            break;
        case VarType::Boolean:
            json += v.AsBoolean() ? "true" : "false";
            break;
        case VarType::Date:
        case VarType::String:
        case VarType::Variant:
            AppendJsonString(json, qfstore::ToText(v, kClientName));
            break;
    }
}

}  // namespace

void AppendJsonString(std::string& json, std::string_view text) {
    json += '"';
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t n = Utf8SequenceLength(text, i);
            if (n == 0) {
                json += "\\ufffd";
                ++i;
            } else {
                json.append(text.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\b':
                json += "\\b";
                break;
            case '\f':
                json += "\\f";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    json += buf;
                } else {
                    json += static_cast<char>(c);
                }
        }
        ++i;
    }
    json += '"';
}

void PrintText(std::ostream& out, const Variant& value) {
    if (!value.IsArray()) {
        out << qfstore::ToText(value, kClientName) << "\n";
        return;
    }
    for (const Variant& element : value.Elements())
        out << qfstore::ToText(element, kClientName) << "\n";
}

void PrintJson(std::ostream& out, const Variant& value) {
    std::string json = "{\"type\": ";
    AppendJsonString(json, qfstore::TypeName(value));
    json += ", \"value\": ";
    AppendJsonValue(json, value);
    json += "}\n";
    out << json;
}

}  // namespace qfstore_cli

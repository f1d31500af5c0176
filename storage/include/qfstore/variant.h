/// @file
/// The tagged value that crosses every Qfstore interface. Header-only so that it crosses a
/// run-time-loaded library boundary as plain inline code on both sides.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "qfstore/error.h"

namespace qfstore {

/// VarType codes; an array is kArrayFlag plus its element type.
enum class VarType : uint16_t {
    Empty = 0,     ///< No value: reads as 0 or "".
    Null = 1,      ///< No valid data; most conversions refuse it (error 94).
    Integer = 2,   ///< 16-bit signed integer.
    Long = 3,      ///< 32-bit signed integer.
    Single = 4,    ///< 32-bit floating point.
    Double = 5,    ///< 64-bit floating point.
    Currency = 6,  ///< Fixed point, a 64-bit count of ten-thousandths.
    Date = 7,      ///< Days since 1899-12-30, the fraction being the time of day.
    String = 8,    ///< UTF-8 text.
    Error = 10,    ///< An error value (SCODE), such as the missing-argument marker.
    Boolean = 11,  ///< True or False (-1 and 0 as a number).
    Variant = 12,  ///< As an array's element type: elements of any kind.
    Byte = 17,     ///< 8-bit unsigned integer.
};
/// Added to the element type's code in an array's VarTypeCode().
inline constexpr uint16_t kArrayFlag = 8192;

/// SCODE of the missing-argument marker.
inline constexpr int32_t kParamNotFound = static_cast<int32_t>(0x80020004u);

/// The tagged value that crosses every interface: a scalar of one VarType, or a one-dimensional
/// array with explicit bounds. The As... accessors throw std::bad_variant_access for a value of
/// another type; check Type() and IsArray() first.
class Variant {
  public:
    /// The empty value.
    Variant() = default;
    ///@{
    /// A value of the type the argument's C++ type stands for: Integer, Long, Single, Double,
    /// Boolean, Byte or String.
    Variant(int16_t v) : type_(VarType::Integer), scalar_(v) {}
    Variant(int32_t v) : type_(VarType::Long), scalar_(v) {}
    Variant(float v) : type_(VarType::Single), scalar_(v) {}
    Variant(double v) : type_(VarType::Double), scalar_(v) {}
    Variant(bool v) : type_(VarType::Boolean), scalar_(v) {}
    Variant(uint8_t v) : type_(VarType::Byte), scalar_(v) {}
    Variant(std::string v) : type_(VarType::String), scalar_(std::move(v)) {}
    Variant(const char* v) : Variant(std::string(v)) {}
    Variant(std::string_view v) : Variant(std::string(v)) {}
    ///@}

    /// The Null value.
    static Variant Null() { return Variant(VarType::Null, std::monostate{}); }
    /// A currency amount given in ten-thousandths.
    static Variant Currency(int64_t scaled) { return Variant(VarType::Currency, scaled); }
    /// A date as days since 1899-12-30, the fraction being the time of day.
    static Variant Date(double serial) { return Variant(VarType::Date, serial); }
    /// An error value holding `scode`.
    static Variant ErrorValue(int32_t scode) { return Variant(VarType::Error, scode); }
    /// The value an optional argument carries when the caller leaves it out.
    static Variant Missing() { return ErrorValue(kParamNotFound); }

    /// A one-dimensional array; for a typed array every element must hold `element` itself.
    static Variant Array(VarType element, int32_t lowerBound, std::vector<Variant> items) {
        Variant v(element, std::monostate{});
        v.isArray_ = true;
        v.lbound_ = lowerBound;
        v.items_ = std::move(items);
        return v;
    }
    /// A zero-based array of texts, as a split makes.
    static Variant StringArray(std::vector<std::string> texts) {
        std::vector<Variant> items;
        items.reserve(texts.size());
        for (auto& t : texts) items.emplace_back(std::move(t));
        return Array(VarType::String, 0, std::move(items));
    }

    /// For an array this is the element type; see IsArray().
    VarType Type() const noexcept { return type_; }
    /// True for an array.
    bool IsArray() const noexcept { return isArray_; }
    /// The numeric type code: the VarType, plus kArrayFlag for an array.
    uint16_t VarTypeCode() const noexcept {
        return static_cast<uint16_t>(static_cast<uint16_t>(type_) + (isArray_ ? kArrayFlag : 0));
    }
    /// True for the empty value (not an array).
    bool IsEmpty() const noexcept { return !isArray_ && type_ == VarType::Empty; }
    /// True for the missing-argument marker, Missing().
    bool IsMissing() const noexcept {
        return !isArray_ && type_ == VarType::Error && std::get<int32_t>(scalar_) == kParamNotFound;
    }

    ///@{
    /// The scalar held, for a value of that type.
    int16_t AsInteger() const { return std::get<int16_t>(scalar_); }
    int32_t AsLong() const { return std::get<int32_t>(scalar_); }
    float AsSingle() const { return std::get<float>(scalar_); }
    double AsDouble() const { return std::get<double>(scalar_); }
    int64_t AsCurrencyScaled() const { return std::get<int64_t>(scalar_); }
    double AsDateSerial() const { return std::get<double>(scalar_); }
    int32_t AsErrorCode() const { return std::get<int32_t>(scalar_); }
    bool AsBoolean() const { return std::get<bool>(scalar_); }
    uint8_t AsByte() const { return std::get<uint8_t>(scalar_); }
    const std::string& AsString() const { return std::get<std::string>(scalar_); }
    ///@}

    /// An array's lower bound.
    int32_t LBound() const noexcept { return lbound_; }
    /// An array's upper bound: LBound() - 1 for an array without elements.
    int32_t UBound() const noexcept {
        return static_cast<int32_t>(static_cast<int64_t>(lbound_) +
                                    static_cast<int64_t>(items_.size()) - 1);
    }
    ///@{
    /// An array's elements, from the lower bound on.
    const std::vector<Variant>& Elements() const noexcept { return items_; }
    std::vector<Variant>& Elements() noexcept { return items_; }
    ///@}
    /// Element by its index within the bounds; error 9 raised by `origin` outside them.
    const Variant& At(int32_t index, std::string_view origin = "Qfstore") const {
        const int64_t offset = static_cast<int64_t>(index) - lbound_;
        if (!isArray_ || offset < 0 || offset >= static_cast<int64_t>(items_.size()))
            throw Error::Runtime(kErrSubscript, std::string(origin));
        return items_[static_cast<size_t>(offset)];
    }

    /// True when type, array-ness, value, bounds and elements are all equal.
    friend bool operator==(const Variant& a, const Variant& b) {
        return a.type_ == b.type_ && a.isArray_ == b.isArray_ && a.scalar_ == b.scalar_ &&
               a.lbound_ == b.lbound_ && a.items_ == b.items_;
    }

  private:
    using Scalar = std::variant<std::monostate, int16_t, int32_t, float, double, int64_t,
                                std::string, bool, uint8_t>;
    Variant(VarType t, Scalar s) : type_(t), scalar_(std::move(s)) {}

    VarType type_ = VarType::Empty;
    bool isArray_ = false;
    Scalar scalar_;
    int32_t lbound_ = 0;
    std::vector<Variant> items_;
};

/// The run-time type name: "Empty", "Long", "String", and "String()", "Variant()" for arrays.
inline std::string TypeName(const Variant& v) {
    std::string name;
    switch (v.Type()) {
        case VarType::Empty:
            name = "Empty";
            break;
        case VarType::Null:
            name = "Null";
            break;
        case VarType::Integer:
            name = "Integer";
            break;
        case VarType::Long:
            name = "Long";
            break;
        case VarType::Single:
            name = "Single";
            break;
        case VarType::Double:
            name = "Double";
            break;
        case VarType::Currency:
            name = "Currency";
            break;
        case VarType::Date:
            name = "Date";
            break;
        case VarType::String:
            name = "String";
            break;
        case VarType::Error:
            name = "Error";
            break;
        case VarType::Boolean:
            name = "Boolean";
            break;
        case VarType::Variant:
            name = "Variant";
            break;
        case VarType::Byte:
            name = "Byte";
            break;
    }
    if (v.IsArray())
        name += "()";
    return name;
}

}  // namespace qfstore

#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace script {

// The variant kinds an expression can produce. Nothing is the empty object reference: it can
// be named and returned but not used as a number. Byte, Single, Currency and Date come only from
// the conversion and date functions and from date literals; Array only from Split, Filter and
// Array.
enum class Kind : std::uint8_t {
    Empty,
    Null,
    Boolean,
    Integer,
    Long,
    Double,
    String,
    Nothing,
    Byte,
    Single,
    Currency,
    Date,
    Array,
};

// A variant value. Every numeric kind (Empty, Boolean, Byte, Integer, Long, Single, Double,
// Currency, Date) keeps its value as a double in m_number, so mixed arithmetic reads operands
// without unpacking by kind; Boolean, Byte, Integer and Long keep it as an int32 as well. A
// Single holds a float's value, a Currency a value with at most four decimals, a Date the day
// count from 1899-12-30 with the time of day as its fraction. m_text is meaningful for String and
// Array only (an Array of strings holds its elements there, see builtins_string.cpp, and its
// element count in m_integer) and is left alone otherwise, so a stack slot that once held a
// string keeps its buffer for reuse.
class Value {
public:
    Value() = default;
    Value(const Value& other)
        : m_kind(other.m_kind), m_integer(other.m_integer), m_number(other.m_number) {
        if (HasText(m_kind)) {
            m_text = other.m_text;
        }
    }
    Value(Value&& other) noexcept
        : m_kind(other.m_kind), m_integer(other.m_integer), m_number(other.m_number),
          m_text(std::move(other.m_text)) {}
    Value& operator=(const Value& other) {
        m_kind = other.m_kind;
        m_integer = other.m_integer;
        m_number = other.m_number;
        if (HasText(m_kind)) {
            m_text = other.m_text;
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept {
        m_kind = other.m_kind;
        m_integer = other.m_integer;
        m_number = other.m_number;
        if (HasText(m_kind)) {
            m_text.swap(other.m_text);
        }
        return *this;
    }
    ~Value() = default;

    static Value MakeEmpty() { return Value(); }
    static Value MakeNull() { return Value(Kind::Null, 0, 0.0); }
    static Value MakeNothing() { return Value(Kind::Nothing, 0, 0.0); }
    static Value MakeBoolean(bool value) {
        return Value(Kind::Boolean, value ? -1 : 0, value ? -1.0 : 0.0);
    }
    // value must lie in [-32768, 32767].
    static Value MakeInteger(std::int32_t value) {
        return Value(Kind::Integer, value, static_cast<double>(value));
    }
    static Value MakeLong(std::int32_t value) {
        return Value(Kind::Long, value, static_cast<double>(value));
    }
    static Value MakeDouble(double value) { return Value(Kind::Double, 0, value); }
    // value must lie in [0, 255].
    static Value MakeByte(std::int32_t value) {
        return Value(Kind::Byte, value, static_cast<double>(value));
    }
    static Value MakeSingle(float value) {
        return Value(Kind::Single, 0, static_cast<double>(value));
    }
    // value must be a whole number of ten-thousandths within the Currency range.
    static Value MakeCurrency(double value) { return Value(Kind::Currency, 0, value); }
    static Value MakeDate(double value) { return Value(Kind::Date, 0, value); }
    static Value MakeString(std::string text) {
        Value result(Kind::String, 0, 0.0);
        result.m_text = std::move(text);
        return result;
    }

    Kind GetKind() const { return m_kind; }
    bool Is(Kind kind) const { return m_kind == kind; }
    // The value of a numeric kind (Empty, Boolean, Byte, Integer, Long, Single, Double, Currency,
    // Date); 0 for the others.
    double Number() const { return m_number; }
    // The value of Boolean, Byte, Integer and Long; 0 for Empty; the element count of an Array;
    // unspecified for the others.
    std::int32_t Integer() const { return m_integer; }
    // The text of a String; unspecified for the others.
    const std::string& Text() const { return m_text; }

    // In-place setters used by the evaluation loop, which reuses its stack slots.
    void SetEmpty() { Set(Kind::Empty, 0, 0.0); }
    void SetNull() { Set(Kind::Null, 0, 0.0); }
    void SetNothing() { Set(Kind::Nothing, 0, 0.0); }
    void SetBoolean(bool value) { Set(Kind::Boolean, value ? -1 : 0, value ? -1.0 : 0.0); }
    void SetInteger(std::int32_t value) { Set(Kind::Integer, value, static_cast<double>(value)); }
    void SetLong(std::int32_t value) { Set(Kind::Long, value, static_cast<double>(value)); }
    void SetDouble(double value) {
        m_kind = Kind::Double;
        m_number = value;
    }
    void SetString(std::string text) {
        m_kind = Kind::String;
        m_text = std::move(text);
    }
    void SetByte(std::int32_t value) { Set(Kind::Byte, value, static_cast<double>(value)); }
    void SetSingle(float value) { Set(Kind::Single, 0, static_cast<double>(value)); }
    void SetCurrency(double value) { Set(Kind::Currency, 0, value); }
    void SetDate(double value) { Set(Kind::Date, 0, value); }
    void SetArray(std::string elements, std::int32_t count) {
        Set(Kind::Array, count, 0.0);
        m_text = std::move(elements);
    }
    std::string& MutableText() { return m_text; }

private:
    static bool HasText(Kind kind) { return kind == Kind::String || kind == Kind::Array; }
    Value(Kind kind, std::int32_t integer, double number)
        : m_kind(kind), m_integer(integer), m_number(number) {}
    void Set(Kind kind, std::int32_t integer, double number) {
        m_kind = kind;
        m_integer = integer;
        m_number = number;
    }

    Kind m_kind = Kind::Empty;
    std::int32_t m_integer = 0;
    double m_number = 0.0;
    std::string m_text;
};

// True for the kinds that take part in arithmetic as plain numbers without conversion: the
// plain-double code works on exactly these.
inline bool IsNumericKind(Kind kind) {
    return kind == Kind::Empty || kind == Kind::Boolean || kind == Kind::Integer ||
           kind == Kind::Long || kind == Kind::Double;
}

} // namespace script

#include "script/variants.h"

#include "script/arithmetic.h"
#include "script/number_text.h"
#include "script/textparse.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace script {

namespace {

// How precisely a kind holds a number, for the result of an operator: the more precise operand
// decides. Empty takes the other operand's kind.
enum class Precision : std::uint8_t { Empty, Byte, Integer, Long, Single, Double, Currency };

Precision PrecisionOf(Kind kind) {
    switch (kind) {
    case Kind::Empty:
        return Precision::Empty;
    case Kind::Byte:
        return Precision::Byte;
    case Kind::Boolean:
    case Kind::Integer:
        return Precision::Integer;
    case Kind::Long:
        return Precision::Long;
    case Kind::Single:
        return Precision::Single;
    case Kind::Currency:
        return Precision::Currency;
    default:
        return Precision::Double; // Double, Date, and numeric text
    }
}

// Stores an exact whole number in the narrowest kind from precision up that holds it.
void StoreWhole(Value& target, std::int64_t value, Precision precision) {
    if (precision <= Precision::Byte && value >= 0 && value <= 255) {
        target.SetByte(static_cast<std::int32_t>(value));
    } else if (precision <= Precision::Integer && value >= -32768 && value <= 32767) {
        target.SetInteger(static_cast<std::int32_t>(value));
    } else if (value >= std::numeric_limits<std::int32_t>::min() &&
               value <= std::numeric_limits<std::int32_t>::max()) {
        target.SetLong(static_cast<std::int32_t>(value));
    } else {
        target.SetDouble(static_cast<double>(value));
    }
}

std::string TwoDigits(int value) {
    std::string text;
    if (value < 10) {
        text.push_back('0');
    }
    text.append(std::to_string(value));
    return text;
}

} // namespace

ErrorCode StoreCurrency(Value& target, double value) {
    if (!std::isfinite(value)) {
        return ErrorCode::Overflow;
    }
    const double rounded = RoundHalfEven(value * 10000.0) / 10000.0;
    if (!(std::fabs(rounded) <= CurrencyLimit)) {
        return ErrorCode::Overflow;
    }
    target.SetCurrency(rounded == 0.0 ? 0.0 : rounded);
    return ErrorCode::None;
}

ErrorCode StoreSingle(Value& target, double value) {
    if (std::isnan(value)) {
        return ErrorCode::InvalidProcedureCall;
    }
    const float narrowed = static_cast<float>(value);
    if (std::isinf(narrowed)) {
        return ErrorCode::Overflow;
    }
    target.SetSingle(narrowed);
    return ErrorCode::None;
}

bool DateInRange(double serial) {
    return serial > FirstDate - 1.0 && serial < LastDate + 1.0;
}

ErrorCode StoreDate(Value& target, double serial) {
    if (!DateInRange(serial)) {
        return ErrorCode::Overflow;
    }
    target.SetDate(serial);
    return ErrorCode::None;
}

ErrorCode ExtendedArithmetic(Op op, Value& left, const Value& right, double x, double y) {
    const bool leftDate = left.Is(Kind::Date);
    const bool rightDate = right.Is(Kind::Date);
    if (op != Op::Multiply && (leftDate || rightDate)) {
        const double result = op == Op::Add ? x + y : x - y;
        if (op == Op::Subtract && leftDate && rightDate) {
            return StoreDouble(left, result);
        }
        if (!std::isfinite(result)) {
            return ErrorCode::Overflow;
        }
        // A date pushed out of the calendar is still a number.
        if (DateInRange(result)) {
            left.SetDate(result);
        } else {
            left.SetDouble(result);
        }
        return ErrorCode::None;
    }
    const Precision a = PrecisionOf(left.GetKind());
    const Precision b = PrecisionOf(right.GetKind());
    Precision precision = std::max(a, b);
    if (precision == Precision::Single && (a == Precision::Long || b == Precision::Long ||
                                           left.Is(Kind::String) || right.Is(Kind::String))) {
        precision = Precision::Double;
    }
    const double result = op == Op::Add ? x + y : op == Op::Subtract ? x - y : x * y;
    switch (precision) {
    case Precision::Empty:
    case Precision::Byte:
    case Precision::Integer:
    case Precision::Long:
        // Whole operands of at most 32 bits: the double result is exact.
        StoreWhole(left, static_cast<std::int64_t>(result), precision);
        return ErrorCode::None;
    case Precision::Single:
        if (std::isfinite(result) && std::isinf(static_cast<float>(result))) {
            return StoreDouble(left, result);
        }
        return StoreSingle(left, result);
    case Precision::Currency:
        return StoreCurrency(left, result);
    case Precision::Double:
        break;
    }
    return StoreDouble(left, result);
}

bool SingleQuotient(Kind left, Kind right) {
    const Precision a = PrecisionOf(left);
    const Precision b = PrecisionOf(right);
    return (a == Precision::Single || b == Precision::Single) && a <= Precision::Single &&
           b <= Precision::Single && a != Precision::Long && b != Precision::Long;
}

ErrorCode ExtendedNegate(Value& operand) {
    switch (operand.GetKind()) {
    case Kind::Byte:
        operand.SetInteger(-operand.Integer());
        return ErrorCode::None;
    case Kind::Single:
        operand.SetSingle(static_cast<float>(-operand.Number()));
        return ErrorCode::None;
    case Kind::Currency:
        operand.SetCurrency(-operand.Number());
        return ErrorCode::None;
    default: // Date
        return StoreDate(operand, -operand.Number());
    }
}

std::string ShortDateText(double serial) {
    const CivilDate date = DateOfSerial(serial);
    return std::to_string(date.year) + "/" + TwoDigits(date.month) + "/" + TwoDigits(date.day);
}

std::string LongDateText(double serial) {
    const CivilDate date = DateOfSerial(serial);
    // "年" = year, "月" = month, "日" = day
    return std::to_string(date.year) + "\xe5\xb9\xb4" + std::to_string(date.month) +
           "\xe6\x9c\x88" + std::to_string(date.day) + "\xe6\x97\xa5";
}

std::string LongTimeText(double serial) {
    const TimeOfDay time = TimeOfSerial(serial);
    return std::to_string(time.hour) + ":" + TwoDigits(time.minute) + ":" + TwoDigits(time.second);
}

std::string ShortTimeText(double serial) {
    const TimeOfDay time = TimeOfSerial(serial);
    return TwoDigits(time.hour) + ":" + TwoDigits(time.minute);
}

std::string GeneralDateText(double serial) {
    const bool hasDay = DayPart(serial) != 0.0;
    const TimeOfDay time = TimeOfSerial(serial);
    const bool hasTime = time.hour != 0 || time.minute != 0 || time.second != 0;
    if (hasDay && hasTime) {
        return ShortDateText(serial) + " " + LongTimeText(serial);
    }
    return hasDay ? ShortDateText(serial) : LongTimeText(serial);
}

std::string ExtendedText(const Value& value) {
    switch (value.GetKind()) {
    case Kind::Byte:
        return std::to_string(value.Integer());
    case Kind::Single:
        return FormatSignificant(value.Number(), 7); // a Single is always finite
    case Kind::Currency: {
        std::string text = CharsOf(value.Number(), std::chars_format::fixed, 4);
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
        return text == "-0" ? "0" : text;
    }
    case Kind::Date:
        return GeneralDateText(value.Number());
    default:
        break;
    }
    return {};
}

} // namespace script

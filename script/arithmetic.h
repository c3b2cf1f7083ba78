#pragma once

// Helpers shared by the code that computes on values: the general operators and functions, the
// evaluation loop and the numeric code.

#include "script/scriptresult.h"
#include "script/value.h"

#include <cmath>

namespace script {

// Sets of kinds as bit masks, so that one test covers both operands or several kinds.
constexpr unsigned KindBit(Kind kind) {
    return 1u << static_cast<unsigned>(kind);
}
// Integer, Long and Double.
inline constexpr unsigned NumberKindBits =
    KindBit(Kind::Integer) | KindBit(Kind::Long) | KindBit(Kind::Double);
// The kinds of IsNumericKind.
inline constexpr unsigned NumericKindBits =
    NumberKindBits | KindBit(Kind::Empty) | KindBit(Kind::Boolean);
// Byte, Single, Currency and Date, whose arithmetic variants.h handles.
inline constexpr unsigned ExtendedKindBits =
    KindBit(Kind::Byte) | KindBit(Kind::Single) | KindBit(Kind::Currency) | KindBit(Kind::Date);

// Stores a result computed on doubles. Where a computation leaves the doubles, the language
// reports an error: NaN as an invalid argument, an infinity as overflow.
inline ErrorCode StoreDouble(Value& target, double value) {
    if (std::isnan(value)) {
        return ErrorCode::InvalidProcedureCall;
    }
    if (std::isinf(value)) {
        return ErrorCode::Overflow;
    }
    target.SetDouble(value);
    return ErrorCode::None;
}

// Rounds half to even ("banker's rounding"), the rounding of every integer conversion here.
inline double RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5) {
        return lower + 1.0;
    }
    if (fraction < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

} // namespace script

#pragma once

// Helpers shared by the code that computes on values: the general operators and functions, the
// evaluation loop and the numeric code. The rules of arithmetic on doubles are written here once,
// so that the three give the same numbers and the same errors.

#include "script/builtins.h"
#include "script/scriptresult.h"
#include "script/value.h"

#include <cmath>
#include <limits>

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
    if (!std::isfinite(value)) [[unlikely]] {
        return std::isnan(value) ? ErrorCode::InvalidProcedureCall : ErrorCode::Overflow;
    }
    target.SetDouble(value);
    return ErrorCode::None;
}

// What x / y reports before it is worked out: a zero divisor is "Division by zero", except in
// 0 / 0, which is "Overflow".
inline ErrorCode DivisionError(double x, double y) {
    if (y != 0.0) [[likely]] {
        return ErrorCode::None;
    }
    return x == 0.0 ? ErrorCode::Overflow : ErrorCode::DivisionByZero;
}

// x ^ y. A square is one multiplication, what a compiler makes of pow(x, 2): exact up to the
// one rounding, and much faster. A negative base with an exponent that is not whole has no real
// power, and pow gives NaN for it (a domain error): StoreDouble reports an invalid argument.
inline double PowerOf(double x, double y) {
    return y == 2.0 ? x * x : std::pow(x, y);
}

// The real functions abs atn cos exp fix int log sgn sin sqr tan at x. Where a function has no
// value (log of 0 or less, sqr below 0) the result is NaN, where its value lies beyond the
// doubles (exp) an infinity, so that StoreDouble reports the error; NaN also for any other
// built-in. sgn gives -1, 0 or 1, which the language makes an Integer.
inline double RealFunctionOf(Builtin id, double x) {
    switch (id) {
    case Builtin::Abs:
        return std::fabs(x);
    case Builtin::Atn:
        return std::atan(x);
    case Builtin::Cos:
        return std::cos(x);
    case Builtin::Exp:
        return std::exp(x);
    case Builtin::Fix:
        return std::trunc(x);
    case Builtin::Int:
        return std::floor(x);
    case Builtin::Log:
        return x > 0.0 ? std::log(x) : std::numeric_limits<double>::quiet_NaN();
    case Builtin::Sgn:
        return static_cast<double>((x > 0.0) - (x < 0.0));
    case Builtin::Sin:
        return std::sin(x);
    case Builtin::Sqr:
        return std::sqrt(x); // NaN below 0; -0 stays -0
    case Builtin::Tan:
        return std::tan(x);
    default:
        break;
    }
    return std::numeric_limits<double>::quiet_NaN();
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

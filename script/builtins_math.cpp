// The numeric functions: abs atn cos exp fix int log rnd round sgn sin sqr tan hex oct rgb.

#include "script/arithmetic.h"
#include "script/builtins_impl.h"
#include "script/operations.h"
#include "script/variants.h"

#include <bit>
#include <cmath>
#include <limits>

namespace script {

namespace {

// The functions of a real argument: Null is an error for them, not a result.
ErrorCode RealFunction(Builtin id, Value& argument) {
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error != ErrorCode::None) {
        return error;
    }
    const double result = RealFunctionOf(id, x);
    if (id == Builtin::Sgn) {
        argument.SetInteger(static_cast<std::int32_t>(result));
        return ErrorCode::None;
    }
    return StoreDouble(argument, result);
}

// abs, fix and int keep an Integer an Integer and a Long a Long (widening only when the result
// does not fit), a Byte, Single or Currency its kind, int and fix a Date a Date, and give Null
// for Null.
ErrorCode KindKeepingFunction(Builtin id, Value& argument) {
    switch (argument.GetKind()) {
    case Kind::Null:
    case Kind::Byte:
        return ErrorCode::None;
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Integer:
    case Kind::Long: {
        const std::int64_t value = argument.Integer();
        const std::int64_t result = id == Builtin::Abs ? (value < 0 ? -value : value) : value;
        const bool wasLong = argument.Is(Kind::Long);
        if (!wasLong && result <= 32767) {
            argument.SetInteger(static_cast<std::int32_t>(result));
        } else if (result <= std::numeric_limits<std::int32_t>::max()) {
            argument.SetLong(static_cast<std::int32_t>(result));
        } else {
            argument.SetDouble(static_cast<double>(result));
        }
        return ErrorCode::None;
    }
    case Kind::Single:
        argument.SetSingle(static_cast<float>(RealFunctionOf(id, argument.Number())));
        return ErrorCode::None;
    case Kind::Currency:
        argument.SetCurrency(RealFunctionOf(id, argument.Number()));
        return ErrorCode::None;
    case Kind::Date:
        if (id != Builtin::Abs) {
            argument.SetDate(RealFunctionOf(id, argument.Number()));
            return ErrorCode::None;
        }
        break;
    default:
        break;
    }
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error != ErrorCode::None) {
        return error;
    }
    argument.SetDouble(RealFunctionOf(id, x));
    return ErrorCode::None;
}

ErrorCode RoundFunction(Value* arguments, int count) {
    Value& argument = arguments[0];
    int places = 0;
    if (count == 2) {
        std::int32_t rounded = 0;
        const ErrorCode error = WholeArgument(arguments[1], rounded);
        if (error != ErrorCode::None) {
            return error;
        }
        if (rounded < 0) {
            return ErrorCode::InvalidProcedureCall;
        }
        places = rounded;
    }
    switch (argument.GetKind()) {
    case Kind::Null:
    case Kind::Boolean: // a Boolean stays one
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
        return ErrorCode::None;
    case Kind::Empty:
        argument.SetInteger(argument.Integer());
        return ErrorCode::None;
    default:
        break;
    }
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error != ErrorCode::None) {
        return error;
    }
    double result = x;
    // Beyond 15 places a double has no digit left to round.
    if (places == 0) {
        result = RoundHalfEven(x);
    } else if (places <= 15) {
        const double scale = std::pow(10.0, places);
        const double scaled = x * scale;
        if (std::isfinite(scaled)) {
            result = RoundHalfEven(scaled) / scale;
        }
    }
    if (argument.Is(Kind::Single)) {
        argument.SetSingle(static_cast<float>(result));
    } else if (argument.Is(Kind::Currency)) {
        argument.SetCurrency(result);
    } else {
        argument.SetDouble(result);
    }
    return ErrorCode::None;
}

// hex and oct: a negative Integer shows its 16-bit pattern, any other negative number its
// 32-bit pattern.
ErrorCode RadixFunction(Builtin id, Value& argument) {
    std::int32_t value = 0;
    bool sixteenBits = false;
    switch (argument.GetKind()) {
    case Kind::Null:
        return ErrorCode::None;
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Integer:
    case Kind::Byte:
        value = argument.Integer();
        sixteenBits = true;
        break;
    default: {
        const ErrorCode error = WholeArgument(argument, value);
        if (error != ErrorCode::None) {
            return error;
        }
        break;
    }
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (sixteenBits) {
        bits &= 0xFFFFu;
    }
    const unsigned shift = id == Builtin::Hex ? 4u : 3u;
    const std::uint32_t mask = id == Builtin::Hex ? 0xFu : 0x7u;
    char digits[16];
    int length = 0;
    do {
        digits[length++] = "0123456789ABCDEF"[bits & mask];
        bits >>= shift;
    } while (bits != 0);
    std::string text(static_cast<std::size_t>(length), '0');
    for (int i = 0; i < length; ++i) {
        text[static_cast<std::size_t>(i)] = digits[length - 1 - i];
    }
    argument.SetString(std::move(text));
    return ErrorCode::None;
}

// The language's generator: a 24-bit linear congruential sequence whose numbers are Singles.
ErrorCode RndFunction(Value* arguments, int count, RandomState* random) {
    if (random == nullptr) {
        return ErrorCode::InvalidProcedureCall;
    }
    double x = 1.0;
    if (count == 1) {
        const ErrorCode error = ToDouble(arguments[0], x);
        if (error != ErrorCode::None) {
            return error;
        }
    }
    // A negative argument restarts the sequence at a point fixed by that number, zero repeats
    // the last number, anything else moves on.
    if (x < 0.0) {
        const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(x));
        random->seed = (bits + (bits >> 24)) & 0xFFFFFFu;
    }
    if (x != 0.0) {
        random->seed = (random->seed * 1140671485u + 12820163u) & 0xFFFFFFu;
    }
    arguments[0].SetSingle(static_cast<float>(random->seed) / 16777216.0f);
    return ErrorCode::None;
}

// r + 256 g + 65536 b; a part above 255 counts as 255.
ErrorCode RgbFunction(Value* arguments) {
    std::int32_t parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        const ErrorCode error = WholeArgument(arguments[i], parts[i]);
        if (error != ErrorCode::None) {
            return error;
        }
        if (parts[i] < 0) {
            return ErrorCode::InvalidProcedureCall;
        }
        parts[i] = std::min(parts[i], 255);
    }
    arguments[0].SetLong(parts[0] + 256 * parts[1] + 65536 * parts[2]);
    return ErrorCode::None;
}

} // namespace

ErrorCode CallMath(Builtin id, Value* arguments, int count, RandomState* random) {
    switch (id) {
    case Builtin::Abs:
    case Builtin::Fix:
    case Builtin::Int:
        return KindKeepingFunction(id, arguments[0]);
    case Builtin::Round:
        return RoundFunction(arguments, count);
    case Builtin::Hex:
    case Builtin::Oct:
        return RadixFunction(id, arguments[0]);
    case Builtin::Rnd:
        return RndFunction(arguments, count, random);
    case Builtin::RGB:
        return RgbFunction(arguments);
    default:
        return RealFunction(id, arguments[0]);
    }
}

} // namespace script

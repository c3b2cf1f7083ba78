#include "platform/script/builtins.h"

#include "platform/script/arithmetic.h"
#include "platform/script/lexer.h"
#include "platform/script/operations.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace script {

namespace {

constexpr std::array<std::pair<std::string_view, BuiltinInfo>, 27> Table{{
    {"abs", {Builtin::Abs, 1, 1, true}},
    {"atn", {Builtin::Atn, 1, 1, true}},
    {"cbool", {Builtin::CBool, 1, 1, true}},
    {"cbyte", {Builtin::CByte, 1, 1, true}},
    {"cdbl", {Builtin::CDbl, 1, 1, true}},
    {"cint", {Builtin::CInt, 1, 1, true}},
    {"clng", {Builtin::CLng, 1, 1, true}},
    {"cos", {Builtin::Cos, 1, 1, true}},
    {"csng", {Builtin::CSng, 1, 1, true}},
    {"cstr", {Builtin::CStr, 1, 1, true}},
    {"exp", {Builtin::Exp, 1, 1, true}},
    {"fix", {Builtin::Fix, 1, 1, true}},
    {"hex", {Builtin::Hex, 1, 1, true}},
    {"int", {Builtin::Int, 1, 1, true}},
    {"isempty", {Builtin::IsEmpty, 1, 1, true}},
    {"isnull", {Builtin::IsNull, 1, 1, true}},
    {"isnumeric", {Builtin::IsNumeric, 1, 1, true}},
    {"len", {Builtin::Len, 1, 1, true}},
    {"log", {Builtin::Log, 1, 1, true}},
    {"oct", {Builtin::Oct, 1, 1, true}},
    {"rnd", {Builtin::Rnd, 0, 1, false}},
    {"round", {Builtin::Round, 1, 2, true}},
    {"sgn", {Builtin::Sgn, 1, 1, true}},
    {"sin", {Builtin::Sin, 1, 1, true}},
    {"sqr", {Builtin::Sqr, 1, 1, true}},
    {"tan", {Builtin::Tan, 1, 1, true}},
    {"vartype", {Builtin::VarType, 1, 1, true}},
}};

// The functions of a real argument: Null is an error for them, not a result.
ErrorCode RealFunction(Builtin id, Value& argument) {
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error != ErrorCode::None) {
        return error;
    }
    switch (id) {
    case Builtin::Atn:
        return StoreDouble(argument, std::atan(x));
    case Builtin::Cos:
        return StoreDouble(argument, std::cos(x));
    case Builtin::Sin:
        return StoreDouble(argument, std::sin(x));
    case Builtin::Tan:
        return StoreDouble(argument, std::tan(x));
    case Builtin::Exp:
        return StoreDouble(argument, std::exp(x));
    case Builtin::Log:
        if (x <= 0.0) {
            return ErrorCode::InvalidProcedureCall;
        }
        return StoreDouble(argument, std::log(x));
    case Builtin::Sqr:
        if (x < 0.0) {
            return ErrorCode::InvalidProcedureCall;
        }
        return StoreDouble(argument, std::sqrt(x));
    case Builtin::Sgn:
        argument.SetInteger((x > 0.0) - (x < 0.0));
        return ErrorCode::None;
    case Builtin::CDbl:
        argument.SetDouble(x);
        return ErrorCode::None;
    case Builtin::CSng: {
        if (std::fabs(x) > static_cast<double>(std::numeric_limits<float>::max())) {
            // Values just above the largest float still round down to it.
            const float narrowed = static_cast<float>(x);
            if (std::isinf(narrowed)) {
                return ErrorCode::Overflow;
            }
        }
        argument.SetDouble(static_cast<double>(static_cast<float>(x)));
        return ErrorCode::None;
    }
    case Builtin::CInt: {
        const double rounded = RoundHalfEven(x);
        if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
            return ErrorCode::Overflow;
        }
        argument.SetInteger(static_cast<std::int32_t>(rounded));
        return ErrorCode::None;
    }
    case Builtin::CByte: {
        // There is no Byte kind here; the value is kept as an Integer.
        const double rounded = RoundHalfEven(x);
        if (!(rounded >= 0.0 && rounded <= 255.0)) {
            return ErrorCode::Overflow;
        }
        argument.SetInteger(static_cast<std::int32_t>(rounded));
        return ErrorCode::None;
    }
    case Builtin::CLng: {
        std::int32_t rounded = 0;
        const ErrorCode roundError = RoundToLong(x, rounded);
        if (roundError == ErrorCode::None) {
            argument.SetLong(rounded);
        }
        return roundError;
    }
    default:
        break;
    }
    return ErrorCode::InvalidProcedureCall;
}

// abs, fix and int keep an Integer an Integer and a Long a Long (widening only when the result
// does not fit), and give Null for Null.
ErrorCode KindKeepingFunction(Builtin id, Value& argument) {
    if (argument.Is(Kind::Null)) {
        return ErrorCode::None;
    }
    switch (argument.GetKind()) {
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
    default:
        break;
    }
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error != ErrorCode::None) {
        return error;
    }
    switch (id) {
    case Builtin::Abs:
        argument.SetDouble(std::fabs(x));
        break;
    case Builtin::Fix:
        argument.SetDouble(std::trunc(x));
        break;
    default:
        argument.SetDouble(std::floor(x));
        break;
    }
    return ErrorCode::None;
}

ErrorCode RoundFunction(Value* arguments, int count) {
    Value& argument = arguments[0];
    int places = 0;
    if (count == 2) {
        if (arguments[1].Is(Kind::Null)) {
            return ErrorCode::InvalidUseOfNull;
        }
        double placesValue = 0.0;
        std::int32_t rounded = 0;
        ErrorCode error = ToDouble(arguments[1], placesValue);
        if (error == ErrorCode::None) {
            error = RoundToLong(placesValue, rounded);
        }
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
        return ErrorCode::None;
    case Kind::Empty:
    case Kind::Boolean:
        argument.SetInteger(argument.Integer());
        return ErrorCode::None;
    case Kind::Integer:
    case Kind::Long:
        return ErrorCode::None;
    default:
        break;
    }
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error != ErrorCode::None) {
        return error;
    }
    if (places == 0) {
        argument.SetDouble(RoundHalfEven(x));
        return ErrorCode::None;
    }
    // Beyond 15 places a double has no digit left to round.
    if (places > 15) {
        argument.SetDouble(x);
        return ErrorCode::None;
    }
    const double scale = std::pow(10.0, places);
    const double scaled = x * scale;
    if (!std::isfinite(scaled)) {
        argument.SetDouble(x);
        return ErrorCode::None;
    }
    argument.SetDouble(RoundHalfEven(scaled) / scale);
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
        value = argument.Integer();
        sixteenBits = true;
        break;
    case Kind::Long:
        value = argument.Integer();
        break;
    default: {
        double x = 0.0;
        ErrorCode error = ToDouble(argument, x);
        if (error == ErrorCode::None) {
            error = RoundToLong(x, value);
        }
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

ErrorCode CBoolFunction(Value& argument) {
    if (argument.Is(Kind::String)) {
        std::string lower = argument.Text();
        for (char& c : lower) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        if (lower == "true" || lower == "false") {
            argument.SetBoolean(lower == "true");
            return ErrorCode::None;
        }
    }
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error == ErrorCode::None) {
        argument.SetBoolean(x != 0.0);
    }
    return error;
}

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
    arguments[0].SetDouble(static_cast<double>(random->seed) / 16777216.0);
    return ErrorCode::None;
}

} // namespace

std::optional<BuiltinInfo> FindBuiltin(std::string_view name) {
    for (const auto& [entryName, info] : Table) {
        if (entryName == name) {
            return info;
        }
    }
    return std::nullopt;
}

std::string_view BuiltinName(Builtin id) {
    for (const auto& [name, info] : Table) {
        if (info.id == id) {
            return name;
        }
    }
    return {};
}

ErrorCode CallBuiltin(Builtin id, Value* arguments, int count, RandomState* random) {
    Value& argument = arguments[0];
    if (id == Builtin::Rnd) {
        return RndFunction(arguments, count, random);
    }
    const bool inspectsKind = id == Builtin::VarType || id == Builtin::IsEmpty ||
                              id == Builtin::IsNull || id == Builtin::IsNumeric;
    if (argument.Is(Kind::Nothing) && !inspectsKind) {
        return ErrorCode::ObjectVariableNotSet;
    }
    switch (id) {
    case Builtin::Abs:
    case Builtin::Fix:
    case Builtin::Int:
        return KindKeepingFunction(id, argument);
    case Builtin::Round:
        return RoundFunction(arguments, count);
    case Builtin::Hex:
    case Builtin::Oct:
        return RadixFunction(id, argument);
    case Builtin::CBool:
        return CBoolFunction(argument);
    case Builtin::CStr: {
        std::string text;
        const ErrorCode error = ToText(argument, text);
        if (error == ErrorCode::None) {
            argument.SetString(std::move(text));
        }
        return error;
    }
    case Builtin::Len: {
        if (argument.Is(Kind::Null)) {
            return ErrorCode::None;
        }
        std::string text;
        const ErrorCode error = ToText(argument, text);
        if (error == ErrorCode::None) {
            argument.SetLong(static_cast<std::int32_t>(text.size()));
        }
        return error;
    }
    case Builtin::IsEmpty:
        argument.SetBoolean(argument.Is(Kind::Empty));
        return ErrorCode::None;
    case Builtin::IsNull:
        argument.SetBoolean(argument.Is(Kind::Null));
        return ErrorCode::None;
    case Builtin::IsNumeric: {
        double x = 0.0;
        const bool numeric = IsNumericKind(argument.GetKind()) ||
                             (argument.Is(Kind::String) && ParseNumericText(argument.Text(), x));
        argument.SetBoolean(numeric);
        return ErrorCode::None;
    }
    case Builtin::VarType: {
        // The numbers the language's vartype gives for these kinds.
        static constexpr std::array<std::int32_t, 8> codes{0, 1, 11, 2, 3, 5, 8, 9};
        argument.SetInteger(codes[static_cast<std::size_t>(argument.GetKind())]);
        return ErrorCode::None;
    }
    default:
        return RealFunction(id, argument);
    }
}

} // namespace script

#pragma once

#include "platform/script/scriptresult.h"
#include "platform/script/value.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace script {

enum class Builtin : std::uint8_t {
    Abs,
    Atn,
    CBool,
    CByte,
    CDbl,
    CInt,
    CLng,
    Cos,
    CSng,
    CStr,
    Exp,
    Fix,
    Hex,
    Int,
    IsEmpty,
    IsNull,
    IsNumeric,
    Len,
    Log,
    Oct,
    Rnd,
    Round,
    Sgn,
    Sin,
    Sqr,
    Tan,
    VarType,
};

struct BuiltinInfo {
    Builtin id;
    std::uint8_t minArguments;
    std::uint8_t maxArguments;
    // Same arguments, same result: such calls on constants are worked out when compiling.
    bool pure;
};

// The built-in function of that (lower-case) name.
std::optional<BuiltinInfo> FindBuiltin(std::string_view name);
// The (lower-case) name of a built-in function.
std::string_view BuiltinName(Builtin id);

// The generator behind rnd: the classic 24-bit linear congruential one, seeded the same way on
// every start so runs repeat.
struct RandomState {
    std::uint32_t seed = 0x50000;
};

// Calls a built-in. arguments[0] receives the result. random may be null for pure functions.
ErrorCode CallBuiltin(Builtin id, Value* arguments, int count, RandomState* random);

} // namespace script

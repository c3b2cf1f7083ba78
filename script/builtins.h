#pragma once

#include "script/scriptresult.h"
#include "script/value.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace script {

// Every function of the language whose only effect is its value. Grouped as their code is:
// builtins_math.cpp, builtins_convert.cpp, builtins_string.cpp, builtins_date.cpp,
// builtins_format.cpp.
enum class Builtin : std::uint8_t {
    // maths
    Abs,
    Atn,
    Cos,
    Exp,
    Fix,
    Int,
    Log,
    Rnd,
    Round,
    Sgn,
    Sin,
    Sqr,
    Tan,
    Hex,
    Oct,
    RGB,
    // conversion and inspection
    CBool,
    CByte,
    CCur,
    CDate,
    CDbl,
    CInt,
    CLng,
    CSng,
    CStr,
    IsArray,
    IsDate,
    IsEmpty,
    IsNull,
    IsNumeric,
    IsObject,
    TypeName,
    VarType,
    GetLocale,
    // the engine itself
    Eval,
    ScriptEngine,
    ScriptEngineBuildVersion,
    ScriptEngineMajorVersion,
    ScriptEngineMinorVersion,
    // strings
    Asc,
    AscW,
    Chr,
    ChrW,
    InStr,
    InStrRev,
    LCase,
    Left,
    Len,
    LTrim,
    Mid,
    Replace,
    Right,
    RTrim,
    Space,
    String,
    StrComp,
    StrReverse,
    Trim,
    UCase,
    Join,
    Split,
    Array,
    LBound,
    UBound,
    Filter,
    Escape,
    Unescape,
    // dates and times
    Date,
    DateAdd,
    DateDiff,
    DatePart,
    DateSerial,
    DateValue,
    Day,
    Hour,
    Minute,
    Month,
    MonthName,
    Now,
    Second,
    Time,
    Timer,
    TimeSerial,
    TimeValue,
    Weekday,
    WeekdayName,
    Year,
    // formatting
    FormatCurrency,
    FormatDateTime,
    FormatNumber,
    FormatPercent,
};

// The most arguments any built-in takes (Replace), but array, which takes up to
// MaxArrayArguments.
inline constexpr int MaxBuiltinArguments = 6;
inline constexpr int MaxArrayArguments = 254;

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

// What a user who calls the function name, which does not exist, probably meant: a built-in
// function (sqrt: sqr), an operator (pow: ^, with isOperator set), or nothing. Besides the names
// other languages use, a built-in whose name differs by a letter or two is suggested.
std::string_view SuggestBuiltin(std::string_view name, bool& isOperator);

// The generator behind rnd: the classic 24-bit linear congruential one, seeded the same way on
// every start so runs repeat.
struct RandomState {
    std::uint32_t seed = 0x50000;
};

// Calls a built-in. arguments[0] receives the result. random may be null for pure functions.
ErrorCode CallBuiltin(Builtin id, Value* arguments, int count, RandomState* random);

} // namespace script

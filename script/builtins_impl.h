#pragma once

// What the files of built-in functions share: one entry point per group, called by CallBuiltin,
// and the conversions of arguments that the language applies to every built-in alike (in
// builtins_arguments.cpp, below the groups).

#include "script/builtins.h"
#include "script/scriptresult.h"
#include "script/value.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace script {

// Each group: arguments[0] receives the result.
ErrorCode CallMath(Builtin id, Value* arguments, int count, RandomState* random);
ErrorCode CallConvert(Builtin id, Value* arguments, int count);
ErrorCode CallString(Builtin id, Value* arguments, int count);
ErrorCode CallDate(Builtin id, Value* arguments, int count);
ErrorCode CallFormat(Builtin id, Value* arguments, int count);

// A whole-number argument: Null is "Invalid use of Null", text must read as a number, and the
// value is rounded half to even into 32 bits (Overflow beyond).
ErrorCode WholeArgument(const Value& value, std::int32_t& result);
// A text argument: numbers and dates in their text form; Null is "Invalid use of Null".
ErrorCode TextArgument(const Value& value, std::string& result);
// A date argument: a Date as it is, a number as a day count, a text as a date text; Null is
// "Invalid use of Null", a number outside the calendar Overflow.
ErrorCode DateArgument(const Value& value, double& serial);
// A comparison argument: 0 (binary) or 1 (text); anything else is an invalid argument.
ErrorCode CompareArgument(const Value& value, bool& text);
// A Tristate argument (-2 use the default, -1 true, 0 false).
ErrorCode TristateArgument(const Value& value, bool defaultValue, bool& result);

// Text as UTF-16 code units, the language's characters, and back. Bytes that are no UTF-8 read
// as U+FFFD.
std::u16string ToUnits(std::string_view text);
std::string FromUnits(std::u16string_view units);
// Letter case of the letters whose case the language changes: ASCII, Latin-1 and the
// full-width Latin letters.
char16_t LowerUnit(char16_t unit);
char16_t UpperUnit(char16_t unit);

// The local date and time now, as a day count with the time as its fraction.
double LocalNow();

} // namespace script

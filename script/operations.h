#pragma once

#include "script/program.h"
#include "script/scriptresult.h"
#include "script/value.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace script {

// Longest string an expression may build; beyond it is "Out of string space". It keeps a
// repeated "s = s & s" from eating the machine's memory.
inline constexpr std::size_t MaxStringLength = 65536;

// Rounds to a 32-bit integer; Overflow outside [-2147483648.5, 2147483647.5).
ErrorCode RoundToLong(double value, std::int32_t& result);

// The number a value stands for in arithmetic: Empty 0, numeric text its number.
ErrorCode ToDouble(const Value& value, double& result);
// The text a value stands for in string operations: Empty "", Boolean "True"/"False", numbers
// in the general number form. Null has no text (InvalidUseOfNull).
ErrorCode ToText(const Value& value, std::string& result);

// Operators. The result replaces the left operand, as on the evaluation stack.
ErrorCode ApplyUnary(Op op, Value& operand);
ErrorCode ApplyBinary(Op op, Value& left, const Value& right);

} // namespace script

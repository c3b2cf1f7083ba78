#pragma once

#include "platform/script/program.h"
#include "platform/script/scriptresult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace script {

// Deepest nesting of brackets and argument lists, and the longest text, an expression may have.
// Both keep a hostile text from exhausting the stack or the memory.
inline constexpr int MaxNestingDepth = 1000;
inline constexpr std::size_t MaxTextLength = 64 * 1024;

// Variable slots by lower-case name. A name missing here compiles as Empty: the evaluator
// throws its compiled programs away whenever a new variable appears.
using VariableSlots = std::unordered_map<std::string, std::int32_t>;

// Compiles an expression into program. The empty text is the expression Empty.
bool CompileExpression(std::string_view text, const VariableSlots& variables, Program& program,
                       ScriptError& error);

// Compiles "name = expression": name receives the lower-case variable name, program the
// expression.
bool CompileAssignment(std::string_view text, const VariableSlots& variables, std::string& name,
                       Program& program, ScriptError& error);

} // namespace script

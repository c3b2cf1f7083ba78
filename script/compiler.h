#pragma once

#include "script/program.h"
#include "script/scriptresult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace script {

// Deepest nesting of brackets and argument lists, and the longest text, an expression may have;
// deeper is "Expression too complex". The compiler keeps its nesting on the heap, not on the
// thread's stack, so the bound is about what is sensible to write, and keeps a hostile text from
// taking more memory than its length suggests.
inline constexpr int MaxNestingDepth = 10000;
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

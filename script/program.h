#pragma once

#include "script/scriptresult.h"
#include "script/value.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace script {

enum class Op : std::uint8_t {
    PushConstant, // operand: index into constants
    LoadVariable, // operand: variable slot
    Negate,
    Not,
    Add,
    Subtract,
    Multiply,
    Divide,
    IntegerDivide,
    Mod,
    Power,
    Concatenate,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
    // The operators from Add to Imp take their right operand from the stack, or with count 1
    // from constants[operand].
    Call,  // operand: built-in function id; count: number of arguments
    Raise, // operand: index into unknownCalls; count: number of arguments already pushed
    Return,
};

struct Instruction {
    Op op = Op::Return;
    std::uint8_t count = 0;
    std::int32_t operand = 0;
    // Byte offset of the token this instruction came from, for error reports.
    std::uint32_t position = 0;
};

// The same program for plain doubles, for expressions made only of numbers, variables,
// arithmetic, comparisons and the real functions (see numeric.h). Stack operands come from the
// value stack; Constant and Variable operands are read by the instruction itself, which saves a
// push and a dispatch; the Constant... and Variable... forms of - / ^ take that operand on the
// left.
enum class NumericOp : std::uint8_t {
    Constant,
    Variable,
    Negate,
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    AddConstant,
    SubtractConstant,
    MultiplyConstant,
    DivideConstant,
    PowerConstant,
    EqualConstant,
    NotEqualConstant,
    LessConstant,
    GreaterConstant,
    LessEqualConstant,
    GreaterEqualConstant,
    AddVariable,
    SubtractVariable,
    MultiplyVariable,
    DivideVariable,
    PowerVariable,
    EqualVariable,
    NotEqualVariable,
    LessVariable,
    GreaterVariable,
    LessEqualVariable,
    GreaterEqualVariable,
    ConstantSubtract,
    ConstantDivide,
    ConstantPower,
    VariableSubtract,
    VariableDivide,
    VariablePower,
    Square,
    Abs,
    Atn,
    Cos,
    Exp,
    Fix,
    Int,
    Log,
    Sgn,
    Sin,
    Sqr,
    Tan,
    Return,
};

struct NumericInstruction {
    NumericOp op = NumericOp::Return;
    std::int32_t slot = 0; // the variable of the Variable forms
    double constant = 0.0; // the number of the Constant forms
};

// A compiled expression: postfix code over a value stack, ending in Return with the result as
// the only value left.
struct Program {
    std::vector<Instruction> code;
    std::vector<Value> constants;
    // The variable names the expression reads (lower case, each once, in order of first use),
    // whether they had a slot when it was compiled or not.
    std::vector<std::string> variables;
    // The calls of functions that do not exist, which Raise reports: the name called and which
    // function was probably meant.
    std::vector<ScriptHint> unknownCalls;
    std::size_t stackSize = 0;
    // Empty when the expression needs the general code.
    std::vector<NumericInstruction> numeric;
    std::size_t numericStackSize = 0;
};

} // namespace script

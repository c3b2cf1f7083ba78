#pragma once

#include "platform/script/value.h"

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
    Raise, // operand: index into messages; count: number of arguments already pushed
    Return,
};

struct Instruction {
    Op op = Op::Return;
    std::uint8_t count = 0;
    std::int32_t operand = 0;
    // Byte offset of the token this instruction came from, for error reports.
    std::uint32_t position = 0;
};

// A compiled expression: postfix code over a value stack, ending in Return with the result as
// the only value left.
struct Program {
    std::vector<Instruction> code;
    std::vector<Value> constants;
    std::vector<std::string> messages;
    std::size_t stackSize = 0;
};

} // namespace script

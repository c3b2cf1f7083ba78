#include "script/numeric.h"

#include "script/arithmetic.h"
#include "script/builtins.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace script {

namespace {

// An operand on the compile-time stack. Constants and variables stay pending until an
// instruction needs them on the run-time stack, so that a binary operator can read one of its
// operands itself.
struct Operand {
    enum class Form : std::uint8_t { Stacked, Constant, Variable };
    Form form = Form::Stacked;
    double constant = 0.0;
    std::int32_t slot = 0;
};

struct BinaryForms {
    NumericOp stacked;
    NumericOp rightConstant;
    NumericOp rightVariable;
    // For an operand on the left: the form that reads it, with left and right swapped where the
    // operator allows it.
    NumericOp leftConstant;
    NumericOp leftVariable;
};

std::optional<BinaryForms> FormsOf(Op op) {
    using N = NumericOp;
    switch (op) {
    case Op::Add:
        return BinaryForms{N::Add, N::AddConstant, N::AddVariable, N::AddConstant, N::AddVariable};
    case Op::Subtract:
        return BinaryForms{N::Subtract, N::SubtractConstant, N::SubtractVariable,
                           N::ConstantSubtract, N::VariableSubtract};
    case Op::Multiply:
        return BinaryForms{N::Multiply, N::MultiplyConstant, N::MultiplyVariable,
                           N::MultiplyConstant, N::MultiplyVariable};
    case Op::Divide:
        return BinaryForms{N::Divide, N::DivideConstant, N::DivideVariable, N::ConstantDivide,
                           N::VariableDivide};
    case Op::Power:
        return BinaryForms{N::Power, N::PowerConstant, N::PowerVariable, N::ConstantPower,
                           N::VariablePower};
    case Op::Equal:
        return BinaryForms{N::Equal, N::EqualConstant, N::EqualVariable, N::EqualConstant,
                           N::EqualVariable};
    case Op::NotEqual:
        return BinaryForms{N::NotEqual, N::NotEqualConstant, N::NotEqualVariable,
                           N::NotEqualConstant, N::NotEqualVariable};
    case Op::Less:
        return BinaryForms{N::Less, N::LessConstant, N::LessVariable, N::GreaterConstant,
                           N::GreaterVariable};
    case Op::Greater:
        return BinaryForms{N::Greater, N::GreaterConstant, N::GreaterVariable, N::LessConstant,
                           N::LessVariable};
    case Op::LessEqual:
        return BinaryForms{N::LessEqual, N::LessEqualConstant, N::LessEqualVariable,
                           N::GreaterEqualConstant, N::GreaterEqualVariable};
    case Op::GreaterEqual:
        return BinaryForms{N::GreaterEqual, N::GreaterEqualConstant, N::GreaterEqualVariable,
                           N::LessEqualConstant, N::LessEqualVariable};
    default:
        break;
    }
    return std::nullopt;
}

std::optional<NumericOp> FunctionOf(Builtin id) {
    switch (id) {
    case Builtin::Abs:
        return NumericOp::Abs;
    case Builtin::Atn:
        return NumericOp::Atn;
    case Builtin::Cos:
        return NumericOp::Cos;
    case Builtin::Exp:
        return NumericOp::Exp;
    case Builtin::Fix:
        return NumericOp::Fix;
    case Builtin::Int:
        return NumericOp::Int;
    case Builtin::Log:
        return NumericOp::Log;
    case Builtin::Sgn:
        return NumericOp::Sgn;
    case Builtin::Sin:
        return NumericOp::Sin;
    case Builtin::Sqr:
        return NumericOp::Sqr;
    case Builtin::Tan:
        return NumericOp::Tan;
    default:
        break;
    }
    return std::nullopt;
}

// Only numbers take part; a non-finite one cannot come from the lexer or from folding, but
// would break the promise that every non-finite step means an error.
std::optional<Operand> ConstantOperand(const Value& value) {
    if (!IsNumericKind(value.GetKind()) || !std::isfinite(value.Number())) {
        return std::nullopt;
    }
    Operand operand;
    operand.form = Operand::Form::Constant;
    operand.constant = value.Number();
    return operand;
}

class Translator {
public:
    explicit Translator(const Program& program) : m_program(program) {}

    bool Translate();
    std::vector<NumericInstruction>& Code() { return m_code; }
    std::size_t StackSize() const { return m_maxDepth; }

private:
    void Emit(NumericOp op, const Operand& operand = {});
    void Materialize(Operand& operand);
    bool Binary(const Instruction& instruction);

    const Program& m_program;
    std::vector<Operand> m_operands;
    std::vector<NumericInstruction> m_code;
    std::size_t m_depth = 0;
    std::size_t m_maxDepth = 0;
};

void Translator::Emit(NumericOp op, const Operand& operand) {
    NumericInstruction instruction;
    instruction.op = op;
    instruction.constant = operand.constant;
    instruction.slot = operand.slot;
    m_code.push_back(instruction);
}

void Translator::Materialize(Operand& operand) {
    if (operand.form == Operand::Form::Stacked) {
        return;
    }
    Emit(operand.form == Operand::Form::Constant ? NumericOp::Constant : NumericOp::Variable,
         operand);
    operand.form = Operand::Form::Stacked;
    m_maxDepth = std::max(m_maxDepth, ++m_depth);
}

bool Translator::Binary(const Instruction& instruction) {
    const std::optional<BinaryForms> forms = FormsOf(instruction.op);
    if (!forms) {
        return false;
    }
    Operand right;
    if (instruction.count != 0) {
        const std::optional<Operand> constant =
            ConstantOperand(m_program.constants[static_cast<std::size_t>(instruction.operand)]);
        if (!constant) {
            return false;
        }
        right = *constant;
    } else {
        if (m_operands.size() < 2) {
            return false;
        }
        right = m_operands.back();
        m_operands.pop_back();
    }
    if (m_operands.empty()) {
        return false;
    }
    Operand& left = m_operands.back();
    // A pending right operand is not on the run-time stack, so the left one may still be pushed;
    // a pending left one under a stacked right one can only be read by a swapped form.
    if (right.form != Operand::Form::Stacked) {
        Materialize(left);
        const bool constant = right.form == Operand::Form::Constant;
        NumericOp op = constant ? forms->rightConstant : forms->rightVariable;
        if (op == NumericOp::PowerConstant && right.constant == 2.0) {
            op = NumericOp::Square; // the general code squares by one multiplication too
        }
        Emit(op, right);
    } else if (left.form != Operand::Form::Stacked) {
        const bool constant = left.form == Operand::Form::Constant;
        Emit(constant ? forms->leftConstant : forms->leftVariable, left);
        left.form = Operand::Form::Stacked;
    } else {
        Emit(forms->stacked);
        --m_depth;
    }
    return true;
}

bool Translator::Translate() {
    for (const Instruction& instruction : m_program.code) {
        switch (instruction.op) {
        case Op::PushConstant: {
            const std::optional<Operand> constant =
                ConstantOperand(m_program.constants[static_cast<std::size_t>(instruction.operand)]);
            if (!constant) {
                return false;
            }
            m_operands.push_back(*constant);
            break;
        }
        case Op::LoadVariable: {
            Operand variable;
            variable.form = Operand::Form::Variable;
            variable.slot = instruction.operand;
            m_operands.push_back(variable);
            break;
        }
        case Op::Negate:
            if (m_operands.empty()) {
                return false;
            }
            Materialize(m_operands.back());
            Emit(NumericOp::Negate);
            break;
        case Op::Call: {
            const std::optional<NumericOp> function =
                FunctionOf(static_cast<Builtin>(instruction.operand));
            if (!function || instruction.count != 1 || m_operands.empty()) {
                return false;
            }
            Materialize(m_operands.back());
            Emit(*function);
            break;
        }
        case Op::Return:
            if (m_operands.size() != 1) {
                return false;
            }
            Materialize(m_operands.back());
            Emit(NumericOp::Return);
            return true;
        default:
            if (!Binary(instruction)) {
                return false;
            }
            break;
        }
    }
    return false;
}

} // namespace

void AddNumericCode(Program& program) {
    Translator translator(program);
    if (translator.Translate()) {
        program.numeric = std::move(translator.Code());
        program.numericStackSize = translator.StackSize();
    }
}

namespace {

// The number a variable holds, when it holds one that arithmetic takes as it is.
inline bool ReadNumber(const Value& value, double& number) {
    if ((KindBit(value.GetKind()) & NumericKindBits) == 0) {
        return false;
    }
    number = value.Number();
    return true;
}

inline double Truth(bool value) {
    return value ? -1.0 : 0.0;
}

} // namespace

bool RunNumeric(const NumericInstruction* code, const Value* variables, double* stack,
                double& result) {
    // The top of the stack lives in a register; sp is the next free slot of the rest. The first
    // push stores the meaningless initial top, which is why the stack needs its full depth
    // (numericStackSize counts it).
    double* sp = stack;
    double top = 0.0;
    double operand = 0.0;
    for (const NumericInstruction* ip = code;; ++ip) {
        switch (ip->op) {
        case NumericOp::Constant:
            *sp++ = top;
            top = ip->constant;
            continue;
        case NumericOp::Variable:
            if (!ReadNumber(variables[ip->slot], operand)) {
                return false;
            }
            *sp++ = top;
            top = operand;
            continue;
        case NumericOp::Negate:
            top = -top;
            continue;

        case NumericOp::Add:
            top = *--sp + top;
            break;
        case NumericOp::Subtract:
            top = *--sp - top;
            break;
        case NumericOp::Multiply:
            top = *--sp * top;
            break;
        case NumericOp::Divide:
            top = *--sp / top;
            break;
        case NumericOp::Power:
            --sp;
            top = PowerOf(*sp, top);
            break;
        case NumericOp::Equal:
            --sp;
            top = Truth(*sp == top);
            continue;
        case NumericOp::NotEqual:
            --sp;
            top = Truth(*sp != top);
            continue;
        case NumericOp::Less:
            --sp;
            top = Truth(*sp < top);
            continue;
        case NumericOp::Greater:
            --sp;
            top = Truth(*sp > top);
            continue;
        case NumericOp::LessEqual:
            --sp;
            top = Truth(*sp <= top);
            continue;
        case NumericOp::GreaterEqual:
            --sp;
            top = Truth(*sp >= top);
            continue;

        case NumericOp::AddConstant:
            top = top + ip->constant;
            break;
        case NumericOp::SubtractConstant:
            top = top - ip->constant;
            break;
        case NumericOp::MultiplyConstant:
            top = top * ip->constant;
            break;
        case NumericOp::DivideConstant:
            top = top / ip->constant;
            break;
        case NumericOp::PowerConstant:
            top = PowerOf(top, ip->constant);
            break;
        case NumericOp::EqualConstant:
            top = Truth(top == ip->constant);
            continue;
        case NumericOp::NotEqualConstant:
            top = Truth(top != ip->constant);
            continue;
        case NumericOp::LessConstant:
            top = Truth(top < ip->constant);
            continue;
        case NumericOp::GreaterConstant:
            top = Truth(top > ip->constant);
            continue;
        case NumericOp::LessEqualConstant:
            top = Truth(top <= ip->constant);
            continue;
        case NumericOp::GreaterEqualConstant:
            top = Truth(top >= ip->constant);
            continue;

        case NumericOp::AddVariable:
        case NumericOp::SubtractVariable:
        case NumericOp::MultiplyVariable:
        case NumericOp::DivideVariable:
        case NumericOp::PowerVariable:
        case NumericOp::EqualVariable:
        case NumericOp::NotEqualVariable:
        case NumericOp::LessVariable:
        case NumericOp::GreaterVariable:
        case NumericOp::LessEqualVariable:
        case NumericOp::GreaterEqualVariable:
        case NumericOp::VariableSubtract:
        case NumericOp::VariableDivide:
        case NumericOp::VariablePower:
            if (!ReadNumber(variables[ip->slot], operand)) {
                return false;
            }
            switch (ip->op) {
            case NumericOp::AddVariable:
                top = top + operand;
                break;
            case NumericOp::SubtractVariable:
                top = top - operand;
                break;
            case NumericOp::MultiplyVariable:
                top = top * operand;
                break;
            case NumericOp::DivideVariable:
                top = top / operand;
                break;
            case NumericOp::PowerVariable:
                top = PowerOf(top, operand);
                break;
            case NumericOp::EqualVariable:
                top = Truth(top == operand);
                break;
            case NumericOp::NotEqualVariable:
                top = Truth(top != operand);
                break;
            case NumericOp::LessVariable:
                top = Truth(top < operand);
                break;
            case NumericOp::GreaterVariable:
                top = Truth(top > operand);
                break;
            case NumericOp::LessEqualVariable:
                top = Truth(top <= operand);
                break;
            case NumericOp::GreaterEqualVariable:
                top = Truth(top >= operand);
                break;
            case NumericOp::VariableSubtract:
                top = operand - top;
                break;
            case NumericOp::VariableDivide:
                top = operand / top;
                break;
            default: // VariablePower
                top = PowerOf(operand, top);
                break;
            }
            break;

        case NumericOp::ConstantSubtract:
            top = ip->constant - top;
            break;
        case NumericOp::ConstantDivide:
            top = ip->constant / top;
            break;
        case NumericOp::ConstantPower:
            top = PowerOf(ip->constant, top);
            break;
        case NumericOp::Square:
            top = top * top;
            break;

        // The functions that cannot leave the finite range need no check.
        case NumericOp::Abs:
            top = RealFunctionOf(Builtin::Abs, top);
            continue;
        case NumericOp::Atn:
            top = RealFunctionOf(Builtin::Atn, top);
            continue;
        case NumericOp::Cos:
            top = RealFunctionOf(Builtin::Cos, top);
            continue;
        case NumericOp::Exp:
            top = RealFunctionOf(Builtin::Exp, top);
            break;
        case NumericOp::Fix:
            top = RealFunctionOf(Builtin::Fix, top);
            continue;
        case NumericOp::Int:
            top = RealFunctionOf(Builtin::Int, top);
            continue;
        case NumericOp::Log:
            top = RealFunctionOf(Builtin::Log, top);
            break;
        case NumericOp::Sgn:
            top = RealFunctionOf(Builtin::Sgn, top);
            continue;
        case NumericOp::Sin:
            top = RealFunctionOf(Builtin::Sin, top);
            continue;
        case NumericOp::Sqr:
            top = RealFunctionOf(Builtin::Sqr, top);
            break;
        case NumericOp::Tan:
            top = RealFunctionOf(Builtin::Tan, top);
            break;

        case NumericOp::Return:
            result = top;
            return top != 0.0;
        default:
            __builtin_unreachable(); // the translation emits nothing else
        }
        // Where the general code reports an error, this step gives no finite number: x/0 and
        // overflow give an infinity, 0/0, log and sqr outside their domain and a negative base
        // with a fractional exponent give NaN (see arithmetic.h).
        if (!std::isfinite(top)) {
            return false;
        }
    }
}

} // namespace script

#include "script/compiler.h"

#include "script/builtins.h"
#include "script/constants.h"
#include "script/lexer.h"
#include "script/numeric.h"
#include "script/operations.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <type_traits>
#include <unordered_set>
#include <vector>

namespace script {

namespace {

// How tightly the operators bind, loosest first. Binary operators associate to the left at
// every level: 2^3^2 is (2^3)^2 and 1<2<3 is (1<2)<3.
enum class Level : std::uint8_t {
    Expression,      // a whole expression, the inside of brackets, an argument
    Imp,             // Imp
    Eqv,             // Eqv
    Xor,             // Xor
    Or,              // Or
    And,             // And
    Not,             // prefix Not, over a comparison: not 1 = 2 is not (1 = 2)
    Comparison,      // = <> < > <= >=, also spelled => =< ><; Is needs objects and is not read
    Concatenation,   // &
    Additive,        // + -
    Mod,             // Mod
    IntegerDivision, // \, dividing whole numbers
    Multiplicative,  // * /
    Sign,            // prefix - and +, over a power: -2^2 is -(2^2), but -2*3 is (-2)*3
    Power,           // ^, whose right operand is one primary with its own signs: 2^-1 is 0.5
};

struct BinaryOperator {
    TokenKind token;
    Op op;
    Level level;
};

constexpr BinaryOperator BinaryOperators[] = {
    {TokenKind::Imp, Op::Imp, Level::Imp},
    {TokenKind::Eqv, Op::Eqv, Level::Eqv},
    {TokenKind::Xor, Op::Xor, Level::Xor},
    {TokenKind::Or, Op::Or, Level::Or},
    {TokenKind::And, Op::And, Level::And},
    {TokenKind::Equal, Op::Equal, Level::Comparison},
    {TokenKind::NotEqual, Op::NotEqual, Level::Comparison},
    {TokenKind::Less, Op::Less, Level::Comparison},
    {TokenKind::Greater, Op::Greater, Level::Comparison},
    {TokenKind::LessEqual, Op::LessEqual, Level::Comparison},
    {TokenKind::GreaterEqual, Op::GreaterEqual, Level::Comparison},
    {TokenKind::Ampersand, Op::Concatenate, Level::Concatenation},
    {TokenKind::Plus, Op::Add, Level::Additive},
    {TokenKind::Minus, Op::Subtract, Level::Additive},
    {TokenKind::Mod, Op::Mod, Level::Mod},
    {TokenKind::Backslash, Op::IntegerDivide, Level::IntegerDivision},
    {TokenKind::Star, Op::Multiply, Level::Multiplicative},
    {TokenKind::Slash, Op::Divide, Level::Multiplicative},
    {TokenKind::Caret, Op::Power, Level::Power},
};

// BinaryOperators by token; a token that is no binary operator gets Level::Expression, which
// ends every operand.
constexpr auto BinaryByToken = [] {
    std::array<BinaryOperator, static_cast<std::size_t>(TokenKind::Invalid) + 1> table{};
    for (BinaryOperator& entry : table) {
        entry = {TokenKind::Invalid, Op::Return, Level::Expression};
    }
    for (const BinaryOperator& entry : BinaryOperators) {
        table[static_cast<std::size_t>(entry.token)] = entry;
    }
    return table;
}();

// The description of code, naming the name at fault when there is one.
void SetDescription(std::string& text, ErrorCode code, std::string_view name) {
    text = Describe(code);
    if (!name.empty()) {
        text.append(": '").append(name).append("'");
    }
}

class Parser {
public:
    Parser(std::string_view text, const VariableSlots& variables, Program& program)
        : m_lexer(text), m_variables(variables), m_program(program) {}

    bool ParseWholeExpression();
    bool ParseAssignment(std::string& name);
    ScriptError& Error() { return m_error; }

private:
    bool Advance();
    // The description is the code's, followed by the name at fault when there is one.
    bool Fail(ErrorCode code, std::size_t position, std::string_view name = {});
    bool Expect(TokenKind kind);

    // A run of one prefix operator, applied once its operand is complete.
    struct Prefix {
        std::uint32_t count = 0;
        // Where the last of the run stands; every application reports errors there.
        std::uint32_t position = 0;
    };

    struct NameUse {
        std::optional<BuiltinInfo> builtin;
        std::uint32_t position = 0;
        bool call = false;
    };

    // What an operand being read waits for: the inside of its bracket, its next argument, or
    // the right operand of its binary operator.
    enum class Waiting : std::uint8_t { Bracket, Argument, RightOperand };

    // One operand of Parse's explicit stack, with the binary operators that follow it as far
    // as they bind tighter than floor.
    struct Frame {
        Level floor = Level::Expression;
        Waiting waiting = Waiting::Bracket;
        Op op = Op::Return;
        std::uint32_t position = 0; // op's
        Prefix nots;
        Prefix negations;
        NameUse name; // a call's
        int arguments = 0;
    };
    // Frames need no destruction, so popping one only forgets it.
    static_assert(std::is_trivially_destructible_v<Frame>);

    bool Parse(Level outerFloor);
    Frame& TopFrame();
    void PushFrame(Level floor);
    void PopFrame();
    bool ReadPrefix(Prefix& prefix, TokenKind kind);
    void EmitPrefix(Op op, Prefix& prefix);
    bool ParseLiteral();
    bool Enter();

    bool StartName(NameUse& use);
    bool EndCall(const Frame& frame);
    bool FinishCall(const NameUse& use, int count);

    void Emit(Op op, std::size_t position, std::int32_t operand = 0, std::uint8_t count = 0);
    // Pushes a new constant, Empty until the caller sets it.
    Value& EmitConstant();
    // Works out op on the constants that end the code; false when it cannot.
    bool Fold(Op op, std::size_t operands);
    void EmitUnary(Op op, std::size_t position);
    void EmitBinary(Op op, std::size_t position);
    void EmitCall(const BuiltinInfo& info, int count, std::size_t position);
    bool LastIsConstant(std::size_t fromEnd) const;
    Value& ConstantOf(const Instruction& instruction);
    // Whether folding may take on operands of these text bytes; counts them when it may.
    bool MayFold(std::size_t textBytes);

    Lexer m_lexer;
    Token m_token;
    // The name StartName works on: what it means depends on the token after it, and reading
    // that token replaces the name's.
    std::string m_name;
    // Parse's stack: the first frames in place, deeper ones on the heap, so that an everyday
    // expression compiles without allocating any.
    // Raw storage rather than an array of frames, which would cost constructing them all for
    // every text compiled.
    static constexpr std::size_t InlineFrames = 16;
    alignas(Frame) std::byte m_inlineFrames[InlineFrames * sizeof(Frame)];
    std::vector<Frame> m_moreFrames;
    std::size_t m_frameCount = 0;
    const VariableSlots& m_variables;
    // The names in m_program.variables, so that a text naming thousands of variables is not
    // searched name by name.
    std::unordered_set<std::string> m_namesRead;
    Program& m_program;
    ScriptError m_error;
    int m_depth = 0;
    std::size_t m_stack = 0;
    // The bytes of text that folding took in and gave out so far.
    std::size_t m_foldedText = 0;
};

// Folding works on text only up to this many bytes in all; the rest is left for run time, where
// the evaluation can be stopped and what it holds is budgeted. A text of many costly string
// calls on constants then neither compiles for long nor makes a program of many big constants.
constexpr std::size_t MaxFoldedText = 4 * 1024 * 1024;

std::size_t TextBytes(const Value& value) {
    return value.Is(Kind::String) || value.Is(Kind::Array) ? value.Text().size() : 0;
}

bool Parser::MayFold(std::size_t textBytes) {
    if (textBytes == 0) {
        return true;
    }
    if (m_foldedText + textBytes > MaxFoldedText) {
        return false;
    }
    m_foldedText += textBytes;
    return true;
}

bool Parser::Advance() {
    m_token = m_lexer.Next();
    if (m_token.kind == TokenKind::Invalid) {
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    return true;
}

bool Parser::Fail(ErrorCode code, std::size_t position, std::string_view name) {
    if (m_error.code == ErrorCode::None) {
        m_error.code = code;
        SetDescription(m_error.description, code, name);
        m_error.name = name;
        m_error.position = position;
    }
    return false;
}

bool Parser::Expect(TokenKind kind) {
    if (m_token.kind != kind) {
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    return Advance();
}

void Parser::Emit(Op op, std::size_t position, std::int32_t operand, std::uint8_t count) {
    Instruction instruction;
    instruction.op = op;
    instruction.operand = operand;
    instruction.count = count;
    instruction.position = static_cast<std::uint32_t>(position);
    m_program.code.push_back(instruction);
    switch (op) {
    case Op::PushConstant:
    case Op::LoadVariable:
        ++m_stack;
        break;
    case Op::Negate:
    case Op::Not:
    case Op::Return:
        break;
    case Op::Call:
    case Op::Raise:
        m_stack = m_stack + 1 - count;
        break;
    default:
        // A binary operator; one with a constant right operand only replaces the left one.
        if (count == 0) {
            --m_stack;
        }
        break;
    }
    m_program.stackSize = std::max(m_program.stackSize, m_stack);
}

Value& Parser::EmitConstant() {
    Value& constant = m_program.constants.emplace_back();
    Emit(Op::PushConstant, 0, static_cast<std::int32_t>(m_program.constants.size() - 1));
    return constant;
}

// In postfix code an operand that is a single constant is exactly the PushConstant at its end,
// so operators whose operands all end that way can be worked out now.
bool Parser::LastIsConstant(std::size_t fromEnd) const {
    const auto& code = m_program.code;
    return code.size() >= fromEnd && code[code.size() - fromEnd].op == Op::PushConstant;
}

Value& Parser::ConstantOf(const Instruction& instruction) {
    return m_program.constants[static_cast<std::size_t>(instruction.operand)];
}

// An operation that fails on constants is left for run time, where its error belongs.
bool Parser::Fold(Op op, std::size_t operands) {
    auto& code = m_program.code;
    if (!LastIsConstant(1) || (operands == 2 && !LastIsConstant(2))) {
        return false;
    }
    if (!MayFold(TextBytes(ConstantOf(code[code.size() - operands])) +
                 (operands == 2 ? TextBytes(ConstantOf(code.back())) : 0))) {
        return false;
    }
    Value folded = ConstantOf(code[code.size() - operands]);
    const ErrorCode error =
        operands == 1 ? ApplyUnary(op, folded) : ApplyBinary(op, folded, ConstantOf(code.back()));
    if (error != ErrorCode::None) {
        return false;
    }
    if (operands == 2) {
        code.pop_back();
        --m_stack;
    }
    ConstantOf(code.back()) = std::move(folded);
    return true;
}

void Parser::EmitUnary(Op op, std::size_t position) {
    if (!Fold(op, 1)) {
        Emit(op, position);
    }
}

void Parser::EmitBinary(Op op, std::size_t position) {
    if (Fold(op, 2)) {
        return;
    }
    // A constant right operand is read by the operator itself, which saves a push and a
    // dispatch on every evaluation.
    if (LastIsConstant(1)) {
        const std::int32_t constant = m_program.code.back().operand;
        m_program.code.pop_back();
        --m_stack;
        Emit(op, position, constant, 1);
        return;
    }
    Emit(op, position);
}

void Parser::EmitCall(const BuiltinInfo& info, int count, std::size_t position) {
    bool constantArguments = info.pure && count > 0 && count <= MaxBuiltinArguments;
    for (int i = 1; i <= count && constantArguments; ++i) {
        constantArguments = LastIsConstant(static_cast<std::size_t>(i));
    }
    if (constantArguments) {
        auto& code = m_program.code;
        Value arguments[MaxBuiltinArguments];
        std::size_t textBytes = 0;
        for (int i = 0; i < count; ++i) {
            arguments[i] = ConstantOf(code[code.size() - static_cast<std::size_t>(count - i)]);
            textBytes += TextBytes(arguments[i]);
        }
        // A call on short text may still make a long one (space, string): the result counts too.
        if (MayFold(textBytes) &&
            CallBuiltin(info.id, arguments, count, nullptr) == ErrorCode::None &&
            MayFold(TextBytes(arguments[0]))) {
            for (int i = 1; i < count; ++i) {
                code.pop_back();
                --m_stack;
            }
            ConstantOf(code.back()) = std::move(arguments[0]);
            return;
        }
    }
    Emit(Op::Call, position, static_cast<std::int32_t>(info.id), static_cast<std::uint8_t>(count));
}

bool Parser::ParseWholeExpression() {
    if (!Advance()) {
        return false;
    }
    if (m_token.kind == TokenKind::End) {
        EmitConstant();
    } else if (!Parse(Level::Expression)) {
        return false;
    }
    if (m_token.kind != TokenKind::End) {
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    Emit(Op::Return, m_token.position);
    return true;
}

// assignment := name "=" expression
bool Parser::ParseAssignment(std::string& name) {
    if (!Advance()) {
        return false;
    }
    if (m_token.kind == TokenKind::Reserved) {
        return Fail(ErrorCode::ExpectedIdentifier, m_token.position);
    }
    if (m_token.kind != TokenKind::Name) {
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    if (FindBuiltin(m_token.name) || FindConstant(m_token.name) != nullptr) {
        return Fail(ErrorCode::IllegalAssignment, m_token.position, m_token.name);
    }
    name = m_token.name;
    if (!Advance() || !Expect(TokenKind::Equal) || !Parse(Level::Expression)) {
        return false;
    }
    if (m_token.kind != TokenKind::End) {
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    Emit(Op::Return, m_token.position);
    return true;
}

// Reads an operand and the binary operators after it that bind tighter than floor, emitting
// postfix code. Written as a loop over an explicit stack of frames rather than as a recursive
// descent, so that however deep brackets, arguments and operands nest, the compiler needs no
// more of the thread's stack than for "x": a frame is an operand being read, waiting for the
// inner expression it started (a bracket's inside, an argument, a binary operator's right
// operand) to end.
bool Parser::Parse(Level outerFloor) {
    m_frameCount = 0;
    m_moreFrames.clear();
    PushFrame(outerFloor);
    bool needOperand = true;
    for (;;) {
        if (needOperand) {
            Frame& frame = TopFrame();
            // Prefix operators are counted rather than recursed into; Not is read only where an
            // operand may be a comparison.
            if (frame.floor < Level::Not && !ReadPrefix(frame.nots, TokenKind::Not)) {
                return false;
            }
            if (!ReadPrefix(frame.negations, TokenKind::Minus)) {
                return false;
            }
            if (m_token.kind == TokenKind::LeftParen) {
                if (!Enter() || !Advance()) {
                    return false;
                }
                frame.waiting = Waiting::Bracket;
                PushFrame(Level::Expression);
                continue;
            }
            if (m_token.kind == TokenKind::Name) {
                if (!StartName(frame.name)) {
                    return false;
                }
                if (frame.name.call) {
                    frame.arguments = 0;
                    if (m_token.kind != TokenKind::RightParen) {
                        frame.waiting = Waiting::Argument;
                        PushFrame(Level::Expression);
                        continue;
                    }
                    if (!EndCall(frame)) {
                        return false;
                    }
                }
            } else if (!ParseLiteral()) {
                return false;
            }
            needOperand = false;
        }
        Frame& frame = TopFrame();
        const BinaryOperator& binary = BinaryByToken[static_cast<std::size_t>(m_token.kind)];
        // A prefix operator's operand ends at the first operator that binds no tighter than the
        // prefix itself, or where this whole operand ends.
        if (binary.level <= std::max(frame.floor, Level::Sign)) {
            EmitPrefix(Op::Negate, frame.negations);
        }
        if (binary.level <= std::max(frame.floor, Level::Not)) {
            EmitPrefix(Op::Not, frame.nots);
        }
        if (binary.level > frame.floor) {
            frame.waiting = Waiting::RightOperand;
            frame.op = binary.op;
            frame.position = static_cast<std::uint32_t>(m_token.position);
            if (!Advance()) {
                return false;
            }
            PushFrame(binary.level);
            needOperand = true;
            continue;
        }
        // This frame's expression is complete: back to the frame that waits for it.
        PopFrame();
        if (m_frameCount == 0) {
            return true;
        }
        Frame& outer = TopFrame();
        switch (outer.waiting) {
        case Waiting::Bracket:
            if (!Expect(TokenKind::RightParen)) {
                return false;
            }
            --m_depth;
            break;
        case Waiting::Argument:
            // Counting stops past the largest arity, which is all the check needs.
            outer.arguments = std::min(outer.arguments + 1, 255);
            if (m_token.kind == TokenKind::Comma) {
                if (!Advance()) {
                    return false;
                }
                PushFrame(Level::Expression);
                needOperand = true;
                continue;
            }
            if (!EndCall(outer)) {
                return false;
            }
            break;
        case Waiting::RightOperand:
            EmitBinary(outer.op, outer.position);
            break;
        }
    }
}

Parser::Frame& Parser::TopFrame() {
    const std::size_t top = m_frameCount - 1;
    if (top < InlineFrames) {
        return *std::launder(reinterpret_cast<Frame*>(m_inlineFrames + top * sizeof(Frame)));
    }
    return m_moreFrames[top - InlineFrames];
}

// Frames pushed onto the heap part may move it: a reference taken before is no longer valid.
void Parser::PushFrame(Level floor) {
    Frame* frame = m_frameCount < InlineFrames ? new (m_inlineFrames + m_frameCount * sizeof(Frame))
                                                     Frame()
                                               : &m_moreFrames.emplace_back();
    frame->floor = floor;
    ++m_frameCount;
}

void Parser::PopFrame() {
    --m_frameCount;
    if (m_frameCount >= InlineFrames) {
        m_moreFrames.pop_back();
    }
}

// Counts a run of the prefix operator kind; a + among the signs counts for nothing.
bool Parser::ReadPrefix(Prefix& prefix, TokenKind kind) {
    for (;;) {
        if (m_token.kind == kind) {
            ++prefix.count;
            prefix.position = static_cast<std::uint32_t>(m_token.position);
        } else if (kind != TokenKind::Minus || m_token.kind != TokenKind::Plus) {
            return true;
        }
        if (!Advance()) {
            return false;
        }
    }
}

void Parser::EmitPrefix(Op op, Prefix& prefix) {
    for (; prefix.count > 0; --prefix.count) {
        EmitUnary(op, prefix.position);
    }
}

bool Parser::Enter() {
    if (++m_depth > MaxNestingDepth) {
        return Fail(ErrorCode::ExpressionTooComplex, m_token.position);
    }
    return true;
}

// literal := number | string | "true" | "false" | "empty" | "null" | "nothing"
bool Parser::ParseLiteral() {
    switch (m_token.kind) {
    case TokenKind::Number:
    case TokenKind::String:
        EmitConstant() = std::move(m_token.literal);
        break;
    case TokenKind::True:
    case TokenKind::False:
        EmitConstant().SetBoolean(m_token.kind == TokenKind::True);
        break;
    case TokenKind::EmptyWord:
        EmitConstant();
        break;
    case TokenKind::NullWord:
        EmitConstant().SetNull();
        break;
    case TokenKind::NothingWord:
        EmitConstant().SetNothing();
        break;
    case TokenKind::Reserved:
        // A statement word such as "if" or "then" where a value belongs.
        return Fail(ErrorCode::ExpectedExpression, m_token.position);
    default:
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    return Advance();
}

// The ")" that ends the arguments of the call frame started.
bool Parser::EndCall(const Frame& frame) {
    if (!Expect(TokenKind::RightParen)) {
        return false;
    }
    --m_depth;
    return FinishCall(frame.name, frame.arguments);
}

// name [ "(" [ expression { "," expression } ] ")" ]: consumes a name and, for a call, its "(";
// emits what a name without arguments means.
bool Parser::StartName(NameUse& use) {
    m_name.swap(m_token.name);
    use.position = static_cast<std::uint32_t>(m_token.position);
    use.builtin = FindBuiltin(m_name);
    if (!Advance()) {
        return false;
    }
    use.call = m_token.kind == TokenKind::LeftParen;
    if (use.call) {
        if (!use.builtin) {
            // Not a function: the language reports calling it as a type mismatch, at run time.
            ScriptHint& hint = m_program.unknownCalls.emplace_back();
            hint.unknownFunction = m_name;
            hint.suggestion = SuggestBuiltin(m_name, hint.suggestionIsOperator);
        }
        return Enter() && Advance();
    }
    if (use.builtin) {
        // A function named without brackets is called without arguments.
        if (use.builtin->minArguments > 0) {
            return Fail(ErrorCode::WrongNumberOfArguments, use.position, m_name);
        }
        EmitCall(*use.builtin, 0, use.position);
        return true;
    }
    if (const Value* constant = FindConstant(m_name)) {
        EmitConstant() = *constant;
        return true;
    }
    if (m_namesRead.insert(m_name).second) {
        m_program.variables.push_back(m_name);
    }
    const auto slot = m_variables.find(m_name);
    if (slot == m_variables.end()) {
        EmitConstant();
    } else {
        Emit(Op::LoadVariable, use.position, slot->second);
    }
    return true;
}

bool Parser::FinishCall(const NameUse& use, int count) {
    if (!use.builtin) {
        Emit(Op::Raise, use.position, static_cast<std::int32_t>(m_program.unknownCalls.size() - 1),
             static_cast<std::uint8_t>(count));
        return true;
    }
    if (count < use.builtin->minArguments || count > use.builtin->maxArguments) {
        return Fail(ErrorCode::WrongNumberOfArguments, use.position, BuiltinName(use.builtin->id));
    }
    EmitCall(*use.builtin, count, use.position);
    return true;
}

bool Run(Parser& parser, std::string_view text, bool assignment, std::string* name,
         ScriptError& error) {
    if (text.size() > MaxTextLength) {
        error.code = ErrorCode::ExpressionTooComplex;
        error.description = Describe(error.code);
        error.name.clear();
        error.position.reset();
        return false;
    }
    const bool ok = assignment ? parser.ParseAssignment(*name) : parser.ParseWholeExpression();
    if (!ok) {
        error = std::move(parser.Error());
    }
    return ok;
}

} // namespace

bool CompileExpression(std::string_view text, const VariableSlots& variables, Program& program,
                       ScriptError& error) {
    Parser parser(text, variables, program);
    if (!Run(parser, text, false, nullptr, error)) {
        return false;
    }
    AddNumericCode(program);
    return true;
}

bool CompileAssignment(std::string_view text, const VariableSlots& variables, std::string& name,
                       Program& program, ScriptError& error) {
    Parser parser(text, variables, program);
    return Run(parser, text, true, &name, error);
}

} // namespace script

#include "platform/script/compiler.h"

#include "platform/script/builtins.h"
#include "platform/script/lexer.h"
#include "platform/script/numeric.h"
#include "platform/script/operations.h"

#include <algorithm>

namespace script {

namespace {

class Parser {
public:
    Parser(std::string_view text, const VariableSlots& variables, Program& program)
        : m_lexer(text), m_variables(variables), m_program(program) {}

    bool ParseWholeExpression();
    bool ParseAssignment(std::string& name);
    ScriptError& Error() { return m_error; }

private:
    [[gnu::noinline]] bool Advance();
    [[gnu::noinline]] bool Fail(ErrorCode code, std::size_t position, std::string description = {});
    [[gnu::noinline]] bool Expect(TokenKind kind);

    bool ParseExpression();
    bool ParseImp();
    bool ParseEqv();
    bool ParseXor();
    bool ParseOr();
    bool ParseAnd();
    bool ParseNot();
    bool ParseComparison();
    bool ParseConcatenation();
    bool ParseAdditive();
    bool ParseMod();
    bool ParseIntegerDivision();
    bool ParseMultiplicative();
    bool ParseUnary();
    bool ParsePower();
    bool ParseSignedPrimary();
    bool ParsePrimary();
    bool ParseName();
    [[gnu::noinline]] bool ParseLiteral();
    [[gnu::noinline]] bool Enter();

    struct Signs {
        std::size_t negations = 0;
        std::size_t position = 0;
        bool ok = true;
    };
    [[gnu::noinline]] Signs ParseSigns();
    bool EmitNegations(const Signs& signs);

    struct NameUse {
        std::optional<BuiltinInfo> builtin;
        std::string message;
        std::size_t position = 0;
        bool call = false;
    };
    // Helpers that must not be inlined into the functions nested brackets recurse through:
    // their locals would sit in every level's frame.
    // Consumes a name and, for a call, its "("; emits what a name without arguments means.
    [[gnu::noinline]] bool StartName(NameUse& use);
    [[gnu::noinline]] bool FinishCall(NameUse& use, int count);

    void Emit(Op op, std::size_t position, std::int32_t operand = 0, std::uint8_t count = 0);
    [[gnu::noinline]] void EmitConstant(Value value);
    [[gnu::noinline]] void EmitUnary(Op op, std::size_t position);
    [[gnu::noinline]] void EmitBinary(Op op, std::size_t position);
    [[gnu::noinline]] void EmitCall(const BuiltinInfo& info, int count, std::size_t position);
    bool LastIsConstant(std::size_t fromEnd) const;
    Value& ConstantOf(const Instruction& instruction);

    Lexer m_lexer;
    Token m_token;
    const VariableSlots& m_variables;
    Program& m_program;
    ScriptError m_error;
    int m_depth = 0;
    std::size_t m_stack = 0;
};

bool Parser::Advance() {
    m_token = m_lexer.Next();
    if (m_token.kind == TokenKind::Invalid) {
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    return true;
}

bool Parser::Fail(ErrorCode code, std::size_t position, std::string description) {
    if (m_error.code == ErrorCode::None) {
        m_error.code = code;
        m_error.description = description.empty() ? Describe(code) : std::move(description);
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

void Parser::EmitConstant(Value value) {
    m_program.constants.push_back(std::move(value));
    Emit(Op::PushConstant, 0, static_cast<std::int32_t>(m_program.constants.size() - 1));
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

void Parser::EmitUnary(Op op, std::size_t position) {
    if (LastIsConstant(1)) {
        Value folded = ConstantOf(m_program.code.back());
        if (ApplyUnary(op, folded) == ErrorCode::None) {
            ConstantOf(m_program.code.back()) = std::move(folded);
            return;
        }
    }
    Emit(op, position);
}

void Parser::EmitBinary(Op op, std::size_t position) {
    // An operation that fails on constants is left for run time, where its error belongs.
    if (LastIsConstant(1) && LastIsConstant(2)) {
        auto& code = m_program.code;
        Value folded = ConstantOf(code[code.size() - 2]);
        if (ApplyBinary(op, folded, ConstantOf(code.back())) == ErrorCode::None) {
            code.pop_back();
            --m_stack;
            ConstantOf(code.back()) = std::move(folded);
            return;
        }
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
    bool constantArguments = info.pure && count > 0;
    for (int i = 1; i <= count && constantArguments; ++i) {
        constantArguments = LastIsConstant(static_cast<std::size_t>(i));
    }
    if (constantArguments) {
        auto& code = m_program.code;
        Value arguments[2];
        for (int i = 0; i < count; ++i) {
            arguments[i] = ConstantOf(code[code.size() - static_cast<std::size_t>(count - i)]);
        }
        if (CallBuiltin(info.id, arguments, count, nullptr) == ErrorCode::None) {
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
        EmitConstant(Value::MakeEmpty());
    } else if (!ParseExpression()) {
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
    if (m_token.kind != TokenKind::Name) {
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    if (FindBuiltin(m_token.name)) {
        return Fail(ErrorCode::IllegalAssignment, m_token.position,
                    std::string(Describe(ErrorCode::IllegalAssignment)) + ": '" + m_token.name +
                        "'");
    }
    name = m_token.name;
    if (!Advance() || !Expect(TokenKind::Equal) || !ParseExpression()) {
        return false;
    }
    if (m_token.kind != TokenKind::End) {
        return Fail(ErrorCode::SyntaxError, m_token.position);
    }
    Emit(Op::Return, m_token.position);
    return true;
}

// expression := impExpr
bool Parser::ParseExpression() {
    return ParseImp();
}

// impExpr := eqvExpr { "imp" eqvExpr }
bool Parser::ParseImp() {
    if (!ParseEqv()) {
        return false;
    }
    while (m_token.kind == TokenKind::Imp) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseEqv()) {
            return false;
        }
        EmitBinary(Op::Imp, position);
    }
    return true;
}

// eqvExpr := xorExpr { "eqv" xorExpr }
bool Parser::ParseEqv() {
    if (!ParseXor()) {
        return false;
    }
    while (m_token.kind == TokenKind::Eqv) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseXor()) {
            return false;
        }
        EmitBinary(Op::Eqv, position);
    }
    return true;
}

// xorExpr := orExpr { "xor" orExpr }
bool Parser::ParseXor() {
    if (!ParseOr()) {
        return false;
    }
    while (m_token.kind == TokenKind::Xor) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseOr()) {
            return false;
        }
        EmitBinary(Op::Xor, position);
    }
    return true;
}

// orExpr := andExpr { "or" andExpr }
bool Parser::ParseOr() {
    if (!ParseAnd()) {
        return false;
    }
    while (m_token.kind == TokenKind::Or) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseAnd()) {
            return false;
        }
        EmitBinary(Op::Or, position);
    }
    return true;
}

// andExpr := notExpr { "and" notExpr }
bool Parser::ParseAnd() {
    if (!ParseNot()) {
        return false;
    }
    while (m_token.kind == TokenKind::And) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseNot()) {
            return false;
        }
        EmitBinary(Op::And, position);
    }
    return true;
}

// notExpr := { "not" } comparisonExpr
bool Parser::ParseNot() {
    // A loop rather than recursion: a long run of "not" must not use up the stack.
    std::size_t count = 0;
    std::size_t position = 0;
    while (m_token.kind == TokenKind::Not) {
        ++count;
        position = m_token.position;
        if (!Advance()) {
            return false;
        }
    }
    if (!ParseComparison()) {
        return false;
    }
    for (; count > 0; --count) {
        EmitUnary(Op::Not, position);
    }
    return true;
}

// comparisonExpr := concatExpr { ("=" | "<>" | "<" | ">" | "<=" | ">=") concatExpr }
// ("=>", "=<" and "><" are read as ">=", "<=" and "<>".)
bool Parser::ParseComparison() {
    if (!ParseConcatenation()) {
        return false;
    }
    for (;;) {
        Op op = Op::Equal;
        switch (m_token.kind) {
        case TokenKind::Equal:
            op = Op::Equal;
            break;
        case TokenKind::NotEqual:
            op = Op::NotEqual;
            break;
        case TokenKind::Less:
            op = Op::Less;
            break;
        case TokenKind::Greater:
            op = Op::Greater;
            break;
        case TokenKind::LessEqual:
            op = Op::LessEqual;
            break;
        case TokenKind::GreaterEqual:
            op = Op::GreaterEqual;
            break;
        default:
            return true;
        }
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseConcatenation()) {
            return false;
        }
        EmitBinary(op, position);
    }
}

// concatExpr := additiveExpr { "&" additiveExpr }
bool Parser::ParseConcatenation() {
    if (!ParseAdditive()) {
        return false;
    }
    while (m_token.kind == TokenKind::Ampersand) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseAdditive()) {
            return false;
        }
        EmitBinary(Op::Concatenate, position);
    }
    return true;
}

// additiveExpr := modExpr { ("+" | "-") modExpr }
bool Parser::ParseAdditive() {
    if (!ParseMod()) {
        return false;
    }
    while (m_token.kind == TokenKind::Plus || m_token.kind == TokenKind::Minus) {
        const Op op = m_token.kind == TokenKind::Plus ? Op::Add : Op::Subtract;
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseMod()) {
            return false;
        }
        EmitBinary(op, position);
    }
    return true;
}

// modExpr := intDivExpr { "mod" intDivExpr }
bool Parser::ParseMod() {
    if (!ParseIntegerDivision()) {
        return false;
    }
    while (m_token.kind == TokenKind::Mod) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseIntegerDivision()) {
            return false;
        }
        EmitBinary(Op::Mod, position);
    }
    return true;
}

// intDivExpr := multiplicativeExpr { "\" multiplicativeExpr }
bool Parser::ParseIntegerDivision() {
    if (!ParseMultiplicative()) {
        return false;
    }
    while (m_token.kind == TokenKind::Backslash) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseMultiplicative()) {
            return false;
        }
        EmitBinary(Op::IntegerDivide, position);
    }
    return true;
}

// multiplicativeExpr := unaryExpr { ("*" | "/") unaryExpr }
bool Parser::ParseMultiplicative() {
    if (!ParseUnary()) {
        return false;
    }
    while (m_token.kind == TokenKind::Star || m_token.kind == TokenKind::Slash) {
        const Op op = m_token.kind == TokenKind::Star ? Op::Multiply : Op::Divide;
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseUnary()) {
            return false;
        }
        EmitBinary(op, position);
    }
    return true;
}

// unaryExpr := { "-" | "+" } powerExpr
// The signs bind looser than "^", so -2^2 is -(2^2).
bool Parser::ParseUnary() {
    const Signs signs = ParseSigns();
    return signs.ok && ParsePower() && EmitNegations(signs);
}

// powerExpr := primary { "^" signedPrimary }
// Left to right: 2^3^2 is (2^3)^2.
bool Parser::ParsePower() {
    if (!ParsePrimary()) {
        return false;
    }
    while (m_token.kind == TokenKind::Caret) {
        const std::size_t position = m_token.position;
        if (!Advance() || !ParseSignedPrimary()) {
            return false;
        }
        EmitBinary(Op::Power, position);
    }
    return true;
}

// signedPrimary := { "-" | "+" } primary
// The sign takes only the primary after "^": 2^-1^2 is (2^-1)^2.
bool Parser::ParseSignedPrimary() {
    const Signs signs = ParseSigns();
    return signs.ok && ParsePrimary() && EmitNegations(signs);
}

Parser::Signs Parser::ParseSigns() {
    Signs signs;
    while (m_token.kind == TokenKind::Minus || m_token.kind == TokenKind::Plus) {
        if (m_token.kind == TokenKind::Minus) {
            ++signs.negations;
            signs.position = m_token.position;
        }
        if (!Advance()) {
            signs.ok = false;
            return signs;
        }
    }
    return signs;
}

bool Parser::EmitNegations(const Signs& signs) {
    for (std::size_t i = 0; i < signs.negations; ++i) {
        EmitUnary(Op::Negate, signs.position);
    }
    return true;
}

// primary := number | string | "true" | "false" | "empty" | "null" | "nothing"
//          | name [ "(" [ expression { "," expression } ] ")" ]
//          | "(" expression ")"
// The recursion of nested brackets runs through here, so the frame is kept small: the work on
// literals and names lives in helpers that return before the recursion.
bool Parser::ParsePrimary() {
    switch (m_token.kind) {
    case TokenKind::Number:
    case TokenKind::String:
    case TokenKind::True:
    case TokenKind::False:
    case TokenKind::EmptyWord:
    case TokenKind::NullWord:
    case TokenKind::NothingWord:
        return ParseLiteral();
    case TokenKind::Name:
        return ParseName();
    case TokenKind::LeftParen:
        if (!Enter() || !Advance() || !ParseExpression() || !Expect(TokenKind::RightParen)) {
            return false;
        }
        --m_depth;
        return true;
    default:
        break;
    }
    return Fail(ErrorCode::SyntaxError, m_token.position);
}

bool Parser::Enter() {
    if (++m_depth > MaxNestingDepth) {
        return Fail(ErrorCode::ExpressionTooComplex, m_token.position);
    }
    return true;
}

bool Parser::ParseLiteral() {
    switch (m_token.kind) {
    case TokenKind::True:
    case TokenKind::False:
        EmitConstant(Value::MakeBoolean(m_token.kind == TokenKind::True));
        break;
    case TokenKind::EmptyWord:
        EmitConstant(Value::MakeEmpty());
        break;
    case TokenKind::NullWord:
        EmitConstant(Value::MakeNull());
        break;
    case TokenKind::NothingWord:
        EmitConstant(Value::MakeNothing());
        break;
    default:
        EmitConstant(std::move(m_token.literal));
        break;
    }
    return Advance();
}

bool Parser::ParseName() {
    NameUse use;
    if (!StartName(use)) {
        return false;
    }
    if (!use.call) {
        return true;
    }
    int count = 0;
    if (m_token.kind != TokenKind::RightParen) {
        for (;;) {
            if (!ParseExpression()) {
                return false;
            }
            // Counting stops past the largest arity, which is all the check needs.
            count = std::min(count + 1, 255);
            if (m_token.kind != TokenKind::Comma) {
                break;
            }
            if (!Advance()) {
                return false;
            }
        }
    }
    if (!Expect(TokenKind::RightParen)) {
        return false;
    }
    --m_depth;
    return FinishCall(use, count);
}

bool Parser::StartName(NameUse& use) {
    const std::string name = std::move(m_token.name);
    use.position = m_token.position;
    use.builtin = FindBuiltin(name);
    if (!Advance()) {
        return false;
    }
    use.call = m_token.kind == TokenKind::LeftParen;
    if (use.call) {
        if (!use.builtin) {
            // Not a function: the language reports calling it as a type mismatch, at run time.
            m_program.messages.push_back(std::string(Describe(ErrorCode::TypeMismatch)) + ": '" +
                                         name + "'");
        } else {
            use.message =
                std::string(Describe(ErrorCode::WrongNumberOfArguments)) + ": '" + name + "'";
        }
        return Enter() && Advance();
    }
    if (use.builtin) {
        // A function named without brackets is called without arguments.
        if (use.builtin->minArguments > 0) {
            return Fail(ErrorCode::WrongNumberOfArguments, use.position,
                        std::string(Describe(ErrorCode::WrongNumberOfArguments)) + ": '" + name +
                            "'");
        }
        EmitCall(*use.builtin, 0, use.position);
        return true;
    }
    const auto slot = m_variables.find(name);
    if (slot == m_variables.end()) {
        EmitConstant(Value::MakeEmpty());
    } else {
        Emit(Op::LoadVariable, use.position, slot->second);
    }
    return true;
}

bool Parser::FinishCall(NameUse& use, int count) {
    if (!use.builtin) {
        Emit(Op::Raise, use.position, static_cast<std::int32_t>(m_program.messages.size() - 1),
             static_cast<std::uint8_t>(count));
        return true;
    }
    if (count < use.builtin->minArguments || count > use.builtin->maxArguments) {
        return Fail(ErrorCode::WrongNumberOfArguments, use.position, std::move(use.message));
    }
    EmitCall(*use.builtin, count, use.position);
    return true;
}

bool Run(Parser& parser, std::string_view text, bool assignment, std::string* name,
         ScriptError& error) {
    if (text.size() > MaxTextLength) {
        error.code = ErrorCode::ExpressionTooComplex;
        error.description = Describe(error.code);
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

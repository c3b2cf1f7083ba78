#include "script/operations.h"

#include "script/arithmetic.h"
#include "script/number_text.h"
#include "script/textparse.h"
#include "script/variants.h"

#include <cmath>
#include <limits>

namespace script {

namespace {

// How + - * type their result: the wider operand wins, and an integer result that does not fit
// its type moves up to the next one instead of overflowing.
enum class Rank : std::uint8_t { Integer, Long, Double };

bool FitsInteger(std::int64_t value) {
    return value >= -32768 && value <= 32767;
}
bool FitsLong(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

ErrorCode ArithmeticOperand(const Value& value, double& number, Rank& rank) {
    switch (value.GetKind()) {
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Integer:
        number = value.Number();
        rank = Rank::Integer;
        return ErrorCode::None;
    case Kind::Long:
        number = value.Number();
        rank = Rank::Long;
        return ErrorCode::None;
    case Kind::Double:
        number = value.Number();
        rank = Rank::Double;
        return ErrorCode::None;
    case Kind::String:
        rank = Rank::Double;
        return ParseNumericText(value.Text(), number) ? ErrorCode::None : ErrorCode::TypeMismatch;
    case Kind::Byte:
        number = value.Number();
        rank = Rank::Integer;
        return ErrorCode::None;
    case Kind::Single:
    case Kind::Currency:
    case Kind::Date:
        number = value.Number();
        rank = Rank::Double;
        return ErrorCode::None;
    case Kind::Null:
        return ErrorCode::InvalidUseOfNull;
    case Kind::Array:
        return ErrorCode::TypeMismatch;
    case Kind::Nothing:
        break;
    }
    return ErrorCode::ObjectVariableNotSet;
}

// Byte, Single, Currency and Date have their own rules for the kind of a result.
bool EitherExtended(const Value& left, const Value& right) {
    return ((KindBit(left.GetKind()) | KindBit(right.GetKind())) & ExtendedKindBits) != 0;
}

void StoreInteger(Value& target, std::int64_t value, Rank rank) {
    if (rank == Rank::Integer && FitsInteger(value)) {
        target.SetInteger(static_cast<std::int32_t>(value));
    } else if (FitsLong(value)) {
        target.SetLong(static_cast<std::int32_t>(value));
    } else {
        target.SetDouble(static_cast<double>(value));
    }
}

// Nothing is an error wherever a value is needed; Null makes the whole result Null. Returns
// true when the operation is decided by this check.
bool NullOrNothing(Value& left, const Value& right, ErrorCode& error) {
    if (left.Is(Kind::Nothing) || right.Is(Kind::Nothing)) {
        error = ErrorCode::ObjectVariableNotSet;
        return true;
    }
    if (left.Is(Kind::Null) || right.Is(Kind::Null)) {
        left.SetNull();
        error = ErrorCode::None;
        return true;
    }
    return false;
}

ErrorCode Arithmetic(Op op, Value& left, const Value& right) {
    ErrorCode error = ErrorCode::None;
    if (NullOrNothing(left, right, error)) {
        return error;
    }
    double x = 0.0;
    double y = 0.0;
    Rank leftRank = Rank::Integer;
    Rank rightRank = Rank::Integer;
    if ((error = ArithmeticOperand(left, x, leftRank)) != ErrorCode::None ||
        (error = ArithmeticOperand(right, y, rightRank)) != ErrorCode::None) {
        return error;
    }
    if (EitherExtended(left, right)) {
        return ExtendedArithmetic(op, left, right, x, y);
    }
    const Rank rank = std::max(leftRank, rightRank);
    if (rank == Rank::Double) {
        switch (op) {
        case Op::Add:
            return StoreDouble(left, x + y);
        case Op::Subtract:
            return StoreDouble(left, x - y);
        default:
            return StoreDouble(left, x * y);
        }
    }
    // Both operands are Empty, Boolean, Integer or Long here, so their int32 form is exact and
    // the int64 result cannot overflow.
    const std::int64_t a = left.Integer();
    const std::int64_t b = right.Integer();
    switch (op) {
    case Op::Add:
        StoreInteger(left, a + b, rank);
        break;
    case Op::Subtract:
        StoreInteger(left, a - b, rank);
        break;
    default:
        StoreInteger(left, a * b, rank);
        break;
    }
    return ErrorCode::None;
}

ErrorCode AddValues(Value& left, const Value& right) {
    // + joins two strings, and a string with Empty stays that string.
    if (left.Is(Kind::String) && (right.Is(Kind::String) || right.Is(Kind::Empty))) {
        if (left.Text().size() + right.Text().size() > MaxStringLength) {
            return ErrorCode::OutOfStringSpace;
        }
        if (right.Is(Kind::String)) {
            left.MutableText() += right.Text();
        }
        return ErrorCode::None;
    }
    if (left.Is(Kind::Empty) && right.Is(Kind::String)) {
        left = right;
        return ErrorCode::None;
    }
    return Arithmetic(Op::Add, left, right);
}

// Both operands as doubles, for the operators that compute on doubles alone. False when that
// settles the result already: Null, Nothing, or an operand that is no number (error says which).
bool DoubleOperands(Value& left, const Value& right, double& x, double& y, ErrorCode& error) {
    if (NullOrNothing(left, right, error)) {
        return false;
    }
    return (error = ToDouble(left, x)) == ErrorCode::None &&
           (error = ToDouble(right, y)) == ErrorCode::None;
}

ErrorCode DivideValues(Value& left, const Value& right) {
    ErrorCode error = ErrorCode::None;
    double x = 0.0;
    double y = 0.0;
    if (!DoubleOperands(left, right, x, y, error)) {
        return error;
    }
    if ((error = DivisionError(x, y)) != ErrorCode::None) {
        return error;
    }
    if (EitherExtended(left, right) && SingleQuotient(left.GetKind(), right.GetKind())) {
        return StoreSingle(left, x / y);
    }
    return StoreDouble(left, x / y);
}

ErrorCode PowerValues(Value& left, const Value& right) {
    ErrorCode error = ErrorCode::None;
    double x = 0.0;
    double y = 0.0;
    if (!DoubleOperands(left, right, x, y, error)) {
        return error;
    }
    return StoreDouble(left, PowerOf(x, y));
}

struct IntegerOperand {
    std::int32_t value = 0;
    // Empty, Boolean, Byte or Integer: results stay Integer.
    bool narrow = false;
    bool boolean = false;
    // Byte: results of two Bytes stay Byte.
    bool byte = false;
};

ErrorCode ToIntegerOperand(const Value& value, IntegerOperand& operand) {
    switch (value.GetKind()) {
    case Kind::Empty:
    case Kind::Integer:
        operand.value = value.Integer();
        operand.narrow = true;
        return ErrorCode::None;
    case Kind::Boolean:
        operand.value = value.Integer();
        operand.narrow = true;
        operand.boolean = true;
        return ErrorCode::None;
    case Kind::Long:
        operand.value = value.Integer();
        return ErrorCode::None;
    case Kind::Byte:
        operand.value = value.Integer();
        operand.narrow = true;
        operand.byte = true;
        return ErrorCode::None;
    case Kind::Double:
    case Kind::Single:
    case Kind::Currency:
    case Kind::Date:
        return RoundToLong(value.Number(), operand.value);
    case Kind::String: {
        double number = 0.0;
        if (!ParseNumericText(value.Text(), number)) {
            return ErrorCode::TypeMismatch;
        }
        return RoundToLong(number, operand.value);
    }
    case Kind::Null:
        return ErrorCode::InvalidUseOfNull;
    case Kind::Array:
        return ErrorCode::TypeMismatch;
    case Kind::Nothing:
        break;
    }
    return ErrorCode::ObjectVariableNotSet;
}

void StoreLogical(Value& target, std::int32_t value, const IntegerOperand& a,
                  const IntegerOperand& b) {
    if (a.boolean && b.boolean) {
        target.SetBoolean(value != 0);
    } else if (a.byte && b.byte) {
        target.SetByte(value & 0xFF);
    } else if (a.narrow && b.narrow) {
        target.SetInteger(value);
    } else {
        target.SetLong(value);
    }
}

std::int32_t Bitwise(Op op, std::int32_t a, std::int32_t b) {
    const auto ua = static_cast<std::uint32_t>(a);
    const auto ub = static_cast<std::uint32_t>(b);
    std::uint32_t result = 0;
    switch (op) {
    case Op::And:
        result = ua & ub;
        break;
    case Op::Or:
        result = ua | ub;
        break;
    case Op::Xor:
        result = ua ^ ub;
        break;
    case Op::Eqv:
        result = ~(ua ^ ub);
        break;
    default: // Imp
        result = ~ua | ub;
        break;
    }
    return static_cast<std::int32_t>(result);
}

// A logical operator with one Null operand is still decided when the other operand alone fixes
// every bit of the result: False And Null is False, True Or Null is True, False Imp Null and
// Null Imp True are True. Otherwise the result is Null.
ErrorCode LogicalWithNull(Op op, Value& left, const Value& right) {
    const bool leftNull = left.Is(Kind::Null);
    const bool rightNull = right.Is(Kind::Null);
    if (leftNull && rightNull) {
        left.SetNull();
        return ErrorCode::None;
    }
    IntegerOperand known;
    const ErrorCode error = ToIntegerOperand(leftNull ? right : left, known);
    if (error != ErrorCode::None) {
        return error;
    }
    bool decided = false;
    std::int32_t result = 0;
    switch (op) {
    case Op::And:
        decided = known.value == 0;
        result = 0;
        break;
    case Op::Or:
        decided = known.value == -1;
        result = -1;
        break;
    case Op::Imp:
        decided = leftNull ? known.value == -1 : known.value == 0;
        result = -1;
        break;
    default:
        break;
    }
    if (!decided) {
        left.SetNull();
        return ErrorCode::None;
    }
    StoreLogical(left, result, known, known);
    return ErrorCode::None;
}

ErrorCode IntegerOperator(Op op, Value& left, const Value& right) {
    if (left.Is(Kind::Nothing) || right.Is(Kind::Nothing)) {
        return ErrorCode::ObjectVariableNotSet;
    }
    const bool logical = op != Op::Mod && op != Op::IntegerDivide;
    if (left.Is(Kind::Null) || right.Is(Kind::Null)) {
        if (logical) {
            return LogicalWithNull(op, left, right);
        }
        left.SetNull();
        return ErrorCode::None;
    }
    IntegerOperand a;
    IntegerOperand b;
    ErrorCode error = ErrorCode::None;
    if ((error = ToIntegerOperand(left, a)) != ErrorCode::None ||
        (error = ToIntegerOperand(right, b)) != ErrorCode::None) {
        return error;
    }
    if (logical) {
        StoreLogical(left, Bitwise(op, a.value, b.value), a, b);
        return ErrorCode::None;
    }
    if (b.value == 0) {
        return ErrorCode::DivisionByZero;
    }
    const std::int64_t x = a.value;
    const std::int64_t y = b.value;
    // C++ division truncates toward zero and % takes the dividend's sign, as mod and \ must.
    const std::int64_t result = op == Op::Mod ? x % y : x / y;
    if (!FitsLong(result)) {
        return ErrorCode::Overflow; // -2147483648 \ -1
    }
    const bool narrow = a.narrow && b.narrow && FitsInteger(result);
    if (a.byte && b.byte) {
        left.SetByte(static_cast<std::int32_t>(result));
    } else if (narrow) {
        left.SetInteger(static_cast<std::int32_t>(result));
    } else {
        left.SetLong(static_cast<std::int32_t>(result));
    }
    return ErrorCode::None;
}

ErrorCode CompareValues(Op op, Value& left, const Value& right) {
    ErrorCode error = ErrorCode::None;
    if (NullOrNothing(left, right, error)) {
        return error;
    }
    if (left.Is(Kind::Array) || right.Is(Kind::Array)) {
        return ErrorCode::TypeMismatch;
    }
    int order = 0;
    const bool leftText = left.Is(Kind::String);
    const bool rightText = right.Is(Kind::String);
    if (leftText && rightText) {
        const int c = left.Text().compare(right.Text());
        order = (c > 0) - (c < 0);
    } else if (leftText || rightText) {
        // Empty compares as ""; any number sorts before any string.
        const Value& other = leftText ? right : left;
        if (other.Is(Kind::Empty)) {
            const bool textEmpty = (leftText ? left : right).Text().empty();
            order = textEmpty ? 0 : (leftText ? 1 : -1);
        } else {
            order = leftText ? 1 : -1;
        }
    } else {
        const double x = left.Number();
        const double y = right.Number();
        order = (x > y) - (x < y);
    }
    bool result = false;
    switch (op) {
    case Op::Equal:
        result = order == 0;
        break;
    case Op::NotEqual:
        result = order != 0;
        break;
    case Op::Less:
        result = order < 0;
        break;
    case Op::Greater:
        result = order > 0;
        break;
    case Op::LessEqual:
        result = order <= 0;
        break;
    default:
        result = order >= 0;
        break;
    }
    left.SetBoolean(result);
    return ErrorCode::None;
}

ErrorCode ConcatenateValues(Value& left, const Value& right) {
    if (left.Is(Kind::Nothing) || right.Is(Kind::Nothing)) {
        return ErrorCode::ObjectVariableNotSet;
    }
    if (left.Is(Kind::Null) && right.Is(Kind::Null)) {
        return ErrorCode::None;
    }
    // What has no text (an array) is a type mismatch, on either side.
    std::string rightText;
    if (!right.Is(Kind::String) && !right.Is(Kind::Null)) {
        if (const ErrorCode error = ToText(right, rightText); error != ErrorCode::None) {
            return error;
        }
    }
    const std::string& b = right.Is(Kind::String) ? right.Text() : rightText;
    std::string leftText;
    if (!left.Is(Kind::String) && !left.Is(Kind::Null)) {
        if (const ErrorCode error = ToText(left, leftText); error != ErrorCode::None) {
            return error;
        }
    }
    const std::size_t leftSize = left.Is(Kind::String) ? left.Text().size() : leftText.size();
    if (leftSize + b.size() > MaxStringLength) {
        return ErrorCode::OutOfStringSpace;
    }
    // A String on the left is appended to in place: a chain a & b & c ... grows one string
    // rather than copying all that was joined so far at every step.
    if (!left.Is(Kind::String)) {
        left.SetString(std::move(leftText));
    }
    left.MutableText() += b;
    return ErrorCode::None;
}

ErrorCode NegateValue(Value& operand) {
    switch (operand.GetKind()) {
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Integer:
        StoreInteger(operand, -static_cast<std::int64_t>(operand.Integer()), Rank::Integer);
        return ErrorCode::None;
    case Kind::Long:
        StoreInteger(operand, -static_cast<std::int64_t>(operand.Integer()), Rank::Long);
        return ErrorCode::None;
    case Kind::Double:
        operand.SetDouble(-operand.Number());
        return ErrorCode::None;
    case Kind::String: {
        double number = 0.0;
        if (!ParseNumericText(operand.Text(), number)) {
            return ErrorCode::TypeMismatch;
        }
        operand.SetDouble(-number);
        return ErrorCode::None;
    }
    case Kind::Null:
        return ErrorCode::None;
    case Kind::Byte:
    case Kind::Single:
    case Kind::Currency:
    case Kind::Date:
        return ExtendedNegate(operand);
    case Kind::Array:
        return ErrorCode::TypeMismatch;
    case Kind::Nothing:
        break;
    }
    return ErrorCode::ObjectVariableNotSet;
}

ErrorCode NotValue(Value& operand) {
    if (operand.Is(Kind::Null)) {
        return ErrorCode::None;
    }
    IntegerOperand a;
    const ErrorCode error = ToIntegerOperand(operand, a);
    if (error != ErrorCode::None) {
        return error;
    }
    StoreLogical(operand, ~a.value, a, a);
    return ErrorCode::None;
}

} // namespace

ErrorCode RoundToLong(double value, std::int32_t& result) {
    if (!(value >= -2147483648.5 && value < 2147483647.5)) {
        return ErrorCode::Overflow;
    }
    result = static_cast<std::int32_t>(RoundHalfEven(value));
    return ErrorCode::None;
}

ErrorCode ToDouble(const Value& value, double& result) {
    Rank rank = Rank::Integer;
    return ArithmeticOperand(value, result, rank);
}

ErrorCode ToText(const Value& value, std::string& result) {
    switch (value.GetKind()) {
    case Kind::Empty:
        result.clear();
        return ErrorCode::None;
    case Kind::Boolean:
        result = value.Integer() != 0 ? "True" : "False";
        return ErrorCode::None;
    case Kind::Integer:
    case Kind::Long:
        result = std::to_string(value.Integer());
        return ErrorCode::None;
    case Kind::Double:
        result = FormatGeneral(value.Number());
        return ErrorCode::None;
    case Kind::String:
        result = value.Text();
        return ErrorCode::None;
    case Kind::Byte:
    case Kind::Single:
    case Kind::Currency:
    case Kind::Date:
        result = ExtendedText(value);
        return ErrorCode::None;
    case Kind::Null:
        return ErrorCode::InvalidUseOfNull;
    case Kind::Array:
        return ErrorCode::TypeMismatch;
    case Kind::Nothing:
        break;
    }
    return ErrorCode::ObjectVariableNotSet;
}

ErrorCode ApplyUnary(Op op, Value& operand) {
    return op == Op::Not ? NotValue(operand) : NegateValue(operand);
}

ErrorCode ApplyBinary(Op op, Value& left, const Value& right) {
    switch (op) {
    case Op::Add:
        return AddValues(left, right);
    case Op::Subtract:
    case Op::Multiply:
        return Arithmetic(op, left, right);
    case Op::Divide:
        return DivideValues(left, right);
    case Op::Power:
        return PowerValues(left, right);
    case Op::IntegerDivide:
    case Op::Mod:
    case Op::And:
    case Op::Or:
    case Op::Xor:
    case Op::Eqv:
    case Op::Imp:
        return IntegerOperator(op, left, right);
    case Op::Concatenate:
        return ConcatenateValues(left, right);
    case Op::Equal:
    case Op::NotEqual:
    case Op::Less:
    case Op::Greater:
    case Op::LessEqual:
    case Op::GreaterEqual:
        return CompareValues(op, left, right);
    default:
        break;
    }
    return ErrorCode::InvalidProcedureCall;
}

const char* Describe(ErrorCode code) {
    switch (code) {
    case ErrorCode::None:
        return "";
    case ErrorCode::InvalidProcedureCall:
        return "Invalid procedure call or argument";
    case ErrorCode::Overflow:
        return "Overflow";
    case ErrorCode::OutOfMemory:
        return "Out of memory";
    case ErrorCode::SubscriptOutOfRange:
        return "Subscript out of range";
    case ErrorCode::DivisionByZero:
        return "Division by zero";
    case ErrorCode::TypeMismatch:
        return "Type mismatch";
    case ErrorCode::OutOfStringSpace:
        return "Out of string space";
    case ErrorCode::Interrupted:
        return "User interrupt occurred";
    case ErrorCode::ExpressionTooComplex:
        return "Expression too complex";
    case ErrorCode::OutOfStackSpace:
        return "Out of stack space";
    case ErrorCode::ObjectVariableNotSet:
        return "Object variable not set";
    case ErrorCode::InvalidUseOfNull:
        return "Invalid use of Null";
    case ErrorCode::WrongNumberOfArguments:
        return "Wrong number of arguments or invalid property assignment";
    case ErrorCode::IllegalAssignment:
        return "Illegal assignment";
    case ErrorCode::SyntaxError:
        return "Syntax error";
    case ErrorCode::ExpectedIdentifier:
        return "Expected identifier";
    case ErrorCode::ExpectedExpression:
        return "Expected expression";
    }
    return "Unknown runtime error";
}

} // namespace script

void ScriptError::Set(script::ErrorCode number, std::optional<std::size_t> at) {
    code = number;
    description = script::Describe(number);
    name.clear();
    position = at;
    hint.unknownFunction.clear();
    hint.suggestion.clear();
    hint.suggestionIsOperator = false;
}

std::string HintText(const ScriptHint& hint) {
    if (hint.Empty()) {
        return {};
    }
    std::string text = "there is no function " + hint.unknownFunction;
    if (!hint.suggestion.empty()) {
        text += hint.suggestionIsOperator ? "; did you mean the operator " : "; did you mean ";
        text += hint.suggestion;
        text += '?';
    }
    return text;
}

std::string DescribeWithHint(const ScriptError& error) {
    if (error.hint.Empty()) {
        return error.description;
    }
    return error.description + " (" + HintText(error.hint) + ")";
}

std::optional<double> ToPlotNumber(const script::Value& value) {
    using script::Kind;
    switch (value.GetKind()) {
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Double:
        return value.Number();
    case Kind::String: {
        double number = 0.0;
        if (script::ParseNumericText(value.Text(), number)) {
            return number;
        }
        return std::nullopt;
    }
    case Kind::Byte:
    case Kind::Single:
    case Kind::Currency:
    case Kind::Date:
        return value.Number();
    case Kind::Null:
    case Kind::Nothing:
    case Kind::Array:
        break;
    }
    return std::nullopt;
}

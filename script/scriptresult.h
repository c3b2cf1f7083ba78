#pragma once

#include "script/value.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace script {

// Error numbers as the scripting language reports them, so users who know its messages find the
// same numbers here.
enum class ErrorCode : int {
    None = 0,
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
    TypeMismatch = 13,
    OutOfStringSpace = 14,
    // The evaluation was stopped from outside (see ScriptEvaluator::SetStopFlag).
    Interrupted = 18,
    ExpressionTooComplex = 16,
    OutOfStackSpace = 28,
    ObjectVariableNotSet = 91,
    InvalidUseOfNull = 94,
    WrongNumberOfArguments = 450,
    IllegalAssignment = 501,
    SyntaxError = 1002,
    ExpectedIdentifier = 1010,
    ExpectedExpression = 1023,
};

// The English message for an error number.
const char* Describe(ErrorCode code);

} // namespace script

// Advice that goes beside an error's own number and description: a call of a function that does
// not exist names the function and, when one is likely meant, the built-in or operator to use.
struct ScriptHint {
    // The name called; empty when there is no hint.
    std::string unknownFunction;
    // A built-in function's name, or an operator such as "^" when suggestionIsOperator.
    std::string suggestion;
    bool suggestionIsOperator = false;

    bool Empty() const { return unknownFunction.empty(); }
    bool operator==(const ScriptHint&) const = default;
};

struct ScriptError {
    script::ErrorCode code = script::ErrorCode::None;
    // Describe(code), followed by ": 'name'" when a name is at fault.
    std::string description;
    // The name at fault, as the description quotes it: the function or variable an error names
    // ("sqrt" for "Type mismatch: 'sqrt'"); empty when the error names none.
    std::string name;
    // Byte offset into the evaluated text of the token at fault, when one is to blame.
    std::optional<std::size_t> position;
    ScriptHint hint;

    // Makes this the bare error of the number: its description, no name and no hint. Filled in
    // place, so that code meeting the same error at every point reuses the description's buffer.
    void Set(script::ErrorCode number, std::optional<std::size_t> at = std::nullopt);
};

// The hint in English: "there is no function sqrt; did you mean sqr?". Empty for no hint.
std::string HintText(const ScriptHint& hint);
// The description with the hint in brackets after it, as a user reads the error:
// "Type mismatch: 'sqrt' (there is no function sqrt; did you mean sqr?)".
std::string DescribeWithHint(const ScriptError& error);

// Either the value of an expression or the error that stopped it.
class ScriptResult {
public:
    ScriptResult() = default;
    static ScriptResult Success(script::Value value) {
        ScriptResult result;
        result.m_value = std::move(value);
        return result;
    }
    static ScriptResult Failure(ScriptError error) {
        ScriptResult result;
        result.m_error = std::move(error);
        return result;
    }

    bool Ok() const { return m_error.code == script::ErrorCode::None; }
    // Empty when the result is an error.
    const script::Value& GetValue() const { return m_value; }
    const ScriptError& Error() const { return m_error; }

private:
    script::Value m_value;
    ScriptError m_error;
};

// The number a plotted curve takes from a value: numbers as they are, True -1, False 0, Empty 0,
// and a String only when its whole text reads as a number. Null, Nothing and other text have no
// place on a graph.
std::optional<double> ToPlotNumber(const script::Value& value);

#pragma once

#include "script/scriptevaluator.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The y value of a plotted function at x: the statements "x=<x>" and "pi=<pi>" in the general
// number form, then the expression (blanks around it removed) turned into a plot number. No
// number (an error, Null, text that is no number, a non-finite x or pi) gives nullopt; error,
// when given, then receives the evaluator's complaint (DescribeWithHint words it in English).
std::optional<double> EvaluateExpression(ScriptEvaluator& evaluator, double pi, double x,
                                         std::string_view expression, ScriptError* error = nullptr);

// The same for sampling one expression at many x: compiled once, x and pi set straight into
// their variables, plain arithmetic worked out on doubles. Gives bit for bit what
// EvaluateExpression gives, and leaves the evaluator's variables in the same state.
class PreparedExpression {
public:
    PreparedExpression(ScriptEvaluator& evaluator, std::string_view expression);

    std::optional<double> Evaluate(double pi, double x, ScriptError* error = nullptr);
    // The names the expression reads that hold no value now (see ScriptEvaluator).
    std::vector<std::string> EmptyVariables() const;

private:
    ScriptEvaluator& m_evaluator;
    std::string m_expression;
    ScriptEvaluator::Prepared m_prepared;
    ScriptEvaluator::VariableSlot m_x;
    ScriptEvaluator::VariableSlot m_pi;
    ScriptError m_error;
    double m_lastPi = 0.0;
    double m_roundedPi = 0.0;
    bool m_havePi = false;
};

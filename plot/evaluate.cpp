#include "plot/evaluate.h"

#include "script/number_text.h"

#include <cmath>

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// Beyond this the general number form of a value may read back as a number out of the double
// range, and the statement "x=..." would fail; such values take the statement route so both
// paths agree.
constexpr double LargestDirect = 1e300;

bool Direct(double value) {
    return std::isfinite(value) && std::fabs(value) < LargestDirect;
}

std::optional<double> Fail(ScriptError* error, const ScriptError& why) {
    if (error != nullptr) {
        *error = why;
    }
    return std::nullopt;
}

std::optional<double> Fail(ScriptError* error, script::ErrorCode code) {
    if (error != nullptr) {
        error->Set(code);
    }
    return std::nullopt;
}

std::optional<double> PlotNumberOf(const script::Value& value, ScriptError* error) {
    const std::optional<double> number = ToPlotNumber(value);
    if (!number) {
        return Fail(error, value.Is(script::Kind::Null) ? script::ErrorCode::InvalidUseOfNull
                           : value.Is(script::Kind::Nothing)
                               ? script::ErrorCode::ObjectVariableNotSet
                               : script::ErrorCode::TypeMismatch);
    }
    return number;
}

std::optional<double> PlotNumberOf(const ScriptResult& result, ScriptError* error) {
    if (!result.Ok()) {
        return Fail(error, result.Error());
    }
    return PlotNumberOf(result.GetValue(), error);
}

} // namespace

std::optional<double> EvaluateExpression(ScriptEvaluator& evaluator, double pi, double x,
                                         std::string_view expression, ScriptError* error) {
    // The general number form writes infinities and NaN as words, which the statement would
    // read as (unassigned) variable names: x would silently become 0.
    if (!std::isfinite(x) || !std::isfinite(pi)) {
        return Fail(error, script::ErrorCode::Overflow);
    }
    for (const auto& [name, value] : {std::pair{"x=", x}, std::pair{"pi=", pi}}) {
        const ScriptResult assigned = evaluator.ExecuteStatement(name + FormatGeneral(value));
        if (!assigned.Ok()) {
            return Fail(error, assigned.Error());
        }
    }
    return PlotNumberOf(evaluator.Eval(TrimBlanks(expression)), error);
}

PreparedExpression::PreparedExpression(ScriptEvaluator& evaluator, std::string_view expression)
    : m_evaluator(evaluator), m_expression(TrimBlanks(expression)) {
    // The variables first: creating one makes programs compiled before it stale.
    m_x = m_evaluator.FindOrAddVariable("x");
    m_pi = m_evaluator.FindOrAddVariable("pi");
    m_prepared = m_evaluator.Prepare(m_expression);
}

std::optional<double> PreparedExpression::Evaluate(double pi, double x, ScriptError* error) {
    if (!m_x.Valid() || !m_pi.Valid() || !Direct(x) || !Direct(pi)) {
        return EvaluateExpression(m_evaluator, pi, x, m_expression, error);
    }
    if (!m_havePi || pi != m_lastPi) {
        m_lastPi = pi;
        m_roundedPi = RoundToGeneral(pi);
        m_havePi = true;
    }
    m_evaluator.SetVariable(m_x, RoundToGeneral(x));
    m_evaluator.SetVariable(m_pi, m_roundedPi);
    double y = 0.0;
    if (!m_evaluator.EvalNumber(m_prepared, y, m_error)) {
        return Fail(error, m_error);
    }
    return y;
}

std::vector<std::string> PreparedExpression::EmptyVariables() const {
    return m_evaluator.EmptyVariables(m_prepared);
}

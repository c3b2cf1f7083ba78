#pragma once

#include <QtCore/QString>
#include <string>
#include <utility>
#include <vector>

class ScriptEvaluator;

// Parameters: names an expression reads that have no value of their own (not x, not pi, no
// named constant, built-in or reserved word), such as a, k or p2 in a*sin(k*x)+p2. Each has a
// value the user moves, within a range and by a step. A value of 0 draws as such a name always
// drew, so every settings file draws as before.
struct Parameter {
    QString name;
    double value = 0.0;
    double minimum = -10.0;
    double maximum = 10.0;
    double step = 0.1;
    // Read by an expression in F1 to F3; a name no expression reads any more keeps its value.
    bool used = true;

    bool operator==(const Parameter&) const = default;
};
using Parameters = std::vector<Parameter>;

// Names and values, as an evaluation takes them.
using ParameterValues = std::vector<std::pair<std::string, double>>;

// The parameter names an expression reads, in the order it first names them. Empty for a text
// that does not compile.
std::vector<QString> ParameterNamesOf(const QString& expression);

// The values of the parameters, all of them (a name an expression does not read costs nothing).
ParameterValues ValuesOf(const Parameters& parameters);

// Gives the evaluator's variables the parameters' values.
void SetParameterValues(ScriptEvaluator& evaluator, const ParameterValues& values);

// Adds the names the expressions read that are not parameters yet, in order, and marks each
// parameter as used or not by them. True when a name was added.
bool TakeParameterNames(Parameters& parameters, const std::vector<QString>& expressions);

// Marks each parameter as used or not by the expressions, adding none.
void MarkUsedParameters(Parameters& parameters, const std::vector<QString>& expressions);

// The parameter of a name, if there is one.
Parameter* FindParameter(Parameters& parameters, const QString& name);
const Parameter* FindParameter(const Parameters& parameters, const QString& name);

// A value the user typed or moved to; a value beyond the range widens it. False, and nothing
// changed, for a value that is no finite number.
bool SetParameterValue(Parameter& parameter, double value);

// The next value of an animation that runs from the minimum to the maximum and back by the
// step; direction is +1 or -1 and turns at the ends.
double AnimationStep(const Parameter& parameter, int& direction);

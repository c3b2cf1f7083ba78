#include "plot/parameters.h"

#include "graph/graphsettings.h"
#include "script/scriptevaluator.h"

#include <algorithm>
#include <cmath>

std::vector<QString> ParameterNamesOf(const QString& expression) {
    // On an evaluator of its own, where only x and pi hold values, every other variable the
    // expression reads is Empty: exactly the names without a value of their own.
    ScriptEvaluator evaluator;
    evaluator.SetVariable("x", 0.0);
    evaluator.SetVariable("pi", Pi);
    const ScriptEvaluator::Prepared prepared = evaluator.Prepare(expression.toStdString());
    std::vector<QString> names;
    for (const std::string& name : evaluator.EmptyVariables(prepared)) {
        names.push_back(QString::fromStdString(name));
    }
    return names;
}

ParameterValues ValuesOf(const Parameters& parameters) {
    ParameterValues values;
    values.reserve(parameters.size());
    for (const Parameter& p : parameters) {
        values.emplace_back(p.name.toStdString(), p.value);
    }
    return values;
}

void SetParameterValues(ScriptEvaluator& evaluator, const ParameterValues& values) {
    for (const auto& [name, value] : values) {
        evaluator.SetVariable(name, value);
    }
}

namespace {

// The parameter names the expressions read, each once, in order.
std::vector<QString> NamesRead(const std::vector<QString>& expressions) {
    std::vector<QString> read;
    for (const QString& expression : expressions) {
        if (expression.isEmpty()) {
            continue;
        }
        for (const QString& name : ParameterNamesOf(expression)) {
            if (std::find(read.begin(), read.end(), name) == read.end()) {
                read.push_back(name);
            }
        }
    }
    return read;
}

} // namespace

void MarkUsedParameters(Parameters& parameters, const std::vector<QString>& expressions) {
    const std::vector<QString> read = NamesRead(expressions);
    for (Parameter& p : parameters) {
        p.used = std::find(read.begin(), read.end(), p.name) != read.end();
    }
}

bool TakeParameterNames(Parameters& parameters, const std::vector<QString>& expressions) {
    const std::vector<QString> read = NamesRead(expressions);
    bool added = false;
    for (const QString& name : read) {
        if (FindParameter(parameters, name) == nullptr) {
            Parameter p;
            p.name = name;
            parameters.push_back(p);
            added = true;
        }
    }
    for (Parameter& p : parameters) {
        p.used = std::find(read.begin(), read.end(), p.name) != read.end();
    }
    return added;
}

Parameter* FindParameter(Parameters& parameters, const QString& name) {
    const auto found = std::find_if(parameters.begin(), parameters.end(),
                                    [&](const Parameter& p) { return p.name == name; });
    return found == parameters.end() ? nullptr : &*found;
}

const Parameter* FindParameter(const Parameters& parameters, const QString& name) {
    return FindParameter(const_cast<Parameters&>(parameters), name);
}

bool SetParameterValue(Parameter& parameter, double value) {
    if (!std::isfinite(value)) {
        return false;
    }
    parameter.value = value;
    parameter.minimum = std::min(parameter.minimum, value);
    parameter.maximum = std::max(parameter.maximum, value);
    return true;
}

double AnimationStep(const Parameter& parameter, int& direction) {
    const double step = parameter.step > 0 ? parameter.step : 0.1;
    double next = parameter.value + direction * step;
    if (next > parameter.maximum) {
        direction = -1;
        next = std::max(parameter.minimum, parameter.maximum - (next - parameter.maximum));
    } else if (next < parameter.minimum) {
        direction = 1;
        next = std::min(parameter.maximum, parameter.minimum + (parameter.minimum - next));
    }
    return next;
}

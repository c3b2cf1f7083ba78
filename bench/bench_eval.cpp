// The expression engine against hand-written C++ for the same expressions. BM_Eval is the
// per-column work of sampling once the program is compiled: put x into its variable, run the
// program, take the plot number. BM_Native is the same formula compiled by the C++ compiler.
// BM_EvalGeneral runs the general code on variants (EvalInPlace), which plain arithmetic skips.
// BM_EvaluatePrepared adds the 15-digit rounding of x that sampling does, and
// BM_EvaluateExpression is the statement path (parse "x=...", "pi=...", cached expression).

#include "plot/evaluate.h"
#include "script/number_text.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using Native = double (*)(double);

struct Case {
    const char* name;
    const char* expression;
    Native native;
};

const std::array<Case, 6> Cases{{
    {"x", "x", [](double x) { return x; }},
    {"sin", "sin(x)", [](double x) { return std::sin(x); }},
    {"quadratic", "x^2+3*x-1", [](double x) { return std::pow(x, 2.0) + 3 * x - 1; }},
    {"sincos", "sin(x)*cos(x)/(1+x^2)",
     [](double x) { return std::sin(x) * std::cos(x) / (1 + std::pow(x, 2.0)); }},
    {"gauss", "exp(-x^2/8)*cos(3*x)",
     [](double x) { return std::exp(-std::pow(x, 2.0) / 8) * std::cos(3 * x); }},
    {"polynomial60", "-0.5*x^8-1.5*x^7+2*x^6-3*x^5+4*x^4-5*x^3+6*x^2-7*x+8-x^9+2.5*x^10+x",
     [](double x) {
         return -0.5 * std::pow(x, 8.0) - 1.5 * std::pow(x, 7.0) + 2 * std::pow(x, 6.0) -
                3 * std::pow(x, 5.0) + 4 * std::pow(x, 4.0) - 5 * std::pow(x, 3.0) +
                6 * std::pow(x, 2.0) - 7 * x + 8 - std::pow(x, 9.0) + 2.5 * std::pow(x, 10.0) + x;
     }},
}};

// Sample points as a plot takes them: fractional steps across the visible range.
std::vector<double> SamplePoints() {
    std::vector<double> xs(1024);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        xs[i] = -10.0 + 20.0 * (static_cast<double>(i) + 0.37) / static_cast<double>(xs.size());
    }
    return xs;
}

void Eval(benchmark::State& state, const Case& c) {
    const std::vector<double> xs = SamplePoints();
    ScriptEvaluator evaluator;
    const ScriptEvaluator::VariableSlot slot = evaluator.FindOrAddVariable("x");
    ScriptEvaluator::Prepared prepared = evaluator.Prepare(c.expression);
    ScriptError error;
    std::size_t i = 0;
    for (auto _ : state) {
        evaluator.SetVariable(slot, xs[i++ & 1023]);
        double y = 0.0;
        const bool ok = evaluator.EvalNumber(prepared, y, error);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(y);
    }
}

void EvalGeneral(benchmark::State& state, const Case& c) {
    const std::vector<double> xs = SamplePoints();
    ScriptEvaluator evaluator;
    const ScriptEvaluator::VariableSlot slot = evaluator.FindOrAddVariable("x");
    ScriptEvaluator::Prepared prepared = evaluator.Prepare(c.expression);
    ScriptError error;
    std::size_t i = 0;
    for (auto _ : state) {
        evaluator.SetVariable(slot, xs[i++ & 1023]);
        const script::Value* value = nullptr;
        std::optional<double> y;
        if (evaluator.EvalInPlace(prepared, value, error)) {
            y = ToPlotNumber(*value);
        }
        benchmark::DoNotOptimize(y);
    }
}

void NativeCase(benchmark::State& state, const Case& c) {
    const std::vector<double> xs = SamplePoints();
    std::size_t i = 0;
    for (auto _ : state) {
        double x = xs[i++ & 1023];
        benchmark::DoNotOptimize(x);
        double y = c.native(x);
        benchmark::DoNotOptimize(y);
    }
}

void EvaluatePreparedCase(benchmark::State& state, const Case& c) {
    const std::vector<double> xs = SamplePoints();
    ScriptEvaluator evaluator;
    PreparedExpression prepared(evaluator, c.expression);
    const double pi = 4.0 * std::atan(1.0);
    std::size_t i = 0;
    for (auto _ : state) {
        std::optional<double> y = prepared.Evaluate(pi, xs[i++ & 1023]);
        benchmark::DoNotOptimize(y);
    }
}

void EvaluateExpressionCase(benchmark::State& state, const Case& c) {
    const std::vector<double> xs = SamplePoints();
    ScriptEvaluator evaluator;
    const double pi = 4.0 * std::atan(1.0);
    std::size_t i = 0;
    for (auto _ : state) {
        std::optional<double> y = EvaluateExpression(evaluator, pi, xs[i++ & 1023], c.expression);
        benchmark::DoNotOptimize(y);
    }
}

// A text nested 5000 levels deep (brackets, signs, not), compiled and evaluated once per
// iteration: what a pasted or generated monster expression costs.
void EvalDeepNesting(benchmark::State& state, const char* open, const char* close) {
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += open;
    }
    text += "x";
    for (int i = 0; i < 5000; ++i) {
        text += close;
    }
    for (auto _ : state) {
        ScriptEvaluator evaluator;
        evaluator.SetVariable("x", 0.5);
        ScriptResult result = evaluator.Eval(text);
        benchmark::DoNotOptimize(result);
    }
}

// len(x&x&...&x) with as many & as the argument says, x a number as the sampling sets it: the
// time per & stays flat from 7,500 to 30,000 terms (a text of 60 KB) when concatenation is
// linear; "per_amp" tells it.
void EvalConcatenationChain(benchmark::State& state) {
    const auto terms = static_cast<int>(state.range(0));
    std::string text = "len(x";
    for (int i = 0; i < terms; ++i) {
        text += "&x";
    }
    text += ")";
    ScriptEvaluator evaluator;
    const ScriptEvaluator::VariableSlot x = evaluator.FindOrAddVariable("x");
    evaluator.SetVariable(x, 1.5);
    ScriptEvaluator::Prepared prepared = evaluator.Prepare(text);
    for (auto _ : state) {
        ScriptResult result = evaluator.Eval(prepared);
        benchmark::DoNotOptimize(result);
    }
    state.counters["per_amp"] = benchmark::Counter(static_cast<double>(terms),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

const bool Registered = [] {
    for (const Case& c : Cases) {
        const std::string name = c.name;
        benchmark::RegisterBenchmark(("BM_Eval/" + name).c_str(), Eval, c);
        benchmark::RegisterBenchmark(("BM_Native/" + name).c_str(), NativeCase, c);
        benchmark::RegisterBenchmark(("BM_EvalGeneral/" + name).c_str(), EvalGeneral, c);
        benchmark::RegisterBenchmark(("BM_EvaluatePrepared/" + name).c_str(), EvaluatePreparedCase,
                                     c);
        benchmark::RegisterBenchmark(("BM_EvaluateExpression/" + name).c_str(),
                                     EvaluateExpressionCase, c);
    }
    benchmark::RegisterBenchmark("BM_EvalDeepNesting/brackets", EvalDeepNesting, "(", ")");
    benchmark::RegisterBenchmark("BM_EvalDeepNesting/signs", EvalDeepNesting, "-", "");
    benchmark::RegisterBenchmark("BM_EvalDeepNesting/not", EvalDeepNesting, "not ", "");
    benchmark::RegisterBenchmark("BM_EvalDeepNesting/calls", EvalDeepNesting, "abs(", ")");
    benchmark::RegisterBenchmark("BM_EvalConcatenationChain", EvalConcatenationChain)
        ->Arg(7500)
        ->Arg(15000)
        ->Arg(30000);
    return true;
}();

} // namespace

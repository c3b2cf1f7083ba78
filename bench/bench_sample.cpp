// Sampling one curve over a 1920-column sheet: two assignments and one evaluation per column.
// Read BM_Sample/<name> against 1921 times BM_Native/<name> of bench_eval.cpp.
#include "platform/progress.h"
#include "platform/surface.h"
#include "plot/sampling.h"
#include "script/scriptevaluator.h"

#include <benchmark/benchmark.h>
#include <chrono>

namespace {

void SampleWith(benchmark::State& bench, const char* expression, Progress* progress) {
    Surface sheet(1920, 1080);
    GraphSettings settings;
    GraphState state;
    InitGraphState(settings, state, sheet);
    ScriptEvaluator evaluator;
    const QString text = QString::fromUtf8(expression);
    for (auto _ : bench) {
        SampleFunction(evaluator, settings, state, 1, text, progress);
        benchmark::ClobberMemory();
    }
    bench.counters["columns"] = state.PlotValues.LastColumn() + 1;
}

void Sample(benchmark::State& bench, const char* expression) {
    SampleWith(bench, expression, nullptr);
}

// Progress as the window's dialog takes it: a look at the clock every column, going on.
class ClockProgress : public Progress {
public:
    bool Advance(std::int64_t done, std::int64_t) override {
        m_last = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(done);
        return true;
    }

private:
    std::chrono::steady_clock::time_point m_last;
};

// The same sampling told about every column: read against BM_Sample/<name> of the same run.
void SampleWithProgress(benchmark::State& bench, const char* expression) {
    ClockProgress progress;
    SampleWith(bench, expression, &progress);
}

BENCHMARK_CAPTURE(Sample, x, "x")->Name("BM_Sample/x");
BENCHMARK_CAPTURE(SampleWithProgress, x, "x")->Name("BM_SampleWithProgress/x");
BENCHMARK_CAPTURE(Sample, sin, "sin(x)")->Name("BM_Sample/sin");
BENCHMARK_CAPTURE(Sample, quadratic, "x^2+3*x-1")->Name("BM_Sample/quadratic");
BENCHMARK_CAPTURE(Sample, sincos, "sin(x)*cos(x)/(1+x^2)")->Name("BM_Sample/sincos");
BENCHMARK_CAPTURE(Sample, gauss, "exp(-x^2/8)*cos(3*x)")->Name("BM_Sample/gauss");
BENCHMARK_CAPTURE(SampleWithProgress, gauss, "exp(-x^2/8)*cos(3*x)")
    ->Name("BM_SampleWithProgress/gauss");

} // namespace

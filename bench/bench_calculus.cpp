// The calculus tools on a 1920 × 1080 sheet with a smooth curve, each read against a RedrawAll of
// the same sheet timed in the same run: the counter vs_RedrawAll is the ratio of the two.
// Shading the whole width with its integral is to stay under 5.
#include "program/calculus.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/redraw.h"

#include <benchmark/benchmark.h>
#include <ctime>
#include <functional>
#include <memory>

namespace {

// The thread's own processor time: the machine may be busy with other work.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void SmoothSheet(CurvaneState& state, bool second) {
    StartGraph(state, 1920, 1080);
    ExpressionChanged(state, 1, QStringLiteral("sin(x/10)*20+x/8"));
    DrawButtonClicked(state, state.scriptEvalFn, 1);
    if (second) {
        AddRow(state, 2);
        ExpressionChanged(state, 2, QStringLiteral("cos(x/7)*15"));
        DrawButtonClicked(state, state.scriptEvalFn, 2);
    }
}

// Seconds of processor time a RedrawAll of the sheet takes.
double RedrawAllSeconds(CurvaneState& state) {
    constexpr int Runs = 20;
    RedrawAll(state);
    const double start = ThreadSeconds();
    for (int i = 0; i < Runs; ++i) {
        RedrawAll(state);
    }
    return (ThreadSeconds() - start) / Runs;
}

// Runs work on a sheet made afresh each time (the making is not timed), and reports its time
// against RedrawAll's.
void AgainstRedrawAll(benchmark::State& bench, bool second,
                      const std::function<void(CurvaneState&)>& work) {
    double redraw = 0.0;
    {
        CurvaneState base;
        SmoothSheet(base, second);
        redraw = RedrawAllSeconds(base);
    }
    double spent = 0.0;
    std::int64_t runs = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        auto state = std::make_unique<CurvaneState>();
        SmoothSheet(*state, second);
        bench.ResumeTiming();
        const double start = ThreadSeconds();
        work(*state);
        spent += ThreadSeconds() - start;
        ++runs;
        benchmark::ClobberMemory();
        bench.PauseTiming();
        state.reset();
        bench.ResumeTiming();
    }
    bench.counters["vs_RedrawAll"] = spent / static_cast<double>(runs) / redraw;
    bench.counters["RedrawAll_ms"] = redraw * 1e3;
}

void BM_RedrawAll(benchmark::State& bench) {
    CurvaneState state;
    SmoothSheet(state, false);
    for (auto _ : bench) {
        RedrawAll(state);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RedrawAll)->Name("BM_RedrawAll/smooth_1920")->Unit(benchmark::kMillisecond);

// The whole width of the sheet shaded under the curve, with its integral and label.
void BM_ShadeUnder(benchmark::State& bench) {
    AgainstRedrawAll(bench, false, [](CurvaneState& state) {
        const CalculusOutcome outcome = DrawArea(state, state.scriptEvalFn, {1, 0, -240.0, 240.0});
        benchmark::DoNotOptimize(outcome.drawn);
    });
}
BENCHMARK(BM_ShadeUnder)->Name("BM_ShadeArea/under_1920")->Unit(benchmark::kMillisecond);

// The same between two curves that cross again and again: ∫|f − g| with its kinks, and ∫(f − g).
void BM_ShadeBetween(benchmark::State& bench) {
    AgainstRedrawAll(bench, true, [](CurvaneState& state) {
        const CalculusOutcome outcome = DrawArea(state, state.scriptEvalFn, {1, 2, -240.0, 240.0});
        benchmark::DoNotOptimize(outcome.drawn);
    });
}
BENCHMARK(BM_ShadeBetween)->Name("BM_ShadeArea/between_1920")->Unit(benchmark::kMillisecond);

// A derivative curve over all 1921 columns: a slope of about twenty evaluations per column.
void BM_DerivativeCurve(benchmark::State& bench) {
    AgainstRedrawAll(bench, false, [](CurvaneState& state) {
        const CalculusOutcome outcome = DrawDerivative(state, state.scriptEvalFn, 1);
        benchmark::DoNotOptimize(outcome.drawn);
    });
}
BENCHMARK(BM_DerivativeCurve)
    ->Name("BM_DerivativeCurve/smooth_1920")
    ->Unit(benchmark::kMillisecond);

// One tangent by a click: the slope, the line and the label.
void BM_Tangent(benchmark::State& bench) {
    AgainstRedrawAll(bench, false, [](CurvaneState& state) {
        const CalculusOutcome outcome = DrawTangent(state, state.scriptEvalFn, 1, 12.5);
        benchmark::DoNotOptimize(outcome.drawn);
    });
}
BENCHMARK(BM_Tangent)->Name("BM_Tangent/smooth_1920")->Unit(benchmark::kMillisecond);

} // namespace

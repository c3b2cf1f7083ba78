// Work moved off the window's thread against the same work done on it, in the same run: a draw
// of three curves computed on a worker thread against DrawButtonClicked, and the readout of a
// simple curve through its worker against computing it in place.
#include "platform/latestworker.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/readout.h"

#include <QtCore/QSemaphore>
#include <QtCore/QThreadPool>
#include <benchmark/benchmark.h>

namespace {

void ThreeExpressions(CurvaneState& state) {
    StartGraph(state, 1920, 1080);
    const char* const expressions[] = {"sin(x/10)*20", "x*x/100-50", "cos(x/7)*30"};
    for (int slot = 1; slot <= 3; ++slot) {
        AddRow(state, slot);
        ExpressionChanged(state, slot, QString::fromLatin1(expressions[slot - 1]));
    }
}

void BM_DrawThreeInPlace(benchmark::State& bench) {
    CurvaneState state;
    ThreeExpressions(state);
    for (auto _ : bench) {
        for (int slot = 1; slot <= 3; ++slot) {
            ExpressionChanged(state, slot, SlotOf(state.Slots, slot).Expression);
            DrawButtonClicked(state, state.scriptEvalFn, slot);
        }
    }
}
BENCHMARK(BM_DrawThreeInPlace)->Unit(benchmark::kMillisecond);

void BM_DrawThreeOnWorker(benchmark::State& bench) {
    CurvaneState state;
    ThreeExpressions(state);
    for (auto _ : bench) {
        for (int slot = 1; slot <= 3; ++slot) {
            ExpressionChanged(state, slot, SlotOf(state.Slots, slot).Expression);
            DrawOutcome outcome;
            std::optional<SampleJob> job = BeginDrawClick(state, slot, nullptr, outcome);
            // As the window runs it: on a thread of the pool, waited for.
            QSemaphore ended;
            QThreadPool::globalInstance()->start([&job, &ended] {
                ScriptEvaluator evaluator;
                RunSampleJob(*job, evaluator, nullptr);
                ended.release();
            });
            ended.acquire();
            FinishDrawClick(state, std::move(*job));
        }
    }
}
BENCHMARK(BM_DrawThreeOnWorker)->Unit(benchmark::kMillisecond);

void DrawnSine(CurvaneState& state) {
    StartGraph(state, 1920, 1080);
    ExpressionChanged(state, 1, QStringLiteral("sin(x/10)*20"));
    DrawButtonClicked(state, state.scriptEvalFn, 1);
}

void BM_ReadoutInPlace(benchmark::State& bench) {
    CurvaneState state;
    DrawnSine(state);
    double x = 0;
    for (auto _ : bench) {
        x = x > 1900 ? 0 : x + 1;
        benchmark::DoNotOptimize(ReadoutAt(state, QPointF(x, 300)));
    }
}
BENCHMARK(BM_ReadoutInPlace)->Unit(benchmark::kMicrosecond);

// What the window does at a mouse move: the request made and posted, the answer waited for.
void BM_ReadoutOnWorker(benchmark::State& bench) {
    CurvaneState state;
    DrawnSine(state);
    auto evaluator = std::make_shared<ScriptEvaluator>();
    LatestRequestWorker<ReadoutRequest, std::vector<ReadoutLine>> worker(
        [evaluator](const ReadoutRequest& request, const std::atomic<bool>&) {
            return ComputeReadout(request, *evaluator);
        },
        [](std::uint64_t, const std::vector<ReadoutLine>&) {});
    double x = 0;
    for (auto _ : bench) {
        x = x > 1900 ? 0 : x + 1;
        const std::optional<ReadoutRequest> request = MakeReadoutRequest(state, QPointF(x, 300));
        std::vector<ReadoutLine> lines;
        worker.WaitFor(worker.Post(*request), std::chrono::milliseconds(15), lines);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_ReadoutOnWorker)->Unit(benchmark::kMicrosecond);

} // namespace

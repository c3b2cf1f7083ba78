// One live frame of a moved parameter on a 1920 × 1080 sheet with its grid and tick numbers, as
// the window makes it: three curves of a*sin(b*x)+c computed again with the new value on two
// threads (threads:1 on one, for comparison) (sampling), their old pixels taken back from the
// sheet's lowest layers and the new curves drawn (drawing), and the part of the picture that
// changed painted with its labels into an image like a window's backing store (presenting). Each
// part is timed; after the frames, a bare clear of the same sheet is timed as BM_Clear times it,
// one after another, and frame_x_clear is the frame's time over the clear's.
#include "platform/surface.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/parametercommands.h"
#include "program/stamping.h"
#include "script/scriptevaluator.h"

#include <QtGui/QPainter>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void BM_ParameterFrame(benchmark::State& bench) {
    CurvaneState state;
    StartGraph(state, 1920, 1080);
    const char* const expressions[] = {"a*sin(b*x)+c", "a*sin(b*x)+c+20", "a*sin(b*x)+c-20"};
    for (int slot = 1; slot <= 3; ++slot) {
        ExpressionChanged(state, slot, QString::fromLatin1(expressions[slot - 1]));
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
    ParameterValueChanged(state, QStringLiteral("a"), 15);
    ParameterValueChanged(state, QStringLiteral("b"), 0.1);
    // As the window computes a frame: the jobs on two threads.
    ScriptEvaluator evaluator;
    ScriptEvaluator helper;
    Surface bare(1920, 1080);
    QImage screen(1920, 1080, QImage::Format_RGB32);
    double sampling = 0, drawing = 0, presenting = 0;
    double a = 15;
    for (auto _ : bench) {
        a = a == 15 ? 15.1 : 15;
        ParameterValueChanged(state, QStringLiteral("a"), a);
        Clock::time_point start = Clock::now();
        ParameterFrame frame = BeginParameterFrame(state, false);
        RunParameterFrame(frame, evaluator, nullptr, bench.range(0) == 2 ? &helper : nullptr);
        sampling += Since(start);
        start = Clock::now();
        if (!FinishParameterFrame(state, frame)) {
            bench.SkipWithError("the frame was not drawn");
            break;
        }
        drawing += Since(start);
        start = Clock::now();
        {
            // As the sheet's view paints the part of it the frame changed.
            const QRegion changed = RegionOf(frame.changed);
            QPainter painter(&screen);
            painter.setClipRegion(changed);
            painter.drawImage(0, 0, state.Sheet.Image());
            DrawSheetLabels(painter, state, TextEdges::Pixel, &changed);
        }
        presenting += Since(start);
        benchmark::DoNotOptimize(screen.constBits());
    }
    // The bare clear as BM_Clear times it: one after another.
    constexpr int Clears = 500;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < Clears; ++i) {
        bare.Clear();
        benchmark::ClobberMemory();
    }
    const double clearing = Since(start) / Clears;
    const double n = static_cast<double>(bench.iterations());
    bench.counters["sampling_us"] = sampling / n;
    bench.counters["drawing_us"] = drawing / n;
    bench.counters["presenting_us"] = presenting / n;
    bench.counters["clear_us"] = clearing;
    bench.counters["frame_x_clear"] = (sampling + drawing + presenting) / n / clearing;
}
BENCHMARK(BM_ParameterFrame)
    ->Name("BM_ParameterFrame/three_curves_1920")
    ->ArgName("threads")
    ->Arg(2)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

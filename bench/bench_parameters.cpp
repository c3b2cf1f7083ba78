// One live frame of a moved parameter on a 1920 × 1080 sheet with its grid and tick numbers:
// three curves of a*sin(b*x)+c computed again with the new value (sampling), the sheet drawn
// anew from its record with the new curves (drawing), and the picture with its labels painted
// into a window's backing image (presenting). Each part is timed, and so is a bare clear of the
// same sheet in the same loop; frame_x_clear is the frame's time over the clear's.
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
    ScriptEvaluator evaluator;
    Surface bare(1920, 1080);
    QImage screen(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    double sampling = 0, drawing = 0, presenting = 0, clearing = 0;
    double a = 15;
    for (auto _ : bench) {
        a = a == 15 ? 15.1 : 15;
        ParameterValueChanged(state, QStringLiteral("a"), a);
        Clock::time_point start = Clock::now();
        ParameterFrame frame = BeginParameterFrame(state, false);
        RunParameterFrame(frame, evaluator, nullptr);
        sampling += Since(start);
        start = Clock::now();
        if (!FinishParameterFrame(state, std::move(frame))) {
            bench.SkipWithError("the frame was not drawn");
            break;
        }
        drawing += Since(start);
        start = Clock::now();
        {
            QPainter painter(&screen);
            painter.drawImage(0, 0, state.Sheet.Image());
            DrawSheetLabels(painter, state, TextEdges::Pixel);
        }
        presenting += Since(start);
        benchmark::DoNotOptimize(screen.constBits());
        start = Clock::now();
        bare.Clear();
        benchmark::ClobberMemory();
        clearing += Since(start);
    }
    const double n = static_cast<double>(bench.iterations());
    bench.counters["sampling_us"] = sampling / n;
    bench.counters["drawing_us"] = drawing / n;
    bench.counters["presenting_us"] = presenting / n;
    bench.counters["clear_us"] = clearing / n;
    bench.counters["frame_x_clear"] = (sampling + drawing + presenting) / clearing;
}
BENCHMARK(BM_ParameterFrame)
    ->Name("BM_ParameterFrame/three_curves_1920")
    ->Unit(benchmark::kMillisecond);

} // namespace

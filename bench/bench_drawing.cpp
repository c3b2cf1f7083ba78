// Drawing costs on a 1920 × 1080 sheet, read against BM_Clear/1920x1080 of the same run.
#include "graph/griddrawing.h"
#include "plot/curvedrawing.h"
#include "program/bitmapcommands.h"
#include "program/curvanestate.h"
#include "program/redraw.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;

// Rows of y = f(x) sampled as the sheet would store them.
template <class F>
void FillRows(CurvaneState& state, int slot, F&& f) {
    const GraphSettings& s = state.Settings;
    const GraphState& g = state.Graph;
    for (int c = 0; c <= g.PlotValues.LastColumn(); ++c) {
        const double x = (c - s.OriginX) / s.XSmallSpacing * g.XSmallValue;
        double row = s.OriginY - f(x) / g.YSmallValue * s.YSmallSpacing;
        row = std::clamp(row, -static_cast<double>(g.PlotLimit), static_cast<double>(g.PlotLimit));
        state.Graph.PlotValues.Set(slot, c, static_cast<float>(row));
    }
}

void BM_Clear(benchmark::State& bench) {
    Surface surface(Width, Height);
    for (auto _ : bench) {
        surface.Clear();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Clear)->Name("BM_Clear/1920x1080");

void BM_DrawGrid(benchmark::State& bench) {
    CurvaneState state;
    StartGraph(state, Width, Height);
    for (auto _ : bench) {
        DrawGrid(state.Sheet, state.Settings, state.Graph.GraphWidthPx, state.Graph.GraphHeightPx);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawGrid)->Name("BM_DrawGrid/default");

void BM_RedrawAll(benchmark::State& bench) {
    CurvaneState state;
    StartGraph(state, Width, Height);
    FillRows(state, 1, [](double x) { return 20 * std::sin(x / 10); });
    FillRows(state, 2, [](double x) { return x * x / 100 - 50; });
    FillRows(state, 3, [](double x) { return 30 * std::cos(x / 7) * std::exp(-x * x / 40000); });
    for (int slot = 1; slot <= 3; ++slot) {
        SlotOf(state.Slots, slot).Drawn = true;
    }
    for (auto _ : bench) {
        RedrawAll(state);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RedrawAll)->Name("BM_RedrawAll/three_curves");

void BM_RedrawSettings(benchmark::State& bench) {
    CurvaneState state;
    StartGraph(state, Width, Height);
    state.Settings.XTickLabelMode = state.Settings.YTickLabelMode = 2;
    state.Settings.XSmallSpacing = state.Settings.YSmallSpacing = 1;
    for (auto _ : bench) {
        RedrawSettings(state);
        benchmark::ClobberMemory();
    }
    bench.counters["labels"] = state.Xmoji.Count() + state.Ymoji.Count();
}
BENCHMARK(BM_RedrawSettings)->Name("BM_RedrawSettings/dense_ticks");

// The heaviest sheet the window allows: 2180 pixels square, a scale line at every pixel and a
// tick number at every line, three curves. Whether a full redraw or a copy to the clipboard
// can take long enough to need a progress dialog.
void HeaviestSheet(CurvaneState& state) {
    StartGraph(state, 2180, 2180);
    GraphSettings& s = state.Settings;
    s.XSmallSpacing = s.YSmallSpacing = 1;
    s.XMediumEvery = s.YMediumEvery = 1;
    s.XLargeEvery = s.YLargeEvery = 1;
    s.XTickLabelMode = s.YTickLabelMode = 2;
    RedrawSettings(state);
    FillRows(state, 1, [](double x) { return 20 * std::sin(x / 10); });
    FillRows(state, 2, [](double x) { return 10 * std::tan(x / 20); });
    FillRows(state, 3, [](double x) { return x * x / 100 - 50; });
    for (int slot = 1; slot <= 3; ++slot) {
        SlotOf(state.Slots, slot).Drawn = true;
        SlotOf(state.Slots, slot).StyleCode = QStringLiteral("鎖3");
    }
}

void BM_RedrawAllHeaviest(benchmark::State& bench) {
    CurvaneState state;
    HeaviestSheet(state);
    for (auto _ : bench) {
        RedrawAll(state);
        benchmark::ClobberMemory();
    }
    bench.counters["labels"] = state.Xmoji.Count() + state.Ymoji.Count();
}
BENCHMARK(BM_RedrawAllHeaviest)->Name("BM_RedrawAll/heaviest_2180")->Unit(benchmark::kMillisecond);

void BM_RedrawSettingsHeaviest(benchmark::State& bench) {
    CurvaneState state;
    HeaviestSheet(state);
    for (auto _ : bench) {
        RedrawSettings(state); // the grid and every tick number placed anew
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RedrawSettingsHeaviest)
    ->Name("BM_RedrawSettings/heaviest_2180")
    ->Unit(benchmark::kMillisecond);

void BM_CopyHeaviest(benchmark::State& bench) {
    CurvaneState state;
    HeaviestSheet(state);
    for (auto _ : bench) {
        CopyToClipboard(state); // stamping, the clipboard, and the redraw after it
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyHeaviest)->Name("BM_CopyToClipboard/heaviest_2180")->Unit(benchmark::kMillisecond);

void BM_DrawFunction(benchmark::State& bench) {
    CurvaneState state;
    StartGraph(state, Width, Height);
    FillRows(state, 1, [](double x) { return 10 * std::tan(x / 20); });
    FunctionSlot& slot = SlotOf(state.Slots, 1);
    slot.StyleCode = QStringLiteral("点3");
    for (auto _ : bench) {
        DrawFunction(state.Sheet, state.Settings, state.Graph, slot, 1, state.PatternPhase);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawFunction)->Name("BM_DrawFunction/dot3_pole");

} // namespace

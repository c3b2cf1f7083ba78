// Reading values off the graph on a 1920 × 1080 sheet with three curves drawn. Read
// BM_Readout against BM_SampleOneCurve of the same run (what one draw button costs): the readout
// runs at every mouse move and must stay far below it. BM_Table and BM_Features are the table
// window's work for 100,000 rows of the three functions.
#include "plot/features.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/readout.h"
#include "program/tablecommands.h"

#include <benchmark/benchmark.h>

namespace {

const char* const Functions[] = {"sin(x)*20", "x^2/10-5", "exp(-x^2/50)*10"};

struct Drawn {
    CurvaneState state;
    Drawn() {
        StartGraph(state, 1920, 1080);
        for (int slot = 1; slot <= 3; ++slot) {
            SlotOf(state.Slots, slot).RowShown = true;
            ExpressionChanged(state, slot, QString::fromLatin1(Functions[slot - 1]));
            DrawButtonClicked(state, state.scriptEvalFn, slot);
        }
    }
};

void BM_SampleOneCurve(benchmark::State& bench) {
    Drawn d;
    for (auto _ : bench) {
        SampleFunction(d.state.scriptEvalFn, d.state.Settings, d.state.Graph, 1,
                       QString::fromLatin1(Functions[0]));
    }
}
BENCHMARK(BM_SampleOneCurve);

void BM_Readout(benchmark::State& bench) {
    Drawn d;
    double x = 0;
    for (auto _ : bench) {
        // A mouse wandering across the sheet.
        x = x >= 1900 ? 0 : x + 7;
        benchmark::DoNotOptimize(ReadoutAt(d.state, QPointF(x, 300)));
    }
}
BENCHMARK(BM_Readout);

void BM_Table(benchmark::State& bench) {
    Drawn d;
    const TableRange range{0.001, 100, 0.001};
    for (auto _ : bench) {
        ValueTable table = MakeValueTable(d.state, range, CountTableRows(range).rows);
        table.Compute(d.state.scriptEvalFn, nullptr);
        benchmark::DoNotOptimize(table.Rows());
    }
}
BENCHMARK(BM_Table)->Unit(benchmark::kMillisecond);

void BM_Features(benchmark::State& bench) {
    Drawn d;
    const TableRange range{0.001, 100, 0.001};
    ValueTable table = MakeValueTable(d.state, range, CountTableRows(range).rows);
    table.Compute(d.state.scriptEvalFn, nullptr);
    std::size_t found = 0;
    for (auto _ : bench) {
        found = FindFeatures(table, d.state.scriptEvalFn, nullptr)->features.size();
    }
    bench.counters["points"] = static_cast<double>(found);
}
BENCHMARK(BM_Features)->Unit(benchmark::kMillisecond);

} // namespace

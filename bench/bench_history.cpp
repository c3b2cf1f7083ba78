// Undo and redo on a 1920 × 1080 sheet with three curves and fifty labels, each read as a ratio
// to a RedrawAll of that sheet timed in the same run; saving and reading a worksheet of a hundred
// curves and fifty labels, with its size.
#include "bench/sheets.h"
#include "files/safefile.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/history.h"
#include "program/redraw.h"
#include "program/textlabels.h"
#include "program/worksheetcommands.h"

#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Seconds per RedrawAll of the sheet, the baseline.
double RedrawSeconds(CurvaneState state) {
    constexpr int runs = 20;
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i) {
        RedrawAll(state);
    }
    return std::chrono::duration<double>(Clock::now() - start).count() / runs;
}

// Undoes and redoes one step in turn; the counter is the time of one, over a RedrawAll's.
void UndoRedo(benchmark::State& bench, CurvaneState& state, DocumentHistory& history) {
    const double baseline = RedrawSeconds(state);
    bool undo = true;
    const auto start = Clock::now();
    for (auto _ : bench) {
        RestoreDocument(state, undo ? *history.Undo() : *history.Redo());
        undo = !undo;
        benchmark::DoNotOptimize(state.Sheet.Image().constBits());
    }
    const double each = std::chrono::duration<double>(Clock::now() - start).count() /
                        static_cast<double>(bench.iterations());
    bench.counters["ratio_to_RedrawAll"] = each / baseline;
}

void BM_UndoLabelMove(benchmark::State& bench) {
    CurvaneState state;
    LabelledSheet(state);
    DocumentHistory history;
    history.Reset(state);
    DropLabel(state, RefTo(state, LabelKind::Free, 1), {700.5, 300});
    if (!history.Record(state, StepName(Step::LabelMove))) {
        bench.SkipWithError("the label did not move");
        return;
    }
    UndoRedo(bench, state, history);
}
BENCHMARK(BM_UndoLabelMove)->Name("BM_Undo/label_move/three_curves_50_labels");

void BM_UndoDraw(benchmark::State& bench) {
    CurvaneState state;
    LabelledSheet(state);
    DocumentHistory history;
    history.Reset(state);
    ExpressionChanged(state, 1, QStringLiteral("tan(x/20)*9"));
    DrawButtonClicked(state, state.scriptEvalFn, 1);
    history.Record(state, StepName(Step::Draw, 1));
    UndoRedo(bench, state, history); // the sheet is drawn anew from the record each time
}
BENCHMARK(BM_UndoDraw)->Name("BM_Undo/draw/three_curves_50_labels");

// A hundred curves and fifty labels, and a place for their worksheet.
struct Family {
    CurvaneState state;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("family.cvw"));
    Family() {
        HundredCurves(state);
        FiftyLabels(state);
    }
    FileProblem Save() const { return WriteBytesSafely(path, WorksheetBytes(state, {7000, 6000})); }
};

void BM_WorksheetSave(benchmark::State& bench) {
    const Family family;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(family.Save().japanese.size());
    }
    bench.counters["file_MB"] = static_cast<double>(QFileInfo(family.path).size()) / 1048576.0;
}
BENCHMARK(BM_WorksheetSave)
    ->Name("BM_WorksheetSave/100_curves_50_labels")
    ->Unit(benchmark::kMillisecond);

void BM_WorksheetOpen(benchmark::State& bench) {
    const Family family;
    family.Save();
    CurvaneState opened;
    StartGraph(opened, 100, 100);
    for (auto _ : bench) {
        // Read, checked and put on the sheet, as opening it in the window does.
        ApplyWorksheet(opened, *ReadWorksheetFile(family.path, nullptr), family.path);
        benchmark::DoNotOptimize(opened.Sheet.Image().constBits());
    }
}
BENCHMARK(BM_WorksheetOpen)
    ->Name("BM_WorksheetOpen/100_curves_50_labels")
    ->Unit(benchmark::kMillisecond);

} // namespace

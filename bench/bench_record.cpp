// The sheet record on a 1920 × 1080 sheet: rebuilding the picture from it, read against
// BM_RedrawAll of the same sheet in the same run; its size with a hundred curves; a vector print
// of that sheet into a PDF.
#include "bench/sheets.h"
#include "program/curvanestate.h"
#include "program/export.h"
#include "program/functionpanel.h"
#include "program/redraw.h"
#include "program/stamping.h"
#include "program/textlabels.h"

#include <QtCore/QBuffer>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <benchmark/benchmark.h>

namespace {

void BM_RedrawAllLabelled(benchmark::State& bench) {
    CurvaneState state;
    LabelledSheet(state);
    for (auto _ : bench) {
        RedrawAll(state);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RedrawAllLabelled)->Name("BM_RedrawAll/three_curves_50_labels");

void BM_RebuildFromRecord(benchmark::State& bench) {
    CurvaneState state;
    LabelledSheet(state);
    for (auto _ : bench) {
        const QImage picture = RecordPicture(state);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_RebuildFromRecord)->Name("BM_RebuildFromRecord/three_curves_50_labels");

void BM_RecordOfHundredCurves(benchmark::State& bench) {
    CurvaneState state;
    HundredCurves(state);
    for (auto _ : bench) {
        benchmark::DoNotOptimize(state.Record.curves.data());
    }
    // What the record holds beyond the sheet's own table: each curve with its rows.
    double bytes = sizeof(SheetRecord);
    for (const DrawnCurve& curve : state.Record.curves) {
        bytes += sizeof(DrawnCurve) + (curve.graph.PlotValues.LastColumn() + 1) * sizeof(float) +
                 2.0 * (curve.expression.size() + curve.styleCode.size());
    }
    bench.counters["curves"] = static_cast<double>(state.Record.curves.size());
    bench.counters["record_MB"] = bytes / 1048576.0;
}
BENCHMARK(BM_RecordOfHundredCurves)->Name("BM_Record/hundred_curves_size")->Iterations(1);

void BM_VectorPrintHundredCurves(benchmark::State& bench) {
    CurvaneState state;
    HundredCurves(state);
    for (auto _ : bench) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::A3));
        writer.setPageOrientation(QPageLayout::Landscape);
        QPainter painter(&writer);
        const double perMm = 1200 / 25.4;
        PaintSheetOnPage(painter, state,
                         QRectF(10 * perMm, 10 * perMm, 508 * perMm, 285.75 * perMm),
                         PrintQuality::High);
        painter.end();
        bench.counters["pdf_MB"] = bytes.size() / 1048576.0;
    }
}
BENCHMARK(BM_VectorPrintHundredCurves)
    ->Name("BM_PrintHighQuality/hundred_curves_pdf")
    ->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The evaluations of a hundred-curve print, apart from writing it: one point a column, and the
// points a 600-dpi page takes.
void BM_SampleHundredCurves(benchmark::State& bench) {
    CurvaneState state;
    HundredCurves(state);
    for (auto _ : bench) {
        auto curves =
            SampleSheetCurves(state, state.scriptEvalFn, static_cast<int>(bench.range(0)));
        benchmark::DoNotOptimize(curves.data());
    }
}
BENCHMARK(BM_SampleHundredCurves)->Arg(1)->Arg(7)->Unit(benchmark::kMillisecond);

} // namespace

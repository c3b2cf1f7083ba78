// Print-quality export of the designed 331 × 253 sheet with three curves, read against
// BM_FillImage of the same picture size in the same run.
#include "program/curvanestate.h"
#include "program/export.h"
#include "program/functionpanel.h"

#include <QtCore/QBuffer>
#include <QtGui/QImageWriter>
#include <benchmark/benchmark.h>

namespace {

void ThreeCurves(CurvaneState& state) {
    StartGraph(state, 331, 253);
    const char* const expressions[] = {"sin(x)*20", "tan(x)*5", "x*x/10-20"};
    const char* const styles[] = {"実2", "鎖1", "点2"};
    for (int slot = 1; slot <= 3; ++slot) {
        ExpressionChanged(state, slot, QString::fromLatin1(expressions[slot - 1]));
        SlotOf(state.Slots, slot).StyleCode = QString::fromUtf8(styles[slot - 1]);
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
}

void BM_FillImage(benchmark::State& bench) {
    CurvaneState state;
    StartGraph(state, 331, 253);
    const QSize size = RasterSize(state, static_cast<int>(bench.range(0)));
    for (auto _ : bench) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_FillImage)->Arg(600)->Arg(1200)->Unit(benchmark::kMillisecond);

void BM_ExportPaint(benchmark::State& bench) {
    CurvaneState state;
    ThreeCurves(state);
    for (auto _ : bench) {
        const QImage image = RenderSheetImage(state, static_cast<int>(bench.range(0)));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ExportPaint)->Arg(600)->Arg(1200)->Unit(benchmark::kMillisecond);

void BM_ExportPngEncode(benchmark::State& bench) {
    CurvaneState state;
    ThreeCurves(state);
    const QImage image = RenderSheetImage(state, static_cast<int>(bench.range(0)));
    for (auto _ : bench) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(image);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ExportPngEncode)->Arg(600)->Arg(1200)->Unit(benchmark::kMillisecond);

} // namespace

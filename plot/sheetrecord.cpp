#include "plot/sheetrecord.h"

#include "graph/griddrawing.h"
#include "platform/surface.h"
#include "plot/curvedrawing.h"

#include <atomic>

std::uint64_t NewSheetId() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

std::int16_t DrawRecordedCurve(Surface& surface, const DrawnCurve& curve) {
    std::int16_t phase = curve.startPhase;
    DrawFunction(surface, curve.settings, curve.graph, PenOf(curve.colour, curve.styleCode),
                 curve.slot, phase);
    return phase;
}

void RenderRecord(const SheetRecord& record, Surface& surface) {
    surface.SetScaleSize(record.size.width(), record.size.height());
    if (record.background.isNull()) {
        surface.ClearPicture();
    } else {
        surface.SetPicture(record.background);
    }
    DrawGrid(surface, record.grid, static_cast<float>(record.size.width()),
             static_cast<float>(record.size.height()));
    for (const DrawnCurve& curve : record.curves) {
        DrawRecordedCurve(surface, curve);
    }
}

#include "plot/sheetrecord.h"

#include "graph/griddrawing.h"
#include "platform/surface.h"
#include "plot/curvedrawing.h"

#include <QtGui/QPainter>
#include <algorithm>
#include <atomic>
#include <cmath>

std::uint64_t NewSheetId() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

std::int16_t DrawRecordedCurve(Surface& surface, const DrawnCurve& curve, ColumnSpans* reach) {
    std::int16_t phase = curve.startPhase;
    DrawFunction(surface, curve.settings, curve.graph, PenOf(curve.colour, curve.styleCode),
                 curve.slot, phase, reach);
    return phase;
}

bool RecordBase::Shows(const SheetRecord& record) const {
    return !m_picture.isNull() && m_size == record.size &&
           m_background == record.background.cacheKey() && m_grid == record.grid &&
           m_areas == record.areas;
}

void RecordBase::Keep(const SheetRecord& record, const QImage& picture) {
    m_picture = picture;
    m_size = record.size;
    m_background = record.background.cacheKey();
    m_grid = record.grid;
    m_areas = record.areas;
}

void RenderRecord(const SheetRecord& record, Surface& surface, RecordBase* base) {
    surface.SetScaleSize(record.size.width(), record.size.height());
    if (record.background.isNull()) {
        surface.ClearPicture();
    } else {
        surface.SetPicture(record.background);
    }
    if (base != nullptr && base->Shows(record)) {
        // The surface as drawing the grid leaves it, then the picture it gave.
        surface.SetDrawStyle(DrawStyle::Solid);
        surface.SetDrawWidth(1);
        surface.SetBackColor(record.grid.BackgroundColor);
        surface.Image() = base->Picture();
    } else {
        DrawGrid(surface, record.grid, static_cast<float>(record.size.width()),
                 static_cast<float>(record.size.height()));
        for (const ShadedArea& area : record.areas) {
            DrawShadedArea(surface, area);
        }
        if (base != nullptr) {
            base->Keep(record, surface.Image());
        }
    }
    for (const DrawnCurve& curve : record.curves) {
        DrawRecordedCurve(surface, curve);
    }
    for (const TangentLine& tangent : record.tangents) {
        DrawTangentLine(surface, tangent);
    }
}

namespace {
// The pixels the curve may have set on the surface: those noted as it was drawn, or else found
// from its rows into `found`.
const ColumnSpans& ReachOf(const Surface& surface, const DrawnCurve& curve, ColumnSpans& found) {
    if (curve.reach && curve.reach->Width() == surface.Width() &&
        curve.reach->Height() == surface.Height()) {
        return *curve.reach;
    }
    found = ColumnSpans(surface.Width(), surface.Height());
    AddCurveReach(found, curve.settings, curve.graph, PenOf(curve.colour, curve.styleCode),
                  curve.slot);
    return found;
}

void AddBounds(std::vector<QRect>& changed, const ColumnSpans& reach) {
    if (!reach.IsEmpty()) {
        changed.push_back(reach.Bounds());
    }
}
} // namespace

void AddRecordedCurveReach(std::vector<QRect>& changed, const Surface& surface,
                           const DrawnCurve& curve) {
    ColumnSpans found;
    AddBounds(changed, ReachOf(surface, curve, found));
}

bool EraseRecordedCurves(SheetRecord& record, Surface& surface, RecordBase* base,
                         const std::vector<std::uint64_t>& rowsIds, std::vector<QRect>& changed) {
    auto& curves = record.curves;
    const auto gone = std::stable_partition(curves.begin(), curves.end(), [&](const DrawnCurve& c) {
        return std::find(rowsIds.begin(), rowsIds.end(), c.rowsId) == rowsIds.end();
    });
    if (gone == curves.end()) {
        return false;
    }
    const bool inPlace = base != nullptr && base->Shows(record) &&
                         surface.Image().size() == record.size &&
                         surface.Image().size() == base->Picture().size();
    if (!inPlace) {
        curves.erase(gone, curves.end());
        RenderRecord(record, surface, base);
        changed.emplace_back(QPoint(0, 0), record.size);
        return true;
    }
    // A pixel none of them set shows what it showed; one they may have set shows the base with
    // everything drawn after it over it again, and drawing a curve twice sets the same pixels.
    for (auto curve = gone; curve != curves.end(); ++curve) {
        ColumnSpans found;
        const ColumnSpans& reach = ReachOf(surface, *curve, found);
        surface.Restore(base->Picture(), reach);
        AddBounds(changed, reach);
    }
    curves.erase(gone, curves.end());
    for (const DrawnCurve& curve : curves) {
        DrawRecordedCurve(surface, curve);
    }
    for (const TangentLine& tangent : record.tangents) {
        DrawTangentLine(surface, tangent);
    }
    return true;
}

QColor AreaFillColour(ColorRef colour) {
    QColor fill = ToQColor(colour);
    fill.setAlpha(AreaFillAlpha);
    return fill;
}

void DrawShadedArea(Surface& surface, const ShadedArea& area) {
    if (area.outline.size() < 3) {
        return;
    }
    QPainter painter(&surface.Image());
    painter.setPen(Qt::NoPen);
    painter.setBrush(AreaFillColour(area.colour));
    // A curve's columns are the pixels' centres, as the export draws them.
    painter.translate(0.5, 0.0);
    painter.drawPolygon(area.outline, Qt::WindingFill);
}

void DrawTangentLine(Surface& surface, const TangentLine& tangent) {
    surface.SetDrawWidth(1);
    surface.SetDrawStyle(DrawStyle::Solid);
    if (!tangent.line.isNull()) {
        surface.Line(tangent.line.x1(), tangent.line.y1(), tangent.line.x2(), tangent.line.y2(),
                     tangent.colour);
    }
    // A disc of five pixels across, its corners left out.
    const double x = std::floor(tangent.point.x());
    const double y = std::floor(tangent.point.y());
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (dx * dx + dy * dy <= 5) {
                surface.Point(x + dx, y + dy, tangent.colour);
            }
        }
    }
}

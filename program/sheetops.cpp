#include "program/sheetops.h"

#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/layout.h"
#include "program/redraw.h"
#include "script/number_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double LargestOuterTwips = 32767.0;

SizeRefusal Check(double pixels) {
    if (!(pixels >= 1.0)) {
        return SizeRefusal::NotPositive;
    }
    if (units::PixelsToTwips(pixels + 2 * SheetFramePx) > LargestOuterTwips) {
        return SizeRefusal::TooLarge;
    }
    return SizeRefusal::None;
}

int PixelsOfMillimetres(const QString& text) {
    const double pixels = units::MillimetresToPixels(ReadLeadingNumber(text.toStdString()));
    if (!(std::fabs(pixels) < 1e9)) {
        return pixels > 0 ? std::numeric_limits<int>::max() : 0;
    }
    return RoundToWhole(pixels);
}

// A spacing moved by a zoom step, kept within 1 and the 16-bit range.
std::int16_t Zoomed(std::int16_t spacing, int direction) {
    const int next = spacing + 2 * direction;
    return static_cast<std::int16_t>(std::clamp(next, 1, 32767));
}

float ClampOrigin(double origin, float size) {
    if (origin < 0) {
        return 0.0f;
    }
    if (origin >= size) {
        return size - 1.0f;
    }
    return static_cast<float>(origin);
}

} // namespace

QString SizeRefusalText(SizeRefusal refusal) {
    switch (refusal) {
    case SizeRefusal::NotPositive:
        // The graph size must be more than 0 mm.
        return QStringLiteral("グラフサイズは 0 mm より大きくしてください");
    case SizeRefusal::TooLarge:
        // The graph size is too large (576 mm at most).
        return QStringLiteral("グラフサイズが大きすぎます（最大 576 mm）");
    case SizeRefusal::None:
        break;
    }
    return {};
}

SizeRefusal CheckSheetSize(double widthPx, double heightPx) {
    return std::max(Check(widthPx), Check(heightPx));
}

void SetSheetSize(CurvaneState& state, int widthPx, int heightPx) {
    state.Sheet.SetScaleSize(widthPx, heightPx);
    state.Graph.GraphWidthPx = static_cast<float>(widthPx);
    state.Graph.GraphHeightPx = static_cast<float>(heightPx);
    ResizePlotTable(state.Graph);
}

SizeRefusal ResizeSheet(CurvaneState& state, int widthPx, int heightPx) {
    const SizeRefusal refusal = CheckSheetSize(widthPx, heightPx);
    if (refusal != SizeRefusal::None) {
        return refusal;
    }
    SetSheetSize(state, widthPx, heightPx);
    RedrawSettings(state);
    return SizeRefusal::None;
}

SizeRefusal ApplySheetWidth(CurvaneState& state, const QString& millimetres) {
    return ResizeSheet(state, PixelsOfMillimetres(millimetres), state.Sheet.Height());
}

SizeRefusal ApplySheetHeight(CurvaneState& state, const QString& millimetres) {
    return ResizeSheet(state, state.Sheet.Width(), PixelsOfMillimetres(millimetres));
}

GuideLines GuideLinesAt(const CurvaneState& state, double x, double y, const GuideLines& previous) {
    const double right = state.Graph.GraphWidthPx - 1.0;
    const double bottom = state.Graph.GraphHeightPx - 1.0;
    GuideLines lines = previous;
    const auto span = [](std::int16_t side, double at, double last, double& from, double& to) {
        switch (side) {
        case -1:
            from = 0;
            to = at;
            return true;
        case 0:
            from = 0;
            to = last;
            return true;
        case 1:
            from = at;
            to = last;
            return true;
        default:
            return false;
        }
    };
    double from = 0;
    double to = 0;
    if (span(state.Settings.XSide, x, right, from, to)) {
        lines.lineX = QLineF(from, y, to, y);
    } else {
        lines.lineX = QLineF(previous.lineX.x1(), y, previous.lineX.x2(), y);
    }
    if (span(state.Settings.YSide, y, bottom, from, to)) {
        lines.lineY = QLineF(x, from, x, to);
    } else {
        lines.lineY = QLineF(x, previous.lineY.y1(), x, previous.lineY.y2());
    }
    return lines;
}

void PlaceOrigin(CurvaneState& state, float x, float y) {
    state.Settings.OriginX = x;
    state.Settings.OriginY = y;
    RedrawSettings(state);
}

bool CancelMouseModes(CurvaneState& state) {
    const bool active = state.ZoomDirection != 0 || state.OriginDragging ||
                        state.CalculusArmed != CalculusTool::None;
    state.ZoomDirection = 0;
    state.OriginDragging = false;
    state.CalculusArmed = CalculusTool::None;
    state.AreaDragFrom.reset();
    state.AreaDragTo.reset();
    return active;
}

void ZoomAt(CurvaneState& state, int direction, float x, float y) {
    GraphSettings& s = state.Settings;
    // Small steps from the origin to the grid line nearest to the click.
    const auto steps = [](double distance, std::int16_t spacing) -> std::int16_t {
        return spacing == 0 ? std::int16_t(0) : ToInt16(distance / spacing);
    };
    const std::int16_t nx = steps(static_cast<double>(x) - s.OriginX, s.XSmallSpacing);
    const std::int16_t ny = steps(static_cast<double>(y) - s.OriginY, s.YSmallSpacing);
    s.XSmallSpacing = Zoomed(s.XSmallSpacing, direction);
    s.YSmallSpacing = Zoomed(s.YSmallSpacing, direction);
    s.OriginX = ClampOrigin(static_cast<double>(x) - static_cast<double>(s.XSmallSpacing) * nx,
                            state.Graph.GraphWidthPx);
    s.OriginY = ClampOrigin(static_cast<double>(y) - static_cast<double>(s.YSmallSpacing) * ny,
                            state.Graph.GraphHeightPx);
    RedrawSettings(state);
}

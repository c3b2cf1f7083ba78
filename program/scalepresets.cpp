#include "program/scalepresets.h"

#include "graph/graphsettings.h"
#include "program/curvanestate.h"
#include "program/redraw.h"

#include <algorithm>
#include <cmath>

namespace {

struct AxisScale {
    int smallSpacing; // pixels
    int mediumEvery;
    int largeEvery;
    double smallValue;
    QString unit;
};

void SetAxis(CurvaneState& state, Axis axis, const AxisScale& scale) {
    const AxisFields fields = AxisOf(state.Settings, axis);
    fields.SmallSpacing = static_cast<std::int16_t>(std::clamp(scale.smallSpacing, 1, 32767));
    fields.MediumEvery = static_cast<std::int16_t>(scale.mediumEvery);
    fields.LargeEvery = static_cast<std::int16_t>(scale.largeEvery);
    const AxisValues values = AxisValuesOf(state.Graph, axis);
    values.SmallValue = scale.smallValue;
    values.UnitName = scale.unit;
    values.OriginValue = 0.0;
}

// The widest whole-pixel spacing of unit steps that still shows 10 steps on both sides of the
// origin; on one side only when the origin lies too near an edge for both.
int SpacingForTen(float origin, float size) {
    const double nearSide = std::min<double>(origin, size - origin);
    const double farSide = std::max<double>(origin, size - origin);
    const double room = nearSide >= 10.0 ? nearSide : farSide;
    return static_cast<int>(std::floor(room / 10.0));
}

} // namespace

QString ScalePresetCaption(ScalePreset preset) {
    switch (preset) {
    case ScalePreset::Trigonometric:
        return QStringLiteral("三角関数"); // trigonometric functions
    case ScalePreset::Zoom10:
        return QStringLiteral("拡大 ±10"); // zoomed to ±10
    case ScalePreset::Standard:
        break;
    }
    return QStringLiteral("標準"); // standard
}

void ApplyScalePreset(CurvaneState& state, ScalePreset preset) {
    switch (preset) {
    case ScalePreset::Standard:
        for (const Axis axis : {Axis::X, Axis::Y}) {
            SetAxis(state, axis, {4, 5, 2, 1.0, PlainUnitName});
        }
        break;
    case ScalePreset::Trigonometric:
        // A small step of π/4 over 12 pixels: π every 48 pixels (12.7 mm), numbered; y in
        // tenths over 4 pixels, so sin's ±1 is 40 pixels either way.
        SetAxis(state, Axis::X, {12, 2, 2, 0.25, PiUnitName});
        SetAxis(state, Axis::Y, {4, 5, 2, 0.1, PlainUnitName});
        break;
    case ScalePreset::Zoom10:
        // Unit steps, a large (numbered) line at 10.
        SetAxis(state, Axis::X,
                {SpacingForTen(state.Settings.OriginX, state.Graph.GraphWidthPx), 5, 2, 1.0,
                 PlainUnitName});
        SetAxis(state, Axis::Y,
                {SpacingForTen(state.Settings.OriginY, state.Graph.GraphHeightPx), 5, 2, 1.0,
                 PlainUnitName});
        break;
    }
    RedrawSettings(state);
}

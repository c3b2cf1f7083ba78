#include "graph/graphsettings.h"

#include "platform/surface.h"

#include <cmath>
#include <limits>

AxisSteps XSteps(const GraphSettings& s) {
    const std::int32_t small = s.XSmallSpacing;
    const std::int32_t medium = small * s.XMediumEvery;
    return {small, medium, medium * s.XLargeEvery};
}

AxisSteps YSteps(const GraphSettings& s) {
    const std::int32_t small = s.YSmallSpacing;
    const std::int32_t medium = small * s.YMediumEvery;
    return {small, medium, medium * s.YLargeEvery};
}

std::int32_t RoundHalfEven(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = std::nearbyint(value);
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(rounded);
}

void PlotTable::Redim(int lastColumn) {
    m_lastColumn = std::max(lastColumn, 0);
    m_rows.assign(static_cast<std::size_t>(m_lastColumn + 1) * SlotRows, 0.0f);
}

float PlotTable::Get(int slot, int column) const {
    if (!HasColumn(column) || slot < 0 || slot >= SlotRows) {
        return 0.0f;
    }
    return m_rows[static_cast<std::size_t>(column) * SlotRows + static_cast<std::size_t>(slot)];
}

void PlotTable::Set(int slot, int column, float row) {
    if (!HasColumn(column) || slot < 0 || slot >= SlotRows) {
        return;
    }
    m_rows[static_cast<std::size_t>(column) * SlotRows + static_cast<std::size_t>(slot)] = row;
}

void ResizePlotTable(GraphState& state) {
    state.PlotValues.Redim(RoundHalfEven(state.GraphWidthPx));
    state.PlotLimit = state.GraphHeightPx * 5.0f;
}

void ResetGraphSettings(GraphSettings& s, GraphState& state, const Surface& sheet) {
    ResizePlotTable(state);
    s.XAxisOn = s.YAxisOn = true;
    s.BackgroundColor = Rgb(255, 255, 255);
    s.XAxisColor = s.YAxisColor = Rgb(112, 112, 255);
    s.OriginX = static_cast<float>(sheet.Width()) / 2.0f;
    s.OriginY = static_cast<float>(sheet.Height()) / 2.0f;
    s.XSmallLinesOn = s.YSmallLinesOn = true;
    s.XMediumLinesOn = s.YMediumLinesOn = true;
    s.XLargeLinesOn = s.YLargeLinesOn = true;
    s.XSmallSpacing = s.YSmallSpacing = 4;
    s.XMediumEvery = s.YMediumEvery = 5;
    s.XSide = s.YSide = 0;
    s.XLargeEvery = s.YLargeEvery = 2;
    s.YSmallLineColor = s.XSmallLineColor = Rgb(192, 255, 255);
    s.YMediumLineColor = s.XMediumLineColor = Rgb(112, 255, 255);
    s.YLargeLineColor = s.XLargeLineColor = Rgb(32, 255, 255);
    s.XTickLabelMode = s.YTickLabelMode = 4;
    s.XTickLabelColor = s.YTickLabelColor = Rgb(0, 0, 255);
    s.XTickLabelSize = s.YTickLabelSize = 9.0f;
    state.XSmallValue = state.YSmallValue = 1.0;
    state.XUnitName = state.YUnitName = PlainUnitName;
    state.XOriginValue = state.YOriginValue = 0.0;
}

void InitGraphState(GraphSettings& settings, GraphState& state, const Surface& sheet) {
    state.Pi = 4.0 * std::atan(1.0);
    state.GraphWidthPx = static_cast<float>(sheet.Width());
    state.GraphHeightPx = static_cast<float>(sheet.Height());
    ResetGraphSettings(settings, state, sheet);
}

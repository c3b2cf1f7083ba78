#include "graph/graphsettings.h"

#include "platform/surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

template <typename Fields, typename Settings>
Fields FieldsOf(Settings& s, Axis axis) {
    if (axis == Axis::X) {
        return {s.OriginX,       s.XSide,           s.XSmallLinesOn,    s.XMediumLinesOn,
                s.XLargeLinesOn, s.XAxisOn,         s.XSmallSpacing,    s.XMediumEvery,
                s.XLargeEvery,   s.XSmallLineColor, s.XMediumLineColor, s.XLargeLineColor,
                s.XAxisColor,    s.XTickLabelMode,  s.XTickLabelColor,  s.XTickLabelSize};
    }
    return {s.OriginY,       s.YSide,           s.YSmallLinesOn,    s.YMediumLinesOn,
            s.YLargeLinesOn, s.YAxisOn,         s.YSmallSpacing,    s.YMediumEvery,
            s.YLargeEvery,   s.YSmallLineColor, s.YMediumLineColor, s.YLargeLineColor,
            s.YAxisColor,    s.YTickLabelMode,  s.YTickLabelColor,  s.YTickLabelSize};
}

template <typename Values, typename State>
Values ValuesOf(State& g, Axis axis) {
    if (axis == Axis::X) {
        return {g.XUnitName, g.XOriginValue, g.XSmallValue};
    }
    return {g.YUnitName, g.YOriginValue, g.YSmallValue};
}

} // namespace

AxisFields AxisOf(GraphSettings& settings, Axis axis) {
    return FieldsOf<AxisFields>(settings, axis);
}

ConstAxisFields AxisOf(const GraphSettings& settings, Axis axis) {
    return FieldsOf<ConstAxisFields>(settings, axis);
}

AxisValues AxisValuesOf(GraphState& state, Axis axis) {
    return ValuesOf<AxisValues>(state, axis);
}

ConstAxisValues AxisValuesOf(const GraphState& state, Axis axis) {
    return ValuesOf<ConstAxisValues>(state, axis);
}

void CopyAxisValues(ConstAxisValues from, AxisValues to) {
    to.UnitName = from.UnitName;
    to.OriginValue = from.OriginValue;
    to.SmallValue = from.SmallValue;
}

AxisSteps StepsOf(const GraphSettings& settings, Axis axis) {
    const ConstAxisFields a = AxisOf(settings, axis);
    const std::int32_t small = a.SmallSpacing;
    const std::int32_t medium = small * a.MediumEvery;
    return {small, medium, medium * a.LargeEvery};
}

std::int32_t RoundToWhole(double value) {
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
    for (std::shared_ptr<Rows>& rows : m_rows) {
        rows = std::make_shared<Rows>(static_cast<std::size_t>(m_lastColumn) + 1, 0.0f);
    }
}

float PlotTable::Get(int slot, int column) const {
    if (!HasColumn(column) || slot < 0 || slot >= SlotRows) {
        return 0.0f;
    }
    const std::shared_ptr<Rows>& rows = m_rows[static_cast<std::size_t>(slot)];
    return rows ? (*rows)[static_cast<std::size_t>(column)] : 0.0f;
}

void PlotTable::Set(int slot, int column, float row) {
    if (!HasColumn(column) || slot < 0 || slot >= SlotRows) {
        return;
    }
    std::shared_ptr<Rows>& rows = m_rows[static_cast<std::size_t>(slot)];
    if (!rows) {
        rows = std::make_shared<Rows>(static_cast<std::size_t>(m_lastColumn) + 1, 0.0f);
    } else if (rows.use_count() > 1) {
        rows = std::make_shared<Rows>(*rows); // another table or a drawn curve still reads these
    }
    (*rows)[static_cast<std::size_t>(column)] = row;
}

PlotTable PlotTable::OnlySlot(int slot) const {
    PlotTable only;
    only.m_lastColumn = m_lastColumn;
    if (slot >= 0 && slot < SlotRows) {
        only.m_rows[static_cast<std::size_t>(slot)] = m_rows[static_cast<std::size_t>(slot)];
    }
    return only;
}

const std::shared_ptr<PlotTable::Rows>& PlotTable::SharedRows(int slot) const {
    static const std::shared_ptr<Rows> none;
    return slot >= 0 && slot < SlotRows ? m_rows[static_cast<std::size_t>(slot)] : none;
}

bool PlotTable::SetSharedRows(int slot, std::shared_ptr<Rows> rows) {
    if (slot < 0 || slot >= SlotRows ||
        (rows && rows->size() != static_cast<std::size_t>(m_lastColumn) + 1)) {
        return false;
    }
    m_rows[static_cast<std::size_t>(slot)] = std::move(rows);
    return true;
}

bool PlotTable::operator==(const PlotTable& other) const {
    if (m_lastColumn != other.m_lastColumn) {
        return false;
    }
    for (std::size_t slot = 0; slot < m_rows.size(); ++slot) {
        const std::shared_ptr<Rows>& a = m_rows[slot];
        const std::shared_ptr<Rows>& b = other.m_rows[slot];
        if (a == b) {
            continue;
        }
        // Bit for bit, so that a row without a number equals itself. A slot without rows reads
        // as 0 everywhere.
        const auto zero = [](const std::shared_ptr<Rows>& rows) {
            return !rows || std::all_of(rows->begin(), rows->end(), [](float v) { return v == 0; });
        };
        const bool same =
            a && b ? a->size() == b->size() &&
                         std::memcmp(a->data(), b->data(), a->size() * sizeof(float)) == 0
                   : zero(a) && zero(b);
        if (!same) {
            return false;
        }
    }
    return true;
}

bool PlotTable::AdoptSlot(const PlotTable& from, int slot) {
    if (from.m_lastColumn != m_lastColumn || slot < 0 || slot >= SlotRows ||
        !from.m_rows[static_cast<std::size_t>(slot)]) {
        return false;
    }
    m_rows[static_cast<std::size_t>(slot)] = from.m_rows[static_cast<std::size_t>(slot)];
    return true;
}

bool SameMapping(const GraphState& a, const GraphState& b) {
    return a.GraphWidthPx == b.GraphWidthPx && a.GraphHeightPx == b.GraphHeightPx &&
           a.PlotLimit == b.PlotLimit && a.XUnitName == b.XUnitName && a.YUnitName == b.YUnitName &&
           a.XOriginValue == b.XOriginValue && a.YOriginValue == b.YOriginValue &&
           a.XSmallValue == b.XSmallValue && a.YSmallValue == b.YSmallValue;
}

void ResizePlotTable(GraphState& state) {
    state.PlotValues.Redim(RoundToWhole(state.GraphWidthPx));
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
    state.GraphWidthPx = static_cast<float>(sheet.Width());
    state.GraphHeightPx = static_cast<float>(sheet.Height());
    ResetGraphSettings(settings, state, sheet);
}

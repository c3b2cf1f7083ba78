#include "graph/mapping.h"

#include <cmath>
#include <limits>

AxisMapping::AxisMapping(const GraphSettings& settings, const GraphState& state)
    : m_originX(settings.OriginX), m_xSpacing(settings.XSmallSpacing),
      m_xSmallValue(state.XSmallValue), m_xOriginValue(state.XOriginValue),
      m_xUnit(state.XUnitName == DegreeUnitName ? Unit::Degree
              : state.XUnitName == PiUnitName   ? Unit::MultiplesOfPi
                                                : Unit::Plain),
      m_originY(settings.OriginY), m_ySpacing(settings.YSmallSpacing),
      m_ySmallValue(state.YSmallValue), m_yOriginValue(state.YOriginValue),
      m_yUnit(state.YUnitName == DegreeUnitName ? Unit::Degree
              : state.YUnitName == PiUnitName   ? Unit::MultiplesOfPi
                                                : Unit::Plain),
      m_limit(state.PlotLimit) {}

std::optional<double> AxisMapping::ValueAtColumn(double column) const {
    if (m_xSpacing == 0.0) {
        return std::nullopt;
    }
    const double x = ExpressionX(AxisXAtColumn(column));
    if (!std::isfinite(x)) {
        return std::nullopt;
    }
    return x;
}

float AxisMapping::RowOfValue(double y) const {
    y = AxisY(y);
    const auto fallback = [&] {
        const float sign = y > 0.0 ? 1.0f : (y < 0.0 ? -1.0f : 0.0f);
        return -sign * m_limit;
    };
    if (std::isnan(y) || m_ySmallValue == 0.0) {
        return fallback();
    }
    const double r = RowOfAxisY(y);
    if (!std::isfinite(r) || std::fabs(r) > std::numeric_limits<float>::max()) {
        return fallback();
    }
    float row = static_cast<float>(r);
    if (row > m_limit) {
        row = m_limit;
    }
    if (row < -m_limit) {
        row = -m_limit;
    }
    return row;
}

double AxisMapping::AxisXAtColumn(double column) const {
    return (column - m_originX) / m_xSpacing * m_xSmallValue + m_xOriginValue;
}

double AxisMapping::AxisYAtRow(double row) const {
    return (m_originY - row) / m_ySpacing * m_ySmallValue + m_yOriginValue;
}

double AxisMapping::ColumnOfAxisX(double axisX) const {
    return m_originX + (axisX - m_xOriginValue) / m_xSmallValue * m_xSpacing;
}

double AxisMapping::RowOfAxisY(double axisY) const {
    return m_originY - (axisY - m_yOriginValue) / m_ySmallValue * m_ySpacing;
}

double AxisMapping::ExpressionX(double axisX) const {
    if (m_xUnit == Unit::Degree) {
        return axisX * Pi / 180.0;
    }
    if (m_xUnit == Unit::MultiplesOfPi) {
        return axisX * Pi;
    }
    return axisX;
}

double AxisMapping::AxisY(double y) const {
    if (m_yUnit == Unit::Degree) {
        return y * 180.0 / Pi;
    }
    if (m_yUnit == Unit::MultiplesOfPi) {
        return y / Pi;
    }
    return y;
}

std::optional<double> PixelToValueX(const GraphSettings& settings, const GraphState& state,
                                    float column) {
    return AxisMapping(settings, state).ValueAtColumn(column);
}

float ValueToPixelY(const GraphSettings& settings, const GraphState& state, double y) {
    return AxisMapping(settings, state).RowOfValue(y);
}

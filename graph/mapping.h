#pragma once

#include "graph/graphsettings.h"

#include <optional>

// Between sheet pixels and axis values.

// The mapping of one set of axis values, worked out once for a whole sampling: the unit names
// are compared here, not at every column.
class AxisMapping {
public:
    AxisMapping(const GraphSettings& settings, const GraphState& state);

    // The value a pixel column (or a fraction of one, for output finer than the sheet) stands
    // for, converted for the expression: "deg" columns feed radians, "π" columns multiples of π.
    // Nothing when the column has no finite value (a spacing of 0 from a settings file).
    std::optional<double> ValueAtColumn(double column) const;

    // The row of a function value, clamped to ±PlotLimit. Never fails: where the row cannot be
    // worked out (a small-step value of 0, a row beyond single precision) a positive value lands
    // at -PlotLimit (above the sheet) and a negative one at +PlotLimit.
    float RowOfValue(double y) const;

    // The same mapping in the axes' own values and units, as the tick numbers show them: the
    // value a column or row stands for (before any unit conversion), where a value lies on the
    // sheet, and the conversions between axis values and what the expression sees or gives.
    // The column and row are fractional; a spacing or small-step value of 0 gives no finite
    // result there.
    double AxisXAtColumn(double column) const;
    double AxisYAtRow(double row) const;
    double ColumnOfAxisX(double axisX) const;
    double RowOfAxisY(double axisY) const;
    // "deg" feeds radians, "π" multiples of π; other units feed the value itself.
    double ExpressionX(double axisX) const;
    // A function value in the Y axis's unit: degrees for "deg", multiples of π for "π".
    double AxisY(double y) const;

private:
    enum class Unit { Plain, Degree, MultiplesOfPi };

    double m_originX;
    double m_xSpacing;
    double m_xSmallValue;
    double m_xOriginValue;
    Unit m_xUnit;
    double m_originY;
    double m_ySpacing;
    double m_ySmallValue;
    double m_yOriginValue;
    Unit m_yUnit;
    float m_limit;
};

std::optional<double> PixelToValueX(const GraphSettings& settings, const GraphState& state,
                                    float column);
float ValueToPixelY(const GraphSettings& settings, const GraphState& state, double y);

#pragma once

#include "platform/colorref.h"

#include <QtCore/QString>
#include <array>
#include <cstdint>
#include <memory>
#include <numbers>
#include <type_traits>
#include <vector>

class Surface;

enum class Axis { X, Y };

// The shared description of the coordinate grid. Integer fields are 16-bit as a settings file
// stores them; positions are single precision pixels of the sheet.
//
// Colour pairs: the first field of each pair colours the horizontal lines (the Y scale), the
// second the vertical lines (the X scale); every other pair is X first.
struct GraphSettings {
    float OriginX = 0.0f;
    float OriginY = 0.0f;
    // Coverage of the grid: 0 both sides of the origin, 1 right of (below) it, -1 left of (above)
    // it.
    std::int16_t XSide = 0;
    std::int16_t YSide = 0;
    bool XSmallLinesOn = true;
    bool YSmallLinesOn = true;
    bool XMediumLinesOn = true;
    bool YMediumLinesOn = true;
    bool XLargeLinesOn = true;
    bool YLargeLinesOn = true;
    bool XAxisOn = true;
    bool YAxisOn = true;
    std::int16_t XSmallSpacing = 4; // pixels between small lines, 1..100
    std::int16_t YSmallSpacing = 4;
    std::int16_t XMediumEvery = 5; // small steps per medium step, 2..20
    std::int16_t YMediumEvery = 5;
    std::int16_t XLargeEvery = 2; // medium steps per large step, 2..20
    std::int16_t YLargeEvery = 2;
    ColorRef YSmallLineColor = Rgb(192, 255, 255);
    ColorRef XSmallLineColor = Rgb(192, 255, 255);
    ColorRef YMediumLineColor = Rgb(112, 255, 255);
    ColorRef XMediumLineColor = Rgb(112, 255, 255);
    ColorRef YLargeLineColor = Rgb(32, 255, 255);
    ColorRef XLargeLineColor = Rgb(32, 255, 255);
    ColorRef XAxisColor = Rgb(112, 112, 255);
    ColorRef YAxisColor = Rgb(112, 112, 255);
    ColorRef BackgroundColor = Rgb(255, 255, 255);
    // 1 no numbers, 2 every small line, 3 every medium line, 4 every large line.
    std::int16_t XTickLabelMode = 4;
    std::int16_t YTickLabelMode = 4;
    ColorRef XTickLabelColor = Rgb(0, 0, 255);
    ColorRef YTickLabelColor = Rgb(0, 0, 255);
    float XTickLabelSize = 9.0f; // points
    float YTickLabelSize = 9.0f;

    bool operator==(const GraphSettings&) const = default;
};

// One axis's fields of GraphSettings, by reference, so that whatever is done to both axes is
// written once. The record keeps its own field names: XSmallSpacing is AxisOf(s, Axis::X)
// .SmallSpacing. Line colours follow the axis whose values they mark (XSmallLineColor colours
// the vertical small lines).
template <bool Const>
struct BasicAxisFields {
    template <typename T>
    using Ref = std::conditional_t<Const, const T&, T&>;
    Ref<float> Origin; // OriginX for X
    Ref<std::int16_t> Side;
    Ref<bool> SmallLinesOn;
    Ref<bool> MediumLinesOn;
    Ref<bool> LargeLinesOn;
    Ref<bool> AxisOn;
    Ref<std::int16_t> SmallSpacing;
    Ref<std::int16_t> MediumEvery;
    Ref<std::int16_t> LargeEvery;
    Ref<ColorRef> SmallLineColor;
    Ref<ColorRef> MediumLineColor;
    Ref<ColorRef> LargeLineColor;
    Ref<ColorRef> AxisColor;
    Ref<std::int16_t> TickLabelMode;
    Ref<ColorRef> TickLabelColor;
    Ref<float> TickLabelSize;
};
using AxisFields = BasicAxisFields<false>;
using ConstAxisFields = BasicAxisFields<true>;

AxisFields AxisOf(GraphSettings& settings, Axis axis);
ConstAxisFields AxisOf(const GraphSettings& settings, Axis axis);

// Pixel steps of the three line classes along one axis. Products reach 100 × 20 × 20 = 40000,
// beyond a 16-bit integer, so they are computed in 32 bits.
struct AxisSteps {
    std::int32_t small;
    std::int32_t medium;
    std::int32_t large;
};
AxisSteps StepsOf(const GraphSettings& settings, Axis axis);

// π as the expressions' pi and the unit conversions see it: the double nearest π, the same
// double 4·atn(1) gives.
inline constexpr double Pi = std::numbers::pi;

// The unit names an axis can carry; only "deg" and "π" change values.
inline const QString PlainUnitName = QStringLiteral("単位 1"); // "単位 1" = unit 1 (plain)
inline const QString DegreeUnitName = QStringLiteral("deg");
inline const QString RadianUnitName = QStringLiteral("rad");
inline const QString PiUnitName = QStringLiteral("π");

// Per pixel column, the row of each function's curve. Slots 1 to 3 are used (rows 0 to 4 exist);
// columns run from 0 to the sheet width rounded to an integer. Each slot's rows are shared with
// the copies of the table (a drawn curve keeps the rows it was drawn from) until one of them
// writes: a copy costs nothing, and a write copies only the slot it writes.
class PlotTable {
public:
    static constexpr int SlotRows = 5;
    using Rows = std::vector<float>;

    // Makes the table 0..lastColumn by 0..4 with every entry 0.
    void Redim(int lastColumn);
    int LastColumn() const { return m_lastColumn; }
    bool HasColumn(int column) const { return column >= 0 && column <= m_lastColumn; }

    float Get(int slot, int column) const;
    void Set(int slot, int column, float row);

    // A table that shares this one's rows of one slot and holds none of the others (they read
    // as 0): what a drawn curve keeps of the table.
    PlotTable OnlySlot(int slot) const;
    // Takes over another table's rows of one slot, when both have the same columns; false, and
    // nothing changed, otherwise.
    bool AdoptSlot(const PlotTable& from, int slot);

    // One slot's rows as the copies share them (null when the slot has none), and rows put in
    // as they are, for a table read back from a file: they must have one entry per column.
    const std::shared_ptr<Rows>& SharedRows(int slot) const;
    bool SetSharedRows(int slot, std::shared_ptr<Rows> rows);

    // Equal entries, column by column; rows shared between the two are equal without a look.
    bool operator==(const PlotTable& other) const;

private:
    int m_lastColumn = -1;
    std::array<std::shared_ptr<Rows>, SlotRows> m_rows;
};

// The graph state the main window keeps beside GraphSettings.
struct GraphState {
    PlotTable PlotValues;
    float PlotLimit = 0.0f; // rows are clamped to ±PlotLimit; PlotLimit + 1 marks "no value"
    float GraphWidthPx = 0.0f;
    float GraphHeightPx = 0.0f;
    QString XUnitName = PlainUnitName;
    QString YUnitName = PlainUnitName;
    double XOriginValue = 0.0;
    double YOriginValue = 0.0;
    double XSmallValue = 1.0;
    double YSmallValue = 1.0;

    float NoValueMark() const { return PlotLimit + 1.0f; }
};

// Whether two graph states map columns and values alike: the same sheet size, limit, units,
// origin values and small-step values (their tables aside).
bool SameMapping(const GraphState& a, const GraphState& b);

// One axis's values in GraphState, by reference (XUnitName is AxisValuesOf(g, Axis::X).UnitName).
template <bool Const>
struct BasicAxisValues {
    template <typename T>
    using Ref = std::conditional_t<Const, const T&, T&>;
    Ref<QString> UnitName;
    Ref<double> OriginValue;
    Ref<double> SmallValue;
};
using AxisValues = BasicAxisValues<false>;
using ConstAxisValues = BasicAxisValues<true>;

AxisValues AxisValuesOf(GraphState& state, Axis axis);
ConstAxisValues AxisValuesOf(const GraphState& state, Axis axis);
// Copies one axis's values (unit, origin value, small-step value) from one holder to another.
void CopyAxisValues(ConstAxisValues from, AxisValues to);

// Rounds to the nearest integer, ties to even, as every conversion of a size to a whole number
// does; clamped to the 32-bit range.
std::int32_t RoundToWhole(double value);

// Re-creates PlotValues for the current GraphWidthPx, and sets PlotLimit from GraphHeightPx.
void ResizePlotTable(GraphState& state);

// Gives the record and the axis value fields their defaults for the sheet as it is now.
void ResetGraphSettings(GraphSettings& settings, GraphState& state, const Surface& sheet);

// The start-up part of the axis panel set-up that belongs to the model: the sheet size and the
// defaults.
void InitGraphState(GraphSettings& settings, GraphState& state, const Surface& sheet);

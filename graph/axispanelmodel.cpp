#include "graph/axispanelmodel.h"

#include "graph/redraw.h"
#include "mainwindow/curvanestate.h"
#include "platform/number_text.h"
#include "platform/units.h"

#include <QtCore/QStringList>

namespace {

QString Number(double value) {
    return QString::fromStdString(FormatGeneral(value));
}

AxisView ViewOf(int spacing, int medium, int large, double smallValue, const QString& unit,
                double originValue) {
    return {spacing,
            medium,
            large,
            SmallSpacingCaption(spacing),
            MediumEveryCaption(medium),
            LargeEveryCaption(large),
            Number(smallValue),
            unit,
            Number(originValue)};
}

} // namespace

QString SmallSpacingCaption(int spacingPx) {
    const double mm = units::PixelsToMillimetres(spacingPx);
    // "小目盛= " = small step =
    return QStringLiteral("小目盛= ") + QString::fromStdString(FormatHundredths(mm)) +
           QStringLiteral("mm");
}

QString MediumEveryCaption(int count) {
    return QStringLiteral("中目盛間隔= ") + QString::number(count); // medium step interval
}

QString LargeEveryCaption(int count) {
    return QStringLiteral("大目盛間隔= ") + QString::number(count); // large step interval
}

QString MediumChangedCaption(int count) {
    return QStringLiteral("中目盛= ") + QString::number(count); // medium step
}

QString LargeChangedCaption(int count) {
    return QStringLiteral("大目盛= ") + QString::number(count); // large step
}

QString SheetMillimetres(double pixels) {
    return QString::number(RoundHalfEven(units::PixelsToMillimetres(pixels)));
}

QStringList UnitChoices() {
    return {PlainUnitName, DegreeUnitName, RadianUnitName, PiUnitName};
}

AxisPanelView ApplyAxisPanel(const GraphSettings& s, const GraphState& g) {
    return {ViewOf(s.XSmallSpacing, s.XMediumEvery, s.XLargeEvery, g.XSmallValue, g.XUnitName,
                   g.XOriginValue),
            ViewOf(s.YSmallSpacing, s.YMediumEvery, s.YLargeEvery, g.YSmallValue, g.YUnitName,
                   g.YOriginValue),
            SheetMillimetres(g.GraphWidthPx), SheetMillimetres(g.GraphHeightPx)};
}

QString SmallSpacingChanged(CurvaneState& state, Axis axis, int value) {
    (axis == Axis::X ? state.Settings.XSmallSpacing : state.Settings.YSmallSpacing) =
        static_cast<std::int16_t>(value);
    RedrawSettings(state);
    return SmallSpacingCaption(value);
}

QString MediumEveryChanged(CurvaneState& state, Axis axis, int value) {
    (axis == Axis::X ? state.Settings.XMediumEvery : state.Settings.YMediumEvery) =
        static_cast<std::int16_t>(value);
    RedrawSettings(state);
    return MediumChangedCaption(value);
}

QString LargeEveryChanged(CurvaneState& state, Axis axis, int value) {
    (axis == Axis::X ? state.Settings.XLargeEvery : state.Settings.YLargeEvery) =
        static_cast<std::int16_t>(value);
    RedrawSettings(state);
    return LargeChangedCaption(value);
}

bool SmallValueEdited(CurvaneState& state, Axis axis, const QString& text) {
    if (state.Graph.SuppressTextEvents) {
        return false;
    }
    (axis == Axis::X ? state.Graph.XSmallValue : state.Graph.YSmallValue) =
        ReadLeadingNumber(text.toStdString());
    RedrawSettings(state);
    return true;
}

bool OriginValueEdited(CurvaneState& state, Axis axis, const QString& text) {
    if (state.Graph.SuppressTextEvents) {
        return false;
    }
    (axis == Axis::X ? state.Graph.XOriginValue : state.Graph.YOriginValue) =
        ReadLeadingNumber(text.toStdString());
    RedrawSettings(state);
    return true;
}

void UnitChosen(CurvaneState& state) {
    ForgetCurves(state);
}

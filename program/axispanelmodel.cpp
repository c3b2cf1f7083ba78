#include "program/axispanelmodel.h"

#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/redraw.h"
#include "script/number_text.h"

#include <QtCore/QStringList>

namespace {

QString Number(double value) {
    return QString::fromStdString(FormatGeneral(value));
}

AxisView ViewOf(const GraphSettings& s, const GraphState& g, Axis axis) {
    const ConstAxisFields a = AxisOf(s, axis);
    const ConstAxisValues v = AxisValuesOf(g, axis);
    return {a.SmallSpacing,
            a.MediumEvery,
            a.LargeEvery,
            SmallSpacingCaption(a.SmallSpacing),
            MediumEveryCaption(a.MediumEvery),
            LargeEveryCaption(a.LargeEvery),
            Number(v.SmallValue),
            v.UnitName,
            Number(v.OriginValue)};
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
    return QString::number(RoundToWhole(units::PixelsToMillimetres(pixels)));
}

QStringList UnitChoices() {
    return {PlainUnitName, DegreeUnitName, RadianUnitName, PiUnitName};
}

AxisPanelView ApplyAxisPanel(const GraphSettings& s, const GraphState& g) {
    return {ViewOf(s, g, Axis::X), ViewOf(s, g, Axis::Y), SheetMillimetres(g.GraphWidthPx),
            SheetMillimetres(g.GraphHeightPx)};
}

QString SmallSpacingChanged(CurvaneState& state, Axis axis, int value) {
    AxisOf(state.Settings, axis).SmallSpacing = static_cast<std::int16_t>(value);
    RedrawSettings(state);
    return SmallSpacingCaption(value);
}

QString MediumEveryChanged(CurvaneState& state, Axis axis, int value) {
    AxisOf(state.Settings, axis).MediumEvery = static_cast<std::int16_t>(value);
    RedrawSettings(state);
    return MediumChangedCaption(value);
}

QString LargeEveryChanged(CurvaneState& state, Axis axis, int value) {
    AxisOf(state.Settings, axis).LargeEvery = static_cast<std::int16_t>(value);
    RedrawSettings(state);
    return LargeChangedCaption(value);
}

bool SmallValueEdited(CurvaneState& state, Axis axis, const QString& text) {
    if (state.SuppressTextEvents) {
        return false;
    }
    AxisValuesOf(state.Graph, axis).SmallValue = ReadLeadingNumber(text.toStdString());
    RedrawSettings(state);
    return true;
}

bool OriginValueEdited(CurvaneState& state, Axis axis, const QString& text) {
    if (state.SuppressTextEvents) {
        return false;
    }
    AxisValuesOf(state.Graph, axis).OriginValue = ReadLeadingNumber(text.toStdString());
    RedrawSettings(state);
    return true;
}

void TakeAxisPanelTexts(GraphState& state, const AxisPanelTexts& panel) {
    for (const Axis axis : {Axis::X, Axis::Y}) {
        const AxisTexts& texts = panel.Of(axis);
        const AxisValues values = AxisValuesOf(state, axis);
        values.UnitName = texts.unit;
        values.OriginValue = ReadLeadingNumber(texts.originValue.toStdString());
        values.SmallValue = ReadLeadingNumber(texts.smallValue.toStdString());
    }
}

void UnitChosen(CurvaneState& state) {
    ForgetCurves(state);
}

#pragma once

#include "graph/graphsettings.h"

#include <QtCore/QString>
#include <array>

struct CurvaneState;

// What the axis settings panel shows and what its controls do, without the widgets.

// "小目盛= 1.06mm": the small spacing in millimetres to the nearest hundredth.
QString SmallSpacingCaption(int spacingPx);
// "中目盛間隔= 5" and "大目盛間隔= 2" when the panel is set up or shows the record;
// "中目盛= 6" and "大目盛= 3" after the user moved the scroll bar.
QString MediumEveryCaption(int count);
QString LargeEveryCaption(int count);
QString MediumChangedCaption(int count);
QString LargeChangedCaption(int count);
// A sheet length in whole millimetres, ties to even.
QString SheetMillimetres(double pixels);

// The unit choices, in list order.
QStringList UnitChoices();

// One axis as the panel shows the record.
struct AxisView {
    int smallSpacing;
    int mediumEvery;
    int largeEvery;
    QString smallCaption;
    QString mediumCaption;
    QString largeCaption;
    QString smallValueText; // general number form
    QString unitText;
    QString originValueText;
};

struct AxisPanelView {
    AxisView x;
    AxisView y;
    QString widthMillimetres;  // lblGraphXW
    QString heightMillimetres; // lblGraphYH
};

// The record as the panel shows it after "新規作成" (new) or reading a settings file.
AxisPanelView ApplyAxisPanel(const GraphSettings& settings, const GraphState& state);

// The texts of the axis panel that a computation takes over first: the unit box and the two
// value boxes of each axis.
struct AxisTexts {
    QString unit = PlainUnitName;
    QString originValue = QStringLiteral("0");
    QString smallValue = QStringLiteral("1");
};
struct AxisPanelTexts {
    std::array<AxisTexts, 2> axes;
    AxisTexts& Of(Axis axis) { return axes[axis == Axis::X ? 0 : 1]; }
    const AxisTexts& Of(Axis axis) const { return axes[axis == Axis::X ? 0 : 1]; }
};

// Units and values as the panel shows them, each value box read by its leading number.
void TakeAxisPanelTexts(GraphState& state, const AxisPanelTexts& panel);

// The panel's reactions. Each that changes the grid ends in RedrawSettings; the returned caption
// is the frame's new text.
QString SmallSpacingChanged(CurvaneState& state, Axis axis, int value);
QString MediumEveryChanged(CurvaneState& state, Axis axis, int value);
QString LargeEveryChanged(CurvaneState& state, Axis axis, int value);
// The value boxes: nothing happens while a settings file is being read. True when redrawn.
bool SmallValueEdited(CurvaneState& state, Axis axis, const QString& text);
bool OriginValueEdited(CurvaneState& state, Axis axis, const QString& text);
// A unit chosen from a list: every curve must be computed again, but nothing is redrawn and the
// unit itself is taken over only when a curve is next computed.
void UnitChosen(CurvaneState& state);

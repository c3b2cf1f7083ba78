#include "output/settingsfile.h"

#include "graph/redraw.h"
#include "mainwindow/curvanestate.h"
#include "mainwindow/sheetops.h"
#include "plot/functionpanel.h"

SettingsFileData CaptureSettings(const CurvaneState& state, double windowWidth,
                                 double windowHeight) {
    SettingsFileData d;
    d.windowWidth = static_cast<float>(windowWidth);
    d.windowHeight = static_cast<float>(windowHeight);
    d.graphWidthPx = state.Graph.GraphWidthPx;
    d.graphHeightPx = state.Graph.GraphHeightPx;
    d.settings = state.Settings;
    d.xSmallValue = state.Graph.XSmallValue;
    d.ySmallValue = state.Graph.YSmallValue;
    d.xUnitName = state.Graph.XUnitName;
    d.yUnitName = state.Graph.YUnitName;
    d.xOriginValue = state.Graph.XOriginValue;
    d.yOriginValue = state.Graph.YOriginValue;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const FunctionSlot& f = SlotOf(state.Slots, slot);
        const auto i = static_cast<std::size_t>(slot - 1);
        d.expressions[i] = f.Expression;
        d.colours[i] = f.Color;
        d.styleCodes[i] = f.StyleCode;
    }
    return d;
}

bool SheetSizeAllowed(double widthPx, double heightPx) {
    return CheckSheetSize(widthPx, heightPx) == SizeRefusal::None;
}

void ApplySettingsFile(CurvaneState& state, const SettingsFileData& d) {
    GraphState& g = state.Graph;
    if (SheetSizeAllowed(d.graphWidthPx, d.graphHeightPx)) {
        SetSheetSize(state, RoundHalfEven(d.graphWidthPx), RoundHalfEven(d.graphHeightPx));
    }
    const bool settingsChanged = state.Settings.SettingsChanged;
    const bool printDialogClosed = state.Settings.PrintDialogClosed;
    state.Settings = d.settings;
    state.Settings.SettingsChanged = settingsChanged;
    state.Settings.PrintDialogClosed = printDialogClosed;
    g.XSmallValue = d.xSmallValue;
    g.YSmallValue = d.ySmallValue;
    g.XUnitName = d.xUnitName;
    g.YUnitName = d.yUnitName;
    g.XOriginValue = d.xOriginValue;
    g.YOriginValue = d.yOriginValue;

    g.SuppressTextEvents = true;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const auto i = static_cast<std::size_t>(slot - 1);
        ExpressionChanged(state, slot, d.expressions[i]);
        FunctionSlot& f = SlotOf(state.Slots, slot);
        f.Color = d.colours[i];
        f.StyleCode = d.styleCodes[i];
    }
    RedrawSettings(state);
    for (int slot = 2; slot <= SlotCount; ++slot) {
        if (!d.expressions[static_cast<std::size_t>(slot - 1)].isEmpty()) {
            AddRow(state, slot);
        }
    }
    g.SuppressTextEvents = false;
}

#include "program/settingsapply.h"

#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/redraw.h"
#include "program/sheetops.h"

SettingsFileData CaptureSettings(const CurvaneDocument& state, double windowWidth,
                                 double windowHeight) {
    SettingsFileData d;
    d.windowWidth = static_cast<float>(windowWidth);
    d.windowHeight = static_cast<float>(windowHeight);
    d.graphWidthPx = state.Graph.GraphWidthPx;
    d.graphHeightPx = state.Graph.GraphHeightPx;
    d.settings = state.Settings;
    for (const Axis axis : {Axis::X, Axis::Y}) {
        CopyAxisValues(AxisValuesOf(state.Graph, axis), AxisValuesOf(d, axis));
    }
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const FunctionSlot& f = SlotOf(state.Slots, slot);
        const auto i = static_cast<std::size_t>(slot - 1);
        d.expressions[i] = f.Expression;
        d.colours[i] = f.Color;
        d.styleCodes[i] = f.StyleCode;
    }
    return d;
}

void ApplySettingsFile(CurvaneState& state, const SettingsFileData& d) {
    GraphState& g = state.Graph;
    if (CheckSheetSize(d.graphWidthPx, d.graphHeightPx) == SizeRefusal::None) {
        SetSheetSize(state, RoundToWhole(d.graphWidthPx), RoundToWhole(d.graphHeightPx));
    }
    state.Settings = d.settings;
    // A settings file holds no parameters: its names start again at 0, as it always drew.
    state.Params.clear();
    for (const Axis axis : {Axis::X, Axis::Y}) {
        CopyAxisValues(AxisValuesOf(d, axis), AxisValuesOf(g, axis));
    }

    state.SuppressTextEvents = true;
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
    state.SuppressTextEvents = false;
}

FileWindowSize RememberFileWindowSize(double widthTwips, double heightTwips) {
    return {widthTwips, heightTwips, units::TwipsToWholePixels(widthTwips),
            units::TwipsToWholePixels(heightTwips)};
}

TwipSize WindowSizeToSave(const FileWindowSize& remembered, int widthPx, int heightPx) {
    TwipSize size{units::PixelsToTwips(widthPx), units::PixelsToTwips(heightPx)};
    if (remembered.widthPx >= 0 && widthPx == remembered.widthPx) {
        size.width = remembered.widthTwips;
    }
    if (remembered.heightPx >= 0 && heightPx == remembered.heightPx) {
        size.height = remembered.heightTwips;
    }
    return size;
}

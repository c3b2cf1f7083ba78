#include "program/redraw.h"

#include "graph/griddrawing.h"
#include "graph/ticknumbers.h"
#include "plot/curvedrawing.h"
#include "program/curvanestate.h"

void DrawGridAndNumbers(CurvaneState& state) {
    DrawGrid(state.Sheet, state.Settings, state.Graph.GraphWidthPx, state.Graph.GraphHeightPx);
    PlaceTickNumbers(state.Xmoji, state.Ymoji, state.Settings, state.Graph);
}

void RedrawAll(CurvaneState& state) {
    DrawGridAndNumbers(state);
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const FunctionSlot& function = SlotOf(state.Slots, slot);
        if (function.Drawn && !function.Hidden) {
            DrawFunction(state.Sheet, state.Settings, state.Graph, function, slot,
                         state.PatternPhase);
        }
    }
}

void ForgetCurves(CurvaneState& state) {
    for (FunctionSlot& function : state.Slots) {
        function.Drawn = false;
        function.Hidden = false;
        function.Button = DrawButtonState::Draw;
    }
}

void RedrawSettings(CurvaneState& state) {
    DrawGridAndNumbers(state);
    ForgetCurves(state);
}

ActivationRedraw RedrawOnActivation(CurvaneState& state) {
    if (state.Settings.SettingsChanged) {
        RedrawSettings(state);
        state.Settings.SettingsChanged = false;
        return ActivationRedraw::Settings;
    }
    if (state.Settings.PrintDialogClosed) {
        RedrawAll(state);
        state.Settings.PrintDialogClosed = false;
        return ActivationRedraw::All;
    }
    return ActivationRedraw::None;
}

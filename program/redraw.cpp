#include "program/redraw.h"

#include "graph/griddrawing.h"
#include "graph/ticknumbers.h"
#include "program/curvanestate.h"

void DrawGridAndNumbers(CurvaneState& state) {
    DrawGrid(state.Sheet, state.Settings, state.Graph.GraphWidthPx, state.Graph.GraphHeightPx);
    // Clearing the sheet starts its record afresh.
    state.Record.background = state.Sheet.Picture();
    state.Record.grid = state.Settings;
    state.Record.size = QSize(state.Sheet.Width(), state.Sheet.Height());
    state.Record.curves.clear();
    state.Record.id = NewSheetId();
    PlaceTickNumbers(state.Xmoji, state.Ymoji, state.Settings, state.Graph);
}

void DrawSlotCurve(CurvaneState& state, int slot) {
    const FunctionSlot& function = SlotOf(state.Slots, slot);
    DrawnCurve curve;
    curve.slot = slot;
    curve.rowsId = function.RowsId;
    curve.expression = function.SampledExpression;
    curve.parameters = function.SampledParameters;
    curve.colour = function.Color;
    curve.styleCode = function.StyleCode;
    curve.startPhase = state.PatternPhase;
    curve.settings = state.Settings;
    curve.graph = state.Graph;
    curve.graph.PlotValues = state.Graph.PlotValues.OnlySlot(slot);
    state.PatternPhase = DrawRecordedCurve(state.Sheet, curve);
    state.Record.curves.push_back(std::move(curve));
    state.Record.id = NewSheetId();
}

void RedrawAll(CurvaneState& state) {
    DrawGridAndNumbers(state);
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const FunctionSlot& function = SlotOf(state.Slots, slot);
        if (function.Drawn && !function.Hidden) {
            DrawSlotCurve(state, slot);
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
    if (state.SettingsChanged) {
        RedrawSettings(state);
        state.SettingsChanged = false;
        return ActivationRedraw::Settings;
    }
    if (state.PrintDialogClosed) {
        RedrawAll(state);
        state.PrintDialogClosed = false;
        return ActivationRedraw::All;
    }
    return ActivationRedraw::None;
}

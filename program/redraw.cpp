#include "program/redraw.h"

#include "graph/griddrawing.h"
#include "graph/ticknumbers.h"
#include "platform/surface.h"
#include "program/curvanestate.h"

#include <memory>

void DrawGridAndNumbers(CurvaneState& state) {
    DrawGrid(state.Sheet, state.Settings, state.Graph.GraphWidthPx, state.Graph.GraphHeightPx);
    // Clearing the sheet starts its record afresh.
    state.Record.background = state.Sheet.Picture();
    state.Record.grid = state.Settings;
    state.Record.size = QSize(state.Sheet.Width(), state.Sheet.Height());
    state.Record.areas.clear();
    state.Record.curves.clear();
    state.Record.tangents.clear();
    state.Record.id = NewSheetId();
    PlaceTickNumbers(state.Xmoji, state.Ymoji, state.Settings, state.Graph);
}

void DrawSlotCurve(CurvaneState& state, int slot, bool keepReach) {
    const FunctionSlot& function = SlotOf(state.Slots, slot);
    DrawnCurve curve;
    curve.slot = slot;
    curve.rowsId = function.RowsId;
    curve.expression = function.SampledExpression;
    curve.parameters = function.SampledParameters;
    curve.colour = function.Color;
    curve.styleCode = function.StyleCode;
    curve.settings = state.Settings;
    curve.graph = state.Graph;
    curve.graph.PlotValues = state.Graph.PlotValues.OnlySlot(slot);
    DrawRecordCurve(state, std::move(curve), keepReach);
}

void DrawRecordCurve(CurvaneState& state, DrawnCurve curve, bool keepReach) {
    curve.startPhase = state.PatternPhase;
    if (keepReach) {
        auto reach = std::make_shared<ColumnSpans>(state.Sheet.Width(), state.Sheet.Height());
        state.PatternPhase = DrawRecordedCurve(state.Sheet, curve, reach.get());
        curve.reach = std::move(reach);
    } else {
        state.PatternPhase = DrawRecordedCurve(state.Sheet, curve);
    }
    state.Record.curves.push_back(std::move(curve));
    for (const TangentLine& tangent : state.Record.tangents) {
        DrawTangentLine(state.Sheet, tangent);
    }
    state.Record.id = NewSheetId();
}

void RenderSheetFromRecord(CurvaneState& state) {
    RenderRecord(state.Record, state.Sheet, &state.SheetBase);
    state.Record.id = NewSheetId();
}

void RedrawAll(CurvaneState& state) {
    // What the calculus tools added stays through a redraw that keeps the curves.
    SheetRecord before = std::move(state.Record);
    DrawGridAndNumbers(state);
    state.Record.areas = std::move(before.areas);
    for (const ShadedArea& area : state.Record.areas) {
        DrawShadedArea(state.Sheet, area);
    }
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const FunctionSlot& function = SlotOf(state.Slots, slot);
        if (function.Drawn && !function.Hidden) {
            DrawSlotCurve(state, slot);
        }
    }
    for (const DrawnCurve& curve : before.curves) {
        if (curve.of == CurveOf::Slope) {
            DrawRecordCurve(state, curve);
        }
    }
    state.Record.tangents = std::move(before.tangents);
    for (const TangentLine& tangent : state.Record.tangents) {
        DrawTangentLine(state.Sheet, tangent);
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

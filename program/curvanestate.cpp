#include "program/curvanestate.h"
#include "program/redraw.h"
#include "program/textlabels.h"

void StartGraph(CurvaneState& state, int sheetWidth, int sheetHeight) {
    state.Sheet.SetScaleSize(sheetWidth, sheetHeight);
    InitFreeLabelTemplate(state.AddMoji);
    InitGraphState(state.Settings, state.Graph, state.Sheet);
    for (FunctionSlot& slot : state.Slots) {
        slot.Drawn = false;
    }
    state.Slots[0].RowShown = true;
    DrawGridAndNumbers(state);
}

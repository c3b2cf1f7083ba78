#include "mainwindow/curvanestate.h"

#include "graph/griddrawing.h"
#include "graph/ticknumbers.h"

void StartGraph(CurvaneState& state, int sheetWidth, int sheetHeight) {
    state.Sheet.SetScaleSize(sheetWidth, sheetHeight);
    InitFreeLabelTemplate(state.AddMoji);
    InitGraphState(state.Settings, state.Graph, state.Sheet);
    for (FunctionSlot& slot : state.Slots) {
        slot.Drawn = false;
    }
    state.Slots[0].RowShown = true;
    DrawGrid(state.Sheet, state.Settings, state.Graph.GraphWidthPx, state.Graph.GraphHeightPx);
    PlaceTickNumbers(state.Xmoji, state.Ymoji, state.Settings, state.Graph);
}

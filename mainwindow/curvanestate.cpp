#include "mainwindow/curvanestate.h"

#include "graph/griddrawing.h"

void StartGraph(CurvaneState& state, int sheetWidth, int sheetHeight) {
    state.Sheet.SetScaleSize(sheetWidth, sheetHeight);
    InitGraphState(state.Settings, state.Graph, state.Sheet);
    DrawGrid(state.Sheet, state.Settings, state.Graph.GraphWidthPx, state.Graph.GraphHeightPx);
}

#include "program/stamping.h"

#include "program/curvanestate.h"

#include <QtGui/QPainter>

void DrawSheetLabels(QPainter& painter, const CurvaneState& state, TextEdges edges) {
    for (const LabelFamily* family : {&state.Xmoji, &state.Ymoji, &state.AddMoji}) {
        DrawLabels(painter, *family, edges);
    }
}

void StampLabels(CurvaneState& state) {
    QPainter painter(&state.Sheet.Image());
    DrawSheetLabels(painter, state);
}

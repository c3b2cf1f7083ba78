#include "program/stamping.h"

#include "program/curvanestate.h"

#include <QtGui/QPainter>

void StampLabels(CurvaneState& state) {
    QPainter painter(&state.Sheet.Image());
    DrawLabels(painter, state.Xmoji, LabelColour::Template);
    DrawLabels(painter, state.Ymoji, LabelColour::Template);
    DrawLabels(painter, state.AddMoji, LabelColour::Own);
}

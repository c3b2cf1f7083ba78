#pragma once

#include "platform/labels.h"

class QPainter;
struct CurvaneState;

// Paints every shown tick number and free label, each in its own colour (a tick number starts in
// its family's colour and keeps one the user gave it until the next redraw replaces it). The sheet
// view paints with it, StampLabels stamps with it and the export writes with it (smoothly), so
// what leaves the program is what the screen showed.
void DrawSheetLabels(QPainter& painter, const CurvaneState& state,
                     TextEdges edges = TextEdges::Pixel);

// Draws the labels into the sheet's image. A full redraw takes them out again.
void StampLabels(CurvaneState& state);

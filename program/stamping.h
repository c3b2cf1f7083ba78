#pragma once

#include "platform/labels.h"

#include <QtCore/QRect>
#include <QtGui/QImage>
#include <vector>

class QPainter;
class QRegion;
struct CurvaneDocument;
struct CurvaneState;

// Paints every shown tick number and free label, each in its own colour (a tick number starts in
// its family's colour and keeps one the user gave it until the next redraw replaces it). The sheet
// view paints with it, the pictures below are composed with it and the export writes with it
// (smoothly), so what leaves the program is what the screen showed.
// With a region, only the labels that may touch it are painted (the painter clips to it).
void DrawSheetLabels(QPainter& painter, const CurvaneDocument& document,
                     TextEdges edges = TextEdges::Pixel, const QRegion* within = nullptr);

// The region the rectangles cover together.
QRegion RegionOf(const std::vector<QRect>& rects);

// The sheet with its labels as one 96-dpi picture, as the screen shows it at scale 1: what a
// saved bitmap, the clipboard, the print preview and --render take. The sheet itself is left as
// it is.
QImage SheetPicture(const CurvaneState& state);

// The same picture made from the document alone: its record drawn from scratch, the labels over
// it. Equal, pixel for pixel, to SheetPicture of the state the document belongs to.
QImage RecordPicture(const CurvaneDocument& document);

#pragma once

#include "graph/graphsettings.h"
#include "plot/parameters.h"

#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtGui/QImage>
#include <cstdint>
#include <vector>

class Surface;

// One curve as it was drawn: the expression and the rows it was drawn from, its pen, and the
// pattern phase its first piece started with, so that it can be drawn again pixel for pixel,
// and sampled again finer for output from the same mapping, whatever the function rows hold by
// then.
struct DrawnCurve {
    int slot = 1; // the row it came from, F1 to F3
    // Which computation the rows came from: equal ids, equal rows and expression.
    std::uint64_t rowsId = 0;
    QString expression;
    ParameterValues parameters; // the values its parameters had
    ColorRef colour = Rgb(0, 0, 0);
    QString styleCode;
    std::int16_t startPhase = 0;
    // The coordinate system it was drawn in; the table holds only this curve's rows.
    GraphSettings settings;
    GraphState graph;
};

// What the sheet's picture shows, in drawing order: the background picture under the grid and
// axes (drawn with the settings of the moment), then every curve drawn over it since, each
// above the ones before. A redraw that clears the sheet starts a new record. The tick numbers and
// free labels lie above all of it, as label families of their own.
struct SheetRecord {
    QImage background; // null without a picture
    GraphSettings grid;
    QSize size{1, 1}; // the sheet in pixels
    std::vector<DrawnCurve> curves;
    // Changes with every change of the record, and never comes back: a picture made of a record
    // stays valid while its id does.
    std::uint64_t id = 0;
};

// A number not handed out before in this process, for SheetRecord::id and DrawnCurve::rowsId.
std::uint64_t NewSheetId();

// Draws the curve's pieces over what the surface shows, from its own start phase; returns the
// phase after its last piece.
std::int16_t DrawRecordedCurve(Surface& surface, const DrawnCurve& curve);

// The 96-dpi picture of a record, from scratch, on a surface made the record's size: exactly the
// pixels that drawing its items one after another gave.
void RenderRecord(const SheetRecord& record, Surface& surface);

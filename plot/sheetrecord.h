#pragma once

#include "graph/graphsettings.h"
#include "plot/calculus.h"
#include "plot/parameters.h"

#include <QtCore/QLineF>
#include <QtCore/QPointF>
#include <QtCore/QRect>
#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtGui/QImage>
#include <QtGui/QPolygonF>
#include <cstdint>
#include <memory>
#include <vector>

class ColumnSpans;
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
    // A slot's own curve, or its derivative (F1′), whose rows hold the slope at each column.
    CurveOf of = CurveOf::Values;
    // The coordinate system it was drawn in; the table holds only this curve's rows.
    GraphSettings settings;
    GraphState graph;
    // The pixels it may have set, when they were noted as it was drawn (curves a moving
    // parameter will take off again); otherwise found from its rows when needed.
    std::shared_ptr<const ColumnSpans> reach;
};

// A tangent line of a curve: the point it touches, its slope, and where it lies on the sheet, a
// thin line from edge to edge in the curve's colour with a small dot at the point.
struct TangentLine {
    int slot = 1;
    QString expression;
    double x = 0.0; // the point, as the expression sees x and gives y
    double y = 0.0;
    double slope = 0.0;
    ColorRef colour = Rgb(0, 0, 0);
    QLineF line;   // sheet pixels, cut to the sheet
    QPointF point; // sheet pixels
};

// A shaded area under a curve (down to y = 0) or between two, with its value: a translucent fill
// in the first curve's colour.
struct ShadedArea {
    int slot = 1;
    int otherSlot = 0; // the second curve of an area between two; 0 for one
    QString expression;
    QString otherExpression;
    double from = 0.0; // the range in the X axis's unit, as it was given
    double to = 0.0;
    double value = 0.0; // ∫ f dx for one curve, ∫ |f − g| dx between two
    double error = 0.0;
    ColorRef colour = Rgb(0, 0, 0);
    // Sheet pixels: along the first curve from the range's start to its end, and back along the
    // second or y = 0; only the part on the sheet.
    QPolygonF outline;

    bool operator==(const ShadedArea&) const = default;
};

// What the sheet's picture shows, in drawing order: the background picture under the grid and
// axes (drawn with the settings of the moment), then the shaded areas, then every curve drawn over
// it since, each above the ones before, then the tangent lines. A redraw that clears the sheet
// starts a new record. The tick numbers and free labels lie above all of it, as label families of
// their own.
struct SheetRecord {
    QImage background; // null without a picture
    GraphSettings grid;
    QSize size{1, 1}; // the sheet in pixels
    std::vector<ShadedArea> areas;
    std::vector<DrawnCurve> curves;
    std::vector<TangentLine> tangents;
    // Changes with every change of the record, and never comes back: a picture made of a record
    // stays valid while its id does.
    std::uint64_t id = 0;
};

// A number not handed out before in this process, for SheetRecord::id and DrawnCurve::rowsId.
std::uint64_t NewSheetId();

// Draws the curve's pieces over what the surface shows, from its own start phase; returns the
// phase after its last piece. With spans, adds the pixels it may have set to them.
std::int16_t DrawRecordedCurve(Surface& surface, const DrawnCurve& curve,
                               ColumnSpans* reach = nullptr);

// How translucent an area's fill is, and the colour it fills with.
inline constexpr int AreaFillAlpha = 72;
QColor AreaFillColour(ColorRef colour);
// The tangent's dot at its point: a disc of this radius (sheet pixels).
inline constexpr double TangentDotRadius = 2.5;

// An area's fill over what the surface shows.
void DrawShadedArea(Surface& surface, const ShadedArea& area);
// A tangent line and its dot over what the surface shows.
void DrawTangentLine(Surface& surface, const TangentLine& tangent);

// The picture of a record's lowest layers (the background picture, the grid and axes, the shaded
// areas) as the last render made it. While they stay as they were, as they do while a parameter
// moves, a render starts from this picture instead of drawing them again.
class RecordBase {
public:
    // Whether the picture shows these layers of the record.
    bool Shows(const SheetRecord& record) const;
    void Keep(const SheetRecord& record, const QImage& picture);
    const QImage& Picture() const { return m_picture; }

private:
    QImage m_picture; // null until a render kept one
    QSize m_size;
    qint64 m_background = 0;
    GraphSettings m_grid;
    std::vector<ShadedArea> m_areas;
};

// Takes the curves drawn from the rows `rowsIds` out of the record, and their pixels off the
// surface, which shows the record as it was. With a base that shows the record's lowest layers,
// only the pixels those curves may have set come back from it, the record's other curves and
// tangent lines drawn again over them; otherwise the record is drawn anew. Adds to `changed`
// what may look different now. False when no curve was taken out.
bool EraseRecordedCurves(SheetRecord& record, Surface& surface, RecordBase* base,
                         const std::vector<std::uint64_t>& rowsIds, std::vector<QRect>& changed);
// Adds the rectangle that holds the pixels the curve may have set.
void AddRecordedCurveReach(std::vector<QRect>& changed, const Surface& surface,
                           const DrawnCurve& curve);

// The 96-dpi picture of a record, from scratch, on a surface made the record's size: exactly the
// pixels that drawing its items one after another gave. With a base, the lowest layers come from
// it when it shows them, and it keeps them otherwise.
void RenderRecord(const SheetRecord& record, Surface& surface, RecordBase* base = nullptr);

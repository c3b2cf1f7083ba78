#include "plot/curvedrawing.h"

#include "platform/surface.h"
#include "plot/sampling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct Pattern {
    std::int16_t wrap; // the phase goes back to 0 when it exceeds this
    std::int16_t onFrom;
    std::int16_t onTo;
};

bool PatternOf(std::int16_t style, std::int16_t width, Pattern& pattern) {
    if (width < 1 || width > 3) {
        return false;
    }
    if (style == DottedPen) {
        pattern = {static_cast<std::int16_t>(2 * width - 1), 1, 1};
    } else {
        pattern = {9, 1, 6};
    }
    return true;
}

// One step of the running pattern: true when the step is drawn.
bool Step(std::int16_t& phase, const Pattern& pattern) {
    ++phase;
    if (phase > pattern.wrap) {
        phase = 0;
    }
    return phase >= pattern.onFrom && phase <= pattern.onTo;
}

// The dot block of a pen width around (x, y): 1 × 1 is the point, 2 × 2 reaches right and down,
// 3 × 3 is centred. Each coordinate lands in its pixel as any point would.
void DotBlock(Surface& surface, float x, float y, std::int16_t width, ColorRef colour) {
    const float from = width == 3 ? -1.0f : 0.0f;
    for (std::int16_t row = 0; row < width; ++row) {
        for (std::int16_t column = 0; column < width; ++column) {
            surface.Point(x + from + column, y + from + row, colour);
        }
    }
}

bool PieceShown(float plotLimit, float height, float row0, float row1) {
    const float noValue = plotLimit + 1.0f;
    if (row0 == noValue || row1 == noValue) {
        return false;
    }
    if ((row0 < 0 && row1 < 0) || (row0 >= height && row1 >= height)) {
        return false;
    }
    return !((row0 < 0 && row1 >= height) || (row0 >= height && row1 < 0));
}

// Calls piece(column, row0, row1) for each piece of a slot's curve, left to right.
template <typename Piece>
void ForEachPiece(const GraphSettings& settings, const GraphState& state, int slot, Piece piece) {
    // Columns are single precision like the origin they may start from; none beyond the table is
    // read.
    const auto [start, end] = DrawnColumns(settings, state);
    for (float c = start; c <= end - 1.0f; c += 1.0f) {
        const int left = RoundToWhole(c);
        const int right = RoundToWhole(c + 1.0f);
        if (state.PlotValues.HasColumn(left) && state.PlotValues.HasColumn(right)) {
            piece(c, state.PlotValues.Get(slot, left), state.PlotValues.Get(slot, right));
        }
    }
}

// Where a shown piece's pixels may lie: between its two columns and its two rows, and as far
// beyond as a wide pen's square or a dot block reaches, (width - 1) / 2 pixels up and left,
// width / 2 down and right.
class PieceReach {
    // A column or a row cut to the sheet's neighbourhood, as the pixel it lands in.
    static int Floor(float value) {
        const int whole = static_cast<int>(value);
        return whole - (value < static_cast<float>(whole) ? 1 : 0);
    }

public:
    PieceReach(ColumnSpans& spans, const GraphState& state, const CurvePen& pen)
        : m_spans(spans), m_height(state.GraphHeightPx),
          m_before((std::max<int>(pen.width, 1) - 1) / 2),
          m_after(std::max<int>(pen.width, 1) / 2) {}

    void Add(float column, float row0, float row1) const {
        // Rows far off the sheet are cut before they become whole numbers.
        const float top = std::clamp(std::min(row0, row1), -1.0f, m_height + 1.0f);
        const float bottom = std::clamp(std::max(row0, row1), -1.0f, m_height + 1.0f);
        const int left = Floor(column);
        m_spans.Add(left - m_before, left + 1 + m_after, Floor(top) - m_before,
                    Floor(bottom) + m_after);
    }

private:
    ColumnSpans& m_spans;
    float m_height;
    int m_before;
    int m_after;
};

} // namespace

void DrawSegment(CurveCanvas& canvas, float column, float row0, float row1, const CurvePen& pen) {
    if (!PieceShown(canvas.plotLimit, canvas.sheetHeight, row0, row1)) {
        return;
    }
    Surface& surface = canvas.surface;
    surface.SetDrawWidth(1);
    // The height of a piece reaches six sheet heights: 32 bits, whatever the sheet.
    const std::int32_t n = RoundToWhole(static_cast<double>(row1 - row0));
    const int direction = row1 >= row0 ? 1 : -1;
    const float middle = static_cast<float>(static_cast<double>(row0) + n / 2.0);

    if (pen.style != DottedPen && pen.style != ChainPen) {
        surface.SetDrawStyle(DrawStyle::Solid);
        surface.SetDrawWidth(pen.width);
        surface.Line(column, row0, column + 1.0f, row1, pen.colour);
        return;
    }
    Pattern pattern{};
    if (!PatternOf(pen.style, pen.width, pattern)) {
        return;
    }
    float x = column;
    float y = row0;
    if (Step(canvas.patternPhase, pattern)) {
        DotBlock(surface, x, y, pen.width, pen.colour);
    }
    for (std::int32_t i = 1; i < std::abs(n); ++i) {
        y += static_cast<float>(direction);
        if ((direction == 1 && y > middle) || (direction == -1 && y < middle)) {
            x = column + 1.0f;
        }
        if (Step(canvas.patternPhase, pattern)) {
            DotBlock(surface, x, y, pen.width, pen.colour);
        }
    }
}

CurvePen PenOf(ColorRef colour, const QString& styleCode) {
    return {colour, PenStyleOfCode(styleCode), PenWidthOfCode(styleCode)};
}

void DrawFunction(Surface& surface, const GraphSettings& settings, const GraphState& state,
                  const FunctionSlot& function, int slot, std::int16_t& patternPhase) {
    DrawFunction(surface, settings, state, PenOf(function.Color, function.StyleCode), slot,
                 patternPhase);
}

void DrawFunction(Surface& surface, const GraphSettings& settings, const GraphState& state,
                  const CurvePen& pen, int slot, std::int16_t& patternPhase, ColumnSpans* reach) {
    CurveCanvas canvas{surface, state.PlotLimit, state.GraphHeightPx, patternPhase};
    if (reach == nullptr) {
        ForEachPiece(settings, state, slot, [&](float column, float row0, float row1) {
            DrawSegment(canvas, column, row0, row1, pen);
        });
        return;
    }
    const PieceReach pieceReach(*reach, state, pen);
    ForEachPiece(settings, state, slot, [&](float column, float row0, float row1) {
        if (PieceShown(state.PlotLimit, state.GraphHeightPx, row0, row1)) {
            pieceReach.Add(column, row0, row1);
            DrawSegment(canvas, column, row0, row1, pen);
        }
    });
}

void AddCurveReach(ColumnSpans& spans, const GraphSettings& settings, const GraphState& state,
                   const CurvePen& pen, int slot) {
    const PieceReach reach(spans, state, pen);
    ForEachPiece(settings, state, slot, [&](float column, float row0, float row1) {
        if (PieceShown(state.PlotLimit, state.GraphHeightPx, row0, row1)) {
            reach.Add(column, row0, row1);
        }
    });
}

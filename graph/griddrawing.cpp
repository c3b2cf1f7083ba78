#include "graph/griddrawing.h"

#include "platform/surface.h"

#include <cmath>
#include <vector>

namespace {

struct Extent {
    double from;
    double to;
};

// The stretch a side code gives the lines that run across that direction. A code other than
// -1, 0 or 1 (only a settings file can hold one) covers the whole surface.
Extent ExtentOf(std::int16_t side, double origin, double size) {
    switch (side) {
    case -1:
        return {0.0, origin};
    case 1:
        return {origin, size - 1.0};
    default:
        return {0.0, size - 1.0};
    }
}

bool CoversAfter(std::int16_t side) {
    return side == 0 || side == 1;
}
bool CoversBefore(std::int16_t side) {
    return side == 0 || side == -1;
}

struct LineClass {
    bool on;
    ColorRef colour;
    std::int32_t step;
};

// Calls draw(position) for origin, origin + step, ... while position < size. Positions are
// accumulated by repeated addition; lines left of the surface are skipped in one jump, so an
// origin dragged far away costs nothing.
template <class Draw>
void WalkForward(double origin, std::int32_t step, double size, Draw&& draw) {
    double position = origin;
    if (position < -1.0) {
        position += std::ceil((-1.0 - position) / step) * step;
    }
    for (; position < size; position += step) {
        draw(position);
    }
}

// Calls draw(position) for origin - step, origin - 2·step, ... while position >= 0.
template <class Draw>
void WalkBackward(double origin, std::int32_t step, double size, Draw&& draw) {
    double position = origin - step;
    if (position > size + 1.0) {
        position -= std::ceil((position - size - 1.0) / step) * step;
    }
    for (; position >= 0.0; position -= step) {
        draw(position);
    }
}

// Beyond this distance a single-precision origin no longer sits on whole pixels, and none of its
// lines could reach a sheet of at most a few thousand pixels anyway.
constexpr double FarthestOrigin = 16777216.0; // 2^24

// The three classes of one direction, each walked both ways as the side code allows. A step of
// 0 or less (a broken settings file) would never leave the loop, so such a class is not drawn.
template <class Draw>
void DrawClasses(const LineClass (&classes)[3], std::int16_t side, double origin, double size,
                 Draw&& draw) {
    if (!(std::fabs(origin) <= FarthestOrigin)) {
        return;
    }
    if (CoversAfter(side)) {
        for (const LineClass& c : classes) {
            if (c.on && c.step > 0) {
                WalkForward(origin, c.step, size, [&](double p) { draw(p, c.colour); });
            }
        }
    }
    if (CoversBefore(side)) {
        for (const LineClass& c : classes) {
            if (c.on && c.step > 0) {
                WalkBackward(origin, c.step, size, [&](double p) { draw(p, c.colour); });
            }
        }
    }
}

} // namespace

std::vector<GridLine> GridLines(const GraphSettings& s, float width, float height) {
    std::vector<GridLine> lines;
    const double originX = s.OriginX;
    const double originY = s.OriginY;
    const AxisSteps xs = StepsOf(s, Axis::X);
    const AxisSteps ys = StepsOf(s, Axis::Y);

    const Extent vertical = ExtentOf(s.YSide, originY, height);
    const LineClass xClasses[3] = {{s.XSmallLinesOn, s.XSmallLineColor, xs.small},
                                   {s.XMediumLinesOn, s.XMediumLineColor, xs.medium},
                                   {s.XLargeLinesOn, s.XLargeLineColor, xs.large}};
    DrawClasses(xClasses, s.XSide, originX, width, [&](double x, ColorRef colour) {
        lines.push_back({true, x, vertical.from, vertical.to, colour});
    });

    const Extent horizontal = ExtentOf(s.XSide, originX, width);
    const LineClass yClasses[3] = {{s.YSmallLinesOn, s.YSmallLineColor, ys.small},
                                   {s.YMediumLinesOn, s.YMediumLineColor, ys.medium},
                                   {s.YLargeLinesOn, s.YLargeLineColor, ys.large}};
    DrawClasses(yClasses, s.YSide, originY, height, [&](double y, ColorRef colour) {
        lines.push_back({false, y, horizontal.from, horizontal.to, colour});
    });

    if (s.XAxisOn) {
        lines.push_back({false, originY, horizontal.from, horizontal.to, s.XAxisColor});
    }
    if (s.YAxisOn) {
        lines.push_back({true, originX, vertical.from, vertical.to, s.YAxisColor});
    }
    return lines;
}

void DrawGrid(Surface& surface, const GraphSettings& s, float width, float height) {
    surface.SetDrawStyle(DrawStyle::Solid);
    surface.SetDrawWidth(1);
    surface.SetBackColor(s.BackgroundColor);
    surface.Clear();

    const std::vector<GridLine> lines = GridLines(s, width, height);
    // The vertical scale lines come first and share their extent: drawn in one sweep, in the
    // same order.
    std::vector<Surface::VerticalLine> verticals;
    std::size_t i = 0;
    const std::size_t scaleLines = lines.size() - (s.XAxisOn ? 1 : 0) - (s.YAxisOn ? 1 : 0);
    for (; i < scaleLines && lines[i].vertical; ++i) {
        verticals.push_back({lines[i].position, lines[i].colour});
    }
    if (!verticals.empty()) {
        surface.VerticalLines(verticals, lines.front().from, lines.front().to);
    }
    for (; i < lines.size(); ++i) {
        const GridLine& line = lines[i];
        if (line.vertical) {
            surface.Line(line.position, line.from, line.position, line.to, line.colour);
        } else {
            surface.Line(line.from, line.position, line.to, line.position, line.colour);
        }
    }
}

#pragma once

#include "platform/colorref.h"

#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QImage>
#include <algorithm>
#include <vector>

enum class DrawStyle { Solid, Dotted };

// The pixels a drawing may have changed, as one run of rows in each column of a sheet: enough to
// take a curve's pixels back, or to show only what changed, without looking at every pixel.
class ColumnSpans {
public:
    ColumnSpans() = default;
    ColumnSpans(int width, int height);

    // Columns left to right, rows top to bottom, both ends included; cut to the sheet.
    void Add(int left, int right, int top, int bottom) {
        left = std::max(left, 0);
        right = std::min(right, Width() - 1);
        top = std::max(top, 0);
        bottom = std::min(bottom, m_height - 1);
        if (left > right || top > bottom) {
            return;
        }
        m_empty = false;
        for (int column = left; column <= right; ++column) {
            auto& [from, to] = m_rows[static_cast<std::size_t>(column)];
            from = std::min(from, top);
            to = std::max(to, bottom);
        }
    }
    bool IsEmpty() const { return m_empty; }
    int Width() const { return static_cast<int>(m_rows.size()); }
    int Height() const { return m_height; }
    // The rows of a column; top > bottom when nothing there changed.
    int Top(int column) const { return m_rows[column].first; }
    int Bottom(int column) const { return m_rows[column].second; }
    // The smallest rectangle that holds every span; empty when there is none.
    QRect Bounds() const;

private:
    std::vector<std::pair<int, int>> m_rows;
    int m_height = 0;
    bool m_empty = true;
};

// A raster drawing surface: the sheet, and the previews of the dialogs. Positions are pixels
// with the origin at the top left and y downward; a fractional position lands in the pixel that
// contains it, as with QPainter's aliased drawing, so x = 165.5 is column 165. Nothing is
// antialiased, so every line sets exactly the pixels the tests expect.
class Surface {
public:
    explicit Surface(int width = 1, int height = 1);

    // The drawing size in pixels. Resizing keeps what was drawn in the part that remains and
    // fills new area with the background colour.
    void SetScaleSize(int width, int height);
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }

    void SetBackColor(ColorRef colour) { m_backColor = colour; }
    // Fills the surface with the background colour; a background picture stays under it all.
    void Clear();

    void SetDrawWidth(int width);
    void SetDrawStyle(DrawStyle style) { m_drawStyle = style; }

    // A straight line including both end pixels, in the current width and style.
    void Line(double x1, double y1, double x2, double y2, ColorRef colour);
    // Many 1-pixel solid vertical lines between the same two rows, each drawn over the ones before
    // it: the pixels of calling Line for each in turn, written row by row.
    struct VerticalLine {
        double x;
        ColorRef colour;
    };
    void VerticalLines(const std::vector<VerticalLine>& lines, double top, double bottom);
    // One pixel.
    void Point(double x, double y, ColorRef colour);

    // Takes back the spans' pixels from a picture of the surface's size (all of it, if the
    // sizes differ).
    void Restore(const QImage& picture, const ColumnSpans& spans);

    // A picture shown at its own size from the top-left corner, under everything drawn.
    void SetPicture(const QImage& picture);
    void ClearPicture();
    bool HasPicture() const { return !m_picture.isNull(); }
    const QImage& Picture() const { return m_picture; }

    // Everything shown, as one bitmap of the surface's size.
    const QImage& Image() const { return m_image; }
    QImage& Image() { return m_image; }

private:
    QImage m_image;
    QImage m_picture;
    ColorRef m_backColor = Rgb(255, 255, 255);
    int m_drawWidth = 1;
    DrawStyle m_drawStyle = DrawStyle::Solid;
};

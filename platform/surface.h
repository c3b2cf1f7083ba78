#pragma once

#include "platform/colorref.h"

#include <QtCore/QString>
#include <QtGui/QImage>
#include <vector>

enum class DrawStyle { Solid, Dotted };

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

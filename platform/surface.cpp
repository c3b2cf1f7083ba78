#include "platform/surface.h"

#include "platform/labels.h"

#include <QtGui/QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int MaxDrawWidth = 64;

// Cuts the segment down to the rectangle [xmin, xmax] × [ymin, ymax] (Liang–Barsky). Returns
// false when nothing of it lies inside. Done in double before any rounding, so endpoints far
// off the surface (an origin dragged miles away, a curve clamped to five sheet heights) never
// reach integer arithmetic.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double xmin, double ymin,
                 double xmax, double ymax) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const double sx = x1;
    const double sy = y1;
    x1 = sx + t0 * dx;
    y1 = sy + t0 * dy;
    x2 = sx + t1 * dx;
    y2 = sy + t1 * dy;
    return true;
}

int PixelOf(double position) {
    if (!(position > -1e9)) {
        return -1000000000;
    }
    if (position > 1e9) {
        return 1000000000;
    }
    // The floor, without a library call for each of a curve's many short lines.
    const int whole = static_cast<int>(position);
    return whole - (position < whole ? 1 : 0);
}

} // namespace

ColumnSpans::ColumnSpans(int width, int height)
    : m_rows(static_cast<std::size_t>(std::max(width, 0)), {height, -1}), m_height(height) {}

QRect ColumnSpans::Bounds() const {
    int left = Width();
    int right = -1;
    int top = m_height;
    int bottom = -1;
    for (int column = 0; column < Width(); ++column) {
        if (Top(column) <= Bottom(column)) {
            left = std::min(left, column);
            right = column;
            top = std::min(top, Top(column));
            bottom = std::max(bottom, Bottom(column));
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

Surface::Surface(int width, int height)
    : m_image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
    Clear();
}

void Surface::SetScaleSize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == m_image.width() && height == m_image.height()) {
        return;
    }
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(ToPixel(m_backColor));
    QPainter painter(&resized);
    painter.drawImage(QPoint(0, 0), m_image);
    painter.end();
    m_image = std::move(resized);
}

void Surface::Clear() {
    m_image.fill(ToPixel(m_backColor));
    if (!m_picture.isNull()) {
        QPainter painter(&m_image);
        painter.drawImage(QPoint(0, 0), m_picture);
    }
}

void Surface::SetDrawWidth(int width) {
    m_drawWidth = std::clamp(width, 1, MaxDrawWidth);
}

namespace {

// The image's pixels for a run of writes: the image is made its own once, and every write after
// that is a plain store.
class Pixels {
public:
    // bits() makes the image its own before it hands out its pixels; an image that is its own
    // already needs only its address, which is much cheaper for the many short lines of a curve.
    explicit Pixels(QImage& image)
        : m_bits(reinterpret_cast<std::uint32_t*>(
              image.isDetached() ? const_cast<uchar*>(image.constBits()) : image.bits())),
          m_stride(image.bytesPerLine() / 4), m_width(image.width()), m_height(image.height()) {}

    // A run along a row or a column, cut to the image.
    void Run(int x1, int y1, int x2, int y2, std::uint32_t pixel) const {
        if (y1 == y2) {
            if (y1 < 0 || y1 >= m_height) {
                return;
            }
            const int from = std::max(std::min(x1, x2), 0);
            const int to = std::min(std::max(x1, x2), m_width - 1);
            if (from <= to) {
                std::uint32_t* row = m_bits + static_cast<qsizetype>(y1) * m_stride;
                std::fill(row + from, row + to + 1, pixel);
            }
            return;
        }
        if (x1 < 0 || x1 >= m_width) {
            return;
        }
        const int from = std::max(std::min(y1, y2), 0);
        const int to = std::min(std::max(y1, y2), m_height - 1);
        if (from > to) {
            return;
        }
        std::uint32_t* at = m_bits + static_cast<qsizetype>(from) * m_stride + x1;
        for (int y = from; y <= to; ++y, at += m_stride) {
            *at = pixel;
        }
    }

    // A pixel known to lie on the image.
    void Set(int x, int y, std::uint32_t pixel) const {
        m_bits[static_cast<qsizetype>(y) * m_stride + x] = pixel;
    }

    void Plot(int x, int y, std::uint32_t pixel) const {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height) {
            m_bits[static_cast<qsizetype>(y) * m_stride + x] = pixel;
        }
    }

    // A wide pen is a square of the draw width centred on the pixel.
    void Stamp(int x, int y, int drawWidth, std::uint32_t pixel) const {
        if (drawWidth == 1) {
            Plot(x, y, pixel);
            return;
        }
        const int from = -(drawWidth - 1) / 2;
        const int left = std::max(x + from, 0);
        const int right = std::min(x + from + drawWidth, m_width);
        const int top = std::max(y + from, 0);
        const int bottom = std::min(y + from + drawWidth, m_height);
        for (int row = top; row < bottom; ++row) {
            std::uint32_t* at = m_bits + static_cast<qsizetype>(row) * m_stride;
            std::fill(at + left, at + std::max(left, right), pixel);
        }
    }

private:
    std::uint32_t* m_bits;
    qsizetype m_stride;
    int m_width;
    int m_height;
};

} // namespace

void Surface::Line(double x1, double y1, double x2, double y2, ColorRef colour) {
    // Only ends more than a sheet away are cut, so a line that stays near the sheet keeps
    // exactly the pixels of its own end points.
    const double margin = std::max(m_image.width(), m_image.height()) + m_drawWidth + 1.0;
    const double right = m_image.width() - 1 + margin;
    const double bottom = m_image.height() - 1 + margin;
    const auto near = [&](double x, double y) {
        return x >= -margin && x <= right && y >= -margin && y <= bottom;
    };
    // Most lines lie near the sheet from end to end and need no cutting.
    if (!(near(x1, y1) && near(x2, y2)) &&
        !ClipSegment(x1, y1, x2, y2, -margin, -margin, right, bottom)) {
        return;
    }
    int x = PixelOf(x1);
    int y = PixelOf(y1);
    const int xEnd = PixelOf(x2);
    const int yEnd = PixelOf(y2);
    const std::uint32_t pixel = ToPixel(colour);
    const Pixels pixels(m_image);
    if (m_drawWidth == 1 && m_drawStyle == DrawStyle::Solid && (x == xEnd || y == yEnd)) {
        // The whole grid is made of these: write the run straight into the image.
        pixels.Run(x, y, xEnd, yEnd, pixel);
        return;
    }
    const int dx = std::abs(xEnd - x);
    const int dy = -std::abs(yEnd - y);
    const int stepX = x < xEnd ? 1 : -1;
    const int stepY = y < yEnd ? 1 : -1;
    int error = dx + dy;
    for (int n = 0;; ++n) {
        // Dotted lines: two pixels on, two off.
        if (m_drawStyle == DrawStyle::Solid || (n & 2) == 0) {
            pixels.Stamp(x, y, m_drawWidth, pixel);
        }
        if (x == xEnd && y == yEnd) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void Surface::VerticalLines(const std::vector<VerticalLine>& lines, double top, double bottom) {
    if (lines.empty() || !std::isfinite(top) || !std::isfinite(bottom)) {
        return;
    }
    const int from = std::max(PixelOf(std::min(top, bottom)), 0);
    const int to = std::min(PixelOf(std::max(top, bottom)), m_image.height() - 1);
    // Column by column is a cache miss per pixel; a row at a time keeps the writes together.
    std::vector<std::pair<int, std::uint32_t>> columns;
    columns.reserve(lines.size());
    for (const VerticalLine& line : lines) {
        const int x = PixelOf(line.x);
        if (x >= 0 && x < m_image.width()) {
            columns.emplace_back(x, ToPixel(line.colour));
        }
    }
    for (int y = from; y <= to; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(m_image.scanLine(y));
        for (const auto& [x, pixel] : columns) {
            row[x] = pixel;
        }
    }
}

void Surface::Point(double x, double y, ColorRef colour) {
    Pixels(m_image).Plot(PixelOf(x), PixelOf(y), ToPixel(colour));
}

void Surface::Restore(const QImage& picture, const ColumnSpans& spans) {
    if (picture.size() != m_image.size() || picture.format() != m_image.format() ||
        spans.Width() != m_image.width() || spans.Height() != m_image.height()) {
        m_image = picture.convertToFormat(QImage::Format_RGB32);
        return;
    }
    if (spans.IsEmpty()) {
        return;
    }
    const Pixels pixels(m_image);
    const auto* from = reinterpret_cast<const std::uint32_t*>(picture.constBits());
    const qsizetype fromStride = picture.bytesPerLine() / 4;
    for (int column = 0; column < spans.Width(); ++column) {
        if (spans.Top(column) > spans.Bottom(column)) {
            continue;
        }
        // The spans lie on the sheet.
        const std::uint32_t* source = from + spans.Top(column) * fromStride + column;
        for (int row = spans.Top(column); row <= spans.Bottom(column); ++row) {
            pixels.Set(column, row, *source);
            source += fromStride;
        }
    }
}

void Surface::SetPicture(const QImage& picture) {
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(1.0);
}

void Surface::ClearPicture() {
    m_picture = QImage();
}

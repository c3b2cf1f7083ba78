#include "ui/toolbaricons.h"

#include <QtCore/QStringView>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPixmap>
#include <QtGui/QPolygonF>
#include <cmath>
#include <numbers>

namespace {

// Every toolbar picture is drawn on a 16 × 16 grid; larger sizes scale the same drawing. Lines of
// width 1 sit on half coordinates so that at 16 pixels they cover whole pixels instead of smearing
// over two.

const QColor Ink(48, 48, 48);
const QColor Paper(255, 255, 255);
const QColor PaperShade(214, 214, 214);
const QColor TextLine(150, 150, 150);
const QColor Accent(36, 96, 196);

QPen InkPen(qreal width = 1.0, const QColor& color = Ink) {
    QPen pen(color, width);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

QPen RoundPen(qreal width, const QColor& color) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void PaintNewPage(QPainter& p) {
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(InkPen());
    p.setBrush(Paper);
    p.drawPath(page);
    p.setBrush(PaperShade);
    p.drawPolygon(QPolygonF{{9.5, 1.5}, {9.5, 4.5}, {12.5, 4.5}});
}

void PaintOpenFolder(QPainter& p) {
    const QColor edge(138, 100, 16);
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.5);
    back.lineTo(5.5, 3.5);
    back.lineTo(6.5, 4.5);
    back.lineTo(12.5, 4.5);
    back.lineTo(12.5, 13.5);
    back.closeSubpath();
    p.setPen(InkPen(1.0, edge));
    p.setBrush(QColor(214, 160, 40));
    p.drawPath(back);
    // The front flap leans open towards the viewer.
    p.setBrush(QColor(248, 212, 104));
    p.drawPolygon(QPolygonF{{4.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}, {1.5, 13.5}});
}

void PaintFloppyDisk(QPainter& p) {
    const QColor body(46, 92, 158);
    QPainterPath disk;
    disk.moveTo(1.5, 1.5);
    disk.lineTo(12.5, 1.5);
    disk.lineTo(14.5, 3.5);
    disk.lineTo(14.5, 14.5);
    disk.lineTo(1.5, 14.5);
    disk.closeSubpath();
    p.setPen(InkPen(1.0, QColor(24, 48, 92)));
    p.setBrush(body);
    p.drawPath(disk);
    // Metal shutter with its slot.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(4, 2, 7, 4));
    p.setBrush(body);
    p.drawRect(QRectF(8, 3, 2, 2));
    // Paper label with two written lines.
    p.setBrush(Paper);
    p.drawRect(QRectF(3, 8, 10, 6));
    p.setBrush(TextLine);
    p.drawRect(QRectF(4, 9, 8, 1));
    p.drawRect(QRectF(4, 11, 8, 1));
}

void PaintPrinter(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(Paper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(176, 176, 176));
    p.drawRect(QRectF(1.5, 5.5, 13, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 170, 60));
    p.drawRect(QRectF(12, 7, 1, 1));
    // The printed sheet coming out at the front.
    p.setPen(InkPen());
    p.setBrush(Paper);
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawRect(QRectF(6, 11, 4, 1));
    p.drawRect(QRectF(6, 13, 3, 1));
}

void PaintTwoSheets(QPainter& p) {
    p.setPen(InkPen());
    p.setBrush(Paper);
    p.drawRect(QRectF(1.5, 1.5, 8, 10));
    p.drawRect(QRectF(6.5, 4.5, 8, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(TextLine);
    for (int row = 0; row < 4; ++row) {
        p.drawRect(QRectF(8, 6 + 2 * row, row == 3 ? 3 : 5, 1));
    }
}

void PaintRestoreErased(QPainter& p) {
    // An eraser below a turning-back arrow: what the eraser took is brought back.
    p.setPen(InkPen(1.0, QColor(120, 60, 70)));
    p.setBrush(QColor(236, 132, 150));
    p.drawRect(QRectF(2.5, 10.5, 7, 4));
    p.setBrush(Paper);
    p.drawRect(QRectF(9.5, 10.5, 4, 4));

    const QPen arrow = RoundPen(1.6, Accent);
    p.setPen(arrow);
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(4.0, 7.0);
    arc.cubicTo(4.0, 1.5, 13.0, 1.0, 13.0, 6.0);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawPolygon(QPolygonF{{1.0, 5.5}, {7.0, 5.5}, {4.0, 9.5}});
}

void PaintSliders(QPainter& p) {
    const qreal rows[] = {3.5, 8.5, 13.5};
    const qreal knobs[] = {10.0, 4.0, 8.0};
    for (int i = 0; i < 3; ++i) {
        p.setPen(InkPen(1.0, QColor(96, 96, 96)));
        p.drawLine(QPointF(1.0, rows[i]), QPointF(15.0, rows[i]));
        p.setPen(InkPen());
        p.setBrush(Accent);
        p.drawRect(QRectF(knobs[i] - 1.5, rows[i] - 2.0, 3, 4));
    }
}

void PaintMagnifier(QPainter& p, bool plus) {
    p.setPen(RoundPen(3.0, QColor(90, 64, 40)));
    p.drawLine(QPointF(10.5, 10.5), QPointF(14.0, 14.0));
    p.setPen(InkPen(1.5));
    p.setBrush(QColor(226, 240, 255));
    p.drawEllipse(QPointF(6.5, 6.5), 5.0, 5.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(4, 6, 5, 1.5));
    if (plus) {
        p.drawRect(QRectF(5.75, 4.25, 1.5, 5));
    }
}

void PaintCornerArrows(QPainter& p) {
    // The sheet grows out to fill the window: a frame with arrows to its four corners.
    p.setPen(InkPen(1.0, QColor(128, 128, 128)));
    p.setBrush(Paper);
    p.drawRect(QRectF(5.5, 5.5, 5, 5));
    p.setBrush(Accent);
    for (int quarter = 0; quarter < 4; ++quarter) {
        p.save();
        p.translate(8.0, 8.0);
        p.rotate(90.0 * quarter);
        p.setPen(RoundPen(1.5, Accent));
        p.drawLine(QPointF(-2.5, -2.5), QPointF(-5.0, -5.0));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF{{-8.0, -8.0}, {-3.0, -8.0}, {-8.0, -3.0}});
        p.restore();
    }
}

void PaintLetterWithPen(QPainter& p) {
    QPainterPath letter;
    letter.moveTo(1.5, 14.0);
    letter.lineTo(5.5, 2.0);
    letter.lineTo(9.5, 14.0);
    letter.moveTo(3.2, 10.0);
    letter.lineTo(7.8, 10.0);
    p.setPen(QPen(Ink, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(letter);

    p.save();
    p.translate(12.0, 9.0);
    p.rotate(45.0);
    p.setPen(InkPen(1.0, QColor(100, 80, 20)));
    p.setBrush(QColor(250, 200, 60));
    p.drawRect(QRectF(-1.5, -6.5, 3, 9));
    p.setBrush(QColor(244, 214, 170));
    p.drawPolygon(QPolygonF{{-1.5, 2.5}, {1.5, 2.5}, {0.0, 6.0}});
    p.restore();
}

// A curved arrow over the page, pointing left for undo and right (mirrored) for redo.
void PaintTurnArrow(QPainter& p, bool back) {
    if (!back) {
        p.translate(16.0, 0.0);
        p.scale(-1.0, 1.0);
    }
    QPainterPath arc;
    arc.moveTo(4.5, 6.5);
    arc.lineTo(9.5, 6.5);
    arc.cubicTo(15.0, 6.5, 15.0, 14.0, 9.5, 14.0);
    arc.lineTo(6.0, 14.0);
    p.setPen(RoundPen(2.0, Accent));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawPolygon(QPolygonF{{0.5, 6.5}, {5.5, 2.0}, {5.5, 11.0}});
}

using PaintFunction = void (*)(QPainter&);

struct IconEntry {
    QStringView key;
    PaintFunction paint;
};

const IconEntry Icons[] = {
    {u"新規作成", PaintNewPage},                                      // new
    {u"設定を開く", PaintOpenFolder},                                 // open settings
    {u"上書き保存", PaintFloppyDisk},                                 // overwrite save
    {u"画像印刷", PaintPrinter},                                      // print picture
    {u"コピー", PaintTwoSheets},                                      // copy
    {u"消去文字の復活", PaintRestoreErased},                          // restore erased text
    {u"詳細設定", PaintSliders},                                      // detailed settings
    {u"ズームイン", [](QPainter& p) { PaintMagnifier(p, true); }},    // zoom in
    {u"ズームアウト", [](QPainter& p) { PaintMagnifier(p, false); }}, // zoom out
    {u"ｻｲｽﾞﾏｯﾁﾝｸﾞ", PaintCornerArrows},                               // size matching
    {u"文字・記号の追加", PaintLetterWithPen},                        // add text or symbol
    {u"元に戻す", [](QPainter& p) { PaintTurnArrow(p, true); }},      // undo
    {u"やり直し", [](QPainter& p) { PaintTurnArrow(p, false); }},     // redo
};

PaintFunction FindPainter(const QString& key) {
    for (const IconEntry& entry : Icons) {
        if (entry.key == key) {
            return entry.paint;
        }
    }
    return nullptr;
}

QImage BlankImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void PaintAppIconOn(QPainter& p, int size) {
    const qreal s = size;
    const qreal line = size <= 24 ? 1.0 : s / 32.0;
    const qreal inset = line / 2.0;
    const QRectF sheet(inset, inset, s - line, s - line);

    p.setPen(QPen(QColor(70, 90, 120), line));
    p.setBrush(QColor(252, 252, 246));
    p.drawRect(sheet);

    // Grid: eight cells across, every other line stronger, as on the program's own sheet.
    const int cells = 8;
    const qreal cell = (s - 2 * line) / cells;
    for (int i = 1; i < cells; ++i) {
        const bool major = i % 2 == 0;
        if (size < 32 && !major) {
            continue;
        }
        const qreal at = std::round(line + i * cell) + (line <= 1.0 ? 0.5 : 0.0);
        p.setPen(QPen(major ? QColor(150, 186, 222) : QColor(208, 226, 244),
                      line <= 1.0 ? 1.0 : line / 2));
        p.drawLine(QPointF(at, line), QPointF(at, s - line));
        p.drawLine(QPointF(line, at), QPointF(s - line, at));
    }

    // Axes through the middle row and the second column.
    const qreal axisY = std::round(line + 4 * cell) + (line <= 1.0 ? 0.5 : 0.0);
    const qreal axisX = std::round(line + 2 * cell) + (line <= 1.0 ? 0.5 : 0.0);
    p.setPen(QPen(QColor(60, 60, 60), line));
    p.drawLine(QPointF(line, axisY), QPointF(s - line, axisY));
    p.drawLine(QPointF(axisX, line), QPointF(axisX, s - line));

    // A sine wave across the sheet: one period and a half, or a single one where the icon is too
    // small for more to read as a wave.
    QPainterPath curve;
    const int steps = 64;
    const qreal left = line * 1.5;
    const qreal width = s - 2 * left;
    const qreal amplitude = (s / 2 - 2 * line) * 0.72;
    const qreal periods = size < 32 ? 1.0 : 1.5;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = static_cast<qreal>(i) / steps;
        const QPointF point(left + t * width,
                            axisY - amplitude * std::sin(t * periods * 2.0 * std::numbers::pi));
        if (i == 0) {
            curve.moveTo(point);
        } else {
            curve.lineTo(point);
        }
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(RoundPen(std::max(1.5, s / 16.0), QColor(214, 40, 40)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
}

} // namespace

QImage ToolbarIconImage(const QString& key, int size) {
    const PaintFunction paint = FindPainter(key);
    if (paint == nullptr || size < 1) {
        return {};
    }
    QImage image = BlankImage(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(size / 16.0, size / 16.0);
    paint(painter);
    painter.end();
    return image;
}

QIcon ToolbarIcon(const QString& key) {
    if (FindPainter(key) == nullptr) {
        return {};
    }
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        icon.addPixmap(QPixmap::fromImage(ToolbarIconImage(key, size)));
    }
    return icon;
}

QImage AppIconImage(int size) {
    if (size < 1) {
        return {};
    }
    QImage image = BlankImage(size);
    QPainter painter(&image);
    PaintAppIconOn(painter, size);
    painter.end();
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    }
    return icon;
}

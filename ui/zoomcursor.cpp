#include "ui/zoomcursor.h"

#include "files/safefile.h"
#include "platform/resources.h"

#include <QtCore/QBuffer>
#include <QtGui/QImageReader>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <optional>

namespace {

constexpr int Size = 32;
constexpr QPoint LensCentre(12, 12);
// A cursor file of two 32 × 32 pictures is a few kilobytes; nothing sensible is larger.
constexpr qint64 MaxCursorBytes = 1024 * 1024;

QPixmap DrawnMagnifier(int direction) {
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A white rim under the black lines keeps the pointer visible on a dark background.
    for (const auto& [colour, width] :
         {std::pair{QColor(Qt::white), 4.0}, {QColor(Qt::black), 2.0}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.drawEllipse(QPointF(LensCentre), 8.5, 8.5);
        p.drawLine(QPointF(18.5, 18.5), QPointF(28, 28));
        p.drawLine(QPointF(8, 12), QPointF(16, 12));
        if (direction > 0) {
            p.drawLine(QPointF(12, 8), QPointF(12, 16));
        }
    }
    p.end();
    return QPixmap::fromImage(image);
}

// The hot spot a cursor file names for its first picture (bytes 10 to 13 of the file).
std::optional<QPoint> HotSpotOf(const QByteArray& head) {
    if (head.size() < 14 || head[2] != 2) { // type 2: a cursor, not an icon
        return std::nullopt;
    }
    const auto word = [&](int at) {
        return static_cast<int>(static_cast<quint8>(head[at])) |
               (static_cast<int>(static_cast<quint8>(head[at + 1])) << 8);
    };
    return QPoint(word(10), word(12));
}

} // namespace

QCursor ZoomCursor(int direction) {
    const QString file =
        ResourcePath(direction > 0 ? QStringLiteral("MAGNIFY.CUR") : QStringLiteral("DOWN.CUR"));
    // Read once, and only from a regular file: a FIFO of that name would block the window.
    QByteArray bytes;
    if (!ReadFileWhole(file, MaxCursorBytes, bytes).Failed()) {
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "cur");
        const QImage image = reader.read();
        const std::optional<QPoint> hotSpot = HotSpotOf(bytes);
        if (!image.isNull() && hotSpot) {
            return QCursor(QPixmap::fromImage(image), hotSpot->x(), hotSpot->y());
        }
    }
    return QCursor(DrawnMagnifier(direction), LensCentre.x(), LensCentre.y());
}

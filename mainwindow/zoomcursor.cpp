#include "mainwindow/zoomcursor.h"

#include "platform/resources.h"

#include <QtGui/QImageReader>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>

namespace {

constexpr int Size = 32;
constexpr QPoint LensCentre(12, 12);

QPixmap DrawnMagnifier(int direction) {
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A white rim under the black lines keeps the pointer visible on a dark background.
    for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 4.0}, {QColor(Qt::black), 2.0}}) {
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

} // namespace

QCursor ZoomCursor(int direction) {
    const QString file =
        ResourcePath(direction > 0 ? QStringLiteral("MAGNIFY.CUR") : QStringLiteral("DOWN.CUR"));
    QImageReader reader(file, "cur");
    const QImage image = reader.read();
    if (!image.isNull()) {
        // The cursor files are drawn like the built-in one: the hot spot is the lens centre.
        return QCursor(QPixmap::fromImage(image), LensCentre.x() * image.width() / Size,
                       LensCentre.y() * image.height() / Size);
    }
    return QCursor(DrawnMagnifier(direction), LensCentre.x(), LensCentre.y());
}

#pragma once

// A printed PDF page as pixels, for checking where the ink went.

#include <QtCore/QProcess>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QColor>
#include <QtGui/QImage>

// Renders the first page of a PDF at 254 dots per inch: 10 pixels per millimetre. A null image
// when pdftoppm fails or takes longer than half a minute.
inline QImage RenderPage(const QString& pdf, const QString& stem) {
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, stem});
    if (!render.waitForFinished(30000)) {
        return {};
    }
    return QImage(stem + QStringLiteral(".png"));
}

// The smallest rectangle holding every pixel darker than paper white.
inline QRect Inked(const QImage& image) {
    QRect inked;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).lightness() < 250) {
                inked |= QRect(x, y, 1, 1);
            }
        }
    }
    return inked;
}

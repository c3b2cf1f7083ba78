#pragma once

#include "platform/colorref.h"

#include <QtCore/QRect>
#include <QtGui/QImage>

// How many pixels of an image (or of one area of it) have a colour.
inline int CountPixels(const QImage& image, ColorRef colour, QRect area = {}) {
    area = area.isNull() ? image.rect() : area & image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += FromQColor(image.pixelColor(x, y)) == colour ? 1 : 0;
        }
    }
    return n;
}

// A picture with the fine detail of a photograph, which a PDF writer would make a JPEG of.
inline QImage Photograph(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            picture.setPixel(x, y, qRgb(250, (x * 37 + y * 11) % 256, (x * y) % 256));
        }
    }
    return picture;
}

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

#pragma once

#include "platform/units.h"
#include "program/layout.h"

#include <QtCore/QRect>

// Window geometry is kept in twips; widgets are placed in whole pixels.
inline int Px(double twips) {
    return units::TwipsToWholePixels(twips);
}
inline double Tw(int pixels) {
    return units::PixelsToTwips(pixels);
}
inline QRect PxRect(const TwipRect& r) {
    return QRect(Px(r.left), Px(r.top), Px(r.width), Px(r.height));
}
inline TwipRect TwRect(const QRect& r) {
    return {Tw(r.x()), Tw(r.y()), Tw(r.width()), Tw(r.height())};
}

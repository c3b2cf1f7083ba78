#include "platform/units.h"

#include <cmath>

namespace units {

double PixelsToTwips(double pixels) {
    return pixels * TwipsPerPixel;
}

double TwipsToPixels(double twips) {
    return twips / TwipsPerPixel;
}

int TwipsToWholePixels(double twips) {
    return static_cast<int>(std::lround(TwipsToPixels(twips)));
}

double PixelsToMillimetres(double pixels) {
    return pixels * MillimetresPerInch / PixelsPerInch;
}

double MillimetresToPixels(double millimetres) {
    return millimetres * PixelsPerInch / MillimetresPerInch;
}

double TwipsToMillimetres(double twips) {
    return twips * MillimetresPerInch / TwipsPerInch;
}

double MillimetresToTwips(double millimetres) {
    return millimetres * TwipsPerInch / MillimetresPerInch;
}

} // namespace units

#pragma once

// Length conversions. Every conversion works at a fixed 96 pixels per inch, so a twip (1/1440
// inch) is 1/15 pixel and a pixel is 25.4/96 millimetres, on any screen.
namespace units {

inline constexpr double PixelsPerInch = 96.0;
inline constexpr double TwipsPerInch = 1440.0;
inline constexpr double MillimetresPerInch = 25.4;
inline constexpr double TwipsPerPixel = TwipsPerInch / PixelsPerInch; // 15

double PixelsToTwips(double pixels);
double TwipsToPixels(double twips);
// The whole pixel nearest to a length in twips, halves away from zero (window geometry).
int TwipsToWholePixels(double twips);
double PixelsToMillimetres(double pixels);
double MillimetresToPixels(double millimetres);
double TwipsToMillimetres(double twips);
double MillimetresToTwips(double millimetres);

} // namespace units

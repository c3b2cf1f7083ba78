#pragma once

#include <QtGui/QColor>
#include <cstdint>

// Colours are kept the way settings files store them: 24-bit RGB packed as r + 256·g + 65536·b
// (red in the low byte) in a 32-bit integer.
using ColorRef = std::int32_t;

constexpr ColorRef Rgb(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr int RedOf(ColorRef c) {
    return c & 0xFF;
}
constexpr int GreenOf(ColorRef c) {
    return (c >> 8) & 0xFF;
}
constexpr int BlueOf(ColorRef c) {
    return (c >> 16) & 0xFF;
}

// The high byte of a stored colour carries nothing; only the low 24 bits are drawn.
inline QColor ToQColor(ColorRef c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

inline ColorRef FromQColor(const QColor& c) {
    return Rgb(c.red(), c.green(), c.blue());
}

// The 0xAARRGGBB word of a Format_RGB32 pixel for a colour.
constexpr std::uint32_t ToPixel(ColorRef c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(c)) << 8) | static_cast<std::uint32_t>(BlueOf(c));
}

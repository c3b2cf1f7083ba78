#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <cstdint>

// The line styles of a curve: a code of a kind character ("実" solid, "点" dotted, "鎖" chain)
// and a width digit, as slots and settings files carry them.

// Pen style numbers of the line-style codes.
inline constexpr std::int16_t SolidPen = 0;
inline constexpr std::int16_t ChainPen = 1;
inline constexpr std::int16_t DottedPen = 2;

// "鎖1" to "鎖3" chain, "点1" to "点3" dotted; every other text, "実n" included, solid.
std::int16_t PenStyleOfCode(const QString& code);
// The width digit at the end of a code (0 when there is none).
std::int16_t PenWidthOfCode(const QString& code);

// The nine line styles, in menu order: codes and captions ("細い実線（実1）" = thin solid line).
QStringList LineStyleCodes();
QStringList LineStyleCaptions();

#pragma once

#include <QtCore/QString>

// Draws a settings file's graph without a window: grid, tick numbers and every function with
// text, each in its colour and style, the labels stamped in; written as BMP, or PNG when the
// output name ends in ".png". Returns an empty text on success, else one line saying what failed.
QString RenderSettingsFile(const QString& settingsPath, const QString& imagePath);

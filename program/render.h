#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <optional>

struct CurvaneState;

// What an output name asks --render for, by its extension: the sheet's own pixels (".bmp",
// ".png", ".jpg", ".jpeg"), or the print-quality vector export (".pdf", ".svg").
struct RenderOutput {
    enum class Kind { Picture, Pdf, Svg };
    Kind kind = Kind::Picture;
    const char* imageFormat = "bmp"; // for pictures: "bmp", "png" or "jpg"
};
std::optional<RenderOutput> RenderOutputOfName(const QString& imagePath);
// The refusal of a name RenderOutputOfName cannot place.
QString UnknownOutputText(const QString& imagePath);

// A settings file for use without a window: one line saying why it cannot be read (missing, or
// no regular file), or an empty text.
QString CheckSettingsFileAlone(const QString& settingsPath);
// A state without a window for a settings file: the sheet at the size of the window's design,
// the file read and put into the state. When it cannot be read or is no settings file, one line
// with the reader's reason (the system's words, or what the line lacks); else an empty text.
QString LoadSettingsFileAlone(const QString& settingsPath, CurvaneState& state);

// Draws a settings file's graph without a window: grid, tick numbers and every function with
// text, each in its colour and style, with the labels. A worksheet (a name ending in ".cvw") is
// drawn as it was kept instead: its curves, families of curves, background and labels. The output
// name's extension decides the format (see RenderOutputOfName; any other name, and the settings
// file itself, is refused before anything is written). A picture is the sheet's exact pixels, or,
// with dpi, the print-quality drawing at that resolution. Returns an empty text on success, else
// one line saying what failed. parameters gives parameters values as "NAME=VALUE" (a worksheet's
// curves that read a changed value are drawn again with it).
QString RenderSettingsFile(const QString& settingsPath, const QString& imagePath,
                           std::optional<int> dpi = std::nullopt,
                           const QStringList& parameters = {});

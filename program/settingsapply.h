#pragma once

#include "files/settingsfile.h"

struct CurvaneDocument;
struct CurvaneState;

// Between the whole state and what a settings file holds.

// The document as a settings file keeps it, with the window's outer size in twips.
SettingsFileData CaptureSettings(const CurvaneDocument& state, double windowWidth,
                                 double windowHeight);

// The main window's outer size that a settings file asked for, in twips, and the whole pixels the
// window took for it. Twips do not map onto pixels one to one (7000 twips are 466.7 pixels, shown
// as 467, which are 7005 twips), so a size read from a file is written back as the file had it for
// as long as the window keeps those pixels.
struct FileWindowSize {
    double widthTwips = 0;
    double heightTwips = 0;
    int widthPx = -1; // -1: nothing asked for
    int heightPx = -1;
};

// What a file asks for and the pixels that became, both directions at once.
FileWindowSize RememberFileWindowSize(double widthTwips, double heightTwips);

struct TwipSize {
    double width = 0;
    double height = 0;
};
// The outer size a save writes for a window of these outer pixels: in each direction the twips
// the file asked for while the window still has the pixels they became, else the pixels in twips.
TwipSize WindowSizeToSave(const FileWindowSize& remembered, int widthPx, int heightPx);

// Puts a read file into the state: the record, the axis values, the sheet at the file's size
// (when that size is allowed; otherwise the sheet keeps its own), the three rows with their
// texts (rows 2 and 3 shown when their text is not empty), then the grid and tick numbers redrawn
// and every curve forgotten. The window's size is the caller's.
void ApplySettingsFile(CurvaneState& state, const SettingsFileData& data);

#pragma once

#include "output/settingsfile.h"

struct CurvaneState;

// Between the whole state and what a settings file holds.

// The state as a settings file keeps it, with the window's outer size in twips.
SettingsFileData CaptureSettings(const CurvaneState& state, double windowWidth,
                                 double windowHeight);

// Puts a read file into the state: the record, the axis values, the sheet at the file's size
// (when that size is allowed; otherwise the sheet keeps its own), the three rows with their
// texts (rows 2 and 3 shown when their text is not empty), then the grid and tick numbers redrawn
// and every curve forgotten. The window's size is the caller's.
void ApplySettingsFile(CurvaneState& state, const SettingsFileData& data);

#pragma once

#include "program/settingsapply.h"

#include <QtCore/QString>
#include <optional>

class Dialogs;
struct CurvaneState;

// The dialog texts of the settings file commands.
QString SettingsFileFilter(); // "設定ﾌｧｲﾙ (*.cvf)|*.cvf"
QString SaveAsTitle();        // "名前を付けて保存" = save under a name
QString OpenTitle();          // "設定読み込み" = read settings

enum class SaveOutcome {
    NothingDone, // no name yet, or the dialog was cancelled
    Saved,
    Refused, // a text the format cannot hold; the user was told
    Failed,  // the file could not be written; the user was told
};

// Save as (askName) or Save. The name is kept before the file is touched; the file is written
// whole to a temporary file that then replaces the old one, so a failure never leaves a damaged
// file behind. A failure is reported, since nothing else would tell the user.
SaveOutcome SaveSettingsFile(CurvaneState& state, Dialogs& dialogs, bool askName,
                             double windowWidth, double windowHeight);

// The first steps of Open: the name asked for and kept, the file read whole. Nothing when the
// dialog was cancelled or the file could not be read; a failed read changes nothing else and
// says nothing.
std::optional<SettingsFileData> ReadSettingsFile(CurvaneState& state, Dialogs& dialogs);

// Reads a settings file at a path: nothing when it cannot be opened or read.
std::optional<SettingsFileData> ReadSettingsPath(const QString& path, const GraphSettings& current);

// New: default record, function rows and picture, the grid and tick numbers drawn anew. The window
// size, the file names and the free labels stay.
void NewSettings(CurvaneState& state);

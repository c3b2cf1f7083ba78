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

// The refusal shown when a text cannot be stored, naming the field that holds it (a settings
// field number as WriteSettingsLine gives it).
QString UnstorableTextMessage(int field);

enum class SaveOutcome {
    NothingDone, // no name yet, or the dialog was cancelled
    Saved,
    Refused, // a text the format cannot hold; the user was told
    Failed,  // the file could not be written; the user was told
};

// Save as (askName) or Save. The file is written whole to a temporary file that then replaces
// the old one, so a failure never leaves a damaged file behind; a target that is no regular file
// is refused. A failure is reported with its reason, since nothing else would tell the user. The
// name is kept for the next Save only once the file holds the line.
SaveOutcome SaveSettingsFile(CurvaneState& state, Dialogs& dialogs, bool askName,
                             double windowWidth, double windowHeight);

// The file chosen in Open's dialog; empty when the user cancelled.
QString AskSettingsFileToOpen(Dialogs& dialogs);

// Open's reading of a chosen file (or one named on the command line): the file read whole. When
// it cannot be read or holds no settings line, "設定ファイルを読み込めませんでした。" (the
// settings file could not be read) with the path and the reason is shown and nothing changes;
// otherwise the name becomes the one Save writes to and the caller applies what was read.
std::optional<SettingsFileData> ReadSettingsFileToOpen(CurvaneState& state, Dialogs& dialogs,
                                                       const QString& path);

// Reads a settings file at a path: nothing when it cannot be opened or read, or holds no
// settings line; reason then says why, in English (for the command line).
std::optional<SettingsFileData> ReadSettingsPath(const QString& path, const GraphSettings& current,
                                                 QString* reason = nullptr);

// New: default record, function rows and picture, the grid and tick numbers drawn anew. The window
// size, the file names and the free labels stay.
void NewSettings(CurvaneState& state);

#pragma once

#include "program/settingscommands.h"
#include "program/worksheet.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <optional>

class Dialogs;
class SettingsStore;
struct CurvaneState;

// The worksheet commands of the file menu, the question before work is lost, and the list of
// files used last.

QString WorksheetFilter();    // "ワークシート (*.cvw)|*.cvw"
QString WorksheetOpenTitle(); // "ワークシートを開く" = open a worksheet
QString WorksheetSaveTitle(); // "ワークシートの保存" = save the worksheet

// Save (askName false: under the worksheet's name once it has one; the first save asks for a
// name) and save as. A name chosen without an extension gets ".cvw". The file is written whole
// beside its place and replaces the old one only then; a failure is reported with its reason and
// changes nothing. The name is kept for the next save once the file holds the document.
SaveOutcome SaveWorksheet(CurvaneState& state, Dialogs& dialogs, bool askName,
                          const WorksheetWindow& window);

// The worksheet chosen in the open dialog; empty when the user cancelled.
QString AskWorksheetToOpen(Dialogs& dialogs);

// Reads a worksheet to open it. When it cannot be read, or is no worksheet, or a damaged one or
// one of a newer version, "ワークシートを読み込めませんでした。" (the worksheet could not be read)
// with the path and the reason is shown.
std::optional<CurvaneDocument> ReadWorksheetToOpen(Dialogs& dialogs, const QString& path);

// Puts an opened worksheet into the state, sheet and all; the settings file it came from becomes
// the one 設定の上書き保存 writes to, and its own name the one the worksheet's save writes to.
void ApplyWorksheet(CurvaneState& state, const CurvaneDocument& document, const QString& path);

// "変更を保存しますか？" (save the changes?) with 保存 (save), 保存しない (don't save) and
// キャンセル (cancel).
enum class KeepWork { Save, Discard, Cancel };
KeepWork AskKeepWork(Dialogs& dialogs);

// "前回の作業を復元しますか？" (restore the work of last time?): true for 復元する (restore).
bool AskRecovery(Dialogs& dialogs);

// The files used last, of either kind, newest first: at most eight, kept in the per-user store.
inline constexpr int RecentFileCount = 8;
QStringList RecentFiles(const SettingsStore& store);
// Puts a file at the top of the list (once, by its absolute path).
void RememberRecentFile(SettingsStore& store, const QString& path);
// The entry of the recent files menu: "&1 name  (folder)".
QString RecentFileCaption(int index, const QString& path);

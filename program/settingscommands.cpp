#include "program/settingscommands.h"

#include "platform/dialogs.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/redraw.h"

#include <QtCore/QFile>
#include <QtCore/QSaveFile>

namespace {

// Longer than any settings line; a bigger file is no settings file.
constexpr qint64 LargestFile = 4 * 1024 * 1024;

} // namespace

QString SettingsFileFilter() {
    return QStringLiteral("設定ﾌｧｲﾙ (*.cvf)|*.cvf");
}

QString SaveAsTitle() {
    return QStringLiteral("名前を付けて保存");
}

QString OpenTitle() {
    return QStringLiteral("設定読み込み");
}

SaveOutcome SaveSettingsFile(CurvaneState& state, Dialogs& dialogs, bool askName,
                             double windowWidth, double windowHeight) {
    if (askName) {
        const QString path = dialogs.SaveFileName(SaveAsTitle(), SettingsFileFilter());
        if (path.isEmpty()) {
            return SaveOutcome::NothingDone;
        }
        state.SettingsFileName = path;
    } else if (state.SettingsFileName.isEmpty()) {
        return SaveOutcome::NothingDone;
    }
    WriteProblem problem = WriteProblem::None;
    const std::optional<QByteArray> line =
        WriteSettingsLine(CaptureSettings(state, windowWidth, windowHeight), &problem);
    if (!line) {
        // "関数の式に設定ファイルに保存できない文字（" など）があります" = an expression holds a
        // character (such as ") that a settings file cannot hold
        dialogs.Message(
            QStringLiteral("関数の式に設定ファイルに保存できない文字（\" など）があります。"
                           "保存しませんでした。"),
            QStringLiteral("Curvane"), false);
        return SaveOutcome::Refused;
    }
    QSaveFile file(state.SettingsFileName);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(*line) == line->size() && file.commit();
    if (!written) {
        // "設定ファイルを保存できませんでした" = the settings file could not be saved
        dialogs.Message(QStringLiteral("設定ファイルを保存できませんでした。\n") +
                            state.SettingsFileName,
                        QStringLiteral("Curvane"), false);
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Saved;
}

std::optional<SettingsFileData> ReadSettingsPath(const QString& path,
                                                 const GraphSettings& current) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > LargestFile) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(LargestFile);
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return ReadSettingsLine(bytes, current);
}

std::optional<SettingsFileData> ReadSettingsFile(CurvaneState& state, Dialogs& dialogs) {
    const QString path = dialogs.OpenFileName(OpenTitle(), SettingsFileFilter());
    if (path.isEmpty()) {
        return std::nullopt;
    }
    state.SettingsFileName = path;
    return ReadSettingsPath(path, state.Settings);
}

void NewSettings(CurvaneState& state) {
    ResetGraphSettings(state.Settings, state.Graph, state.Sheet);
    ResetFunctionPanel(state);
    state.Sheet.ClearPicture();
    DrawGridAndNumbers(state);
}

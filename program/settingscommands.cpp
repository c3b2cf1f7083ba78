#include "program/settingscommands.h"

#include "files/safefile.h"
#include "platform/dialogs.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/redraw.h"
#include "program/sheetops.h"

namespace {

// Longer than any settings line; a bigger file is no settings file.
constexpr qint64 LargestFile = 4 * 1024 * 1024;

// The settings line of a file's bytes. A sheet size the sheet cannot take (fields 3 and 4) is
// refused like any other value out of range: dropped, it would leave the sheet as it was and a
// later save would write that size under the file's name.
std::optional<SettingsFileData>
ReadSettingsBytes(const QByteArray& bytes, const GraphSettings& current, ReadProblem& problem) {
    std::optional<SettingsFileData> data = ReadSettingsLine(bytes, current, &problem);
    if (!data) {
        return data;
    }
    if (CheckSheetSize(data->graphWidthPx, 1) != SizeRefusal::None) {
        problem = {ReadFault::OutOfRange, 3};
        return std::nullopt;
    }
    if (CheckSheetSize(1, data->graphHeightPx) != SizeRefusal::None) {
        problem = {ReadFault::OutOfRange, 4};
        return std::nullopt;
    }
    return data;
}

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

QString UnstorableTextMessage(int field) {
    QString where;
    if (field == XUnitNameField || field == YUnitNameField) {
        // "Ｘ軸の単位" / "Ｙ軸の単位" = the X / Y axis's unit
        where =
            field == XUnitNameField ? QStringLiteral("Ｘ軸の単位") : QStringLiteral("Ｙ軸の単位");
    } else if (field >= FirstExpressionField && field < FirstExpressionField + 3) {
        // "F1(x) の式" = the expression of F1(x)
        where = QStringLiteral("F%1(x) の式").arg(field - FirstExpressionField + 1);
    } else if (field >= FirstStyleCodeField && field < FirstStyleCodeField + 3) {
        // "F1 の線種" = the line style of F1
        where = QStringLiteral("F%1 の線種").arg(field - FirstStyleCodeField + 1);
    } else {
        where = QStringLiteral("設定"); // the settings
    }
    // "「…」に設定ファイルに保存できない文字（" など）があります。保存しませんでした。" = the field
    // holds a character (such as ") that a settings file cannot hold; nothing was saved
    return QStringLiteral("「%1」に設定ファイルに保存できない文字（\" など）があります。"
                          "保存しませんでした。")
        .arg(where);
}

SaveOutcome SaveSettingsFile(CurvaneState& state, Dialogs& dialogs, bool askName,
                             double windowWidth, double windowHeight) {
    QString path = state.SettingsFileName;
    if (askName) {
        path = dialogs.SaveFileName(SaveAsTitle(), SettingsFileFilter());
    }
    if (path.isEmpty()) {
        return SaveOutcome::NothingDone;
    }
    WriteProblem problem = WriteProblem::None;
    int unstorableField = 0;
    const std::optional<QByteArray> line = WriteSettingsLine(
        CaptureSettings(state, windowWidth, windowHeight), &problem, &unstorableField);
    if (!line) {
        dialogs.Message(UnstorableTextMessage(unstorableField), QStringLiteral("Curvane"), false);
        return SaveOutcome::Refused;
    }
    if (const FileProblem failure = WriteBytesSafely(path, *line); failure.Failed()) {
        // "設定ファイルを保存できませんでした" = the settings file could not be saved
        dialogs.Message(QStringLiteral("設定ファイルを保存できませんでした。\n") +
                            failure.MessageText(path),
                        QStringLiteral("Curvane"), false);
        return SaveOutcome::Failed;
    }
    // Only a name that now holds this line is the one a later Save writes to.
    state.SettingsFileName = path;
    return SaveOutcome::Saved;
}

std::optional<SettingsFileData> ReadSettingsPath(const QString& path, const GraphSettings& current,
                                                 QString* reason) {
    QByteArray bytes;
    if (const FileProblem failure = ReadFileWhole(path, LargestFile, bytes); failure.Failed()) {
        if (reason != nullptr) {
            *reason = failure.system;
        }
        return std::nullopt;
    }
    ReadProblem problem;
    std::optional<SettingsFileData> data = ReadSettingsBytes(bytes, current, problem);
    if (reason != nullptr) {
        *reason = problem.English();
    }
    return data;
}

QString AskSettingsFileToOpen(Dialogs& dialogs) {
    return dialogs.OpenFileName(OpenTitle(), SettingsFileFilter());
}

std::optional<SettingsFileData> ReadSettingsFileToOpen(CurvaneState& state, Dialogs& dialogs,
                                                       const QString& path) {
    QByteArray bytes;
    FileProblem failure = ReadFileWhole(path, LargestFile, bytes);
    std::optional<SettingsFileData> data;
    if (!failure.Failed()) {
        ReadProblem problem;
        data = ReadSettingsBytes(bytes, state.Settings, problem);
        if (!data) {
            failure = {problem.Japanese(), QString()};
        }
    }
    if (failure.Failed()) {
        // "設定ファイルを読み込めませんでした" = the settings file could not be read
        dialogs.Message(QStringLiteral("設定ファイルを読み込めませんでした。\n") +
                            failure.MessageText(path),
                        QStringLiteral("Curvane"), false);
        return std::nullopt;
    }
    state.SettingsFileName = path;
    return data;
}

void NewSettings(CurvaneState& state) {
    ResetGraphSettings(state.Settings, state.Graph, state.Sheet);
    ResetFunctionPanel(state);
    state.Params.clear();
    state.Sheet.ClearPicture();
    DrawGridAndNumbers(state);
}

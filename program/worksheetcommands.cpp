#include "program/worksheetcommands.h"

#include "platform/dialogs.h"
#include "platform/settings_store.h"
#include "program/history.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace {

const QString Application = QStringLiteral("Curvane");
const QString RecentSection = QStringLiteral("RecentFiles");

QString RecentKey(int n) {
    return QStringLiteral("File%1").arg(n);
}

} // namespace

QString WorksheetFilter() {
    return QStringLiteral("ワークシート (*.cvw)|*.cvw"); // worksheet
}

QString WorksheetOpenTitle() {
    return QStringLiteral("ワークシートを開く");
}

QString WorksheetSaveTitle() {
    return QStringLiteral("ワークシートの保存");
}

SaveOutcome SaveWorksheet(CurvaneState& state, Dialogs& dialogs, bool askName,
                          const WorksheetWindow& window) {
    QString path = state.WorksheetFileName;
    if (askName || path.isEmpty()) {
        path = dialogs.SaveFileName(WorksheetSaveTitle(), WorksheetFilter());
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
            path += QStringLiteral(".cvw");
        }
    }
    if (path.isEmpty()) {
        return SaveOutcome::NothingDone;
    }
    if (const FileProblem failure = WriteBytesSafely(path, WorksheetBytes(state, window));
        failure.Failed()) {
        // "ワークシートを保存できませんでした" = the worksheet could not be saved
        dialogs.Message(QStringLiteral("ワークシートを保存できませんでした。\n") +
                            failure.MessageText(path),
                        QStringLiteral("Curvane"), false);
        return SaveOutcome::Failed;
    }
    state.WorksheetFileName = path;
    return SaveOutcome::Saved;
}

QString AskWorksheetToOpen(Dialogs& dialogs) {
    return dialogs.OpenFileName(WorksheetOpenTitle(), WorksheetFilter());
}

std::optional<CurvaneDocument> ReadWorksheetToOpen(Dialogs& dialogs, const QString& path) {
    FileProblem problem;
    std::optional<CurvaneDocument> document = ReadWorksheetFile(path, &problem);
    if (!document) {
        // "ワークシートを読み込めませんでした" = the worksheet could not be read
        dialogs.Message(QStringLiteral("ワークシートを読み込めませんでした。\n") +
                            problem.MessageText(path),
                        QStringLiteral("Curvane"), false);
    }
    return document;
}

void ApplyWorksheet(CurvaneState& state, const CurvaneDocument& document, const QString& path) {
    RestoreDocument(state, document);
    state.SettingsFileName = document.SettingsFileName;
    state.WorksheetFileName = path;
}

KeepWork AskKeepWork(Dialogs& dialogs) {
    // "変更を保存しますか？" = save the changes?; "保存" = save; "保存しない" = don't save;
    // "キャンセル" = cancel
    const int answer = dialogs.Question(
        QStringLiteral("変更を保存しますか？"), QStringLiteral("Curvane"),
        {QStringLiteral("保存"), QStringLiteral("保存しない"), QStringLiteral("キャンセル")});
    return answer == 0 ? KeepWork::Save : answer == 1 ? KeepWork::Discard : KeepWork::Cancel;
}

bool AskRecovery(Dialogs& dialogs) {
    // "前回の作業を復元しますか？" = restore the work of last time?; "復元する" = restore;
    // "復元しない" = don't restore
    return dialogs.Question(QStringLiteral("前回の作業を復元しますか？"), QStringLiteral("Curvane"),
                            {QStringLiteral("復元する"), QStringLiteral("復元しない")}) == 0;
}

QStringList RecentFiles(const SettingsStore& store) {
    QStringList files;
    for (int n = 1; n <= RecentFileCount; ++n) {
        const QString path = store.Get(Application, RecentSection, RecentKey(n), QString());
        if (!path.isEmpty() && !files.contains(path)) {
            files << path;
        }
    }
    return files;
}

void RememberRecentFile(SettingsStore& store, const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles(store);
    files.removeAll(absolute);
    files.prepend(absolute);
    for (int n = 1; n <= RecentFileCount; ++n) {
        store.Save(Application, RecentSection, RecentKey(n),
                   n <= files.size() ? files[n - 1] : QString());
    }
}

QString RecentFileCaption(int index, const QString& path) {
    const QFileInfo file(path);
    QString name = file.fileName();
    name.replace(QLatin1Char('&'), QStringLiteral("&&")); // shown as itself, not an access key
    QString folder = QDir::toNativeSeparators(file.absolutePath());
    folder.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2  (%3)").arg(index + 1).arg(name, folder);
}

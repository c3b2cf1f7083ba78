#include "platform/resources.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace {

// Relative to the program folder, matching the install rules that put the program into
// <prefix>/bin and its data into <prefix>/share/curvane.
constexpr QStringView InstalledDataFolder = u"../share/curvane";

bool IsFile(const QString& path) {
    return QFileInfo(path).isFile();
}

} // namespace

QString ProgramFolder() {
    return QCoreApplication::applicationDirPath();
}

QString ResourcePathFrom(const QString& programFolder, const QString& fileName) {
    const QDir folder(programFolder);
    const QString beside = QDir::cleanPath(folder.filePath(fileName));
    if (IsFile(beside)) {
        return beside;
    }
    const QString installed =
        QDir::cleanPath(folder.filePath(InstalledDataFolder.toString() + u'/' + fileName));
    if (IsFile(installed)) {
        return installed;
    }
    return beside;
}

QString ResourcePath(const QString& fileName) {
    return ResourcePathFrom(ProgramFolder(), fileName);
}

#include "platform/resources.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

// A program folder bin/ with the installed data folder share/curvane/ beside it, as an install
// lays them out.
class ResourcesTest : public QObject {
    Q_OBJECT
private slots:
    void findsFileBesideProgramOrInstalled_data();
    void findsFileBesideProgramOrInstalled();
};

namespace {

enum class Place { Nowhere, File, Folder };

void Make(const QString& path, Place place) {
    if (place == Place::File) {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    } else if (place == Place::Folder) {
        QVERIFY(QDir().mkpath(path));
    }
}

} // namespace

void ResourcesTest::findsFileBesideProgramOrInstalled_data() {
    QTest::addColumn<Place>("beside");
    QTest::addColumn<Place>("installed");
    QTest::addColumn<bool>("expectInstalled");
    QTest::newRow("build tree") << Place::File << Place::Nowhere << false;
    QTest::newRow("installed") << Place::Nowhere << Place::File << true;
    QTest::newRow("both: the build tree wins") << Place::File << Place::File << false;
    // Nothing found still names a path, so the caller can say what is missing.
    QTest::newRow("nowhere: path beside the program") << Place::Nowhere << Place::Nowhere << false;
    QTest::newRow("folder of that name beside is skipped") << Place::Folder << Place::File << true;
}

void ResourcesTest::findsFileBesideProgramOrInstalled() {
    QFETCH(Place, beside);
    QFETCH(Place, installed);
    QFETCH(bool, expectInstalled);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString programFolder = root.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(programFolder));
    const QString name = QStringLiteral("CURVANEHELP.hlp");
    const QString besidePath = programFolder + u'/' + name;
    const QString installedPath = root.filePath(QStringLiteral("share/curvane/")) + name;
    Make(besidePath, beside);
    Make(installedPath, installed);
    if (QTest::currentTestFailed()) {
        return;
    }

    QCOMPARE(ResourcePathFrom(programFolder, name), expectInstalled ? installedPath : besidePath);
}

QTEST_GUILESS_MAIN(ResourcesTest)
#include "tst_resources.moc"

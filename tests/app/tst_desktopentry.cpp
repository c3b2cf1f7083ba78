// How the desktop meets the program: its menu entry opens a settings file handed to it, and the
// MIME description tells the desktop which files those are. Checked in the source and as
// "cmake --install" lays them out.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QMimeDatabase>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtCore/QXmlStreamReader>
#include <QtTest/QtTest>

namespace {

const QString Source = QStringLiteral(CURVANE_SOURCE_DIR);

// The keys of the [Desktop Entry] group.
QMap<QString, QString> DesktopEntry(const QString& path) {
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return keys;
    }
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QStringLiteral("[Desktop Entry]");
        } else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith('#')) {
            keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
        }
    }
    return keys;
}

struct MimeType {
    QString type;
    QStringList globs;
    QStringList comments;
};

// The MIME types a shared-mime-info package file describes; an error text when it is no such file.
QList<MimeType> MimePackage(const QString& path, QString* error) {
    QList<MimeType> types;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open ") + path;
        return types;
    }
    const QString ns = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QStringLiteral("mime-info") ||
        xml.namespaceUri() != ns) {
        *error = QStringLiteral("no mime-info element in the shared-mime-info namespace");
        return types;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() != QStringLiteral("mime-type")) {
            xml.skipCurrentElement();
            continue;
        }
        MimeType type{xml.attributes().value(QStringLiteral("type")).toString(), {}, {}};
        while (xml.readNextStartElement()) {
            if (xml.name() == QStringLiteral("glob")) {
                type.globs << xml.attributes().value(QStringLiteral("pattern")).toString();
                xml.skipCurrentElement();
            } else if (xml.name() == QStringLiteral("comment")) {
                type.comments << xml.readElementText();
            } else {
                xml.skipCurrentElement();
            }
        }
        types << type;
    }
    if (xml.hasError()) {
        *error = xml.errorString();
    }
    return types;
}

} // namespace

class DesktopEntryTest : public QObject {
    Q_OBJECT
private slots:
    void theEntryOpensTheFilesOfTheDescribedTypes();
    void theEntryPassesDesktopFileValidate();
    void installedTheDesktopFindsTheTypeByItsName();
};

void DesktopEntryTest::theEntryOpensTheFilesOfTheDescribedTypes() {
    const QMap<QString, QString> entry =
        DesktopEntry(Source + QStringLiteral("/share/curvane.desktop"));
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    // The file the desktop hands over is the program's one argument.
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("curvane %f"));

    QString error;
    const QList<MimeType> types =
        MimePackage(Source + QStringLiteral("/share/curvane-mime.xml"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QStringList described{"application/x-curvane-settings",
                                "application/x-curvane-worksheet"};
    QCOMPARE(types.size(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(types[i].type, described[i]);
        QCOMPARE(types[i].globs, QStringList{QString::fromLatin1(i == 0 ? "*.cvf" : "*.cvw")});
        QVERIFY(!types[i].comments.isEmpty());
    }
    // The entry claims exactly the types the package describes.
    const QStringList claimed =
        entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QCOMPARE(claimed, described);
}

void DesktopEntryTest::theEntryPassesDesktopFileValidate() {
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty()) {
        QSKIP("desktop-file-validate is not installed (Debian desktop-file-utils)");
    }
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(validator, {Source + QStringLiteral("/share/curvane.desktop")});
    QVERIFY(check.waitForFinished(30000));
    const QString output = QString::fromUtf8(check.readAll());
    QVERIFY2(check.exitCode() == 0, qPrintable(output));
    QVERIFY2(!output.contains(QStringLiteral("error")), qPrintable(output));
}

void DesktopEntryTest::installedTheDesktopFindsTheTypeByItsName() {
    QTemporaryDir prefix;
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(CURVANE_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(CURVANE_BINARY_DIR),
                   QStringLiteral("--prefix"), prefix.path()});
    QVERIFY(install.waitForFinished(60000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    const QString share = prefix.filePath(QStringLiteral("share"));
    QVERIFY(QFile::exists(share + QStringLiteral("/applications/curvane.desktop")));
    QVERIFY(QFile::exists(share + QStringLiteral("/mime/packages/curvane.xml")));

    // Qt reads a MIME folder's package files when it has no cache, as a desktop would after
    // update-mime-database: a .cvf file is of Curvane's type, whatever its case.
    qputenv("XDG_DATA_DIRS",
            (share + QStringLiteral(":/usr/local/share:/usr/share")).toLocal8Bit());
    const QMimeDatabase mime;
    QCOMPARE(
        mime.mimeTypeForFile(QStringLiteral("graph.cvf"), QMimeDatabase::MatchExtension).name(),
        QStringLiteral("application/x-curvane-settings"));
    QCOMPARE(
        mime.mimeTypeForFile(QStringLiteral("GRAPH.CVF"), QMimeDatabase::MatchExtension).name(),
        QStringLiteral("application/x-curvane-settings"));
    QVERIFY(mime.mimeTypeForFile(QStringLiteral("graph.cvf.bak"), QMimeDatabase::MatchExtension)
                .name() != QStringLiteral("application/x-curvane-settings"));
    QCOMPARE(mime.mimeTypeForFile(QStringLiteral("work.cvw"), QMimeDatabase::MatchExtension).name(),
             QStringLiteral("application/x-curvane-worksheet"));
}

QTEST_MAIN(DesktopEntryTest)
#include "tst_desktopentry.moc"

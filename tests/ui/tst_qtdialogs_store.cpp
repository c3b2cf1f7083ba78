#include "platform/settings_store.h"
#include "ui/qtdialogs.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

class PlatformMiscTest : public QObject {
    Q_OBJECT
private slots:
    void storeKeepsTextsPerSectionAndKey();
    void fileFiltersBecomeQtNameFilters_data();
    void fileFiltersBecomeQtNameFilters();
};

void PlatformMiscTest::storeKeepsTextsPerSectionAndKey() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("store.ini"));
    const QString app = QStringLiteral("Curvane");
    const QString section = QStringLiteral("Settings");
    {
        QtSettingsStore store(path);
        QCOMPARE(store.Get(app, section, QStringLiteral("MainLeft"), QStringLiteral("1000")),
                 QStringLiteral("1000"));
        store.Save(app, section, QStringLiteral("MainLeft"), QStringLiteral("1500"));
    }
    QtSettingsStore reopened(path);
    QCOMPARE(reopened.Get(app, section, QStringLiteral("MainLeft"), QStringLiteral("1000")),
             QStringLiteral("1500"));
    QCOMPARE(reopened.Get(app, section, QStringLiteral("MainTop"), QStringLiteral("1000")),
             QStringLiteral("1000"));
}

void PlatformMiscTest::fileFiltersBecomeQtNameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    QTest::newRow("one pair") << "設定ファイル (*.cvf)|*.cvf"
                              << "設定ファイル (*.cvf)";
    QTest::newRow("pattern added") << "Bitmap|*.bmp"
                                   << "Bitmap (*.bmp)";
    QTest::newRow("several patterns and pairs") << "画像|*.bmp;*.jpg|すべて|*.*"
                                                << "画像 (*.bmp *.jpg);;すべて (*.*)";
    QTest::newRow("dangling description dropped") << "A|*.a|B"
                                                  << "A (*.a)";
}

void PlatformMiscTest::fileFiltersBecomeQtNameFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(ToQtNameFilter(filter), qt);
}

QTEST_MAIN(PlatformMiscTest)
#include "tst_qtdialogs_store.moc"

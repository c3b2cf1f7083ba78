#include "mainwindow/frmcurvane.h"
#include "mainwindow/sheetview.h"
#include "platform/settings_store.h"
#include "tests/support/fakedialogs.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheDefaultGridOnTheDesignedSheet();

private:
    QTemporaryDir m_dir;
};

void MainWindowTest::showsTheDefaultGridOnTheDesignedSheet() {
    frmCurvane window(std::make_unique<FakeDialogs>(),
                      std::make_unique<QtSettingsStore>(m_dir.filePath("placement.ini")));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Curvane"));

    auto* sheet = window.findChild<SheetView*>(QStringLiteral("picScreen"));
    QVERIFY(sheet);
    // 5025 × 3855 twips overall, a two-pixel frame on each side.
    QCOMPARE(sheet->size(), QSize(335, 257));
    const CurvaneState& state = window.State();
    QCOMPARE(state.Sheet.Width(), 331);
    QCOMPARE(state.Sheet.Height(), 253);
    QCOMPARE(state.Settings.OriginX, 165.5f);
    QCOMPARE(state.Settings.OriginY, 126.5f);

    // What the widget shows is the grid: the Y axis in column 165 (where 165.5 falls), a small
    // line four pixels to its right, the large line 40 pixels away.
    const QImage shown = sheet->grab().toImage();
    const QPoint frame(2, 2);
    const auto colourAt = [&](int x, int y) { return shown.pixelColor(QPoint(x, y) + frame); };
    QCOMPARE(colourAt(165, 128), QColor(112, 112, 255));
    QCOMPARE(colourAt(169, 128), QColor(192, 255, 255));
    QCOMPARE(colourAt(205, 128), QColor(32, 255, 255));
    QCOMPARE(colourAt(167, 128), QColor(255, 255, 255));
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

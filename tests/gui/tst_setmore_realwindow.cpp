// Runs in a real X server (xvfb-run): the detailed settings dialog over the main window, and
// what reaches the window's sheet on the screen after OK.
#include "tests/support/fakedialogs.h"
#include "tests/support/realwindow.h"
#include "ui/frmcurvane.h"
#include "ui/frmsetmore.h"
#include "ui/sheetview.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtTest/QtTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

namespace {

// How many pixels of the sheet, as the screen shows it, have the colour.
int OnScreen(const QWidget& sheet, ColorRef colour) {
    const QRect area(sheet.mapToGlobal(sheet.contentsRect().topLeft()),
                     sheet.contentsRect().size());
    return realwindow::CountInRect(realwindow::Screen(), area, ToPixel(colour));
}

} // namespace

class SetMoreRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void aNewBackgroundReachesTheSheetAfterOk();
};

void SetMoreRealWindowTest::aNewBackgroundReachesTheSheetAfterOk() {
    QTemporaryDir dir;
    auto fake = std::make_unique<FakeDialogs>();
    FakeDialogs& dialogs = *fake;
    frmCurvane window(std::move(fake),
                      std::make_unique<QtSettingsStore>(dir.filePath(QStringLiteral("p.ini"))));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    SheetView& sheet = *window.Sheet();
    const ColorRef chosen = Rgb(255, 236, 200);
    QCOMPARE(OnScreen(sheet, chosen), 0);

    dialogs.colors.push_back(chosen);
    bool shown = false;
    QTimer::singleShot(0, &window, [&] {
        auto* form = window.findChild<frmSetMore*>(QStringLiteral("frmSetMore"));
        if (form == nullptr) {
            return;
        }
        shown = QTest::qWaitForWindowExposed(form);
        auto* swatch = form->findChild<QLabel*>(QStringLiteral("lblBackCol"));
        QTest::mouseClick(swatch, Qt::LeftButton, {}, swatch->rect().center());
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    // The toolbar button once the window offers the dialog, the entry point itself before.
    QAction* button = window.findChild<QToolBar*>(QStringLiteral("tbToolBar"))
                          ->findChild<QAction*>(QStringLiteral("詳細設定"));
    QVERIFY(button != nullptr);
    if (button->isEnabled()) {
        auto* toolButton = qobject_cast<QToolButton*>(
            window.findChild<QToolBar*>(QStringLiteral("tbToolBar"))->widgetForAction(button));
        QTest::mouseClick(toolButton, Qt::LeftButton);
    } else {
        QVERIFY(mnuSetMore_Click(&window, window.State(), dialogs));
    }
    QVERIFY2(shown, "the dialog did not appear on the screen");
    QCOMPARE(dialogs.fullOpenRequests, QList<bool>{true});
    QCOMPARE(window.State().Settings.BackgroundColor, chosen);

    // Back in the main window, which redraws the sheet with the new background.
    int painted = 0;
    for (int i = 0; i < 50 && painted < 1000; ++i) {
        QTest::qWait(100);
        painted = OnScreen(sheet, chosen);
    }
    QVERIFY2(painted >= 1000, qPrintable(QString::number(painted)));
    QVERIFY(!window.State().SettingsChanged);
}

QTEST_MAIN(SetMoreRealWindowTest)
#include "tst_setmore_realwindow.moc"

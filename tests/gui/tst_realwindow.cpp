// Runs in a real X server (xvfb-run): the program as a user starts it, and the main window's
// layout as the window system shows it.
#include "tests/support/fakedialogs.h"
#include "tests/support/realwindow.h"
#include "ui/frmcurvane.h"
#include "ui/sheetview.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtTest/QtTest>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QToolBar>

using namespace realwindow;

class RealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theProgramShowsItsWindowWithTheGrid();
    void theWindowIsLaidOutAroundTheSheet();
    void labelsAndZoomWithRealMouseAndKeys();
};

void RealWindowTest::theProgramShowsItsWindowWithTheGrid() {
    Program program(QStringLiteral(CURVANE_PROGRAM)); // on a fresh placement store
    QVERIFY(program.Started());

    // The window titled "Curvane" appears.
    QVERIFY2(!program.WaitForWindow().isEmpty(), "no window titled Curvane");

    // What is on the screen: the two axes of the default grid, each crossing the sheet.
    QImage screen;
    bool axes = false;
    for (int i = 0; i < 50 && !axes; ++i) {
        QTest::qWait(100);
        screen = Screen();
        axes = LongestRun(screen, qRgb(112, 112, 255), true) >= 300 &&
               LongestRun(screen, qRgb(112, 112, 255), false) >= 240;
    }
    QVERIFY2(axes, "the grid's axes are not on the screen");
    QVERIFY(LongestRun(screen, qRgb(32, 255, 255), true) >= 150); // a large horizontal line

    // A person types sin(x)*20 into the F1 box, which has the focus, and presses "描画" (draw):
    // a black curve swings 20 units (80 pixels) about the X axis.
    const QPoint origin = AxesCrossing(screen, qRgb(112, 112, 255));
    const QRect around(origin.x() - 150, origin.y() - 100, 300, 200);
    QCOMPARE(CountInRect(screen, around, qRgb(0, 0, 0)), 0);
    // Without a window manager the keyboard follows the pointer: rest it on the window, on the
    // caption "F1(x)=" under the sheet, where the readout of values at the mouse stays away.
    const QPoint caption = origin - QPoint(165, 126) + QPoint(25, 297);
    program.Focus(caption);
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
         QStringLiteral("sin(x)*20")});
    Xdo({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("space")});
    int curve = 0;
    for (int i = 0; i < 30 && curve < 300; ++i) {
        QTest::qWait(100);
        screen = Screen();
        curve = CountInRect(screen, around, qRgb(0, 0, 0));
    }
    QVERIFY2(curve >= 300, qPrintable(QString::number(curve)));
    // The curve reaches 80 pixels above the axis and not beyond.
    QVERIFY(CountInRect(screen, QRect(around.left(), origin.y() - 82, 300, 4), qRgb(0, 0, 0)) > 0);
    QCOMPARE(CountInRect(screen, QRect(around.left(), around.top(), 300, 15), qRgb(0, 0, 0)), 0);

    // The button now offers "消去" (erase); pressing it takes the curve away.
    Xdo({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("space")});
    for (int i = 0; i < 30 && curve > 0; ++i) {
        QTest::qWait(100);
        curve = CountInRect(Screen(), around, qRgb(0, 0, 0));
    }
    QCOMPARE(curve, 0);

    QVERIFY(program.Quit(5000));
}

void RealWindowTest::theWindowIsLaidOutAroundTheSheet() {
    QTemporaryDir dir;
    frmCurvane window(std::make_unique<FakeDialogs>(),
                      std::make_unique<QtSettingsStore>(dir.filePath(QStringLiteral("p.ini"))));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Curvane"));
    QVERIFY(window.menuBar()->isVisible());
    QWidget* client = window.centralWidget();
    QVERIFY(client->y() >= window.menuBar()->height());

    auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    auto* settings = window.findChild<QWidget*>(QStringLiteral("picGraphSet"));
    auto* functions = window.findChild<QWidget*>(QStringLiteral("picFNSet"));
    SheetView* sheet = window.Sheet();
    const int outerWidth = window.frameGeometry().width();
    // Toolbar along the top, full width.
    QCOMPARE(toolbar->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(toolbar->width(), client->width());
    const int t = toolbar->height();
    // Settings panel 1815 twips wide at the right, from the toolbar down, placed from the outer
    // width (it reaches under the frame by the frame's width).
    QCOMPARE(settings->geometry(), QRect(outerWidth - 121, t, 121, client->height() - t));
    // Function panel 975 twips high along the bottom, ending where the settings panel begins.
    QCOMPARE(functions->geometry(), QRect(0, client->height() - 65, outerWidth - 121, 65));
    // The sheet under the toolbar at the left edge.
    QCOMPARE(sheet->geometry().topLeft(), QPoint(0, t));
    QCOMPARE(sheet->size(), QSize(335, 257));
}

void RealWindowTest::labelsAndZoomWithRealMouseAndKeys() {
    Program program(QStringLiteral(CURVANE_PROGRAM));
    QVERIFY(program.Started());
    QImage screen;
    bool shown = false;
    for (int i = 0; i < 100 && !shown; ++i) {
        QTest::qWait(100);
        screen = Screen();
        shown = LongestRun(screen, qRgb(112, 112, 255), true) >= 300;
    }
    QVERIFY(shown);
    const QPoint origin = AxesCrossing(screen, qRgb(112, 112, 255));
    const QPoint sheet = origin - QPoint(165, 126); // the drawing's top-left on the screen
    FocusWindow(FindWindow(QStringLiteral("^Curvane$")), origin + QPoint(3, 3));

    // 編集 > 文字･記号の追加: a free label "・" comes below the adding row; type after it.
    Key(QStringLiteral("alt+e a"));
    QTest::qWait(300);
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
         QStringLiteral("WWW")});
    QTest::qWait(300);
    screen = Screen();
    const QRect below(sheet.x() + 115, sheet.y() + 36, 60, 20);
    QVERIFY2(CountInRect(screen, below, qRgb(0, 0, 0)) > 20, "no label below the adding row");

    // Drag it with the mouse into the lower right quarter.
    const QPoint grab = sheet + QPoint(128, 46);
    const QPoint drop = sheet + QPoint(250, 200);
    MouseTo(grab);
    Xdo({QStringLiteral("mousedown"), QStringLiteral("1")});
    MouseTo(grab + QPoint(10, 10));
    MouseTo(drop);
    Xdo({QStringLiteral("mouseup"), QStringLiteral("1")});
    QTest::qWait(300);
    screen = Screen();
    const QRect dropped(drop.x() - 40, drop.y() - 12, 80, 24);
    QVERIFY2(CountInRect(screen, dropped, qRgb(0, 0, 0)) > 20, "the label did not move");

    // A right click erases it.
    MouseTo(drop);
    Xdo({QStringLiteral("click"), QStringLiteral("3")});
    QTest::qWait(300);
    QCOMPARE(CountInRect(Screen(), dropped, qRgb(0, 0, 0)), 0);

    // ﾂｰﾙ > ズームイン, then a click: the large lines move from 40 to 60 pixels apart.
    screen = Screen();
    const QList<int> before =
        LineColumns(screen, qRgb(32, 255, 255), origin.y() - 3, origin.y() - 1);
    Key(QStringLiteral("Escape"));
    Key(QStringLiteral("alt+t i"));
    QTest::qWait(300);
    MouseTo(origin);
    Xdo({QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(500);
    const QList<int> after =
        LineColumns(Screen(), qRgb(32, 255, 255), origin.y() - 3, origin.y() - 1);
    QVERIFY(before.size() >= 2 && after.size() >= 2);
    QCOMPARE(before[1] - before[0], 40);
    QCOMPARE(after[1] - after[0], 60);

    QVERIFY(program.Quit(5000));
}

QTEST_MAIN(RealWindowTest)
#include "tst_realwindow.moc"

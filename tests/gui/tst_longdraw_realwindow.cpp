// Runs in a real X server (xvfb-run): the program as a user starts it, with a settings file
// whose F1 takes long at every column. Pressing its draw button shows a progress dialog; the
// user cancels it and finds the part done on the sheet and the window answering again.
#include "tests/support/realwindow.h"
#include "tests/support/slowsettings.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtTest/QtTest>

using namespace realwindow;

namespace {

const QRgb AxisBlue = qRgb(112, 112, 255);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Black = qRgb(0, 0, 0);

} // namespace

class LongDrawRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cancelledDrawLeavesThePartDoneAndAWindowThatAnswers();
};

void LongDrawRealWindowTest::cancelledDrawLeavesThePartDoneAndAWindowThatAnswers() {
    QTemporaryDir home;
    // A sheet 1200 pixels wide: at tens of milliseconds a column, minutes of work.
    const QString settings = home.filePath(QStringLiteral("slow.cvf"));
    QFile file(settings);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(SlowSettingsLine(12, 1200, 300, 19500, 9000));
    file.close();

    Program program(QStringLiteral(CURVANE_PROGRAM), {settings});
    QVERIFY(program.Started());

    QString window;
    QImage screen;
    bool axes = false;
    for (int i = 0; i < 100 && !axes; ++i) {
        QTest::qWait(100);
        window = FindWindow(QStringLiteral("^Curvane$"));
        screen = Screen();
        axes = !window.isEmpty() && CountInRect(screen, screen.rect(), AxisBlue) > 1000;
    }
    QVERIFY2(axes, "no window titled Curvane with the grid");
    const QPoint origin = AxesCrossing(screen, AxisBlue);
    const QPoint pointer = origin + QPoint(3, 3);
    // The sheet's left edge is 600 pixels left of the origin; the curve lies 40 pixels above
    // the X axis (10 units of 4 pixels).
    const int sheetLeft = origin.x() - 600;
    const QRect curveBand(sheetLeft, origin.y() - 44, 1200, 8);
    QCOMPARE(CountInRect(screen, curveBand, Red), 0);

    // The F1 box has the focus: Tab to its draw button, and press it.
    FocusWindow(window, pointer);
    Key(QStringLiteral("Tab space"));

    // The progress dialog shows, titled "F1(x) を計算しています" (computing F1(x)), and its
    // count goes on while the work runs: the program keeps painting.
    QString dialog;
    for (int i = 0; i < 100 && dialog.isEmpty(); ++i) {
        QTest::qWait(100);
        dialog = FindWindow(QStringLiteral("を計算しています"));
    }
    QVERIFY2(!dialog.isEmpty(), "no progress dialog");
    QCOMPARE(Xdo({QStringLiteral("getwindowname"), dialog}),
             QStringLiteral("F1(x) を計算しています"));
    const QRect box = WindowGeometry(dialog);
    QVERIFY(box.width() > 50 && box.height() > 30);
    const QImage first = Screen().copy(box);
    bool counting = false;
    for (int i = 0; i < 50 && !counting; ++i) {
        QTest::qWait(100);
        counting = Screen().copy(box) != first;
    }
    QVERIFY2(counting, "the progress dialog does not change");

    // Cancel, as a person at the keyboard would, on the dialog.
    FocusWindow(dialog, box.center());
    Key(QStringLiteral("Escape"));
    for (int i = 0; i < 50 && !dialog.isEmpty(); ++i) {
        QTest::qWait(100);
        dialog = FindWindow(QStringLiteral("を計算しています"));
    }
    QVERIFY2(dialog.isEmpty(), "the progress dialog stays");

    // The part done is drawn from the sheet's left edge, and nothing of F1 on its right half.
    QTest::qWait(300);
    screen = Screen();
    QVERIFY(CountInRect(screen, QRect(sheetLeft, curveBand.top(), 20, 8), Red) > 10);
    QCOMPARE(CountInRect(screen, QRect(origin.x(), curveBand.top(), 580, 8), Red), 0);

    // The window answers: "F2" opens the second row, x/4 typed there is drawn in black.
    const QRect rightHalf(origin.x() + 10, origin.y() - 140, 560, 130);
    QCOMPARE(CountInRect(screen, rightHalf, Black), 0);
    FocusWindow(window, pointer);
    Key(QStringLiteral("Tab Tab space"));
    QTest::qWait(300);
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
         QStringLiteral("x/4")});
    Key(QStringLiteral("Tab space"));
    int black = 0;
    for (int i = 0; i < 50 && black < 100; ++i) {
        QTest::qWait(100);
        black = CountInRect(Screen(), rightHalf, Black);
    }
    QVERIFY2(black >= 100, qPrintable(QString::number(black)));

    QVERIFY(program.Quit(10000));
}

QTEST_MAIN(LongDrawRealWindowTest)
#include "tst_longdraw_realwindow.moc"

// Runs in a real X server (xvfb-run): the program as a user starts it, with a settings file
// whose F1 takes long at every column. Pressing its draw button shows a progress dialog; the
// user cancels it and finds the part done on the sheet and the window answering again.
#include "tests/support/realwindow.h"
#include "tests/support/slowsettings.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtTest/QtTest>

using namespace realwindow;

namespace {

const QRgb AxisBlue = qRgb(112, 112, 255);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Black = qRgb(0, 0, 0);

// The first visible window whose name matches the pattern; empty when there is none.
QString FindWindow(const QString& pattern) {
    return Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                pattern})
        .section(QLatin1Char('\n'), 0, 0);
}

QRect Geometry(const QString& window) {
    const QString shell =
        Xdo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    QMap<QString, int> values;
    for (const QString& line : shell.split(QLatin1Char('\n'))) {
        values[line.section(QLatin1Char('='), 0, 0)] = line.section(QLatin1Char('='), 1).toInt();
    }
    return {values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
            values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT"))};
}

void Focus(const QString& window, QPoint pointer) {
    // Without a window manager the keyboard follows the pointer: rest it on the window.
    Xdo({QStringLiteral("mousemove"), QString::number(pointer.x()), QString::number(pointer.y())});
    Xdo({QStringLiteral("windowfocus"), window});
}

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

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(CURVANE_PROGRAM), {settings});
    QVERIFY(program.waitForStarted());

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
    Focus(window, pointer);
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
    const QRect box = Geometry(dialog);
    QVERIFY(box.width() > 50 && box.height() > 30);
    const QImage first = Screen().copy(box);
    bool counting = false;
    for (int i = 0; i < 50 && !counting; ++i) {
        QTest::qWait(100);
        counting = Screen().copy(box) != first;
    }
    QVERIFY2(counting, "the progress dialog does not change");

    // Cancel, as a person at the keyboard would, on the dialog.
    Focus(dialog, box.center());
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
    Focus(window, pointer);
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

    program.terminate();
    QVERIFY(program.waitForFinished(10000));
}

QTEST_MAIN(LongDrawRealWindowTest)
#include "tst_longdraw_realwindow.moc"

// Runs in a real X server (xvfb-run): the program as a user starts it, with a settings file
// whose F1 takes about a second for a single evaluation. Whatever the expression does, the window
// answers: the progress dialog comes soon after 描画, menus open while the work runs, キャンセル
// ends it at once with the part done drawn, and the readout over the sheet does not hold up the
// menus either. The limits asserted are the window's promised response times.
#include "script/compiler.h"
#include "script/scriptevaluator.h"
#include "tests/support/realwindow.h"
#include "tests/support/slowsettings.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <algorithm>
#include <functional>

using namespace realwindow;

namespace {

const QRgb AxisBlue = qRgb(112, 112, 255);
const QRgb Red = qRgb(255, 0, 0);

// One term of F1: a text of 60000 characters made anew at each x and rewritten character by
// character, times 0.
const QString Term = QStringLiteral("len(replace(space(60000+x*0),chr(32),chr(33)))*0+");

// F1 = terms of Term, plus 10: a level line 10 units above the X axis, with as many terms as
// take about a second on this machine (as many as fit in an expression at most).
QString SlowExpression() {
    const int most = static_cast<int>((script::MaxTextLength - 8) / Term.size());
    QString sample;
    for (int i = 0; i < 50; ++i) {
        sample += Term;
    }
    sample += QStringLiteral("10");
    ScriptEvaluator evaluator;
    evaluator.SetVariable("x", 1.5);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 4; ++i) {
        evaluator.Eval(sample.toStdString());
    }
    const double perTerm = std::max(clock.nsecsElapsed() / 1e6 / 200.0, 1e-3);
    const int terms = std::clamp(static_cast<int>(1000.0 / perTerm), 50, most);
    QString expression;
    for (int i = 0; i < terms; ++i) {
        expression += Term;
    }
    return expression + QStringLiteral("10");
}

// How long until the condition holds, polled as fast as the tools answer; -1 after 5 seconds.
qint64 MillisecondsUntil(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        if (condition()) {
            return clock.elapsed();
        }
        QTest::qWait(5);
    }
    return -1;
}

// The program's visible windows (the main window, its dialogs and open menus).
int VisibleWindows(qint64 pid) {
    return static_cast<int>(Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"), QString::number(pid)})
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                .size());
}

} // namespace

class SlowEvaluationRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void windowAnswersWhileOneEvaluationTakesASecond();
};

void SlowEvaluationRealWindowTest::windowAnswersWhileOneEvaluationTakesASecond() {
    QTemporaryDir home;
    const QString settings = home.filePath(QStringLiteral("slow.cvf"));
    QFile file(settings);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // A sheet 400 pixels wide: minutes of work at a second a column.
    file.write(SettingsLineWithF1(SlowExpression(), 400, 300, 9000, 8000));
    file.close();

    Program program(QStringLiteral(CURVANE_PROGRAM), {settings});
    QVERIFY(program.Started());
    const QString window = program.WaitForWindow();
    QVERIFY2(!window.isEmpty(), "no window titled Curvane");
    QImage screen;
    QVERIFY(MillisecondsUntil([&] {
                screen = Screen();
                return CountInRect(screen, screen.rect(), AxisBlue) > 500;
            }) >= 0);
    const QPoint origin = AxesCrossing(screen, AxisBlue);
    const QPoint pointer = origin + QPoint(3, 3);
    // The curve lies 40 pixels above the X axis; the sheet's left edge is 200 pixels left of
    // the origin.
    const int sheetLeft = origin.x() - 200;
    const QRect curveBand(sheetLeft, origin.y() - 44, 400, 8);
    QCOMPARE(CountInRect(screen, curveBand, Red), 0);
    const int windows = VisibleWindows(program.Pid());

    // The F1 box has the focus: Tab to its draw button, and press it. The progress dialog is
    // on the screen within half a second, though the first column takes a second.
    program.Focus(pointer);
    QElapsedTimer sinceDraw;
    sinceDraw.start();
    Key(QStringLiteral("Tab space"));
    QString dialog;
    const qint64 dialogAfter = MillisecondsUntil([&] {
        dialog = FindWindow(QStringLiteral("を計算しています"));
        return !dialog.isEmpty();
    });
    QVERIFY2(dialogAfter >= 0 && dialogAfter <= 500, qPrintable(QString::number(dialogAfter)));

    // While it runs, a menu opens within 0.2 seconds ("ﾌｧｲﾙ(&F)"), and closes again.
    program.Focus(pointer);
    QElapsedTimer clock;
    clock.start();
    Key(QStringLiteral("alt+f"));
    const qint64 menuAfter =
        MillisecondsUntil([&] { return VisibleWindows(program.Pid()) > windows + 1; });
    QVERIFY2(menuAfter >= 0 && clock.elapsed() <= 200, qPrintable(QString::number(menuAfter)));
    Key(QStringLiteral("Escape"));
    QVERIFY(MillisecondsUntil([&] { return VisibleWindows(program.Pid()) == windows + 1; }) >= 0);

    // A few columns are done by now, but nothing is drawn before the work ends. Cancelling
    // stops it inside the evaluation under way: within 0.2 seconds the dialog is gone and the
    // part done is drawn from the sheet's left edge, nothing of F1 on its right half.
    QTest::qWait(static_cast<int>(std::max<qint64>(0, 4000 - sinceDraw.elapsed())));
    QCOMPARE(CountInRect(Screen(), curveBand, Red), 0);
    const QRect box = WindowGeometry(dialog);
    FocusWindow(dialog, box.center());
    clock.restart();
    Key(QStringLiteral("Escape"));
    const qint64 stoppedAfter = MillisecondsUntil([&] {
        screen = Screen();
        return CountInRect(screen, QRect(sheetLeft, curveBand.top(), 20, 8), Red) > 0;
    });
    QVERIFY2(stoppedAfter >= 0 && clock.elapsed() <= 200,
             qPrintable(QString::number(clock.elapsed())));
    QVERIFY(FindWindow(QStringLiteral("を計算しています")).isEmpty());
    QCOMPARE(CountInRect(screen, QRect(origin.x(), curveBand.top(), 190, 8), Red), 0);

    // Hovering the sheet asks the readout for F1 at every move; menus still open at once.
    for (int i = 0; i < 6; ++i) {
        MouseTo(origin + QPoint(-150 + 50 * i, -30 + 10 * i));
        QTest::qWait(30);
    }
    program.Focus(origin + QPoint(120, 20));
    clock.restart();
    Key(QStringLiteral("alt+f"));
    const qint64 hoverMenuAfter =
        MillisecondsUntil([&] { return VisibleWindows(program.Pid()) > windows; });
    QVERIFY2(hoverMenuAfter >= 0 && clock.elapsed() <= 200,
             qPrintable(QString::number(clock.elapsed())));
    Key(QStringLiteral("Escape"));

    qInfo("dialog after %lld ms, menu after %lld ms, stopped after %lld ms, menu after hovering "
          "%lld ms",
          dialogAfter, menuAfter, stoppedAfter, hoverMenuAfter);
    QVERIFY(program.Quit(10000));
}

QTEST_MAIN(SlowEvaluationRealWindowTest)
#include "tst_slowevaluation_realwindow.moc"

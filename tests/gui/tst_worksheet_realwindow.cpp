// Runs in a real X server (xvfb-run): work taken back and forward with the keys, kept in a
// worksheet, asked about on the way out, opened again; and work brought back after the program
// was killed.
#include "tests/support/realwindow.h"

#include <QtCore/QFileInfo>

using namespace realwindow;

namespace {

constexpr QRgb AxisBlue = qRgb(112, 112, 255);

// Waits for a message box of the program (the smaller of its windows titled Curvane), then
// presses its default button with Return.
bool AnswerWithReturn(qint64 pid) {
    for (int i = 0; i < 50; ++i) {
        const QStringList windows =
            Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                 QString::number(pid), QStringLiteral("--name"), QStringLiteral("^Curvane$")})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QRect box;
        for (const QString& window : windows) {
            const QRect r = WindowGeometry(window);
            box = box.isNull() || r.width() * r.height() < box.width() * box.height() ? r : box;
        }
        if (windows.size() >= 2) {
            MouseTo(box.center());
            QTest::qWait(300);
            Key(QStringLiteral("Return"));
            return true;
        }
        QTest::qWait(100);
    }
    return false;
}

// The default sheet's drawing on the screen, once the grid is shown.
QRect WaitForSheet() {
    for (int i = 0; i < 100; ++i) {
        const QImage screen = Screen();
        if (LongestRun(screen, AxisBlue, true) >= 300) {
            return QRect(AxesCrossing(screen, AxisBlue) - QPoint(165, 126), QSize(331, 253));
        }
        QTest::qWait(100);
    }
    return {};
}

// The drawing once it shows the expected picture (without one: the same picture twice in a
// row), or as it is after ten seconds.
QImage Settled(const QRect& sheet, const QImage& expected = {}) {
    QImage last;
    for (int i = 0; i < 70; ++i) {
        QTest::qWait(150);
        const QImage now = Screen().copy(sheet);
        if (expected.isNull() ? now == last : now == expected) {
            return now;
        }
        last = now;
    }
    return last;
}

void Type(const QString& text) {
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

// Types an expression into the F1 box (the box has the keyboard) and presses its draw button.
void Draw(const QString& expression) {
    Key(QStringLiteral("ctrl+a"));
    Type(expression);
    Key(QStringLiteral("Tab space"));
    QTest::qWait(500);
}

// 編集 > 文字･記号の追加, a text after the "・", and Escape.
void AddLabel(const QString& text) {
    Key(QStringLiteral("alt+e a"));
    QTest::qWait(300);
    Type(text);
    Key(QStringLiteral("Escape"));
    QTest::qWait(300);
}

void Repeat(const QString& key, int times) {
    for (int i = 0; i < times; ++i) {
        Key(key);
        QTest::qWait(150);
    }
}

} // namespace

class WorksheetRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void undoRedoSaveQuitAndOpenAgain();
    void killedWorkIsBroughtBack();
};

void WorksheetRealWindowTest::undoRedoSaveQuitAndOpenAgain() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("family.cvw"));
    Program program(QStringLiteral(CURVANE_PROGRAM));
    QVERIFY(program.Started());
    QVERIFY(!program.WaitForWindow().isEmpty());
    const QRect sheet = WaitForSheet();
    QVERIFY(!sheet.isEmpty());
    // The keyboard follows the pointer: rest it on "F1(x)=", under the sheet.
    program.Focus(sheet.topLeft() + QPoint(25, 297));
    const QImage start = Settled(sheet);

    // A family of two curves and a label.
    Draw(QStringLiteral("sin(x)*20"));
    Draw(QStringLiteral("sin(x)*35"));
    AddLabel(QStringLiteral("AB"));
    const QImage end = Settled(sheet);
    QVERIFY(end != start);

    // Ctrl+Z until nothing is left to undo: the sheet as it started. Ctrl+Y: as it ended.
    Repeat(QStringLiteral("ctrl+z"), 9);
    QCOMPARE(Settled(sheet, start), start);
    Repeat(QStringLiteral("ctrl+y"), 9);
    QCOMPARE(Settled(sheet, end), end);

    // Ctrl+S: the first save asks for the name.
    Key(QStringLiteral("ctrl+s"));
    const auto [dialog, title] = program.WaitForDialog();
    QCOMPARE(title, QStringLiteral("ワークシートの保存"));
    MouseTo(WindowGeometry(dialog).center());
    QTest::qWait(300);
    Type(path);
    Key(QStringLiteral("Return"));
    for (int i = 0; i < 50 && !QFileInfo::exists(path); ++i) {
        QTest::qWait(100);
    }
    QVERIFY(QFileInfo::exists(path));

    // One more label, then 終了: the question, answered with 保存 (Return), and the program ends.
    program.Focus(sheet.topLeft() + QPoint(25, 297));
    AddLabel(QStringLiteral("C"));
    const QImage last = Settled(sheet);
    QVERIFY(last != end);
    Key(QStringLiteral("alt+f x"));
    QVERIFY(AnswerWithReturn(program.Pid()));
    for (int i = 0; i < 50 && program.Running(); ++i) {
        QTest::qWait(100);
    }
    QVERIFY(!program.Running());

    // Started again with the worksheet, in the same place: the sheet as it was left.
    Program again(QStringLiteral(CURVANE_PROGRAM), {path});
    QVERIFY(again.Started());
    QVERIFY(!again.WaitForWindow().isEmpty());
    QCOMPARE(Settled(sheet, last), last);
}

void WorksheetRealWindowTest::killedWorkIsBroughtBack() {
    QTemporaryDir data;
    const QString autosave =
        data.filePath(QStringLiteral("Curvane/Curvane/autosave/autosave-1.cvw"));
    Program program(QStringLiteral(CURVANE_PROGRAM), {}, data.path());
    QVERIFY(program.Started());
    QVERIFY(!program.WaitForWindow().isEmpty());
    const QRect sheet = WaitForSheet();
    program.Focus(sheet.topLeft() + QPoint(25, 297));
    Draw(QStringLiteral("cos(x)*25"));
    AddLabel(QStringLiteral("K"));
    const QImage before = Settled(sheet);
    // Kept within a few seconds of the last change.
    for (int i = 0; i < 100 && !QFileInfo::exists(autosave); ++i) {
        QTest::qWait(100);
    }
    QVERIFY(QFileInfo::exists(autosave));
    program.Kill();
    Program again(QStringLiteral(CURVANE_PROGRAM), {}, data.path());
    QVERIFY(again.Started());
    // "前回の作業を復元しますか？": Return restores.
    QVERIFY(AnswerWithReturn(again.Pid()));
    QCOMPARE(Settled(sheet, before), before);
}

QTEST_MAIN(WorksheetRealWindowTest)
#include "tst_worksheet_realwindow.moc"

// Runs in a real X server (xvfb-run): the program as a Japanese user meets it, started as the
// desktop starts it and driven by real mouse and keys. What counts is what the screen shows,
// what the window system says of the dialogs, and what lands on the clipboard.
#include "tests/support/realwindow.h"

#include <QtCore/QLibraryInfo>
#include <QtCore/QTranslator>
#include <QtGui/QClipboard>
#include <QtGui/QPalette>
#include <QtWidgets/QApplication>

using namespace realwindow;

namespace {

constexpr QRgb AxisBlue = qRgb(112, 112, 255); // the default axes
constexpr QRgb LargeLine = qRgb(32, 255, 255);
constexpr QRgb TickBlue = qRgb(0, 0, 255);
constexpr QRgb GuideRed = qRgb(255, 0, 0);
constexpr QSize DefaultSheet(331, 253);

// The started program with its default sheet on the screen.
struct Started {
    Program program{QStringLiteral(CURVANE_PROGRAM)};
    QPoint origin; // the axes' crossing on the screen
    QPoint sheet;  // the drawing's top-left on the screen

    bool Ready() {
        if (!program.Started() || program.WaitForWindow().isEmpty()) {
            return false;
        }
        QImage screen;
        for (int i = 0; i < 100; ++i) {
            QTest::qWait(100);
            screen = Screen();
            if (LongestRun(screen, AxisBlue, true) >= 300) {
                origin = AxesCrossing(screen, AxisBlue);
                sheet = origin - QPoint(165, 126); // the default origin (165.5, 126.5)
                program.Focus(origin + QPoint(3, 3));
                return true;
            }
        }
        return false;
    }
    QRect Drawing() const { return QRect(sheet, DefaultSheet); }
    // Pixel columns of the large vertical lines just above the X axis.
    int LargeLineSpacing() const {
        const QList<int> columns =
            LineColumns(Screen().copy(Drawing()), LargeLine, origin.y() - sheet.y() - 3,
                        origin.y() - sheet.y() - 1);
        return columns.size() >= 2 ? columns[1] - columns[0] : -1;
    }
};

// What Qt's own Japanese translation says for a text of its dialogs.
QString QtJapanese(const char* context, const char* text) {
    QTranslator translator;
    if (!translator.load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return QString();
    }
    return translator.translate(context, text);
}

QString WaitForClipboardText(const QString& expected) {
    QString text;
    for (int i = 0; i < 30 && text != expected; ++i) {
        QTest::qWait(100);
        text = QGuiApplication::clipboard()->text();
    }
    return text;
}

QImage WaitForClipboardImage() {
    QImage image;
    for (int i = 0; i < 30 && image.isNull(); ++i) {
        QTest::qWait(100);
        image = QGuiApplication::clipboard()->image();
    }
    return image;
}

} // namespace

class UserWindowTest : public QObject {
    Q_OBJECT
private slots:
    void colourAndFontDialogsSpeakJapanese();
    void editKeysActOnThePictureUnlessATextBoxHasThem();
    void escapeEndsAnArmedZoomOrAnOriginPlacement();
    void doubleClickOnALabelOnlyOpensItsEditor();
    void aFileNamedOnTheCommandLineOpensInTheWindow();
    void anExpressionWithoutAnyValueSaysWhy();
};

void UserWindowTest::colourAndFontDialogsSpeakJapanese() {
    const QString selectColor = QtJapanese("QColorDialog", "Select Color");
    const QString selectFont = QtJapanese("QFontDialog", "Select Font");
    QVERIFY2(!selectColor.isEmpty() && !selectFont.isEmpty(),
             "Qt's Japanese translation (qt6-translations-l10n) is not installed");
    Started s;
    QVERIFY(s.Ready());
    // 編集 > 文字･記号の追加 shows the adding row at the sheet's top left: its colour swatch and
    // "Font" open the standard choosers.
    Key(QStringLiteral("alt+e a"));
    QTest::qWait(300);
    ClickAt(s.sheet + QPoint(164, 10)); // lblAddMojiCol
    auto [colourDialog, colourTitle] = s.program.WaitForDialog();
    QVERIFY2(!colourDialog.isEmpty(), "no colour dialog");
    QCOMPARE(colourTitle, selectColor); // "色を選択", not "Select Color"
    Xdo({QStringLiteral("windowfocus"), colourDialog});
    Key(QStringLiteral("Escape"));
    QTest::qWait(300);

    s.program.Focus(s.origin + QPoint(3, 3));
    ClickAt(s.sheet + QPoint(137, 10)); // lblAddMojiFont
    auto [fontDialog, fontTitle] = s.program.WaitForDialog();
    QVERIFY2(!fontDialog.isEmpty(), "no font dialog");
    QCOMPARE(fontTitle, selectFont);
    Xdo({QStringLiteral("windowfocus"), fontDialog});
    Key(QStringLiteral("Escape"));
}

void UserWindowTest::editKeysActOnThePictureUnlessATextBoxHasThem() {
    Started s;
    QVERIFY(s.Ready());
    QClipboard* clipboard = QGuiApplication::clipboard();

    // In the F1 box, which has the focus from the start, Ctrl+C copies its text.
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
         QStringLiteral("sin(x)")});
    Key(QStringLiteral("ctrl+a ctrl+c"));
    QCOMPARE(WaitForClipboardText(QStringLiteral("sin(x)")), QStringLiteral("sin(x)"));

    // A click on the sheet takes the keyboard: Ctrl+C copies the picture.
    ClickAt(s.sheet + QPoint(20, 20));
    QTest::qWait(200);
    Key(QStringLiteral("ctrl+c"));
    const QImage copied = WaitForClipboardImage();
    QCOMPARE(copied.size(), DefaultSheet);
    QVERIFY(LongestRun(copied, AxisBlue, true) >= 300);

    // And Ctrl+V pastes a picture under the grid.
    QImage green(60, 40, QImage::Format_RGB32);
    green.fill(qRgb(0, 200, 0));
    clipboard->setImage(green);
    QTest::qWait(200);
    ClickAt(s.sheet + QPoint(20, 20));
    QTest::qWait(200);
    Key(QStringLiteral("ctrl+v"));
    int pasted = 0;
    for (int i = 0; i < 30 && pasted < 500; ++i) {
        QTest::qWait(100);
        pasted = CountInRect(Screen(), QRect(s.sheet, QSize(60, 40)), qRgb(0, 200, 0));
    }
    QVERIFY2(pasted >= 500, qPrintable(QString::number(pasted)));
}

void UserWindowTest::escapeEndsAnArmedZoomOrAnOriginPlacement() {
    Started s;
    QVERIFY(s.Ready());
    QCOMPARE(s.LargeLineSpacing(), 40);

    // ﾂｰﾙ > ズームイン, then Escape: the next click on the sheet zooms nothing.
    Key(QStringLiteral("alt+t i"));
    QTest::qWait(300);
    Key(QStringLiteral("Escape"));
    QTest::qWait(200);
    ClickAt(s.sheet + QPoint(20, 20));
    QTest::qWait(500);
    QCOMPARE(s.LargeLineSpacing(), 40);

    // A right click starts placing the origin (red guide lines); Escape takes them away and the
    // left click after it moves nothing.
    ClickAt(s.sheet + QPoint(60, 40), 3);
    int red = 0;
    for (int i = 0; i < 20 && red < 200; ++i) {
        QTest::qWait(100);
        red = LongestRun(Screen().copy(s.Drawing()), GuideRed, true);
    }
    QVERIFY2(red >= 200, "no guide lines");
    Key(QStringLiteral("Escape"));
    QTest::qWait(300);
    QCOMPARE(CountInRect(Screen(), s.Drawing(), GuideRed), 0);
    ClickAt(s.sheet + QPoint(60, 40));
    QTest::qWait(500);
    QCOMPARE(AxesCrossing(Screen().copy(s.Drawing()), AxisBlue) + s.sheet, s.origin);
}

void UserWindowTest::doubleClickOnALabelOnlyOpensItsEditor() {
    Started s;
    QVERIFY(s.Ready());
    const QRgb rowGrey = QApplication::palette().color(QPalette::Window).rgb(); // "Font"
    QCOMPARE(CountInRect(Screen(), s.Drawing(), rowGrey), 0);

    // The tick number "10" right of the origin.
    const QRect ten = BoundsOf(Screen(), QRect(s.origin + QPoint(30, 1), QSize(28, 20)), TickBlue);
    QVERIFY(!ten.isEmpty());

    // With a zoom armed, a double-click on it opens its edit row and zooms nothing.
    Key(QStringLiteral("alt+t i"));
    QTest::qWait(300);
    ClickAt(ten.center(), 1, 2);
    int row = 0;
    for (int i = 0; i < 20 && row < 200; ++i) {
        QTest::qWait(100);
        row = CountInRect(Screen(), s.Drawing(), rowGrey);
    }
    QVERIFY2(row >= 200, "no edit row");
    QCOMPARE(s.LargeLineSpacing(), 40);

    // The zoom waits for a click of its own; its redraw replaces the tick numbers, and the edit
    // row of the one that is gone closes.
    ClickAt(s.sheet + QPoint(20, 230));
    QTest::qWait(500);
    QCOMPARE(s.LargeLineSpacing(), 60);
    QCOMPARE(CountInRect(Screen(), s.Drawing(), rowGrey), 0);
}

void UserWindowTest::aFileNamedOnTheCommandLineOpensInTheWindow() {
    // The desktop runs "curvane FILE.cvf": a red X axis and a green Y axis on a 500 × 440 pixel
    // window (7500 × 6600 twips).
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("axes.cvf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("7500,6600,331,253,165.5,126.5,0,0,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,"
               "#TRUE#,#TRUE#,4,4,5,5,2,2,16777152,16777152,16777072,16777072,16776992,16776992,"
               "255,65280,16777215,4,4,16711680,16711680,9,9,1,1,\"\x92\x50\x88\xca 1\","
               "\"\x92\x50\x88\xca 1\",0,0,\"x\",\"\",\"\",0,0,0,\"\x8e\xc0\x31\",\"\x8e\xc0\x31\","
               "\"\x8e\xc0\x31\"\r\n");
    file.close();

    Program program(QStringLiteral(CURVANE_PROGRAM), {path});
    QVERIFY(program.Started());
    QVERIFY(!program.WaitForWindow().isEmpty());
    bool axes = false;
    for (int i = 0; i < 100 && !axes; ++i) {
        QTest::qWait(100);
        const QImage screen = Screen();
        // One axis cuts the other in two where they cross.
        axes = LongestRun(screen, qRgb(255, 0, 0), true) >= 150 &&
               LongestRun(screen, qRgb(0, 255, 0), false) >= 120 &&
               CountInRect(screen, screen.rect(), qRgb(255, 0, 0)) >= 320 &&
               CountInRect(screen, screen.rect(), qRgb(0, 255, 0)) >= 240;
    }
    QVERIFY2(axes, "the file's axes are not on the screen");
    QVERIFY(LongestRun(Screen(), AxisBlue, true) < 50); // not the default graph
    QCOMPARE(program.Geometry().size(), QSize(500, 440));
}

// 2**x has no value anywhere: the draw says so in a message box, which Return closes.
void UserWindowTest::anExpressionWithoutAnyValueSaysWhy() {
    Started s;
    QVERIFY(s.Ready());
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
         QStringLiteral("2**x")});
    Key(QStringLiteral("Tab space"));
    auto [box, title] = s.program.WaitForDialog();
    QVERIFY2(!box.isEmpty(), "no message box");
    QCOMPARE(title, QStringLiteral("計算できません"));
    Xdo({QStringLiteral("windowfocus"), box});
    Key(QStringLiteral("Return"));
    QString left = box;
    for (int i = 0; i < 30 && !left.isEmpty(); ++i) {
        QTest::qWait(100);
        left = s.program.WaitForDialog().first;
    }
    QVERIFY2(left.isEmpty(), "the message box stays");
}

QTEST_MAIN(UserWindowTest)
#include "tst_userwindow.moc"

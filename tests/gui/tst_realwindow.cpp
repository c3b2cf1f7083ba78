// Runs in a real X server (xvfb-run): the program as a user starts it, and the main window's
// layout as the window system shows it.
#include "mainwindow/frmcurvane.h"
#include "mainwindow/sheetview.h"
#include "tests/support/fakedialogs.h"

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtTest/QtTest>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QToolBar>

namespace {

// The longest run of one colour along a row or a column of an image.
int LongestRun(const QImage& image, QRgb colour, bool alongRows) {
    int best = 0;
    const int outer = alongRows ? image.height() : image.width();
    const int inner = alongRows ? image.width() : image.height();
    for (int i = 0; i < outer; ++i) {
        int run = 0;
        for (int j = 0; j < inner; ++j) {
            const QRgb pixel = alongRows ? image.pixel(j, i) : image.pixel(i, j);
            run = (pixel & 0xFFFFFF) == (colour & 0xFFFFFF) ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

} // namespace

class RealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theProgramShowsItsWindowWithTheGrid();
    void theWindowIsLaidOutAroundTheSheet();
};

void RealWindowTest::theProgramShowsItsWindowWithTheGrid() {
    QTemporaryDir home;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path()); // a fresh placement store
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(CURVANE_PROGRAM), {});
    QVERIFY(program.waitForStarted());

    // The window titled "Curvane" appears.
    QString found;
    for (int i = 0; i < 100 && found.isEmpty(); ++i) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                      QStringLiteral("--name"), QStringLiteral("^Curvane$")});
        search.waitForFinished();
        found = QString::fromLatin1(search.readAllStandardOutput()).trimmed();
        if (found.isEmpty()) {
            QTest::qWait(100);
        }
    }
    QVERIFY2(!found.isEmpty(), "no window titled Curvane");

    // What is on the screen: the two axes of the default grid, each crossing the sheet.
    QImage screen;
    bool axes = false;
    for (int i = 0; i < 50 && !axes; ++i) {
        QTest::qWait(100);
        screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        axes = LongestRun(screen, qRgb(112, 112, 255), true) >= 300 &&
               LongestRun(screen, qRgb(112, 112, 255), false) >= 240;
    }
    QVERIFY2(axes, "the grid's axes are not on the screen");
    QVERIFY(LongestRun(screen, qRgb(32, 255, 255), true) >= 150); // a large horizontal line

    program.terminate();
    QVERIFY(program.waitForFinished(5000));
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

QTEST_MAIN(RealWindowTest)
#include "tst_realwindow.moc"

// Runs in a real X server (xvfb-run): the calculus window driven by the real pointer and keyboard
// through xdotool. A tangent at a typed x and one by a click on the sheet are found on the screen
// with the equation's label; a shaded area is found in the saved BMP and as a filled path in the
// PDF export.
#include "plot/sheetrecord.h"
#include "program/export.h"
#include "tests/support/pdfpage.h"
#include "tests/support/realwindow.h"
#include "tests/ui/windowfixture.h"
#include "ui/frmcalculus.h"
#include "ui/sheetview.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QPainter>
#include <QtTest/QtTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>

namespace {

using realwindow::ClickInProcess;
using realwindow::Key;
using realwindow::WaitFor;
using realwindow::Xdo;
const auto ClickOn = [](const QWidget* widget) { realwindow::ClickWidget(widget); };
const auto Type = realwindow::TypeText;

constexpr ColorRef Red = Rgb(230, 0, 0);

QImage ScreenOfSheet(const SheetView* sheet) {
    const QRect drawing = sheet->contentsRect();
    const QPoint at = sheet->mapToGlobal(drawing.topLeft());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), drawing.width(), drawing.height())
        .toImage();
}

QString NewestLabel(const CurvaneState& state) {
    return state.AddMoji.At(state.AddMoji.UpperBound()).Text();
}

} // namespace

class CalculusRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void tangentsAndAnAreaWithTheRealPointer();
};

void CalculusRealWindowTest::tangentsAndAnAreaWithTheRealPointer() {
    WindowFixture f;
    frmCurvane& window = *f.window;
    FakeDialogs& dialogs = *f.dialogs;
    QTemporaryDir& dir = f.dir;
    CurvaneState& state = window.State();
    SheetView* sheet = window.Sheet();

    // A person picks red for F1 at its swatch, types sin(x)*10 and presses "描画" (draw).
    realwindow::FocusWindow(QString::number(window.winId()), window.geometry().center());
    dialogs.colors.push_back(Red);
    ClickOn(window.findChild<QWidget*>(QStringLiteral("lblF1color")));
    QVERIFY(WaitFor([&] { return SlotOf(state.Slots, 1).Color == Red; }));
    ClickOn(window.findChild<QLineEdit*>(QStringLiteral("txtF1")));
    Type(QStringLiteral("sin(x)*10"));
    ClickOn(window.findChild<QPushButton*>(QStringLiteral("cmdF1draw")));
    QVERIFY(WaitFor([&] { return SlotOf(state.Slots, 1).Drawn; }));

    // ﾂｰﾙ > 微分・積分 by the keyboard opens the window beside the main one.
    Xdo({QStringLiteral("windowfocus"), QString::number(window.winId())});
    Key(QStringLiteral("alt+t d"));
    frmCalculus* calculus = nullptr;
    QVERIFY(WaitFor([&] {
        calculus = window.findChild<frmCalculus*>(QStringLiteral("frmCalculus"));
        return calculus != nullptr && calculus->isVisible();
    }));
    QVERIFY(QTest::qWaitForWindowExposed(calculus));
    auto* pages = calculus->findChild<QTabWidget*>(QStringLiteral("tabCalculus"));
    QCOMPARE(QStringList({pages->tabText(0), pages->tabText(1), pages->tabText(2)}),
             QStringList({"導関数", "接線", "面積"}));

    // "接線" (tangent) at x = 1 typed into its box.
    ClickInProcess(pages->tabBar()->mapToGlobal(pages->tabBar()->tabRect(1).center()));
    QVERIFY(WaitFor([&] { return pages->currentIndex() == 1; }));
    ClickOn(calculus->findChild<QLineEdit*>(QStringLiteral("txtTangentX")));
    Type(QStringLiteral("1"));
    ClickOn(calculus->findChild<QPushButton*>(QStringLiteral("cmdTangentDraw")));
    QVERIFY(WaitFor([&] { return state.Record.tangents.size() == 1; }));
    QCOMPARE(NewestLabel(state), QStringLiteral("y = 5.403x + 3.012"));

    // On the screen: the red line where it runs clear of the curve, and the label's dark text.
    calculus->lower();
    window.raise();
    QTest::qWait(400);
    QImage screen = ScreenOfSheet(sheet);
    const QLineF line = state.Record.tangents.front().line;
    int onLine = 0;
    int sampled = 0;
    for (double t = 0.0; t <= 1.0; t += 0.01) {
        const QPointF p = line.pointAt(t);
        const QPoint pixel(static_cast<int>(std::floor(p.x())),
                           static_cast<int>(std::floor(p.y())));
        if (!screen.rect().adjusted(0, 0, -1, -1).contains(pixel) ||
            std::fabs(p.y() - (126.5 - 4 * 10 * std::sin((p.x() - 165.5) / 4))) < 12) {
            continue; // off the sheet, or near the curve
        }
        ++sampled;
        // The line is steep: its pixel in a row lies within one column of the exact point.
        bool red = false;
        for (const int dx : {-1, 0, 1}) {
            const QPoint near = pixel + QPoint(dx, 0);
            red = red || (screen.rect().contains(near) &&
                          realwindow::Same(screen.pixel(near), ToQColor(Red).rgb()));
        }
        onLine += red ? 1 : 0;
    }
    // Tick numbers and the label may cover a few of its pixels.
    QVERIFY2(sampled > 20 && onLine >= sampled * 9 / 10,
             qPrintable(QStringLiteral("%1 of %2").arg(onLine).arg(sampled)));
    const TextLabel& label = state.AddMoji.At(state.AddMoji.UpperBound());
    const QRect labelRect(static_cast<int>(label.left), static_cast<int>(label.top),
                          static_cast<int>(label.Width()), static_cast<int>(label.Height()));
    const int dark = realwindow::CountInRect(screen, labelRect, qRgb(0, 0, 0));
    QVERIFY2(dark > 20, qPrintable(QString::number(dark)));

    // The tool: armed, the cursor changes; a click on the curve in column 157 (x = -2.125) draws
    // its tangent there; Escape on the sheet disarms it.
    calculus->raise();
    auto* tool = calculus->findChild<QPushButton*>(QStringLiteral("cmdTangentTool"));
    ClickOn(tool);
    QVERIFY(WaitFor([&] { return state.CalculusArmed == CalculusTool::Tangent; }));
    QCOMPARE(sheet->cursor().shape(), Qt::CrossCursor);
    const double clicked = (157 - 165.5) / 4;
    const QPoint onCurve(157, static_cast<int>(126.5 - 40 * std::sin(clicked)));
    ClickInProcess(sheet->mapToGlobal(sheet->contentsRect().topLeft() + onCurve));
    QVERIFY(WaitFor([&] { return state.Record.tangents.size() == 2; }));
    QVERIFY(std::fabs(state.Record.tangents.back().slope - 10 * std::cos(clicked)) < 1e-8);
    QCOMPARE(calculus->findChild<QLineEdit*>(QStringLiteral("txtTangentX"))->text(),
             QStringLiteral("-2.125"));
    Key(QStringLiteral("Escape"));
    QVERIFY(
        WaitFor([&] { return state.CalculusArmed == CalculusTool::None && !tool->isChecked(); }));
    QCOMPARE(sheet->cursor().shape(), Qt::ArrowCursor);

    // "面積" (area) from 0 to π: the fill goes into the saved BMP over the grid, under the curve.
    ClickInProcess(pages->tabBar()->mapToGlobal(pages->tabBar()->tabRect(2).center()));
    QVERIFY(WaitFor([&] { return pages->currentIndex() == 2; }));
    ClickOn(calculus->findChild<QLineEdit*>(QStringLiteral("txtAreaFrom")));
    Type(QStringLiteral("0"));
    ClickOn(calculus->findChild<QLineEdit*>(QStringLiteral("txtAreaTo")));
    Type(QStringLiteral("3.14159265358979"));
    ClickOn(calculus->findChild<QPushButton*>(QStringLiteral("cmdAreaDraw")));
    QVERIFY(WaitFor([&] { return state.Record.areas.size() == 1; }));
    QCOMPARE(NewestLabel(state), QStringLiteral("∫[0, 3.142] F1 dx = 20"));

    const QString bmp = dir.filePath(QStringLiteral("area.bmp"));
    dialogs.paths.push_back(bmp);
    window.RunCommand(Command::BMPSaveAs);
    const QImage saved(bmp);
    QVERIFY(!saved.isNull());
    QImage white(1, 1, QImage::Format_RGB32);
    white.fill(Qt::white);
    QPainter blend(&white);
    blend.fillRect(white.rect(), AreaFillColour(Red));
    blend.end();
    // Between the origin's column 165.5 and π's at 178, from the axis up to the curve.
    int filled = 0;
    for (int x = 167; x <= 177; ++x) {
        for (int y = 95; y <= 125; ++y) {
            filled += realwindow::Same(saved.pixel(x, y), white.pixel(0, 0)) ? 1 : 0;
        }
    }
    QVERIFY2(filled > 60, qPrintable(QString::number(filled)));
    QCOMPARE(CountPixels(saved, FromQColor(white.pixelColor(0, 0)), QRect(140, 130, 25, 36)), 0);

    // And as a translucent filled path of many segments in the PDF export.
    const QString pdf = dir.filePath(QStringLiteral("area.pdf"));
    QVERIFY(!ExportSheet(state, pdf, ExportFormat::Pdf, 300).Failed());
    const QByteArray operators = PdfOperators(pdf);
    QVERIFY2(LargestFilledPath(operators) > 40,
             qPrintable(QString::number(LargestFilledPath(operators))));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("/ca 0.28"));
}

QTEST_MAIN(CalculusRealWindowTest)
#include "tst_calculus_realwindow.moc"

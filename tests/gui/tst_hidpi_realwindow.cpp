// Runs in a real X server (xvfb-run) at a scale factor of 2: the sheet is drawn at device pixels,
// lines keep their thickness in logical pixels and their places, and what is saved is the same
// 96-dpi picture as at scale 1.
#include "tests/ui/windowfixture.h"
#include "ui/sheetview.h"

#include <QtCore/QProcess>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

constexpr ColorRef CurveRed = Rgb(220, 0, 0);

bool Reddish(QRgb pixel) {
    return qRed(pixel) > 120 && qGreen(pixel) < qRed(pixel) - 60 && qBlue(pixel) < qRed(pixel) - 60;
}

} // namespace

class HiDpiRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void sheetIsDrawnAtDevicePixelsAndSavedAtSheetPixels();
};

void HiDpiRealWindowTest::sheetIsDrawnAtDevicePixelsAndSavedAtSheetPixels() {
    WindowFixture f;
    QCOMPARE(f.window->devicePixelRatioF(), 2.0);
    SlotOf(f.State().Slots, 1).Color = CurveRed;
    QTest::keyClicks(f.Find<QLineEdit>("txtF1"), QStringLiteral("sin(x/3)*9"));
    QTest::mouseClick(f.Find<QPushButton>("cmdF1draw"), Qt::LeftButton);
    QCOMPARE(f.State().Record.curves.size(), std::size_t(1));

    // The sheet as the screen shows it: twice its pixels in each direction.
    SheetView* view = f.window->Sheet();
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QSize sheet = f.State().Sheet.Image().size();
    const int frame = view->frameWidth();
    QCOMPARE(shown.size(), (sheet + QSize(2 * frame, 2 * frame)) * 2);

    // Curve edges at single device pixels: blocks of 2 × 2 device pixels along the curve are
    // not all of one colour, as they would be for an enlarged sheet pixel.
    int blocks = 0;
    int mixed = 0;
    for (int y = 2 * frame; y + 1 < shown.height() - 2 * frame; y += 2) {
        for (int x = 2 * frame; x + 1 < shown.width() - 2 * frame; x += 2) {
            const QRgb a = shown.pixel(x, y);
            if (!Reddish(a) && !Reddish(shown.pixel(x + 1, y + 1))) {
                continue;
            }
            ++blocks;
            mixed += (a != shown.pixel(x + 1, y) || a != shown.pixel(x, y + 1) ||
                      a != shown.pixel(x + 1, y + 1))
                         ? 1
                         : 0;
        }
    }
    QVERIFY2(blocks > 300, qPrintable(QString::number(blocks)));
    QVERIFY2(mixed > blocks / 3, qPrintable(QStringLiteral("%1 of %2").arg(mixed).arg(blocks)));

    // The Y axis stays one logical pixel wide, two device pixels, where the sheet has it.
    const int axis = static_cast<int>(f.State().Settings.OriginX);
    const int row = 2 * (frame + 10);
    QList<int> axisColumns;
    for (int x = 0; x < shown.width(); ++x) {
        if ((shown.pixel(x, row) & 0xFFFFFF) == (qRgb(112, 112, 255) & 0xFFFFFF)) {
            axisColumns << x;
        }
    }
    QCOMPARE(axisColumns, QList<int>({2 * (frame + axis), 2 * (frame + axis) + 1}));

    // Saved as a bitmap: the sheet's 96-dpi picture, the same as the command line draws at scale 1
    // from the same settings.
    const QString settings = f.dir.filePath(QStringLiteral("sheet.cvf"));
    const QString saved = f.dir.filePath(QStringLiteral("window.bmp"));
    const QString drawn = f.dir.filePath(QStringLiteral("render.bmp"));
    f.dialogs->paths = {settings, saved};
    f.window->RunCommand(Command::FileSaveAs);
    f.window->RunCommand(Command::BMPSaveAs);
    QProcess render;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    render.setProcessEnvironment(environment);
    render.start(QStringLiteral(CURVANE_PROGRAM),
                 {QStringLiteral("--render"), settings, QStringLiteral("--out"), drawn});
    QVERIFY(render.waitForFinished(60000));
    QCOMPARE(render.exitCode(), 0);
    const QImage fromWindow(saved);
    QCOMPARE(fromWindow.size(), sheet);
    QVERIFY(fromWindow == QImage(drawn));
}

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HiDpiRealWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi_realwindow.moc"

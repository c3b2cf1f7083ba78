#include "platform/labels.h"
#include "platform/surface.h"
#include "platform/units.h"
#include "tests/support/pixels.h"

#include <QtGui/QPainter>
#include <QtTest/QtTest>
#include <limits>

namespace {

constexpr ColorRef White = Rgb(255, 255, 255);
constexpr ColorRef Red = Rgb(255, 0, 0);
constexpr ColorRef Blue = Rgb(0, 0, 255);

ColorRef At(const Surface& s, int x, int y) {
    return FromQColor(s.Image().pixelColor(x, y));
}

int CountOf(const Surface& s, ColorRef colour) {
    return CountPixels(s.Image(), colour);
}

} // namespace

class SurfaceTest : public QObject {
    Q_OBJECT
private slots:
    void lineSetsBothEndsAndNothingElse();
    void axisParallelLinesMatchQPainter_data();
    void axisParallelLinesMatchQPainter();
    void farAwayAndInvalidEndpointsAreSafe();
    void verticalLinesSweepEqualsSingleLines();
    void wideAndDottedLines();
    void pointIsOnePixelWhateverThePen();
    void clearKeepsBackgroundPicture();
    void resizeKeepsDrawingAndFillsNewArea();
    void textDrawsInItsColourInsideItsMeasuredBox();
    void unitConversionsAt96Dpi();
};

void SurfaceTest::lineSetsBothEndsAndNothingElse() {
    Surface s(20, 10);
    s.Line(2, 3, 12, 3, Red);
    QCOMPARE(CountOf(s, Red), 11);
    QCOMPARE(At(s, 2, 3), Red);
    QCOMPARE(At(s, 12, 3), Red);
    QCOMPARE(At(s, 1, 3), White);
    s.Line(5, 9, 5, 0, Blue); // drawn upwards
    QCOMPARE(CountOf(s, Blue), 10);
    s.Line(0, 0, 9, 9, Red); // diagonal: one pixel per column
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(At(s, i, i), Red);
    }
}

void SurfaceTest::axisParallelLinesMatchQPainter_data() {
    QTest::addColumn<QLineF>("line");
    QTest::newRow("whole pixels") << QLineF(2, 3, 12, 3);
    QTest::newRow("half pixels") << QLineF(2.5, 3.5, 12.5, 3.5);
    QTest::newRow("odd half pixels") << QLineF(3.5, 4.5, 9.5, 4.5);
    QTest::newRow("below half") << QLineF(2.4, 3.4, 7.4, 3.4);
    QTest::newRow("above half") << QLineF(2.6, 3.6, 7.6, 3.6);
    QTest::newRow("vertical") << QLineF(5, 2, 5, 9);
    QTest::newRow("vertical half") << QLineF(5.5, 2.5, 5.5, 9.5);
    QTest::newRow("vertical upwards") << QLineF(4.5, 12.5, 4.5, 0.5);
    QTest::newRow("reaching past the edges") << QLineF(-30.5, 7.5, 40.5, 7.5);
    QTest::newRow("negative fraction") << QLineF(-0.4, 0, -0.4, 10);
}

void SurfaceTest::axisParallelLinesMatchQPainter() {
    QFETCH(QLineF, line);
    Surface s(16, 14);
    s.Line(line.x1(), line.y1(), line.x2(), line.y2(), Red);

    QImage reference(16, 14, QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    QPen pen(ToQColor(Red));
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLine(line);
    painter.end();
    QCOMPARE(s.Image(), reference);
}

void SurfaceTest::farAwayAndInvalidEndpointsAreSafe() {
    Surface s(30, 10);
    s.Line(-1e12, 5, 1e12, 5, Red); // a whole row
    QCOMPARE(CountOf(s, Red), 30);
    s.Line(-1e30, -1e30, -1e29, -1e30, Blue); // wholly outside
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    s.Line(nan, 1, 5, 1, Blue);
    s.Line(3, inf, 3, 2, Blue);
    s.Point(nan, nan, Blue);
    s.Point(-1, 100, Blue);
    QCOMPARE(CountOf(s, Blue), 0);
}

void SurfaceTest::verticalLinesSweepEqualsSingleLines() {
    const std::vector<Surface::VerticalLine> lines = {
        {3, Red}, {7.5, Blue}, {3.9, Blue}, {-0.5, Red}, {15.2, Red}, {40, Blue}, {7.5, Red}};
    for (const auto& [top, bottom] : {std::pair{1.5, 8.0}, std::pair{9.0, -3.0}}) {
        Surface one(16, 10);
        for (const auto& line : lines) {
            one.Line(line.x, top, line.x, bottom, line.colour);
        }
        Surface swept(16, 10);
        swept.VerticalLines(lines, top, bottom);
        QCOMPARE(swept.Image(), one.Image());
    }
}

void SurfaceTest::wideAndDottedLines() {
    Surface s(20, 20);
    s.SetDrawWidth(3);
    s.Line(2, 10, 17, 10, Red);
    // A square pen: three rows, reaching one pixel past each end.
    QCOMPARE(CountOf(s, Red), 18 * 3);
    QCOMPARE(At(s, 1, 10), Red);
    QCOMPARE(At(s, 18, 10), Red);
    QCOMPARE(At(s, 5, 9), Red);
    QCOMPARE(At(s, 5, 11), Red);
    QCOMPARE(At(s, 5, 12), White);

    Surface dotted(20, 3);
    dotted.SetDrawStyle(DrawStyle::Dotted);
    dotted.Line(0, 1, 19, 1, Blue);
    const int on = CountOf(dotted, Blue);
    QVERIFY(on > 5 && on < 20);
}

void SurfaceTest::pointIsOnePixelWhateverThePen() {
    Surface s(10, 10);
    s.SetDrawWidth(3);
    s.Point(4, 4, Red);
    QCOMPARE(CountOf(s, Red), 1);
    QCOMPARE(At(s, 4, 4), Red);
}

void SurfaceTest::clearKeepsBackgroundPicture() {
    Surface s(10, 10);
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(QColor(0, 255, 0));
    s.SetPicture(picture);
    s.SetBackColor(Blue);
    s.Line(0, 9, 9, 9, Red);
    s.Clear();
    QCOMPARE(At(s, 0, 0), Rgb(0, 255, 0));
    QCOMPARE(At(s, 3, 2), Rgb(0, 255, 0));
    QCOMPARE(At(s, 4, 2), Blue);
    QCOMPARE(At(s, 5, 9), Blue);
    s.ClearPicture();
    s.Clear();
    QCOMPARE(At(s, 0, 0), Blue);
}

void SurfaceTest::resizeKeepsDrawingAndFillsNewArea() {
    Surface s(10, 10);
    s.Point(2, 2, Red);
    s.SetBackColor(Blue);
    s.SetScaleSize(20, 5);
    QCOMPARE(s.Width(), 20);
    QCOMPARE(s.Height(), 5);
    QCOMPARE(At(s, 2, 2), Red);
    QCOMPARE(At(s, 15, 2), Blue);
    s.SetScaleSize(0, -3); // never an empty image
    QCOMPARE(s.Width(), 1);
    QCOMPARE(s.Height(), 1);
}

void SurfaceTest::textDrawsInItsColourInsideItsMeasuredBox() {
    Surface s(120, 40);
    LabelFamily family;
    family.Create(1);
    family.SetText(1, QStringLiteral("12.5"));
    const TextLabel& label = family.At(1);
    {
        QPainter painter(&s.Image());
        DrawLabelText(painter, 10, 5, label.Text(), label.Font(), Red);
    }
    int inside = 0;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if (At(s, x, y) != Red) {
                continue;
            }
            QVERIFY(x >= 10 && x <= 10 + label.Width() + 1);
            QVERIFY(y >= 5 && y <= 5 + label.Height() + 1);
            ++inside;
        }
    }
    QVERIFY(inside > 10);
}

void SurfaceTest::unitConversionsAt96Dpi() {
    QCOMPARE(units::PixelsToTwips(1), 15.0);
    QCOMPARE(units::TwipsToPixels(5025), 335.0);
    QCOMPARE(units::PixelsToMillimetres(96), 25.4);
    QCOMPARE(units::MillimetresToPixels(25.4), 96.0);
    QCOMPARE(units::MillimetresToTwips(25.4), 1440.0);
    QCOMPARE(units::TwipsToMillimetres(1440), 25.4);
}

QTEST_MAIN(SurfaceTest)
#include "tst_surface.moc"

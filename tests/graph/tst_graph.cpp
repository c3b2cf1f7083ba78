#include "graph/graphsettings.h"
#include "graph/griddrawing.h"
#include "graph/mapping.h"
#include "platform/surface.h"
#include "tests/support/pixels.h"

#include <QtTest/QtTest>
#include <bit>
#include <cmath>

namespace {

constexpr ColorRef White = Rgb(255, 255, 255);
constexpr ColorRef SmallColour = Rgb(192, 255, 255);
constexpr ColorRef MediumColour = Rgb(112, 255, 255);
constexpr ColorRef LargeColour = Rgb(32, 255, 255);
constexpr ColorRef AxisColour = Rgb(112, 112, 255);

// A 400 × 300 sheet with the defaults, as start-up leaves it.
struct Sheet {
    Surface surface{400, 300};
    GraphSettings settings;
    GraphState state;

    Sheet() { InitGraphState(settings, state, surface); }
    void Draw() { DrawGrid(surface, settings, state.GraphWidthPx, state.GraphHeightPx); }
    ColorRef At(int x, int y) const { return FromQColor(surface.Image().pixelColor(x, y)); }
    int CountInRow(int y, ColorRef colour) const {
        return CountPixels(surface.Image(), colour, QRect(0, y, surface.Width(), 1));
    }
};

} // namespace

class GraphTest : public QObject {
    Q_OBJECT
private slots:
    void startUpDefaults();
    void resetRestoresEveryDefault();
    void stepProductsDoNotOverflow();

    void defaultGridLineClasses_data();
    void defaultGridLineClasses();
    void lowerLeftPlacementCoversOneQuadrant();
    void pairedColoursColourTheirOwnDirection();
    void smallSpacingOneFillsEveryColumn();
    void largeStepBeyondSixteenBitsDrawsOnlyTheOriginLine();
    void everythingOffLeavesTheBackground();
    void originLeftOfTheSheet();
    void unknownSideCodeDrawsNoLinesThatWayAndCoversAll();
    void brokenValuesDoNotHang();

    void columnToValue_data();
    void columnToValue();
    void valueToRow_data();
    void valueToRow();
};

void GraphTest::startUpDefaults() {
    Sheet sheet;
    QCOMPARE(sheet.settings.OriginX, 200.0f);
    QCOMPARE(sheet.settings.OriginY, 150.0f);
    QCOMPARE(sheet.state.GraphWidthPx, 400.0f);
    QCOMPARE(sheet.state.PlotLimit, 1500.0f);
    QCOMPARE(sheet.state.PlotValues.LastColumn(), 400);
    // π is exactly the double 4·atn(1) gives.
    QCOMPARE(std::bit_cast<quint64>(Pi), std::bit_cast<quint64>(4.0 * std::atan(1.0)));
    QCOMPARE(sheet.state.XUnitName, QStringLiteral("単位 1"));
    const AxisSteps x = StepsOf(sheet.settings, Axis::X);
    QCOMPARE(x.small, 4);
    QCOMPARE(x.medium, 20);
    QCOMPARE(x.large, 40);
}

void GraphTest::resetRestoresEveryDefault() {
    Sheet sheet;
    GraphSettings& s = sheet.settings;
    s.OriginX = 3;
    s.XSide = 1;
    s.YSmallLinesOn = false;
    s.XSmallSpacing = 9;
    s.YLargeEvery = 7;
    s.XMediumLineColor = 5;
    s.YTickLabelMode = 1;
    s.XTickLabelSize = 30;
    s.BackgroundColor = 0;
    sheet.state.XSmallValue = 0;
    sheet.state.YUnitName = QStringLiteral("deg");
    sheet.state.XOriginValue = 7;
    sheet.state.PlotValues.Set(1, 5, 42.0f);

    ResetGraphSettings(s, sheet.state, sheet.surface);
    const GraphSettings defaults;
    QCOMPARE(s.XSide, defaults.XSide);
    QCOMPARE(s.YSmallLinesOn, true);
    QCOMPARE(s.XSmallSpacing, std::int16_t(4));
    QCOMPARE(s.YLargeEvery, std::int16_t(2));
    QCOMPARE(s.XMediumLineColor, MediumColour);
    QCOMPARE(s.YTickLabelMode, std::int16_t(4));
    QCOMPARE(s.XTickLabelSize, 9.0f);
    QCOMPARE(s.BackgroundColor, White);
    QCOMPARE(s.OriginX, 200.0f);
    QCOMPARE(sheet.state.XSmallValue, 1.0);
    QCOMPARE(sheet.state.YUnitName, PlainUnitName);
    QCOMPARE(sheet.state.XOriginValue, 0.0);
    QCOMPARE(sheet.state.PlotValues.Get(1, 5), 0.0f); // the table is made anew
}

void GraphTest::stepProductsDoNotOverflow() {
    GraphSettings s;
    s.XSmallSpacing = 100;
    s.XMediumEvery = 20;
    s.XLargeEvery = 20;
    QCOMPARE(StepsOf(s, Axis::X).large, 40000);
}

void GraphTest::defaultGridLineClasses_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<ColorRef>("colour");
    // Row 151 and column 201 cross no line of the other direction.
    QTest::newRow("Y axis through the origin") << 200 << 151 << AxisColour;
    QTest::newRow("small line right") << 204 << 151 << SmallColour;
    QTest::newRow("small line left") << 196 << 151 << SmallColour;
    QTest::newRow("medium line every 20 px") << 220 << 151 << MediumColour;
    QTest::newRow("medium line left") << 180 << 151 << MediumColour;
    QTest::newRow("large line wins over small and medium") << 240 << 151 << LargeColour;
    QTest::newRow("large line left") << 160 << 151 << LargeColour;
    QTest::newRow("large line near the left edge") << 0 << 151 << LargeColour;
    QTest::newRow("between lines") << 202 << 151 << White;
    QTest::newRow("X axis") << 201 << 150 << AxisColour;
    QTest::newRow("small line above") << 201 << 146 << SmallColour;
    QTest::newRow("medium line below") << 201 << 170 << MediumColour;
    QTest::newRow("large line above") << 201 << 110 << LargeColour;
    QTest::newRow("horizontal lines are drawn after vertical ones") << 204 << 146 << SmallColour;
    QTest::newRow("a large horizontal over a small vertical") << 204 << 110 << LargeColour;
    QTest::newRow("axes over everything") << 240 << 150 << AxisColour;
}

void GraphTest::defaultGridLineClasses() {
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(ColorRef, colour);
    Sheet sheet;
    sheet.Draw();
    QCOMPARE(sheet.At(x, y), colour);
}

void GraphTest::lowerLeftPlacementCoversOneQuadrant() {
    Sheet sheet;
    sheet.settings.XSide = 1;
    sheet.settings.YSide = -1;
    sheet.Draw();
    QCOMPARE(sheet.At(204, 101), SmallColour); // right of and above the origin
    QCOMPARE(sheet.At(196, 101), White);       // left of the origin
    QCOMPARE(sheet.At(204, 151), White);       // below the origin
    QCOMPARE(sheet.At(201, 146), SmallColour); // horizontal line right of the origin
    QCOMPARE(sheet.At(199, 146), White);
    QCOMPARE(sheet.At(399, 150), AxisColour); // X axis runs from the origin to the right edge
    QCOMPARE(sheet.At(199, 150), White);
    QCOMPARE(sheet.At(200, 0), AxisColour); // Y axis from the top edge down to the origin
    QCOMPARE(sheet.At(200, 151), White);
}

void GraphTest::pairedColoursColourTheirOwnDirection() {
    Sheet sheet;
    sheet.settings.YSmallLineColor = Rgb(255, 0, 0); // horizontal small lines
    sheet.settings.XSmallLineColor = Rgb(0, 128, 0); // vertical small lines
    sheet.Draw();
    QCOMPARE(sheet.At(204, 151), Rgb(0, 128, 0));
    QCOMPARE(sheet.At(201, 146), Rgb(255, 0, 0));
}

void GraphTest::smallSpacingOneFillsEveryColumn() {
    Sheet sheet;
    sheet.settings.XSmallSpacing = 1;
    sheet.Draw();
    QCOMPARE(sheet.CountInRow(151, White), 0);
}

void GraphTest::largeStepBeyondSixteenBitsDrawsOnlyTheOriginLine() {
    Sheet sheet;
    GraphSettings& s = sheet.settings;
    s.XSmallSpacing = 100;
    s.XMediumEvery = 20;
    s.XLargeEvery = 20;
    s.XSmallLinesOn = s.XMediumLinesOn = false;
    s.YAxisOn = false;
    sheet.Draw();
    QCOMPARE(sheet.CountInRow(151, LargeColour), 1);
    QCOMPARE(sheet.At(200, 151), LargeColour);
}

void GraphTest::everythingOffLeavesTheBackground() {
    Sheet sheet;
    GraphSettings& s = sheet.settings;
    s.XSmallLinesOn = s.YSmallLinesOn = s.XMediumLinesOn = s.YMediumLinesOn = false;
    s.XLargeLinesOn = s.YLargeLinesOn = s.XAxisOn = s.YAxisOn = false;
    s.BackgroundColor = Rgb(10, 20, 30);
    sheet.surface.Line(0, 0, 399, 299, Rgb(1, 2, 3)); // an old drawing goes away
    sheet.Draw();
    for (int y = 0; y < 300; y += 7) {
        QCOMPARE(sheet.CountInRow(y, Rgb(10, 20, 30)), 400);
    }
}

void GraphTest::originLeftOfTheSheet() {
    Sheet sheet;
    sheet.settings.OriginX = -10;
    sheet.Draw();
    QCOMPARE(sheet.At(2, 151), SmallColour);   // -10 + 3·4
    QCOMPARE(sheet.At(10, 151), MediumColour); // -10 + 20
    QCOMPARE(sheet.At(30, 151), LargeColour);  // -10 + 40
    QCOMPARE(sheet.At(0, 151), White);
    QCOMPARE(sheet.At(201, 146), SmallColour); // horizontal lines still span the sheet
}

void GraphTest::unknownSideCodeDrawsNoLinesThatWayAndCoversAll() {
    Sheet sheet;
    sheet.settings.XSide = 5;
    sheet.Draw();
    QCOMPARE(sheet.At(204, 151), White); // no vertical scale lines
    QCOMPARE(sheet.At(240, 151), White);
    QCOMPARE(sheet.At(0, 146), SmallColour); // horizontal lines across the whole sheet
    QCOMPARE(sheet.At(399, 146), SmallColour);
    QCOMPARE(sheet.At(0, 150), AxisColour);
    QCOMPARE(sheet.At(200, 0), AxisColour); // the Y axis itself is still drawn
}

void GraphTest::brokenValuesDoNotHang() {
    // Values only a damaged settings file can hold: each must finish and draw what makes sense.
    Sheet sheet;
    sheet.settings.XSmallSpacing = 0;
    sheet.settings.YSmallSpacing = -4;
    sheet.Draw();
    QCOMPARE(sheet.At(200, 151), AxisColour);
    sheet.settings.XSmallSpacing = 1;
    sheet.settings.YSmallSpacing = 1;
    sheet.settings.OriginX = 1e30f;
    sheet.settings.OriginY = -1e30f;
    sheet.Draw();
    sheet.settings.OriginX = -3e6f; // far, yet exact: its lines still land on the sheet
    sheet.settings.OriginY = 150;
    sheet.Draw();
    QCOMPARE(sheet.CountInRow(151, White), 0);
}

void GraphTest::columnToValue_data() {
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("smallValue");
    QTest::addColumn<double>("originValue");
    QTest::addColumn<float>("column");
    QTest::addColumn<double>("expected");
    const double pi = 4.0 * std::atan(1.0);
    QTest::newRow("origin column is the origin value")
        << PlainUnitName << 1.0 << 0.0 << 200.0f << 0.0;
    QTest::newRow("four pixels right is one step") << PlainUnitName << 1.0 << 0.0 << 204.0f << 1.0;
    QTest::newRow("origin bias") << PlainUnitName << 1.0 << 10.0 << 196.0f << 9.0;
    QTest::newRow("fractional column") << PlainUnitName << 1.0 << 0.0 << 201.0f << 0.25;
    QTest::newRow("rad feeds the value itself") << RadianUnitName << 2.0 << 0.0 << 204.0f << 2.0;
    QTest::newRow("deg feeds radians")
        << DegreeUnitName << 15.0 << 0.0 << 204.0f << 15.0 * pi / 180.0;
    QTest::newRow("pi feeds multiples of pi") << PiUnitName << 1.0 << 0.0 << 208.0f << 2.0 * pi;
}

void GraphTest::columnToValue() {
    QFETCH(QString, unit);
    QFETCH(double, smallValue);
    QFETCH(double, originValue);
    QFETCH(float, column);
    QFETCH(double, expected);
    Sheet sheet;
    sheet.state.XUnitName = unit;
    sheet.state.XSmallValue = smallValue;
    sheet.state.XOriginValue = originValue;
    const std::optional<double> x = PixelToValueX(sheet.settings, sheet.state, column);
    QVERIFY(x.has_value());
    QCOMPARE(*x, expected);

    sheet.settings.XSmallSpacing = 0; // only a settings file can do this
    QVERIFY(!PixelToValueX(sheet.settings, sheet.state, column).has_value());
}

void GraphTest::valueToRow_data() {
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("smallValue");
    QTest::addColumn<double>("y");
    QTest::addColumn<float>("row");
    const double pi15 = 3.14159265358979; // pi as the evaluator hands it back
    QTest::newRow("zero at the origin row") << PlainUnitName << 1.0 << 0.0 << 150.0f;
    QTest::newRow("one step up") << PlainUnitName << 1.0 << 1.0 << 146.0f;
    QTest::newRow("negative goes down") << PlainUnitName << 0.5 << -1.0 << 158.0f;
    QTest::newRow("huge clamps above") << PlainUnitName << 1.0 << 1e12 << -1500.0f;
    QTest::newRow("huge negative clamps below") << PlainUnitName << 1.0 << -1e12 << 1500.0f;
    QTest::newRow("beyond single range lands above")
        << PlainUnitName << 1e-300 << 1e300 << -1500.0f;
    QTest::newRow("zero step: positive above") << PlainUnitName << 0.0 << 3.0 << -1500.0f;
    QTest::newRow("zero step: negative below") << PlainUnitName << 0.0 << -3.0 << 1500.0f;
    QTest::newRow("zero step: zero at row 0") << PlainUnitName << 0.0 << 0.0 << 0.0f;
    QTest::newRow("pi unit puts pi one step up") << PiUnitName << 1.0 << pi15 << 146.0f;
    QTest::newRow("deg unit shows degrees") << DegreeUnitName << 90.0 << pi15 / 2 << 146.0f;
}

void GraphTest::valueToRow() {
    QFETCH(QString, unit);
    QFETCH(double, smallValue);
    QFETCH(double, y);
    QFETCH(float, row);
    Sheet sheet;
    sheet.state.YUnitName = unit;
    sheet.state.YSmallValue = smallValue;
    const float got = ValueToPixelY(sheet.settings, sheet.state, y);
    QVERIFY2(std::fabs(got - row) < 1e-4f, qPrintable(QString::number(got)));
}

QTEST_MAIN(GraphTest)
#include "tst_graph.moc"

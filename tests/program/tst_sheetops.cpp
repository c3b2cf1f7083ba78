#include "program/axispanelmodel.h"
#include "program/curvanestate.h"
#include "program/scalepresets.h"
#include "program/sheetops.h"

#include <QtTest/QtTest>

namespace {

struct Sheet {
    CurvaneState state;
    Sheet() { StartGraph(state, 400, 300); }
};

} // namespace

class SheetOpsTest : public QObject {
    Q_OBJECT
private slots:
    void zoom_data();
    void zoom();
    void zoomKeepsTheOriginOnTheSheet();
    void typedSizesBecomeWholePixels();
    void unusableSizesChangeNothing_data();
    void unusableSizesChangeNothing();
    void guideLinesFollowTheSideCodes();
    void originGoesWhereTheButtonWasReleased();
    void scalePresets_data();
    void scalePresets();
};

void SheetOpsTest::zoom_data() {
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("direction");
    QTest::addColumn<float>("x");
    QTest::addColumn<int>("newSpacing");
    QTest::addColumn<float>("newOrigin");
    // Origin at 100: 11 px right is 2.75 steps, the nearest line 3 steps away.
    QTest::newRow("zoom in") << 4 << 1 << 111.0f << 6 << 93.0f;
    QTest::newRow("halfway rounds to even") << 4 << 1 << 110.0f << 6 << 98.0f;
    QTest::newRow("zoom out") << 4 << -1 << 111.0f << 2 << 105.0f;
    QTest::newRow("zoom out from 2") << 2 << -1 << 100.0f << 1 << 100.0f;
    QTest::newRow("zoom out from 1") << 1 << -1 << 100.0f << 1 << 100.0f;
    QTest::newRow("zoom in past 100") << 100 << 1 << 100.0f << 102 << 100.0f;
}

void SheetOpsTest::zoom() {
    QFETCH(int, spacing);
    QFETCH(int, direction);
    QFETCH(float, x);
    QFETCH(int, newSpacing);
    QFETCH(float, newOrigin);
    Sheet s;
    GraphSettings& g = s.state.Settings;
    g.XSmallSpacing = static_cast<std::int16_t>(spacing);
    g.YSmallSpacing = 4;
    g.OriginX = 100;
    g.OriginY = 100;
    SlotOf(s.state.Slots, 1).Drawn = true;
    ZoomAt(s.state, direction, x, 100);
    QCOMPARE(int(g.XSmallSpacing), newSpacing);
    QCOMPARE(g.OriginX, newOrigin);
    QVERIFY(!SlotOf(s.state.Slots, 1).Drawn); // the curves are computed again
}

void SheetOpsTest::zoomKeepsTheOriginOnTheSheet() {
    Sheet s;
    GraphSettings& g = s.state.Settings;
    g.OriginX = 0;
    g.OriginY = 299;
    ZoomAt(s.state, 1, 6, 293); // would put the origin at -6 and 305
    QCOMPARE(g.OriginX, 0.0f);
    QCOMPARE(g.OriginY, 299.0f);
    g.XSmallSpacing = 0; // only a damaged settings file does this
    ZoomAt(s.state, 1, 50, 50);
    QCOMPARE(g.XSmallSpacing, std::int16_t(2));
}

void SheetOpsTest::typedSizesBecomeWholePixels() {
    Sheet s;
    QCOMPARE(ApplySheetWidth(s.state, QStringLiteral("200.4mm")), SizeRefusal::None);
    QCOMPARE(s.state.Sheet.Width(), 757); // 200.4 mm at 96 pixels per inch
    QCOMPARE(s.state.Graph.GraphWidthPx, 757.0f);
    QCOMPARE(s.state.Graph.PlotValues.LastColumn(), 757);
    QCOMPARE(ApplySheetHeight(s.state, QStringLiteral("50")), SizeRefusal::None);
    QCOMPARE(s.state.Sheet.Height(), 189);
    QCOMPARE(s.state.Graph.PlotLimit, 945.0f);
}

void SheetOpsTest::unusableSizesChangeNothing_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("refusal");
    QTest::newRow("zero") << "0" << int(SizeRefusal::NotPositive);
    QTest::newRow("letters") << "abc" << int(SizeRefusal::NotPositive);
    QTest::newRow("negative") << "-20" << int(SizeRefusal::NotPositive);
    QTest::newRow("beyond 32767 twips") << "577" << int(SizeRefusal::TooLarge);
    QTest::newRow("huge") << "1e300" << int(SizeRefusal::TooLarge);
}

void SheetOpsTest::unusableSizesChangeNothing() {
    QFETCH(QString, typed);
    QFETCH(int, refusal);
    Sheet s;
    SlotOf(s.state.Slots, 1).Drawn = true;
    QCOMPARE(int(ApplySheetWidth(s.state, typed)), refusal);
    QCOMPARE(s.state.Sheet.Width(), 400);
    QCOMPARE(s.state.Graph.GraphWidthPx, 400.0f);
    QVERIFY(SlotOf(s.state.Slots, 1).Drawn);
    QVERIFY(!SizeRefusalText(SizeRefusal(refusal)).isEmpty());
    QCOMPARE(ApplySheetWidth(s.state, QStringLiteral("576")), SizeRefusal::None); // the largest
}

void SheetOpsTest::guideLinesFollowTheSideCodes() {
    Sheet s;
    GuideLines lines = GuideLinesAt(s.state, 120, 80, {});
    QCOMPARE(lines.lineX, QLineF(0, 80, 399, 80));
    QCOMPARE(lines.lineY, QLineF(120, 0, 120, 299));
    s.state.Settings.XSide = 1; // "左下" (lower left)
    s.state.Settings.YSide = -1;
    lines = GuideLinesAt(s.state, 120, 80, lines);
    QCOMPARE(lines.lineX, QLineF(120, 80, 399, 80));
    QCOMPARE(lines.lineY, QLineF(120, 0, 120, 80));
    s.state.Settings.XSide = 7; // unknown: the ends stay, the line moves
    lines = GuideLinesAt(s.state, 50, 60, lines);
    QCOMPARE(lines.lineX, QLineF(120, 60, 399, 60));
}

void SheetOpsTest::originGoesWhereTheButtonWasReleased() {
    Sheet s;
    PlaceOrigin(s.state, 33.5f, 70.25f);
    QCOMPARE(s.state.Settings.OriginX, 33.5f);
    QCOMPARE(s.state.Settings.OriginY, 70.25f);
    QCOMPARE(FromQColor(s.state.Sheet.Image().pixelColor(33, 10)), Rgb(112, 112, 255));
}

void SheetOpsTest::scalePresets_data() {
    QTest::addColumn<int>("preset");
    QTest::addColumn<float>("originX");
    QTest::addColumn<float>("originY");
    // X then Y: spacing, medium, large, value per small step, unit.
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QStringList>("units");
    const auto row = [](const char* name, ScalePreset preset, float x, float y, QList<int> steps,
                        QList<double> values, QStringList units) {
        QTest::newRow(name) << static_cast<int>(preset) << x << y << steps << values << units;
    };
    const QStringList plain{PlainUnitName, PlainUnitName};
    row("standard", ScalePreset::Standard, 200, 150, {4, 5, 2, 4, 5, 2}, {1, 1}, plain);
    // π/4 per 12 pixels: a period of sin (2π) is 96 pixels; y in tenths, ±1 at 40 pixels.
    row("trigonometric", ScalePreset::Trigonometric, 200, 150, {12, 2, 2, 4, 5, 2}, {0.25, 0.1},
        {PiUnitName, PlainUnitName});
    // ±10 fits 200 and 150 pixels each way: 20 and 15 pixels a unit.
    row("zoom ±10", ScalePreset::Zoom10, 200, 150, {20, 5, 2, 15, 5, 2}, {1, 1}, plain);
    // Off centre: the nearer edge decides, 62.5 and 33.3 pixels away.
    row("zoom ±10, origin off centre", ScalePreset::Zoom10, 337.5, 33.3f, {6, 5, 2, 3, 5, 2},
        {1, 1}, plain);
    // At an edge there is one side only: 0 to 10 across the sheet.
    row("zoom ±10, origin at the left edge", ScalePreset::Zoom10, 0, 150, {40, 5, 2, 15, 5, 2},
        {1, 1}, plain);
}

// Each preset sets both axes and nothing else, redraws the grid and forgets the curves, and the
// axis panel shows it.
void SheetOpsTest::scalePresets() {
    QFETCH(int, preset);
    QFETCH(float, originX);
    QFETCH(float, originY);
    QFETCH(QList<int>, steps);
    QFETCH(QList<double>, values);
    QFETCH(QStringList, units);
    Sheet s;
    CurvaneState& state = s.state;
    GraphSettings& g = state.Settings;
    g.OriginX = originX;
    g.OriginY = originY;
    g.XSmallSpacing = 9;
    g.YMediumEvery = 7;
    g.XLargeEvery = 3;
    g.XAxisColor = Rgb(1, 2, 3);
    state.Graph.XOriginValue = 2.5;
    state.Graph.YUnitName = DegreeUnitName;
    state.Graph.YSmallValue = 30;
    SlotOf(state.Slots, 1).Drawn = true;
    SlotOf(state.Slots, 1).Button = DrawButtonState::Erase;

    ApplyScalePreset(state, static_cast<ScalePreset>(preset));
    QCOMPARE((QList<int>{g.XSmallSpacing, g.XMediumEvery, g.XLargeEvery, g.YSmallSpacing,
                         g.YMediumEvery, g.YLargeEvery}),
             steps);
    QCOMPARE((QList<double>{state.Graph.XSmallValue, state.Graph.YSmallValue}), values);
    QCOMPARE((QStringList{state.Graph.XUnitName, state.Graph.YUnitName}), units);
    QCOMPARE(state.Graph.XOriginValue, 0.0);
    QCOMPARE(g.OriginX, originX); // the origin stays where it was, the colours as they were
    QCOMPARE(g.XAxisColor, Rgb(1, 2, 3));
    QVERIFY(!SlotOf(state.Slots, 1).Drawn);
    QCOMPARE(SlotOf(state.Slots, 1).Button, DrawButtonState::Draw);
    const AxisPanelView view = ApplyAxisPanel(state.Settings, state.Graph);
    QCOMPARE(view.x.unitText, units[0]);
    QCOMPARE(view.x.smallSpacing, steps[0]);
    // The large (numbered) X line one large step right of the origin is on the sheet.
    QVERIFY(state.Xmoji.UpperBound() >= 2);
}

QTEST_MAIN(SheetOpsTest)
#include "tst_sheetops.moc"

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

// Per axis as the axis panel shows it: spacing, medium and large steps, value per step, unit and
// value at the origin.
void SheetOpsTest::scalePresets_data() {
    QTest::addColumn<int>("preset");
    QTest::addColumn<float>("originX");
    QTest::addColumn<QString>("scale");
    QTest::newRow("standard") << 0 << 200.0f << "4 5 2 1 単位 1 0, 4 5 2 1 単位 1 0";
    QTest::newRow("trigonometric") << 1 << 200.0f << "12 2 2 0.25 π 0, 4 5 2 0.1 単位 1 0";
    // ±10 as far as the nearer edge allows (62.5 and 150 pixels), 0 to 10 from an edge.
    QTest::newRow("±10") << 2 << 337.5f << "6 5 2 1 単位 1 0, 15 5 2 1 単位 1 0";
    QTest::newRow("±10 from an edge") << 2 << 0.0f << "40 5 2 1 単位 1 0, 15 5 2 1 単位 1 0";
}

// Both axes and nothing else: the origin and the colours stay, the curves are forgotten.
void SheetOpsTest::scalePresets() {
    QFETCH(int, preset);
    QFETCH(float, originX);
    Sheet s;
    GraphSettings& g = s.state.Settings;
    g.OriginX = originX;
    g.XSmallSpacing = g.YMediumEvery = g.XLargeEvery = 9;
    g.XAxisColor = Rgb(1, 2, 3);
    s.state.Graph.YUnitName = DegreeUnitName;
    s.state.Graph.XOriginValue = s.state.Graph.YSmallValue = 30;
    SlotOf(s.state.Slots, 1).Drawn = true;
    ApplyScalePreset(s.state, static_cast<ScalePreset>(preset));
    QStringList shown;
    const AxisPanelView view = ApplyAxisPanel(g, s.state.Graph);
    for (const AxisView& a : {view.x, view.y}) {
        shown << QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(a.smallSpacing)
                     .arg(a.mediumEvery)
                     .arg(a.largeEvery)
                     .arg(a.smallValueText, a.unitText, a.originValueText);
    }
    QTEST(shown.join(QStringLiteral(", ")), "scale");
    QVERIFY(g.OriginX == originX && g.XAxisColor == Rgb(1, 2, 3) &&
            !SlotOf(s.state.Slots, 1).Drawn);
}

QTEST_MAIN(SheetOpsTest)
#include "tst_sheetops.moc"

#include "platform/surface.h"
#include "plot/finecurve.h"
#include "plot/sampling.h"
#include "script/scriptevaluator.h"

#include <QtTest/QtTest>
#include <cmath>

namespace {

// A 400 × 300 sheet unlike the defaults: 7 px per small step across, 5 px down, the origin off
// the pixel grid, X in degrees of 5 per small step, Y 0.5 per small step.
struct Sheet {
    Surface surface{400, 300};
    GraphSettings settings;
    GraphState state;
    ScriptEvaluator evaluator;

    Sheet() {
        InitGraphState(settings, state, surface);
        settings.XSmallSpacing = 7;
        settings.YSmallSpacing = 5;
        settings.OriginX = 181.25f;
        settings.OriginY = 137.5f;
        state.XUnitName = QStringLiteral("deg");
        state.XSmallValue = 5.0;
        state.YSmallValue = 0.5;
    }
    CurveRuns Fine(const char* expression, int steps) {
        return SampleCurveFinely(evaluator, settings, state, QString::fromLatin1(expression),
                                 steps);
    }
    // The column of an x value in degrees.
    double ColumnOf(double degrees) const { return settings.OriginX + degrees / 5.0 * 7.0; }
};

int PointCount(const CurveRuns& runs) {
    int n = 0;
    for (const auto& run : runs) {
        n += static_cast<int>(run.size());
    }
    return n;
}

} // namespace

class FineCurveTest : public QObject {
    Q_OBJECT
private slots:
    void wholeColumnsAreTheSheetsRows_data();
    void wholeColumnsAreTheSheetsRows();
    void polesLeaveAGapAndTheBranchesReachTheEdges_data();
    void polesLeaveAGapAndTheBranchesReachTheEdges();
    void gapsWhereTheSheetHasThem();
    void aJumpWithinTheSheetIsJoinedAsOnTheSheet();
    void steepEverywhereStaysWithinItsBudget();
    void oneSidedRangesAsOnTheSheet();
    void stepsFollowTheResolution_data();
    void stepsFollowTheResolution();
};

void FineCurveTest::wholeColumnsAreTheSheetsRows_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("steps");
    QTest::newRow("sine, 7 per column") << "sin(x)*5" << 7;
    QTest::newRow("cubic, 13 per column") << "x^3/9" << 13;
    QTest::newRow("line, 1 per column") << "x/3-1" << 1;
}

// The fine curve passes through the very rows the sheet computed at its columns: the same
// evaluator, the same x for a column, the same row for a value.
void FineCurveTest::wholeColumnsAreTheSheetsRows() {
    QFETCH(QString, expression);
    QFETCH(int, steps);
    Sheet s;
    SampleFunction(s.evaluator, s.settings, s.state, 1, expression);
    const CurveRuns runs = SampleCurveFinely(s.evaluator, s.settings, s.state, expression, steps);
    QCOMPARE(runs.size(), std::size_t{1});
    const std::vector<QPointF>& run = runs.front();
    QCOMPARE(run.front().x(), 0.0);
    QCOMPARE(run.back().x(), 399.0);
    int compared = 0;
    for (std::size_t i = 0; i < run.size(); ++i) {
        const double column = run[i].x();
        if (column != std::floor(column)) {
            continue; // between the sheet's columns
        }
        const int sheetColumn = static_cast<int>(std::lround(column));
        QCOMPARE(static_cast<float>(run[i].y()), s.state.PlotValues.Get(1, sheetColumn));
        ++compared;
    }
    QCOMPARE(compared, 400);
    // Between two sheet columns lie steps - 1 more points.
    QVERIFY(static_cast<int>(run.size()) >= 399 * steps + 1);
}

void FineCurveTest::polesLeaveAGapAndTheBranchesReachTheEdges_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("pole"); // in degrees
    QTest::addColumn<double>("ySmallValue");
    QTest::newRow("tan at 90 degrees") << "tan(x)" << 90.0 << 0.5;
    QTest::newRow("tan at -90 degrees") << "tan(x)" << -90.0 << 0.5;
    QTest::newRow("1/x at 0") << "1/x" << 0.0 << 0.5;
    QTest::newRow("pole between points") << "1/(x-0.0123)" << 0.0123 * 180.0 / M_PI << 0.5;
    // So tall a range that the points next to the pole both lie on the sheet, on either side.
    QTest::newRow("tan, next points on the sheet") << "tan(x)" << 90.0 << 1000.0;
    QTest::newRow("1/x, next points on the sheet")
        << "1/(x-0.0123)" << 0.0123 * 180.0 / M_PI << 1000.0;
}

// No piece joins the two branches of a pole, whatever the sampling found next to it; each branch
// is drawn until it has left the sheet.
void FineCurveTest::polesLeaveAGapAndTheBranchesReachTheEdges() {
    QFETCH(QString, expression);
    QFETCH(double, pole);
    QFETCH(double, ySmallValue);
    Sheet s;
    s.state.YSmallValue = ySmallValue;
    const double column = s.ColumnOf(pole);
    for (int steps : {1, 7, 13}) {
        const CurveRuns runs =
            SampleCurveFinely(s.evaluator, s.settings, s.state, expression, steps);
        const std::vector<QPointF>* before = nullptr;
        const std::vector<QPointF>* after = nullptr;
        for (const auto& run : runs) {
            for (std::size_t i = 1; i < run.size(); ++i) {
                QVERIFY2(!(run[i - 1].x() < column && run[i].x() > column),
                         qPrintable(
                             QStringLiteral("a stroke across the pole, %1 per column").arg(steps)));
            }
            if (run.back().x() <= column && (!before || run.back().x() > before->back().x())) {
                before = &run;
            }
            if (run.front().x() >= column && (!after || run.front().x() < after->front().x())) {
                after = &run;
            }
        }
        QVERIFY(before && after);
        const auto offSheet = [](double row) { return row < 0.0 || row >= 300.0; };
        QVERIFY(offSheet(before->back().y()));
        QVERIFY(offSheet(after->front().y()));
        // The last piece before the gap starts on the sheet: the branch reaches the edge.
        QVERIFY(before->size() >= 2 && !offSheet((*before)[before->size() - 2].y()));
        QVERIFY(after->size() >= 2 && !offSheet((*after)[1].y()));
    }
}

void FineCurveTest::gapsWhereTheSheetHasThem() {
    Sheet s;
    // No value left of the origin: nothing drawn there.
    CurveRuns runs = s.Fine("sqr(x)", 7);
    QCOMPARE(runs.size(), std::size_t{1});
    QVERIFY(runs.front().front().x() >= s.settings.OriginX);
    QVERIFY(runs.front().front().x() < s.settings.OriginX + 1.0 / 7.0 + 1e-9);
    // Wholly above the sheet, wholly below it: nothing.
    QVERIFY(s.Fine("x^2+1000", 7).empty());
    QVERIFY(s.Fine("-1000-x", 7).empty());
    // A broken expression: nothing, and no crash.
    QVERIFY(s.Fine("log(-1)", 7).empty());
    // A curve leaving through the top is drawn up to the edge and stops once it is off.
    runs = s.Fine("x*x*20", 7);
    QCOMPARE(runs.size(), std::size_t{1});
    QVERIFY(runs.front().front().y() < 0.0);
    QVERIFY(runs.front().back().y() < 0.0);
}

// A step is no pole: where both ends lie on the sheet the sheet joins them, and so does the
// export.
void FineCurveTest::aJumpWithinTheSheetIsJoinedAsOnTheSheet() {
    Sheet s;
    const CurveRuns runs = s.Fine("int(x)*3", 7); // x in radians: steps of 3 at 57.3° apart
    QCOMPARE(runs.size(), std::size_t{1});
    // The joining stroke is vertical to within the deepest look: its two points share a column
    // up to far less than a device pixel.
    const std::vector<QPointF>& run = runs.front();
    bool joined = false;
    for (std::size_t i = 1; i < run.size(); ++i) {
        if (std::fabs(run[i].y() - run[i - 1].y()) > 20.0) {
            joined = true;
            QVERIFY(run[i].x() - run[i - 1].x() < 1e-3);
        }
    }
    QVERIFY(joined);
}

void FineCurveTest::steepEverywhereStaysWithinItsBudget() {
    Sheet s;
    s.state.YSmallValue = 0.001; // every wiggle is hundreds of pixels tall
    const CurveRuns runs = s.Fine("sin(1/x)", 7);
    QVERIFY(PointCount(runs) > 0);
    // The plain sampling has 2800 points; the closer looks may add eight times as many.
    QVERIFY(PointCount(runs) < 9 * 2800 + 4096 + 2800);
}

void FineCurveTest::oneSidedRangesAsOnTheSheet() {
    Sheet s;
    s.settings.XSide = 1;
    CurveRuns runs = s.Fine("x/30", 4);
    // From the origin, by whole columns, as far as the sheet's walk goes.
    QCOMPARE(runs.front().front().x(), 181.25);
    QCOMPARE(runs.back().back().x(), 398.25);
    s.settings.XSide = -1;
    runs = s.Fine("x/30", 4);
    QCOMPARE(runs.front().front().x(), 0.0);
    QCOMPARE(runs.back().back().x(), 181.0);
}

void FineCurveTest::stepsFollowTheResolution_data() {
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("steps");
    QTest::newRow("the screen's 96") << 96.0 << 1;
    QTest::newRow("below the screen") << 50.0 << 1;
    QTest::newRow("300: 3.125 rounded up") << 300.0 << 4;
    QTest::newRow("600: 6.25 rounded up") << 600.0 << 7;
    QTest::newRow("1200: 12.5 rounded up") << 1200.0 << 13;
}

void FineCurveTest::stepsFollowTheResolution() {
    QFETCH(double, dpi);
    QFETCH(int, steps);
    QCOMPARE(StepsPerColumnFor(dpi), steps);
}

QTEST_GUILESS_MAIN(FineCurveTest)
#include "tst_finecurve.moc"

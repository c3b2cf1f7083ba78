#include "graph/mapping.h"
#include "program/calculus.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/redraw.h"
#include "program/sheetops.h"
#include "tests/support/pixels.h"

#include <QtTest/QtTest>
#include <cmath>

namespace {

constexpr ColorRef Red = Rgb(230, 0, 0);
constexpr ColorRef Blue = Rgb(0, 0, 230);

// A 400 × 300 sheet whose origin sits off the middle, ten pixels to one x and forty to one y.
struct Sheet {
    CurvaneState state;
    explicit Sheet(const QString& unit = PlainUnitName, double smallValue = 0.5) {
        StartGraph(state, 400, 300);
        state.Settings.OriginX = 150.5f;
        state.Settings.OriginY = 160.0f;
        state.Settings.XSmallSpacing = 5;
        state.Graph.XSmallValue = smallValue;
        state.Graph.YSmallValue = 0.1;
        state.Graph.XUnitName = unit;
        RedrawSettings(state);
    }
    void Draw(int slot, const char* expression, ColorRef colour) {
        AddRow(state, slot);
        ExpressionChanged(state, slot, QString::fromUtf8(expression));
        SlotOf(state.Slots, slot).Color = colour;
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
    QString NewestLabel() const {
        return state.AddMoji.UpperBound() > 0 ? state.AddMoji.At(state.AddMoji.UpperBound()).Text()
                                              : QString();
    }
    AxisMapping Mapping() const { return {state.Settings, state.Graph}; }
};

} // namespace

// The calculus window's procedures: what they draw into the sheet's record and picture, the
// labels they add and what they refuse.
class CalculusCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void tangentEquations_data();
    void tangentEquations();
    void tangentTouchesTheCurveAtItsPoint();
    void clickTakesTheCurveNearestInItsColumn();
    void areas_data();
    void areas();
    void derivativeCurveIsTheSlopeDotted();
    void itemsStayThroughRedrawsThatKeepTheCurves();
};

void CalculusCommandsTest::tangentEquations_data() {
    QTest::addColumn<double>("slope");
    QTest::addColumn<double>("intercept");
    QTest::addColumn<QString>("text");
    QTest::newRow("both") << 1.5 << -0.75 << "y = 1.5x − 0.75";
    QTest::newRow("flat") << 0.0 << 2.0 << "y = 2";
    QTest::newRow("through 0") << 1.0 << 0.0 << "y = x";
    QTest::newRow("falling") << -1.0 << 3.0 << "y = −x + 3";
    QTest::newRow("nothing") << 0.0 << -0.0 << "y = 0";
    QTest::newRow("4 digits") << -2.000049 << 0.000123456 << "y = −2x + 0.0001235";
}

void CalculusCommandsTest::tangentEquations() {
    QFETCH(double, slope);
    QFETCH(double, intercept);
    QFETCH(QString, text);
    QCOMPARE(TangentEquationText(slope, intercept), text);
}

void CalculusCommandsTest::tangentTouchesTheCurveAtItsPoint() {
    Sheet s;
    s.Draw(1, "sin(x)+x/2", Red);
    s.Draw(2, "abs(x-1)", Blue);
    const int labels = s.state.AddMoji.UpperBound();
    const CalculusOutcome outcome = DrawTangent(s.state, s.state.scriptEvalFn, 1, 0.0);
    QVERIFY(outcome.drawn);
    QCOMPARE(s.NewestLabel(), QStringLiteral("y = 1.5x"));
    QCOMPARE(s.state.Record.tangents.size(), std::size_t(1));
    const TangentLine& tangent = s.state.Record.tangents.front();
    QVERIFY(std::fabs(tangent.slope - 1.5) < 1e-9);
    QCOMPARE(tangent.point, QPointF(150.5, 160.0));
    // Red all along the line across the sheet: 1.5 y per x is 6 rows per column.
    for (const int dx : {-23, -7, 12, 25}) {
        const double row = 160.0 - 6 * dx;
        QCOMPARE(FromQColor(s.state.Sheet.Image().pixelColor(150 + dx, static_cast<int>(row))),
                 Red);
    }
    QCOMPARE(CountPixels(s.state.Sheet.Image(), Red, QRect(148, 158, 5, 5)), 21); // the dot
    const QString slopeLine =
        outcome.details.section(QStringLiteral("傾き = "), 1).section('\n', 0, 0);
    QVERIFY(std::fabs(slopeLine.toDouble() - 1.5) < 1e-9); // the slope with all its digits

    // A corner has no tangent: nothing is drawn or added, and the reason is given.
    const CalculusOutcome corner = DrawTangent(s.state, s.state.scriptEvalFn, 2, 1.0);
    QVERIFY(!corner.drawn);
    QCOMPARE(corner.refusal,
             QStringLiteral("x = 1 で F2 の接線を引けません（左右の傾きが一致しません）。"));
    QCOMPARE(s.state.Record.tangents.size(), std::size_t(1));
    QCOMPARE(s.state.AddMoji.UpperBound(), labels + 1);
    QCOMPARE(DrawTangent(s.state, s.state.scriptEvalFn, 3, 0.0).refusal,
             QStringLiteral("F3 に式がありません。"));
}

void CalculusCommandsTest::clickTakesTheCurveNearestInItsColumn() {
    Sheet s;
    s.Draw(1, "x", Red);
    s.Draw(2, "6-x", Blue);
    s.Draw(3, "sqr(x)", Rgb(0, 128, 0));
    const AxisMapping mapping = s.Mapping();
    // At x = 2 the rows are 80 (F1), -80 (F2) and 103.4 (F3): a click at row 30 takes F2.
    const double column = mapping.ColumnOfAxisX(2.0);
    CalculusOutcome outcome = DrawTangentAtPoint(s.state, s.state.scriptEvalFn, {column, 30.0});
    QVERIFY(outcome.drawn);
    QCOMPARE(outcome.slot, 2);
    QCOMPARE(outcome.axisX, 2.0);
    QCOMPARE(s.state.Record.tangents.back().colour, Blue);
    QCOMPARE(s.NewestLabel(), QStringLiteral("y = −x + 6"));
    // Left of the origin only F1 and F2 have rows; at row 250 F1 is nearer.
    outcome = DrawTangentAtPoint(s.state, s.state.scriptEvalFn, {100.5, 250.0});
    QCOMPARE(outcome.slot, 1);
    // A column without any curve: nothing.
    RemoveRow(s.state, 2);
    DrawButtonClicked(s.state, s.state.scriptEvalFn, 1); // erase F1
    outcome = DrawTangentAtPoint(s.state, s.state.scriptEvalFn, {100.5, 250.0});
    QVERIFY(!outcome.drawn);
    QCOMPARE(outcome.refusal, QStringLiteral("クリックした列には曲線がありません。"));
}

void CalculusCommandsTest::areas_data() {
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QString>("label");   // empty for a refusal
    QTest::addColumn<QString>("refusal"); // empty when drawn
    const QString plain = PlainUnitName;
    QTest::newRow("sin 0..π") << plain << "sin(x)"
                              << "" << 0.0 << 3.14159265358979 << "∫[0, 3.142] F1 dx = 2"
                              << "";
    QTest::newRow("π unit") << PiUnitName << "sin(x)"
                            << "" << 0.0 << 1.0 << "∫[0, π] F1 dx = 2"
                            << "";
    QTest::newRow("degrees, backwards") << DegreeUnitName << "sin(x)"
                                        << "" << 180.0 << 0.0 << "∫[180°, 0°] F1 dx = −2"
                                        << "";
    QTest::newRow("between") << plain << "x^2/4"
                             << "x" << 0.0 << 4.0 << "面積 = 2.667"
                             << "";
    QTest::newRow("between, crossing") << plain << "x"
                                       << "-x" << -1.0 << 2.0 << "面積 = 5"
                                       << "";
    QTest::newRow("over a pole") << plain << "1/x"
                                 << "" << -1.0 << 1.0 << ""
                                 << "この区間では積分できません（x = 0 で値がありません）";
    QTest::newRow("up to a pole") << plain << "1/x"
                                  << "" << 0.0 << 1.0 << ""
                                  << "この区間では積分できません（x = 0 の近くで収束しません）";
    QTest::newRow("one function twice") << plain << "x"
                                        << "x" << 0.0 << 1.0 << ""
                                        << "面積を挟む 2 つの関数には異なるものを選んでください。";
}

void CalculusCommandsTest::areas() {
    QFETCH(QString, unit);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QString, label);
    QFETCH(QString, refusal);
    Sheet s(unit, unit == DegreeUnitName ? 15.0 : unit == PiUnitName ? 0.125 : 0.5);
    s.Draw(1, first.toUtf8().constData(), Red);
    if (!second.isEmpty()) {
        s.Draw(2, second.toUtf8().constData(), Blue);
    }
    const QImage before = s.state.Sheet.Image();
    const int labels = s.state.AddMoji.UpperBound();
    const int other = second.isEmpty() ? 0 : (second == first ? 1 : 2);
    const CalculusOutcome outcome = DrawArea(s.state, s.state.scriptEvalFn, {1, other, from, to});
    QCOMPARE(outcome.refusal, refusal);
    if (!refusal.isEmpty()) {
        QVERIFY(!outcome.drawn);
        QVERIFY(s.state.Record.areas.empty());
        QCOMPARE(s.state.Sheet.Image(), before);
        QCOMPARE(s.state.AddMoji.UpperBound(), labels);
        return;
    }
    QVERIFY(outcome.drawn);
    QCOMPARE(s.NewestLabel(), label);
    QCOMPARE(s.state.Record.areas.size(), std::size_t(1));
    // The fill changed pixels between the range's columns only, and left the curve on top.
    const int left = static_cast<int>(s.Mapping().ColumnOfAxisX(std::min(from, to)));
    const int right = static_cast<int>(s.Mapping().ColumnOfAxisX(std::max(from, to)));
    int changed = 0;
    for (int i = 0; i < before.width() * before.height(); ++i) {
        const QPoint p(i % before.width(), i / before.width());
        if (s.state.Sheet.Image().pixel(p) != before.pixel(p)) {
            QVERIFY(p.x() >= left && p.x() <= right + 1 && FromQColor(before.pixelColor(p)) != Red);
            ++changed;
        }
    }
    QVERIFY(changed > 40);
}

void CalculusCommandsTest::derivativeCurveIsTheSlopeDotted() {
    Sheet s;
    s.Draw(1, "x^2/20-5", Red);
    const QImage before = s.state.Sheet.Image();
    const CalculusOutcome outcome = DrawDerivative(s.state, s.state.scriptEvalFn, 1);
    QVERIFY(outcome.drawn);
    const DrawnCurve& derivative = s.state.Record.curves.back();
    QCOMPARE(derivative.of, CurveOf::Slope);
    QCOMPARE(derivative.styleCode, QStringLiteral("点1"));
    QCOMPARE(derivative.colour, Red);
    // Erasing takes the curve away again.
    QVERIFY(s.state.Sheet.Image() != before);
    QVERIFY(EraseDerivative(s.state, 1).drawn);
    QCOMPARE(s.state.Sheet.Image(), before);
    QVERIFY(!EraseDerivative(s.state, 1).drawn);
    QCOMPARE(DrawDerivative(s.state, s.state.scriptEvalFn, 2).refusal,
             QStringLiteral("F2 に式がありません。"));
}

void CalculusCommandsTest::itemsStayThroughRedrawsThatKeepTheCurves() {
    Sheet s;
    s.Draw(1, "sin(x)*20", Red);
    s.Draw(2, "x", Blue);
    DrawDerivative(s.state, s.state.scriptEvalFn, 1);
    DrawTangent(s.state, s.state.scriptEvalFn, 1, 1.0);
    DrawArea(s.state, s.state.scriptEvalFn, {1, 0, -2.0, 3.0});
    const auto counts = [&] {
        int derivatives = 0;
        for (const DrawnCurve& curve : s.state.Record.curves) {
            derivatives += curve.of == CurveOf::Slope ? 1 : 0;
        }
        return QList<int>{static_cast<int>(s.state.Record.areas.size()), derivatives,
                          static_cast<int>(s.state.Record.tangents.size())};
    };
    QCOMPARE(counts(), QList<int>({1, 1, 1}));
    // Erasing F2 redraws the sheet from the curves' rows: the calculus items stay, on top of F1.
    DrawButtonClicked(s.state, s.state.scriptEvalFn, 2);
    QCOMPARE(counts(), QList<int>({1, 1, 1}));
    QCOMPARE(s.state.Record.curves.front().slot, 1);
    QCOMPARE(s.state.Record.curves.back().of, CurveOf::Slope);
    // A zoom forgets the curves, and them with it; a result computed before it is dropped.
    CalculusResult before = ComputeTangent(s.state.scriptEvalFn, s.state, 1, 2.0);
    ZoomAt(s.state, 1, 200, 150);
    QCOMPARE(counts(), QList<int>({0, 0, 0}));
    QVERIFY(!ApplyCalculus(s.state, std::move(before)).drawn);
    QVERIFY(s.state.Record.tangents.empty());
}

QTEST_MAIN(CalculusCommandsTest)
#include "tst_calculus.moc"

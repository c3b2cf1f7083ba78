#include "platform/surface.h"
#include "plot/sheetrecord.h"
#include "program/calculus.h"
#include "program/curvanestate.h"
#include "program/export.h"
#include "program/functionpanel.h"
#include "program/parametercommands.h"
#include "program/readout.h"
#include "program/stamping.h"
#include "program/tablecommands.h"

#include "tests/support/seed.h"

#include <QtTest/QtTest>

namespace {

struct Sheet {
    CurvaneState state;
    std::vector<QRect> changed; // by the last move
    Sheet() { StartGraph(state, 360, 250); }
    void Draw(int slot, const QString& expression) {
        AddRow(state, slot);
        ExpressionChanged(state, slot, expression);
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
    void Move(const char* name, double value, bool keepTraces = false) {
        QVERIFY(ParameterValueChanged(state, QString::fromLatin1(name), value));
        ParameterFrame frame = BeginParameterFrame(state, keepTraces);
        ScriptEvaluator evaluator;
        RunParameterFrame(frame, evaluator, nullptr);
        QVERIFY(FinishParameterFrame(state, frame));
        changed = frame.changed;
    }
    std::vector<float> Rows(int slot) const {
        std::vector<float> rows;
        for (int c = 0; c <= state.Graph.PlotValues.LastColumn(); ++c) {
            rows.push_back(state.Graph.PlotValues.Get(slot, c));
        }
        return rows;
    }
};

} // namespace

class ParametersTest : public QObject {
    Q_OBJECT
private slots:
    void parametersAreTheNamesWithoutAValue_data();
    void parametersAreTheNamesWithoutAValue();
    void valuesReachEveryComputation();
    void aMovedValueReplacesTheCurveOrLeavesATrace();
    void aFrameChangesOnlyWhereItsCurvesReach();
    void rangesWidenAndRefuse();
};

void ParametersTest::parametersAreTheNamesWithoutAValue_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("three") << "a*sin(b*x)+c" << QStringList{"a", "b", "c"};
    QTest::newRow("vertex form") << "a*(x-p)^2+q" << QStringList{"a", "p", "q"};
    QTest::newRow("digit in name, pi") << "pi*x+p2*k" << QStringList{"p2", "k"};
    QTest::newRow("constants and built-ins") << "vbRed*0+abs(x)+sin(x)+sqr(x)" << QStringList{};
    QTest::newRow("e") << "e^x" << QStringList{"e"};
    QTest::newRow("reserved word") << "if+1" << QStringList{};
    QTest::newRow("only x") << "x^2" << QStringList{};
}

void ParametersTest::parametersAreTheNamesWithoutAValue() {
    QFETCH(QString, expression);
    QFETCH(QStringList, names);
    QStringList found;
    for (const QString& name : ParameterNamesOf(expression)) {
        found << name;
    }
    QCOMPARE(found, names);
    // Drawn in F2 or F3, the names are the window's, at 0; gone from the text, they stay greyed.
    Sheet s;
    s.Draw(3, expression);
    QCOMPARE(static_cast<qsizetype>(s.state.Params.size()), names.size());
    ExpressionChanged(s.state, 3, QStringLiteral("x"));
    for (const Parameter& p : s.state.Params) {
        QVERIFY(!p.used);
        QCOMPARE(p.value, 0.0);
    }
}

void ParametersTest::valuesReachEveryComputation() {
    // F1 reads a = 2 where F2 has the number in its place: every computation gives the same.
    Sheet s;
    s.Draw(1, QStringLiteral("a*sin(x/7)*10-b"));
    QVERIFY(ParameterValueChanged(s.state, QStringLiteral("a"), 2));
    QVERIFY(ParameterValueChanged(s.state, QStringLiteral("b"), -1.5));
    ExpressionChanged(s.state, 1, QStringLiteral("a*sin(x/7)*10-b"));
    DrawButtonClicked(s.state, s.state.scriptEvalFn, 1);
    s.Draw(2, QStringLiteral("2*sin(x/7)*10-(-1.5)"));
    QCOMPARE(s.Rows(1), s.Rows(2));
    const std::vector<ReadoutLine> readout = ReadoutAt(s.state, QPointF(101, 40));
    QCOMPARE(readout[2].text.mid(5), readout[3].text.mid(5)); // "F1 = " and "F2 = " aside
    ValueTable table = MakeValueTable(s.state, {-3, 3, 0.5}, 13);
    ScriptEvaluator evaluator;
    QVERIFY(table.Compute(evaluator, nullptr));
    for (std::int64_t row = 0; row < table.Rows(); ++row) {
        QCOMPARE(table.RawValue(row, 0), table.RawValue(row, 1));
    }
    // The export samples each curve with the values it was drawn with, whatever they are now.
    QVERIFY(ParameterValueChanged(s.state, QStringLiteral("a"), 5));
    const std::vector<SheetCurve> curves = SampleSheetCurves(s.state, evaluator, 3);
    QCOMPARE(curves.size(), std::size_t(3)); // F1 at a = 0 first, a family with the next
    QCOMPARE(curves[1].runs, curves[2].runs);
    QVERIFY(curves[0].runs != curves[1].runs);
}

void ParametersTest::aMovedValueReplacesTheCurveOrLeavesATrace() {
    Sheet s;
    s.Draw(1, QStringLiteral("a*x/4+10"));
    s.Draw(2, QStringLiteral("x/8"));
    s.Move("a", 1);
    s.Move("a", -2);
    // Replaced: F2's curve and F1's newest, each once; the picture is the record's.
    QCOMPARE(s.state.Record.curves.size(), std::size_t(2));
    QCOMPARE(s.state.Record.curves.back().parameters, (ParameterValues{{"a", -2.0}}));
    QVERIFY(RecordPicture(s.state) == SheetPicture(s.state));
    // With traces, every value moved to stays; a curve that reads no parameter is left alone.
    s.Move("a", 0.5, true);
    s.Move("a", 3, true);
    QCOMPARE(s.state.Record.curves.size(), std::size_t(4));
    QCOMPARE(s.state.Record.curves[0].expression, QStringLiteral("x/8"));
    QVERIFY(RecordPicture(s.state) == SheetPicture(s.state));
    // A value moved back to one its rows were computed with needs nothing computed.
    QVERIFY(BeginParameterFrame(s.state, false).jobs.empty());
}

void ParametersTest::aFrameChangesOnlyWhereItsCurvesReach() {
    // Curves in every pen read a and b, over an area and among a curve and a tangent that read
    // neither. A frame takes back only the pixels the old curves may have set: the sheet must
    // still be its record's picture, and every pixel that changed lie where the frame says.
    const quint64 seed = TestSeed();
    QRandomGenerator random(seed);
    const char* const pens[] = {"実1", "実2", "実3", "点1", "点2", "点3", "鎖1", "鎖2", "鎖3"};
    Sheet s;
    s.Draw(1, QStringLiteral("a*sin(x/5)*20"));
    s.Draw(2, QStringLiteral("a*x/2-b"));
    s.Draw(3, QStringLiteral("cos(x/4)*15"));
    QVERIFY(DrawTangent(s.state, s.state.scriptEvalFn, 3, 7.5).drawn);
    QVERIFY(DrawArea(s.state, s.state.scriptEvalFn, {3, 0, -20, 15}).drawn);
    for (int i = 0; i < 80; ++i) {
        SlotOf(s.state.Slots, 1 + i % 2).StyleCode = QString::fromUtf8(pens[random.bounded(9)]);
        const QImage before = s.state.Sheet.Image().copy();
        s.Move(random.bounded(2) == 0 ? "a" : "b", (random.bounded(400) - 200) / 8.0,
               random.bounded(6) == 0);
        Surface fresh;
        RenderRecord(s.state.Record, fresh);
        const QImage& after = s.state.Sheet.Image();
        const QRegion changed = RegionOf(s.changed);
        bool within = true;
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                within = within && (before.pixel(x, y) == after.pixel(x, y) ||
                                    changed.contains(QPoint(x, y)));
            }
        }
        if (!within || fresh.Image() != after) {
            QFAIL(qPrintable(QStringLiteral("seed %1 (CURVANE_SEED), frame %2").arg(seed).arg(i)));
        }
    }
}

void ParametersTest::rangesWidenAndRefuse() {
    Sheet s;
    s.Draw(1, QStringLiteral("k*x"));
    QVERIFY(ParameterValueChanged(s.state, QStringLiteral("k"), 25));
    const Parameter& k = s.state.Params.front();
    QCOMPARE(k.maximum, 25.0);
    QVERIFY(ParameterValueChanged(s.state, QStringLiteral("k"), -40));
    QCOMPARE(k.minimum, -40.0);
    QVERIFY(!ParameterValueChanged(s.state, QStringLiteral("k"), qQNaN()));
    QVERIFY(!ParameterValueChanged(s.state, QStringLiteral("nope"), 1));
    QVERIFY(!ParameterRangeChanged(s.state, QStringLiteral("k"), 5, 1, 0.1)); // min above max
    QVERIFY(!ParameterRangeChanged(s.state, QStringLiteral("k"), 0, 1, 0));   // no step
    QVERIFY(ParameterRangeChanged(s.state, QStringLiteral("k"), 0, 1, 0.25));
    QCOMPARE(k.value, 0.0); // kept within the new range
    QCOMPARE(k.step, 0.25);
    // A slider's positions are whole steps from the minimum, the last one the maximum even when
    // the range is no whole number of steps; each position's value gives the position back.
    for (const Parameter& range : {Parameter{QStringLiteral("p"), 0, -10, 10, 0.1},
                                   Parameter{QStringLiteral("q"), 0, -0.3, 1.15, 0.25},
                                   Parameter{QStringLiteral("r"), 0, 2.5, 2.5, 0.5}}) {
        Parameter at = range;
        const int steps = SliderSteps(range);
        QCOMPARE(steps, static_cast<int>(std::round((range.maximum - range.minimum) / range.step)));
        QCOMPARE(SliderValue(range, steps), range.maximum);
        QCOMPARE(SliderValue(range, 0), range.minimum);
        for (int position = 0; position <= steps; ++position) {
            at.value = SliderValue(range, position);
            QVERIFY(at.value >= range.minimum && at.value <= range.maximum);
            QCOMPARE(SliderPosition(at), position);
        }
    }
    QCOMPARE(SliderValue(Parameter{QStringLiteral("p"), 0, -10, 10, 0.1}, 123), 2.3);
    // Each value of an animation is a step on, and it turns at the ends.
    int direction = 1;
    Parameter p{QStringLiteral("t"), 0.9, 0, 1, 0.25};
    QCOMPARE(AnimationStep(p, direction), 0.85);
    QCOMPARE(direction, -1);
    p.value = 0.1;
    QCOMPARE(AnimationStep(p, direction), 0.15);
    QCOMPARE(direction, 1);
}

QTEST_MAIN(ParametersTest)
#include "tst_parameters.moc"

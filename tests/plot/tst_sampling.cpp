#include "graph/mapping.h"
#include "platform/progress.h"
#include "platform/surface.h"
#include "plot/evaluate.h"
#include "plot/sampling.h"
#include "script/scriptevaluator.h"

#include <QtTest/QtTest>
#include <atomic>
#include <cmath>

namespace {

// The default 400 × 300 sheet: origin (200, 150), 4 px and 1 unit per small step.
struct Sampler {
    Surface surface{400, 300};
    GraphSettings settings;
    GraphState state;
    ScriptEvaluator evaluator;

    Sampler() { InitGraphState(settings, state, surface); }
    void Sample(const QString& expression, int slot = 1) {
        SampleFunction(evaluator, settings, state, slot, expression);
    }
    float Row(int column, int slot = 1) const { return state.PlotValues.Get(slot, column); }
    bool Marked(int column) const { return Row(column) == state.NoValueMark(); }
};

// Progress that asks to stop once `stopAfter` columns are done (never when negative), and
// remembers every report. With a stop flag the stop comes inside the next column's evaluation
// instead, as a cancel on another thread would: that report still says go on.
class StoppingProgress : public Progress {
public:
    explicit StoppingProgress(int stopAfter, std::atomic<bool>* flag = nullptr)
        : m_stopAfter(stopAfter), m_flag(flag) {}
    bool Advance(std::int64_t done, std::int64_t total) override {
        reports.append({done, total});
        if (m_flag != nullptr) {
            const bool before = m_flag->exchange(m_flag->load() || done == m_stopAfter);
            return !before;
        }
        return m_stopAfter < 0 || done < m_stopAfter;
    }
    bool StopAsked() const override { return m_flag != nullptr && m_flag->load(); }
    QList<std::pair<std::int64_t, std::int64_t>> reports;

private:
    int m_stopAfter;
    std::atomic<bool>* m_flag;
};

} // namespace

class SamplingTest : public QObject {
    Q_OBJECT
private slots:
    void columnsStandForTheirValues();
    void degreeColumnsFeedRadians();
    void piUnitOnY();
    void poleMarksOnlyItsColumn();
    void comparisonsGiveMinusOneAndZero();
    void brokenExpressionMarksEveryColumn();
    void hugeValuesClamp();
    void oneSidedRangeLeavesTheOtherSide();
    void zeroSmallValueOnYSendsValuesOffTheSheet();
    void samplingMatchesOneEvaluationPerColumn_data();
    void samplingMatchesOneEvaluationPerColumn();
    void cancelledSamplingMarksTheRest_data();
    void cancelledSamplingMarksTheRest();
    void progressThatGoesOnChangesNothing_data();
    void progressThatGoesOnChangesNothing();
    void chrCount_data();
    void chrCount();
    void bracketCheck_data();
    void bracketCheck();
};

void SamplingTest::columnsStandForTheirValues() {
    Sampler s;
    s.Sample(QStringLiteral("x"));
    QCOMPARE(s.Row(200), 150.0f); // x = 0 at the origin
    QCOMPARE(s.Row(204), 146.0f); // x = 1 four pixels to the right
    QCOMPARE(s.Row(0), 350.0f);   // x = -50
    QCOMPARE(s.Row(400), -50.0f); // the range runs one column past the last pixel
}

void SamplingTest::degreeColumnsFeedRadians() {
    Sampler s;
    s.state.XUnitName = QStringLiteral("deg");
    s.state.XSmallValue = 15;
    s.Sample(QStringLiteral("sin(x)"));
    QCOMPARE(s.state.XUnitName, QStringLiteral("deg"));
    QVERIFY(std::fabs(s.Row(224) - 146.0f) < 1e-4f); // 90 degrees: sin is 1
}

void SamplingTest::piUnitOnY() {
    Sampler s;
    s.state.YUnitName = QStringLiteral("π");
    s.Sample(QStringLiteral("pi"));
    QVERIFY(std::fabs(s.Row(17) - 146.0f) < 1e-4f); // one small step above the origin
}

void SamplingTest::poleMarksOnlyItsColumn() {
    Sampler s;
    s.Sample(QStringLiteral("1/x"));
    QVERIFY(s.Marked(200));
    QVERIFY(!s.Marked(199));
    QVERIFY(!s.Marked(201));
    QCOMPARE(s.Row(204), 146.0f);
}

void SamplingTest::comparisonsGiveMinusOneAndZero() {
    Sampler s;
    s.Sample(QStringLiteral("x>0"));
    QCOMPARE(s.Row(260), 154.0f); // true is -1
    QCOMPARE(s.Row(200), 150.0f);
    QCOMPARE(s.Row(100), 150.0f);
}

void SamplingTest::brokenExpressionMarksEveryColumn() {
    Sampler s;
    s.Sample(QStringLiteral("sin("));
    for (int c = 0; c <= 400; ++c) {
        QVERIFY(s.Marked(c));
    }
}

void SamplingTest::hugeValuesClamp() {
    Sampler s;
    s.Sample(QStringLiteral("10^100"), 1);
    s.Sample(QStringLiteral("-10^100"), 2);
    QCOMPARE(s.Row(50, 1), -1500.0f); // far above the sheet
    QCOMPARE(s.Row(50, 2), 1500.0f);
}

void SamplingTest::oneSidedRangeLeavesTheOtherSide() {
    Sampler s;
    for (int c = 0; c <= 400; ++c) {
        s.state.PlotValues.Set(1, c, 7.0f);
    }
    s.settings.XSide = 1;
    s.Sample(QStringLiteral("x"));
    QCOMPARE(s.Row(199), 7.0f);
    QCOMPARE(s.Row(200), 150.0f);
    QCOMPARE(s.Row(400), -50.0f);

    s.settings.XSide = -1;
    s.settings.OriginX = 100.5f; // fractional: columns 0.5, 1.5, ... land half to even
    s.Sample(QStringLiteral("0"), 2);
    QCOMPARE(s.Row(0, 2), 150.0f);
    QCOMPARE(s.Row(100, 2), 150.0f);
    QCOMPARE(s.Row(101, 2), 0.0f); // beyond the origin: untouched
}

void SamplingTest::zeroSmallValueOnYSendsValuesOffTheSheet() {
    Sampler s;
    s.state.XSmallValue = 2.5;
    s.state.YSmallValue = 0;
    s.state.XOriginValue = -3;
    s.Sample(QStringLiteral("x"));
    // A small-step value of 0 on Y: positive values above, zero at row 0, negative below.
    QCOMPARE(s.Row(204), 1500.0f);  // x = -0.5
    QCOMPARE(s.Row(212), -1500.0f); // x = 4.5
}

void SamplingTest::samplingMatchesOneEvaluationPerColumn_data() {
    QTest::addColumn<QString>("expression");
    QTest::newRow("sine") << "sin(x)";
    QTest::newRow("rational") << "x^3/(x-2.5)";
    QTest::newRow("word operators") << "(x)mod(3)+(x>2)";
    QTest::newRow("text result") << "hex(x)";
}

void SamplingTest::samplingMatchesOneEvaluationPerColumn() {
    QFETCH(QString, expression);
    Sampler s;
    s.state.XSmallValue = 0.37;
    s.Sample(expression);
    ScriptEvaluator reference;
    for (int c = 0; c <= 400; ++c) {
        const std::optional<double> x = PixelToValueX(s.settings, s.state, float(c));
        const std::optional<double> y =
            EvaluateExpression(reference, Pi, *x, expression.toStdString());
        const float row = y ? ValueToPixelY(s.settings, s.state, *y) : s.state.NoValueMark();
        QCOMPARE(s.Row(c), row);
    }
}

void SamplingTest::cancelledSamplingMarksTheRest_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("stopAfter");
    QTest::addColumn<int>("firstColumn"); // the range's first column
    QTest::addColumn<int>("stoppedAt");   // the first column left without a value
    QTest::addColumn<bool>("inside");     // the stop comes inside an evaluation
    QTest::newRow("whole width, after 57 columns") << 0 << 57 << 0 << 57 << false;
    QTest::newRow("whole width, after the first") << 0 << 1 << 0 << 1 << false;
    QTest::newRow("right of the origin, after 10") << 1 << 10 << 200 << 210 << false;
    QTest::newRow("left of the origin, after 150") << -1 << 150 << 0 << 150 << false;
    QTest::newRow("inside the 58th column's evaluation") << 0 << 57 << 0 << 57 << true;
    QTest::newRow("inside an evaluation right of the origin") << 1 << 10 << 200 << 210 << true;
}

void SamplingTest::cancelledSamplingMarksTheRest() {
    QFETCH(int, side);
    QFETCH(int, stopAfter);
    QFETCH(int, firstColumn);
    QFETCH(int, stoppedAt);
    QFETCH(bool, inside);
    Sampler s;
    for (int c = 0; c <= 400; ++c) {
        s.state.PlotValues.Set(1, c, 7.0f); // what an earlier computation left
    }
    s.settings.XSide = static_cast<std::int16_t>(side);
    std::atomic<bool> stop{false};
    s.evaluator.SetStopFlag(&stop);
    StoppingProgress progress(stopAfter, inside ? &stop : nullptr);
    // The same values, from an expression that works on text and so sees the stop flag.
    const SampleReport report = SampleFunction(
        s.evaluator, s.settings, s.state, 1, QStringLiteral("x/2+len(space(1+x*0))*0"), &progress);
    const int lastColumn = side == -1 ? 200 : 400;
    QVERIFY(report.cancelled);
    QCOMPARE(report.stoppedAtColumn, stoppedAt);
    QCOMPARE(report.columns, lastColumn - firstColumn + 1);
    QCOMPARE(report.withValue, stopAfter);
    // The stopped evaluation is no complaint about the expression.
    QCOMPARE(report.firstError.code, script::ErrorCode::None);
    // Computed up to the stop: x/2 is 0 at the origin and rises a row every second column.
    for (int c = firstColumn; c < stoppedAt; ++c) {
        QCOMPARE(s.Row(c), 150.0f - (c - 200) / 2.0f);
    }
    // The rest of the range has no value, not the stale one.
    for (int c = stoppedAt; c <= lastColumn; ++c) {
        QVERIFY(s.Marked(c));
    }
    // Outside the range nothing changed.
    for (int c = 0; c <= 400; ++c) {
        if (c < firstColumn || c > lastColumn) {
            QCOMPARE(s.Row(c), 7.0f);
        }
    }
    // Told after each column how far it got, of the whole range; asked nothing after the stop.
    QCOMPARE(progress.reports.size(), stopAfter);
    QCOMPARE(progress.reports.last(),
             std::make_pair(std::int64_t(stopAfter), std::int64_t(report.columns)));
}

void SamplingTest::progressThatGoesOnChangesNothing_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("side");
    QTest::addColumn<float>("originX");
    QTest::newRow("sine, whole width") << "sin(x)*20" << 0 << 200.0f;
    QTest::newRow("pole, fractional origin") << "1/x" << 0 << 123.25f;
    QTest::newRow("one-sided, fractional origin") << "x^2/9" << -1 << 100.5f;
    QTest::newRow("syntax error") << "sin(" << 1 << 37.5f;
}

void SamplingTest::progressThatGoesOnChangesNothing() {
    QFETCH(QString, expression);
    QFETCH(int, side);
    QFETCH(float, originX);
    Sampler plain;
    Sampler reported;
    for (Sampler* s : {&plain, &reported}) {
        s->settings.XSide = static_cast<std::int16_t>(side);
        s->settings.OriginX = originX;
        s->state.XSmallValue = 0.37;
    }
    const SampleReport without =
        SampleFunction(plain.evaluator, plain.settings, plain.state, 2, expression);
    StoppingProgress progress(-1);
    const SampleReport with = SampleFunction(reported.evaluator, reported.settings, reported.state,
                                             2, expression, &progress);
    for (int c = 0; c <= 400; ++c) {
        QCOMPARE(reported.Row(c, 2), plain.Row(c, 2));
    }
    QCOMPARE(with.columns, without.columns);
    QCOMPARE(with.withValue, without.withValue);
    QCOMPARE(with.firstError.code, without.firstError.code);
    QCOMPARE(with.firstError.description, without.firstError.description);
    QVERIFY(!with.cancelled);
    QCOMPARE(with.stoppedAtColumn, -1);
    // Every column reported, the last report being the whole.
    QCOMPARE(progress.reports.size(), with.columns);
    QCOMPARE(progress.reports.last(),
             std::make_pair(std::int64_t(with.columns), std::int64_t(with.columns)));
}

void SamplingTest::chrCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("count");
    QTest::newRow("empty text") << ""
                                << "(" << 0;
    QTest::newRow("two openings") << "((x)"
                                  << "(" << 2;
    QTest::newRow("none") << "x+1"
                          << ")" << 0;
    QTest::newRow("overlapping") << "aaaa"
                                 << "aa" << 3;
    QTest::newRow("beyond 16 bits") << QString(40000, QLatin1Char('(')) << "(" << 40000;
}

void SamplingTest::chrCount() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(int, count);
    QCOMPARE(ChrCount(text, pattern), count);
}

void SamplingTest::bracketCheck_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");
    QTest::newRow("balanced") << "(x)" << true;
    QTest::newRow("closing first still counts") << ")x(" << true;
    QTest::newRow("one closing too many") << "(x))" << false;
    QTest::newRow("no brackets") << "x" << true;
}

void SamplingTest::bracketCheck() {
    QFETCH(QString, text);
    QFETCH(bool, passes);
    QCOMPARE(BracketsMatch(text), passes);
}

QTEST_MAIN(SamplingTest)
#include "tst_sampling.moc"

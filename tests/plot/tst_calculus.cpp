#include "platform/surface.h"
#include "plot/calculus.h"
#include "plot/evaluate.h"
#include "plot/sampling.h"
#include "script/number_text.h"
#include "script/scriptevaluator.h"

#include <QtTest/QtTest>
#include <cmath>
#include <numbers>

Q_DECLARE_METATYPE(SlopeProblem)
Q_DECLARE_METATYPE(IntegralProblem)

namespace {

// ∫₀¹ x^x dx = Σ (−1)^(n+1) n^(−n), n ≥ 1.
constexpr double SophomoresDream = 0.78343051071213440705926438652697546940768199014;

} // namespace

// Slopes and integrals of expressions as the sheet evaluates them, against values known in closed
// form; and the points where neither exists.
class CalculusTest : public QObject {
    Q_OBJECT
private slots:
    void slopes_data();
    void slopes();
    void slopesOfSmoothFunctionsEverywhere();
    void integrals_data();
    void integrals();
    void derivativeCurveFollowsTheSlope();
};

void CalculusTest::slopes_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("x");
    QTest::addColumn<SlopeProblem>("problem");
    QTest::addColumn<double>("slope");
    const auto ok = SlopeProblem::None;
    QTest::newRow("sin at 0") << "sin(x)" << 0.0 << ok << 1.0;
    QTest::newRow("x^3 at 2") << "x^3" << 2.0 << ok << 12.0;
    QTest::newRow("exp at 1") << "exp(x)" << 1.0 << ok << std::numbers::e;
    QTest::newRow("steep tan at 1.5") << "tan(x)" << 1.5 << ok << 1.0 / std::pow(std::cos(1.5), 2);
    QTest::newRow("log next to its edge") << "log(x)" << 0.01 << ok << 100.0;
    QTest::newRow("x*abs(x) at 0 is smooth") << "x*abs(x)" << 0.0 << ok << 0.0;
    QTest::newRow("cos at 0 is flat") << "cos(x)*1000" << 0.0 << ok << 0.0;
    QTest::newRow("far out") << "sin(x/1000)" << 3000.0 << ok << std::cos(3.0) / 1000;
    QTest::newRow("abs at 0: corner") << "abs(x)" << 0.0 << SlopeProblem::Corner << 0.0;
    QTest::newRow("int at a jump") << "int(x)" << 3.0 << SlopeProblem::Corner << 0.0;
    QTest::newRow("int between jumps") << "int(x)" << 2.5 << ok << 0.0;
    QTest::newRow("1/x at its pole") << "1/x" << 0.0 << SlopeProblem::NoValue << 0.0;
    QTest::newRow("sqr at its edge") << "sqr(x)" << 0.0 << SlopeProblem::NoValueNearby << 0.0;
    QTest::newRow("vertical tangent")
        << "sgn(x)*abs(x)^(1/3)" << 0.0 << SlopeProblem::NotSettled << 0.0;
}

void CalculusTest::slopes() {
    QFETCH(QString, expression);
    QFETCH(double, x);
    QFETCH(SlopeProblem, problem);
    QFETCH(double, slope);
    ScriptEvaluator evaluator;
    PreparedExpression prepared(evaluator, expression.toStdString());
    // The first step of the default sheet: two columns of a quarter each.
    const Slope found = SlopeAt(ExpressionFunction(prepared), x, 0.5);
    QCOMPARE(found.problem, problem);
    if (problem == SlopeProblem::None) {
        const double tolerance = 1e-9 * std::max(std::fabs(slope), 1.0);
        QVERIFY2(
            std::fabs(found.value - slope) <= tolerance,
            qPrintable(QStringLiteral("%1 against %2").arg(found.value, 0, 'g', 17).arg(slope)));
        QVERIFY(found.error <= tolerance);
    }
}

void CalculusTest::slopesOfSmoothFunctionsEverywhere() {
    // Each function beside its derivative worked out by hand, at random points of a wide range
    // and with the first steps of sheets from fine to coarse.
    const QStringList pairs = {
        "sin(x)*10",
        "cos(x)*10",
        "x^2/30-20",
        "x/15",
        "exp(-x^2/8)*cos(3*x)",
        "exp(-x^2/8)*(-x/4*cos(3*x)-3*sin(3*x))",
        "atn(x)*x",
        "atn(x)+x/(1+x^2)",
        "sqr(x^2+1)",
        "x/sqr(x^2+1)",
        "log(1+x^2)",
        "2*x/(1+x^2)",
        "x^5-3*x^3",
        "5*x^4-9*x^2",
        "1/x",
        "-1/x^2",
        "exp(x/3)",
        "exp(x/3)/3",
        "sin(x^2)",
        "2*x*cos(x^2)",
    };
    ScriptEvaluator evaluator;
    QRandomGenerator random(20260608);
    for (qsizetype i = 0; i < pairs.size(); i += 2) {
        PreparedExpression f(evaluator, pairs[i].toStdString());
        PreparedExpression derivative(evaluator, pairs[i + 1].toStdString());
        for (int k = 0; k < 60; ++k) {
            const double x = random.bounded(40.0) - 20.0;
            const double step = std::ldexp(1.0, static_cast<int>(random.bounded(8)) - 5);
            const double expected = *derivative.Evaluate(Pi, RoundToGeneral(x));
            const Slope found = SlopeAt(ExpressionFunction(f), x, step);
            QVERIFY2(found.problem == SlopeProblem::None &&
                         std::fabs(found.value - expected) <=
                             1e-9 * std::max(std::fabs(expected), 1.0),
                     qPrintable(pairs[i] + QStringLiteral(" at %1, step %2").arg(x).arg(step)));
        }
    }
}

void CalculusTest::integrals_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<IntegralProblem>("problem");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("tolerance"); // relative; absolute where the value is 0
    QTest::addColumn<double>("at");        // where a refusal lies (NaN: anywhere)
    const auto ok = IntegralProblem::None;
    const double any = std::nan("");
    QTest::newRow("sin 0..π") << "sin(x)" << 0.0 << Pi << ok << 2.0 << 1e-11 << any;
    QTest::newRow("sin π..0") << "sin(x)" << Pi << 0.0 << ok << -2.0 << 1e-11 << any;
    QTest::newRow("1/x 1..2") << "1/x" << 1.0 << 2.0 << ok << std::numbers::ln2 << 1e-11 << any;
    QTest::newRow("half circle") << "sqr(1-x^2)" << -1.0 << 1.0 << ok << Pi / 2 << 1e-11 << any;
    QTest::newRow("x^x 0..1") << "x^x" << 0.0 << 1.0 << ok << SophomoresDream << 1e-11 << any;
    QTest::newRow("gauss 0..10") << "exp(-x^2)" << 0.0 << 10.0 << ok
                                 << std::sqrt(Pi) / 2 * std::erf(10.0) << 1e-11 << any;
    QTest::newRow("sin -π..π is 0") << "sin(x)" << -Pi << Pi << ok << 0.0 << 1e-12 << any;
    QTest::newRow("1/sqr(x) 0..1, end singularity")
        << "1/sqr(x)" << 0.0 << 1.0 << ok << 2.0 << 1e-6 << any;
    QTest::newRow("1/x over its pole")
        << "1/x" << -1.0 << 1.0 << IntegralProblem::NoValue << 0.0 << 0.0 << 0.0;
    QTest::newRow("1/x up to its pole")
        << "1/x" << 0.0 << 1.0 << IntegralProblem::NotConverging << 0.0 << 0.0 << 0.0;
    QTest::newRow("pole between nodes")
        << "1/(x-1/3)^2" << 0.0 << 1.0 << IntegralProblem::NotConverging << 0.0 << 0.0 << 1 / 3.0;
    QTest::newRow("pole the rounding of x meets")
        << "1/(x-0.3)^2" << 0.0 << 1.0 << IntegralProblem::NoValue << 0.0 << 0.0 << 0.3;
    QTest::newRow("sqr below 0") << "sqr(x)" << -1.0 << 1.0 << IntegralProblem::NoValue << 0.0
                                 << 0.0 << any;
}

void CalculusTest::integrals() {
    QFETCH(QString, expression);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(IntegralProblem, problem);
    QFETCH(double, value);
    QFETCH(double, tolerance);
    QFETCH(double, at);
    ScriptEvaluator evaluator;
    PreparedExpression prepared(evaluator, expression.toStdString());
    const Integral found = Integrate(ExpressionFunction(prepared), a, b);
    QCOMPARE(found.problem, problem);
    if (problem != IntegralProblem::None) {
        if (!std::isnan(at)) {
            QVERIFY2(std::fabs(found.at - at) < 1e-6, qPrintable(QString::number(found.at)));
        }
        return;
    }
    const double allowed = value == 0.0 ? tolerance : tolerance * std::fabs(value);
    QVERIFY2(std::fabs(found.value - value) <= allowed,
             qPrintable(QStringLiteral("%1 against %2").arg(found.value, 0, 'g', 17).arg(value)));
    // The estimate covers the real error, and a 12-digit result is not marked as less.
    QVERIFY(std::fabs(found.value - value) <= std::max(found.error, 1e-15));
    QCOMPARE(found.reduced, tolerance > 1e-9);
}

void CalculusTest::derivativeCurveFollowsTheSlope() {
    // A sheet of another size and scale than the default, its origin off the middle.
    Surface sheet(300, 200);
    GraphSettings settings;
    GraphState state;
    InitGraphState(settings, state, sheet);
    settings.OriginX = 100.5f;
    settings.XSmallSpacing = 6;
    state.XSmallValue = 0.5;
    ScriptEvaluator evaluator;
    GraphState derivative = state;
    const SampleReport report = SampleDerivative(evaluator, settings, derivative, 2,
                                                 QStringLiteral("abs(x)*x^2/4+sin(x)*10"));
    SampleFunction(evaluator, settings, state, 2, QStringLiteral("abs(x)*x*3/4+cos(x)*10"));
    // abs(x)*x^2 is smooth at 0: every column has a slope, the one of the other expression.
    QCOMPARE(report.withValue, report.columns);
    for (int column = 0; column <= 300; ++column) {
        QVERIFY2(std::fabs(derivative.PlotValues.Get(2, column) - state.PlotValues.Get(2, column)) <
                     1e-3,
                 qPrintable(QString::number(column)));
    }
    // The slope of abs(x) has a gap at 0 only: the column at the origin when it is whole.
    settings.OriginX = 100.0f;
    const SampleReport corner =
        SampleDerivative(evaluator, settings, derivative, 1, QStringLiteral("abs(x)-x/2"));
    QCOMPARE(corner.withValue, corner.columns - 1);
    QCOMPARE(derivative.PlotValues.Get(1, 100), derivative.NoValueMark());
    QCOMPARE(derivative.PlotValues.Get(1, 99), static_cast<float>(settings.OriginY + 1.5 * 4));
}

QTEST_MAIN(CalculusTest)
#include "tst_calculus.moc"

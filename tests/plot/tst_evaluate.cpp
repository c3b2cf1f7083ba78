#include "graph/graphsettings.h"
#include "plot/evaluate.h"
#include "script/number_text.h"

#include <QtTest/QtTest>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace {

// Two results agree when both are missing or both hold the same bits.
bool Same(const std::optional<double>& a, const std::optional<double>& b) {
    if (a.has_value() != b.has_value()) {
        return false;
    }
    return !a || std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

} // namespace

class EvaluateTest : public QObject {
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void errorsAreReported_data();
    void errorsAreReported();
    void nonFiniteInputsGiveNothing_data();
    void nonFiniteInputsGiveNothing();
    void preparedMatchesStatements_data();
    void preparedMatchesStatements();
};

void EvaluateTest::values_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("expected");
    QTest::newRow("x itself") << 2.5 << "x" << 2.5;
    QTest::newRow("x is read at 15 digits") << 0.1 + 0.2 << "x" << 0.3;
    QTest::newRow("pi is read at 15 digits") << 0.0 << "pi" << 3.14159265358979;
    QTest::newRow("blanks around are removed") << 2.0 << "  x*x  " << 4.0;
    QTest::newRow("downward parabola") << 3.0 << "-x^2" << -9.0;
    QTest::newRow("empty expression is zero") << 1.0 << "" << 0.0;
    QTest::newRow("numeric text result") << 9.0 << "hex(x)" << 9.0;
    QTest::newRow("comparison result") << 1.0 << "x<2" << -1.0;
}

void EvaluateTest::values() {
    QFETCH(double, x);
    QFETCH(QString, expression);
    QFETCH(double, expected);
    ScriptEvaluator evaluator;
    const std::optional<double> y = EvaluateExpression(evaluator, Pi, x, expression.toStdString());
    QVERIFY(y.has_value());
    QCOMPARE(*y, expected);
}

void EvaluateTest::errorsAreReported_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("description");
    QTest::newRow("division by zero") << 0.0 << "1/x"
                                      << "Division by zero";
    QTest::newRow("syntax") << 0.0 << "3x"
                            << "Syntax error";
    QTest::newRow("letters are no number") << 255.0 << "hex(x)"
                                           << "Type mismatch";
    QTest::newRow("null is no number") << 1.0 << "null"
                                       << "Invalid use of Null";
    QTest::newRow("log domain") << -1.0 << "log(x)"
                                << "Invalid procedure call or argument";
}

void EvaluateTest::errorsAreReported() {
    QFETCH(double, x);
    QFETCH(QString, expression);
    QFETCH(QString, description);
    ScriptEvaluator evaluator;
    ScriptError error;
    QVERIFY(!EvaluateExpression(evaluator, Pi, x, expression.toStdString(), &error));
    QCOMPARE(QString::fromStdString(DescribeWithHint(error)), description);
    PreparedExpression prepared(evaluator, expression.toStdString());
    QVERIFY(!prepared.Evaluate(Pi, x, &error));
    QCOMPARE(QString::fromStdString(DescribeWithHint(error)), description);
}

// The general number form writes these as words, which a statement would read as unassigned
// names: x would quietly be 0 instead of no value at all.
void EvaluateTest::nonFiniteInputsGiveNothing_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("pi");
    QTest::newRow("infinite x") << std::numeric_limits<double>::infinity() << Pi;
    QTest::newRow("minus infinite x") << -std::numeric_limits<double>::infinity() << Pi;
    QTest::newRow("nan x") << std::numeric_limits<double>::quiet_NaN() << Pi;
    QTest::newRow("infinite pi") << 1.0 << std::numeric_limits<double>::infinity();
}

void EvaluateTest::nonFiniteInputsGiveNothing() {
    QFETCH(double, x);
    QFETCH(double, pi);
    ScriptEvaluator evaluator;
    QVERIFY(!EvaluateExpression(evaluator, pi, x, "x+pi+1"));
    PreparedExpression prepared(evaluator, "x+pi+1");
    QVERIFY(!prepared.Evaluate(pi, x));
}

void EvaluateTest::preparedMatchesStatements_data() {
    QTest::addColumn<QString>("expression");
    const char* expressions[] = {
        "x",
        "sin(x)",
        "x^2+3*x-1",
        "sin(x)*cos(x)/(1+x^2)",
        "exp(-x^2/8)*cos(3*x)",
        "1/x",
        "sqr(x)",
        "log(x)",
        "x mod 3",
        "x\\2",
        "int(x)+fix(x)",
        "cint(x)*clng(x)",
        "hex(x)",
        "len(x)",
        "cstr(x)",
        "vartype(x)",
        "x*x*x*x*x",
        "-x",
        "x^x",
        "tan(x)*pi",
        "round(x, 3)",
        "x=1",
        "not x",
        "x and 255",
        "2^-x^2",
        "pi*x",
        "",
        "x*-3",
        "-x*0",
        "x-x",
        "(x<1)*-1",
        "x*x*2147483647",
        "exp(x)",
        "x^3",
        "1/(x-x)",
        "x/1e-300",
        "1-x*2",
        "x-sin(x)",
        "2^(x/4)",
        "abs(x)*-1",
        "fix(-x/3)",
        "x*y",
    };
    for (const char* expression : expressions) {
        QTest::newRow(expression) << QString::fromUtf8(expression);
    }
}

// Sampling takes the fast path; it must never give a different bit from the statement path,
// for x values of every kind: integral ones (Integer and Long variables), fractions with more
// than 15 digits, huge and tiny ones, the edges of the double range.
void EvaluateTest::preparedMatchesStatements() {
    QFETCH(QString, expression);
    const std::string text = expression.toStdString();
    std::vector<double> xs = {0.0,
                              -0.0,
                              1.0,
                              -1.0,
                              32767.0,
                              -32768.0,
                              32768.0,
                              2147483647,
                              -2147483648.0,
                              4e9,
                              0.1 + 0.2,
                              1e15,
                              1e-5,
                              1.5e-300,
                              1e299,
                              1.7e308,
                              -1.7976931348623157e308,
                              5e-324,
                              123456789012345.5,
                              0.30000000000000004};
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> near(-20.0, 20.0);
    std::uniform_int_distribution<int> exponent(-320, 308);
    for (int i = 0; i < 400; ++i) {
        xs.push_back(near(random));
        xs.push_back(std::ldexp(near(random), exponent(random) / 3));
        xs.push_back(std::round(near(random) * 1000.0));
    }
    ScriptEvaluator statementEvaluator;
    ScriptEvaluator preparedEvaluator;
    PreparedExpression prepared(preparedEvaluator, text);
    for (const double x : xs) {
        const std::optional<double> expected = EvaluateExpression(statementEvaluator, Pi, x, text);
        const std::optional<double> actual = prepared.Evaluate(Pi, x);
        QVERIFY2(Same(expected, actual), qPrintable(QStringLiteral("x=%1").arg(x, 0, 'g', 17)));
    }
}

QTEST_APPLESS_MAIN(EvaluateTest)
#include "tst_evaluate.moc"

#include "script/scriptresult.h"

#include <QtCore/QProcess>
#include <QtTest/QtTest>

// curvane-eval reads "X<TAB>EXPRESSION" lines and answers each with a value or an error line.
class EvalCommandTest : public QObject {
    Q_OBJECT
private slots:
    void answersEveryLine_data();
    void answersEveryLine();
};

void EvalCommandTest::answersEveryLine_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("value") << QByteArray("2\tx^2+1") << QByteArray("5");
    QTest::newRow("eval") << QByteArray("3\teval(\"x*2\")") << QByteArray("6");
    // The hint's own words are the engine's (HintText).
    const auto hinted = [](const char* name, const char* suggestion, bool isOperator) {
        return QByteArray("ERROR\tType mismatch: '") + name + "' (" +
               QByteArray::fromStdString(HintText({name, suggestion, isOperator})) + ")";
    };
    QTest::newRow("sqrt names sqr") << QByteArray("4\tsqrt(x)") << hinted("sqrt", "sqr", false);
    QTest::newRow("ln names log") << QByteArray("4\tln(x)") << hinted("ln", "log", false);
    QTest::newRow("pow names the operator")
        << QByteArray("4\tpow(x,2)") << hinted("pow", "^", true);
    QTest::newRow("unknown without suggestion")
        << QByteArray("4\tfoo(x)") << hinted("foo", "", false);
    QTest::newRow("reserved word")
        << QByteArray("1\tx+then") << QByteArray("ERROR\tExpected expression");
    QTest::newRow("other errors have no hint")
        << QByteArray("0\t1/x") << QByteArray("ERROR\tDivision by zero");
}

void EvalCommandTest::answersEveryLine() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, answer);
    QProcess process;
    process.start(QStringLiteral(CURVANE_EVAL), {});
    QVERIFY(process.waitForStarted());
    process.write(line + "\n");
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), answer + "\n");
}

QTEST_GUILESS_MAIN(EvalCommandTest)
#include "tst_evalcommand.moc"

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
    QTest::newRow("sqrt names sqr")
        << QByteArray("4\tsqrt(x)")
        << QByteArray(
               "ERROR\tType mismatch: 'sqrt' (there is no function sqrt; did you mean sqr?)");
    QTest::newRow("ln names log")
        << QByteArray("4\tln(x)")
        << QByteArray("ERROR\tType mismatch: 'ln' (there is no function ln; did you mean log?)");
    QTest::newRow("pow names the operator")
        << QByteArray("4\tpow(x,2)")
        << QByteArray("ERROR\tType mismatch: 'pow' (there is no function pow; did you mean the "
                      "operator ^?)");
    QTest::newRow("unknown without suggestion")
        << QByteArray("4\tfoo(x)")
        << QByteArray("ERROR\tType mismatch: 'foo' (there is no function foo)");
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

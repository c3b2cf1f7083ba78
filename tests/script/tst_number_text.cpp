#include "script/number_text.h"

#include <QtTest/QtTest>
#include <cmath>
#include <random>
#include <string>

class NumberTextTest : public QObject {
    Q_OBJECT
private slots:
    void generalForm_data();
    void generalForm();
    void roundToGeneralMatchesItsText();
    void roundToGeneralAgreesWithTheTextEverywhere();
    void fileForms_data();
    void fileForms();
    void hundredths_data();
    void hundredths();
    void leadingNumber_data();
    void leadingNumber();
};

void NumberTextTest::generalForm_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("sum of tenths hides its error") << (0.1 + 0.1 + 0.1) << "0.3";
    QTest::newRow("integer") << 10.0 << "10";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("pi to 15 digits") << 4.0 * std::atan(1.0) << "3.14159265358979";
    QTest::newRow("third") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("15 digit integer stays plain") << 123456789012345.0 << "123456789012345";
    QTest::newRow("16 digits go exponent") << 1234567890123456.0 << "1.23456789012346E+15";
    QTest::newRow("1E15") << 1e15 << "1E+15";
    QTest::newRow("huge") << 1e100 << "1E+100";
    QTest::newRow("ten thousandth stays plain") << 0.0001 << "0.0001";
    QTest::newRow("hundred thousandth goes exponent") << 0.00001 << "1E-05";
    QTest::newRow("small with digits") << -1.5e-5 << "-1.5E-05";
    QTest::newRow("accumulated step") << (-10.0 + 0.2 * 3) << "-9.4";
}

void NumberTextTest::generalForm() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatGeneral(value)), text);
}

void NumberTextTest::roundToGeneralMatchesItsText() {
    const double samples[] = {0.1 + 0.2,   4.0 * std::atan(1.0), -1.0 / 7.0,      1e-300,
                              123.456e200, -0.5 + 1e-17,         2.0 / 3.0 * 1e15};
    for (double value : samples) {
        const std::string text = FormatGeneral(value);
        QCOMPARE(RoundToGeneral(value), std::stod(text));
    }
    QCOMPARE(RoundToGeneral(0.1 + 0.2), 0.3);
}

void NumberTextTest::roundToGeneralAgreesWithTheTextEverywhere() {
    // The rounding works without text where it can; it must land on the very double that the
    // 15-digit text reads back as, ties and near-ties included.
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 17);
    std::uniform_int_distribution<std::uint64_t> digits(100000000000000ull, 999999999999999ull);
    const auto check = [](double value) {
        const double expected = std::stod(FormatGeneral(value));
        if (RoundToGeneral(value) != expected) {
            QFAIL(qPrintable(QString::number(value, 'g', 17)));
        }
    };
    for (int i = 0; i < 200000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        check(value);
        check(-value);
        check(std::nextafter(value, 0.0));
    }
    // Sixteen digits ending in 5: halfway between two 15-digit neighbours, as far as a double
    // can say it.
    for (int i = 0; i < 50000; ++i) {
        const std::string text =
            std::to_string(digits(random)) + "5e" + std::to_string(exponent(random) - 15);
        const double value = std::stod(text);
        check(value);
        check(std::nextafter(value, 1e300));
        check(std::nextafter(value, -1e300));
    }
    for (double value : {0.5, 1.5, 2.5, 1e-7, 9.99999999999999e14, 999999999999999.5, 1e14,
                         99999999999999.95, 0.1, 1.0 / 3.0}) {
        check(value);
    }
}

void NumberTextTest::fileForms_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("text");
    QTest::newRow("single integral") << 567.0 << true << "567";
    QTest::newRow("single one") << 1.0 << true << "1";
    QTest::newRow("single half") << 0.5 << true << ".5";
    QTest::newRow("single negative quarter") << -0.25 << true << "-.25";
    QTest::newRow("single small") << 1e-5 << true << "1E-05";
    QTest::newRow("single tenth keeps 7 digits") << 0.1 << true << ".1";
    QTest::newRow("single third") << 1.0 / 3.0 << true << ".3333333";
    QTest::newRow("single fraction") << 165.5 << true << "165.5";
    QTest::newRow("double large") << 1.5e16 << false << "1.5E+16";
    QTest::newRow("double third") << 1.0 / 3.0 << false << ".333333333333333";
    QTest::newRow("double integral") << 1.0 << false << "1";
    QTest::newRow("double negative below one") << -0.75 << false << "-.75";
}

void NumberTextTest::fileForms() {
    QFETCH(double, value);
    QFETCH(bool, single);
    QFETCH(QString, text);
    const std::string written =
        single ? FormatFileSingle(static_cast<float>(value)) : FormatFileDouble(value);
    QCOMPARE(QString::fromStdString(written), text);
}

void NumberTextTest::hundredths_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("default spacing in mm") << 4 * 25.4 / 96 << "1.06";
    QTest::newRow("one pixel in mm") << 25.4 / 96 << ".26";
    QTest::newRow("five pixels in mm") << 5 * 25.4 / 96 << "1.32";
    QTest::newRow("whole keeps its point") << 2.0 << "2.";
    QTest::newRow("one decimal") << 2.5 << "2.5";
    QTest::newRow("rounds to zero") << 0.001 << ".";
    QTest::newRow("negative") << -0.26 << "-.26";
}

void NumberTextTest::hundredths() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatHundredths(value)), text);
}

void NumberTextTest::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("number then letters") << "2.5abc" << 2.5;
    QTest::newRow("leading blanks and sign") << "  -3" << -3.0;
    QTest::newRow("tab") << "\t7" << 7.0;
    QTest::newRow("plus sign") << "+4" << 4.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("upper exponent with sign") << "1.5E-2x" << 0.015;
    QTest::newRow("exponent without digits stops before it") << "1e" << 1.0;
    QTest::newRow("exponent sign without digits") << "1e+" << 1.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("second number ignored") << "12 34" << 12.0;
    QTest::newRow("beyond double range") << "1e999" << 0.0;
    QTest::newRow("full-width digits are not numbers") << "１２" << 0.0;
}

void NumberTextTest::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(ReadLeadingNumber(text.toStdString()), value);
}

QTEST_APPLESS_MAIN(NumberTextTest)
#include "tst_number_text.moc"

#include "graph/mapping.h"
#include "platform/progress.h"
#include "platform/surface.h"
#include "plot/evaluate.h"
#include "plot/features.h"
#include "plot/sampling.h"
#include "plot/valuetable.h"
#include "script/scriptevaluator.h"

#include <QtTest/QtTest>
#include <cmath>

namespace {

struct Sheet {
    Surface surface{400, 300};
    GraphSettings settings;
    GraphState state;
    ScriptEvaluator evaluator;

    Sheet() { InitGraphState(settings, state, surface); }
};

ValueTable Computed(Sheet& sheet, const TableRange& range, const QStringList& expressions) {
    const TableRowCount count = CountTableRows(range);
    std::vector<std::pair<int, QString>> functions;
    for (int i = 0; i < expressions.size(); ++i) {
        functions.emplace_back(i + 1, expressions[i]);
    }
    ValueTable table(sheet.settings, sheet.state, range, count.rows, functions);
    table.Compute(sheet.evaluator, nullptr);
    return table;
}

std::vector<Feature> Found(Sheet& sheet, const TableRange& range, const QStringList& expressions) {
    const ValueTable table = Computed(sheet, range, expressions);
    const std::optional<FeatureSearch> search = FindFeatures(table, sheet.evaluator, nullptr);
    return search ? search->features : std::vector<Feature>{};
}

// Agreement to 12 significant digits (absolutely near 0).
bool Agrees(double found, double known) {
    return std::fabs(found - known) <= 1e-12 * std::max(1.0, std::fabs(known));
}

QString Describe(const std::vector<Feature>& features) {
    QStringList parts;
    for (const Feature& f : features) {
        parts << QStringLiteral("%1:F%2/%3 (%4, %5)")
                     .arg(static_cast<int>(f.kind))
                     .arg(f.slot)
                     .arg(f.otherSlot)
                     .arg(f.x, 0, 'g', 17)
                     .arg(f.y, 0, 'g', 17);
    }
    return parts.join(QStringLiteral("; "));
}

// The known points, checked one by one in the order the search gives them.
struct Known {
    FeatureKind kind;
    int slot;
    int otherSlot;
    double x;
    double y;
};

void CompareFeatures(const std::vector<Feature>& found, const std::vector<Known>& known) {
    const QString all = Describe(found);
    QVERIFY2(found.size() == known.size(), qPrintable(all));
    for (std::size_t i = 0; i < known.size(); ++i) {
        const Feature& f = found[i];
        QVERIFY2(f.kind == known[i].kind && f.slot == known[i].slot &&
                     f.otherSlot == known[i].otherSlot,
                 qPrintable(all));
        QVERIFY2(Agrees(f.x, known[i].x), qPrintable(QStringLiteral("x %1 for %2 in %3")
                                                         .arg(f.x, 0, 'g', 17)
                                                         .arg(known[i].x, 0, 'g', 17)
                                                         .arg(all)));
        QVERIFY2(Agrees(f.y, known[i].y), qPrintable(QStringLiteral("y %1 for %2 in %3")
                                                         .arg(f.y, 0, 'g', 17)
                                                         .arg(known[i].y, 0, 'g', 17)
                                                         .arg(all)));
    }
}

// Stops the work after a number of reports.
class StopAfter : public Progress {
public:
    explicit StopAfter(int reports) : m_left(reports) {}
    bool Advance(std::int64_t, std::int64_t) override { return --m_left > 0; }

private:
    int m_left;
};

} // namespace

Q_DECLARE_METATYPE(TableRange)
Q_DECLARE_METATYPE(TableRangeProblem)
Q_DECLARE_METATYPE(std::vector<Known>)

class ValueTableTest : public QObject {
    Q_OBJECT
private slots:
    void rowsOfARange_data();
    void rowsOfARange();
    void refusedRanges_data();
    void refusedRanges();
    void cellsAreTheSampledValues_data();
    void cellsAreTheSampledValues();
    void cellsWithoutValueKeepTheirReason();
    void linesGiveNumbersThatReadBack();
    void computingStopsWhenAsked();
    void zerosAndTurnsOfOneFunction_data();
    void zerosAndTurnsOfOneFunction();
    void polesAndJumpsAreNoZeros_data();
    void polesAndJumpsAreNoZeros();
    void intersectionsOfAPair_data();
    void intersectionsOfAPair();
    void featuresInDegrees();
};

void ValueTableTest::rowsOfARange_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<qint64>("rows");
    QTest::addColumn<double>("last");
    // 3 × 0.1 is 0.30000000000000004: the rounded x is what decides.
    QTest::newRow("0 to 0.3 by 0.1 ends on 0.3") << 0.0 << 0.3 << 0.1 << qint64(4) << 0.3;
    QTest::newRow("a step that does not divide") << 0.0 << 1.0 << 0.3 << qint64(4) << 0.9;
    QTest::newRow("one row when from is to") << 2.5 << 2.5 << 7.0 << qint64(1) << 2.5;
    QTest::newRow("downwards") << 5.0 << -5.0 << -2.5 << qint64(5) << -5.0;
    QTest::newRow("fractional start") << -41.375 << 41.375 << 1.0 << qint64(83) << 40.625;
    QTest::newRow("a million rows") << 1.0 << 1e6 << 1.0 << qint64(1000000) << 1e6;
}

void ValueTableTest::rowsOfARange() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(qint64, rows);
    QFETCH(double, last);
    const TableRange range{from, to, step};
    const TableRowCount count = CountTableRows(range);
    QCOMPARE(count.problem, TableRangeProblem::None);
    QCOMPARE(count.rows, rows);
    QCOMPARE(TableX(range, 0), from);
    QCOMPARE(TableX(range, rows - 1), last);
}

void ValueTableTest::refusedRanges_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<TableRangeProblem>("problem");
    QTest::newRow("step 0") << 0.0 << 1.0 << 0.0 << TableRangeProblem::ZeroStep;
    QTest::newRow("step 0 on one row") << 1.0 << 1.0 << 0.0 << TableRangeProblem::ZeroStep;
    QTest::newRow("upwards with a negative step")
        << 0.0 << 1.0 << -0.1 << TableRangeProblem::WrongSign;
    QTest::newRow("downwards with a positive step")
        << 1.0 << -1.0 << 0.5 << TableRangeProblem::WrongSign;
    QTest::newRow("a million and one rows") << 0.0 << 1e6 << 1.0 << TableRangeProblem::TooManyRows;
    QTest::newRow("far too many rows")
        << -1e300 << 1e300 << 1e-300 << TableRangeProblem::TooManyRows;
    QTest::newRow("infinity") << 0.0 << qInf() << 1.0 << TableRangeProblem::NotFinite;
    QTest::newRow("a span beyond doubles")
        << -1.5e308 << 1.5e308 << 1e300 << TableRangeProblem::NotFinite;
    QTest::newRow("a step below 15 digits")
        << 1e15 << 1e15 + 4 << 1e-3 << TableRangeProblem::StepTooFine;
}

void ValueTableTest::refusedRanges() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(TableRangeProblem, problem);
    const TableRowCount count = CountTableRows({from, to, step});
    QCOMPARE(count.problem, problem);
    QCOMPARE(count.rows, qint64(0));
}

void ValueTableTest::cellsAreTheSampledValues_data() {
    QTest::addColumn<QString>("xUnit");
    QTest::addColumn<QString>("yUnit");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<double>("smallValue");
    QTest::addColumn<float>("originX");
    QTest::addColumn<double>("originValue");
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("expression");
    QTest::newRow("default axes") << PlainUnitName << PlainUnitName << 4 << 1.0 << 200.0f << 0.0
                                  << 0 << "sin(x)*3+x/7";
    QTest::newRow("degrees, 15 per small step")
        << DegreeUnitName << PlainUnitName << 4 << 15.0 << 200.0f << 0.0 << 0 << "sin(x)*20";
    QTest::newRow("zoomed, fractional origin, π on y")
        << PlainUnitName << PiUnitName << 8 << 0.5 << 187.5f << 2.5 << 0 << "pi*x^2/9";
    QTest::newRow("pole on a column")
        << PlainUnitName << PlainUnitName << 4 << 1.0 << 200.0f << 0.0 << 0 << "1/x";
    // Columns x.5 apart: two of them land on every even pixel, and the later one's value stays.
    QTest::newRow("right of a fractional origin, π on x")
        << PiUnitName << DegreeUnitName << 4 << 0.25 << 101.5f << -1.0 << 1 << "sqr(x)-atn(x)";
}

void ValueTableTest::cellsAreTheSampledValues() {
    QFETCH(QString, xUnit);
    QFETCH(QString, yUnit);
    QFETCH(int, spacing);
    QFETCH(double, smallValue);
    QFETCH(float, originX);
    QFETCH(double, originValue);
    QFETCH(int, side);
    QFETCH(QString, expression);
    Sheet sheet;
    sheet.state.XUnitName = xUnit;
    sheet.state.YUnitName = yUnit;
    sheet.settings.XSmallSpacing = static_cast<std::int16_t>(spacing);
    sheet.settings.XSide = static_cast<std::int16_t>(side);
    sheet.state.XSmallValue = smallValue;
    sheet.settings.OriginX = originX;
    sheet.state.XOriginValue = originValue;
    SampleFunction(sheet.evaluator, sheet.settings, sheet.state, 2, expression);

    // A row on every sampled column: from the first column's x, one column's worth apart (a
    // step that binary fractions hold exactly, so each row's x is its column's).
    const SampleColumns columns = SampledColumns(sheet.settings, sheet.state);
    const AxisMapping mapping(sheet.settings, sheet.state);
    const double perColumn = smallValue / spacing;
    const TableRange range{mapping.AxisXAtColumn(columns.start), mapping.AxisXAtColumn(columns.end),
                           perColumn};
    const ValueTable table = Computed(sheet, range, {QStringLiteral("0"), expression});
    QVERIFY(table.Rows() > 100);
    int compared = 0;
    for (float c = columns.start; c <= columns.end; c += 1.0f) {
        const auto row = static_cast<std::int64_t>(std::lround((c - columns.start)));
        QVERIFY(table.X(row) == mapping.AxisXAtColumn(c));
        ++compared;
        const int pixel = RoundToWhole(c);
        if (SampledColumnAt(sheet.settings, sheet.state, pixel) != c) {
            QCOMPARE(RoundToWhole(c + 1.0f), pixel); // overwritten by the next column
            continue;
        }
        const std::optional<double> raw = table.RawValue(row, 1);
        const float plotted = sheet.state.PlotValues.Get(2, pixel);
        // The curve's row is the cell's value, placed as the sampling places it.
        QCOMPARE(raw ? mapping.RowOfValue(*raw) : sheet.state.NoValueMark(), plotted);
        // And the cell is the evaluator's own number for that column, bit for bit.
        ScriptEvaluator fresh;
        PreparedExpression prepared(fresh, expression.toStdString());
        const std::optional<double> direct = prepared.Evaluate(Pi, *mapping.ValueAtColumn(c));
        QCOMPARE(raw.has_value(), direct.has_value());
        if (raw) {
            QCOMPARE(std::bit_cast<quint64>(*raw), std::bit_cast<quint64>(*direct));
            QCOMPARE(*table.Value(row, 1), mapping.AxisY(*raw));
        }
    }
    QCOMPARE(static_cast<std::int64_t>(compared), table.Rows());
}

void ValueTableTest::cellsWithoutValueKeepTheirReason() {
    Sheet sheet;
    const ValueTable table = Computed(sheet, {-2, 2, 1},
                                      {QStringLiteral("1/x"), QStringLiteral("sqr(x)"),
                                       QStringLiteral("sin("), QStringLiteral("sqrt(x)")});
    const auto code = [&](std::int64_t row, int column) {
        const ScriptError* why = table.Reason(row, column);
        return why != nullptr ? why->code : script::ErrorCode::None;
    };
    QCOMPARE(table.Rows(), qint64(5));
    QVERIFY(!table.Value(2, 0));
    QCOMPARE(code(2, 0), script::ErrorCode::DivisionByZero);
    QCOMPARE(*table.Value(3, 0), 1.0);
    QVERIFY(table.Reason(3, 0) == nullptr);
    QVERIFY(!table.Value(0, 1) && !table.Value(1, 1));
    QCOMPARE(code(0, 1), script::ErrorCode::InvalidProcedureCall);
    QCOMPARE(*table.Value(4, 1), std::sqrt(2.0));
    for (std::int64_t row = 0; row < table.Rows(); ++row) {
        QCOMPARE(code(row, 2), script::ErrorCode::SyntaxError);
    }
    // The reasons are kept once per column, with the name at fault and the hint.
    QCOMPARE(table.Column(2).reasons.size(), std::size_t(1));
    QCOMPARE(table.Column(3).reasons.size(), std::size_t(1));
    QCOMPARE(table.Reason(4, 3)->name, std::string("sqrt"));
    QCOMPARE(table.Reason(4, 3)->hint.suggestion, std::string("sqr"));
}

void ValueTableTest::linesGiveNumbersThatReadBack() {
    Sheet sheet;
    const ValueTable table =
        Computed(sheet, {0, 0.3, 0.1},
                 {QStringLiteral("x/3"), QStringLiteral("1/x"), QStringLiteral("x*1e20")});
    // 1/3 needs all 16 digits to come back as the same double; 0.1 needs only its own.
    QCOMPARE(TableLine(table, 0, '\t'), std::string("0\t0\t\t0"));
    QCOMPARE(TableLine(table, 1, '\t'), std::string("0.1\t0.03333333333333333\t10\t1e+19"));
    QCOMPARE(TableLine(table, 3, ','),
             std::string("0.3,0.09999999999999999,3.3333333333333335,3e+19"));
    const std::string text = TableText(table, {"x", "a,b", "say \"hi\"", "F3"}, ',', "\r\n");
    QVERIFY(text.starts_with("x,\"a,b\",\"say \"\"hi\"\"\",F3\r\n0,0,,0\r\n"));
    QCOMPARE(std::count(text.begin(), text.end(), '\n'), 5);
    for (std::int64_t row = 0; row < table.Rows(); ++row) {
        const QStringList cells = QString::fromStdString(TableLine(table, row, '\t')).split('\t');
        for (int c = 0; c < table.ColumnCount(); ++c) {
            if (const std::optional<double> y = table.Value(row, c)) {
                QCOMPARE(cells[c + 1].toDouble(), *y);
            }
        }
    }
}

void ValueTableTest::computingStopsWhenAsked() {
    Sheet sheet;
    const TableRange range{0, 99999, 1};
    ValueTable table(sheet.settings, sheet.state, range, CountTableRows(range).rows,
                     {{1, QStringLiteral("x")}});
    StopAfter stop(3);
    QVERIFY(!table.Compute(sheet.evaluator, &stop));
    StopAfter never(1000000);
    QVERIFY(table.Compute(sheet.evaluator, &never));
    QCOMPARE(*table.Value(99999, 0), 99999.0);
    const std::optional<FeatureSearch> stopped = FindFeatures(
        Computed(sheet, {-10, 10, 0.1}, {QStringLiteral("sin(x)")}), sheet.evaluator, &stop);
    QVERIFY(!stopped);
}

void ValueTableTest::zerosAndTurnsOfOneFunction_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<TableRange>("range");
    QTest::addColumn<std::vector<Known>>("known");
    constexpr auto Z = FeatureKind::Zero;
    constexpr auto Mn = FeatureKind::Minimum;
    constexpr auto Mx = FeatureKind::Maximum;
    // sin: zeros at kπ, maxima at π/2 + 2kπ, minima at -π/2 + 2kπ; one zero is a row itself.
    QTest::newRow("sin(x), rows on tenths")
        << "sin(x)" << TableRange{-7, 7, 0.1}
        << std::vector<Known>{
               {Z, 1, 0, -2 * Pi, 0},     {Mx, 1, 0, -1.5 * Pi, 1}, {Z, 1, 0, -Pi, 0},
               {Mn, 1, 0, -0.5 * Pi, -1}, {Z, 1, 0, 0, 0},          {Mx, 1, 0, 0.5 * Pi, 1},
               {Z, 1, 0, Pi, 0},          {Mn, 1, 0, 1.5 * Pi, -1}, {Z, 1, 0, 2 * Pi, 0}};
    QTest::newRow("sin(x), coarse rows off the grid")
        << "sin(x)" << TableRange{-1.05, 7.3, 0.35}
        << std::vector<Known>{{Z, 1, 0, 0, 0},
                              {Mx, 1, 0, 0.5 * Pi, 1},
                              {Z, 1, 0, Pi, 0},
                              {Mn, 1, 0, 1.5 * Pi, -1},
                              {Z, 1, 0, 2 * Pi, 0}};
    // x^3-2x-5 = 0 by Cardano: one real root. Its turns are at ±√(2/3), where it takes
    // -5 ± (4/3)√(2/3).
    const double s = std::sqrt(25.0 / 4 - 8.0 / 27);
    const double root = std::cbrt(2.5 + s) + std::cbrt(2.5 - s);
    const double turn = std::sqrt(2.0 / 3);
    QTest::newRow("x^3-2*x-5") << "x^3-2*x-5" << TableRange{-3, 3, 0.25}
                               << std::vector<Known>{{Mx, 1, 0, -turn, -5 + 4.0 / 3 * turn},
                                                     {Mn, 1, 0, turn, -5 - 4.0 / 3 * turn},
                                                     {Z, 1, 0, root, 0}};
    QTest::newRow("x^3-2*x-5, falling rows")
        << "x^3-2*x-5" << TableRange{3.1, -2.9, -0.3}
        << std::vector<Known>{{Mx, 1, 0, -turn, -5 + 4.0 / 3 * turn},
                              {Mn, 1, 0, turn, -5 - 4.0 / 3 * turn},
                              {Z, 1, 0, root, 0}};
    // x^4-3x^2+x = x(x^3-3x+1): 0, and 2cos θ with cos 3θ = -1/2. Its turns solve
    // 4x^3-6x+1 = 0: √2 cos(acos(-√2/4)/3 - 2πk/3). With rows 0.5 apart the zeros 0 and 0.347
    // both lie between the same two rows, around the maximum whose top crosses 0.
    const auto quartic = [](double x) { return x * x * x * x - 3 * x * x + x; };
    const double phi = std::acos(-std::sqrt(2.0) / 4) / 3;
    const double t0 = std::sqrt(2.0) * std::cos(phi);
    const double t1 = std::sqrt(2.0) * std::cos(phi - 2 * Pi / 3);
    const double t2 = std::sqrt(2.0) * std::cos(phi - 4 * Pi / 3);
    QTest::newRow("x^4-3*x^2+x, two zeros between two rows")
        << "x^4-3*x^2+x" << TableRange{-3.01, 3, 0.5}
        << std::vector<Known>{{Z, 1, 0, 2 * std::cos(8 * Pi / 9), 0},
                              {Mn, 1, 0, t2, quartic(t2)},
                              {Z, 1, 0, 0, 0},
                              {Mx, 1, 0, t1, quartic(t1)},
                              {Z, 1, 0, 2 * std::cos(4 * Pi / 9), 0},
                              {Mn, 1, 0, t0, quartic(t0)},
                              {Z, 1, 0, 2 * std::cos(2 * Pi / 9), 0}};
    // tan: zeros at kπ; its poles change sign but are no zeros, and it never turns.
    QTest::newRow("tan(x)") << "tan(x)" << TableRange{-4, 4, 0.1}
                            << std::vector<Known>{
                                   {Z, 1, 0, -Pi, 0}, {Z, 1, 0, 0, 0}, {Z, 1, 0, Pi, 0}};
    QTest::newRow("tan(x), rows off the grid")
        << "tan(x)" << TableRange{-3.95, 3.95, 0.3}
        << std::vector<Known>{{Z, 1, 0, -Pi, 0}, {Z, 1, 0, 0, 0}, {Z, 1, 0, Pi, 0}};
    // A turn with a flat top over two rows, and a corner.
    QTest::newRow("cos about 0, two equal rows")
        << "cos(x)" << TableRange{-1.25, 1.25, 0.5} << std::vector<Known>{{Mx, 1, 0, 0, 1}};
    QTest::newRow("abs(x-1) has a corner")
        << "abs(x-1)" << TableRange{-2.3, 2.3, 0.2} << std::vector<Known>{{Mn, 1, 0, 1, 0}};
}

void ValueTableTest::zerosAndTurnsOfOneFunction() {
    QFETCH(QString, expression);
    QFETCH(TableRange, range);
    QFETCH(std::vector<Known>, known);
    Sheet sheet;
    CompareFeatures(Found(sheet, range, {expression}), known);
}

void ValueTableTest::polesAndJumpsAreNoZeros_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<TableRange>("range");
    QTest::newRow("1/x, the pole between rows") << "1/x" << TableRange{-2, 2, 0.3};
    QTest::newRow("1/x, the pole on a row") << "1/x" << TableRange{-2, 2, 0.5};
    QTest::newRow("1/x, rows symmetric about the pole") << "1/x" << TableRange{-1.5, 1.5, 1};
    QTest::newRow("1/x^2 peaks at its pole") << "1/x^2" << TableRange{-1.5, 1.5, 1};
    QTest::newRow("a step: int(x)-0.5") << "int(x)-0.5" << TableRange{0.25, 1.75, 0.5};
    QTest::newRow("a jump from -1 to 1") << "sgn(x-0.3)+0.5" << TableRange{-1.05, 1.05, 0.7};
    QTest::newRow("-1/x^3") << "-1/x^3" << TableRange{-0.95, 1.05, 0.2};
}

void ValueTableTest::polesAndJumpsAreNoZeros() {
    QFETCH(QString, expression);
    QFETCH(TableRange, range);
    Sheet sheet;
    const std::vector<Feature> found = Found(sheet, range, {expression});
    QVERIFY2(found.empty(), qPrintable(Describe(found)));
}

void ValueTableTest::intersectionsOfAPair_data() {
    QTest::addColumn<TableRange>("range");
    QTest::addColumn<std::vector<Known>>("known");
    // x^2 = x+2 at x = -1 and x = 2 (y = 1 and 4); x+2 is 0 at -2; x^2 turns at 0, where it is 0
    // (a zero only where a row lies on it: it does not change sign).
    const Known turn{FeatureKind::Minimum, 1, 0, 0, 0};
    const Known zero{FeatureKind::Zero, 2, 0, -2, 0};
    const Known left{FeatureKind::Intersection, 1, 2, -1, 1};
    const Known right{FeatureKind::Intersection, 1, 2, 2, 4};
    QTest::newRow("rows through the points")
        << TableRange{-3, 3, 1}
        << std::vector<Known>{{FeatureKind::Zero, 1, 0, 0, 0}, turn, zero, left, right};
    QTest::newRow("rows between the points")
        << TableRange{-3.3, 3.3, 0.7} << std::vector<Known>{turn, zero, left, right};
}

void ValueTableTest::intersectionsOfAPair() {
    QFETCH(TableRange, range);
    QFETCH(std::vector<Known>, known);
    Sheet sheet;
    CompareFeatures(Found(sheet, range, {QStringLiteral("x^2"), QStringLiteral("x+2")}), known);
}

void ValueTableTest::featuresInDegrees() {
    // The X axis in degrees feeds the expression radians: sin turns at 90 and 270 degrees. The Y
    // axis in π gives values in multiples of π.
    Sheet sheet;
    sheet.state.XUnitName = DegreeUnitName;
    sheet.state.YUnitName = PiUnitName;
    CompareFeatures(Found(sheet, {-10, 355, 7}, {QStringLiteral("sin(x)")}),
                    {{FeatureKind::Zero, 1, 0, 0, 0},
                     {FeatureKind::Maximum, 1, 0, 90, 1 / Pi},
                     {FeatureKind::Zero, 1, 0, 180, 0},
                     {FeatureKind::Minimum, 1, 0, 270, -1 / Pi}});
}

QTEST_GUILESS_MAIN(ValueTableTest)
#include "tst_valuetable.moc"

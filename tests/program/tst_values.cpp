#include "graph/mapping.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/readout.h"
#include "program/tablecommands.h"
#include "program/textlabels.h"
#include "tests/support/fakedialogs.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>
#include <cmath>

namespace {

constexpr ColorRef Red = Rgb(250, 0, 0);
constexpr ColorRef Blue = Rgb(0, 0, 250);

// A sheet with functions drawn as their draw buttons draw them.
struct Sheet {
    CurvaneState state;
    explicit Sheet(int width = 400, int height = 300) { StartGraph(state, width, height); }
    void Draw(int slot, const char* expression, ColorRef colour = Rgb(0, 0, 0)) {
        SlotOf(state.Slots, slot).RowShown = true;
        ExpressionChanged(state, slot, QString::fromUtf8(expression));
        SlotOf(state.Slots, slot).Color = colour;
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
    QStringList Readout(double x, double y) {
        QStringList texts;
        for (const ReadoutLine& line : ReadoutAt(state, QPointF(x, y))) {
            texts << line.text;
        }
        return texts;
    }
};

// Splits a CSV text into rows of cells, quotes understood.
QList<QStringList> ReadCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << cell;
            cell.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    return rows;
}

ValueTable Computed(CurvaneState& state, const TableRange& range) {
    ValueTable table = MakeValueTable(state, range, CountTableRows(range).rows);
    table.Compute(state.scriptEvalFn, nullptr);
    return table;
}

} // namespace

class ValuesTest : public QObject {
    Q_OBJECT
private slots:
    void readoutShowsTheAxesAndTheCurvesOnTheSheet();
    void readoutInTheAxesUnits();
    void readoutTakesTheColumnTheCurveWasDrawnFrom();
    void defaultRangeCoversTheSmallLinesOfTheSheet_data();
    void defaultRangeCoversTheSmallLinesOfTheSheet();
    void defaultTableHoldsTheRowsOfTheCurves();
    void typedNumbers_data();
    void typedNumbers();
    void refusalsSayWhyInJapanese();
    void csvReadsBackWithItsTitles();
    void savingTheTable();
    void featureLabelsLieAtTheirPoints();
    void featureLabelsKeepClearOfOtherLabelsAndMarkThePoint();
    void tableFollowsTheDocument();
};

void ValuesTest::readoutShowsTheAxesAndTheCurvesOnTheSheet() {
    Sheet s;
    s.Draw(1, "sin(x)", Red);
    s.Draw(2, "1/x", Blue);
    s.Draw(3, "x^2");
    // Column 204 is x = 1, row 146 is y = 1 (4 pixels per unit from the origin at (200, 150)).
    QCOMPARE(s.Readout(204.6, 146.2),
             (QStringList{"x = 1", "y = 1", "F1 = 0.841470984807897", "F2 = 1", "F3 = 1"}));
    const std::vector<ReadoutLine> lines = ReadoutAt(s.state, QPointF(204, 146));
    QCOMPARE(lines[2].colour, Red);
    QCOMPARE(lines[3].colour, Blue);
    // At the pole: no value, with the reason in Japanese.
    QCOMPARE(s.Readout(200, 150)[3], QStringLiteral("F2 = 値なし (0 で除算しました)"));
    // Erased and undrawn curves are not read.
    DrawButtonClicked(s.state, s.state.scriptEvalFn, 2); // erase
    ExpressionChanged(s.state, 3, QStringLiteral("x^3"));
    QCOMPARE(s.Readout(208, 150), (QStringList{"x = 2", "y = 0", "F1 = 0.909297426825682"}));
    // Off the drawing: nothing.
    QVERIFY(s.Readout(-0.5, 100).isEmpty());
    QVERIFY(s.Readout(400, 100).isEmpty());
    QVERIFY(s.Readout(10, 300).isEmpty());
    QCOMPARE(s.Readout(399.9, 299.9).size(), 3);
}

void ValuesTest::readoutInTheAxesUnits() {
    Sheet s;
    s.state.Graph.XUnitName = DegreeUnitName;
    s.state.Graph.XSmallValue = 15;
    s.state.Graph.YUnitName = PiUnitName;
    s.state.Graph.YSmallValue = 0.25;
    s.state.Graph.YOriginValue = -1;
    s.Draw(1, "x*180/pi");
    s.Draw(2, "pi/2");
    // Column 204 stands for 15 degrees, fed to the expression as radians, so x*180/pi is 15
    // again, shown in multiples of π: 15/π. Row 142 lies two small steps of 0.25 above -1.
    QCOMPARE(s.Readout(204, 142), (QStringList{"x = 15 [deg]", "y = -0.5 [π]",
                                               "F1 = 4.77464829275686 [π]", "F2 = 0.5 [π]"}));
    QCOMPARE(AxisValueText(-12.5, PlainUnitName), QStringLiteral("-12.5"));
    QCOMPARE(AxisValueText(0.1 + 0.2, RadianUnitName), QStringLiteral("0.3 [rad]"));
}

void ValuesTest::readoutTakesTheColumnTheCurveWasDrawnFrom() {
    // Right of a fractional origin the columns are x.5: two land on every even pixel, the later
    // one drawn; the readout takes that one.
    Sheet s;
    s.state.Settings.OriginX = 101.5f;
    s.state.Settings.XSide = 1;
    s.Draw(1, "x*x/10");
    const AxisMapping mapping(s.state.Settings, s.state.Graph);
    for (int pixel : {110, 111, 150}) {
        const QStringList lines = s.Readout(pixel + 0.3, 10);
        const double x = lines[0].mid(4).toDouble();
        const double y = lines[2].mid(5).toDouble();
        QCOMPARE(x, pixel % 2 == 0 ? (pixel + 0.5 - 101.5) / 4 : (pixel - 101.5) / 4);
        if (pixel % 2 == 0) {
            QCOMPARE(mapping.RowOfValue(y), s.state.Graph.PlotValues.Get(1, pixel));
        }
    }
}

void ValuesTest::defaultRangeCoversTheSmallLinesOfTheSheet_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<float>("originX");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<double>("smallValue");
    QTest::addColumn<double>("originValue");
    QTest::addColumn<int>("side");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    // The designed sheet: 331 pixels, the origin at 165.5; lines at 165.5 ± 4k.
    QTest::newRow("designed sheet") << 331 << 165.5f << 4 << 1.0 << 0.0 << 0 << -41.0 << 41.0;
    QTest::newRow("zoomed, shifted, half steps")
        << 400 << 100.25f << 6 << 0.5 << 2.0 << 0 << -6.0 << 26.5;
    QTest::newRow("right of the origin only")
        << 400 << 100.25f << 6 << 0.5 << 2.0 << 1 << 2.0 << 26.5;
    QTest::newRow("left of the origin only")
        << 400 << 100.25f << 6 << 0.5 << 2.0 << -1 << -6.0 << 2.0;
    QTest::newRow("values falling to the right")
        << 331 << 165.5f << 4 << -2.0 << 0.0 << 0 << 82.0 << -82.0;
    QTest::newRow("tenths") << 400 << 200.0f << 4 << 0.1 << 0.0 << 0 << -5.0 << 5.0;
}

void ValuesTest::defaultRangeCoversTheSmallLinesOfTheSheet() {
    QFETCH(int, width);
    QFETCH(float, originX);
    QFETCH(int, spacing);
    QFETCH(double, smallValue);
    QFETCH(double, originValue);
    QFETCH(int, side);
    QFETCH(double, from);
    QFETCH(double, to);
    Sheet s(width, 300);
    s.state.Settings.OriginX = originX;
    s.state.Settings.XSmallSpacing = static_cast<std::int16_t>(spacing);
    s.state.Settings.XSide = static_cast<std::int16_t>(side);
    s.state.Graph.XSmallValue = smallValue;
    s.state.Graph.XOriginValue = originValue;
    const TableRange range = DefaultTableRange(s.state.Settings, s.state.Graph);
    QCOMPARE(range.from, from);
    QCOMPARE(range.to, to);
    QCOMPARE(range.step, smallValue);
    QCOMPARE(CountTableRows(range).problem, TableRangeProblem::None);
}

void ValuesTest::defaultTableHoldsTheRowsOfTheCurves() {
    // Every row of the first table lies on a small line, a column the curves were computed at:
    // each cell, placed as the sampling places a value, is the curve's row there.
    for (const bool varied : {false, true}) {
        Sheet s;
        if (varied) {
            s.state.Settings.OriginX = 120.0f;
            s.state.Settings.XSmallSpacing = 8;
            s.state.Graph.XSmallValue = 0.25;
            s.state.Graph.XOriginValue = -1.5;
            s.state.Graph.YUnitName = DegreeUnitName;
        }
        s.Draw(1, "sin(x)*3");
        s.Draw(2, "1/(x+1)");
        const ValueTable table =
            Computed(s.state, DefaultTableRange(s.state.Settings, s.state.Graph));
        QCOMPARE(table.ColumnCount(), 2);
        const AxisMapping mapping(s.state.Settings, s.state.Graph);
        int noValue = 0;
        for (std::int64_t row = 0; row < table.Rows(); ++row) {
            const double column = mapping.ColumnOfAxisX(table.X(row));
            QCOMPARE(column, std::round(column));
            for (int c = 0; c < 2; ++c) {
                const std::optional<double> raw = table.RawValue(row, c);
                const float plotted = s.state.Graph.PlotValues.Get(c + 1, static_cast<int>(column));
                QCOMPARE(raw ? mapping.RowOfValue(*raw) : s.state.Graph.NoValueMark(), plotted);
                noValue += raw ? 0 : 1;
            }
        }
        QCOMPARE(noValue, 1); // the pole of 1/(x+1) at -1
    }
}

void ValuesTest::typedNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal") << "1.5" << true << 1.5;
    QTest::newRow("blanks and no leading zero") << "  -.25 " << true << -0.25;
    QTest::newRow("exponent") << "2e-3" << true << 0.002;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("trailing letters") << "1.5x" << false << 0.0;
    QTest::newRow("decimal comma") << "1,5" << false << 0.0;
    QTest::newRow("beyond doubles") << "1e999" << false << 0.0;
}

void ValuesTest::typedNumbers() {
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(double, value);
    const std::optional<double> read = ReadTableNumber(text);
    QCOMPARE(read.has_value(), number);
    if (number) {
        QCOMPARE(*read, value);
    }
}

void ValuesTest::refusalsSayWhyInJapanese() {
    QVERIFY(TableRangeProblemText(TableRangeProblem::ZeroStep).contains(QStringLiteral("0")));
    QVERIFY(TableRangeProblemText(TableRangeProblem::WrongSign).contains(QStringLiteral("符号")));
    QVERIFY(
        TableRangeProblemText(TableRangeProblem::TooManyRows).contains(QStringLiteral("1000000")));
    QVERIFY(TableRangeProblemText(TableRangeProblem::None).isEmpty());
}

void ValuesTest::csvReadsBackWithItsTitles() {
    Sheet s;
    s.state.Graph.XUnitName = DegreeUnitName;
    s.Draw(1, "sin(x)");
    s.Draw(3, "1/x");
    const ValueTable table = Computed(s.state, {-90, 90, 45});
    const QByteArray csv = TableCsv(table);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = ReadCsv(QString::fromUtf8(csv.mid(3)));
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows[0], (QStringList{"x [deg]", "F1(x)=sin(x)", "F3(x)=1/x"}));
    const double half = std::sqrt(0.5);
    QCOMPARE(rows[1].mid(0, 2), (QStringList{"-90", "-1"}));
    QCOMPARE(rows[3], (QStringList{"0", "0", ""}));
    QCOMPARE(rows[4][0], QStringLiteral("45"));
    QVERIFY(std::fabs(rows[4][1].toDouble() - half) < 1e-15);
    for (int row = 1; row < rows.size(); ++row) {
        QCOMPARE(rows[row][0].toDouble(), -90.0 + 45 * (row - 1));
        for (int c = 1; c <= 2; ++c) {
            const std::optional<double> y = table.Value(row - 1, c - 1);
            QCOMPARE(rows[row][c].isEmpty(), !y);
            if (y) {
                QCOMPARE(rows[row][c].toDouble(), *y); // exactly the same double
            }
        }
    }
    // The clipboard's text: the same cells between tabs.
    const QStringList lines = TableClipboardText(table).split('\n');
    QCOMPARE(lines[0], QStringLiteral("x [deg]\tF1(x)=sin(x)\tF3(x)=1/x"));
    QCOMPARE(lines[3], QStringLiteral("0\t0\t"));
    // The Y unit follows the function titles.
    s.state.Graph.YUnitName = PiUnitName;
    QCOMPARE(TableTitles(Computed(s.state, {0, 1, 1}))[1], QStringLiteral("F1(x)=sin(x) [π]"));
}

void ValuesTest::savingTheTable() {
    Sheet s;
    s.Draw(1, "x/2");
    const ValueTable table = Computed(s.state, {0, 2, 1});
    QTemporaryDir dir;
    FakeDialogs dialogs;
    // A name without an extension gets ".csv".
    dialogs.paths.push_back(dir.filePath(QStringLiteral("halves")));
    QVERIFY(SaveTableCsv(table, dialogs));
    QCOMPARE(dialogs.asked.last().title, SaveTableTitle());
    QFile file(dir.filePath(QStringLiteral("halves.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBFx,F1(x)=x/2\r\n0,0\r\n1,0.5\r\n2,1\r\n"));
    // Cancelled: nothing, no message.
    QVERIFY(!SaveTableCsv(table, dialogs));
    QVERIFY(dialogs.Messages().isEmpty());
    // A folder as the target: refused with the reason, and the folder stays a folder.
    const QString folder = dir.filePath(QStringLiteral("folder.csv"));
    QVERIFY(QDir().mkdir(folder));
    dialogs.paths.push_back(folder);
    QVERIFY(!SaveTableCsv(table, dialogs));
    QCOMPARE(dialogs.Messages().size(), 1);
    QVERIFY(dialogs.Messages()[0].startsWith(QStringLiteral("数値表を保存できませんでした。")));
    QVERIFY(dialogs.Messages()[0].contains(folder));
    QVERIFY(QFileInfo(folder).isDir());
}

void ValuesTest::featureLabelsLieAtTheirPoints() {
    Sheet s;
    Feature top{FeatureKind::Maximum, 1, 0, 1.5707963267949, 1};
    QCOMPARE(FeatureLabelText(top), QStringLiteral("(1.5708, 1)"));
    QCOMPARE(FeatureLabelText({FeatureKind::Zero, 1, 0, -2e-5, 0}), QStringLiteral("(-2E-05, 0)"));
    QCOMPARE(FeatureNumberText(1.5707963267949), QStringLiteral("1.57079632679"));
    QCOMPARE(FeatureKindText(FeatureKind::Intersection), QStringLiteral("交点"));
    QCOMPARE(FeatureFunctionText({FeatureKind::Intersection, 1, 3, 0, 0}),
             QStringLiteral("F1 と F3"));

    // The point (π/2, 1) is at column 206.28, row 146: the label sits just above and right.
    const std::optional<int> index = AddFeatureLabel(s.state, top);
    QVERIFY(index);
    const TextLabel& label = s.state.AddMoji.At(*index);
    QCOMPARE(label.Text(), QStringLiteral("(1.5708, 1)"));
    QVERIFY(label.visible);
    QVERIFY(std::fabs(label.left - (200 + 4 * 1.5707963267949 + 3)) < 1e-9);
    QCOMPARE(label.top + label.Height(), 145.0);
    // It is a free label like any other: it can be erased and brought back.
    EraseLabel(s.state, RefTo(s.state, LabelKind::Free, *index));
    QVERIFY(!s.state.AddMoji.At(*index).visible);
    QVERIFY(RestoreLabel(s.state));
    QVERIFY(s.state.AddMoji.At(*index).visible);
    // Near the right and top edges it turns to the other side, and stays on the sheet.
    const std::optional<int> corner = AddFeatureLabel(s.state, {FeatureKind::Zero, 1, 0, 49.5, 37});
    const TextLabel& turned = s.state.AddMoji.At(*corner);
    QVERIFY(turned.left + turned.Width() <= 398 - 3 + 1e-9);
    QCOMPARE(turned.top, 4.0);
    // A point off the sheet gives no label.
    const int before = s.state.AddMoji.UpperBound();
    QVERIFY(!AddFeatureLabel(s.state, {FeatureKind::Zero, 1, 0, 60, 0}));
    QVERIFY(!AddFeatureLabel(s.state, {FeatureKind::Maximum, 1, 0, 0, 1e300}));
    QCOMPARE(s.state.AddMoji.UpperBound(), before);
}

// A point's label takes the first of the four corners around it (above right, above left, below
// right, below left) that hides no other label, and keeps a dot in the curve's colour on the point.
void ValuesTest::featureLabelsKeepClearOfOtherLabelsAndMarkThePoint() {
    Sheet s; // origin (200, 150), 4 pixels a unit; the y "0" above left, the x "0" below right
    SlotOf(s.state.Slots, 2).Color = Blue;
    QString corners;
    // (-3, 0): above right would hide the y "0". Five at (30, 30): each corner in turn, and the
    // first again once all are taken.
    for (const double x : {0.0, -3.0, 30.0, 30.0, 30.0, 30.0, 30.0}) {
        const double y = x > 0 ? x : 0;
        const TextLabel& label =
            s.state.AddMoji.At(*AddFeatureLabel(s.state, {FeatureKind::Zero, 2, 0, x, y}));
        QCOMPARE(label.MarkPoint(), QPointF(200 + 4 * x, 150 - 4 * y));
        QCOMPARE(label.mark->color, Blue);
        corners += QString::fromLatin1(label.left > 200 + 4 * x ? "R" : "L") +
                   QString::fromLatin1(label.top > 150 - 4 * y ? "b " : "a ");
    }
    QCOMPARE(corners, QStringLiteral("Ra La Ra La Rb Lb Ra "));
    QVERIFY(!s.state.AddMoji.At(AddFreeLabel(s.state, 20, 120)).mark); // none by hand
}

// Computed again on a change of the functions or the axes while small, else marked out of date;
// the range follows the sheet unless typed.
void ValuesTest::tableFollowsTheDocument() {
    Sheet s;
    s.Draw(1, "sin(x)");
    const TableBasis shown = TableBasisOf(s.state);
    const auto follow = [&](bool typed, std::optional<TableRange> range = std::nullopt) {
        return FollowDocument(shown, TableBasisOf(s.state), typed, range);
    };
    QCOMPARE(follow(false).action, TableFollow::UpToDate);
    QCOMPARE(follow(false).boxes->to, 50.0); // the sheet's -50 to 50
    ExpressionChanged(s.state, 2, QStringLiteral("x"));
    QCOMPARE(follow(false).action, TableFollow::Recompute);
    ExpressionChanged(s.state, 2, QString());
    s.state.Graph.XSmallValue = 0.1;
    QCOMPARE(follow(false).boxes->to, 5.0);
    QCOMPARE(follow(true, TableRange{0, 9999, 1}).action, TableFollow::Recompute);
    QVERIFY(!follow(true, TableRange{0, 9999, 1}).boxes);
    QCOMPARE(follow(true, TableRange{0, 10000, 1}).action, TableFollow::MarkStale);
    QCOMPARE(follow(true).action, TableFollow::MarkStale); // no range in the boxes
}

QTEST_MAIN(ValuesTest)
#include "tst_values.moc"

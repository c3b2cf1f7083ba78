#include "graph/graphsettings.h"
#include "platform/surface.h"
#include "plot/curvedrawing.h"

#include <QtTest/QtTest>
#include <set>

namespace {

constexpr ColorRef White = Rgb(255, 255, 255);
constexpr ColorRef Ink = Rgb(200, 0, 0);

using PixelSet = std::set<std::pair<int, int>>;

PixelSet InkedPixels(const Surface& s) {
    PixelSet set;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if (FromQColor(s.Image().pixelColor(x, y)) == Ink) {
                set.insert({x, y});
            }
        }
    }
    return set;
}

// A white sheet with its graph state, curves drawn straight from rows the test sets.
struct CurveSheet {
    Surface surface;
    GraphSettings settings;
    GraphState state;
    FunctionSlot function;
    std::int16_t phase = 0;

    CurveSheet(int width, int height) : surface(width, height) {
        InitGraphState(settings, state, surface);
        function.Color = Ink;
    }
    void Rows(const std::vector<float>& rows) {
        for (std::size_t c = 0; c < rows.size(); ++c) {
            state.PlotValues.Set(1, static_cast<int>(c), rows[c]);
        }
    }
    void Flat(float row) {
        Rows(std::vector<float>(static_cast<std::size_t>(state.PlotValues.LastColumn() + 1), row));
    }
    void Draw(const QString& code) {
        function.StyleCode = code;
        DrawFunction(surface, settings, state, function, 1, phase);
    }
    bool ColumnInked(int x) const {
        for (int y = 0; y < surface.Height(); ++y) {
            if (FromQColor(surface.Image().pixelColor(x, y)) == Ink) {
                return true;
            }
        }
        return false;
    }
};

} // namespace

class CurvesTest : public QObject {
    Q_OBJECT
private slots:
    void penStyleOfCode_data();
    void penStyleOfCode();
    void dottedPieceIsAStaircaseWithSharedPhase();
    void solidPieceIsOneWideLine();
    void dottedWidthTwoOnAFlatCurve();
    void chainRunsCarryIntoTheNextCurve();
    void piecesLeftOut_data();
    void piecesLeftOut();
    void pieceFromAboveIsDrawnToTheEdge();
    void oneSidedCurvesStartOrEndAtTheOrigin();
    void tallSheetsKeepTheirLongPieces();
    void unknownCodesDrawASolidLine();
};

void CurvesTest::penStyleOfCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("width");
    QTest::newRow("実1") << "実1" << 0 << 1;
    QTest::newRow("実3") << "実3" << 0 << 3;
    QTest::newRow("鎖2") << "鎖2" << 1 << 2;
    QTest::newRow("点3") << "点3" << 2 << 3;
    QTest::newRow("unknown text draws solid") << "xx" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
    // Only the nine codes name a pattern; the width is the last character's digit whatever the
    // kind.
    QTest::newRow("鎖5 is no chain code") << "鎖5" << 0 << 5;
    QTest::newRow("点0 is no dotted code") << "点0" << 0 << 0;
    QTest::newRow("鎖12 is no chain code") << "鎖12" << 0 << 2;
    QTest::newRow("点 alone") << "点" << 0 << 0;
    QTest::newRow("a blank before 鎖1") << " 鎖1" << 0 << 1;
    QTest::newRow("鎖1 and a blank") << "鎖1 " << 0 << 0;
    QTest::newRow("実9") << "実9" << 0 << 9;
    QTest::newRow("a full-width digit is no digit") << "点３" << 0 << 0;
}

void CurvesTest::penStyleOfCode() {
    QFETCH(QString, code);
    QFETCH(int, style);
    QFETCH(int, width);
    QCOMPARE(int(PenStyleOfCode(code)), style);
    QCOMPARE(int(PenWidthOfCode(code)), width);
}

void CurvesTest::dottedPieceIsAStaircaseWithSharedPhase() {
    Surface s(20, 200);
    std::int16_t phase = 0;
    CurveCanvas canvas{s, 1000.0f, 200.0f, phase};
    DrawSegment(canvas, 5, 100, 105, {Ink, DottedPen, 1});
    QCOMPARE(InkedPixels(s), (PixelSet{{5, 100}, {5, 102}, {6, 104}}));
    QCOMPARE(phase, std::int16_t(1));
}

void CurvesTest::solidPieceIsOneWideLine() {
    Surface s(20, 200);
    std::int16_t phase = 0;
    CurveCanvas canvas{s, 1000.0f, 200.0f, phase};
    DrawSegment(canvas, 5, 100, 105, {Ink, SolidPen, 2});
    const PixelSet inked = InkedPixels(s);
    for (const auto& [x, y] : inked) {
        QVERIFY(x >= 5 && x <= 7 && y >= 100 && y <= 106);
    }
    for (int y = 100; y <= 106; ++y) {
        const int inRow = static_cast<int>(std::count_if(
            inked.begin(), inked.end(), [y](const auto& p) { return p.second == y; }));
        QVERIFY2(inRow == 2 || inRow == 3 || (inRow >= 1 && (y == 100 || y == 106)),
                 qPrintable(QString::number(y)));
    }
    QCOMPARE(phase, std::int16_t(0)); // solid pens leave the pattern alone
}

void CurvesTest::dottedWidthTwoOnAFlatCurve() {
    CurveSheet sheet(30, 100);
    sheet.Flat(50);
    sheet.Draw(QStringLiteral("点2"));
    PixelSet expected;
    for (int c = 0; c <= 28; c += 4) { // a 2 × 2 block every fourth column
        expected.insert({{c, 50}, {c + 1, 50}, {c, 51}, {c + 1, 51}});
    }
    QCOMPARE(InkedPixels(sheet.surface), expected);
}

void CurvesTest::chainRunsCarryIntoTheNextCurve() {
    CurveSheet sheet(14, 100); // columns 0..12 start a piece: 13 steps
    sheet.Flat(40);
    sheet.Draw(QStringLiteral("鎖1"));
    for (int c = 0; c <= 12; ++c) {
        const bool on = c < 6 || c >= 10; // six on, four off
        QCOMPARE(sheet.ColumnInked(c), on);
    }
    QCOMPARE(sheet.phase, std::int16_t(3));

    sheet.surface.Clear();
    sheet.Draw(QStringLiteral("鎖1")); // goes on with phases 4, 5, 6, then four off
    for (int c = 0; c <= 12; ++c) {
        const bool on = c < 3 || (c >= 7 && c <= 12);
        QCOMPARE(sheet.ColumnInked(c), on);
    }
}

void CurvesTest::piecesLeftOut_data() {
    QTest::addColumn<std::vector<float>>("rows");
    QTest::addColumn<QList<int>>("emptyColumns");
    QTest::addColumn<QList<int>>("inkedColumns");
    const float no = 1501.0f; // PlotLimit + 1 on a 300 px high sheet
    // A pole like tan's: both sides off the sheet on opposite sides between columns 3 and 4.
    QTest::newRow("jump across the sheet")
        << std::vector<float>{150, 100, -40, -1500, 1500, 400, 200, 150} << QList<int>{3, 4}
        << QList<int>{0, 1, 6};
    // 1/x with a column exactly on x = 0.
    QTest::newRow("no value takes both pieces")
        << std::vector<float>{150, 150, 150, no, 150, 150, 150, 150} << QList<int>{3}
        << QList<int>{0, 1, 2, 4, 5};
    QTest::newRow("wholly above") << std::vector<float>(8, -20.0f) << QList<int>{0, 1, 2, 3, 4, 5}
                                  << QList<int>{};
    QTest::newRow("wholly below") << std::vector<float>(8, 300.0f) << QList<int>{0, 1, 2, 3, 4, 5}
                                  << QList<int>{};
}

void CurvesTest::piecesLeftOut() {
    QFETCH(std::vector<float>, rows);
    QFETCH(QList<int>, emptyColumns);
    QFETCH(QList<int>, inkedColumns);
    CurveSheet sheet(8, 300);
    sheet.Rows(rows);
    sheet.Draw(QStringLiteral("実1"));
    for (int c : emptyColumns) {
        QVERIFY2(!sheet.ColumnInked(c), qPrintable(QString::number(c)));
    }
    for (int c : inkedColumns) {
        QVERIFY2(sheet.ColumnInked(c), qPrintable(QString::number(c)));
    }
}

void CurvesTest::pieceFromAboveIsDrawnToTheEdge() {
    CurveSheet sheet(4, 100);
    sheet.Rows({-400, 50, 50, 50, 50});
    sheet.Draw(QStringLiteral("実1"));
    const PixelSet inked = InkedPixels(sheet.surface);
    QVERIFY(inked.count({0, 0}) || inked.count({1, 0})); // reaches the top edge
    QVERIFY(inked.count({1, 50}));
}

void CurvesTest::oneSidedCurvesStartOrEndAtTheOrigin() {
    CurveSheet left(40, 50);
    left.settings.XSide = -1;
    left.settings.OriginX = 20;
    left.Flat(25);
    left.Draw(QStringLiteral("実1"));
    QVERIFY(left.ColumnInked(20));
    QVERIFY(!left.ColumnInked(21));
    QVERIFY(left.ColumnInked(0));

    CurveSheet right(40, 50);
    right.settings.XSide = 1;
    right.settings.OriginX = 20;
    right.Flat(25);
    right.Draw(QStringLiteral("実1"));
    QVERIFY(!right.ColumnInked(19));
    QVERIFY(right.ColumnInked(20));
    QVERIFY(right.ColumnInked(39));

    right.settings.OriginX = -1e30f; // only a settings file can do this; it must still finish
    right.Draw(QStringLiteral("点1"));
}

void CurvesTest::tallSheetsKeepTheirLongPieces() {
    // On a 6000 px sheet a piece from -PlotLimit to the bottom spans 35999 rows, beyond 16 bits.
    Surface s(4, 6000);
    std::int16_t phase = 0;
    CurveCanvas canvas{s, 30000.0f, 6000.0f, phase};
    DrawSegment(canvas, 1, -30000, 5999, {Ink, DottedPen, 1});
    // Every other row from -30000 on is a dot; all rows on the sheet lie past the midpoint.
    int inColumn2 = 0;
    for (const auto& [x, y] : InkedPixels(s)) {
        QCOMPARE(x, 2);
        QCOMPARE(y % 2, 0);
        ++inColumn2;
    }
    QCOMPARE(inColumn2, 3000);
}

void CurvesTest::unknownCodesDrawASolidLine() {
    // A file's "鎖5" draws a solid line 5 pixels wide in every column, not nothing.
    CurveSheet chain(20, 40);
    chain.Flat(20);
    chain.Draw(QStringLiteral("鎖5"));
    for (int c = 0; c < 20; ++c) {
        QVERIFY2(chain.ColumnInked(c), qPrintable(QString::number(c)));
    }
    const PixelSet inked = InkedPixels(chain.surface);
    QCOMPARE(inked.count({10, 18}) + inked.count({10, 22}), std::size_t(2));
    QCOMPARE(inked.count({10, 17}) + inked.count({10, 23}), std::size_t(0));
    QCOMPARE(chain.phase, std::int16_t(0)); // no pattern ran

    // A code without a width still draws: the thinnest pen.
    CurveSheet bare(20, 40);
    bare.Flat(20);
    bare.Draw(QStringLiteral("点"));
    QCOMPARE(InkedPixels(bare.surface).size(), std::size_t(20));
}

QTEST_MAIN(CurvesTest)
#include "tst_curves.moc"

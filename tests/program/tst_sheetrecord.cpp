#include "platform/surface.h"
#include "plot/sheetrecord.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/redraw.h"
#include "program/stamping.h"
#include "tests/program/usersteps.h"
#include "tests/support/seed.h"

#include <QtTest/QtTest>

class SheetRecordTest : public QObject {
    Q_OBJECT
private slots:
    void rebuildingTheRecordGivesTheSheetsPixels();
    void aFamilyOfCurvesStaysInTheRecordUntilARedraw();
    void drawnCurvesShareTheirRows();
};

void SheetRecordTest::rebuildingTheRecordGivesTheSheetsPixels() {
    const quint64 seed = TestSeed();
    CurvaneState state;
    FakeDialogs dialogs;
    StartGraph(state, 310, 230);
    UserSteps steps(state, dialogs, seed);
    QStringList done;
    // A render that starts from the lowest layers of the one before, as the window's redraws do.
    RecordBase base;
    Surface fromBase;
    for (int i = 0; i < 240; ++i) {
        done << steps.Step();
        RenderRecord(state.Record, fromBase, &base);
        if (RecordPicture(state) != SheetPicture(state) ||
            fromBase.Image() != state.Sheet.Image()) {
            QFAIL(qPrintable(QStringLiteral("seed %1 (CURVANE_SEED), after: %2")
                                 .arg(seed)
                                 .arg(done.join(QStringLiteral(", ")))));
        }
    }
}

void SheetRecordTest::aFamilyOfCurvesStaysInTheRecordUntilARedraw() {
    CurvaneState state;
    StartGraph(state, 300, 200);
    for (const char* expression : {"sin(x)*10", "cos(x)*10", "x/2"}) {
        ExpressionChanged(state, 1, QString::fromLatin1(expression));
        DrawButtonClicked(state, state.scriptEvalFn, 1);
    }
    ExpressionChanged(state, 2, QStringLiteral("-20"));
    DrawButtonClicked(state, state.scriptEvalFn, 2);
    QStringList drawn;
    for (const DrawnCurve& curve : state.Record.curves) {
        drawn << QStringLiteral("F%1 %2").arg(curve.slot).arg(curve.expression);
    }
    QCOMPARE(drawn, QStringList({"F1 sin(x)*10", "F1 cos(x)*10", "F1 x/2", "F2 -20"}));
    // Erasing F2 redraws the sheet: only what a full redraw draws stays, F1's last curve.
    DrawButtonClicked(state, state.scriptEvalFn, 2);
    QCOMPARE(state.Record.curves.size(), std::size_t(1));
    QCOMPARE(state.Record.curves[0].expression, QStringLiteral("x/2"));
}

void SheetRecordTest::drawnCurvesShareTheirRows() {
    // A record of many curves keeps one copy of each curve's rows, not the whole table.
    CurvaneState state;
    StartGraph(state, 1920, 1080);
    for (int k = 1; k <= 20; ++k) {
        ExpressionChanged(state, 1 + k % 3, QStringLiteral("sin(x)*%1").arg(k));
        DrawButtonClicked(state, state.scriptEvalFn, 1 + k % 3);
    }
    QCOMPARE(state.Record.curves.size(), std::size_t(20));
    for (const DrawnCurve& curve : state.Record.curves) {
        for (int slot = 0; slot < PlotTable::SlotRows; ++slot) {
            if (slot != curve.slot) {
                QCOMPARE(curve.graph.PlotValues.Get(slot, 100), 0.0f);
            }
        }
    }
    // Redrawing takes the same rows again rather than copies.
    const std::uint64_t rows = state.Record.curves.back().rowsId;
    RedrawAll(state);
    QCOMPARE(state.Record.curves.back().rowsId, rows);
}

QTEST_MAIN(SheetRecordTest)
#include "tst_sheetrecord.moc"

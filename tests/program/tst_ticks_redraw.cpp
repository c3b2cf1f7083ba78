#include "graph/ticknumbers.h"
#include "program/curvanestate.h"
#include "program/redraw.h"

#include <QtTest/QtTest>

namespace {

struct Found {
    int index = -1;
    const TextLabel* label = nullptr;
};

Found FindText(const LabelFamily& family, const QString& text) {
    for (int i = 1; i <= family.UpperBound(); ++i) {
        if (family.Exists(i) && family.At(i).Text() == text) {
            return {i, &family.At(i)};
        }
    }
    return {};
}

QStringList VisibleTexts(const LabelFamily& family) {
    QStringList texts;
    family.ForEachVisible([&](int, const TextLabel& label) { texts << label.Text(); });
    return texts;
}

// The default 400 × 300 sheet as start-up leaves it.
struct Window {
    CurvaneState state;
    Window() { StartGraph(state, 400, 300); }
    void Place() { PlaceTickNumbers(state.Xmoji, state.Ymoji, state.Settings, state.Graph); }
    bool Inked(int x, int y, ColorRef colour) const {
        return FromQColor(state.Sheet.Image().pixelColor(x, y)) == colour;
    }
};

} // namespace

class TicksRedrawTest : public QObject {
    Q_OBJECT
private slots:
    void defaultNumbersSitOnTheLargeLines();
    void collisionHidesNumbersThatWouldTouch();
    void unitLabelPlacement();
    void lowerLeftPlacementDropsTheOtherSides();
    void modeOneDropsOnlyItsAxis();
    void valuesAccumulateAndReadInFifteenDigits();
    void templatesGiveColourAndSize();
    void brokenSettingsStillFinish();

    void redrawAllReplotsDrawnUnhiddenCurves();
    void redrawSettingsForgetsEveryCurve();
    void activationServesOneFlagAtATimeSettingsFirst();
};

void TicksRedrawTest::defaultNumbersSitOnTheLargeLines() {
    Window w;
    const LabelFamily& x = w.state.Xmoji;
    QCOMPARE(x.At(1).Text(), QStringLiteral("0"));
    QCOMPARE(x.At(1).left, 202.0);
    QCOMPARE(x.At(1).top, 152.0);
    QVERIFY(x.At(1).visible);
    for (int k = 1; k <= 4; ++k) {
        for (int sign : {1, -1}) {
            const Found f = FindText(x, QString::number(sign * 10 * k));
            QVERIFY2(f.label && f.label->visible, qPrintable(QString::number(sign * 10 * k)));
            // Centred on its line, 40 px per 10 units, under the axis.
            QCOMPARE(f.label->left + f.label->Width() / 2, 200.0 + sign * 40.0 * k);
            QCOMPARE(f.label->top, 152.0);
        }
    }
    QVERIFY(FindText(x, QStringLiteral("10")).index < FindText(x, QStringLiteral("-10")).index);

    const LabelFamily& y = w.state.Ymoji;
    const TextLabel& zero = y.At(1);
    QCOMPARE(zero.Text(), QStringLiteral("0"));
    QCOMPARE(zero.left, 200.0 - zero.Width()); // left of and above the origin
    QCOMPARE(zero.top, 150.0 - zero.Height() - 1);
    const Found up = FindText(y, QStringLiteral("10"));
    QVERIFY(up.label && up.label->visible);
    QCOMPARE(up.label->top + up.label->Height() / 2, 110.0);
    QCOMPARE(up.label->left, 200.0 - up.label->Width() - 1);
    const Found down = FindText(y, QStringLiteral("-10"));
    QVERIFY(down.label && down.label->visible);
    QCOMPARE(down.label->top + down.label->Height() / 2, 190.0);
}

void TicksRedrawTest::collisionHidesNumbersThatWouldTouch() {
    Window w;
    w.state.Settings.XTickLabelMode = 2; // a number on every 4 px line: none fits
    w.Place();
    w.state.Xmoji.ForEachVisible([](int index, const TextLabel& label) {
        if (index != 1) {
            QVERIFY2(label.left < 200, qPrintable(label.Text()));
        }
    });
    QVERIFY(w.state.Xmoji.UpperBound() > 50); // created, just not shown
}

void TicksRedrawTest::unitLabelPlacement() {
    Window w;
    w.state.Graph.XUnitName = QStringLiteral("deg");
    w.state.Graph.YUnitName = QStringLiteral("π");
    w.Place();
    const LabelFamily& x = w.state.Xmoji;
    const TextLabel& unit = x.At(x.UpperBound());
    QCOMPARE(unit.Text(), QStringLiteral("[deg]"));
    QVERIFY(unit.visible);
    QCOMPARE(unit.left, 399.0 - unit.Width());
    QCOMPARE(unit.top, 150.0 + unit.Height() + 1); // under the row of numbers

    const LabelFamily& y = w.state.Ymoji;
    const TextLabel& yUnit = y.At(y.UpperBound());
    QCOMPARE(yUnit.Text(), QStringLiteral("[π]"));
    QCOMPARE(yUnit.top, 0.0);
    QCOMPARE(yUnit.left, 202.0); // across the axis from the numbers

    w.state.Settings.OriginY = 290; // no room below: above the axis
    w.Place();
    const TextLabel& moved = x.At(x.UpperBound());
    QCOMPARE(moved.top, 290.0 - moved.Height() - 1);
}

void TicksRedrawTest::lowerLeftPlacementDropsTheOtherSides() {
    Window w;
    w.state.Settings.XSide = 1;
    w.state.Settings.YSide = -1;
    w.state.Graph.YUnitName = QStringLiteral("rad");
    w.Place();
    w.state.Xmoji.ForEachVisible([](int, const TextLabel& label) {
        QVERIFY2(label.left >= 200, qPrintable(label.Text()));
        QVERIFY(!label.Text().startsWith(QLatin1Char('-')));
    });
    int yNumbers = 0;
    w.state.Ymoji.ForEachVisible([&](int, const TextLabel& label) {
        QVERIFY2(label.top < 150, qPrintable(label.Text()));
        QVERIFY(!label.Text().startsWith(QLatin1Char('-')));
        ++yNumbers;
    });
    QVERIFY(yNumbers >= 3);
    const LabelFamily& y = w.state.Ymoji;
    QCOMPARE(y.At(y.UpperBound()).Text(), QStringLiteral("[rad]"));
    QCOMPARE(y.At(y.UpperBound()).top, 0.0);
}

void TicksRedrawTest::modeOneDropsOnlyItsAxis() {
    Window w;
    w.state.Graph.XUnitName = QStringLiteral("deg");
    w.state.Settings.XTickLabelMode = 1;
    w.Place();
    QCOMPARE(w.state.Xmoji.UpperBound(), 0);
    QVERIFY(w.state.Ymoji.Count() > 5);

    w.state.Settings.XTickLabelMode = 4;
    w.state.Settings.YTickLabelMode = 1;
    w.state.Graph.YUnitName = QStringLiteral("deg");
    w.Place();
    QCOMPARE(w.state.Ymoji.UpperBound(), 0);
    QVERIFY(w.state.Xmoji.Count() > 5);
}

void TicksRedrawTest::valuesAccumulateAndReadInFifteenDigits() {
    Window w;
    w.state.Graph.XSmallValue = 0.01; // 0.1 per large step: 0.1 + 0.1 + 0.1 must read 0.3
    w.state.Graph.XOriginValue = 5;
    w.Place();
    const QStringList texts = VisibleTexts(w.state.Xmoji);
    QVERIFY(texts.contains(QStringLiteral("5.3")));
    QVERIFY(texts.contains(QStringLiteral("4.7")));
    QVERIFY(texts.contains(QStringLiteral("5")));
}

void TicksRedrawTest::templatesGiveColourAndSize() {
    Window w;
    w.state.Settings.XTickLabelColor = Rgb(255, 0, 0);
    w.state.Settings.YTickLabelSize = 20;
    w.Place();
    QCOMPARE(w.state.Xmoji.At(2).color, Rgb(255, 0, 0));
    QCOMPARE(w.state.Ymoji.At(2).Font().size, 20.0);
    QVERIFY(w.state.Ymoji.At(2).Height() > w.state.Xmoji.At(2).Height());
}

void TicksRedrawTest::brokenSettingsStillFinish() {
    Window w;
    w.state.Settings.XTickLabelMode = 7; // not a mode: no numbers
    w.state.Settings.YSmallSpacing = 0;  // numbers cannot walk: only the origin
    w.Place();
    QCOMPARE(w.state.Xmoji.UpperBound(), 0);
    QCOMPARE(w.state.Ymoji.Count(), 1);

    w.state.Settings.XTickLabelMode = 2;
    w.state.Settings.XSmallSpacing = 1;
    w.state.Settings.OriginX = -1e30f; // the walk makes no headway: the index limit ends it
    w.Place();
    QVERIFY(w.state.Xmoji.UpperBound() <= MaxTickLabels);
}

void TicksRedrawTest::redrawAllReplotsDrawnUnhiddenCurves() {
    Window w;
    CurvaneState& s = w.state;
    const ColorRef colours[3] = {Rgb(250, 0, 0), Rgb(0, 200, 0), Rgb(0, 0, 90)};
    const float rows[3] = {30, 60, 90};
    for (int slot = 1; slot <= 3; ++slot) {
        SlotOf(s.Slots, slot).Color = colours[slot - 1];
        for (int c = 0; c <= 400; ++c) {
            s.Graph.PlotValues.Set(slot, c, rows[slot - 1]);
        }
    }
    SlotOf(s.Slots, 2).Drawn = true;
    SlotOf(s.Slots, 2).Hidden = true;
    SlotOf(s.Slots, 3).Drawn = true;
    RedrawAll(s);
    QVERIFY(!w.Inked(101, 30, colours[0])); // F1 was never drawn
    QVERIFY(!w.Inked(101, 60, colours[1])); // F2 was erased
    QVERIFY(w.Inked(101, 90, colours[2]));
    QVERIFY(w.Inked(201, 146, Rgb(192, 255, 255))); // on a fresh grid
    QVERIFY(s.Xmoji.Count() > 0);
    QVERIFY(SlotOf(s.Slots, 3).Drawn);
}

void TicksRedrawTest::redrawSettingsForgetsEveryCurve() {
    Window w;
    for (FunctionSlot& slot : w.state.Slots) {
        slot.Drawn = true;
        slot.Hidden = true;
        slot.Button = DrawButtonState::Update;
    }
    w.state.Sheet.Line(0, 20, 399, 20, Rgb(1, 2, 3));
    RedrawSettings(w.state);
    for (const FunctionSlot& slot : w.state.Slots) {
        QVERIFY(!slot.Drawn);
        QVERIFY(!slot.Hidden);
        QCOMPARE(slot.Button, DrawButtonState::Draw);
    }
    QVERIFY(!w.Inked(7, 20, Rgb(1, 2, 3)));
}

void TicksRedrawTest::activationServesOneFlagAtATimeSettingsFirst() {
    Window w;
    w.state.SettingsChanged = true;
    w.state.PrintDialogClosed = true;
    SlotOf(w.state.Slots, 1).Drawn = true;
    QCOMPARE(RedrawOnActivation(w.state), ActivationRedraw::Settings);
    QVERIFY(!SlotOf(w.state.Slots, 1).Drawn);
    QVERIFY(w.state.PrintDialogClosed);
    QCOMPARE(RedrawOnActivation(w.state), ActivationRedraw::All);
    QCOMPARE(RedrawOnActivation(w.state), ActivationRedraw::None);
}

QTEST_MAIN(TicksRedrawTest)
#include "tst_ticks_redraw.moc"

#include "program/curvanestate.h"
#include "program/redraw.h"
#include "program/textlabels.h"

#include <QtTest/QtTest>

namespace {

struct Sheet {
    CurvaneState state;
    Sheet() { StartGraph(state, 400, 300); }
    const TextLabel& Free(int n) { return state.AddMoji.At(n); }
};

} // namespace

class TextLabelsTest : public QObject {
    Q_OBJECT
private slots:
    void firstLabelIsADotBelowTheAddingRow();
    void nextLabelStartsWithThePreviousLook();
    void erasedLabelsComeBackLastFirst();
    void droppedLabelIsCentredOnThePoint();
    void labelDroppedOnAnotherStaysWhereItWas();
    void reEditRowStaysOnTheSheet_data();
    void reEditRowStaysOnTheSheet();
    void tickNumbersCanBeEditedUntilTheNextRedraw();
    void labelsAreFoundTopmostFirst();
};

void TextLabelsTest::firstLabelIsADotBelowTheAddingRow() {
    Sheet s;
    const int n = AddFreeLabel(s.state, 20, 120);
    QCOMPARE(n, 1);
    const TextLabel& label = s.Free(1);
    QCOMPARE(label.Text(), QStringLiteral("・"));
    QCOMPARE(label.color, Rgb(0, 0, 0));
    QCOMPARE(label.Font().size, 9.75);
    QVERIFY(label.visible);
    QCOMPARE(label.left, 120.0);
    QCOMPARE(label.top, 40.0);
}

void TextLabelsTest::nextLabelStartsWithThePreviousLook() {
    Sheet s;
    AddFreeLabel(s.state, 20, 120);
    const LabelRef first = RefTo(s.state, LabelKind::Free, 1);
    SetLabelText(s.state, first, QStringLiteral("A&B"));
    SetLabelColor(s.state, first, Rgb(255, 0, 0));
    FontSpec bold = s.Free(1).Font();
    bold.bold = true;
    SetLabelFont(s.state, first, bold);
    DropLabel(s.state, first, QPointF(300, 200));
    AddFreeLabel(s.state, 20, 120);
    QCOMPARE(s.Free(2).Text(), QStringLiteral("A&B"));
    QCOMPARE(s.Free(2).color, Rgb(255, 0, 0));
    QVERIFY(s.Free(2).Font().bold);
    QCOMPARE(s.Free(2).left, 120.0); // at the adding row, not where the first one went
}

void TextLabelsTest::erasedLabelsComeBackLastFirst() {
    Sheet s;
    AddFreeLabel(s.state, 20, 120);
    AddFreeLabel(s.state, 20, 120);
    EraseLabel(s.state, RefTo(s.state, LabelKind::Free, 1)); // A
    EraseLabel(s.state, RefTo(s.state, LabelKind::Free, 2)); // B
    QVERIFY(!s.Free(1).visible && !s.Free(2).visible);
    QVERIFY(RestoreLabel(s.state));
    QVERIFY(s.Free(2).visible && !s.Free(1).visible);
    QVERIFY(RestoreLabel(s.state));
    QVERIFY(s.Free(1).visible);
    QVERIFY(!RestoreLabel(s.state));

    // An erased tick number is gone after a redraw: restoring skips it.
    EraseLabel(s.state, RefTo(s.state, LabelKind::XTick, 2));
    RedrawAll(s.state);
    QVERIFY(!RestoreLabel(s.state));
    QVERIFY(s.state.Xmoji.At(2).visible);
}

void TextLabelsTest::droppedLabelIsCentredOnThePoint() {
    Sheet s;
    AddFreeLabel(s.state, 20, 120);
    const LabelRef ref = RefTo(s.state, LabelKind::Free, 1);
    DropLabel(s.state, ref, QPointF(100, 50));
    const TextLabel& label = s.Free(1);
    QCOMPARE(label.left + label.Width() / 2, 100.0);
    QCOMPARE(label.top + label.Height() / 2, 50.0);
}

void TextLabelsTest::labelDroppedOnAnotherStaysWhereItWas() {
    Sheet s;
    AddFreeLabel(s.state, 20, 120);
    const LabelRef free = RefTo(s.state, LabelKind::Free, 1);
    QVERIFY(DropLabel(s.state, free, QPointF(300, 60)));
    const TextLabel& label = s.Free(1);
    const QPointF placed(label.left, label.top);

    // Onto a tick number: stays.
    const TextLabel& ten = s.state.Xmoji.At(2);
    const QPointF onTen(ten.left + ten.Width() / 2, ten.top + ten.Height() / 2);
    QVERIFY(!DropLabel(s.state, free, onTen));
    QCOMPARE(QPointF(label.left, label.top), placed);

    // A tick number onto a free label: stays too.
    const QPointF tenPlace(ten.left, ten.top);
    QVERIFY(!DropLabel(s.state, RefTo(s.state, LabelKind::XTick, 2), QPointF(300, 60)));
    QCOMPARE(QPointF(ten.left, ten.top), tenPlace);

    // Onto its own place, a little beside where it was: it moves.
    QVERIFY(DropLabel(s.state, free, QPointF(302, 61)));
    QCOMPARE(label.left + label.Width() / 2, 302.0);

    // An erased label is no obstacle.
    EraseLabel(s.state, RefTo(s.state, LabelKind::XTick, 2));
    QVERIFY(DropLabel(s.state, free, onTen));
    QCOMPARE(label.top + label.Height() / 2, onTen.y());
}

void TextLabelsTest::reEditRowStaysOnTheSheet_data() {
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<QPointF>("row");
    // A label 12 px high (the test sets its place only); the row is 174 px wide.
    QTest::newRow("room above") << 200.0 << 100.0 << QPointF(113, 100 - 2 * 12.0);
    QTest::newRow("near the top: below instead") << 200.0 << 10.0 << QPointF(113, 10 + 1.5 * 12);
    QTest::newRow("near the left edge") << 20.0 << 100.0 << QPointF(0, 76);
    QTest::newRow("near the right edge") << 390.0 << 100.0 << QPointF(400 - 174, 76);
}

void TextLabelsTest::reEditRowStaysOnTheSheet() {
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(QPointF, row);
    LabelFamily family;
    FontSpec font = family.Template().Font();
    font.size = 9; // 12 px
    family.SetTemplateFont(font);
    TextLabel& label = family.Create(1);
    label.left = left;
    label.top = top;
    QCOMPARE(label.Height() > 0, true);
    const double h = label.Height();
    QPointF expected = row;
    if (QByteArray(QTest::currentDataTag()).startsWith("near the top")) {
        expected.setY(top + 1.5 * h);
    } else {
        expected.setY(top - 2 * h);
    }
    QCOMPARE(ReEditRowPosition(label, 174, 400), expected);
}

void TextLabelsTest::tickNumbersCanBeEditedUntilTheNextRedraw() {
    Sheet s;
    const LabelRef ten = RefTo(s.state, LabelKind::XTick, 2);
    SetLabelText(s.state, ten, QStringLiteral("ten"));
    SetLabelColor(s.state, ten, Rgb(0, 160, 0));
    QCOMPARE(s.state.Xmoji.At(2).Text(), QStringLiteral("ten"));
    QCOMPARE(s.state.Xmoji.At(2).color, Rgb(0, 160, 0));
    s.state.EditedLabel = ten;
    QVERIFY(!EditedLabelGone(s.state));
    RedrawAll(s.state);
    QCOMPARE(s.state.Xmoji.At(2).Text(), QStringLiteral("10"));
    QCOMPARE(s.state.Xmoji.At(2).color, s.state.Xmoji.Template().color); // the family's again
    QVERIFY(EditedLabelGone(s.state));                   // its edit box has nothing left to edit
    SetLabelText(s.state, ten, QStringLiteral("stale")); // a label of an earlier redraw: ignored
    QCOMPARE(s.state.Xmoji.At(2).Text(), QStringLiteral("10"));
}

void TextLabelsTest::labelsAreFoundTopmostFirst() {
    Sheet s;
    const TextLabel& origin = s.state.Xmoji.At(1); // "0" at (202, 152)
    const QPointF inside(origin.left + 1, origin.top + 1);
    QCOMPARE(LabelAt(s.state, inside)->kind, LabelKind::XTick);
    AddFreeLabel(s.state, 20, 120);
    s.state.AddMoji.At(1).left = origin.left;
    s.state.AddMoji.At(1).top = origin.top;
    QCOMPARE(LabelAt(s.state, inside)->kind, LabelKind::Free);
    QVERIFY(!LabelAt(s.state, QPointF(5, 290)).has_value());
}

QTEST_MAIN(TextLabelsTest)
#include "tst_textlabels.moc"

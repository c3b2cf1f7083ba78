#include "platform/labels.h"
#include "tests/support/realwindow.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtTest/QtTest>

class LabelsTest : public QObject {
    Q_OBJECT
private slots:
    void newElementTakesTheTemplatesLook();
    void sizeFollowsTextAndFontAtOnce();
    void removingKeepsOtherIndices();
    void onlyVisibleElementsAreVisited();
    void fontChooserSizesKeepAnUntouchedFraction_data();
    void fontChooserSizesKeepAnUntouchedFraction();
    void aLabelsMarkIsDrawnWithIt();
};

void LabelsTest::newElementTakesTheTemplatesLook() {
    LabelFamily family;
    family.SetTemplateColor(Rgb(0, 0, 255));
    FontSpec big = DefaultLabelFont();
    big.size = 14;
    big.bold = true;
    family.SetTemplateFont(big);
    const TextLabel& label = family.Create(3);
    QCOMPARE(label.color, Rgb(0, 0, 255));
    QCOMPARE(label.Font(), big);
    QVERIFY(!label.visible);
    QVERIFY(label.Text().isEmpty());
    QVERIFY(family.Exists(3));
    QVERIFY(!family.Exists(1));
    QVERIFY(!family.Template().visible);
}

void LabelsTest::sizeFollowsTextAndFontAtOnce() {
    LabelFamily family;
    family.Create(1);
    family.SetText(1, QStringLiteral("10"));
    const double narrow = family.At(1).Width();
    QVERIFY(narrow > 0);
    family.SetText(1, QStringLiteral("-1000"));
    QVERIFY(family.At(1).Width() > narrow);
    const double height = family.At(1).Height();
    FontSpec larger = family.At(1).Font();
    larger.size *= 2;
    family.SetFont(1, larger);
    QVERIFY(family.At(1).Height() > height * 1.5);
}

void LabelsTest::removingKeepsOtherIndices() {
    LabelFamily family;
    for (int i = 1; i <= 4; ++i) {
        family.Create(i);
        family.SetText(i, QString::number(i));
    }
    family.Remove(2);
    QVERIFY(!family.Exists(2));
    QCOMPARE(family.At(3).Text(), QStringLiteral("3"));
    QCOMPARE(family.Count(), 3);
    family.Remove(4);
    QCOMPARE(family.UpperBound(), 3);
    family.Remove(0); // the template cannot go
    QVERIFY(family.Exists(0));
    family.RemoveAll();
    QCOMPARE(family.UpperBound(), 0);
}

void LabelsTest::onlyVisibleElementsAreVisited() {
    LabelFamily family;
    for (int i = 1; i <= 5; ++i) {
        family.Create(i).visible = (i % 2 == 1);
    }
    QList<int> seen;
    family.ForEachVisible([&](int index, const TextLabel&) { seen << index; });
    QCOMPARE(seen, (QList<int>{1, 3, 5}));
}

void LabelsTest::fontChooserSizesKeepAnUntouchedFraction_data() {
    QTest::addColumn<double>("preset");
    QTest::addColumn<double>("chosen");
    QTest::addColumn<double>("kept");
    QTest::newRow("9.75 shown as 10, left alone") << 9.75 << 10.0 << 9.75;
    QTest::newRow("9.25 shown as 9, left alone") << 9.25 << 9.0 << 9.25;
    QTest::newRow("9.5 shown as 10 (halves up)") << 9.5 << 10.0 << 9.5;
    QTest::newRow("9.75 changed to 9") << 9.75 << 9.0 << 9.0;
    QTest::newRow("9.75 changed to 11") << 9.75 << 11.0 << 11.0;
    QTest::newRow("whole sizes pass through") << 12.0 << 14.0 << 14.0;
    QTest::newRow("whole size kept") << 12.0 << 12.0 << 12.0;
    QTest::newRow("a nonsense preset gives way") << -3.0 << 8.0 << 8.0;
}

void LabelsTest::fontChooserSizesKeepAnUntouchedFraction() {
    QFETCH(double, preset);
    QFETCH(double, chosen);
    QFETCH(double, kept);
    QCOMPARE(KeptPointSize(preset, chosen), kept);
}

// A label's dot: round, five pixels across, in its own colour on the pixel of its point, drawn
// with the label (wherever it goes) and only while it is shown; smooth at print quality.
void LabelsTest::aLabelsMarkIsDrawnWithIt() {
    LabelFamily family;
    TextLabel& label = family.Create(1);
    family.SetText(1, QStringLiteral("(1, 2)")); // in black
    label.visible = true;
    label.mark = TextLabel::Mark{QPointF(30.4, 30.6), Rgb(250, 0, 0)};
    using realwindow::BoundsOf;
    using realwindow::CountInRect;
    const auto redAt = [&](QPoint centre, TextEdges edges) { // the count, if around there
        QImage image(80, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawLabels(painter, family, edges);
        const QRect found = BoundsOf(image, image.rect(), qRgb(250, 0, 0));
        return found.contains(centre) ? CountInRect(image, found, qRgb(250, 0, 0)) : -1;
    };
    QCOMPARE(redAt(QPoint(30, 30), TextEdges::Pixel), 21); // 3 + 5 + 5 + 5 + 3
    label.left = 20;
    QCOMPARE(redAt(QPoint(50, 30), TextEdges::Pixel), 21);
    QVERIFY(redAt(QPoint(50, 30), TextEdges::Smooth) > 5);
    label.visible = false;
    QCOMPARE(redAt(QPoint(50, 30), TextEdges::Pixel), -1);
}

QTEST_MAIN(LabelsTest)
#include "tst_labels.moc"

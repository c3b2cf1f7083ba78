#include "platform/labels.h"

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

// The dot a label keeps on its point: a round dot five pixels across in its own colour, drawn
// wherever the label is drawn and only while it is shown; at print quality with smooth edges.
void LabelsTest::aLabelsMarkIsDrawnWithIt() {
    const auto draw = [](const LabelFamily& family, TextEdges edges) {
        QImage image(80, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawLabels(painter, family, edges);
        return image;
    };
    const auto reds = [&](const QImage& image) {
        QList<QPoint> found;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 100) {
                    found << QPoint(x, y);
                }
            }
        }
        return found;
    };
    LabelFamily family;
    TextLabel& label = family.Create(1);
    family.SetText(1, QStringLiteral("(1, 2)")); // black text
    label.left = 10;
    label.top = 5;
    label.visible = true;
    label.mark = TextLabel::Mark{QPointF(30.4, 30.6), Rgb(250, 0, 0)};

    QList<QPoint> dot = reds(draw(family, TextEdges::Pixel));
    QCOMPARE(dot.size(), 21); // 3 + 5 + 5 + 5 + 3
    QRect bounds;
    for (const QPoint& p : dot) {
        bounds |= QRect(p, QSize(1, 1));
    }
    QCOMPARE(bounds, QRect(38, 33, 5, 5));  // around pixel (40, 35)
    QVERIFY(!dot.contains(QPoint(38, 33))); // round: no corners

    label.left += 20; // dragged: the dot goes along
    dot = reds(draw(family, TextEdges::Pixel));
    QCOMPARE(dot.size(), 21);
    QVERIFY(dot.contains(QPoint(60, 35)));
    const QList<QPoint> smooth = reds(draw(family, TextEdges::Smooth));
    QVERIFY(smooth.contains(QPoint(60, 35)) && smooth.size() < 30);

    label.visible = false; // erased: no dot either
    QVERIFY(reds(draw(family, TextEdges::Pixel)).isEmpty());
}

QTEST_MAIN(LabelsTest)
#include "tst_labels.moc"

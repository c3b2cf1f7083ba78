#include "output/printing.h"

#include <QtGui/QPageSize>
#include <QtTest/QtTest>

class PrintingTest : public QObject {
    Q_OBJECT
private slots:
    void papersAndOrientations();
    void countingDown();
    void previewKeepsThePapersProportions();
    void printedSheetHasItsPhysicalSize();
};

void PrintingTest::papersAndOrientations() {
    const PrinterInfo a4 =
        PrinterInfoOf(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
    QCOMPARE(a4.paperSizeCode, 9);
    QCOMPARE(PaperCaption(a4), QStringLiteral("A4"));
    QCOMPARE(OrientationCaption(a4.orientation, {}), QStringLiteral("縦置き"));
    QCOMPARE(a4.printableCornerMm, QPointF(5, 5));
    const PrinterInfo b5 = PrinterInfoOf(
        QPageLayout(QPageSize(QPageSize::JisB5), QPageLayout::Landscape, QMarginsF()));
    QCOMPARE(PaperCaption(b5), QStringLiteral("B5"));
    QCOMPARE(OrientationCaption(b5.orientation, {}), QStringLiteral("横置き"));
    QCOMPARE(OrientationCaption(7, QStringLiteral("縦置き")), QStringLiteral("縦置き"));
    // A paper outside the list shows its printable size, whole millimetres.
    PrinterInfo letterish = PrinterInfoOf(
        QPageLayout(QPageSize(QSizeF(215.9, 279.4), QPageSize::Millimeter), QPageLayout::Portrait,
                    QMarginsF(6.35, 4, 6.35, 4), QPageLayout::Millimeter));
    QCOMPARE(letterish.paperSizeCode, 0);
    QCOMPARE(PaperCaption(letterish), QStringLiteral("203 × 271"));
}

void PrintingTest::countingDown() {
    QCOMPARE(CountedDown(300, 0), 300); // the thumb at the top
    QCOMPARE(CountedDown(300, 300), 0);
    QCOMPARE(CountedDown(1000, 900), 100);
}

void PrintingTest::previewKeepsThePapersProportions() {
    PrinterInfo a4 =
        PrinterInfoOf(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    const PrintPreview portrait = PreviewOf(a4, QSizeF(1935, 1935), 10, 10, 100, QSize(331, 253));
    QCOMPARE(portrait.box.height(), 1935.0);
    QVERIFY(qAbs(portrait.box.width() - 1935.0 * 210 / 297) < 1e-6);
    // 10 mm on 297 mm of paper, in a box 1935 twips high.
    QVERIFY(qAbs(portrait.sheet.y() - 10 * 1440 / 25.4 * 1935 / (297 * 1440 / 25.4)) < 1e-6);
    a4.orientation = 2;
    std::swap(a4.paperTwips.rwidth(), a4.paperTwips.rheight());
    const PrintPreview landscape = PreviewOf(a4, QSizeF(1935, 1935), 0, 0, 200, QSize(331, 253));
    QCOMPARE(landscape.box.width(), 1935.0);
    QVERIFY(qAbs(landscape.box.height() - 1935.0 * 210 / 297) < 1e-6);
    QVERIFY(qAbs(landscape.sheet.width() - 2 * 331 * 15 * 1935 / (297 * 1440 / 25.4)) < 1e-6);
}

void PrintingTest::printedSheetHasItsPhysicalSize() {
    const QRectF at100 = PrintRectMm(10, 10, 100, QSize(331, 253));
    QCOMPARE(at100.topLeft(), QPointF(10, 10));
    QVERIFY(qAbs(at100.width() - 331 * 25.4 / 96) < 1e-9);
    QVERIFY(qAbs(PrintRectMm(0, 0, 50, QSize(96, 96)).width() - 12.7) < 1e-9);
}

QTEST_APPLESS_MAIN(PrintingTest)
#include "tst_printing.moc"

#include "files/printing.h"

#include <QtGui/QPageSize>
#include <QtTest/QtTest>
#include <limits>

class PrintingTest : public QObject {
    Q_OBJECT
private slots:
    void papersAndOrientations();
    void countingDown();
    void previewKeepsThePapersProportions();
    void printedSheetHasItsPhysicalSize();
    void typedTextsBecomeNumbers_data();
    void typedTextsBecomeNumbers();
    void barsCountDownWithinTheirRange_data();
    void barsCountDownWithinTheirRange();
    void previewAndPrintFollowTheTypedTexts();
    void printerSetUpShowsItsCaptionsAndAllowsPrinting();
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

void PrintingTest::typedTextsBecomeNumbers_data() {
    QTest::addColumn<int>("entry"); // a PrintEntry
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("number");
    const int copies = int(PrintEntry::Copies);
    QTest::newRow("copies 3") << copies << "3" << 3.0;
    QTest::newRow("copies 1") << copies << "1" << 1.0;
    QTest::newRow("copies 0 prints one") << copies << "0" << 1.0;
    QTest::newRow("copies negative prints one") << copies << "-2" << 1.0;
    QTest::newRow("copies not a number prints one") << copies << "abc" << 1.0;
    QTest::newRow("copies empty prints one") << copies << "" << 1.0;
    QTest::newRow("copies 1.4 round down") << copies << "1.4" << 1.0;
    QTest::newRow("copies 2.5 ties to even") << copies << "2.5" << 2.0;
    QTest::newRow("copies 3.5 ties to even") << copies << "3.5" << 4.0;
    QTest::newRow("copies with a word after") << copies << QString::fromUtf8("12部") << 12.0;
    QTest::newRow("copies beyond an integer")
        << copies << "1e12" << double(std::numeric_limits<int>::max());
    for (const auto& [entry, name] :
         {std::pair{PrintEntry::LMergin, "left"}, std::pair{PrintEntry::UMergin, "top"}}) {
        QTest::addRow("%s margin", name) << int(entry) << "10" << 10.0;
        QTest::addRow("%s margin with unit", name) << int(entry) << " 12.5mm" << 12.5;
        QTest::addRow("%s margin not a number", name) << int(entry) << "abc" << 0.0;
        QTest::addRow("%s margin negative kept", name) << int(entry) << "-5" << -5.0;
        QTest::addRow("%s margin beyond a double", name) << int(entry) << "1e400" << 0.0;
    }
    QTest::newRow("zoom") << int(PrintEntry::Zoom) << "250" << 250.0;
    QTest::newRow("zoom with percent") << int(PrintEntry::Zoom) << "50%" << 50.0;
    QTest::newRow("zoom full-width digits")
        << int(PrintEntry::Zoom) << QString::fromUtf8("５０") << 0.0;
}

void PrintingTest::typedTextsBecomeNumbers() {
    QFETCH(int, entry);
    QFETCH(QString, typed);
    QFETCH(double, number);
    SetPrinterControls controls;
    controls.*FieldOf(static_cast<PrintEntry>(entry)).text = typed;
    switch (static_cast<PrintEntry>(entry)) {
    case PrintEntry::Copies:
        QCOMPARE(double(CopiesOf(controls)), number);
        break;
    case PrintEntry::LMergin:
        QCOMPARE(LeftMarginMm(controls), number);
        QCOMPARE(TopMarginMm(controls), 10.0);
        break;
    case PrintEntry::UMergin:
        QCOMPARE(TopMarginMm(controls), number);
        QCOMPARE(LeftMarginMm(controls), 10.0);
        break;
    case PrintEntry::Zoom:
        QCOMPARE(ZoomPercent(controls), number);
        break;
    }
}

void PrintingTest::barsCountDownWithinTheirRange_data() {
    QTest::addColumn<int>("entry"); // a PrintEntry
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("bar"); // where the bar stands afterwards
    QTest::addColumn<QString>("text");
    const int copies = int(PrintEntry::Copies);
    const int zoom = int(PrintEntry::Zoom);
    QTest::newRow("copies one up from the bottom") << copies << 299 << 299 << "1";
    QTest::newRow("copies at the top") << copies << 0 << 0 << "300";
    QTest::newRow("copies at the bottom") << copies << 300 << 300 << "0";
    QTest::newRow("copies above the top") << copies << -1 << 0 << "300";
    QTest::newRow("copies below the bottom") << copies << 301 << 300 << "0";
    QTest::newRow("left margin") << int(PrintEntry::LMergin) << 275 << 275 << "25";
    QTest::newRow("top margin at the top") << int(PrintEntry::UMergin) << 0 << 0 << "300";
    QTest::newRow("zoom one step up") << zoom << 890 << 890 << "110";
    QTest::newRow("zoom at the top") << zoom << 0 << 0 << "1000";
    QTest::newRow("zoom at the bottom") << zoom << 1000 << 1000 << "0";
    QTest::newRow("zoom below the bottom") << zoom << 2000 << 1000 << "0";
}

void PrintingTest::barsCountDownWithinTheirRange() {
    QFETCH(int, entry);
    QFETCH(int, position);
    QFETCH(int, bar);
    QFETCH(QString, text);
    const PrintEntryField field = FieldOf(static_cast<PrintEntry>(entry));
    SetPrinterControls controls;
    // A fresh dialog's bars stand where their boxes' numbers say.
    QCOMPARE(QString::number(CountedDown(field.maximum, controls.*field.bar)),
             controls.*field.text);
    const SetPrinterControls before = controls;
    PrintBarMoved(controls, static_cast<PrintEntry>(entry), position);
    QCOMPARE(controls.*field.bar, bar);
    QCOMPARE(controls.*field.text, text);
    // The other entries stay as they were.
    for (const PrintEntry other :
         {PrintEntry::Copies, PrintEntry::LMergin, PrintEntry::UMergin, PrintEntry::Zoom}) {
        if (int(other) != entry) {
            QCOMPARE(controls.*FieldOf(other).text, before.*FieldOf(other).text);
            QCOMPARE(controls.*FieldOf(other).bar, before.*FieldOf(other).bar);
        }
    }
}

void PrintingTest::previewAndPrintFollowTheTypedTexts() {
    SetPrinterControls controls;
    controls.txtLMergin = QStringLiteral("20");
    controls.txtUMergin = QStringLiteral("5mm");
    controls.txtZoom = QStringLiteral("50");
    const QRectF mm = PrintRectMm(controls, QSize(331, 253));
    QCOMPARE(mm.topLeft(), QPointF(20, 5));
    QVERIFY(qAbs(mm.width() - 331 * 25.4 / 96 / 2) < 1e-9);
    QVERIFY(qAbs(mm.height() - 253 * 25.4 / 96 / 2) < 1e-9);

    const PrinterInfo a4 =
        PrinterInfoOf(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    const PrintPreview preview = PreviewOf(a4, QSizeF(1935, 1935), controls, QSize(331, 253));
    // 20 mm on 210 mm of paper in a box 1935 × 210 / 297 twips wide.
    const double boxWidth = 1935.0 * 210 / 297;
    QVERIFY(qAbs(preview.sheet.x() - boxWidth * 20 / 210) < 1e-6);
    QVERIFY(qAbs(preview.sheet.y() - 1935.0 * 5 / 297) < 1e-6);
    QVERIFY(qAbs(preview.sheet.width() - boxWidth * (331 * 25.4 / 96 / 2) / 210) < 1e-6);
}

void PrintingTest::printerSetUpShowsItsCaptionsAndAllowsPrinting() {
    SetPrinterControls controls;
    QVERIFY(!ReadyToPrint(controls));
    PrinterInfo b4 = PrinterInfoOf(
        QPageLayout(QPageSize(QPageSize::JisB4), QPageLayout::Landscape, QMarginsF()));
    ShowPrinter(controls, b4);
    QCOMPARE(controls.lblPaperSize, QStringLiteral("B4"));
    QCOMPARE(controls.lblOrient, QStringLiteral("横置き"));
    QVERIFY(ReadyToPrint(controls));
    // An orientation code without a caption keeps the one shown.
    b4.orientation = 3;
    ShowPrinter(controls, b4);
    QCOMPARE(controls.lblOrient, QStringLiteral("横置き"));
}

QTEST_APPLESS_MAIN(PrintingTest)
#include "tst_printing.moc"

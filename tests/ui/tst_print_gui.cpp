#include "files/pdfcheck.h"
#include "program/redraw.h"
#include "tests/support/fullfolder.h"
#include "tests/support/pdfpage.h"
#include "tests/support/pixels.h"
#include "tests/ui/windowfixture.h"
#include "ui/frmsetprinter.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <functional>
#include <utility>

namespace {

// Runs the print dialog from the toolbar and does `inside` while it is open.
void WithPrintDialog(WindowFixture& f, const std::function<void(QDialog*)>& inside) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        inside(dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    f.window->tbToolBar_ButtonClick(QStringLiteral("画像印刷"));
}

template <class T>
T* In(QDialog* dialog, const char* name) {
    return dialog->findChild<T*>(QString::fromLatin1(name));
}

// Prints into a PDF in the fixture's folder, on A4 without unprintable edges.
QString PrintToPdf(WindowFixture& f) {
    const QString pdf = f.dir.filePath(QStringLiteral("sheet.pdf"));
    f.dialogs->printerChoices.push_back(PrinterChoice{
        {}, pdf, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())});
    return pdf;
}

} // namespace

class PrintGuiTest : public QObject {
    Q_OBJECT
private slots:
    void opensAfreshEachTime();
    void printsTheSheetAtItsPhysicalSize();
    void typingAndScrollingKeepRecordAndControlsInStep();
    void typedValuesReachThePreviewAndThePrint();
    void onlyThisDialogsMarginsApply();
    void aPdfThatCannotBeWrittenKeepsTheOldFile();
    void aPdfOnAFullDiskKeepsTheOldFile_data();
    void aPdfOnAFullDiskKeepsTheOldFile();
    void zeroZoomIsRefused();
    void eachQualityKeepsPicturesWithoutLoss_data();
    void eachQualityKeepsPicturesWithoutLoss();
};

void PrintGuiTest::opensAfreshEachTime() {
    WindowFixture f;
    for (int opening = 0; opening < 2; ++opening) {
        WithPrintDialog(f, [](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("印刷設定"));
            QCOMPARE(In<QLineEdit>(d, "txtZoom")->text(), QStringLiteral("100"));
            QCOMPARE(In<QLineEdit>(d, "txtLMergin")->text(), QStringLiteral("10"));
            QCOMPARE(In<QLineEdit>(d, "txtUMergin")->text(), QStringLiteral("10"));
            QCOMPARE(In<QLineEdit>(d, "txtCopies")->text(), QStringLiteral("1"));
            QVERIFY(In<QLabel>(d, "lblPaperSize")->text().isEmpty());
            auto* margin = In<QScrollBar>(d, "scrLMergin");
            QCOMPARE(margin->maximum(), 300);
            margin->setValue(0); // the thumb at the top: the largest margin
            QCOMPARE(In<QLineEdit>(d, "txtLMergin")->text(), QStringLiteral("300"));
            margin->setValue(300);
            QCOMPARE(In<QLineEdit>(d, "txtLMergin")->text(), QStringLiteral("0"));
            QCOMPARE(In<QScrollBar>(d, "scrZoom")->singleStep(), 10);
            In<QLineEdit>(d, "txtZoom")->setText(QStringLiteral("250"));
            QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton); // no set-up yet
            QVERIFY(d->isVisible());
        });
    }
    // The dialog's closing asks the window for a full redraw, which takes the stamps away.
    QVERIFY(!f.State().PrintDialogClosed);
}

void PrintGuiTest::printsTheSheetAtItsPhysicalSize() {
    WindowFixture f;
    const QString pdf = PrintToPdf(f);
    WithPrintDialog(f, [&](QDialog* d) {
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
        QCOMPARE(In<QLabel>(d, "lblPaperSize")->text(), QStringLiteral("A4"));
        QCOMPARE(In<QLabel>(d, "lblOrient")->text(), QStringLiteral("縦置き"));
        auto* preview = In<QWidget>(d, "picPrintImage");
        QCOMPARE(preview->height(), 129); // the design height; narrower for the A4 proportions
        QCOMPARE(preview->width(), 91);
        QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton);
    });
    QCOMPARE(f.dialogs->asked.first().title, QStringLiteral("プリンタの設定"));
    QVERIFY(QFile::exists(pdf));
    QVERIFY(f.dialogs->Messages().isEmpty());

    // The page at 10 pixels per millimetre: the sheet 10 mm from the corner, 331 pixels of
    // 25.4/96 mm wide.
    const QImage page = RenderPage(pdf, f.dir.filePath(QStringLiteral("page")));
    QVERIFY(!page.isNull());
    const QRect inked = Inked(page);
    QVERIFY2(qAbs(inked.left() - 100) <= 2, qPrintable(QString::number(inked.left())));
    QVERIFY2(qAbs(inked.top() - 100) <= 2, qPrintable(QString::number(inked.top())));
    QVERIFY2(qAbs(inked.width() - 876) <= 3, qPrintable(QString::number(inked.width())));
    QVERIFY2(qAbs(inked.height() - 669) <= 3, qPrintable(QString::number(inked.height())));
}

void PrintGuiTest::typingAndScrollingKeepRecordAndControlsInStep() {
    WindowFixture f;
    WithPrintDialog(f, [&](QDialog* d) {
        auto* form = qobject_cast<frmSetPrinter*>(d);
        QVERIFY(form);
        auto* box = In<QLineEdit>(d, "txtLMergin");
        auto* bar = In<QScrollBar>(d, "scrLMergin");
        QCOMPARE(form->Controls().txtLMergin, box->text());
        QCOMPARE(form->Controls().scrLMergin, bar->value());

        // Typed: the record holds the text; the bar stays where it stands.
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("25"));
        QCOMPARE(form->Controls().txtLMergin, QStringLiteral("25"));
        QCOMPARE(bar->value(), 290);
        QCOMPARE(form->Controls().scrLMergin, 290);
        // A digit typed in the middle stays where it was typed, the cursor after it.
        box->setCursorPosition(1);
        QTest::keyClick(box, Qt::Key_0);
        QCOMPARE(box->text(), QStringLiteral("205"));
        QCOMPARE(box->cursorPosition(), 2);
        QCOMPARE(form->Controls().txtLMergin, QStringLiteral("205"));

        // Scrolled: one step up from where the bar stood replaces the typed number.
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(box->text(), QStringLiteral("11"));
        QCOMPARE(form->Controls().txtLMergin, QStringLiteral("11"));
        QCOMPARE(form->Controls().scrLMergin, 289);
        auto* zoom = In<QScrollBar>(d, "scrZoom");
        zoom->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(In<QLineEdit>(d, "txtZoom")->text(), QStringLiteral("110"));
        QCOMPARE(form->Controls().txtZoom, QStringLiteral("110"));
        QCOMPARE(form->Controls().scrZoom, 890);
        // The other entries kept theirs.
        QCOMPARE(form->Controls().txtUMergin, QStringLiteral("10"));
        QCOMPARE(form->Controls().txtCopies, QStringLiteral("1"));

        // Cancel closes without asking or printing anything.
        QTest::mouseClick(In<QPushButton>(d, "cmdCancel"), Qt::LeftButton);
        QVERIFY(!d->isVisible());
    });
    QVERIFY(f.dialogs->asked.isEmpty());
    // The next opening starts afresh.
    WithPrintDialog(f, [](QDialog* d) {
        QCOMPARE(In<QLineEdit>(d, "txtLMergin")->text(), QStringLiteral("10"));
        QCOMPARE(In<QScrollBar>(d, "scrLMergin")->value(), 290);
        QCOMPARE(In<QLineEdit>(d, "txtZoom")->text(), QStringLiteral("100"));
    });
}

void PrintGuiTest::typedValuesReachThePreviewAndThePrint() {
    WindowFixture f;
    const QString pdf = PrintToPdf(f);
    WithPrintDialog(f, [&](QDialog* d) {
        for (const auto& [name, typed] :
             {std::pair{"txtLMergin", "30"}, std::pair{"txtUMergin", "20"},
              std::pair{"txtZoom", "50"}, std::pair{"txtCopies", "2"}}) {
            auto* box = In<QLineEdit>(d, name);
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, QString::fromLatin1(typed));
        }
        // The set-up draws the preview with the typed margins: A4 in 91 × 129 pixels.
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
        auto* preview = In<QWidget>(d, "picPrintImage");
        const QRect shown = Inked(preview->grab().toImage());
        QVERIFY2(qAbs(shown.left() - 30 * 91 / 210.0) <= 1.5,
                 qPrintable(QString::number(shown.left())));
        QVERIFY2(qAbs(shown.top() - 20 * 129 / 297.0) <= 1.5,
                 qPrintable(QString::number(shown.top())));
        QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton);
        QVERIFY(!d->isVisible());
    });
    QCOMPARE(f.window->Printer().copyCount(), 2);
    QVERIFY(f.dialogs->Messages().isEmpty());
    const QImage page = RenderPage(pdf, f.dir.filePath(QStringLiteral("page")));
    QVERIFY(!page.isNull());
    const QRect inked = Inked(page);
    // 30 and 20 mm from the corner, half the sheet's physical size.
    QVERIFY2(qAbs(inked.left() - 300) <= 2, qPrintable(QString::number(inked.left())));
    QVERIFY2(qAbs(inked.top() - 200) <= 2, qPrintable(QString::number(inked.top())));
    QVERIFY2(qAbs(inked.width() - 438) <= 3, qPrintable(QString::number(inked.width())));
    QVERIFY2(qAbs(inked.height() - 334) <= 3, qPrintable(QString::number(inked.height())));
}

void PrintGuiTest::onlyThisDialogsMarginsApply() {
    WindowFixture f;
    const QString pdf = f.dir.filePath(QStringLiteral("margins.pdf"));
    // The set-up comes back with margins of its own; they must not add to the dialog's.
    f.dialogs->printerChoices.push_back(
        PrinterChoice{{},
                      pdf,
                      QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                  QMarginsF(20, 30, 20, 30), QPageLayout::Millimeter)});
    WithPrintDialog(f, [&](QDialog* d) {
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
        QCOMPARE(In<QLabel>(d, "lblPaperSize")->text(), QStringLiteral("A5"));
        QCOMPARE(In<QLabel>(d, "lblOrient")->text(), QStringLiteral("横置き"));
        QCOMPARE(In<QLabel>(d, "lblPrinterName")->text(),
                 QStringLiteral("PDF ファイル: margins.pdf"));
        QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton);
    });
    // The set-up started from the window's printer and was asked under its title.
    QCOMPARE(f.dialogs->asked.first().title, QStringLiteral("プリンタの設定"));
    QVERIFY(f.dialogs->Messages().isEmpty());
    const QImage page = RenderPage(pdf, f.dir.filePath(QStringLiteral("a5")));
    QCOMPARE(page.width(), 2100); // A5 landscape at 10 pixels per millimetre
    const QRect inked = Inked(page);
    QVERIFY2(qAbs(inked.left() - 100) <= 2, qPrintable(QString::number(inked.left())));
    QVERIFY2(qAbs(inked.top() - 100) <= 2, qPrintable(QString::number(inked.top())));

    // The next set-up is offered what was chosen.
    WithPrintDialog(f, [&](QDialog* d) {
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
    });
    QCOMPARE(f.dialogs->printerChoicesOffered.last().pdfFile, pdf);
    QCOMPARE(f.dialogs->printerChoicesOffered.last().layout.pageSize().id(), QPageSize::A5);
}

void PrintGuiTest::aPdfThatCannotBeWrittenKeepsTheOldFile() {
    WindowFixture f;
    // A folder stands where the PDF should go: refused, the folder untouched, the user told.
    const QString folder = f.dir.filePath(QStringLiteral("taken.pdf"));
    QVERIFY(QDir().mkpath(folder));
    f.dialogs->printerChoices.push_back(PrinterChoice{
        {}, folder, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())});
    WithPrintDialog(f, [&](QDialog* d) {
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
        QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton);
    });
    QCOMPARE(f.dialogs->Messages().size(), 1);
    QVERIFY(f.dialogs->Messages()[0].startsWith(
        QStringLiteral("PDF ファイルを保存できませんでした。\n") + folder));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(!f.dialogs->Messages()[0].contains(QStringLiteral("プリンターエラーです")));

    // An existing PDF is replaced whole by the new page, and nothing else is left beside it.
    const QString pdf = f.dir.filePath(QStringLiteral("again.pdf"));
    {
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    f.dialogs->printerChoices.push_back(PrinterChoice{
        {}, pdf, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())});
    WithPrintDialog(f, [&](QDialog* d) {
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
        QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton);
    });
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith("%PDF"));
    QCOMPARE(
        QDir(f.dir.path()).entryList({QStringLiteral("again.pdf*")}, QDir::Files | QDir::Hidden),
        QStringList{QStringLiteral("again.pdf")});
}

void PrintGuiTest::aPdfOnAFullDiskKeepsTheOldFile_data() {
    QTest::addColumn<bool>("targetOnIt");
    QTest::newRow("the temporary folder on a full disk") << false;
    QTest::newRow("the temporary folder and the PDF on a full disk") << true;
}

// The page is drafted beside the PDF, whatever the temporary folder holds. When it cannot be
// finished there, the old PDF stays byte for byte, the user is told why, and no draft is left.
void PrintGuiTest::aPdfOnAFullDiskKeepsTheOldFile() {
    QFETCH(bool, targetOnIt);
    WindowFixture f;
    FullFolder full(4096);
    if (!targetOnIt && !full.IsDisk()) {
        QSKIP("a full temporary folder beside a free one needs a disk of its own (root)");
    }
    const QString pdf = (targetOnIt ? full.Path() : f.dir.path()) + QStringLiteral("/sheet.pdf");
    const QByteArray old = "%PDF-1.4 an older page";
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(old);
    file.close();
    f.dialogs->printerChoices.push_back(PrinterChoice{
        {}, pdf, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())});
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(full.Path()));
    full.Fill();
    WithPrintDialog(f, [&](QDialog* d) {
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
        QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton);
    });
    qputenv("TMPDIR", tmp);
    const QStringList messages = f.dialogs->Messages();
    QCOMPARE(messages.size(), targetOnIt ? 1 : 0);
    QCOMPARE(CheckPdfComplete(pdf).Failed(), targetOnIt);
    if (targetOnIt) {
        QVERIFY2(messages[0].startsWith(QStringLiteral("PDF ファイルを保存できませんでした。\n") +
                                        pdf) &&
                     messages[0].contains(full.Reason()),
                 qPrintable(messages[0]));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        QCOMPARE(
            QDir(full.Path()).entryList({QStringLiteral("sheet.pdf*")}, QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("sheet.pdf")});
    }
}

void PrintGuiTest::zeroZoomIsRefused() {
    WindowFixture f;
    const QString pdf = PrintToPdf(f);
    WithPrintDialog(f, [&](QDialog* d) {
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
        for (const char* zoom : {"0", "abc", "-50"}) {
            auto* box = In<QLineEdit>(d, "txtZoom");
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, QString::fromLatin1(zoom));
            QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton);
            QVERIFY(d->isVisible()); // stays open for a better number
        }
    });
    QCOMPARE(f.dialogs->Messages().size(), 3);
    QCOMPARE(f.dialogs->Messages()[0], QStringLiteral("ズームは 0 より大きい数にしてください"));
    QVERIFY(!QFile::exists(pdf));
}

void PrintGuiTest::eachQualityKeepsPicturesWithoutLoss_data() {
    QTest::addColumn<bool>("asScreen");
    QTest::addColumn<QSize>("picture");       // the background picture, if any
    QTest::addColumn<QList<QSize>>("images"); // the pictures the printed page holds
    const QSize sheet(331, 253);
    QTest::newRow("high quality: vectors only") << false << QSize() << QList<QSize>{};
    QTest::newRow("high quality: the background picture")
        << false << QSize(120, 40) << QList<QSize>{QSize(120, 40)};
    QTest::newRow("as on the screen: the sheet's picture")
        << true << QSize() << QList<QSize>{sheet};
    QTest::newRow("as on the screen, over a picture")
        << true << QSize(120, 40) << QList<QSize>{sheet};
}

// Whatever the quality, a picture on the page keeps every pixel: none is made a JPEG, which a
// PDF writer does with a photograph unless told otherwise.
void PrintGuiTest::eachQualityKeepsPicturesWithoutLoss() {
    QFETCH(bool, asScreen);
    QFETCH(QSize, picture);
    QFETCH(QList<QSize>, images);
    WindowFixture f;
    QCOMPARE(f.State().Sheet.Image().size(), QSize(331, 253));
    if (!picture.isEmpty()) {
        f.State().Sheet.SetPicture(Photograph(picture));
        RedrawAll(f.State());
    }
    const QString pdf = PrintToPdf(f);
    WithPrintDialog(f, [&](QDialog* d) {
        auto* quality = In<QComboBox>(d, "cboPrintQuality");
        QCOMPARE(quality->currentText(), QStringLiteral("高品質")); // high quality, the default
        if (asScreen) {
            quality->setFocus();
            QTest::keyClick(quality, Qt::Key_Down);
            QCOMPARE(quality->currentText(), QStringLiteral("画面のとおり")); // as on the screen
        }
        QTest::mouseClick(In<QPushButton>(d, "cmdSetPrinter"), Qt::LeftButton);
        QTest::mouseClick(In<QPushButton>(d, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(f.dialogs->Messages().isEmpty());
    QList<QSize> held;
    for (const PdfImage& image : PdfImages(pdf)) {
        held << QSize(image.width, image.height);
        QCOMPARE(image.encoding, QStringLiteral("image"));
    }
    QCOMPARE(held, images);
}

QTEST_MAIN(PrintGuiTest)
#include "tst_print_gui.moc"

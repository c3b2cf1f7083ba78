#include "tests/ui/windowfixture.h"
#include "ui/frmsetprinter.h"

#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <functional>

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

} // namespace

class PrintGuiTest : public QObject {
    Q_OBJECT
private slots:
    void opensAfreshEachTime();
    void printsTheSheetAtItsPhysicalSize();
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
    QVERIFY(!f.State().Settings.PrintDialogClosed);
}

void PrintGuiTest::printsTheSheetAtItsPhysicalSize() {
    WindowFixture f;
    QPrinter& printer = f.window->Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = f.dir.filePath(QStringLiteral("sheet.pdf"));
    printer.setOutputFileName(pdf);
    f.dialogs->pageLayouts.push_back(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
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
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-png"),
                  QStringLiteral("-singlefile"), pdf, f.dir.filePath(QStringLiteral("page"))});
    QVERIFY(render.waitForFinished(30000));
    const QImage page(f.dir.filePath(QStringLiteral("page.png")));
    QVERIFY(!page.isNull());
    QRect inked;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (page.pixelColor(x, y).lightness() < 250) {
                inked |= QRect(x, y, 1, 1);
            }
        }
    }
    QVERIFY2(qAbs(inked.left() - 100) <= 2, qPrintable(QString::number(inked.left())));
    QVERIFY2(qAbs(inked.top() - 100) <= 2, qPrintable(QString::number(inked.top())));
    QVERIFY2(qAbs(inked.width() - 876) <= 3, qPrintable(QString::number(inked.width())));
    QVERIFY2(qAbs(inked.height() - 669) <= 3, qPrintable(QString::number(inked.height())));
}

QTEST_MAIN(PrintGuiTest)
#include "tst_print_gui.moc"

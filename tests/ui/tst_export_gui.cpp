#include "program/export.h"
#include "ui/frmexport.h"
#include "windowfixture.h"

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

namespace {

// Answers the export dialog as soon as it shows: set runs on it, then OK or Cancel.
void AnswerExportDialog(const std::function<void(frmExport&)>& set, bool ok) {
    QTimer::singleShot(0, [set, ok] {
        auto* dialog = qobject_cast<frmExport*>(QApplication::activeModalWidget());
        if (!dialog) {
            qWarning("no export dialog");
            return;
        }
        set(*dialog);
        dialog->findChild<QPushButton*>(ok ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel"))
            ->click();
    });
}

} // namespace

class ExportGuiTest : public QObject {
    Q_OBJECT
private slots:
    void dialogShowsTheChoicesItWasGiven();
    void menuEntryExportsAndRemembersTheChoice();
    void cancelWritesNothingAndKeepsTheOldChoice();
};

void ExportGuiTest::dialogShowsTheChoicesItWasGiven() {
    CurvaneState state;
    StartGraph(state, 400, 300);
    frmExport dialog(state, {ExportFormat::Png, 600});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("エクスポート"));
    auto* optPng = dialog.findChild<QRadioButton*>(QStringLiteral("optPng"));
    auto* optSvg = dialog.findChild<QRadioButton*>(QStringLiteral("optSvg"));
    auto* txtDpi = dialog.findChild<QSpinBox*>(QStringLiteral("txtDpi"));
    auto* lblSize = dialog.findChild<QLabel*>(QStringLiteral("lblSize"));
    QVERIFY(optPng && optSvg && txtDpi && lblSize);
    QVERIFY(optPng->isChecked());
    QCOMPARE(txtDpi->value(), 600);
    QVERIFY(txtDpi->isEnabled());
    QCOMPARE(lblSize->text(), QStringLiteral("105.8 × 79.4 mm、2500 × 1875 ピクセル"));
    QCOMPARE(txtDpi->minimum(), 96);
    QCOMPARE(txtDpi->maximum(), 1200);
    // A vector has no resolution.
    optSvg->click();
    QVERIFY(!txtDpi->isEnabled());
    QCOMPARE(lblSize->text(), QStringLiteral("105.8 × 79.4 mm"));
    QCOMPARE(dialog.Options(), (ExportOptions{ExportFormat::Svg, 600}));
}

void ExportGuiTest::menuEntryExportsAndRemembersTheChoice() {
    WindowFixture f;
    auto* entry = f.Find<QAction>("mnuExport");
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("エクスポート(&E)..."));
    // In the file menu, after the bitmap entries.
    auto* file = f.Find<QMenu>("mnuFile");
    const QList<QAction*> actions = file->actions();
    QVERIFY(actions.indexOf(entry) > actions.indexOf(f.Find<QAction>("mnuBMPSaveAs")));

    const QString target = f.dir.filePath(QStringLiteral("sheet"));
    f.dialogs->paths.push_back(target);
    AnswerExportDialog(
        [](frmExport& dialog) {
            dialog.findChild<QRadioButton*>(QStringLiteral("optPng"))->click();
            dialog.findChild<QSpinBox*>(QStringLiteral("txtDpi"))->setValue(192);
        },
        true);
    entry->trigger();
    // Written on a worker: the file appears, whole, when it is done.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(target + QStringLiteral(".png")), 20000);
    // The chosen format's extension, at the chosen resolution: twice the sheet's pixels.
    const QImage written(target + QStringLiteral(".png"));
    QCOMPARE(written.size(), QSize(2 * f.State().Sheet.Width(), 2 * f.State().Sheet.Height()));
    QCOMPARE(f.dialogs->asked.last().text, QStringLiteral("PNG (*.png)|*.png"));
    QVERIFY(f.dialogs->Messages().isEmpty());

    // Next time the dialog opens with PNG at 192 dpi.
    AnswerExportDialog(
        [](frmExport& dialog) {
            QVERIFY(dialog.findChild<QRadioButton*>(QStringLiteral("optPng"))->isChecked());
            QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("txtDpi"))->value(), 192);
            dialog.findChild<QRadioButton*>(QStringLiteral("optPdf"))->click();
        },
        true);
    f.dialogs->paths.push_back(f.dir.filePath(QStringLiteral("sheet.pdf")));
    entry->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(f.dir.filePath(QStringLiteral("sheet.pdf"))), 20000);
    QFile pdf(f.dir.filePath(QStringLiteral("sheet.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
}

void ExportGuiTest::cancelWritesNothingAndKeepsTheOldChoice() {
    WindowFixture f;
    AnswerExportDialog(
        [](frmExport& dialog) {
            QVERIFY(dialog.findChild<QRadioButton*>(QStringLiteral("optPdf"))->isChecked());
            dialog.findChild<QRadioButton*>(QStringLiteral("optSvg"))->click();
        },
        false);
    f.Find<QAction>("mnuExport")->trigger();
    QVERIFY(f.dialogs->asked.isEmpty()); // no file dialog after Cancel
    AnswerExportDialog(
        [](frmExport& dialog) {
            QVERIFY(dialog.findChild<QRadioButton*>(QStringLiteral("optPdf"))->isChecked());
        },
        false);
    f.Find<QAction>("mnuExport")->trigger();
    QCOMPARE(QDir(f.dir.path()).entryList({QStringLiteral("*.pdf"), QStringLiteral("*.svg")}),
             QStringList());
}

QTEST_MAIN(ExportGuiTest)
#include "tst_export_gui.moc"

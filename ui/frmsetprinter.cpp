#include "ui/frmsetprinter.h"

#include "files/pdfcheck.h"
#include "files/printing.h"
#include "files/safefile.h"
#include "platform/dialogs.h"
#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/export.h"
#include "program/stamping.h"
#include "ui/backgroundwork.h"
#include "ui/qtdialogs.h"
#include "ui/twips.h"

#include <QtCore/QFileInfo>
#include <QtCore/QSignalBlocker>
#include <QtGui/QPainter>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QVBoxLayout>
#include <cups/cups.h>

namespace {

constexpr double DesignTwips = 1935.0; // the preview box's designed size

QString PrinterError() {
    return QStringLiteral("プリンターエラーです");
} // printer error

// Why the print system refused the page just handed to it; empty when it took it. Qt hands the
// page to CUPS without reading the answer, and CUPS keeps the answer to the last request of each
// thread, which was the page's.
QString PrintSystemRefusal() {
    if (cupsLastError() < IPP_STATUS_REDIRECTION_OTHER_SITE) {
        return {};
    }
    return QString::fromUtf8(cupsLastErrorString());
}

// The page preview: white paper, the sheet's picture at its place, a dotted outline round it.
class PreviewBox : public QWidget {
public:
    PreviewBox(const QImage& sheet, QWidget* parent) : QWidget(parent), m_sheet(sheet) {}
    void Show(const QRectF& sheetTwips) {
        m_rect = QRectF(sheetTwips.x() / 15, sheetTwips.y() / 15, sheetTwips.width() / 15,
                        sheetTwips.height() / 15);
        m_drawn = true;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (m_drawn) {
            // Scaled down by averaging, so that one-pixel grid lines stay visible as tints
            // instead of dropping out between the sampled pixels.
            const QSize size = m_rect.size().toSize();
            if (!size.isEmpty()) {
                painter.drawImage(m_rect.topLeft(), m_sheet.scaled(size, Qt::IgnoreAspectRatio,
                                                                   Qt::SmoothTransformation));
            }
            painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter.drawRect(m_rect);
        }
    }

private:
    const QImage& m_sheet;
    QRectF m_rect;
    bool m_drawn = false;
};

} // namespace

frmSetPrinter::frmSetPrinter(QWidget* parent, CurvaneState& state, Dialogs& dialogs,
                             QPrinter& printer)
    : QDialog(parent), m_state(state), m_picture(SheetPicture(state)), m_dialogs(dialogs),
      m_printer(printer) {
    setObjectName(QStringLiteral("frmSetPrinter"));
    setWindowTitle(QStringLiteral("印刷設定")); // print settings
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame = new QGroupBox(QStringLiteral("印刷イメージ"), this); // print image
    frame->setObjectName(QStringLiteral("fraPrintImage"));
    auto* previewHolder = new QVBoxLayout(frame);
    m_preview = new PreviewBox(m_picture, frame);
    m_preview->setObjectName(QStringLiteral("picPrintImage"));
    m_preview->setFixedSize(Px(DesignTwips), Px(DesignTwips));
    previewHolder->addWidget(m_preview, 0, Qt::AlignCenter);
    frame->setMinimumSize(Px(DesignTwips) + 24, Px(DesignTwips) + 30);

    auto* setup =
        new QPushButton(QStringLiteral("用紙サイズ･印刷方向"), this); // paper, orientation
    setup->setObjectName(QStringLiteral("cmdSetPrinter"));
    connect(setup, &QPushButton::clicked, this, &frmSetPrinter::cmdSetPrinter_Click);
    m_paper = new QLabel(this);
    m_paper->setObjectName(QStringLiteral("lblPaperSize"));
    m_orient = new QLabel(this);
    m_orient->setObjectName(QStringLiteral("lblOrient"));
    // Where the page goes: the printer's name, or the PDF file.
    m_target = new QLabel(this);
    m_target->setObjectName(QStringLiteral("lblPrinterName"));

    // "印刷部数" = copies; "左端マージン(mm)" / "上端マージン(mm)" = left / top margin (mm);
    // "ズーム（％）" = zoom (%)
    auto* grid = new QGridLayout;
    m_entries = {{
        {PrintEntry::Copies, "Copies", QStringLiteral("印刷部数")},
        {PrintEntry::LMergin, "LMergin", QStringLiteral("左端マージン(mm)")},
        {PrintEntry::UMergin, "UMergin", QStringLiteral("上端マージン(mm)")},
        {PrintEntry::Zoom, "Zoom", QStringLiteral("ズーム（％）")},
    }};
    // The boxes first and the bars after them, so that the tab key goes from box to box.
    for (std::size_t row = 0; row < m_entries.size(); ++row) {
        NewBox(grid, static_cast<int>(row), m_entries[row]);
    }
    for (std::size_t row = 0; row < m_entries.size(); ++row) {
        NewBar(grid, static_cast<int>(row), m_entries[row]);
    }

    // "印刷品質" = print quality
    auto* qualityLabel = new QLabel(QStringLiteral("印刷品質"), this);
    qualityLabel->setObjectName(QStringLiteral("lblPrintQuality"));
    m_quality = new QComboBox(this);
    m_quality->setObjectName(QStringLiteral("cboPrintQuality"));
    for (const PrintQuality quality : {PrintQuality::High, PrintQuality::AsScreen}) {
        m_quality->addItem(PrintQualityCaption(quality), static_cast<int>(quality));
    }
    connect(m_quality, &QComboBox::activated, this, [this](int index) {
        m_controls.quality = static_cast<PrintQuality>(m_quality->itemData(index).toInt());
    });
    grid->addWidget(qualityLabel, static_cast<int>(m_entries.size()), 0);
    grid->addWidget(m_quality, static_cast<int>(m_entries.size()), 1, 1, 2);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, &frmSetPrinter::cmdOK_Click);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(setup);
    right->addWidget(m_target);
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(m_paper);
    paperRow->addWidget(m_orient);
    right->addLayout(paperRow);
    right->addLayout(grid);
    right->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(right);
    ShowControls();
}

void frmSetPrinter::NewBox(QGridLayout* grid, int row, Entry& e) {
    auto* label = new QLabel(e.caption, this);
    label->setObjectName(QStringLiteral("lbl") + QLatin1String(e.name));
    e.box = new QLineEdit(this);
    e.box->setObjectName(QStringLiteral("txt") + QLatin1String(e.name));
    e.box->setFixedWidth(48);
    grid->addWidget(label, row, 0);
    grid->addWidget(e.box, row, 1);
    connect(e.box, &QLineEdit::textChanged, this,
            [this, entry = e.entry](const QString& text) { TextTyped(entry, text); });
}

void frmSetPrinter::NewBar(QGridLayout* grid, int row, Entry& e) {
    const PrintEntryField field = FieldOf(e.entry);
    e.bar = new QScrollBar(Qt::Vertical, this);
    e.bar->setObjectName(QStringLiteral("scr") + QLatin1String(e.name));
    e.bar->setRange(0, field.maximum);
    e.bar->setSingleStep(field.step);
    e.bar->setPageStep(field.step);
    e.bar->setFixedHeight(22);
    grid->addWidget(e.bar, row, 2);
    connect(e.bar, &QScrollBar::valueChanged, this,
            [this, entry = e.entry](int position) { BarMoved(entry, position); });
}

void frmSetPrinter::BarMoved(PrintEntry entry, int position) {
    PrintBarMoved(m_controls, entry, position);
    ShowControls();
    if (FieldOf(entry).redraws) {
        DrawPrintPreview();
    }
}

void frmSetPrinter::TextTyped(PrintEntry entry, const QString& text) {
    m_controls.*FieldOf(entry).text = text;
    ShowControls();
}

void frmSetPrinter::ShowControls() {
    for (const Entry& e : m_entries) {
        const PrintEntryField field = FieldOf(e.entry);
        const QSignalBlocker boxBlocker(e.box);
        const QSignalBlocker barBlocker(e.bar);
        // Setting a box's text again, even unchanged, would move the cursor of someone typing.
        if (e.box->text() != m_controls.*field.text) {
            e.box->setText(m_controls.*field.text);
        }
        e.bar->setValue(m_controls.*field.bar);
    }
    m_paper->setText(m_controls.lblPaperSize);
    m_orient->setText(m_controls.lblOrient);
    const QSignalBlocker qualityBlocker(m_quality);
    m_quality->setCurrentIndex(m_quality->findData(static_cast<int>(m_controls.quality)));
}

void frmSetPrinter::cmdSetPrinter_Click() {
    // "プリンタの設定" = printer settings; a cancelled set-up keeps the printer as it is.
    if (const std::optional<PrinterChoice> choice =
            m_dialogs.PrintSetup(QStringLiteral("プリンタの設定"), ChoiceOf(m_printer))) {
        // The page is measured from the paper's corner: the margins of this dialog are the only
        // ones, none of the set-up's come on top of them.
        PrinterChoice chosen = *choice;
        chosen.layout.setMinimumMargins(QMarginsF());
        chosen.layout.setMargins(QMarginsF());
        m_printer.setFullPage(true);
        ApplyPrinterChoice(m_printer, chosen);
        if (!m_printer.pageLayout().isEquivalentTo(chosen.layout)) {
            m_dialogs.Message(PrinterError(), QStringLiteral("Curvane"), false);
            return;
        }
    }
    m_printer.setFullPage(true);
    ShowPrinter(m_controls, PrinterInfoOf(m_printer.pageLayout()));
    ShowControls();
    ShowTarget();
    DrawPrintPreview();
}

void frmSetPrinter::ShowTarget() {
    const PrinterChoice choice = ChoiceOf(m_printer);
    // "PDF ファイル: " = PDF file:
    m_target->setText(choice.pdfFile.isEmpty() ? choice.printerName
                                               : QStringLiteral("PDF ファイル: ") +
                                                     QFileInfo(choice.pdfFile).fileName());
    m_target->setToolTip(choice.pdfFile.isEmpty() ? choice.printerName : choice.pdfFile);
}

void frmSetPrinter::DrawPrintPreview() {
    const PrintPreview preview =
        PreviewOf(PrinterInfoOf(m_printer.pageLayout()), QSizeF(DesignTwips, DesignTwips),
                  m_controls, m_picture.size());
    m_preview->setFixedSize(Px(preview.box.width()), Px(preview.box.height()));
    static_cast<PreviewBox*>(m_preview)->Show(preview.sheet);
}

QRectF frmSetPrinter::PageTarget() const {
    // The painter's origin is the paper's corner (a full page).
    const QRectF mm = PrintRectMm(m_controls, m_picture.size());
    const double perMm = m_printer.resolution() / units::MillimetresPerInch;
    return {mm.x() * perMm, mm.y() * perMm, mm.width() * perMm, mm.height() * perMm};
}

bool frmSetPrinter::SampleCurves() {
    // The curves are evaluated again on a worker, at the page's resolution, from a copy of the
    // document; the page is painted from them afterwards.
    auto document = std::make_shared<const CurvaneDocument>(m_state);
    auto curves = std::make_shared<std::vector<SheetCurve>>();
    const int steps = PageStepsPerColumn(m_state.Record.size, PageTarget());
    // "印刷しています" = printing
    BackgroundWork work(this, windowTitle(), QStringLiteral("印刷しています (%1 / %2)"),
                        Qt::WindowModal);
    const bool done = work.Run([document, curves, steps](JobProgress& progress) {
        ScriptEvaluator evaluator;
        evaluator.SetStopFlag(&progress.StopFlag());
        *curves = SampleSheetCurves(*document, evaluator, steps, &progress);
    });
    m_curves = std::move(*curves);
    return done;
}

bool frmSetPrinter::PaintPage() {
    QPainter painter;
    if (!painter.begin(&m_printer)) {
        return false;
    }
    const bool painted =
        PaintSheetOnPage(painter, m_state, m_picture, m_curves, PageTarget(), m_controls.quality);
    return painter.end() && painted;
}

FileProblem frmSetPrinter::PrintPdf(const QString& target) {
    // The page goes into a draft beside the target and replaces it only once the printer
    // reported no error and the draft reads back as a whole PDF, like every other file the
    // program writes.
    return WriteByNameSafely(target, [&](const QString& draft) {
        m_printer.setOutputFileName(draft);
        const bool painted = PaintPage() && m_printer.printerState() != QPrinter::Error;
        m_printer.setOutputFileName(target);
        if (!painted) {
            // "PDF を作れませんでした" = the PDF could not be made
            return FileProblem{QStringLiteral("PDF を作れませんでした"), QString()};
        }
        return CheckPdfComplete(draft);
    });
}

void frmSetPrinter::cmdOK_Click() {
    if (!ReadyToPrint(m_controls)) {
        return; // the printer set-up has not been used since the dialog opened
    }
    if (ZoomPercent(m_controls) <= 0) {
        // A zoom of 0 would print an empty page and call it done.
        // "ズームは 0 より大きい数にしてください" = make the zoom a number above 0
        m_dialogs.Message(QStringLiteral("ズームは 0 より大きい数にしてください"),
                          QStringLiteral("Curvane"), false);
        return;
    }
    if (m_controls.quality == PrintQuality::High && !SampleCurves()) {
        return; // stopped by the user: nothing printed, the dialog stays
    }
    m_printer.setCopyCount(CopiesOf(m_controls));
    m_printer.setDocName(PrintJobName(m_state.SettingsFileName));
    const PrinterChoice choice = ChoiceOf(m_printer);
    if (!choice.pdfFile.isEmpty()) {
        if (const FileProblem problem = PrintPdf(choice.pdfFile); problem.Failed()) {
            // "PDF ファイルを保存できませんでした" = the PDF file could not be saved
            m_dialogs.Message(QStringLiteral("PDF ファイルを保存できませんでした。\n") +
                                  problem.MessageText(choice.pdfFile),
                              QStringLiteral("Curvane"), false);
        }
    } else if (!PaintPage()) {
        m_dialogs.Message(PrinterError(), QStringLiteral("Curvane"), false);
    } else if (const QString refusal = PrintSystemRefusal(); !refusal.isEmpty()) {
        m_dialogs.Message(PrinterError() + QLatin1Char('\n') + refusal, QStringLiteral("Curvane"),
                          false);
    }
    accept();
}

void frmSetPrinter::done(int result) {
    m_preview->setFixedSize(Px(DesignTwips), Px(DesignTwips));
    m_state.PrintDialogClosed = true;
    QDialog::done(result);
}

void mnuBMPPrint_Click(QWidget* parent, CurvaneState& state, Dialogs& dialogs, QPrinter& printer) {
    auto* dialog = new frmSetPrinter(parent, state, dialogs, printer);
    dialog->exec();
}

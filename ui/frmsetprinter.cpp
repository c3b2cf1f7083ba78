#include "ui/frmsetprinter.h"

#include "output/printing.h"
#include "platform/dialogs.h"
#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/stamping.h"
#include "ui/twips.h"

#include <QtCore/QSignalBlocker>
#include <QtGui/QPainter>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QVBoxLayout>
#include <cmath>

namespace {

constexpr double DesignTwips = 1935.0; // the preview box's designed size

QString PrinterError() {
    return QStringLiteral("プリンターエラーです");
} // printer error

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
            painter.drawImage(m_rect, m_sheet);
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
    : QDialog(parent), m_state(state), m_dialogs(dialogs), m_printer(printer) {
    setObjectName(QStringLiteral("frmSetPrinter"));
    setWindowTitle(QStringLiteral("印刷設定")); // print settings
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame = new QGroupBox(QStringLiteral("印刷イメージ"), this); // print image
    frame->setObjectName(QStringLiteral("fraPrintImage"));
    auto* previewHolder = new QVBoxLayout(frame);
    m_preview = new PreviewBox(m_state.Sheet.Image(), frame);
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

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, &frmSetPrinter::cmdOK_Click);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(setup);
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
}

void frmSetPrinter::cmdSetPrinter_Click() {
    // "プリンタの設定" = printer settings; a cancelled set-up keeps the printer as it is.
    if (const std::optional<QPageLayout> layout =
            m_dialogs.PrintSetup(QStringLiteral("プリンタの設定"), m_printer.pageLayout())) {
        if (!m_printer.setPageLayout(*layout)) {
            m_dialogs.Message(PrinterError(), QStringLiteral("Curvane"), false);
            return;
        }
    }
    ShowPrinter(m_controls, PrinterInfoOf(m_printer.pageLayout()));
    ShowControls();
    DrawPrintPreview();
}

void frmSetPrinter::DrawPrintPreview() {
    const PrintPreview preview =
        PreviewOf(PrinterInfoOf(m_printer.pageLayout()), QSizeF(DesignTwips, DesignTwips),
                  m_controls, m_state.Sheet.Image().size());
    m_preview->setFixedSize(Px(preview.box.width()), Px(preview.box.height()));
    static_cast<PreviewBox*>(m_preview)->Show(preview.sheet);
}

void frmSetPrinter::cmdOK_Click() {
    if (!ReadyToPrint(m_controls)) {
        return; // the printer set-up has not been used since the dialog opened
    }
    const QRectF mm = PrintRectMm(m_controls, m_state.Sheet.Image().size());
    m_printer.setCopyCount(CopiesOf(m_controls));
    QPainter painter;
    bool printed = painter.begin(&m_printer);
    if (printed) {
        // The painter's origin is the printable area's corner.
        const double perMm = m_printer.resolution() / units::MillimetresPerInch;
        painter.drawImage(
            QRectF(mm.x() * perMm, mm.y() * perMm, mm.width() * perMm, mm.height() * perMm),
            m_state.Sheet.Image());
        printed = painter.end();
    }
    if (!printed) {
        m_dialogs.Message(PrinterError(), QStringLiteral("Curvane"), false);
    }
    accept();
}

void frmSetPrinter::done(int result) {
    m_preview->setFixedSize(Px(DesignTwips), Px(DesignTwips));
    m_state.Settings.PrintDialogClosed = true;
    QDialog::done(result);
}

void mnuBMPPrint_Click(QWidget* parent, CurvaneState& state, Dialogs& dialogs, QPrinter& printer) {
    StampLabels(state);
    auto* dialog = new frmSetPrinter(parent, state, dialogs, printer);
    dialog->exec();
}

#include "ui/frmsetprinter.h"

#include "output/printing.h"
#include "platform/dialogs.h"
#include "platform/number_text.h"
#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/stamping.h"
#include "ui/twips.h"

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

double NumberOf(const QLineEdit* box) {
    return ReadLeadingNumber(box->text().toStdString());
}

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

    auto* grid = new QGridLayout;
    const auto row = [&](int r, const char* name, const QString& caption, const QString& text,
                         QLineEdit*& box) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("lbl") + QLatin1String(name));
        box = new QLineEdit(text, this);
        box->setObjectName(QStringLiteral("txt") + QLatin1String(name));
        box->setFixedWidth(48);
        grid->addWidget(label, r, 0);
        grid->addWidget(box, r, 1);
    };
    row(0, "Copies", QStringLiteral("印刷部数"), QStringLiteral("1"), m_copies); // copies
    row(1, "LMergin", QStringLiteral("左端マージン(mm)"), QStringLiteral("10"), m_left);
    row(2, "UMergin", QStringLiteral("上端マージン(mm)"), QStringLiteral("10"), m_top);
    row(3, "Zoom", QStringLiteral("ズーム（％）"), QStringLiteral("100"), m_zoom); // zoom, %
    grid->addWidget(Bar(QStringLiteral("scrCopies"), 300, 1, 299, m_copies, false), 0, 2);
    grid->addWidget(Bar(QStringLiteral("scrLMergin"), 300, 1, 290, m_left, true), 1, 2);
    grid->addWidget(Bar(QStringLiteral("scrUMergin"), 300, 1, 290, m_top, true), 2, 2);
    grid->addWidget(Bar(QStringLiteral("scrZoom"), 1000, 10, 900, m_zoom, true), 3, 2);

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
}

QScrollBar* frmSetPrinter::Bar(const QString& name, int maximum, int step, int position,
                               QLineEdit* text, bool redraws) {
    auto* bar = new QScrollBar(Qt::Vertical, this);
    bar->setObjectName(name);
    bar->setRange(0, maximum);
    bar->setSingleStep(step);
    bar->setPageStep(step);
    bar->setValue(position);
    bar->setFixedHeight(22);
    // The bar counts downwards: up raises the number.
    connect(bar, &QScrollBar::valueChanged, this, [this, bar, text, redraws](int value) {
        text->setText(QString::number(CountedDown(bar->maximum(), value)));
        if (redraws) {
            DrawPrintPreview();
        }
    });
    return bar;
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
    const PrinterInfo info = PrinterInfoOf(m_printer.pageLayout());
    m_paper->setText(PaperCaption(info));
    m_orient->setText(OrientationCaption(info.orientation, m_orient->text()));
    DrawPrintPreview();
}

void frmSetPrinter::DrawPrintPreview() {
    const PrintPreview preview = PreviewOf(
        PrinterInfoOf(m_printer.pageLayout()), QSizeF(DesignTwips, DesignTwips), NumberOf(m_left),
        NumberOf(m_top), NumberOf(m_zoom), m_state.Sheet.Image().size());
    m_preview->setFixedSize(Px(preview.box.width()), Px(preview.box.height()));
    static_cast<PreviewBox*>(m_preview)->Show(preview.sheet);
}

void frmSetPrinter::cmdOK_Click() {
    if (m_paper->text().isEmpty()) {
        return; // the printer set-up has not been used since the dialog opened
    }
    const QRectF mm = PrintRectMm(NumberOf(m_left), NumberOf(m_top), NumberOf(m_zoom),
                                  m_state.Sheet.Image().size());
    // A copy count below one would print nothing at all.
    m_printer.setCopyCount(std::max(1, RoundHalfEven(NumberOf(m_copies))));
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

#include "files/printing.h"

#include "graph/graphsettings.h"
#include "platform/units.h"
#include "script/number_text.h"

#include <QtCore/QFileInfo>
#include <QtGui/QPageSize>
#include <algorithm>

namespace {

double NumberOf(const QString& text) {
    return ReadLeadingNumber(text.toStdString());
}

} // namespace

PrinterInfo PrinterInfoOf(const QPageLayout& layout) {
    PrinterInfo info;
    switch (layout.pageSize().id()) {
    case QPageSize::A3:
        info.paperSizeCode = 8;
        break;
    case QPageSize::A4:
        info.paperSizeCode = 9;
        break;
    case QPageSize::A5:
        info.paperSizeCode = 11;
        break;
    case QPageSize::B4:
    case QPageSize::JisB4:
        info.paperSizeCode = 12;
        break;
    case QPageSize::B5:
    case QPageSize::JisB5:
        info.paperSizeCode = 13;
        break;
    default:
        info.paperSizeCode = 0;
        break;
    }
    info.orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    const QSizeF paperMm = layout.fullRect(QPageLayout::Millimeter).size();
    info.paperTwips = QSizeF(units::MillimetresToTwips(paperMm.width()),
                             units::MillimetresToTwips(paperMm.height()));
    const QRectF printable = layout.paintRect(QPageLayout::Millimeter);
    info.printableMm = printable.size();
    info.printableCornerMm = printable.topLeft();
    return info;
}

QString PaperCaption(const PrinterInfo& printer) {
    switch (printer.paperSizeCode) {
    case 8:
        return QStringLiteral("A3");
    case 9:
    case 10:
        return QStringLiteral("A4");
    case 11:
        return QStringLiteral("A5");
    case 12:
        return QStringLiteral("B4");
    case 13:
        return QStringLiteral("B5");
    default:
        return QStringLiteral("%1 × %2")
            .arg(RoundToWhole(printer.printableMm.width()))
            .arg(RoundToWhole(printer.printableMm.height()));
    }
}

QString OrientationCaption(int orientation, const QString& previous) {
    if (orientation == 1) {
        return QStringLiteral("縦置き"); // portrait
    }
    if (orientation == 2) {
        return QStringLiteral("横置き"); // landscape
    }
    return previous;
}

int CountedDown(int maximum, int position) {
    return maximum - position;
}

PrintPreview PreviewOf(const PrinterInfo& printer, QSizeF design, double leftMm, double topMm,
                       double zoomPercent, QSize sheetPixels) {
    PrintPreview preview;
    const double pw = printer.paperTwips.width();
    const double ph = printer.paperTwips.height();
    if (pw <= 0 || ph <= 0) {
        preview.box = design;
        return preview;
    }
    if (printer.orientation == 2) {
        preview.box = QSizeF(design.width(), design.width() * ph / pw);
    } else {
        preview.box = QSizeF(design.height() * pw / ph, design.height());
    }
    const double vw = preview.box.width();
    const double vh = preview.box.height();
    const double x = units::MillimetresToTwips(printer.printableCornerMm.x() + leftMm) * vw / pw;
    const double y = units::MillimetresToTwips(printer.printableCornerMm.y() + topMm) * vh / ph;
    const double z = zoomPercent / 100.0;
    const double sw = units::PixelsToTwips(sheetPixels.width());
    const double sh = units::PixelsToTwips(sheetPixels.height());
    preview.sheet = QRectF(x, y, sw * vw / pw * z, sh * vh / ph * z);
    return preview;
}

QRectF PrintRectMm(double leftMm, double topMm, double zoomPercent, QSize sheetPixels) {
    const double z = zoomPercent / 100.0;
    return QRectF(leftMm, topMm, units::PixelsToMillimetres(sheetPixels.width()) * z,
                  units::PixelsToMillimetres(sheetPixels.height()) * z);
}

PrintEntryField FieldOf(PrintEntry entry) {
    switch (entry) {
    case PrintEntry::Copies:
        return {&SetPrinterControls::txtCopies, &SetPrinterControls::scrCopies, 300, 1, false};
    case PrintEntry::LMergin:
        return {&SetPrinterControls::txtLMergin, &SetPrinterControls::scrLMergin, 300, 1, true};
    case PrintEntry::UMergin:
        return {&SetPrinterControls::txtUMergin, &SetPrinterControls::scrUMergin, 300, 1, true};
    case PrintEntry::Zoom:
        break;
    }
    return {&SetPrinterControls::txtZoom, &SetPrinterControls::scrZoom, 1000, 10, true};
}

void PrintBarMoved(SetPrinterControls& controls, PrintEntry entry, int position) {
    const PrintEntryField field = FieldOf(entry);
    const int at = std::clamp(position, 0, field.maximum);
    controls.*field.bar = at;
    controls.*field.text = QString::number(CountedDown(field.maximum, at));
}

void ShowPrinter(SetPrinterControls& controls, const PrinterInfo& printer) {
    controls.lblPaperSize = PaperCaption(printer);
    controls.lblOrient = OrientationCaption(printer.orientation, controls.lblOrient);
}

QString PrintQualityCaption(PrintQuality quality) {
    return quality == PrintQuality::High ? QStringLiteral("高品質")        // high quality
                                         : QStringLiteral("画面のとおり"); // as on the screen
}

QString PrintJobName(const QString& settingsFileName) {
    const QString name = QFileInfo(settingsFileName).completeBaseName();
    return name.isEmpty() ? QStringLiteral("Curvane") : name;
}

bool ReadyToPrint(const SetPrinterControls& controls) {
    return !controls.lblPaperSize.isEmpty();
}

int CopiesOf(const SetPrinterControls& controls) {
    return std::max(1, RoundToWhole(NumberOf(controls.txtCopies)));
}

double LeftMarginMm(const SetPrinterControls& controls) {
    return NumberOf(controls.txtLMergin);
}

double TopMarginMm(const SetPrinterControls& controls) {
    return NumberOf(controls.txtUMergin);
}

double ZoomPercent(const SetPrinterControls& controls) {
    return NumberOf(controls.txtZoom);
}

PrintPreview PreviewOf(const PrinterInfo& printer, QSizeF designTwips,
                       const SetPrinterControls& controls, QSize sheetPixels) {
    return PreviewOf(printer, designTwips, LeftMarginMm(controls), TopMarginMm(controls),
                     ZoomPercent(controls), sheetPixels);
}

QRectF PrintRectMm(const SetPrinterControls& controls, QSize sheetPixels) {
    return PrintRectMm(LeftMarginMm(controls), TopMarginMm(controls), ZoomPercent(controls),
                       sheetPixels);
}

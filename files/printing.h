#pragma once

#include <QtCore/QRectF>
#include <QtCore/QSizeF>
#include <QtCore/QString>
#include <QtGui/QPageLayout>

// The arithmetic of printing the sheet, apart from any printer.

// What the program reads of the printer: paper size code (8 A3, 9 A4, 11 A5, 12 B4, 13 B5, 0 any
// other), orientation code (1 portrait, 2 landscape), the paper in twips and the printable area in
// millimetres with its corner's place on the paper.
struct PrinterInfo {
    int paperSizeCode = 0;
    int orientation = 1;
    QSizeF paperTwips;
    QSizeF printableMm;
    QPointF printableCornerMm;
};

PrinterInfo PrinterInfoOf(const QPageLayout& layout);

// "A4" and its kin, or the printable size such as "203 × 271".
QString PaperCaption(const PrinterInfo& printer);
// "縦置き" (portrait), "横置き" (landscape), or the previous caption for another code.
QString OrientationCaption(int orientation, const QString& previous);

// The number a downward-counting scroll bar shows: its maximum less its position.
int CountedDown(int maximum, int position);

// The preview: the box resized to the paper's proportions (portrait keeps the design height,
// landscape the design width) and the sheet's rectangle in it, all in twips. Margins are measured
// from the printable area's corner and the sheet by its drawing size, as the print does.
struct PrintPreview {
    QSizeF box;
    QRectF sheet;
};
PrintPreview PreviewOf(const PrinterInfo& printer, QSizeF designTwips, double leftMm, double topMm,
                       double zoomPercent, QSize sheetPixels);

// Where the sheet goes on the page, in millimetres from the printable area's corner: at the
// margins, its physical size on screen times the zoom.
QRectF PrintRectMm(double leftMm, double topMm, double zoomPercent, QSize sheetPixels);

// How a page shows the sheet: drawn as vectors at the device's resolution, as the vector export
// draws it ("高品質" = high quality, the first choice), or as the 96-dpi picture the screen
// shows ("画面のとおり" = as on the screen), embedded without loss.
enum class PrintQuality { High, AsScreen };
QString PrintQualityCaption(PrintQuality quality);

// The print job's name, as print queues list it and as a PDF printer names its file: the
// settings file's name without its folder and extension, or the program's name for a sheet that
// came from none.
QString PrintJobName(const QString& settingsFileName);

// The number boxes of the print settings dialog, each with the scroll bar beside it.
enum class PrintEntry { Copies, LMergin, UMergin, Zoom };

// The print settings dialog's controls as plain data. The boxes hold their texts as typed; their
// leading numbers are what is previewed and printed. A bar counts down from its maximum to the
// number it writes into its box, and typing leaves it where it stands.
struct SetPrinterControls {
    QString txtCopies = QStringLiteral("1");
    QString txtLMergin = QStringLiteral("10");
    QString txtUMergin = QStringLiteral("10");
    QString txtZoom = QStringLiteral("100");
    int scrCopies = 299;
    int scrLMergin = 290;
    int scrUMergin = 290;
    int scrZoom = 900;
    // What the last printer set-up showed. The paper stays empty until the set-up has been used
    // since the dialog opened, and nothing prints before that.
    QString lblPaperSize;
    QString lblOrient;
    PrintQuality quality = PrintQuality::High; // cboPrintQuality
};

// Where an entry lives in SetPrinterControls, and its bar: positions 0 to maximum, moved by step,
// with the preview following it or not.
struct PrintEntryField {
    QString SetPrinterControls::*text;
    int SetPrinterControls::*bar;
    int maximum;
    int step;
    bool redraws;
};
PrintEntryField FieldOf(PrintEntry entry);

// A bar moved to position (kept within its range): its box shows the number it counts down to.
void PrintBarMoved(SetPrinterControls& controls, PrintEntry entry, int position);

// The captions of a printer set-up; an orientation code without a caption keeps the previous one.
void ShowPrinter(SetPrinterControls& controls, const PrinterInfo& printer);
bool ReadyToPrint(const SetPrinterControls& controls);

// The numbers the boxes stand for: their leading numbers, 0 for a text without one. Margins and
// zoom are taken as typed; copies are rounded to whole ones, never fewer than one, since fewer
// would print nothing at all.
int CopiesOf(const SetPrinterControls& controls);
double LeftMarginMm(const SetPrinterControls& controls);
double TopMarginMm(const SetPrinterControls& controls);
double ZoomPercent(const SetPrinterControls& controls);

// PreviewOf and PrintRectMm with the dialog's margins and zoom.
PrintPreview PreviewOf(const PrinterInfo& printer, QSizeF designTwips,
                       const SetPrinterControls& controls, QSize sheetPixels);
QRectF PrintRectMm(const SetPrinterControls& controls, QSize sheetPixels);

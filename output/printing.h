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

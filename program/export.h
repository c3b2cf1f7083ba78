#pragma once

#include "files/printing.h"
#include "files/safefile.h"
#include "plot/finecurve.h"

#include <QtCore/QSize>
#include <QtCore/QSizeF>
#include <QtCore/QString>
#include <QtGui/QImage>
#include <QtGui/QPen>
#include <functional>
#include <optional>
#include <vector>

class Dialogs;
class Progress;
class QPainter;
class SettingsStore;
class ScriptEvaluator;
struct CurvaneDocument;
struct CurvaneState;

// The sheet at print quality: as the window shows it (background picture, grid, axes, the drawn
// and not erased curves, tick numbers, free labels), at its true size, drawn as vectors (PDF, SVG)
// or as a smooth picture of a chosen resolution (PNG).

enum class ExportFormat { Pdf, Svg, Png };

inline constexpr int MinExportDpi = 96;
inline constexpr int MaxExportDpi = 1200;
inline constexpr int DefaultExportDpi = 300;
// Vector curves get as many points as a print at this resolution needs to look smooth.
inline constexpr double VectorCurveDpi = 600.0;

struct ExportOptions {
    ExportFormat format = ExportFormat::Pdf;
    int dpi = DefaultExportDpi; // for PNG
    bool operator==(const ExportOptions&) const = default;
};

// The curves of the sheet's record, each evaluated again from the expression and mapping it was
// drawn with at stepsPerColumn points per pixel column, with the pens that draw them: the part
// of the sheet that costs evaluations, worked out once.
struct SheetCurve {
    QPen pen;
    CurveRuns runs;
};
// Tells progress, when given, and stops where it asks to (the curves done so far are returned).
std::vector<SheetCurve> SampleSheetCurves(const CurvaneDocument& document,
                                          ScriptEvaluator& evaluator, int stepsPerColumn,
                                          Progress* progress = nullptr);

// What PaintSheet paints: everything, or the picture under the labels (a view that paints the
// labels itself).
enum class SheetLayers { All, WithoutLabels };

// Paints the sheet's record in sheet pixels onto a painter whose transform takes them to its
// device. The grid lines cover the pixels the sheet's lines cover, the curves follow their fine
// points through the pixels' centres, the labels are real text in their fonts. Antialiasing is
// the caller's choice. partDone, when given, is told after the grid, after each curve and after
// the labels, and stops the painting when it returns false.
void PaintSheet(QPainter& painter, const CurvaneDocument& document,
                const std::vector<SheetCurve>& curves,
                const std::function<bool(int done, int parts)>& partDone = {},
                SheetLayers layers = SheetLayers::All);
void PaintSheet(QPainter& painter, CurvaneState& state, int stepsPerColumn);

// Paints the sheet with its labels into target (the painter's device units) in a quality: the
// record as vectors with the curves given (sampled at PageStepsPerColumn), or the 96-dpi
// picture given (SheetPicture). False when there is nothing to paint.
bool PaintSheetOnPage(QPainter& painter, const CurvaneDocument& document, const QImage& picture,
                      const std::vector<SheetCurve>& curves, const QRectF& target,
                      PrintQuality quality);
// The same, sampling the curves on the spot.
bool PaintSheetOnPage(QPainter& painter, CurvaneState& state, const QRectF& target,
                      PrintQuality quality);
// The points per sheet column a page needs for the sheet drawn into target: as fine as the
// device shows a sheet pixel, no finer than the vector export.
int PageStepsPerColumn(QSize sheet, const QRectF& target);

// The sheet's record drawn for a screen at a device-pixel ratio above 1: every device pixel its
// own, curves sampled per device column, lines as thick as the sheet's in logical pixels and in
// the same places. The labels are left to the view, which paints them over it. A picture is kept
// while the record stays the same, and a curve's fine points while its rows do.
class ScaledSheet {
public:
    // The picture of state's record at ratio, with the ratio set (its logical size is the
    // sheet's).
    const QImage& PictureFor(CurvaneState& state, double ratio);

private:
    QImage m_picture;
    std::uint64_t m_recordId = 0;
    double m_ratio = 0.0;
    std::vector<std::pair<std::uint64_t, SheetCurve>> m_curves; // by the rows they came from
};

// The sheet's true size: its pixels at 96 per inch.
QSizeF SheetSizeMm(const CurvaneDocument& document);
// The picture size of the sheet at a resolution, each side rounded to the nearest pixel.
QSize RasterSize(const CurvaneDocument& document, int dpi);

// The sheet as a smooth picture at dpi, or a null image when it would be too large to make or
// partDone (as for PaintSheet) returned false to stop.
// sampling, when given, is told how the curves' evaluations go and may stop them.
QImage RenderSheetImage(const CurvaneDocument& document, ScriptEvaluator& evaluator, int dpi,
                        const std::function<bool(int done, int parts)>& partDone = {},
                        Progress* sampling = nullptr);
QImage RenderSheetImage(CurvaneState& state, int dpi,
                        const std::function<bool(int done, int parts)>& partDone = {});

// Writes the sheet to path, failure-safely. dpi is used by PNG only; a picture tells progress
// and stops when asked to, with the problem ExportCancelled().
// Safe to run on a worker thread with a document and evaluator of its own.
FileProblem ExportSheet(const CurvaneDocument& document, ScriptEvaluator& evaluator,
                        const QString& path, ExportFormat format, int dpi,
                        Progress* progress = nullptr);
FileProblem ExportSheet(CurvaneState& state, const QString& path, ExportFormat format, int dpi,
                        Progress* progress = nullptr);
// The smooth picture at dpi in an image format Qt writes ("png", "jpg", "bmp").
FileProblem ExportRaster(const CurvaneDocument& document, ScriptEvaluator& evaluator,
                         const QString& path, int dpi, const char* format,
                         Progress* progress = nullptr);
FileProblem ExportRaster(CurvaneState& state, const QString& path, int dpi, const char* format,
                         Progress* progress = nullptr);
// What an export stopped by the user gives: "中止しました" (stopped), nothing written.
FileProblem ExportCancelled();
bool IsCancelled(const FileProblem& problem);

// The export command's texts: "エクスポート" (export) and the save dialog's filter of a format.
QString ExportTitle();
QString ExportFilter(ExportFormat format);
// The format a file name asks for by its extension, if it is one of the three.
std::optional<ExportFormat> ExportFormatOfName(const QString& path);
// A name without one of the three extensions gets the chosen format's.
QString ExportPathFor(const QString& path, ExportFormat format);

// What the export dialog tells of the result: "88.2 × 67.0 mm", and for PNG the picture's pixels
// as well ("88.2 × 67.0 mm、1250 × 938 ピクセル").
QString ExportSizeText(const CurvaneDocument& document, const ExportOptions& options);

// The last choices of the export dialog, kept in the per-user store.
ExportOptions LoadExportOptions(const SettingsStore& store);
void SaveExportOptions(SettingsStore& store, const ExportOptions& options);

// The export's file name from the save dialog, with the chosen format's extension added when it
// has none of the three; empty when the user cancelled.
QString AskExportPath(Dialogs& dialogs, const ExportOptions& options);
// Writes the sheet to path in the format its extension names (on a worker, with a document
// and evaluator of its own), and tells the user what became of it: a failure with path and
// reason, a cancelled export not at all. ReportExport is true when the file was written.
FileProblem RunExport(const CurvaneDocument& document, ScriptEvaluator& evaluator,
                      const QString& path, const ExportOptions& options,
                      Progress* progress = nullptr);
bool ReportExport(Dialogs& dialogs, const QString& path, const FileProblem& failure);
// Both at once.
bool WriteExport(CurvaneState& state, Dialogs& dialogs, const QString& path,
                 const ExportOptions& options, Progress* progress = nullptr);

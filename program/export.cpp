#include "program/export.h"

#include "graph/griddrawing.h"
#include "platform/dialogs.h"
#include "platform/progress.h"
#include "platform/settings_store.h"
#include "plot/linestyle.h"
#include "program/curvanestate.h"
#include "program/stamping.h"

#include <QtCore/QFileInfo>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPdfWriter>
#include <QtSvg/QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace {

constexpr double MmPerInch = 25.4;
constexpr double SheetDpi = 96.0;
// The PDF's own resolution: positions are written to a 1/1200 inch.
constexpr int PdfDpi = 1200;
// A picture beyond this many pixels (572 MiB at four bytes each) is not attempted: with the
// encoder's buffers the export stays well under 1 GB.
constexpr double LargestRasterPixels = 150000000.0;

// A sheet pixel (x, y) covers the square from (x, y) to (x + 1, y + 1): a grid line at a pixel
// position is drawn through the squares' centres, so that it covers the same squares at any
// resolution. A curve's columns are such positions too; its rows are values anywhere within
// their pixels, and stay as they are.
constexpr double PixelCentre = 0.5;

// The sheet's pens as strokes: solid lines of the pen width; dotted and chain pens as dashes of
// the lengths the sheet shows on a flat stretch (dotted: a dot of the pen width, a gap as long;
// chain: six steps of dots, each as wide as the pen, then the rest of ten steps empty).
std::optional<QPen> StrokeOf(ColorRef colourRef, const QString& styleCode) {
    const std::int16_t style = PenStyleOfCode(styleCode);
    const std::int16_t width = PenWidthOfCode(styleCode);
    const QColor colour = ToQColor(colourRef);
    if (style != DottedPen && style != ChainPen) {
        return QPen(colour, std::clamp<int>(width, 1, 64), Qt::SolidLine, Qt::RoundCap,
                    Qt::RoundJoin);
    }
    if (width < 1 || width > 3) {
        return std::nullopt; // the sheet draws nothing with such a pen either
    }
    QPen pen(colour, width, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
    const double w = width;
    if (style == DottedPen) {
        pen.setDashPattern({1.0, 1.0});
    } else {
        pen.setDashPattern({(5.0 + w) / w, (5.0 - w) / w});
    }
    return pen;
}

void PaintGrid(QPainter& painter, const GraphSettings& settings, double width, double height) {
    for (const GridLine& line :
         GridLines(settings, static_cast<float>(width), static_cast<float>(height))) {
        painter.setPen(QPen(ToQColor(line.colour), 1.0, Qt::SolidLine, Qt::FlatCap));
        // From the first covered pixel's near edge to the last one's far edge.
        const double position = std::floor(line.position) + PixelCentre;
        const double from = std::floor(line.from);
        const double to = std::floor(line.to) + 1.0;
        if (line.vertical) {
            painter.drawLine(QLineF(position, from, position, to));
        } else {
            painter.drawLine(QLineF(from, position, to, position));
        }
    }
}

// Passes reports on until the first one is refused; later ones are refused without asking, so
// that work asked to stop is not asked again on its way out.
class LatchedProgress : public Progress {
public:
    explicit LatchedProgress(Progress* whole) : m_whole(whole) {}
    bool Advance(std::int64_t done, std::int64_t total) override {
        m_stopped = m_stopped || (m_whole != nullptr && !m_whole->Advance(done, total));
        return !m_stopped;
    }
    Progress* OrNull() { return m_whole != nullptr ? this : nullptr; }

private:
    Progress* m_whole;
    bool m_stopped = false;
};

// A part of a bigger piece of work: its own steps become a share of the whole's bar.
class ShareOfProgress : public Progress {
public:
    ShareOfProgress(Progress* whole, std::int64_t from, std::int64_t span, std::int64_t total)
        : m_whole(whole), m_from(from), m_span(span), m_total(total) {}
    bool Advance(std::int64_t done, std::int64_t total) override {
        if (m_whole == nullptr) {
            return true;
        }
        const std::int64_t part = total > 0 ? done * m_span / total : 0;
        return m_whole->Advance(m_from + part, m_total);
    }

private:
    Progress* m_whole;
    std::int64_t m_from;
    std::int64_t m_span;
    std::int64_t m_total;
};

FileProblem Problem(const char* japanese, const QString& system) {
    return {QString::fromUtf8(japanese), system};
}

} // namespace

std::vector<SheetCurve> SampleSheetCurves(const CurvaneDocument& document,
                                          ScriptEvaluator& evaluator, int stepsPerColumn,
                                          Progress* whole) {
    LatchedProgress latched(whole);
    Progress* progress = latched.OrNull();
    std::vector<SheetCurve> curves;
    const auto count = static_cast<std::int64_t>(document.Record.curves.size());
    std::int64_t index = 0;
    for (const DrawnCurve& curve : document.Record.curves) {
        // Each curve's share of the bar, in thousandths.
        ShareOfProgress share(progress, index * 1000, 1000, count * 1000);
        if (const std::optional<QPen> pen = StrokeOf(curve.colour, curve.styleCode)) {
            SetParameterValues(evaluator, curve.parameters);
            CurveRuns runs =
                SampleCurveFinely(evaluator, curve.settings, curve.graph, curve.expression,
                                  stepsPerColumn, progress ? &share : nullptr, curve.of);
            // A tenth of the distance between two points sampled: no device shows the
            // difference, and a file holds a fraction of the points.
            SimplifyRuns(runs, 0.1 / stepsPerColumn);
            curves.push_back({*pen, std::move(runs)});
        }
        if (progress != nullptr && !progress->Advance(++index * 1000, count * 1000)) {
            break; // also when the curve's own points were stopped
        }
    }
    return curves;
}

void PaintSheet(QPainter& painter, CurvaneState& state, int stepsPerColumn) {
    PaintSheet(painter, state, SampleSheetCurves(state, state.scriptEvalFn, stepsPerColumn));
}

void PaintSheet(QPainter& painter, const CurvaneDocument& document,
                const std::vector<SheetCurve>& curves,
                const std::function<bool(int done, int parts)>& partDone, SheetLayers layers) {
    const int parts = static_cast<int>(curves.size()) + 2;
    int done = 0;
    const auto partPainted = [&] { return !partDone || partDone(++done, parts); };
    const SheetRecord& record = document.Record;
    const double width = record.size.width();
    const double height = record.size.height();
    const QRectF sheet(0.0, 0.0, width, height);
    painter.save();
    painter.setClipRect(sheet, Qt::IntersectClip); // within the caller's clip, if any
    painter.fillRect(sheet, ToQColor(record.grid.BackgroundColor));
    if (!record.background.isNull()) {
        // Shown at its own size from the top-left corner; only the part on the sheet is kept.
        // Every pixel of it stays as it is: a PDF writer would otherwise make a JPEG of a
        // photograph, and the print or export would be worse than the screen.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        const QImage& picture = record.background;
        const QRect shown = picture.rect() & QRect(0, 0, static_cast<int>(std::ceil(width)),
                                                   static_cast<int>(std::ceil(height)));
        painter.drawImage(QPointF(0.0, 0.0),
                          shown == picture.rect() ? picture : picture.copy(shown));
    }
    PaintGrid(painter, record.grid, width, height);
    bool going = partPainted();
    painter.translate(PixelCentre, 0.0);
    // Areas over the grid and under the curves, each filled as one path.
    painter.setPen(Qt::NoPen);
    for (const ShadedArea& area : record.areas) {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        path.addPolygon(area.outline);
        path.closeSubpath();
        painter.fillPath(path, AreaFillColour(area.colour));
    }
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < curves.size() && going; ++i) {
        painter.setPen(curves[i].pen);
        for (const std::vector<QPointF>& run : curves[i].runs) {
            painter.drawPolyline(run.data(), static_cast<int>(run.size()));
        }
        going = partPainted();
    }
    // Tangent lines over the curves: the thinnest pen the sheet has, and a dot at the point.
    for (const TangentLine& tangent : record.tangents) {
        if (!going) {
            break;
        }
        const QColor colour = ToQColor(tangent.colour);
        painter.setPen(QPen(colour, 1.0, Qt::SolidLine, Qt::FlatCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(tangent.line);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(tangent.point, TangentDotRadius, TangentDotRadius);
    }
    painter.setBrush(Qt::NoBrush);
    painter.translate(-PixelCentre, 0.0);
    if (going && layers == SheetLayers::All) {
        DrawSheetLabels(painter, document, TextEdges::Smooth);
        partPainted();
    }
    painter.restore();
}

const QImage& ScaledSheet::PictureFor(CurvaneState& state, double ratio) {
    const SheetRecord& record = state.Record;
    if (record.id == m_recordId && ratio == m_ratio && !m_picture.isNull()) {
        return m_picture;
    }
    const int steps = StepsPerColumnFor(ratio * SheetDpi);
    std::vector<std::pair<std::uint64_t, SheetCurve>> kept;
    std::vector<SheetCurve> curves;
    for (const DrawnCurve& curve : record.curves) {
        const std::optional<QPen> pen = StrokeOf(curve.colour, curve.styleCode);
        if (!pen) {
            continue;
        }
        const auto known = std::find_if(m_curves.begin(), m_curves.end(), [&](const auto& entry) {
            return curve.rowsId != 0 && entry.first == curve.rowsId;
        });
        if (known == m_curves.end() || ratio != m_ratio) {
            SetParameterValues(state.scriptEvalFn, curve.parameters);
        }
        CurveRuns runs = known != m_curves.end() && ratio == m_ratio
                             ? known->second.runs
                             : SampleCurveFinely(state.scriptEvalFn, curve.settings, curve.graph,
                                                 curve.expression, steps, nullptr, curve.of);
        kept.push_back({curve.rowsId, SheetCurve{*pen, runs}});
        curves.push_back({*pen, std::move(runs)});
    }
    m_curves = std::move(kept);
    m_recordId = record.id;
    m_ratio = ratio;
    const QSize size(static_cast<int>(std::ceil(record.size.width() * ratio)),
                     static_cast<int>(std::ceil(record.size.height() * ratio)));
    m_picture = QImage(size, QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(ratio);
    QPainter painter(&m_picture);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    PaintSheet(painter, state, curves, {}, SheetLayers::WithoutLabels);
    return m_picture;
}

QSizeF SheetSizeMm(const CurvaneDocument& document) {
    return {document.Graph.GraphWidthPx * MmPerInch / SheetDpi,
            document.Graph.GraphHeightPx * MmPerInch / SheetDpi};
}

QSize RasterSize(const CurvaneDocument& document, int dpi) {
    return {RoundToWhole(document.Graph.GraphWidthPx * dpi / SheetDpi),
            RoundToWhole(document.Graph.GraphHeightPx * dpi / SheetDpi)};
}

QImage RenderSheetImage(const CurvaneDocument& document, ScriptEvaluator& evaluator, int dpi,
                        const std::function<bool(int done, int parts)>& partDone,
                        Progress* sampling) {
    const QSize size = RasterSize(document, dpi);
    if (size.isEmpty() || static_cast<double>(size.width()) * size.height() > LargestRasterPixels) {
        return {};
    }
    const std::vector<SheetCurve> curves =
        SampleSheetCurves(document, evaluator, StepsPerColumnFor(dpi), sampling);
    if (sampling != nullptr && !sampling->Advance(1, 1)) {
        return {};
    }
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    image.fill(ToQColor(document.Record.grid.BackgroundColor));
    // The picture tells viewers and word processors its print size.
    const int dotsPerMetre = RoundToWhole(dpi * 1000.0 / MmPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    bool stopped = false;
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.scale(dpi / SheetDpi, dpi / SheetDpi);
    PaintSheet(painter, document, curves, [&](int done, int parts) {
        stopped = partDone && !partDone(done, parts);
        return !stopped;
    });
    painter.end();
    if (stopped) {
        return {};
    }
    return image;
}

QImage RenderSheetImage(CurvaneState& state, int dpi,
                        const std::function<bool(int done, int parts)>& partDone) {
    return RenderSheetImage(state, state.scriptEvalFn, dpi, partDone);
}

FileProblem ExportRaster(const CurvaneDocument& document, ScriptEvaluator& evaluator,
                         const QString& path, int dpi, const char* format, Progress* whole) {
    if (const FileProblem refused = CheckWritable(path); refused.Failed()) {
        return refused;
    }
    LatchedProgress latched(whole);
    Progress* progress = latched.OrNull();
    // The bar: the curves' evaluations the first half, painting a sixth, encoding the rest.
    ShareOfProgress sampling(progress, 0, 3, 6);
    bool cancelled = false;
    const QImage image = RenderSheetImage(
        document, evaluator, dpi,
        [&](int done, int parts) {
            cancelled = progress && !progress->Advance(3 * parts + done, 6 * parts);
            return !cancelled;
        },
        progress ? &sampling : nullptr);
    if (cancelled || (progress != nullptr && !progress->Advance(4, 6))) {
        return ExportCancelled();
    }
    if (image.isNull()) {
        // "画像が大きすぎて作れません" = the picture is too large to make
        const QSize size = RasterSize(document, dpi);
        return Problem("画像が大きすぎて作れません",
                       QStringLiteral("a %1 × %2 picture would need %3 MB")
                           .arg(size.width())
                           .arg(size.height())
                           .arg(std::ceil(4.0 * size.width() * size.height() / 1048576.0)));
    }
    const FileProblem written = WriteImageSafely(path, image, format);
    if (progress) {
        progress->Advance(6, 6);
    }
    return written;
}

FileProblem ExportRaster(CurvaneState& state, const QString& path, int dpi, const char* format,
                         Progress* progress) {
    return ExportRaster(state, state.scriptEvalFn, path, dpi, format, progress);
}

int PageStepsPerColumn(QSize sheet, const QRectF& target) {
    // As fine as the device shows a sheet pixel, and no finer than a vector export's curves.
    const double devicePerPixel = sheet.isEmpty() ? 1.0 : target.width() / sheet.width();
    return StepsPerColumnFor(std::min(devicePerPixel * SheetDpi, VectorCurveDpi));
}

bool PaintSheetOnPage(QPainter& painter, const CurvaneDocument& document, const QImage& picture,
                      const std::vector<SheetCurve>& curves, const QRectF& target,
                      PrintQuality quality) {
    const QSize sheet = document.Record.size;
    if (sheet.isEmpty() || target.isEmpty()) {
        return false;
    }
    painter.save();
    if (quality == PrintQuality::AsScreen) {
        // The screen's own pixels, each a sharp square on paper: no smoothing between them and
        // no lossy compression of the picture.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, picture);
    } else {
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.translate(target.topLeft());
        painter.scale(target.width() / sheet.width(), target.height() / sheet.height());
        PaintSheet(painter, document, curves);
    }
    painter.restore();
    return true;
}

bool PaintSheetOnPage(QPainter& painter, CurvaneState& state, const QRectF& target,
                      PrintQuality quality) {
    const std::vector<SheetCurve> curves =
        quality == PrintQuality::High
            ? SampleSheetCurves(state, state.scriptEvalFn,
                                PageStepsPerColumn(state.Record.size, target))
            : std::vector<SheetCurve>{};
    return PaintSheetOnPage(painter, state, SheetPicture(state), curves, target, quality);
}

FileProblem ExportCancelled() {
    return Problem("中止しました", QStringLiteral("cancelled")); // stopped
}

bool IsCancelled(const FileProblem& problem) {
    return problem.Failed() && problem.system == QStringLiteral("cancelled");
}

FileProblem ExportSheet(const CurvaneDocument& document, ScriptEvaluator& evaluator,
                        const QString& path, ExportFormat format, int dpi, Progress* whole) {
    if (format == ExportFormat::Png) {
        return ExportRaster(document, evaluator, path, dpi, "png", whole);
    }
    // A target that is no regular file is refused before anything is computed.
    if (const FileProblem refused = CheckWritable(path); refused.Failed()) {
        return refused;
    }
    LatchedProgress latched(whole);
    Progress* progress = latched.OrNull();
    const std::vector<SheetCurve> curves =
        SampleSheetCurves(document, evaluator, StepsPerColumnFor(VectorCurveDpi), progress);
    if (progress != nullptr && !progress->Advance(1, 1)) {
        return ExportCancelled();
    }
    const double width = document.Graph.GraphWidthPx;
    const double height = document.Graph.GraphHeightPx;
    QString painterProblem;
    const FileProblem failure = WriteFileSafely(path, [&](QIODevice& device) {
        if (format == ExportFormat::Pdf) {
            QPdfWriter writer(&device);
            writer.setCreator(QStringLiteral("Curvane"));
            writer.setResolution(PdfDpi);
            // Exactly the sheet's size, not the nearest standard paper.
            writer.setPageSize(QPageSize(SheetSizeMm(document), QPageSize::Millimeter, QString(),
                                         QPageSize::ExactMatch));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter painter;
            if (!painter.begin(&writer)) {
                painterProblem = QStringLiteral("the PDF writer could not start");
                return false;
            }
            painter.scale(PdfDpi / SheetDpi, PdfDpi / SheetDpi);
            PaintSheet(painter, document, curves);
            return painter.end();
        }
        QSvgGenerator generator;
        generator.setOutputDevice(&device);
        generator.setTitle(QStringLiteral("Curvane"));
        // The size at 96 pixels per inch gives the true size in millimetres; the view box keeps
        // drawing in sheet pixels.
        generator.setResolution(static_cast<int>(SheetDpi));
        generator.setSize(QSize(RoundToWhole(width), RoundToWhole(height)));
        generator.setViewBox(QRectF(0.0, 0.0, width, height));
        QPainter painter;
        if (!painter.begin(&generator)) {
            painterProblem = QStringLiteral("the SVG writer could not start");
            return false;
        }
        PaintSheet(painter, document, curves);
        return painter.end();
    });
    if (failure.Failed() && !painterProblem.isEmpty()) {
        // "描画できませんでした" = could not be drawn
        return Problem("描画できませんでした", painterProblem);
    }
    return failure;
}

FileProblem ExportSheet(CurvaneState& state, const QString& path, ExportFormat format, int dpi,
                        Progress* progress) {
    return ExportSheet(state, state.scriptEvalFn, path, format, dpi, progress);
}

QString ExportTitle() {
    return QStringLiteral("エクスポート"); // export
}

QString ExportFilter(ExportFormat format) {
    switch (format) {
    case ExportFormat::Svg:
        return QStringLiteral("SVG (*.svg)|*.svg");
    case ExportFormat::Png:
        return QStringLiteral("PNG (*.png)|*.png");
    case ExportFormat::Pdf:
        break;
    }
    return QStringLiteral("PDF (*.pdf)|*.pdf");
}

std::optional<ExportFormat> ExportFormatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("pdf")) {
        return ExportFormat::Pdf;
    }
    if (suffix == QStringLiteral("svg")) {
        return ExportFormat::Svg;
    }
    if (suffix == QStringLiteral("png")) {
        return ExportFormat::Png;
    }
    return std::nullopt;
}

QString ExportPathFor(const QString& path, ExportFormat format) {
    if (ExportFormatOfName(path)) {
        return path;
    }
    switch (format) {
    case ExportFormat::Svg:
        return path + QStringLiteral(".svg");
    case ExportFormat::Png:
        return path + QStringLiteral(".png");
    case ExportFormat::Pdf:
        break;
    }
    return path + QStringLiteral(".pdf");
}

QString ExportSizeText(const CurvaneDocument& document, const ExportOptions& options) {
    const QSizeF mm = SheetSizeMm(document);
    QString text =
        QStringLiteral("%1 × %2 mm").arg(mm.width(), 0, 'f', 1).arg(mm.height(), 0, 'f', 1);
    if (options.format == ExportFormat::Png) {
        const QSize pixels = RasterSize(document, options.dpi);
        // "ピクセル" = pixels
        text += QStringLiteral("、%1 × %2 ピクセル").arg(pixels.width()).arg(pixels.height());
    }
    return text;
}

namespace {
const QString StoreApplication = QStringLiteral("Curvane");
const QString StoreSection = QStringLiteral("Export");
} // namespace

ExportOptions LoadExportOptions(const SettingsStore& store) {
    ExportOptions options;
    const QString format =
        store.Get(StoreApplication, StoreSection, QStringLiteral("Format"), QStringLiteral("pdf"));
    options.format = ExportFormatOfName(QStringLiteral("x.") + format).value_or(ExportFormat::Pdf);
    bool ok = false;
    const int dpi = store.Get(StoreApplication, StoreSection, QStringLiteral("Dpi"), QString())
                        .trimmed()
                        .toInt(&ok);
    options.dpi = ok ? std::clamp(dpi, MinExportDpi, MaxExportDpi) : DefaultExportDpi;
    return options;
}

void SaveExportOptions(SettingsStore& store, const ExportOptions& options) {
    const char* const names[] = {"pdf", "svg", "png"};
    store.Save(StoreApplication, StoreSection, QStringLiteral("Format"),
               QString::fromLatin1(names[static_cast<int>(options.format)]));
    store.Save(StoreApplication, StoreSection, QStringLiteral("Dpi"),
               QString::number(std::clamp(options.dpi, MinExportDpi, MaxExportDpi)));
}

QString AskExportPath(Dialogs& dialogs, const ExportOptions& options) {
    const QString chosen = dialogs.SaveFileName(ExportTitle(), ExportFilter(options.format));
    return chosen.isEmpty() ? chosen : ExportPathFor(chosen, options.format);
}

FileProblem RunExport(const CurvaneDocument& document, ScriptEvaluator& evaluator,
                      const QString& path, const ExportOptions& options, Progress* progress) {
    const ExportFormat format = ExportFormatOfName(path).value_or(options.format);
    return ExportSheet(document, evaluator, path, format,
                       std::clamp(options.dpi, MinExportDpi, MaxExportDpi), progress);
}

bool ReportExport(Dialogs& dialogs, const QString& path, const FileProblem& failure) {
    if (IsCancelled(failure)) {
        return false;
    }
    if (failure.Failed()) {
        // "エクスポートできませんでした" = the export could not be written
        dialogs.Message(QStringLiteral("エクスポートできませんでした。\n") +
                            failure.MessageText(path),
                        QStringLiteral("Curvane"), false);
        return false;
    }
    return true;
}

bool WriteExport(CurvaneState& state, Dialogs& dialogs, const QString& path,
                 const ExportOptions& options, Progress* progress) {
    return ReportExport(dialogs, path,
                        RunExport(state, state.scriptEvalFn, path, options, progress));
}

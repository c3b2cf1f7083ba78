#include "graph/griddrawing.h"
#include "platform/progress.h"
#include "platform/settings_store.h"
#include "program/curvanestate.h"
#include "program/export.h"
#include "program/functionpanel.h"
#include "program/redraw.h"
#include "program/textlabels.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/pdfpage.h"
#include "tests/support/pixels.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>
#include <QtTest/QtTest>
#include <cmath>

namespace {

constexpr ColorRef CurveRed = Rgb(230, 0, 0);
constexpr double MmPerPixel = 25.4 / 96.0;

// A 400 × 300 sheet unlike the defaults: 7 px per small step across and 5 down, the origin off
// the pixel grid, X in degrees (5 per small step), Y 0.5 per small step; tan(x) in F1.
struct Sheet {
    CurvaneState state;
    FakeDialogs dialogs;
    QTemporaryDir dir;

    Sheet() {
        StartGraph(state, 400, 300);
        state.Settings.XSmallSpacing = 7;
        state.Settings.YSmallSpacing = 5;
        state.Settings.OriginX = 181.25f;
        state.Settings.OriginY = 137.5f;
        state.Graph.XUnitName = QStringLiteral("deg");
        state.Graph.XSmallValue = 5.0;
        state.Graph.YSmallValue = 0.5;
        RedrawSettings(state);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Draw(int slot, const char* expression, ColorRef colour, const char* style = "実1") {
        ExpressionChanged(state, slot, QString::fromLatin1(expression));
        SlotOf(state.Slots, slot).Color = colour;
        SlotOf(state.Slots, slot).StyleCode = QString::fromUtf8(style);
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
    // The column where x is the given number of degrees.
    double ColumnOf(double degrees) const { return state.Settings.OriginX + degrees / 5.0 * 7.0; }
};

// The PDF's first page as a picture at dpi.
QImage Rasterized(const QString& pdf, int dpi) {
    const QString stem = pdf + QStringLiteral("-r");
    Poppler(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

bool Near(const QColor& a, ColorRef b, int tolerance) {
    return std::abs(a.red() - RedOf(b)) <= tolerance &&
           std::abs(a.green() - GreenOf(b)) <= tolerance &&
           std::abs(a.blue() - BlueOf(b)) <= tolerance;
}

// Centres of the runs of non-background pixels along one line of a picture.
QList<double> RunCentres(const QImage& image, bool alongRow, int at, ColorRef background) {
    QList<double> centres;
    const int length = alongRow ? image.width() : image.height();
    int start = -1;
    for (int i = 0; i <= length; ++i) {
        const bool ink =
            i < length &&
            !Near(alongRow ? image.pixelColor(i, at) : image.pixelColor(at, i), background, 60);
        if (ink && start < 0) {
            start = i;
        } else if (!ink && start >= 0) {
            centres << (start + i) / 2.0;
            start = -1;
        }
    }
    return centres;
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pdfPageHasTheSheetsTrueSize();
    void pdfHoldsAPictureOnlyForABackground();
    void pdfTextHoldsTheTickNumbers();
    void svgHasTheSheetsSizeInMillimetres();
    void pngSizeFollowsTheResolution_data();
    void pngSizeFollowsTheResolution();
    void noStrokeAcrossAPole();
    void gridAgreesLineForLine();
    void dottedAndChainPensKeepTheSheetsLengths_data();
    void dottedAndChainPensKeepTheSheetsLengths();
    void onlyDrawnAndShownCurvesAreExported();
    void aFamilyIsExportedAsTheSheetShowsIt();
    void namesFiltersAndFailures();
    void choicesAreRemembered();
    void aLargePictureTellsProgressAndCanBeStopped();
};

void ExportTest::initTestCase() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
        QSKIP("poppler-utils are needed to read the PDF back");
    }
}

void ExportTest::pdfPageHasTheSheetsTrueSize() {
    Sheet s;
    QVERIFY(!ExportSheet(s.state, s.Path("sheet.pdf"), ExportFormat::Pdf, 300).Failed());
    const QString info =
        QString::fromLatin1(Poppler(QStringLiteral("pdfinfo"), {s.Path("sheet.pdf")}));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    QVERIFY2(size.hasMatch(), qPrintable(info));
    // 400 × 300 pixels at 96 per inch: 105.83 × 79.38 mm.
    const double pt = 25.4 / 72.0;
    QVERIFY(std::fabs(size.captured(1).toDouble() * pt - 105.833) < 0.5);
    QVERIFY(std::fabs(size.captured(2).toDouble() * pt - 79.375) < 0.5);
    QCOMPARE(SheetSizeMm(s.state), QSizeF(400 * MmPerPixel, 300 * MmPerPixel));
}

void ExportTest::pdfHoldsAPictureOnlyForABackground() {
    Sheet s;
    s.Draw(1, "tan(x)", CurveRed);
    const auto images = [&](const char* name) {
        const QString path = s.Path(name);
        return ExportSheet(s.state, path, ExportFormat::Pdf, 300).Failed() ? QList<PdfImage>()
                                                                           : PdfImages(path);
    };
    QVERIFY(images("vector.pdf").isEmpty());
    const QImage picture = Photograph(QSize(500, 40)); // wider than the sheet: cut at its edge
    s.state.Sheet.SetPicture(picture);
    RedrawAll(s.state); // the sheet shows a picture from its next clearing on
    const QList<PdfImage> shown = images("picture.pdf");
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].width, 400); // only the part that shows
    QCOMPARE(shown[0].height, 40);
    QCOMPARE(shown[0].encoding, QStringLiteral("image")); // kept without loss
}

void ExportTest::pdfTextHoldsTheTickNumbers() {
    Sheet s;
    AddFreeLabel(s.state, 30, 40);
    SetLabelText(s.state, RefTo(s.state, LabelKind::Free, 1), QStringLiteral("放物線 y=x²"));
    QVERIFY(!ExportSheet(s.state, s.Path("text.pdf"), ExportFormat::Pdf, 300).Failed());
    const QStringList words = PdfWords(s.Path("text.pdf"));
    const QString text = words.join(QLatin1Char(' '));
    int numbers = 0;
    for (const LabelFamily* family : {&s.state.Xmoji, &s.state.Ymoji}) {
        family->ForEachVisible([&](int, const TextLabel& label) {
            // One cut by the sheet's edge is no whole word of the page.
            if (!QRectF(0, 0, 400, 300)
                     .contains(QRectF(label.left, label.top, label.Width(), label.Height()))) {
                return;
            }
            QVERIFY2(words.contains(label.Text()),
                     qPrintable(label.Text() + QStringLiteral(" missing from: ") + text));
            ++numbers;
        });
    }
    QVERIFY(numbers > 10);
    QVERIFY(words.contains(QStringLiteral("[deg]")));
    QVERIFY(text.contains(QStringLiteral("放物線")));
}

void ExportTest::svgHasTheSheetsSizeInMillimetres() {
    Sheet s;
    s.Draw(1, "tan(x)", CurveRed);
    QVERIFY(!ExportSheet(s.state, s.Path("sheet.svg"), ExportFormat::Svg, 300).Failed());
    QFile file(s.Path("sheet.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("<svg width=\"([\\d.]+)mm\" height=\"([\\d.]+)mm\""))
            .match(svg);
    QVERIFY(size.hasMatch());
    QVERIFY(std::fabs(size.captured(1).toDouble() - 105.833) < 0.5);
    QVERIFY(std::fabs(size.captured(2).toDouble() - 79.375) < 0.5);
    QVERIFY(svg.contains(QStringLiteral("viewBox=\"0 0 400 300\"")));
    QVERIFY(svg.contains(QStringLiteral(">0</text>"))); // labels as text
    QVERIFY(!svg.contains(QStringLiteral("<image")));
}

void ExportTest::pngSizeFollowsTheResolution_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QSize>("size");
    QTest::newRow("96: the sheet's own pixels") << 96 << QSize(400, 300);
    QTest::newRow("300: 1250 × 937.5") << 300 << QSize(1250, 938);
    QTest::newRow("1200: 5000 × 3750") << 1200 << QSize(5000, 3750);
}

void ExportTest::pngSizeFollowsTheResolution() {
    QFETCH(int, dpi);
    QFETCH(QSize, size);
    Sheet s;
    s.Draw(1, "tan(x)", CurveRed);
    QVERIFY(!ExportSheet(s.state, s.Path("sheet.png"), ExportFormat::Png, dpi).Failed());
    QFile file(s.Path("sheet.png"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(4), QByteArray("\x89PNG"));
    file.close();
    const QImage png(s.Path("sheet.png"));
    QCOMPARE(png.size(), size);
    QCOMPARE(RasterSize(s.state, dpi), size);
    // It tells its print size.
    QVERIFY(std::fabs(png.dotsPerMeterX() * 0.0254 - dpi) < 0.5);
    // Smooth: the red curve has pixels between red and the paper's white.
    if (dpi >= 300) {
        bool between = false;
        for (int y = 0; y < png.height() && !between; y += 3) {
            for (int x = 0; x < png.width(); x += 3) {
                const QColor c = png.pixelColor(x, y);
                if (c.red() > 235 && c.green() > 60 && c.green() < 190 &&
                    std::abs(c.green() - c.blue()) < 10) {
                    between = true;
                    break;
                }
            }
        }
        QVERIFY(between);
    }
}

// tan(x) has poles at ±90°; the sheet's columns next to them lie off the sheet on opposite
// sides, and the export's finer points must not join them either. Read back from the PDF.
void ExportTest::noStrokeAcrossAPole() {
    Sheet s;
    s.state.Settings.XTickLabelMode = 1; // nothing but grid and curve
    s.state.Settings.YTickLabelMode = 1;
    RedrawSettings(s.state);
    s.Draw(1, "tan(x)", CurveRed, "実3");
    QVERIFY(!ExportSheet(s.state, s.Path("tan.pdf"), ExportFormat::Pdf, 300).Failed());
    const int dpi = 480; // five device pixels per sheet pixel
    const QImage page = Rasterized(s.Path("tan.pdf"), dpi);
    QCOMPARE(page.size(), QSize(2000, 1500));
    for (double pole : {-90.0, 90.0}) {
        const int centre = static_cast<int>(std::lround(s.ColumnOf(pole) * 5));
        // Every column within two sheet pixels of the pole: no red in the middle half of the
        // height, where only a stroke across the pole could put any.
        for (int x = centre - 10; x <= centre + 10; ++x) {
            for (int y = 1500 / 4; y < 1500 * 3 / 4; ++y) {
                QVERIFY2(!Near(page.pixelColor(x, y), CurveRed, 80),
                         qPrintable(QStringLiteral("red at %1, %2").arg(x).arg(y)));
            }
        }
        // The branches themselves are there, near the top and bottom edges.
        int red = 0;
        for (int x = centre - 60; x <= centre + 60; ++x) {
            for (int y : {5, 1494}) {
                red += Near(page.pixelColor(x, y), CurveRed, 80) ? 1 : 0;
            }
        }
        QVERIFY(red > 0);
    }
}

// Every vertical and horizontal line of the pixel grid has its vector line in the PDF, in the
// same order and colour, lying inside the pixel column (row) the sheet lights for it.
void ExportTest::gridAgreesLineForLine() {
    Sheet s;
    s.state.Settings.XTickLabelMode = 1;
    s.state.Settings.YTickLabelMode = 1;
    s.state.Settings.XSmallLinesOn = false; // small lines 7 px apart would touch at 1 px wide
    RedrawSettings(s.state);
    const QImage& sheet = s.state.Sheet.Image();
    const ColorRef background = s.state.Settings.BackgroundColor;
    QVERIFY(!ExportSheet(s.state, s.Path("grid.pdf"), ExportFormat::Pdf, 300).Failed());
    constexpr int scale = 10; // 960 dpi
    const QImage page = Rasterized(s.Path("grid.pdf"), 96 * scale);
    QCOMPARE(page.size(), QSize(4000, 3000));

    // A row of the sheet between horizontal lines, and a column between vertical ones.
    const auto free = [&](bool row) {
        for (int i = 1; i < (row ? 300 : 400); ++i) {
            bool clear = true;
            for (int j = 0; j < (row ? 400 : 300) && clear; ++j) {
                const QColor c = row ? sheet.pixelColor(j, i) : sheet.pixelColor(i, j);
                // The lines crossing it are fine; a line along it is not.
                clear = FromQColor(c) == background ||
                        FromQColor(row ? sheet.pixelColor(j, i - 1) : sheet.pixelColor(i - 1, j)) !=
                            background;
            }
            if (clear) {
                int ink = 0;
                for (int j = 0; j < (row ? 400 : 300); ++j) {
                    ink += FromQColor(row ? sheet.pixelColor(j, i) : sheet.pixelColor(i, j)) !=
                                   background
                               ? 1
                               : 0;
                }
                if (ink < (row ? 400 : 300) / 2) {
                    return i;
                }
            }
        }
        return -1;
    };
    for (bool vertical : {true, false}) {
        const int at = free(vertical); // a sheet row to look along for the vertical lines
        QVERIFY(at > 0);
        QList<int> pixelLines;
        for (int i = 0; i < (vertical ? 400 : 300); ++i) {
            const QColor c = vertical ? sheet.pixelColor(i, at) : sheet.pixelColor(at, i);
            if (FromQColor(c) != background) {
                pixelLines << i;
            }
        }
        const QList<double> vectorLines =
            RunCentres(page, vertical, at * scale + scale / 2, background);
        QCOMPARE(vectorLines.size(), pixelLines.size());
        QVERIFY(pixelLines.size() > 10);
        for (int k = 0; k < pixelLines.size(); ++k) {
            // Positions in millimetres: the vector line's centre lies within the sheet pixel.
            const double mm = vectorLines[k] / scale * MmPerPixel;
            const double pixelFrom = pixelLines[k] * MmPerPixel;
            QVERIFY2(mm >= pixelFrom - 0.01 && mm <= pixelFrom + MmPerPixel + 0.01,
                     qPrintable(QStringLiteral("line %1: %2 mm against pixel %3")
                                    .arg(k)
                                    .arg(mm)
                                    .arg(pixelLines[k])));
            const int x = vertical ? static_cast<int>(vectorLines[k]) : at * scale + scale / 2;
            const int y = vertical ? at * scale + scale / 2 : static_cast<int>(vectorLines[k]);
            const ColorRef expected = FromQColor(vertical ? sheet.pixelColor(pixelLines[k], at)
                                                          : sheet.pixelColor(at, pixelLines[k]));
            QVERIFY(Near(page.pixelColor(x, y), expected, 6));
        }
    }
    // The list both draw from gives the positions the vector lines lie at.
    int verticals = 0;
    for (const GridLine& line : GridLines(s.state.Settings, 400, 300)) {
        verticals += line.vertical ? 1 : 0;
    }
    QVERIFY(verticals > 0);
}

void ExportTest::dottedAndChainPensKeepTheSheetsLengths_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("on");  // sheet pixels drawn ...
    QTest::addColumn<int>("off"); // ... and left out, along a flat curve
    // Dotted: a dot of the pen's width every second step of its width; chain: six steps of dots
    // and four empty, each dot as wide as the pen (so wider pens fill part of the gap).
    QTest::newRow("点1") << "点1" << 1 << 1;
    QTest::newRow("点2") << "点2" << 2 << 2;
    QTest::newRow("点3") << "点3" << 3 << 3;
    QTest::newRow("鎖1") << "鎖1" << 6 << 4;
    QTest::newRow("鎖2") << "鎖2" << 7 << 3;
    QTest::newRow("鎖3") << "鎖3" << 8 << 2;
}

void ExportTest::dottedAndChainPensKeepTheSheetsLengths() {
    QFETCH(QString, style);
    QFETCH(int, on);
    QFETCH(int, off);
    Sheet s;
    s.state.Settings.XSmallLinesOn = s.state.Settings.XMediumLinesOn = false;
    s.state.Settings.XLargeLinesOn = s.state.Settings.YSmallLinesOn = false;
    s.state.Settings.YMediumLinesOn = s.state.Settings.YLargeLinesOn = false;
    s.state.Settings.XAxisOn = s.state.Settings.YAxisOn = false;
    s.state.Settings.XTickLabelMode = s.state.Settings.YTickLabelMode = 1;
    RedrawSettings(s.state);
    s.Draw(1, "10", CurveRed, style.toUtf8().constData()); // row 37.5: a flat curve
    // Run lengths along a row through the curve: on the sheet, and in the export at 10 × 96 dpi.
    const auto runs = [](const QImage& image, int row, int scale) {
        QList<int> lengths; // alternating ink and gap, from the first ink on
        int length = 0;
        bool ink = false;
        bool started = false;
        for (int x = 40 * scale; x < 360 * scale; ++x) {
            const bool here = Near(image.pixelColor(x, row), CurveRed, 100);
            if (here != ink) {
                if (started) {
                    lengths << length;
                }
                started = started || here;
                length = 0;
                ink = here;
            }
            ++length;
        }
        return lengths;
    };
    const QList<int> sheetRuns = runs(s.state.Sheet.Image(), 37, 1);
    QVERIFY(sheetRuns.size() > 10);
    for (int k = 1; k + 1 < sheetRuns.size(); ++k) {
        QCOMPARE(sheetRuns[k], k % 2 == 0 ? on : off);
    }
    s.state.Settings.BackgroundColor = Rgb(255, 255, 255);
    const QImage fine = RenderSheetImage(s.state, 960);
    const QList<int> fineRuns = runs(fine, 375, 10);
    QVERIFY(fineRuns.size() > 10);
    for (int k = 1; k + 1 < fineRuns.size(); ++k) {
        const int expected = (k % 2 == 0 ? on : off) * 10;
        QVERIFY2(std::abs(fineRuns[k] - expected) <= 2,
                 qPrintable(QStringLiteral("run %1 is %2 device pixels, not %3")
                                .arg(k)
                                .arg(fineRuns[k])
                                .arg(expected)));
    }
}

void ExportTest::onlyDrawnAndShownCurvesAreExported() {
    Sheet s;
    s.Draw(1, "10", CurveRed);
    s.Draw(2, "-10", Rgb(0, 160, 0));
    ExpressionChanged(s.state, 3, QStringLiteral("0"));
    SlotOf(s.state.Slots, 3).Color = Rgb(0, 0, 0);       // typed, never drawn
    DrawButtonClicked(s.state, s.state.scriptEvalFn, 2); // erased
    const QImage image = RenderSheetImage(s.state, 192);
    int red = 0, green = 0, black = 0;
    for (int x = 0; x < image.width(); ++x) {
        red += Near(image.pixelColor(x, 75), CurveRed, 30) ? 1 : 0;
        green += Near(image.pixelColor(x, 475), Rgb(0, 160, 0), 30) ? 1 : 0;
        black += Near(image.pixelColor(x, 275), Rgb(0, 0, 0), 30) ? 1 : 0;
    }
    QVERIFY(red > 700);
    QCOMPARE(green, 0);
    QCOMPARE(black, 0);
}

void ExportTest::aFamilyIsExportedAsTheSheetShowsIt() {
    // Curves drawn one after another from F1 and F2, one of them wiped by the redraw of an
    // update: the 96-dpi export has a curve pixel next to every one of the sheet's, and none where
    // the sheet has none.
    Sheet s;
    const ColorRef green = Rgb(0, 160, 0);
    s.Draw(2, "-3", green);
    s.Draw(2, "5", green);
    s.Draw(1, "x/40-6", CurveRed);
    s.state.StyleTarget = 1;
    QVERIFY(StyleChosen(s.state, QStringLiteral("実2")));
    DrawButtonClicked(s.state, s.state.scriptEvalFn, 1); // the update's redraw wipes F2's "-3"
    s.Draw(1, "sin(x)*5", CurveRed, "実2");
    s.Draw(1, "sin(x)*5+4", CurveRed, "実2");
    QCOMPARE(s.state.Record.curves.size(), std::size_t(4));
    const QImage sheet = s.state.Sheet.Image();
    const QImage exported = RenderSheetImage(s.state, 96);
    QCOMPARE(exported.size(), sheet.size());
    const auto near = [](const QImage& image, int x, int y, ColorRef colour, int tolerance,
                         int reach) {
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                const QPoint p(x + dx, y + dy);
                if (image.rect().contains(p) && Near(image.pixelColor(p), colour, tolerance)) {
                    return true;
                }
            }
        }
        return false;
    };
    for (const ColorRef colour : {CurveRed, green}) {
        const ColorRef other = colour == green ? CurveRed : green;
        int sheetPixels = 0;
        for (int y = 0; y < sheet.height(); ++y) {
            for (int x = 0; x < sheet.width(); ++x) {
                // Where the two colours cross, the later pen covers the earlier one a little
                // differently at each resolution.
                if (near(sheet, x, y, other, 0, 2)) {
                    continue;
                }
                if (FromQColor(sheet.pixelColor(x, y)) == colour) {
                    ++sheetPixels;
                    QVERIFY2(near(exported, x, y, colour, 160, 1),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                }
                if (Near(exported.pixelColor(x, y), colour, 40)) {
                    QVERIFY2(near(sheet, x, y, colour, 0, 1),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                }
            }
        }
        QVERIFY2(sheetPixels > 250, qPrintable(QString::number(sheetPixels)));
    }
}

void ExportTest::namesFiltersAndFailures() {
    Sheet s;
    QCOMPARE(ExportTitle(), QStringLiteral("エクスポート"));
    QCOMPARE(ExportFilter(ExportFormat::Pdf), QStringLiteral("PDF (*.pdf)|*.pdf"));
    QCOMPARE(ExportFilter(ExportFormat::Svg), QStringLiteral("SVG (*.svg)|*.svg"));
    QCOMPARE(ExportFilter(ExportFormat::Png), QStringLiteral("PNG (*.png)|*.png"));
    // A name without one of the three extensions gets the chosen one; the name's own wins.
    QCOMPARE(ExportPathFor(QStringLiteral("a/graph"), ExportFormat::Svg),
             QStringLiteral("a/graph.svg"));
    QCOMPARE(ExportPathFor(QStringLiteral("graph.PDF"), ExportFormat::Png),
             QStringLiteral("graph.PDF"));
    QCOMPARE(ExportPathFor(QStringLiteral("graph.jpg"), ExportFormat::Png),
             QStringLiteral("graph.jpg.png"));

    ExportOptions png{ExportFormat::Png, 150};
    s.dialogs.paths.push_back(s.Path("out"));
    const QString path = AskExportPath(s.dialogs, png);
    QCOMPARE(path, s.Path("out.png"));
    QCOMPARE(s.dialogs.asked.last().title, QStringLiteral("エクスポート"));
    QCOMPARE(s.dialogs.asked.last().text, QStringLiteral("PNG (*.png)|*.png"));
    QVERIFY(AskExportPath(s.dialogs, png).isEmpty()); // cancelled
    QVERIFY(WriteExport(s.state, s.dialogs, path, png));
    QCOMPARE(QImage(path).size(), QSize(625, 469)); // 400 × 300 at 150 dpi

    // A folder that does not exist: told with the path, and nothing is left behind.
    const QString nowhere = s.Path("no/such/folder/x.pdf");
    QVERIFY(!WriteExport(s.state, s.dialogs, nowhere, {}));
    QCOMPARE(s.dialogs.Messages().size(), 1);
    QVERIFY(s.dialogs.Messages()[0].startsWith(QStringLiteral("エクスポートできませんでした。\n") +
                                               nowhere));
    // A target that is no regular file is refused, not replaced.
    QDir(s.dir.path()).mkdir(QStringLiteral("folder.svg"));
    QVERIFY(!WriteExport(s.state, s.dialogs, s.Path("folder.svg"), {}));
    QVERIFY(QFileInfo(s.Path("folder.svg")).isDir());
    // An existing file stays as it was when the export fails... and is replaced when it works.
    QFile old(s.Path("old.pdf"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("older");
    old.close();
    QVERIFY(WriteExport(s.state, s.dialogs, s.Path("old.pdf"), {}));
    QFile replaced(s.Path("old.pdf"));
    QVERIFY(replaced.open(QIODevice::ReadOnly));
    QCOMPARE(replaced.read(5), QByteArray("%PDF-"));

    QCOMPARE(ExportSizeText(s.state, {ExportFormat::Pdf, 300}), QStringLiteral("105.8 × 79.4 mm"));
    QCOMPARE(ExportSizeText(s.state, {ExportFormat::Png, 300}),
             QStringLiteral("105.8 × 79.4 mm、1250 × 938 ピクセル"));
}

void ExportTest::choicesAreRemembered() {
    QTemporaryDir dir;
    QtSettingsStore store(dir.filePath(QStringLiteral("store.ini")));
    QCOMPARE(LoadExportOptions(store), (ExportOptions{ExportFormat::Pdf, 300})); // first time
    SaveExportOptions(store, {ExportFormat::Png, 600});
    QCOMPARE(LoadExportOptions(store), (ExportOptions{ExportFormat::Png, 600}));
    SaveExportOptions(store, {ExportFormat::Svg, 1200});
    QCOMPARE(LoadExportOptions(store), (ExportOptions{ExportFormat::Svg, 1200}));
    // What a hand-edited store may hold: an unknown format, a resolution out of range or none.
    store.Save(QStringLiteral("Curvane"), QStringLiteral("Export"), QStringLiteral("Format"),
               QStringLiteral("tiff"));
    store.Save(QStringLiteral("Curvane"), QStringLiteral("Export"), QStringLiteral("Dpi"),
               QStringLiteral("5000"));
    QCOMPARE(LoadExportOptions(store), (ExportOptions{ExportFormat::Pdf, 1200}));
    store.Save(QStringLiteral("Curvane"), QStringLiteral("Export"), QStringLiteral("Dpi"),
               QStringLiteral("many"));
    QCOMPARE(LoadExportOptions(store).dpi, 300);
}

namespace {
// Counts the reports and asks to stop at the given one (0: never).
struct StopAt : Progress {
    int stopAt = 0;
    QList<std::pair<std::int64_t, std::int64_t>> reports;
    bool Advance(std::int64_t done, std::int64_t total) override {
        reports << std::pair{done, total};
        return stopAt == 0 || reports.size() < stopAt;
    }
};
} // namespace

void ExportTest::aLargePictureTellsProgressAndCanBeStopped() {
    Sheet s;
    s.Draw(1, "tan(x)", CurveRed, "鎖2");
    StopAt all;
    QVERIFY(!ExportRaster(s.state, s.Path("all.png"), 1200, "png", &all).Failed());
    // While the curve's points are computed, after the grid, the curve and the labels, then once
    // written: always forward, and whole at the end.
    QVERIFY(all.reports.size() > 4);
    for (qsizetype i = 1; i < all.reports.size(); ++i) {
        const auto [done, total] = all.reports[i];
        const auto [before, beforeTotal] = all.reports[i - 1];
        QVERIFY(static_cast<double>(done) / total >= static_cast<double>(before) / beforeTotal);
    }
    QCOMPARE(all.reports.last().first, all.reports.last().second);

    // Stopped after the curve: no file, the old one kept, nothing told.
    QFile old(s.Path("old.png"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("older");
    old.close();
    StopAt early;
    early.stopAt = 2;
    const FileProblem stopped = ExportRaster(s.state, s.Path("old.png"), 1200, "png", &early);
    QVERIFY(IsCancelled(stopped));
    QCOMPARE(early.reports.size(), 2);
    QFile kept(s.Path("old.png"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("older"));
    StopAt again;
    again.stopAt = 1;
    QVERIFY(
        !WriteExport(s.state, s.dialogs, s.Path("stopped.png"), {ExportFormat::Png, 1200}, &again));
    QVERIFY(s.dialogs.Messages().isEmpty());
    QVERIFY(!QFile::exists(s.Path("stopped.png")));
}

QTEST_MAIN(ExportTest)
#include "tst_export.moc"

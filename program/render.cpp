#include "program/render.h"

#include "output/safefile.h"
#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/export.h"
#include "program/functionpanel.h"
#include "program/settingscommands.h"
#include "program/stamping.h"

#include <QtCore/QFileInfo>
#include <cmath>

namespace {

int DesignPixels(double twips) {
    return units::TwipsToWholePixels(twips) - 2 * SheetFramePx;
}

} // namespace

std::optional<RenderOutput> RenderOutputOfName(const QString& imagePath) {
    const QString suffix = QFileInfo(imagePath).suffix().toLower();
    if (suffix == QStringLiteral("bmp")) {
        return RenderOutput{RenderOutput::Kind::Picture, "bmp"};
    }
    if (suffix == QStringLiteral("png")) {
        return RenderOutput{RenderOutput::Kind::Picture, "png"};
    }
    if (suffix == QStringLiteral("jpg") || suffix == QStringLiteral("jpeg")) {
        return RenderOutput{RenderOutput::Kind::Picture, "jpg"};
    }
    if (suffix == QStringLiteral("pdf")) {
        return RenderOutput{RenderOutput::Kind::Pdf, nullptr};
    }
    if (suffix == QStringLiteral("svg")) {
        return RenderOutput{RenderOutput::Kind::Svg, nullptr};
    }
    return std::nullopt;
}

QString UnknownOutputText(const QString& imagePath) {
    return QStringLiteral("cannot tell the format of %1: use .bmp, .png, .jpg, .jpeg, .pdf or .svg")
        .arg(imagePath);
}

QString CheckSettingsFileAlone(const QString& settingsPath) {
    if (!QFileInfo::exists(settingsPath)) {
        return QStringLiteral("no such settings file: %1").arg(settingsPath);
    }
    if (const FileProblem refused = CheckReadable(settingsPath); refused.Failed()) {
        return QStringLiteral("cannot read %1: %2").arg(settingsPath, refused.system);
    }
    return {};
}

bool LoadSettingsFileAlone(const QString& settingsPath, CurvaneState& state, QString* reason) {
    StartGraph(state, DesignPixels(DesignSheetWidthTwips), DesignPixels(DesignSheetHeightTwips));
    const std::optional<SettingsFileData> data =
        ReadSettingsPath(settingsPath, state.Settings, reason);
    if (!data) {
        return false;
    }
    ApplySettingsFile(state, *data);
    return true;
}

QString RenderSettingsFile(const QString& settingsPath, const QString& imagePath,
                           std::optional<int> dpi) {
    const std::optional<RenderOutput> output = RenderOutputOfName(imagePath);
    if (!output) {
        return UnknownOutputText(imagePath);
    }
    if (const QString problem = CheckSettingsFileAlone(settingsPath); !problem.isEmpty()) {
        return problem;
    }
    // A target that is no regular file is refused before anything is drawn.
    if (const FileProblem refused = CheckWritable(imagePath); refused.Failed()) {
        return QStringLiteral("cannot write %1: %2").arg(imagePath, refused.system);
    }
    CurvaneState state;
    if (QString reason; !LoadSettingsFileAlone(settingsPath, state, &reason)) {
        return QStringLiteral("cannot read settings file %1: %2").arg(settingsPath, reason);
    }
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString& expression = SlotOf(state.Slots, slot).Expression;
        if (!expression.isEmpty() && BracketsMatch(expression)) {
            DrawButtonClicked(state, state.scriptEvalFn, slot);
        }
    }
    FileProblem failure;
    if (output->kind == RenderOutput::Kind::Pdf || output->kind == RenderOutput::Kind::Svg) {
        failure = ExportSheet(state, imagePath,
                              output->kind == RenderOutput::Kind::Pdf ? ExportFormat::Pdf
                                                                      : ExportFormat::Svg,
                              DefaultExportDpi);
    } else if (dpi) {
        failure = ExportRaster(state, imagePath, *dpi, output->imageFormat);
    } else {
        failure = WriteImageSafely(imagePath, SheetPicture(state), output->imageFormat);
    }
    if (failure.Failed()) {
        return QStringLiteral("cannot write %1: %2").arg(imagePath, failure.system);
    }
    return {};
}

#include "program/render.h"

#include "files/safefile.h"
#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/export.h"
#include "program/functionpanel.h"
#include "program/parametercommands.h"
#include "program/settingscommands.h"
#include "program/stamping.h"
#include "program/worksheetcommands.h"

#include <QtCore/QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstring>

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
    if (const FileProblem refused = CheckReadable(settingsPath); refused.Failed()) {
        if (refused.system == QString::fromLocal8Bit(std::strerror(ENOENT))) {
            return (IsWorksheetName(settingsPath) ? QStringLiteral("no such worksheet: %1")
                                                  : QStringLiteral("no such settings file: %1"))
                .arg(settingsPath);
        }
        return QStringLiteral("cannot read %1: %2").arg(settingsPath, refused.system);
    }
    return {};
}

QString LoadSettingsFileAlone(const QString& settingsPath, CurvaneState& state) {
    StartGraph(state, DesignPixels(DesignSheetWidthTwips), DesignPixels(DesignSheetHeightTwips));
    QString reason;
    const std::optional<SettingsFileData> data =
        ReadSettingsPath(settingsPath, state.Settings, &reason);
    if (!data) {
        return QStringLiteral("cannot read settings file %1: %2").arg(settingsPath, reason);
    }
    ApplySettingsFile(state, *data);
    return {};
}

QString RenderSettingsFile(const QString& settingsPath, const QString& imagePath,
                           std::optional<int> dpi, const QStringList& parameters) {
    const std::optional<RenderOutput> output = RenderOutputOfName(imagePath);
    if (!output) {
        return UnknownOutputText(imagePath);
    }
    if (const QString problem = CheckSettingsFileAlone(settingsPath); !problem.isEmpty()) {
        return problem;
    }
    // A target that is no regular file, or is the settings file itself (by another name or a
    // link), is refused before anything is drawn.
    if (SameFile(imagePath, settingsPath)) {
        return QStringLiteral("cannot write %1: it is the %2 being read")
            .arg(imagePath, IsWorksheetName(settingsPath) ? QStringLiteral("worksheet")
                                                          : QStringLiteral("settings file"));
    }
    if (const FileProblem refused = CheckWritable(imagePath); refused.Failed()) {
        return QStringLiteral("cannot write %1: %2").arg(imagePath, refused.system);
    }
    CurvaneState state;
    if (IsWorksheetName(settingsPath)) {
        // A worksheet is drawn as it was kept: its curves, families and labels.
        FileProblem problem;
        const std::optional<CurvaneDocument> document = ReadWorksheetFile(settingsPath, &problem);
        if (!document) {
            return QStringLiteral("cannot read worksheet %1: %2").arg(settingsPath, problem.system);
        }
        ApplyWorksheet(state, *document, settingsPath);
        if (const QString refused = SetParametersFromText(state, parameters); !refused.isEmpty()) {
            return refused;
        }
        ParameterFrame frame = BeginParameterFrame(state, false);
        RunParameterFrame(frame, state.scriptEvalFn, nullptr);
        FinishParameterFrame(state, frame);
    } else {
        if (const QString problem = LoadSettingsFileAlone(settingsPath, state);
            !problem.isEmpty()) {
            return problem;
        }
        if (const QString problem = SetParametersFromText(state, parameters); !problem.isEmpty()) {
            return problem;
        }
        for (int slot = 1; slot <= SlotCount; ++slot) {
            const QString& expression = SlotOf(state.Slots, slot).Expression;
            if (!expression.isEmpty() && BracketsMatch(expression)) {
                DrawButtonClicked(state, state.scriptEvalFn, slot);
            }
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

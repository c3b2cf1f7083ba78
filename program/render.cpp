#include "program/render.h"

#include "output/safefile.h"
#include "platform/units.h"
#include "program/curvanestate.h"
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

QString RenderSettingsFile(const QString& settingsPath, const QString& imagePath) {
    if (!QFileInfo::exists(settingsPath)) {
        return QStringLiteral("no such settings file: %1").arg(settingsPath);
    }
    if (const FileProblem refused = CheckReadable(settingsPath); refused.Failed()) {
        return QStringLiteral("cannot read %1: %2").arg(settingsPath, refused.system);
    }
    // A target that is no regular file is refused before anything is drawn.
    if (const FileProblem refused = CheckWritable(imagePath); refused.Failed()) {
        return QStringLiteral("cannot write %1: %2").arg(imagePath, refused.system);
    }
    CurvaneState state;
    StartGraph(state, DesignPixels(DesignSheetWidthTwips), DesignPixels(DesignSheetHeightTwips));
    QString reason;
    const std::optional<SettingsFileData> data =
        ReadSettingsPath(settingsPath, state.Settings, &reason);
    if (!data) {
        return QStringLiteral("cannot read settings file %1: %2").arg(settingsPath, reason);
    }
    ApplySettingsFile(state, *data);
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString& expression = SlotOf(state.Slots, slot).Expression;
        if (!expression.isEmpty() && BracketsMatch(expression)) {
            DrawButtonClicked(state, state.scriptEvalFn, slot);
        }
    }
    StampLabels(state);

    const QByteArray format =
        imagePath.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? "png" : "bmp";
    if (const FileProblem failure = WriteImageSafely(imagePath, state.Sheet.Image(), format);
        failure.Failed()) {
        return QStringLiteral("cannot write %1: %2").arg(imagePath, failure.system);
    }
    return {};
}

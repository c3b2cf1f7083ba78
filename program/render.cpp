#include "program/render.h"

#include "platform/units.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/settingscommands.h"
#include "program/stamping.h"

#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtGui/QImageWriter>
#include <cmath>

namespace {

int DesignPixels(double twips) {
    return units::TwipsToWholePixels(twips) - 2 * SheetFramePx;
}

} // namespace

QString RenderSettingsFile(const QString& settingsPath, const QString& imagePath) {
    if (!QFileInfo(settingsPath).isFile()) {
        return QStringLiteral("no such settings file: %1").arg(settingsPath);
    }
    CurvaneState state;
    StartGraph(state, DesignPixels(DesignSheetWidthTwips), DesignPixels(DesignSheetHeightTwips));
    const std::optional<SettingsFileData> data = ReadSettingsPath(settingsPath, state.Settings);
    if (!data) {
        return QStringLiteral("not a readable settings file (52 fields expected): %1")
            .arg(settingsPath);
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
    QSaveFile file(imagePath);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("cannot write %1: %2").arg(imagePath, file.errorString());
    }
    QImageWriter writer(&file, format);
    if (!writer.write(state.Sheet.Image()) || !file.commit()) {
        return QStringLiteral("cannot write %1: %2").arg(imagePath, writer.errorString());
    }
    return {};
}

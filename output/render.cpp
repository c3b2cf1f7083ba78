#include "output/render.h"

#include "graph/axispanelmodel.h"
#include "mainwindow/curvanestate.h"
#include "output/settingscommands.h"
#include "output/stamping.h"
#include "platform/units.h"
#include "plot/functionpanel.h"

#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtGui/QImageWriter>
#include <cmath>

namespace {

// The axis panel's boxes as they show the loaded values: a computation reads them back from
// there, so the picture is the one the window would draw.
AxisPanelTexts PanelTextsOf(const CurvaneState& state) {
    const AxisPanelView view = ApplyAxisPanel(state.Settings, state.Graph);
    AxisPanelTexts texts;
    texts.XUnit = view.x.unitText;
    texts.YUnit = view.y.unitText;
    texts.XSmallValue = view.x.smallValueText;
    texts.YSmallValue = view.y.smallValueText;
    texts.XOriginValue = view.x.originValueText;
    texts.YOriginValue = view.y.originValueText;
    return texts;
}

int DesignPixels(double twips) {
    return static_cast<int>(std::lround(units::TwipsToPixels(twips))) - 2 * SheetFramePx;
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
    const AxisPanelTexts panel = PanelTextsOf(state);
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString& expression = SlotOf(state.Slots, slot).Expression;
        if (!expression.isEmpty() && BracketsMatch(expression)) {
            DrawButtonClicked(state, state.scriptEvalFn, panel, slot);
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

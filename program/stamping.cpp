#include "program/stamping.h"

#include "platform/surface.h"
#include "plot/sheetrecord.h"
#include "program/curvanestate.h"

#include <QtGui/QPainter>
#include <QtGui/QRegion>

namespace {

QImage WithLabels(QImage picture, const CurvaneDocument& document) {
    QPainter painter(&picture);
    DrawSheetLabels(painter, document);
    painter.end();
    return picture;
}

} // namespace

void DrawSheetLabels(QPainter& painter, const CurvaneDocument& document, TextEdges edges,
                     const QRegion* within) {
    for (const LabelFamily* family : {&document.Xmoji, &document.Ymoji, &document.AddMoji}) {
        DrawLabels(painter, *family, edges, within);
    }
}

QRegion RegionOf(const std::vector<QRect>& rects) {
    QRegion region;
    for (const QRect& rect : rects) {
        region += rect;
    }
    return region;
}

QImage SheetPicture(const CurvaneState& state) {
    return WithLabels(state.Sheet.Image(), state);
}

QImage RecordPicture(const CurvaneDocument& document) {
    Surface surface(document.Record.size.width(), document.Record.size.height());
    RenderRecord(document.Record, surface);
    QPainter painter(&surface.Image());
    DrawSheetLabels(painter, document);
    painter.end();
    return std::move(surface.Image());
}

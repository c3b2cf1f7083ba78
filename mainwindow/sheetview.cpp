#include "mainwindow/sheetview.h"

#include "mainwindow/curvanestate.h"

#include <QtGui/QPainter>
#include <QtGui/QPaintEvent>

SheetView::SheetView(CurvaneState& state, QWidget* parent) : QFrame(parent), m_state(state) {
    setObjectName(QStringLiteral("picScreen"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(SheetFramePx);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FitToSurface();
}

void SheetView::FitToSurface() {
    const QImage& image = m_state.Sheet.Image();
    setFixedSize(image.width() + 2 * frameWidth(), image.height() + 2 * frameWidth());
}

void SheetView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QPoint origin = contentsRect().topLeft();
    painter.setClipRect(event->rect() & contentsRect());
    painter.drawImage(origin, m_state.Sheet.Image());
    painter.translate(origin);
    const auto paintLabel = [&](int, const TextLabel& label) {
        DrawLabelText(painter, label.left, label.top, label.Text(), label.Font(), label.color);
    };
    m_state.Xmoji.ForEachVisible(paintLabel);
    m_state.Ymoji.ForEachVisible(paintLabel);
    m_state.AddMoji.ForEachVisible(paintLabel);
}

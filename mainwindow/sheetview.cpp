#include "mainwindow/sheetview.h"

#include "mainwindow/curvanestate.h"

#include <QtGui/QPainter>
#include <QtGui/QMouseEvent>
#include <QtGui/QPaintEvent>

SheetView::SheetView(CurvaneState& state, QWidget* parent) : QFrame(parent), m_state(state) {
    setObjectName(QStringLiteral("picScreen"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(SheetFramePx);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the origin's guide lines follow the mouse without a button down
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
    DrawLabels(painter, m_state.Xmoji, LabelColour::Template);
    DrawLabels(painter, m_state.Ymoji, LabelColour::Template);
    DrawLabels(painter, m_state.AddMoji, LabelColour::Own);
    if (m_state.OriginDragging) {
        painter.setPen(QColor(255, 0, 0)); // lineX and lineY
        painter.drawLine(m_state.Guides.lineX);
        painter.drawLine(m_state.Guides.lineY);
    }
}

void SheetView::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->button(), event->position() - contentsRect().topLeft());
}

void SheetView::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->position() - contentsRect().topLeft());
}

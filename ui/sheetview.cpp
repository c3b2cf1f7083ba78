#include "ui/sheetview.h"

#include "program/curvanestate.h"
#include "program/export.h"
#include "program/stamping.h"
#include "ui/clicklabel.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPaintEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <algorithm>
#include <array>

SheetView::SheetView(CurvaneState& state, QWidget* parent) : QFrame(parent), m_state(state) {
    setObjectName(QStringLiteral("picScreen"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(SheetFramePx);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the origin's guide lines follow the mouse without a button down
    // A click on the sheet takes the keyboard from the text boxes, so that the edit menu's keys
    // act on the picture.
    setFocusPolicy(Qt::ClickFocus);
    m_addRow = BuildRow(QStringLiteral("AddMoji"));
    m_reEditRow = BuildRow(QStringLiteral("ReMoji"));
    FitToSurface();
}

namespace {

// A row's text box, "Font" and swatch, which show, hide and take the mouse together.
std::array<QWidget*, 3> Parts(const SheetView::EditRow& row) {
    return {row.text, row.font, row.colour};
}

} // namespace

SheetView::EditRow SheetView::BuildRow(const QString& prefix) {
    EditRow row;
    row.text = new QLineEdit(QStringLiteral("・"), this);
    row.text->setObjectName(QStringLiteral("txt") + prefix);
    row.text->resize(120, 20);
    row.text->installEventFilter(this);
    row.font = new ClickLabel(QStringLiteral("Font"), this);
    row.font->setObjectName(QStringLiteral("lbl") + prefix + QStringLiteral("Font"));
    row.font->setFrameStyle(QFrame::Panel | QFrame::Raised);
    row.font->setAutoFillBackground(true);
    row.font->setAlignment(Qt::AlignCenter);
    row.font->resize(34, 20);
    row.colour = new ClickLabel(this);
    row.colour->setObjectName(QStringLiteral("lbl") + prefix + QStringLiteral("Col"));
    row.colour->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    row.colour->setAutoFillBackground(true);
    row.colour->resize(20, 20);
    SetSwatch(row, Rgb(0, 0, 0));
    // A click on "Font" or the swatch leaves the keyboard in the row's text box, where Escape
    // closes the row, rather than handing it to the sheet.
    row.font->setFocusProxy(row.text);
    row.colour->setFocusProxy(row.text);
    HideRow(row);
    return row;
}

double SheetView::RowWidth(const EditRow& row) {
    return row.text->width() + row.font->width() + row.colour->width();
}

double SheetView::RowHeight(const EditRow& row) {
    return row.font->height();
}

void SheetView::SetSwatch(EditRow& row, ColorRef colour) {
    QPalette palette = row.colour->palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    row.colour->setPalette(palette);
}

void SheetView::ShowRow(EditRow& row, QPointF topLeft) {
    const QPoint at = topLeft.toPoint() + contentsRect().topLeft();
    row.text->move(at);
    row.font->move(at.x() + row.text->width(), at.y());
    row.colour->move(row.font->x() + row.font->width(), at.y());
    for (QWidget* w : Parts(row)) {
        w->show();
        w->raise();
    }
    row.text->setFocus();
}

void SheetView::HideRow(EditRow& row) {
    for (QWidget* w : Parts(row)) {
        w->hide();
    }
}

bool SheetView::OverEditRow(QPointF sheetPoint) const {
    const QPoint at = (sheetPoint + contentsRect().topLeft()).toPoint();
    for (const EditRow* row : {&m_addRow, &m_reEditRow}) {
        for (const QWidget* w : Parts(*row)) {
            if (w->isVisible() && w->geometry().contains(at)) {
                return true;
            }
        }
    }
    return false;
}

bool SheetView::DropAllowed(const LabelRef& label, QPointF sheetPoint) const {
    // Put down anywhere but on the sheet's drawing, on an edit box or on another label, the
    // label stays where it was.
    return QRectF(QPointF(0, 0), m_state.Sheet.Image().size()).contains(sheetPoint) &&
           !OverEditRow(sheetPoint) && !OtherLabelAt(m_state, label, sheetPoint);
}

void SheetView::FitToSurface() {
    const QImage& image = m_state.Sheet.Image();
    setFixedSize(image.width() + 2 * frameWidth(), image.height() + 2 * frameWidth());
}

QPointF SheetView::SheetPoint(const QPointF& widgetPoint) const {
    return widgetPoint - contentsRect().topLeft();
}

void SheetView::ShowChanged(const std::vector<QRect>& sheetRects) {
    if (devicePixelRatioF() > 1.0) {
        update();
        return;
    }
    update(RegionOf(sheetRects).translated(contentsRect().topLeft()));
}

void SheetView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QPoint origin = contentsRect().topLeft();
    const QRegion region = event->region() & contentsRect();
    painter.setClipRegion(region);
    // A screen with more device pixels than logical ones gets the record drawn at its own
    // pixels; otherwise the sheet's picture is shown as it is.
    const double ratio = devicePixelRatioF();
    const bool scaled = ratio > 1.0;
    painter.drawImage(origin, scaled ? m_scaled.PictureFor(m_state, ratio) : m_state.Sheet.Image());
    painter.translate(origin);
    const QRegion sheetRegion = region.translated(-origin);
    DrawSheetLabels(painter, m_state, scaled ? TextEdges::Smooth : TextEdges::Pixel, &sheetRegion);
    if (m_state.AreaDragFrom && m_state.AreaDragTo) {
        // The range an area is being dragged across.
        const double from = std::min(*m_state.AreaDragFrom, *m_state.AreaDragTo);
        const double to = std::max(*m_state.AreaDragFrom, *m_state.AreaDragTo);
        const QRectF band(from, 0.0, to - from, m_state.Sheet.Height());
        painter.fillRect(band, QColor(0, 90, 200, 40));
        painter.setPen(QPen(QColor(0, 90, 200), 1, Qt::DashLine));
        painter.drawLine(QPointF(from, 0.0), QPointF(from, band.bottom()));
        painter.drawLine(QPointF(to, 0.0), QPointF(to, band.bottom()));
    }
    if (m_state.OriginDragging) {
        painter.setPen(QColor(255, 0, 0)); // lineX and lineY
        painter.drawLine(m_state.Guides.lineX);
        painter.drawLine(m_state.Guides.lineY);
    }
    if (m_dragging && m_pressed && DropAllowed(*m_pressed, m_dragPoint)) {
        // The outline of the dragged label where it would land.
        if (const TextLabel* label = Resolve(m_state, *m_pressed)) {
            painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
            painter.drawRect(QRectF(m_dragPoint.x() - label->Width() / 2,
                                    m_dragPoint.y() - label->Height() / 2, label->Width(),
                                    label->Height()));
        }
    }
}

void SheetView::mousePressEvent(QMouseEvent* event) {
    const QPointF point = SheetPoint(event->position());
    m_pressed.reset();
    m_dragging = false;
    m_releaseAfterDoubleClick = false;
    if (event->button() == Qt::LeftButton) {
        m_pressed = LabelAt(m_state, point);
        m_pressPoint = point;
    }
    if (!m_pressed) {
        emit mousePressed(event->button(), point);
    }
    QFrame::mousePressEvent(event);
}

void SheetView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF point = SheetPoint(event->position());
    if (m_pressed && (event->buttons() & Qt::LeftButton)) {
        if (!m_dragging &&
            (point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragging = true;
            setCursor(Qt::ClosedHandCursor);
        }
        if (m_dragging) {
            m_dragPoint = point;
            update();
        }
        return;
    }
    emit mouseMoved(point);
}

void SheetView::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF point = SheetPoint(event->position());
    if (m_releaseAfterDoubleClick && event->button() == Qt::LeftButton) {
        // The release that ends a double-click on a label is the label's, not the sheet's: an
        // armed zoom or origin placement waits for a click of its own.
        m_releaseAfterDoubleClick = false;
        return;
    }
    if (m_pressed && event->button() == Qt::LeftButton) {
        const LabelRef label = *m_pressed;
        const bool dropped = m_dragging;
        m_pressed.reset();
        m_dragging = false;
        unsetCursor();
        if (dropped && DropAllowed(label, point)) {
            emit labelDropped(label, point);
        }
        update();
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (const std::optional<LabelRef> label = LabelAt(m_state, point)) {
            emit labelErased(*label);
            return;
        }
    }
    emit mouseReleased(event->button(), point);
}

void SheetView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPointF point = SheetPoint(event->position());
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<LabelRef> label = LabelAt(m_state, point)) {
            m_pressed.reset();
            m_releaseAfterDoubleClick = true;
            emit labelDoubleClicked(*label);
            return;
        }
    }
    QFrame::mouseDoubleClickEvent(event);
}

void SheetView::leaveEvent(QEvent* event) {
    QFrame::leaveEvent(event);
    emit mouseLeft();
}

bool SheetView::eventFilter(QObject* watched, QEvent* event) {
    // Escape closes the edit row it was typed in, and only that one.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        for (EditRow* row : {&m_addRow, &m_reEditRow}) {
            if (watched == row->text) {
                HideRow(*row);
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

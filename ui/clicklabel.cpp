#include "ui/clicklabel.h"

#include <QtGui/QMouseEvent>

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint())) {
        emit released(event->button());
        if (event->button() == Qt::LeftButton) {
            emit clicked();
        }
    }
}

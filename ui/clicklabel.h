#pragma once

#include <QtWidgets/QLabel>

// A label that reports mouse releases over it: the colour swatch and the style label take a
// click, the labels "F2(x)=" and "F3(x)=" a right click.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void released(Qt::MouseButton button);
    // A release of the left button over it: a click.
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

#pragma once

#include <QtWidgets/QFrame>

struct CurvaneState;

// The sheet picScreen on screen: the surface image inside a sunken frame, with the visible tick
// numbers and free labels painted over it by the same routine that stamps them into the image.
class SheetView : public QFrame {
    Q_OBJECT
public:
    SheetView(CurvaneState& state, QWidget* parent);

    // Makes the widget's outer size fit the surface plus the frame.
    void FitToSurface();

signals:
    // Mouse events in the sheet's own pixels.
    void mouseReleased(Qt::MouseButton button, QPointF position);
    void mouseMoved(QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    CurvaneState& m_state;
};

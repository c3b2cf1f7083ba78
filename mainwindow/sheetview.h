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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CurvaneState& m_state;
};

#pragma once

#include "graph/axispanelmodel.h"

#include <QtWidgets/QFrame>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;

// The settings panel picGraphSet: the sheet size in millimetres and the X and Y axis frames, one
// shown at a time; a click on the shown frame shows the other.
class AxisPanel : public QFrame {
    Q_OBJECT
public:
    AxisPanel(CurvaneState& state, QWidget* parent);

    // Shows the record (ApplyAxisPanel) with the controls' reactions held back.
    void ShowRecord();
    // Shows the sheet size labels only.
    void ShowSheetSize();

    // The unit and value boxes as the user left them, for the next computation.
    QString UnitText(Axis axis) const;
    QString SmallValueText(Axis axis) const;
    QString OriginValueText(Axis axis) const;

signals:
    // A reaction changed the state; the window brings everything else in line.
    void stateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct AxisControls {
        QGroupBox* frame = nullptr;
        QGroupBox* smallFrame = nullptr;
        QScrollBar* smallBar = nullptr;
        QGroupBox* mediumFrame = nullptr;
        QScrollBar* mediumBar = nullptr;
        QGroupBox* largeFrame = nullptr;
        QScrollBar* largeBar = nullptr;
        QGroupBox* valueFrame = nullptr;
        QLineEdit* valueBox = nullptr;
        QComboBox* unitBox = nullptr;
        QGroupBox* originFrame = nullptr;
        QLineEdit* originBox = nullptr;
    };

    AxisControls BuildAxis(Axis axis, int top);
    void ShowAxis(AxisControls& controls, const AxisView& view);
    const AxisControls& Controls(Axis axis) const { return axis == Axis::X ? m_x : m_y; }

    CurvaneState& m_state;
    QGroupBox* m_sizeFrame = nullptr;
    QLabel* m_width = nullptr;  // lblGraphXW
    QLabel* m_height = nullptr; // lblGraphYH
    AxisControls m_x;
    AxisControls m_y;
};

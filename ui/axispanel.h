#pragma once

#include "program/axispanelmodel.h"
#include <QtCore/QPointer>
#include <QtCore/QRect>

#include <QtWidgets/QFrame>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QToolButton;

// The settings panel picGraphSet: the sheet size in millimetres and the X and Y axis frames, one
// shown at a time, chosen with the switch "X軸" / "Y軸" above them; a click on the shown frame
// shows the other.
class AxisPanel : public QFrame {
    Q_OBJECT
public:
    AxisPanel(CurvaneState& state, QWidget* parent);

    // Shows the record (ApplyAxisPanel) with the controls' reactions held back.
    void ShowRecord();
    // Shows the unit and value boxes as a document kept them.
    void ShowTexts(const AxisPanelTexts& texts);
    // Shows the sheet size labels only.
    void ShowSheetSize();
    // Shows the small spacings only (a zoom changed them; the value and unit boxes keep what the
    // user typed).
    void ShowSpacing();
    // The sheet size editors: open, close, and the entry texts.
    void OpenSizeEditor(Axis axis);
    void CloseSizeEditor(Axis axis);
    void SetSizeEntries(const QString& width, const QString& height);
    // Shows the frame of one axis and hides the other.
    void ShowAxisFrame(Axis axis);

    // The free area under the axis frames, in the panel's coordinates, where the readout of
    // values at the mouse goes when its lines fit.
    QRect FreeAreaUnderFrames() const;

    // The unit and value boxes as the user left them, for the next computation.
    QString UnitText(Axis axis) const;
    QString SmallValueText(Axis axis) const;
    QString OriginValueText(Axis axis) const;

signals:
    // A reaction changed the state; the window brings everything else in line.
    void stateChanged();
    // "OK" of a size editor with the typed millimetres.
    void sizeEntered(Axis axis, const QString& millimetres);

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
    // The unit and value boxes, their reactions held back.
    static void ShowBoxes(const AxisControls& controls, const AxisTexts& texts);
    const AxisControls& Controls(Axis axis) const { return axis == Axis::X ? m_x : m_y; }

    CurvaneState& m_state;
    QGroupBox* m_sizeFrame = nullptr;
    struct SizeEditor {
        QLabel* label = nullptr; // lblGraphXW / lblGraphYH
        QLineEdit* entry = nullptr;
        QWidget* ok = nullptr;
        QWidget* cancel = nullptr;
        // Where the keyboard was when the editor opened; it goes back there.
        QPointer<QWidget> focusBefore;
    };
    SizeEditor BuildSizeEditor(Axis axis, int left);
    // Places the editors' buttons; returns the top of what comes below the size frame.
    int LayoutSizeEditors();
    SizeEditor& Editor(Axis axis) { return axis == Axis::X ? m_widthEditor : m_heightEditor; }

    SizeEditor m_widthEditor;
    SizeEditor m_heightEditor;
    AxisControls m_x;
    AxisControls m_y;
    QToolButton* m_xSwitch = nullptr; // optAxisX
    QToolButton* m_ySwitch = nullptr; // optAxisY
};

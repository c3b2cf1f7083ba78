#pragma once

#include "program/export.h"
#include "program/textlabels.h"

#include <QtWidgets/QFrame>
#include <optional>
#include <vector>

struct CurvaneState;
class ClickLabel;
class QLineEdit;

// The sheet picScreen on screen: the surface image inside a sunken frame (on a screen with more
// device pixels than logical ones, the record drawn at device pixels), with the visible tick
// numbers and free labels painted over it by the same routine that composes the saved picture.
// Labels are picked here: a left press and a move drags one, a right release erases it, a
// double-click re-edits it. The two label edit rows lie on the sheet too.
class SheetView : public QFrame {
    Q_OBJECT
public:
    SheetView(CurvaneState& state, QWidget* parent);

    // Makes the widget's outer size fit the surface plus the frame.
    void FitToSurface();
    // Paints again only these rectangles of the sheet (all of it on a scaled screen, whose picture
    // is drawn anew).
    void ShowChanged(const std::vector<QRect>& sheetRects);

    // One edit row: text box, "Font" and colour swatch.
    struct EditRow {
        QLineEdit* text = nullptr;
        ClickLabel* font = nullptr;
        ClickLabel* colour = nullptr;
    };
    EditRow& AddRow() { return m_addRow; }       // txtAddMoji, lblAddMojiFont, lblAddMojiCol
    EditRow& ReEditRow() { return m_reEditRow; } // txtReMoji, lblReMojiFont, lblReMojiCol
    // Places a row with its top-left at a sheet point and shows it.
    void ShowRow(EditRow& row, QPointF topLeft);
    void HideRow(EditRow& row);
    static double RowWidth(const EditRow& row);
    static double RowHeight(const EditRow& row);
    static void SetSwatch(EditRow& row, ColorRef colour);

signals:
    // Mouse events in the sheet's own pixels, where no label took them.
    void mousePressed(Qt::MouseButton button, QPointF position);
    void mouseReleased(Qt::MouseButton button, QPointF position);
    void mouseMoved(QPointF position);
    // The mouse left the sheet.
    void mouseLeft();
    void labelDropped(LabelRef label, QPointF position);
    void labelErased(LabelRef label);
    void labelDoubleClicked(LabelRef label);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointF SheetPoint(const QPointF& widgetPoint) const;
    bool OverEditRow(QPointF sheetPoint) const;
    // Whether a dragged label put down at a sheet point moves there.
    bool DropAllowed(const LabelRef& label, QPointF sheetPoint) const;
    EditRow BuildRow(const QString& prefix);

    CurvaneState& m_state;
    ScaledSheet m_scaled; // the sheet at device pixels, on a screen that has more
    EditRow m_addRow;
    EditRow m_reEditRow;
    // A label under a pressed left button, and whether it is being dragged yet.
    std::optional<LabelRef> m_pressed;
    QPointF m_pressPoint;
    QPointF m_dragPoint;
    bool m_dragging = false;
    // A double-click on a label opened its editor; the release that follows is still its own.
    bool m_releaseAfterDoubleClick = false;
};

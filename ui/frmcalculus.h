#pragma once

#include "program/curvanestate.h"
#include "script/scriptevaluator.h"

#include <QtCore/QPointF>
#include <QtWidgets/QWidget>

class Dialogs;
class ProgressDialogReporter;
class QBoxLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
struct CalculusOutcome;

// "微分・積分" (differentiation and integration): a window of its own beside the main window, not
// modal, with the pages "導関数" (derivative curves), "接線" (tangent lines) and "面積" (areas
// and definite integrals). The tangent and area tools are mouse modes of the sheet: armed here,
// they take the sheet's clicks and drags, which the main window hands on.
class frmCalculus : public QWidget {
    Q_OBJECT
public:
    frmCalculus(CurvaneState& state, Dialogs& dialogs, QWidget* parent);
    ~frmCalculus() override;

    // The sheet's mouse, in sheet pixels, while a tool is armed: true when the tool took it.
    bool SheetPressed(Qt::MouseButton button, QPointF point);
    bool SheetMoved(QPointF point);
    bool SheetReleased(Qt::MouseButton button, QPointF point);
    // Brings the tool buttons and the unit labels in line with the state (Escape on the sheet, or
    // an armed zoom, disarms a tool).
    void ShowTools();

signals:
    // Something was drawn on the sheet or taken off it.
    void sheetChanged();
    // A tool was armed or disarmed: the sheet's cursor follows.
    void toolChanged();

protected:
    // Closing the window disarms its tools and stops a computation.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void DrawDerivativeClicked();
    void EraseDerivativeClicked();
    void DrawTangentClicked();
    void DrawAreaClicked();
    // Arms a tool (one mouse mode at a time), or disarms it.
    void Arm(CalculusTool tool, bool on);
    // Shows what an action did on its page, with its refusal as a message.
    void Show(const CalculusOutcome& outcome, QLabel* status, QPlainTextEdit* details);
    void Copy(QPlainTextEdit* details, QLabel* status);
    // A page's box of values with all their digits, its status line and "コピー" (copy).
    void AddValues(QWidget* page, QBoxLayout* layout, const char* name, QPlainTextEdit*& values,
                   QLabel*& status);
    bool Busy() const { return m_work != nullptr; }

    CurvaneState& m_state;
    Dialogs& m_dialogs;
    // The window's own evaluator: a long computation lets the window's events through, and the
    // main window's evaluations (the readout at the mouse) must not interleave with it.
    ScriptEvaluator m_evaluator;
    ProgressDialogReporter* m_work = nullptr;

    QTabWidget* m_pages = nullptr;
    QComboBox* m_derivativeSlot = nullptr;
    QLabel* m_derivativeStatus = nullptr;
    QPushButton* m_tangentTool = nullptr;
    QComboBox* m_tangentSlot = nullptr;
    QLineEdit* m_tangentX = nullptr;
    QLabel* m_tangentUnit = nullptr;
    QPlainTextEdit* m_tangentValues = nullptr;
    QLabel* m_tangentStatus = nullptr;
    QComboBox* m_areaSlot = nullptr;
    QComboBox* m_areaOther = nullptr;
    QLineEdit* m_areaFrom = nullptr;
    QLineEdit* m_areaTo = nullptr;
    QLabel* m_areaUnit = nullptr;
    QPushButton* m_areaTool = nullptr;
    QPlainTextEdit* m_areaValues = nullptr;
    QLabel* m_areaStatus = nullptr;
};

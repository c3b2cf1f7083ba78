#pragma once

#include "plot/functionslot.h"
#include "ui/clicklabel.h"

#include <QtWidgets/QFrame>
#include <QtWidgets/QLineEdit>
#include <array>

class QPushButton;

// A function box: it takes only what the key filter lets through, typed, pasted or dropped
// alike. Text the program sets (from a settings file) is taken as it is.
class FunctionEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
signals:
    void focused();
    // Enter or Return, which no expression holds.
    void enterPressed();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void PasteFiltered(bool selection);
};

// The function panel picFNSet: rows F1 to F3 of label, expression box, colour swatch, style label
// and draw button; rows 2 and 3 wait behind their add buttons.
class FunctionPanel : public QFrame {
    Q_OBJECT
public:
    explicit FunctionPanel(QWidget* parent);

    // Shows the slots as they are, the controls' reactions held back.
    void ShowSlots(const FunctionSlots& functions);
    void FocusTextBox(int slot);

signals:
    void drawClicked(int slot);
    void enterPressed(int slot);
    void textChanged(int slot, const QString& text);
    void focused(int slot);
    void addClicked(int slot);
    void removeRowRequested(int slot);
    void colorClicked(int slot);
    void styleClicked(int slot);

private:
    struct Row {
        ClickLabel* label = nullptr;
        FunctionEdit* text = nullptr;
        ClickLabel* color = nullptr;
        ClickLabel* style = nullptr;
        QPushButton* draw = nullptr;
        QPushButton* add = nullptr; // rows 2 and 3
    };
    std::array<Row, 3> m_rows;
};

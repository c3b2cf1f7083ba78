#pragma once

#include <QtWidgets/QDialog>

class Dialogs;
class QLabel;
class QLineEdit;
class QPrinter;
class QScrollBar;
struct CurvaneState;

// The print settings dialog "印刷設定": paper and orientation through the printer set-up, copies,
// margins and zoom with downward-counting scroll bars, a preview of the page, and printing.
class frmSetPrinter : public QDialog {
    Q_OBJECT
public:
    frmSetPrinter(QWidget* parent, CurvaneState& state, Dialogs& dialogs, QPrinter& printer);

    void cmdSetPrinter_Click();
    void cmdOK_Click();
    void DrawPrintPreview();

protected:
    void done(int result) override;

private:
    QScrollBar* Bar(const QString& name, int maximum, int step, int position, QLineEdit* text,
                    bool redraws);

    CurvaneState& m_state;
    Dialogs& m_dialogs;
    QPrinter& m_printer;
    QWidget* m_preview = nullptr; // picPrintImage
    QLabel* m_paper = nullptr;    // lblPaperSize
    QLabel* m_orient = nullptr;   // lblOrient
    QLineEdit* m_copies = nullptr;
    QLineEdit* m_left = nullptr;
    QLineEdit* m_top = nullptr;
    QLineEdit* m_zoom = nullptr;
};

// "画像の印刷": the labels stamped into the sheet, then the print settings dialog, made afresh.
// The main window takes the stamped copies away again when it is next activated.
void mnuBMPPrint_Click(QWidget* parent, CurvaneState& state, Dialogs& dialogs, QPrinter& printer);

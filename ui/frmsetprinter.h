#pragma once

#include "files/printing.h"
#include "files/safefile.h"
#include "program/export.h"

#include <QtGui/QImage>
#include <QtWidgets/QDialog>
#include <array>

class Dialogs;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPrinter;
class QComboBox;
class QScrollBar;
struct CurvaneState;

// The print settings dialog "印刷設定": printer or PDF file, paper and orientation through the
// printer set-up, copies, margins and zoom with downward-counting scroll bars, a preview of the
// page, and printing. What it shows lives in a SetPrinterControls; the widgets mirror it.
class frmSetPrinter : public QDialog {
    Q_OBJECT
public:
    frmSetPrinter(QWidget* parent, CurvaneState& state, Dialogs& dialogs, QPrinter& printer);

    const SetPrinterControls& Controls() const { return m_controls; }

    void cmdSetPrinter_Click();
    void cmdOK_Click();
    void DrawPrintPreview();

protected:
    void done(int result) override;

private:
    // A number box with its caption and scroll bar; name is what follows "lbl", "txt" and "scr"
    // in their object names.
    struct Entry {
        PrintEntry entry = PrintEntry::Copies;
        const char* name = "";
        QString caption;
        QLineEdit* box = nullptr;
        QScrollBar* bar = nullptr;
    };
    void NewBox(QGridLayout* grid, int row, Entry& e);
    void NewBar(QGridLayout* grid, int row, Entry& e);

    // The handlers: each knows the entry its control belongs to.
    void BarMoved(PrintEntry entry, int position);
    void TextTyped(PrintEntry entry, const QString& text);

    // Brings every control in line with m_controls, without reactions.
    void ShowControls();
    // The printer or PDF file the page goes to.
    void ShowTarget();
    // Where the sheet goes on the page, in the printer's device units.
    QRectF PageTarget() const;
    // The curves evaluated again for the page, on a worker with a progress dialog; false when
    // the user stopped it.
    bool SampleCurves();
    // The sheet on the printer's page at the margins and zoom; false when the printer failed.
    bool PaintPage();
    // The page into a PDF file, failure-safely.
    FileProblem PrintPdf(const QString& target);

    CurvaneState& m_state;
    // The sheet with its labels as the screen showed it when the dialog opened.
    QImage m_picture;
    std::vector<SheetCurve> m_curves; // for 高品質 (high quality)
    Dialogs& m_dialogs;
    QPrinter& m_printer;
    SetPrinterControls m_controls;
    QWidget* m_preview = nullptr;   // picPrintImage
    QLabel* m_paper = nullptr;      // lblPaperSize
    QLabel* m_orient = nullptr;     // lblOrient
    QLabel* m_target = nullptr;     // lblPrinterName
    QComboBox* m_quality = nullptr; // cboPrintQuality
    std::array<Entry, 4> m_entries;
};

// "画像の印刷": the print settings dialog, made afresh. The main window redraws the sheet when
// it is next activated.
void mnuBMPPrint_Click(QWidget* parent, CurvaneState& state, Dialogs& dialogs, QPrinter& printer);

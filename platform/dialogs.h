#pragma once

#include "platform/colorref.h"
#include "platform/labels.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QPageLayout>
#include <optional>

// What the printer set-up chose: an installed printer, or a PDF file written instead of printing,
// and the paper with its orientation.
struct PrinterChoice {
    QString printerName; // empty when printing into a PDF file
    QString pdfFile;     // the PDF file to write; empty for a printer
    QPageLayout layout;
};

// Every modal question the program asks goes through this interface: the program uses the Qt
// implementation, tests a scripted stand-in, so each handler runs without a person at the screen.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The chosen colour, or nothing when the user cancelled. fullOpen asks for the form with
    // custom colours opened.
    virtual std::optional<ColorRef> ChooseColor(ColorRef preset, bool fullOpen) = 0;
    // The chosen font, or nothing when the user cancelled.
    virtual std::optional<FontSpec> ChooseFont(const FontSpec& preset) = 0;
    // filter: pairs of a description and a pattern, every part separated by "|", for example
    // "設定ファイル (*.cvf)|*.cvf". Both return an empty path when the user cancelled, and start in
    // the folder of the path last chosen through them.
    virtual QString OpenFileName(const QString& title, const QString& filter) = 0;
    virtual QString SaveFileName(const QString& title, const QString& filter) = 0;
    // A modal message with an OK button.
    virtual void Message(const QString& text, const QString& title, bool informationIcon) = 0;
    // A modal question answered with one of the buttons, given left to right with the default
    // first; the last one is the cancel button, which Escape and the close box press too. Returns
    // the index of the button pressed.
    virtual int Question(const QString& text, const QString& title, const QStringList& buttons) = 0;
    // The typed text, or an empty text when cancelled.
    virtual QString InputBox(const QString& prompt, const QString& title) = 0;
    // A pop-up menu at the mouse pointer: the index of the chosen entry, or -1.
    virtual int PopupMenu(const QStringList& entries) = 0;
    // The printer set-up, starting from current: where to print (any installed printer or a PDF
    // file) and on which paper; nothing when cancelled.
    virtual std::optional<PrinterChoice> PrintSetup(const QString& title,
                                                    const PrinterChoice& current) = 0;
};

// Splits a "|"-separated filter into (description, pattern) pairs; a trailing description without
// a pattern is dropped.
QList<std::pair<QString, QString>> SplitFileFilter(const QString& filter);

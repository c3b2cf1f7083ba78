#pragma once

#include "platform/dialogs.h"

#include <QtCore/QPointer>

class QWidget;
class QPrinter;

// The real dialogs: Qt's standard choosers and message boxes, parented to a window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent);
    ~QtDialogs() override;

    std::optional<ColorRef> ChooseColor(ColorRef preset, bool fullOpen) override;
    std::optional<FontSpec> ChooseFont(const FontSpec& preset) override;
    QString OpenFileName(const QString& title, const QString& filter) override;
    QString SaveFileName(const QString& title, const QString& filter) override;
    void Message(const QString& text, const QString& title, bool informationIcon) override;
    int Question(const QString& text, const QString& title, const QStringList& buttons) override;
    QString InputBox(const QString& prompt, const QString& title) override;
    int PopupMenu(const QStringList& entries) override;
    std::optional<PrinterChoice> PrintSetup(const QString& title,
                                            const PrinterChoice& current) override;

private:
    // A chosen file's folder is where the next file dialog opens; returns the path.
    QString KeepFolder(const QString& chosen);

    QPointer<QWidget> m_parent;
    QString m_lastFolder;
};

// "desc|*.a;*.b|desc2|*.c" as a Qt name filter: "desc (*.a *.b);;desc2 (*.c)".
QString ToQtNameFilter(const QString& filter);

// A printer set up as a choice says, and the choice a printer stands for.
void ApplyPrinterChoice(QPrinter& printer, const PrinterChoice& choice);
PrinterChoice ChoiceOf(const QPrinter& printer);

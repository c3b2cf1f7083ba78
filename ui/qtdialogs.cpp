#include "ui/qtdialogs.h"

#include <QtCore/QFileInfo>
#include <QtGui/QCursor>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QInputDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

QString ToQtNameFilter(const QString& filter) {
    QStringList entries;
    for (const auto& [description, pattern] : SplitFileFilter(filter)) {
        QString patterns = pattern;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the brackets of the description.
        if (description.contains(QLatin1Char('(')) &&
            description.contains(QStringLiteral("(") + patterns + QStringLiteral(")"))) {
            entries << description;
        } else {
            entries << description + QStringLiteral(" (") + patterns + QStringLiteral(")");
        }
    }
    return entries.join(QStringLiteral(";;"));
}

QtDialogs::QtDialogs(QWidget* parent) : m_parent(parent) {}

QtDialogs::~QtDialogs() = default;

std::optional<ColorRef> QtDialogs::ChooseColor(ColorRef preset, bool fullOpen) {
    QColorDialog dialog(ToQColor(preset), m_parent);
    // Qt's chooser always shows its custom colour part; fullOpen needs nothing more here.
    Q_UNUSED(fullOpen);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return FromQColor(dialog.selectedColor());
}

std::optional<FontSpec> QtDialogs::ChooseFont(const FontSpec& preset) {
    QFont initial(preset.name);
    initial.setPointSizeF(preset.size);
    initial.setBold(preset.bold);
    initial.setItalic(preset.italic);
    initial.setStrikeOut(preset.strikeout);
    initial.setUnderline(preset.underline);
    bool accepted = false;
    const QFont chosen = QFontDialog::getFont(&accepted, initial, m_parent);
    if (!accepted) {
        return std::nullopt;
    }
    FontSpec font;
    font.name = chosen.family();
    font.size = KeptPointSize(preset.size, chosen.pointSizeF());
    font.bold = chosen.bold();
    font.italic = chosen.italic();
    font.strikeout = chosen.strikeOut();
    font.underline = chosen.underline();
    return font;
}

QString QtDialogs::OpenFileName(const QString& title, const QString& filter) {
    return KeepFolder(
        QFileDialog::getOpenFileName(m_parent, title, m_lastFolder, ToQtNameFilter(filter)));
}

QString QtDialogs::SaveFileName(const QString& title, const QString& filter) {
    return KeepFolder(
        QFileDialog::getSaveFileName(m_parent, title, m_lastFolder, ToQtNameFilter(filter)));
}

QString QtDialogs::KeepFolder(const QString& chosen) {
    if (!chosen.isEmpty()) {
        m_lastFolder = QFileInfo(chosen).absolutePath();
    }
    return chosen;
}

void QtDialogs::Message(const QString& text, const QString& title, bool informationIcon) {
    QMessageBox box(informationIcon ? QMessageBox::Information : QMessageBox::NoIcon, title, text,
                    QMessageBox::Ok, m_parent);
    box.exec();
}

int QtDialogs::Question(const QString& text, const QString& title, const QStringList& buttons) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, m_parent);
    QList<QAbstractButton*> pressable;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const bool last = i == buttons.size() - 1;
        pressable << box.addButton(buttons[i], i == 0 ? QMessageBox::AcceptRole
                                               : last ? QMessageBox::RejectRole
                                                      : QMessageBox::DestructiveRole);
    }
    if (!pressable.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(pressable.front()));
        box.setEscapeButton(pressable.back());
    }
    box.exec();
    const qsizetype pressed = pressable.indexOf(box.clickedButton());
    return static_cast<int>(pressed >= 0 ? pressed : buttons.size() - 1);
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, QString(), &accepted);
    return accepted ? text : QString();
}

int QtDialogs::PopupMenu(const QStringList& entries) {
    QMenu menu(m_parent);
    for (const QString& entry : entries) {
        menu.addAction(entry);
    }
    const QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? static_cast<int>(menu.actions().indexOf(const_cast<QAction*>(chosen))) : -1;
}

std::optional<PrinterChoice> QtDialogs::PrintSetup(const QString& title,
                                                   const PrinterChoice& current) {
    QPrinter printer(QPrinter::HighResolution);
    ApplyPrinterChoice(printer, current);
    // Qt's print dialog is the platform's set-up on Linux: every installed printer, a PDF file
    // with its name, and the paper and orientation under its properties.
    QPrintDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(title);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ChoiceOf(printer);
}

void ApplyPrinterChoice(QPrinter& printer, const PrinterChoice& choice) {
    if (!choice.pdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(choice.pdfFile);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        if (!choice.printerName.isEmpty()) {
            printer.setPrinterName(choice.printerName);
        }
    }
    printer.setPageLayout(choice.layout);
}

PrinterChoice ChoiceOf(const QPrinter& printer) {
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    return {pdf ? QString() : printer.printerName(), pdf ? printer.outputFileName() : QString(),
            printer.pageLayout()};
}

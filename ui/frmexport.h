#pragma once

#include "program/export.h"

#include <QtWidgets/QDialog>
#include <optional>

class QLabel;
class QRadioButton;
class QSpinBox;
class SettingsStore;
struct CurvaneState;

// "エクスポート" (export): the format (PDF, SVG or PNG) and, for PNG, the resolution, with the
// size the result will have. It only chooses; the program writes.
class frmExport : public QDialog {
    Q_OBJECT
public:
    frmExport(const CurvaneState& state, const ExportOptions& options, QWidget* parent = nullptr);

    ExportOptions Options() const;

    // Shows the dialog with the choices of last time; OK keeps the new choices in the store and
    // returns them, Cancel returns nothing.
    static std::optional<ExportOptions> Ask(QWidget* parent, const CurvaneState& state,
                                            SettingsStore& store);

private:
    void ShowChoices();

    const CurvaneState& m_state;
    QRadioButton* m_optPdf = nullptr;
    QRadioButton* m_optSvg = nullptr;
    QRadioButton* m_optPng = nullptr;
    QSpinBox* m_txtDpi = nullptr;
    QLabel* m_lblDpi = nullptr;
    QLabel* m_lblSize = nullptr;
};

#include "ui/frmexport.h"

#include "platform/settings_store.h"
#include "program/curvanestate.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

frmExport::frmExport(const CurvaneState& state, const ExportOptions& options, QWidget* parent)
    : QDialog(parent), m_state(state) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(ExportTitle());

    auto* fraFormat = new QGroupBox(QStringLiteral("形式"), this); // format
    fraFormat->setObjectName(QStringLiteral("fraFormat"));
    // "ベクター" = vector, "画像" = picture
    m_optPdf = new QRadioButton(QStringLiteral("PDF（ベクター）"), fraFormat);
    m_optPdf->setObjectName(QStringLiteral("optPdf"));
    m_optSvg = new QRadioButton(QStringLiteral("SVG（ベクター）"), fraFormat);
    m_optSvg->setObjectName(QStringLiteral("optSvg"));
    m_optPng = new QRadioButton(QStringLiteral("PNG（画像）"), fraFormat);
    m_optPng->setObjectName(QStringLiteral("optPng"));
    auto* formats = new QVBoxLayout(fraFormat);
    formats->addWidget(m_optPdf);
    formats->addWidget(m_optSvg);
    formats->addWidget(m_optPng);

    m_lblDpi = new QLabel(QStringLiteral("解像度 (dpi)"), this); // resolution
    m_lblDpi->setObjectName(QStringLiteral("lblDpi"));
    m_txtDpi = new QSpinBox(this);
    m_txtDpi->setObjectName(QStringLiteral("txtDpi"));
    m_txtDpi->setRange(MinExportDpi, MaxExportDpi);
    m_txtDpi->setSingleStep(50);
    m_lblDpi->setBuddy(m_txtDpi);
    auto* resolution = new QHBoxLayout;
    resolution->addWidget(m_lblDpi);
    resolution->addWidget(m_txtDpi);
    resolution->addStretch();

    m_lblSize = new QLabel(this);
    m_lblSize->setObjectName(QStringLiteral("lblSize"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    // "キャンセル" = cancel
    QPushButton* cmdCancel =
        buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraFormat);
    layout->addLayout(resolution);
    layout->addWidget(m_lblSize);
    layout->addWidget(buttons);

    (options.format == ExportFormat::Svg   ? m_optSvg
     : options.format == ExportFormat::Png ? m_optPng
                                           : m_optPdf)
        ->setChecked(true);
    m_txtDpi->setValue(options.dpi);
    for (QRadioButton* option : {m_optPdf, m_optSvg, m_optPng}) {
        connect(option, &QRadioButton::toggled, this, &frmExport::ShowChoices);
    }
    connect(m_txtDpi, &QSpinBox::valueChanged, this, &frmExport::ShowChoices);
    ShowChoices();
}

ExportOptions frmExport::Options() const {
    ExportOptions options;
    options.format = m_optSvg->isChecked()   ? ExportFormat::Svg
                     : m_optPng->isChecked() ? ExportFormat::Png
                                             : ExportFormat::Pdf;
    options.dpi = m_txtDpi->value();
    return options;
}

void frmExport::ShowChoices() {
    // The resolution belongs to the picture only; vectors have none.
    const bool picture = m_optPng->isChecked();
    m_txtDpi->setEnabled(picture);
    m_lblDpi->setEnabled(picture);
    m_lblSize->setText(ExportSizeText(m_state, Options()));
}

std::optional<ExportOptions> frmExport::Ask(QWidget* parent, const CurvaneState& state,
                                            SettingsStore& store) {
    frmExport dialog(state, LoadExportOptions(store), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const ExportOptions chosen = dialog.Options();
    SaveExportOptions(store, chosen);
    return chosen;
}

#include "ui/frmsetmore.h"

#include "graph/graphsettings.h"
#include "platform/dialogs.h"
#include "program/curvanestate.h"

#include <QtCore/QPointer>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QVBoxLayout>
#include <array>

namespace {

// picPreview as designed: 1815 × 1575 twips overall with a sunken border of two pixels.
constexpr int PreviewOuterWidth = 121;
constexpr int PreviewOuterHeight = 105;
constexpr int PreviewBorder = 2;
constexpr QSize SwatchSize(28, 18);

using Button = bool SetMoreControls::*;
using Swatch = ColorRef SetMoreControls::*;

struct RadioName {
    const char* name;
    Button button;
};

// Every option button with the field of SetMoreControls it stands for.
constexpr std::array<RadioName, 20> Radios{{
    {"optFree", &SetMoreControls::optFree},
    {"optLUpper", &SetMoreControls::optLUpper},
    {"optLCenter", &SetMoreControls::optLCenter},
    {"optLUnder", &SetMoreControls::optLUnder},
    {"optSScaleOn", &SetMoreControls::optSScaleOn},
    {"optSScaleOff", &SetMoreControls::optSScaleOff},
    {"optMScaleOn", &SetMoreControls::optMScaleOn},
    {"optMScaleOff", &SetMoreControls::optMScaleOff},
    {"optLScaleOn", &SetMoreControls::optLScaleOn},
    {"optLScaleOff", &SetMoreControls::optLScaleOff},
    {"optAxisOn", &SetMoreControls::optAxisOn},
    {"optAxisOff", &SetMoreControls::optAxisOff},
    {"optXmojiNone", &SetMoreControls::optXmojiNone},
    {"optXSmoji", &SetMoreControls::optXSmoji},
    {"optXMmoji", &SetMoreControls::optXMmoji},
    {"optXLmoji", &SetMoreControls::optXLmoji},
    {"optYmojiNone", &SetMoreControls::optYmojiNone},
    {"optYSmoji", &SetMoreControls::optYSmoji},
    {"optYMmoji", &SetMoreControls::optYMmoji},
    {"optYLmoji", &SetMoreControls::optYLmoji},
}};

struct SwatchName {
    const char* name;
    Swatch colour;
};

constexpr std::array<SwatchName, 7> Swatches{{
    {"lblSScaleCol", &SetMoreControls::lblSScaleCol},
    {"lblMScaleCol", &SetMoreControls::lblMScaleCol},
    {"lblLScaleCol", &SetMoreControls::lblLScaleCol},
    {"lblAxisCol", &SetMoreControls::lblAxisCol},
    {"lblBackCol", &SetMoreControls::lblBackCol},
    {"lblXmojicolor", &SetMoreControls::lblXmojicolor},
    {"lblYmojicolor", &SetMoreControls::lblYmojicolor},
}};

struct ScaleSwatchName {
    const char* name;
    ScaleSwatch swatch;
};

constexpr std::array<ScaleSwatchName, 5> ScaleSwatches{{
    {"lblSScaleCol", ScaleSwatch::lblSScaleCol},
    {"lblMScaleCol", ScaleSwatch::lblMScaleCol},
    {"lblLScaleCol", ScaleSwatch::lblLScaleCol},
    {"lblAxisCol", ScaleSwatch::lblAxisCol},
    {"lblBackCol", ScaleSwatch::lblBackCol},
}};

QString Name(const char* name) {
    return QString::fromLatin1(name);
}

QRadioButton* NewRadio(const char* name, const QString& caption, QWidget* parent) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(Name(name));
    return radio;
}

QGroupBox* NewFrame(const char* name, const QString& caption, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(Name(name));
    return frame;
}

// A label that reacts to clicks: the colour swatches and the font size labels.
QLabel* NewClickLabel(const char* name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(Name(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

QLabel* NewSwatch(const char* name, QWidget* parent) {
    QLabel* swatch = NewClickLabel(name, QString(), parent);
    swatch->setAutoFillBackground(true);
    swatch->setFixedSize(SwatchSize);
    return swatch;
}

// A swatch's background is the colour it stands for; a caption on it stays readable.
void SetSwatchColor(QLabel* swatch, ColorRef colour) {
    QPalette palette = swatch->palette();
    const QColor background = ToQColor(colour);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, background.lightness() < 128 ? Qt::white : Qt::black);
    swatch->setPalette(palette);
}

ColorRef SwatchColor(const QLabel* swatch) {
    return FromQColor(swatch->palette().color(QPalette::Window));
}

// Sets the buttons of an exclusive group at once, allowing none to be selected.
void SetGroup(QButtonGroup* group, const SetMoreControls& controls) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) {
        for (const RadioName& radio : Radios) {
            if (button->objectName() == Name(radio.name)) {
                button->setChecked(controls.*radio.button);
            }
        }
    }
    group->setExclusive(true);
}

// The On, Off and colour row of a line class.
QGroupBox* NewLineFrame(const char* frame, const QString& caption, const char* on, const char* off,
                        const char* swatch, QWidget* parent) {
    QGroupBox* box = NewFrame(frame, caption, parent);
    auto* row = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (const auto& [name, text] : {std::pair{on, "On"}, std::pair{off, "Off"}}) {
        QRadioButton* radio = NewRadio(name, QString::fromLatin1(text), box);
        row->addWidget(radio);
        group->addButton(radio);
    }
    row->addStretch(1);
    row->addWidget(NewSwatch(swatch, box));
    return box;
}

} // namespace

frmSetMore::frmSetMore(GraphSettings& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_settings(&settings), m_dialogs(&dialogs) {
    setObjectName(QStringLiteral("frmSetMore"));
    setWindowTitle(QStringLiteral("詳細設定")); // detailed settings
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    BuildControls();

    // Form_Load: the preview's drawing size is fixed with the dialog.
    const QSize inner = m_picPreview->contentsRect().size();
    m_edit.PreviewWidth = static_cast<float>(inner.width());
    m_edit.PreviewHeight = static_cast<float>(inner.height());
    m_preview.SetScaleSize(inner.width(), inner.height());
}

void frmSetMore::Attach(GraphSettings& settings, Dialogs& dialogs) {
    m_settings = &settings;
    m_dialogs = &dialogs;
}

void frmSetMore::BuildControls() {
    // "原点の配置" = origin placement; "自由" free, "左上" upper left, "左中" centre left,
    // "左下" lower left
    QGroupBox* fraArray = NewFrame("fraArray", QStringLiteral("原点の配置"), this);
    auto* placement = new QGridLayout(fraArray);
    const std::array<QRadioButton*, 4> placements{
        NewRadio("optFree", QStringLiteral("自由"), fraArray),
        NewRadio("optLUpper", QStringLiteral("左上"), fraArray),
        NewRadio("optLCenter", QStringLiteral("左中"), fraArray),
        NewRadio("optLUnder", QStringLiteral("左下"), fraArray)};
    auto* placementGroup = new QButtonGroup(fraArray);
    for (int i = 0; i < 4; ++i) {
        placement->addWidget(placements[static_cast<std::size_t>(i)], i / 2, i % 2);
        placementGroup->addButton(placements[static_cast<std::size_t>(i)]);
    }

    // "小目盛線" small, "中目盛線" medium, "大目盛線" large scale lines, "座標軸" axes
    auto* lines = new QGridLayout;
    lines->addWidget(NewLineFrame("fraSScale", QStringLiteral("小目盛線"), "optSScaleOn",
                                  "optSScaleOff", "lblSScaleCol", this),
                     0, 0);
    lines->addWidget(NewLineFrame("fraMScale", QStringLiteral("中目盛線"), "optMScaleOn",
                                  "optMScaleOff", "lblMScaleCol", this),
                     0, 1);
    lines->addWidget(NewLineFrame("fraLScale", QStringLiteral("大目盛線"), "optLScaleOn",
                                  "optLScaleOff", "lblLScaleCol", this),
                     1, 0);
    lines->addWidget(NewLineFrame("fraAxis", QStringLiteral("座標軸"), "optAxisOn", "optAxisOff",
                                  "lblAxisCol", this),
                     1, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(fraArray);
    left->addLayout(lines);
    left->addStretch(1);

    // "目盛イメージ" = scale image; "背景色" = background colour
    auto* lblScaleImage = new QLabel(QStringLiteral("目盛イメージ"), this);
    lblScaleImage->setObjectName(QStringLiteral("lblScaleImage"));
    m_picPreview = new QLabel(this);
    m_picPreview->setObjectName(QStringLiteral("picPreview"));
    m_picPreview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_picPreview->setLineWidth(PreviewBorder);
    m_picPreview->setFixedSize(PreviewOuterWidth, PreviewOuterHeight);
    m_picPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QLabel* lblBackCol = NewClickLabel("lblBackCol", QStringLiteral("背景色"), this);
    lblBackCol->setAutoFillBackground(true);
    lblBackCol->setFixedSize(PreviewOuterWidth, SwatchSize.height() + 6);

    auto* middle = new QVBoxLayout;
    middle->addWidget(lblScaleImage);
    middle->addWidget(m_picPreview);
    middle->addWidget(lblBackCol);
    middle->addStretch(1);

    // "X軸目盛文字" / "Y軸目盛文字" = X / Y axis tick numbers; "目盛は付けない" none,
    // "小目盛ごとに付ける" every small line, "中目盛ごとに付ける" every medium line,
    // "大目盛ごとに付ける" every large line
    const auto tickFrame = [this](const char* frame, const QString& caption,
                                  const std::array<const char*, 4>& options, const char* size,
                                  const char* colour) {
        QGroupBox* box = NewFrame(frame, caption, this);
        auto* column = new QVBoxLayout(box);
        const std::array<QString, 4> captions{
            QStringLiteral("目盛は付けない"), QStringLiteral("小目盛ごとに付ける"),
            QStringLiteral("中目盛ごとに付ける"), QStringLiteral("大目盛ごとに付ける")};
        auto* group = new QButtonGroup(box);
        for (std::size_t i = 0; i < options.size(); ++i) {
            QRadioButton* radio = NewRadio(options[i], captions[i], box);
            column->addWidget(radio);
            group->addButton(radio);
        }
        auto* row = new QHBoxLayout;
        QLabel* sizeLabel = NewClickLabel(size, QString(), box);
        sizeLabel->setFixedSize(48, SwatchSize.height());
        sizeLabel->setToolTip(QStringLiteral("フォントサイズ")); // font size
        QLabel* swatch = NewSwatch(colour, box);
        swatch->setToolTip(QStringLiteral("文字色")); // text colour
        row->addWidget(sizeLabel);
        row->addWidget(swatch);
        row->addStretch(1);
        column->addLayout(row);
        return box;
    };
    QGroupBox* fraXmoji = tickFrame("fraXmoji", QStringLiteral("X軸目盛文字"),
                                    {"optXmojiNone", "optXSmoji", "optXMmoji", "optXLmoji"},
                                    "lblXfontsize", "lblXmojicolor");
    QGroupBox* fraYmoji = tickFrame("fraYmoji", QStringLiteral("Y軸目盛文字"),
                                    {"optYmojiNone", "optYSmoji", "optYMmoji", "optYLmoji"},
                                    "lblYfontsize", "lblYmojicolor");

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(middle);
    auto* ticks = new QHBoxLayout;
    ticks->addWidget(fraXmoji);
    ticks->addWidget(fraYmoji);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(ticks);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);

    // The scale-line option buttons change the working copy; the tick-number ones only hold
    // their state until OK.
    const std::array<std::pair<const char*, ScaleOption>, 12> options{{
        {"optFree", ScaleOption::optFree},
        {"optLUpper", ScaleOption::optLUpper},
        {"optLCenter", ScaleOption::optLCenter},
        {"optLUnder", ScaleOption::optLUnder},
        {"optSScaleOn", ScaleOption::optSScaleOn},
        {"optSScaleOff", ScaleOption::optSScaleOff},
        {"optMScaleOn", ScaleOption::optMScaleOn},
        {"optMScaleOff", ScaleOption::optMScaleOff},
        {"optLScaleOn", ScaleOption::optLScaleOn},
        {"optLScaleOff", ScaleOption::optLScaleOff},
        {"optAxisOn", ScaleOption::optAxisOn},
        {"optAxisOff", ScaleOption::optAxisOff},
    }};
    for (const auto& [name, option] : options) {
        connect(findChild<QRadioButton*>(Name(name)), &QRadioButton::clicked, this,
                [this, option = option] { OptionClicked(option); });
    }
    for (const SwatchName& swatch : Swatches) {
        findChild<QLabel*>(Name(swatch.name))->installEventFilter(this);
    }
    findChild<QLabel*>(QStringLiteral("lblXfontsize"))->installEventFilter(this);
    findChild<QLabel*>(QStringLiteral("lblYfontsize"))->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &frmSetMore::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetMore::cmdCancel_Click);
}

SetMoreControls frmSetMore::Controls() const {
    SetMoreControls controls;
    for (const RadioName& radio : Radios) {
        controls.*radio.button = findChild<QRadioButton*>(Name(radio.name))->isChecked();
    }
    for (const SwatchName& swatch : Swatches) {
        controls.*swatch.colour = SwatchColor(findChild<QLabel*>(Name(swatch.name)));
    }
    controls.lblXfontsize = findChild<QLabel*>(QStringLiteral("lblXfontsize"))->text();
    controls.lblYfontsize = findChild<QLabel*>(QStringLiteral("lblYfontsize"))->text();
    return controls;
}

void frmSetMore::ShowControls(const SetMoreControls& controls) {
    for (QButtonGroup* group : findChildren<QButtonGroup*>()) {
        SetGroup(group, controls);
    }
    for (const SwatchName& swatch : Swatches) {
        SetSwatchColor(findChild<QLabel*>(Name(swatch.name)), controls.*swatch.colour);
    }
    findChild<QLabel*>(QStringLiteral("lblXfontsize"))->setText(controls.lblXfontsize);
    findChild<QLabel*>(QStringLiteral("lblYfontsize"))->setText(controls.lblYfontsize);
}

void frmSetMore::Form_Activate() {
    SetMoreControls controls = Controls();
    LoadDetailSettings(*m_settings, m_edit, controls);
    ShowScaleOptions(m_edit, controls);
    ShowControls(controls);
    DrawPreview();
}

void frmSetMore::OptionClicked(ScaleOption option) {
    ScaleOptionClicked(m_edit, option);
    DrawPreview();
}

void frmSetMore::SwatchClicked(QLabel* swatch) {
    SetMoreControls controls = Controls();
    const QString name = swatch->objectName();
    for (const ScaleSwatchName& scale : ScaleSwatches) {
        if (name == Name(scale.name)) {
            if (ScaleSwatchClicked(*m_dialogs, m_edit, controls, scale.swatch)) {
                ShowControls(controls);
                DrawPreview();
            }
            return;
        }
    }
    if (name == QStringLiteral("lblXmojicolor")) {
        TickColorClicked(*m_dialogs, controls.lblXmojicolor);
    } else if (name == QStringLiteral("lblYmojicolor")) {
        TickColorClicked(*m_dialogs, controls.lblYmojicolor);
    } else if (name == QStringLiteral("lblXfontsize")) {
        FontSizeClicked(*m_dialogs, controls.lblXfontsize);
    } else if (name == QStringLiteral("lblYfontsize")) {
        FontSizeClicked(*m_dialogs, controls.lblYfontsize);
    }
    ShowControls(controls);
}

void frmSetMore::DrawPreview() {
    DrawScalePreview(m_preview, m_edit);
    m_picPreview->setPixmap(QPixmap::fromImage(m_preview.Image()));
}

void frmSetMore::cmdOK_Click() {
    ReadScaleOptions(Controls(), m_edit);
    SaveDetailSettings(m_edit, Controls(), *m_settings);
    // Asked even when nothing changed: the main window redraws on its next activation.
    m_settings->SettingsChanged = true;
    accept();
}

void frmSetMore::cmdCancel_Click() {
    Form_Activate();
    m_settings->SettingsChanged = false;
    QDialog::reject();
}

void frmSetMore::reject() {
    cmdCancel_Click();
}

void frmSetMore::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        Form_Activate();
    }
}

void frmSetMore::closeEvent(QCloseEvent* event) {
    // The close box throws the dialog away without Cancel's handling; the next opening makes it
    // anew. SettingsChanged stays as it was.
    event->accept();
    m_closed = true;
    QDialog::done(QDialog::Rejected);
    deleteLater();
}

bool frmSetMore::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* label = qobject_cast<QLabel*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (label && mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            SwatchClicked(label);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool mnuSetMore_Click(QWidget* parent, CurvaneState& state, Dialogs& dialogs) {
    QPointer<frmSetMore> form;
    if (parent) {
        for (frmSetMore* existing :
             parent->findChildren<frmSetMore*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!existing->IsClosed()) {
                form = existing;
                break;
            }
        }
    }
    if (!form) {
        form = new frmSetMore(state.Settings, dialogs, parent);
    }
    form->Attach(state.Settings, dialogs);
    const bool accepted = form->exec() == QDialog::Accepted;
    if (!parent && form) {
        form->deleteLater(); // nobody would find it again
    }
    // The window the dialog came from takes over again, as the hand-over of SettingsChanged
    // expects; without a window manager nobody else would activate it.
    if (parent && parent->window()->isVisible()) {
        parent->window()->activateWindow();
    }
    return accepted;
}

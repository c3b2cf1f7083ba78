#include "ui/frmsetmore.h"

#include "graph/graphsettings.h"
#include "platform/dialogs.h"
#include "program/curvanestate.h"
#include "ui/clicklabel.h"

#include <QtCore/QPointer>
#include <QtCore/QSignalBlocker>
#include <QtGui/QShowEvent>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QVBoxLayout>
#include <array>
#include <initializer_list>

namespace {

// picPreview as designed: 1815 × 1575 twips overall with a sunken border of two pixels.
constexpr int PreviewOuterWidth = 121;
constexpr int PreviewOuterHeight = 105;
constexpr int PreviewBorder = 2;
constexpr QSize SwatchSize(28, 18);

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
ClickLabel* NewClickLabel(const char* name, const QString& caption, QWidget* parent) {
    auto* label = new ClickLabel(caption, parent);
    label->setObjectName(Name(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

// A swatch's background is the colour it stands for; a caption on it stays readable.
void SetSwatchColor(QLabel* swatch, ColorRef colour) {
    QPalette palette = swatch->palette();
    const QColor background = ToQColor(colour);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, background.lightness() < 128 ? Qt::white : Qt::black);
    swatch->setPalette(palette);
}

} // namespace

frmSetMore::frmSetMore(GraphSettings& settings, bool& settingsChanged, Dialogs& dialogs,
                       QWidget* parent)
    : QDialog(parent), m_settings(&settings), m_settingsChanged(&settingsChanged),
      m_dialogs(&dialogs) {
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

void frmSetMore::Attach(GraphSettings& settings, bool& settingsChanged, Dialogs& dialogs) {
    m_settings = &settings;
    m_settingsChanged = &settingsChanged;
    m_dialogs = &dialogs;
}

QRadioButton* frmSetMore::NewOption(ScaleOption option, const char* name, const QString& caption,
                                    QWidget* parent) {
    QRadioButton* radio = NewRadio(name, caption, parent);
    m_options.emplace_back([option](const SetMoreControls& c) { return IsSelected(c, option); },
                           radio);
    connect(radio, &QRadioButton::clicked, this, [this, option] { ScaleOptionChosen(option); });
    return radio;
}

QRadioButton* frmSetMore::NewOption(TickOption option, const char* name, const QString& caption,
                                    QWidget* parent) {
    QRadioButton* radio = NewRadio(name, caption, parent);
    m_options.emplace_back([option](const SetMoreControls& c) { return IsSelected(c, option); },
                           radio);
    connect(radio, &QRadioButton::clicked, this, [this, option] { TickOptionChosen(option); });
    return radio;
}

QLabel* frmSetMore::NewSwatch(ScaleSwatch swatch, const char* name, QWidget* parent) {
    ClickLabel* label = NewClickLabel(name, QString(), parent);
    label->setAutoFillBackground(true);
    label->setFixedSize(SwatchSize);
    m_swatches.emplace_back(SwatchOf(swatch), label);
    connect(label, &ClickLabel::clicked, this, [this, swatch] { ScaleSwatchChosen(swatch); });
    return label;
}

QLabel* frmSetMore::NewSwatch(SetMoreSwatch tickColour, const char* name, QWidget* parent) {
    ClickLabel* label = NewClickLabel(name, QString(), parent);
    label->setAutoFillBackground(true);
    label->setFixedSize(SwatchSize);
    label->setToolTip(QStringLiteral("文字色")); // text colour
    m_swatches.emplace_back(tickColour, label);
    connect(label, &ClickLabel::clicked, this, [this, tickColour] { TickColorChosen(tickColour); });
    return label;
}

QLabel* frmSetMore::NewFontSize(SetMoreCaption caption, const char* name, QWidget* parent) {
    ClickLabel* label = NewClickLabel(name, QString(), parent);
    label->setFixedSize(48, SwatchSize.height());
    label->setToolTip(QStringLiteral("フォントサイズ")); // font size
    m_captions.emplace_back(caption, label);
    connect(label, &ClickLabel::clicked, this, [this, caption] { FontSizeChosen(caption); });
    return label;
}

void frmSetMore::BuildControls() {
    // Each group of option buttons is exclusive on the screen; m_groups lets ShowControls show a
    // group with none selected.
    const auto newGroup = [this](QWidget* parent, std::initializer_list<QRadioButton*> buttons) {
        auto* group = new QButtonGroup(parent);
        for (QRadioButton* button : buttons) {
            group->addButton(button);
        }
        m_groups.push_back(group);
    };

    // "原点の配置" = origin placement; "自由" free, "左上" upper left, "左中" centre left,
    // "左下" lower left
    QGroupBox* fraArray = NewFrame("fraArray", QStringLiteral("原点の配置"), this);
    auto* placement = new QGridLayout(fraArray);
    const std::array<QRadioButton*, 4> placements{
        NewOption(ScaleOption::optFree, "optFree", QStringLiteral("自由"), fraArray),
        NewOption(ScaleOption::optLUpper, "optLUpper", QStringLiteral("左上"), fraArray),
        NewOption(ScaleOption::optLCenter, "optLCenter", QStringLiteral("左中"), fraArray),
        NewOption(ScaleOption::optLUnder, "optLUnder", QStringLiteral("左下"), fraArray)};
    for (std::size_t i = 0; i < placements.size(); ++i) {
        placement->addWidget(placements[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    newGroup(fraArray, {placements[0], placements[1], placements[2], placements[3]});

    // The On, Off and colour row of a line class.
    struct LineClass {
        const char* frame;
        QString caption;
        ScaleOption on;
        const char* onName;
        ScaleOption off;
        const char* offName;
        ScaleSwatch swatch;
        const char* swatchName;
    };
    const auto lineFrame = [this, &newGroup](const LineClass& c) {
        QGroupBox* box = NewFrame(c.frame, c.caption, this);
        auto* row = new QHBoxLayout(box);
        QRadioButton* on = NewOption(c.on, c.onName, QStringLiteral("On"), box);
        QRadioButton* off = NewOption(c.off, c.offName, QStringLiteral("Off"), box);
        row->addWidget(on);
        row->addWidget(off);
        newGroup(box, {on, off});
        row->addStretch(1);
        row->addWidget(NewSwatch(c.swatch, c.swatchName, box));
        return box;
    };
    // "小目盛線" small, "中目盛線" medium, "大目盛線" large scale lines, "座標軸" axes
    auto* lines = new QGridLayout;
    lines->addWidget(lineFrame({"fraSScale", QStringLiteral("小目盛線"), ScaleOption::optSScaleOn,
                                "optSScaleOn", ScaleOption::optSScaleOff, "optSScaleOff",
                                ScaleSwatch::lblSScaleCol, "lblSScaleCol"}),
                     0, 0);
    lines->addWidget(lineFrame({"fraMScale", QStringLiteral("中目盛線"), ScaleOption::optMScaleOn,
                                "optMScaleOn", ScaleOption::optMScaleOff, "optMScaleOff",
                                ScaleSwatch::lblMScaleCol, "lblMScaleCol"}),
                     0, 1);
    lines->addWidget(lineFrame({"fraLScale", QStringLiteral("大目盛線"), ScaleOption::optLScaleOn,
                                "optLScaleOn", ScaleOption::optLScaleOff, "optLScaleOff",
                                ScaleSwatch::lblLScaleCol, "lblLScaleCol"}),
                     1, 0);
    lines->addWidget(
        lineFrame({"fraAxis", QStringLiteral("座標軸"), ScaleOption::optAxisOn, "optAxisOn",
                   ScaleOption::optAxisOff, "optAxisOff", ScaleSwatch::lblAxisCol, "lblAxisCol"}),
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
    QLabel* lblBackCol = NewSwatch(ScaleSwatch::lblBackCol, "lblBackCol", this);
    lblBackCol->setText(QStringLiteral("背景色"));
    lblBackCol->setFixedSize(PreviewOuterWidth, SwatchSize.height() + 6);

    auto* middle = new QVBoxLayout;
    middle->addWidget(lblScaleImage);
    middle->addWidget(m_picPreview);
    middle->addWidget(lblBackCol);
    middle->addStretch(1);

    // "X軸目盛文字" / "Y軸目盛文字" = X / Y axis tick numbers; "目盛は付けない" none,
    // "小目盛ごとに付ける" every small line, "中目盛ごとに付ける" every medium line,
    // "大目盛ごとに付ける" every large line
    struct TickFrame {
        const char* frame;
        QString caption;
        std::array<std::pair<TickOption, const char*>, 4> options;
        SetMoreCaption size;
        const char* sizeName;
        SetMoreSwatch colour;
        const char* colourName;
    };
    const auto tickFrame = [this, &newGroup](const TickFrame& t) {
        QGroupBox* box = NewFrame(t.frame, t.caption, this);
        auto* column = new QVBoxLayout(box);
        const std::array<QString, 4> captions{
            QStringLiteral("目盛は付けない"), QStringLiteral("小目盛ごとに付ける"),
            QStringLiteral("中目盛ごとに付ける"), QStringLiteral("大目盛ごとに付ける")};
        std::array<QRadioButton*, 4> radios{};
        for (std::size_t i = 0; i < radios.size(); ++i) {
            radios[i] = NewOption(t.options[i].first, t.options[i].second, captions[i], box);
            column->addWidget(radios[i]);
        }
        newGroup(box, {radios[0], radios[1], radios[2], radios[3]});
        auto* row = new QHBoxLayout;
        row->addWidget(NewFontSize(t.size, t.sizeName, box));
        row->addWidget(NewSwatch(t.colour, t.colourName, box));
        row->addStretch(1);
        column->addLayout(row);
        return box;
    };
    QGroupBox* fraXmoji = tickFrame({"fraXmoji",
                                     QStringLiteral("X軸目盛文字"),
                                     {{{TickOption::optXmojiNone, "optXmojiNone"},
                                       {TickOption::optXSmoji, "optXSmoji"},
                                       {TickOption::optXMmoji, "optXMmoji"},
                                       {TickOption::optXLmoji, "optXLmoji"}}},
                                     &SetMoreControls::lblXfontsize,
                                     "lblXfontsize",
                                     &SetMoreControls::lblXmojicolor,
                                     "lblXmojicolor"});
    QGroupBox* fraYmoji = tickFrame({"fraYmoji",
                                     QStringLiteral("Y軸目盛文字"),
                                     {{{TickOption::optYmojiNone, "optYmojiNone"},
                                       {TickOption::optYSmoji, "optYSmoji"},
                                       {TickOption::optYMmoji, "optYMmoji"},
                                       {TickOption::optYLmoji, "optYLmoji"}}},
                                     &SetMoreControls::lblYfontsize,
                                     "lblYfontsize",
                                     &SetMoreControls::lblYmojicolor,
                                     "lblYmojicolor"});

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

    connect(cmdOK, &QPushButton::clicked, this, &frmSetMore::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetMore::cmdCancel_Click);
}

void frmSetMore::ShowControls() {
    // With the groups briefly non-exclusive a group can show no choice at all, as a record
    // value without a button of its own asks.
    for (QButtonGroup* group : m_groups) {
        group->setExclusive(false);
    }
    for (const auto& [selected, radio] : m_options) {
        const QSignalBlocker blocker(radio);
        radio->setChecked(selected(m_controls));
    }
    for (QButtonGroup* group : m_groups) {
        group->setExclusive(true);
    }
    for (const auto& [field, swatch] : m_swatches) {
        SetSwatchColor(swatch, m_controls.*field);
    }
    for (const auto& [field, label] : m_captions) {
        label->setText(m_controls.*field);
    }
}

void frmSetMore::Form_Activate() {
    LoadDetailSettings(*m_settings, m_edit, m_controls);
    ShowScaleOptions(m_edit, m_controls);
    ShowControls();
    DrawPreview();
}

void frmSetMore::ScaleOptionChosen(ScaleOption option) {
    ScaleOptionClicked(m_edit, option);
    SelectScaleOption(m_controls, option);
    ShowControls();
    DrawPreview();
}

void frmSetMore::TickOptionChosen(TickOption option) {
    SelectTickOption(m_controls, option);
    ShowControls();
}

void frmSetMore::ScaleSwatchChosen(ScaleSwatch swatch) {
    if (ScaleSwatchClicked(*m_dialogs, m_edit, m_controls, swatch)) {
        ShowControls();
        DrawPreview();
    }
}

void frmSetMore::TickColorChosen(SetMoreSwatch tickColour) {
    TickColorClicked(*m_dialogs, m_controls.*tickColour);
    ShowControls();
}

void frmSetMore::FontSizeChosen(SetMoreCaption caption) {
    FontSizeClicked(*m_dialogs, m_controls.*caption);
    ShowControls();
}

void frmSetMore::DrawPreview() {
    DrawScalePreview(m_preview, m_edit);
    m_picPreview->setPixmap(QPixmap::fromImage(m_preview.Image()));
}

void frmSetMore::cmdOK_Click() {
    ReadScaleOptions(m_controls, m_edit);
    SaveDetailSettings(m_edit, m_controls, *m_settings);
    // Asked even when nothing changed: the main window redraws on its next activation.
    *m_settingsChanged = true;
    accept();
}

void frmSetMore::cmdCancel_Click() {
    Form_Activate();
    *m_settingsChanged = false;
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
        form = new frmSetMore(state.Settings, state.SettingsChanged, dialogs, parent);
    }
    form->Attach(state.Settings, state.SettingsChanged, dialogs);
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

#include "ui/axispanel.h"

#include "program/curvanestate.h"
#include "ui/clicklabel.h"

#include <QtCore/QEvent>
#include <QtCore/QSignalBlocker>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QToolButton>
#include <algorithm>

namespace {

constexpr int PanelWidth = 121; // 1815 twips
constexpr int InnerWidth = 109;

QGroupBox* Frame(QWidget* parent, const QString& name, const QString& title, QRect geometry) {
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    return frame;
}

QScrollBar* Bar(QWidget* parent, const QString& name, int minimum, int maximum, int smallStep,
                int largeStep, int value) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setGeometry(6, 17, InnerWidth - 12, 16);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(smallStep);
    bar->setPageStep(largeStep);
    bar->setValue(value);
    return bar;
}

// A value outside the bar's designed range (zooming can make the spacing larger than 100, a
// settings file anything) widens the range instead of being cut to it.
void ShowBarValue(QScrollBar* bar, int designMinimum, int designMaximum, int value) {
    const QSignalBlocker blocker(bar);
    bar->setRange(std::min(designMinimum, value), std::max(designMaximum, value));
    bar->setValue(value);
}

} // namespace

AxisPanel::AxisPanel(CurvaneState& state, QWidget* parent) : QFrame(parent), m_state(state) {
    setObjectName(QStringLiteral("picGraphSet"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedWidth(PanelWidth);

    // "グラフサイズ (mm)" = graph size (mm)
    m_sizeFrame = Frame(this, QStringLiteral("fraGraphSize"), QStringLiteral("グラフサイズ (mm)"),
                        QRect(4, 2, PanelWidth - 8, 58));
    auto* times = new QLabel(QStringLiteral("×"), m_sizeFrame);
    times->setObjectName(QStringLiteral("lblXWYH"));
    times->setGeometry(50, 18, 12, 18);
    times->setAlignment(Qt::AlignCenter);
    m_widthEditor = BuildSizeEditor(Axis::X, 4);
    m_heightEditor = BuildSizeEditor(Axis::Y, 62);
    const int switchTop = LayoutSizeEditors();

    // The axis switch: which frame is shown, in sight rather than behind a click on the frame.
    auto* axisGroup = new QButtonGroup(this);
    const int half = (PanelWidth - 8) / 2;
    for (const Axis axis : {Axis::X, Axis::Y}) {
        auto* button = new QToolButton(this);
        const bool isX = axis == Axis::X;
        button->setObjectName(isX ? QStringLiteral("optAxisX") : QStringLiteral("optAxisY"));
        button->setText(isX ? QStringLiteral("X軸") : QStringLiteral("Y軸")); // X / Y axis
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setGeometry(4 + (isX ? 0 : half), switchTop, half, 20);
        axisGroup->addButton(button);
        connect(button, &QToolButton::clicked, this, [this, axis] { ShowAxisFrame(axis); });
        (isX ? m_xSwitch : m_ySwitch) = button;
    }
    const int axisTop = switchTop + 22;

    m_x = BuildAxis(Axis::X, axisTop);
    m_y = BuildAxis(Axis::Y, axisTop);
    ShowAxisFrame(Axis::X);
    ShowRecord();
}

QRect AxisPanel::FreeAreaUnderFrames() const {
    const int top = m_x.frame->geometry().bottom() + 3;
    return {m_x.frame->x(), top, m_x.frame->width(), height() - frameWidth() - top};
}

AxisPanel::SizeEditor AxisPanel::BuildSizeEditor(Axis axis, int left) {
    const QString name = axis == Axis::X ? QStringLiteral("XW") : QStringLiteral("YH");
    SizeEditor e;
    auto* label = new ClickLabel(m_sizeFrame);
    label->setObjectName(QStringLiteral("lblGraph") + name);
    label->setGeometry(left, 18, 46, 18);
    label->setAlignment(axis == Axis::X ? Qt::AlignRight | Qt::AlignVCenter
                                        : Qt::AlignLeft | Qt::AlignVCenter);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(QStringLiteral("クリックで変更")); // click to change
    connect(label, &ClickLabel::clicked, this, [this, axis] { OpenSizeEditor(axis); });
    e.label = label;
    e.entry = new QLineEdit(m_sizeFrame);
    e.entry->setObjectName(QStringLiteral("txtGraph") + name);
    e.entry->setGeometry(left, 17, 46, 20);
    // Tool buttons: a push button of the platform's style may insist on a width the narrow
    // frame does not have.
    auto* ok = new QToolButton(m_sizeFrame);
    ok->setText(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("cmdGraph") + name + QStringLiteral("ok"));
    auto* cancel = new QToolButton(m_sizeFrame);
    cancel->setText(QStringLiteral("cancel"));
    cancel->setObjectName(QStringLiteral("cmdGraph") + name + QStringLiteral("cancel"));
    for (QToolButton* button : {ok, cancel}) {
        QFont small = button->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        button->setFont(small);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    e.ok = ok;
    e.cancel = cancel;
    connect(ok, &QToolButton::clicked, this,
            [this, axis] { emit sizeEntered(axis, Editor(axis).entry->text()); });
    connect(e.entry, &QLineEdit::returnPressed, this,
            [this, axis] { emit sizeEntered(axis, Editor(axis).entry->text()); });
    connect(cancel, &QToolButton::clicked, this, [this, axis] { CloseSizeEditor(axis); });
    for (QWidget* w : {static_cast<QWidget*>(e.entry), e.ok, e.cancel}) {
        w->hide();
    }
    return e;
}

int AxisPanel::LayoutSizeEditors() {
    // Each editor's "OK" above its "cancel", both under its entry box and at least as wide as
    // it, so both editors fit side by side with every caption whole; the frame grows to hold
    // them.
    int width = 0;
    int height = 0;
    for (const SizeEditor* e : {&m_widthEditor, &m_heightEditor}) {
        for (const QWidget* button : {e->ok, e->cancel}) {
            width = std::max({width, e->entry->width(), button->sizeHint().width()});
            height = std::max(height, button->sizeHint().height());
        }
    }
    const int right = m_sizeFrame->contentsRect().right() - 1;
    for (SizeEditor* e : {&m_widthEditor, &m_heightEditor}) {
        const QRect entry = e->entry->geometry();
        const int left = std::min(entry.left(), right + 1 - width);
        e->ok->setGeometry(left, entry.bottom() + 2, width, height);
        e->cancel->setGeometry(left, e->ok->geometry().bottom() + 1, width, height);
    }
    QRect frame = m_sizeFrame->geometry();
    frame.setHeight(std::max(frame.height(), m_widthEditor.cancel->geometry().bottom() + 5));
    m_sizeFrame->setGeometry(frame);
    return frame.bottom() + 5; // where the axis frames begin
}

void AxisPanel::ShowAxisFrame(Axis axis) {
    const bool showX = axis == Axis::X;
    m_x.frame->setVisible(showX);
    m_y.frame->setVisible(!showX);
    m_xSwitch->setChecked(showX);
    m_ySwitch->setChecked(!showX);
}

void AxisPanel::OpenSizeEditor(Axis axis) {
    SizeEditor& e = Editor(axis);
    e.focusBefore = QApplication::focusWidget();
    e.entry->setText(e.label->text());
    e.entry->show();
    e.ok->show();
    e.cancel->show();
    e.entry->setFocus();
    e.entry->selectAll();
    e.label->hide();
}

void AxisPanel::CloseSizeEditor(Axis axis) {
    SizeEditor& e = Editor(axis);
    // The keyboard goes back where it was. Left to itself it would move on to the next box, the
    // value per small step, with its text selected for the next key to replace.
    if (e.entry->hasFocus() || e.ok->hasFocus() || e.cancel->hasFocus()) {
        QWidget* back = e.focusBefore;
        if (back != nullptr && back->isVisible() && back->isEnabled()) {
            back->setFocus(Qt::OtherFocusReason);
        } else {
            e.entry->clearFocus();
        }
    }
    e.entry->hide();
    e.ok->hide();
    e.cancel->hide();
    e.label->show();
}

void AxisPanel::SetSizeEntries(const QString& width, const QString& height) {
    m_widthEditor.entry->setText(width);
    m_heightEditor.entry->setText(height);
}

void AxisPanel::ShowSpacing() {
    ShowBarValue(m_x.smallBar, 1, 100, m_state.Settings.XSmallSpacing);
    ShowBarValue(m_y.smallBar, 1, 100, m_state.Settings.YSmallSpacing);
    m_x.smallFrame->setTitle(SmallSpacingCaption(m_state.Settings.XSmallSpacing));
    m_y.smallFrame->setTitle(SmallSpacingCaption(m_state.Settings.YSmallSpacing));
}

AxisPanel::AxisControls AxisPanel::BuildAxis(Axis axis, int top) {
    const bool isX = axis == Axis::X;
    const QString a = isX ? QStringLiteral("X") : QStringLiteral("Y");
    const auto name = [&](const char* pattern) { return QString::fromLatin1(pattern).arg(a); };
    AxisControls c;
    // "Ｘ軸の設定" / "Ｙ軸の設定" = X / Y axis settings
    c.frame = Frame(this, name("fra%1SetScale"),
                    isX ? QStringLiteral("Ｘ軸の設定") : QStringLiteral("Ｙ軸の設定"),
                    QRect(4, top, PanelWidth - 8, 232));
    c.frame->installEventFilter(this);

    // "小目盛(mm)＝" = small step (mm) =
    c.smallFrame = Frame(c.frame, name("fra%1Ssize"), QStringLiteral("小目盛(mm)＝"),
                         QRect(2, 18, InnerWidth, 38));
    c.smallBar = Bar(c.smallFrame, name("scr%1Ssize"), 1, 100, 1, 10, 4);
    // "中目盛間隔＝" / "大目盛間隔＝" = medium / large step interval =
    c.mediumFrame = Frame(c.frame, name("fra%1Msize"), QStringLiteral("中目盛間隔＝"),
                          QRect(2, 58, InnerWidth, 38));
    c.mediumBar = Bar(c.mediumFrame, name("scr%1Msize"), 2, 20, 1, 1, 5);
    c.largeFrame = Frame(c.frame, name("fra%1Lsize"), QStringLiteral("大目盛間隔＝"),
                         QRect(2, 98, InnerWidth, 38));
    c.largeBar = Bar(c.largeFrame, name("scr%1Lsize"), 2, 20, 1, 1, 2);

    // "小目盛当たりのＸ" = X per small step
    c.valueFrame =
        Frame(c.frame, name("fra%1Svalue"),
              isX ? QStringLiteral("小目盛当たりのＸ") : QStringLiteral("小目盛当たりのＹ"),
              QRect(2, 138, InnerWidth, 44));
    c.valueBox = new QLineEdit(QStringLiteral("1"), c.valueFrame);
    c.valueBox->setObjectName(name("txt%1Svalue"));
    c.valueBox->setGeometry(4, 18, 38, 20);
    c.unitBox = new QComboBox(c.valueFrame);
    c.unitBox->setObjectName(name("cbo%1Tanni"));
    c.unitBox->setEditable(true);
    c.unitBox->setInsertPolicy(QComboBox::NoInsert);
    c.unitBox->addItems(UnitChoices());
    c.unitBox->setGeometry(44, 18, InnerWidth - 47, 20);

    // "原点のバイアス" = origin bias
    c.originFrame = Frame(c.frame, name("fra%1Obias"), QStringLiteral("原点のバイアス"),
                          QRect(2, 184, InnerWidth, 44));
    c.originBox = new QLineEdit(QStringLiteral("0"), c.originFrame);
    c.originBox->setObjectName(name("txt%1Obias"));
    c.originBox->setGeometry(5, 18, InnerWidth - 10, 20);

    // A click inside an inner frame belongs to that frame, not to the axis frame around it.
    for (QWidget* inner :
         {c.smallFrame, c.mediumFrame, c.largeFrame, c.valueFrame, c.originFrame}) {
        inner->setAttribute(Qt::WA_NoMousePropagation);
    }

    connect(c.smallBar, &QScrollBar::valueChanged, this, [this, axis, c](int value) {
        c.smallFrame->setTitle(SmallSpacingChanged(m_state, axis, value));
        emit stateChanged();
    });
    connect(c.mediumBar, &QScrollBar::valueChanged, this, [this, axis, c](int value) {
        c.mediumFrame->setTitle(MediumEveryChanged(m_state, axis, value));
        emit stateChanged();
    });
    connect(c.largeBar, &QScrollBar::valueChanged, this, [this, axis, c](int value) {
        c.largeFrame->setTitle(LargeEveryChanged(m_state, axis, value));
        emit stateChanged();
    });
    connect(c.valueBox, &QLineEdit::textChanged, this, [this, axis](const QString& text) {
        if (SmallValueEdited(m_state, axis, text)) {
            emit stateChanged();
        }
    });
    connect(c.originBox, &QLineEdit::textChanged, this, [this, axis](const QString& text) {
        if (OriginValueEdited(m_state, axis, text)) {
            emit stateChanged();
        }
    });
    connect(c.unitBox, qOverload<int>(&QComboBox::activated), this, [this](int) {
        UnitChosen(m_state);
        emit stateChanged();
    });
    return c;
}

void AxisPanel::ShowAxis(AxisControls& c, const AxisView& view) {
    ShowBarValue(c.smallBar, 1, 100, view.smallSpacing);
    ShowBarValue(c.mediumBar, 2, 20, view.mediumEvery);
    ShowBarValue(c.largeBar, 2, 20, view.largeEvery);
    c.smallFrame->setTitle(view.smallCaption);
    c.mediumFrame->setTitle(view.mediumCaption);
    c.largeFrame->setTitle(view.largeCaption);
    ShowBoxes(c, {view.unitText, view.originValueText, view.smallValueText});
}

void AxisPanel::ShowBoxes(const AxisControls& c, const AxisTexts& texts) {
    const QSignalBlocker valueBlocker(c.valueBox);
    const QSignalBlocker unitBlocker(c.unitBox);
    const QSignalBlocker originBlocker(c.originBox);
    c.valueBox->setText(texts.smallValue);
    c.unitBox->setEditText(texts.unit);
    c.originBox->setText(texts.originValue);
}

void AxisPanel::ShowRecord() {
    const AxisPanelView view = ApplyAxisPanel(m_state.Settings, m_state.Graph);
    ShowAxis(m_x, view.x);
    ShowAxis(m_y, view.y);
    ShowSheetSize();
}

void AxisPanel::ShowTexts(const AxisPanelTexts& texts) {
    for (const Axis axis : {Axis::X, Axis::Y}) {
        ShowBoxes(Controls(axis), texts.Of(axis));
    }
}

void AxisPanel::ShowSheetSize() {
    m_widthEditor.label->setText(SheetMillimetres(m_state.Graph.GraphWidthPx));
    m_heightEditor.label->setText(SheetMillimetres(m_state.Graph.GraphHeightPx));
}

QString AxisPanel::UnitText(Axis axis) const {
    return Controls(axis).unitBox->currentText();
}

QString AxisPanel::SmallValueText(Axis axis) const {
    return Controls(axis).valueBox->text();
}

QString AxisPanel::OriginValueText(Axis axis) const {
    return Controls(axis).originBox->text();
}

bool AxisPanel::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_x.frame || watched == m_y.frame) &&
        event->type() == QEvent::MouseButtonRelease) {
        ShowAxisFrame(m_x.frame->isVisible() ? Axis::Y : Axis::X);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

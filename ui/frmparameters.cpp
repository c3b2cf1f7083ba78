#include "ui/frmparameters.h"

#include "program/parametercommands.h"
#include "program/placement.h"
#include "ui/twips.h"

#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>
#include <optional>

namespace {

QString Number(double value) {
    return QString::number(value, 'g', 12);
}

std::optional<double> NumberIn(const QLineEdit* box) {
    bool ok = false;
    const double value = box->text().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

frmParameters::frmParameters(CurvaneState& state, SettingsStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_store(store) {
    setObjectName(QStringLiteral("frmParameters"));
    setWindowTitle(QStringLiteral("パラメータ")); // parameters
    auto* layout = new QVBoxLayout(this);
    m_grid = new QGridLayout;
    layout->addLayout(m_grid);
    auto* bottom = new QHBoxLayout;
    // "軌跡を残す" = keep traces
    m_keepTraces = new QCheckBox(QStringLiteral("軌跡を残す"), this);
    m_keepTraces->setObjectName(QStringLiteral("chkKeepTraces"));
    bottom->addWidget(m_keepTraces);
    bottom->addStretch();
    // "速さ (ステップ/秒)" = speed, steps per second
    bottom->addWidget(new QLabel(QStringLiteral("速さ (ステップ/秒)"), this));
    m_speed = new QSpinBox(this);
    m_speed->setObjectName(QStringLiteral("spnSpeed"));
    m_speed->setRange(1, 60);
    m_speed->setValue(10);
    bottom->addWidget(m_speed);
    layout->addLayout(bottom);
    layout->addStretch();
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &frmParameters::AnimationTick);
    connect(m_speed, &QSpinBox::valueChanged, this,
            [this](int speed) { m_timer->setInterval(1000 / speed); });
    ShowParameters();
    // Where it was last time, or beside the main window the first time.
    const Placement defaults;
    const Placement placement = LoadPlacement(m_store, QStringLiteral("Parameters"));
    if (placement.left == defaults.left && placement.top == defaults.top &&
        placement.width == defaults.width && placement.height == defaults.height) {
        const QRect outer = parent->frameGeometry();
        move(outer.right() + 8, outer.top() + 80);
    } else {
        move(Px(placement.left), Px(placement.top));
        resize(Px(placement.width), Px(placement.height));
    }
}

void frmParameters::hideEvent(QHideEvent* event) {
    const QRect outer = geometry();
    SavePlacement(m_store, {Tw(pos().x()), Tw(pos().y()), Tw(outer.width()), Tw(outer.height())},
                  WindowShow::Normal, QStringLiteral("Parameters"));
    QWidget::hideEvent(event);
}

bool frmParameters::KeepTraces() const {
    return m_keepTraces->isChecked();
}

QSlider* frmParameters::SliderOf(const QString& name) const {
    for (const Row& row : m_rows) {
        if (row.name == name) {
            return row.slider;
        }
    }
    return nullptr;
}

QLineEdit* frmParameters::ValueBoxOf(const QString& name) const {
    for (const Row& row : m_rows) {
        if (row.name == name) {
            return row.value;
        }
    }
    return nullptr;
}

frmParameters::Row* frmParameters::RowOf(const QString& name) {
    for (Row& row : m_rows) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

void frmParameters::ShowParameters() {
    bool same = m_rows.size() == m_state.Params.size();
    for (std::size_t i = 0; same && i < m_rows.size(); ++i) {
        same = m_rows[i].name == m_state.Params[i].name;
    }
    if (!same) {
        BuildRows();
    }
    if (!m_animated.isEmpty() && FindParameter(m_state.Params, m_animated) == nullptr) {
        StopAnimation();
    }
    m_showing = true;
    for (Row& row : m_rows) {
        ShowRow(row);
    }
    m_showing = false;
}

void frmParameters::BuildRows() {
    StopAnimation();
    for (Row& row : m_rows) {
        for (QWidget* w : std::initializer_list<QWidget*>{
                 row.label, row.slider, row.value, row.minimum, row.maximum, row.step, row.play}) {
            delete w;
        }
    }
    m_rows.clear();
    // "名前", "値", "最小", "最大", "刻み" = name, value, minimum, maximum, step
    if (m_grid->count() == 0) {
        int column = 0;
        for (const char* head : {"名前", "", "値", "最小", "最大", "刻み"}) {
            m_grid->addWidget(new QLabel(QString::fromUtf8(head), this), 0, column++);
        }
    }
    m_rows.reserve(m_state.Params.size());
    int line = 1;
    for (const Parameter& parameter : m_state.Params) {
        Row row;
        row.name = parameter.name;
        row.label = new QLabel(parameter.name, this);
        row.slider = new QSlider(Qt::Horizontal, this);
        row.slider->setObjectName(QStringLiteral("sld_") + parameter.name);
        row.slider->setMinimumWidth(160);
        row.slider->setPageStep(10);
        const auto box = [&](const QString& name, int width) {
            auto* edit = new QLineEdit(this);
            edit->setObjectName(name + parameter.name);
            edit->setFixedWidth(width);
            return edit;
        };
        row.value = box(QStringLiteral("txtValue_"), 80);
        row.minimum = box(QStringLiteral("txtMin_"), 56);
        row.maximum = box(QStringLiteral("txtMax_"), 56);
        row.step = box(QStringLiteral("txtStep_"), 56);
        row.play = new QPushButton(QStringLiteral("▶"), this);
        row.play->setObjectName(QStringLiteral("cmdPlay_") + parameter.name);
        row.play->setFixedWidth(32);
        int column = 0;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 row.label, row.slider, row.value, row.minimum, row.maximum, row.step, row.play}) {
            m_grid->addWidget(w, line, column++);
        }
        ++line;
        m_rows.push_back(row);
    }
    for (Row& row : m_rows) {
        const QString name = row.name;
        connect(row.slider, &QSlider::valueChanged, this, [this, name](int position) {
            if (Row* r = RowOf(name)) {
                SliderMoved(*r, position);
            }
        });
        connect(row.slider, &QSlider::sliderReleased, this, [this] { emit valueSet(); });
        connect(row.value, &QLineEdit::editingFinished, this, [this, name] {
            if (Row* r = RowOf(name)) {
                ValueTyped(*r);
            }
        });
        for (QLineEdit* range : {row.minimum, row.maximum, row.step}) {
            connect(range, &QLineEdit::editingFinished, this, [this, name] {
                if (Row* r = RowOf(name)) {
                    RangeTyped(*r);
                }
            });
        }
        connect(row.play, &QPushButton::clicked, this, [this, name] {
            if (Row* r = RowOf(name)) {
                PlayClicked(*r);
            }
        });
    }
}

void frmParameters::ShowRow(Row& row) {
    const Parameter* parameter = FindParameter(m_state.Params, row.name);
    if (parameter == nullptr) {
        return;
    }
    // A name no expression reads any more is greyed out and keeps its value.
    for (QWidget* w : std::initializer_list<QWidget*>{row.label, row.slider, row.value, row.minimum,
                                                      row.maximum, row.step, row.play}) {
        w->setEnabled(parameter->used);
    }
    const QSignalBlocker blocker(row.slider);
    row.slider->setRange(0, SliderSteps(*parameter));
    row.slider->setValue(SliderPosition(*parameter));
    const auto show = [](QLineEdit* box, double value) {
        if (!box->hasFocus() || NumberIn(box) != value) {
            box->setText(Number(value));
        }
    };
    show(row.value, parameter->value);
    show(row.minimum, parameter->minimum);
    show(row.maximum, parameter->maximum);
    show(row.step, parameter->step);
    row.play->setText(m_animated == row.name ? QStringLiteral("■") : QStringLiteral("▶"));
}

void frmParameters::SliderMoved(Row& row, int position) {
    const Parameter* parameter = FindParameter(m_state.Params, row.name);
    if (m_showing || parameter == nullptr) {
        return;
    }
    ParameterValueChanged(m_state, row.name, SliderValue(*parameter, position));
    m_showing = true;
    ShowRow(row);
    m_showing = false;
    emit valueMoved();
    // A step by key or a click beside the handle is a value set; a drag is one when let go.
    if (!row.slider->isSliderDown()) {
        emit valueSet();
    }
}

void frmParameters::ValueTyped(Row& row) {
    const Parameter* parameter = FindParameter(m_state.Params, row.name);
    const std::optional<double> value = NumberIn(row.value);
    if (parameter == nullptr || !value || *value == parameter->value) {
        if (parameter != nullptr && !value) {
            row.value->setText(Number(parameter->value)); // no number: the value stays
        }
        return;
    }
    ParameterValueChanged(m_state, row.name, *value);
    ShowRow(row);
    emit valueMoved();
    emit valueSet();
}

void frmParameters::RangeTyped(Row& row) {
    const Parameter* parameter = FindParameter(m_state.Params, row.name);
    if (parameter == nullptr) {
        return;
    }
    const Parameter before = *parameter;
    const std::optional<double> minimum = NumberIn(row.minimum);
    const std::optional<double> maximum = NumberIn(row.maximum);
    const std::optional<double> step = NumberIn(row.step);
    if (minimum && maximum && step) {
        ParameterRangeChanged(m_state, row.name, *minimum, *maximum, *step);
    }
    m_showing = true;
    ShowRow(row); // a refused range shows the one kept
    m_showing = false;
    if (!(*FindParameter(m_state.Params, row.name) == before)) {
        emit valueMoved();
        emit valueSet();
    }
}

void frmParameters::PlayClicked(Row& row) {
    if (m_animated == row.name) {
        StopAnimation();
        emit valueSet();
        return;
    }
    const bool wasRunning = !m_animated.isEmpty();
    StopAnimation();
    if (wasRunning) {
        emit valueSet();
    }
    m_animated = row.name;
    m_direction = 1;
    m_timer->setInterval(1000 / m_speed->value());
    m_timer->start();
    ShowRow(row);
}

void frmParameters::AnimationTick() {
    const Parameter* parameter = FindParameter(m_state.Params, m_animated);
    if (parameter == nullptr || !parameter->used) {
        StopAnimation();
        return;
    }
    ParameterValueChanged(m_state, m_animated, AnimationStep(*parameter, m_direction));
    if (Row* row = RowOf(m_animated)) {
        m_showing = true;
        ShowRow(*row);
        m_showing = false;
    }
    emit valueMoved();
}

void frmParameters::StopAnimation() {
    m_timer->stop();
    const QString was = m_animated;
    m_animated.clear();
    if (Row* row = RowOf(was)) {
        row->play->setText(QStringLiteral("▶"));
    }
}

void frmParameters::closeEvent(QCloseEvent* event) {
    if (!m_animated.isEmpty()) {
        StopAnimation();
        emit valueSet();
    }
    QWidget::closeEvent(event);
}

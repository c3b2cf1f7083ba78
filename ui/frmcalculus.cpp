#include "ui/frmcalculus.h"

#include "platform/dialogs.h"
#include "program/calculus.h"
#include "program/readout.h"
#include "program/tablecommands.h"
#include "script/number_text.h"
#include "ui/progressdialog.h"

#include <QtGui/QClipboard>
#include <QtGui/QCloseEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>
#include <cmath>

namespace {

// A drag across fewer columns than this is a click, not a range.
constexpr double SmallestDrag = 2.0;

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QComboBox* SlotBox(QWidget* parent, const char* name, bool withNone) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    if (withNone) {
        box->addItem(QStringLiteral("なし"), 0); // none
    }
    for (int slot = 1; slot <= SlotCount; ++slot) {
        box->addItem(QStringLiteral("F%1(x)").arg(slot), slot);
    }
    return box;
}

QLineEdit* NumberBox(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(80);
    return edit;
}

QLabel* StatusLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

QString NumberText(double value) {
    return QString::fromStdString(FormatGeneral(value));
}

} // namespace

frmCalculus::frmCalculus(CurvaneState& state, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmCalculus"));
    setWindowTitle(CalculusTitle());
    resize(460, 360);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("tabCalculus"));

    // "導関数" = derivative
    auto* derivative = new QWidget(m_pages);
    derivative->setObjectName(QStringLiteral("pagDerivative"));
    auto* derivativeLayout = new QVBoxLayout(derivative);
    // "関数の導関数を、同じ色の点線で描きます" = draws a function's derivative as a dotted curve
    // in its colour
    derivativeLayout->addWidget(new QLabel(
        QStringLiteral("関数の導関数 (F1′ など) を、その関数の色の点線で描きます。"), derivative));
    auto* derivativeRow = new QHBoxLayout;
    m_derivativeSlot = SlotBox(derivative, "cboDerivativeSlot", false);
    auto* drawDerivative = Button(derivative, "cmdDerivativeDraw", QStringLiteral("描画")); // draw
    auto* eraseDerivative =
        Button(derivative, "cmdDerivativeErase", QStringLiteral("消去")); // erase
    derivativeRow->addWidget(m_derivativeSlot);
    derivativeRow->addWidget(drawDerivative);
    derivativeRow->addWidget(eraseDerivative);
    derivativeRow->addStretch();
    derivativeLayout->addLayout(derivativeRow);
    m_derivativeStatus = StatusLabel(derivative, "lblDerivativeStatus");
    derivativeLayout->addWidget(m_derivativeStatus);
    derivativeLayout->addStretch();
    m_pages->addTab(derivative, QStringLiteral("導関数"));
    connect(drawDerivative, &QPushButton::clicked, this, &frmCalculus::DrawDerivativeClicked);
    connect(eraseDerivative, &QPushButton::clicked, this, &frmCalculus::EraseDerivativeClicked);

    // "接線" = tangent
    auto* tangent = new QWidget(m_pages);
    tangent->setObjectName(QStringLiteral("pagTangent"));
    auto* tangentLayout = new QVBoxLayout(tangent);
    // "シートをクリックして接線を引く" = click the sheet to draw a tangent
    m_tangentTool = Button(tangent, "cmdTangentTool",
                           QStringLiteral("シートをクリックして接線を引く（Esc で終了）"));
    m_tangentTool->setCheckable(true);
    tangentLayout->addWidget(m_tangentTool);
    auto* tangentRow = new QHBoxLayout;
    m_tangentSlot = SlotBox(tangent, "cboTangentSlot", false);
    m_tangentX = NumberBox(tangent, "txtTangentX");
    m_tangentUnit = new QLabel(tangent);
    m_tangentUnit->setObjectName(QStringLiteral("lblTangentUnit"));
    auto* drawTangent = Button(tangent, "cmdTangentDraw", QStringLiteral("描画")); // draw
    tangentRow->addWidget(m_tangentSlot);
    tangentRow->addWidget(new QLabel(QStringLiteral("x ="), tangent));
    tangentRow->addWidget(m_tangentX, 1);
    tangentRow->addWidget(m_tangentUnit);
    tangentRow->addWidget(drawTangent);
    tangentLayout->addLayout(tangentRow);
    AddValues(tangent, tangentLayout, "Tangent", m_tangentValues, m_tangentStatus);
    m_pages->addTab(tangent, QStringLiteral("接線"));
    connect(m_tangentTool, &QPushButton::toggled, this,
            [this](bool on) { Arm(CalculusTool::Tangent, on); });
    connect(drawTangent, &QPushButton::clicked, this, &frmCalculus::DrawTangentClicked);
    connect(m_tangentX, &QLineEdit::returnPressed, this, &frmCalculus::DrawTangentClicked);

    // "面積" = area
    auto* area = new QWidget(m_pages);
    area->setObjectName(QStringLiteral("pagArea"));
    auto* areaLayout = new QVBoxLayout(area);
    auto* areaGrid = new QGridLayout;
    m_areaSlot = SlotBox(area, "cboAreaSlot", false);
    m_areaOther = SlotBox(area, "cboAreaOther", true);
    areaGrid->addWidget(new QLabel(QStringLiteral("関数"), area), 0, 0); // function
    areaGrid->addWidget(m_areaSlot, 0, 1);
    // "との間" = the area between it and
    areaGrid->addWidget(new QLabel(QStringLiteral("との間"), area), 0, 2);
    areaGrid->addWidget(m_areaOther, 0, 3);
    m_areaFrom = NumberBox(area, "txtAreaFrom");
    m_areaTo = NumberBox(area, "txtAreaTo");
    m_areaUnit = new QLabel(area);
    m_areaUnit->setObjectName(QStringLiteral("lblAreaUnit"));
    areaGrid->addWidget(new QLabel(QStringLiteral("a ="), area), 1, 0);
    areaGrid->addWidget(m_areaFrom, 1, 1);
    areaGrid->addWidget(new QLabel(QStringLiteral("b ="), area), 1, 2);
    areaGrid->addWidget(m_areaTo, 1, 3);
    areaGrid->addWidget(m_areaUnit, 1, 4);
    auto* drawArea = Button(area, "cmdAreaDraw", QStringLiteral("描画")); // draw
    areaGrid->addWidget(drawArea, 1, 5);
    areaLayout->addLayout(areaGrid);
    // "シートをドラッグして範囲を選ぶ" = drag across the sheet to choose the range
    m_areaTool =
        Button(area, "cmdAreaTool", QStringLiteral("シートをドラッグして範囲を選ぶ（Esc で終了）"));
    m_areaTool->setCheckable(true);
    areaLayout->addWidget(m_areaTool);
    AddValues(area, areaLayout, "Area", m_areaValues, m_areaStatus);
    m_pages->addTab(area, QStringLiteral("面積"));
    connect(m_areaTool, &QPushButton::toggled, this,
            [this](bool on) { Arm(CalculusTool::Area, on); });
    connect(drawArea, &QPushButton::clicked, this, &frmCalculus::DrawAreaClicked);
    connect(m_areaTo, &QLineEdit::returnPressed, this, &frmCalculus::DrawAreaClicked);

    auto* close = Button(this, "cmdCalculusClose", QStringLiteral("閉じる")); // close
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(bottom);
    ShowTools();
}

frmCalculus::~frmCalculus() = default;

void frmCalculus::AddValues(QWidget* page, QBoxLayout* layout, const char* name,
                            QPlainTextEdit*& values, QLabel*& status) {
    const QString part = QString::fromLatin1(name);
    values = new QPlainTextEdit(page);
    values->setObjectName(QStringLiteral("txt%1Values").arg(part));
    values->setReadOnly(true);
    values->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(values, 1);
    status = StatusLabel(page, qPrintable(QStringLiteral("lbl%1Status").arg(part)));
    auto* copy = new QPushButton(QStringLiteral("コピー"), page); // copy
    copy->setObjectName(QStringLiteral("cmd%1Copy").arg(part));
    auto* row = new QHBoxLayout;
    row->addWidget(status, 1);
    row->addWidget(copy);
    layout->addLayout(row);
    connect(copy, &QPushButton::clicked, this, [this, values, status] { Copy(values, status); });
}

void frmCalculus::ShowTools() {
    const QSignalBlocker tangentBlock(m_tangentTool);
    const QSignalBlocker areaBlock(m_areaTool);
    m_tangentTool->setChecked(m_state.CalculusArmed == CalculusTool::Tangent);
    m_areaTool->setChecked(m_state.CalculusArmed == CalculusTool::Area);
    const QString unit = UnitSuffix(m_state.Graph.XUnitName).trimmed();
    m_tangentUnit->setText(unit);
    m_areaUnit->setText(unit);
}

void frmCalculus::Arm(CalculusTool chosen, bool on) {
    if (on) {
        // One mouse mode at a time: the zoom and the origin's placement end.
        m_state.ZoomDirection = 0;
        m_state.OriginDragging = false;
        m_state.CalculusArmed = chosen;
    } else if (m_state.CalculusArmed == chosen) {
        m_state.CalculusArmed = CalculusTool::None;
    }
    m_state.AreaDragFrom.reset();
    m_state.AreaDragTo.reset();
    ShowTools();
    if (on) {
        // "シートをクリックしてください" = click the sheet; "シートの上をドラッグしてください" =
        // drag across the sheet
        (chosen == CalculusTool::Tangent ? m_tangentStatus : m_areaStatus)
            ->setText(chosen == CalculusTool::Tangent
                          ? QStringLiteral("曲線の近くでシートをクリックしてください。")
                          : QStringLiteral("シートの上を左右にドラッグしてください。"));
    }
    emit toolChanged();
}

bool frmCalculus::SheetPressed(Qt::MouseButton button, QPointF point) {
    if (m_state.CalculusArmed != CalculusTool::Area || Busy()) {
        return m_state.CalculusArmed != CalculusTool::None;
    }
    if (button == Qt::LeftButton) {
        m_state.AreaDragFrom = point.x();
        m_state.AreaDragTo = point.x();
    }
    return true;
}

bool frmCalculus::SheetMoved(QPointF point) {
    if (m_state.CalculusArmed != CalculusTool::Area || !m_state.AreaDragFrom) {
        return false;
    }
    m_state.AreaDragTo = point.x();
    return true;
}

bool frmCalculus::SheetReleased(Qt::MouseButton button, QPointF point) {
    const CalculusTool tool = m_state.CalculusArmed;
    if (tool == CalculusTool::None) {
        return false;
    }
    if (button != Qt::LeftButton || Busy()) {
        return true; // the tool stays armed
    }
    if (tool == CalculusTool::Tangent) {
        m_pages->setCurrentIndex(1);
        const CalculusOutcome outcome = DrawTangentAtPoint(m_state, m_evaluator, point);
        if (outcome.slot != 0) {
            m_tangentSlot->setCurrentIndex(outcome.slot - 1);
            m_tangentX->setText(NumberText(outcome.axisX));
        }
        Show(outcome, m_tangentStatus, m_tangentValues);
        return true;
    }
    const std::optional<double> from = m_state.AreaDragFrom;
    m_state.AreaDragFrom.reset();
    m_state.AreaDragTo.reset();
    m_pages->setCurrentIndex(2);
    if (!from || std::fabs(point.x() - *from) < SmallestDrag) {
        // "範囲を選ぶには左右にドラッグしてください" = drag sideways to choose a range
        m_areaStatus->setText(
            QStringLiteral("範囲を選ぶには、シートの上を左右にドラッグしてください。"));
        emit sheetChanged(); // the drag's band goes away
        return true;
    }
    const auto [a, b] = AxisRangeOfColumns(m_state, *from, point.x());
    m_areaFrom->setText(NumberText(a));
    m_areaTo->setText(NumberText(b));
    DrawAreaClicked();
    return true;
}

void frmCalculus::DrawDerivativeClicked() {
    if (Busy()) {
        return;
    }
    const int slot = m_derivativeSlot->currentData().toInt();
    // "F1′ を計算しています" = computing F1′; "%1 / %2 列を計算しました" = %1 of %2 columns
    ProgressDialogReporter progress(this,
                                    QStringLiteral("%1 を計算しています").arg(DerivativeName(slot)),
                                    QStringLiteral("%1 / %2 列を計算しました"));
    m_work = &progress;
    // Computed from a copy: the window answers while it runs.
    const CurvaneDocument document = m_state;
    CalculusResult result = ComputeDerivative(m_evaluator, document, slot, &progress);
    m_work = nullptr;
    const CalculusOutcome outcome = ApplyCalculus(m_state, std::move(result));
    Show(outcome, m_derivativeStatus, nullptr);
}

void frmCalculus::EraseDerivativeClicked() {
    if (Busy()) {
        return;
    }
    Show(EraseDerivative(m_state, m_derivativeSlot->currentData().toInt()), m_derivativeStatus,
         nullptr);
}

void frmCalculus::DrawTangentClicked() {
    if (Busy()) {
        return;
    }
    const std::optional<double> x = ReadTableNumber(m_tangentX->text());
    if (!x) {
        // "x には数値を入れてください" = enter a number for x
        m_dialogs.Message(QStringLiteral("x には数値を入れてください。"), CalculusTitle(), false);
        return;
    }
    Show(DrawTangent(m_state, m_evaluator, m_tangentSlot->currentData().toInt(), *x),
         m_tangentStatus, m_tangentValues);
}

void frmCalculus::DrawAreaClicked() {
    if (Busy()) {
        return;
    }
    const std::optional<double> from = ReadTableNumber(m_areaFrom->text());
    const std::optional<double> to = ReadTableNumber(m_areaTo->text());
    if (!from || !to) {
        // "a と b には数値を入れてください" = enter numbers for a and b
        m_dialogs.Message(QStringLiteral("a と b には数値を入れてください。"), CalculusTitle(),
                          false);
        return;
    }
    const AreaRequest request{m_areaSlot->currentData().toInt(), m_areaOther->currentData().toInt(),
                              *from, *to};
    // "積分しています" = integrating; "%1 / %2" evaluations of the budget
    ProgressDialogReporter progress(this, CalculusTitle(),
                                    QStringLiteral("積分しています（%1 / %2）"));
    m_work = &progress;
    const CurvaneDocument document = m_state;
    CalculusResult result = ComputeArea(m_evaluator, document, request, &progress);
    m_work = nullptr;
    const CalculusOutcome outcome = ApplyCalculus(m_state, std::move(result));
    Show(outcome, m_areaStatus, m_areaValues);
}

void frmCalculus::Show(const CalculusOutcome& outcome, QLabel* status, QPlainTextEdit* details) {
    status->setText(outcome.status);
    if (details != nullptr && !outcome.details.isEmpty()) {
        details->setPlainText(outcome.details);
    }
    emit sheetChanged();
    if (!outcome.refusal.isEmpty()) {
        m_dialogs.Message(outcome.refusal, CalculusTitle(), false);
    }
}

void frmCalculus::Copy(QPlainTextEdit* details, QLabel* status) {
    if (details->toPlainText().isEmpty()) {
        return;
    }
    QGuiApplication::clipboard()->setText(details->toPlainText());
    status->setText(QStringLiteral("値をクリップボードにコピーしました。")); // copied the values
}

void frmCalculus::closeEvent(QCloseEvent* event) {
    if (m_work != nullptr) {
        m_work->Cancel();
    }
    if (m_state.CalculusArmed != CalculusTool::None) {
        m_state.CalculusArmed = CalculusTool::None;
        m_state.AreaDragFrom.reset();
        m_state.AreaDragTo.reset();
        ShowTools();
        emit toolChanged();
    }
    QWidget::closeEvent(event);
}

void frmCalculus::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_state.CalculusArmed != CalculusTool::None) {
        Arm(m_state.CalculusArmed, false);
        return;
    }
    QWidget::keyPressEvent(event);
}

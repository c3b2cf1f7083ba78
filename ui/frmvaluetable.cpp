#include "ui/frmvaluetable.h"

#include "platform/dialogs.h"
#include "program/curvanestate.h"
#include "program/tablecommands.h"
#include "program/tablemodels.h"
#include "script/number_text.h"
#include "ui/backgroundwork.h"

#include <QtGui/QClipboard>
#include <QtGui/QCloseEvent>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableView>

namespace {

QString Title() {
    return QStringLiteral("数値表"); // table of values
}

QTableView* View(QWidget* parent, const QString& name, QAbstractItemModel* model) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    // Every row as high as the next: the view never measures a million rows.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->hide();
    // Wide enough for any number of 15 digits: a number cut short would read as another.
    view->horizontalHeader()->setDefaultSectionSize(
        view->fontMetrics().horizontalAdvance(QStringLiteral("-0.000888888888888888")) + 16);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setWordWrap(false);
    return view;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

frmValueTable::frmValueTable(CurvaneState& state, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmValueTable"));
    setWindowTitle(Title());
    resize(560, 440);

    auto* range = new QHBoxLayout;
    const auto box = [&](const QString& name, const QString& caption) {
        auto* label = new QLabel(caption, this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setMinimumWidth(70);
        label->setBuddy(edit);
        range->addWidget(label);
        range->addWidget(edit, 1);
        connect(edit, &QLineEdit::returnPressed, this, &frmValueTable::Compute);
        connect(edit, &QLineEdit::textEdited, this, [this] { m_rangeTyped = true; });
        return edit;
    };
    m_from = box(QStringLiteral("txtTableFrom"), QStringLiteral("開始(&F)")); // from
    m_to = box(QStringLiteral("txtTableTo"), QStringLiteral("終了(&T)"));     // to
    m_step = box(QStringLiteral("txtTableStep"), QStringLiteral("刻み(&S)")); // step
    m_unit = new QLabel(this);
    m_unit->setObjectName(QStringLiteral("lblTableUnit"));
    range->addWidget(m_unit);
    m_compute = Button(this, QStringLiteral("cmdTableCompute"), QStringLiteral("計算(&C)"));
    range->addWidget(m_compute);
    connect(m_compute, &QPushButton::clicked, this, &frmValueTable::Compute);

    m_valueModel = new ValueTableModel(this);
    m_featureModel = new FeatureListModel(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("tabValueTable"));
    m_values = View(m_pages, QStringLiteral("grdValues"), m_valueModel);
    m_pages->addTab(m_values, QStringLiteral("数値表")); // table of values
    auto* pointsPage = new QWidget(m_pages);
    pointsPage->setObjectName(QStringLiteral("pagFeatures"));
    auto* pointsLayout = new QVBoxLayout(pointsPage);
    m_points = View(pointsPage, QStringLiteral("grdFeatures"), m_featureModel);
    m_points->setSelectionMode(QAbstractItemView::SingleSelection);
    m_points->setColumnWidth(0, 56);
    m_points->setColumnWidth(1, 76);
    pointsLayout->addWidget(m_points);
    auto* pointButtons = new QHBoxLayout;
    pointButtons->addStretch();
    // "ラベルとして追加" = add as a label
    m_addLabel =
        Button(pointsPage, QStringLiteral("cmdAddLabel"), QStringLiteral("ラベルとして追加"));
    pointButtons->addWidget(m_addLabel);
    pointsLayout->addLayout(pointButtons);
    m_pages->addTab(pointsPage, QStringLiteral("特徴点")); // feature points
    connect(m_addLabel, &QPushButton::clicked, this, &frmValueTable::AddLabel);
    connect(m_points, &QTableView::doubleClicked, this, &frmValueTable::AddLabel);
    connect(m_points->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmValueTable::UpdateButtons);

    auto* bottom = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblTableStatus"));
    bottom->addWidget(m_status, 1);
    m_copy = Button(this, QStringLiteral("cmdTableCopy"), QStringLiteral("コピー"));       // copy
    m_save = Button(this, QStringLiteral("cmdTableSave"), QStringLiteral("保存"));         // save
    auto* close = Button(this, QStringLiteral("cmdTableClose"), QStringLiteral("閉じる")); // close
    bottom->addWidget(m_copy);
    bottom->addWidget(m_save);
    bottom->addWidget(close);
    connect(m_copy, &QPushButton::clicked, this, &frmValueTable::CopyTable);
    connect(m_save, &QPushButton::clicked, this, &frmValueTable::SaveTable);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(m_pages, 1);
    layout->addLayout(bottom);
    UpdateButtons();
}

frmValueTable::~frmValueTable() = default;

const std::vector<Feature>& frmValueTable::Features() const {
    return m_featureModel->Features();
}

void frmValueTable::ShowForSheet() {
    if (m_busy) {
        return;
    }
    ShowRange(DefaultTableRange(m_state.Settings, m_state.Graph));
    m_rangeTyped = false;
    Compute();
}

void frmValueTable::ShowRange(const TableRange& range) {
    m_from->setText(QString::fromStdString(FormatGeneral(range.from)));
    m_to->setText(QString::fromStdString(FormatGeneral(range.to)));
    m_step->setText(QString::fromStdString(FormatGeneral(range.step)));
}

std::optional<TableRange> frmValueTable::TypedRange() const {
    const std::optional<double> from = ReadTableNumber(m_from->text());
    const std::optional<double> to = ReadTableNumber(m_to->text());
    const std::optional<double> step = ReadTableNumber(m_step->text());
    if (!from || !to || !step) {
        return std::nullopt;
    }
    return TableRange{*from, *to, *step};
}

void frmValueTable::FollowDocument() {
    if (m_busy) {
        m_followPending = true; // served once the computation under way ends
        return;
    }
    m_followPending = false;
    const TableFollowPlan plan =
        ::FollowDocument(m_basis, TableBasisOf(m_state), m_rangeTyped, TypedRange());
    if (plan.boxes) {
        ShowRange(*plan.boxes);
    }
    switch (plan.action) {
    case TableFollow::UpToDate:
        SetStale(false);
        break;
    case TableFollow::Recompute:
        // A hidden window computes when it is shown again.
        if (!isVisible() || !Compute()) {
            SetStale(true);
        }
        break;
    case TableFollow::MarkStale:
        SetStale(true);
        break;
    }
}

void frmValueTable::DocumentReset() {
    if (m_work != nullptr) {
        m_work->Cancel();
    }
    m_table.reset();
    m_valueModel->SetTable(nullptr);
    m_featureModel->SetFeatures({}, PlainUnitName, PlainUnitName);
    m_unit->clear();
    m_basis = TableBasisOf(m_state);
    m_rangeTyped = false;
    ShowRange(m_basis.sheetRange);
    SetStale(false);
    // "新規作成で表を空にしました" = emptied for the new graph
    ShowStatus(QStringLiteral("新規作成で表を空にしました。"));
    UpdateButtons();
}

void frmValueTable::SetStale(bool stale) {
    if (stale == m_stale) {
        return;
    }
    m_stale = stale;
    m_compute->setProperty("stale", stale);
    // "計算" stands out while the table shown belongs to an earlier document.
    QFont font = m_compute->font();
    font.setBold(stale);
    m_compute->setFont(font);
    QPalette palette = m_compute->palette();
    palette.setColor(QPalette::Button, stale ? QColor(255, 214, 102)
                                             : QApplication::palette().color(QPalette::Button));
    m_compute->setPalette(palette);
    if (stale) {
        // "表が古くなっています。「計算」で新しくします。" = the table is out of date; 計算 renews
        // it
        ShowStatus(QStringLiteral("表が古くなっています。「計算」で新しくします。"));
    }
    UpdateButtons();
}

bool frmValueTable::Compute() {
    if (m_busy) {
        return false;
    }
    const std::optional<double> from = ReadTableNumber(m_from->text());
    const std::optional<double> to = ReadTableNumber(m_to->text());
    const std::optional<double> step = ReadTableNumber(m_step->text());
    TableRowCount count{TableRangeProblem::NotFinite, 0};
    if (from && to && step) {
        count = CountTableRows({*from, *to, *step});
    }
    if (count.problem != TableRangeProblem::None) {
        m_dialogs.Message(TableRangeProblemText(count.problem), Title(), false);
        return false;
    }
    auto table =
        std::make_shared<ValueTable>(MakeValueTable(m_state, {*from, *to, *step}, count.rows));
    const TableBasis basis = TableBasisOf(m_state);
    SetBusy(true);
    // The values, then the feature points, are computed on a worker with an evaluator of their
    // own; both windows go on answering meanwhile.
    // "%1 / %2 個の値を計算しました" = %1 of %2 values computed
    auto computed = std::make_shared<bool>(false);
    StartWork(
        QStringLiteral("%1 / %2 個の値を計算しました"),
        [table, computed](JobProgress& progress) {
            ScriptEvaluator evaluator;
            evaluator.SetStopFlag(&progress.StopFlag());
            *computed = table->Compute(evaluator, &progress);
        },
        [this, table, basis, computed] {
            if (!*computed) {
                SetBusy(false);
                // "計算を中止しました。表は前のままです。" = stopped; the table is as before
                ShowStatus(QStringLiteral("計算を中止しました。表は前のままです。"));
                m_followPending = false;
                return;
            }
            // "特徴点を探しています" = looking for feature points
            auto search = std::make_shared<std::optional<FeatureSearch>>();
            StartWork(
                QStringLiteral("特徴点を探しています（%1 / %2）"),
                [table, search](JobProgress& progress) {
                    ScriptEvaluator evaluator;
                    evaluator.SetStopFlag(&progress.StopFlag());
                    *search = FindFeatures(*table, evaluator, &progress);
                },
                [this, table, basis, search] {
                    SetBusy(false);
                    ShowComputed(table, basis, *search);
                });
        });
    return true;
}

void frmValueTable::StartWork(const QString& label, std::function<void(JobProgress&)> work,
                              std::function<void()> finished) {
    m_work = new BackgroundWork(this, Title(), label, Qt::WindowModal);
    m_work->Start(std::move(work), [this, finished = std::move(finished)] {
        m_work->deleteLater();
        m_work = nullptr;
        finished();
    });
}

void frmValueTable::ShowComputed(const std::shared_ptr<ValueTable>& table, const TableBasis& basis,
                                 const std::optional<FeatureSearch>& search) {
    m_table = table;
    m_basis = basis;
    m_valueModel->SetTable(m_table);
    m_featureModel->SetFeatures(search ? search->features : std::vector<Feature>{},
                                m_table->XUnit(), m_table->YUnit());
    m_unit->setText(m_table->XUnit() == PlainUnitName
                        ? QString()
                        : QStringLiteral("[") + m_table->XUnit() + QStringLiteral("]"));
    // "N 行" = N rows; "特徴点 M 個" = M feature points
    QString status = QStringLiteral("%1 行").arg(m_table->Rows());
    if (m_table->ColumnCount() == 0) {
        status += QStringLiteral("（関数の式がありません）"); // no function has text
    } else if (!search) {
        status += QStringLiteral("、特徴点の検索は中止しました"); // the search was stopped
    } else {
        status += QStringLiteral("、特徴点 %1 個").arg(search->features.size());
        if (search->truncated) {
            status += QStringLiteral("（候補が多すぎるため最初の %1 個まで調べました）")
                          .arg(MaxFeatures); // too many candidates: the first were examined
        }
    }
    SetStale(false);
    ShowStatus(status);
    UpdateButtons();
    if (m_followPending) {
        FollowDocument(); // the document changed while the table was computed
    }
}

void frmValueTable::CopyTable() {
    if (!m_table) {
        return;
    }
    QGuiApplication::clipboard()->setText(TableClipboardText(*m_table));
    // "クリップボードにコピーしました" = copied to the clipboard
    ShowStatus(QStringLiteral("%1 行をクリップボードにコピーしました。").arg(m_table->Rows()));
}

void frmValueTable::SaveTable() {
    if (m_table && SaveTableCsv(*m_table, m_dialogs)) {
        ShowStatus(QStringLiteral("CSV ファイルに保存しました。")); // saved as a CSV file
    }
}

void frmValueTable::AddLabel() {
    const QModelIndexList rows = m_points->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return;
    }
    const Feature& feature = Features().at(static_cast<std::size_t>(rows.first().row()));
    if (!AddFeatureLabel(m_state, feature)) {
        m_dialogs.Message(FeatureOffSheetText(), Title(), false);
        return;
    }
    // "ラベル … を追加しました" = label … added
    ShowStatus(QStringLiteral("ラベル %1 を追加しました。").arg(FeatureLabelText(feature)));
    emit labelAdded();
}

void frmValueTable::closeEvent(QCloseEvent* event) {
    if (m_work != nullptr) {
        m_work->Cancel();
    }
    QWidget::closeEvent(event);
}

void frmValueTable::SetBusy(bool busy) {
    m_busy = busy;
    for (QWidget* w : {static_cast<QWidget*>(m_from), static_cast<QWidget*>(m_to),
                       static_cast<QWidget*>(m_step), static_cast<QWidget*>(m_compute)}) {
        w->setEnabled(!busy);
    }
    UpdateButtons();
}

void frmValueTable::ShowStatus(const QString& text) {
    m_status->setText(text);
}

void frmValueTable::UpdateButtons() {
    const bool table = m_table != nullptr && !m_busy;
    m_copy->setEnabled(table);
    m_save->setEnabled(table);
    // Points of an earlier document would put labels where no curve is.
    m_addLabel->setEnabled(table && !m_stale && m_points->selectionModel()->hasSelection());
}

#include "program/tablemodels.h"

#include "graph/graphsettings.h"
#include "program/functionpanel.h"
#include "program/readout.h"
#include "program/tablecommands.h"
#include "script/number_text.h"

namespace {

QVariant Number(double value) {
    return QString::fromStdString(FormatGeneral(value));
}

} // namespace

void ValueTableModel::SetTable(std::shared_ptr<const ValueTable> table) {
    beginResetModel();
    m_table = std::move(table);
    m_titles = m_table ? TableTitles(*m_table) : QStringList();
    endResetModel();
}

int ValueTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_table ? 0 : static_cast<int>(m_table->Rows());
}

int ValueTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_table ? 0 : 1 + m_table->ColumnCount();
}

QVariant ValueTableModel::data(const QModelIndex& index, int role) const {
    if (!m_table || !index.isValid()) {
        return {};
    }
    const int column = index.column() - 1;
    switch (role) {
    case Qt::DisplayRole:
        if (column < 0) {
            return Number(m_table->X(index.row()));
        }
        if (const std::optional<double> y = m_table->Value(index.row(), column)) {
            return Number(*y);
        }
        return QString();
    case Qt::ToolTipRole:
        if (column < 0 || m_table->Value(index.row(), column)) {
            return {};
        }
        if (const ScriptError* why = m_table->Reason(index.row(), column)) {
            // "値なし" = no value
            return QStringLiteral("値なし: ") +
                   JapaneseError(*why, m_table->Column(column).expression);
        }
        return QStringLiteral("値なし"); // not computed: the computation stopped before it
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ValueTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titles.size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return m_titles.at(section);
    }
    return {};
}

void FeatureListModel::SetFeatures(std::vector<Feature> features, const QString& xUnit,
                                   const QString& yUnit) {
    beginResetModel();
    m_features = std::move(features);
    m_xUnit = xUnit;
    m_yUnit = yUnit;
    endResetModel();
}

int FeatureListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_features.size());
}

int FeatureListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant FeatureListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Feature& f = m_features[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return FeatureKindText(f.kind);
        case 1:
            return FeatureFunctionText(f);
        case 2:
            return FeatureNumberText(f.x);
        default:
            return FeatureNumberText(f.y);
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() >= 2) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant FeatureListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case 0:
        return QStringLiteral("種類"); // kind
    case 1:
        return QStringLiteral("関数"); // function
    case 2:
        return QStringLiteral("x") + UnitSuffix(m_xUnit);
    default:
        return QStringLiteral("y") + UnitSuffix(m_yUnit);
    }
}

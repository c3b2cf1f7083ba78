#pragma once

#include "plot/features.h"
#include "plot/valuetable.h"

#include <QtCore/QAbstractTableModel>
#include <memory>
#include <vector>

// The table of values and its points as item models, so a view shows a million rows by asking
// for the few in sight instead of holding a widget item for each.

// x and one column per function; a cell without a value is empty and tells why in its tooltip.
// (No Q_OBJECT: they add no signals, and the core library is built without moc.)
class ValueTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetTable(std::shared_ptr<const ValueTable> table);
    const ValueTable* Table() const { return m_table.get(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::shared_ptr<const ValueTable> m_table;
    QStringList m_titles;
};

// "種類" (kind), "関数" (function), x and y of every point found, to 12 significant digits.
class FeatureListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetFeatures(std::vector<Feature> features, const QString& xUnit, const QString& yUnit);
    const std::vector<Feature>& Features() const { return m_features; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Feature> m_features;
    QString m_xUnit;
    QString m_yUnit;
};

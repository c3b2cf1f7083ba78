#pragma once

#include "plot/features.h"
#include "plot/valuetable.h"
#include "program/tablecommands.h"
#include "script/scriptevaluator.h"

#include <QtWidgets/QWidget>
#include <functional>
#include <memory>
#include <optional>

class Dialogs;
class FeatureListModel;
class BackgroundWork;
class JobProgress;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class ValueTableModel;
struct CurvaneState;

// The table of values ("数値表"): from, to and step in the X axis's unit, the values of every
// function with text on the page "数値表", and on the page "特徴点" (feature points) their
// zeros, minima, maxima and intersections, any of which can become a label on the sheet. A window
// of its own beside the main window, not modal.
class frmValueTable : public QWidget {
    Q_OBJECT
public:
    frmValueTable(CurvaneState& state, Dialogs& dialogs, QWidget* parent);
    ~frmValueTable() override;

    // The sheet's first range in the boxes, computed (the menu entry's work).
    void ShowForSheet();
    // Computes the table and its points for the range in the boxes. A refused range is explained
    // in a message and changes nothing; a cancelled computation keeps the table shown before.
    bool Compute();
    // The document changed: the range follows the sheet unless the user typed one, and the table
    // is computed again or, when large or hidden, marked out of date with "計算" highlighted.
    void FollowDocument();
    // "新規作成" (new): no table, the sheet's range in the boxes.
    void DocumentReset();
    // Whether the table shown was computed from another document than the one there is now.
    bool IsStale() const { return m_stale; }

    const ValueTable* Table() const { return m_table.get(); }
    const std::vector<Feature>& Features() const;

signals:
    // A point became a label on the sheet.
    void labelAdded();

protected:
    // Closing the window (or the main window) while it computes stops the computation.
    void closeEvent(QCloseEvent* event) override;

private:
    void CopyTable();
    void SaveTable();
    void AddLabel();
    void SetBusy(bool busy);
    void ShowStatus(const QString& text);
    void UpdateButtons();
    // Runs work on a worker with the progress dialog (label as BackgroundWork takes it), then
    // finished here.
    void StartWork(const QString& label, std::function<void(JobProgress&)> work,
                   std::function<void()> finished);
    // Shows a table just computed and the feature points found in it (none when stopped).
    void ShowComputed(const std::shared_ptr<ValueTable>& table, const TableBasis& basis,
                      const std::optional<FeatureSearch>& search);
    void ShowRange(const TableRange& range);
    void SetStale(bool stale);
    std::optional<TableRange> TypedRange() const;

    CurvaneState& m_state;
    Dialogs& m_dialogs;
    // The table's own evaluator: computing lets the window's events through, and the main
    // window's evaluations (the readout at the mouse) must not interleave with the table's.
    std::shared_ptr<const ValueTable> m_table;
    bool m_busy = false;
    // What the table shown was computed from, whether it is out of date, whether the user typed
    // the range, and a change that came while a computation ran.
    TableBasis m_basis;
    bool m_stale = false;
    bool m_rangeTyped = false;
    bool m_followPending = false;
    BackgroundWork* m_work = nullptr; // the computation while it runs

    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_step = nullptr;
    QLabel* m_unit = nullptr;
    QPushButton* m_compute = nullptr;
    QTabWidget* m_pages = nullptr;
    QTableView* m_values = nullptr;
    QTableView* m_points = nullptr;
    QPushButton* m_addLabel = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_save = nullptr;
    QLabel* m_status = nullptr;
    ValueTableModel* m_valueModel = nullptr;
    FeatureListModel* m_featureModel = nullptr;
};

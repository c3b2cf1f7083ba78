#pragma once

#include "graph/mapping.h"
#include "plot/evaluate.h"
#include "plot/parameters.h"

#include <QtCore/QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class Progress;
class ScriptEvaluator;

// A table of values: x runs from `from` towards `to` in steps of `step`, all in the X axis's own
// unit (what the tick numbers show: 90 for 90 degrees).
struct TableRange {
    double from = 0.0;
    double to = 0.0;
    double step = 1.0;
};

// More rows than this are refused: a million rows of three functions is already more than a
// spreadsheet wants, and more would only fill the memory.
inline constexpr std::int64_t MaxTableRows = 1'000'000;

enum class TableRangeProblem { None, NotFinite, ZeroStep, WrongSign, TooManyRows, StepTooFine };

struct TableRowCount {
    TableRangeProblem problem = TableRangeProblem::None;
    std::int64_t rows = 0;
};

// The rows of a range: x = from + k·step rounded to 15 significant digits, for k = 0, 1, ... as
// long as x has not passed `to` (so 0 to 0.3 in steps of 0.1 ends with 0.3, although
// 3 × 0.1 is a little more than 0.3). from = to is one row.
TableRowCount CountTableRows(const TableRange& range);

// Row k's x, rounded to 15 significant digits as the sampling rounds x.
double TableX(const TableRange& range, std::int64_t row);

// One function as the table and the search for zeros and extrema see it: an x in the X axis's
// unit in, the expression's value out, computed exactly as the sampling computes a column that
// stands for the same x (the same conversion of the unit, the same rounding, the same evaluator
// code).
class AxisFunction {
public:
    AxisFunction(ScriptEvaluator& evaluator, const AxisMapping& mapping,
                 std::string_view expression);

    // The expression's own value, the number a curve's row is worked out from; nothing where it
    // has none, and then why receives the evaluator's complaint.
    std::optional<double> Raw(double axisX, ScriptError* why = nullptr);

private:
    AxisMapping m_mapping;
    PreparedExpression m_prepared;
};

// One column of a table: the values of one function slot over the rows.
struct TableColumn {
    int slot = 0;
    QString expression;
    std::vector<double> values;        // the expression's own values, where reason is 0
    std::vector<std::uint16_t> reason; // 0: a value; n: no value, for reasons[n - 1]
    std::vector<ScriptError> reasons;  // the evaluator's complaints, each kept once
};

// The values of the function slots that hold text at the rows of a range.
class ValueTable {
public:
    ValueTable() = default;
    // The axes as settings and state have them now; functions: (slot number, expression) in slot
    // order; rows as CountTableRows gave it.
    ValueTable(const GraphSettings& settings, const GraphState& state, const TableRange& range,
               std::int64_t rows, std::vector<std::pair<int, QString>> functions);

    // Computes every cell, telling progress how far it got every few thousand rows. False when
    // progress asked to stop: the table is then incomplete.
    bool Compute(ScriptEvaluator& evaluator, Progress* progress);

    // The values the parameters have for the table; the computation and the search for feature
    // points give them to their evaluator first.
    void SetParameters(ParameterValues values) { m_parameters = std::move(values); }
    const ParameterValues& Parameters() const { return m_parameters; }

    std::int64_t Rows() const { return m_rows; }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    const TableRange& Range() const { return m_range; }
    const AxisMapping& Mapping() const { return m_mapping; }
    const QString& XUnit() const { return m_xUnit; }
    const QString& YUnit() const { return m_yUnit; }
    const TableColumn& Column(int column) const {
        return m_columns[static_cast<std::size_t>(column)];
    }

    double X(std::int64_t row) const { return TableX(m_range, row); }
    // The expression's own value at a row, and the same in the Y axis's unit (degrees for
    // "deg", multiples of π for "π"), as the curve's row is placed.
    std::optional<double> RawValue(std::int64_t row, int column) const;
    std::optional<double> Value(std::int64_t row, int column) const;
    // The evaluator's complaint where a cell has no value; nullptr where it has one.
    const ScriptError* Reason(std::int64_t row, int column) const;

private:
    AxisMapping m_mapping{GraphSettings{}, GraphState{}};
    QString m_xUnit = PlainUnitName;
    QString m_yUnit = PlainUnitName;
    TableRange m_range;
    std::int64_t m_rows = 0;
    std::vector<TableColumn> m_columns;
    ParameterValues m_parameters;
};

// The table as text for other programs: a header line, then one line per row, cells separated by
// separator, each number in the shortest form that reads back as the same double, an empty cell
// where there is no value. titles are the header's cells (quoted when they hold the separator, a
// quotation mark or a line break); lineEnd ends every line.
std::string TableText(const ValueTable& table, const std::vector<std::string>& titles,
                      char separator, std::string_view lineEnd);
// One row's line, without its end.
std::string TableLine(const ValueTable& table, std::int64_t row, char separator);

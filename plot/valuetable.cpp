#include "plot/valuetable.h"

#include "platform/progress.h"
#include "script/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

bool Passed(const TableRange& range, double x) {
    return range.step > 0 ? x > range.to : x < range.to;
}

std::string Quoted(const std::string& cell, char separator) {
    if (cell.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

// Two complaints the user is told alike (the place in the text aside).
bool Same(const ScriptError& a, const ScriptError& b) {
    return a.code == b.code && a.name == b.name && a.description == b.description &&
           a.hint == b.hint;
}

} // namespace

TableRowCount CountTableRows(const TableRange& range) {
    const double span = range.to - range.from;
    if (!std::isfinite(range.from) || !std::isfinite(range.to) || !std::isfinite(range.step) ||
        !std::isfinite(span)) {
        return {TableRangeProblem::NotFinite, 0};
    }
    if (range.step == 0.0) {
        return {TableRangeProblem::ZeroStep, 0};
    }
    // One x is one row, whatever the step: the count below would divide by it.
    if (span == 0.0) {
        return {TableRangeProblem::None, 1};
    }
    if ((span > 0) != (range.step > 0)) {
        return {TableRangeProblem::WrongSign, 0};
    }
    const double steps = span / range.step;
    if (!(steps < static_cast<double>(MaxTableRows) + 2.0)) {
        return {TableRangeProblem::TooManyRows, 0};
    }
    // A step below what 15 digits of x can tell apart would list the same x again and again.
    if (TableX(range, 1) == TableX(range, 0)) {
        return {TableRangeProblem::StepTooFine, 0};
    }
    // The division is a first guess; which rows are in is decided on the rounded x itself.
    auto rows = static_cast<std::int64_t>(std::floor(steps)) + 1;
    while (rows > 1 && Passed(range, TableX(range, rows - 1))) {
        --rows;
    }
    while (rows <= MaxTableRows && !Passed(range, TableX(range, rows))) {
        ++rows;
    }
    if (rows > MaxTableRows) {
        return {TableRangeProblem::TooManyRows, 0};
    }
    if (rows > 1 && TableX(range, rows - 1) == TableX(range, rows - 2)) {
        return {TableRangeProblem::StepTooFine, 0};
    }
    return {TableRangeProblem::None, rows};
}

double TableX(const TableRange& range, std::int64_t row) {
    return RoundToGeneral(range.from + static_cast<double>(row) * range.step);
}

AxisFunction::AxisFunction(ScriptEvaluator& evaluator, const AxisMapping& mapping,
                           std::string_view expression)
    : m_mapping(mapping), m_prepared(evaluator, expression) {}

std::optional<double> AxisFunction::Raw(double axisX, ScriptError* why) {
    return m_prepared.Evaluate(Pi, m_mapping.ExpressionX(axisX), why);
}

ValueTable::ValueTable(const GraphSettings& settings, const GraphState& state,
                       const TableRange& range, std::int64_t rows,
                       std::vector<std::pair<int, QString>> functions)
    : m_mapping(settings, state), m_xUnit(state.XUnitName), m_yUnit(state.YUnitName),
      m_range(range), m_rows(std::max<std::int64_t>(rows, 0)) {
    for (auto& [slot, expression] : functions) {
        TableColumn column;
        column.slot = slot;
        column.expression = std::move(expression);
        m_columns.push_back(std::move(column));
    }
}

bool ValueTable::Compute(ScriptEvaluator& evaluator, Progress* progress) {
    const auto rows = static_cast<std::size_t>(m_rows);
    const std::int64_t total = m_rows * ColumnCount();
    std::int64_t done = 0;
    SetParameterValues(evaluator, m_parameters);
    for (TableColumn& column : m_columns) {
        column.values.assign(rows, 0.0);
        column.reason.assign(rows, 0);
        column.reasons.clear();
        AxisFunction function(evaluator, m_mapping, column.expression.toStdString());
        ScriptError why;
        for (std::int64_t row = 0; row < m_rows; ++row) {
            const auto at = static_cast<std::size_t>(row);
            if (const std::optional<double> y = function.Raw(X(row), &why)) {
                column.values[at] = *y;
            } else {
                // The same few reasons repeat over a column; each is kept once.
                auto known = std::find_if(column.reasons.begin(), column.reasons.end(),
                                          [&](const ScriptError& kept) { return Same(kept, why); });
                if (known == column.reasons.end()) {
                    if (column.reasons.size() < 0xFFFE) {
                        column.reasons.push_back(why);
                    }
                    known = column.reasons.end() - 1;
                }
                column.reason[at] = static_cast<std::uint16_t>(known - column.reasons.begin() + 1);
            }
            // Told after every value: a slow expression shows its progress and stops at once.
            ++done;
            if (progress != nullptr && !progress->Advance(done, total)) {
                return false;
            }
        }
    }
    if (progress != nullptr) {
        progress->Advance(total, total);
    }
    return true;
}

std::optional<double> ValueTable::RawValue(std::int64_t row, int column) const {
    const TableColumn& c = Column(column);
    const auto at = static_cast<std::size_t>(row);
    if (at >= c.reason.size() || c.reason[at] != 0) {
        return std::nullopt;
    }
    return c.values[at];
}

std::optional<double> ValueTable::Value(std::int64_t row, int column) const {
    const std::optional<double> raw = RawValue(row, column);
    if (!raw) {
        return std::nullopt;
    }
    return m_mapping.AxisY(*raw);
}

const ScriptError* ValueTable::Reason(std::int64_t row, int column) const {
    const TableColumn& c = Column(column);
    const auto at = static_cast<std::size_t>(row);
    if (at >= c.reason.size() || c.reason[at] == 0) {
        return nullptr;
    }
    return &c.reasons[c.reason[at] - 1u];
}

std::string TableLine(const ValueTable& table, std::int64_t row, char separator) {
    std::string line = FormatShortest(table.X(row));
    for (int column = 0; column < table.ColumnCount(); ++column) {
        line += separator;
        if (const std::optional<double> y = table.Value(row, column)) {
            line += FormatShortest(*y);
        }
    }
    return line;
}

std::string TableText(const ValueTable& table, const std::vector<std::string>& titles,
                      char separator, std::string_view lineEnd) {
    std::string text;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (i > 0) {
            text += separator;
        }
        text += Quoted(titles[i], separator);
    }
    text += lineEnd;
    for (std::int64_t row = 0; row < table.Rows(); ++row) {
        text += TableLine(table, row, separator);
        text += lineEnd;
    }
    return text;
}

#include "plot/sampling.h"

#include "graph/mapping.h"
#include "platform/progress.h"
#include "plot/calculus.h"
#include "plot/evaluate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// The walk over the sheet's columns that every sampling shares: value gives the row's value at x
// (or nothing, with the reason when asked for one).
template <typename Value>
SampleReport SampleColumnsWith(const GraphSettings& settings, GraphState& state, int slot,
                               const QString& expression, PreparedExpression& prepared,
                               Progress* progress, Value value) {
    SampleReport report;
    report.expression = expression;

    const SampleColumns range = SampledColumns(settings, state);
    // The columns first, so that progress knows the whole from the start.
    std::vector<std::pair<float, int>> columns; // the position sampled and its table column
    for (float c = range.start; c <= range.end; c += 1.0f) {
        const int column = RoundToWhole(c);
        if (state.PlotValues.HasColumn(column)) {
            columns.emplace_back(c, column);
        }
    }
    report.columns = static_cast<int>(columns.size());
    const auto total = static_cast<std::int64_t>(columns.size());

    const float noValue = state.NoValueMark();
    const AxisMapping mapping(settings, state);
    // Stopped by the user: what is left has no value rather than a stale one.
    const auto stopAt = [&](std::size_t i) {
        report.cancelled = true;
        report.stoppedAtColumn = columns[i].second;
        report.emptyVariables = prepared.EmptyVariables();
        for (std::size_t rest = i; rest < columns.size(); ++rest) {
            state.PlotValues.Set(slot, columns[rest].second, noValue);
        }
    };
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (progress != nullptr && i > 0 &&
            !progress->Advance(static_cast<std::int64_t>(i), total)) {
            stopAt(i);
            return report;
        }
        const auto [c, column] = columns[i];
        const std::optional<double> x = mapping.ValueAtColumn(c);
        if (!x) {
            // The column stands for no value: a spacing of 0 divides by zero.
            if (report.firstError.code == script::ErrorCode::None) {
                report.firstError.code = script::ErrorCode::DivisionByZero;
                report.firstError.description = script::Describe(report.firstError.code);
            }
            state.PlotValues.Set(slot, column, noValue);
            continue;
        }
        // Only the first complaint is kept; asking for the others would cost every column.
        ScriptError* error =
            report.firstError.code == script::ErrorCode::None ? &report.firstError : nullptr;
        const std::optional<double> y = value(*x, error);
        if (!y && progress != nullptr && progress->StopAsked()) {
            // The stop came inside this column's evaluation, which is then not computed either.
            if (error != nullptr) {
                *error = ScriptError();
            }
            stopAt(i);
            return report;
        }
        state.PlotValues.Set(slot, column, y ? mapping.RowOfValue(*y) : noValue);
        report.withValue += y ? 1 : 0;
    }
    if (progress != nullptr && total > 0) {
        progress->Advance(total, total);
    }
    if (total > 0) {
        // Asked once, after the columns: x and pi hold values by now.
        report.emptyVariables = prepared.EmptyVariables();
    }
    return report;
}

} // namespace

SampleReport SampleFunction(ScriptEvaluator& evaluator, const GraphSettings& settings,
                            GraphState& state, int slot, const QString& expression,
                            Progress* progress) {
    PreparedExpression prepared(evaluator, expression.toStdString());
    return SampleColumnsWith(
        settings, state, slot, expression, prepared, progress,
        [&](double x, ScriptError* error) { return prepared.Evaluate(Pi, x, error); });
}

SampleReport SampleDerivative(ScriptEvaluator& evaluator, const GraphSettings& settings,
                              GraphState& state, int slot, const QString& expression,
                              Progress* progress) {
    PreparedExpression prepared(evaluator, expression.toStdString());
    const FunctionOfX f = ExpressionFunction(prepared);
    const double step = SlopeStep(settings, state);
    return SampleColumnsWith(settings, state, slot, expression, prepared, progress,
                             [&](double x, ScriptError*) -> std::optional<double> {
                                 const Slope slope = SlopeAt(f, x, step);
                                 if (slope.problem != SlopeProblem::None) {
                                     return std::nullopt;
                                 }
                                 return slope.value;
                             });
}

double SlopeStep(const GraphSettings& settings, const GraphState& state) {
    const AxisMapping mapping(settings, state);
    const std::optional<double> x0 = mapping.ValueAtColumn(0.0);
    const std::optional<double> x1 = mapping.ValueAtColumn(1.0);
    const double step = x0 && x1 ? 2.0 * std::fabs(*x1 - *x0) : 0.0;
    return std::isfinite(step) && step > 0.0 ? step : 0.5;
}

std::int32_t ChrCount(const QString& text, const QString& pattern) {
    if (text.isEmpty()) {
        return 0;
    }
    std::int32_t count = 0;
    qsizetype position = 0; // one past the start of the last match
    while (position < text.size()) {
        const qsizetype found = text.indexOf(pattern, position, Qt::CaseSensitive);
        if (found < 0) {
            break;
        }
        position = found + 1;
        ++count;
    }
    return count;
}

bool BracketsMatch(const QString& text) {
    return ChrCount(text, QStringLiteral("(")) == ChrCount(text, QStringLiteral(")"));
}

namespace {

// The columns from 0 to last on the side of the origin the settings choose (XSide), in single
// precision like the origin they may start or end at.
SampleColumns SideOfOrigin(const GraphSettings& settings, float last) {
    SampleColumns side{0.0f, last};
    if (settings.XSide == 1) {
        side.start = settings.OriginX;
    } else if (settings.XSide == -1) {
        side.end = settings.OriginX;
    }
    return side;
}

// Columns left of the sheet have no entry: a walk jumps to the first that may, keeping the
// fraction of a one-sided range.
float FirstOnSheet(float start) {
    return start < -1.0f ? start - std::floor(start) - 1.0f : start;
}

} // namespace

SampleColumns SampledColumns(const GraphSettings& settings, const GraphState& state) {
    const auto [start, end] = SideOfOrigin(settings, state.GraphWidthPx);
    if (!std::isfinite(start) || !std::isfinite(end)) {
        return {};
    }
    // None beyond the table is computed.
    return {FirstOnSheet(start),
            std::min(end, static_cast<float>(state.PlotValues.LastColumn()) + 0.5f)};
}

SampleColumns DrawnColumns(const GraphSettings& settings, const GraphState& state) {
    const auto [start, end] = SideOfOrigin(settings, state.GraphWidthPx - 1.0f);
    if (!std::isfinite(start) || !std::isfinite(end)) {
        return {};
    }
    return {FirstOnSheet(start), std::min(end, state.GraphWidthPx)};
}

std::optional<float> SampledColumnAt(const GraphSettings& settings, const GraphState& state,
                                     int pixel) {
    const SampleColumns columns = SampledColumns(settings, state);
    // The same single-precision walk as the sampling's, so the column is bit for bit its own.
    // Two columns can land on one pixel (x.5 rounds to even): the later one's value stays.
    std::optional<float> found;
    for (float c = columns.start; c <= columns.end; c += 1.0f) {
        const int column = RoundToWhole(c);
        if (column == pixel) {
            found = c;
        } else if (column > pixel) {
            break;
        }
    }
    return found;
}

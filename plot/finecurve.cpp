#include "plot/finecurve.h"

#include "graph/mapping.h"
#include "platform/progress.h"
#include "plot/calculus.h"
#include "plot/evaluate.h"
#include "plot/sampling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

struct Sample {
    double column;
    float row;
    bool hasValue;
};

// Halving a piece stops here: far below any device pixel, and still well inside the precision of
// a double column.
constexpr int DeepestHalving = 40;
// A piece whose ends lie more rows apart than this is halved.
constexpr double SteepRows = 1.0;

class FineSampler {
public:
    FineSampler(ScriptEvaluator& evaluator, const GraphSettings& settings, const GraphState& state,
                const QString& expression, CurveOf of, std::int64_t budget)
        : m_mapping(settings, state), m_prepared(evaluator, expression.toStdString()),
          m_function(ExpressionFunction(m_prepared)), m_of(of),
          m_slopeStep(of == CurveOf::Slope ? SlopeStep(settings, state) : 0.0),
          m_height(state.GraphHeightPx), m_budget(budget) {}

    Sample At(double column) {
        const std::optional<double> x = m_mapping.ValueAtColumn(column);
        if (!x) {
            return {column, 0.0f, false};
        }
        std::optional<double> y;
        if (m_of == CurveOf::Slope) {
            const Slope slope = SlopeAt(m_function, *x, m_slopeStep);
            if (slope.problem == SlopeProblem::None) {
                y = slope.value;
            }
        } else {
            y = m_prepared.Evaluate(Pi, *x);
        }
        if (!y) {
            return {column, 0.0f, false};
        }
        return {column, m_mapping.RowOfValue(*y), true};
    }

    // The piece from a to b, as the sheet draws a piece between two columns: nothing next to a
    // point without a value, nothing wholly above or below the sheet, nothing across the whole
    // sheet; a steep piece is looked at more closely first.
    void Piece(const Sample& a, const Sample& b, int depth) {
        if (!a.hasValue || !b.hasValue) {
            Lift();
            return;
        }
        const float h = m_height;
        if ((a.row < 0 && b.row < 0) || (a.row >= h && b.row >= h) || (a.row < 0 && b.row >= h) ||
            (a.row >= h && b.row < 0)) {
            Lift();
            return;
        }
        if (std::fabs(static_cast<double>(b.row) - a.row) > SteepRows && depth < DeepestHalving &&
            m_budget > 0) {
            --m_budget;
            const Sample middle = At((a.column + b.column) / 2.0);
            Piece(a, middle, depth + 1);
            Piece(middle, b, depth + 1);
            return;
        }
        if (!m_penDown) {
            m_runs.push_back({QPointF(a.column, a.row)});
            m_penDown = true;
        }
        m_runs.back().push_back(QPointF(b.column, b.row));
    }

    void Lift() { m_penDown = false; }
    CurveRuns Take() { return std::move(m_runs); }

private:
    AxisMapping m_mapping;
    PreparedExpression m_prepared;
    FunctionOfX m_function;
    CurveOf m_of;
    double m_slopeStep;
    float m_height;
    std::int64_t m_budget;
    bool m_penDown = false;
    CurveRuns m_runs;
};

} // namespace

CurveRuns SampleCurveFinely(ScriptEvaluator& evaluator, const GraphSettings& settings,
                            const GraphState& state, const QString& expression, int stepsPerColumn,
                            Progress* progress, CurveOf of) {
    stepsPerColumn = std::clamp(stepsPerColumn, 1, 256);
    // The columns the sheet's curve covers, with the same skip of columns left of the sheet.
    const auto [start, end] = DrawnColumns(settings, state);
    if (!(end - 1.0f >= start)) {
        return {};
    }
    // Whole column pieces, as the sheet's loop counts them.
    const auto pieces = static_cast<std::int64_t>(std::floor(end - 1.0f - start)) + 1;
    const std::int64_t points = pieces * stepsPerColumn;
    // Closer looks at steep pieces: plenty for every pole of tan or 1/x on a sheet, few enough
    // that an expression steep everywhere costs a few times the plain sampling at most.
    FineSampler sampler(evaluator, settings, state, expression, of, 8 * points + 4096);
    Sample previous = sampler.At(start);
    for (std::int64_t i = 1; i <= points; ++i) {
        // Whole columns land exactly on the columns the sheet sampled.
        const std::int64_t whole = i / stepsPerColumn;
        const std::int64_t part = i % stepsPerColumn;
        const double column = static_cast<double>(start) + static_cast<double>(whole) +
                              static_cast<double>(part) / stepsPerColumn;
        const Sample next = sampler.At(column);
        sampler.Piece(previous, next, 0);
        previous = next;
        if (progress != nullptr && !progress->Advance(i, points)) {
            break;
        }
    }
    return sampler.Take();
}

namespace {

// The distance of p from the line through a and b (from a when they coincide).
double Deviation(const QPointF& p, const QPointF& a, const QPointF& b) {
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0.0) {
        return std::hypot(p.x() - a.x(), p.y() - a.y());
    }
    return std::fabs(d.x() * (a.y() - p.y()) - d.y() * (a.x() - p.x())) / length;
}

} // namespace

void SimplifyRuns(CurveRuns& runs, double tolerance) {
    // Douglas and Peucker's reduction, without recursion: a stretch keeps its farthest point
    // when that lies beyond the tolerance, and is then looked at as two.
    std::vector<std::pair<std::size_t, std::size_t>> stretches;
    for (std::vector<QPointF>& run : runs) {
        if (run.size() < 3) {
            continue;
        }
        std::vector<char> keep(run.size(), 0);
        keep.front() = keep.back() = 1;
        stretches.assign(1, {0, run.size() - 1});
        while (!stretches.empty()) {
            const auto [from, to] = stretches.back();
            stretches.pop_back();
            double farthest = 0.0;
            std::size_t at = from;
            for (std::size_t i = from + 1; i < to; ++i) {
                const double deviation = Deviation(run[i], run[from], run[to]);
                if (deviation > farthest) {
                    farthest = deviation;
                    at = i;
                }
            }
            if (farthest > tolerance) {
                keep[at] = 1;
                stretches.push_back({from, at});
                stretches.push_back({at, to});
            }
        }
        std::size_t kept = 0;
        for (std::size_t i = 0; i < run.size(); ++i) {
            if (keep[i] != 0) {
                run[kept++] = run[i];
            }
        }
        run.resize(kept);
    }
}

int StepsPerColumnFor(double dotsPerInch) {
    if (!(dotsPerInch > 96.0)) {
        return 1;
    }
    return static_cast<int>(std::ceil(std::min(dotsPerInch, 96.0 * 256) / 96.0));
}

#include "plot/calculus.h"

#include "graph/graphsettings.h"
#include "platform/progress.h"
#include "plot/evaluate.h"
#include "script/number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

FunctionOfX ExpressionFunction(PreparedExpression& prepared) {
    return [&prepared](double x) -> std::optional<double> {
        const std::optional<double> y = prepared.Evaluate(Pi, x);
        if (!y || !std::isfinite(*y)) {
            return std::nullopt;
        }
        return y;
    };
}

namespace {

// ---- Slopes ---------------------------------------------------------------------------------

constexpr double Epsilon = std::numeric_limits<double>::epsilon();
// Halvings of the step in the difference tables: from two columns down to a millionth of that.
constexpr int MaxLevels = 21;
// A table runs over at least this many steps before it may stop: the first extrapolations can
// agree by chance, when two powers of the step happen to cancel or the steps keep in time with an
// oscillation.
constexpr int MinLevels = 8;
// Halvings of the first step to find values on both sides of x: down to a billionth of it.
constexpr int MaxShrink = 30;

// Neville's table of difference quotients as their step halves, extrapolated towards a step of 0.
// The error of a central quotient runs in even powers of the step, that of a one-sided one in all
// powers; each new column removes the next power. The entry whose neighbours agree best is kept,
// with their spread as its error. When the table's diagonal strays by more than twice that
// spread, either rounding now rules the quotients (the stray is of the size rounding makes): the
// table stops; or the quotients really changed, as when the first steps reached across a pole, a
// bend much sharper than they are, or an oscillation they happened to keep in step with: the
// table starts afresh from the present step, its earlier entries forgotten.
class Extrapolation {
public:
    Extrapolation(bool evenPowers, double settled)
        : m_ratio(evenPowers ? 4.0 : 2.0), m_settled(settled) {}

    // noise: how much rounding may move the quotient.
    void Add(double quotient, double noise) {
        if (m_stopped) {
            return;
        }
        std::array<double, MaxLevels> row{};
        row[0] = quotient;
        double power = m_ratio;
        for (int j = 1; j <= m_levels; ++j, power *= m_ratio) {
            row[j] = row[j - 1] + (row[j - 1] - m_previous[j - 1]) / (power - 1.0);
            const double spread =
                std::max(std::fabs(row[j] - row[j - 1]), std::fabs(row[j] - m_previous[j - 1]));
            if (spread <= m_error) {
                m_error = spread;
                m_best = row[j];
            }
        }
        if (m_levels > 0) {
            const double stray = std::fabs(row[m_levels] - m_previous[m_levels - 1]);
            if (!(stray < 2.0 * m_error)) {
                if (!(stray <= 1000.0 * noise)) {
                    m_levels = 0;
                    m_best = quotient;
                    m_error = std::numeric_limits<double>::infinity();
                } else if (m_added + 1 >= MinLevels) {
                    m_stopped = true;
                }
            }
        }
        m_previous = row;
        ++m_levels;
        ++m_added;
    }

    bool Stopped() const { return m_stopped; }
    double Best() const { return m_best; }
    double Error() const { return m_error; }

    // Settled: extrapolated at least once, to within its relative bound plus an absolute floor.
    bool Settled(double floor) const {
        return std::isfinite(m_best) && m_error <= m_settled * std::fabs(m_best) + floor;
    }

private:
    double m_ratio;
    double m_settled;
    std::array<double, MaxLevels> m_previous{};
    int m_levels = 0;
    int m_added = 0;
    double m_best = 0.0;
    double m_error = std::numeric_limits<double>::infinity();
    bool m_stopped = false;
};

// The largest of the function's magnitudes seen, for tolerances in its own scale.
double Larger(double a, double b) {
    return std::max(std::fabs(a), std::fabs(b));
}

// The parting of the slopes left and right that is a corner's: beyond a millionth of the slope
// and the rounding of the function's values.
double Unexplained(double slope, double floor) {
    return 1e-6 * std::fabs(slope) + 100.0 * floor;
}

} // namespace

Slope SlopeAt(const FunctionOfX& f, double x, double step) {
    Slope slope;
    const double x0 = RoundToGeneral(x);
    const std::optional<double> f0 = f(x0);
    if (!std::isfinite(x0) || !f0) {
        slope.problem = SlopeProblem::NoValue;
        return slope;
    }
    slope.y = *f0;
    // No wider than half of x's own size (a coarse sheet's two columns can reach past the bends
    // of a function near x), and no narrower than a millionth of it, which would vanish in the
    // 15 digits x is given with.
    double h = std::clamp(std::fabs(step), std::fabs(x0) * 1e-6, std::max(std::fabs(x0), 1.0) / 2);
    if (!(h > 0.0) || !std::isfinite(h)) {
        h = 1.0;
    }

    // Values on both sides, as close as it takes; where it took a closer look, closer still, so
    // that the steps stay well inside the part where the function has values.
    double xm = 0.0;
    double xp = 0.0;
    std::optional<double> fm;
    std::optional<double> fp;
    for (int shrink = 0;; ++shrink) {
        xm = RoundToGeneral(x0 - h);
        xp = RoundToGeneral(x0 + h);
        fm = f(xm);
        fp = f(xp);
        if (fm && fp && xm < x0 && x0 < xp) {
            if (shrink > 0) {
                h /= 8.0;
                xm = RoundToGeneral(x0 - h);
                xp = RoundToGeneral(x0 + h);
                fm = f(xm);
                fp = f(xp);
                if (!fm || !fp || !(xm < x0 && x0 < xp)) {
                    slope.problem = SlopeProblem::NoValueNearby;
                    return slope;
                }
            }
            break;
        }
        if (shrink == MaxShrink) {
            slope.problem = SlopeProblem::NoValueNearby;
            return slope;
        }
        h /= 2.0;
    }
    // Slopes are measured against what the function does over the first step.
    const double scale = Larger(Larger(*f0, *fm), *fp) / h;
    const double floor = 1e-10 * scale;

    // About 10 significant digits from the central quotients, whose error runs in even powers of
    // the step where the function is smooth; in all powers where it is smooth only once (x*abs(x)
    // at 0).
    Extrapolation central(true, 1e-7);
    Extrapolation once(false, 1e-7);
    // How far the slopes from the left and from the right part: their difference, (f(x+h) -
    // 2 f(x) + f(x-h)) / h, runs in odd powers of the step where the function is smooth, so that
    // one extrapolation step leaves a remainder in the cube of the step; at a corner it stays at
    // the difference of the two slopes, at a jump it grows as the step shrinks. The smallest
    // remainder of all steps is what the step cannot explain.
    double part = std::numeric_limits<double>::infinity();
    double previousPart = 0.0;
    for (int level = 0; level < MaxLevels; ++level) {
        if (level > 0) {
            h /= 2.0;
            xm = RoundToGeneral(x0 - h);
            xp = RoundToGeneral(x0 + h);
            if (!(xm < x0 && x0 < xp)) {
                break; // the step is below the digits of x
            }
            fm = f(xm);
            fp = f(xp);
            if (!fm || !fp) {
                // Values missing closer in than where they were found: no steady slope.
                if (level < 2) {
                    slope.problem = SlopeProblem::NoValueNearby;
                    return slope;
                }
                break;
            }
        }
        const double quotient = (*fp - *fm) / (xp - xm);
        const double noise = 64.0 * Epsilon * Larger(Larger(*f0, *fm), *fp) / (xp - xm);
        central.Add(quotient, noise);
        once.Add(quotient, noise);
        const double parting = (*fp - *f0) / (xp - x0) - (*f0 - *fm) / (x0 - xm);
        if (level > 0) {
            part = std::min(part, std::fabs(2.0 * parting - previousPart));
        }
        previousPart = parting;
        // A corner is told only by the finest steps: they go on until the parting is explained.
        if (central.Stopped() && once.Stopped() && level + 1 >= MinLevels &&
            part <= Unexplained(central.Best(), floor)) {
            break;
        }
    }

    const bool settled = central.Settled(floor);
    const Extrapolation& best = settled ? central : once;
    if (!(part <= Unexplained(best.Best(), floor))) {
        slope.problem = SlopeProblem::Corner;
        return slope;
    }
    if (!settled && !once.Settled(floor)) {
        slope.problem = SlopeProblem::NotSettled;
        return slope;
    }
    slope.value = best.Best();
    slope.error = best.Error();
    return slope;
}

// ---- Integrals ------------------------------------------------------------------------------

namespace {

// Nodes of the 15-point Kronrod rule on [-1, 1] (the positive half; the last is the centre),
// its weights, and the weights of the 7-point Gauss rule at the odd nodes.
constexpr std::array<double, 8> KronrodNodes = {
    0.991455371120812639206854697526329, 0.949107912342758524526189684047851,
    0.864864423359769072789712788640926, 0.741531185599394439863864773280788,
    0.586087235467691130294144845693013, 0.405845151377397166906606412076961,
    0.207784955007898467600689403773245, 0.0};
constexpr std::array<double, 8> KronrodWeights = {
    0.022935322010529224963732008058970, 0.063092092629978553290700663189204,
    0.104790010322250183839876322541518, 0.140653259715525918745189590510238,
    0.169004726639267902826583426598550, 0.190350578064785409913256402421014,
    0.204432940075298892414161999234649, 0.209482141084727828012999174891714};
constexpr std::array<double, 4> GaussWeights = {
    0.129484966168869693270611432679082, 0.279705391489276667901467771423780,
    0.381830050505118944950369775488975, 0.417959183673469387755102040816327};

constexpr double TargetDigits = 1e-12;   // the error sought, relative to the value
constexpr double ReducedDigits = 1e-6;   // what is still given at an integrable singularity
constexpr double NarrowestPiece = 1e-15; // relative to the range
constexpr int MaxPieces = 4000;

struct Piece {
    double a = 0.0;
    double b = 0.0;
    double value = 0.0;
    double error = 0.0;
    double absolute = 0.0; // ∫ |f| by the same rule, for tolerances where the value is near 0
};

bool LessError(const Piece& p, const Piece& q) {
    return p.error < q.error;
}

class Quadrature {
public:
    explicit Quadrature(const FunctionOfX& f) : m_f(f) {}

    // The 15-point rule on [a, b] with its error, as QUADPACK's QK15 estimates it; nothing when
    // a node has no value (where receives it).
    std::optional<Piece> Rule(double a, double b, double& where) {
        const double centre = 0.5 * (a + b);
        const double half = 0.5 * (b - a);
        // The centre first (a range symmetric about a pole meets it at once), then each node
        // below and above it.
        std::array<double, 15> values{};
        for (std::size_t n = 0; n < values.size(); ++n) {
            const double offset = n == 0 ? 0.0 : half * KronrodNodes[(n - 1) / 2];
            const double x = n % 2 == 1 ? centre - offset : centre + offset;
            const std::optional<double> y = m_f(x);
            ++m_evaluations;
            if (!y) {
                where = x;
                return std::nullopt;
            }
            values[n] = *y;
        }
        const auto lower = [&](int node) { return values[static_cast<std::size_t>(1 + 2 * node)]; };
        const auto upper = [&](int node) { return values[static_cast<std::size_t>(2 + 2 * node)]; };
        const double fc = values[0];
        double kronrod = KronrodWeights[7] * fc;
        double gauss = GaussWeights[3] * fc;
        double absolute = std::fabs(kronrod);
        for (int node = 0; node < 7; ++node) {
            const double sum = lower(node) + upper(node);
            const auto w = KronrodWeights[static_cast<std::size_t>(node)];
            kronrod += w * sum;
            absolute += w * (std::fabs(lower(node)) + std::fabs(upper(node)));
            if (node % 2 == 1) {
                gauss += GaussWeights[static_cast<std::size_t>(node / 2)] * sum;
            }
        }
        const double mean = kronrod * 0.5;
        double spread = KronrodWeights[7] * std::fabs(fc - mean);
        for (int node = 0; node < 7; ++node) {
            spread += KronrodWeights[static_cast<std::size_t>(node)] *
                      (std::fabs(lower(node) - mean) + std::fabs(upper(node) - mean));
        }
        const double width = std::fabs(half);
        Piece piece{a, b, kronrod * half, std::fabs((kronrod - gauss) * half), absolute * width};
        spread *= width;
        if (spread != 0.0 && piece.error != 0.0) {
            piece.error = spread * std::min(1.0, std::pow(200.0 * piece.error / spread, 1.5));
        }
        if (piece.absolute > std::numeric_limits<double>::min() / (50.0 * Epsilon)) {
            piece.error = std::max(50.0 * Epsilon * piece.absolute, piece.error);
        }
        if (!std::isfinite(piece.value) || !std::isfinite(piece.error)) {
            // Values too large to add up: as good as a pole.
            piece.error = std::numeric_limits<double>::infinity();
            piece.value = 0.0;
        }
        return piece;
    }

    int Evaluations() const { return m_evaluations; }

private:
    const FunctionOfX& m_f;
    int m_evaluations = 0;
};

} // namespace

Integral Integrate(const FunctionOfX& f, double a, double b, Progress* progress) {
    Integral result;
    if (!std::isfinite(a) || !std::isfinite(b)) {
        result.problem = IntegralProblem::NotConverging;
        result.at = std::isfinite(a) ? b : a;
        return result;
    }
    if (a == b) {
        return result;
    }
    const double sign = a < b ? 1.0 : -1.0;
    if (b < a) {
        std::swap(a, b);
    }
    Quadrature rule(f);
    double where = 0.0;
    const std::optional<Piece> whole = rule.Rule(a, b, where);
    if (!whole) {
        result.problem = IntegralProblem::NoValue;
        result.at = where;
        result.evaluations = rule.Evaluations();
        return result;
    }
    const double narrowest = NarrowestPiece * (b - a);
    std::vector<Piece> open{*whole}; // a heap by error
    std::vector<Piece> settled;      // pieces too narrow to halve
    const auto sums = [&](double& value, double& error, double& absolute) {
        value = error = absolute = 0.0;
        for (const std::vector<Piece>* list : {&open, &settled}) {
            for (const Piece& p : *list) {
                value += p.value;
                error += p.error;
                absolute += p.absolute;
            }
        }
    };
    double value = whole->value;
    double error = whole->error;
    double absolute = whole->absolute;
    const std::int64_t budget = static_cast<std::int64_t>(MaxPieces) * 30;
    int halvings = 0;
    double settledError = 0.0;
    while (!open.empty() && static_cast<int>(open.size() + settled.size()) < MaxPieces) {
        const double tolerance =
            std::max(TargetDigits * std::fabs(value), 50.0 * Epsilon * absolute);
        // Done; or the rest is as good as it gets, and what is left lies in pieces too narrow to
        // halve.
        if (error <= tolerance || error - settledError <= tolerance) {
            break;
        }
        std::pop_heap(open.begin(), open.end(), LessError);
        const Piece worst = open.back();
        open.pop_back();
        const double middle = 0.5 * (worst.a + worst.b);
        if (worst.b - worst.a < narrowest || !(worst.a < middle && middle < worst.b)) {
            settled.push_back(worst);
            settledError += worst.error;
            continue;
        }
        const std::optional<Piece> first = rule.Rule(worst.a, middle, where);
        const std::optional<Piece> second =
            first ? rule.Rule(middle, worst.b, where) : std::optional<Piece>{};
        if (!first || !second) {
            result.problem = IntegralProblem::NoValue;
            result.at = where;
            result.evaluations = rule.Evaluations();
            return result;
        }
        for (const Piece& p : {*first, *second}) {
            open.push_back(p);
            std::push_heap(open.begin(), open.end(), LessError);
        }
        // Running sums drift; they are added up afresh now and then.
        if (++halvings % 64 == 0) {
            sums(value, error, absolute);
        } else {
            value += first->value + second->value - worst.value;
            error += first->error + second->error - worst.error;
            absolute += first->absolute + second->absolute - worst.absolute;
        }
        if (progress != nullptr && halvings % 16 == 0 &&
            !progress->Advance(rule.Evaluations(), budget)) {
            result.problem = IntegralProblem::Cancelled;
            result.evaluations = rule.Evaluations();
            return result;
        }
    }
    sums(value, error, absolute);
    result.intervals = static_cast<int>(open.size() + settled.size());
    result.evaluations = rule.Evaluations();
    result.value = sign * value;
    result.error = error;
    const double floor = 50.0 * Epsilon * absolute;
    if (error <= std::max(TargetDigits * std::fabs(value), floor)) {
        return result;
    }
    if (std::isfinite(error) && error <= std::max(ReducedDigits * std::fabs(value), floor)) {
        result.reduced = true;
        return result;
    }
    // Where it would not settle: the piece with the largest error.
    const Piece* worst = nullptr;
    for (const std::vector<Piece>* list : {&open, &settled}) {
        for (const Piece& p : *list) {
            if (worst == nullptr || !(p.error <= worst->error)) {
                worst = &p;
            }
        }
    }
    result.problem = IntegralProblem::NotConverging;
    result.at = worst != nullptr ? 0.5 * (worst->a + worst->b) : a;
    return result;
}

#include "plot/features.h"

#include "platform/progress.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {

using Function = std::function<std::optional<double>(double)>;

// A series' values at the table's rows, read straight from the table's columns as they are
// needed (a million rows of six series would otherwise be copied for nothing).
struct Rows {
    const TableColumn* column = nullptr;
    const TableColumn* subtracted = nullptr; // the other column of a difference

    std::size_t size() const { return column->reason.size(); }
    std::optional<double> operator[](std::size_t k) const {
        if (column->reason[k] != 0) {
            return std::nullopt;
        }
        if (subtracted == nullptr) {
            return column->values[k];
        }
        if (subtracted->reason[k] != 0) {
            return std::nullopt;
        }
        return column->values[k] - subtracted->values[k];
    }
};

// The values a search works from: one function's column, or the difference of two.
struct Series {
    int slot = 0;
    int otherSlot = 0;     // set for a difference
    std::size_t first = 0; // the (first) function's index
    Function raw;          // the expression's own value (or the difference) at an x of the axis
    Rows rows;
};

struct Candidate {
    FeatureKind kind = FeatureKind::Zero;
    std::size_t series = 0;
    bool exact = false; // a row that is exactly 0: x is a
    double a = 0.0;     // the bracket, with the values at its ends
    double ga = 0.0;
    double b = 0.0;
    double gb = 0.0;
    double peak = 0.0;  // a turn: the value of its row(s)
    double reach = 0.0; // a turn: how far the values fall (or rise) from it to the next turns
    double curvature = 0.0;
};

// Narrows a bracket of opposite signs by halving. A zero is where the values on both sides keep
// shrinking in proportion to the bracket (measured from the tenth halving on, once the bracket is
// small enough to be nearly straight); at a jump they stay as they are, at a pole they grow.
std::optional<double> Bisect(const Function& g, double a, double ga, double b, double gb) {
    if (a > b) {
        std::swap(a, b);
        std::swap(ga, gb);
    }
    double w1 = b - a;
    double s1 = std::fabs(ga) + std::fabs(gb);
    for (int halving = 1; halving <= 200; ++halving) {
        const double m = a + (b - a) / 2;
        if (!(m > a && m < b)) {
            break;
        }
        const std::optional<double> gm = g(m);
        if (!gm) {
            return std::nullopt;
        }
        if (*gm == 0.0) {
            return m;
        }
        if (std::signbit(*gm) == std::signbit(ga)) {
            a = m;
            ga = *gm;
        } else {
            b = m;
            gb = *gm;
        }
        if (halving == 10) {
            w1 = b - a;
            s1 = std::fabs(ga) + std::fabs(gb);
        }
    }
    const double w2 = b - a;
    const double s2 = std::fabs(ga) + std::fabs(gb);
    if (!(s2 <= s1 * std::min(0.5, 100.0 * w2 / w1))) {
        return std::nullopt;
    }
    return std::fabs(ga) <= std::fabs(gb) ? a : b;
}

// The turning point of f between a and b, found by halving on the sign of its slope. The slope
// is the symmetric seven-point difference with spacing h: exact for polynomials up to the sixth
// degree and, being symmetric, zero exactly at the top of a symmetric peak.
std::optional<double> Turn(const Function& f, double a, double b, bool maximum, double h) {
    const auto slope = [&](double x) -> std::optional<double> {
        double sum = 0.0;
        for (const auto& [k, weight] :
             {std::pair{1, 45.0}, std::pair{2, -9.0}, std::pair{3, 1.0}}) {
            const std::optional<double> after = f(x + k * h);
            const std::optional<double> before = f(x - k * h);
            if (!after || !before) {
                return std::nullopt;
            }
            sum += weight * (*after - *before);
        }
        return sum / (60 * h);
    };
    const std::optional<double> da = slope(a);
    const std::optional<double> db = slope(b);
    if (!da || !db) {
        return std::nullopt;
    }
    // Rising into a maximum and falling out of it; the other way round for a minimum. A pole
    // between the rows (tan between 1 and 2) keeps the slope's sign.
    const bool rising = *da > 0;
    if (rising != maximum || (*db > 0) == maximum || *da == 0 || *db == 0) {
        return std::nullopt;
    }
    for (int halving = 0; halving < 200; ++halving) {
        const double m = a + (b - a) / 2;
        if (!(m > a && m < b)) {
            break;
        }
        const std::optional<double> dm = slope(m);
        if (!dm) {
            return std::nullopt;
        }
        if (*dm == 0.0) {
            return m;
        }
        if ((*dm > 0) == rising) {
            a = m;
        } else {
            b = m;
        }
    }
    return a + (b - a) / 2;
}

// The slope's spacing for a turn. The seven-point error falls with h^6 and the rounding noise
// grows with 1/h; both stay below 12 digits of x when h is about 1/200 of the distance L over
// which the function changes noticeably, estimated from the rows as sqrt(reach / curvature).
double SlopeSpacing(const Candidate& c) {
    const double width = std::fabs(c.b - c.a);
    const double scale = std::max(std::fabs(c.a), std::fabs(c.b));
    double h = width * 0.005;
    if (c.curvature > 0 && c.reach > 0) {
        const double length = std::sqrt(c.reach / c.curvature);
        if (std::isfinite(length)) {
            h = 0.005 * length;
        }
    }
    // Never below what 15 digits of x can resolve.
    return std::max(h, scale * 1e-9);
}

void ZeroCandidates(const std::vector<double>& xs, const Series& s, std::size_t index,
                    std::vector<Candidate>& out) {
    const FeatureKind kind = s.otherSlot != 0 ? FeatureKind::Intersection : FeatureKind::Zero;
    bool previousZero = false;
    for (std::size_t k = 0; k < s.rows.size(); ++k) {
        const std::optional<double> v = s.rows[k];
        if (!v) {
            previousZero = false;
            continue;
        }
        if (*v == 0.0) {
            // A run of zeros (two equal functions) is one point: where it starts.
            if (!previousZero) {
                Candidate c;
                c.kind = kind;
                c.series = index;
                c.exact = true;
                c.a = xs[k];
                out.push_back(c);
            }
            previousZero = true;
            continue;
        }
        previousZero = false;
        const std::optional<double> next = k + 1 < s.rows.size() ? s.rows[k + 1] : std::nullopt;
        if (next && *next != 0.0 && std::signbit(*v) != std::signbit(*next)) {
            Candidate c;
            c.kind = kind;
            c.series = index;
            c.a = xs[k];
            c.ga = *v;
            c.b = xs[k + 1];
            c.gb = *next;
            out.push_back(c);
        }
    }
}

// Rows lower or higher than both neighbours (a run of equal rows counting as one), with the
// values around them for the slope's spacing: how far the values go from the turn to the next
// turn or gap on either side, and the curvature of the three rows.
void TurnCandidates(const std::vector<double>& xs, const Series& s, std::size_t index,
                    std::vector<Candidate>& out) {
    const Rows& v = s.rows;
    const std::size_t from = out.size();
    std::vector<std::pair<std::size_t, std::size_t>> ends; // (first row, last row) of each run
    std::size_t k = 1;
    while (k + 1 < v.size()) {
        if (!v[k] || !v[k - 1]) {
            ++k;
            continue;
        }
        std::size_t j = k;
        while (j + 1 < v.size() && v[j + 1] && *v[j + 1] == *v[k]) {
            ++j;
        }
        if (j + 1 < v.size() && v[j + 1]) {
            const double before = *v[k - 1];
            const double after = *v[j + 1];
            const double here = *v[k];
            if ((before < here && after < here) || (before > here && after > here)) {
                Candidate c;
                c.kind = before < here ? FeatureKind::Maximum : FeatureKind::Minimum;
                c.series = index;
                c.a = xs[k - 1];
                c.ga = before;
                c.b = xs[j + 1];
                c.gb = after;
                c.peak = here;
                const double half = (xs[j + 1] - xs[k - 1]) / 2;
                c.curvature = std::fabs(before + after - 2 * here) / (half * half);
                out.push_back(c);
                ends.emplace_back(k, j);
            }
        }
        k = j + 1;
    }
    // Between two turns the values run one way; the reach is the larger of the two runs.
    const auto valued = [&](std::size_t row) { return row < v.size() && v[row].has_value(); };
    for (std::size_t i = 0; i < ends.size(); ++i) {
        Candidate& c = out[from + i];
        std::size_t left = ends[i].first;
        const std::size_t leftStop = i > 0 ? ends[i - 1].second : 0;
        while (left > leftStop && valued(left - 1)) {
            --left;
        }
        std::size_t right = ends[i].second;
        const std::size_t rightStop = i + 1 < ends.size() ? ends[i + 1].first : v.size() - 1;
        while (right < rightStop && valued(right + 1)) {
            ++right;
        }
        c.reach = std::max(std::fabs(*v[left] - c.peak), std::fabs(*v[right] - c.peak));
    }
}

} // namespace

std::optional<FeatureSearch> FindFeatures(const ValueTable& table, ScriptEvaluator& evaluator,
                                          Progress* progress) {
    SetParameterValues(evaluator, table.Parameters());
    const auto rows = static_cast<std::size_t>(table.Rows());
    std::vector<double> xs(rows);
    for (std::size_t k = 0; k < rows; ++k) {
        xs[k] = table.X(static_cast<std::int64_t>(k));
    }
    const AxisMapping& mapping = table.Mapping();

    // Each function once, shared by its own series and the differences it takes part in.
    std::vector<std::shared_ptr<AxisFunction>> functions;
    std::vector<Series> series;
    for (int c = 0; c < table.ColumnCount(); ++c) {
        auto function = std::make_shared<AxisFunction>(evaluator, mapping,
                                                       table.Column(c).expression.toStdString());
        functions.push_back(function);
        Series s;
        s.slot = table.Column(c).slot;
        s.first = functions.size() - 1;
        s.raw = [function](double x) { return function->Raw(x); };
        s.rows = {&table.Column(c), nullptr};
        series.push_back(std::move(s));
    }
    const std::size_t single = series.size();
    for (std::size_t i = 0; i < single; ++i) {
        for (std::size_t j = i + 1; j < single; ++j) {
            Series d;
            d.slot = series[i].slot;
            d.otherSlot = series[j].slot;
            d.first = i;
            const auto fi = functions[i];
            const auto fj = functions[j];
            d.raw = [fi, fj](double x) -> std::optional<double> {
                const std::optional<double> a = fi->Raw(x);
                const std::optional<double> b = fj->Raw(x);
                if (!a || !b) {
                    return std::nullopt;
                }
                return *a - *b;
            };
            d.rows = {series[i].rows.column, series[j].rows.column};
            series.push_back(std::move(d));
        }
    }

    // The turns of a difference are no points of their own, but one whose top crosses 0 between
    // rows of one sign hides two intersections, as a function's turn may hide two zeros.
    std::vector<Candidate> candidates;
    for (std::size_t s = 0; s < series.size(); ++s) {
        ZeroCandidates(xs, series[s], s, candidates);
        TurnCandidates(xs, series[s], s, candidates);
    }
    FeatureSearch result;
    if (candidates.size() > static_cast<std::size_t>(MaxFeatures)) {
        candidates.resize(static_cast<std::size_t>(MaxFeatures));
        result.truncated = true;
    }

    // Halving towards 0 never ends in a clean 0 (it reaches 1E-62); what lies that close to 0
    // against the numbers of the table or the function is 0.
    const TableRange& range = table.Range();
    const double xScale =
        std::max({std::fabs(range.from), std::fabs(range.to), std::fabs(range.step)});
    std::vector<double> yScale(single, 0.0);
    for (std::size_t i = 0; i < single; ++i) {
        for (std::size_t k = 0; k < rows; ++k) {
            if (const std::optional<double> v = series[i].rows[k]) {
                yScale[i] = std::max(yScale[i], std::fabs(*v));
            }
        }
    }
    const auto snapped = [](double value, double scale) {
        return std::fabs(value) < 1e-13 * scale ? 0.0 : value;
    };
    const auto total = static_cast<std::int64_t>(candidates.size());
    std::int64_t done = 0;
    const auto add = [&](FeatureKind kind, const Series& s, double x, std::optional<double> y) {
        Feature f;
        f.kind = kind;
        f.slot = s.slot;
        f.otherSlot = s.otherSlot;
        f.x = snapped(x, xScale);
        f.y = y ? mapping.AxisY(snapped(*y, yScale[s.first])) : 0.0;
        result.features.push_back(f);
    };
    for (const Candidate& c : candidates) {
        const Series& s = series[c.series];
        const bool difference = s.otherSlot != 0;
        const FeatureKind zeroKind = difference ? FeatureKind::Intersection : FeatureKind::Zero;
        // A zero's value is 0 by definition; an intersection's is where the two functions meet.
        const auto valueAt = [&](double x) -> std::optional<double> {
            return difference ? functions[s.first]->Raw(x) : std::optional<double>(0.0);
        };
        if (c.exact) {
            if (const std::optional<double> y = valueAt(c.a)) {
                add(zeroKind, s, c.a, y);
            }
        } else if (c.kind == FeatureKind::Zero || c.kind == FeatureKind::Intersection) {
            if (const std::optional<double> x = Bisect(s.raw, c.a, c.ga, c.b, c.gb)) {
                if (const std::optional<double> y = valueAt(*x)) {
                    add(zeroKind, s, *x, y);
                }
            }
        } else if (const std::optional<double> x =
                       Turn(s.raw, std::min(c.a, c.b), std::max(c.a, c.b),
                            c.kind == FeatureKind::Maximum, SlopeSpacing(c))) {
            const std::optional<double> y = s.raw(*x);
            // The turn must lie beyond its rows, and not beyond them out of all proportion (a
            // pole between them).
            const double sign = c.kind == FeatureKind::Maximum ? 1.0 : -1.0;
            const double depth =
                sign * (c.peak - (sign > 0 ? std::min(c.ga, c.gb) : std::max(c.ga, c.gb)));
            const double tolerance = 1e-9 * (std::fabs(c.peak) + depth);
            const double beyond = y ? sign * (*y - c.peak) : 0.0;
            if (y && beyond >= -tolerance && beyond <= 4 * depth + tolerance) {
                if (!difference) {
                    add(c.kind, s, *x, y);
                }
                // Rows of one sign around a top of the other: a zero on either side of it.
                if (c.peak != 0.0 && *y != 0.0 && std::signbit(c.peak) == std::signbit(c.ga) &&
                    std::signbit(c.peak) == std::signbit(c.gb) &&
                    std::signbit(*y) != std::signbit(c.peak)) {
                    for (const auto& [end, value] : {std::pair{c.a, c.ga}, std::pair{c.b, c.gb}}) {
                        if (const std::optional<double> zero = Bisect(s.raw, end, value, *x, *y)) {
                            if (const std::optional<double> v = valueAt(*zero)) {
                                add(zeroKind, s, *zero, v);
                            }
                        }
                    }
                }
            }
        }
        ++done;
        if (progress != nullptr && !progress->Advance(done, total)) {
            return std::nullopt;
        }
    }
    // Each function's points by x, then the intersections pair by pair.
    const auto group = [](const Feature& f) {
        return f.otherSlot == 0 ? f.slot : 10 * f.slot + f.otherSlot;
    };
    std::stable_sort(result.features.begin(), result.features.end(),
                     [&](const Feature& l, const Feature& r) {
                         return group(l) != group(r) ? group(l) < group(r) : l.x < r.x;
                     });
    return result;
}

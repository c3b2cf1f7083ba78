#pragma once

#include "plot/valuetable.h"

#include <optional>
#include <vector>

class Progress;
class ScriptEvaluator;

// Points worth reading off a graph: where a function is 0, where it turns, where two functions
// meet.
enum class FeatureKind { Zero, Minimum, Maximum, Intersection };

struct Feature {
    FeatureKind kind = FeatureKind::Zero;
    int slot = 0;      // F1 to F3
    int otherSlot = 0; // the second function of an intersection, else 0
    double x = 0.0;    // in the X axis's unit
    double y = 0.0;    // in the Y axis's unit; 0 for a zero
};

// No more than this many points are refined: a function that changes sign between every two rows
// of a million would otherwise keep the window busy for minutes.
inline constexpr int MaxFeatures = 10000;

struct FeatureSearch {
    std::vector<Feature> features; // per function F1 to F3 by x, then intersections by pair and x
    bool truncated = false;        // more than MaxFeatures candidates; the first are given
};

// Finds, between the rows of a computed table, each function's zeros, local minima and maxima and
// the intersections of each pair, and refines them to about 15 significant digits of x (at least
// 12) with the functions evaluated exactly as the table was:
// - a zero lies where a row is exactly 0, or between two rows of opposite sign; bisection then
//   narrows the bracket as far as the rounding of x allows, and the bracket counts only when the
//   values on both sides keep shrinking with it (a pole or a jump changes sign without passing 0,
//   and the values there stay large);
// - a minimum or maximum lies between the rows around a row (or a run of equal rows) that is
//   lower or higher than both neighbours; the slope, from a symmetric seven-point difference, must
//   change sign across them, and bisection on it finds the turning point (a pole between the rows
//   is refused: its slope keeps its sign, or the value it leads to is out of proportion);
// - an intersection of two functions is a zero of their difference.
// Rows without a value break every bracket. Nothing when progress asked to stop.
std::optional<FeatureSearch> FindFeatures(const ValueTable& table, ScriptEvaluator& evaluator,
                                          Progress* progress);

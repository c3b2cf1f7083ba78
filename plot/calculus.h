#pragma once

#include <functional>
#include <optional>

class PreparedExpression;
class Progress;

// Slopes and definite integrals of a function of x, worked out numerically from its values.

// y at x, or nothing where the function has no value.
using FunctionOfX = std::function<std::optional<double>(double x)>;

// An expression as the sheet evaluates it (pi set, x rounded to the general number form); a value
// that is no finite number counts as none.
FunctionOfX ExpressionFunction(PreparedExpression& prepared);

// What a curve shows of its expression: its values, or its slope (a derivative curve).
enum class CurveOf { Values, Slope };

enum class SlopeProblem {
    None,
    NoValue,       // the function has no value at x
    NoValueNearby, // it has one at x, but none on a side of x however close one looks
    Corner,        // the slopes from the left and from the right disagree (a corner, a jump)
    NotSettled,    // the difference quotients keep changing as the step shrinks (a vertical
                   // tangent, a pole, a wild oscillation)
};

struct Slope {
    SlopeProblem problem = SlopeProblem::None;
    double value = 0.0; // dy/dx, without a problem
    double error = 0.0; // an estimate of value's absolute error
    double y = 0.0;     // the function's value at x, when it has one
};

// The slope of f at x: central difference quotients over a step halved again and again,
// extrapolated to a step of 0 (Richardson), the most consistent of them taken with the spread of
// its neighbours as its error; about 10 significant digits or better where f is smooth. The
// one-sided quotients from the left and from the right are extrapolated as well and must agree
// with each other. step is the widest step to start from (the sheet passes two columns); it
// shrinks first as far as it takes to find values on both sides. The points are rounded to the
// general number form as the evaluator rounds x, and the quotients use them as rounded.
Slope SlopeAt(const FunctionOfX& f, double x, double step);

enum class IntegralProblem {
    None,
    NoValue,       // the integrand has no value at a point of the range
    NotConverging, // the estimate does not settle near a point (a pole, a divergent end)
    Cancelled,     // progress asked to stop
};

struct Integral {
    IntegralProblem problem = IntegralProblem::None;
    double value = 0.0;
    double error = 0.0; // an estimate of value's absolute error
    // Where the problem lies: the point without a value, or the middle of the narrowest part of
    // the range that would not settle.
    double at = 0.0;
    // The value could not be brought to 12 significant digits, but to 6 (an integrable
    // singularity at an end, such as 1/sqr(x) at 0); error says how far it is good.
    bool reduced = false;
    int intervals = 0;   // the pieces the range was cut into
    int evaluations = 0; // the integrand's values taken
};

// ∫ f(x) dx from a to b (b < a gives the negative of the other way round) by adaptive
// Gauss–Kronrod quadrature: 15-point Kronrod rules with the embedded 7-point Gauss rule for the
// error of each piece, the piece with the largest error halved until the sum of the errors is
// below 12 significant digits of the value. A piece narrower than 1e-15 of the range is not
// halved again; where such pieces leave the error above 6 significant digits, the integral does
// not converge. It tells progress, when given, of its evaluations against its budget.
Integral Integrate(const FunctionOfX& f, double a, double b, Progress* progress = nullptr);

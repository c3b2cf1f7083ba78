#pragma once

#include "plot/sheetrecord.h"

#include <QtCore/QPointF>
#include <QtCore/QString>
#include <optional>
#include <utility>

class Progress;
class ScriptEvaluator;
struct CurvaneDocument;
struct CurvaneState;

// The calculus window's work ("微分・積分" = differentiation and integration), as procedures over
// the state: derivative curves, tangent lines and shaded areas, each an item of the sheet's
// record, with the free label that tells its value; and the command line's integral and slope.
// Every x the user gives or sees is in the X axis's unit, as the table of values has it; the
// slope, the equation and the integral are in the expression's own x and y.

QString CalculusTitle(); // "微分・積分"

// What an action did: whether it drew, why not (a message titled CalculusTitle()), the line the
// page shows after it, and the values with more digits for the page and its "コピー" (copy).
struct CalculusOutcome {
    bool drawn = false;
    QString refusal;
    QString status;
    QString details;
    // A tangent taken with the mouse: the curve's slot and the point's x, for the page's boxes.
    int slot = 0;
    double axisX = 0.0;
};

// What a computation found, ready to go onto the sheet: the item for the record, and the free
// label's text with the sheet point it goes beside. Computing needs only the document and an
// evaluator, so it can run away from the window, on a copy; putting the result on the sheet is
// quick. A refusal or a stop holds no item.
struct CalculusResult {
    CalculusOutcome outcome;
    std::optional<DrawnCurve> derivative;
    std::optional<TangentLine> tangent;
    std::optional<ShadedArea> area;
    QString label;
    QPointF labelAt;
    // The view it was computed for.
    GraphSettings settings;
    GraphState graph;
};

// Puts a result's item into the sheet's record and picture and its label beside its point; the
// outcome says whether anything was drawn. A result of another view than the sheet's now (the
// axes or the size changed while it was computed) is dropped, and the outcome says so.
CalculusOutcome ApplyCalculus(CurvaneState& state, CalculusResult result);

// "F1′" for slot 1.
QString DerivativeName(int slot);

// "描画" on the page "導関数" (derivative): the slope of the slot's expression at every column,
// drawn as a dotted curve in the slot's colour over the sheet. A derivative of the same expression
// drawn before is replaced. A slot without text, with brackets that do not match, or whose slope
// has a value nowhere, is refused; one the user stopped (progress) draws nothing.
CalculusOutcome DrawDerivative(CurvaneState& state, ScriptEvaluator& evaluator, int slot,
                               Progress* progress = nullptr);
CalculusResult ComputeDerivative(ScriptEvaluator& evaluator, const CurvaneDocument& document,
                                 int slot, Progress* progress = nullptr);
// "消去" (erase): every derivative curve of the slot leaves the sheet.
CalculusOutcome EraseDerivative(CurvaneState& state, int slot);

// "y = 1.5x − 0.75": the line's slope and intercept to 4 significant digits, with minus signs.
QString TangentEquationText(double slope, double intercept);

// The tangent of a slot's expression at a point x (X axis unit): a thin line across the sheet in
// the slot's colour, a dot at the point and a free label with its equation. A point without a
// slope is refused with the reason, and nothing is drawn.
CalculusOutcome DrawTangent(CurvaneState& state, ScriptEvaluator& evaluator, int slot,
                            double axisX);
// The same for a click on the sheet with the tangent tool: the curve drawn on the sheet whose row
// in the clicked column lies nearest to the click (derivative curves aside), at the clicked x.
CalculusOutcome DrawTangentAtPoint(CurvaneState& state, ScriptEvaluator& evaluator,
                                   QPointF sheetPoint);
CalculusResult ComputeTangent(ScriptEvaluator& evaluator, const CurvaneDocument& document, int slot,
                              double axisX);
CalculusResult ComputeTangentAtPoint(ScriptEvaluator& evaluator, const CurvaneDocument& document,
                                     QPointF sheetPoint);

// An area to shade: under one slot's curve down to y = 0 (otherSlot 0), or between two; from and
// to in the X axis's unit.
struct AreaRequest {
    int slot = 1;
    int otherSlot = 0;
    double from = 0.0;
    double to = 1.0;
};

// The range a drag across the sheet from one column to another stands for (X axis unit).
std::pair<double, double> AxisRangeOfColumns(const CurvaneState& state, double fromColumn,
                                             double toColumn);

// Shades the area (a translucent fill in the slot's colour over the grid and under the curves,
// where the range lies on the sheet) and adds a label with its value: "∫[0, π] F1 dx = 2" for one
// curve, "面積 = 4.5" (area) between two, which is ∫|f − g|. Where the integrand has no value in
// the range, or the integral does not converge, it is refused with the point, and nothing is
// drawn.
CalculusOutcome DrawArea(CurvaneState& state, ScriptEvaluator& evaluator,
                         const AreaRequest& request, Progress* progress = nullptr);
CalculusResult ComputeArea(ScriptEvaluator& evaluator, const CurvaneDocument& document,
                           const AreaRequest& request, Progress* progress = nullptr);

// `curvane --integral FILE --fn N [--minus M] --from A --to B` and
// `curvane --derivative FILE --fn N --at X` without a window: the value of ∫ (FN − FM) dx over
// the range, or the slope of FN at X (X axis unit of the file). Empty on success with value set;
// otherwise one line saying why, and exitCode 1 for a file that cannot be used, 3 for an
// integral or slope that does not exist.
struct CommandLineCalculus {
    QString settingsFile;
    int fn = 1;
    int minus = 0;
    double from = 0.0;
    double to = 0.0;
    double at = 0.0;
};
QString SettingsFileIntegral(const CommandLineCalculus& request, double& value, int& exitCode);
QString SettingsFileSlope(const CommandLineCalculus& request, double& value, int& exitCode);

#include "program/calculus.h"

#include "graph/mapping.h"
#include "plot/calculus.h"
#include "plot/evaluate.h"
#include "plot/sampling.h"
#include "plot/sheetrecord.h"
#include "program/curvanestate.h"
#include "program/readout.h"
#include "program/redraw.h"
#include "program/render.h"
#include "program/textlabels.h"
#include "script/number_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Numbers on the sheet are read by people: minus signs rather than hyphens.
QString WithMinusSigns(QString text) {
    return text.replace(QLatin1Char('-'), QChar(0x2212));
}

QString LabelNumber(double value, int digits) {
    return WithMinusSigns(QString::fromStdString(FormatSignificant(value, digits)));
}

// An x of the X axis as a label shows it: "π", "0.5π" and "180°" for the units that have a sign.
QString LabelX(double axisX, const QString& unit, int digits) {
    if (unit == PiUnitName) {
        if (axisX == 0.0) {
            return QStringLiteral("0");
        }
        if (std::fabs(axisX) == 1.0) {
            return (axisX < 0 ? QString(QChar(0x2212)) : QString()) + PiUnitName;
        }
        return LabelNumber(axisX, digits) + PiUnitName;
    }
    if (unit == DegreeUnitName) {
        return LabelNumber(axisX, digits) + QStringLiteral("°");
    }
    return LabelNumber(axisX, digits);
}

// The same in the page's lines and messages: all its digits, and the unit named.
QString PageX(double axisX, const QString& unit) {
    return AxisValueText(axisX, unit);
}

QString PageNumber(double value) {
    return QString::fromStdString(FormatShortest(value));
}

QString ErrorText(double error) {
    // "誤差の見積もり" = estimated error
    return QStringLiteral("誤差の見積もり ±") + QString::fromStdString(FormatSignificant(error, 2));
}

// The expression's x for an x of the X axis, and back.
double ExpressionScale(const AxisMapping& mapping) {
    return mapping.ExpressionX(1.0);
}

// Why a slot cannot be used: no text, or brackets that do not match; empty when it can.
QString SlotProblem(const CurvaneDocument& document, int slot) {
    if (slot < 1 || slot > SlotCount) {
        return QStringLiteral("F%1 はありません。").arg(slot); // there is no F%1
    }
    const QString& text = SlotOf(document.Slots, slot).Expression;
    if (text.trimmed().isEmpty()) {
        return QStringLiteral("F%1 に式がありません。").arg(slot); // F%1 has no expression
    }
    if (!BracketsMatch(text)) {
        // the brackets of F%1 do not match
        return QStringLiteral("F%1 の括弧（）が合っていません。").arg(slot);
    }
    return {};
}

QString SlopeProblemText(SlopeProblem problem) {
    switch (problem) {
    case SlopeProblem::NoValue:
        return QStringLiteral("値がありません"); // no value
    case SlopeProblem::NoValueNearby:
        return QStringLiteral("すぐ近くに値のない所があります"); // no value right beside it
    case SlopeProblem::Corner:
        return QStringLiteral("左右の傾きが一致しません"); // the slopes left and right disagree
    case SlopeProblem::NotSettled:
        return QStringLiteral("傾きが定まりません"); // the slope does not settle
    case SlopeProblem::None:
        break;
    }
    return {};
}

QString SlopeProblemEnglish(SlopeProblem problem) {
    switch (problem) {
    case SlopeProblem::NoValue:
        return QStringLiteral("the function has no value there");
    case SlopeProblem::NoValueNearby:
        return QStringLiteral("the function has no value right beside it");
    case SlopeProblem::Corner:
        return QStringLiteral("the slopes from the left and from the right disagree");
    case SlopeProblem::NotSettled:
        return QStringLiteral("the slope does not settle");
    case SlopeProblem::None:
        break;
    }
    return {};
}

// "この区間では積分できません（x = 0 で値がありません）" = cannot integrate over this range (no
// value at x = 0), or "（x = 0 の近くで収束しません）" (it does not converge near x = 0).
QString IntegralRefusal(const Integral& integral, const QString& where) {
    const QString reason = integral.problem == IntegralProblem::NoValue
                               ? QStringLiteral("x = %1 で値がありません").arg(where)
                               : QStringLiteral("x = %1 の近くで収束しません").arg(where);
    return QStringLiteral("この区間では積分できません（") + reason + QStringLiteral("）");
}

// Where a problem of the integral lies, in the X axis's unit: to a billionth of the range, so
// that a pole the halving closes in on reads as the point it is.
double ProblemAxisX(double at, double scale, double from, double to) {
    double axisX = at / scale;
    const double grain = 1e-9 * std::fabs(to - from);
    if (grain > 0 && std::isfinite(grain)) {
        axisX = std::round(axisX / grain) * grain;
    }
    return RoundToGeneral(axisX) == 0.0 ? 0.0 : RoundToGeneral(axisX);
}

// f − g, where both have a value.
FunctionOfX DifferenceOf(const FunctionOfX& f, const FunctionOfX& g) {
    return [&f, &g](double x) -> std::optional<double> {
        const std::optional<double> fx = f(x);
        const std::optional<double> gx = fx ? g(x) : std::nullopt;
        return gx ? std::optional<double>(*fx - *gx) : std::nullopt;
    };
}

// The sheet's pixel at an x and y of the expression, not clamped.
QPointF SheetPointOf(const AxisMapping& mapping, double x, double y, double scale) {
    return {mapping.ColumnOfAxisX(x / scale), mapping.RowOfAxisY(mapping.AxisY(y))};
}

TangentLine MakeTangent(const CurvaneDocument& document, int slot, const QString& expression,
                        ColorRef colour, double x, const Slope& slope) {
    const AxisMapping mapping(document.Settings, document.Graph);
    const double scale = ExpressionScale(mapping);
    TangentLine tangent;
    tangent.slot = slot;
    tangent.expression = expression;
    tangent.x = RoundToGeneral(x);
    tangent.y = slope.y;
    tangent.slope = slope.value;
    tangent.colour = colour;
    tangent.point = SheetPointOf(mapping, tangent.x, tangent.y, scale);
    // From edge to edge: across the sheet's width where the line is flatter than a diagonal,
    // across its height where steeper, so that neither end lies far off the sheet.
    const double width = document.Graph.GraphWidthPx;
    const double height = document.Graph.GraphHeightPx;
    const auto rowAt = [&](double column) {
        const double lineX = mapping.ExpressionX(mapping.AxisXAtColumn(column));
        return mapping.RowOfAxisY(mapping.AxisY(tangent.y + tangent.slope * (lineX - tangent.x)));
    };
    const double r0 = rowAt(0.0);
    const double r1 = rowAt(width);
    const double rise = (r1 - r0) / width; // rows per column
    const QPointF& p = tangent.point;
    if (!std::isfinite(rise) || !std::isfinite(p.x()) || !std::isfinite(p.y())) {
        if (std::isfinite(p.x())) {
            tangent.line = QLineF(p.x(), -1.0, p.x(), height + 1.0); // as good as upright
        }
    } else if (std::fabs(rise) <= 1.0) {
        tangent.line = QLineF(-1.0, p.y() - rise * (p.x() + 1.0), width + 1.0,
                              p.y() + rise * (width + 1.0 - p.x()));
    } else {
        tangent.line = QLineF(p.x() + (-1.0 - p.y()) / rise, -1.0,
                              p.x() + (height + 1.0 - p.y()) / rise, height + 1.0);
    }
    return tangent;
}

QString TangentDetails(const TangentLine& tangent, const QString& unit, double axisX) {
    const double intercept = tangent.y - tangent.slope * tangent.x;
    QStringList lines;
    lines << QStringLiteral("F%1 の接線").arg(tangent.slot) // the tangent of F%1
          << QStringLiteral("x = ") + PageX(axisX, unit)
          << QStringLiteral("y = ") + PageNumber(tangent.y)
          << QStringLiteral("傾き = ") + PageNumber(tangent.slope) // slope
          << QStringLiteral("切片 = ") + PageNumber(intercept)     // intercept
          << QStringLiteral("y = %1x + (%2)").arg(PageNumber(tangent.slope), PageNumber(intercept));
    return lines.join(QLatin1Char('\n'));
}

// A refusal: nothing to draw, and why.
CalculusResult Refused(const QString& why) {
    CalculusResult result;
    result.outcome.refusal = why;
    result.outcome.status = why;
    return result;
}

CalculusResult TangentOf(ScriptEvaluator& evaluator, const CurvaneDocument& document, int slot,
                         const QString& expression, ColorRef colour, double axisX) {
    const AxisMapping mapping(document.Settings, document.Graph);
    const double x = mapping.ExpressionX(axisX);
    PreparedExpression prepared(evaluator, expression.toStdString());
    const Slope slope =
        SlopeAt(ExpressionFunction(prepared), x, SlopeStep(document.Settings, document.Graph));
    const QString where = PageX(axisX, document.Graph.XUnitName);
    CalculusResult result;
    if (slope.problem != SlopeProblem::None) {
        // "x = … で接線を引けません（…）" = no tangent can be drawn at x = … (why)
        result = Refused(QStringLiteral("x = %1 で F%2 の接線を引けません（%3）。")
                             .arg(where)
                             .arg(slot)
                             .arg(SlopeProblemText(slope.problem)));
    } else {
        const TangentLine tangent = MakeTangent(document, slot, expression, colour, x, slope);
        result.label = TangentEquationText(tangent.slope, tangent.y - tangent.slope * tangent.x);
        result.labelAt = tangent.point;
        result.outcome.details = TangentDetails(tangent, document.Graph.XUnitName, axisX);
        // "x = … で F1 の接線を引きました: …" = drew the tangent of F1 at x = …
        result.outcome.status = QStringLiteral("x = %1 で F%2 の接線を引きました: %3")
                                    .arg(where)
                                    .arg(slot)
                                    .arg(result.label);
        result.tangent = tangent;
        result.settings = document.Settings;
        result.graph = document.Graph;
    }
    result.outcome.slot = slot;
    result.outcome.axisX = axisX;
    return result;
}

// The area's edge in sheet pixels: along f from one column to the other at every half column,
// back along g (or y = 0); points without a value are passed over.
QPolygonF AreaOutline(const AxisMapping& mapping, const FunctionOfX& f, const FunctionOfX* g,
                      double fromColumn, double toColumn) {
    std::vector<double> columns{fromColumn};
    for (double c = std::floor(fromColumn * 2.0) / 2.0 + 0.5; c < toColumn; c += 0.5) {
        if (c > fromColumn) {
            columns.push_back(c);
        }
    }
    columns.push_back(toColumn);
    QPolygonF outline;
    outline.reserve(static_cast<qsizetype>(2 * columns.size()));
    const auto add = [&](double column, const FunctionOfX* function) {
        const std::optional<double> x = mapping.ValueAtColumn(column);
        const std::optional<double> y = !x                    ? std::nullopt
                                        : function != nullptr ? (*function)(*x)
                                                              : std::optional<double>(0.0);
        if (y) {
            outline << QPointF(column, mapping.RowOfValue(*y));
        }
    };
    for (const double column : columns) {
        add(column, &f);
    }
    for (auto it = columns.rbegin(); it != columns.rend(); ++it) {
        add(*it, g);
    }
    return outline;
}

} // namespace

QString CalculusTitle() {
    return QStringLiteral("微分・積分"); // differentiation and integration
}

QString DerivativeName(int slot) {
    return QStringLiteral("F%1′").arg(slot);
}

CalculusResult ComputeDerivative(ScriptEvaluator& evaluator, const CurvaneDocument& document,
                                 int slot, Progress* progress) {
    SetParameterValues(evaluator, ValuesOf(document.Params));
    if (const QString problem = SlotProblem(document, slot); !problem.isEmpty()) {
        return Refused(problem);
    }
    const FunctionSlot& function = SlotOf(document.Slots, slot);
    GraphState graph = document.Graph; // the slot's own rows stay as they are
    const SampleReport report =
        SampleDerivative(evaluator, document.Settings, graph, slot, function.Expression, progress);
    CalculusResult result;
    if (report.cancelled) {
        // "中止しました。何も描いていません。" = stopped; nothing was drawn
        result.outcome.status = QStringLiteral("中止しました。何も描いていません。");
        return result;
    }
    if (report.withValue == 0) {
        // "F1′ はどの列でも値がありません" = F1′ has no value in any column
        return Refused(QStringLiteral("%1 はどの列でも値がありません。").arg(DerivativeName(slot)));
    }
    DrawnCurve curve;
    curve.slot = slot;
    curve.rowsId = NewSheetId();
    curve.expression = function.Expression;
    curve.parameters = ValuesOf(document.Params);
    curve.colour = function.Color;
    curve.styleCode = QStringLiteral("点1"); // thin dotted
    curve.of = CurveOf::Slope;
    curve.settings = document.Settings;
    curve.graph = graph;
    curve.graph.PlotValues = graph.PlotValues.OnlySlot(slot);
    result.derivative = std::move(curve);
    result.settings = document.Settings;
    result.graph = document.Graph;
    // "F1′ を描きました（N / M 列に値があります）" = drew F1′ (N of M columns have a value)
    result.outcome.status = QStringLiteral("%1 を描きました（%2 / %3 列に値があります）。")
                                .arg(DerivativeName(slot))
                                .arg(report.withValue)
                                .arg(report.columns);
    return result;
}

CalculusOutcome DrawDerivative(CurvaneState& state, ScriptEvaluator& evaluator, int slot,
                               Progress* progress) {
    return ApplyCalculus(state, ComputeDerivative(evaluator, state, slot, progress));
}

CalculusOutcome EraseDerivative(CurvaneState& state, int slot) {
    CalculusOutcome outcome;
    std::vector<DrawnCurve>& curves = state.Record.curves;
    const auto ofSlot = [&](const DrawnCurve& c) {
        return c.of == CurveOf::Slope && c.slot == slot;
    };
    const auto erased = std::remove_if(curves.begin(), curves.end(), ofSlot);
    if (erased == curves.end()) {
        // "F1′ は描かれていません" = F1′ is not on the sheet
        outcome.status = QStringLiteral("%1 は描かれていません。").arg(DerivativeName(slot));
        return outcome;
    }
    curves.erase(erased, curves.end());
    RenderSheetFromRecord(state);
    outcome.drawn = true;
    // "F1′ を消去しました" = erased F1′
    outcome.status = QStringLiteral("%1 を消去しました。").arg(DerivativeName(slot));
    return outcome;
}

QString TangentEquationText(double slope, double intercept) {
    const QString m = QString::fromStdString(FormatSignificant(slope, 4));
    const QString b = QString::fromStdString(FormatSignificant(std::fabs(intercept), 4));
    QString text = QStringLiteral("y = ");
    bool term = true;
    if (m == QStringLiteral("1")) {
        text += QStringLiteral("x");
    } else if (m == QStringLiteral("-1")) {
        text += QStringLiteral("-x");
    } else if (m != QStringLiteral("0")) {
        text += m + QStringLiteral("x");
    } else {
        term = false;
    }
    if (b != QStringLiteral("0")) {
        const bool negative = intercept < 0;
        text += term ? (negative ? QStringLiteral(" - ") : QStringLiteral(" + "))
                     : (negative ? QStringLiteral("-") : QString());
        text += b;
    } else if (!term) {
        text += QStringLiteral("0");
    }
    return WithMinusSigns(text);
}

CalculusResult ComputeTangent(ScriptEvaluator& evaluator, const CurvaneDocument& document, int slot,
                              double axisX) {
    SetParameterValues(evaluator, ValuesOf(document.Params));
    if (const QString problem = SlotProblem(document, slot); !problem.isEmpty()) {
        return Refused(problem);
    }
    const FunctionSlot& function = SlotOf(document.Slots, slot);
    return TangentOf(evaluator, document, slot, function.Expression, function.Color, axisX);
}

CalculusResult ComputeTangentAtPoint(ScriptEvaluator& evaluator, const CurvaneDocument& document,
                                     QPointF sheetPoint) {
    SetParameterValues(evaluator, ValuesOf(document.Params));
    const double px = std::floor(sheetPoint.x());
    const DrawnCurve* nearest = nullptr;
    double distance = 0.0;
    if (px >= 0 && px < document.Graph.GraphWidthPx) {
        const int column = static_cast<int>(px);
        for (const DrawnCurve& curve : document.Record.curves) {
            if (curve.of != CurveOf::Values || !curve.graph.PlotValues.HasColumn(column)) {
                continue;
            }
            const float row = curve.graph.PlotValues.Get(curve.slot, column);
            if (row == curve.graph.NoValueMark()) {
                continue;
            }
            const double d = std::fabs(row - sheetPoint.y());
            if (nearest == nullptr || d < distance) {
                nearest = &curve;
                distance = d;
            }
        }
    }
    if (nearest == nullptr) {
        // "クリックした列には曲線がありません" = there is no curve in the clicked column
        return Refused(QStringLiteral("クリックした列には曲線がありません。"));
    }
    const AxisMapping mapping(nearest->settings, nearest->graph);
    return TangentOf(evaluator, document, nearest->slot, nearest->expression, nearest->colour,
                     mapping.AxisXAtColumn(sheetPoint.x()));
}

CalculusOutcome DrawTangent(CurvaneState& state, ScriptEvaluator& evaluator, int slot,
                            double axisX) {
    return ApplyCalculus(state, ComputeTangent(evaluator, state, slot, axisX));
}

CalculusOutcome DrawTangentAtPoint(CurvaneState& state, ScriptEvaluator& evaluator,
                                   QPointF sheetPoint) {
    return ApplyCalculus(state, ComputeTangentAtPoint(evaluator, state, sheetPoint));
}

std::pair<double, double> AxisRangeOfColumns(const CurvaneState& state, double fromColumn,
                                             double toColumn) {
    const AxisMapping mapping(state.Settings, state.Graph);
    const double a = RoundToGeneral(mapping.AxisXAtColumn(std::min(fromColumn, toColumn)));
    const double b = RoundToGeneral(mapping.AxisXAtColumn(std::max(fromColumn, toColumn)));
    return {a, b};
}

CalculusResult ComputeArea(ScriptEvaluator& evaluator, const CurvaneDocument& document,
                           const AreaRequest& request, Progress* progress) {
    SetParameterValues(evaluator, ValuesOf(document.Params));
    const bool between = request.otherSlot != 0;
    QString problem = SlotProblem(document, request.slot);
    if (problem.isEmpty() && between) {
        problem = request.otherSlot == request.slot
                      // "2 つの異なる関数を選んでください" = choose two different functions
                      ? QStringLiteral("面積を挟む 2 つの関数には異なるものを選んでください。")
                      : SlotProblem(document, request.otherSlot);
    }
    if (problem.isEmpty() && (!std::isfinite(request.from) || !std::isfinite(request.to))) {
        problem = QStringLiteral("a と b には数値を入れてください。"); // enter numbers for a and b
    }
    if (!problem.isEmpty()) {
        return Refused(problem);
    }
    const FunctionSlot& first = SlotOf(document.Slots, request.slot);
    const QString otherText =
        between ? SlotOf(document.Slots, request.otherSlot).Expression : QString();
    const AxisMapping mapping(document.Settings, document.Graph);
    const double scale = ExpressionScale(mapping);
    const double a = mapping.ExpressionX(request.from);
    const double b = mapping.ExpressionX(request.to);
    PreparedExpression preparedF(evaluator, first.Expression.toStdString());
    PreparedExpression preparedG(evaluator, otherText.toStdString());
    const FunctionOfX f = ExpressionFunction(preparedF);
    const FunctionOfX g = ExpressionFunction(preparedG);
    const FunctionOfX difference = DifferenceOf(f, g);
    const FunctionOfX gap = [&](double x) -> std::optional<double> {
        const std::optional<double> d = difference(x);
        return d ? std::optional<double>(std::fabs(*d)) : std::nullopt;
    };
    const Integral integral = between ? Integrate(gap, std::min(a, b), std::max(a, b), progress)
                                      : Integrate(f, a, b, progress);
    const QString unit = document.Graph.XUnitName;
    CalculusResult result;
    if (integral.problem == IntegralProblem::Cancelled) {
        result.outcome.status =
            QStringLiteral("中止しました。何も描いていません。"); // stopped; nothing drawn
        return result;
    }
    if (integral.problem != IntegralProblem::None) {
        return Refused(IntegralRefusal(
            integral, PageX(ProblemAxisX(integral.at, scale, request.from, request.to), unit)));
    }
    const QString range =
        QStringLiteral("[%1, %2]").arg(PageX(request.from, unit), PageX(request.to, unit));
    QStringList lines;
    QString& label = result.label;
    if (between) {
        const Integral signedDifference = Integrate(difference, a, b);
        // "面積 ∫[a, b] |F1 − F2| dx = …" = the area between F1 and F2
        lines << QStringLiteral("面積 ∫%1 |F%2 - F%3| dx = %4")
                     .arg(range)
                     .arg(request.slot)
                     .arg(request.otherSlot)
                     .arg(PageNumber(integral.value))
              << QStringLiteral("  ") + ErrorText(integral.error);
        if (signedDifference.problem == IntegralProblem::None) {
            lines << QStringLiteral("∫%1 (F%2 - F%3) dx = %4")
                         .arg(range)
                         .arg(request.slot)
                         .arg(request.otherSlot)
                         .arg(PageNumber(signedDifference.value))
                  << QStringLiteral("  ") + ErrorText(signedDifference.error);
        }
        label = QStringLiteral("面積 = ") + LabelNumber(integral.value, 4); // area
    } else {
        lines << QStringLiteral("∫%1 F%2 dx = %3")
                     .arg(range)
                     .arg(request.slot)
                     .arg(PageNumber(integral.value))
              << QStringLiteral("  ") + ErrorText(integral.error);
        label = QStringLiteral("∫[%1, %2] F%3 dx = %4")
                    .arg(LabelX(request.from, unit, 4), LabelX(request.to, unit, 4))
                    .arg(request.slot)
                    .arg(LabelNumber(integral.value, 4));
    }
    if (integral.reduced) {
        // an end where the function grows without bound leaves about 6 significant digits
        lines << QStringLiteral(
            "  （値が限りなく大きくなる端があるため、精度は有効数字 6 桁程度です）");
    }
    result.outcome.details = lines.join(QLatin1Char('\n'));

    // The fill covers the part of the range that lies on the sheet.
    const double width = document.Graph.GraphWidthPx;
    const double fromColumn =
        std::max(0.0, mapping.ColumnOfAxisX(std::min(request.from, request.to)));
    const double toColumn =
        std::min(width, mapping.ColumnOfAxisX(std::max(request.from, request.to)));
    ShadedArea area;
    area.slot = request.slot;
    area.otherSlot = request.otherSlot;
    area.expression = first.Expression;
    area.otherExpression = otherText;
    area.from = request.from;
    area.to = request.to;
    area.value = integral.value;
    area.error = integral.error;
    area.colour = first.Color;
    if (fromColumn < toColumn) {
        area.outline = AreaOutline(mapping, f, between ? &g : nullptr, fromColumn, toColumn);
    }
    if (area.outline.size() < 3) {
        // "範囲がシートの外にあるため、塗りませんでした" = not shaded: the range is off the sheet
        result.outcome.status =
            QStringLiteral("%1。範囲がシートの外にあるため、塗りませんでした。").arg(label);
        result.label.clear();
        return result;
    }
    // The label in the middle of the shaded part, between its two edges.
    const double middle = (fromColumn + toColumn) / 2.0;
    const std::optional<double> x = mapping.ValueAtColumn(middle);
    const std::optional<double> top = x ? f(*x) : std::nullopt;
    const std::optional<double> bottom = !x ? std::nullopt : between ? g(*x) : 0.0;
    const double height = document.Graph.GraphHeightPx;
    const double row = top && bottom
                           ? (mapping.RowOfValue(*top) + mapping.RowOfValue(*bottom)) / 2.0
                           : height / 2.0;
    result.labelAt = QPointF(middle, std::clamp(row, 0.0, height));
    result.outcome.status = label;
    result.area = std::move(area);
    result.settings = document.Settings;
    result.graph = document.Graph;
    return result;
}

CalculusOutcome DrawArea(CurvaneState& state, ScriptEvaluator& evaluator,
                         const AreaRequest& request, Progress* progress) {
    return ApplyCalculus(state, ComputeArea(evaluator, state, request, progress));
}

CalculusOutcome ApplyCalculus(CurvaneState& state, CalculusResult result) {
    CalculusOutcome& outcome = result.outcome;
    if ((result.derivative || result.tangent || result.area) &&
        (!(state.Settings == result.settings) || !SameMapping(state.Graph, result.graph))) {
        // "表示が変わったため、描きませんでした" = the view changed, so nothing was drawn
        outcome.status = QStringLiteral("計算の間に表示が変わったため、描きませんでした。");
        return outcome;
    }
    if (result.derivative) {
        // A derivative of the same expression drawn before gives way to this one.
        std::vector<DrawnCurve>& curves = state.Record.curves;
        const DrawnCurve& curve = *result.derivative;
        const auto same = [&](const DrawnCurve& c) {
            return c.of == CurveOf::Slope && c.slot == curve.slot &&
                   c.expression == curve.expression;
        };
        if (std::any_of(curves.begin(), curves.end(), same)) {
            curves.erase(std::remove_if(curves.begin(), curves.end(), same), curves.end());
            RenderSheetFromRecord(state);
        }
        DrawRecordCurve(state, std::move(*result.derivative));
        outcome.drawn = true;
    }
    if (result.tangent) {
        state.Record.tangents.push_back(std::move(*result.tangent));
        DrawTangentLine(state.Sheet, state.Record.tangents.back());
        state.Record.id = NewSheetId();
        outcome.drawn = true;
    }
    if (result.area) {
        state.Record.areas.push_back(std::move(*result.area));
        RenderSheetFromRecord(state); // the fill goes under the curves
        outcome.drawn = true;
    }
    if (outcome.drawn && !result.label.isEmpty()) {
        AddFreeLabelNear(state, result.label, result.labelAt);
    }
    return outcome;
}

namespace {

// A settings file's state for the two computations, with the slot checked; exitCode 1 when the
// file cannot be used.
QString LoadForCalculus(const CommandLineCalculus& request, CurvaneState& state, int& exitCode) {
    exitCode = 1;
    if (const QString problem = CheckSettingsFileAlone(request.settingsFile); !problem.isEmpty()) {
        return problem;
    }
    if (const QString problem = LoadSettingsFileAlone(request.settingsFile, state);
        !problem.isEmpty()) {
        return problem;
    }
    for (const int slot : {request.fn, request.minus}) {
        if (slot == 0) {
            continue;
        }
        const QString& text = SlotOf(state.Slots, slot).Expression;
        if (text.trimmed().isEmpty()) {
            return QStringLiteral("F%1 has no expression in %2")
                .arg(slot)
                .arg(request.settingsFile);
        }
        if (!BracketsMatch(text)) {
            return QStringLiteral("the brackets of F%1 do not match").arg(slot);
        }
    }
    return {};
}

QString EnglishX(double axisX, const QString& unit) {
    return QString::fromStdString(FormatShortest(axisX)) + UnitSuffix(unit);
}

} // namespace

QString SettingsFileIntegral(const CommandLineCalculus& request, double& value, int& exitCode) {
    CurvaneState state;
    if (const QString problem = LoadForCalculus(request, state, exitCode); !problem.isEmpty()) {
        return problem;
    }
    const AxisMapping mapping(state.Settings, state.Graph);
    PreparedExpression preparedF(state.scriptEvalFn,
                                 SlotOf(state.Slots, request.fn).Expression.toStdString());
    PreparedExpression preparedG(
        state.scriptEvalFn,
        request.minus != 0 ? SlotOf(state.Slots, request.minus).Expression.toStdString() : "0");
    const FunctionOfX f = ExpressionFunction(preparedF);
    const FunctionOfX g = ExpressionFunction(preparedG);
    const FunctionOfX integrand = request.minus == 0 ? f : DifferenceOf(f, g);
    const Integral integral =
        Integrate(integrand, mapping.ExpressionX(request.from), mapping.ExpressionX(request.to));
    if (integral.problem != IntegralProblem::None) {
        exitCode = 3;
        const QString where =
            EnglishX(ProblemAxisX(integral.at, ExpressionScale(mapping), request.from, request.to),
                     state.Graph.XUnitName);
        return integral.problem == IntegralProblem::NoValue
                   ? QStringLiteral("no integral: no value at x = %1").arg(where)
                   : QStringLiteral("no integral: it does not converge near x = %1").arg(where);
    }
    value = integral.value;
    exitCode = 0;
    return {};
}

QString SettingsFileSlope(const CommandLineCalculus& request, double& value, int& exitCode) {
    CurvaneState state;
    if (const QString problem = LoadForCalculus(request, state, exitCode); !problem.isEmpty()) {
        return problem;
    }
    const AxisMapping mapping(state.Settings, state.Graph);
    PreparedExpression prepared(state.scriptEvalFn,
                                SlotOf(state.Slots, request.fn).Expression.toStdString());
    const Slope slope = SlopeAt(ExpressionFunction(prepared), mapping.ExpressionX(request.at),
                                SlopeStep(state.Settings, state.Graph));
    if (slope.problem != SlopeProblem::None) {
        exitCode = 3;
        return QStringLiteral("no slope at x = %1: %2")
            .arg(EnglishX(request.at, state.Graph.XUnitName), SlopeProblemEnglish(slope.problem));
    }
    value = slope.value;
    exitCode = 0;
    return {};
}

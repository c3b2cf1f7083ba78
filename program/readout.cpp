#include "program/readout.h"

#include "graph/mapping.h"
#include "plot/evaluate.h"
#include "plot/sampling.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "script/number_text.h"
#include "script/scriptresult.h"

#include <cmath>

QString UnitSuffix(const QString& unit) {
    return unit == PlainUnitName ? QString() : QStringLiteral(" [") + unit + QStringLiteral("]");
}

QString AxisValueText(double value, const QString& unit) {
    return QString::fromStdString(FormatGeneral(value)) + UnitSuffix(unit);
}

std::optional<ReadoutRequest> MakeReadoutRequest(const CurvaneState& state, QPointF sheetPoint) {
    const GraphState& graph = state.Graph;
    const double px = std::floor(sheetPoint.x());
    const double py = std::floor(sheetPoint.y());
    if (!(px >= 0 && px < graph.GraphWidthPx && py >= 0 && py < graph.GraphHeightPx)) {
        return std::nullopt;
    }
    ReadoutRequest request;
    request.pixel = static_cast<int>(px);
    request.row = py;
    request.column = SampledColumnAt(state.Settings, graph, request.pixel)
                         .value_or(static_cast<float>(request.pixel));
    request.settings = state.Settings;
    request.graph = graph;
    request.parameters = ValuesOf(state.Params);
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const FunctionSlot& f = SlotOf(state.Slots, slot);
        if (f.Drawn && !f.Hidden && (slot == 1 || f.RowShown)) {
            request.functions.push_back({slot, f.Expression, f.Color});
        }
    }
    return request;
}

namespace {

std::vector<ReadoutLine> AxisLines(const ReadoutRequest& request, const AxisMapping& mapping) {
    const GraphState& graph = request.graph;
    return {
        {QStringLiteral("x = ") +
             AxisValueText(mapping.AxisXAtColumn(request.column), graph.XUnitName),
         Rgb(0, 0, 0)},
        {QStringLiteral("y = ") + AxisValueText(mapping.AxisYAtRow(request.row), graph.YUnitName),
         Rgb(0, 0, 0)}};
}

} // namespace

std::vector<ReadoutLine> PendingReadout(const ReadoutRequest& request) {
    std::vector<ReadoutLine> lines =
        AxisLines(request, AxisMapping(request.settings, request.graph));
    for (const ReadoutFunction& f : request.functions) {
        // "計算中…" = computing
        lines.push_back({QStringLiteral("F%1 = 計算中…").arg(f.slot), f.colour});
    }
    return lines;
}

std::vector<ReadoutLine> ComputeReadout(const ReadoutRequest& request, ScriptEvaluator& evaluator) {
    const GraphState& graph = request.graph;
    const AxisMapping mapping(request.settings, graph);
    std::vector<ReadoutLine> lines = AxisLines(request, mapping);
    const std::optional<double> x = mapping.ValueAtColumn(request.column);
    SetParameterValues(evaluator, request.parameters);
    for (const ReadoutFunction& f : request.functions) {
        QString text = QStringLiteral("F%1 = ").arg(f.slot);
        // A column that stands for no x: a spacing of 0 divides by zero.
        ScriptError why;
        why.code = script::ErrorCode::DivisionByZero;
        std::optional<double> y;
        if (x) {
            PreparedExpression prepared(evaluator, f.expression.toStdString());
            y = prepared.Evaluate(Pi, *x, &why);
        }
        if (y) {
            text += AxisValueText(mapping.AxisY(*y), graph.YUnitName);
        } else {
            // "値なし" = no value
            text +=
                QStringLiteral("値なし (") + JapaneseError(why, f.expression) + QStringLiteral(")");
        }
        lines.push_back({text, f.colour});
    }
    return lines;
}

std::vector<ReadoutLine> ReadoutAt(CurvaneState& state, QPointF sheetPoint) {
    const std::optional<ReadoutRequest> request = MakeReadoutRequest(state, sheetPoint);
    return request ? ComputeReadout(*request, state.scriptEvalFn) : std::vector<ReadoutLine>{};
}

QRect ReadoutCorner(const QRect& visibleSheet, QPoint mouse, QSize size) {
    constexpr int Inset = 4;
    const QSize fitted =
        size.boundedTo(visibleSheet.size() - QSize(2 * Inset, 2 * Inset)).expandedTo(QSize(0, 0));
    const QPoint centre = visibleSheet.center();
    const int left = mouse.x() <= centre.x() ? visibleSheet.right() - Inset - fitted.width() + 1
                                             : visibleSheet.left() + Inset;
    const int top = mouse.y() <= centre.y() ? visibleSheet.bottom() - Inset - fitted.height() + 1
                                            : visibleSheet.top() + Inset;
    return {QPoint(left, top), fitted};
}

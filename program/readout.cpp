#include "program/readout.h"

#include "graph/mapping.h"
#include "platform/number_text.h"
#include "platform/script/scriptresult.h"
#include "plot/evaluate.h"
#include "plot/sampling.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"

#include <cmath>

QString UnitSuffix(const QString& unit) {
    return unit == PlainUnitName ? QString() : QStringLiteral(" [") + unit + QStringLiteral("]");
}

QString AxisValueText(double value, const QString& unit) {
    return QString::fromStdString(FormatGeneral(value)) + UnitSuffix(unit);
}

std::vector<ReadoutLine> ReadoutAt(CurvaneState& state, QPointF sheetPoint) {
    const GraphState& graph = state.Graph;
    const double px = std::floor(sheetPoint.x());
    const double py = std::floor(sheetPoint.y());
    if (!(px >= 0 && px < graph.GraphWidthPx && py >= 0 && py < graph.GraphHeightPx)) {
        return {};
    }
    const AxisMapping mapping(state.Settings, graph);
    const int pixel = static_cast<int>(px);
    const float column =
        SampledColumnAt(state.Settings, graph, pixel).value_or(static_cast<float>(pixel));

    std::vector<ReadoutLine> lines;
    lines.push_back(
        {QStringLiteral("x = ") + AxisValueText(mapping.AxisXAtColumn(column), graph.XUnitName),
         Rgb(0, 0, 0)});
    lines.push_back(
        {QStringLiteral("y = ") + AxisValueText(mapping.AxisYAtRow(py), graph.YUnitName),
         Rgb(0, 0, 0)});

    const std::optional<double> x = mapping.ValueAtColumn(column);
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const FunctionSlot& f = SlotOf(state.Slots, slot);
        if (!f.Drawn || f.Hidden || (slot > 1 && !f.RowShown)) {
            continue;
        }
        QString text = QStringLiteral("F%1 = ").arg(slot);
        // A column that stands for no x: a spacing of 0 divides by zero.
        std::string why = script::Describe(script::ErrorCode::DivisionByZero);
        std::optional<double> y;
        if (x) {
            PreparedExpression prepared(state.scriptEvalFn, f.Expression.toStdString());
            y = prepared.Evaluate(graph.Pi, *x, &why);
        }
        if (y) {
            text += AxisValueText(mapping.AxisY(*y), graph.YUnitName);
        } else {
            // "値なし" = no value
            text +=
                QStringLiteral("値なし (") + JapaneseError(why, f.Expression) + QStringLiteral(")");
        }
        lines.push_back({text, f.Color});
    }
    return lines;
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

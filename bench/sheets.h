#pragma once

// The sheets the benchmarks measure, each 1920 × 1080.
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/textlabels.h"

// Fifty free labels "点 P0" ... spread over the sheet.
inline void FiftyLabels(CurvaneState& state) {
    for (int i = 0; i < 50; ++i) {
        const int n = AddFreeLabel(state, 20, 120);
        SetLabelText(state, RefTo(state, LabelKind::Free, n), QStringLiteral("点 P%1").arg(i));
        DropLabel(state, RefTo(state, LabelKind::Free, n), QPointF(40 + 35 * i, 30 + 19 * i));
    }
}

// Grid, three curves in three pens and 50 free labels.
inline void LabelledSheet(CurvaneState& state) {
    StartGraph(state, 1920, 1080);
    const char* const expressions[] = {"sin(x/10)*20", "x*x/100-50", "cos(x/7)*30"};
    const char* const styles[] = {"実2", "鎖1", "点2"};
    for (int slot = 1; slot <= 3; ++slot) {
        ExpressionChanged(state, slot, QString::fromLatin1(expressions[slot - 1]));
        SlotOf(state.Slots, slot).StyleCode = QString::fromUtf8(styles[slot - 1]);
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
    FiftyLabels(state);
}

// A family of a hundred curves drawn one after another.
inline void HundredCurves(CurvaneState& state) {
    StartGraph(state, 1920, 1080);
    for (int k = 0; k < 100; ++k) {
        const int slot = 1 + k % 3;
        ExpressionChanged(state, slot, QStringLiteral("sin(x/10+%1)*%2").arg(k).arg(5 + k % 40));
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
}

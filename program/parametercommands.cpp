#include "program/parametercommands.h"

#include "platform/surface.h"
#include "plot/sheetrecord.h"
#include "program/curvanestate.h"
#include "program/redraw.h"

#include <algorithm>
#include <cmath>

ParameterFrame BeginParameterFrame(const CurvaneState& state, bool keepTraces) {
    ParameterFrame frame;
    frame.keepTraces = keepTraces;
    const ParameterValues values = ValuesOf(state.Params);
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const FunctionSlot& f = SlotOf(state.Slots, slot);
        if (!f.Drawn || f.Hidden || f.Expression != f.SampledExpression) {
            continue;
        }
        // Only the values this expression reads count.
        bool changed = false;
        for (const QString& name : ParameterNamesOf(f.Expression)) {
            const std::string key = name.toStdString();
            const auto now = std::find_if(values.begin(), values.end(),
                                          [&](const auto& v) { return v.first == key; });
            const auto then = std::find_if(f.SampledParameters.begin(), f.SampledParameters.end(),
                                           [&](const auto& v) { return v.first == key; });
            const bool hadValue = then != f.SampledParameters.end();
            changed = changed || now == values.end() || !hadValue || now->second != then->second;
        }
        if (changed) {
            frame.jobs.push_back(MakeSampleJob(state, slot));
        }
    }
    return frame;
}

void RunParameterFrame(ParameterFrame& frame, ScriptEvaluator& evaluator, Progress* progress) {
    for (SampleJob& job : frame.jobs) {
        RunSampleJob(job, evaluator, progress);
    }
}

bool FinishParameterFrame(CurvaneState& state, ParameterFrame&& frame) {
    for (const SampleJob& job : frame.jobs) {
        const FunctionSlot& f = SlotOf(state.Slots, job.slot);
        if (!f.Drawn || f.Hidden || !JobStillFits(state, job)) {
            return false;
        }
    }
    // Each slot's previous curve leaves the record unless traces are kept; the picture is then
    // drawn anew from the record, the new curves over it.
    bool removed = false;
    for (SampleJob& job : frame.jobs) {
        const std::uint64_t previous = SlotOf(state.Slots, job.slot).RowsId;
        state.Graph.PlotValues.AdoptSlot(job.graph.PlotValues, job.slot);
        TakeJobRows(state, std::move(job));
        if (!frame.keepTraces) {
            auto& curves = state.Record.curves;
            const auto before = curves.size();
            curves.erase(std::remove_if(curves.begin(), curves.end(),
                                        [&](const DrawnCurve& c) { return c.rowsId == previous; }),
                         curves.end());
            removed = removed || curves.size() != before;
        }
    }
    if (removed) {
        RenderRecord(state.Record, state.Sheet);
        state.Record.id = NewSheetId();
    }
    for (const SampleJob& job : frame.jobs) {
        DrawSlotCurve(state, job.slot);
    }
    return true;
}

bool ParameterValueChanged(CurvaneState& state, const QString& name, double value) {
    Parameter* parameter = FindParameter(state.Params, name);
    return parameter != nullptr && SetParameterValue(*parameter, value);
}

bool ParameterRangeChanged(CurvaneState& state, const QString& name, double minimum, double maximum,
                           double step) {
    Parameter* parameter = FindParameter(state.Params, name);
    if (parameter == nullptr || !std::isfinite(minimum) || !std::isfinite(maximum) ||
        !std::isfinite(step) || minimum > maximum || step <= 0) {
        return false;
    }
    parameter->minimum = minimum;
    parameter->maximum = maximum;
    parameter->step = step;
    parameter->value = std::clamp(parameter->value, minimum, maximum);
    return true;
}

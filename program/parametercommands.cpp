#include "program/parametercommands.h"

#include "platform/surface.h"
#include "plot/sheetrecord.h"
#include "program/curvanestate.h"
#include "program/redraw.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <thread>

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

void RunParameterFrame(ParameterFrame& frame, ScriptEvaluator& evaluator, Progress* progress,
                       ScriptEvaluator* helper) {
    if (helper == nullptr || progress != nullptr || frame.jobs.size() < 2) {
        for (SampleJob& job : frame.jobs) {
            RunSampleJob(job, evaluator, progress);
        }
        return;
    }
    // The jobs share nothing: a second thread takes every other one meanwhile.
    const auto every = [&frame](std::size_t first, ScriptEvaluator& with) {
        for (std::size_t i = first; i < frame.jobs.size(); i += 2) {
            RunSampleJob(frame.jobs[i], with, nullptr);
        }
    };
    std::exception_ptr failed;
    std::thread second([&] {
        try {
            every(1, *helper);
        } catch (...) {
            failed = std::current_exception();
        }
    });
    try {
        every(0, evaluator);
    } catch (...) {
        second.join();
        throw;
    }
    second.join();
    if (failed) {
        std::rethrow_exception(failed);
    }
}

bool FinishParameterFrame(CurvaneState& state, ParameterFrame& frame) {
    for (const SampleJob& job : frame.jobs) {
        const FunctionSlot& f = SlotOf(state.Slots, job.slot);
        if (!f.Drawn || f.Hidden || !JobStillFits(state, job)) {
            return false;
        }
    }
    // Each slot's previous curve leaves the record unless traces are kept, and the new curves are
    // drawn over what remains.
    frame.changed.clear();
    std::vector<std::uint64_t> previous;
    for (SampleJob& job : frame.jobs) {
        previous.push_back(SlotOf(state.Slots, job.slot).RowsId);
        state.Graph.PlotValues.AdoptSlot(job.graph.PlotValues, job.slot);
        TakeJobRows(state, std::move(job));
    }
    if (!frame.keepTraces &&
        EraseRecordedCurves(state.Record, state.Sheet, &state.SheetBase, previous, frame.changed)) {
        state.Record.id = NewSheetId();
    }
    for (const SampleJob& job : frame.jobs) {
        DrawSlotCurve(state, job.slot, true);
        DrawnCurve& drawn = state.Record.curves.back();
        AddRecordedCurveReach(frame.changed, state.Sheet, drawn);
        if (frame.keepTraces) {
            drawn.reach.reset(); // a trace stays: no frame takes it off again
        }
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

namespace {
constexpr int MostSliderSteps = 1000000;
}

int SliderSteps(const Parameter& parameter) {
    const double steps = std::round((parameter.maximum - parameter.minimum) / parameter.step);
    return std::isfinite(steps) ? static_cast<int>(std::clamp(steps, 0.0, double(MostSliderSteps)))
                                : 0;
}

int SliderPosition(const Parameter& parameter) {
    const double position = std::round((parameter.value - parameter.minimum) / parameter.step);
    return std::isfinite(position)
               ? static_cast<int>(std::clamp(position, 0.0, double(SliderSteps(parameter))))
               : 0;
}

double SliderValue(const Parameter& parameter, int position) {
    if (position >= SliderSteps(parameter)) {
        return parameter.maximum;
    }
    // Whole steps from the minimum, without the binary rounding of the steps (-10 + 123 × 0.1
    // is 2.3, not 2.3000000000000007): twelve digits are more than a slider can tell apart.
    const double value = parameter.minimum + position * parameter.step;
    return std::clamp(QString::number(value, 'g', 12).toDouble(), parameter.minimum,
                      parameter.maximum);
}

QString SetParametersFromText(CurvaneState& state, const QStringList& assignments) {
    MarkUsedParameters(state.Params, SlotExpressions(state.Slots));
    TakeParameterNames(state.Params, SlotExpressions(state.Slots));
    for (const QString& text : assignments) {
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        const QString name = text.left(equals).trimmed();
        bool ok = false;
        const double value = equals < 0 ? 0 : text.mid(equals + 1).trimmed().toDouble(&ok);
        if (equals < 0 || name.isEmpty()) {
            return QStringLiteral("--set %1: expected NAME=VALUE").arg(text);
        }
        const Parameter* parameter = FindParameter(state.Params, name);
        if (parameter == nullptr || !parameter->used) {
            return QStringLiteral("--set %1: %2 is not a parameter of the file's expressions")
                .arg(text, name);
        }
        if (!ok || !ParameterValueChanged(state, name, value)) {
            return QStringLiteral("--set %1: %2 is not a number").arg(text, text.mid(equals + 1));
        }
    }
    return {};
}

#pragma once

#include "program/functionpanel.h"

#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <vector>

class Progress;
class ScriptEvaluator;
struct CurvaneState;

// What a parameter's new value changes on the sheet. Every drawn and shown slot whose expression
// reads a parameter whose value differs from the one its rows were computed with is computed
// again (on a worker, like a draw) and drawn: its new curve replaces the slot's previous one, so a
// moving value leaves no family behind, or, with traces kept ("軌跡を残す"), joins the curves
// already there.
struct ParameterFrame {
    std::vector<SampleJob> jobs;
    bool keepTraces = false;
    // Once drawn: the parts of the sheet that may look different, to be shown again.
    std::vector<QRect> changed;
};

// The computations a frame needs for the state as it is; none when no drawn curve reads a changed
// value.
ParameterFrame BeginParameterFrame(const CurvaneState& state, bool keepTraces);
// Computes every job of the frame with the evaluator, each with its own values; with a helper
// evaluator (and no progress to report), half of them on a second thread at the same time.
void RunParameterFrame(ParameterFrame& frame, ScriptEvaluator& evaluator, Progress* progress,
                       ScriptEvaluator* helper = nullptr);
// Takes the jobs' rows over and draws them, noting in the frame what changed on the sheet. False,
// and nothing changed, when the state moved on since the frame began (another value,
// expression or axis): a newer frame is on its way then.
bool FinishParameterFrame(CurvaneState& state, ParameterFrame& frame);

// A value the user set for a parameter (typed, slid or animated; beyond the range it widens it).
// False when there is no such parameter or the value is no number.
bool ParameterValueChanged(CurvaneState& state, const QString& name, double value);
// A parameter's range and step as typed; a minimum above the maximum, or a step of 0 or less, is
// refused (false) and changes nothing. The value is kept within the new range.
bool ParameterRangeChanged(CurvaneState& state, const QString& name, double minimum, double maximum,
                           double step);

// A slider over a parameter's range moves by its step: positions 0 to SliderSteps, the last one
// the maximum (a range of more steps than a slider can take is cut to that many).
int SliderSteps(const Parameter& parameter);
int SliderPosition(const Parameter& parameter);
double SliderValue(const Parameter& parameter, int position);

// Values given by name, as "NAME=VALUE" on the command line, for parameters of the expressions.
// An empty text on success; otherwise what is wrong, naming the name or the text.
QString SetParametersFromText(CurvaneState& state, const QStringList& assignments);

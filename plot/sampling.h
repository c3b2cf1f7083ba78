#pragma once

#include "graph/graphsettings.h"

#include <QtCore/QString>
#include <cstdint>
#include <string>

class ScriptEvaluator;

// The texts of the axis panel that a computation takes over first: the unit boxes and the four
// value boxes.
struct AxisPanelTexts {
    QString XUnit = PlainUnitName;
    QString YUnit = PlainUnitName;
    QString XOriginValue = QStringLiteral("0");
    QString YOriginValue = QStringLiteral("0");
    QString XSmallValue = QStringLiteral("1");
    QString YSmallValue = QStringLiteral("1");
};

// Units and values as the panel shows them, each box read by its leading number.
void TakeAxisPanelTexts(GraphState& state, const AxisPanelTexts& panel);

// How a computation went: the columns computed, those that got a value, and the evaluator's
// first complaint (English) when some did not.
struct SampleReport {
    int columns = 0;
    int withValue = 0;
    std::string firstError;
};

// Computes a slot's rows: for every column of the covered range, the value the expression has
// there, as a row clamped to ±PlotLimit, or the no-value mark where it has none. Columns outside
// the range keep what they held.
SampleReport SampleFunction(ScriptEvaluator& evaluator, const GraphSettings& settings,
                            GraphState& state, const AxisPanelTexts& panel, int slot,
                            const QString& expression);

// The number of occurrences of pattern in text, overlapping ones included.
std::int32_t ChrCount(const QString& text, const QString& pattern);

// The bracket check that guards every draw: as many "(" as ")", in whatever order.
bool BracketsMatch(const QString& text);

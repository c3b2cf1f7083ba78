#pragma once

#include "graph/graphsettings.h"

class LabelFamily;

// The most labels one family can hold: indices are 16-bit.
inline constexpr int MaxTickLabels = 32767;

// Rebuilds the tick numbers of both axes from their templates: the origin numbers, the numbers
// walking away from the origin (a number that would overlap the one before it stays hidden) and
// the unit labels.
void PlaceTickNumbers(LabelFamily& xmoji, LabelFamily& ymoji, const GraphSettings& settings,
                      const GraphState& state);

#pragma once

#include <QtCore/QString>

struct CurvaneState;

// Ready-made scales for both axes (表示 > 目盛りのプリセット).
enum class ScalePreset {
    Standard,      // "標準": the scale a new graph starts with
    Trigonometric, // "三角関数": X in steps of π/4, so that a period of sin is a hand wide
    Zoom10,        // "拡大 ±10": both axes from -10 to 10 across the sheet
};

// "標準", "三角関数", "拡大 ±10".
QString ScalePresetCaption(ScalePreset preset);

// Gives both axes the preset's spacings, steps, units and values (the origin keeps its place on
// the sheet, the lines their colours) and redraws the grid; every curve must be computed again,
// as after any change of the scale. One call is one change of the state.
void ApplyScalePreset(CurvaneState& state, ScalePreset preset);

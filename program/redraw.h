#pragma once

struct CurvaneState;

// The grid over what the sheet shows, and the tick numbers placed anew; the curves stay as they
// are in their rows.
void DrawGridAndNumbers(CurvaneState& state);

// Draws a slot's curve from its rows over what the sheet shows, and adds it to the sheet's
// record.
void DrawSlotCurve(CurvaneState& state, int slot);

// Grid, tick numbers, and every curve that is drawn and not erased, from its stored rows.
void RedrawAll(CurvaneState& state);

// Grid and tick numbers after the coordinate system changed: every curve must be computed again,
// so all drawn and hidden flags are cleared and the draw buttons offer "描画" (draw).
void RedrawSettings(CurvaneState& state);

// Clears every drawn and hidden flag and sets every draw button back to "描画" (draw).
void ForgetCurves(CurvaneState& state);

// What the main window's activation did with the two pending redraw requests.
enum class ActivationRedraw { None, Settings, All };

// Serves one pending request per activation, the settings one first.
ActivationRedraw RedrawOnActivation(CurvaneState& state);

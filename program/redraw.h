#pragma once

struct CurvaneState;
struct DrawnCurve;

// The grid over what the sheet shows, and the tick numbers placed anew; the curves stay as they
// are in their rows.
void DrawGridAndNumbers(CurvaneState& state);

// Draws a slot's curve from its rows over what the sheet shows, and adds it to the sheet's
// record; a curve that will soon be taken off again (by a moving parameter) keeps the pixels it
// may have set.
void DrawSlotCurve(CurvaneState& state, int slot, bool keepReach = false);

// Draws a curve over what the sheet shows, starting from the pattern phase where the last one
// stopped, and adds it to the sheet's record; the tangent lines stay on top.
void DrawRecordCurve(CurvaneState& state, DrawnCurve curve, bool keepReach = false);

// The sheet's picture made afresh from its record, after an item was taken out of it or put
// under others (an area goes under the curves).
void RenderSheetFromRecord(CurvaneState& state);

// Grid, tick numbers, and every curve that is drawn and not erased, from its stored rows; the
// areas, derivative curves and tangent lines of the record stay, in their places.
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

#pragma once

struct CurvaneState;

// Draws every shown tick number (in its family's colour) and free label (in its own) into the
// sheet's image, with the routine the sheet view paints them with: what leaves the program is
// what the screen showed. A full redraw takes them out again.
void StampLabels(CurvaneState& state);

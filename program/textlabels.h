#pragma once

#include "program/curvanestate.h"

#include <QtCore/QPointF>
#include <QtCore/QRectF>
#include <QtCore/QSizeF>
#include <optional>
#include <vector>

// The labels on the sheet as the user handles them: free labels added, any label moved,
// re-edited, erased and restored.

LabelFamily& FamilyOf(CurvaneState& state, LabelKind kind);
const LabelFamily& FamilyOf(const CurvaneState& state, LabelKind kind);
// The label a reference names, if it still exists.
TextLabel* Resolve(CurvaneState& state, const LabelRef& ref);
LabelRef RefTo(const CurvaneState& state, LabelKind kind, int index);

// The free labels' template: "・" in black, a Japanese gothic of 9.75 points.
void InitFreeLabelTemplate(LabelFamily& addMoji);

// The shown label under a sheet point, the topmost first (free labels lie above tick numbers,
// later ones above earlier ones).
std::optional<LabelRef> LabelAt(const CurvaneState& state, QPointF point);

// Adds a free label with the newest one's text, colour and font (the template's for the first),
// shown just below the adding row at the sheet's top left: left at the row's "Font" button, top
// two row heights down. Returns its index.
int AddFreeLabel(CurvaneState& state, double rowHeight, double fontButtonLeft);

// Where a label of the given size goes beside a point of the sheet: the first of the four
// corners around the point (above right, above left, below right, below left) where it lies on
// the sheet and covers no shown tick number, free label or label mark; else the first that lies
// on the sheet; else the first, moved onto the sheet as far as it goes. self is not in the way.
QPointF LabelCornerBeside(const CurvaneState& state, QPointF point, QSizeF size,
                          const LabelRef& self);

// Adds a free label with a text, looking like the newest free label, at the corner beside a sheet
// point that LabelCornerBeside finds. Returns its index.
int AddFreeLabelNear(CurvaneState& state, const QString& text, QPointF point);

// Centres a dragged label on the drop point; a drop onto another shown label leaves it where it
// was (false).
bool DropLabel(CurvaneState& state, const LabelRef& ref, QPointF point);
// Whether a shown label other than the dragged one lies under a sheet point.
bool OtherLabelAt(const CurvaneState& state, const LabelRef& dragged, QPointF point);

// Whether the label of the re-edit box was discarded by a redraw since the box opened on it.
bool EditedLabelGone(CurvaneState& state);

// Hides a label and remembers it, most recent last.
void EraseLabel(CurvaneState& state, const LabelRef& ref);
// Shows the most recently erased label that still exists again; false when there is none.
bool RestoreLabel(CurvaneState& state);

// Where the re-edit row (of the given width) goes for a label: centred above it by two label
// heights, kept within the sheet's width, below the label when there is no room above.
QPointF ReEditRowPosition(const TextLabel& label, double rowWidth, double sheetWidth);

// Text, colour and font of a label changed through an edit box.
void SetLabelText(CurvaneState& state, const LabelRef& ref, const QString& text);
void SetLabelColor(CurvaneState& state, const LabelRef& ref, ColorRef colour);
void SetLabelFont(CurvaneState& state, const LabelRef& ref, const FontSpec& font);

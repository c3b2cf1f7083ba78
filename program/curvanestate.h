#pragma once

#include "graph/graphsettings.h"
#include "platform/labels.h"
#include "platform/surface.h"
#include "plot/functionslot.h"
#include "plot/parameters.h"
#include "plot/sheetrecord.h"
#include "program/axispanelmodel.h"
#include "script/scriptevaluator.h"

#include <QtCore/QLineF>
#include <QtCore/QString>
#include <optional>
#include <vector>

enum class LabelKind { Free, XTick, YTick }; // AddMoji, Xmoji, Ymoji

// A label of one of the three families. The generation tells a tick number of an earlier redraw
// from the one that took its index.
struct LabelRef {
    LabelKind kind = LabelKind::Free;
    int index = 0;
    int generation = 0;
    bool operator==(const LabelRef&) const = default;
};

// The two red guide lines that preview the axes while the origin is being placed.
struct GuideLines {
    QLineF lineX; // horizontal
    QLineF lineY; // vertical
};

// The calculus window's tools on the sheet: a click draws a tangent, a drag shades an area.
enum class CalculusTool { None, Tangent, Area };

// What the user makes and keeps: the grid settings and axis values, the function rows, what the
// sheet shows (its record and labels), and the file names it came from or went to. Copying it is
// cheap: pictures and curve rows are shared until one side changes them.
struct CurvaneDocument {
    GraphSettings Settings;
    GraphState Graph;
    FunctionSlots Slots;
    SheetRecord Record;  // the sheet's picture: background, grid and curves in drawing order
    LabelFamily Xmoji;   // X tick numbers
    LabelFamily Ymoji;   // Y tick numbers
    LabelFamily AddMoji; // free labels
    // Erased labels, most recent last.
    std::vector<LabelRef> ErasedLabels;
    // Which steps of a dotted or chain curve are drawn; runs on across pieces, curves and
    // redraws for as long as the window lives.
    std::int16_t PatternPhase = 0;
    // The names the expressions read without a value, with the values the user gave them.
    Parameters Params;
    // What the axis panel's unit and value boxes hold: the next computation takes them over.
    // The window keeps it in step with its boxes; without a window it stays as it starts.
    AxisPanelTexts PanelTexts;
    QString SettingsFileName;
    QString BitmapFileName;
};

// Everything the main window knows: the document, and what belongs to the window while it runs.
// Procedures take the parts they need.
struct CurvaneState : CurvaneDocument {
    // picScreen's 96-dpi picture of the record, kept up to date item by item as they are drawn.
    Surface Sheet;
    // The sheet's lowest layers as last drawn, for redraws that change only what lies above.
    RecordBase SheetBase;
    // The slot whose function box had the focus last; 0 before any had it.
    std::int16_t StyleTarget = 0;
    // Mouse modes of the sheet: placing the origin (with its guide lines) and an armed zoom
    // (1 in, -1 out, 0 none).
    bool OriginDragging = false;
    GuideLines Guides;
    std::int16_t ZoomDirection = 0;
    // An armed calculus tool, and the columns an area is being dragged across.
    CalculusTool CalculusArmed = CalculusTool::None;
    std::optional<double> AreaDragFrom;
    std::optional<double> AreaDragTo;
    // The expression evaluator (scriptEvalFn); it keeps its variables for the window's life.
    ScriptEvaluator scriptEvalFn;
    // The label the re-edit box works on.
    std::optional<LabelRef> EditedLabel;
    // Redraw requests carried across a modal dialog to the main window's next activation.
    bool SettingsChanged = false;
    bool PrintDialogClosed = false;
    // Set while a settings file is put into the state: the axis value boxes do not react.
    bool SuppressTextEvents = false;
    // The worksheet the document was last opened from or saved to; empty before either.
    QString WorksheetFileName;
};

// The sheet's drawing size when the program starts: 5025 × 3855 twips overall less a frame of
// two pixels on each side.
inline constexpr int SheetFramePx = 2;
inline constexpr double DesignSheetWidthTwips = 5025.0;
inline constexpr double DesignSheetHeightTwips = 3855.0;

// Start-up of the graph: a sheet of the given drawing size, the default settings, the grid and
// the tick numbers.
void StartGraph(CurvaneState& state, int sheetWidth, int sheetHeight);

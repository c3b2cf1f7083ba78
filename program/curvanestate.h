#pragma once

#include "graph/graphsettings.h"
#include "platform/labels.h"
#include "platform/script/scriptevaluator.h"
#include "platform/surface.h"
#include "plot/functionslot.h"

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

// Everything the main window knows, in one place. Procedures take the parts they need.
struct CurvaneState {
    GraphSettings Settings;
    GraphState Graph;
    Surface Sheet;       // picScreen's drawing
    LabelFamily Xmoji;   // X tick numbers
    LabelFamily Ymoji;   // Y tick numbers
    LabelFamily AddMoji; // free labels
    FunctionSlots Slots;
    // Which steps of a dotted or chain curve are drawn; runs on across pieces, curves and
    // redraws for as long as the window lives.
    std::int16_t PatternPhase = 0;
    // The slot whose function box had the focus last; 0 before any had it.
    std::int16_t StyleTarget = 0;
    // Mouse modes of the sheet: placing the origin (with its guide lines) and an armed zoom
    // (1 in, -1 out, 0 none).
    bool OriginDragging = false;
    GuideLines Guides;
    std::int16_t ZoomDirection = 0;
    // The expression evaluator (scriptEvalFn); it keeps its variables for the window's life.
    ScriptEvaluator scriptEvalFn;
    // Erased labels, most recent last, and the label the re-edit box works on.
    std::vector<LabelRef> ErasedLabels;
    std::optional<LabelRef> EditedLabel;
    QString SettingsFileName;
    QString BitmapFileName;
};

// The sheet's drawing size when the program starts: 5025 × 3855 twips overall less a frame of
// two pixels on each side.
inline constexpr int SheetFramePx = 2;
inline constexpr double DesignSheetWidthTwips = 5025.0;
inline constexpr double DesignSheetHeightTwips = 3855.0;

// Start-up of the graph: a sheet of the given drawing size, the default settings, the grid and
// the tick numbers.
void StartGraph(CurvaneState& state, int sheetWidth, int sheetHeight);

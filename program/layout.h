#pragma once

#include <cstdint>

// The main window's geometry arithmetic, in twips like the stored placement.

struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
};

// Designed sizes the layout keeps fixed.
inline constexpr double GraphSetWidthTwips = 1815.0; // the settings panel picGraphSet
inline constexpr double FnSetHeightTwips = 975.0;    // the function panel picFNSet

// Converts to the nearest 16-bit integer, ties to even, clamped to the 16-bit range: scroll bar
// ranges are 16-bit.
std::int16_t ToInt16(double value);

struct WindowLayout {
    TwipRect graphSet; // picGraphSet
    TwipRect fnSet;    // picFNSet
    double sheetLeft;  // picScreen goes back home
    double sheetTop;
};

// outerWidth: the window's outer width, frame included; clientHeight: the height of the client
// area; toolbarHeight: T. The settings panel is placed from the outer width, so its right part
// lies under the frame by the frame's width.
WindowLayout LayoutWindow(double outerWidth, double clientHeight, double toolbarHeight);

// One of the sheet's two scroll bars: the range runs from minus to plus the sheet's size.
struct ScrollBarPlan {
    bool visible = false;
    std::int16_t maximum = 0;
    std::int16_t minimum = 0;
    std::int16_t smallStep = 100;
    std::int16_t largeStep = 0;
    TwipRect rect;
};

struct SheetScrollInput {
    double sheetWidth; // outer size of the sheet, frame included
    double sheetHeight;
    TwipRect graphSet;
    TwipRect fnSet;
    double toolbarTop;
    double toolbarHeight;
    double horizontalBarHeight; // scrXdirect's height
    double verticalBarWidth;    // scrYdirect's width
};

struct SheetScrollPlan {
    ScrollBarPlan horizontal; // scrXdirect
    ScrollBarPlan vertical;   // scrYdirect
};

// A bar is shown only when the sheet is strictly larger than the room for it.
SheetScrollPlan LayoutSheetScrollBars(const SheetScrollInput& input);

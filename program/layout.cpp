#include "program/layout.h"

#include <cmath>
#include <limits>

std::int16_t ToInt16(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = std::nearbyint(value);
    if (rounded >= std::numeric_limits<std::int16_t>::max()) {
        return std::numeric_limits<std::int16_t>::max();
    }
    if (rounded <= std::numeric_limits<std::int16_t>::min()) {
        return std::numeric_limits<std::int16_t>::min();
    }
    return static_cast<std::int16_t>(rounded);
}

WindowLayout LayoutWindow(double outerWidth, double clientHeight, double toolbarHeight) {
    WindowLayout layout{};
    layout.graphSet = {outerWidth - GraphSetWidthTwips, toolbarHeight, GraphSetWidthTwips,
                       clientHeight - toolbarHeight};
    layout.fnSet = {0, clientHeight - FnSetHeightTwips, outerWidth - GraphSetWidthTwips,
                    FnSetHeightTwips};
    layout.sheetLeft = 0;
    layout.sheetTop = layout.graphSet.top;
    return layout;
}

SheetScrollPlan LayoutSheetScrollBars(const SheetScrollInput& in) {
    SheetScrollPlan plan;
    if (in.sheetWidth > in.graphSet.left) {
        ScrollBarPlan& bar = plan.horizontal;
        bar.visible = true;
        bar.maximum = ToInt16(in.sheetWidth);
        bar.minimum = ToInt16(-in.sheetWidth);
        bar.smallStep = 100;
        bar.largeStep = ToInt16(in.sheetWidth / 4);
        bar.rect = {0, in.fnSet.top - in.horizontalBarHeight, in.graphSet.left,
                    in.horizontalBarHeight};
    }
    const double room = in.fnSet.top - in.toolbarTop - in.toolbarHeight;
    if (room < in.sheetHeight) {
        ScrollBarPlan& bar = plan.vertical;
        bar.visible = true;
        bar.maximum = ToInt16(in.sheetHeight);
        bar.minimum = ToInt16(-in.sheetHeight);
        bar.smallStep = 100;
        bar.largeStep = ToInt16(in.sheetHeight / 4);
        // The horizontal bar's height is taken off whether it is shown or not.
        bar.rect = {in.graphSet.left - in.verticalBarWidth, in.graphSet.top, in.verticalBarWidth,
                    in.fnSet.top - in.graphSet.top - in.horizontalBarHeight};
    }
    return plan;
}

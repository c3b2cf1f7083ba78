#pragma once

#include "platform/colorref.h"
#include "plot/parameters.h"
#include "plot/sampling.h"

#include <QtCore/QString>
#include <array>
#include <cstdint>

// What a slot's draw button offers next: "描画" (draw), "消去" (erase) or "更新" (update).
enum class DrawButtonState { Draw, Erase, Update };

// One function row, F1 to F3.
struct FunctionSlot {
    QString Expression;
    ColorRef Color = Rgb(0, 0, 0);
    QString StyleCode = QStringLiteral("実1"); // "実1" = thin solid
    DrawButtonState Button = DrawButtonState::Draw;
    bool RowShown = false;
    // Drawn: the slot's rows in PlotValues hold the curve for the current settings.
    // Hidden: the curve was erased from the picture while its rows stay valid.
    bool Drawn = false;
    bool Hidden = false;
    // The expression the rows were computed from, and which computation it was.
    QString SampledExpression;
    ParameterValues SampledParameters;
    std::uint64_t RowsId = 0;
    // The last computation of the rows, for the row's tooltip, and how many there were.
    SampleReport LastSample;
    int SampleCount = 0;
};

inline constexpr int SlotCount = 3;

// Slots are numbered 1 to 3 as the user sees them.
using FunctionSlots = std::array<FunctionSlot, SlotCount>;
inline FunctionSlot& SlotOf(FunctionSlots& all, int slot) {
    return all[static_cast<std::size_t>(slot - 1)];
}
inline const FunctionSlot& SlotOf(const FunctionSlots& all, int slot) {
    return all[static_cast<std::size_t>(slot - 1)];
}

#include "graph/mapping.h"

#include <cmath>
#include <limits>

std::optional<double> PixelToValueX(const GraphSettings& settings, const GraphState& state,
                                    float column) {
    const double spacing = settings.XSmallSpacing;
    if (spacing == 0.0) {
        return std::nullopt;
    }
    const double v = (static_cast<double>(column) - static_cast<double>(settings.OriginX)) /
                         spacing * state.XSmallValue +
                     state.XOriginValue;
    double x = v;
    if (state.XUnitName == DegreeUnitName) {
        x = v * state.Pi / 180.0;
    } else if (state.XUnitName == PiUnitName) {
        x = v * state.Pi;
    }
    if (!std::isfinite(x)) {
        return std::nullopt;
    }
    return x;
}

float ValueToPixelY(const GraphSettings& settings, const GraphState& state, double y) {
    if (state.YUnitName == DegreeUnitName) {
        y = y * 180.0 / state.Pi;
    } else if (state.YUnitName == PiUnitName) {
        y = y / state.Pi;
    }
    const float limit = state.PlotLimit;
    const auto fallback = [&] {
        const float sign = y > 0.0 ? 1.0f : (y < 0.0 ? -1.0f : 0.0f);
        return -sign * limit;
    };
    if (std::isnan(y) || state.YSmallValue == 0.0) {
        return fallback();
    }
    const double r = static_cast<double>(settings.OriginY) -
                     (y - state.YOriginValue) / state.YSmallValue * settings.YSmallSpacing;
    if (!std::isfinite(r) || std::fabs(r) > std::numeric_limits<float>::max()) {
        return fallback();
    }
    float row = static_cast<float>(r);
    if (row > limit) {
        row = limit;
    }
    if (row < -limit) {
        row = -limit;
    }
    return row;
}

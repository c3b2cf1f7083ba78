#pragma once

#include "program/layout.h"

class SettingsStore;

// The window's outer geometry in twips, kept between runs in the per-user store.
struct Placement {
    double left = 1000;
    double top = 1000;
    double width = 6915;
    double height = 5955;
};

// The stored placement; a key that is missing or holds no number gives its default.
Placement LoadPlacement(const SettingsStore& store);

enum class WindowShow { Normal, Maximized, Minimized };

// Stores the placement; a minimised window stores nothing, so the previous values stay.
void SavePlacement(SettingsStore& store, const Placement& placement, WindowShow show);

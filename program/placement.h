#pragma once

#include "program/layout.h"

#include <QtCore/QString>

class SettingsStore;

// The window's outer geometry in twips, kept between runs in the per-user store.
struct Placement {
    double left = 1000;
    double top = 1000;
    double width = 6915;
    double height = 5955;
};

// The stored placement; a key that is missing or holds no number gives its default.
// window names whose placement it is: "Main" for the main window, "Parameters" for the
// parameters window.
Placement LoadPlacement(const SettingsStore& store, const QString& window = QStringLiteral("Main"));

// The outer geometry moved, and made smaller where it must, so that all of it lies in area (the
// available part of the screen the window is on, twips). A size from a damaged store or a
// settings file would otherwise make a window of gigabytes that every later start repeats.
// A size below nothing counts as nothing; what fits stays as it is.
Placement FitToArea(const Placement& wanted, const TwipRect& area);

// What to store at exit for a window whose outer geometry is now now (whole pixels, in twips),
// when read was the placement read at start: each value the window still has in whole pixels is
// written back as read. Twips are no whole pixels (7000 twips are 466.7 pixels, shown as 467,
// which are 7005 twips), and an untouched window must not drift from run to run.
Placement PlacementToSave(const Placement& read, const Placement& now);

enum class WindowShow { Normal, Maximized, Minimized };

// Stores the placement; a minimised window stores nothing, so the previous values stay.
void SavePlacement(SettingsStore& store, const Placement& placement, WindowShow show,
                   const QString& window = QStringLiteral("Main"));

#pragma once

#include "platform/colorref.h"

#include <QtCore/QString>
#include <cstdint>

class Dialogs;
class Surface;
struct GraphSettings;

// The detailed settings dialog frmSetMore without its widgets: the working copy, the state of its
// controls as plain data, and the procedures between the two and the graph settings record. The
// widget only mirrors SetMoreControls on the screen and calls these.

// The values the dialog edits before OK writes them back.
struct SetMoreEdit {
    // 0 free, 1 fixed at the left; with 1, EditYSide is 1 upper, 0 centre, -1 lower.
    std::int16_t EditXSide = 0;
    std::int16_t EditYSide = 0;
    bool EditSmallOn = true;
    bool EditMediumOn = true;
    bool EditLargeOn = true;
    bool EditAxisOn = true;
    ColorRef EditSmallColor = 0;
    ColorRef EditMediumColor = 0;
    ColorRef EditLargeColor = 0;
    ColorRef EditAxisColor = 0;
    ColorRef EditBackColor = 0;
    // Inner size of picPreview in pixels.
    float PreviewWidth = 0.0f;
    float PreviewHeight = 0.0f;
};

// The selected button of an option group, or none: a record value the dialog has no button for
// selects none.
// The placement group fraArray "原点の配置" (origin placement): optFree, optLUpper, optLCenter,
// optLUnder.
enum class PlacementChoice { Unselected, Free, LUpper, LCenter, LUnder };
// The On and Off buttons of a line class or of the axes (optSScaleOn, optSScaleOff ...).
enum class OnOffChoice { Unselected, On, Off };
// A tick-number group, optXmojiNone to optXLmoji: each button's value is the mode code it
// stands for.
enum class TickChoice : std::int16_t {
    Unselected = 0,
    NoNumbers = 1,
    EverySmall = 2,
    EveryMedium = 3,
    EveryLarge = 4,
};

// What the controls show: the choice of each option group, named after its frame, and what the
// swatches and size labels show.
struct SetMoreControls {
    PlacementChoice fraArray = PlacementChoice::Unselected;
    OnOffChoice fraSScale = OnOffChoice::Unselected;
    OnOffChoice fraMScale = OnOffChoice::Unselected;
    OnOffChoice fraLScale = OnOffChoice::Unselected;
    OnOffChoice fraAxis = OnOffChoice::Unselected;
    ColorRef lblSScaleCol = 0;
    ColorRef lblMScaleCol = 0;
    ColorRef lblLScaleCol = 0;
    ColorRef lblAxisCol = 0;
    ColorRef lblBackCol = 0;
    // The tick-number settings live only here until OK.
    TickChoice fraXmoji = TickChoice::Unselected;
    TickChoice fraYmoji = TickChoice::Unselected;
    QString lblXfontsize;
    QString lblYfontsize;
    ColorRef lblXmojicolor = 0;
    ColorRef lblYmojicolor = 0;
};

// The option buttons that change the working copy when clicked.
enum class ScaleOption {
    optFree,
    optLUpper,
    optLCenter,
    optLUnder,
    optSScaleOn,
    optSScaleOff,
    optMScaleOn,
    optMScaleOff,
    optLScaleOn,
    optLScaleOff,
    optAxisOn,
    optAxisOff,
};

// The swatches whose colour is part of the working copy and of the preview.
enum class ScaleSwatch { lblSScaleCol, lblMScaleCol, lblLScaleCol, lblAxisCol, lblBackCol };

// The tick-number option buttons, which only hold their state until OK.
enum class TickOption {
    optXmojiNone,
    optXSmoji,
    optXMmoji,
    optXLmoji,
    optYmojiNone,
    optYSmoji,
    optYMmoji,
    optYLmoji,
};

// The fields of SetMoreControls by kind, so that the dialog can name the one a control shows.
using SetMoreSwatch = ColorRef SetMoreControls::*;
using SetMoreCaption = QString SetMoreControls::*;

// Whether an option button is the selected one of its group.
bool IsSelected(const SetMoreControls& controls, ScaleOption option);
bool IsSelected(const SetMoreControls& controls, TickOption option);
// The field each colour swatch stands for.
SetMoreSwatch SwatchOf(ScaleSwatch swatch);

// Record to working copy and tick-number controls. A line class shows as on when either axis
// has it on; each colour comes from the first field of its record pair.
void LoadDetailSettings(const GraphSettings& settings, SetMoreEdit& edit,
                        SetMoreControls& controls);

// Working copy to the placement and scale-line controls.
void ShowScaleOptions(const SetMoreEdit& edit, SetMoreControls& controls);

// Placement and scale-line controls to the working copy; a group with nothing selected leaves
// its fields as they are.
void ReadScaleOptions(const SetMoreControls& controls, SetMoreEdit& edit);

// Working copy and tick-number controls to the record. Does not touch SettingsChanged.
void SaveDetailSettings(const SetMoreEdit& edit, const SetMoreControls& controls,
                        GraphSettings& settings);

// What a click on one of the scale option buttons does to the working copy (the caller redraws
// the preview).
void ScaleOptionClicked(SetMoreEdit& edit, ScaleOption option);

// Marks option as the only selected button of its group.
void SelectScaleOption(SetMoreControls& controls, ScaleOption option);
void SelectTickOption(SetMoreControls& controls, TickOption option);

// Asks for a colour for a swatch of the working copy (colour dialog in its full form). Returns
// whether anything changed; a cancelled dialog changes nothing.
bool ScaleSwatchClicked(Dialogs& dialogs, SetMoreEdit& edit, SetMoreControls& controls,
                        ScaleSwatch swatch);

// A tick-number colour swatch: only the swatch changes, until OK.
void TickColorClicked(Dialogs& dialogs, ColorRef& swatch);

// A font size label: its caption becomes the typed text as it is, empty when cancelled.
void FontSizeClicked(Dialogs& dialogs, QString& caption);

// A font size as the size label shows it: the shortest text that reads back as the same size
// ("9", "12.5").
QString FontSizeCaption(float points);

// The font size a size label stands for: its leading number, 9 points when that is 0 (empty,
// not a number, or a typed 0). Negative sizes stay as typed; sizes beyond what a single can
// hold become the largest single of that sign.
float ReadFontSize(const QString& caption);

// The schematic picture of the grid in picPreview, with fixed steps of 4, 20 and 40 pixels for
// the three line classes whatever the axis panel says. The surface should be PreviewWidth by
// PreviewHeight pixels.
void DrawScalePreview(Surface& preview, const SetMoreEdit& edit);

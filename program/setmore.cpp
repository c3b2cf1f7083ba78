#include "program/setmore.h"

#include "graph/graphsettings.h"
#include "platform/dialogs.h"
#include "platform/number_text.h"
#include "platform/surface.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <span>

namespace {

using Button = SetMoreButton;

constexpr std::array<Button, 4> PlacementGroup{
    &SetMoreControls::optFree, &SetMoreControls::optLUpper, &SetMoreControls::optLCenter,
    &SetMoreControls::optLUnder};
constexpr std::array<Button, 2> SmallGroup{&SetMoreControls::optSScaleOn,
                                           &SetMoreControls::optSScaleOff};
constexpr std::array<Button, 2> MediumGroup{&SetMoreControls::optMScaleOn,
                                            &SetMoreControls::optMScaleOff};
constexpr std::array<Button, 2> LargeGroup{&SetMoreControls::optLScaleOn,
                                           &SetMoreControls::optLScaleOff};
constexpr std::array<Button, 2> AxisGroup{&SetMoreControls::optAxisOn,
                                          &SetMoreControls::optAxisOff};
// In mode order: index 0 is mode 1.
constexpr std::array<Button, 4> XmojiGroup{&SetMoreControls::optXmojiNone,
                                           &SetMoreControls::optXSmoji, &SetMoreControls::optXMmoji,
                                           &SetMoreControls::optXLmoji};
constexpr std::array<Button, 4> YmojiGroup{&SetMoreControls::optYmojiNone,
                                           &SetMoreControls::optYSmoji, &SetMoreControls::optYMmoji,
                                           &SetMoreControls::optYLmoji};

// Selects one button of a group and clears the others; nullptr clears them all.
void Select(SetMoreControls& controls, std::span<const Button> group, Button chosen) {
    for (const Button button : group) {
        controls.*button = button == chosen;
    }
}

void SelectOnOff(SetMoreControls& controls, std::span<const Button, 2> group, bool on) {
    Select(controls, group, on ? group[0] : group[1]);
}

// Leaves the field alone when neither button is selected.
void ReadOnOff(const SetMoreControls& controls, std::span<const Button, 2> group, bool& field) {
    if (controls.*group[0]) {
        field = true;
    } else if (controls.*group[1]) {
        field = false;
    }
}

void SelectMode(SetMoreControls& controls, std::span<const Button, 4> group, std::int16_t mode) {
    Select(controls, group,
           mode >= 1 && mode <= 4 ? group[static_cast<std::size_t>(mode - 1)] : nullptr);
}

void ReadMode(const SetMoreControls& controls, std::span<const Button, 4> group,
              std::int16_t& mode) {
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (controls.*group[i]) {
            mode = static_cast<std::int16_t>(i + 1);
            return;
        }
    }
}

struct OptionEffect {
    Button button;
    std::span<const Button> group;
};

OptionEffect EffectOf(ScaleOption option) {
    switch (option) {
    case ScaleOption::optFree:
        return {&SetMoreControls::optFree, PlacementGroup};
    case ScaleOption::optLUpper:
        return {&SetMoreControls::optLUpper, PlacementGroup};
    case ScaleOption::optLCenter:
        return {&SetMoreControls::optLCenter, PlacementGroup};
    case ScaleOption::optLUnder:
        return {&SetMoreControls::optLUnder, PlacementGroup};
    case ScaleOption::optSScaleOn:
        return {&SetMoreControls::optSScaleOn, SmallGroup};
    case ScaleOption::optSScaleOff:
        return {&SetMoreControls::optSScaleOff, SmallGroup};
    case ScaleOption::optMScaleOn:
        return {&SetMoreControls::optMScaleOn, MediumGroup};
    case ScaleOption::optMScaleOff:
        return {&SetMoreControls::optMScaleOff, MediumGroup};
    case ScaleOption::optLScaleOn:
        return {&SetMoreControls::optLScaleOn, LargeGroup};
    case ScaleOption::optLScaleOff:
        return {&SetMoreControls::optLScaleOff, LargeGroup};
    case ScaleOption::optAxisOn:
        return {&SetMoreControls::optAxisOn, AxisGroup};
    case ScaleOption::optAxisOff:
        break;
    }
    return {&SetMoreControls::optAxisOff, AxisGroup};
}

struct TickEffect {
    std::span<const Button, 4> group;
    std::size_t index;
};

TickEffect EffectOf(TickOption option) {
    const auto index = static_cast<std::size_t>(option);
    return index < XmojiGroup.size() ? TickEffect{XmojiGroup, index}
                                     : TickEffect{YmojiGroup, index - XmojiGroup.size()};
}

void SetSides(SetMoreEdit& edit, int xSide, int ySide) {
    edit.EditXSide = static_cast<std::int16_t>(xSide);
    edit.EditYSide = static_cast<std::int16_t>(ySide);
}

int SignOf(std::int16_t side) {
    return side > 0 ? 1 : (side < 0 ? -1 : 0);
}

} // namespace

void LoadDetailSettings(const GraphSettings& settings, SetMoreEdit& edit,
                        SetMoreControls& controls) {
    edit.EditXSide = settings.XSide;
    edit.EditYSide = settings.YSide;
    edit.EditSmallOn = settings.XSmallLinesOn || settings.YSmallLinesOn;
    edit.EditMediumOn = settings.XMediumLinesOn || settings.YMediumLinesOn;
    edit.EditLargeOn = settings.XLargeLinesOn || settings.YLargeLinesOn;
    edit.EditAxisOn = settings.XAxisOn || settings.YAxisOn;
    edit.EditSmallColor = settings.YSmallLineColor;
    edit.EditMediumColor = settings.YMediumLineColor;
    edit.EditLargeColor = settings.YLargeLineColor;
    edit.EditAxisColor = settings.XAxisColor;
    edit.EditBackColor = settings.BackgroundColor;

    SelectMode(controls, XmojiGroup, settings.XTickLabelMode);
    SelectMode(controls, YmojiGroup, settings.YTickLabelMode);
    controls.lblXfontsize = FontSizeCaption(settings.XTickLabelSize);
    controls.lblYfontsize = FontSizeCaption(settings.YTickLabelSize);
    controls.lblXmojicolor = settings.XTickLabelColor;
    controls.lblYmojicolor = settings.YTickLabelColor;
}

void ShowScaleOptions(const SetMoreEdit& edit, SetMoreControls& controls) {
    if (edit.EditXSide == 1) {
        Button placement = nullptr;
        switch (edit.EditYSide) {
        case -1:
            placement = &SetMoreControls::optLUnder;
            break;
        case 0:
            placement = &SetMoreControls::optLCenter;
            break;
        case 1:
            placement = &SetMoreControls::optLUpper;
            break;
        default:
            break;
        }
        Select(controls, PlacementGroup, placement);
    } else {
        Select(controls, PlacementGroup, &SetMoreControls::optFree);
    }
    SelectOnOff(controls, SmallGroup, edit.EditSmallOn);
    SelectOnOff(controls, MediumGroup, edit.EditMediumOn);
    SelectOnOff(controls, LargeGroup, edit.EditLargeOn);
    SelectOnOff(controls, AxisGroup, edit.EditAxisOn);
    controls.lblSScaleCol = edit.EditSmallColor;
    controls.lblMScaleCol = edit.EditMediumColor;
    controls.lblLScaleCol = edit.EditLargeColor;
    controls.lblAxisCol = edit.EditAxisColor;
    controls.lblBackCol = edit.EditBackColor;
}

void ReadScaleOptions(const SetMoreControls& controls, SetMoreEdit& edit) {
    if (controls.optFree) {
        SetSides(edit, 0, 0);
    } else if (controls.optLUpper) {
        SetSides(edit, 1, 1);
    } else if (controls.optLCenter) {
        SetSides(edit, 1, 0);
    } else if (controls.optLUnder) {
        SetSides(edit, 1, -1);
    }
    ReadOnOff(controls, SmallGroup, edit.EditSmallOn);
    ReadOnOff(controls, MediumGroup, edit.EditMediumOn);
    ReadOnOff(controls, LargeGroup, edit.EditLargeOn);
    ReadOnOff(controls, AxisGroup, edit.EditAxisOn);
    edit.EditSmallColor = controls.lblSScaleCol;
    edit.EditMediumColor = controls.lblMScaleCol;
    edit.EditLargeColor = controls.lblLScaleCol;
    edit.EditAxisColor = controls.lblAxisCol;
    edit.EditBackColor = controls.lblBackCol;
}

void SaveDetailSettings(const SetMoreEdit& edit, const SetMoreControls& controls,
                        GraphSettings& settings) {
    settings.XSide = edit.EditXSide;
    settings.YSide = edit.EditYSide;
    settings.XSmallLinesOn = settings.YSmallLinesOn = edit.EditSmallOn;
    settings.XMediumLinesOn = settings.YMediumLinesOn = edit.EditMediumOn;
    settings.XLargeLinesOn = settings.YLargeLinesOn = edit.EditLargeOn;
    settings.XAxisOn = settings.YAxisOn = edit.EditAxisOn;
    settings.YSmallLineColor = settings.XSmallLineColor = edit.EditSmallColor;
    settings.YMediumLineColor = settings.XMediumLineColor = edit.EditMediumColor;
    settings.YLargeLineColor = settings.XLargeLineColor = edit.EditLargeColor;
    settings.XAxisColor = settings.YAxisColor = edit.EditAxisColor;
    settings.BackgroundColor = edit.EditBackColor;

    ReadMode(controls, XmojiGroup, settings.XTickLabelMode);
    ReadMode(controls, YmojiGroup, settings.YTickLabelMode);
    settings.XTickLabelSize = ReadFontSize(controls.lblXfontsize);
    settings.YTickLabelSize = ReadFontSize(controls.lblYfontsize);
    settings.XTickLabelColor = controls.lblXmojicolor;
    settings.YTickLabelColor = controls.lblYmojicolor;
}

void ScaleOptionClicked(SetMoreEdit& edit, ScaleOption option) {
    switch (option) {
    case ScaleOption::optFree:
        SetSides(edit, 0, 0);
        break;
    case ScaleOption::optLUpper:
        SetSides(edit, 1, 1);
        break;
    case ScaleOption::optLCenter:
        SetSides(edit, 1, 0);
        break;
    case ScaleOption::optLUnder:
        SetSides(edit, 1, -1);
        break;
    case ScaleOption::optSScaleOn:
    case ScaleOption::optSScaleOff:
        edit.EditSmallOn = option == ScaleOption::optSScaleOn;
        break;
    case ScaleOption::optMScaleOn:
    case ScaleOption::optMScaleOff:
        edit.EditMediumOn = option == ScaleOption::optMScaleOn;
        break;
    case ScaleOption::optLScaleOn:
    case ScaleOption::optLScaleOff:
        edit.EditLargeOn = option == ScaleOption::optLScaleOn;
        break;
    case ScaleOption::optAxisOn:
    case ScaleOption::optAxisOff:
        edit.EditAxisOn = option == ScaleOption::optAxisOn;
        break;
    }
}

SetMoreButton ButtonOf(ScaleOption option) {
    return EffectOf(option).button;
}

SetMoreButton ButtonOf(TickOption option) {
    const TickEffect effect = EffectOf(option);
    return effect.group[effect.index];
}

SetMoreSwatch SwatchOf(ScaleSwatch swatch) {
    switch (swatch) {
    case ScaleSwatch::lblSScaleCol:
        return &SetMoreControls::lblSScaleCol;
    case ScaleSwatch::lblMScaleCol:
        return &SetMoreControls::lblMScaleCol;
    case ScaleSwatch::lblLScaleCol:
        return &SetMoreControls::lblLScaleCol;
    case ScaleSwatch::lblAxisCol:
        return &SetMoreControls::lblAxisCol;
    case ScaleSwatch::lblBackCol:
        break;
    }
    return &SetMoreControls::lblBackCol;
}

void SelectScaleOption(SetMoreControls& controls, ScaleOption option) {
    const OptionEffect effect = EffectOf(option);
    Select(controls, effect.group, effect.button);
}

void SelectTickOption(SetMoreControls& controls, TickOption option) {
    const TickEffect effect = EffectOf(option);
    Select(controls, effect.group, effect.group[effect.index]);
}

bool ScaleSwatchClicked(Dialogs& dialogs, SetMoreEdit& edit, SetMoreControls& controls,
                        ScaleSwatch swatch) {
    ColorRef* field = nullptr;
    switch (swatch) {
    case ScaleSwatch::lblSScaleCol:
        field = &edit.EditSmallColor;
        break;
    case ScaleSwatch::lblMScaleCol:
        field = &edit.EditMediumColor;
        break;
    case ScaleSwatch::lblLScaleCol:
        field = &edit.EditLargeColor;
        break;
    case ScaleSwatch::lblAxisCol:
        field = &edit.EditAxisColor;
        break;
    case ScaleSwatch::lblBackCol:
        field = &edit.EditBackColor;
        break;
    }
    ColorRef& shown = controls.*SwatchOf(swatch);
    const std::optional<ColorRef> chosen = dialogs.ChooseColor(shown, true);
    if (!chosen) {
        return false;
    }
    *field = shown = *chosen;
    return true;
}

void TickColorClicked(Dialogs& dialogs, ColorRef& swatch) {
    if (const std::optional<ColorRef> chosen = dialogs.ChooseColor(swatch, false)) {
        swatch = *chosen;
    }
}

void FontSizeClicked(Dialogs& dialogs, QString& caption) {
    // "フォントサイズを数値で指定してください" = please give the font size as a number;
    // "フォントサイズ指定" = font size setting
    caption = dialogs.InputBox(QStringLiteral("フォントサイズを数値で指定してください"),
                               QStringLiteral("フォントサイズ指定"));
}

QString FontSizeCaption(float points) {
    if (!std::isfinite(points)) {
        return QString::fromStdString(FormatGeneral(static_cast<double>(points)));
    }
    // The single's own shortest digits, so 0.1f shows "0.1" and not the double's long tail.
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), points);
    double shortest = static_cast<double>(points);
    std::from_chars(buffer.data(), written.ptr, shortest);
    return QString::fromStdString(FormatGeneral(shortest));
}

float ReadFontSize(const QString& caption) {
    const double value = ReadLeadingNumber(caption.toStdString());
    if (value == 0.0) {
        return 9.0f;
    }
    // A single cannot hold more, and a settings file refuses a size written as infinity.
    constexpr double largest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -largest, largest));
}

void DrawScalePreview(Surface& preview, const SetMoreEdit& edit) {
    const double w = edit.PreviewWidth;
    const double h = edit.PreviewHeight;
    preview.SetDrawWidth(1);
    preview.SetDrawStyle(DrawStyle::Solid);
    preview.SetBackColor(edit.EditBackColor);
    preview.Clear();

    // A side code the dialog has no button for (from a settings file) is drawn as the side it
    // leans to.
    const int xSide = SignOf(edit.EditXSide);
    const int ySide = SignOf(edit.EditYSide);
    const double x0 = xSide < 0 ? w - 10.0 : (xSide == 0 ? w / 2.0 : 10.0);
    const double y0 = ySide < 0 ? h - 10.0 : (ySide == 0 ? h / 2.0 : 10.0);
    const double top = ySide > 0 ? y0 : 0.0;
    const double bottom = ySide < 0 ? y0 : h;
    const double left = xSide > 0 ? x0 : 0.0;
    const double right = xSide < 0 ? x0 : w;

    struct LineClass {
        bool on;
        ColorRef colour;
        double step;
    };
    const std::array<LineClass, 3> classes{{{edit.EditSmallOn, edit.EditSmallColor, 4.0},
                                            {edit.EditMediumOn, edit.EditMediumColor, 20.0},
                                            {edit.EditLargeOn, edit.EditLargeColor, 40.0}}};
    // Each run steps first and draws after, so the line through the origin is the axis's alone
    // and the last line may fall on or past the edge.
    if (xSide >= 0) {
        for (const LineClass& c : classes) {
            for (double x = x0; c.on && x < w;) {
                x += c.step;
                preview.Line(x, top, x, bottom, c.colour);
            }
        }
    }
    if (xSide <= 0) {
        for (const LineClass& c : classes) {
            for (double x = x0; c.on && x >= 0.0;) {
                x -= c.step;
                preview.Line(x, top, x, bottom, c.colour);
            }
        }
    }
    if (ySide >= 0) {
        for (const LineClass& c : classes) {
            for (double y = y0; c.on && y < h;) {
                y += c.step;
                preview.Line(left, y, right, y, c.colour);
            }
        }
    }
    if (ySide <= 0) {
        for (const LineClass& c : classes) {
            for (double y = y0; c.on && y >= 0.0;) {
                y -= c.step;
                preview.Line(left, y, right, y, c.colour);
            }
        }
    }
    if (edit.EditAxisOn) {
        preview.Line(x0, top, x0, bottom, edit.EditAxisColor);
        preview.Line(left, y0, right, y0, edit.EditAxisColor);
    }
}

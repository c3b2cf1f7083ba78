#include "program/setmore.h"

#include "graph/graphsettings.h"
#include "platform/dialogs.h"
#include "platform/surface.h"
#include "script/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

OnOffChoice OnOffOf(bool on) {
    return on ? OnOffChoice::On : OnOffChoice::Off;
}

// Leaves the field alone when neither button is selected.
void ReadOnOff(OnOffChoice choice, bool& field) {
    if (choice != OnOffChoice::Unselected) {
        field = choice == OnOffChoice::On;
    }
}

TickChoice TickChoiceOf(std::int16_t mode) {
    return mode >= 1 && mode <= 4 ? static_cast<TickChoice>(mode) : TickChoice::Unselected;
}

// Leaves the mode alone when no button is selected.
void ReadMode(TickChoice choice, std::int16_t& mode) {
    if (choice != TickChoice::Unselected) {
        mode = static_cast<std::int16_t>(choice);
    }
}

void SetSides(SetMoreEdit& edit, int xSide, int ySide) {
    edit.EditXSide = static_cast<std::int16_t>(xSide);
    edit.EditYSide = static_cast<std::int16_t>(ySide);
}

// The placement and on/off groups to the working copy; a group with nothing selected leaves its
// fields as they are.
void ReadChoices(const SetMoreControls& controls, SetMoreEdit& edit) {
    switch (controls.fraArray) {
    case PlacementChoice::Free:
        SetSides(edit, 0, 0);
        break;
    case PlacementChoice::LUpper:
        SetSides(edit, 1, 1);
        break;
    case PlacementChoice::LCenter:
        SetSides(edit, 1, 0);
        break;
    case PlacementChoice::LUnder:
        SetSides(edit, 1, -1);
        break;
    case PlacementChoice::Unselected:
        break;
    }
    ReadOnOff(controls.fraSScale, edit.EditSmallOn);
    ReadOnOff(controls.fraMScale, edit.EditMediumOn);
    ReadOnOff(controls.fraLScale, edit.EditLargeOn);
    ReadOnOff(controls.fraAxis, edit.EditAxisOn);
}

// Where a scale option button's selection lives: the placement group, or one of the on/off
// pairs.
struct ScaleButton {
    PlacementChoice placement = PlacementChoice::Unselected;
    OnOffChoice SetMoreControls::*pair = nullptr;
    OnOffChoice onOff = OnOffChoice::Unselected;
};

ScaleButton ButtonOf(ScaleOption option) {
    switch (option) {
    case ScaleOption::optFree:
        return {PlacementChoice::Free};
    case ScaleOption::optLUpper:
        return {PlacementChoice::LUpper};
    case ScaleOption::optLCenter:
        return {PlacementChoice::LCenter};
    case ScaleOption::optLUnder:
        return {PlacementChoice::LUnder};
    case ScaleOption::optSScaleOn:
        return {{}, &SetMoreControls::fraSScale, OnOffChoice::On};
    case ScaleOption::optSScaleOff:
        return {{}, &SetMoreControls::fraSScale, OnOffChoice::Off};
    case ScaleOption::optMScaleOn:
        return {{}, &SetMoreControls::fraMScale, OnOffChoice::On};
    case ScaleOption::optMScaleOff:
        return {{}, &SetMoreControls::fraMScale, OnOffChoice::Off};
    case ScaleOption::optLScaleOn:
        return {{}, &SetMoreControls::fraLScale, OnOffChoice::On};
    case ScaleOption::optLScaleOff:
        return {{}, &SetMoreControls::fraLScale, OnOffChoice::Off};
    case ScaleOption::optAxisOn:
        return {{}, &SetMoreControls::fraAxis, OnOffChoice::On};
    case ScaleOption::optAxisOff:
        break;
    }
    return {{}, &SetMoreControls::fraAxis, OnOffChoice::Off};
}

struct TickButton {
    TickChoice SetMoreControls::*group;
    TickChoice choice;
};

// The X buttons come first, each group in mode order.
TickButton ButtonOf(TickOption option) {
    const auto index = static_cast<int>(option);
    return {index < 4 ? &SetMoreControls::fraXmoji : &SetMoreControls::fraYmoji,
            static_cast<TickChoice>(index % 4 + 1)};
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

    controls.fraXmoji = TickChoiceOf(settings.XTickLabelMode);
    controls.fraYmoji = TickChoiceOf(settings.YTickLabelMode);
    controls.lblXfontsize = FontSizeCaption(settings.XTickLabelSize);
    controls.lblYfontsize = FontSizeCaption(settings.YTickLabelSize);
    controls.lblXmojicolor = settings.XTickLabelColor;
    controls.lblYmojicolor = settings.YTickLabelColor;
}

void ShowScaleOptions(const SetMoreEdit& edit, SetMoreControls& controls) {
    if (edit.EditXSide == 1) {
        switch (edit.EditYSide) {
        case -1:
            controls.fraArray = PlacementChoice::LUnder;
            break;
        case 0:
            controls.fraArray = PlacementChoice::LCenter;
            break;
        case 1:
            controls.fraArray = PlacementChoice::LUpper;
            break;
        default:
            controls.fraArray = PlacementChoice::Unselected;
            break;
        }
    } else {
        controls.fraArray = PlacementChoice::Free;
    }
    controls.fraSScale = OnOffOf(edit.EditSmallOn);
    controls.fraMScale = OnOffOf(edit.EditMediumOn);
    controls.fraLScale = OnOffOf(edit.EditLargeOn);
    controls.fraAxis = OnOffOf(edit.EditAxisOn);
    controls.lblSScaleCol = edit.EditSmallColor;
    controls.lblMScaleCol = edit.EditMediumColor;
    controls.lblLScaleCol = edit.EditLargeColor;
    controls.lblAxisCol = edit.EditAxisColor;
    controls.lblBackCol = edit.EditBackColor;
}

void ReadScaleOptions(const SetMoreControls& controls, SetMoreEdit& edit) {
    ReadChoices(controls, edit);
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

    ReadMode(controls.fraXmoji, settings.XTickLabelMode);
    ReadMode(controls.fraYmoji, settings.YTickLabelMode);
    settings.XTickLabelSize = ReadFontSize(controls.lblXfontsize);
    settings.YTickLabelSize = ReadFontSize(controls.lblYfontsize);
    settings.XTickLabelColor = controls.lblXmojicolor;
    settings.YTickLabelColor = controls.lblYmojicolor;
}

void ScaleOptionClicked(SetMoreEdit& edit, ScaleOption option) {
    // What OK would read from that button alone.
    SetMoreControls clicked;
    SelectScaleOption(clicked, option);
    ReadChoices(clicked, edit);
}

bool IsSelected(const SetMoreControls& controls, ScaleOption option) {
    const ScaleButton button = ButtonOf(option);
    return button.pair != nullptr ? controls.*button.pair == button.onOff
                                  : controls.fraArray == button.placement;
}

bool IsSelected(const SetMoreControls& controls, TickOption option) {
    const TickButton button = ButtonOf(option);
    return controls.*button.group == button.choice;
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
    const ScaleButton button = ButtonOf(option);
    if (button.pair != nullptr) {
        controls.*button.pair = button.onOff;
    } else {
        controls.fraArray = button.placement;
    }
}

void SelectTickOption(SetMoreControls& controls, TickOption option) {
    const TickButton button = ButtonOf(option);
    controls.*button.group = button.choice;
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

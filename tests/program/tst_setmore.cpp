#include "graph/graphsettings.h"
#include "platform/surface.h"
#include "program/setmore.h"

#include <QtTest/QtTest>
#include <limits>

namespace {

// The record's four on/off pairs and the dialog's On/Off group for each.
bool GraphSettings::*const XFlag[] = {&GraphSettings::XSmallLinesOn, &GraphSettings::XMediumLinesOn,
                                      &GraphSettings::XLargeLinesOn, &GraphSettings::XAxisOn};
bool GraphSettings::*const YFlag[] = {&GraphSettings::YSmallLinesOn, &GraphSettings::YMediumLinesOn,
                                      &GraphSettings::YLargeLinesOn, &GraphSettings::YAxisOn};
OnOffChoice SetMoreControls::*const OnOffGroup[] = {
    &SetMoreControls::fraSScale, &SetMoreControls::fraMScale, &SetMoreControls::fraLScale,
    &SetMoreControls::fraAxis};

OnOffChoice Shown(bool on) {
    return on ? OnOffChoice::On : OnOffChoice::Off;
}

// Horizontal-line (first) and vertical-line (second) colour fields of each class; the axis pair
// is X first.
ColorRef GraphSettings::*const FirstColour[] = {
    &GraphSettings::YSmallLineColor, &GraphSettings::YMediumLineColor,
    &GraphSettings::YLargeLineColor, &GraphSettings::XAxisColor};
ColorRef GraphSettings::*const SecondColour[] = {
    &GraphSettings::XSmallLineColor, &GraphSettings::XMediumLineColor,
    &GraphSettings::XLargeLineColor, &GraphSettings::YAxisColor};
ColorRef SetMoreControls::*const ClassSwatch[] = {
    &SetMoreControls::lblSScaleCol, &SetMoreControls::lblMScaleCol, &SetMoreControls::lblLScaleCol,
    &SetMoreControls::lblAxisCol};

// Opening the dialog and pressing OK at once, without touching anything.
void OpenAndOk(GraphSettings& settings) {
    SetMoreEdit edit;
    SetMoreControls controls;
    LoadDetailSettings(settings, edit, controls);
    ShowScaleOptions(edit, controls);
    ReadScaleOptions(controls, edit);
    SaveDetailSettings(edit, controls, settings);
}

constexpr ColorRef Back = Rgb(250, 250, 250);
constexpr ColorRef Small = Rgb(200, 0, 0);
constexpr ColorRef Medium = Rgb(0, 200, 0);
constexpr ColorRef Large = Rgb(0, 0, 200);
constexpr ColorRef AxisInk = Rgb(90, 90, 90);

SetMoreEdit PreviewEdit(int xSide, int ySide) {
    SetMoreEdit edit;
    edit.EditXSide = static_cast<std::int16_t>(xSide);
    edit.EditYSide = static_cast<std::int16_t>(ySide);
    edit.EditSmallColor = Small;
    edit.EditMediumColor = Medium;
    edit.EditLargeColor = Large;
    edit.EditAxisColor = AxisInk;
    edit.EditBackColor = Back;
    edit.PreviewWidth = 117;
    edit.PreviewHeight = 101;
    return edit;
}

ColorRef At(const Surface& s, int x, int y) {
    const QRgb p = s.Image().pixel(x, y);
    return Rgb(qRed(p), qGreen(p), qBlue(p));
}

// Whether anything but the background lies in the rectangle.
bool Blank(const Surface& s, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (At(s, x, y) != Back) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class SetMoreTest : public QObject {
    Q_OBJECT
private slots:
    void pairsOpenCombinedAndSaveToBoth_data();
    void pairsOpenCombinedAndSaveToBoth();
    void placementButtonsFollowTheSides_data();
    void placementButtonsFollowTheSides();
    void tickModesSelectTheirButton_data();
    void tickModesSelectTheirButton();
    void fontSizeFromCaption_data();
    void fontSizeFromCaption();
    void fontSizeCaptionReadsBack_data();
    void fontSizeCaptionReadsBack();
    void previewOriginAndCoverage_data();
    void previewOriginAndCoverage();
    void previewStepsAndSwitches();
    void scaleOptionKeepsButtonsAndWorkingCopyInStep_data();
    void scaleOptionKeepsButtonsAndWorkingCopyInStep();
    void tickOptionChangesItsOwnAxisOnly_data();
    void tickOptionChangesItsOwnAxisOnly();
};

void SetMoreTest::pairsOpenCombinedAndSaveToBoth_data() {
    QTest::addColumn<int>("lineClass");
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<bool>("shownOn");
    const char* names[] = {"small", "medium", "large", "axis"};
    for (int c = 0; c < 4; ++c) {
        QTest::addRow("%s x off y on", names[c]) << c << false << true << true;
        QTest::addRow("%s x on y off", names[c]) << c << true << false << true;
        QTest::addRow("%s both off", names[c]) << c << false << false << false;
    }
}

void SetMoreTest::pairsOpenCombinedAndSaveToBoth() {
    QFETCH(int, lineClass);
    QFETCH(bool, xOn);
    QFETCH(bool, yOn);
    QFETCH(bool, shownOn);
    // A settings file may give the two axes different switches and colours.
    GraphSettings settings;
    settings.*XFlag[lineClass] = xOn;
    settings.*YFlag[lineClass] = yOn;
    settings.*FirstColour[lineClass] = Rgb(1, 2, 3);
    settings.*SecondColour[lineClass] = Rgb(200, 100, 50);
    SetMoreEdit edit;
    SetMoreControls controls;
    LoadDetailSettings(settings, edit, controls);
    ShowScaleOptions(edit, controls);
    QCOMPARE(controls.*OnOffGroup[lineClass], Shown(shownOn));
    QCOMPARE(controls.*ClassSwatch[lineClass], Rgb(1, 2, 3));

    // OK makes both axes agree with what was shown.
    ReadScaleOptions(controls, edit);
    SaveDetailSettings(edit, controls, settings);
    QCOMPARE(settings.*XFlag[lineClass], shownOn);
    QCOMPARE(settings.*YFlag[lineClass], shownOn);
    QCOMPARE(settings.*FirstColour[lineClass], Rgb(1, 2, 3));
    QCOMPARE(settings.*SecondColour[lineClass], Rgb(1, 2, 3));
}

void SetMoreTest::placementButtonsFollowTheSides_data() {
    QTest::addColumn<int>("xSide");
    QTest::addColumn<int>("ySide");
    QTest::addColumn<QString>("selected"); // empty: no placement button
    QTest::addColumn<int>("savedX");
    QTest::addColumn<int>("savedY");
    QTest::newRow("free") << 0 << 0 << "optFree" << 0 << 0;
    QTest::newRow("upper left") << 1 << 1 << "optLUpper" << 1 << 1;
    QTest::newRow("centre left") << 1 << 0 << "optLCenter" << 1 << 0;
    QTest::newRow("lower left") << 1 << -1 << "optLUnder" << 1 << -1;
    // Combinations only a settings file makes: the dialog has buttons for the left ones only.
    QTest::newRow("right half from a file") << -1 << 0 << "optFree" << 0 << 0;
    QTest::newRow("free x, upper y from a file") << 0 << 1 << "optFree" << 0 << 0;
    // A code no button stands for selects none and OK keeps it rather than inventing one.
    QTest::newRow("unknown y code kept") << 1 << 5 << "" << 1 << 5;
}

void SetMoreTest::placementButtonsFollowTheSides() {
    QFETCH(int, xSide);
    QFETCH(int, ySide);
    QFETCH(QString, selected);
    QFETCH(int, savedX);
    QFETCH(int, savedY);
    GraphSettings settings;
    settings.XSide = static_cast<std::int16_t>(xSide);
    settings.YSide = static_cast<std::int16_t>(ySide);
    SetMoreEdit edit;
    SetMoreControls controls;
    LoadDetailSettings(settings, edit, controls);
    ShowScaleOptions(edit, controls);
    const QStringList on = [&] {
        QStringList names;
        const std::pair<ScaleOption, const char*> buttons[] = {
            {ScaleOption::optFree, "optFree"},
            {ScaleOption::optLUpper, "optLUpper"},
            {ScaleOption::optLCenter, "optLCenter"},
            {ScaleOption::optLUnder, "optLUnder"}};
        for (const auto& [option, name] : buttons) {
            if (IsSelected(controls, option))
                names << name;
        }
        return names;
    }();
    QCOMPARE(on, selected.isEmpty() ? QStringList() : QStringList{selected});

    ReadScaleOptions(controls, edit);
    SaveDetailSettings(edit, controls, settings);
    QCOMPARE(int(settings.XSide), savedX);
    QCOMPARE(int(settings.YSide), savedY);
}

void SetMoreTest::tickModesSelectTheirButton_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("button"); // 0 none, 1..4 the buttons from "目盛は付けない" on
    QTest::newRow("none") << 1 << 1;
    QTest::newRow("small") << 2 << 2;
    QTest::newRow("medium") << 3 << 3;
    QTest::newRow("large") << 4 << 4;
    QTest::newRow("unknown from a file") << 9 << 0;
    QTest::newRow("zero from a file") << 0 << 0;
}

void SetMoreTest::tickModesSelectTheirButton() {
    QFETCH(int, mode);
    QFETCH(int, button);
    GraphSettings settings;
    settings.XTickLabelMode = static_cast<std::int16_t>(mode);
    settings.YTickLabelMode = static_cast<std::int16_t>(mode);
    SetMoreEdit edit;
    SetMoreControls controls;
    LoadDetailSettings(settings, edit, controls);
    const TickOption x[] = {TickOption::optXmojiNone, TickOption::optXSmoji, TickOption::optXMmoji,
                            TickOption::optXLmoji};
    const TickOption y[] = {TickOption::optYmojiNone, TickOption::optYSmoji, TickOption::optYMmoji,
                            TickOption::optYLmoji};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(IsSelected(controls, x[i]), button == i + 1);
        QCOMPARE(IsSelected(controls, y[i]), button == i + 1);
    }
    // With no button selected OK leaves the mode alone.
    OpenAndOk(settings);
    QCOMPARE(int(settings.XTickLabelMode), mode);
    QCOMPARE(int(settings.YTickLabelMode), mode);

    // A choice made in the dialog is saved for its own axis only.
    LoadDetailSettings(settings, edit, controls);
    controls.fraXmoji = TickChoice::EverySmall;
    SaveDetailSettings(edit, controls, settings);
    QCOMPARE(int(settings.XTickLabelMode), 2);
    QCOMPARE(int(settings.YTickLabelMode), mode);
}

void SetMoreTest::fontSizeFromCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<float>("points");
    QTest::newRow("decimal") << "12.5" << 12.5f;
    QTest::newRow("not a number") << "abc" << 9.0f;
    QTest::newRow("cancelled input") << "" << 9.0f;
    QTest::newRow("typed zero") << "0" << 9.0f;
    QTest::newRow("leading number of a text") << " 14pt" << 14.0f;
    QTest::newRow("negative kept") << "-3" << -3.0f;
    QTest::newRow("huge but a single") << "5000" << 5000.0f;
    QTest::newRow("beyond a single") << "1e39" << std::numeric_limits<float>::max();
    QTest::newRow("beyond a single, negative") << "-1e39" << -std::numeric_limits<float>::max();
    QTest::newRow("beyond a double") << "1e400" << 9.0f;
}

void SetMoreTest::fontSizeFromCaption() {
    QFETCH(QString, caption);
    QFETCH(float, points);
    QCOMPARE(ReadFontSize(caption), points);

    // What OK stores for each axis.
    GraphSettings settings;
    SetMoreEdit edit;
    SetMoreControls controls;
    LoadDetailSettings(settings, edit, controls);
    controls.lblXfontsize = caption;
    SaveDetailSettings(edit, controls, settings);
    QCOMPARE(settings.XTickLabelSize, points);
    QCOMPARE(settings.YTickLabelSize, 9.0f);
}

void SetMoreTest::fontSizeCaptionReadsBack_data() {
    QTest::addColumn<float>("points");
    QTest::addColumn<QString>("caption");
    QTest::newRow("whole") << 9.0f << "9";
    QTest::newRow("half") << 12.5f << "12.5";
    QTest::newRow("tenth keeps its short form") << 0.1f << "0.1";
    QTest::newRow("negative") << -3.25f << "-3.25";
    QTest::newRow("largest single") << std::numeric_limits<float>::max() << "3.4028235E+38";
}

void SetMoreTest::fontSizeCaptionReadsBack() {
    QFETCH(float, points);
    QFETCH(QString, caption);
    QCOMPARE(FontSizeCaption(points), caption);
    // Opening and OK without typing keep the size.
    GraphSettings settings;
    settings.XTickLabelSize = points;
    OpenAndOk(settings);
    QCOMPARE(settings.XTickLabelSize, points);
}

void SetMoreTest::previewOriginAndCoverage_data() {
    // Preview 117 × 101: the origin sits 10 pixels in from the fixed side or in the middle.
    QTest::addColumn<int>("xSide");
    QTest::addColumn<int>("ySide");
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<QRect>("blank"); // where nothing may be drawn
    QTest::newRow("左下 lower left") << 1 << -1 << QPoint(10, 91) << QRect(0, 0, 10, 101);
    QTest::newRow("左下 below the origin") << 1 << -1 << QPoint(10, 91) << QRect(0, 92, 117, 9);
    QTest::newRow("左上 upper left") << 1 << 1 << QPoint(10, 10) << QRect(0, 0, 117, 10);
    QTest::newRow("左中 centre left") << 1 << 0 << QPoint(10, 50) << QRect(0, 0, 10, 101);
    QTest::newRow("自由 free") << 0 << 0 << QPoint(58, 50) << QRect();
    QTest::newRow("right edge from a file") << -1 << -1 << QPoint(107, 91) << QRect(108, 0, 9, 101);
}

void SetMoreTest::previewOriginAndCoverage() {
    QFETCH(int, xSide);
    QFETCH(int, ySide);
    QFETCH(QPoint, origin);
    QFETCH(QRect, blank);
    Surface preview(117, 101);
    const SetMoreEdit edit = PreviewEdit(xSide, ySide);
    DrawScalePreview(preview, edit);

    // The axes cross at the origin and run along its whole covered side.
    QCOMPARE(At(preview, origin.x(), origin.y()), AxisInk);
    const int vertical = ySide < 0 ? 0 : 100;
    const int horizontal = xSide < 0 ? 0 : 116;
    QCOMPARE(At(preview, origin.x(), vertical), AxisInk);
    QCOMPARE(At(preview, horizontal, origin.y()), AxisInk);
    if (!blank.isNull()) {
        QVERIFY(Blank(preview, blank));
    }
}

void SetMoreTest::previewStepsAndSwitches() {
    // Lower left: origin (10, 91). Lines to the right every 4, 20 and 40 pixels, each class over
    // the ones before it; upwards likewise.
    Surface preview(117, 101);
    SetMoreEdit edit = PreviewEdit(1, -1);
    DrawScalePreview(preview, edit);
    const int y = 89; // between two horizontal lines
    QCOMPARE(At(preview, 14, y), Small);
    QCOMPARE(At(preview, 12, y), Back);
    QCOMPARE(At(preview, 30, y), Medium);
    QCOMPARE(At(preview, 50, y), Large);
    QCOMPARE(At(preview, 90, y), Large);
    QCOMPARE(At(preview, 12, 87), Small);
    QCOMPARE(At(preview, 12, 71), Medium);
    QCOMPARE(At(preview, 12, 51), Large);
    QCOMPARE(At(preview, 12, 11), Large);

    // A class switched off draws nothing; the others stay; without axes the origin is bare.
    edit.EditSmallOn = false;
    edit.EditAxisOn = false;
    DrawScalePreview(preview, edit);
    QCOMPARE(At(preview, 14, y), Back);
    QCOMPARE(At(preview, 30, y), Medium);
    QCOMPARE(At(preview, 10, y), Back);
    QCOMPARE(At(preview, 12, 91), Back);

    // The background is the working copy's, and a redraw forgets the previous picture.
    edit.EditBackColor = Rgb(0, 0, 0);
    edit.EditMediumOn = edit.EditLargeOn = false;
    DrawScalePreview(preview, edit);
    QCOMPARE(At(preview, 30, y), Rgb(0, 0, 0));
    QCOMPARE(preview.Image().pixel(5, 5), qRgb(0, 0, 0));
}

void SetMoreTest::scaleOptionKeepsButtonsAndWorkingCopyInStep_data() {
    QTest::addColumn<int>("option"); // a ScaleOption
    QTest::addColumn<int>("xSide");
    QTest::addColumn<int>("ySide");
    QTest::addColumn<QString>("off"); // the line classes off afterwards: S, M, L, A
    // Opened with the medium lines off.
    QTest::newRow("自由 free") << int(ScaleOption::optFree) << 0 << 0 << "M";
    QTest::newRow("左上 upper left") << int(ScaleOption::optLUpper) << 1 << 1 << "M";
    QTest::newRow("左中 centre left") << int(ScaleOption::optLCenter) << 1 << 0 << "M";
    QTest::newRow("左下 lower left") << int(ScaleOption::optLUnder) << 1 << -1 << "M";
    QTest::newRow("small off") << int(ScaleOption::optSScaleOff) << 1 << 5 << "SM";
    QTest::newRow("small on as it was") << int(ScaleOption::optSScaleOn) << 1 << 5 << "M";
    QTest::newRow("medium on") << int(ScaleOption::optMScaleOn) << 1 << 5 << "";
    QTest::newRow("medium off as it was") << int(ScaleOption::optMScaleOff) << 1 << 5 << "M";
    QTest::newRow("large off") << int(ScaleOption::optLScaleOff) << 1 << 5 << "ML";
    QTest::newRow("large on") << int(ScaleOption::optLScaleOn) << 1 << 5 << "M";
    QTest::newRow("axis off") << int(ScaleOption::optAxisOff) << 1 << 5 << "MA";
    QTest::newRow("axis on") << int(ScaleOption::optAxisOn) << 1 << 5 << "M";
}

void SetMoreTest::scaleOptionKeepsButtonsAndWorkingCopyInStep() {
    QFETCH(int, option);
    QFETCH(int, xSide);
    QFETCH(int, ySide);
    QFETCH(QString, off);
    // Opened on a side code no placement button stands for, so a click that leaves the placement
    // alone must keep it.
    GraphSettings settings;
    settings.XSide = 1;
    settings.YSide = 5;
    settings.XMediumLinesOn = settings.YMediumLinesOn = false;
    SetMoreEdit edit;
    SetMoreControls controls;
    LoadDetailSettings(settings, edit, controls);
    ShowScaleOptions(edit, controls);

    // What a click does: the working copy changes and the button becomes its group's choice.
    const auto clicked = static_cast<ScaleOption>(option);
    ScaleOptionClicked(edit, clicked);
    SelectScaleOption(controls, clicked);
    QVERIFY(IsSelected(controls, clicked));
    QCOMPARE(int(edit.EditXSide), xSide);
    QCOMPARE(int(edit.EditYSide), ySide);
    const bool on[] = {edit.EditSmallOn, edit.EditMediumOn, edit.EditLargeOn, edit.EditAxisOn};
    for (int c = 0; c < 4; ++c) {
        const bool shouldBeOn = !off.contains(QLatin1Char("SMLA"[c]));
        QCOMPARE(on[c], shouldBeOn);
        QCOMPARE(controls.*OnOffGroup[c], Shown(shouldBeOn));
    }
    // The buttons say what the working copy holds, so OK reads back the same values.
    SetMoreEdit read = edit;
    ReadScaleOptions(controls, read);
    QCOMPARE(int(read.EditXSide), xSide);
    QCOMPARE(int(read.EditYSide), ySide);
    QCOMPARE(read.EditSmallOn, edit.EditSmallOn);
    QCOMPARE(read.EditMediumOn, edit.EditMediumOn);
    QCOMPARE(read.EditLargeOn, edit.EditLargeOn);
    QCOMPARE(read.EditAxisOn, edit.EditAxisOn);
}

void SetMoreTest::tickOptionChangesItsOwnAxisOnly_data() {
    QTest::addColumn<int>("option"); // a TickOption
    QTest::addColumn<int>("xMode");
    QTest::addColumn<int>("yMode");
    // Opened with X mode 3 and Y mode 2.
    QTest::newRow("X none") << int(TickOption::optXmojiNone) << 1 << 2;
    QTest::newRow("X small") << int(TickOption::optXSmoji) << 2 << 2;
    QTest::newRow("X medium again") << int(TickOption::optXMmoji) << 3 << 2;
    QTest::newRow("X large") << int(TickOption::optXLmoji) << 4 << 2;
    QTest::newRow("Y none") << int(TickOption::optYmojiNone) << 3 << 1;
    QTest::newRow("Y small again") << int(TickOption::optYSmoji) << 3 << 2;
    QTest::newRow("Y medium") << int(TickOption::optYMmoji) << 3 << 3;
    QTest::newRow("Y large") << int(TickOption::optYLmoji) << 3 << 4;
}

void SetMoreTest::tickOptionChangesItsOwnAxisOnly() {
    QFETCH(int, option);
    QFETCH(int, xMode);
    QFETCH(int, yMode);
    GraphSettings settings;
    settings.XTickLabelMode = 3;
    settings.YTickLabelMode = 2;
    SetMoreEdit edit;
    SetMoreControls controls;
    LoadDetailSettings(settings, edit, controls);
    ShowScaleOptions(edit, controls);
    const SetMoreControls before = controls;

    const auto clicked = static_cast<TickOption>(option);
    SelectTickOption(controls, clicked);
    QVERIFY(IsSelected(controls, clicked));
    // Nothing of the scale lines moves with it.
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(controls.*OnOffGroup[c], before.*OnOffGroup[c]);
    }
    QCOMPARE(controls.fraArray, before.fraArray);
    SaveDetailSettings(edit, controls, settings);
    QCOMPARE(int(settings.XTickLabelMode), xMode);
    QCOMPARE(int(settings.YTickLabelMode), yMode);
}

QTEST_GUILESS_MAIN(SetMoreTest)
#include "tst_setmore.moc"

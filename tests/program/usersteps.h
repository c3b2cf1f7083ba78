#pragma once

#include "plot/linestyle.h"
#include "program/bitmapcommands.h"
#include "program/calculus.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/parametercommands.h"
#include "program/redraw.h"
#include "program/settingscommands.h"
#include "program/sheetops.h"
#include "program/textlabels.h"
#include "program/worksheetcommands.h"
#include "tests/support/fakedialogs.h"

#include <QtCore/QRandomGenerator>
#include <QtCore/QStringEncoder>
#include <QtCore/QStringList>
#include <QtCore/QTemporaryDir>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <functional>
#include <vector>

// A settings file unlike the defaults: another sheet, grid and functions.
inline const char* const OtherSettingsLine =
    "7000,6000,280,190,100.5,90,0,0,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,"
    "6,4,5,3,2,2,16777152,16777152,16777072,16777072,16776992,16776992,16740464,16740464,"
    "16777215,4,4,16711680,16711680,9,9,.5,1,\"単位 1\",\"単位 1\",0,0,\"x/3\",\"cos(x)*20\","
    "\"\",200,30720,0,\"点2\",\"鎖1\",\"実3\"\r\n";

// Random things a user does to the sheet, through the same procedures the window calls: drawing,
// erasing and updating curves, restyling, typing, labels, a background picture or a pasted one,
// origin, zoom, size, the axis panel, detailed settings, new, reading a settings file, saving and
// opening a worksheet. Each step is named, so a failing sequence can be told.
class UserSteps {
public:
    UserSteps(CurvaneState& state, FakeDialogs& dialogs, quint64 seed)
        : m_state(state), m_dialogs(dialogs), m_random(seed) {
        QImage picture(150, 90, QImage::Format_RGB32);
        picture.fill(QColor(250, 230, 200));
        QPainter painter(&picture);
        painter.fillRect(20, 15, 60, 40, QColor(120, 200, 120));
        painter.end();
        m_picture = m_dir.filePath(QStringLiteral("picture.png"));
        picture.save(m_picture);
        m_settings = m_dir.filePath(QStringLiteral("settings.cvf"));
        QStringEncoder cp932("windows-31j");
        WriteBytesSafely(m_settings, cp932.encode(QString::fromUtf8(OtherSettingsLine)));
        m_worksheet = m_dir.filePath(QStringLiteral("work.cvw"));
    }

    // Does one step; returns its name. Curves are drawn and restyled most often, so that
    // families of curves in every pen build up between the steps that clear the sheet.
    QString Step() {
        struct Kind {
            const char* name;
            int weight;
            std::function<void()> step;
        };
        const std::vector<Kind> steps = {
            {"type", 3, [&] { Type(); }},
            {"type and draw", 6, [&] { DrawButtonClicked(m_state, m_state.scriptEvalFn, Type()); }},
            {"draw", 10, [&] { Press(); }},
            {"colour", 2, [&] { ColorChosen(m_state, Slot(), Rgb(Byte(), Byte(), Byte())); }},
            {"style", 3, [&] { Restyle(); }},
            {"remove row", 1, [&] { RemoveRow(m_state, 2 + Below(2)); }},
            {"add label", 2, [&] { AddFreeLabel(m_state, 20, 120); }},
            {"label text", 1, [&] { SetLabelText(m_state, Label(), Text()); }},
            {"label colour", 1, [&] { SetLabelColor(m_state, Label(), Rgb(Byte(), 0, Byte())); }},
            {"label font", 1, [&] { Refont(); }},
            {"move label", 2, [&] { DropLabel(m_state, Label(), Point()); }},
            {"erase label", 1, [&] { EraseLabel(m_state, Label()); }},
            {"restore label", 1, [&] { RestoreLabel(m_state); }},
            {"picture", 1, [&] { Picture(); }},
            {"origin", 1, [&] { PlaceOrigin(m_state, Coordinate(), Coordinate() * 0.75f); }},
            {"zoom", 1, [&] { ZoomAt(m_state, Below(2) ? 1 : -1, Coordinate(), Coordinate()); }},
            {"size", 1, [&] { ResizeSheet(m_state, 200 + Below(160), 150 + Below(120)); }},
            {"details", 1, [&] { Details(); }},
            {"save bitmap", 1, [&] { SaveBitmap(m_state, m_dialogs, false); }},
            {"new", 1, [&] { NewSettings(m_state); }},
            {"derivative", 2, [&] { DrawDerivative(m_state, m_state.scriptEvalFn, Slot()); }},
            {"erase derivative", 1, [&] { EraseDerivative(m_state, Slot()); }},
            {"tangent", 2, [&] { DrawTangent(m_state, m_state.scriptEvalFn, Slot(), X()); }},
            {"tangent click", 1,
             [&] { DrawTangentAtPoint(m_state, m_state.scriptEvalFn, Point()); }},
            {"area", 2, [&] { Area(); }},
            {"spacing", 1, [&] { Spacing(); }},
            {"axis value", 1, [&] { AxisValue(); }},
            {"unit", 1, [&] { UnitChosen(m_state); }},
            {"paste", 1, [&] { Paste(); }},
            {"read settings", 1, [&] { ReadSettings(); }},
            {"save worksheet", 1, [&] { SaveWorksheetFile(); }},
            {"open worksheet", 1, [&] { OpenWorksheetFile(); }},
            {"parameter", 3, [&] { MoveParameter(); }},
        };
        int total = 0;
        for (const Kind& kind : steps) {
            total += kind.weight;
        }
        int pick = Below(total);
        for (const Kind& kind : steps) {
            if (pick < kind.weight) {
                kind.step();
                return QString::fromLatin1(kind.name);
            }
            pick -= kind.weight;
        }
        return {};
    }

private:
    // A parameter's value moved (beyond its range now and then), its curves drawn again, now
    // and then with the traces kept; or its range changed.
    void MoveParameter() {
        if (m_state.Params.empty()) {
            return;
        }
        const Parameter& p = m_state.Params[Below(static_cast<int>(m_state.Params.size()))];
        if (Below(5) == 0) {
            ParameterRangeChanged(m_state, p.name, -Below(30) / 4.0, Below(30) / 4.0,
                                  0.05 * (1 + Below(4)));
        } else {
            ParameterValueChanged(m_state, p.name, (Below(500) - 250) / 16.0);
        }
        ParameterFrame frame = BeginParameterFrame(m_state, Below(3) == 0);
        RunParameterFrame(frame, m_state.scriptEvalFn, nullptr);
        FinishParameterFrame(m_state, frame);
    }

    int Below(int n) { return static_cast<int>(m_random.bounded(n)); }
    int Byte() { return Below(256); }
    int Slot() { return 1 + Below(SlotCount); }
    float Coordinate() { return static_cast<float>(Below(2400)) / 8.0f; } // fractional too
    QPointF Point() { return {Coordinate(), Coordinate() * 0.75}; }
    double X() { return (Below(1600) - 800) / 20.0; } // an x of the axis, fractional too
    QString Text() { return QStringList{"A", "y = sin x", "点 P", "", "(1, 2)"}[Below(5)]; }
    LabelRef Label() {
        const LabelKind kind =
            std::array{LabelKind::Free, LabelKind::XTick, LabelKind::YTick}[Below(3)];
        const LabelFamily& family = FamilyOf(m_state, kind);
        return RefTo(m_state, kind, family.UpperBound() == 0 ? 1 : 1 + Below(family.UpperBound()));
    }

    int Type() {
        static const QStringList expressions = {
            "sin(x)*10", "x^2/30-20", "40/x",      "tan(x)*5",   "cos(x*3)*30",  "sqr(x)*8",
            "",          "x",         "abs(x)-15", "int(x/5)*4", "a*sin(b*x)+c", "x^2/30+k*x"};
        const int slot = Slot();
        AddRow(m_state, slot);
        ExpressionChanged(m_state, slot, expressions[Below(static_cast<int>(expressions.size()))]);
        return slot;
    }
    // A slot with text, when there is one.
    void Press() {
        int slot = Slot();
        for (int tries = 0; tries < 3 && SlotOf(m_state.Slots, slot).Expression.isEmpty();
             ++tries) {
            slot = Slot();
        }
        DrawButtonClicked(m_state, m_state.scriptEvalFn, slot);
    }
    void Restyle() {
        m_state.StyleTarget = static_cast<std::int16_t>(Slot());
        StyleChosen(m_state, LineStyleCodes()[Below(static_cast<int>(LineStyleCodes().size()))]);
    }
    void Refont() {
        FontSpec font = DefaultLabelFont();
        font.size = 6 + Below(14);
        font.bold = Below(2) == 1;
        font.italic = Below(2) == 1;
        SetLabelFont(m_state, Label(), font);
    }
    void Area() {
        const int other = Below(2) == 0 ? 0 : Slot();
        DrawArea(m_state, m_state.scriptEvalFn, {Slot(), other, X(), X()});
    }
    void Picture() {
        m_dialogs.paths.push_back(m_picture);
        ReadPicture(m_state, m_dialogs);
    }
    void Spacing() {
        using Change = QString (*)(CurvaneState&, Axis, int);
        const Change changes[] = {SmallSpacingChanged, MediumEveryChanged, LargeEveryChanged};
        changes[Below(3)](m_state, Below(2) ? Axis::X : Axis::Y, 2 + Below(10));
    }
    void AxisValue() {
        const Axis axis = Below(2) ? Axis::X : Axis::Y;
        const QString text = QStringList{"2", "0.5", "-3", "1e1", "4abc"}[Below(5)];
        Below(2) ? SmallValueEdited(m_state, axis, text) : OriginValueEdited(m_state, axis, text);
    }
    void Paste() {
        QImage picture(60 + Below(200), 40 + Below(160), QImage::Format_RGB32);
        picture.fill(QColor(Byte(), 220, Byte()));
        QGuiApplication::clipboard()->setImage(picture);
        PasteFromClipboard(m_state);
    }
    void ReadSettings() {
        if (const std::optional<SettingsFileData> file =
                ReadSettingsFileToOpen(m_state, m_dialogs, m_settings)) {
            ApplySettingsFile(m_state, *file);
        }
    }
    void SaveWorksheetFile() {
        WriteBytesSafely(m_worksheet, WorksheetBytes(m_state, {7000, 6000}));
    }
    void OpenWorksheetFile() {
        if (const std::optional<CurvaneDocument> document =
                ReadWorksheetFile(m_worksheet, nullptr)) {
            ApplyWorksheet(m_state, *document, m_worksheet);
        }
    }
    void Details() {
        GraphSettings& s = m_state.Settings;
        s.XSmallLinesOn = Below(4) != 0;
        s.YMediumLinesOn = Below(4) != 0;
        s.XAxisOn = Below(4) != 0;
        s.BackgroundColor = Below(2) ? Rgb(255, 255, 255) : Rgb(255, 255, Byte());
        s.YLargeLineColor = Rgb(Byte(), Byte(), 255);
        s.XTickLabelMode = static_cast<std::int16_t>(1 + Below(4));
        s.YTickLabelMode = static_cast<std::int16_t>(1 + Below(4));
        s.XSide = static_cast<std::int16_t>(Below(3) - 1);
        s.YSide = static_cast<std::int16_t>(Below(3) - 1);
        m_state.SettingsChanged = true;
        RedrawOnActivation(m_state);
    }

    CurvaneState& m_state;
    FakeDialogs& m_dialogs;
    QRandomGenerator m_random;
    QTemporaryDir m_dir;
    QString m_picture;
    QString m_settings;
    QString m_worksheet;
};

#include "program/curvanestate.h"
#include "program/redraw.h"
#include "tests/support/fakedialogs.h"
#include "ui/frmsetmore.h"

#include <QtTest/QtTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <functional>
#include <memory>
#include <variant>

namespace {

// A started graph, scripted dialogs and a parent window for the dialog.
struct Fixture {
    CurvaneState state;
    FakeDialogs dialogs;
    QWidget parent;

    Fixture() { StartGraph(state, 200, 150); }

    frmSetMore* Form() const {
        return parent.findChild<frmSetMore*>(QStringLiteral("frmSetMore"),
                                             Qt::FindDirectChildrenOnly);
    }
    // Opens the dialog through its entry point and plays `act` while it is on the screen.
    bool Open(const std::function<void(frmSetMore&)>& act) {
        bool played = false;
        QTimer::singleShot(0, &parent, [&] {
            auto* form = qobject_cast<frmSetMore*>(QApplication::activeModalWidget());
            if (form == nullptr) {
                form = Form();
            }
            if (form != nullptr) {
                act(*form);
                played = true;
            }
            // Whatever the script did, the dialog must not stay open.
            if (form != nullptr && form->isVisible()) {
                form->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
            }
        });
        const bool accepted = mnuSetMore_Click(&parent, state, dialogs);
        if (!played) {
            qWarning("the dialog did not open");
        }
        return accepted;
    }
};

template <class T>
T* Find(const QWidget& form, const char* name) {
    T* child = form.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qWarning("no control %s", name);
    }
    return child;
}

bool Checked(const QWidget& form, const char* name) {
    return Find<QRadioButton>(form, name)->isChecked();
}

void Click(const QWidget& form, const char* name) {
    QWidget* control = Find<QWidget>(form, name);
    // An option button reacts on its indicator and caption, not on the empty rest of its row.
    const QPoint at = qobject_cast<QRadioButton*>(control) ? QPoint(6, control->height() / 2)
                                                           : control->rect().center();
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
}

ColorRef SwatchOf(const QWidget& form, const char* name) {
    return FromQColor(Find<QLabel>(form, name)->palette().color(QPalette::Window));
}

QString CaptionOf(const QWidget& form, const char* name) {
    QWidget* control = Find<QWidget>(form, name);
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
        return box->title();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return label->text();
    }
    return control->windowTitle();
}

// Every control with the button of SetMoreControls it shows.
struct OptionField {
    const char* name;
    std::variant<ScaleOption, TickOption> option;
    int group; // the buttons of one frame share it

    bool SelectedIn(const SetMoreControls& controls) const {
        return std::visit([&](auto button) { return IsSelected(controls, button); }, option);
    }
};
const OptionField OptionFields[] = {
    {"optFree", ScaleOption::optFree, 0},          {"optLUpper", ScaleOption::optLUpper, 0},
    {"optLCenter", ScaleOption::optLCenter, 0},    {"optLUnder", ScaleOption::optLUnder, 0},
    {"optSScaleOn", ScaleOption::optSScaleOn, 1},  {"optSScaleOff", ScaleOption::optSScaleOff, 1},
    {"optMScaleOn", ScaleOption::optMScaleOn, 2},  {"optMScaleOff", ScaleOption::optMScaleOff, 2},
    {"optLScaleOn", ScaleOption::optLScaleOn, 3},  {"optLScaleOff", ScaleOption::optLScaleOff, 3},
    {"optAxisOn", ScaleOption::optAxisOn, 4},      {"optAxisOff", ScaleOption::optAxisOff, 4},
    {"optXmojiNone", TickOption::optXmojiNone, 5}, {"optXSmoji", TickOption::optXSmoji, 5},
    {"optXMmoji", TickOption::optXMmoji, 5},       {"optXLmoji", TickOption::optXLmoji, 5},
    {"optYmojiNone", TickOption::optYmojiNone, 6}, {"optYSmoji", TickOption::optYSmoji, 6},
    {"optYMmoji", TickOption::optYMmoji, 6},       {"optYLmoji", TickOption::optYLmoji, 6},
};
struct SwatchField {
    const char* name;
    ColorRef SetMoreControls::*field;
};
const SwatchField SwatchFields[] = {
    {"lblSScaleCol", &SetMoreControls::lblSScaleCol},
    {"lblMScaleCol", &SetMoreControls::lblMScaleCol},
    {"lblLScaleCol", &SetMoreControls::lblLScaleCol},
    {"lblAxisCol", &SetMoreControls::lblAxisCol},
    {"lblBackCol", &SetMoreControls::lblBackCol},
    {"lblXmojicolor", &SetMoreControls::lblXmojicolor},
    {"lblYmojicolor", &SetMoreControls::lblYmojicolor},
};
struct CaptionField {
    const char* name;
    QString SetMoreControls::*field;
};
const CaptionField CaptionFields[] = {
    {"lblXfontsize", &SetMoreControls::lblXfontsize},
    {"lblYfontsize", &SetMoreControls::lblYfontsize},
};

// The controls whose screen state differs from what the dialog's record says; empty when they
// agree.
QStringList OutOfStep(const frmSetMore& form) {
    QStringList names;
    const SetMoreControls& record = form.Controls();
    for (const OptionField& o : OptionFields) {
        if (Checked(form, o.name) != o.SelectedIn(record)) {
            names << QString::fromLatin1(o.name);
        }
    }
    for (const SwatchField& w : SwatchFields) {
        if (SwatchOf(form, w.name) != record.*w.field) {
            names << QString::fromLatin1(w.name);
        }
    }
    for (const CaptionField& c : CaptionFields) {
        if (CaptionOf(form, c.name) != record.*c.field) {
            names << QString::fromLatin1(c.name);
        }
    }
    return names;
}

// The fields in which two records differ.
QStringList Differences(const SetMoreControls& a, const SetMoreControls& b) {
    QStringList names;
    for (const OptionField& o : OptionFields) {
        if (o.SelectedIn(a) != o.SelectedIn(b)) {
            names << QString::fromLatin1(o.name);
        }
    }
    for (const SwatchField& w : SwatchFields) {
        if (a.*w.field != b.*w.field) {
            names << QString::fromLatin1(w.name);
        }
    }
    for (const CaptionField& c : CaptionFields) {
        if (a.*c.field != b.*c.field) {
            names << QString::fromLatin1(c.name);
        }
    }
    return names;
}

} // namespace

class FrmSetMoreTest : public QObject {
    Q_OBJECT
private slots:
    void controlsCarryTheirCaptions_data();
    void controlsCarryTheirCaptions();
    void everyOpeningShowsTheRecord();
    void okTurnsBothAxesOnAndWritesTheHorizontalColourToBoth();
    void okStoresTheTickNumberControls();
    void fontSizeTyped_data();
    void fontSizeTyped();
    void okAlwaysAsksForTheSettingsRedraw();
    void cancelLeavesRecordAndSheetAlone();
    void clicksDrawThePreview();
    void theCloseBoxDestroysTheDialog();
    void aClickChangesItsOwnFieldAndCancelRestoresTheRecord_data();
    void aClickChangesItsOwnFieldAndCancelRestoresTheRecord();
};

void FrmSetMoreTest::controlsCarryTheirCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const char* rows[][2] = {
        {"frmSetMore", "詳細設定"},
        {"fraArray", "原点の配置"},
        {"optFree", "自由"},
        {"optLUpper", "左上"},
        {"optLCenter", "左中"},
        {"optLUnder", "左下"},
        {"fraSScale", "小目盛線"},
        {"optSScaleOn", "On"},
        {"optSScaleOff", "Off"},
        {"fraMScale", "中目盛線"},
        {"optMScaleOn", "On"},
        {"optMScaleOff", "Off"},
        {"fraLScale", "大目盛線"},
        {"optLScaleOn", "On"},
        {"optLScaleOff", "Off"},
        {"fraAxis", "座標軸"},
        {"optAxisOn", "On"},
        {"optAxisOff", "Off"},
        {"lblBackCol", "背景色"},
        {"lblScaleImage", "目盛イメージ"},
        {"fraXmoji", "X軸目盛文字"},
        {"optXmojiNone", "目盛は付けない"},
        {"optXSmoji", "小目盛ごとに付ける"},
        {"optXMmoji", "中目盛ごとに付ける"},
        {"optXLmoji", "大目盛ごとに付ける"},
        {"fraYmoji", "Y軸目盛文字"},
        {"optYmojiNone", "目盛は付けない"},
        {"optYSmoji", "小目盛ごとに付ける"},
        {"optYMmoji", "中目盛ごとに付ける"},
        {"optYLmoji", "大目盛ごとに付ける"},
        {"lblXfontsize", "9"},
        {"lblYfontsize", "9"},
        {"cmdOK", "OK"},
        {"cmdCancel", "Cancel"},
        {"lblSScaleCol", ""},
        {"lblMScaleCol", ""},
        {"lblLScaleCol", ""},
        {"lblAxisCol", ""},
        {"lblXmojicolor", ""},
        {"lblYmojicolor", ""},
        {"picPreview", ""},
    };
    for (const auto& row : rows) {
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromUtf8(row[1]);
    }
}

void FrmSetMoreTest::controlsCarryTheirCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Fixture f;
    frmSetMore form(f.state.Settings, f.state.SettingsChanged, f.dialogs, &f.parent);
    form.show();
    if (name == QStringLiteral("frmSetMore")) {
        QCOMPARE(form.windowTitle(), caption);
        return;
    }
    QVERIFY(form.findChild<QWidget*>(name) != nullptr);
    if (name == QStringLiteral("picPreview")) {
        return; // a picture, no caption
    }
    QCOMPARE(CaptionOf(form, name.toLatin1().constData()), caption);
}

void FrmSetMoreTest::everyOpeningShowsTheRecord() {
    Fixture f;
    GraphSettings& s = f.state.Settings;
    s.XSide = 1;
    s.YSide = 0;
    s.XTickLabelMode = 2;
    s.XTickLabelSize = 12.5f;
    s.YTickLabelColor = Rgb(9, 8, 7);
    f.Open([](frmSetMore& form) {
        QVERIFY(Checked(form, "optLCenter"));
        QVERIFY(Checked(form, "optXSmoji"));
        QCOMPARE(CaptionOf(form, "lblXfontsize"), QStringLiteral("12.5"));
        QCOMPARE(SwatchOf(form, "lblYmojicolor"), Rgb(9, 8, 7));
        Click(form, "optLUpper");
        Click(form, "optXLmoji");
        Click(form, "cmdOK");
    });
    // The same dialog object, opened again, shows the record as it is then, including a mode
    // the dialog has no button for.
    s.XSide = 0;
    s.XTickLabelMode = 6;
    f.Open([](frmSetMore& form) {
        QVERIFY(Checked(form, "optFree"));
        for (const char* name : {"optXmojiNone", "optXSmoji", "optXMmoji", "optXLmoji"}) {
            QVERIFY2(!Checked(form, name), name);
        }
    });
    QCOMPARE(f.parent.findChildren<frmSetMore*>().size(), 1);
}

void FrmSetMoreTest::okTurnsBothAxesOnAndWritesTheHorizontalColourToBoth() {
    Fixture f;
    GraphSettings& s = f.state.Settings;
    s.XSmallLinesOn = false;
    s.YSmallLinesOn = true;
    s.YSmallLineColor = Rgb(11, 22, 33);
    s.XSmallLineColor = Rgb(99, 88, 77);
    const bool accepted = f.Open([](frmSetMore& form) {
        QVERIFY(Checked(form, "optSScaleOn"));
        QCOMPARE(SwatchOf(form, "lblSScaleCol"), Rgb(11, 22, 33));
        Click(form, "cmdOK");
        QVERIFY(!form.isVisible());
    });
    QVERIFY(accepted);
    QVERIFY(s.XSmallLinesOn);
    QVERIFY(s.YSmallLinesOn);
    QCOMPARE(s.XSmallLineColor, Rgb(11, 22, 33));
    QCOMPARE(s.YSmallLineColor, Rgb(11, 22, 33));
}

void FrmSetMoreTest::okStoresTheTickNumberControls() {
    Fixture f;
    f.dialogs.colors = {Rgb(5, 6, 7), Rgb(200, 0, 100), Rgb(1, 1, 1)};
    f.Open([&](frmSetMore& form) {
        Click(form, "optLUnder");
        Click(form, "optMScaleOff");
        Click(form, "lblAxisCol");
        Click(form, "optXMmoji");
        Click(form, "optYmojiNone");
        Click(form, "lblXmojicolor");
        Click(form, "lblYmojicolor");
        Click(form, "cmdOK");
    });
    const GraphSettings& s = f.state.Settings;
    QCOMPARE(int(s.XSide), 1);
    QCOMPARE(int(s.YSide), -1);
    QVERIFY(!s.XMediumLinesOn && !s.YMediumLinesOn);
    QVERIFY(s.XLargeLinesOn && s.YLargeLinesOn);
    QCOMPARE(s.XAxisColor, Rgb(5, 6, 7));
    QCOMPARE(s.YAxisColor, Rgb(5, 6, 7));
    QCOMPARE(int(s.XTickLabelMode), 3);
    QCOMPARE(int(s.YTickLabelMode), 1);
    QCOMPARE(s.XTickLabelColor, Rgb(200, 0, 100));
    QCOMPARE(s.YTickLabelColor, Rgb(1, 1, 1));
    // The scale-line and axis swatches ask for the full colour dialog, the tick ones do not.
    QCOMPARE(f.dialogs.fullOpenRequests, (QList<bool>{true, false, false}));
}

void FrmSetMoreTest::fontSizeTyped_data() {
    QTest::addColumn<QString>("typed"); // "<cancel>" for a cancelled input box
    QTest::addColumn<QString>("caption");
    QTest::addColumn<float>("points");
    QTest::newRow("12.5") << "12.5"
                          << "12.5" << 12.5f;
    QTest::newRow("abc") << "abc"
                         << "abc" << 9.0f;
    QTest::newRow("cancel") << "<cancel>"
                            << "" << 9.0f;
    QTest::newRow("negative kept") << "-4"
                                   << "-4" << -4.0f;
}

void FrmSetMoreTest::fontSizeTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    QFETCH(float, points);
    Fixture f;
    if (typed != QStringLiteral("<cancel>")) {
        f.dialogs.inputs.push_back(typed);
    }
    f.Open([&](frmSetMore& form) {
        Click(form, "lblXfontsize");
        QCOMPARE(CaptionOf(form, "lblXfontsize"), caption);
        Click(form, "cmdOK");
    });
    QCOMPARE(f.dialogs.asked.size(), 1);
    QCOMPARE(f.dialogs.asked[0].title, QStringLiteral("フォントサイズ指定"));
    QCOMPARE(f.dialogs.asked[0].text, QStringLiteral("フォントサイズを数値で指定してください"));
    QCOMPARE(f.state.Settings.XTickLabelSize, points);
    QCOMPARE(f.state.Settings.YTickLabelSize, 9.0f);
    // The redraw that follows draws the tick numbers whatever was typed.
    RedrawOnActivation(f.state);
    QVERIFY(f.state.Xmoji.Count() > 0);
}

void FrmSetMoreTest::okAlwaysAsksForTheSettingsRedraw() {
    Fixture f;
    const GraphSettings before = f.state.Settings;
    f.state.Slots[0].Drawn = true;
    QVERIFY(f.Open([](frmSetMore& form) { Click(form, "cmdOK"); }));
    QVERIFY(f.state.SettingsChanged);
    QCOMPARE(f.state.Settings.XSmallLineColor, before.XSmallLineColor);
    QCOMPARE(RedrawOnActivation(f.state), ActivationRedraw::Settings);
    QVERIFY(!f.state.Slots[0].Drawn);
    QVERIFY(!f.state.SettingsChanged);
}

void FrmSetMoreTest::cancelLeavesRecordAndSheetAlone() {
    Fixture f;
    f.state.SettingsChanged = true; // Cancel withdraws even an earlier request
    const GraphSettings before = f.state.Settings;
    const QImage sheet = f.state.Sheet.Image();
    f.dialogs.colors = {Rgb(0, 0, 0), Rgb(255, 0, 0)};
    f.dialogs.inputs = {QStringLiteral("30")};
    const bool accepted = f.Open([](frmSetMore& form) {
        Click(form, "optLUpper");
        Click(form, "optSScaleOff");
        Click(form, "optAxisOff");
        Click(form, "lblBackCol");
        Click(form, "lblXmojicolor");
        Click(form, "lblXfontsize");
        Click(form, "optXSmoji");
        QCOMPARE(SwatchOf(form, "lblBackCol"), Rgb(0, 0, 0));
        Click(form, "cmdCancel");
        // The controls are back at the record's values at once.
        QVERIFY(Checked(form, "optFree"));
        QVERIFY(Checked(form, "optSScaleOn"));
        QCOMPARE(SwatchOf(form, "lblBackCol"), Rgb(255, 255, 255));
        QCOMPARE(CaptionOf(form, "lblXfontsize"), QStringLiteral("9"));
    });
    QVERIFY(!accepted);
    const GraphSettings& s = f.state.Settings;
    QVERIFY(!f.state.SettingsChanged);
    QCOMPARE(int(s.XSide), int(before.XSide));
    QCOMPARE(int(s.YSide), int(before.YSide));
    QCOMPARE(s.XSmallLinesOn, before.XSmallLinesOn);
    QCOMPARE(s.XAxisOn, before.XAxisOn);
    QCOMPARE(s.BackgroundColor, before.BackgroundColor);
    QCOMPARE(s.XTickLabelColor, before.XTickLabelColor);
    QCOMPARE(s.XTickLabelSize, before.XTickLabelSize);
    QCOMPARE(int(s.XTickLabelMode), int(before.XTickLabelMode));
    QCOMPARE(RedrawOnActivation(f.state), ActivationRedraw::None);
    QCOMPARE(f.state.Sheet.Image(), sheet);

    // Escape is Cancel too; the next opening shows the record.
    f.Open([](frmSetMore& form) {
        QVERIFY(Checked(form, "optFree"));
        QCOMPARE(SwatchOf(form, "lblBackCol"), Rgb(255, 255, 255));
        QVERIFY(Checked(form, "optXLmoji"));
        Click(form, "optLUnder");
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    QCOMPARE(int(f.state.Settings.XSide), 0);
}

void FrmSetMoreTest::clicksDrawThePreview() {
    Fixture f;
    f.dialogs.colors = {Rgb(20, 30, 40)};
    f.Open([](frmSetMore& form) {
        const Surface& preview = form.Preview();
        auto* picPreview = Find<QLabel>(form, "picPreview");
        QCOMPARE(QSize(preview.Width(), preview.Height()), picPreview->contentsRect().size());
        // "左下": the axes cross 10 pixels from the left and the bottom, nothing lies left of it.
        Click(form, "optLUnder");
        QCOMPARE(preview.Image().pixel(10, preview.Height() - 11), ToPixel(Rgb(112, 112, 255)));
        QCOMPARE(preview.Image().pixel(5, 5), ToPixel(Rgb(255, 255, 255)));
        Click(form, "lblBackCol");
        QCOMPARE(preview.Image().pixel(5, 5), ToPixel(Rgb(20, 30, 40)));
        // The screen shows the drawn preview.
        QCOMPARE(picPreview->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 preview.Image());
        Click(form, "cmdOK");
    });
    QCOMPARE(f.state.Settings.BackgroundColor, Rgb(20, 30, 40));
    QCOMPARE(int(f.state.Settings.YSide), -1);
}

void FrmSetMoreTest::theCloseBoxDestroysTheDialog() {
    Fixture f;
    f.state.SettingsChanged = true;
    QPointer<frmSetMore> first;
    const bool accepted = f.Open([&](frmSetMore& form) {
        first = &form;
        Click(form, "optLUpper");
        form.close();
    });
    QVERIFY(!accepted);
    QVERIFY(f.state.SettingsChanged); // left as it was
    QCOMPARE(int(f.state.Settings.XSide), 0);
    // Opening again at once makes a new dialog that starts from the record.
    QPointer<frmSetMore> second;
    f.Open([&](frmSetMore& form) {
        second = &form;
        QVERIFY(Checked(form, "optFree"));
        Click(form, "cmdOK");
    });
    QVERIFY(second != nullptr);
    QVERIFY(second != first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first == nullptr);
    QVERIFY(second != nullptr); // OK only hides
}

void FrmSetMoreTest::aClickChangesItsOwnFieldAndCancelRestoresTheRecord_data() {
    QTest::addColumn<QString>("control");
    for (const OptionField& o : OptionFields) {
        QTest::newRow(o.name) << QString::fromLatin1(o.name);
    }
    for (const SwatchField& w : SwatchFields) {
        QTest::newRow(w.name) << QString::fromLatin1(w.name);
    }
    for (const CaptionField& c : CaptionFields) {
        QTest::newRow(c.name) << QString::fromLatin1(c.name);
    }
}

void FrmSetMoreTest::aClickChangesItsOwnFieldAndCancelRestoresTheRecord() {
    QFETCH(QString, control);
    Fixture f;
    // A record where most clicks change something: no placement button and no X tick button
    // stand for these codes, the medium lines are off.
    GraphSettings& s = f.state.Settings;
    s.XSide = 1;
    s.YSide = 5;
    s.XMediumLinesOn = s.YMediumLinesOn = false;
    s.XTickLabelMode = 6;
    s.YTickLabelMode = 1;
    const ColorRef chosen = Rgb(10, 20, 30);
    f.dialogs.colors = {chosen};
    f.dialogs.inputs = {QStringLiteral("15")};
    const QByteArray name = control.toLatin1();
    f.Open([&](frmSetMore& form) {
        QVERIFY2(OutOfStep(form).isEmpty(), qPrintable(OutOfStep(form).join(u' ')));
        const SetMoreControls opened = form.Controls();
        Click(form, name.constData());

        // The click landed in its own field of the record, touching nothing outside its frame,
        // and every control shows the record.
        QVERIFY2(OutOfStep(form).isEmpty(), qPrintable(OutOfStep(form).join(u' ')));
        QStringList mayChange{control};
        for (const OptionField& o : OptionFields) {
            if (o.name == control) {
                QVERIFY(o.SelectedIn(form.Controls()));
                for (const OptionField& other : OptionFields) {
                    if (other.group == o.group) {
                        mayChange << QString::fromLatin1(other.name);
                    }
                }
            }
        }
        for (const SwatchField& w : SwatchFields) {
            if (w.name == control) {
                QCOMPARE(form.Controls().*w.field, chosen);
            }
        }
        for (const CaptionField& c : CaptionFields) {
            if (c.name == control) {
                QCOMPARE(form.Controls().*c.field, QStringLiteral("15"));
            }
        }
        for (const QString& changed : Differences(opened, form.Controls())) {
            QVERIFY2(mayChange.contains(changed), qPrintable(changed));
        }
        // The working copy agrees with the buttons: OK would read back what it holds.
        SetMoreEdit read = form.Edit();
        ReadScaleOptions(form.Controls(), read);
        QCOMPARE(int(read.EditXSide), int(form.Edit().EditXSide));
        QCOMPARE(int(read.EditYSide), int(form.Edit().EditYSide));
        QCOMPARE(read.EditSmallOn, form.Edit().EditSmallOn);
        QCOMPARE(read.EditMediumOn, form.Edit().EditMediumOn);
        QCOMPARE(read.EditLargeOn, form.Edit().EditLargeOn);
        QCOMPARE(read.EditAxisOn, form.Edit().EditAxisOn);
        QCOMPARE(read.EditBackColor, form.Edit().EditBackColor);
        QCOMPARE(read.EditAxisColor, form.Edit().EditAxisColor);

        // Cancel takes record and controls back to the settings together.
        Click(form, "cmdCancel");
        QVERIFY2(Differences(opened, form.Controls()).isEmpty(),
                 qPrintable(Differences(opened, form.Controls()).join(u' ')));
        QVERIFY2(OutOfStep(form).isEmpty(), qPrintable(OutOfStep(form).join(u' ')));
    });
    QCOMPARE(int(s.XSide), 1);
    QCOMPARE(int(s.YSide), 5);
    QVERIFY(!s.XMediumLinesOn);
    QCOMPARE(int(s.XTickLabelMode), 6);
}

QTEST_MAIN(FrmSetMoreTest)
#include "tst_frmsetmore.moc"

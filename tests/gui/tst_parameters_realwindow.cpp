// Runs in a real X server (xvfb-run): a parameter moved in the パラメータ window with the real
// keyboard. a*sin(x)*10 drawn in F1 opens the window with a; a = 1 and then a = 2 typed into the
// value box draw the curve again, its height on the screen doubled; 60 key steps on the slider
// end with the last value drawn and one curve on the sheet.
#include "tests/support/realwindow.h"
#include "tests/support/slowsettings.h"
#include "tests/ui/windowfixture.h"
#include "ui/frmparameters.h"
#include "ui/sheetview.h"

#include <QtCore/QElapsedTimer>
#include <QtTest/QtTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QStyle>
#include <algorithm>

namespace {

using realwindow::ClickInProcess;
using realwindow::Key;
using realwindow::WaitFor;
using realwindow::Xdo;
const auto ClickOn = [](const QWidget* widget) { realwindow::ClickWidget(widget); };
const auto Type = realwindow::TypeText;

constexpr ColorRef Red = Rgb(230, 0, 0);

// The red curve's extent on the screen, rows from the x axis: its highest and its lowest.
QRect CurveOnScreen(const SheetView* sheet) {
    QTest::qWait(300);
    const QRect drawing = sheet->contentsRect();
    const QPoint at = sheet->mapToGlobal(drawing.topLeft());
    const QImage screen = QGuiApplication::primaryScreen()
                              ->grabWindow(0, at.x(), at.y(), drawing.width(), drawing.height())
                              .toImage();
    return realwindow::BoundsOf(screen, screen.rect(), ToQColor(Red).rgb());
}

// The value the slot's rows were computed with, and the values of the curves on the sheet.
double SampledA(const CurvaneState& state, int slot = 1) {
    const auto& values = SlotOf(state.Slots, slot).SampledParameters;
    return values.empty() ? std::nan("") : values.front().second;
}

// 60 steps by the right arrow on the focused slider of a, from a = 2 to a = 8: the time the window
// took, once xdotool was done sending them, until every slot of readers was drawn with a = 8;
// -1 when that did not come within ten seconds.
qint64 SixtyKeySteps(frmParameters* parameters, const CurvaneState& state,
                     std::initializer_list<int> readers) {
    parameters->raise();
    realwindow::FocusWindow(QString::number(parameters->winId()), parameters->geometry().center());
    QSlider* slider = parameters->SliderOf(QStringLiteral("a"));
    slider->setFocus();
    if (!WaitFor([&] { return slider->hasFocus(); })) {
        return -1;
    }
    Xdo({QStringLiteral("key"), QStringLiteral("--repeat"), QStringLiteral("60"),
         QStringLiteral("--delay"), QStringLiteral("5"), QStringLiteral("Right")});
    QElapsedTimer clock;
    clock.start();
    const auto last = [&] {
        return std::all_of(readers.begin(), readers.end(),
                           [&](int slot) { return std::fabs(SampledA(state, slot) - 8.0) < 1e-9; });
    };
    while (!last() && clock.elapsed() < 10000) {
        QTest::qWait(1);
    }
    return last() ? clock.elapsed() : -1;
}

} // namespace

class ParametersRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void aTypedValueAndKeyStepsRedrawTheCurve();
    void keyStepsKeepUpOnAFullSheet();
};

void ParametersRealWindowTest::aTypedValueAndKeyStepsRedrawTheCurve() {
    WindowFixture f;
    frmCurvane& window = *f.window;
    CurvaneState& state = window.State();

    realwindow::FocusWindow(QString::number(window.winId()), window.geometry().center());
    f.dialogs->colors.push_back(Red);
    ClickOn(window.findChild<QWidget*>(QStringLiteral("lblF1color")));
    QVERIFY(WaitFor([&] { return SlotOf(state.Slots, 1).Color == Red; }));
    ClickOn(window.findChild<QLineEdit*>(QStringLiteral("txtF1")));
    Type(QStringLiteral("a*sin(x)*10"));
    ClickOn(window.findChild<QPushButton*>(QStringLiteral("cmdF1draw")));
    QVERIFY(WaitFor([&] { return SlotOf(state.Slots, 1).Drawn; }));

    // The first draw that reads a name without a value opens the window, with a row for a.
    frmParameters* parameters = nullptr;
    QVERIFY(WaitFor([&] {
        parameters = window.findChild<frmParameters*>(QStringLiteral("frmParameters"));
        return parameters != nullptr && parameters->isVisible();
    }));
    QVERIFY(QTest::qWaitForWindowExposed(parameters));
    QLineEdit* value = parameters->ValueBoxOf(QStringLiteral("a"));
    QVERIFY(value != nullptr);
    QCOMPARE(value->text(), QStringLiteral("0"));

    const auto typeValue = [&](const QString& text) {
        realwindow::FocusWindow(QString::number(parameters->winId()),
                                parameters->geometry().center());
        ClickOn(value);
        Key(QStringLiteral("ctrl+a"));
        Type(text);
        Key(QStringLiteral("Return"));
    };
    typeValue(QStringLiteral("1"));
    QVERIFY(WaitFor([&] { return SampledA(state) == 1.0; }));
    window.raise();
    const QRect one = CurveOnScreen(window.Sheet());
    typeValue(QStringLiteral("2"));
    QVERIFY(WaitFor([&] { return SampledA(state) == 2.0; }));
    window.raise();
    const QRect two = CurveOnScreen(window.Sheet());
    // Same columns, twice the height around the same axis (within a pixel of the pen).
    QVERIFY2(std::abs(two.height() - 2 * one.height()) <= 2 && one.height() > 20,
             qPrintable(QStringLiteral("%1 then %2").arg(one.height()).arg(two.height())));
    QVERIFY(std::abs(two.center().y() - one.center().y()) <= 1);
    QCOMPARE(state.Record.curves.size(), 1u); // each value replaced the curve before
    QCOMPARE(state.Record.curves.front().parameters.front().second, 2.0);

    // 60 steps by the right arrow on the focused slider: the last value, 2 + 60 × 0.1, is drawn.
    QVERIFY(SixtyKeySteps(parameters, state, {1}) >= 0);
    QCOMPARE(FindParameter(state.Params, QStringLiteral("a"))->value, SampledA(state));
    QCOMPARE(state.Record.curves.size(), 1u);

    // A drag of the handle over many values is one step to undo, which gives back a = 8 and
    // its curve.
    QSlider* slider = parameters->SliderOf(QStringLiteral("a"));
    QVERIFY(
        WaitFor([&] { return window.History().UndoName() == QStringLiteral("パラメータの変更"); }));
    const int stepsBefore = window.History().UndoSteps();
    const QImage before = window.Sheet()->grab().toImage();
    const QPoint handle = slider->mapToGlobal(
        QPoint(QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(),
                                               slider->value(), slider->width()),
               slider->height() / 2));
    realwindow::MouseTo(handle);
    Xdo({QStringLiteral("mousedown"), QStringLiteral("1")});
    for (int dx = 4; dx <= 40; dx += 4) {
        realwindow::MouseTo(handle - QPoint(dx, 0));
        QTest::qWait(20);
    }
    Xdo({QStringLiteral("mouseup"), QStringLiteral("1")});
    QVERIFY(WaitFor([&] { return SampledA(state) < 7.0 && !slider->isSliderDown(); }));
    QVERIFY(WaitFor([&] { return window.History().UndoSteps() == stepsBefore + 1; }));
    QTest::qWait(200);
    QCOMPARE(window.History().UndoSteps(), stepsBefore + 1);
    window.RunCommand(Command::Undo);
    QCOMPARE(FindParameter(state.Params, QStringLiteral("a"))->value, 8.0);
    QCOMPARE(SampledA(state), 8.0);
    QCOMPARE(window.Sheet()->grab().toImage(), before);
}

void ParametersRealWindowTest::keyStepsKeepUpOnAFullSheet() {
    // The frame the benchmark times, in the window: three curves of a*sin(b*x)+c on a sheet of
    // 1920 × 1080 pixels. The time is reported, not judged: it depends on the machine.
    WindowFixture f;
    const QString settings = f.dir.filePath(QStringLiteral("full.cvf"));
    QFile file(settings);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(SettingsLineWithF1(QStringLiteral("a*sin(b*x)+c"), 1920, 1080, 6915, 5955,
                                  QStringLiteral("a*sin(b*x)+c+20"),
                                  QStringLiteral("a*sin(b*x)+c-20")));
    file.close();
    frmCurvane& window = *f.window;
    CurvaneState& state = window.State();
    window.OpenSettingsPath(settings);
    QCOMPARE(state.Sheet.Width(), 1920);
    for (const char* name : {"cmdF1draw", "cmdF2draw", "cmdF3draw"}) {
        window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
        QVERIFY(WaitFor([&] { return state.Record.curves.size() == (name[4] - '0') * 1u; }));
    }
    frmParameters* parameters = window.findChild<frmParameters*>(QStringLiteral("frmParameters"));
    QVERIFY(parameters != nullptr && QTest::qWaitForWindowExposed(parameters));
    for (const auto& [name, text] : {std::pair{"a", "2"}, std::pair{"b", "0.1"}}) {
        QLineEdit* box = parameters->ValueBoxOf(QString::fromLatin1(name));
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(text));
        QTest::keyClick(box, Qt::Key_Return);
    }
    QVERIFY(WaitFor([&] { return SampledA(state) == 2.0; }));
    const qint64 steps = SixtyKeySteps(parameters, state, {1, 2, 3});
    QVERIFY(steps >= 0);
    qInfo("60 key steps of three curves at 1920 columns drawn in %lld ms",
          static_cast<long long>(steps));
    QCOMPARE(state.Record.curves.size(), 3u);
}

QTEST_MAIN(ParametersRealWindowTest)
#include "tst_parameters_realwindow.moc"

#include "platform/settings_store.h"
#include "tests/support/fakedialogs.h"
#include "ui/axispanel.h"
#include "ui/frmcurvane.h"
#include "ui/helpwindow.h"
#include "ui/sheetview.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

namespace {

const QString App = QStringLiteral("Curvane");
const QString Section = QStringLiteral("Settings");

// A main window on a store of its own, with scripted dialogs.
struct Fixture {
    QTemporaryDir dir;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<frmCurvane> window;

    QString StorePath() const { return dir.filePath(QStringLiteral("placement.ini")); }
    void Store(const char* key, const QString& value) {
        QtSettingsStore(StorePath()).Save(App, Section, QString::fromLatin1(key), value);
    }
    QString Stored(const char* key) const {
        return QtSettingsStore(StorePath()).Get(App, Section, QString::fromLatin1(key), "-");
    }
    frmCurvane& Open() {
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        window = std::make_unique<frmCurvane>(std::move(fake),
                                              std::make_unique<QtSettingsStore>(StorePath()));
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qWarning("window not exposed");
        }
        return *window;
    }
    template <class T>
    T* Find(const char* name) const {
        return window->findChild<T*>(QString::fromUtf8(name));
    }
    QImage Picture() const { return window->State().Sheet.Image(); }
};

// Where a window lies, for a failure's message.
QString PlacementText(const QWidget& window) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(window.x())
        .arg(window.y())
        .arg(window.frameGeometry().width())
        .arg(window.frameGeometry().height());
}

void MarkAllDrawn(CurvaneState& state) {
    for (FunctionSlot& slot : state.Slots) {
        slot.Drawn = true;
        slot.Hidden = true;
        slot.Button = DrawButtonState::Erase;
    }
}

void VerifyAllForgotten(const CurvaneState& state) {
    for (const FunctionSlot& slot : state.Slots) {
        QVERIFY(!slot.Drawn);
        QVERIFY(!slot.Hidden);
        QCOMPARE(slot.Button, DrawButtonState::Draw);
    }
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheDefaultGridOnTheDesignedSheet();
    void placementDefaultsWithAnEmptyStore();
    void restoredLargerSizeIsTheNewMinimum();
    void unreadableStoredValuesFallBack();
    void absurdStoredPlacementFitsTheScreen_data();
    void absurdStoredPlacementFitsTheScreen();
    void settingsFileCannotMakeTheWindowLargerThanTheScreen_data();
    void settingsFileCannotMakeTheWindowLargerThanTheScreen();
    void closingStoresThePlacementUnlessMinimised();
    void menuBarAndToolbarFollowTheTables();
    void toolbarKeysDispatchExactly();
    void versionBox();
    void helpContentsOpensTheHelpDocument();
    void sheetScrollBarsNeedAStrictlyLargerSheet();
    void smallSpacingScrollRedrawsAndForgetsCurves();
    void stepCountCaptionsChangeWithTheBar();
    void valueBoxesReadTheirLeadingNumber();
    void choosingAUnitForgetsCurvesWithoutRedrawing();
    void suppressedBoxesFillWithoutRedraw();
    void clickingTheAxisFrameShowsTheOther();
    void spacingBeyondTheBarRangeKeepsItsValue();
    void aPresetFromTheMenuIsShownInThePanel();
};

void MainWindowTest::showsTheDefaultGridOnTheDesignedSheet() {
    Fixture f;
    frmCurvane& window = f.Open();
    QCOMPARE(window.windowTitle(), QStringLiteral("Curvane"));

    auto* sheet = f.Find<SheetView>("picScreen");
    QVERIFY(sheet);
    // 5025 × 3855 twips overall, a two-pixel frame on each side.
    QCOMPARE(sheet->size(), QSize(335, 257));
    const CurvaneState& state = window.State();
    QCOMPARE(state.Sheet.Width(), 331);
    QCOMPARE(state.Sheet.Height(), 253);
    QCOMPARE(state.Settings.OriginX, 165.5f);
    QCOMPARE(state.Settings.OriginY, 126.5f);

    // What the widget shows is the grid: the Y axis in column 165 (where 165.5 falls), a small
    // line four pixels to its right, the large line 40 pixels away, and the tick numbers.
    const QImage shown = sheet->grab().toImage();
    const QPoint frame(2, 2);
    const auto colourAt = [&](int x, int y) { return shown.pixelColor(QPoint(x, y) + frame); };
    QCOMPARE(colourAt(165, 100), QColor(112, 112, 255));
    QCOMPARE(colourAt(169, 100), QColor(192, 255, 255));
    QCOMPARE(colourAt(205, 100), QColor(32, 255, 255));
    QCOMPARE(colourAt(167, 100), QColor(255, 255, 255));
    int blue = 0;
    for (int y = 128; y < 145; ++y) {
        for (int x = 167; x < 180; ++x) {
            blue += colourAt(x, y) == QColor(0, 0, 255) ? 1 : 0; // the origin's "0"
        }
    }
    QVERIFY(blue > 5);
}

void MainWindowTest::placementDefaultsWithAnEmptyStore() {
    Fixture f;
    frmCurvane& window = f.Open();
    // 1000 twips from the screen's corner, 6915 × 5955 twips outside.
    QCOMPARE(window.frameGeometry(), QRect(67, 67, 461, 397));
    QCOMPARE(window.LoadWidth(), 6915.0);
    QCOMPARE(window.LoadHeight(), 5955.0);
    window.resize(300, 200);
    QCOMPARE(window.frameGeometry().size(), QSize(461, 397));
}

void MainWindowTest::restoredLargerSizeIsTheNewMinimum() {
    Fixture f;
    f.Store("MainLeft", QStringLiteral("1500"));
    f.Store("MainTop", QStringLiteral("750"));
    f.Store("MainWidth", QStringLiteral("9000"));
    f.Store("MainHeight", QStringLiteral("7500"));
    frmCurvane& window = f.Open();
    QCOMPARE(window.frameGeometry(), QRect(100, 50, 600, 500));
    const QSize extra = window.frameGeometry().size() - window.size();
    window.resize(QSize(461, 397) - extra);
    QCOMPARE(window.frameGeometry().size(), QSize(600, 500));
    window.resize(QSize(700, 520) - extra);
    QCOMPARE(window.frameGeometry().size(), QSize(700, 520));
}

void MainWindowTest::unreadableStoredValuesFallBack() {
    Fixture f;
    f.Store("MainWidth", QStringLiteral("wide"));
    f.Store("MainHeight", QStringLiteral("-20"));
    f.Store("MainLeft", QStringLiteral("1e300"));
    frmCurvane& window = f.Open();
    QCOMPARE(window.frameGeometry(), QRect(67, 67, 461, 397));
}

void MainWindowTest::absurdStoredPlacementFitsTheScreen_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    // 491505 twips are 32767 pixels: a window of 4 GB.
    QTest::newRow("as large as a store can say") << "1000"
                                                 << "1000"
                                                 << "491505"
                                                 << "491505";
    QTest::newRow("far left and up") << "-400000"
                                     << "-90000"
                                     << "6915"
                                     << "5955";
    QTest::newRow("far right and down") << "400000"
                                        << "300000"
                                        << "6915"
                                        << "5955";
    QTest::newRow("large and far away") << "-491505"
                                        << "491505"
                                        << "491505"
                                        << "300000";
}

void MainWindowTest::absurdStoredPlacementFitsTheScreen() {
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QString, width);
    QFETCH(QString, height);
    Fixture f;
    f.Store("MainLeft", left);
    f.Store("MainTop", top);
    f.Store("MainWidth", width);
    f.Store("MainHeight", height);
    frmCurvane& window = f.Open();
    const QRect area = window.screen()->availableGeometry();
    QVERIFY2(area.contains(window.frameGeometry()), qPrintable(PlacementText(window)));
    QVERIFY(window.minimumWidth() <= area.width());
    QVERIFY(window.minimumHeight() <= area.height());
    // What is stored at exit is what the screen could show, so the next start is sane too.
    window.close();
    QVERIFY(f.Stored("MainWidth").toDouble() <= area.width() * 15.0);
    QVERIFY(f.Stored("MainHeight").toDouble() <= area.height() * 15.0);
    QVERIFY(f.Stored("MainLeft").toDouble() >= area.left() * 15.0);
    QVERIFY(f.Stored("MainTop").toDouble() >= area.top() * 15.0);
}

void MainWindowTest::settingsFileCannotMakeTheWindowLargerThanTheScreen_data() {
    QTest::addColumn<QByteArray>("size");
    QTest::newRow("32767 twips each way") << QByteArray("32767,32767");
    QTest::newRow("32767 pixels each way") << QByteArray("491505,491505");
    QTest::newRow("wide and flat") << QByteArray("491505,6000");
}

void MainWindowTest::settingsFileCannotMakeTheWindowLargerThanTheScreen() {
    QFETCH(QByteArray, size);
    Fixture f;
    frmCurvane& window = f.Open();
    f.dialogs->paths.push_back(f.dir.filePath(QStringLiteral("plain.cvf")));
    window.findChild<QAction*>(QStringLiteral("mnuFileSaveAs"))->trigger();
    QFile file(f.dir.filePath(QStringLiteral("plain.cvf")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray line = file.readAll();
    file.close();
    line = size + line.mid(line.indexOf(',', line.indexOf(',') + 1));
    QFile huge(f.dir.filePath(QStringLiteral("huge.cvf")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    huge.write(line);
    huge.close();

    window.OpenSettingsPath(huge.fileName());
    QVERIFY(f.dialogs->Messages().isEmpty());
    const QRect area = window.screen()->availableGeometry();
    QVERIFY2(area.contains(window.frameGeometry()), qPrintable(PlacementText(window)));
}

void MainWindowTest::closingStoresThePlacementUnlessMinimised() {
    Fixture f;
    frmCurvane& window = f.Open();
    window.resize(window.size() + QSize(39, 23));
    window.close();
    QCOMPARE(f.Stored("MainWidth"), QStringLiteral("7500")); // outer 500 × 420 pixels
    QCOMPARE(f.Stored("MainHeight"), QStringLiteral("6300"));
    QCOMPARE(f.Stored("MainLeft"), QStringLiteral("1000")); // unmoved: as read (its default)

    Fixture g;
    g.Store("MainWidth", QStringLiteral("7000"));
    frmCurvane& minimised = g.Open();
    minimised.showMinimized();
    minimised.resize(600, 500);
    minimised.close();
    QCOMPARE(g.Stored("MainWidth"), QStringLiteral("7000"));
    QCOMPARE(g.Stored("MainHeight"), QStringLiteral("-"));
}

void MainWindowTest::menuBarAndToolbarFollowTheTables() {
    Fixture f;
    frmCurvane& window = f.Open();
    QStringList titles;
    for (QAction* action : window.menuBar()->actions()) {
        titles << action->text();
    }
    QCOMPARE(titles, (QStringList{"ﾌｧｲﾙ(&F)", "編集(&E)", "表示(&V)", "ﾂｰﾙ(&T)", "ｳｨﾝﾄﾞｳ(&W)",
                                  "ﾍﾙﾌﾟ(&H)"}));
    auto* file = f.Find<QMenu>("mnuFile");
    QVERIFY(file);
    QStringList entries;
    for (QAction* action : file->actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    QCOMPARE(
        entries,
        (QStringList{"新規作成(&N)", "ワークシートを開く(&K)...", "ワークシートの保存(&T)...",
                     "ワークシートに名前を付けて保存(&M)...", "最近使ったファイル", "-",
                     "設定の読込み(&O)...", "画像の読込み(&R)", "-", "BMP上書き保存(&S)",
                     "BMP名前を付けて保存(&A)...", "エクスポート(&E)...", "設定の上書き保存(&W)",
                     "設定の保存(&L)", "-", "画像の印刷(&P)...", "-", "終了(&X)"}));
    const std::pair<const char*, const char*> shortcuts[] = {
        {"mnuFileNew", "Ctrl+N"},  {"mnuToClipboard", "Ctrl+C"}, {"mnuFromClipboard", "Ctrl+V"},
        {"mnuBMPPrint", "Ctrl+P"}, {"mnuExport", "Ctrl+E"},      {"mnuHelpContents", "F1"}};
    for (const auto& [name, keys] : shortcuts) {
        QCOMPARE(f.Find<QAction>(name)->shortcut(), QKeySequence(QString::fromLatin1(keys)));
    }
    // 表示 holds the scale presets after the line styles.
    QStringList view;
    for (QAction* action :
         f.Find<QMenu>("mnuView")->actions() + f.Find<QMenu>("mnuScalePreset")->actions()) {
        view << action->text();
    }
    QCOMPARE(view, (QStringList{"線種(&L)", "目盛りのプリセット(&G)", "", "詳細設定(&M)", "標準",
                                "三角関数", "拡大 ±10"}));
    auto* lineStyles = f.Find<QMenu>("mnuLineStyle");
    QVERIFY(lineStyles);
    QCOMPARE(lineStyles->actions().size(), 9);
    QCOMPARE(lineStyles->actions().at(4)->text(), QStringLiteral("中太点線（点2）"));

    auto* toolbar = f.Find<QToolBar>("tbToolBar");
    QVERIFY(toolbar);
    QStringList keys;
    for (QAction* action : toolbar->actions()) {
        keys << (action->isSeparator() ? QStringLiteral("|") : action->data().toString());
    }
    QCOMPARE(keys,
             (QStringList{"新規作成", "設定を開く", "上書き保存", "画像印刷", "|", "コピー",
                          "消去文字の復活", "|", "詳細設定", "|", "ズームイン", "ズームアウト",
                          "ｻｲｽﾞﾏｯﾁﾝｸﾞ", "|", "文字・記号の追加", "|", "元に戻す", "やり直し"}));
    QCOMPARE(toolbar->actions().at(5)->toolTip(), QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞｺﾋﾟｰ"));
}

void MainWindowTest::toolbarKeysDispatchExactly() {
    QCOMPARE(CommandOfToolbarKey(QStringLiteral("上書き保存")), Command::FileSave);
    QCOMPARE(CommandOfToolbarKey(QStringLiteral("コピー")), Command::ToClipboard);
    QCOMPARE(CommandOfToolbarKey(QStringLiteral("ｻｲｽﾞﾏｯﾁﾝｸﾞ")), Command::Matching);
    QVERIFY(!CommandOfToolbarKey(QStringLiteral("上書き保存 ")).has_value());
    QVERIFY(!CommandOfToolbarKey(QString()).has_value());
    Fixture f;
    frmCurvane& window = f.Open();
    window.tbToolBar_ButtonClick(QStringLiteral("no such key")); // does nothing
    QVERIFY(f.dialogs->asked.isEmpty());
}

void MainWindowTest::versionBox() {
    Fixture f;
    frmCurvane& window = f.Open();
    f.Find<QAction>("mnuHelpAbout")->trigger();
    QCOMPARE(f.dialogs->asked.size(), 1);
    QCOMPARE(f.dialogs->asked[0].text, QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.0.0"));
    QCOMPARE(f.dialogs->asked[0].title, QStringLiteral("Curvane"));
    Q_UNUSED(window);
}

void MainWindowTest::helpContentsOpensTheHelpDocument() {
    Fixture f;
    frmCurvane& window = f.Open();
    QVERIFY(window.HelpPath().endsWith(QStringLiteral("/CURVANEHELP.hlp")));
    // The test runs from its own folder; the document is the one the program ships.
    window.SetHelpPath(QStringLiteral(CURVANE_SOURCE_DIR "/share/CURVANEHELP.hlp"));
    f.Find<QAction>("mnuHelpContents")->trigger();
    auto* help = window.findChild<HelpWindow*>();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QVERIFY(help->ShowsDocument());
    QVERIFY(f.dialogs->asked.isEmpty());

    window.SetHelpPath(QString()); // no help at all: the guard's message
    f.Find<QAction>("mnuHelpContents")->trigger();
    QCOMPARE(f.dialogs->Messages(),
             QStringList{QStringLiteral("ﾍﾙﾌﾟの目次を表示できません。 "
                                        "このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。")});
    QCOMPARE(f.dialogs->asked[0].title, QStringLiteral("Curvane"));
}

void MainWindowTest::sheetScrollBarsNeedAStrictlyLargerSheet() {
    Fixture f;
    frmCurvane& window = f.Open();
    auto* bar = f.Find<QScrollBar>("scrXdirect");
    auto* vertical = f.Find<QScrollBar>("scrYdirect");
    SheetView* sheet = window.Sheet();
    QVERIFY(!bar->isVisible());
    QVERIFY(!vertical->isVisible());

    const int room = f.Find<QWidget>("picGraphSet")->x(); // 461 - 121
    QCOMPARE(room, 340);
    sheet->setFixedSize(room, 200); // exactly as wide: no bar
    window.LayoutSheetScrollBars();
    QVERIFY(!bar->isVisible());

    sheet->setFixedSize(room + 1, 200);
    window.LayoutSheetScrollBars();
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->maximum(), 341 * 15);
    QCOMPARE(bar->minimum(), -341 * 15);
    QCOMPARE(bar->value(), 0); // the thumb in the middle at home
    QCOMPARE(bar->singleStep(), 100);
    QCOMPARE(bar->pageStep(), 1279); // 5115 / 4, ties to even
    QCOMPARE(bar->geometry().width(), room);

    bar->setValue(bar->maximum());
    QCOMPARE(sheet->x(), -341); // out of sight to the left
    bar->setValue(bar->minimum());
    QCOMPARE(sheet->x(), 341);
    window.resize(window.width() + 10, window.height()); // any resize brings the sheet home
    QCOMPARE(sheet->x(), 0);
    QCOMPARE(sheet->y(), f.Find<QToolBar>("tbToolBar")->height());

    sheet->setFixedSize(200, 2000);
    window.LayoutSheetScrollBars();
    QVERIFY(vertical->isVisible());
    QCOMPARE(vertical->maximum(), 30000);
    sheet->setFixedSize(200, 3000); // 45000 twips: the 16-bit range holds
    window.LayoutSheetScrollBars();
    QCOMPARE(vertical->maximum(), 32767);
    QCOMPARE(vertical->minimum(), -32768);
}

void MainWindowTest::smallSpacingScrollRedrawsAndForgetsCurves() {
    Fixture f;
    frmCurvane& window = f.Open();
    MarkAllDrawn(window.State());
    auto* bar = f.Find<QScrollBar>("scrXSsize");
    QVERIFY(bar);
    QCOMPARE(f.Find<QGroupBox>("fraXSsize")->title(), QStringLiteral("小目盛= 1.06mm"));
    bar->setValue(5);
    QCOMPARE(window.State().Settings.XSmallSpacing, std::int16_t(5));
    QCOMPARE(f.Find<QGroupBox>("fraXSsize")->title(), QStringLiteral("小目盛= 1.32mm"));
    VerifyAllForgotten(window.State());
    // Redrawn: a small line now five pixels right of the origin column.
    QCOMPARE(f.Picture().pixelColor(170, 100), QColor(192, 255, 255));
}

void MainWindowTest::stepCountCaptionsChangeWithTheBar() {
    Fixture f;
    frmCurvane& window = f.Open();
    QCOMPARE(f.Find<QGroupBox>("fraXMsize")->title(), QStringLiteral("中目盛間隔= 5"));
    QCOMPARE(f.Find<QGroupBox>("fraYLsize")->title(), QStringLiteral("大目盛間隔= 2"));
    f.Find<QScrollBar>("scrXMsize")->setValue(6);
    QCOMPARE(f.Find<QGroupBox>("fraXMsize")->title(), QStringLiteral("中目盛= 6"));
    QCOMPARE(window.State().Settings.XMediumEvery, std::int16_t(6));
    f.Find<QScrollBar>("scrYLsize")->setValue(3);
    QCOMPARE(f.Find<QGroupBox>("fraYLsize")->title(), QStringLiteral("大目盛= 3"));

    // Showing the defaults again, as "新規作成" (new) does, brings back the set-up captions.
    CurvaneState& state = window.State();
    ResetGraphSettings(state.Settings, state.Graph, state.Sheet);
    window.findChild<AxisPanel*>()->ShowRecord();
    QCOMPARE(f.Find<QGroupBox>("fraXMsize")->title(), QStringLiteral("中目盛間隔= 5"));
    QCOMPARE(f.Find<QScrollBar>("scrXMsize")->value(), 5);
    QCOMPARE(f.Find<QGroupBox>("fraYLsize")->title(), QStringLiteral("大目盛間隔= 2"));
}

void MainWindowTest::valueBoxesReadTheirLeadingNumber() {
    Fixture f;
    frmCurvane& window = f.Open();
    auto* box = f.Find<QLineEdit>("txtXSvalue");
    box->clear();
    QTest::keyClicks(box, QStringLiteral("2.5abc"));
    QCOMPARE(window.State().Graph.XSmallValue, 2.5);
    box->setText(QStringLiteral("abc"));
    QCOMPARE(window.State().Graph.XSmallValue, 0.0);
    f.Find<QLineEdit>("txtYObias")->setText(QStringLiteral("-7e1"));
    QCOMPARE(window.State().Graph.YOriginValue, -70.0);
    QVERIFY(window.State().Ymoji.At(1).Text() == QStringLiteral("-70"));
}

void MainWindowTest::choosingAUnitForgetsCurvesWithoutRedrawing() {
    Fixture f;
    frmCurvane& window = f.Open();
    CurvaneState& state = window.State();
    MarkAllDrawn(state);
    state.Sheet.Line(0, 10, 300, 10, Rgb(1, 2, 3)); // something only a redraw would remove
    const QImage before = f.Picture();
    auto* units = f.Find<QComboBox>("cboXTanni");
    QCOMPARE(units->count(), 4);
    QCOMPARE(units->itemText(0), QStringLiteral("単位 1"));
    QCOMPARE(units->itemText(3), QStringLiteral("π"));
    units->setCurrentIndex(1);
    emit units->activated(1);
    VerifyAllForgotten(state);
    QCOMPARE(f.Picture(), before);
    QCOMPARE(state.Graph.XUnitName, PlainUnitName); // taken over only when a curve is computed
    QCOMPARE(window.findChild<AxisPanel*>()->UnitText(Axis::X), QStringLiteral("deg"));
}

void MainWindowTest::suppressedBoxesFillWithoutRedraw() {
    Fixture f;
    frmCurvane& window = f.Open();
    CurvaneState& state = window.State();
    state.SuppressTextEvents = true;
    MarkAllDrawn(state);
    for (const char* name : {"txtXSvalue", "txtYSvalue", "txtXObias", "txtYObias"}) {
        f.Find<QLineEdit>(name)->setText(QStringLiteral("42"));
    }
    QCOMPARE(state.Graph.XSmallValue, 1.0);
    QCOMPARE(state.Graph.YOriginValue, 0.0);
    QVERIFY(state.Slots[0].Drawn);
}

void MainWindowTest::clickingTheAxisFrameShowsTheOther() {
    Fixture f;
    f.Open();
    auto* x = f.Find<QGroupBox>("fraXSetScale");
    auto* y = f.Find<QGroupBox>("fraYSetScale");
    auto* xSwitch = f.Find<QToolButton>("optAxisX");
    auto* ySwitch = f.Find<QToolButton>("optAxisY");
    QCOMPARE(xSwitch->text() + ySwitch->text(), QStringLiteral("X軸Y軸"));
    QVERIFY(x->isVisible());
    QVERIFY(!y->isVisible());
    QVERIFY(xSwitch->isChecked() && !ySwitch->isChecked());
    QTest::mouseClick(x, Qt::LeftButton, {}, QPoint(3, x->height() - 3));
    QVERIFY(!x->isVisible());
    QVERIFY(y->isVisible());
    QVERIFY(!xSwitch->isChecked() && ySwitch->isChecked()); // the switch follows the frame
    QTest::mouseClick(y, Qt::LeftButton, {}, QPoint(3, y->height() - 3));
    QVERIFY(x->isVisible());
    // A click inside one of the inner frames is that frame's own.
    auto* inner = f.Find<QGroupBox>("fraXMsize");
    QTest::mouseClick(inner, Qt::LeftButton, {}, QPoint(2, 4));
    QVERIFY(x->isVisible());
    for (int i = 0; i < 2; ++i) { // the switch shows the axis named, a second press keeps it
        QTest::mouseClick(ySwitch, Qt::LeftButton);
        QVERIFY(!x->isVisible() && y->isVisible() && ySwitch->isChecked());
    }
}

void MainWindowTest::spacingBeyondTheBarRangeKeepsItsValue() {
    Fixture f;
    frmCurvane& window = f.Open();
    CurvaneState& state = window.State();
    state.Settings.XSmallSpacing = 130; // zooming in can get here
    window.findChild<AxisPanel*>()->ShowRecord();
    QCOMPARE(state.Settings.XSmallSpacing, std::int16_t(130));
    QCOMPARE(f.Find<QScrollBar>("scrXSsize")->value(), 130);
    QCOMPARE(f.Find<QGroupBox>("fraXSsize")->title(), QStringLiteral("小目盛= 34.4mm"));
}

// A preset shows in the panel, whose texts the next computation takes.
void MainWindowTest::aPresetFromTheMenuIsShownInThePanel() {
    Fixture f;
    frmCurvane& window = f.Open();
    f.Find<QAction>("mnuScaleTrigonometric")->trigger();
    QCOMPARE(f.Find<QScrollBar>("scrXSsize")->value(), 12);
    QTest::keyClicks(f.Find<QLineEdit>("txtF1"), QStringLiteral("sin(x)"));
    QTest::mouseClick(f.Find<QPushButton>("cmdF1draw"), Qt::LeftButton);
    QVERIFY(window.State().Graph.XUnitName == PiUnitName &&
            window.State().Graph.YSmallValue == 0.1);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

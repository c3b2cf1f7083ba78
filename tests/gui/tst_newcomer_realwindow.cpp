// Runs in a real X server (xvfb-run): what a newcomer meets with the real pointer and keyboard.
// The focus after a size editor, Enter in a function box, Ctrl+E there, the table of values that
// follows the sheet, and a label put on a point with its dot.
#include "program/curvanestate.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/realwindow.h"
#include "ui/frmcurvane.h"
#include "ui/frmvaluetable.h"
#include "ui/sheetview.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtTest/QtTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableView>
#include <QtWidgets/QToolButton>
#include <cmath>

namespace {

using realwindow::Key;
using realwindow::MouseTo;
using realwindow::Xdo;

constexpr ColorRef Green = Rgb(0, 160, 0);

using realwindow::ClickInProcess;

void ClickOn(const QWidget* widget) {
    ClickInProcess(widget->mapToGlobal(widget->rect().center()));
}

void Type(const QString& text) {
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

template <class F>
bool WaitFor(F condition) {
    for (int i = 0; i < 50; ++i) {
        QTest::qWait(100);
        if (condition()) {
            return true;
        }
    }
    return false;
}

// Pixels of a part of the screen that pass a test.
template <class F>
int CountOnScreen(QPoint topLeft, QSize size, F matches) {
    const QImage image = QGuiApplication::primaryScreen()
                             ->grabWindow(0, topLeft.x(), topLeft.y(), size.width(), size.height())
                             .toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += matches(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return n;
}

int CountOnScreen(QPoint topLeft, QSize size, ColorRef colour) {
    return CountOnScreen(topLeft, size, [colour](QColor c) { return FromQColor(c) == colour; });
}

// The highlight of an out-of-date table's "計算" (compute), shaded as the style shades buttons.
bool Highlighted(QColor c) {
    return c.red() > 200 && c.green() > 150 && c.green() < 235 && c.blue() < 150;
}

// The main window on a store of its own, with scripted dialogs, shown and in front.
struct Window {
    QTemporaryDir dir;
    FakeDialogs* dialogs = new FakeDialogs;
    frmCurvane window{std::unique_ptr<Dialogs>(dialogs),
                      std::make_unique<QtSettingsStore>(dir.filePath(QStringLiteral("p.ini")))};

    bool Show() {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    template <class T>
    T* Find(const char* name) const {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    // The sheet's drawing area on the screen, from its top-left pixel.
    QPoint Drawing() const {
        const SheetView* sheet = window.Sheet();
        return sheet->mapToGlobal(sheet->contentsRect().topLeft());
    }
    const FunctionSlot& F1() { return SlotOf(window.State().Slots, 1); }
    // Types an expression into F1 (replacing what it held) and draws it with Enter.
    bool DrawF1(const QString& text) {
        auto* box = Find<QLineEdit>("txtF1");
        ClickOn(box);
        if (!WaitFor([&] { return box->hasFocus(); })) {
            return false;
        }
        Key(QStringLiteral("ctrl+a BackSpace"));
        Type(text);
        if (!WaitFor([&] { return box->text() == text; })) {
            return false;
        }
        Key(QStringLiteral("Return"));
        return WaitFor([&] { return F1().Drawn && F1().Button == DrawButtonState::Erase; });
    }
    frmValueTable* OpenTable() {
        Xdo({QStringLiteral("windowfocus"), QString::number(window.winId())});
        Key(QStringLiteral("alt+t v"));
        frmValueTable* table = nullptr;
        WaitFor([&] {
            table = Find<frmValueTable>("frmValueTable");
            return table != nullptr && table->isVisible() && table->Table() != nullptr;
        });
        return table;
    }
};

} // namespace

class NewcomerRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void sizeEditorsGiveTheFocusBackAndEnterDraws();
    void theTableFollowsTheSheet();
    void aPointLabelKeepsClearOfTheNumbersAndItsDotGoesWithIt();
};

void NewcomerRealWindowTest::sizeEditorsGiveTheFocusBackAndEnterDraws() {
    Window w;
    QVERIFY(w.Show());
    auto* f1 = w.Find<QLineEdit>("txtF1");
    auto* button = w.Find<QPushButton>("cmdF1draw");
    auto* perStep = w.Find<QLineEdit>("txtXSvalue");
    ClickOn(f1);
    QVERIFY(WaitFor([&] { return f1->hasFocus(); }));
    Type(QStringLiteral("x/2"));

    // The width editor, closed with OK, and the height editor, closed with Enter: the keys
    // typed next go on in F1, not into the value per small step.
    ClickOn(w.Find<QLabel>("lblGraphXW"));
    auto* width = w.Find<QLineEdit>("txtGraphXW");
    QVERIFY(WaitFor([&] { return width->isVisible() && width->hasFocus(); }));
    Type(QStringLiteral("100"));
    ClickOn(w.Find<QToolButton>("cmdGraphXWok"));
    QVERIFY(WaitFor([&] { return w.window.State().Graph.GraphWidthPx == 378.0f; }));
    QVERIFY(WaitFor([&] { return QApplication::focusWidget() == f1; }));
    ClickOn(w.Find<QLabel>("lblGraphYH"));
    auto* height = w.Find<QLineEdit>("txtGraphYH");
    QVERIFY(WaitFor([&] { return height->hasFocus(); }));
    Type(QStringLiteral("60"));
    Key(QStringLiteral("Return"));
    QVERIFY(WaitFor([&] { return w.window.State().Graph.GraphHeightPx == 227.0f; }));
    Type(QStringLiteral("+1"));
    QVERIFY(WaitFor([&] { return f1->text() == QStringLiteral("x/2+1"); }));
    QCOMPARE(perStep->text(), QStringLiteral("1"));
    QCOMPARE(w.window.State().Graph.XSmallValue, 1.0);

    // Enter presses "描画" (draw); on "消去" (erase) it does nothing; on "更新" (update) it
    // presses that.
    Key(QStringLiteral("Return"));
    QVERIFY(WaitFor([&] { return button->text() == QStringLiteral("消去"); }));
    QVERIFY(w.F1().Drawn);
    Key(QStringLiteral("Return"));
    QTest::qWait(400);
    QCOMPARE(button->text(), QStringLiteral("消去"));
    QVERIFY(!w.F1().Hidden);
    QCOMPARE(w.F1().SampleCount, 1);
    w.dialogs->colors.push_back(Green);
    ClickOn(w.Find<QWidget>("lblF1color"));
    QVERIFY(WaitFor([&] { return button->text() == QStringLiteral("更新"); }));
    ClickOn(f1);
    Key(QStringLiteral("Return"));
    QVERIFY(WaitFor([&] { return button->text() == QStringLiteral("消去"); }));
    QVERIFY(WaitFor([&] { return CountOnScreen(w.Drawing(), QSize(378, 227), Green) > 300; }));

    // Ctrl+E in the box is the export, not the end of the line.
    QAction* exportAction = w.window.findChild<QAction*>(QStringLiteral("mnuExport"));
    exportAction->disconnect(); // the export dialog is no part of this
    QSignalSpy exported(exportAction, &QAction::triggered);
    Key(QStringLiteral("Home ctrl+e"));
    QVERIFY(WaitFor([&] { return exported.count() == 1; }));
    QCOMPARE(f1->cursorPosition(), 0);
    QCOMPARE(f1->text(), QStringLiteral("x/2+1"));
}

void NewcomerRealWindowTest::theTableFollowsTheSheet() {
    Window w;
    QVERIFY(w.Show());
    QVERIFY(w.DrawF1(QStringLiteral("x/2")));
    frmValueTable* table = w.OpenTable();
    QVERIFY(table != nullptr);
    auto* from = table->findChild<QLineEdit*>(QStringLiteral("txtTableFrom"));
    auto* compute = table->findChild<QPushButton*>(QStringLiteral("cmdTableCompute"));
    QCOMPARE(from->text(), QStringLiteral("-41"));
    QCOMPARE(table->Table()->Rows(), 83);

    // A scale change in the main window: the range follows the sheet, the table is new.
    realwindow::FocusWindow(QString::number(w.window.winId()),
                            w.window.mapToGlobal(QPoint(10, 10)));
    auto* perStep = w.Find<QLineEdit>("txtXSvalue");
    ClickOn(perStep);
    Key(QStringLiteral("ctrl+a"));
    Type(QStringLiteral("0.5"));
    QVERIFY(WaitFor([&] { return from->text() == QStringLiteral("-20.5"); }));
    QCOMPARE(table->Table()->X(0), -20.5);
    QVERIFY(!table->IsStale());

    // A range typed into the table stays; a large one is marked out of date when the functions
    // change, with "計算" (compute) highlighted, until it is computed again.
    realwindow::FocusWindow(QString::number(table->winId()), table->mapToGlobal(QPoint(10, 10)));
    for (const auto& [name, text] :
         {std::pair{"txtTableFrom", "0"}, std::pair{"txtTableTo", "20000"},
          std::pair{"txtTableStep", "1"}}) {
        auto* box = table->findChild<QLineEdit*>(QString::fromLatin1(name));
        ClickOn(box);
        Key(QStringLiteral("ctrl+a"));
        Type(QString::fromLatin1(text));
    }
    Key(QStringLiteral("Return"));
    QVERIFY(WaitFor([&] { return table->Table()->Rows() == 20001; }));
    QVERIFY(w.DrawF1(QStringLiteral("x/4")));
    QVERIFY(WaitFor([&] { return table->IsStale(); }));
    QCOMPARE(table->Table()->Rows(), 20001);
    QCOMPARE(from->text(), QStringLiteral("0"));
    table->raise();
    const QPoint at = compute->mapToGlobal(QPoint(0, 0));
    QVERIFY(WaitFor([&] { return CountOnScreen(at, compute->size(), Highlighted) > 50; }));
    ClickOn(compute);
    QVERIFY(WaitFor([&] { return !table->IsStale(); }));
    QCOMPARE(table->Table()->Value(8, 0).value_or(0), 2.0);
    QVERIFY(WaitFor([&] { return CountOnScreen(at, compute->size(), Highlighted) == 0; }));

    // 新規作成 (Ctrl+N) empties it, points included.
    realwindow::FocusWindow(QString::number(w.window.winId()),
                            w.window.mapToGlobal(QPoint(10, 10)));
    Key(QStringLiteral("ctrl+n"));
    QVERIFY(WaitFor([&] { return table->Table() == nullptr; }));
    QVERIFY(table->Features().empty());
    QCOMPARE(table->findChild<QTableView*>(QStringLiteral("grdValues"))->model()->rowCount(), 0);
    QCOMPARE(from->text(), QStringLiteral("-41"));
}

// sin(x) is 0 at -π, 12.57 pixels left of the origin: a label just above and right of it would
// cover the y axis's "0". The label takes the next corner, and keeps a dot on the point that
// goes where the label goes.
void NewcomerRealWindowTest::aPointLabelKeepsClearOfTheNumbersAndItsDotGoesWithIt() {
    Window w;
    QVERIFY(w.Show());
    w.dialogs->colors.push_back(Green);
    ClickOn(w.Find<QWidget>("lblF1color"));
    QVERIFY(w.DrawF1(QStringLiteral("sin(x)")));
    frmValueTable* table = w.OpenTable();
    QVERIFY(table != nullptr);
    auto* pages = table->findChild<QTabWidget*>(QStringLiteral("tabValueTable"));
    ClickInProcess(pages->tabBar()->mapToGlobal(pages->tabBar()->tabRect(1).center()));
    QVERIFY(WaitFor([&] { return pages->currentIndex() == 1; }));
    auto* points = table->findChild<QTableView*>(QStringLiteral("grdFeatures"));
    QVERIFY(realwindow::ClickRowWhere(points, 2, QStringLiteral("-3.14159265359")));
    auto* add = table->findChild<QPushButton*>(QStringLiteral("cmdAddLabel"));
    QVERIFY(WaitFor([&] { return add->isEnabled(); }));
    ClickOn(add);
    CurvaneState& state = w.window.State();
    QVERIFY(WaitFor([&] { return state.AddMoji.UpperBound() == 1; }));
    const TextLabel& label = state.AddMoji.At(1);
    QCOMPARE(label.Text(), QStringLiteral("(-3.1416, 0)"));
    const QRectF placed(label.left, label.top, label.Width(), label.Height());
    for (const LabelFamily* ticks : {&state.Xmoji, &state.Ymoji}) {
        ticks->ForEachVisible([&](int, const TextLabel& tick) {
            QVERIFY(!placed.intersects(QRectF(tick.left, tick.top, tick.Width(), tick.Height())));
        });
    }
    QCOMPARE(label.left + label.Width(), 165.5 - 4 * M_PI - 3); // above left

    // With the curve erased, the dot alone on the point: 21 green pixels around (152, 126).
    table->lower();
    Xdo({QStringLiteral("windowfocus"), QString::number(w.window.winId())});
    ClickOn(w.Find<QPushButton>("cmdF1draw"));
    QVERIFY(WaitFor([&] { return w.F1().Hidden; }));
    const auto dotAt = [&](QPointF point) {
        const QPoint pixel(static_cast<int>(std::floor(point.x())),
                           static_cast<int>(std::floor(point.y())));
        return CountOnScreen(w.Drawing() + pixel - QPoint(3, 3), QSize(7, 7), Green);
    };
    const QPointF point(165.5 - 4 * M_PI, 126.5);
    QVERIFY(WaitFor([&] { return dotAt(point) == 21; }));

    // Erased with a right click on the label, back with 編集 > 消去文字復活.
    const QPoint onLabel = w.Drawing() + placed.center().toPoint();
    ClickInProcess(onLabel, 3);
    QVERIFY(WaitFor([&] { return !label.visible && dotAt(point) == 0; }));
    Key(QStringLiteral("alt+e s"));
    QVERIFY(WaitFor([&] { return label.visible && dotAt(point) == 21; }));

    // Dragged 60 pixels right and 40 down: the dot moves as far.
    MouseTo(onLabel);
    QTest::qWait(100);
    Xdo({QStringLiteral("mousedown"), QStringLiteral("1")});
    for (int step = 1; step <= 4; ++step) {
        MouseTo(onLabel + QPoint(15 * step, 10 * step));
        QTest::qWait(80);
    }
    Xdo({QStringLiteral("mouseup"), QStringLiteral("1")});
    QVERIFY(WaitFor([&] { return label.left > placed.left() + 50; }));
    QCOMPARE(label.MarkPoint(),
             point + QPointF(label.left - placed.left(), label.top - placed.top()));
    QVERIFY(WaitFor([&] { return dotAt(point) == 0 && dotAt(label.MarkPoint()) == 21; }));
}

QTEST_MAIN(NewcomerRealWindowTest)
#include "tst_newcomer_realwindow.moc"

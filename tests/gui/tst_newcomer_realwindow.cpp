// Runs in a real X server (xvfb-run): what a newcomer meets, with the real pointer and keys.
#include "tests/support/fakedialogs.h"
#include "tests/support/realwindow.h"
#include "ui/frmcurvane.h"
#include "ui/frmvaluetable.h"
#include "ui/sheetview.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableView>

using namespace realwindow;

namespace {

void ClickOn(const QWidget* widget, int button = 1) {
    ClickInProcess(widget->mapToGlobal(widget->rect().center()), button);
}

void Type(const QString& text) {
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

} // namespace

class NewcomerRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void newcomer();
};

void NewcomerRealWindowTest::newcomer() {
    QTemporaryDir dir;
    auto* dialogs = new FakeDialogs;
    frmCurvane w(std::unique_ptr<Dialogs>(dialogs),
                 std::make_unique<QtSettingsStore>(dir.filePath(QStringLiteral("p.ini"))));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const auto find = [&](const char* name) {
        return w.findChild<QWidget*>(QString::fromLatin1(name));
    };
    auto* f1 = static_cast<QLineEdit*>(find("txtF1"));
    auto* button = static_cast<QPushButton*>(find("cmdF1draw"));
    const FunctionSlot& slot = SlotOf(w.State().Slots, 1);
    dialogs->colors.push_back(Rgb(0, 160, 0));
    ClickOn(find("lblF1color")); // a green curve
    ClickOn(f1);
    Type(QStringLiteral("sin(x)"));

    // After OK in a size editor the keys go on in F1, not into the value per small step.
    ClickOn(find("lblGraphXW"));
    QVERIFY(WaitFor([&] { return find("txtGraphXW")->hasFocus(); }));
    Type(QStringLiteral("100"));
    ClickOn(find("cmdGraphXWok"));
    QVERIFY(WaitFor([&] { return w.State().Graph.GraphWidthPx == 378.0f; })); // 100 mm
    QVERIFY(WaitFor([&] { return QApplication::focusWidget() == f1; }));
    Type(QStringLiteral("*1"));
    QVERIFY(WaitFor([&] { return f1->text() == QStringLiteral("sin(x)*1"); }));
    QCOMPARE(static_cast<QLineEdit*>(find("txtXSvalue"))->text(), QStringLiteral("1"));

    // Enter presses 描画 and 更新, and leaves 消去 alone; Ctrl+E there is the export.
    Key(QStringLiteral("Return"));
    QVERIFY(WaitFor([&] { return button->text() == QStringLiteral("消去"); }));
    Key(QStringLiteral("Return"));
    QTest::qWait(400);
    QVERIFY(button->text() == QStringLiteral("消去") && !slot.Hidden);
    dialogs->colors.push_back(Rgb(0, 160, 0));
    ClickOn(find("lblF1color"));
    QVERIFY(WaitFor([&] { return button->text() == QStringLiteral("更新"); }));
    Key(QStringLiteral("Return"));
    QVERIFY(WaitFor([&] { return button->text() == QStringLiteral("消去"); }));
    QAction* exportAction = w.findChild<QAction*>(QStringLiteral("mnuExport"));
    exportAction->disconnect(); // the export dialog is no part of this
    QSignalSpy exported(exportAction, &QAction::triggered);
    Key(QStringLiteral("Home ctrl+e"));
    QVERIFY(WaitFor([&] { return exported.count() == 1; }));
    QCOMPARE(f1->cursorPosition(), 0);

    // sin(x) is 0 at -π, left of the y axis's "0": the label takes another corner than the
    // first, and its green dot on the point stays when the curve goes, and goes with the label.
    Key(QStringLiteral("alt+t v"));
    frmValueTable* table = nullptr;
    QVERIFY(WaitFor([&] {
        table = w.findChild<frmValueTable*>();
        return table != nullptr && table->Table() != nullptr && table->isVisible();
    }));
    table->findChild<QTabWidget*>()->setCurrentIndex(1);
    QVERIFY(ClickRowWhere(table->findChild<QTableView*>(QStringLiteral("grdFeatures")), 2,
                          QStringLiteral("-3.14159265359")));
    ClickOn(table->findChild<QWidget*>(QStringLiteral("cmdAddLabel")));
    QVERIFY(WaitFor([&] { return w.State().AddMoji.UpperBound() == 1; }));
    const TextLabel& label = w.State().AddMoji.At(1);
    const QRectF placed(label.left, label.top, label.Width(), label.Height());
    w.State().Ymoji.ForEachVisible([&](int, const TextLabel& tick) {
        QVERIFY(!placed.intersects(QRectF(tick.left, tick.top, tick.Width(), tick.Height())));
    });
    ClickOn(button); // the curve erased
    const QPoint drawing = w.Sheet()->mapToGlobal(w.Sheet()->contentsRect().topLeft());
    const QRect dot(drawing + label.MarkPoint().toPoint() - QPoint(3, 3), QSize(7, 7));
    QCOMPARE(label.MarkPoint(), QPointF(165.5 - 4 * M_PI, 126.5));
    const auto green = [&] { return CountInRect(Screen(), dot, qRgb(0, 160, 0)); };
    QVERIFY(WaitFor([&] { return slot.Hidden && green() == 21; }));
    ClickInProcess(drawing + placed.center().toPoint(), 3);
    QVERIFY(WaitFor([&] { return green() == 0; }));
    Key(QStringLiteral("alt+e s")); // 消去文字復活
    QVERIFY(WaitFor([&] { return green() == 21; }));

    // The table follows a change of the scale, and is marked out of date with "計算"
    // highlighted when large; 新規作成 empties it.
    ClickOn(find("txtXSvalue"));
    Key(QStringLiteral("ctrl+a"));
    Type(QStringLiteral("0.5"));
    auto* from = table->findChild<QLineEdit*>(QStringLiteral("txtTableFrom"));
    QVERIFY(WaitFor([&] { return from->text() == QStringLiteral("-20.5"); }));
    QCOMPARE(table->Table()->X(0), -20.5);
    FocusWindow(QString::number(table->winId()), table->mapToGlobal(QPoint(5, 5)));
    ClickOn(table->findChild<QWidget*>(QStringLiteral("txtTableTo")));
    Key(QStringLiteral("ctrl+a"));
    Type(QStringLiteral("20000"));
    Key(QStringLiteral("Return"));
    QVERIFY(WaitFor([&] { return table->Table()->Rows() > 20000; }));
    FocusWindow(QString::number(w.winId()), f1->mapToGlobal(QPoint(5, 5)));
    ClickOn(f1);
    Type(QStringLiteral("+1"));
    QVERIFY(WaitFor([&] { return table->IsStale(); }));
    QVERIFY(table->findChild<QPushButton*>(QStringLiteral("cmdTableCompute"))->font().bold());
    dialogs->answers = {1}; // "変更を保存しますか？": 保存しない (don't save)
    Key(QStringLiteral("ctrl+n"));
    QVERIFY(WaitFor([&] { return table->Table() == nullptr && table->Features().empty(); }));
    QCOMPARE(from->text(), QStringLiteral("-47")); // the new origin in the middle of 378 pixels
}

QTEST_MAIN(NewcomerRealWindowTest)
#include "tst_newcomer_realwindow.moc"

#include "program/functionpanel.h"
#include "program/tablecommands.h"
#include "tests/ui/windowfixture.h"
#include "ui/axispanel.h"
#include "ui/frmvaluetable.h"
#include "ui/readoutview.h"
#include "ui/sheetview.h"

#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtGui/QClipboard>
#include <QtTest/QtTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableView>

namespace {

struct Fixture : WindowFixture {
    void Draw(int slot, const char* expression) {
        SlotOf(State().Slots, slot).RowShown = true;
        ExpressionChanged(State(), slot, QString::fromUtf8(expression));
        DrawButtonClicked(State(), State().scriptEvalFn, slot);
    }
    // The mouse moves to a point of the sheet's drawing, as the window system reports it.
    void MoveOverSheet(QPointF at) {
        SheetView* sheet = window->Sheet();
        const QPointF local = at + sheet->contentsRect().topLeft();
        QMouseEvent move(QEvent::MouseMove, local, sheet->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(sheet, &move);
    }
    void LeaveSheet() {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window->Sheet(), &leave);
    }
    const ReadoutView* Readout() const {
        return window->findChild<ReadoutView*>(QStringLiteral("lblReadout"));
    }
    // ﾂｰﾙ > 数値表 from the menu bar.
    frmValueTable* OpenTable() {
        auto* action = window->findChild<QAction*>(QStringLiteral("mnuValueTable"));
        if (action == nullptr) {
            return nullptr;
        }
        action->trigger();
        return window->findChild<frmValueTable*>(QStringLiteral("frmValueTable"));
    }
    template <class T>
    static T* In(QWidget* parent, const char* name) {
        return parent->findChild<T*>(QString::fromLatin1(name));
    }
    void Range(frmValueTable* table, const char* from, const char* to, const char* step) {
        In<QLineEdit>(table, "txtTableFrom")->setText(QString::fromLatin1(from));
        In<QLineEdit>(table, "txtTableTo")->setText(QString::fromLatin1(to));
        In<QLineEdit>(table, "txtTableStep")->setText(QString::fromLatin1(step));
        auto* compute = In<QPushButton>(table, "cmdTableCompute");
        QTest::mouseClick(compute, Qt::LeftButton);
        // The computation runs on a worker; the button comes back when it has ended.
        QTRY_VERIFY_WITH_TIMEOUT(compute->isEnabled(), 30000);
    }
};

} // namespace

class ValueTableGuiTest : public QObject {
    Q_OBJECT
private slots:
    void readoutFollowsTheMouseOverTheSheet();
    void readoutLeavesTheDesignedLayoutAlone();
    void tableOpensFromTheMenuWithTheSheetsRange();
    void cellsWithoutValueTellWhy();
    void refusedRangesChangeNothing_data();
    void refusedRangesChangeNothing();
    void copyAndSave();
    void aHundredThousandRows();
    void closingStopsAComputation();
    void pointsBecomeLabels();
};

void ValueTableGuiTest::readoutFollowsTheMouseOverTheSheet() {
    Fixture f;
    const ReadoutView* readout = f.Readout();
    QVERIFY(readout != nullptr);
    QVERIFY(!readout->isVisible());
    f.Draw(1, "sin(x)");
    // The designed sheet: origin at 165.5, 4 pixels per unit; column 169 is x = 0.875.
    f.MoveOverSheet(QPointF(169.4, 122.7));
    QVERIFY(readout->isVisible());
    QCOMPARE(readout->PlainText(),
             QStringLiteral("x = 0.875\ny = 1.125\nF1 = 0.767543502236027")); // sin(0.875)
    // A curve drawn while the mouse rests shows at once.
    f.Draw(2, "x*2");
    f.window->RunCommand(Command::FileNew);            // a redraw of the window's state
    QCOMPARE(readout->Lines().size(), std::size_t(2)); // New forgot the curves
    f.Draw(2, "x*2");
    f.MoveOverSheet(QPointF(173, 0));
    QCOMPARE(readout->PlainText(), QStringLiteral("x = 1.875\ny = 31.625\nF2 = 3.75"));
    f.LeaveSheet();
    QVERIFY(!readout->isVisible());
}

void ValueTableGuiTest::readoutLeavesTheDesignedLayoutAlone() {
    Fixture f;
    QWidget* client = f.window->Sheet()->parentWidget();
    QList<QWidget*> controls;
    for (const char* panel : {"picGraphSet", "picFNSet"}) {
        auto* p = f.Find<QWidget>(panel);
        controls << p->findChildren<QWidget*>();
    }
    QList<QRect> before;
    for (QWidget* w : controls) {
        before << w->geometry();
    }
    const QRect sheet = f.window->Sheet()->geometry();
    const auto inClient = [&](const QWidget* w) {
        return QRect(w->mapTo(client, QPoint(0, 0)), w->size());
    };
    const auto coversNoControl = [&](const QRect& readout) {
        for (QWidget* w : controls) {
            if (w->isVisible() && inClient(w).intersects(readout)) {
                return false;
            }
        }
        return true;
    };
    f.Draw(1, "x");
    f.Draw(2, "x*2");
    f.Draw(3, "-x");

    // The designed window leaves too little room under the axis frames for five lines: the
    // readout goes over the sheet, in the corner away from the mouse, and moves when the mouse
    // crosses to the other side, left to right and top to bottom.
    struct Case {
        QPointF mouse;
        bool right;
        bool bottom;
    };
    for (const Case& c : {Case{{10, 12}, true, true}, Case{{300, 240}, false, false},
                          Case{{300, 12}, false, true}, Case{{15, 230}, true, false}}) {
        f.MoveOverSheet(c.mouse);
        QVERIFY(f.Readout()->isVisible());
        const QRect readout = f.Readout()->geometry();
        const QPoint mouse = f.window->Sheet()->mapTo(client, c.mouse.toPoint());
        QVERIFY(!readout.contains(mouse));
        QVERIFY(sheet.contains(readout));
        QVERIFY(coversNoControl(readout));
        QCOMPARE(readout.center().x() > sheet.center().x(), c.right);
        QCOMPARE(readout.center().y() > sheet.center().y(), c.bottom);
    }
    for (int i = 0; i < controls.size(); ++i) {
        QCOMPARE(controls[i]->geometry(), before[i]);
    }
    QCOMPARE(f.window->Sheet()->geometry(), sheet);

    // A taller window has room under the frames: the readout goes there, within the panel.
    f.window->resize(f.window->width(), f.window->height() + 200);
    QCoreApplication::processEvents();
    f.MoveOverSheet(QPointF(10, 12));
    const QRect readout = f.Readout()->geometry();
    const auto* panel = f.Find<QWidget>("picGraphSet");
    const QRect frame = inClient(f.Find<QWidget>("fraXSetScale"));
    QVERIFY2(readout.top() > frame.bottom(),
             qPrintable(QStringLiteral("readout %1..%2, frame ends at %3")
                            .arg(readout.top())
                            .arg(readout.bottom())
                            .arg(frame.bottom())));
    QVERIFY(inClient(panel).contains(readout));
    QVERIFY(coversNoControl(readout));
    f.LeaveSheet();
    QVERIFY(!f.Readout()->isVisible());
}

void ValueTableGuiTest::tableOpensFromTheMenuWithTheSheetsRange() {
    Fixture f;
    f.Draw(1, "sin(x)*20");
    f.Draw(3, "x/2");
    frmValueTable* table = f.OpenTable();
    QVERIFY(table != nullptr);
    QVERIFY(table->isVisible());
    QVERIFY(!table->isModal());
    QCOMPARE(Fixture::In<QLineEdit>(table, "txtTableFrom")->text(), QStringLiteral("-41"));
    QCOMPARE(Fixture::In<QLineEdit>(table, "txtTableTo")->text(), QStringLiteral("41"));
    QCOMPARE(Fixture::In<QLineEdit>(table, "txtTableStep")->text(), QStringLiteral("1"));
    auto* view = Fixture::In<QTableView>(table, "grdValues");
    QAbstractItemModel* model = view->model();
    QCOMPARE(model->rowCount(), 83);
    QCOMPARE(model->columnCount(), 3);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("F1(x)=sin(x)*20"));
    QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("F3(x)=x/2"));
    QCOMPARE(model->index(42, 0).data().toString(), QStringLiteral("1"));
    QCOMPARE(model->index(42, 1).data().toString(), QStringLiteral("16.8294196961579"));
    QCOMPARE(model->index(42, 2).data().toString(), QStringLiteral("0.5"));
    QVERIFY(
        Fixture::In<QLabel>(table, "lblTableStatus")->text().startsWith(QStringLiteral("83 行")));
    // The main window stays usable beside it.
    f.Draw(2, "1");
    QCOMPARE(model->columnCount(), 3);
    // Opened again from the menu, it takes the sheet as it is now.
    f.State().Graph.XSmallValue = 0.5;
    QCOMPARE(f.OpenTable(), table);
    QCOMPARE(Fixture::In<QLineEdit>(table, "txtTableTo")->text(), QStringLiteral("20.5"));
    QCOMPARE(model->columnCount(), 4);
}

void ValueTableGuiTest::cellsWithoutValueTellWhy() {
    Fixture f;
    f.Draw(1, "1/x");
    f.Draw(2, "sqr(x)");
    frmValueTable* table = f.OpenTable();
    f.Range(table, "-1", "1", "1");
    QAbstractItemModel* model = Fixture::In<QTableView>(table, "grdValues")->model();
    QCOMPARE(model->index(1, 1).data().toString(), QString());
    QCOMPARE(model->index(1, 1).data(Qt::ToolTipRole).toString(),
             QStringLiteral("値なし: 0 で除算しました"));
    QCOMPARE(model->index(0, 2).data(Qt::ToolTipRole).toString(),
             QStringLiteral("値なし: 関数の引数が不正です"));
    QVERIFY(model->index(2, 1).data(Qt::ToolTipRole).isNull());
}

void ValueTableGuiTest::refusedRangesChangeNothing_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("message");
    QTest::newRow("step 0") << "0"
                            << "1"
                            << "0"
                            << "刻みに 0 は使えません。";
    QTest::newRow("wrong sign") << "1"
                                << "0"
                                << "0.5"
                                << "刻みの符号が範囲の向きと合っていません。終了が開始より大きいと"
                                   "きは正、小さいときは負の刻みにしてください。";
    QTest::newRow("too many rows") << "0"
                                   << "1e7"
                                   << "1"
                                   << "行数が多すぎます（最大 1000000 行）。範囲を狭めるか、刻み"
                                      "を大きくしてください。";
    QTest::newRow("not a number") << "zero"
                                  << "1"
                                  << "1"
                                  << "開始・終了・刻みには数値を入れてください。";
}

void ValueTableGuiTest::refusedRangesChangeNothing() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, step);
    QFETCH(QString, message);
    Fixture f;
    f.Draw(1, "x");
    frmValueTable* table = f.OpenTable();
    const ValueTable* before = table->Table();
    f.Range(table, from.toLatin1().constData(), to.toLatin1().constData(),
            step.toLatin1().constData());
    QCOMPARE(f.dialogs->Messages(), QStringList{message});
    QCOMPARE(f.dialogs->asked.last().title, QStringLiteral("数値表"));
    QCOMPARE(table->Table(), before);
    QCOMPARE(Fixture::In<QTableView>(table, "grdValues")->model()->rowCount(), 83);
}

void ValueTableGuiTest::copyAndSave() {
    Fixture f;
    f.Draw(1, "x*x");
    frmValueTable* table = f.OpenTable();
    f.Range(table, "-1", "1", "0.5");
    QTest::mouseClick(Fixture::In<QPushButton>(table, "cmdTableCopy"), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("x\tF1(x)=x*x\n-1\t1\n-0.5\t0.25\n0\t0\n0.5\t0.25\n1\t1\n"));
    f.dialogs->paths.push_back(f.dir.filePath(QStringLiteral("squares.csv")));
    QTest::mouseClick(Fixture::In<QPushButton>(table, "cmdTableSave"), Qt::LeftButton);
    QFile file(f.dir.filePath(QStringLiteral("squares.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBFx,F1(x)=x*x\r\n-1,1\r\n-0.5,0.25\r\n0,0\r\n"
                                        "0.5,0.25\r\n1,1\r\n"));
    QCOMPARE(f.dialogs->asked.last().text, SaveTableFilter());
    QVERIFY(Fixture::In<QLabel>(table, "lblTableStatus")->text().contains(QStringLiteral("保存")));
}

void ValueTableGuiTest::aHundredThousandRows() {
    Fixture f;
    f.Draw(1, "sin(x)");
    f.Draw(2, "x^2/3");
    frmValueTable* table = f.OpenTable();
    f.Range(table, "0.001", "100", "0.001");
    QAbstractItemModel* model = Fixture::In<QTableView>(table, "grdValues")->model();
    QCOMPARE(model->rowCount(), 100000);
    QCOMPARE(model->index(99999, 0).data().toString(), QStringLiteral("100"));
    QCOMPARE(model->index(1999, 0).data().toString(), QStringLiteral("2"));
    QCOMPARE(model->index(1999, 1).data().toString(), QStringLiteral("0.909297426825682"));
    // The rows are asked for as they come into sight; nothing holds an item per cell.
    auto* view = Fixture::In<QTableView>(table, "grdValues");
    view->scrollToBottom();
    QCOMPARE(view->rowAt(view->viewport()->height() - 1) > 99000, true);
}

void ValueTableGuiTest::closingStopsAComputation() {
    Fixture f;
    f.Draw(1, "sin(x)*cos(x)^2");
    f.Draw(2, "exp(-x^2)*atn(x)");
    frmValueTable* table = f.OpenTable();
    const ValueTable* before = table->Table();
    // The window answers while it computes: a close meanwhile stops it.
    QTimer::singleShot(0, table, &QWidget::close);
    f.Range(table, "0", "999999", "1");
    QCOMPARE(table->Table(), before);
    QCOMPARE(Fixture::In<QTableView>(table, "grdValues")->model()->rowCount(), 83);
    QCOMPARE(Fixture::In<QLabel>(table, "lblTableStatus")->text(),
             QStringLiteral("計算を中止しました。表は前のままです。"));
    // The next computation runs to its end.
    f.Range(table, "0", "9", "1");
    QCOMPARE(Fixture::In<QTableView>(table, "grdValues")->model()->rowCount(), 10);
}

void ValueTableGuiTest::pointsBecomeLabels() {
    Fixture f;
    f.Draw(1, "sin(x)*20");
    frmValueTable* table = f.OpenTable();
    f.Range(table, "-1", "3.5", "0.25");
    auto* pages = Fixture::In<QTabWidget>(table, "tabValueTable");
    QCOMPARE(pages->tabText(0), QStringLiteral("数値表"));
    QCOMPARE(pages->tabText(1), QStringLiteral("特徴点"));
    pages->setCurrentIndex(1);
    auto* points = Fixture::In<QTableView>(table, "grdFeatures");
    QAbstractItemModel* model = points->model();
    // sin(x)*20 on [-1, 3.5]: 0, its maximum at π/2 and π.
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("極大"));
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("F1"));
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("1.57079632679"));
    QCOMPARE(model->index(1, 3).data().toString(), QStringLiteral("20"));
    auto* add = Fixture::In<QPushButton>(table, "cmdAddLabel");
    QVERIFY(!add->isEnabled()); // nothing chosen yet
    points->selectRow(1);
    QVERIFY(add->isEnabled());
    const int before = f.State().AddMoji.UpperBound();
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(f.State().AddMoji.UpperBound(), before + 1);
    const TextLabel& label = f.State().AddMoji.At(before + 1);
    QCOMPARE(label.Text(), QStringLiteral("(1.5708, 20)"));
    QVERIFY(label.visible);
    // Just above and right of the point (171.78, 46.5) on the designed sheet.
    QVERIFY(std::fabs(label.left - (165.5 + 4 * 1.57079632679 + 3)) < 1e-6);
    QCOMPARE(label.top + label.Height(), 45.5);
    QVERIFY(f.dialogs->Messages().isEmpty());

    // A point the sheet no longer shows is refused with a message.
    f.State().Graph.XOriginValue = 100;
    points->selectRow(2);
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(f.dialogs->Messages(), QStringList{FeatureOffSheetText()});
    QCOMPARE(f.State().AddMoji.UpperBound(), before + 1);
}

QTEST_MAIN(ValueTableGuiTest)
#include "tst_valuetable_gui.moc"

// Runs in a real X server (xvfb-run): the readout, the table of values and its points, driven by
// the real pointer and keyboard through xdotool.
#include "program/curvanestate.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/realwindow.h"
#include "ui/frmcurvane.h"
#include "ui/frmvaluetable.h"
#include "ui/readoutview.h"
#include "ui/sheetview.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtTest/QtTest>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableView>
#include <cmath>

namespace {

using realwindow::MouseTo;
using realwindow::Xdo;

const auto ClickAt = [](QPoint at) { realwindow::ClickInProcess(at); };

using realwindow::WaitFor;

int DarkPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
        }
    }
    return n;
}

QImage ScreenAround(const QWidget* widget, const QRect& local) {
    const QPoint at = widget->mapToGlobal(local.topLeft());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), local.width(), local.height())
        .toImage();
}

} // namespace

class ValuesRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void readoutTableAndLabelWithTheRealPointer();
};

void ValuesRealWindowTest::readoutTableAndLabelWithTheRealPointer() {
    QTemporaryDir dir;
    frmCurvane window(std::make_unique<FakeDialogs>(),
                      std::make_unique<QtSettingsStore>(dir.filePath(QStringLiteral("p.ini"))));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SheetView* sheet = window.Sheet();
    const QPoint drawing = sheet->mapToGlobal(sheet->contentsRect().topLeft());
    // A place on the window off the sheet: the function panel's lower right corner.
    auto* functions = window.findChild<QWidget*>(QStringLiteral("picFNSet"));
    const QPoint offSheet = functions->mapToGlobal(functions->rect().bottomRight() - QPoint(4, 4));

    // A person types sin(x)*20 into F1 and presses "描画" (draw).
    realwindow::FocusWindow(QString::number(window.winId()), offSheet);
    QTest::qWait(200);
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
         QStringLiteral("sin(x)*20")});
    realwindow::Key(QStringLiteral("Tab space"));
    QVERIFY(WaitFor([&] { return SlotOf(window.State().Slots, 1).Drawn; }));

    // The pointer over column 180 of the sheet, row 100: the readout shows that column's x, the
    // row's y and sin(x)*20 there. The designed sheet has its origin at (165.5, 126.5).
    const auto* readout = window.findChild<ReadoutView*>(QStringLiteral("lblReadout"));
    QVERIFY(readout != nullptr);
    QVERIFY(!readout->isVisible());
    MouseTo(drawing + QPoint(180, 100));
    QVERIFY(WaitFor([&] { return readout->isVisible(); }));
    const double x = (180 - 165.5) / 4;
    const QString expected = QStringLiteral("x = %1\ny = %2\nF1 = %3")
                                 .arg(x)
                                 .arg((126.5 - 100) / 4)
                                 .arg(QString::number(std::sin(x) * 20, 'g', 15));
    QCOMPARE(readout->PlainText(), expected);
    QTest::qWait(200);
    QVERIFY(DarkPixels(ScreenAround(readout, readout->rect())) > 30); // it is on the screen
    // Another column, another value; off the sheet, no readout.
    MouseTo(drawing + QPoint(100, 100));
    QVERIFY(WaitFor([&] {
        return readout->PlainText().endsWith(
            QString::number(std::sin((100 - 165.5) / 4) * 20, 'g', 15));
    }));
    MouseTo(offSheet);
    QVERIFY(WaitFor([&] { return !readout->isVisible(); }));

    // ﾂｰﾙ > 数値表 by the keyboard: the window of the table opens beside the main window.
    Xdo({QStringLiteral("windowfocus"), QString::number(window.winId())});
    realwindow::Key(QStringLiteral("alt+t v"));
    frmValueTable* table = nullptr;
    QVERIFY(WaitFor([&] {
        table = window.findChild<frmValueTable*>(QStringLiteral("frmValueTable"));
        return table != nullptr && table->isVisible() && table->Table() != nullptr;
    }));
    QVERIFY(QTest::qWaitForWindowExposed(table));
    QCOMPARE(table->Table()->Rows(), 83);

    // The page "特徴点" (feature points), the maximum at π/2, "ラベルとして追加" (add as a label).
    auto* pages = table->findChild<QTabWidget*>(QStringLiteral("tabValueTable"));
    QTabBar* tabs = pages->tabBar();
    ClickAt(tabs->mapToGlobal(tabs->tabRect(1).center()));
    QVERIFY(WaitFor([&] { return pages->currentIndex() == 1; }));
    auto* points = table->findChild<QTableView*>(QStringLiteral("grdFeatures"));
    QVERIFY(realwindow::ClickRowWhere(points, 2, QStringLiteral("1.57079632679"))); // 極大
    auto* add = table->findChild<QPushButton*>(QStringLiteral("cmdAddLabel"));
    QVERIFY(WaitFor([&] { return add->isEnabled(); }));
    const int before = window.State().AddMoji.UpperBound();
    ClickAt(add->mapToGlobal(add->rect().center()));
    QVERIFY(WaitFor([&] { return window.State().AddMoji.UpperBound() == before + 1; }));
    const TextLabel& label = window.State().AddMoji.At(before + 1);
    QCOMPARE(label.Text(), QStringLiteral("(1.5708, 20)"));

    // On the screen, just above and right of the top of the curve at (171.8, 46.5).
    QTest::qWait(300);
    const QRect around(static_cast<int>(label.left), static_cast<int>(label.top),
                       static_cast<int>(label.Width()), static_cast<int>(label.Height()));
    QVERIFY(around.left() > 172 && around.left() < 178);
    QVERIFY(around.bottom() < 47 && around.bottom() > 35);
    table->lower();
    window.raise();
    QTest::qWait(300);
    QVERIFY(DarkPixels(ScreenAround(sheet, around.translated(sheet->contentsRect().topLeft()))) >
            20);
}

QTEST_MAIN(ValuesRealWindowTest)
#include "tst_values_realwindow.moc"

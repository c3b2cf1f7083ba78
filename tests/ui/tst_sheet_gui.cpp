#include "tests/ui/windowfixture.h"
#include "ui/frmcurvane.h"
#include "ui/sheetview.h"
#include "ui/zoomcursor.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QImageReader>
#include <QtTest/QtTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolBar>

namespace {

struct Fixture : WindowFixture {
    // A click on the sheet at a point of its drawing.
    void ClickSheet(Qt::MouseButton button, QPoint at) {
        SheetView* sheet = window->Sheet();
        QTest::mouseClick(sheet, button, {}, at + sheet->contentsRect().topLeft());
    }
};

} // namespace

class SheetGuiTest : public QObject {
    Q_OBJECT
private slots:
    void sizeEditorTakesWholePixels();
    void sizeEditorCancelAndRefusal();
    void sizeMatchingFillsTheFreeArea();
    void zoomActsOnOneClick();
    void originByRightThenLeftRelease();
    void labelsAreAddedTypedDraggedErasedAndRestored();
    void doubleClickReEditsATickNumber();
    void zoomCursorsHaveTheirHotSpotInTheLens();
};

void SheetGuiTest::sizeEditorTakesWholePixels() {
    Fixture f;
    auto* label = f.Find<QLabel>("lblGraphXW");
    QCOMPARE(label->text(), QStringLiteral("88"));
    QTest::mouseClick(label, Qt::LeftButton);
    auto* entry = f.Find<QLineEdit>("txtGraphXW");
    QVERIFY(entry->isVisible());
    QVERIFY(!label->isVisible());
    QCOMPARE(entry->text(), QStringLiteral("88"));
    entry->setText(QStringLiteral("200.4"));
    QTest::mouseClick(f.Find<QPushButton>("cmdGraphXWok"), Qt::LeftButton);
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("200")); // 757 pixels: what the grid really gives
    QCOMPARE(f.State().Sheet.Width(), 757);
    QCOMPARE(f.window->Sheet()->width(), 761);
    QVERIFY(f.Find<QWidget>("scrXdirect")->isVisible()); // wider than the room for it
}

void SheetGuiTest::sizeEditorCancelAndRefusal() {
    Fixture f;
    QTest::mouseClick(f.Find<QLabel>("lblGraphYH"), Qt::LeftButton);
    f.Find<QLineEdit>("txtGraphYH")->setText(QStringLiteral("100"));
    QTest::mouseClick(f.Find<QPushButton>("cmdGraphYHcancel"), Qt::LeftButton);
    QCOMPARE(f.Find<QLabel>("lblGraphYH")->text(), QStringLiteral("67"));
    QCOMPARE(f.State().Sheet.Height(), 253);

    QTest::mouseClick(f.Find<QLabel>("lblGraphYH"), Qt::LeftButton);
    f.Find<QLineEdit>("txtGraphYH")->setText(QStringLiteral("0"));
    QTest::mouseClick(f.Find<QPushButton>("cmdGraphYHok"), Qt::LeftButton);
    QCOMPARE(f.dialogs->Messages(),
             QStringList{QStringLiteral("グラフサイズは 0 mm より大きくしてください")});
    QCOMPARE(f.State().Sheet.Height(), 253);
    QVERIFY(f.Find<QLineEdit>("txtGraphYH")->isVisible()); // still open for a correction
}

void SheetGuiTest::sizeMatchingFillsTheFreeArea() {
    Fixture f;
    f.window->tbToolBar_ButtonClick(QStringLiteral("ｻｲｽﾞﾏｯﾁﾝｸﾞ"));
    SheetView* sheet = f.window->Sheet();
    auto* settings = f.Find<QWidget>("picGraphSet");
    auto* functions = f.Find<QWidget>("picFNSet");
    auto* toolbar = f.Find<QToolBar>("tbToolBar");
    QCOMPARE(sheet->geometry().right() + 1, settings->x());
    QCOMPARE(sheet->geometry().bottom() + 1, functions->y());
    QCOMPARE(sheet->y(), toolbar->height());
    QCOMPARE(f.Find<QLineEdit>("txtGraphXW")->text(), f.Find<QLabel>("lblGraphXW")->text());
    QCOMPARE(f.Find<QLineEdit>("txtGraphYH")->text(), f.Find<QLabel>("lblGraphYH")->text());
    QCOMPARE(f.State().Graph.GraphWidthPx, float(sheet->width() - 4));
}

void SheetGuiTest::zoomActsOnOneClick() {
    Fixture f;
    CurvaneState& s = f.State();
    s.Settings.OriginX = 100;
    s.Settings.OriginY = 100;
    f.window->tbToolBar_ButtonClick(QStringLiteral("ズームイン"));
    QCOMPARE(s.ZoomDirection, std::int16_t(1));
    QCOMPARE(f.window->Sheet()->cursor().shape(), Qt::BitmapCursor);
    f.ClickSheet(Qt::RightButton, QPoint(111, 100)); // ignored, still armed
    QCOMPARE(s.Settings.XSmallSpacing, std::int16_t(4));
    f.ClickSheet(Qt::LeftButton, QPoint(111, 100));
    QCOMPARE(s.Settings.XSmallSpacing, std::int16_t(6));
    QCOMPARE(s.Settings.OriginX, 93.0f);
    QCOMPARE(s.ZoomDirection, std::int16_t(0));
    QCOMPARE(f.window->Sheet()->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.Find<QGroupBox>("fraXSsize")->title(), QStringLiteral("小目盛= 1.59mm"));
    f.ClickSheet(Qt::LeftButton, QPoint(50, 50)); // one click only
    QCOMPARE(s.Settings.XSmallSpacing, std::int16_t(6));
}

void SheetGuiTest::originByRightThenLeftRelease() {
    Fixture f;
    CurvaneState& s = f.State();
    f.ClickSheet(Qt::LeftButton, QPoint(50, 60)); // nothing without placement
    QCOMPARE(s.Settings.OriginX, 165.5f);
    f.ClickSheet(Qt::RightButton, QPoint(40, 30));
    QVERIFY(s.OriginDragging);
    QCOMPARE(s.Guides.lineX, QLineF(0, 30, 330, 30));
    QTest::mouseMove(f.window->Sheet(), QPoint(72, 82));
    QCOMPARE(s.Guides.lineY.x1(), 70.0);
    f.ClickSheet(Qt::LeftButton, QPoint(50, 60));
    QVERIFY(!s.OriginDragging);
    QCOMPARE(s.Settings.OriginX, 50.0f);
    QCOMPARE(s.Settings.OriginY, 60.0f);
}

void SheetGuiTest::labelsAreAddedTypedDraggedErasedAndRestored() {
    Fixture f;
    CurvaneState& s = f.State();
    f.window->tbToolBar_ButtonClick(QStringLiteral("文字・記号の追加"));
    auto* box = f.Find<QLineEdit>("txtAddMoji");
    QVERIFY(box->isVisible());
    QVERIFY(f.Find<QLabel>("lblAddMojiFont")->isVisible());
    QCOMPARE(QApplication::focusWidget(), box);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("P(1,2)"));
    const TextLabel& label = s.AddMoji.At(1);
    QCOMPARE(label.Text(), QStringLiteral("P(1,2)"));

    f.dialogs->colors.push_back(Rgb(255, 0, 0));
    QTest::mouseClick(f.Find<QLabel>("lblAddMojiCol"), Qt::LeftButton);
    QCOMPARE(label.color, Rgb(255, 0, 0));

    // Drag it by the mouse to (100, 50) on the sheet.
    SheetView* sheet = f.window->Sheet();
    const QPoint offset = sheet->contentsRect().topLeft();
    const QPoint grab = QPointF(label.left + 3, label.top + 3).toPoint() + offset;
    QTest::mousePress(sheet, Qt::LeftButton, {}, grab);
    QTest::mouseMove(sheet, grab + QPoint(20, 20));
    QTest::mouseMove(sheet, QPoint(100, 50) + offset);
    QTest::mouseRelease(sheet, Qt::LeftButton, {}, QPoint(100, 50) + offset);
    QCOMPARE(label.left + label.Width() / 2, 100.0);
    QCOMPARE(label.top + label.Height() / 2, 50.0);

    f.ClickSheet(Qt::RightButton, QPoint(100, 50)); // erase
    QVERIFY(!label.visible);
    QVERIFY(!s.OriginDragging); // the label took the click, not the sheet
    f.window->tbToolBar_ButtonClick(QStringLiteral("消去文字の復活"));
    QVERIFY(label.visible);
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(!box->isVisible());
}

void SheetGuiTest::doubleClickReEditsATickNumber() {
    Fixture f;
    CurvaneState& s = f.State();
    const TextLabel& ten = s.Xmoji.At(2); // "10"
    SheetView* sheet = f.window->Sheet();
    const QPoint at =
        QPointF(ten.left + 2, ten.top + 2).toPoint() + sheet->contentsRect().topLeft();
    QTest::mouseDClick(sheet, Qt::LeftButton, {}, at);
    auto* box = f.Find<QLineEdit>("txtReMoji");
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("10"));
    box->setText(QStringLiteral("ten"));
    QCOMPARE(s.Xmoji.At(2).Text(), QStringLiteral("ten"));
    f.window->tbToolBar_ButtonClick(QStringLiteral("文字・記号の追加"));
    QTest::keyClick(box, Qt::Key_Escape); // closes only the re-edit row
    QVERIFY(!box->isVisible());
    QVERIFY(f.Find<QLineEdit>("txtAddMoji")->isVisible());
}

void SheetGuiTest::zoomCursorsHaveTheirHotSpotInTheLens() {
    for (const char* name : {"MAGNIFY.CUR", "DOWN.CUR"}) {
        const QString path = QStringLiteral(CURVANE_SOURCE_DIR "/share/") + QLatin1String(name);
        QImageReader reader(path, "cur");
        QCOMPARE(reader.read().size(), QSize(32, 32));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(14);
        QCOMPARE(int(head[10]), 12); // hot spot x
        QCOMPARE(int(head[12]), 12); // hot spot y
    }
    // Without the files (the test runs from its own folder) the drawn magnifier stands in.
    const QCursor cursor = ZoomCursor(-1);
    QCOMPARE(cursor.hotSpot(), QPoint(12, 12));
    QVERIFY(!cursor.pixmap().isNull());
}

QTEST_MAIN(SheetGuiTest)
#include "tst_sheet_gui.moc"

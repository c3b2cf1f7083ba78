#include "tests/support/pixels.h"
#include "tests/ui/windowfixture.h"
#include "ui/frmcurvane.h"
#include "ui/sheetview.h"
#include "ui/zoomcursor.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QClipboard>
#include <QtGui/QImageReader>
#include <QtTest/QtTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionGroupBox>
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
    void bothSizeEditorsShowWholeCaptionsInTheFrame();
    void sizeMatchingFillsTheFreeArea();
    void zoomActsOnOneClick();
    void originByRightThenLeftRelease();
    void labelsAreAddedTypedDraggedErasedAndRestored();
    void doubleClickReEditsATickNumber();
    void aTickNumbersOwnColourIsPaintedAndStamped();
    void doubleClickWithAZoomArmedOnlyOpensTheEditor();
    void labelDroppedOnALabelOrAnEditBoxStays();
    void sheetTakesTheFocusAndEscapeEndsMouseModes();
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
    QTest::mouseClick(f.Find<QAbstractButton>("cmdGraphXWok"), Qt::LeftButton);
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
    QTest::mouseClick(f.Find<QAbstractButton>("cmdGraphYHcancel"), Qt::LeftButton);
    QCOMPARE(f.Find<QLabel>("lblGraphYH")->text(), QStringLiteral("67"));
    QCOMPARE(f.State().Sheet.Height(), 253);

    QTest::mouseClick(f.Find<QLabel>("lblGraphYH"), Qt::LeftButton);
    f.Find<QLineEdit>("txtGraphYH")->setText(QStringLiteral("0"));
    QTest::mouseClick(f.Find<QAbstractButton>("cmdGraphYHok"), Qt::LeftButton);
    QCOMPARE(f.dialogs->Messages(),
             QStringList{QStringLiteral("グラフサイズは 0 mm より大きくしてください")});
    QCOMPARE(f.State().Sheet.Height(), 253);
    QVERIFY(f.Find<QLineEdit>("txtGraphYH")->isVisible()); // still open for a correction
}

void SheetGuiTest::bothSizeEditorsShowWholeCaptionsInTheFrame() {
    Fixture f;
    QTest::mouseClick(f.Find<QLabel>("lblGraphXW"), Qt::LeftButton);
    QTest::mouseClick(f.Find<QLabel>("lblGraphYH"), Qt::LeftButton);
    auto* frame = f.Find<QGroupBox>("fraGraphSize");
    // The frame's drawn border and its title, as the style paints them.
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect border = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                        QStyle::SC_GroupBoxFrame, frame);
    const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxLabel, frame);
    for (const char* name : {"cmdGraphXWok", "cmdGraphXWcancel", "cmdGraphYHok", "cmdGraphYHcancel",
                             "txtGraphXW", "txtGraphYH"}) {
        auto* control = f.Find<QWidget>(name);
        QVERIFY2(control->isVisible(), name);
        QVERIFY2(control->parentWidget() == frame, name);
        const QRect at = control->geometry();
        // A button's caption fits it whole, and every control lies inside the frame's border.
        if (qobject_cast<QAbstractButton*>(control)) {
            QVERIFY2(control->sizeHint().width() <= at.width(), name);
            QVERIFY2(control->sizeHint().height() <= at.height(), name);
        }
        QVERIFY2(border.adjusted(1, 1, -1, -1).contains(at), name);
        QVERIFY2(!title.intersects(at), name);
    }
    // No two controls of the editors overlap.
    const QList<QWidget*> buttons = {
        f.Find<QWidget>("cmdGraphXWok"), f.Find<QWidget>("cmdGraphXWcancel"),
        f.Find<QWidget>("cmdGraphYHok"), f.Find<QWidget>("cmdGraphYHcancel"),
        f.Find<QWidget>("txtGraphXW"),   f.Find<QWidget>("txtGraphYH")};
    for (QWidget* a : buttons) {
        for (QWidget* b : buttons) {
            QVERIFY(a == b || !a->geometry().intersects(b->geometry()));
        }
    }
    // The axis frame below still has the room it needs in the panel at the start-up size.
    auto* panel = f.Find<QWidget>("picGraphSet");
    auto* axis = f.Find<QWidget>("fraXSetScale");
    QVERIFY(axis->geometry().top() > frame->geometry().bottom());
    QVERIFY(panel->contentsRect().contains(axis->geometry()));
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

namespace {

QRect AreaOf(const TextLabel& label) {
    return QRectF(label.left, label.top, label.Width(), label.Height()).toAlignedRect();
}

// What the sheet shows on the screen, in the drawing's own pixels.
QImage Shown(SheetView* sheet) {
    return sheet->grab(sheet->contentsRect()).toImage();
}

QPoint CentreOf(SheetView* sheet, const TextLabel& label) {
    return QPointF(label.left + label.Width() / 2, label.top + label.Height() / 2).toPoint() +
           sheet->contentsRect().topLeft();
}

} // namespace

void SheetGuiTest::aTickNumbersOwnColourIsPaintedAndStamped() {
    Fixture f;
    CurvaneState& s = f.State();
    SheetView* sheet = f.window->Sheet();
    const ColorRef green = Rgb(0, 160, 0);
    const ColorRef blue = Rgb(0, 0, 255); // the tick numbers' colour
    QTest::mouseDClick(sheet, Qt::LeftButton, {}, CentreOf(sheet, s.Xmoji.At(2)));
    f.dialogs->colors.push_back(green);
    QTest::mouseClick(f.Find<QLabel>("lblReMojiCol"), Qt::LeftButton);
    const QRect ten = AreaOf(s.Xmoji.At(2));
    QImage shown = Shown(sheet);
    QVERIFY(CountPixels(shown, green, ten) > 5);
    QCOMPARE(CountPixels(shown, blue, ten), 0);
    QVERIFY(CountPixels(shown, blue, AreaOf(s.Xmoji.At(3))) > 5); // the others keep theirs

    // Copied (stamped) as shown.
    f.Find<QAction>("mnuToClipboard")->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), s.Sheet.Image().size());
    QVERIFY(CountPixels(copied, green, ten) > 5);
    QCOMPARE(CountPixels(copied, blue, ten), 0);

    // The next redraw makes a new tick number in the family's colour, as with a changed text.
    f.Find<QAction>("mnuFileNew")->trigger();
    shown = Shown(sheet);
    QCOMPARE(CountPixels(shown, green, AreaOf(s.Xmoji.At(2))), 0);
    QVERIFY(CountPixels(shown, blue, AreaOf(s.Xmoji.At(2))) > 5);
}

void SheetGuiTest::doubleClickWithAZoomArmedOnlyOpensTheEditor() {
    Fixture f;
    CurvaneState& s = f.State();
    SheetView* sheet = f.window->Sheet();
    auto* box = f.Find<QLineEdit>("txtReMoji");
    for (const bool zoom : {true, false}) {
        if (zoom) {
            f.window->tbToolBar_ButtonClick(QStringLiteral("ズームイン"));
        } else {
            f.ClickSheet(Qt::RightButton, QPoint(30, 30)); // the origin follows the mouse now
            QVERIFY(s.OriginDragging);
        }
        const GraphSettings before = s.Settings;
        QTest::mouseDClick(sheet, Qt::LeftButton, {}, CentreOf(sheet, s.Xmoji.At(2)));
        QVERIFY(box->isVisible());
        QCOMPARE(box->text(), s.Xmoji.At(2).Text());
        QCOMPARE(s.Settings.XSmallSpacing, before.XSmallSpacing); // no zoom at the label
        QCOMPARE(s.Settings.OriginX, before.OriginX);             // nor an origin put there
        QCOMPARE(s.ZoomDirection, std::int16_t(zoom ? 1 : 0));
        QCOMPARE(s.OriginDragging, !zoom);

        // The mode's own click redraws the sheet; the tick number being edited is gone with
        // the old grid, and so is its edit box.
        f.ClickSheet(Qt::LeftButton, QPoint(20, 200));
        QVERIFY(!s.OriginDragging && s.ZoomDirection == 0);
        QVERIFY(!box->isVisible());
        QVERIFY(!f.Find<QLabel>("lblReMojiFont")->isVisible());
    }

    // A redraw leaves the edit box of a free label open: the label lives on.
    f.window->tbToolBar_ButtonClick(QStringLiteral("文字・記号の追加"));
    QTest::keyClick(f.Find<QLineEdit>("txtAddMoji"), Qt::Key_Escape);
    QTest::mouseDClick(sheet, Qt::LeftButton, {}, CentreOf(sheet, s.AddMoji.At(1)));
    QVERIFY(box->isVisible());
    f.Find<QAction>("mnuFileNew")->trigger();
    QVERIFY(box->isVisible());
}

void SheetGuiTest::labelDroppedOnALabelOrAnEditBoxStays() {
    Fixture f;
    CurvaneState& s = f.State();
    SheetView* sheet = f.window->Sheet();
    f.window->tbToolBar_ButtonClick(QStringLiteral("文字・記号の追加"));
    const TextLabel& label = s.AddMoji.At(1);
    const auto drag = [&](QPoint to) {
        const QPoint grab = CentreOf(sheet, label);
        QTest::mousePress(sheet, Qt::LeftButton, {}, grab);
        QTest::mouseMove(sheet, grab + QPoint(15, 15));
        QTest::mouseMove(sheet, to);
        QTest::mouseRelease(sheet, Qt::LeftButton, {}, to);
    };
    drag(QPoint(250, 60) + sheet->contentsRect().topLeft());
    const QPointF placed(label.left, label.top);
    QCOMPARE(label.left + label.Width() / 2, 250.0);

    drag(CentreOf(sheet, s.Xmoji.At(2))); // onto a tick number
    QCOMPARE(QPointF(label.left, label.top), placed);
    drag(f.Find<QLineEdit>("txtAddMoji")->geometry().center()); // onto the adding row
    QCOMPARE(QPointF(label.left, label.top), placed);
    QVERIFY(s.Xmoji.At(2).visible);
}

void SheetGuiTest::sheetTakesTheFocusAndEscapeEndsMouseModes() {
    Fixture f;
    CurvaneState& s = f.State();
    SheetView* sheet = f.window->Sheet();
    QCOMPARE(QApplication::focusWidget(), f.Find<QWidget>("txtF1"));
    f.ClickSheet(Qt::LeftButton, QPoint(20, 20));
    QCOMPARE(QApplication::focusWidget(), sheet);

    // Escape wherever the keyboard is, a text box included: the armed zoom ends unused.
    const GraphSettings before = s.Settings;
    f.window->tbToolBar_ButtonClick(QStringLiteral("ズームアウト"));
    QTest::keyClick(f.Find<QWidget>("txtF1"), Qt::Key_Escape);
    QCOMPARE(s.ZoomDirection, std::int16_t(0));
    QCOMPARE(sheet->cursor().shape(), Qt::ArrowCursor);
    f.ClickSheet(Qt::LeftButton, QPoint(111, 100));
    QCOMPARE(s.Settings.XSmallSpacing, before.XSmallSpacing);

    // The origin placement ends too, and its guide lines go.
    f.ClickSheet(Qt::RightButton, QPoint(40, 30));
    QVERIFY(s.OriginDragging);
    QVERIFY(CountPixels(Shown(sheet), Rgb(255, 0, 0), QRect(0, 0, 400, 300)) > 100);
    QTest::keyClick(sheet, Qt::Key_Escape);
    QVERIFY(!s.OriginDragging);
    QCOMPARE(CountPixels(Shown(sheet), Rgb(255, 0, 0), QRect(0, 0, 400, 300)), 0);
    f.ClickSheet(Qt::LeftButton, QPoint(40, 30));
    QCOMPARE(s.Settings.OriginX, before.OriginX);
    QCOMPARE(s.Settings.OriginY, before.OriginY);
    QCOMPARE(s.Slots[0].Expression, QString()); // the Escape typed nothing anywhere
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

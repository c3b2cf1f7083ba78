#include "tests/support/pixels.h"
#include "tests/ui/windowfixture.h"
#include "ui/frmcurvane.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QClipboard>
#include <QtTest/QtTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

struct Fixture : WindowFixture {
    using WindowFixture::WindowFixture;
    int Inked(ColorRef colour) const { return CountPixels(window->State().Sheet.Image(), colour); }
};

} // namespace

class FunctionRowsTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithRowOneAndTheFocusInIt();
    void typingKeepsOnlyWhatTheFilterLetsThrough();
    void pastingIsFilteredToo();
    void drawAndEraseWithTheButton();
    void unbalancedBracketsShowTheMessage();
    void noValueAnywhereShowsTheMessage();
    void rowsComeAndGo();
    void colourSwatchTurnsADrawnSlotToUpdate();
    void styleLabelPopsUpTheNineStyles();
    void menuActsOnTheBoxThatHadTheFocusLast();
    void menuWithoutAnyFocusedBoxSaysSo();
};

void FunctionRowsTest::startsWithRowOneAndTheFocusInIt() {
    Fixture f;
    QVERIFY(f.Find<QLineEdit>("txtF1")->isVisible());
    QVERIFY(!f.Find<QLineEdit>("txtF2")->isVisible());
    QVERIFY(f.Find<QPushButton>("cmdF2add")->isVisible());
    QCOMPARE(f.Find<QPushButton>("cmdF3add")->text(), QStringLiteral("F3"));
    QCOMPARE(f.Find<QLabel>("lblF1")->text(), QStringLiteral("F1(x)="));
    QVERIFY(f.Find<QLabel>("lblF1")->font().bold());
    QCOMPARE(f.Find<QLabel>("lblF1style")->text(), QStringLiteral("実1"));
    QCOMPARE(f.Find<QPushButton>("cmdF1draw")->text(), QStringLiteral("描画"));
    QCOMPARE(QApplication::focusWidget(), f.Find<QLineEdit>("txtF1"));
    QCOMPARE(f.State().StyleTarget, std::int16_t(1));
}

void FunctionRowsTest::typingKeepsOnlyWhatTheFilterLetsThrough() {
    Fixture f;
    auto* box = f.Find<QLineEdit>("txtF1");
    QTest::keyClicks(box, QStringLiteral("Sin(X), x^2"));
    QCOMPARE(box->text(), QStringLiteral("in(),x^2").remove(QLatin1Char(',')));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("in()x^"));
    QCOMPARE(f.State().Slots[0].Expression, QStringLiteral("in()x^"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->text(), QStringLiteral("in()x^"));
}

void FunctionRowsTest::pastingIsFilteredToo() {
    Fixture f;
    auto* box = f.Find<QLineEdit>("txtF1");
    QGuiApplication::clipboard()->setText(QStringLiteral("Sin (x) * 2"));
    QTest::keySequence(box, QKeySequence::Paste);
    QCOMPARE(box->text(), QStringLiteral("in(x)*2"));
    QCOMPARE(f.State().Slots[0].Expression, QStringLiteral("in(x)*2"));
}

void FunctionRowsTest::drawAndEraseWithTheButton() {
    Fixture f;
    auto* box = f.Find<QLineEdit>("txtF1");
    auto* button = f.Find<QPushButton>("cmdF1draw");
    QTest::keyClicks(box, QStringLiteral("sin(x)*20"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QStringLiteral("消去"));
    QVERIFY(f.Inked(Rgb(0, 0, 0)) > 300);
    QCOMPARE(button->toolTip(), QStringLiteral("332 列中 332 列を描画しました"));
    QCOMPARE(QApplication::focusWidget(), box);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QStringLiteral("描画"));
    QCOMPARE(f.Inked(Rgb(0, 0, 0)), 0);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(f.State().Slots[0].SampleCount, 1);
    // An axis change forgets the curve: the next draw computes it again.
    f.Find<QLineEdit>("txtXSvalue")->setText(QStringLiteral("2"));
    QCOMPARE(button->text(), QStringLiteral("描画"));
}

void FunctionRowsTest::unbalancedBracketsShowTheMessage() {
    Fixture f;
    QTest::keyClicks(f.Find<QLineEdit>("txtF1"), QStringLiteral("sin(x))"));
    QTest::mouseClick(f.Find<QPushButton>("cmdF1draw"), Qt::LeftButton);
    QCOMPARE(f.dialogs->Messages(), QStringList{QStringLiteral("括弧（）が合っていません")});
    QCOMPARE(f.dialogs->asked.last().title, QStringLiteral("括弧エラー"));
    QCOMPARE(f.Find<QPushButton>("cmdF1draw")->text(), QStringLiteral("描画"));
    QCOMPARE(f.Inked(Rgb(0, 0, 0)), 0);
}

void FunctionRowsTest::noValueAnywhereShowsTheMessage() {
    Fixture f;
    auto* box = f.Find<QLineEdit>("txtF1");
    auto* button = f.Find<QPushButton>("cmdF1draw");
    QTest::keyClicks(box, QStringLiteral("sqr(-1-x^2)"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(f.dialogs->Messages(),
             QStringList{QStringLiteral("F1(x) はどの x でも値が求まりませんでした。\n"
                                        "最初のエラー: 関数の引数が不正です")});
    QCOMPARE(f.dialogs->asked.last().title, QStringLiteral("計算できません"));
    QCOMPARE(button->text(), QStringLiteral("消去"));
    // With values, no such message: e gets a box of its own, the tooltip names what read as 0.
    QTest::mouseClick(button, Qt::LeftButton);
    box->clear();
    QTest::keyClicks(box, QStringLiteral("e^2+x"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(f.dialogs->Messages().size(), 2);
    QCOMPARE(f.dialogs->Messages().last(), QStringLiteral("e^x は exp(x) と書きます。"));
    QCOMPARE(f.dialogs->asked.last().title, QStringLiteral("式の書き方"));
    QCOMPARE(button->toolTip(), QStringLiteral("332 列中 332 列を描画しました\n"
                                               "e には値がないので 0 として計算しました。e^x "
                                               "のことなら exp(x) と書きます。"));
    QCOMPARE(box->toolTip(), button->toolTip());
}

void FunctionRowsTest::rowsComeAndGo() {
    Fixture f;
    QTest::mouseClick(f.Find<QPushButton>("cmdF3add"), Qt::LeftButton);
    auto* box = f.Find<QLineEdit>("txtF3");
    QVERIFY(box->isVisible());
    QVERIFY(!f.Find<QPushButton>("cmdF3add")->isVisible());
    QVERIFY(!f.Find<QLineEdit>("txtF2")->isVisible());
    QCOMPARE(QApplication::focusWidget(), box);
    QTest::keyClicks(box, QStringLiteral("x"));
    QTest::mouseClick(f.Find<QPushButton>("cmdF3draw"), Qt::LeftButton);
    QVERIFY(f.Inked(Rgb(0, 0, 0)) > 0);

    auto* label = f.Find<QLabel>("lblF3");
    QTest::mouseClick(label, Qt::LeftButton); // only the right button removes
    QVERIFY(box->isVisible());
    QTest::mouseClick(label, Qt::RightButton);
    QVERIFY(!box->isVisible());
    QVERIFY(f.Find<QPushButton>("cmdF3add")->isVisible());
    QVERIFY(box->text().isEmpty());
    QCOMPARE(f.Inked(Rgb(0, 0, 0)), 0);
}

void FunctionRowsTest::colourSwatchTurnsADrawnSlotToUpdate() {
    Fixture f;
    QTest::keyClicks(f.Find<QLineEdit>("txtF1"), QStringLiteral("0"));
    QTest::mouseClick(f.Find<QPushButton>("cmdF1draw"), Qt::LeftButton);
    f.dialogs->colors.push_back(Rgb(255, 0, 0));
    auto* swatch = f.Find<QLabel>("lblF1color");
    QTest::mouseClick(swatch, Qt::LeftButton);
    QCOMPARE(swatch->palette().color(QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(f.Find<QPushButton>("cmdF1draw")->text(), QStringLiteral("更新"));
    QTest::mouseClick(f.Find<QPushButton>("cmdF1draw"), Qt::LeftButton);
    QVERIFY(f.Inked(Rgb(255, 0, 0)) > 300);
    QCOMPARE(f.Find<QPushButton>("cmdF1draw")->text(), QStringLiteral("消去"));

    QTest::mouseClick(swatch, Qt::LeftButton); // cancelled: the colour stays
    QCOMPARE(f.State().Slots[0].Color, Rgb(255, 0, 0));
    QCOMPARE(f.Find<QPushButton>("cmdF1draw")->text(), QStringLiteral("更新"));
}

void FunctionRowsTest::styleLabelPopsUpTheNineStyles() {
    Fixture f;
    QTest::mouseClick(f.Find<QPushButton>("cmdF2add"), Qt::LeftButton);
    QTest::keyClicks(f.Find<QLineEdit>("txtF2"), QStringLiteral("x"));
    QTest::mouseClick(f.Find<QPushButton>("cmdF2draw"), Qt::LeftButton);
    QTest::mouseClick(f.Find<QLineEdit>("txtF1"), Qt::LeftButton); // focus elsewhere first
    f.dialogs->popupChoices.push_back(8);
    QTest::mouseClick(f.Find<QLabel>("lblF2style"), Qt::LeftButton);
    QCOMPARE(f.dialogs->lastPopupEntries.size(), 9);
    QCOMPARE(f.dialogs->lastPopupEntries.first(), QStringLiteral("細い実線（実1）"));
    QCOMPARE(f.Find<QLabel>("lblF2style")->text(), QStringLiteral("鎖3"));
    QCOMPARE(f.Find<QPushButton>("cmdF2draw")->text(), QStringLiteral("更新"));
    QCOMPARE(f.State().StyleTarget, std::int16_t(2));
}

void FunctionRowsTest::menuActsOnTheBoxThatHadTheFocusLast() {
    Fixture f;
    QTest::mouseClick(f.Find<QPushButton>("cmdF3add"), Qt::LeftButton);
    QTest::keyClicks(f.Find<QLineEdit>("txtF3"), QStringLiteral("x"));
    QTest::mouseClick(f.Find<QLineEdit>("txtXObias"), Qt::LeftButton); // somewhere else
    f.Find<QAction>("mnuDot2")->trigger();
    QCOMPARE(f.Find<QLabel>("lblF3style")->text(), QStringLiteral("点2"));
    QCOMPARE(f.Find<QLabel>("lblF1style")->text(), QStringLiteral("実1"));
    QVERIFY(f.dialogs->Messages().isEmpty());
}

void FunctionRowsTest::menuWithoutAnyFocusedBoxSaysSo() {
    Fixture f(false); // never shown: no function box has had the focus
    f.Find<QAction>("mnuSolid3")->trigger();
    QCOMPARE(f.dialogs->Messages(),
             QStringList{QStringLiteral("関数テキストボックスにフォーカスがありません")});
    QCOMPARE(f.dialogs->asked.last().title, QStringLiteral("Curvane"));
    for (const FunctionSlot& slot : f.State().Slots) {
        QCOMPARE(slot.StyleCode, QStringLiteral("実1"));
    }
}

QTEST_MAIN(FunctionRowsTest)
#include "tst_functionrows.moc"

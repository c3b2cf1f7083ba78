// A draw that takes long, in the window: it runs on a worker while the window goes on answering,
// a progress dialog with a cancel button, the part done drawn, and rows computed for an
// expression the user changed meanwhile dropped.
#include "tests/support/pixels.h"
#include "tests/support/slowsettings.h"
#include "tests/ui/windowfixture.h"
#include "ui/frmcurvane.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QTimer>
#include <QtTest/QtTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressDialog>
#include <QtWidgets/QPushButton>
#include <functional>

namespace {

constexpr ColorRef Red = Rgb(255, 0, 0);

struct Fixture : WindowFixture {
    // The window with the slow F1 on a sheet of the designed size.
    Fixture() {
        QFile file(dir.filePath(QStringLiteral("slow.cvf")));
        if (!file.open(QIODevice::WriteOnly)) {
            qWarning("cannot write the settings file");
        }
        file.write(SlowSettingsLine(12, 331, 253));
        file.close();
        window->OpenSettingsPath(file.fileName());
    }
};

// Watches for the progress dialog while the work runs, and does something once it shows.
class DialogWatch : public QObject {
public:
    DialogWatch(QWidget* window, std::function<void(QProgressDialog*)> act)
        : m_window(window), m_act(std::move(act)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* dialog = m_window->findChild<QProgressDialog*>(QStringLiteral("dlgProgress"));
            if (dialog != nullptr && dialog->isVisible() && !seen) {
                seen = true;
                title = dialog->windowTitle();
                label = dialog->labelText();
                modal = dialog->isModal() || dialog->windowModality() != Qt::NonModal;
                m_act(dialog);
            }
        });
        m_timer.start(20);
    }
    bool seen = false;
    bool modal = false;
    QString title;
    QString label;

private:
    QWidget* m_window;
    std::function<void(QProgressDialog*)> m_act;
    QTimer m_timer;
};

} // namespace

class LongDrawGuiTest : public QObject {
    Q_OBJECT
private slots:
    void cancellingKeepsThePartDoneAndSaysSo();
    void closingWhileItRunsStopsItFirst();
    void rowsOfAnExpressionChangedMeanwhileAreDropped();
};

void LongDrawGuiTest::cancellingKeepsThePartDoneAndSaysSo() {
    Fixture f;
    auto* draw = f.Find<QPushButton>("cmdF1draw");
    // A person presses the dialog's "キャンセル" (cancel) button.
    DialogWatch watch(f.window.get(), [](QProgressDialog* dialog) {
        auto* cancel = dialog->findChild<QPushButton*>();
        QVERIFY(cancel != nullptr);
        QCOMPARE(cancel->text(), QStringLiteral("キャンセル"));
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    QTest::mouseClick(draw, Qt::LeftButton); // returns at once; the work goes on
    QTRY_VERIFY_WITH_TIMEOUT(f.State().Slots[0].LastSample.cancelled, 20000);
    QVERIFY(watch.seen);
    QVERIFY(!watch.modal); // the window's menus and boxes stay usable
    QCOMPARE(watch.title, QStringLiteral("F1(x) を計算しています")); // computing F1(x)
    // "N / 332 列を計算しました" = N of 332 columns computed
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+ / 332 列を計算しました$"))
                 .match(watch.label)
                 .hasMatch(),
             qPrintable(watch.label));
    QVERIFY(f.window->findChild<QProgressDialog*>(QStringLiteral("dlgProgress")) == nullptr);

    const SampleReport& report = f.State().Slots[0].LastSample;
    QVERIFY(report.cancelled);
    QVERIFY(report.stoppedAtColumn > 0 && report.stoppedAtColumn < 332);
    // The part done is on the sheet, 40 pixels above the X axis, and nothing right of it.
    const QImage& sheet = f.State().Sheet.Image();
    QVERIFY(CountPixels(sheet, Red, QRect(0, 80, report.stoppedAtColumn, 14)) > 0);
    QCOMPARE(CountPixels(sheet, Red, QRect(report.stoppedAtColumn, 0, 331, 253)), 0);
    // The button offers "消去" (erase) and its tooltip tells what happened.
    QCOMPARE(draw->text(), QStringLiteral("消去"));
    QVERIFY2(draw->toolTip().contains(QStringLiteral("キャンセルしたため、左端から %1 列目から先は"
                                                     "描いていません")
                                          .arg(report.stoppedAtColumn + 1)),
             qPrintable(draw->toolTip()));
    // The window takes keys again.
    auto* f1 = f.Find<QLineEdit>("txtF1");
    f1->setFocus();
    f1->selectAll();
    QTest::keyClicks(f1, QStringLiteral("x"));
    QCOMPARE(f.State().Slots[0].Expression, QStringLiteral("x"));
}

void LongDrawGuiTest::closingWhileItRunsStopsItFirst() {
    Fixture f;
    frmCurvane* window = f.window.get();
    DialogWatch watch(window, [window](QProgressDialog*) { window->close(); });
    f.dialogs->answers = {1}; // "保存しない" (don't save) for the part drawn
    QTest::mouseClick(f.Find<QPushButton>("cmdF1draw"), Qt::LeftButton);
    // The work stopped at the close, and the window closed once it had.
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 20000);
    QVERIFY(watch.seen);
    QVERIFY(f.State().Slots[0].LastSample.cancelled);
}

void LongDrawGuiTest::rowsOfAnExpressionChangedMeanwhileAreDropped() {
    Fixture f;
    auto* draw = f.Find<QPushButton>("cmdF1draw");
    auto* f1 = f.Find<QLineEdit>("txtF1");
    // While the slow F1 is computed, the user types another expression into its box.
    DialogWatch watch(f.window.get(), [f1](QProgressDialog*) {
        f1->setFocus();
        f1->selectAll();
        QTest::keyClicks(f1, QStringLiteral("x"));
    });
    QTest::mouseClick(draw, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(watch.seen, 20000);
    QCOMPARE(f.State().Slots[0].Expression, QStringLiteral("x"));
    QCOMPARE(draw->text(), QStringLiteral("描画"));
    // The progress dialog stays until the work ends: stopped from it, nothing lands.
    auto* dialog = f.window->findChild<QProgressDialog*>(QStringLiteral("dlgProgress"));
    QVERIFY(dialog != nullptr);
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(
        f.window->findChild<QProgressDialog*>(QStringLiteral("dlgProgress")) == nullptr, 20000);
    QVERIFY(f.State().Record.curves.empty());
    QVERIFY(!f.State().Slots[0].Drawn);
    QCOMPARE(CountPixels(f.State().Sheet.Image(), Red), 0);
}

QTEST_MAIN(LongDrawGuiTest)
#include "tst_longdraw_gui.moc"

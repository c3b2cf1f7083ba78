// A draw that takes long, in the window: a progress dialog with a cancel button, the part done
// drawn, and the window's state safe from what happens while the work runs.
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
    QTest::mouseClick(draw, Qt::LeftButton); // returns once the work has stopped
    QVERIFY(watch.seen);
    QVERIFY(watch.modal);
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
    QTest::mouseClick(f.Find<QPushButton>("cmdF1draw"), Qt::LeftButton);
    QVERIFY(watch.seen);
    // The work stopped at the close, and the window closed once it had.
    QVERIFY(f.State().Slots[0].LastSample.cancelled);
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(LongDrawGuiTest)
#include "tst_longdraw_gui.moc"

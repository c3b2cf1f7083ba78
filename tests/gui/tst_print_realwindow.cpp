// Runs in a real X server (xvfb-run): printing as a user does it, with the real dialogs, and the
// mouse and keys going through the window system (xdotool). The page goes into a PDF file chosen
// in the printer set-up, whether or not the machine has printers of its own.
#include "platform/settings_store.h"
#include "tests/support/pdfpage.h"
#include "tests/support/realwindow.h"
#include "ui/frmcurvane.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtPrintSupport/QPrintDialog>
#include <QtTest/QtTest>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>
#include <functional>
#include <memory>

namespace {

void Click(QWidget* widget) {
    realwindow::ClickAt(widget->mapToGlobal(widget->rect().center()));
}

// Replaces a box's text by typing, as a user does: click into it, select all, type.
void TypeInto(QWidget* box, const QString& text) {
    Click(box);
    realwindow::Key(QStringLiteral("ctrl+a"));
    realwindow::Xdo(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

// Makes the set-up's printer list show its PDF file entry as a user does: the list opened with a
// click, the entry clicked. False once it shows it.
bool ChoosePdfFile(QComboBox* printers) {
    const int pdf = printers->findText(
        QCoreApplication::translate("QPrintDialog", "Print to File (PDF)"), Qt::MatchExactly);
    if (pdf < 0 || printers->currentIndex() == pdf) {
        return false;
    }
    QAbstractItemView* list = printers->view();
    if (!list->isVisible()) {
        Click(printers);
    } else {
        const QRect entry = list->visualRect(printers->model()->index(pdf, 0));
        realwindow::ClickAt(list->viewport()->mapToGlobal(entry.center()));
    }
    return true;
}

// Drives modal dialogs while they hold the event loop: every tick looks at the active modal window
// and lets the test act on it. An action is not repeated until its effect had time to show, and
// a script that gets stuck closes what is open, so that the test fails instead of hanging.
class Script : public QObject {
public:
    // Acts on the modal window (or nullptr); returns whether it did anything.
    using Act = std::function<bool(QWidget* modal)>;

    explicit Script(Act act) : m_act(std::move(act)) {
        connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
        m_clock.start();
        m_timer.start(200);
    }
    void Finish() { m_done = true; }
    bool Done() const { return m_done; }
    bool Stuck() const { return m_stuck; }
    QStringList messages; // every message box that came up, with its text

private:
    void Tick() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            box->accept();
            return;
        }
        if (m_clock.elapsed() > 90000) {
            m_stuck = true;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
            return;
        }
        if (m_done || m_busy || m_clock.elapsed() < m_quietUntil) {
            return;
        }
        m_busy = true; // an action's clicks may open a dialog whose loop ticks again
        if (m_act(modal)) {
            m_quietUntil = m_clock.elapsed() + 1500;
        }
        m_busy = false;
    }

    Act m_act;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_quietUntil = 0;
    bool m_busy = false;
    bool m_done = false;
    bool m_stuck = false;
};

} // namespace

class PrintRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void printsIntoAPdfChosenInTheSetUp();
};

void PrintRealWindowTest::printsIntoAPdfChosenInTheSetUp() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    auto window = std::make_unique<frmCurvane>(
        nullptr, std::make_unique<QtSettingsStore>(dir.filePath(QStringLiteral("place.ini"))));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QTest::qWait(300);
    const QSize sheet = window->State().Sheet.Image().size();

    QString paper;
    QString target;
    bool typed = false;
    Script* running = nullptr;
    Script script([&](QWidget* modal) {
        if (auto* setup = qobject_cast<QPrintDialog*>(modal)) {
            // The platform's print set-up: a PDF file as the printer, its name typed, then OK.
            auto* file = setup->findChild<QLineEdit*>(QStringLiteral("filename"));
            auto* printers = setup->findChild<QComboBox*>(QStringLiteral("printers"));
            if (setup->windowTitle() != QStringLiteral("プリンタの設定") || file == nullptr ||
                printers == nullptr) {
                qWarning("unexpected set-up titled %s", qPrintable(setup->windowTitle()));
                setup->reject();
                return true;
            }
            if (ChoosePdfFile(printers)) {
                return true; // on a machine with printers the set-up opens on one of them
            }
            if (!file->isEnabled()) {
                qWarning("the set-up offers no PDF file");
                setup->reject();
                return true;
            }
            if (file->text() != pdf) {
                TypeInto(file, pdf);
            } else {
                Click(setup->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
            }
            return true;
        }
        if (modal == nullptr || modal->objectName() != QStringLiteral("frmSetPrinter")) {
            return false;
        }
        // The print settings dialog: margins and zoom typed, the set-up, then OK.
        if (!typed) {
            TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("txtLMergin")),
                     QStringLiteral("25"));
            TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("txtUMergin")),
                     QStringLiteral("15"));
            TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("txtZoom")),
                     QStringLiteral("150"));
            typed = true;
            return true;
        }
        target = modal->findChild<QLabel*>(QStringLiteral("lblPrinterName"))->text();
        if (target.isEmpty()) {
            Click(modal->findChild<QPushButton*>(QStringLiteral("cmdSetPrinter")));
            return true;
        }
        paper = modal->findChild<QLabel*>(QStringLiteral("lblPaperSize"))->text();
        Click(modal->findChild<QPushButton*>(QStringLiteral("cmdOK")));
        running->Finish();
        return true;
    });
    running = &script;

    // The toolbar's print button, clicked as a user clicks it.
    QToolBar* toolbar = window->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    QAction* print = toolbar->findChild<QAction*>(QStringLiteral("画像印刷"));
    QVERIFY(print);
    Click(toolbar->widgetForAction(print));
    QTRY_VERIFY_WITH_TIMEOUT(
        (script.Done() || script.Stuck()) && QApplication::activeModalWidget() == nullptr, 120000);
    QVERIFY(!script.Stuck());
    QVERIFY2(script.messages.isEmpty(), qPrintable(script.messages.join(QChar('\n'))));
    QVERIFY(!paper.isEmpty());
    QCOMPARE(target, QStringLiteral("PDF ファイル: page.pdf"));
    QVERIFY(QFile::exists(pdf));
    const QImage page = RenderPage(pdf, dir.filePath(QStringLiteral("page")));
    QVERIFY(!page.isNull());
    // 25 and 15 mm from the paper's corner, one and a half times the sheet's physical size.
    const QRect inked = Inked(page);
    const double width = sheet.width() * 254.0 / 96.0 * 1.5;
    const double height = sheet.height() * 254.0 / 96.0 * 1.5;
    QVERIFY2(qAbs(inked.left() - 250) <= 2, qPrintable(QString::number(inked.left())));
    QVERIFY2(qAbs(inked.top() - 150) <= 2, qPrintable(QString::number(inked.top())));
    QVERIFY2(qAbs(inked.width() - width) <= 4, qPrintable(QString::number(inked.width())));
    QVERIFY2(qAbs(inked.height() - height) <= 4, qPrintable(QString::number(inked.height())));
}

QTEST_MAIN(PrintRealWindowTest)
#include "tst_print_realwindow.moc"

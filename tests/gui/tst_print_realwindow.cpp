// Runs in a real X server (xvfb-run): printing as a user does it, with the real dialogs, and the
// mouse and keys going through the window system (xdotool). The page goes into a PDF file chosen
// in the printer set-up, whether or not the machine has printers of its own, and through CUPS to
// a queue that writes PDF files, where the machine can have one.
#include "platform/settings_store.h"
#include "program/functionpanel.h"
#include "program/redraw.h"
#include "tests/support/pdfpage.h"
#include "tests/support/realwindow.h"
#include "ui/frmcurvane.h"
#include "ui/sheetview.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
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

// Makes a list box show an entry as a user does: the list opened with a click, the entry
// clicked. False once it shows it, or when it has no such entry.
bool ChooseEntry(QComboBox* box, const QString& text) {
    const int wanted = box->findText(text, Qt::MatchExactly);
    if (wanted < 0 || box->currentIndex() == wanted) {
        return false;
    }
    QAbstractItemView* list = box->view();
    if (!list->isVisible()) {
        Click(box);
    } else {
        const QRect entry = list->visualRect(box->model()->index(wanted, 0));
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

// What a print from the window types and chooses: the set-up's printer entry (and the file name
// for the PDF file entry), margins and zoom as typed, and the quality.
struct PrintOrder {
    QString printer;
    QString pdfFile = {}; // for the PDF file entry
    QString left;
    QString top;
    QString zoom;
    QString quality;
};

// What the print settings showed as OK was clicked, and the messages that came up.
struct Printed {
    QString target;
    QString paper;
    QStringList messages;
    bool stuck = false;
};

// The set-up's entry for a PDF file, in the language of Qt's texts.
QString PdfFileEntry() {
    return QCoreApplication::translate("QPrintDialog", "Print to File (PDF)");
}

// Prints from the window's toolbar button through the print settings and the platform's set-up.
Printed PrintFromWindow(frmCurvane& window, const PrintOrder& order) {
    Printed printed;
    bool typed = false;
    Script* running = nullptr;
    Script script([&](QWidget* modal) {
        if (auto* setup = qobject_cast<QPrintDialog*>(modal)) {
            auto* file = setup->findChild<QLineEdit*>(QStringLiteral("filename"));
            auto* printers = setup->findChild<QComboBox*>(QStringLiteral("printers"));
            if (setup->windowTitle() != QStringLiteral("プリンタの設定") || file == nullptr ||
                printers == nullptr || printers->findText(order.printer) < 0) {
                qWarning("unexpected set-up titled %s", qPrintable(setup->windowTitle()));
                setup->reject();
                return true;
            }
            // On a machine with printers the set-up opens on one of them.
            if (ChooseEntry(printers, order.printer)) {
                return true;
            }
            if (!order.pdfFile.isEmpty() && file->text() != order.pdfFile) {
                TypeInto(file, order.pdfFile);
            } else {
                Click(setup->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
            }
            return true;
        }
        if (modal == nullptr || modal->objectName() != QStringLiteral("frmSetPrinter")) {
            return false;
        }
        // The print settings: margins and zoom typed, the quality chosen, the set-up, then OK.
        if (!typed) {
            TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("txtLMergin")), order.left);
            TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("txtUMergin")), order.top);
            TypeInto(modal->findChild<QLineEdit*>(QStringLiteral("txtZoom")), order.zoom);
            typed = true;
            return true;
        }
        if (ChooseEntry(modal->findChild<QComboBox*>(QStringLiteral("cboPrintQuality")),
                        order.quality)) {
            return true;
        }
        printed.target = modal->findChild<QLabel*>(QStringLiteral("lblPrinterName"))->text();
        if (printed.target.isEmpty()) {
            Click(modal->findChild<QPushButton*>(QStringLiteral("cmdSetPrinter")));
            return true;
        }
        printed.paper = modal->findChild<QLabel*>(QStringLiteral("lblPaperSize"))->text();
        Click(modal->findChild<QPushButton*>(QStringLiteral("cmdOK")));
        running->Finish();
        return true;
    });
    running = &script;

    // The toolbar's print button, clicked as a user clicks it.
    auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    Click(toolbar->widgetForAction(toolbar->findChild<QAction*>(QStringLiteral("画像印刷"))));
    const bool closed = QTest::qWaitFor(
        [&] {
            return (script.Done() || script.Stuck()) &&
                   QApplication::activeModalWidget() == nullptr;
        },
        120000);
    printed.messages = script.messages;
    printed.stuck = script.Stuck() || !closed;
    return printed;
}

// The ink of a page at 10 pixels per millimetre lies at the margins (from the paper's corner),
// as large as the sheet at the zoom, within tolerance pixels.
void CheckInkAt(const QImage& page, double leftMm, double topMm, QSize sheet, double zoom,
                int tolerance) {
    QVERIFY(!page.isNull());
    const QRect inked = Inked(page);
    const QRectF expected(leftMm * 10.0, topMm * 10.0, sheet.width() * 254.0 / 96.0 * zoom,
                          sheet.height() * 254.0 / 96.0 * zoom);
    const QString told = QStringLiteral("ink at %1, %2, %3 × %4; expected %5, %6, %7 × %8")
                             .arg(inked.left())
                             .arg(inked.top())
                             .arg(inked.width())
                             .arg(inked.height())
                             .arg(expected.left())
                             .arg(expected.top())
                             .arg(expected.width())
                             .arg(expected.height());
    QVERIFY2(qAbs(inked.left() - expected.left()) <= tolerance &&
                 qAbs(inked.top() - expected.top()) <= tolerance &&
                 qAbs(inked.right() + 1 - expected.right()) <= tolerance &&
                 qAbs(inked.bottom() + 1 - expected.bottom()) <= tolerance,
             qPrintable(told));
}

// A window on the screen with a coloured sheet, so that the ink starts at its edge, and a curve
// on it; the tick numbers that lie whole on the sheet.
struct PrintFixture {
    QTemporaryDir dir;
    std::unique_ptr<frmCurvane> window = std::make_unique<frmCurvane>(
        nullptr, std::make_unique<QtSettingsStore>(dir.filePath(QStringLiteral("place.ini"))));
    QSize sheet;
    QStringList ticks;

    PrintFixture() {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qWarning("window not shown");
        }
        window->activateWindow();
        QTest::qWait(300);
        CurvaneState& state = window->State();
        state.Settings.BackgroundColor = Rgb(255, 236, 200);
        RedrawSettings(state);
        ExpressionChanged(state, 1, QStringLiteral("sin(x/3)*9"));
        DrawButtonClicked(state, state.scriptEvalFn, 1);
        window->Sheet()->update();
        sheet = state.Sheet.Image().size();
        for (const LabelFamily* family : {&state.Xmoji, &state.Ymoji}) {
            family->ForEachVisible([&](int, const TextLabel& label) {
                // One cut by the sheet's edge is no whole word of the page.
                if (QRectF(QPointF(), QSizeF(sheet))
                        .contains(QRectF(label.left, label.top, label.Width(), label.Height()))) {
                    ticks << label.Text();
                }
            });
        }
    }

    // A page printed as ordered: in high quality vectors and text, no picture, every whole tick
    // number a word of the page; as on the screen the screen's picture, every pixel of it,
    // without loss. The ink at the margins within 0.3 mm, 3 pixels at 10 per millimetre.
    void CheckPage(const QString& pdf, const PrintOrder& order) const {
        QVERIFY(ticks.size() > 10);
        const QList<PdfImage> images = PdfImages(pdf);
        if (order.quality == QStringLiteral("高品質")) { // high quality
            QCOMPARE(images.size(), 0);
            const QStringList words = PdfWords(pdf);
            for (const QString& tick : ticks) {
                QVERIFY2(words.contains(tick), qPrintable(tick + QStringLiteral(" is no word")));
            }
        } else {
            QCOMPARE(images.size(), 1);
            QCOMPARE(QSize(images[0].width, images[0].height), sheet);
            QCOMPARE(images[0].encoding, QStringLiteral("image"));
        }
        CheckInkAt(RenderPage(pdf, pdf + QStringLiteral("-page")), order.left.toDouble(),
                   order.top.toDouble(), sheet, order.zoom.toDouble() / 100.0, 3);
    }
};

// A cups-pdf queue from tests/support/cups-pdf-queue: its name and the folder its files go to,
// or why there is none.
struct PdfQueue {
    QString name;
    QString folder;
    QString missing;
};

PdfQueue FindPdfQueue() {
    QProcess script;
    script.start(QStringLiteral(CURVANE_SOURCE_DIR "/tests/support/cups-pdf-queue"), {});
    if (!script.waitForFinished(60000)) {
        return {{}, {}, QStringLiteral("the queue script did not finish")};
    }
    PdfQueue queue;
    for (const QString& line : QString::fromUtf8(script.readAllStandardOutput()).split('\n')) {
        const QString value = line.section(QLatin1Char(' '), 1);
        if (line.startsWith(QStringLiteral("queue "))) {
            queue.name = value;
        } else if (line.startsWith(QStringLiteral("out "))) {
            queue.folder = value;
        } else if (line.startsWith(QStringLiteral("skip "))) {
            queue.missing = value;
        }
    }
    if (script.exitCode() != 0 && queue.missing.isEmpty()) {
        queue.missing = QStringLiteral("the queue script failed");
    }
    return queue;
}

// Whether the queue still has jobs to do.
bool QueueBusy(const QString& queue) {
    QProcess status;
    status.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue});
    return !status.waitForFinished(10000) || !status.readAllStandardOutput().trimmed().isEmpty();
}

// The PDF files in a folder written since a moment.
QStringList PdfFilesSince(const QString& folder, const QDateTime& since) {
    QStringList made;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
        if (file.lastModified() >= since) {
            made << file.fileName();
        }
    }
    return made;
}

} // namespace

class PrintRealWindowTest : public QObject {
    Q_OBJECT
private slots:
    void printsIntoAPdfChosenInTheSetUp();
    void printsThroughACupsQueue();
    void aJobTheQueueRefusesIsAPrinterError();
};

void PrintRealWindowTest::printsIntoAPdfChosenInTheSetUp() {
    PrintFixture f;
    const PrintOrder order{.printer = PdfFileEntry(),
                           .pdfFile = f.dir.filePath(QStringLiteral("page.pdf")),
                           .left = QStringLiteral("25"),
                           .top = QStringLiteral("15"),
                           .zoom = QStringLiteral("150"),
                           .quality = QStringLiteral("高品質")};
    const Printed printed = PrintFromWindow(*f.window, order);
    QVERIFY(!printed.stuck);
    QVERIFY2(printed.messages.isEmpty(), qPrintable(printed.messages.join(QChar('\n'))));
    QVERIFY(!printed.paper.isEmpty());
    QCOMPARE(printed.target, QStringLiteral("PDF ファイル: page.pdf"));
    QVERIFY(QFile::exists(order.pdfFile));
    f.CheckPage(order.pdfFile, order);
}

// The acceptance check of printing through the platform: from the window to a CUPS queue that
// writes PDF files, in both qualities.
void PrintRealWindowTest::printsThroughACupsQueue() {
    const PdfQueue queue = FindPdfQueue();
    if (!queue.missing.isEmpty()) {
        QSKIP(qPrintable(QStringLiteral("no CUPS queue that writes PDF: ") + queue.missing));
    }
    PrintFixture f;
    for (const QString& quality : {QStringLiteral("高品質"), QStringLiteral("画面のとおり")}) {
        const PrintOrder order{.printer = queue.name,
                               .left = QStringLiteral("23"),
                               .top = QStringLiteral("17"),
                               .zoom = QStringLiteral("80"),
                               .quality = quality};
        const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
        const Printed printed = PrintFromWindow(*f.window, order);
        QVERIFY(!printed.stuck);
        QVERIFY2(printed.messages.isEmpty(), qPrintable(printed.messages.join(QChar('\n'))));
        QCOMPARE(printed.target, queue.name);
        QStringList made;
        QTRY_VERIFY_WITH_TIMEOUT(!QueueBusy(queue.name) &&
                                     !(made = PdfFilesSince(queue.folder, start)).isEmpty(),
                                 90000);
        QCOMPARE(made.size(), 1);
        // The queue's file is taken away, so that the queue's folder does not fill up.
        const QString pdf = f.dir.filePath(made.first());
        QVERIFY(QFile::rename(QDir(queue.folder).filePath(made.first()), pdf));
        f.CheckPage(pdf, order);
        if (QTest::currentTestFailed()) {
            return;
        }
    }
}

// CUPS takes the page and answers; a queue that takes no jobs (as after "cupsreject") answers
// with a refusal, which the user is told of instead of waiting at the printer.
void PrintRealWindowTest::aJobTheQueueRefusesIsAPrinterError() {
    const PdfQueue queue = FindPdfQueue();
    if (!queue.missing.isEmpty()) {
        QSKIP(qPrintable(QStringLiteral("no CUPS queue that writes PDF: ") + queue.missing));
    }
    PrintFixture f;
    QCOMPARE(QProcess::execute(QStringLiteral("cupsreject"), {queue.name}), 0);
    const auto accepting =
        qScopeGuard([&] { QProcess::execute(QStringLiteral("cupsaccept"), {queue.name}); });
    const Printed printed = PrintFromWindow(*f.window, {.printer = queue.name,
                                                        .left = QStringLiteral("10"),
                                                        .top = QStringLiteral("10"),
                                                        .zoom = QStringLiteral("100"),
                                                        .quality = QStringLiteral("高品質")});
    QVERIFY(!printed.stuck);
    QCOMPARE(printed.target, queue.name);
    QCOMPARE(printed.messages.size(), 1);
    // "プリンターエラーです" = printer error, with the print system's reason under it
    QVERIFY2(printed.messages[0].startsWith(QStringLiteral("プリンターエラーです\n")),
             qPrintable(printed.messages[0]));
}

QTEST_MAIN(PrintRealWindowTest)
#include "tst_print_realwindow.moc"

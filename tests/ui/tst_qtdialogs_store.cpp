#include "platform/settings_store.h"
#include "ui/qtdialogs.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QtTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <functional>

namespace {

// Calls act with the modal dialog of type T once it is up.
template <class T>
void WhenUp(const std::function<void(T*)>& act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start(20);
}

// Does to the real font dialog, once it is up, what a user would, and presses OK.
void AnswerFontDialog(const std::function<void(QFontDialog*)>& act) {
    WhenUp<QFontDialog>([act](QFontDialog* dialog) {
        act(dialog);
        dialog->accept();
    });
}

} // namespace

class PlatformMiscTest : public QObject {
    Q_OBJECT
private slots:
    void storeKeepsTextsPerSectionAndKey();
    void fileFiltersBecomeQtNameFilters_data();
    void fileFiltersBecomeQtNameFilters();
    void fontChooserKeepsAnUntouchedFractionalSize();
    void saveDialogAsksBeforeReplacingAFile();
};

void PlatformMiscTest::storeKeepsTextsPerSectionAndKey() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("store.ini"));
    const QString app = QStringLiteral("Curvane");
    const QString section = QStringLiteral("Settings");
    {
        QtSettingsStore store(path);
        QCOMPARE(store.Get(app, section, QStringLiteral("MainLeft"), QStringLiteral("1000")),
                 QStringLiteral("1000"));
        store.Save(app, section, QStringLiteral("MainLeft"), QStringLiteral("1500"));
    }
    QtSettingsStore reopened(path);
    QCOMPARE(reopened.Get(app, section, QStringLiteral("MainLeft"), QStringLiteral("1000")),
             QStringLiteral("1500"));
    QCOMPARE(reopened.Get(app, section, QStringLiteral("MainTop"), QStringLiteral("1000")),
             QStringLiteral("1000"));
}

void PlatformMiscTest::fileFiltersBecomeQtNameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    QTest::newRow("one pair") << "設定ファイル (*.cvf)|*.cvf"
                              << "設定ファイル (*.cvf)";
    QTest::newRow("pattern added") << "Bitmap|*.bmp"
                                   << "Bitmap (*.bmp)";
    QTest::newRow("several patterns and pairs") << "画像|*.bmp;*.jpg|すべて|*.*"
                                                << "画像 (*.bmp *.jpg);;すべて (*.*)";
    QTest::newRow("dangling description dropped") << "A|*.a|B"
                                                  << "A (*.a)";
}

void PlatformMiscTest::fileFiltersBecomeQtNameFilters() {
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(ToQtNameFilter(filter), qt);
}

void PlatformMiscTest::fontChooserKeepsAnUntouchedFractionalSize() {
    QWidget parent;
    QtDialogs dialogs(&parent);
    FontSpec preset = DefaultLabelFont();
    preset.size = 9.75;
    preset.underline = true;

    // OK without a change: 9.75 points stay 9.75, not the 10 the chooser shows.
    AnswerFontDialog([](QFontDialog*) {});
    std::optional<FontSpec> chosen = dialogs.ChooseFont(preset);
    QVERIFY(chosen.has_value());
    QCOMPARE(chosen->size, 9.75);
    QVERIFY(chosen->underline);

    // A size the user picks is taken as it is.
    AnswerFontDialog([](QFontDialog* dialog) {
        QFont font = dialog->currentFont();
        font.setPointSize(12);
        dialog->setCurrentFont(font);
    });
    chosen = dialogs.ChooseFont(preset);
    QVERIFY(chosen.has_value());
    QCOMPARE(chosen->size, 12.0);
}

// The README promises it: a save dialog given an existing file asks before it replaces it.
void PlatformMiscTest::saveDialogAsksBeforeReplacingAFile() {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("graph.cvf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QWidget parent;
    QtDialogs dialogs(&parent);
    QString asked;
    WhenUp<QFileDialog>([&](QFileDialog* dialog) {
        WhenUp<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file.fileName());
        static_cast<QDialog*>(dialog)->accept(); // as "保存" (save) does
    });
    QCOMPARE(dialogs.SaveFileName(QStringLiteral("t"), QStringLiteral("f|*.cvf")), file.fileName());
    QVERIFY2(asked.contains(QStringLiteral("graph.cvf")), qPrintable(asked));
}

QTEST_MAIN(PlatformMiscTest)
#include "tst_qtdialogs_store.moc"

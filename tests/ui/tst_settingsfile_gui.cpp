#include "tests/ui/windowfixture.h"
#include "ui/frmcurvane.h"
#include "ui/sheetview.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <sys/stat.h>

namespace {

struct Fixture : WindowFixture {
    // The settings file commands on their own: work is let go without a worksheet kept.
    Fixture() { dialogs->unscriptedAnswer = 1; } // "保存しない" = don't save
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
    void SaveAs(const QString& path) {
        dialogs->paths.push_back(path);
        Trigger("mnuFileSaveAs");
    }
    void Open(const QString& path) {
        dialogs->paths.push_back(path);
        Trigger("mnuFileOpen");
    }
    void Type(const char* box, const char* text) {
        auto* edit = Find<QLineEdit>(box);
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }
    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
};

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qWarning("cannot write %s", qPrintable(path));
    }
}

// Field n (from 1) of a settings line replaced.
QByteArray WithField(const QByteArray& line, int n, const QByteArray& text) {
    QList<QByteArray> parts = line.trimmed().split(',');
    parts[n - 1] = text;
    return parts.join(',') + "\r\n";
}

QByteArray Jpeg() {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(30, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    return bytes;
}

} // namespace

class SettingsFileGuiTest : public QObject {
    Q_OBJECT
private slots:
    void saveBeforeANameDoesNothing();
    void cancelledDialogsChangeNothing();
    void saveAsUsesTheNameAsTyped();
    void openBringsBackTheWholeSetUp();
    void openKeepsAVisibleRowWithAnEmptyText();
    void brokenFileChangesNothingAndSaysSo();
    void refusedFilesSayWhyAndChangeNothing();
    void failedWriteIsReported();
    void newResetsEverything();
    void renderDrawsWhatTheWindowDraws();
    void windowSizeFromAFileIsSavedAsTheFileHadIt();
};

void SettingsFileGuiTest::saveBeforeANameDoesNothing() {
    Fixture f;
    f.Trigger("mnuFileSave");
    QVERIFY(f.dialogs->asked.isEmpty());
    f.window->tbToolBar_ButtonClick(QStringLiteral("上書き保存")); // the toolbar's save
    QVERIFY(f.dialogs->asked.isEmpty());
    QVERIFY(f.State().SettingsFileName.isEmpty());
}

void SettingsFileGuiTest::cancelledDialogsChangeNothing() {
    Fixture f;
    f.Trigger("mnuFileSaveAs");
    f.Trigger("mnuFileOpen");
    QCOMPARE(f.dialogs->asked.size(), 2);
    QCOMPARE(f.dialogs->asked[0].title, QStringLiteral("名前を付けて保存"));
    QCOMPARE(f.dialogs->asked[0].text, QStringLiteral("設定ﾌｧｲﾙ (*.cvf)|*.cvf"));
    QCOMPARE(f.dialogs->asked[1].title, QStringLiteral("設定読み込み"));
    QVERIFY(f.State().SettingsFileName.isEmpty());
}

void SettingsFileGuiTest::saveAsUsesTheNameAsTyped() {
    Fixture f;
    f.SaveAs(f.Path("graph"));
    QVERIFY(QFile::exists(f.Path("graph")));
    QVERIFY(!QFile::exists(f.Path("graph.cvf")));
    QCOMPARE(f.State().SettingsFileName, f.Path("graph"));
    // Save now writes there, replacing the file.
    f.Type("txtF1", "x");
    f.window->tbToolBar_ButtonClick(QStringLiteral("上書き保存"));
    QVERIFY(Contents(f.Path("graph")).contains("\"x\""));
    QVERIFY(f.dialogs->Messages().isEmpty());
}

void SettingsFileGuiTest::openBringsBackTheWholeSetUp() {
    Fixture f;
    f.Type("txtF1", "sin(x)");
    f.Click("cmdF2add");
    f.Type("txtF2", "x");
    f.dialogs->colors.push_back(Rgb(0, 0, 255));
    QTest::mouseClick(f.Find<QLabel>("lblF2color"), Qt::LeftButton);
    f.Find<QScrollBar>("scrXMsize")->setValue(4);
    f.Type("txtYObias", "-0.25");
    f.SaveAs(f.Path("setup.cvf"));

    f.Trigger("mnuFileNew");
    QVERIFY(!f.Find<QLineEdit>("txtF2")->isVisible());
    QCOMPARE(f.State().Settings.XMediumEvery, std::int16_t(5));

    f.Open(f.Path("setup.cvf"));
    QCOMPARE(f.Find<QLineEdit>("txtF1")->text(), QStringLiteral("sin(x)"));
    QVERIFY(f.Find<QLineEdit>("txtF2")->isVisible());
    QCOMPARE(f.Find<QLineEdit>("txtF2")->text(), QStringLiteral("x"));
    QCOMPARE(f.State().Slots[1].Color, Rgb(0, 0, 255));
    QCOMPARE(f.State().Settings.XMediumEvery, std::int16_t(4));
    QCOMPARE(f.Find<QScrollBar>("scrXMsize")->value(), 4);
    QCOMPARE(f.Find<QLineEdit>("txtYObias")->text(), QStringLiteral("-0.25"));
    QCOMPARE(f.State().Graph.YOriginValue, -0.25);
    QCOMPARE(f.Find<QPushButton>("cmdF1draw")->text(), QStringLiteral("描画"));
    QVERIFY(!f.State().Slots[0].Drawn);
    // Saving again writes the same bytes.
    f.SaveAs(f.Path("again.cvf"));
    QCOMPARE(Contents(f.Path("again.cvf")), Contents(f.Path("setup.cvf")));
}

void SettingsFileGuiTest::openKeepsAVisibleRowWithAnEmptyText() {
    Fixture f;
    f.SaveAs(f.Path("plain.cvf"));
    f.Click("cmdF2add");
    f.Type("txtF2", "x");
    f.Open(f.Path("plain.cvf"));
    QVERIFY(f.Find<QLineEdit>("txtF2")->isVisible());
    QVERIFY(f.Find<QLineEdit>("txtF2")->text().isEmpty());
}

void SettingsFileGuiTest::brokenFileChangesNothingAndSaysSo() {
    Fixture f;
    f.SaveAs(f.Path("good.cvf"));
    QByteArray line = Contents(f.Path("good.cvf")).trimmed();
    line.truncate(line.lastIndexOf(',')); // 51 fields
    line.replace("4,4,5,5,2,2", "9,9,5,5,2,2");
    QFile broken(f.Path("broken.cvf"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(line + "\r\n");
    broken.close();
    f.Type("txtF1", "x");
    const QImage before = f.State().Sheet.Image();
    f.Open(f.Path("broken.cvf"));
    QCOMPARE(f.State().Settings.XSmallSpacing, std::int16_t(4));
    QCOMPARE(f.Find<QLineEdit>("txtF1")->text(), QStringLiteral("x"));
    QCOMPARE(f.State().Sheet.Image(), before);
    QCOMPARE(f.dialogs->Messages().size(), 1);
    QVERIFY(f.dialogs->Messages()[0].startsWith(
        QStringLiteral("設定ファイルを読み込めませんでした。\n") + f.Path("broken.cvf")));
    // Save still writes to the file that was open before, not over the broken one.
    QCOMPARE(f.State().SettingsFileName, f.Path("good.cvf"));
}

void SettingsFileGuiTest::refusedFilesSayWhyAndChangeNothing() {
    Fixture f;
    f.Type("txtF1", "sin(x)");
    f.SaveAs(f.Path("good.cvf"));
    const QByteArray good = Contents(f.Path("good.cvf"));
    QByteArray short51 = good.trimmed();
    short51.truncate(short51.lastIndexOf(','));
    QByteArray brokenLine = good;
    brokenLine.replace(",1,1,", ",1,1\r\n,"); // a line break after field 39, text after it
    QCOMPARE(mkfifo(QFile::encodeName(f.Path("pipe.cvf")).constData(), 0600), 0);

    struct Case {
        const char* name;
        QByteArray bytes; // written to the file unless it is one of the special paths
        QString reason;   // what the message must say besides the path
    };
    const QList<Case> cases = {
        // "設定ファイルではありません" = not a settings file; "NUL" bytes
        {"photo.jpg", Jpeg() + QByteArray(60, ',') + "\r\n",
         QStringLiteral("設定ファイルではありません（NUL")},
        // "項目が足りません（52 項目のうち 51 項目しかありません）" = only 51 of 52 fields
        {"short.cvf", short51 + "\r\n",
         QStringLiteral("項目が足りません（52 項目のうち 51 項目しかありません）")},
        // "40 番目の項目の前で改行されています" = a line break before field 40
        {"twolines.cvf", brokenLine, QStringLiteral("40 番目の項目の前で改行されています")},
        // "7 番目の項目の値が範囲外です" = field 7's value is out of range
        {"range.cvf", WithField(good, 7, "40000"), QStringLiteral("7 番目の項目の値が範囲外です")},
        // "38 番目の項目が数値ではありません" = field 38 is not a number
        {"kind.cvf", WithField(good, 38, "\"abc\""),
         QStringLiteral("38 番目の項目が数値ではありません")},
        // "ファイルが見つかりません" = the file cannot be found
        {"missing.cvf", {}, QStringLiteral("ファイルが見つかりません")},
        // "通常のファイルではない" = not a regular file
        {"pipe.cvf", {}, QStringLiteral("通常のファイルではない")},
    };
    f.State().BitmapFileName = f.Path("kept.bmp");
    f.Type("txtF1", "x");
    f.Click("cmdF2add");
    f.Type("txtF2", "x/2");
    for (const Case& c : cases) {
        const QString path = f.Path(c.name);
        if (!c.bytes.isEmpty()) {
            Write(path, c.bytes);
        }
        const QImage before = f.State().Sheet.Image();
        const qsizetype messages = f.dialogs->Messages().size();
        f.Open(path);
        QVERIFY2(f.dialogs->Messages().size() == messages + 1, c.name);
        const QString message = f.dialogs->Messages().last();
        QVERIFY2(message.startsWith(QStringLiteral("設定ファイルを読み込めませんでした。\n") +
                                    path + QStringLiteral("\n")),
                 qPrintable(message));
        QVERIFY2(message.contains(c.reason), qPrintable(message));
        // Nothing changed: the texts, the sheet, both remembered names.
        QCOMPARE(f.Find<QLineEdit>("txtF1")->text(), QStringLiteral("x"));
        QCOMPARE(f.Find<QLineEdit>("txtF2")->text(), QStringLiteral("x/2"));
        QCOMPARE(f.State().Sheet.Image(), before);
        QCOMPARE(f.State().SettingsFileName, f.Path("good.cvf"));
        QCOMPARE(f.State().BitmapFileName, f.Path("kept.bmp"));
    }
}

void SettingsFileGuiTest::failedWriteIsReported() {
    Fixture f;
    f.SaveAs(f.Path("good.cvf"));
    const QByteArray good = Contents(f.Path("good.cvf"));
    f.SaveAs(f.Path("no/such/folder/x.cvf"));
    QCOMPARE(f.dialogs->Messages().size(), 1);
    QVERIFY(
        f.dialogs->Messages()[0].startsWith(QStringLiteral("設定ファイルを保存できませんでした")));
    QCOMPARE(Contents(f.Path("good.cvf")), good);
}

void SettingsFileGuiTest::newResetsEverything() {
    Fixture f;
    f.Type("txtF1", "x");
    f.Click("cmdF1draw");
    f.Click("cmdF3add");
    f.Find<QScrollBar>("scrYSsize")->setValue(9);
    f.Type("txtXSvalue", "3");
    f.Find<QComboBox>("cboXTanni")->setEditText(QStringLiteral("deg"));
    f.State().Sheet.SetPicture(QImage(10, 10, QImage::Format_RGB32));
    f.window->tbToolBar_ButtonClick(QStringLiteral("新規作成"));
    QVERIFY(f.Find<QLineEdit>("txtF1")->text().isEmpty());
    QVERIFY(!f.Find<QLineEdit>("txtF3")->isVisible());
    QCOMPARE(f.State().Settings.YSmallSpacing, std::int16_t(4));
    QCOMPARE(f.Find<QScrollBar>("scrYSsize")->value(), 4);
    QCOMPARE(f.Find<QLineEdit>("txtXSvalue")->text(), QStringLiteral("1"));
    QCOMPARE(f.Find<QComboBox>("cboXTanni")->currentText(), QStringLiteral("単位 1"));
    QVERIFY(!f.State().Sheet.HasPicture());
    QCOMPARE(f.Find<QPushButton>("cmdF1draw")->text(), QStringLiteral("描画"));
    QCOMPARE(FromQColor(f.State().Sheet.Image().pixelColor(100, 60)), Rgb(255, 255, 255));
}

void SettingsFileGuiTest::renderDrawsWhatTheWindowDraws() {
    Fixture f;
    f.Type("txtF1", "sin(x)*20");
    f.Click("cmdF2add");
    f.Type("txtF2", "x/2");
    f.Click("cmdF3add");
    f.Type("txtF3", "10-x^2/8");
    f.dialogs->colors.push_back(Rgb(200, 0, 0));
    QTest::mouseClick(f.Find<QLabel>("lblF1color"), Qt::LeftButton);
    f.dialogs->popupChoices.push_back(4); // 点2
    QTest::mouseClick(f.Find<QLabel>("lblF2style"), Qt::LeftButton);
    f.dialogs->popupChoices.push_back(6); // 鎖1
    QTest::mouseClick(f.Find<QLabel>("lblF3style"), Qt::LeftButton);
    f.Type("txtXSvalue", "0.5");
    f.SaveAs(f.Path("three.cvf"));
    f.Click("cmdF1draw");
    f.Click("cmdF2draw");
    f.Click("cmdF3draw");
    SheetView* sheet = f.window->Sheet();
    const QImage shown =
        sheet->grab(sheet->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);

    QProcess render;
    render.start(QStringLiteral(CURVANE_PROGRAM), {QStringLiteral("--render"), f.Path("three.cvf"),
                                                   QStringLiteral("--out"), f.Path("three.png")});
    QVERIFY(render.waitForFinished(30000));
    QCOMPARE(render.exitCode(), 0);
    const QImage rendered = QImage(f.Path("three.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(rendered.size(), QSize(331, 253));
    QCOMPARE(rendered, shown);

    // A file that is not there, or not a settings file: one line on standard error, exit code 1.
    render.start(QStringLiteral(CURVANE_PROGRAM), {QStringLiteral("--render"), f.Path("none.cvf"),
                                                   QStringLiteral("--out"), f.Path("none.bmp")});
    QVERIFY(render.waitForFinished(30000));
    QCOMPARE(render.exitCode(), 1);
    QVERIFY(render.readAllStandardError().contains("curvane: no such settings file"));
    QVERIFY(!QFile::exists(f.Path("none.bmp")));
}

void SettingsFileGuiTest::windowSizeFromAFileIsSavedAsTheFileHadIt() {
    Fixture f;
    // 7010 × 7000 twips: 467.3 × 466.7 pixels, which the window shows as 467 × 467.
    f.SaveAs(f.Path("mine.cvf"));
    QByteArray line = Contents(f.Path("mine.cvf"));
    QList<QByteArray> fields = line.split(',');
    fields[0] = "7010";
    fields[1] = "7000";
    QFile asked(f.Path("asked.cvf"));
    QVERIFY(asked.open(QIODevice::WriteOnly));
    asked.write(fields.join(','));
    asked.close();

    f.Open(f.Path("asked.cvf"));
    QCOMPARE(f.window->frameGeometry().size(), QSize(467, 467));
    f.window->tbToolBar_ButtonClick(QStringLiteral("上書き保存"));
    QCOMPARE(Contents(f.Path("asked.cvf")).split(',').mid(0, 2),
             (QList<QByteArray>{"7010", "7000"}));
    // Saved and opened again, the size stays what the file said (no drift of 5 twips a round).
    f.Open(f.Path("asked.cvf"));
    f.SaveAs(f.Path("again.cvf"));
    QCOMPARE(Contents(f.Path("again.cvf")).split(',').mid(0, 2),
             (QList<QByteArray>{"7010", "7000"}));

    // Once the window is made taller, its own size is what a save writes; the unchanged width
    // keeps the file's twips.
    f.window->resize(f.window->width(), f.window->height() + 10);
    QTRY_COMPARE(f.window->frameGeometry().height(), 477);
    f.window->tbToolBar_ButtonClick(QStringLiteral("上書き保存"));
    QCOMPARE(Contents(f.Path("again.cvf")).split(',').mid(0, 2),
             (QList<QByteArray>{"7010", "7155"}));
}

QTEST_MAIN(SettingsFileGuiTest)
#include "tst_settingsfile_gui.moc"

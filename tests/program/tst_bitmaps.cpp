#include "program/bitmapcommands.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/textlabels.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/pixels.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtTest/QtTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

constexpr ColorRef TickBlue = Rgb(0, 0, 255);

struct Sheet {
    CurvaneState state;
    FakeDialogs dialogs;
    QTemporaryDir dir;
    Sheet() { StartGraph(state, 400, 300); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void DrawCurve(const char* expression, ColorRef colour) {
        ExpressionChanged(state, 1, QString::fromLatin1(expression));
        SlotOf(state.Slots, 1).Color = colour;
        DrawButtonClicked(state, state.scriptEvalFn, 1);
    }
};

int Count(const QImage& image, QRect area, ColorRef colour) {
    return CountPixels(image, colour, area);
}

// The area of a label in the image.
QRect AreaOf(const TextLabel& label) {
    return QRectF(label.left, label.top, label.Width(), label.Height()).toAlignedRect();
}

// While it lives, no file of this process may grow past a few bytes, as on a full disk: a write
// beyond fails with EFBIG (SIGXFSZ ignored).
class FullDisk {
public:
    FullDisk() {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{1000, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

QString SystemWords(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

class BitmapsTest : public QObject {
    Q_OBJECT
private slots:
    void saveBeforeANameDoesNothing();
    void savedBitmapHoldsTheLabels();
    void savedPictureIsWhatItsNameSays_data();
    void savedPictureIsWhatItsNameSays();
    void cancelledSaveAsLeavesTheSheetAsItWas();
    void failedSaveIsReported();
    void failedPictureCommandsSayWhereAndWhy();
    void readPictureLiesUnderTheGrid();
    void unreadablePictureChangesNothing();
    void copyAndPaste();
};

void BitmapsTest::saveBeforeANameDoesNothing() {
    Sheet s;
    const QImage before = s.state.Sheet.Image();
    SaveBitmap(s.state, s.dialogs, false);
    QVERIFY(s.dialogs.asked.isEmpty());
    QCOMPARE(s.state.Sheet.Image(), before);
}

void BitmapsTest::savedBitmapHoldsTheLabels() {
    Sheet s;
    // One tick number coloured on its own, one hidden, one free label in red.
    SetLabelColor(s.state, RefTo(s.state, LabelKind::XTick, 2), Rgb(0, 200, 0));
    s.state.Xmoji.At(3).visible = false;
    AddFreeLabel(s.state, 20, 120);
    SetLabelColor(s.state, RefTo(s.state, LabelKind::Free, 1), Rgb(255, 0, 0));
    s.dialogs.paths.push_back(s.Path("graph.bmp"));
    SaveBitmap(s.state, s.dialogs, true);
    QCOMPARE(s.dialogs.asked[0].title, QStringLiteral("画像を名前を付けて保存"));
    QCOMPARE(s.dialogs.asked[0].text, QStringLiteral("画像ﾌｧｲﾙ (*.bmp)|*.bmp|PNG (*.png)|*.png"));
    QCOMPARE(s.state.BitmapFileName, s.Path("graph.bmp"));

    QImage saved(s.Path("graph.bmp"), "bmp");
    QCOMPARE(saved.size(), QSize(400, 300));
    // A tick number given its own colour is stamped in it, the others in their family's.
    QVERIFY(Count(saved, AreaOf(s.state.Xmoji.At(2)), Rgb(0, 200, 0)) > 5);
    QCOMPARE(Count(saved, AreaOf(s.state.Xmoji.At(2)), TickBlue), 0);
    QVERIFY(Count(saved, AreaOf(s.state.Xmoji.At(4)), TickBlue) > 5);
    QCOMPARE(Count(saved, AreaOf(s.state.Xmoji.At(3)), TickBlue), 0); // hidden
    QVERIFY(Count(saved, AreaOf(s.state.AddMoji.At(1)), Rgb(255, 0, 0)) > 0);
    // The sheet itself is clean again: the labels lie on top, not in it.
    QCOMPARE(Count(s.state.Sheet.Image(), AreaOf(s.state.Xmoji.At(2)), TickBlue), 0);

    s.state.AddMoji.At(1).visible = false;
    SaveBitmap(s.state, s.dialogs, false); // Save writes to the same name without asking
    QCOMPARE(s.dialogs.asked.size(), 1);
    QCOMPARE(
        Count(QImage(s.Path("graph.bmp"), "bmp"), AreaOf(s.state.AddMoji.At(1)), Rgb(255, 0, 0)),
        0);
}

void BitmapsTest::savedPictureIsWhatItsNameSays_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("magic");
    const QByteArray jpeg("\xFF\xD8\xFF");
    const QByteArray png("\x89PNG");
    QTest::newRow("jpg stays JPEG") << "photo.jpg" << jpeg;
    QTest::newRow("jpeg stays JPEG") << "photo.jpeg" << jpeg;
    QTest::newRow("upper-case JPG") << "PHOTO.JPG" << jpeg;
    QTest::newRow("png stays PNG") << "photo.png" << png;
    QTest::newRow("bmp is BMP") << "photo.bmp" << QByteArray("BM");
    QTest::newRow("gif is BMP, as every other name") << "photo.gif" << QByteArray("BM");
    QTest::newRow("no extension is BMP") << "photo" << QByteArray("BM");
}

// A picture read from a file and saved over keeps the kind its name says (a JPEG used to become
// BMP data under its .jpg name); the saved picture is the sheet with its labels.
void BitmapsTest::savedPictureIsWhatItsNameSays() {
    QFETCH(QString, name);
    QFETCH(QByteArray, magic);
    Sheet s;
    const QString path = s.dir.filePath(name);
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(QColor(250, 200, 0));
    QVERIFY(photo.save(path,
                       name.endsWith(QStringLiteral("png"), Qt::CaseInsensitive) ? "png" : "jpg"));
    s.dialogs.paths.push_back(path);
    QVERIFY(ReadPicture(s.state, s.dialogs));
    SaveBitmap(s.state, s.dialogs, false);
    QVERIFY(s.dialogs.Messages().isEmpty());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(magic.size()), magic);
    file.close();
    const QImage saved(path);
    QCOMPARE(saved.size(), QSize(400, 300));
    // The tick numbers are in it: blue on the yellow picture and the cyan grid (JPEG blurs them).
    const QRect number = AreaOf(s.state.Xmoji.At(2));
    int blue = 0;
    for (int y = number.top(); y <= number.bottom(); ++y) {
        for (int x = number.left(); x <= number.right(); ++x) {
            const QColor c = saved.pixelColor(x, y);
            blue += c.blue() > 80 && c.green() < 150 ? 1 : 0;
        }
    }
    QVERIFY(blue > 3);
}

void BitmapsTest::cancelledSaveAsLeavesTheSheetAsItWas() {
    Sheet s;
    s.DrawCurve("x", Rgb(0, 0, 0));
    const QImage before = s.state.Sheet.Image();
    SaveBitmap(s.state, s.dialogs, true);
    QCOMPARE(s.state.Sheet.Image(), before);
    QVERIFY(s.state.BitmapFileName.isEmpty());
}

void BitmapsTest::failedSaveIsReported() {
    Sheet s;
    s.dialogs.paths.push_back(s.Path("no/such/folder/x.bmp"));
    SaveBitmap(s.state, s.dialogs, true);
    QCOMPARE(s.dialogs.Messages().size(), 1);
    QVERIFY(s.dialogs.Messages()[0].startsWith(QStringLiteral("画像を保存できませんでした")));
}

void BitmapsTest::failedPictureCommandsSayWhereAndWhy() {
    Sheet s;
    s.DrawCurve("x", Rgb(0, 0, 0));
    const QImage sheet = s.state.Sheet.Image();
    QFile old(s.Path("old.bmp"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older picture");
    old.close();
    const QString fifo = s.Path("pipe.bmp");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    s.state.BitmapFileName = s.Path("old.bmp");

    // "画像を保存できませんでした" = the picture could not be saved; "画像を読み込めません
    // でした" = the picture could not be read.
    const QString saveHead = QStringLiteral("画像を保存できませんでした。\n");
    const QString readHead = QStringLiteral("画像を読み込めませんでした。\n");
    // Save as into a folder that is not there.
    const QString nowhere = s.Path("no/such/folder/x.bmp");
    s.dialogs.paths.push_back(nowhere);
    SaveBitmap(s.state, s.dialogs, true);
    // Save as onto a FIFO.
    s.dialogs.paths.push_back(fifo);
    SaveBitmap(s.state, s.dialogs, true);
    // Save over the remembered file on a full disk.
    {
        FullDisk full;
        SaveBitmap(s.state, s.dialogs, false);
    }
    // Read a FIFO (refused at once, not waiting for a writer), and a file that is not there.
    s.dialogs.paths.push_back(fifo);
    QVERIFY(!ReadPicture(s.state, s.dialogs));
    s.dialogs.paths.push_back(s.Path("gone.png"));
    QVERIFY(!ReadPicture(s.state, s.dialogs));

    const QStringList expected = {
        // "ファイルまたはフォルダが見つかりません" = no such file or folder
        saveHead + nowhere + QStringLiteral("\nファイルまたはフォルダが見つかりません（") +
            SystemWords(ENOENT) + QStringLiteral("）"),
        // "通常のファイルではない" = not a regular file
        saveHead + fifo + QStringLiteral("\n通常のファイルではない"),
        // "ファイルが大きすぎます" = the file is too large
        saveHead + s.Path("old.bmp") + QStringLiteral("\nファイルが大きすぎます（") +
            SystemWords(EFBIG) + QStringLiteral("）"),
        readHead + fifo + QStringLiteral("\n通常のファイルではない"),
        // "ファイルが見つかりません" = the file cannot be found
        readHead + s.Path("gone.png") + QStringLiteral("\nファイルが見つかりません（") +
            SystemWords(ENOENT) + QStringLiteral("）"),
    };
    const QStringList messages = s.dialogs.Messages();
    QCOMPARE(messages.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QVERIFY2(messages[i].startsWith(expected[i]), qPrintable(messages[i]));
    }
    // Nothing was lost or changed: the old file, the FIFO, the remembered name, the sheet.
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("an older picture"));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    QCOMPARE(s.state.BitmapFileName, s.Path("old.bmp"));
    QCOMPARE(s.state.Sheet.Image(), sheet);
}

void BitmapsTest::readPictureLiesUnderTheGrid() {
    Sheet s;
    s.DrawCurve("x", Rgb(0, 0, 0));
    QImage picture(600, 20, QImage::Format_RGB32); // wider than the sheet
    picture.fill(QColor(250, 200, 0));
    QVERIFY(picture.save(s.Path("stripe.png")));
    s.dialogs.paths.push_back(s.Path("stripe.png"));
    QVERIFY(ReadPicture(s.state, s.dialogs));
    QCOMPARE(s.dialogs.asked[0].title, QStringLiteral("画像の読み込み"));
    QCOMPARE(s.dialogs.asked[0].text,
             QStringLiteral("画像ﾌｧｲﾙ|*.bmp;*.wmf;*.emf;*.jpg;*.gif;*.png;*.jpeg;"));
    const QImage& shown = s.state.Sheet.Image();
    QCOMPARE(FromQColor(shown.pixelColor(398, 5)), Rgb(250, 200, 0)); // its top-left part
    QCOMPARE(FromQColor(shown.pixelColor(398, 25)), Rgb(255, 255, 255));
    QCOMPARE(FromQColor(shown.pixelColor(240, 7)), Rgb(32, 255, 255)); // the grid over it
    QCOMPARE(s.state.Graph.GraphWidthPx, 400.0f);
    QCOMPARE(Count(shown, QRect(0, 0, 400, 300), Rgb(0, 0, 0)), 0); // no curve until a redraw
    QVERIFY(SlotOf(s.state.Slots, 1).Drawn);
}

void BitmapsTest::unreadablePictureChangesNothing() {
    Sheet s;
    QFile junk(s.Path("junk.bmp"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    s.state.BitmapFileName = s.Path("kept.bmp");
    const QImage before = s.state.Sheet.Image();
    s.dialogs.paths.push_back(s.Path("junk.bmp"));
    QVERIFY(!ReadPicture(s.state, s.dialogs));
    // Told so, and the next Save still writes to the name it had: not over the text file.
    QCOMPARE(s.dialogs.Messages().size(), 1);
    QVERIFY(s.dialogs.Messages()[0].startsWith(QStringLiteral("画像を読み込めませんでした。\n") +
                                               s.Path("junk.bmp")));
    QCOMPARE(s.state.BitmapFileName, s.Path("kept.bmp"));
    QCOMPARE(s.state.Sheet.Image(), before);
}

void BitmapsTest::copyAndPaste() {
    Sheet s;
    s.DrawCurve("0", Rgb(200, 0, 0));
    CopyToClipboard(s.state);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(400, 300));
    QVERIFY(Count(copied, AreaOf(s.state.Xmoji.At(2)), TickBlue) > 5);
    QVERIFY(Count(copied, QRect(0, 150, 400, 1), Rgb(200, 0, 0)) > 300);

    QGuiApplication::clipboard()->clear();
    const QImage before = s.state.Sheet.Image();
    QVERIFY(!PasteFromClipboard(s.state)); // no picture: the sheet stays
    QCOMPARE(s.state.Sheet.Image(), before);

    QImage picture(50, 50, QImage::Format_ARGB32);
    picture.fill(Qt::transparent); // transparent parts show the background colour
    QGuiApplication::clipboard()->setImage(picture);
    s.state.Settings.BackgroundColor = Rgb(10, 20, 30);
    QVERIFY(PasteFromClipboard(s.state));
    QCOMPARE(FromQColor(s.state.Sheet.Image().pixelColor(1, 1)), Rgb(10, 20, 30));
    QVERIFY(s.state.Sheet.HasPicture());
}

QTEST_MAIN(BitmapsTest)
#include "tst_bitmaps.moc"

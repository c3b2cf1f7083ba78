#include "files/settingsfile.h"
#include "program/curvanestate.h"
#include "program/settingscommands.h"
#include "program/sheetops.h"
#include "tests/support/fakedialogs.h"

#include <QtCore/QBuffer>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>
#include <QtTest/QtTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray Fields(const QByteArray& line, int from, int to) {
    QList<QByteArray> parts = line.trimmed().split(',');
    return parts.mid(from - 1, to - from + 1).join(',');
}

SettingsFileData DefaultData() {
    CurvaneState state;
    StartGraph(state, 400, 300);
    return CaptureSettings(state, 6915, 5955);
}

QByteArray Line(const SettingsFileData& data) {
    WriteProblem problem = WriteProblem::None;
    return WriteSettingsLine(data, &problem).value_or(QByteArray());
}

// Replaces field n (from 1) of a written line.
QByteArray WithField(QByteArray line, int n, const QByteArray& text) {
    QList<QByteArray> parts = line.trimmed().split(',');
    parts[n - 1] = text;
    return parts.join(',') + "\r\n";
}

// A real JPEG, as a camera or another program would leave one, with enough commas after it for
// 52 fields.
QByteArray JpegWithCommas() {
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            picture.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) % 256));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "JPEG")) {
        qWarning("no JPEG writer");
    }
    return bytes + QByteArray(60, ',') + "\r\n";
}

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT
private slots:
    void defaultsComeOutAsTheWorkedExample();
    void everyValueSurvivesARoundTrip();
    void fieldCountDecides();
    void aPictureWithCommasIsNoSettingsFile();
    void refusalsSayWhy_data();
    void refusalsSayWhy();
    void readingIsLenient_data();
    void readingIsLenient();
    void numbersThatDoNotFitFail();
    void textsTheFormatCannotHoldAreRefused();
    void refusalNamesTheFieldThatHoldsTheText_data();
    void refusalNamesTheFieldThatHoldsTheText();
    void windowSizeToSave_data();
    void windowSizeToSave();
    void applyingSizesTheSheetAndShowsRows();
    void refusedSheetSizeKeepsTheSheet();
    void aFileWithAnUnusableSheetSizeIsRefused_data();
    void aFileWithAnUnusableSheetSizeIsRefused();
    void saveOntoAFifoIsRefusedAndForgotten();
    void failedSavesSayWhereAndWhy();
};

void SettingsFileTest::defaultsComeOutAsTheWorkedExample() {
    const QByteArray line = Line(DefaultData());
    QVERIFY(line.endsWith("\r\n"));
    QCOMPARE(line.count("\r\n"), 1);
    QCOMPARE(Fields(line, 1, 6), QByteArray("6915,5955,400,300,200,150"));
    QCOMPARE(Fields(line, 7, 22),
             QByteArray("0,0,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,4,4,5,5,2,2"));
    QCOMPARE(Fields(line, 23, 37), QByteArray("16777152,16777152,16777072,16777072,16776992,"
                                              "16776992,16740464,16740464,16777215,4,4,16711680,"
                                              "16711680,9,9"));
    // "単位 1" and "実1" in the Japanese code page.
    const QByteArray unit = QByteArray::fromHex("925088ca2031");
    const QByteArray solid = QByteArray::fromHex("8ec031");
    QCOMPARE(Fields(line, 38, 52), "1,1,\"" + unit + "\",\"" + unit +
                                       "\",0,0,\"\",\"\",\"\",0,0,0,\"" + solid + "\",\"" + solid +
                                       "\",\"" + solid + "\"");
}

void SettingsFileTest::everyValueSurvivesARoundTrip() {
    SettingsFileData d = DefaultData();
    d.windowWidth = 9000.5f;
    d.graphWidthPx = 512;
    d.settings.OriginX = 12.25f;
    d.settings.OriginY = -0.5f;
    d.settings.XSide = 1;
    d.settings.YSide = -1;
    d.settings.YMediumLinesOn = false;
    d.settings.XAxisOn = false;
    d.settings.XSmallSpacing = 100;
    d.settings.YLargeEvery = 20;
    d.settings.YSmallLineColor = Rgb(1, 2, 3); // the pair differs
    d.settings.XSmallLineColor = Rgb(4, 5, 6);
    d.settings.BackgroundColor = Rgb(255, 250, 240);
    d.settings.XTickLabelMode = 2;
    d.settings.YTickLabelColor = Rgb(0, 128, 0);
    d.settings.XTickLabelSize = 12.5f;
    d.xSmallValue = 0.1;
    d.ySmallValue = 1e-5;
    d.xUnitName = QStringLiteral("deg");
    d.yUnitName = QStringLiteral("π");
    d.xOriginValue = -1234.5678;
    d.yOriginValue = 1.5e-12;
    d.expressions = {QStringLiteral("sin(x)"), QStringLiteral("x^2-1"), QStringLiteral("1/x")};
    d.colours = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255)};
    d.styleCodes = {QStringLiteral("点3"), QStringLiteral("鎖2"), QStringLiteral("実3")};

    const std::optional<SettingsFileData> back = ReadSettingsLine(Line(d), GraphSettings{});
    QVERIFY(back.has_value());
    QCOMPARE(Line(*back), Line(d));
    QCOMPARE(back->settings.OriginX, 12.25f);
    QCOMPARE(back->settings.YSmallLineColor, Rgb(1, 2, 3));
    QCOMPARE(back->settings.XSmallLineColor, Rgb(4, 5, 6));
    QCOMPARE(back->xSmallValue, 0.1);
    QCOMPARE(back->yOriginValue, 1.5e-12);
    QCOMPARE(back->yUnitName, QStringLiteral("π"));
    QCOMPARE(back->styleCodes[0], QStringLiteral("点3"));
    QCOMPARE(back->expressions[1], QStringLiteral("x^2-1"));
    QCOMPARE(back->windowWidth, 9000.5f);
}

void SettingsFileTest::fieldCountDecides() {
    const QByteArray line = Line(DefaultData());
    QByteArray short51 = line.trimmed();
    short51.truncate(short51.lastIndexOf(','));
    QVERIFY(!ReadSettingsLine(short51 + "\r\n", GraphSettings{}).has_value());
    QVERIFY(!ReadSettingsLine(QByteArray(), GraphSettings{}).has_value());
    const QByteArray long53 = line.trimmed() + ",\"extra\",99\r\nmore text\r\n";
    const std::optional<SettingsFileData> read = ReadSettingsLine(long53, GraphSettings{});
    QVERIFY(read.has_value());
    QCOMPARE(read->styleCodes[2], QStringLiteral("実1"));
}

void SettingsFileTest::aPictureWithCommasIsNoSettingsFile() {
    const QByteArray jpeg = JpegWithCommas();
    QVERIFY(jpeg.startsWith("\xFF\xD8")); // a JPEG's start-of-image marker
    QVERIFY(jpeg.contains('\0'));
    QVERIFY(!ReadSettingsLine(jpeg, GraphSettings{}).has_value());
    ReadProblem problem;
    QVERIFY(!ReadSettingsLine(jpeg, GraphSettings{}, &problem).has_value());
    QCOMPARE(problem.fault, ReadFault::NotText);
    // Without its NUL bytes it is still no settings line: its line breaks come too early.
    QByteArray noNul = jpeg;
    noNul.replace('\0', ' ');
    QVERIFY(!ReadSettingsLine(noNul, GraphSettings{}, &problem).has_value());
    QVERIFY(problem.fault == ReadFault::NotOneLine || problem.fault == ReadFault::OutOfRange ||
            problem.fault == ReadFault::WrongKind);
}

void SettingsFileTest::refusalsSayWhy_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("japanese"); // a part of the message box's reason
    QTest::addColumn<QString>("english");
    const QByteArray line = Line(DefaultData());
    QByteArray short51 = line.trimmed();
    short51.truncate(short51.lastIndexOf(','));
    const auto row = [](const char* name, const QByteArray& bytes, ReadFault fault, int field,
                        const char* japanese, const char* english) {
        QTest::newRow(name) << bytes << static_cast<int>(fault) << field
                            << QString::fromUtf8(japanese) << QString::fromUtf8(english);
    };
    row("empty file", QByteArray(), ReadFault::TooFewFields, 1, "52 項目のうち 0 項目しか",
        "too few fields (0 of 52)");
    row("51 fields", short51 + "\r\n", ReadFault::TooFewFields, 52,
        "項目が足りません（52 項目のうち 51 項目しかありません）", "too few fields (51 of 52)");
    row("51 fields, blank lines after", short51 + "\r\n\r\n  \n", ReadFault::TooFewFields, 52,
        "51 項目しか", "(51 of 52)");
    row("51 fields and a comma", short51 + ",\r\n", ReadFault::TooFewFields, 52, "51 項目しか",
        "(51 of 52)");
    row("line break before field 42", WithField(line, 42, "\r\n7"), ReadFault::NotOneLine, 42,
        "42 番目の項目の前で改行されています", "breaks before field 42");
    row("line break inside a quoted text", WithField(line, 44, "\"x\n+1\""), ReadFault::NotOneLine,
        45, "設定ファイルではありません", "not a settings file");
    row("blank line first", "\r\n" + line, ReadFault::NotOneLine, 1, "1 番目の項目の前",
        "field 1 of 52");
    row("NUL in a text", WithField(line, 44, QByteArray("\"x\0\"", 4)), ReadFault::NotText, 0,
        "NUL バイト", "NUL bytes");
    row("NUL after field 52", line + QByteArray(1, '\0'), ReadFault::NotText, 0, "NUL", "NUL");
    row("16-bit field beyond 32767", WithField(line, 7, "40000"), ReadFault::OutOfRange, 7,
        "7 番目の項目の値が範囲外です", "field 7 is out of range");
    row("16-bit field below -32768", WithField(line, 33, "-32769"), ReadFault::OutOfRange, 33,
        "33 番目", "field 33");
    row("colour beyond 32 bits", WithField(line, 23, "5000000000"), ReadFault::OutOfRange, 23,
        "23 番目の項目の値が範囲外です", "field 23 is out of range");
    row("single beyond its range", WithField(line, 5, "1e300"), ReadFault::OutOfRange, 5, "5 番目",
        "field 5");
    row("quoted text for a double", WithField(line, 38, "\"abc\""), ReadFault::WrongKind, 38,
        "38 番目の項目が数値ではありません", "field 38 is a text where a number belongs");
    row("quoted text for a boolean", WithField(line, 9, "\"#TRUE#\""), ReadFault::WrongKind, 9,
        "9 番目の項目が数値ではありません", "field 9");
    row("quoted text for a colour", WithField(line, 47, "\"0\""), ReadFault::WrongKind, 47,
        "47 番目", "field 47");
}

void SettingsFileTest::refusalsSayWhy() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, fault);
    QFETCH(int, field);
    QFETCH(QString, japanese);
    QFETCH(QString, english);
    ReadProblem problem;
    QVERIFY(!ReadSettingsLine(bytes, GraphSettings{}, &problem).has_value());
    QCOMPARE(static_cast<int>(problem.fault), fault);
    if (field != 0) {
        QCOMPARE(problem.field, field);
    }
    QVERIFY2(problem.Japanese().contains(japanese), qPrintable(problem.Japanese()));
    QVERIFY2(problem.English().contains(english), qPrintable(problem.English()));
}

void SettingsFileTest::readingIsLenient_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value"); // of the field read back
    QTest::newRow("letters in a number read 0") << 38 << QByteArray("abc") << 0.0;
    QTest::newRow("empty number reads 0") << 42 << QByteArray("") << 0.0;
    QTest::newRow("leading zero") << 38 << QByteArray("0.5") << 0.5;
    QTest::newRow("no leading zero") << 38 << QByteArray(".5") << 0.5;
    QTest::newRow("lower-case exponent") << 39 << QByteArray("1e-05") << 1e-5;
    QTest::newRow("blanks around") << 38 << QByteArray("  2.5 ") << 2.5;
    QTest::newRow("boolean from zero") << 9 << QByteArray("0") << 0.0;
    QTest::newRow("boolean from a number") << 9 << QByteArray("5") << 1.0;
    QTest::newRow("boolean in lower case") << 15 << QByteArray("#false#") << 0.0;
    QTest::newRow("16-bit rounds half to even") << 17 << QByteArray("6.5") << 6.0;
}

void SettingsFileTest::readingIsLenient() {
    QFETCH(int, field);
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    const std::optional<SettingsFileData> read =
        ReadSettingsLine(WithField(Line(DefaultData()), field, text), GraphSettings{});
    QVERIFY(read.has_value());
    const SettingsFileData& d = *read;
    double got = 0;
    switch (field) {
    case 9:
        got = d.settings.XSmallLinesOn ? 1 : 0;
        break;
    case 15:
        got = d.settings.XAxisOn ? 1 : 0;
        break;
    case 17:
        got = d.settings.XSmallSpacing;
        break;
    case 38:
        got = d.xSmallValue;
        break;
    case 39:
        got = d.ySmallValue;
        break;
    case 42:
        got = d.xOriginValue;
        break;
    }
    QCOMPARE(got, value);
}

void SettingsFileTest::numbersThatDoNotFitFail() {
    const QByteArray line = Line(DefaultData());
    QVERIFY(!ReadSettingsLine(WithField(line, 7, "40000"), GraphSettings{}).has_value());
    QVERIFY(!ReadSettingsLine(WithField(line, 23, "5000000000"), GraphSettings{}).has_value());
    QVERIFY(!ReadSettingsLine(WithField(line, 5, "1e300"), GraphSettings{}).has_value());
    // A quoted text runs to its closing quote; what follows up to the comma is dropped.
    const std::optional<SettingsFileData> read =
        ReadSettingsLine(WithField(line, 44, "\"x+1\"junk"), GraphSettings{});
    QVERIFY(read.has_value());
    QCOMPARE(read->expressions[0], QStringLiteral("x+1"));
}

void SettingsFileTest::textsTheFormatCannotHoldAreRefused() {
    SettingsFileData d = DefaultData();
    WriteProblem problem = WriteProblem::None;
    d.expressions[1] = QStringLiteral("\"x\"");
    QVERIFY(!WriteSettingsLine(d, &problem).has_value());
    QCOMPARE(problem, WriteProblem::TextNotStorable);
    d.expressions[1] = QStringLiteral("x😀");
    QVERIFY(!WriteSettingsLine(d, &problem).has_value());
    d.expressions[1] = QStringLiteral("x\n+1"); // a line break would end the line
    QVERIFY(!WriteSettingsLine(d, &problem).has_value());
    d.expressions[1] = QStringLiteral("x + sin(x)"); // spaces are fine
    QVERIFY(WriteSettingsLine(d, &problem).has_value());
    QCOMPARE(problem, WriteProblem::None);
}

void SettingsFileTest::refusalNamesTheFieldThatHoldsTheText_data() {
    QTest::addColumn<QString>("where"); // which text gets the character
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("named");
    QTest::newRow("a quote in the X unit") << "xunit"
                                           << "\"cm" << 40 << "「Ｘ軸の単位」";
    QTest::newRow("an emoji in the Y unit") << "yunit"
                                            << "m😀" << 41 << "「Ｙ軸の単位」";
    QTest::newRow("a quote in F2") << "f2"
                                   << "x\"" << 45 << "「F2(x) の式」";
    QTest::newRow("a quote in F3's style code") << "style3"
                                                << "実\"" << 52 << "「F3 の線種」";
}

void SettingsFileTest::refusalNamesTheFieldThatHoldsTheText() {
    QFETCH(QString, where);
    QFETCH(QString, text);
    QFETCH(int, field);
    QFETCH(QString, named);
    CurvaneState state;
    StartGraph(state, 400, 300);
    SlotOf(state.Slots, 1).Expression = QStringLiteral("sin(x)"); // storable texts elsewhere
    if (where == QStringLiteral("xunit")) {
        state.Graph.XUnitName = text;
    } else if (where == QStringLiteral("yunit")) {
        state.Graph.YUnitName = text;
    } else if (where == QStringLiteral("f2")) {
        SlotOf(state.Slots, 2).Expression = text;
    } else {
        SlotOf(state.Slots, 3).StyleCode = text;
    }
    WriteProblem problem = WriteProblem::None;
    int unstorable = -1;
    QVERIFY(!WriteSettingsLine(CaptureSettings(state, 6915, 5955), &problem, &unstorable));
    QCOMPARE(unstorable, field);

    QTemporaryDir dir;
    FakeDialogs dialogs;
    dialogs.paths.push_back(dir.filePath(QStringLiteral("a.cvf")));
    QCOMPARE(SaveSettingsFile(state, dialogs, true, 6915, 5955), SaveOutcome::Refused);
    QCOMPARE(dialogs.Messages().size(), 1);
    const QString message = dialogs.Messages().first();
    QVERIFY2(message.startsWith(named), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("保存しませんでした"))); // nothing was saved
    if (where != QStringLiteral("f2")) {
        QVERIFY2(!message.contains(QStringLiteral("式")), qPrintable(message));
    }
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("a.cvf"))));
    QVERIFY(state.SettingsFileName.isEmpty());

    // A storable line reports no field.
    QVERIFY(WriteSettingsLine(DefaultData(), &problem, &unstorable));
    QCOMPARE(unstorable, 0);
}

void SettingsFileTest::windowSizeToSave_data() {
    QTest::addColumn<int>("width"); // the window's outer pixels when saving
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("savedWidth");
    QTest::addColumn<double>("savedHeight");
    // The file asked for 7010 × 7000 twips, which became 467 × 467 pixels.
    QTest::newRow("unchanged: the file's twips") << 467 << 467 << 7010.0 << 7000.0;
    QTest::newRow("taller: its own height") << 467 << 480 << 7010.0 << 7200.0;
    QTest::newRow("narrower: its own width") << 460 << 467 << 6900.0 << 7000.0;
    QTest::newRow("both changed") << 500 << 300 << 7500.0 << 4500.0;
}

void SettingsFileTest::windowSizeToSave() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, savedWidth);
    QFETCH(double, savedHeight);
    const FileWindowSize asked = RememberFileWindowSize(7010, 7000);
    QCOMPARE(asked.widthPx, 467);
    QCOMPARE(asked.heightPx, 467);
    const TwipSize saved = WindowSizeToSave(asked, width, height);
    QCOMPARE(saved.width, savedWidth);
    QCOMPARE(saved.height, savedHeight);
    // Without a file, the window's own size.
    const TwipSize own = WindowSizeToSave(FileWindowSize{}, width, height);
    QCOMPARE(own.width, width * 15.0);
    QCOMPARE(own.height, height * 15.0);
}

void SettingsFileTest::applyingSizesTheSheetAndShowsRows() {
    CurvaneState state;
    StartGraph(state, 331, 253);
    SlotOf(state.Slots, 1).Drawn = true;
    SettingsFileData d = DefaultData(); // a 400 × 300 sheet
    d.expressions[2] = QStringLiteral("x");
    d.settings.OriginX = 10;
    ApplySettingsFile(state, d);
    QCOMPARE(state.Sheet.Width(), 400);
    QCOMPARE(state.Sheet.Height(), 300);
    QCOMPARE(state.Graph.GraphWidthPx, 400.0f);
    QCOMPARE(state.Graph.PlotValues.LastColumn(), 400);
    QCOMPARE(state.Graph.PlotLimit, 1500.0f);
    QCOMPARE(state.Settings.OriginX, 10.0f);
    QVERIFY(!SlotOf(state.Slots, 2).RowShown);
    QVERIFY(SlotOf(state.Slots, 3).RowShown);
    for (const FunctionSlot& slot : state.Slots) {
        QVERIFY(!slot.Drawn); // nothing is drawn until its button is pressed
        QCOMPARE(slot.Button, DrawButtonState::Draw);
    }
    QVERIFY(!state.SuppressTextEvents);
    // The grid was drawn for the new origin.
    QCOMPARE(FromQColor(state.Sheet.Image().pixelColor(10, 7)), Rgb(112, 112, 255));
}

void SettingsFileTest::refusedSheetSizeKeepsTheSheet() {
    for (const float width : {0.0f, -5.0f, 3000.0f}) {
        CurvaneState state;
        StartGraph(state, 331, 253);
        SettingsFileData d = DefaultData();
        d.graphWidthPx = width;
        ApplySettingsFile(state, d);
        QCOMPARE(state.Sheet.Width(), 331);
        QCOMPARE(state.Graph.GraphWidthPx, 331.0f);
        QCOMPARE(state.Graph.PlotValues.LastColumn(), 331);
    }
    QCOMPARE(CheckSheetSize(2180, 100), SizeRefusal::None);     // 2184 px outside: 32760 twips
    QCOMPARE(CheckSheetSize(2181, 100), SizeRefusal::TooLarge); // 32775 twips
}

void SettingsFileTest::aFileWithAnUnusableSheetSizeIsRefused_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("refused");
    QTest::newRow("width 2200 (582 mm)") << 3 << QByteArray("2200") << true;
    QTest::newRow("width -5") << 3 << QByteArray("-5") << true;
    QTest::newRow("height 0.4") << 4 << QByteArray(".4") << true;
    QTest::newRow("width 2180, the largest") << 3 << QByteArray("2180") << false;
}

// Refused naming the field, by Open and the command line alike; nothing changes, not even the
// name a later save writes to.
void SettingsFileTest::aFileWithAnUnusableSheetSizeIsRefused() {
    QFETCH(int, field);
    QFETCH(QByteArray, value);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("size.cvf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(WithField(Line(DefaultData()), field, value));
    file.close();
    QString reason;
    QCOMPARE(!ReadSettingsPath(file.fileName(), GraphSettings{}, &reason), refused);
    CurvaneState state;
    FakeDialogs dialogs;
    QCOMPARE(!ReadSettingsFileToOpen(state, dialogs, file.fileName()), refused);
    QCOMPARE(reason.contains(QStringLiteral("field %1 is out of range").arg(field)), refused);
    QCOMPARE(dialogs.Messages().join(QString()).contains(
                 QStringLiteral("%1 番目の項目の値が範囲外です").arg(field)),
             refused);
    QCOMPARE(state.SettingsFileName.isEmpty(), refused);
}

void SettingsFileTest::saveOntoAFifoIsRefusedAndForgotten() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.cvf"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    CurvaneState state;
    StartGraph(state, 400, 300);
    FakeDialogs dialogs;
    dialogs.paths.push_back(dir.filePath(QStringLiteral("good.cvf")));
    QCOMPARE(SaveSettingsFile(state, dialogs, true, 6915, 5955), SaveOutcome::Saved);
    QCOMPARE(state.SettingsFileName, dir.filePath(QStringLiteral("good.cvf")));

    dialogs.paths.push_back(fifo);
    QCOMPARE(SaveSettingsFile(state, dialogs, true, 6915, 5955), SaveOutcome::Failed);
    QCOMPARE(dialogs.Messages().size(), 1);
    QVERIFY(
        dialogs.Messages()[0].startsWith(QStringLiteral("設定ファイルを保存できませんでした。\n") +
                                         fifo + QStringLiteral("\n通常のファイルではない")));
    QVERIFY(!QFileInfo(fifo).isFile()); // still the FIFO
    // The next Save goes where the last good one went.
    QCOMPARE(state.SettingsFileName, dir.filePath(QStringLiteral("good.cvf")));
}

void SettingsFileTest::failedSavesSayWhereAndWhy() {
    QTemporaryDir dir;
    CurvaneState state;
    StartGraph(state, 400, 300);
    FakeDialogs dialogs;
    const QString good = dir.filePath(QStringLiteral("good.cvf"));
    dialogs.paths.push_back(good);
    QCOMPARE(SaveSettingsFile(state, dialogs, true, 6915, 5955), SaveOutcome::Saved);
    QFile file(good);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();

    // Save as into a folder that is not there.
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/x.cvf"));
    dialogs.paths.push_back(nowhere);
    QCOMPARE(SaveSettingsFile(state, dialogs, true, 6915, 5955), SaveOutcome::Failed);
    // Save on a full disk: no file may grow past 100 bytes (SIGXFSZ ignored, EFBIG instead).
    SlotOf(state.Slots, 1).Expression = QStringLiteral("sin(x)");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{100, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const SaveOutcome full = SaveSettingsFile(state, dialogs, false, 6915, 5955);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    QCOMPARE(full, SaveOutcome::Failed);

    // "設定ファイルを保存できませんでした" = the settings file could not be saved
    const QString head = QStringLiteral("設定ファイルを保存できませんでした。\n");
    QCOMPARE(dialogs.Messages().size(), 2);
    // "ファイルまたはフォルダが見つかりません" = no such file or folder
    QCOMPARE(dialogs.Messages()[0],
             head + nowhere + QStringLiteral("\nファイルまたはフォルダが見つかりません（") +
                 QString::fromLocal8Bit(std::strerror(ENOENT)) + QStringLiteral("）"));
    // "ファイルが大きすぎます" = the file is too large
    QCOMPARE(dialogs.Messages()[1], head + good + QStringLiteral("\nファイルが大きすぎます（") +
                                        QString::fromLocal8Bit(std::strerror(EFBIG)) +
                                        QStringLiteral("）"));
    // The file saved before is whole, and still the one Save writes to.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    QCOMPARE(state.SettingsFileName, good);
}

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"

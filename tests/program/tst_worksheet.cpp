#include "platform/settings_store.h"
#include "program/autosave.h"
#include "program/history.h"
#include "program/parametercommands.h"
#include "program/render.h"
#include "program/stamping.h"
#include "tests/program/usersteps.h"
#include "tests/support/seed.h"

#include <QtTest/QtTest>

namespace {

// A sheet with something of every kind on it: a picture, a family of curves in two pens, free
// labels moved and recoloured, an erased tick number.
CurvaneState FullSheet() {
    CurvaneState state;
    StartGraph(state, 320, 240);
    QImage picture(61, 43, QImage::Format_RGB32);
    picture.fill(QColor(230, 250, 210));
    QGuiApplication::clipboard()->setImage(picture);
    PasteFromClipboard(state);
    for (const char* expression : {"sin(x)*10", "sin(x)*20", "40/x"}) {
        ExpressionChanged(state, 1, QString::fromLatin1(expression));
        DrawButtonClicked(state, state.scriptEvalFn, 1);
    }
    ColorChosen(state, 2, Rgb(200, 30, 40));
    ExpressionChanged(state, 2, QStringLiteral("x/2"));
    DrawButtonClicked(state, state.scriptEvalFn, 2);
    // A family traced by a parameter, a at 0.25 and at -1.75, with b's range set.
    ExpressionChanged(state, 3, QStringLiteral("a*x+b"));
    DrawButtonClicked(state, state.scriptEvalFn, 3);
    ParameterRangeChanged(state, QStringLiteral("b"), -2.5, 7.25, 0.25);
    for (const double a : {0.25, -1.75}) {
        ParameterValueChanged(state, QStringLiteral("a"), a);
        ParameterFrame frame = BeginParameterFrame(state, true);
        RunParameterFrame(frame, state.scriptEvalFn, nullptr);
        FinishParameterFrame(state, frame);
    }
    AddFreeLabel(state, 20, 120);
    SetLabelText(state, RefTo(state, LabelKind::Free, 1), QStringLiteral("点 P & Q"));
    DropLabel(state, RefTo(state, LabelKind::Free, 1), {100.25, 60.5});
    SetLabelColor(state, RefTo(state, LabelKind::Free, 1), Rgb(0, 128, 255));
    state.AddMoji.At(1).mark = TextLabel::Mark{QPointF(-2.5, 3), Rgb(0, 160, 0)};
    EraseLabel(state, RefTo(state, LabelKind::XTick, 2));
    state.PanelTexts.Of(Axis::X).smallValue = QStringLiteral("1abc");
    state.SettingsFileName = QStringLiteral("graph.cvf");
    return state;
}

} // namespace

class WorksheetTest : public QObject {
    Q_OBJECT
private slots:
    void aWorksheetGivesBackTheDocumentAndTheSheet();
    void damagedWorksheetsAreRefusedWithTheReason_data();
    void damagedWorksheetsAreRefusedWithTheReason();
    void theFirstErrorKeepsTheNameAtFault();
    void autosaveIsDueWhenTheUserPausesOrAtTheLatest();
    void everyWindowKeepsItsOwnAutosave();
    void recentFilesKeepTheLastEight();
};

void WorksheetTest::aWorksheetGivesBackTheDocumentAndTheSheet() {
    // A sheet of every kind, then random work: saved and read back, the document is the same
    // and so is every pixel of the sheet, drawn from the file alone and in a window's state.
    const quint64 seed = TestSeed();
    CurvaneState state = FullSheet();
    FakeDialogs dialogs;
    UserSteps steps(state, dialogs, seed);
    QStringList done;
    for (int round = 0; round < 12; ++round) {
        const QByteArray bytes = WorksheetBytes(state, {7000, 6000});
        FileProblem problem;
        const std::optional<CurvaneDocument> read = ReadWorksheet(bytes, &problem);
        const QString where = QStringLiteral("seed %1 (CURVANE_SEED) after: %2")
                                  .arg(seed)
                                  .arg(done.join(QStringLiteral(", ")));
        QVERIFY2(read, qPrintable(problem.system + QLatin1Char(' ') + where));
        QVERIFY2(SameDocument(*read, state), qPrintable(where));
        QCOMPARE(read->SettingsFileName, state.SettingsFileName);
        CurvaneState opened;
        StartGraph(opened, 100, 80);
        ApplyWorksheet(opened, *read, QStringLiteral("w.cvw"));
        QVERIFY2(SheetPicture(opened) == SheetPicture(state), qPrintable(where));
        QVERIFY2(RecordPicture(*read) == SheetPicture(state), qPrintable(where));
        // The same document writes the same file.
        QCOMPARE(WorksheetBytes(*read, {7000, 6000}), bytes);
        if (round == 0) {
            // --render draws a worksheet as it is kept, labels and family included.
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("w.cvw"));
            QVERIFY(!WriteBytesSafely(file, bytes).Failed());
            const QString png = dir.filePath(QStringLiteral("w.png"));
            QCOMPARE(RenderSettingsFile(file, png), QString());
            QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), SheetPicture(state));
        }
        for (int i = 0; i < 12; ++i) {
            done << steps.Step();
        }
    }
}

// The draw button's tooltip names the function at fault, also from a worksheet written before
// the name was kept beside the description.
void WorksheetTest::theFirstErrorKeepsTheNameAtFault() {
    CurvaneState state;
    StartGraph(state, 320, 240);
    ExpressionChanged(state, 1, QStringLiteral("sqrt(x)"));
    DrawButtonClicked(state, state.scriptEvalFn, 1);
    const QString tip = DrawButtonTip(SlotOf(state.Slots, 1).LastSample);
    QVERIFY2(tip.contains(QStringLiteral("型が一致しません: 'sqrt'。")), qPrintable(tip));
    const QByteArray bytes = WorksheetBytes(state, {7000, 6000});
    const QByteArray older = QByteArray(bytes).replace("\"name\": \"sqrt\",", "");
    QVERIFY(older.size() < bytes.size());
    for (const QByteArray& written : {bytes, older}) {
        QCOMPARE(DrawButtonTip(SlotOf(ReadWorksheet(written, nullptr)->Slots, 1).LastSample), tip);
    }
}

void WorksheetTest::damagedWorksheetsAreRefusedWithTheReason_data() {
    // Each row changes the first place of a text in a good worksheet (an empty one: cuts it).
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char* name, const char* from, const char* to, const char* reason) {
        QTest::newRow(name) << QString::fromUtf8(from) << QString::fromUtf8(to)
                            << QString::fromUtf8(reason);
    };
    row("truncated", "", "", "damaged worksheet: ");
    row("not JSON at all", "{", "\x89PNG", "not a Curvane worksheet");
    row("foreign JSON", "Curvane worksheet", "Other", "not a Curvane worksheet");
    row("newer version", "\"version\": 1", "\"version\": 2",
        "worksheet version 2 is newer than this Curvane reads (1)");
    row("no version", "\"version\": 1", "\"version\": \"1\"", "version: expected a whole number");
    row("picture lies about its size", "\"width\": 61", "\"width\": 62",
        "pictures[0]: the picture is 61 × 43 pixels, not 62 × 43 as it says");
    row("picture no PNG", "iVBORw0KGgo", "aGVsbG8gd29", "pictures[0]: the picture is no PNG");
    row("rows of another length", "\"rows\": [", "\"rows\": [\"AAAAAAAAAAA=\",",
        "rows of another length");
    row("curve of no row", "\"slot\": 1", "\"slot\": 7",
        "record.curves[0].slot: expected a whole number from 1 to 3");
    row("missing setting", "\"XSmallSpacing\": 4,", "",
        "record.curves[0].settings.XSmallSpacing: missing");
    row("sheet too large", "\"width\": 320", "\"width\": 30000", "record.width: a sheet of 30000");
    row("label of no text", "\"text\": \"点 P & Q\"", "\"text\": 5",
        "labels.AddMoji.labels[0].text: expected a text");
    row("parameter beyond its range", "\"value\": -1.75", "\"value\": -11.75",
        "parameters[0]: expected a name once, min <= value <= max");
    row("parameter value no number", "\"value\": -1.75", "\"value\": \"a\"",
        "parameters[0].value: expected a number");
}

void WorksheetTest::damagedWorksheetsAreRefusedWithTheReason() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, reason);
    QString text = QString::fromUtf8(WorksheetBytes(FullSheet(), {7000, 6000}));
    if (from.isEmpty()) {
        text.truncate(text.size() / 2);
    } else {
        QVERIFY(text.contains(from));
        text.replace(text.indexOf(from), from.size(), to);
    }
    const QByteArray bytes = text.toUtf8();
    FileProblem problem;
    QVERIFY(!ReadWorksheet(bytes, &problem));
    QVERIFY2(problem.system.contains(reason), qPrintable(problem.system));
    QVERIFY(!problem.japanese.isEmpty());
    // Opening it tells the user why and leaves the document alone.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bad.cvw"));
    QVERIFY(!WriteBytesSafely(file, bytes).Failed());
    FakeDialogs dialogs;
    QVERIFY(!ReadWorksheetToOpen(dialogs, file));
    QCOMPARE(dialogs.Messages().size(), 1);
    QVERIFY(
        dialogs.Messages()[0].startsWith(QStringLiteral("ワークシートを読み込めませんでした。")));
    QVERIFY(dialogs.Messages()[0].contains(problem.japanese));
}

void WorksheetTest::autosaveIsDueWhenTheUserPausesOrAtTheLatest() {
    AutosaveClock clock;
    QVERIFY(!clock.DueAt());
    clock.Changed(1000);
    QCOMPARE(*clock.DueAt(), qint64(3000)); // 2 s of quiet
    clock.Changed(2500);
    QCOMPARE(*clock.DueAt(), qint64(4500));
    for (qint64 t = 4000; t <= 40000; t += 1500) {
        clock.Changed(t); // never quiet for 2 s
    }
    QCOMPARE(*clock.DueAt(), qint64(31000)); // 30 s after the first change kept nowhere
    clock.Kept();
    QVERIFY(!clock.DueAt());
}

void WorksheetTest::everyWindowKeepsItsOwnAutosave() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("data/autosave"));
    const CurvaneState state = FullSheet();
    auto first = std::make_unique<AutosaveFile>(folder);
    auto second = std::make_unique<AutosaveFile>(folder);
    QVERIFY(first->Open());
    QVERIFY(second->Open());
    QVERIFY(first->Path() != second->Path());
    QVERIFY(!first->HasLeftOver() && !second->HasLeftOver());
    first->Write(DraftWorksheet(state, {7000, 6000}));
    first->Wait();
    QVERIFY(!first->LastProblem().Failed());
    QVERIFY(!QFile::exists(second->Path()));
    // A window that ends without closing leaves its file; the next window takes that slot and
    // finds the work, while the running one keeps its own.
    const QString left = first->Path();
    first.reset();
    auto third = std::make_unique<AutosaveFile>(folder);
    QVERIFY(third->Open());
    QCOMPARE(third->Path(), left);
    QVERIFY(third->HasLeftOver());
    const std::optional<CurvaneDocument> work = ReadWorksheetFile(left, nullptr);
    QVERIFY(work && SameDocument(*work, state));
    // A normal end removes it.
    third->Discard();
    QVERIFY(!QFile::exists(left));
}

void WorksheetTest::recentFilesKeepTheLastEight() {
    QTemporaryDir dir;
    QtSettingsStore store(dir.filePath(QStringLiteral("store.ini")));
    for (const char* name : {"1.cvf", "2.cvw", "3.cvf", "4.cvw", "5.cvf", "6.cvw", "7.cvf", "8.cvw",
                             "9.cvf", "4.cvw"}) { // the last again: to the top, once
        RememberRecentFile(store, dir.filePath(QString::fromLatin1(name)));
    }
    QStringList names;
    for (const QString& path : RecentFiles(store)) {
        names << QFileInfo(path).fileName();
    }
    QCOMPARE(names,
             (QStringList{"4.cvw", "9.cvf", "8.cvw", "7.cvf", "6.cvw", "5.cvf", "3.cvf", "2.cvw"}));
    QCOMPARE(RecentFileCaption(0, QStringLiteral("/a/b&c.cvw")),
             QStringLiteral("&1 b&&c.cvw  (/a)"));
}

QTEST_MAIN(WorksheetTest)
#include "tst_worksheet.moc"

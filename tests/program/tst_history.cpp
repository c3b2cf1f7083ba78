#include "program/history.h"
#include "program/stamping.h"
#include "tests/program/usersteps.h"
#include "tests/support/seed.h"

#include <QtTest/QtTest>

namespace {

// What the user sees of a state: the sheet with its labels, and the same made from the document
// alone.
bool Shows(const CurvaneState& state, const QImage& picture) {
    return SheetPicture(state) == picture && RecordPicture(state) == picture;
}

struct Sheet {
    CurvaneState state;
    Sheet(int width, int height) { StartGraph(state, width, height); }
    void Label(double left) {
        AddFreeLabel(state, 20, 120);
        DropLabel(state, RefTo(state, LabelKind::Free, state.AddMoji.UpperBound()), {left, 40.5});
    }
};

} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoGiveBackEveryStep();
    void editsOfOneControlAreOneStep();
    void savedIsWhatTheFileHolds();
    void memoryStaysWithinTheBudget();
};

void HistoryTest::undoAndRedoGiveBackEveryStep() {
    // After every random step, undo gives back the document and the picture from before it, and
    // redo the ones after it; now and then the whole way back and forward again.
    const quint64 seed = TestSeed();
    Sheet sheet(310, 230);
    CurvaneState& state = sheet.state;
    FakeDialogs dialogs;
    UserSteps steps(state, dialogs, seed);
    DocumentHistory history;
    history.Reset(state);
    std::vector<std::pair<CurvaneDocument, QImage>> kept{{state, SheetPicture(state)}};
    QStringList done;
    const auto where = [&](const QString& what) {
        return QStringLiteral("seed %1 (CURVANE_SEED): %2 after: %3")
            .arg(seed)
            .arg(what, done.join(QStringLiteral(", ")));
    };
    for (int i = 0; i < 260; ++i) {
        const CurvaneDocument before = state;
        const QImage beforePicture = SheetPicture(state);
        done << steps.Step();
        const CurvaneDocument after = state;
        const QImage afterPicture = SheetPicture(state);
        if (!history.Record(state, done.last())) {
            QVERIFY2(SameDocument(before, after),
                     qPrintable(where(QStringLiteral("not recorded"))));
            continue;
        }
        kept.emplace_back(after, afterPicture);
        QCOMPARE(history.UndoName(), done.last());
        RestoreDocument(state, *history.Undo());
        QVERIFY2(SameDocument(state, before) && Shows(state, beforePicture),
                 qPrintable(where(QStringLiteral("undo"))));
        RestoreDocument(state, *history.Redo());
        QVERIFY2(SameDocument(state, after) && Shows(state, afterPicture),
                 qPrintable(where(QStringLiteral("redo"))));
        if (i % 40 == 39) {
            for (auto k = kept.size() - 1; k-- > 0;) {
                RestoreDocument(state, *history.Undo());
                QVERIFY2(
                    Shows(state, kept[k].second),
                    qPrintable(where(QStringLiteral("undo %1 back").arg(kept.size() - 1 - k))));
            }
            QVERIFY(!history.CanUndo());
            while (history.CanRedo()) {
                RestoreDocument(state, *history.Redo());
            }
            QVERIFY2(SameDocument(state, kept.back().first) && Shows(state, kept.back().second),
                     qPrintable(where(QStringLiteral("redo to the end"))));
        }
    }
}

void HistoryTest::editsOfOneControlAreOneStep() {
    Sheet sheet(300, 200);
    CurvaneState& state = sheet.state;
    DocumentHistory history;
    history.Reset(state);
    const auto type = [&](int slot, const QString& text, const QString& name) {
        ExpressionChanged(state, slot, text);
        history.Edit(state, name, QStringLiteral("txtF%1").arg(slot));
    };
    type(1, QStringLiteral("s"), QStringLiteral("a"));
    type(1, QStringLiteral("si"), QStringLiteral("a"));
    QCOMPARE(history.UndoName(), QStringLiteral("a"));
    QCOMPARE(history.UndoSteps(), 0); // under way, not a step yet
    // Another box's typing closes the first as a step of its own.
    type(2, QStringLiteral("x"), QStringLiteral("b"));
    QCOMPARE(history.UndoSteps(), 1);
    // Typed back to where it started: nothing to keep.
    type(2, QString(), QStringLiteral("b"));
    QVERIFY(!history.FinishEdit());
    QCOMPARE(history.UndoSteps(), 1);
    // A step after an edit comes after it; undo takes back the step, then the whole typing.
    type(1, QStringLiteral("sin(x)"), QStringLiteral("a"));
    DrawButtonClicked(state, state.scriptEvalFn, 1);
    history.Record(state, QStringLiteral("draw"));
    QCOMPARE(history.UndoSteps(), 3);
    RestoreDocument(state, *history.Undo());
    QCOMPARE(history.UndoName(), QStringLiteral("a"));
    RestoreDocument(state, *history.Undo());
    QCOMPARE(SlotOf(state.Slots, 1).Expression, QStringLiteral("si"));
    // Typing after an undo: what was undone cannot come back.
    QVERIFY(history.CanRedo());
    type(3, QStringLiteral("1"), QStringLiteral("c"));
    QVERIFY(!history.CanRedo());
    // Undo finishes the edit under way and takes it back.
    RestoreDocument(state, *history.Undo());
    QCOMPARE(SlotOf(state.Slots, 3).Expression, QString());
    QVERIFY(history.OpenEdit().isEmpty());
}

void HistoryTest::savedIsWhatTheFileHolds() {
    Sheet sheet(300, 200);
    DocumentHistory history;
    history.Reset(sheet.state);
    QVERIFY(!history.Changed());
    sheet.Label(50);
    history.MarkSaved(sheet.state);
    QVERIFY(!history.Changed());
    // Moved and moved back is no change; undone past the save is one.
    const LabelRef label = RefTo(sheet.state, LabelKind::Free, 1);
    const TextLabel placed = sheet.state.AddMoji.At(1);
    DropLabel(sheet.state, label, {200, 100});
    history.Record(sheet.state, QStringLiteral("move"));
    QVERIFY(history.Changed());
    DropLabel(sheet.state, label,
              {placed.left + placed.Width() / 2, placed.top + placed.Height() / 2});
    history.Record(sheet.state, QStringLiteral("move back"));
    QVERIFY(!history.Changed());
    RestoreDocument(sheet.state, *history.Undo());
    RestoreDocument(sheet.state, *history.Undo());
    QVERIFY(!history.Changed());
    RestoreDocument(sheet.state, *history.Undo());
    QVERIFY(history.Changed());
    // A new branch from before the save leaves the saved document out of reach.
    sheet.Label(90);
    history.Record(sheet.state, QStringLiteral("other"));
    RestoreDocument(sheet.state, *history.Undo());
    QVERIFY(history.Changed());
}

void HistoryTest::memoryStaysWithinTheBudget() {
    // A 1920 × 1080 sheet with a picture of its size and three curves: 250 label moves are all
    // kept, the picture and the rows counted once.
    Sheet sheet(1920, 1080);
    CurvaneState& state = sheet.state;
    QImage picture(1920, 1080, QImage::Format_RGB32);
    picture.fill(QColor(250, 240, 220));
    QGuiApplication::clipboard()->setImage(picture);
    QVERIFY(PasteFromClipboard(state));
    for (int slot = 1; slot <= 3; ++slot) {
        ExpressionChanged(state, slot, QStringLiteral("sin(x/%1)*100").arg(slot * 10));
        DrawButtonClicked(state, state.scriptEvalFn, slot);
    }
    sheet.Label(60);
    DocumentHistory history;
    history.Reset(state);
    for (int i = 0; i < 250; ++i) {
        DropLabel(state, RefTo(state, LabelKind::Free, 1), {100.0 + i * 3, 200.0 + i % 50});
        history.Record(state, QStringLiteral("move"));
    }
    QCOMPARE(history.UndoSteps(), 250);
    QVERIFY2(history.Bytes() < std::size_t(32) << 20, qPrintable(QString::number(history.Bytes())));
    QVERIFY(history.Bytes() > std::size_t(picture.sizeInBytes()));
    // Every step a new picture of that size: the oldest steps go, and the budget holds.
    for (int i = 0; i < 12; ++i) {
        picture.fill(QColor(i * 20, 200, 100));
        QGuiApplication::clipboard()->setImage(picture);
        PasteFromClipboard(state);
        history.Record(state, QStringLiteral("paste"));
        QVERIFY(history.Bytes() <= DocumentHistory::DefaultBudget);
    }
    QVERIFY(history.UndoSteps() < 250);
    QVERIFY(history.UndoSteps() >= 5);
    RestoreDocument(state, *history.Undo());
    QCOMPARE(state.Record.background.pixel(5, 5), QColor(10 * 20, 200, 100).rgb());
}

QTEST_MAIN(HistoryTest)
#include "tst_history.moc"

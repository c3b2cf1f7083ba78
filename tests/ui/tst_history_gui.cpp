// The window's undo and redo, worksheets, the question before work is lost and the recovery of
// work left behind, driven through its menu items and boxes.
#include "program/stamping.h"
#include "program/worksheet.h"
#include "tests/ui/windowfixture.h"
#include "ui/sheetview.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolBar>

namespace {

struct Window : WindowFixture {
    void Run(const char* action) { Find<QAction>(action)->trigger(); }
    QString Caption(const char* action) { return Find<QAction>(action)->text(); }
    // The text of the last dialog (the question, where one was asked).
    QString Question() const {
        return dialogs->asked.isEmpty() ? QString() : dialogs->asked.last().text;
    }
    // A free label, moved away from the adding row.
    void Label() {
        Run("mnuAddMoji");
        DropLabel(State(), RefTo(State(), LabelKind::Free, State().AddMoji.UpperBound()),
                  {120.5, 150});
    }
};

} // namespace

class HistoryGuiTest : public QObject {
    Q_OBJECT
private slots:
    void theMenuSaysWhatItUndoes();
    void typingIsOneStepAndTheKeysFollowTheBox();
    void workIsNotLostWithoutAQuestion();
    void aWorksheetOpensAsItWasSaved();
    void workLeftBehindIsOfferedBack();
};

void HistoryGuiTest::theMenuSaysWhatItUndoes() {
    Window w;
    QCOMPARE(w.Caption("mnuUndo"), QStringLiteral("元に戻す(&U)"));
    QVERIFY(!w.Find<QAction>("mnuUndo")->isEnabled());
    w.Run("mnuAddMoji");
    QCOMPARE(w.Caption("mnuUndo"), QStringLiteral("元に戻す: 文字・記号の追加(&U)"));
    QAction* undoButton = w.Find<QToolBar>("tbToolBar")->actions().at(16);
    QCOMPARE(undoButton->toolTip(), QStringLiteral("元に戻す: 文字・記号の追加"));
    QVERIFY(w.window->Sheet()->AddRow().text->isVisible());
    undoButton->trigger();
    QCOMPARE(w.State().AddMoji.Count(), 0);
    QVERIFY(!w.window->Sheet()->AddRow().text->isVisible()); // its label is gone
    QCOMPARE(w.Caption("mnuRedo"), QStringLiteral("やり直し: 文字・記号の追加(&R)"));
    w.Run("mnuRedo");
    QCOMPARE(w.State().AddMoji.Count(), 1);
}

void HistoryGuiTest::typingIsOneStepAndTheKeysFollowTheBox() {
    Window w;
    auto* box = w.Find<QLineEdit>("txtF1");
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("sin(x)*30"));
    QCOMPARE(w.Caption("mnuUndo"), QStringLiteral("元に戻す: 式の入力(&U)"));
    QCOMPARE(w.window->History().UndoSteps(), 0); // still being typed
    // While the typing goes on, Ctrl+Z takes back typing in the box.
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(box->text() != QStringLiteral("sin(x)*30"));
    QCOMPARE(SlotOf(w.State().Slots, 1).Expression, box->text());
    box->setText(QStringLiteral("sin(x)*30"));
    QTest::mouseClick(w.Find<QPushButton>("cmdF1draw"), Qt::LeftButton);
    QCOMPARE(w.window->History().UndoSteps(), 2); // the typing, then the draw
    QCOMPARE(w.Caption("mnuUndo"), QStringLiteral("元に戻す: F1 の描画(&U)"));
    // Once the typing is a step, the keys in the box undo the document's steps.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(SlotOf(w.State().Slots, 1).Button, DrawButtonState::Draw);
    QVERIFY(w.State().Record.curves.empty());
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->text(), QString());
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(box->text(), QStringLiteral("sin(x)*30"));
    QCOMPARE(w.State().Record.curves.size(), std::size_t(1));
}

void HistoryGuiTest::workIsNotLostWithoutAQuestion() {
    Window w;
    w.Label();
    QVERIFY(!w.window->close()); // キャンセル, the unscripted answer
    QCOMPARE(w.Question(), QStringLiteral("変更を保存しますか？"));
    QCOMPARE(w.dialogs->lastQuestionButtons, (QStringList{"保存", "保存しない", "キャンセル"}));
    QCOMPARE(w.State().AddMoji.Count(), 1);
    // 新規作成 asks too; 保存 saves the worksheet (its first save asks for a name) and goes on.
    const QString path = w.dir.filePath(QStringLiteral("kept"));
    w.dialogs->answers = {0};
    w.dialogs->paths = {path};
    w.Run("mnuFileNew");
    const std::optional<CurvaneDocument> kept = ReadWorksheetFile(path + ".cvw", nullptr);
    QVERIFY(kept);
    QCOMPARE(kept->AddMoji.Count(), 1);
    QVERIFY(!w.window->History().Changed()); // what 新規作成 made is the new start
    w.dialogs->asked.clear();
    QVERIFY(w.window->close()); // nothing changed since: nothing to ask
    QVERIFY(w.Question().isEmpty());
}

void HistoryGuiTest::aWorksheetOpensAsItWasSaved() {
    Window w;
    w.Label();
    const QString path = w.dir.filePath(QStringLiteral("a.cvw"));
    w.dialogs->paths = {path};
    w.Run("mnuWorksheetSave");
    const QImage saved = SheetPicture(w.State());
    w.Label();
    // A damaged file is refused with its reason, and nothing changes.
    const QString bad = w.dir.filePath(QStringLiteral("bad.cvw"));
    QVERIFY(!WriteBytesSafely(bad, "{\"format\": \"Curvane worksheet\", \"vers").Failed());
    const QImage before = SheetPicture(w.State());
    w.dialogs->answers = {1};
    w.dialogs->paths = {bad};
    w.Run("mnuWorksheetOpen");
    QVERIFY(w.dialogs->Messages().last().contains(QStringLiteral("ワークシートが壊れています")));
    QCOMPARE(SheetPicture(w.State()), before);
    // The saved one shows the sheet as it was saved, after 保存しない for the later label.
    w.dialogs->answers = {1};
    w.dialogs->paths = {path};
    w.Run("mnuWorksheetOpen");
    QCOMPARE(SheetPicture(w.State()), saved);
    QVERIFY(!w.window->History().Changed());
    QCOMPARE(w.Caption("mnuUndo"), QStringLiteral("元に戻す: ワークシートを開く(&U)"));
}

void HistoryGuiTest::workLeftBehindIsOfferedBack() {
    Window left;
    left.Label();
    SetLabelText(left.State(), RefTo(left.State(), LabelKind::Free, 1), QStringLiteral("残す"));
    QTemporaryDir data;
    const QString folder = data.filePath(QStringLiteral("autosave"));
    QDir().mkpath(folder);
    WriteBytesSafely(folder + QStringLiteral("/autosave-1.cvw"),
                     WorksheetBytes(left.State(), {7000, 6000}));
    Window w;
    w.dialogs->answers = {0};
    w.window->StartAutosave(folder);
    QCOMPARE(w.Question(), QStringLiteral("前回の作業を復元しますか？"));
    QCOMPARE(SheetPicture(w.State()), SheetPicture(left.State()));
    QVERIFY(w.window->History().Changed()); // kept nowhere but in the autosave
    // Declined, the work is not offered again.
    Window next;
    QFile::copy(folder + QStringLiteral("/autosave-1.cvw"),
                folder + QStringLiteral("/autosave-9.cvw"));
    next.window->StartAutosave(folder);
    QCOMPARE(next.Question(), QStringLiteral("前回の作業を復元しますか？"));
    QCOMPARE(next.State().AddMoji.Count(), 0);
    QVERIFY(!QFile::exists(folder + QStringLiteral("/autosave-9.cvw")));
}

QTEST_MAIN(HistoryGuiTest)
#include "tst_history_gui.moc"

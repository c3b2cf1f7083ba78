// The main window's keeping of the document: undo and redo, worksheets, the recent files, the
// question before work is lost, and the autosave with its recovery.
#include "ui/frmcurvane.h"

#include "program/worksheetcommands.h"
#include "ui/axispanel.h"
#include "ui/functionpanelview.h"
#include "ui/sheetview.h"
#include "ui/twips.h"

#include <QtCore/QTimer>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolBar>
#include <chrono>

namespace {

qint64 NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void frmCurvane::SetUpHistory() {
    m_state.PanelTexts = PanelTexts();
    m_history.Reset(m_state);
    m_historyRevision = m_history.Revision();
    // A text box that loses the keyboard has finished its edit.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (m_history.FinishEdit()) {
            HistoryChanged();
        }
    });
    // Ctrl+Z in a text box undoes its own typing first (see UndoKeysUndoSteps).
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        box->installEventFilter(this);
    }
    if (auto* recent = findChild<QMenu*>(QStringLiteral("mnuRecent"))) {
        connect(recent, &QMenu::aboutToShow, this, &frmCurvane::FillRecentMenu);
    }
    m_autosaveTimer = new QTimer(this);
    m_autosaveTimer->setSingleShot(true);
    connect(m_autosaveTimer, &QTimer::timeout, this, &frmCurvane::WriteAutosave);
    HistoryChanged();
}

void frmCurvane::RecordStep(Step step, int slot) {
    m_state.PanelTexts = PanelTexts();
    m_history.Record(m_state, StepName(step, slot));
    HistoryChanged();
}

void frmCurvane::RecordEdit(Step step, const QString& control) {
    m_state.PanelTexts = PanelTexts();
    m_history.Edit(m_state, StepName(step), control);
    HistoryChanged();
}

void frmCurvane::HistoryChanged() {
    const QString undoName = m_history.UndoName();
    const QString redoName = m_history.RedoName();
    for (const auto& [name, text, can] :
         {std::tuple{QStringLiteral("mnuUndo"), UndoText(undoName), m_history.CanUndo()},
          std::tuple{QStringLiteral("mnuRedo"), RedoText(redoName), m_history.CanRedo()}}) {
        if (auto* action = findChild<QAction*>(name)) {
            action->setText(text + (name == QStringLiteral("mnuUndo") ? QStringLiteral("(&U)")
                                                                      : QStringLiteral("(&R)")));
            action->setEnabled(can);
        }
    }
    for (QAction* button : m_tbToolBar->actions()) {
        const std::optional<Command> command = CommandOfToolbarKey(button->data().toString());
        if (command == Command::Undo || command == Command::Redo) {
            const bool undo = command == Command::Undo;
            button->setToolTip(undo ? UndoText(undoName) : RedoText(redoName));
            button->setEnabled(undo ? m_history.CanUndo() : m_history.CanRedo());
        }
    }
    if (m_history.Revision() != m_historyRevision) {
        m_historyRevision = m_history.Revision();
        // Also when the document is back as it was saved: the file then goes when due.
        m_autosaveClock.Changed(NowMs());
        ScheduleAutosave();
    }
}

void frmCurvane::ScheduleAutosave() {
    const std::optional<qint64> due = m_autosaveClock.DueAt();
    if (!m_autosave || !due) {
        return;
    }
    m_autosaveTimer->start(static_cast<int>(std::max<qint64>(0, *due - NowMs())));
}

void frmCurvane::WriteAutosave() {
    if (!m_autosave) {
        return;
    }
    m_autosaveClock.Kept();
    if (!m_history.Changed()) {
        m_autosave->Discard(); // nothing unsaved to keep
        return;
    }
    const TwipSize size = WindowSizeForFile();
    // The copy is taken here in a moment; the picture is encoded and the file written elsewhere.
    m_autosave->Write(DraftWorksheet(m_state, {size.width, size.height}));
}

void frmCurvane::StartAutosave(const QString& folder) {
    m_autosave = std::make_unique<AutosaveFile>(folder);
    if (!m_autosave->Open()) {
        m_autosave.reset(); // a folder that cannot be used: the work is not kept there
        return;
    }
    if (m_autosave->HasLeftOver()) {
        FileProblem problem;
        const std::optional<CurvaneDocument> left = ReadWorksheetFile(m_autosave->Path(), &problem);
        if (left && AskRecovery(*m_dialogs)) {
            RestoreDocument(m_state, *left);
            m_state.SettingsFileName = left->SettingsFileName;
            ShowDocument();
            RecordStep(Step::Recovery);
            return; // unsaved work again, kept in the same file
        }
        if (!left) {
            // "前回の作業を読み込めませんでした" = the work of last time could not be read
            m_dialogs->Message(QStringLiteral("前回の作業を読み込めませんでした。\n") +
                                   problem.MessageText(m_autosave->Path()),
                               windowTitle(), false);
        }
        m_autosave->Discard();
    }
    ScheduleAutosave();
}

void frmCurvane::Undo() {
    if (m_work != nullptr) {
        return; // the document is in use
    }
    if (const CurvaneDocument* before = m_history.Undo()) {
        RestoreDocument(m_state, *before);
        ShowDocument();
    }
    HistoryChanged();
}

void frmCurvane::Redo() {
    if (m_work != nullptr) {
        return;
    }
    if (const CurvaneDocument* after = m_history.Redo()) {
        RestoreDocument(m_state, *after);
        ShowDocument();
    }
    HistoryChanged();
}

void frmCurvane::ShowDocument() {
    // The edit rows worked on labels that may be gone or others now.
    m_picScreen->HideRow(m_picScreen->AddRow());
    m_picScreen->HideRow(m_picScreen->ReEditRow());
    m_picScreen->FitToSurface();
    m_picGraphSet->ShowRecord();
    m_picGraphSet->ShowTexts(m_state.PanelTexts);
    LayoutSheetScrollBars();
    ShowState();
}

bool frmCurvane::UndoKeysUndoSteps(QObject* box, QEvent* event) const {
    const auto* key = static_cast<const QKeyEvent*>(event);
    const QKeyCombination combination = key->keyCombination();
    const bool undoKey = combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
                         combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
                         combination == (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z);
    return undoKey && qobject_cast<QLineEdit*>(box) != nullptr &&
           m_history.OpenEdit() != box->objectName();
}

TwipSize frmCurvane::WindowSizeForFile() const {
    const QRect outer = frameGeometry();
    return WindowSizeToSave(m_fileWindowSize, outer.width(), outer.height());
}

bool frmCurvane::SaveWorksheetCommand(bool askName) {
    m_state.PanelTexts = PanelTexts();
    const TwipSize size = WindowSizeForFile();
    if (SaveWorksheet(m_state, *m_dialogs, askName, {size.width, size.height}) !=
        SaveOutcome::Saved) {
        return false;
    }
    DocumentKept(m_state.WorksheetFileName);
    return true;
}

void frmCurvane::DocumentKept(const QString& path) {
    m_state.PanelTexts = PanelTexts();
    m_history.MarkSaved(m_state);
    if (path.isEmpty() || !IsWorksheetName(path)) {
        m_state.WorksheetFileName.clear(); // the worksheet no longer holds this document
    }
    if (!path.isEmpty()) {
        RememberRecentFile(*m_store, path);
    }
    if (m_autosave) {
        m_autosaveClock.Kept();
        m_autosave->Discard();
    }
    HistoryChanged();
}

bool frmCurvane::AskBeforeLosingWork() {
    if (!m_history.Changed()) {
        return true;
    }
    switch (AskKeepWork(*m_dialogs)) {
    case KeepWork::Save:
        return SaveWorksheetCommand(false);
    case KeepWork::Discard:
        return true;
    case KeepWork::Cancel:
        break;
    }
    return false;
}

void frmCurvane::mnuWorksheetOpen_Click() {
    const QString path = AskWorksheetToOpen(*m_dialogs);
    if (!path.isEmpty()) {
        OpenWorksheetPath(path);
    }
}

void frmCurvane::OpenWorksheetPath(const QString& path) {
    if (m_work != nullptr || !AskBeforeLosingWork()) {
        return;
    }
    const std::optional<CurvaneDocument> document = ReadWorksheetToOpen(*m_dialogs, path);
    if (!document) {
        return;
    }
    ApplyWorksheet(m_state, *document, path);
    ShowDocument();
    RecordStep(Step::OpenWorksheet);
    DocumentKept(path);
    m_picFNSet->FocusTextBox(1);
}

void frmCurvane::OpenPath(const QString& path) {
    if (IsWorksheetName(path)) {
        OpenWorksheetPath(path);
    } else {
        OpenSettingsPath(path);
    }
}

void frmCurvane::FillRecentMenu() {
    auto* menu = qobject_cast<QMenu*>(sender());
    if (menu == nullptr) {
        return;
    }
    menu->clear();
    const QStringList files = RecentFiles(*m_store);
    if (files.isEmpty()) {
        // "（なし）" = (none)
        menu->addAction(QStringLiteral("（なし）"))->setEnabled(false);
    }
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* entry = menu->addAction(RecentFileCaption(i, path));
        entry->setObjectName(QStringLiteral("mnuRecent%1").arg(i + 1));
        connect(entry, &QAction::triggered, this, [this, path] { OpenPath(path); });
    }
}

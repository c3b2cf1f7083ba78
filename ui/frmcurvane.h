#pragma once

#include "platform/dialogs.h"
#include "platform/latestworker.h"
#include "platform/settings_store.h"
#include "plot/sampling.h"
#include "program/autosave.h"
#include "program/axispanelmodel.h"
#include "program/commands.h"
#include "program/curvanestate.h"
#include "program/history.h"
#include "program/parametercommands.h"
#include "program/placement.h"
#include "program/readout.h"
#include "program/settingsapply.h"

#include <QtWidgets/QMainWindow>
#include <memory>

class AxisPanel;
class FunctionPanel;
class QFrame;
class QScrollBar;
class QToolBar;
class ReadoutView;
class QPrinter;
class QTimer;
class ProgressDialogReporter;
class BackgroundWork;
struct ExportOptions;
struct DrawOutcome;
class SheetView;
class frmCalculus;
class frmValueTable;
class frmParameters;

// The main window: owns all state of the program and shows it. The client area below the menu
// bar is laid out by hand, in twips, like the placement it restores.
class frmCurvane : public QMainWindow {
    Q_OBJECT
public:
    // Without dialogs or a store the window uses the real ones; tests hand in their own.
    explicit frmCurvane(std::unique_ptr<Dialogs> dialogs = nullptr,
                        std::unique_ptr<SettingsStore> store = nullptr, QWidget* parent = nullptr);
    ~frmCurvane() override;

    CurvaneState& State() { return m_state; }
    SheetView* Sheet() const { return m_picScreen; }

    // Places the panels and the sheet for the window's current size.
    void LayoutWindow();
    // Shows or hides the sheet's scroll bars for the sheet's current size.
    void LayoutSheetScrollBars();
    // Runs a menu entry's operation.
    void RunCommand(Command command);
    // A toolbar button: the operation of the button with this key, if any, with its errors
    // kept from the user.
    void tbToolBar_ButtonClick(const QString& key);

    // Reads a settings file as Open does after its dialog (for a file named on the command line).
    void OpenSettingsPath(const QString& path);
    // Reads a worksheet as ワークシートを開く does after its dialog.
    void OpenWorksheetPath(const QString& path);
    // A file named on the command line or chosen from the recent files, by its kind.
    void OpenPath(const QString& path);

    // Keeps unsaved work in an autosave file in this folder from now on, first offering back
    // the work a window left there when it did not end normally.
    void StartAutosave(const QString& folder);
    // The steps of the document that can be taken back.
    const DocumentHistory& History() const { return m_history; }

    // The printer the print dialog uses (the platform's default until set up otherwise).
    QPrinter& Printer();

    // The help document's path; empty only if nothing could be found for it.
    const QString& HelpPath() const { return m_helpPath; }
    void SetHelpPath(const QString& path) { m_helpPath = path; }

    // The outer size right after start-up, the smallest the window may become (twips).
    double LoadWidth() const { return m_loadWidth; }
    double LoadHeight() const { return m_loadHeight; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildMenuBar();
    void BuildToolBar();
    void RestorePlacement();
    void ApplyPlacement();
    // The available area of the screen the geometry lies on (the window's own screen when it
    // lies on none), twips.
    TwipRect AvailableArea(const Placement& wanted) const;
    // A modal dialog's redraw request, served on activation; also right after the dialog
    // returns, for window systems that do not hand the activation back.
    void ServePendingRedraw();
    // Brings the controls in line with the state after a handler changed it.
    void ShowState();
    // The same after a frame of a moving parameter: only these rectangles of the sheet may look
    // different.
    void ShowFrame(const std::vector<QRect>& sheetChanged);
    // Everything of ShowState but the sheet's picture.
    void ShowControls();
    void ShowVersion();
    void ShowHelp();
    void mnuFileNew_Click();
    void mnuMatching_Click();
    void mnuAddMoji_Click();
    void WireLabels();
    void BeginLabelEdit(LabelRef ref);
    void SizeEntered(Axis axis, const QString& millimetres);
    void SheetResized();
    void ArmZoom(int direction);
    void picScreen_MouseUp(Qt::MouseButton button, QPointF position);
    void picScreen_MouseMove(QPointF position);
    void mnuFileOpen_Click();
    void mnuValueTable_Click();
    void mnuCalculus_Click();
    // Opens the parameters window (placed where it was last time).
    void mnuParameters_Click();
    // A parameter's value moved: the curves that read it are computed again on the parameter
    // worker, the newest value only; a quick frame is drawn at once.
    void ParameterMoved();
    void ParameterFrameArrived(std::uint64_t id, const ParameterFrame& frame);
    // A value set for good is one step to undo, recorded once its curves are drawn.
    void ParameterSet();
    // The sheet's cursor for the armed calculus tool, or its own without one.
    void ShowCalculusCursor();
    // The readout of values at the mouse: shown for a point of the sheet, hidden without one.
    void ShowReadout(std::optional<QPointF> position);
    void ShowReadoutLines(std::vector<ReadoutLine> lines);
    // A value computed for the readout came; shown when it is for where the mouse still is.
    void ReadoutArrived(std::uint64_t id, const std::vector<ReadoutLine>& lines);
    void PlaceReadout(QPoint mouse);
    // Undo and redo. A handler that changes the
    // document ends with RecordStep; a change that goes on (typing into a box, a scroll bar being
    // dragged) with RecordEdit, so that the whole edit becomes one step.
    void RecordStep(Step step, int slot = 0);
    void RecordEdit(Step step, const QString& control);
    // The history changed: the menu items and buttons say what they undo, the autosave is due.
    void HistoryChanged();
    void Undo();
    void Redo();
    // Shows a document put back whole (undo, redo, an opened worksheet, recovered work).
    void ShowDocument();
    void SetUpHistory();
    // Whether Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z pressed in a text box undo or redo document steps:
    // they do unless the box's own typing is still under way.
    bool UndoKeysUndoSteps(QObject* box, QEvent* event) const;
    // Saves the worksheet (askName: under a new name); true once it is saved.
    bool SaveWorksheetCommand(bool askName);
    void mnuWorksheetOpen_Click();
    // "変更を保存しますか？" when the document changed since it was saved or opened; true when
    // the command may go on (saved, or not to be saved).
    bool AskBeforeLosingWork();
    // The document is now what a file holds.
    void DocumentKept(const QString& path);
    void FillRecentMenu();
    void WriteAutosave();
    void ScheduleAutosave();
    // The outer size a saved file records, in twips.
    TwipSize WindowSizeForFile() const;
    // The function rows' reactions.
    void DrawClicked(int slot);
    // Writes the export on a worker with its progress dialog.
    void StartExport(const QString& path, const ExportOptions& options);
    // The messages and focus a draw button click ends with.
    void ShowDrawOutcome(int slot, const DrawOutcome& outcome);
    void ColorClicked(int slot);
    void StyleClicked(int slot);
    void ChooseLineStyle(int index);
    AxisPanelTexts PanelTexts() const;
    // Frame sizes the window manager adds around the client area, in pixels.
    QSize FrameExtra() const;

    CurvaneState m_state;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<QPrinter> m_printer;
    Placement m_placement;
    Placement m_placementRead; // as the store held it at start
    bool m_placedWithFrame = false;
    // The long computation under way, if any, and a close that waits for its end.
    BackgroundWork* m_work = nullptr;
    bool m_closeAfterWork = false;
    // The outer size the last settings file opened asked for, kept to be saved as it was.
    FileWindowSize m_fileWindowSize;
    QString m_helpPath;
    double m_loadWidth = 0;
    double m_loadHeight = 0;

    QWidget* m_client = nullptr;
    QToolBar* m_tbToolBar = nullptr;
    SheetView* m_picScreen = nullptr;
    QScrollBar* m_scrXdirect = nullptr;
    QScrollBar* m_scrYdirect = nullptr;
    FunctionPanel* m_picFNSet = nullptr;
    AxisPanel* m_picGraphSet = nullptr;
    frmValueTable* m_frmValueTable = nullptr;
    frmCalculus* m_frmCalculus = nullptr;
    frmParameters* m_frmParameters = nullptr;
    bool m_parametersOpened = false; // opened by a draw once this session
    using ParameterWorker = LatestRequestWorker<ParameterFrame, ParameterFrame>;
    std::unique_ptr<ParameterWorker> m_parameterWorker;
    std::uint64_t m_parameterPosted = 0; // the newest frame asked for
    std::uint64_t m_parameterDrawn = 0;  // the newest frame drawn or dropped
    bool m_parameterStepDue = false;     // a value set waits for its frame to be recorded
    ReadoutView* m_readout = nullptr;
    std::optional<QPointF> m_readoutAt; // where the mouse is on the sheet, if it is
    using ReadoutWorker = LatestRequestWorker<ReadoutRequest, std::vector<ReadoutLine>>;
    std::unique_ptr<ReadoutWorker> m_readoutWorker;
    std::uint64_t m_readoutId = 0; // the newest request

    DocumentHistory m_history;
    quint64 m_historyRevision = 0; // the history's revision the autosave clock last saw
    std::unique_ptr<AutosaveFile> m_autosave;
    AutosaveClock m_autosaveClock;
    QTimer* m_autosaveTimer = nullptr;
};

#include "ui/frmcurvane.h"

#include "platform/resources.h"
#include "platform/units.h"
#include "plot/linestyle.h"
#include "program/bitmapcommands.h"
#include "program/functionpanel.h"
#include "program/layout.h"
#include "program/notation.h"
#include "program/parametercommands.h"
#include "program/placement.h"
#include "program/readout.h"
#include "program/redraw.h"
#include "program/settingscommands.h"
#include "program/sheetops.h"
#include "program/textlabels.h"
#include "program/worksheetcommands.h"
#include "script/scriptevaluator.h"
#include "ui/axispanel.h"
#include "ui/backgroundwork.h"
#include "ui/frmcalculus.h"
#include "ui/frmexport.h"
#include "ui/frmparameters.h"
#include "ui/frmsetmore.h"
#include "ui/frmsetprinter.h"
#include "ui/frmvaluetable.h"
#include "ui/functionpanelview.h"
#include "ui/helpwindow.h"
#include "ui/progressdialog.h"
#include "ui/qtdialogs.h"
#include "ui/readoutview.h"
#include "ui/sheetview.h"
#include "ui/toolbaricons.h"
#include "ui/twips.h"
#include "ui/zoomcursor.h"

#include <QtCore/QEvent>
#include <QtCore/QScopeGuard>
#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtGui/QShowEvent>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QToolBar>
#include <chrono>
#include <cmath>
#include <functional>

frmCurvane::frmCurvane(std::unique_ptr<Dialogs> dialogs, std::unique_ptr<SettingsStore> store,
                       QWidget* parent)
    : QMainWindow(parent), m_dialogs(std::move(dialogs)), m_store(std::move(store)) {
    if (!m_dialogs) {
        m_dialogs = std::make_unique<QtDialogs>(this);
    }
    if (!m_store) {
        m_store = std::make_unique<QtSettingsStore>();
    }
    setObjectName(QStringLiteral("frmCurvane"));
    setWindowTitle(QStringLiteral("Curvane"));
    setWindowIcon(AppIcon());
    m_helpPath = ResourcePath(QStringLiteral("CURVANEHELP.hlp"));

    // The graph on the designed sheet: 5025 × 3855 twips overall, less the sheet's frame.
    StartGraph(m_state, Px(DesignSheetWidthTwips) - 2 * SheetFramePx,
               Px(DesignSheetHeightTwips) - 2 * SheetFramePx);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(m_client);
    // The sheet first: everything else stays usable above a sheet that reaches under it.
    m_picScreen = new SheetView(m_state, m_client);
    m_scrXdirect = new QScrollBar(Qt::Horizontal, m_client);
    m_scrXdirect->setObjectName(QStringLiteral("scrXdirect"));
    m_scrXdirect->hide();
    m_scrYdirect = new QScrollBar(Qt::Vertical, m_client);
    m_scrYdirect->setObjectName(QStringLiteral("scrYdirect"));
    m_scrYdirect->hide();
    connect(m_scrXdirect, &QScrollBar::valueChanged, this,
            [this](int value) { m_picScreen->move(-Px(value), m_picScreen->y()); });
    connect(m_scrYdirect, &QScrollBar::valueChanged, this,
            [this](int value) { m_picScreen->move(m_picScreen->x(), -Px(value)); });

    m_picFNSet = new FunctionPanel(m_client);
    connect(m_picFNSet, &FunctionPanel::drawClicked, this, &frmCurvane::DrawClicked);
    connect(m_picFNSet, &FunctionPanel::enterPressed, this, [this](int slot) {
        if (EnterPressesDrawButton(SlotOf(m_state.Slots, slot))) {
            DrawClicked(slot);
        }
    });
    connect(m_picFNSet, &FunctionPanel::textChanged, this, [this](int slot, const QString& text) {
        ExpressionChanged(m_state, slot, text);
        ShowState();
        RecordEdit(Step::Typing, QStringLiteral("txtF%1").arg(slot));
    });
    connect(m_picFNSet, &FunctionPanel::focused, this,
            [this](int slot) { m_state.StyleTarget = static_cast<std::int16_t>(slot); });
    connect(m_picFNSet, &FunctionPanel::addClicked, this, [this](int slot) {
        AddRow(m_state, slot);
        ShowState();
        RecordStep(Step::AddRow, slot);
        m_picFNSet->FocusTextBox(slot);
    });
    connect(m_picFNSet, &FunctionPanel::removeRowRequested, this, [this](int slot) {
        RemoveRow(m_state, slot);
        ShowState();
        RecordStep(Step::RemoveRow, slot);
    });
    connect(m_picFNSet, &FunctionPanel::colorClicked, this, &frmCurvane::ColorClicked);
    connect(m_picFNSet, &FunctionPanel::styleClicked, this, &frmCurvane::StyleClicked);
    m_picGraphSet = new AxisPanel(m_state, m_client);
    m_picGraphSet->setAutoFillBackground(true);
    connect(m_picGraphSet, &AxisPanel::stateChanged, this, [this] {
        ShowState();
        // One edit per control of the panel: the named control that has the keyboard (a unit
        // list's box belongs to its list), else the panel.
        QString control = m_picGraphSet->objectName();
        for (const QWidget* w = QApplication::focusWidget();
             w != nullptr && m_picGraphSet->isAncestorOf(w); w = w->parentWidget()) {
            if (!w->objectName().isEmpty()) {
                control = w->objectName();
                break;
            }
        }
        RecordEdit(Step::AxisPanel, control);
    });
    connect(m_picGraphSet, &AxisPanel::sizeEntered, this, &frmCurvane::SizeEntered);
    m_readout = new ReadoutView(m_client);
    m_readout->hide();
    connect(m_picScreen, &SheetView::mousePressed, this,
            [this](Qt::MouseButton button, QPointF at) {
                if (m_frmCalculus != nullptr) {
                    m_frmCalculus->SheetPressed(button, at);
                }
            });
    m_readoutWorker = std::make_unique<ReadoutWorker>(
        [evaluator = std::make_shared<ScriptEvaluator>()](const ReadoutRequest& request,
                                                          const std::atomic<bool>& stop) {
            // A newer request, or the mouse leaving the sheet, ends even a long evaluation.
            evaluator->SetStopFlag(&stop);
            return ComputeReadout(request, *evaluator);
        },
        [this](std::uint64_t id, const std::vector<ReadoutLine>& lines) {
            QMetaObject::invokeMethod(
                this, [this, id, lines] { ReadoutArrived(id, lines); }, Qt::QueuedConnection);
        });
    connect(m_picScreen, &SheetView::mouseReleased, this, &frmCurvane::picScreen_MouseUp);
    connect(m_picScreen, &SheetView::mouseMoved, this, &frmCurvane::picScreen_MouseMove);
    connect(m_picScreen, &SheetView::mouseLeft, this, [this] { ShowReadout(std::nullopt); });
    WireLabels();

    BuildToolBar();
    BuildMenuBar();
    m_client->installEventFilter(this);

    RestorePlacement();
    LayoutWindow();
    ShowState();
    SetUpHistory();
}

frmCurvane::~frmCurvane() {
    // The controls go after the members: their last focus changes must not reach the history.
    disconnect(qApp, nullptr, this, nullptr);
}

QPrinter& frmCurvane::Printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_printer;
}

void frmCurvane::BuildMenuBar() {
    QMenuBar* bar = menuBar();
    const std::function<void(QMenu*, const std::vector<MenuItem>&)> fill =
        [&](QMenu* menu, const std::vector<MenuItem>& items) {
            for (const MenuItem& item : items) {
                if (item.IsSeparator()) {
                    QAction* separator = menu->addSeparator();
                    separator->setObjectName(item.objectName);
                } else if (!item.submenu.empty() || item.IsSubmenu()) {
                    QMenu* sub = menu->addMenu(item.caption);
                    sub->setObjectName(item.objectName);
                    sub->menuAction()->setObjectName(item.objectName);
                    fill(sub, item.submenu);
                } else {
                    QAction* action = menu->addAction(item.caption);
                    action->setObjectName(item.objectName);
                    QList<QKeySequence> keys; // one or more, separated by ";"
                    for (const QString& key :
                         item.shortcut.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                        keys << QKeySequence(key);
                    }
                    action->setShortcuts(keys);
                    const Command command = *item.command;
                    connect(action, &QAction::triggered, this,
                            [this, command] { RunCommand(command); });
                }
            }
        };
    for (const Menu& menu : MenuBar()) {
        QMenu* top = bar->addMenu(menu.caption);
        top->setObjectName(menu.objectName);
        fill(top, menu.items);
    }
}

void frmCurvane::BuildToolBar() {
    m_tbToolBar = new QToolBar(m_client);
    m_tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_tbToolBar->setIconSize(QSize(16, 16));
    m_tbToolBar->setMovable(false);
    m_tbToolBar->setFloatable(false);
    for (const ToolbarItem& item : ToolbarItems()) {
        if (item.key.isEmpty()) {
            m_tbToolBar->addSeparator();
            continue;
        }
        QAction* action = m_tbToolBar->addAction(ToolbarIcon(item.key), item.key);
        action->setObjectName(item.key);
        action->setData(item.key);
        action->setToolTip(item.tooltip);
        connect(action, &QAction::triggered, this,
                [this, key = item.key] { tbToolBar_ButtonClick(key); });
    }
    m_tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void frmCurvane::RunCommand(Command command) {
    // Whatever the command changed in the document is one step.
    const auto step = qScopeGuard([this, command] {
        if (command != Command::Undo && command != Command::Redo) {
            RecordStep(StepOfCommand(command), m_state.StyleTarget);
        }
    });
    if (const std::optional<int> style = LineStyleIndex(command)) {
        ChooseLineStyle(*style);
        return;
    }
    if (const std::optional<ScalePreset> preset = ScalePresetOf(command)) {
        ApplyScalePreset(m_state, *preset);
        m_picGraphSet->ShowRecord();
        ShowState();
        return;
    }
    switch (command) {
    case Command::FileNew:
        mnuFileNew_Click();
        break;
    case Command::FileOpen:
        mnuFileOpen_Click();
        break;
    case Command::FileSave:
    case Command::FileSaveAs: {
        const TwipSize size = WindowSizeForFile();
        if (SaveSettingsFile(m_state, *m_dialogs, command == Command::FileSaveAs, size.width,
                             size.height) == SaveOutcome::Saved) {
            RememberRecentFile(*m_store, m_state.SettingsFileName);
        }
        break;
    }
    case Command::WorksheetOpen:
        mnuWorksheetOpen_Click();
        break;
    case Command::WorksheetSave:
    case Command::WorksheetSaveAs:
        SaveWorksheetCommand(command == Command::WorksheetSaveAs);
        break;
    case Command::Undo:
        Undo();
        break;
    case Command::Redo:
        Redo();
        break;
    case Command::ZoomIn:
    case Command::ZoomOut:
        ArmZoom(command == Command::ZoomIn ? 1 : -1);
        break;
    case Command::Matching:
        mnuMatching_Click();
        break;
    case Command::AddMoji:
        mnuAddMoji_Click();
        break;
    case Command::BMPPrint:
        mnuBMPPrint_Click(this, m_state, *m_dialogs, Printer());
        ServePendingRedraw();
        break;
    case Command::BMPRead:
        if (ReadPicture(m_state, *m_dialogs)) {
            ShowState();
            m_picFNSet->FocusTextBox(1);
        }
        break;
    case Command::BMPSave:
    case Command::BMPSaveAs:
        SaveBitmap(m_state, *m_dialogs, command == Command::BMPSaveAs);
        ShowState();
        break;
    case Command::Export:
        if (const std::optional<ExportOptions> options = frmExport::Ask(this, m_state, *m_store)) {
            const QString path = AskExportPath(*m_dialogs, *options);
            if (!path.isEmpty()) {
                StartExport(path, *options);
            }
        }
        break;
    case Command::ToClipboard:
        CopyToClipboard(m_state);
        ShowState();
        break;
    case Command::FromClipboard:
        if (PasteFromClipboard(m_state)) {
            ShowState();
        }
        break;
    case Command::SetMore:
        mnuSetMore_Click(this, m_state, *m_dialogs);
        ServePendingRedraw();
        break;
    case Command::Surface:
        if (RestoreLabel(m_state)) {
            m_picScreen->update();
        }
        break;
    case Command::FileExit:
        close();
        break;
    case Command::HelpAbout:
        ShowVersion();
        break;
    case Command::HelpContents:
        ShowHelp();
        break;
    case Command::ValueTable:
        mnuValueTable_Click();
        break;
    case Command::Calculus:
        mnuCalculus_Click();
        break;
    case Command::ParameterWindow:
        mnuParameters_Click();
        break;
    default:
        break;
    }
}

void frmCurvane::tbToolBar_ButtonClick(const QString& key) {
    const std::optional<Command> command = CommandOfToolbarKey(key);
    if (!command) {
        return;
    }
    // Operations started from the toolbar stop quietly where they fail.
    try {
        RunCommand(*command);
    } catch (...) {
    }
}

void frmCurvane::WireLabels() {
    SheetView::EditRow& add = m_picScreen->AddRow();
    SheetView::EditRow& edit = m_picScreen->ReEditRow();
    const auto newest = [this] {
        return RefTo(m_state, LabelKind::Free, m_state.AddMoji.UpperBound());
    };
    const auto edited = [this] { return m_state.EditedLabel.value_or(LabelRef{}); };
    for (auto [row, target] : {std::pair{&add, std::function<LabelRef()>(newest)},
                               std::pair{&edit, std::function<LabelRef()>(edited)}}) {
        SheetView::EditRow* r = row;
        connect(r->text, &QLineEdit::textChanged, this, [this, r, target](const QString& text) {
            SetLabelText(m_state, target(), text);
            m_picScreen->update();
            RecordEdit(Step::LabelText, r->text->objectName());
        });
        connect(r->colour, &ClickLabel::clicked, this, [this, r, target] {
            const TextLabel* label = Resolve(m_state, target());
            if (label == nullptr) {
                return;
            }
            if (const std::optional<ColorRef> colour =
                    m_dialogs->ChooseColor(label->color, false)) {
                SetLabelColor(m_state, target(), *colour);
                SheetView::SetSwatch(*r, *colour);
                m_picScreen->update();
                RecordStep(Step::LabelColour);
            }
        });
        connect(r->font, &ClickLabel::clicked, this, [this, target] {
            const TextLabel* label = Resolve(m_state, target());
            if (label == nullptr) {
                return;
            }
            if (const std::optional<FontSpec> font = m_dialogs->ChooseFont(label->Font())) {
                SetLabelFont(m_state, target(), *font);
                m_picScreen->update();
                RecordStep(Step::LabelFont);
            }
        });
    }
    connect(m_picScreen, &SheetView::labelDropped, this, [this](LabelRef label, QPointF at) {
        if (DropLabel(m_state, label, at)) {
            m_picScreen->update();
            RecordStep(Step::LabelMove);
        }
    });
    connect(m_picScreen, &SheetView::labelErased, this, [this](LabelRef label) {
        EraseLabel(m_state, label);
        m_picScreen->update();
        RecordStep(Step::LabelErase);
    });
    connect(m_picScreen, &SheetView::labelDoubleClicked, this, &frmCurvane::BeginLabelEdit);
}

void frmCurvane::mnuAddMoji_Click() {
    SheetView::EditRow& row = m_picScreen->AddRow();
    AddFreeLabel(m_state, SheetView::RowHeight(row), row.text->width());
    // The sheet goes home so the new label and its row are in sight.
    m_picScreen->move(0, m_tbToolBar->height());
    LayoutSheetScrollBars();
    m_picScreen->ShowRow(row, QPointF(0, 0));
    m_picScreen->update();
}

void frmCurvane::BeginLabelEdit(LabelRef ref) {
    m_state.EditedLabel = ref;
    const TextLabel* label = Resolve(m_state, ref);
    if (label == nullptr) {
        return;
    }
    SheetView::EditRow& row = m_picScreen->ReEditRow();
    row.text->setText(label->Text());
    label = Resolve(m_state, ref); // the text written back may have resized it
    m_picScreen->ShowRow(
        row, ReEditRowPosition(*label, SheetView::RowWidth(row), m_state.Graph.GraphWidthPx));
}

void frmCurvane::SheetResized() {
    m_picScreen->FitToSurface();
    LayoutSheetScrollBars();
    ShowState();
}

void frmCurvane::SizeEntered(Axis axis, const QString& millimetres) {
    const SizeRefusal refusal = axis == Axis::X ? ApplySheetWidth(m_state, millimetres)
                                                : ApplySheetHeight(m_state, millimetres);
    if (refusal != SizeRefusal::None) {
        m_dialogs->Message(SizeRefusalText(refusal), windowTitle(), false);
        return; // the editor stays open with what was typed
    }
    m_picGraphSet->CloseSizeEditor(axis);
    SheetResized();
    RecordStep(Step::SheetSize);
}

void frmCurvane::mnuMatching_Click() {
    const double outerWidth = Tw(frameGeometry().width());
    const double sheetOuterWidth = outerWidth - Tw(m_picGraphSet->width());
    const double sheetOuterHeight =
        Tw(m_client->height()) - Tw(m_picFNSet->height()) - Tw(m_tbToolBar->height());
    if (ResizeSheet(m_state, Px(sheetOuterWidth) - 2 * SheetFramePx,
                    Px(sheetOuterHeight) - 2 * SheetFramePx) != SizeRefusal::None) {
        return; // a window too small to hold a sheet at all
    }
    SheetResized();
    m_picGraphSet->SetSizeEntries(SheetMillimetres(m_state.Graph.GraphWidthPx),
                                  SheetMillimetres(m_state.Graph.GraphHeightPx));
}

void frmCurvane::ArmZoom(int direction) {
    m_state.CalculusArmed = CalculusTool::None; // one mouse mode at a time
    if (m_frmCalculus != nullptr) {
        m_frmCalculus->ShowTools();
    }
    m_state.ZoomDirection = static_cast<std::int16_t>(direction);
    m_picScreen->setCursor(ZoomCursor(direction));
}

void frmCurvane::picScreen_MouseUp(Qt::MouseButton button, QPointF position) {
    if (m_frmCalculus != nullptr && m_frmCalculus->SheetReleased(button, position)) {
        return; // an armed calculus tool takes the sheet's clicks
    }
    const auto x = static_cast<float>(position.x());
    const auto y = static_cast<float>(position.y());
    // A zoom or an origin put down is one step; starting to place the origin changes nothing.
    const Step kind = m_state.ZoomDirection > 0   ? Step::ZoomIn
                      : m_state.ZoomDirection < 0 ? Step::ZoomOut
                                                  : Step::Origin;
    const auto step = qScopeGuard([this, kind] { RecordStep(kind); });
    if (m_state.ZoomDirection != 0) {
        if (button == Qt::RightButton) {
            return; // the zoom stays armed
        }
        ZoomAt(m_state, m_state.ZoomDirection, x, y);
        m_state.ZoomDirection = 0;
        m_picScreen->unsetCursor();
        m_picGraphSet->ShowSpacing();
        ShowState();
        return;
    }
    if (button == Qt::RightButton && !m_state.OriginDragging) {
        m_state.Guides = GuideLinesAt(m_state, x, y, m_state.Guides);
        m_state.OriginDragging = true;
        ShowState();
    } else if (button == Qt::LeftButton && m_state.OriginDragging) {
        m_state.OriginDragging = false;
        PlaceOrigin(m_state, x, y);
        ShowState();
    }
}

void frmCurvane::picScreen_MouseMove(QPointF position) {
    if (m_frmCalculus != nullptr && m_frmCalculus->SheetMoved(position)) {
        m_picScreen->update(); // the band of an area being dragged
    }
    if (m_state.OriginDragging) {
        m_state.Guides = GuideLinesAt(m_state, position.x(), position.y(), m_state.Guides);
        m_picScreen->update();
    }
    ShowReadout(position);
}

void frmCurvane::ShowReadout(std::optional<QPointF> position) {
    m_readoutAt = position;
    const std::optional<ReadoutRequest> request =
        position ? MakeReadoutRequest(m_state, *position) : std::nullopt;
    if (!request) {
        m_readoutWorker->Cancel();
        m_readout->hide();
        return;
    }
    std::vector<ReadoutLine> lines;
    if (request->functions.empty()) {
        lines = PendingReadout(*request); // nothing to compute
    } else {
        // The values are computed on the readout's worker; a quick answer is shown at once, a
        // slow one replaces "計算中…" (computing) when it comes, unless the mouse moved on.
        m_readoutId = m_readoutWorker->Post(*request);
        if (!m_readoutWorker->WaitFor(m_readoutId, std::chrono::milliseconds(15), lines)) {
            lines = PendingReadout(*request);
        }
    }
    ShowReadoutLines(std::move(lines));
}

void frmCurvane::ReadoutArrived(std::uint64_t id, const std::vector<ReadoutLine>& lines) {
    if (id == m_readoutId && m_readoutAt && m_readout->isVisible()) {
        ShowReadoutLines(lines);
    }
}

void frmCurvane::ShowReadoutLines(std::vector<ReadoutLine> lines) {
    m_readout->SetLines(std::move(lines));
    PlaceReadout(m_picScreen->mapTo(m_client, m_readoutAt->toPoint()));
    m_readout->show();
    m_readout->raise();
}

void frmCurvane::PlaceReadout(QPoint mouse) {
    QRect under = m_picGraphSet->FreeAreaUnderFrames();
    under.translate(m_picGraphSet->pos());
    const QSize fitted = m_readout->FitToWidth(under.width());
    if (fitted.height() <= under.height()) {
        m_readout->setGeometry(QRect(under.topLeft(), QSize(under.width(), fitted.height())));
        return;
    }
    // Too low there (the window's designed height leaves little room): over the sheet instead.
    QRect view(QPoint(0, m_tbToolBar->geometry().bottom() + 1),
               QPoint(m_picGraphSet->x() - 1, m_picFNSet->y() - 1));
    if (m_scrYdirect->isVisible()) {
        view.setRight(m_scrYdirect->x() - 1);
    }
    if (m_scrXdirect->isVisible()) {
        view.setBottom(m_scrXdirect->y() - 1);
    }
    const QRect sheet = m_picScreen->geometry() & view;
    m_readout->setGeometry(ReadoutCorner(sheet, mouse, m_readout->FitToWidth(sheet.width())));
}

void frmCurvane::mnuValueTable_Click() {
    if (m_frmValueTable == nullptr) {
        m_frmValueTable = new frmValueTable(m_state, *m_dialogs, this);
        connect(m_frmValueTable, &frmValueTable::labelAdded, this, [this] {
            // The sheet goes home, as for any new label, so the label is in sight.
            m_picScreen->move(0, m_tbToolBar->height());
            LayoutSheetScrollBars();
            m_picScreen->update();
            RecordStep(Step::AddLabel);
        });
        // Beside the main window, where it hides nothing of it, when the screen has room.
        const QRect outer = frameGeometry();
        m_frmValueTable->move(outer.right() + 8, outer.top());
    }
    m_frmValueTable->show();
    m_frmValueTable->raise();
    m_frmValueTable->activateWindow();
    m_frmValueTable->ShowForSheet();
}

void frmCurvane::mnuCalculus_Click() {
    if (m_frmCalculus == nullptr) {
        m_frmCalculus = new frmCalculus(m_state, *m_dialogs, this);
        connect(m_frmCalculus, &frmCalculus::sheetChanged, this, &frmCurvane::ShowState);
        connect(m_frmCalculus, &frmCalculus::toolChanged, this, &frmCurvane::ShowCalculusCursor);
        // Beside the main window, below the table of values' place.
        const QRect outer = frameGeometry();
        m_frmCalculus->move(outer.right() + 8, outer.top() + 40);
    }
    m_frmCalculus->ShowTools();
    m_frmCalculus->show();
    m_frmCalculus->raise();
    m_frmCalculus->activateWindow();
}

void frmCurvane::ShowCalculusCursor() {
    switch (m_state.CalculusArmed) {
    case CalculusTool::Tangent:
        m_picScreen->setCursor(Qt::CrossCursor);
        break;
    case CalculusTool::Area:
        m_picScreen->setCursor(Qt::SplitHCursor);
        break;
    case CalculusTool::None:
        if (m_state.ZoomDirection == 0) {
            m_picScreen->unsetCursor();
        }
        break;
    }
    m_picScreen->update();
}

void frmCurvane::mnuFileNew_Click() {
    if (!AskBeforeLosingWork()) {
        return;
    }
    NewSettings(m_state);
    if (m_frmValueTable != nullptr) {
        m_frmValueTable->DocumentReset();
    }
    m_picGraphSet->ShowRecord();
    ShowState();
    RecordStep(Step::New);
    DocumentKept(QString());
    m_picFNSet->FocusTextBox(1);
}

void frmCurvane::mnuFileOpen_Click() {
    const QString path = AskSettingsFileToOpen(*m_dialogs);
    if (!path.isEmpty()) {
        OpenSettingsPath(path);
    }
}

void frmCurvane::OpenSettingsPath(const QString& path) {
    if (m_work != nullptr || !AskBeforeLosingWork()) {
        return;
    }
    const std::optional<SettingsFileData> file = ReadSettingsFileToOpen(m_state, *m_dialogs, path);
    if (!file) {
        return;
    }
    // A maximised or minimised window cannot take a size: it is restored first.
    if (isMaximized() || isMinimized()) {
        showNormal();
    }
    const auto sane = [](double twips) { return twips > 0 && twips <= 32767.0 * 15.0; };
    if (sane(file->windowWidth) && sane(file->windowHeight)) {
        // No larger than the screen, and moved as far as it takes to stay on it.
        const QRect outer = frameGeometry();
        const Placement wanted{Tw(outer.x()), Tw(outer.y()), file->windowWidth, file->windowHeight};
        const Placement fitted = FitToArea(wanted, AvailableArea(wanted));
        const QSize extra = FrameExtra();
        move(Px(fitted.left), Px(fitted.top));
        resize(std::max(1, Px(fitted.width) - extra.width()),
               std::max(1, Px(fitted.height) - extra.height()));
        m_fileWindowSize = RememberFileWindowSize(file->windowWidth, file->windowHeight);
    }
    ApplySettingsFile(m_state, *file);
    m_picScreen->FitToSurface();
    m_picGraphSet->ShowRecord();
    LayoutWindow();
    ShowState();
    RecordStep(Step::OpenSettings);
    DocumentKept(path);
    m_picFNSet->FocusTextBox(1);
}

AxisPanelTexts frmCurvane::PanelTexts() const {
    AxisPanelTexts texts;
    for (const Axis axis : {Axis::X, Axis::Y}) {
        texts.Of(axis) = {m_picGraphSet->UnitText(axis), m_picGraphSet->OriginValueText(axis),
                          m_picGraphSet->SmallValueText(axis)};
    }
    return texts;
}

void frmCurvane::DrawClicked(int slot) {
    if (m_work != nullptr) {
        return; // one computation at a time; its progress dialog is in front
    }
    const AxisPanelTexts panel = PanelTexts();
    // The step is named by what the button offered: "描画", "消去" or "更新".
    const DrawButtonState offered = SlotOf(m_state.Slots, slot).Button;
    const Step step = offered == DrawButtonState::Erase    ? Step::Erase
                      : offered == DrawButtonState::Update ? Step::Update
                                                           : Step::Draw;
    DrawOutcome outcome;
    std::optional<SampleJob> job = BeginDrawClick(m_state, slot, &panel, outcome);
    if (!job) {
        ShowState();
        RecordStep(step, slot);
        ShowDrawOutcome(slot, outcome);
        return;
    }
    // The columns are computed on a worker; the window goes on painting and answering, and the
    // rows are taken over when they are done (or dropped, when the user changed the expression
    // or the axes meanwhile).
    // "F1(x) を計算しています" = computing F1(x); "%1 / %2 列を計算しました" = %1 of %2 columns
    // computed
    auto shared = std::make_shared<SampleJob>(std::move(*job));
    m_work = new BackgroundWork(this, QStringLiteral("F%1(x) を計算しています").arg(slot),
                                QStringLiteral("%1 / %2 列を計算しました"));
    m_work->Start(
        [shared](JobProgress& progress) {
            ScriptEvaluator evaluator;
            evaluator.SetStopFlag(&progress.StopFlag());
            RunSampleJob(*shared, evaluator, &progress);
        },
        [this, shared, slot, step, newParameters = outcome.newParameters] {
            m_work->deleteLater();
            m_work = nullptr;
            DrawOutcome drawn = FinishDrawClick(m_state, std::move(*shared));
            drawn.newParameters = drawn.newParameters || newParameters;
            ShowState();
            RecordStep(step, slot);
            if (m_closeAfterWork) {
                m_closeAfterWork = false;
                close(); // asked for while the computation ran
                return;
            }
            ShowDrawOutcome(slot, drawn);
        });
}

void frmCurvane::StartExport(const QString& path, const ExportOptions& options) {
    if (m_work != nullptr) {
        return; // one computation at a time; its progress dialog is in front
    }
    // The curves are evaluated again and the file written on a worker, from a copy of the
    // document: the window goes on answering, and may change meanwhile.
    auto document = std::make_shared<const CurvaneDocument>(m_state);
    auto failure = std::make_shared<FileProblem>();
    // "画像を描いています" = drawing the picture
    m_work =
        new BackgroundWork(this, ExportTitle(), QStringLiteral("画像を描いています (%1 / %2)"));
    m_work->Start(
        [document, failure, path, options](JobProgress& progress) {
            ScriptEvaluator evaluator;
            evaluator.SetStopFlag(&progress.StopFlag());
            *failure = RunExport(*document, evaluator, path, options, &progress);
        },
        [this, failure, path] {
            m_work->deleteLater();
            m_work = nullptr;
            ReportExport(*m_dialogs, path, *failure);
            if (m_closeAfterWork) {
                m_closeAfterWork = false;
                close();
            }
        });
}

void frmCurvane::ShowDrawOutcome(int slot, const DrawOutcome& outcome) {
    // The first draw of a session that reads names without a value opens their window.
    if (outcome.newParameters && !m_parametersOpened) {
        m_parametersOpened = true;
        mnuParameters_Click();
    }
    if (outcome.bracketMessage) {
        // "括弧（）が合っていません" = the brackets do not match; "括弧エラー" = bracket error
        m_dialogs->Message(QStringLiteral("括弧（）が合っていません"), QStringLiteral("括弧エラー"),
                           false);
    }
    if (!outcome.noValueMessage.isEmpty()) {
        m_dialogs->Message(outcome.noValueMessage, NoValueTitle(), false);
    }
    if (!outcome.notationMessage.isEmpty()) {
        m_dialogs->Message(outcome.notationMessage, NotationNoticeTitle(), false);
    }
    if (outcome.focusTextBox) {
        m_picFNSet->FocusTextBox(slot);
    }
}

void frmCurvane::ColorClicked(int slot) {
    const std::optional<ColorRef> colour =
        m_dialogs->ChooseColor(SlotOf(m_state.Slots, slot).Color, false);
    ColorChosen(m_state, slot, colour);
    ShowState();
    RecordStep(Step::Colour, slot);
}

void frmCurvane::StyleClicked(int slot) {
    m_picFNSet->FocusTextBox(slot);
    m_state.StyleTarget = static_cast<std::int16_t>(slot);
    const int chosen = m_dialogs->PopupMenu(LineStyleCaptions());
    if (chosen >= 0 && chosen < LineStyleCodes().size()) {
        ChooseLineStyle(chosen);
    }
}

void frmCurvane::ChooseLineStyle(int index) {
    if (!StyleChosen(m_state, LineStyleCodes().at(index))) {
        // "関数テキストボックスにフォーカスがありません" = no function text box has the focus
        m_dialogs->Message(QStringLiteral("関数テキストボックスにフォーカスがありません"),
                           QStringLiteral("Curvane"), false);
        return;
    }
    ShowState();
    RecordStep(Step::LineStyle, m_state.StyleTarget);
}

void frmCurvane::ShowHelp() {
    if (m_helpPath.isEmpty()) {
        // "ﾍﾙﾌﾟの目次を表示できません。 このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。"
        // = cannot show the help contents; no help is associated with this project.
        m_dialogs->Message(QStringLiteral("ﾍﾙﾌﾟの目次を表示できません。 "
                                          "このﾌﾟﾛｼﾞｪｸﾄに関連付けられたﾍﾙﾌﾟが存在しません。"),
                           windowTitle(), true);
        return;
    }
    QString error;
    if (!ShowHelpContents(this, m_helpPath, &error)) {
        m_dialogs->Message(error, windowTitle(), false);
    }
}

void frmCurvane::ShowVersion() {
    m_dialogs->Message(VersionText(), windowTitle(), false);
}

QSize frmCurvane::FrameExtra() const {
    return frameGeometry().size() - geometry().size();
}

void frmCurvane::RestorePlacement() {
    m_placementRead = LoadPlacement(*m_store);
    m_placement = m_placementRead;
    ApplyPlacement();
}

TwipRect frmCurvane::AvailableArea(const Placement& wanted) const {
    const QRect wantedPx = PxRect({wanted.left, wanted.top, wanted.width, wanted.height});
    QScreen* on = QGuiApplication::screenAt(wantedPx.center());
    if (on == nullptr) {
        on = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    }
    return on != nullptr ? TwRect(on->availableGeometry())
                         : TwipRect{wanted.left, wanted.top, wanted.width, wanted.height};
}

void frmCurvane::ApplyPlacement() {
    const QSize extra = FrameExtra();
    // A size or position beyond the screen (a damaged store) is brought onto it; the size kept
    // as the smallest allowed, and stored at exit, is then one the screen can hold.
    m_placement = FitToArea(m_placement, AvailableArea(m_placement));
    setMinimumSize(0, 0);
    move(Px(m_placement.left), Px(m_placement.top));
    resize(std::max(1, Px(m_placement.width) - extra.width()),
           std::max(1, Px(m_placement.height) - extra.height()));
    m_loadWidth = Tw(size().width() + extra.width());
    m_loadHeight = Tw(size().height() + extra.height());
    // The restored size is the smallest the window may become in this run.
    setMinimumSize(size());
}

void frmCurvane::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The placement is the outer size; the frame is known only once the window is on screen.
    if (!m_placedWithFrame && !event->spontaneous()) {
        m_placedWithFrame = true;
        if (FrameExtra() != QSize(0, 0)) {
            ApplyPlacement();
        }
        // The window's first paint puts the focus into the F1 box.
        m_picFNSet->FocusTextBox(1);
    }
}

void frmCurvane::LayoutWindow() {
    if (isMinimized()) {
        return;
    }
    const int toolbarHeight = m_tbToolBar->sizeHint().height();
    const double outerWidth = Tw(width() + FrameExtra().width());
    const WindowLayout layout =
        ::LayoutWindow(outerWidth, Tw(m_client->height()), Tw(toolbarHeight));
    m_tbToolBar->setGeometry(0, 0, m_client->width(), toolbarHeight);
    m_picGraphSet->setGeometry(PxRect(layout.graphSet));
    m_picFNSet->setGeometry(PxRect(layout.fnSet));
    m_picScreen->move(Px(layout.sheetLeft), Px(layout.sheetTop));
    LayoutSheetScrollBars();
    m_picScreen->lower();
    if (m_readout != nullptr && m_readout->isVisible() && m_readoutAt) {
        PlaceReadout(m_picScreen->mapTo(m_client, m_readoutAt->toPoint()));
    }
}

void frmCurvane::LayoutSheetScrollBars() {
    SheetScrollInput input{};
    input.sheetWidth = Tw(m_picScreen->width());
    input.sheetHeight = Tw(m_picScreen->height());
    input.graphSet = TwRect(m_picGraphSet->geometry());
    input.fnSet = TwRect(m_picFNSet->geometry());
    input.toolbarTop = Tw(m_tbToolBar->y());
    input.toolbarHeight = Tw(m_tbToolBar->height());
    input.horizontalBarHeight = Tw(m_scrXdirect->sizeHint().height());
    input.verticalBarWidth = Tw(m_scrYdirect->sizeHint().width());
    const SheetScrollPlan plan = ::LayoutSheetScrollBars(input);

    // Each assignment moves the sheet at once when it clamps the bar's value, as a user's
    // scrolling would; the value set last is read from where the sheet then is.
    const auto apply = [&](QScrollBar* bar, const ScrollBarPlan& p, auto sheetPos) {
        if (!p.visible) {
            bar->hide();
            return;
        }
        bar->setMaximum(p.maximum);
        bar->setMinimum(p.minimum);
        bar->setValue(ToInt16(-Tw(sheetPos())));
        bar->setSingleStep(p.smallStep);
        bar->setPageStep(p.largeStep);
        bar->setGeometry(PxRect(p.rect));
        bar->show();
        bar->raise();
    };
    apply(m_scrXdirect, plan.horizontal, [this] { return m_picScreen->x(); });
    apply(m_scrYdirect, plan.vertical, [this] { return m_picScreen->y(); });
}

void frmCurvane::ServePendingRedraw() {
    const ActivationRedraw served = RedrawOnActivation(m_state);
    if (served != ActivationRedraw::None) {
        ShowState();
        RecordStep(served == ActivationRedraw::Settings ? Step::Details : Step::Redraw);
    }
}

void frmCurvane::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Becoming active again is how the window learns that a modal dialog closed.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        ServePendingRedraw();
    }
    if (event->type() == QEvent::WindowStateChange) {
        LayoutWindow();
        // Shown again after being minimised: the window paints itself anew, and the F1 box
        // gets the focus as on the first paint.
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if ((change->oldState() & Qt::WindowMinimized) && !isMinimized()) {
            m_picFNSet->FocusTextBox(1);
        }
    }
}

void frmCurvane::closeEvent(QCloseEvent* event) {
    if (m_work != nullptr) {
        // The state is in use: the computation stops first, and the window closes after it.
        m_work->Cancel();
        m_closeAfterWork = true;
        event->ignore();
        return;
    }
    if (!AskBeforeLosingWork()) {
        event->ignore();
        return;
    }
    // A normal end: the work is saved or not to be kept, so nothing is offered back next time.
    if (m_autosave) {
        m_autosave->Discard();
    }
    const QRect outer = frameGeometry();
    const Placement placement{Tw(outer.x()), Tw(outer.y()), Tw(outer.width()), Tw(outer.height())};
    const WindowShow show = isMinimized()   ? WindowShow::Minimized
                            : isMaximized() ? WindowShow::Maximized
                                            : WindowShow::Normal;
    SavePlacement(*m_store, PlacementToSave(m_placementRead, placement), show);
    // No window of ours (the help) keeps the program running once the main window is gone.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) {
            child->close();
        }
    }
    event->accept();
}

bool frmCurvane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        LayoutWindow();
    }
    if (event->type() == QEvent::ShortcutOverride && UndoKeysUndoSteps(watched, event)) {
        return true; // not the box's: the window's undo and redo take the keys
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmCurvane::keyPressEvent(QKeyEvent* event) {
    // Escape reaches the window from wherever no control took it: it ends an armed zoom or an
    // origin placement without a change.
    if (event->key() == Qt::Key_Escape && CancelMouseModes(m_state)) {
        m_picScreen->unsetCursor();
        ShowState();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmCurvane::ShowState() {
    m_picScreen->update();
    ShowControls();
}

void frmCurvane::ShowFrame(const std::vector<QRect>& sheetChanged) {
    m_picScreen->ShowChanged(sheetChanged);
    ShowControls();
}

void frmCurvane::ShowControls() {
    // A redraw that discarded the tick number being re-edited leaves its edit box nothing to do.
    if (EditedLabelGone(m_state)) {
        m_state.EditedLabel.reset();
        m_picScreen->HideRow(m_picScreen->ReEditRow());
    }
    if (m_readoutAt) {
        ShowReadout(m_readoutAt); // the curves or the axes under the mouse may have changed
    }
    m_picGraphSet->ShowSheetSize();
    m_picFNSet->ShowSlots(m_state.Slots);
    if (m_frmValueTable != nullptr) {
        m_frmValueTable->FollowDocument();
    }
    if (m_frmCalculus != nullptr) {
        m_frmCalculus->ShowTools();
    }
    if (m_frmParameters != nullptr) {
        m_frmParameters->ShowParameters();
    }
}

// The keeping of the document: undo and redo, worksheets, the recent files, the question before
// work is lost, and the autosave with its recovery.

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

// The parameters: their window, and the curves drawn again as a value moves.

void frmCurvane::mnuParameters_Click() {
    if (m_frmParameters == nullptr) {
        m_frmParameters = new frmParameters(m_state, *m_store, this);
        connect(m_frmParameters, &frmParameters::valueMoved, this, &frmCurvane::ParameterMoved);
        connect(m_frmParameters, &frmParameters::valueSet, this, &frmCurvane::ParameterSet);
    }
    m_frmParameters->ShowParameters();
    m_frmParameters->show();
    m_frmParameters->raise();
}

void frmCurvane::ParameterMoved() {
    if (m_work != nullptr) {
        return; // a draw is under way; it reads the values when it is done
    }
    ParameterFrame frame = BeginParameterFrame(m_state, m_frmParameters->KeepTraces());
    if (frame.jobs.empty()) {
        ShowState();
        return;
    }
    if (!m_parameterWorker) {
        m_parameterWorker = std::make_unique<ParameterWorker>(
            [evaluator = std::make_shared<ScriptEvaluator>(),
             helper = std::make_shared<ScriptEvaluator>()](const ParameterFrame& request,
                                                           const std::atomic<bool>& stop) {
                // A newer value stops the frame of an older one, even inside one evaluation.
                evaluator->SetStopFlag(&stop);
                helper->SetStopFlag(&stop);
                ParameterFrame computed = request;
                RunParameterFrame(computed, *evaluator, nullptr, helper.get());
                return computed;
            },
            [this](std::uint64_t id, const ParameterFrame& computed) {
                QMetaObject::invokeMethod(
                    this, [this, id, computed] { ParameterFrameArrived(id, computed); },
                    Qt::QueuedConnection);
            });
    }
    // While sampling is slower than the values move, the frames between are dropped; a quick
    // frame is drawn before the window goes on.
    m_parameterPosted = m_parameterWorker->Post(std::move(frame));
    ParameterFrame computed;
    if (m_parameterWorker->WaitFor(m_parameterPosted, std::chrono::milliseconds(30), computed)) {
        ParameterFrameArrived(m_parameterPosted, computed);
    }
}

void frmCurvane::ParameterFrameArrived(std::uint64_t id, const ParameterFrame& frame) {
    if (id <= m_parameterDrawn || id != m_parameterPosted) {
        return; // drawn already, or a newer value is on its way
    }
    m_parameterDrawn = id;
    ParameterFrame taken = frame;
    if (FinishParameterFrame(m_state, taken)) {
        ShowFrame(taken.changed);
    } else {
        ShowState();
    }
    if (m_parameterStepDue) {
        m_parameterStepDue = false;
        RecordStep(Step::Parameter);
    }
}

void frmCurvane::ParameterSet() {
    if (m_parameterPosted > m_parameterDrawn) {
        m_parameterStepDue = true; // recorded with the curves of the value, once drawn
        return;
    }
    ShowState();
    RecordStep(Step::Parameter);
}

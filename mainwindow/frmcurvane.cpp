#include "mainwindow/frmcurvane.h"

#include "graph/redraw.h"
#include "mainwindow/sheetview.h"
#include "platform/qtdialogs.h"
#include "platform/settings_store.h"
#include "platform/units.h"

#include <QtCore/QEvent>
#include <cmath>

namespace {

int TwipsToWholePixels(double twips) {
    return static_cast<int>(std::lround(units::TwipsToPixels(twips)));
}

} // namespace

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

    const int sheetWidth = TwipsToWholePixels(DesignSheetWidthTwips) - 2 * SheetFramePx;
    const int sheetHeight = TwipsToWholePixels(DesignSheetHeightTwips) - 2 * SheetFramePx;
    StartGraph(m_state, sheetWidth, sheetHeight);

    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("sheetArea"));
    setCentralWidget(area);
    m_picScreen = new SheetView(m_state, area);
    m_picScreen->move(0, 0);

    // The designed outer size of the window: 6915 × 5955 twips.
    resize(TwipsToWholePixels(6915.0), TwipsToWholePixels(5955.0));
}

frmCurvane::~frmCurvane() = default;

void frmCurvane::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Becoming active again is how the window learns that a modal dialog closed.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (RedrawOnActivation(m_state) != ActivationRedraw::None) {
            ShowState();
        }
    }
}

void frmCurvane::ShowState() { m_picScreen->update(); }

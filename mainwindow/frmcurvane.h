#pragma once

#include "mainwindow/curvanestate.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"

#include <QtWidgets/QMainWindow>
#include <memory>

class SheetView;

// The main window: owns all state of the program and shows it.
class frmCurvane : public QMainWindow {
    Q_OBJECT
public:
    // Without dialogs or a store the window uses the real ones; tests hand in their own.
    explicit frmCurvane(std::unique_ptr<Dialogs> dialogs = nullptr,
                        std::unique_ptr<SettingsStore> store = nullptr, QWidget* parent = nullptr);
    ~frmCurvane() override;

    CurvaneState& State() { return m_state; }
    SheetView* Sheet() const { return m_picScreen; }

protected:
    void changeEvent(QEvent* event) override;

private:
    // Brings the controls in line with the state after a handler changed it.
    void ShowState();

    CurvaneState m_state;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<SettingsStore> m_store;
    SheetView* m_picScreen = nullptr;
};

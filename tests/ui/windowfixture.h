#pragma once

#include "platform/settings_store.h"
#include "tests/support/fakedialogs.h"
#include "ui/frmcurvane.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>
#include <memory>

// A main window on a placement store of its own, with scripted dialogs, shown and active.
struct WindowFixture {
    QTemporaryDir dir;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<frmCurvane> window;

    explicit WindowFixture(bool show = true) {
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        window = std::make_unique<frmCurvane>(
            std::move(fake),
            std::make_unique<QtSettingsStore>(dir.filePath(QStringLiteral("placement.ini"))));
        if (show) {
            window->show();
            window->activateWindow();
            if (!QTest::qWaitForWindowActive(window.get())) {
                qWarning("window not active");
            }
        }
    }
    template <class T>
    T* Find(const char* name) const {
        T* found = window->findChild<T*>(QString::fromUtf8(name));
        if (!found) {
            qWarning("no %s", name);
        }
        return found;
    }
    CurvaneState& State() { return window->State(); }
};

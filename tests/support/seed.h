#pragma once

#include <QtCore/QRandomGenerator>
#include <QtCore/QtGlobal>

// The seed of a random run: CURVANE_SEED when set, so that a failure can be run again.
inline quint64 TestSeed() {
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("CURVANE_SEED").toULongLong(&ok);
    return ok ? seed : QRandomGenerator::system()->generate64();
}

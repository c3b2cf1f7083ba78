#include "program/autosave.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <algorithm>
#include <mutex>

namespace {

// More windows than anyone keeps open at once.
constexpr int AutosaveSlots = 64;

} // namespace

void AutosaveClock::Changed(qint64 now) {
    if (!m_first) {
        m_first = now;
    }
    m_last = now;
}

void AutosaveClock::Kept() {
    m_first.reset();
}

std::optional<qint64> AutosaveClock::DueAt() const {
    if (!m_first) {
        return std::nullopt;
    }
    return std::min(m_last + QuietMs, *m_first + LatestMs);
}

struct AutosaveFile::Shared {
    std::mutex mutex;
    FileProblem problem;
};

AutosaveFile::AutosaveFile(QString folder)
    : m_folder(std::move(folder)), m_shared(std::make_shared<Shared>()) {
    m_writer.setMaxThreadCount(1);
}

AutosaveFile::~AutosaveFile() {
    Wait();
}

bool AutosaveFile::Open() {
    const QDir folder(m_folder);
    if (!folder.mkpath(QStringLiteral("."))) {
        return false;
    }
    const auto slotFile = [&](int n, const char* suffix) {
        return folder.filePath(QStringLiteral("autosave-%1.%2").arg(n).arg(QLatin1String(suffix)));
    };
    const auto take = [&](int n) {
        auto lock = std::make_unique<QLockFile>(slotFile(n, "lock"));
        // The lock is held for the window's whole life: it is stale only once its process is
        // gone, never by its age.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            return false;
        }
        m_lock = std::move(lock);
        m_path = slotFile(n, "cvw");
        m_leftOver = QFileInfo(m_path).isFile();
        return true;
    };
    // A slot with work left in it first, so that it is offered back.
    const QStringList leftOver = folder.entryList({QStringLiteral("autosave-*.cvw")}, QDir::Files);
    for (const QString& name : leftOver) {
        bool number = false;
        const int n = name.mid(9, name.size() - 13).toInt(&number);
        if (number && n >= 1 && n <= AutosaveSlots && take(n)) {
            return true;
        }
    }
    for (int n = 1; n <= AutosaveSlots; ++n) {
        if (take(n)) {
            return true;
        }
    }
    return false;
}

void AutosaveFile::Write(WorksheetDraft draft) {
    if (!m_lock) {
        return;
    }
    m_writer.start([shared = m_shared, path = m_path, draft = std::move(draft)] {
        const FileProblem problem = WriteBytesSafely(path, FinishWorksheet(draft));
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->problem = problem;
    });
}

void AutosaveFile::Wait() {
    m_writer.waitForDone();
}

void AutosaveFile::Discard() {
    Wait();
    if (m_lock) {
        QFile::remove(m_path);
    }
    m_leftOver = false;
}

FileProblem AutosaveFile::LastProblem() const {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->problem;
}

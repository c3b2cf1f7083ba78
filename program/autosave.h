#pragma once

#include "files/safefile.h"
#include "program/worksheet.h"

#include <QtCore/QLockFile>
#include <QtCore/QString>
#include <QtCore/QThreadPool>
#include <memory>
#include <optional>

// When unsaved work is written to the autosave file: once the user has left it alone for a
// while, and never later than a limit after the first change that is not kept yet, so that steady
// work is kept too.
class AutosaveClock {
public:
    static constexpr qint64 QuietMs = 2000;
    static constexpr qint64 LatestMs = 30000;

    // A change at a moment (milliseconds of any steady clock).
    void Changed(qint64 now);
    // The work is kept (written, saved, or back as it was saved): nothing is due.
    void Kept();
    // When the write is due; nothing when no change waits.
    std::optional<qint64> DueAt() const;

private:
    std::optional<qint64> m_first;
    qint64 m_last = 0;
};

// One window's autosave file. Every window of a user keeps its own in one folder: slot n is
// "autosave-n.cvw", held by the lock file "autosave-n.lock" for as long as its window runs, so two
// windows never write into one file. A file whose lock nobody holds was left by a window that did
// not end normally (a crash, a kill): Open takes such a slot first and offers what it holds.
class AutosaveFile {
public:
    explicit AutosaveFile(QString folder);
    // Waits for a write under way and lets the slot go; the file stays (see Discard).
    ~AutosaveFile();

    // Takes a slot; false when the folder cannot be made or used (then nothing is ever written).
    bool Open();
    // The file of the slot taken.
    const QString& Path() const { return m_path; }
    // Whether the slot holds the work of a window that ended without closing.
    bool HasLeftOver() const { return m_leftOver; }

    // Writes a worksheet draft in the background: drafts are finished and written one after
    // another, each whole before it replaces the file.
    void Write(WorksheetDraft draft);
    // Waits until every write asked for is done.
    void Wait();
    // Removes the file, once any write under way is done: a normal end, declined recovery, or
    // work saved. The slot stays taken.
    void Discard();

    // The outcome of the last write finished (empty when it went well).
    FileProblem LastProblem() const;

private:
    QString m_folder;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_leftOver = false;
    QThreadPool m_writer;
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

#pragma once

#include "platform/progress.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QString>
#include <QtCore/QTimer>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// Work on a worker thread while the window goes on painting and answering. Once the work has
// run for ShowAfterMs, a progress dialog tells how far it got; its "キャンセル" (cancel) stops the
// work at once, also inside a single long evaluation. What the work computed is taken over on
// the window's thread when it ends. One piece of work at a time.
class BackgroundWork : public QObject {
    Q_OBJECT
public:
    // label: what is being done, in Japanese, with %1 for the steps done and %2 for all. The
    // dialog is modal for parent's window when modality says so; otherwise every window stays
    // usable while the work runs.
    BackgroundWork(QWidget* parent, QString title, QString label,
                   Qt::WindowModality modality = Qt::NonModal);
    // Stops the work and waits for its end.
    ~BackgroundWork() override;

    // Runs work on a worker thread, then finished on this object's thread (not once this object
    // is gone). Work that ends within BriefMs is finished before Start returns, as if it had run
    // on the window's thread: the window does not flicker for everyday work. False, and nothing
    // started, while earlier work still runs.
    bool Start(std::function<void(JobProgress& progress)> work, std::function<void()> finished);
    // Runs work as Start does and waits for it with the window's events going on. False when it
    // was stopped (by the user or by Cancel).
    bool Run(std::function<void(JobProgress& progress)> work);

    bool Running() const { return m_job != nullptr; }
    // Asks the work to stop; finished still runs.
    void Cancel();
    // Waits, without events, until the worker has ended.
    void Wait();

    // How long work may run before the dialog shows, and how long Start waits for it.
    static constexpr int ShowAfterMs = 300;
    static constexpr int BriefMs = 60;

signals:
    // The work ended and its finished ran.
    void ended();

private:
    void Tick();
    void Ended();

    QWidget* m_parent;
    QString m_title;
    QString m_label;
    Qt::WindowModality m_modality;
    // The work under way, shared with the worker that runs it; null when none runs.
    struct Job;
    std::shared_ptr<Job> m_job;
    int m_generation = 0; // which Start a worker's end belongs to
    std::shared_ptr<JobProgress> m_progress;
    std::function<void()> m_finished;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QPointer<QProgressDialog> m_dialog;
};

#include "ui/backgroundwork.h"

#include <QtCore/QEventLoop>
#include <QtCore/QThreadPool>
#include <QtWidgets/QProgressDialog>
#include <QtWidgets/QWidget>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace {

// How often the dialog looks at the work's progress.
constexpr int TickMs = 50;

} // namespace

BackgroundWork::BackgroundWork(QWidget* parent, QString title, QString label,
                               Qt::WindowModality modality)
    : QObject(parent), m_parent(parent), m_title(std::move(title)), m_label(std::move(label)),
      m_modality(modality) {
    m_timer.setInterval(TickMs);
    connect(&m_timer, &QTimer::timeout, this, &BackgroundWork::Tick);
}

BackgroundWork::~BackgroundWork() {
    Cancel();
    Wait();
    delete m_dialog;
}

// Whether the worker has finished, for waiting on it without events.
struct BackgroundWork::Job {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;

    bool WaitFor(std::chrono::milliseconds most) {
        std::unique_lock lock(mutex);
        return finished.wait_for(lock, most, [this] { return done; });
    }
    void Wait() {
        std::unique_lock lock(mutex);
        finished.wait(lock, [this] { return done; });
    }
};

bool BackgroundWork::Start(std::function<void(JobProgress&)> work, std::function<void()> finished) {
    if (m_job != nullptr) {
        return false;
    }
    m_progress = std::make_shared<JobProgress>();
    m_finished = std::move(finished);
    m_job = std::make_shared<Job>();
    const int generation = ++m_generation;
    m_clock.start();
    m_timer.start();
    // A thread of the pool: starting one costs next to nothing, so everyday work is not slower
    // for running there. This object outlives the work (its destructor waits for it), so the
    // worker may post its end here.
    QThreadPool::globalInstance()->start(
        [this, work = std::move(work), progress = m_progress, job = m_job, generation] {
            work(*progress);
            QMetaObject::invokeMethod(
                this,
                [this, generation] {
                    if (generation == m_generation && m_job != nullptr) {
                        Ended();
                    }
                },
                Qt::QueuedConnection);
            const std::lock_guard lock(job->mutex);
            job->done = true;
            job->finished.notify_all();
        });
    if (m_job->WaitFor(std::chrono::milliseconds(BriefMs))) {
        Ended();
    }
    return true;
}

bool BackgroundWork::Run(std::function<void(JobProgress&)> work) {
    QEventLoop loop;
    bool stopped = false;
    bool ended = false;
    if (!Start(std::move(work), [&] {
            stopped = m_progress->Stopped();
            ended = true;
            loop.quit();
        })) {
        return false;
    }
    if (!ended) {
        loop.exec();
    }
    return !stopped;
}

void BackgroundWork::Cancel() {
    if (m_progress) {
        m_progress->Stop();
    }
}

void BackgroundWork::Wait() {
    if (m_job != nullptr) {
        m_job->Wait();
    }
}

void BackgroundWork::Tick() {
    if (m_job == nullptr || !m_progress) {
        return;
    }
    const std::int64_t done = m_progress->Done();
    const std::int64_t total = m_progress->Total();
    if (!m_dialog && m_clock.elapsed() >= ShowAfterMs && !m_progress->Stopped()) {
        m_dialog = new QProgressDialog(m_parent);
        m_dialog->setObjectName(QStringLiteral("dlgProgress"));
        m_dialog->setWindowTitle(m_title);
        m_dialog->setCancelButtonText(QStringLiteral("キャンセル")); // "キャンセル" = cancel
        m_dialog->setWindowModality(m_modality);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        // The bar counts in thousandths, so totals beyond an int still fit.
        m_dialog->setMaximum(1000);
        connect(m_dialog, &QProgressDialog::canceled, this, &BackgroundWork::Cancel);
        m_dialog->show();
    }
    if (m_dialog) {
        m_dialog->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
        m_dialog->setLabelText(m_label.arg(done).arg(total));
    }
}

void BackgroundWork::Ended() {
    ++m_generation; // a queued notice of this end comes to nothing
    m_timer.stop();
    Wait();
    m_job = nullptr;
    delete m_dialog;
    const std::function<void()> finished = std::exchange(m_finished, {});
    if (finished) {
        finished();
    }
    emit ended();
}

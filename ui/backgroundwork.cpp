#include "ui/backgroundwork.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QThread>
#include <QtWidgets/QProgressDialog>
#include <QtWidgets/QWidget>
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

bool BackgroundWork::Start(std::function<void(JobProgress&)> work, std::function<void()> finished) {
    if (m_thread != nullptr) {
        return false;
    }
    m_progress = std::make_shared<JobProgress>();
    m_finished = std::move(finished);
    m_thread =
        QThread::create([work = std::move(work), progress = m_progress] { work(*progress); });
    const int generation = ++m_generation;
    connect(
        m_thread, &QThread::finished, this,
        [this, generation] {
            if (generation == m_generation && m_thread != nullptr) {
                Ended();
            }
        },
        Qt::QueuedConnection);
    m_clock.start();
    m_timer.start();
    m_thread->start();
    if (m_thread->wait(QDeadlineTimer(BriefMs))) {
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
    if (m_thread != nullptr) {
        m_thread->wait();
    }
}

void BackgroundWork::Tick() {
    if (m_thread == nullptr || !m_progress) {
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
    if (m_thread != nullptr) {
        m_thread->wait();
        m_thread->deleteLater();
        m_thread = nullptr;
    }
    delete m_dialog;
    const std::function<void()> finished = std::exchange(m_finished, {});
    if (finished) {
        finished();
    }
    emit ended();
}

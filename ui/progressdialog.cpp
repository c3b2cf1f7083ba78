#include "ui/progressdialog.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QWidget>
#include <utility>

namespace {

// Pending events are let through this often: often enough for painting and the cancel button,
// seldom enough to cost nothing next to the work.
constexpr qint64 EventsEveryMs = 30;

} // namespace

ProgressDialogReporter::ProgressDialogReporter(QWidget* parent, QString title, QString label)
    : m_parent(parent), m_title(std::move(title)), m_label(std::move(label)) {
    m_clock.start();
}

ProgressDialogReporter::~ProgressDialogReporter() {
    delete m_dialog;
}

bool ProgressDialogReporter::Advance(std::int64_t done, std::int64_t total) {
    if (m_cancelled) {
        return false;
    }
    const qint64 now = m_clock.elapsed();
    if (now - m_lastEvents < EventsEveryMs && done < total) {
        return true;
    }
    m_lastEvents = now;
    if (!m_dialog && now >= ShowAfterMs && done < total) {
        m_dialog = new QProgressDialog(m_parent);
        m_dialog->setObjectName(QStringLiteral("dlgProgress"));
        m_dialog->setWindowTitle(m_title);
        m_dialog->setCancelButtonText(QStringLiteral("キャンセル")); // "キャンセル" = cancel
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        // The bar counts in thousandths, so totals beyond an int still fit.
        m_dialog->setMaximum(1000);
        m_dialog->show();
    }
    if (m_dialog) {
        m_dialog->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
        m_dialog->setLabelText(m_label.arg(done).arg(total));
    }
    QCoreApplication::processEvents(m_dialog ? QEventLoop::AllEvents
                                             : QEventLoop::ExcludeUserInputEvents);
    if (m_dialog && m_dialog->wasCanceled()) {
        m_cancelled = true;
    }
    // A Cancel() from one of the events just let through (the window closing) counts at once.
    return !m_cancelled;
}

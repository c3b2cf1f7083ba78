#pragma once

#include "platform/progress.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QPointer>
#include <QtCore/QString>
#include <QtWidgets/QProgressDialog>

class QWidget;

// Progress of long work in a modal progress dialog with a cancel button. The dialog appears
// only once the work has taken about half a second; until then and between its updates the
// window keeps painting, since every report lets pending events through. Until the dialog
// shows, the user's keys and clicks wait for the work's end, so that nothing can change the
// state the work is using; then the dialog's modality keeps them from the window.
class ProgressDialogReporter : public Progress {
public:
    // label: what is being done, in Japanese, with %1 for the steps done and %2 for all.
    ProgressDialogReporter(QWidget* parent, QString title, QString label);
    ~ProgressDialogReporter() override;

    bool Advance(std::int64_t done, std::int64_t total) override;
    bool Cancelled() const { return m_cancelled; }
    // Asks the work to stop at its next report (the window is closing, say).
    void Cancel() { m_cancelled = true; }

    // How long the work may run before the dialog shows.
    static constexpr int ShowAfterMs = 500;

private:
    QWidget* m_parent;
    QString m_title;
    QString m_label;
    QElapsedTimer m_clock;
    qint64 m_lastEvents = 0;
    QPointer<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

// The main window's part in the parameters: their window, and the curves drawn again as a
// value moves.

#include "program/parametercommands.h"
#include "script/scriptevaluator.h"
#include "ui/backgroundwork.h"
#include "ui/frmcurvane.h"
#include "ui/frmparameters.h"

#include <chrono>

void frmCurvane::mnuParameters_Click() {
    if (m_frmParameters == nullptr) {
        m_frmParameters = new frmParameters(m_state, *m_store, this);
        connect(m_frmParameters, &frmParameters::valueMoved, this, &frmCurvane::ParameterMoved);
        connect(m_frmParameters, &frmParameters::valueSet, this, &frmCurvane::ParameterSet);
    }
    m_frmParameters->ShowParameters();
    m_frmParameters->show();
    m_frmParameters->raise();
}

void frmCurvane::ParameterMoved() {
    if (m_work != nullptr) {
        return; // a draw is under way; it reads the values when it is done
    }
    ParameterFrame frame = BeginParameterFrame(m_state, m_frmParameters->KeepTraces());
    if (frame.jobs.empty()) {
        ShowState();
        return;
    }
    if (!m_parameterWorker) {
        m_parameterWorker = std::make_unique<ParameterWorker>(
            [evaluator = std::make_shared<ScriptEvaluator>(),
             helper = std::make_shared<ScriptEvaluator>()](const ParameterFrame& request,
                                                           const std::atomic<bool>& stop) {
                // A newer value stops the frame of an older one, even inside one evaluation.
                evaluator->SetStopFlag(&stop);
                helper->SetStopFlag(&stop);
                ParameterFrame computed = request;
                RunParameterFrame(computed, *evaluator, nullptr, helper.get());
                return computed;
            },
            [this](std::uint64_t id, const ParameterFrame& computed) {
                QMetaObject::invokeMethod(
                    this, [this, id, computed] { ParameterFrameArrived(id, computed); },
                    Qt::QueuedConnection);
            });
    }
    // While sampling is slower than the values move, the frames between are dropped; a quick
    // frame is drawn before the window goes on.
    m_parameterPosted = m_parameterWorker->Post(std::move(frame));
    ParameterFrame computed;
    if (m_parameterWorker->WaitFor(m_parameterPosted, std::chrono::milliseconds(30), computed)) {
        ParameterFrameArrived(m_parameterPosted, computed);
    }
}

void frmCurvane::ParameterFrameArrived(std::uint64_t id, const ParameterFrame& frame) {
    if (id <= m_parameterDrawn || id != m_parameterPosted) {
        return; // drawn already, or a newer value is on its way
    }
    m_parameterDrawn = id;
    ParameterFrame taken = frame;
    if (FinishParameterFrame(m_state, taken)) {
        ShowFrame(taken.changed);
    } else {
        ShowState();
    }
    if (m_parameterStepDue) {
        m_parameterStepDue = false;
        RecordStep(Step::Parameter);
    }
}

void frmCurvane::ParameterSet() {
    if (m_parameterPosted > m_parameterDrawn) {
        m_parameterStepDue = true; // recorded with the curves of the value, once drawn
        return;
    }
    ShowState();
    RecordStep(Step::Parameter);
}

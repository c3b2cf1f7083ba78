#pragma once

#include "platform/surface.h"
#include "program/setmore.h"

#include <QtWidgets/QDialog>

class Dialogs;
class QLabel;
struct CurvaneState;
struct GraphSettings;

// "詳細設定" (detailed settings): switches and colours of the scale lines and axes, the
// background, the tick numbers and the origin placement, with a schematic preview. It edits a
// working copy that only OK writes into the record; OK and Cancel hide it, the close box destroys
// it (so it must live on the heap: any close event deletes it later).
class frmSetMore : public QDialog {
    Q_OBJECT
public:
    frmSetMore(GraphSettings& settings, Dialogs& dialogs, QWidget* parent = nullptr);

    // The record and the dialogs the next opening works with.
    void Attach(GraphSettings& settings, Dialogs& dialogs);
    GraphSettings& Settings() const { return *m_settings; }

    const SetMoreEdit& Edit() const { return m_edit; }
    const Surface& Preview() const { return m_preview; }

    // Every opening: the controls and the preview start again from the record.
    void Form_Activate();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Destroyed by its close box and about to go.
    bool IsClosed() const { return m_closed; }

    // Escape is Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    // The controls as data, and back.
    SetMoreControls Controls() const;
    void ShowControls(const SetMoreControls& controls);
    void OptionClicked(ScaleOption option);
    void SwatchClicked(QLabel* swatch);
    void DrawPreview();

    GraphSettings* m_settings;
    Dialogs* m_dialogs;
    SetMoreEdit m_edit;
    Surface m_preview;

    bool m_closed = false;
    QLabel* m_picPreview = nullptr;
};

// The menu entry "詳細設定(&M)" and the toolbar key "詳細設定" (detailed settings): shows the
// dialog modally, made anew when the close box destroyed it. Returns whether it was closed with OK,
// in which case the record holds the new values and SettingsChanged is set for the window's next
// activation.
bool mnuSetMore_Click(QWidget* parent, CurvaneState& state, Dialogs& dialogs);

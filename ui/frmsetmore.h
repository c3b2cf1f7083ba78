#pragma once

#include "platform/surface.h"
#include "program/setmore.h"

#include <QtWidgets/QDialog>
#include <functional>
#include <utility>
#include <vector>

class Dialogs;
class QButtonGroup;
class QLabel;
class QRadioButton;
struct CurvaneState;
struct GraphSettings;

// "詳細設定" (detailed settings): switches and colours of the scale lines and axes, the
// background, the tick numbers and the origin placement, with a schematic preview. It edits a
// working copy that only OK writes into the record; OK and Cancel hide it, the close box destroys
// it (so it must live on the heap: any close event deletes it later).
class frmSetMore : public QDialog {
    Q_OBJECT
public:
    // settingsChanged is the main window's request for a redraw on its next activation.
    frmSetMore(GraphSettings& settings, bool& settingsChanged, Dialogs& dialogs,
               QWidget* parent = nullptr);

    // The record and the dialogs the next opening works with.
    void Attach(GraphSettings& settings, bool& settingsChanged, Dialogs& dialogs);
    GraphSettings& Settings() const { return *m_settings; }

    // What the dialog shows, as data: the working copy and its controls' state. The widgets only
    // mirror these.
    const SetMoreEdit& Edit() const { return m_edit; }
    const SetMoreControls& Controls() const { return m_controls; }
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

private:
    void BuildControls();
    QRadioButton* NewOption(ScaleOption option, const char* name, const QString& caption,
                            QWidget* parent);
    QRadioButton* NewOption(TickOption option, const char* name, const QString& caption,
                            QWidget* parent);
    QLabel* NewSwatch(ScaleSwatch swatch, const char* name, QWidget* parent);
    QLabel* NewSwatch(SetMoreSwatch tickColour, const char* name, QWidget* parent);
    QLabel* NewFontSize(SetMoreCaption caption, const char* name, QWidget* parent);

    // The handlers: each knows the field its control stands for.
    void ScaleOptionChosen(ScaleOption option);
    void TickOptionChosen(TickOption option);
    void ScaleSwatchChosen(ScaleSwatch swatch);
    void TickColorChosen(SetMoreSwatch tickColour);
    void FontSizeChosen(SetMoreCaption caption);

    // Brings every control in line with m_controls, without reactions.
    void ShowControls();
    void DrawPreview();

    GraphSettings* m_settings;
    bool* m_settingsChanged;
    Dialogs* m_dialogs;
    SetMoreEdit m_edit;
    SetMoreControls m_controls;
    Surface m_preview;

    bool m_closed = false;
    QLabel* m_picPreview = nullptr;
    // Each option button with the test of whether m_controls selects it.
    std::vector<std::pair<std::function<bool(const SetMoreControls&)>, QRadioButton*>> m_options;
    std::vector<QButtonGroup*> m_groups;
    std::vector<std::pair<SetMoreSwatch, QLabel*>> m_swatches;
    std::vector<std::pair<SetMoreCaption, QLabel*>> m_captions;
};

// The menu entry "詳細設定(&M)" and the toolbar key "詳細設定" (detailed settings): shows the
// dialog modally, made anew when the close box destroyed it. Returns whether it was closed with OK,
// in which case the record holds the new values and SettingsChanged is set for the window's next
// activation.
bool mnuSetMore_Click(QWidget* parent, CurvaneState& state, Dialogs& dialogs);

#pragma once

#include "program/curvanestate.h"

#include <QtCore/QString>

#include <QtWidgets/QWidget>
#include <vector>

class QCheckBox;
class SettingsStore;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimer;

// "パラメータ" (parameters): a window of its own beside the main window, not modal, with a row for
// each parameter of the expressions: its name, a slider, its value, the range and the step, and
// ▶ to animate it. Moving a value changes the state at once and says so (valueMoved); the main
// window draws the curves again. A value set for good (a slider let go, a value typed, a key
// step, the range changed) also says valueSet, one step to undo.
class frmParameters : public QWidget {
    Q_OBJECT
public:
    // The window's place is kept in the store between sessions.
    frmParameters(CurvaneState& state, SettingsStore& store, QWidget* parent);

    // Brings the rows in line with the state: a row for each parameter, greyed out when no
    // expression reads it.
    void ShowParameters();
    // Whether a moved value leaves the curves it replaces on the sheet ("軌跡を残す").
    bool KeepTraces() const;
    // The slider and the value box of a parameter, if it has a row.
    QSlider* SliderOf(const QString& name) const;
    QLineEdit* ValueBoxOf(const QString& name) const;

signals:
    void valueMoved();
    void valueSet();

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Row {
        QString name;
        QLabel* label = nullptr;
        QSlider* slider = nullptr;
        QLineEdit* value = nullptr;
        QLineEdit* minimum = nullptr;
        QLineEdit* maximum = nullptr;
        QLineEdit* step = nullptr;
        QPushButton* play = nullptr;
    };
    void BuildRows();
    void ShowRow(Row& row);
    void SliderMoved(Row& row, int position);
    void ValueTyped(Row& row);
    void RangeTyped(Row& row);
    void PlayClicked(Row& row);
    void AnimationTick();
    void StopAnimation();
    Row* RowOf(const QString& name);

    CurvaneState& m_state;
    SettingsStore& m_store;
    QGridLayout* m_grid = nullptr;
    QCheckBox* m_keepTraces = nullptr;
    QSpinBox* m_speed = nullptr;
    QTimer* m_timer = nullptr;
    QString m_animated; // the parameter ▶ moves, if any
    int m_direction = 1;
    std::vector<Row> m_rows;
    bool m_showing = false; // the rows are being filled from the state, not by the user
};

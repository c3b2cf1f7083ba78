#pragma once

#include "program/readout.h"

#include <QtWidgets/QWidget>
#include <vector>

// The readout of values at the mouse: one line each, in its colour, in a font made small enough
// for the widest line to fit the width it is given (a number of 15 digits does not fit the
// settings panel at the panel's own size).
class ReadoutView : public QWidget {
    Q_OBJECT
public:
    explicit ReadoutView(QWidget* parent);

    void SetLines(std::vector<ReadoutLine> lines);
    const std::vector<ReadoutLine>& Lines() const { return m_lines; }
    // The lines as text, one per line, as the view shows them.
    QString PlainText() const;
    // Chooses the font for this width and returns the size the lines then need: no wider than
    // width unless even the smallest font is too wide.
    QSize FitToWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<ReadoutLine> m_lines;
};

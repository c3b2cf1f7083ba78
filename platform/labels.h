#pragma once

#include "platform/colorref.h"

#include <QtCore/QPointF>
#include <QtCore/QString>
#include <QtGui/QFont>
#include <QtGui/QFontMetricsF>
#include <optional>
#include <vector>

class QPainter;
class QRegion;

// The look of a text: what the font chooser edits and what a label carries.
struct FontSpec {
    QString name;
    double size = 9.0; // points
    bool bold = false;
    bool italic = false;
    bool strikeout = false;
    bool underline = false;

    bool operator==(const FontSpec&) const = default;

    // A font of fixed pixel height (points at 96 pixels per inch), so a label measures and draws
    // the same on the screen, in a saved bitmap and on any display.
    QFont ToQFont() const;
};

// The size a font chooser's answer should carry. The chooser works in whole points: it shows a
// preset of 9.75 points as 10 and answers 10 when the user leaves the size alone; the preset's
// own size is then kept. Any other size is the user's choice.
double KeptPointSize(double preset, double chosen);

// The font face of the sheet's texts when nothing else was chosen.
FontSpec DefaultLabelFont();

// Texts on the sheet are pixel-exact like its lines; an export at print quality draws them with
// smooth edges, at the same places.
enum class TextEdges { Pixel, Smooth };

// Draws text with its top-left corner at (left, top) on a transparent background. The sheet view
// paints labels with it and the sheet's image receives stamped labels through it, so a saved
// picture shows exactly what the screen showed.
void DrawLabelText(QPainter& painter, double left, double top, const QString& text,
                   const FontSpec& font, ColorRef colour, TextEdges edges = TextEdges::Pixel);

// Draws the dot that marks a point of the sheet for a label, centred on the point.
void DrawLabelMark(QPainter& painter, QPointF point, ColorRef colour,
                   TextEdges edges = TextEdges::Pixel);

class LabelFamily;

// Draws every shown label of a family, in index order, each in its own colour, with its mark.
// With a region, only the labels that may touch it (the painter clips to it).
void DrawLabels(QPainter& painter, const LabelFamily& family, TextEdges edges = TextEdges::Pixel,
                const QRegion* within = nullptr);

// One text on the sheet. Its width and height follow its text and font at once.
class TextLabel {
public:
    const QString& Text() const { return m_text; }
    const FontSpec& Font() const { return m_font; }
    double Width() const { return m_width; }
    double Height() const { return m_height; }

    ColorRef color = Rgb(0, 0, 0);
    double left = 0.0;
    double top = 0.0;
    bool visible = false;

    // A dot that belongs to the label and marks the point it names (a zero or an extremum of a
    // curve): offset from the label's top-left corner, so that it moves, hides and shows with it.
    struct Mark {
        QPointF offset;
        ColorRef color = Rgb(0, 0, 0);
        bool operator==(const Mark&) const = default;
    };
    std::optional<Mark> mark;
    // Where the mark lies on the sheet.
    QPointF MarkPoint() const { return QPointF(left, top) + (mark ? mark->offset : QPointF()); }

    bool operator==(const TextLabel&) const = default;

private:
    friend class LabelFamily;
    QString m_text;
    FontSpec m_font;
    double m_width = 0.0;
    double m_height = 0.0;
};

// An indexed set of labels whose element 0 is a template that is never shown: a new element
// starts with the template's font and colour. Elements may be removed from the middle; the
// indices of the others stay.
class LabelFamily {
public:
    LabelFamily();

    const TextLabel& Template() const { return *m_items.front(); }
    void SetTemplateColor(ColorRef colour) { m_items.front()->color = colour; }
    void SetTemplateFont(const FontSpec& font) { SetFont(0, font); }

    // Creates element n (n >= 1) with the template's look, empty and invisible. An element that
    // already exists is made anew.
    TextLabel& Create(int n);
    void Remove(int n);
    // Removes every element but the template.
    void RemoveAll();
    // Counts the RemoveAll calls: a label remembered from an earlier generation is gone, even if
    // its index is in use again.
    int Generation() const { return m_generation; }
    // For a family read back as it was: the generation it had.
    void SetGeneration(int generation) { m_generation = generation; }
    bool Exists(int n) const;
    // The highest index in use (0 when only the template exists).
    int UpperBound() const { return static_cast<int>(m_items.size()) - 1; }
    int Count() const; // elements other than the template

    const TextLabel& At(int n) const { return *m_items.at(static_cast<std::size_t>(n)); }
    TextLabel& At(int n) { return *m_items.at(static_cast<std::size_t>(n)); }

    void SetText(int n, const QString& text);
    void SetFont(int n, const FontSpec& font);

    // The same elements and generation; the measuring cache is no part of a family.
    bool operator==(const LabelFamily& other) const {
        return m_generation == other.m_generation && m_items == other.m_items;
    }

    // Calls f(index, label) for every shown element in index order.
    template <class F>
    void ForEachVisible(F&& f) const {
        for (std::size_t i = 1; i < m_items.size(); ++i) {
            if (m_items[i] && m_items[i]->visible) {
                f(static_cast<int>(i), *m_items[i]);
            }
        }
    }

private:
    void Measure(TextLabel& label);
    const QFontMetricsF& MetricsFor(const FontSpec& font);

    std::vector<std::optional<TextLabel>> m_items;
    int m_generation = 0;
    // Measuring needs a resolved font; a family rarely holds more than a few different ones.
    std::vector<std::pair<FontSpec, QFontMetricsF>> m_metrics;
};

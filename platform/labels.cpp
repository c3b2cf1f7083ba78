#include "platform/labels.h"

#include <QtGui/QPainter>
#include <QtGui/QRegion>
#include <algorithm>
#include <cmath>

namespace {
constexpr double MaxFontPixels = 1000.0;
}

QFont FontSpec::ToQFont() const {
    QFont font(name);
    // Texts are measured and drawn at 96 pixels per inch whatever the display says.
    // A size typed as nonsense (negative, zero, enormous) still gives a drawable font; the
    // label keeps the size as given.
    double pixels = size * 96.0 / 72.0;
    if (!(pixels >= 1.0)) {
        pixels = 1.0;
    }
    pixels = std::min(pixels, MaxFontPixels);
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    font.setBold(bold);
    font.setItalic(italic);
    font.setStrikeOut(strikeout);
    font.setUnderline(underline);
    font.setStyleStrategy(QFont::NoAntialias);
    // Hinted as a screen at scale 1 hints it; a display scaled up would otherwise leave the
    // glyphs unhinted, and a picture saved there would differ from the same sheet's at scale 1.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

double KeptPointSize(double preset, double chosen) {
    if (!std::isfinite(preset) || preset <= 0) {
        return chosen;
    }
    // What the chooser showed for the preset: its nearest whole point, halves up.
    const double shown = std::floor(preset + 0.5);
    return chosen == shown ? preset : chosen;
}

FontSpec DefaultLabelFont() {
    FontSpec font;
    font.name = QStringLiteral("IPAGothic");
    font.size = 9.0;
    return font;
}

namespace {

// Sets the painter up to write in the font; returns the font's ascent.
double UseLabelFont(QPainter& painter, const FontSpec& font, TextEdges edges) {
    QFont qfont = font.ToQFont();
    const bool smooth = edges == TextEdges::Smooth;
    if (smooth) {
        qfont.setStyleStrategy(QFont::PreferAntialias);
    }
    painter.setFont(qfont);
    painter.setRenderHint(QPainter::TextAntialiasing, smooth);
    return QFontMetricsF(qfont).ascent();
}

} // namespace

void DrawLabelText(QPainter& painter, double left, double top, const QString& text,
                   const FontSpec& font, ColorRef colour, TextEdges edges) {
    const double ascent = UseLabelFont(painter, font, edges);
    painter.setPen(ToQColor(colour));
    painter.drawText(QPointF(left, top + ascent), text);
}

void DrawLabelMark(QPainter& painter, QPointF point, ColorRef colour, TextEdges edges) {
    painter.save();
    const QColor qcolour = ToQColor(colour);
    if (edges == TextEdges::Smooth) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(qcolour);
        painter.drawEllipse(point, 2.5, 2.5);
    } else {
        // A round dot of 5 pixels across, pixel by pixel, on the pixel the point lies in.
        const int x = static_cast<int>(std::floor(point.x()));
        const int y = static_cast<int>(std::floor(point.y()));
        painter.fillRect(x - 1, y - 2, 3, 5, qcolour);
        painter.fillRect(x - 2, y - 1, 5, 3, qcolour);
    }
    painter.restore();
}

namespace {
// Whether a label's glyphs or its mark may reach into the region: its box, with room for glyphs
// that overhang it, and the mark's disc.
bool MayTouch(const TextLabel& label, const QRegion& region) {
    const double room = label.Height() + 2.0;
    const QRectF box(label.left - room, label.top - room, label.Width() + 2 * room,
                     label.Height() + 2 * room);
    if (region.intersects(box.toAlignedRect())) {
        return true;
    }
    if (!label.mark) {
        return false;
    }
    const QPointF point = label.MarkPoint();
    return region.intersects(QRectF(point.x() - 8, point.y() - 8, 16, 16).toAlignedRect());
}
} // namespace

void DrawLabels(QPainter& painter, const LabelFamily& family, TextEdges edges,
                const QRegion* within) {
    // The labels of a family mostly share one font, which is then made and measured once.
    const FontSpec* font = nullptr;
    double ascent = 0.0;
    family.ForEachVisible([&](int, const TextLabel& label) {
        if (within != nullptr && !MayTouch(label, *within)) {
            return;
        }
        if (font == nullptr || !(label.Font() == *font)) {
            font = &label.Font();
            ascent = UseLabelFont(painter, *font, edges);
        }
        painter.setPen(ToQColor(label.color));
        painter.drawText(QPointF(label.left, label.top + ascent), label.Text());
        if (label.mark) {
            DrawLabelMark(painter, label.MarkPoint(), label.mark->color, edges);
        }
    });
}

LabelFamily::LabelFamily() {
    m_items.emplace_back(TextLabel{});
    m_items.front()->m_font = DefaultLabelFont();
    Measure(*m_items.front());
}

TextLabel& LabelFamily::Create(int n) {
    if (n < 1) {
        n = 1;
    }
    const auto index = static_cast<std::size_t>(n);
    if (index >= m_items.size()) {
        m_items.resize(index + 1);
    }
    const TextLabel& model = Template();
    TextLabel label;
    label.color = model.color;
    label.m_font = model.m_font;
    label.m_height = model.m_height; // an empty text is one line high and no wide
    m_items[index] = std::move(label);
    return *m_items[index];
}

void LabelFamily::Remove(int n) {
    if (n < 1 || !Exists(n)) {
        return;
    }
    m_items[static_cast<std::size_t>(n)].reset();
    while (m_items.size() > 1 && !m_items.back()) {
        m_items.pop_back();
    }
}

void LabelFamily::RemoveAll() {
    m_items.resize(1);
    ++m_generation;
}

bool LabelFamily::Exists(int n) const {
    return n >= 0 && static_cast<std::size_t>(n) < m_items.size() &&
           m_items[static_cast<std::size_t>(n)].has_value();
}

int LabelFamily::Count() const {
    int count = 0;
    for (std::size_t i = 1; i < m_items.size(); ++i) {
        count += m_items[i] ? 1 : 0;
    }
    return count;
}

void LabelFamily::SetText(int n, const QString& text) {
    TextLabel& label = At(n);
    label.m_text = text;
    Measure(label);
}

void LabelFamily::SetFont(int n, const FontSpec& font) {
    TextLabel& label = At(n);
    label.m_font = font;
    Measure(label);
}

const QFontMetricsF& LabelFamily::MetricsFor(const FontSpec& font) {
    for (const auto& [known, metrics] : m_metrics) {
        if (known == font) {
            return metrics;
        }
    }
    if (m_metrics.size() >= 16) {
        m_metrics.erase(m_metrics.begin());
    }
    m_metrics.emplace_back(font, QFontMetricsF(font.ToQFont()));
    return m_metrics.back().second;
}

void LabelFamily::Measure(TextLabel& label) {
    const QFontMetricsF& metrics = MetricsFor(label.m_font);
    label.m_width = metrics.horizontalAdvance(label.m_text);
    label.m_height = metrics.height();
}

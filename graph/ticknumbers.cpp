#include "graph/ticknumbers.h"

#include "platform/labels.h"
#include "script/number_text.h"

#include <utility>

namespace {

// Pixel and value distance between two numbered lines; nothing for mode 1 ("no numbers") and for
// a mode or spacing only a damaged settings file can hold.
struct TickStep {
    double pixels;
    double value;
};

bool StepOf(const GraphSettings& s, const GraphState& g, Axis axis, TickStep& step) {
    const ConstAxisFields a = AxisOf(s, axis);
    const double smallValue = AxisValuesOf(g, axis).SmallValue;
    const double small = a.SmallSpacing;
    switch (a.TickLabelMode) {
    case 2:
        step = {small, smallValue};
        break;
    case 3:
        step = {small * a.MediumEvery, a.MediumEvery * smallValue};
        break;
    case 4:
        step = {small * a.MediumEvery * a.LargeEvery, a.MediumEvery * smallValue * a.LargeEvery};
        break;
    default:
        return false;
    }
    return true;
}

QString UnitLabelText(const QString& unit) {
    return QStringLiteral("[") + unit + QStringLiteral("]");
}

// Builds one family's labels in index order.
class LabelWriter {
public:
    explicit LabelWriter(LabelFamily& family) : m_family(family) {}

    bool Full() const { return m_next > MaxTickLabels; }

    // Creates the next label with its text; returns its index.
    int Next(const QString& text) {
        const int index = m_next++;
        m_family.Create(index);
        m_family.SetText(index, text);
        return index;
    }
    int NextNumber(double value) { return Next(QString::fromStdString(FormatGeneral(value))); }

    double W(int index) const { return m_family.At(index).Width(); }
    double H(int index) const { return m_family.At(index).Height(); }

    void Place(int index, double left, double top) {
        TextLabel& label = m_family.At(index);
        label.top = top;
        label.left = left;
        label.visible = true;
    }

private:
    LabelFamily& m_family;
    int m_next = 1;
};

void PlaceXNumbers(LabelFamily& family, const GraphSettings& s, const GraphState& g) {
    TickStep step{};
    if (!StepOf(s, g, Axis::X, step)) {
        return;
    }
    const double originX = s.OriginX;
    const double originY = s.OriginY;
    const double width = g.GraphWidthPx;
    LabelWriter out(family);

    const auto topOf = [&](double h) { return s.YSide == 1 ? originY - h - 1 : originY + 2; };

    const int origin = out.NextNumber(g.XOriginValue);
    const double originW = out.W(origin);
    double left = originX + 2;
    if (s.XSide == -1) {
        left = originX - originW - 1;
    } else if (s.XSide == 0 && s.YSide == 1) {
        left = originX - originW / 2;
    }
    out.Place(origin, left, topOf(out.H(origin)));
    const double originLeft = left;

    // A spacing of 0 or less would never leave the sheet.
    const bool walk = step.pixels > 0;
    if (walk && s.XSide != -1 && !out.Full()) {
        double k = originX;
        double v = g.XOriginValue;
        double boundary = originX + originW;
        double w = 0;
        do {
            k += step.pixels;
            v += step.value;
            const int n = out.NextNumber(v);
            w = out.W(n);
            const double o = k - w / 2;
            if (o > boundary) {
                out.Place(n, o, topOf(out.H(n)));
            }
            boundary = o + w;
        } while (boundary < width - w && !out.Full());
    }
    if (walk && s.XSide != 1 && !out.Full()) {
        double k = originX;
        double v = g.XOriginValue;
        double boundary = originLeft;
        double w = 0;
        do {
            k -= step.pixels;
            v -= step.value;
            const int n = out.NextNumber(v);
            w = out.W(n);
            const double o = k + w / 2; // the right edge
            if (o < boundary) {
                out.Place(n, o - w, topOf(out.H(n)));
            }
            boundary = o - w;
        } while (boundary > w && !out.Full());
    }
    if (g.XUnitName != PlainUnitName && !out.Full()) {
        const int n = out.Next(UnitLabelText(g.XUnitName));
        const double w = out.W(n);
        const double h = out.H(n);
        const double unitLeft = s.XSide < 0 ? 0.0 : width - 1 - w;
        double top = 0;
        if (s.YSide == 1) {
            top = originY - 2 * h - 2;
            if (top < 0) {
                top = originY + 1;
            }
        } else {
            top = originY + h + 1;
            if (top > g.GraphHeightPx - 1) {
                top = originY - h - 1;
            }
        }
        out.Place(n, unitLeft, top);
    }
}

void PlaceYNumbers(LabelFamily& family, const GraphSettings& s, const GraphState& g) {
    TickStep step{};
    if (!StepOf(s, g, Axis::Y, step)) {
        return;
    }
    const double originX = s.OriginX;
    const double originY = s.OriginY;
    const double height = g.GraphHeightPx;
    LabelWriter out(family);

    const auto leftOf = [&](double w) { return s.XSide == -1 ? originX + 2 : originX - w - 1; };

    const int origin = out.NextNumber(g.YOriginValue);
    const double originW = out.W(origin);
    const double originH = out.H(origin);
    const double left = s.XSide == -1 ? originX + 2 : originX - originW;
    double top = 0;
    if (s.YSide == -1) {
        top = originY - originH - 1;
    } else if (s.YSide == 1) {
        top = originY + 2;
    } else {
        top = s.XSide == 0 ? originY - originH - 1 : originY - originH / 2;
    }
    out.Place(origin, left, top);
    const double originBottom = top + originH;
    const double originTop = top;

    const bool walk = step.pixels > 0;
    if (walk && s.YSide != 1 && !out.Full()) {
        double k = originY;
        double v = g.YOriginValue;
        double boundary = originTop;
        double h = 0;
        do {
            k -= step.pixels;
            v += step.value;
            const int n = out.NextNumber(v);
            h = out.H(n);
            const double o = k + h / 2; // the bottom edge
            if (o < boundary) {
                out.Place(n, leftOf(out.W(n)), o - h);
            }
            boundary = o - h;
        } while (boundary > h && !out.Full());
    }
    if (walk && s.YSide != -1 && !out.Full()) {
        double k = originY;
        double v = g.YOriginValue;
        double boundary = originBottom;
        double h = 0;
        do {
            k += step.pixels;
            v -= step.value;
            const int n = out.NextNumber(v);
            h = out.H(n);
            const double o = k - h / 2;
            if (o > boundary) {
                out.Place(n, leftOf(out.W(n)), o);
            }
            boundary = o + h;
        } while (boundary < height - h && !out.Full());
    }
    if (g.YUnitName != PlainUnitName && !out.Full()) {
        const int n = out.Next(UnitLabelText(g.YUnitName));
        const double unitTop = s.YSide == 1 ? height - out.H(n) : 0.0;
        // Across the axis from the numbers.
        const double unitLeft = s.XSide == -1 ? originX - out.W(n) - 1 : originX + 2;
        out.Place(n, unitLeft, unitTop);
    }
}

FontSpec TickFont(const LabelFamily& family, float size) {
    FontSpec font = family.Template().Font();
    font.size = size;
    return font;
}

} // namespace

void PlaceTickNumbers(LabelFamily& xmoji, LabelFamily& ymoji, const GraphSettings& settings,
                      const GraphState& state) {
    xmoji.RemoveAll();
    ymoji.RemoveAll();
    for (const auto& [family, axis] : {std::pair{&xmoji, Axis::X}, std::pair{&ymoji, Axis::Y}}) {
        const ConstAxisFields a = AxisOf(settings, axis);
        family->SetTemplateColor(a.TickLabelColor);
        family->SetTemplateFont(TickFont(*family, a.TickLabelSize));
    }
    PlaceXNumbers(xmoji, settings, state);
    PlaceYNumbers(ymoji, settings, state);
}

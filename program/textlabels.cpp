#include "program/textlabels.h"

#include "program/curvanestate.h"

#include <algorithm>
#include <array>

LabelFamily& FamilyOf(CurvaneState& state, LabelKind kind) {
    switch (kind) {
    case LabelKind::XTick:
        return state.Xmoji;
    case LabelKind::YTick:
        return state.Ymoji;
    case LabelKind::Free:
        break;
    }
    return state.AddMoji;
}

const LabelFamily& FamilyOf(const CurvaneState& state, LabelKind kind) {
    return FamilyOf(const_cast<CurvaneState&>(state), kind);
}

LabelRef RefTo(const CurvaneState& state, LabelKind kind, int index) {
    return {kind, index, FamilyOf(state, kind).Generation()};
}

TextLabel* Resolve(CurvaneState& state, const LabelRef& ref) {
    LabelFamily& family = FamilyOf(state, ref.kind);
    if (ref.index < 1 || ref.generation != family.Generation() || !family.Exists(ref.index)) {
        return nullptr;
    }
    return &family.At(ref.index);
}

void InitFreeLabelTemplate(LabelFamily& addMoji) {
    FontSpec font = DefaultLabelFont();
    font.size = 9.75;
    addMoji.SetTemplateFont(font);
    addMoji.SetTemplateColor(Rgb(0, 0, 0));
    addMoji.SetText(0, QStringLiteral("・")); // a middle dot
}

namespace {

// The topmost shown label under a point, free labels first; skipped (by kind and index), when
// given, is passed over.
std::optional<LabelRef> ShownLabelAt(const CurvaneState& state, QPointF point,
                                     const LabelRef* skipped) {
    for (const LabelKind kind : {LabelKind::Free, LabelKind::YTick, LabelKind::XTick}) {
        const LabelFamily& family = FamilyOf(state, kind);
        for (int i = family.UpperBound(); i >= 1; --i) {
            if (!family.Exists(i) ||
                (skipped != nullptr && kind == skipped->kind && i == skipped->index)) {
                continue;
            }
            const TextLabel& label = family.At(i);
            if (label.visible &&
                QRectF(label.left, label.top, label.Width(), label.Height()).contains(point)) {
                return RefTo(state, kind, i);
            }
        }
    }
    return std::nullopt;
}

} // namespace

QPointF LabelCornerBeside(const CurvaneState& state, QPointF point, QSizeF size,
                          const LabelRef& self) {
    // A few pixels off the point, so that its mark stays in sight.
    const double w = size.width();
    const double h = size.height();
    const std::array<QPointF, 4> corners = {
        QPointF(point.x() + 3, point.y() - h - 1), QPointF(point.x() - 3 - w, point.y() - h - 1),
        QPointF(point.x() + 3, point.y() + 2), QPointF(point.x() - 3 - w, point.y() + 2)};
    const QRectF sheet(0, 0, state.Graph.GraphWidthPx, state.Graph.GraphHeightPx);
    const auto covers = [&](const QRectF& place) {
        for (const LabelKind kind : {LabelKind::Free, LabelKind::XTick, LabelKind::YTick}) {
            const LabelFamily& family = FamilyOf(state, kind);
            for (int i = 1; i <= family.UpperBound(); ++i) {
                if (!family.Exists(i) || (kind == self.kind && i == self.index)) {
                    continue;
                }
                const TextLabel& label = family.At(i);
                if (!label.visible) {
                    continue;
                }
                const QRectF text(label.left, label.top, label.Width(), label.Height());
                const QRectF mark =
                    label.mark ? QRectF(label.MarkPoint() - QPointF(3, 3), QSizeF(6, 6)) : QRectF();
                if (place.intersects(text) || (label.mark && place.intersects(mark))) {
                    return true;
                }
            }
        }
        return false;
    };
    std::optional<QPointF> onSheet;
    for (const QPointF& corner : corners) {
        const QRectF place(corner, size);
        if (!sheet.contains(place)) {
            continue;
        }
        if (!covers(place)) {
            return corner;
        }
        if (!onSheet) {
            onSheet = corner;
        }
    }
    if (onSheet) {
        return *onSheet;
    }
    return {std::clamp(corners[0].x(), 0.0, std::max(0.0, sheet.width() - w)),
            std::clamp(corners[0].y(), 0.0, std::max(0.0, sheet.height() - h))};
}

std::optional<LabelRef> LabelAt(const CurvaneState& state, QPointF point) {
    return ShownLabelAt(state, point, nullptr);
}

int AddFreeLabel(CurvaneState& state, double rowHeight, double fontButtonLeft) {
    LabelFamily& family = state.AddMoji;
    const int n = family.UpperBound() + 1;
    const TextLabel previous = family.Exists(n - 1) ? family.At(n - 1) : family.Template();
    family.Create(n);
    family.SetText(n, previous.Text());
    family.At(n).color = previous.color;
    family.SetFont(n, previous.Font());
    TextLabel& label = family.At(n);
    label.visible = true;
    label.left = fontButtonLeft;
    label.top = 2 * rowHeight;
    return n;
}

int AddFreeLabelNear(CurvaneState& state, const QString& text, QPointF point) {
    const int n = AddFreeLabel(state, 0, 0);
    const LabelRef ref = RefTo(state, LabelKind::Free, n);
    SetLabelText(state, ref, text);
    TextLabel& label = state.AddMoji.At(n);
    const QPointF corner =
        LabelCornerBeside(state, point, QSizeF(label.Width(), label.Height()), ref);
    label.left = corner.x();
    label.top = corner.y();
    return n;
}

bool DropLabel(CurvaneState& state, const LabelRef& ref, QPointF point) {
    TextLabel* label = Resolve(state, ref);
    if (label == nullptr || OtherLabelAt(state, ref, point)) {
        return false;
    }
    label->left = point.x() - label->Width() / 2;
    label->top = point.y() - label->Height() / 2;
    return true;
}

bool OtherLabelAt(const CurvaneState& state, const LabelRef& dragged, QPointF point) {
    // The dragged label itself is no obstacle: it may be put down a little beside where it was.
    return ShownLabelAt(state, point, &dragged).has_value();
}

bool EditedLabelGone(CurvaneState& state) {
    return state.EditedLabel && Resolve(state, *state.EditedLabel) == nullptr;
}

void EraseLabel(CurvaneState& state, const LabelRef& ref) {
    if (TextLabel* label = Resolve(state, ref)) {
        label->visible = false;
        state.ErasedLabels.push_back(ref);
    }
}

bool RestoreLabel(CurvaneState& state) {
    // A tick number erased before the last redraw is gone: it is dropped on the way.
    while (!state.ErasedLabels.empty()) {
        const LabelRef ref = state.ErasedLabels.back();
        state.ErasedLabels.pop_back();
        if (TextLabel* label = Resolve(state, ref)) {
            label->visible = true;
            return true;
        }
    }
    return false;
}

QPointF ReEditRowPosition(const TextLabel& label, double rowWidth, double sheetWidth) {
    double left = label.left - rowWidth / 2;
    double top = label.top - 2 * label.Height();
    if (left < 0) {
        left = 0;
    }
    if (left > sheetWidth - rowWidth) {
        left = sheetWidth - rowWidth;
    }
    if (top < 0) {
        top = label.top + 1.5 * label.Height();
    }
    return {left, top};
}

void SetLabelText(CurvaneState& state, const LabelRef& ref, const QString& text) {
    if (Resolve(state, ref)) {
        FamilyOf(state, ref.kind).SetText(ref.index, text);
    }
}

void SetLabelColor(CurvaneState& state, const LabelRef& ref, ColorRef colour) {
    if (TextLabel* label = Resolve(state, ref)) {
        label->color = colour;
    }
}

void SetLabelFont(CurvaneState& state, const LabelRef& ref, const FontSpec& font) {
    if (Resolve(state, ref)) {
        FamilyOf(state, ref.kind).SetFont(ref.index, font);
    }
}

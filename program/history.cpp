#include "program/history.h"

#include "platform/surface.h"
#include "plot/linestyle.h"

#include <utility>

namespace {

struct StepText {
    Step step;
    const char* name;
    bool ofRow; // said of a function row: "F1 の描画"
};

const StepText StepTexts[] = {
    {Step::Typing, "式の入力", false},                  // typing an expression
    {Step::Draw, "描画", true},                         // draw
    {Step::Erase, "消去", true},                        // erase
    {Step::Update, "更新", true},                       // update
    {Step::Colour, "色", true},                         // colour
    {Step::LineStyle, "線種", true},                    // line style
    {Step::AddRow, "行の追加", true},                   // row added
    {Step::RemoveRow, "行の削除", true},                // row removed
    {Step::AxisPanel, "目盛りの変更", false},           // scale changed
    {Step::Details, "詳細設定", false},                 // detailed settings
    {Step::SheetSize, "グラフサイズの変更", false},     // sheet size changed
    {Step::Matching, "サイズのマッチング", false},      // size matching
    {Step::Origin, "原点の移動", false},                // origin moved
    {Step::ZoomIn, "ズームイン", false},                // zoom in
    {Step::ZoomOut, "ズームアウト", false},             // zoom out
    {Step::AddLabel, "文字・記号の追加", false},        // label added
    {Step::LabelText, "ラベルの文字", false},           // a label's text
    {Step::LabelColour, "ラベルの色", false},           // a label's colour
    {Step::LabelFont, "ラベルのフォント", false},       // a label's font
    {Step::LabelMove, "ラベルの移動", false},           // label moved
    {Step::LabelErase, "ラベルの消去", false},          // label erased
    {Step::LabelRestore, "消去文字の復活", false},      // erased label restored
    {Step::Picture, "画像の読込み", false},             // picture read
    {Step::Paste, "貼り付け", false},                   // paste
    {Step::New, "新規作成", false},                     // new
    {Step::OpenSettings, "設定の読込み", false},        // settings read
    {Step::OpenWorksheet, "ワークシートを開く", false}, // worksheet opened
    {Step::Redraw, "再描画", false},                    // redraw
    {Step::Recovery, "作業の復元", false},              // work restored
    {Step::Parameter, "パラメータの変更", false},       // a parameter's value or range
};

} // namespace

QString StepName(Step step, int slot) {
    for (const StepText& text : StepTexts) {
        if (text.step == step) {
            const QString name = QString::fromUtf8(text.name);
            // "F1 の" = F1's
            return text.ofRow ? QStringLiteral("F%1 の").arg(slot) + name : name;
        }
    }
    return QStringLiteral("変更"); // change
}

Step StepOfCommand(Command command) {
    if (LineStyleIndex(command)) {
        return Step::LineStyle;
    }
    switch (command) {
    case Command::FileNew:
        return Step::New;
    case Command::FileOpen:
        return Step::OpenSettings;
    case Command::BMPRead:
        return Step::Picture;
    case Command::FromClipboard:
        return Step::Paste;
    // A picture that leaves the program is followed by a full redraw of the sheet.
    case Command::BMPSave:
    case Command::BMPSaveAs:
    case Command::ToClipboard:
    case Command::BMPPrint:
        return Step::Redraw;
    case Command::AddMoji:
        return Step::AddLabel;
    case Command::Surface:
        return Step::LabelRestore;
    case Command::SetMore:
        return Step::Details;
    case Command::ScaleStandard:
    case Command::ScaleTrigonometric:
    case Command::ScaleZoom10:
        return Step::AxisPanel;
    case Command::Matching:
        return Step::Matching;
    default:
        return Step::Other;
    }
}

QString UndoText(const QString& name) {
    const QString verb = QStringLiteral("元に戻す"); // undo
    return name.isEmpty() ? verb : verb + QStringLiteral(": ") + name;
}

QString RedoText(const QString& name) {
    const QString verb = QStringLiteral("やり直し"); // redo
    return name.isEmpty() ? verb : verb + QStringLiteral(": ") + name;
}

namespace {

bool SameGraph(const GraphState& a, const GraphState& b) {
    return SameMapping(a, b) && a.PlotValues == b.PlotValues;
}

bool SameSlot(const FunctionSlot& a, const FunctionSlot& b) {
    return a.Expression == b.Expression && a.Color == b.Color && a.StyleCode == b.StyleCode &&
           a.Button == b.Button && a.RowShown == b.RowShown && a.Drawn == b.Drawn &&
           a.Hidden == b.Hidden && a.SampledExpression == b.SampledExpression &&
           a.SampledParameters == b.SampledParameters;
}

bool SameCurve(const DrawnCurve& a, const DrawnCurve& b) {
    return a.slot == b.slot && a.expression == b.expression && a.colour == b.colour &&
           a.styleCode == b.styleCode && a.startPhase == b.startPhase && a.settings == b.settings &&
           a.parameters == b.parameters && SameGraph(a.graph, b.graph);
}

bool SameRecord(const SheetRecord& a, const SheetRecord& b) {
    if (a.id == b.id) {
        return true; // a record keeps its id for as long as it is unchanged
    }
    const bool samePicture =
        a.background.cacheKey() == b.background.cacheKey() || a.background == b.background;
    if (a.size != b.size || !(a.grid == b.grid) || a.curves.size() != b.curves.size() ||
        !samePicture || a.tangents.size() != b.tangents.size() ||
        a.areas.size() != b.areas.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.tangents.size(); ++i) {
        const TangentLine& x = a.tangents[i];
        const TangentLine& y = b.tangents[i];
        if (x.slot != y.slot || x.expression != y.expression || x.x != y.x || x.y != y.y ||
            x.slope != y.slope || x.colour != y.colour || x.line != y.line || x.point != y.point) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.areas.size(); ++i) {
        const ShadedArea& x = a.areas[i];
        const ShadedArea& y = b.areas[i];
        if (x.slot != y.slot || x.otherSlot != y.otherSlot || x.expression != y.expression ||
            x.otherExpression != y.otherExpression || x.from != y.from || x.to != y.to ||
            x.value != y.value || x.error != y.error || x.colour != y.colour ||
            x.outline != y.outline) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.curves.size(); ++i) {
        if (!SameCurve(a.curves[i], b.curves[i])) {
            return false;
        }
    }
    return true;
}

bool SamePanel(const AxisPanelTexts& a, const AxisPanelTexts& b) {
    for (const Axis axis : {Axis::X, Axis::Y}) {
        const AxisTexts& x = a.Of(axis);
        const AxisTexts& y = b.Of(axis);
        if (x.unit != y.unit || x.originValue != y.originValue || x.smallValue != y.smallValue) {
            return false;
        }
    }
    return true;
}

// The bytes a family's copy holds of its own: its element list and texts. (The measuring cache
// it copies along holds at most sixteen fonts.)
std::size_t FamilyBytes(const LabelFamily& family) {
    std::size_t bytes =
        sizeof(LabelFamily) +
        static_cast<std::size_t>(family.UpperBound() + 1) * sizeof(std::optional<TextLabel>) +
        16 * (sizeof(FontSpec) + sizeof(QFontMetricsF) + 64);
    for (int i = 0; i <= family.UpperBound(); ++i) {
        if (family.Exists(i)) {
            const TextLabel& label = family.At(i);
            bytes += 2 * static_cast<std::size_t>(label.Text().size() + label.Font().name.size());
        }
    }
    return bytes;
}

std::size_t OwnBytes(const CurvaneDocument& d) {
    std::size_t bytes = sizeof(CurvaneDocument) + d.Record.curves.size() * sizeof(DrawnCurve) +
                        d.ErasedLabels.size() * sizeof(LabelRef);
    for (const LabelFamily* family : {&d.Xmoji, &d.Ymoji, &d.AddMoji}) {
        bytes += FamilyBytes(*family);
    }
    for (const FunctionSlot& slot : d.Slots) {
        bytes +=
            2 * static_cast<std::size_t>(slot.Expression.size() + slot.SampledExpression.size());
    }
    for (const DrawnCurve& curve : d.Record.curves) {
        bytes += 2 * static_cast<std::size_t>(curve.expression.size());
    }
    return bytes;
}

// Every shared row table of a document: the function rows and each drawn curve's own.
template <class F>
void ForEachRows(const CurvaneDocument& d, F&& f) {
    for (int slot = 0; slot < PlotTable::SlotRows; ++slot) {
        f(d.Graph.PlotValues.SharedRows(slot));
    }
    for (const DrawnCurve& curve : d.Record.curves) {
        f(curve.graph.PlotValues.SharedRows(curve.slot));
    }
}

} // namespace

bool SameDocument(const CurvaneDocument& a, const CurvaneDocument& b) {
    if (!(a.Settings == b.Settings) || !SameGraph(a.Graph, b.Graph) ||
        a.PatternPhase != b.PatternPhase || a.ErasedLabels != b.ErasedLabels ||
        a.Params != b.Params || !SamePanel(a.PanelTexts, b.PanelTexts)) {
        return false;
    }
    for (std::size_t i = 0; i < a.Slots.size(); ++i) {
        if (!SameSlot(a.Slots[i], b.Slots[i])) {
            return false;
        }
    }
    return a.Xmoji == b.Xmoji && a.Ymoji == b.Ymoji && a.AddMoji == b.AddMoji &&
           SameRecord(a.Record, b.Record);
}

void RestoreDocument(CurvaneState& state, const CurvaneDocument& document) {
    const bool sheetShowsIt = state.Record.id == document.Record.id;
    QString settingsName = std::move(state.SettingsFileName);
    QString bitmapName = std::move(state.BitmapFileName);
    static_cast<CurvaneDocument&>(state) = document;
    state.SettingsFileName = std::move(settingsName);
    state.BitmapFileName = std::move(bitmapName);
    if (!sheetShowsIt) {
        RenderRecord(state.Record, state.Sheet, &state.SheetBase);
    }
    state.EditedLabel.reset();
}

DocumentHistory::DocumentHistory(std::size_t budget) : m_budget(budget) {
    Reset(CurvaneDocument());
}

void DocumentHistory::Reset(const CurvaneDocument& document) {
    m_entries.clear();
    m_pictures.clear();
    m_rows.clear();
    m_ownBytes = 0;
    m_sharedBytes = 0;
    m_entries.push_back({document, QString(), OwnBytes(document)});
    m_ownBytes = m_entries.back().own;
    Count(document, 1);
    m_current = 0;
    m_saved = 0;
    m_live = document;
    m_edit = {};
    ++m_revision;
}

void DocumentHistory::Count(const CurvaneDocument& document, int uses) {
    const auto count = [&](auto& table, auto key, std::size_t bytes) {
        Payload& payload = table[key];
        if (payload.uses == 0) {
            payload.bytes = bytes;
            m_sharedBytes += bytes;
        }
        payload.uses += uses;
        if (payload.uses == 0) {
            m_sharedBytes -= payload.bytes;
            table.erase(key);
        }
    };
    const QImage& picture = document.Record.background;
    if (!picture.isNull()) {
        count(m_pictures, picture.cacheKey(), static_cast<std::size_t>(picture.sizeInBytes()));
    }
    ForEachRows(document, [&](const std::shared_ptr<PlotTable::Rows>& rows) {
        if (rows) {
            count(m_rows, static_cast<const void*>(rows.get()),
                  sizeof(PlotTable::Rows) + rows->size() * sizeof(float));
        }
    });
}

void DocumentHistory::DropRedo() {
    while (static_cast<int>(m_entries.size()) > m_current + 1) {
        Count(m_entries.back().document, -1);
        m_ownBytes -= m_entries.back().own;
        m_entries.pop_back();
    }
    if (m_saved > m_current) {
        m_saved = -1;
    }
}

void DocumentHistory::Push(const CurvaneDocument& document, const QString& name) {
    DropRedo();
    m_entries.push_back({document, name, OwnBytes(document)});
    m_ownBytes += m_entries.back().own;
    Count(document, 1);
    ++m_current;
    Trim();
}

void DocumentHistory::Trim() {
    while (Bytes() > m_budget && m_current > 0) {
        Count(m_entries.front().document, -1);
        m_ownBytes -= m_entries.front().own;
        m_entries.pop_front();
        --m_current;
        m_saved = m_saved > 0 ? m_saved - 1 : -1;
    }
}

void DocumentHistory::SetLive(const CurvaneDocument& document) {
    if (!SameDocument(document, m_live)) {
        ++m_revision;
    }
    m_live = document;
}

bool DocumentHistory::Record(const CurvaneDocument& document, const QString& name) {
    FinishEdit();
    SetLive(document);
    if (SameDocument(document, Top())) {
        return false;
    }
    Push(document, name);
    return true;
}

void DocumentHistory::Edit(const CurvaneDocument& document, const QString& name,
                           const QString& control) {
    if (control.isEmpty()) {
        Edit(document, name, QStringLiteral("?")); // a control without a name is still one
        return;
    }
    if (!m_edit.control.isEmpty() && m_edit.control != control) {
        FinishEdit();
    }
    SetLive(document);
    if (SameDocument(document, Top())) {
        m_edit = {}; // typed back to where it started
        return;
    }
    m_edit = {name, control};
    DropRedo(); // the document went its own way: what was undone cannot come back
}

bool DocumentHistory::FinishEdit() {
    if (m_edit.control.isEmpty()) {
        return false;
    }
    const QString name = m_edit.name;
    m_edit = {};
    if (SameDocument(m_live, Top())) {
        return false;
    }
    Push(m_live, name);
    return true;
}

bool DocumentHistory::CanUndo() const {
    return !m_edit.control.isEmpty() || m_current > 0;
}

bool DocumentHistory::CanRedo() const {
    return m_edit.control.isEmpty() && m_current + 1 < static_cast<int>(m_entries.size());
}

QString DocumentHistory::UndoName() const {
    if (!m_edit.control.isEmpty()) {
        return m_edit.name;
    }
    return m_current > 0 ? m_entries[static_cast<std::size_t>(m_current)].name : QString();
}

QString DocumentHistory::RedoName() const {
    return CanRedo() ? m_entries[static_cast<std::size_t>(m_current + 1)].name : QString();
}

const CurvaneDocument* DocumentHistory::Undo() {
    FinishEdit();
    if (m_current == 0) {
        return nullptr;
    }
    --m_current;
    m_live = Top();
    ++m_revision;
    return &Top();
}

const CurvaneDocument* DocumentHistory::Redo() {
    if (!CanRedo()) {
        return nullptr;
    }
    ++m_current;
    m_live = Top();
    ++m_revision;
    return &Top();
}

void DocumentHistory::MarkSaved(const CurvaneDocument& document) {
    Record(document, StepName(Step::Other));
    m_saved = m_current;
}

bool DocumentHistory::Changed() const {
    // Changed and changed back is no change.
    return m_saved < 0 ||
           !SameDocument(m_live, m_entries[static_cast<std::size_t>(m_saved)].document);
}

std::size_t DocumentHistory::Bytes() const {
    return m_ownBytes + m_sharedBytes;
}
